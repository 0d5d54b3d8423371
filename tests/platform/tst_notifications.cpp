// The desktop's notification service on a private bus: whether it is there, what is shown, and
// the click on it.

#include "platform/notifications.h"
#include "support/notificationtestserver.h"
#include "support/testenv.h"

#include <QSignalSpy>

using platform::DesktopNotifications;

class TstNotifications : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // Available only with a service; the text follows what the service can show.
    void textFollowsTheServiceCapabilities_data()
    {
        QTest::addColumn<QStringList>("capabilities");
        QTest::addColumn<QString>("body");
        QTest::newRow("plain text") << QStringList{QStringLiteral("actions")} << "Call <Ann> & Bob\nPay rent";
        QTest::newRow("markup") << QStringList{QStringLiteral("actions"), QStringLiteral("body-markup")}
                                << "Call &lt;Ann&gt; &amp; Bob\nPay rent";
    }

    void textFollowsTheServiceCapabilities()
    {
        QFETCH(QStringList, capabilities);
        QFETCH(QString, body);
        QVERIFY(!DesktopNotifications().isAvailable()); // no session bus
        NotificationTestServer server;
        if (!server.isRunning())
            QSKIP("dbus-daemon is needed");
        DesktopNotifications notifications(server.address());
        QVERIFY(!notifications.isAvailable()); // a bus without the service
        QVERIFY(server.serve(capabilities));
        QVERIFY(notifications.isAvailable());
        QSignalSpy clicked(&notifications, &DesktopNotifications::clicked);
        notifications.show(QStringLiteral("2 tasks due today"), QStringLiteral("Call <Ann> & Bob\nPay rent"));
        QTRY_COMPARE(server.shown().size(), 1);
        QCOMPARE(server.shown().first().body, body);
        QCOMPARE(server.shown().first().actions.value(0), QStringLiteral("default"));
        // Only the default action is a click; the bus keeps the order of one sender.
        server.click(server.shown().first().id, QStringLiteral("snooze"));
        server.click(server.shown().first().id);
        QTRY_COMPARE(clicked.size(), 1);
    }
};

MRV_TEST_GUILESS_MAIN(TstNotifications)

#include "tst_notifications.moc"
