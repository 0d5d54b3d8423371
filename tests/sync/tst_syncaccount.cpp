#include "settings/appsettings.h"
#include "store/taskstorage.h"
#include "support/testenv.h"
#include "sync/syncaccount.h"
#include "sync/syncservice.h"

#include <QSignalSpy>
#include <QTemporaryDir>

using sync::SyncAccount;

class TestSyncAccount : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void serverAddressFromWhatWasTyped_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("url"); // empty: refused

        QTest::newRow("just the host") << "cloud.example.org" << "https://cloud.example.org/";
        QTest::newRow("host and folder") << " example.org/nextcloud " << "https://example.org/nextcloud";
        QTest::newRow("this computer without a scheme") << "localhost:5232" << "http://localhost:5232/";
        QTest::newRow("http to this computer") << "http://127.0.0.1:5232/ana/" << "http://127.0.0.1:5232/ana/";
        QTest::newRow("user name in the address dropped") << "https://ana:pw@dav.example/" << "https://dav.example/";
        QTest::newRow("plain http elsewhere") << "http://dav.example/" << "";
        QTest::newRow("another scheme") << "ftp://dav.example/" << "";
        QTest::newRow("no host") << "https:///path" << "";
    }

    void serverAddressFromWhatWasTyped()
    {
        QFETCH(QString, typed);
        QFETCH(QString, url);
        QString error;
        const QUrl result = SyncAccount::fromUserInput(typed, &error);
        QCOMPARE(result.toString(), url);
        QCOMPARE(error.isEmpty(), !url.isEmpty());
    }

    void passwordNeverGoesToTheSettings()
    {
        // No session bus in the tests: no secret store, so the password lasts for the session.
        QTemporaryDir dir;
        auto store = std::make_shared<TaskStorage>(dir.filePath(QStringLiteral("database.xml")));
        QCOMPARE(store->init(), 0);
        sync::SyncService service(store, dir.filePath(QStringLiteral("sync.json")));
        AppSettings* settings = AppSettings::settings();
        const QString path = dir.filePath(QStringLiteral("settings.ini"));
        QString warning = QStringLiteral("not called");
        SyncAccount::change(&service, settings, path, QUrl(QStringLiteral("https://dav.example/")), QStringLiteral("ana"),
                            QStringLiteral("s3cret-Pässword"), [&](const QString& text) { warning = text; });
        QTRY_VERIFY(warning != QStringLiteral("not called"));
        QVERIFY2(warning.contains(QStringLiteral("not stored")), qPrintable(warning));
        QVERIFY(service.hasPassword());
        QCOMPARE(service.status(), sync::SyncService::Status::Waiting);
        const QByteArray ini = testenv::readBytes(path);
        QVERIFY(ini.contains("sync.server=https://dav.example/"));
        QVERIFY(ini.contains("sync.user=ana"));
        QVERIFY(!ini.contains("s3cret"));

        SyncAccount::change(&service, settings, path, QUrl(), QString(), QString(), [&](const QString& text) { warning = text; });
        QCOMPARE(service.status(), sync::SyncService::Status::Off);
        QVERIFY(!testenv::readBytes(path).contains("sync.server"));
    }
};

MRV_TEST_GUILESS_MAIN(TestSyncAccount)
#include "tst_syncaccount.moc"
