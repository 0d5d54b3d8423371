#include "support/httptestserver.h"
#include "support/programhome.h"

#include <QDir>
#include <QProcess>
#include <QStandardPaths>

#include <memory>

// Starts the real program under a temporary HOME and drives it from outside.
class TstStartup : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<testenv::ProgramHome> m_home;

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY2(QFile::exists(testenv::programPath()), "MIREVO_BINARY must name the built program");
    }

    void init()
    {
        m_home = std::make_unique<testenv::ProgramHome>();
    }

    // What a start, a second start and a SIGTERM leave behind: the second start hands over and
    // exits, whatever its environment (su, sudo, cron and ssh sessions have no runtime folder);
    // without a change nothing is written but the settings, and no start-up entry by a copy
    // outside its installed place; a repaired database (an orphan id dropped) is written, the
    // earlier one its backup; a database the program cannot read is never touched while it asks
    // what to do, whatever ends it.
    void startAndEnd_data()
    {
        QTest::addColumn<QByteArray>("database"); // null: none yet
        QTest::addColumn<bool>("readable");
        QTest::addColumn<bool>("secondHasRuntime");
        QTest::newRow("first run, second start alike") << QByteArray() << true << true;
        QTest::newRow("repaired, second start without a runtime folder")
            << QByteArray("<?xml version=\"1.0\" encoding=\"UTF-8\"?><taskdb version=\"1\"><groups>"
                          "<g name=\"Inbox\" id=\"{b78901e8-4787-4e9e-8977-f940608e4fb9}\">"
                          "<tid>{0b7a1a9e-5a4f-4a43-9e43-2f0f5a1e0fff}</tid></g></groups><todos/></taskdb>")
            << true << false;
        QTest::newRow("newer")
            << QByteArray("<?xml version=\"1.0\"?><taskdb version=\"9\"/>") << false << true;
        QTest::newRow("damaged")
            << QByteArray("<?xml version=\"1.0\"?><taskdb version=\"1\"><groups>") << false << true;
    }

    void startAndEnd()
    {
        QFETCH(QByteArray, database);
        QFETCH(bool, readable);
        QFETCH(bool, secondHasRuntime);
        QDir().mkpath(m_home->dataFolder());
        if (!database.isNull())
            QVERIFY(testenv::writeBytes(m_home->databasePath(), database));
        auto first = m_home->start();
        if (!readable) {
            QVERIFY(!first->waitForFinished(1500));
            first->kill();
            first->waitForFinished(5000);
            QCOMPARE(testenv::readBytes(m_home->databasePath()), database);
            const QStringList names{QStringLiteral("database.xml*")};
            QCOMPARE(QDir(m_home->dataFolder()).entryList(names, QDir::Files),
                     (QStringList{QStringLiteral("database.xml"), QStringLiteral("database.xml.lock")}));
            return;
        }
        QVERIFY(m_home->waitUntilRunning(*first));
        QProcessEnvironment noRuntime;
        noRuntime.insert(QStringLiteral("XDG_RUNTIME_DIR"), QString());
        auto second = m_home->start({}, secondHasRuntime ? QProcessEnvironment() : noRuntime);
        QVERIFY(second->waitForFinished(15000));
        QCOMPARE(second->exitStatus(), QProcess::NormalExit);
        QCOMPARE(second->exitCode(), 0);
        QCOMPARE(first->state(), QProcess::Running);
        QCOMPARE(m_home->stop(*first), 0);
        QVERIFY(QFile::exists(m_home->dataFolder() + QStringLiteral("settings.ini")));
        QVERIFY(!QFile::exists(m_home->path() + QStringLiteral("/config/autostart/Mirevo.desktop")));
        if (database.isNull()) {
            QVERIFY(!QFile::exists(m_home->databasePath()));
            return;
        }
        QCOMPARE(testenv::readBytes(m_home->databasePath() + QStringLiteral(".bak")), database);
        const QByteArray written = testenv::readBytes(m_home->databasePath());
        QVERIFY(written.contains("<taskdb version=\"1\">"));
        QVERIFY(!written.contains("0fff"));
    }

    // A start that meets a quick capture writing the database waits for it, then runs.
    void startWaitsForACapture()
    {
        QDir().mkpath(m_home->dataFolder());
        InstanceLock capture(InstanceLock::pathFor(m_home->databasePath()));
        QVERIFY(capture.tryLock(InstanceLock::Capture));
        auto first = m_home->start();
        QVERIFY(!first->waitForFinished(1000));
        QCOMPARE(m_home->owner().m_role, InstanceLock::Capture);
        capture.unlock();
        QVERIFY(m_home->waitUntilRunning(*first));
        QCOMPARE(m_home->stop(*first), 0);
    }

    // A database that cannot be written while the program runs: at exit the tasks go to a rescue
    // copy, the exit status says so, and the next start tells of it.
    void unwritableDatabaseEndsInARescueCopy()
    {
        QDir().mkpath(m_home->dataFolder());
        QVERIFY(testenv::writeBytes(m_home->databasePath(),
                                    "<?xml version=\"1.0\"?><taskdb version=\"1\"/>"));
        auto first = m_home->start();
        QVERIFY(m_home->waitUntilRunning(*first));
        // A folder where the backup goes makes every replacement fail, even for root.
        QVERIFY(QDir().mkpath(m_home->databasePath() + QStringLiteral(".bak/in the way")));
        // Taken, but not on the disk: the capture does not claim it was added.
        QCOMPARE(m_home->run({QStringLiteral("--add"), QStringLiteral("Keep me")}).code, 3);
        QCOMPARE(m_home->stop(*first), 1);
        QDir parent(m_home->dataFolder());
        parent.cdUp();
        const QStringList copies = parent.entryList({QStringLiteral("mirevo-rescue-*.xml")}, QDir::Files);
        QCOMPARE(copies.size(), 1);
        QVERIFY(testenv::readFile(parent.filePath(copies.first())).contains(QLatin1String("Keep me")));

        QDir(m_home->databasePath() + QStringLiteral(".bak")).removeRecursively();
        auto next = m_home->start();
        QVERIFY(m_home->waitUntilRunning(*next));
        const QString log = m_home->dataFolder() + QStringLiteral("log.txt");
        QTRY_VERIFY(testenv::readFile(log).contains(QLatin1String("An earlier run could not write the task database")));
        QCOMPARE(m_home->stop(*next), 0);
    }

    // When the X server goes (as at logout) the toolkit ends the program at once; what it had
    // not written yet is written first.
    void displayLossWritesPendingChanges()
    {
        if (QStandardPaths::findExecutable(QStringLiteral("Xvfb")).isEmpty())
            QSKIP("Xvfb is needed (Debian: xvfb)");
        QProcess server;
        server.start(QStringLiteral("Xvfb"), {QStringLiteral("-displayfd"), QStringLiteral("1"), QStringLiteral("-nolisten"),
                                             QStringLiteral("tcp"), QStringLiteral("-screen"), QStringLiteral("0"),
                                             QStringLiteral("800x600x24")});
        QTRY_VERIFY_WITH_TIMEOUT(server.canReadLine(), 10000);
        const QString display = QLatin1Char(':') + QString::fromLatin1(server.readLine().trimmed());
        QProcessEnvironment x11;
        x11.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
        x11.insert(QStringLiteral("DISPLAY"), display);
        auto first = m_home->start({}, x11);
        QVERIFY(m_home->waitUntilRunning(*first));
        QCOMPARE(m_home->run({QStringLiteral("--add"), QStringLiteral("Added just before logout")}).code, 0);
        server.terminate();
        QVERIFY(server.waitForFinished(10000));
        QVERIFY(first->waitForFinished(15000));
        const QString written = testenv::readFile(m_home->databasePath());
        QVERIFY(written.contains(QLatin1String("Added just before logout")));
        QVERIFY(QFile::exists(m_home->dataFolder() + QStringLiteral("metrics.xml")));
    }

    // The update check of the real program, over HTTPS to a local server: the toolkit's TLS
    // back end must be found (the refusal of an unknown authority: the connection's tests).
    void updateCheckUsesVerifiedHttps()
    {
        testhttp::ScriptedServer server;
        if (!testhttp::makeCertificate(m_home->path(), QStringLiteral("server"), &server.certificate, &server.key))
            QSKIP("the openssl tool is needed to make a certificate");
        server.responses << testhttp::httpResponse(200, "{ \"updates\" : [] }");
        QVERIFY(server.start());
        QProcessEnvironment extra;
        extra.insert(QStringLiteral("MIREVO_UPDATE_SERVER"), server.url(QString()).toString());
        extra.insert(QStringLiteral("SSL_CERT_FILE"), m_home->path() + "/server-cert.pem");
        auto first = m_home->start({}, extra);
        QTRY_COMPARE_WITH_TIMEOUT(server.requests.size(), 1, 20000);
        QVERIFY(server.requests.first().requestLine.startsWith("GET /updates?id="));
        QCOMPARE(m_home->stop(*first), 0);
    }
};

MRV_TEST_GUILESS_MAIN(TstStartup)
#include "tst_startup.moc"
