// The desktop's notification service on a private bus: whether it is there, what is shown, and
// the click on the notification shown last.

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
        notifications.show(QStringLiteral("2 tasks due today"), QStringLiteral("Call <Ann> & Bob\nPay rent"));
        QTRY_COMPARE(server.shown().size(), 1);
        QCOMPARE(server.shown().first().body, body);
        QCOMPARE(server.shown().first().actions.value(0), QStringLiteral("default"));
    }

    void clickOnTheLastNotification()
    {
        NotificationTestServer server;
        if (!server.isRunning())
            QSKIP("dbus-daemon is needed");
        QVERIFY(server.serve());
        DesktopNotifications notifications(server.address());
        QSignalSpy clicked(&notifications, &DesktopNotifications::clicked);
        notifications.show(QStringLiteral("1 task overdue"), QStringLiteral("Pay rent"));
        QTRY_COMPARE(server.shown().size(), 1);
        const uint first = server.shown().first().id;

        // A second one replaces the first.
        notifications.show(QStringLiteral("1 task due today"), QStringLiteral("Call Ann"));
        QTRY_COMPARE(server.shown().size(), 2);
        QCOMPARE(server.shown().at(1).replacesId, first);

        // The bus keeps the order of one sender: once the last click is in, so are the others.
        server.click(first + 1);
        server.click(first, QStringLiteral("snooze"));
        server.click(first);
        QTRY_COMPARE(clicked.size(), 1);

        // Once closed it is not replaced: the next one is new.
        server.close(first);
        QTest::qWait(100);
        notifications.show(QStringLiteral("1 task due today"), QStringLiteral("Call Ann"));
        QTRY_COMPARE(server.shown().size(), 3);
        QCOMPARE(server.shown().at(2).replacesId, 0u);
    }
};

MRV_TEST_GUILESS_MAIN(TstNotifications)

#include "tst_notifications.moc"
