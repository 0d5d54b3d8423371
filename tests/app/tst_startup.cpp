#include "core/instancelock.h"
#include "store/focusgroup.h"
#include "store/taskstorage.h"
#include "support/httptestserver.h"
#include "support/programhome.h"

#include <QDir>
#include <QElapsedTimer>
#include <QLocalServer>
#include <QLocalSocket>
#include <QProcess>
#include <QStandardPaths>

#include <csignal>

#include <memory>

// Starts the real program under a temporary HOME and drives it from outside: as a desktop
// starts it, and from the command line without a display (quick capture).
class TstStartup : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<testenv::ProgramHome> m_home;
    // A database cut short, which the program cannot read, and an empty one.
    static inline const QByteArray Damaged = "<?xml version=\"1.0\"?><taskdb version=\"1\"><groups>";
    static inline const QByteArray Empty = "<?xml version=\"1.0\"?><taskdb version=\"1\"/>";

    // The tasks of the Inbox in the database file, in order, as the program would load them.
    QList<TodoTask> inbox()
    {
        TaskStorage storage(m_home->databasePath(), 3600000);
        QList<TodoTask> tasks;
        if (storage.init() != 0)
            return tasks;
        const FocusGroup inboxGroup = storage.group(FocusGroup::inboxId());
        for (const TodoTask::Id& id : inboxGroup.taskIds())
            tasks.append(storage.task(id));
        return tasks;
    }

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
        QTest::newRow("damaged") << Damaged << false << true;
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
        QVERIFY(testenv::writeBytes(m_home->databasePath(), Empty));
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
        const QString arguments = QStringLiteral("-displayfd 1 -nolisten tcp -screen 0 800x600x24");
        server.start(QStringLiteral("Xvfb"), arguments.split(QLatin1Char(' ')));
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

    void addWritesTheTaskToTheDatabase()
    {
        QCOMPARE(m_home->run({QStringLiteral("--add"), QStringLiteral("First")}).code, 0);
        const auto second = m_home->run({QStringLiteral("--add"), QStringLiteral("Say \"hi\" to Zoë 😀"),
                                 QStringLiteral("--due"), QStringLiteral("2024-07-01")});
        QCOMPARE(second.code, 0);
        QCOMPARE(second.out + second.err, QString());
        const QList<TodoTask> tasks = inbox();
        QCOMPARE(tasks.size(), 2);
        QCOMPARE(tasks.at(0).name(), QStringLiteral("First"));
        QCOMPARE(tasks.at(1).name(), QStringLiteral("Say \"hi\" to Zoë 😀"));
        QCOMPARE(tasks.at(1).due(), QDateTime(QDate(2024, 7, 1), QTime(0, 0)));
        // Written through the store's safe update: the first version is the backup.
        QVERIFY(QFile::exists(m_home->databasePath() + QStringLiteral(".bak")));
    }

    void unreadableDatabaseIsLeftAlone()
    {
        QDir().mkpath(m_home->dataFolder());
        QVERIFY(testenv::writeBytes(m_home->databasePath(), Damaged));
        QVERIFY(testenv::writeBytes(m_home->databasePath() + QStringLiteral(".bak"), Empty));
        const auto result = m_home->run({QStringLiteral("--add"), QStringLiteral("x")});
        QCOMPARE(result.code, 1);
        QVERIFY2(result.err.contains(m_home->databasePath()), qPrintable(result.err));
        QCOMPARE(testenv::readBytes(m_home->databasePath()), Damaged);
        const QStringList names{QStringLiteral("database.xml*")};
        QCOMPARE(QDir(m_home->dataFolder()).entryList(names, QDir::Files),
                 (QStringList{QStringLiteral("database.xml"), QStringLiteral("database.xml.bak"),
                              QStringLiteral("database.xml.lock")}));
    }

    // A running program that takes the message but never confirms it: the capture says the task
    // may still arrive (a retry could double it), and Ctrl+C ends its wait at once.
    void unconfirmedCapture_data()
    {
        QTest::addColumn<bool>("interrupt");
        QTest::newRow("connection closed without an answer") << false;
        QTest::newRow("Ctrl+C while waiting") << true;
    }

    void unconfirmedCapture()
    {
        QFETCH(bool, interrupt);
        QDir().mkpath(m_home->dataFolder());
        QLocalServer server;
        QVERIFY(server.listen(m_home->runtimeFolder() + QStringLiteral("/silent.socket")));
        InstanceLock lock(InstanceLock::pathFor(m_home->databasePath()));
        QVERIFY(lock.tryLock(InstanceLock::Program, server.fullServerName()));
        QProcess capture;
        capture.setProcessEnvironment(m_home->environment());
        capture.start(testenv::programPath(), {QStringLiteral("--add"), QStringLiteral("x")});
        QVERIFY(server.waitForNewConnection(10000));
        QLocalSocket* socket = server.nextPendingConnection();
        QTRY_VERIFY(socket->bytesAvailable() > 4);
        QElapsedTimer timer;
        timer.start();
        if (interrupt)
            ::kill(static_cast<pid_t>(capture.processId()), SIGINT);
        else
            socket->disconnectFromServer();
        QVERIFY(capture.waitForFinished(5000));
        QVERIFY(timer.elapsed() < 3000);
        if (interrupt) {
            QCOMPARE(capture.exitStatus(), QProcess::CrashExit);
        } else {
            QCOMPARE(capture.exitCode(), 3);
            QVERIFY(QString::fromUtf8(capture.readAllStandardError()).contains(QLatin1String("may still be added")));
        }
        QVERIFY(!QFile::exists(m_home->databasePath()));
    }

    // The running program takes the task whatever the capture's environment, and confirms it
    // only once it is in its store: while it asks a question at start it refuses it.
    void runningInstanceAddsTheTask_data()
    {
        QTest::addColumn<bool>("captureHasRuntime");
        QTest::addColumn<bool>("damaged");
        QTest::addColumn<QStringList>("programArguments");
        QTest::newRow("same environment") << true << false << QStringList();
        QTest::newRow("capture without a runtime folder (cron, su, ssh)") << false << false << QStringList();
        QTest::newRow("program asking about its damaged database") << true << true << QStringList();
        QTest::newRow("install wizard open") << true << false << QStringList{QStringLiteral("--install")};
    }

    void runningInstanceAddsTheTask()
    {
        QFETCH(bool, captureHasRuntime);
        QFETCH(bool, damaged);
        QFETCH(QStringList, programArguments);
        const bool refusing = damaged || !programArguments.isEmpty();
        if (damaged) {
            QDir().mkpath(m_home->dataFolder());
            QVERIFY(testenv::writeBytes(m_home->databasePath(), Damaged));
            QVERIFY(testenv::writeBytes(m_home->databasePath() + QStringLiteral(".bak"), Empty));
        }
        auto running = m_home->start(programArguments);
        QVERIFY(m_home->waitUntilRunning(*running));
        QProcessEnvironment noRuntime;
        noRuntime.insert(QStringLiteral("XDG_RUNTIME_DIR"), QString());
        const auto result = m_home->run({QStringLiteral("--add"), QStringLiteral("Handed over"),
                                         QStringLiteral("--due"), QStringLiteral("today")},
                                        captureHasRuntime ? QProcessEnvironment() : noRuntime);
        if (refusing) {
            QCOMPARE(result.code, 1);
            QVERIFY2(result.err.contains(QLatin1String("cannot take tasks now")), qPrintable(result.err));
            running->kill();
            running->waitForFinished(5000);
            QCOMPARE(testenv::readBytes(m_home->databasePath()), damaged ? Damaged : QByteArray());
            return;
        }
        QCOMPARE(result.code, 0);
        // Written by the running instance once its store has been quiet for a moment.
        QTRY_COMPARE_WITH_TIMEOUT(inbox().size(), 1, 10000);
        QCOMPARE(inbox().at(0).name(), QStringLiteral("Handed over"));
        QCOMPARE(inbox().at(0).due().date(), QDate::currentDate());
        QCOMPARE(m_home->stop(*running), 0);
    }
};

MRV_TEST_GUILESS_MAIN(TstStartup)
#include "tst_startup.moc"
