#include "core/instancelock.h"
#include "store/focusgroup.h"
#include "store/taskstorage.h"
#include "support/programhome.h"

#include <QDir>
#include <QElapsedTimer>
#include <QLocalServer>
#include <QLocalSocket>
#include <QProcess>

#include <csignal>

#include <memory>

// The real program started from the command line under a temporary HOME, without a display.
class TstQuickCapture : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<testenv::ProgramHome> m_home;

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
        const QByteArray damaged = "<?xml version=\"1.0\"?><taskdb version=\"1\"><groups>";
        QVERIFY(testenv::writeBytes(m_home->databasePath(), damaged));
        const QByteArray backup = "<?xml version=\"1.0\"?><taskdb version=\"1\"/>";
        QVERIFY(testenv::writeBytes(m_home->databasePath() + QStringLiteral(".bak"), backup));
        const auto result = m_home->run({QStringLiteral("--add"), QStringLiteral("x")});
        QCOMPARE(result.code, 1);
        QVERIFY2(result.err.contains(m_home->databasePath()), qPrintable(result.err));
        QCOMPARE(testenv::readBytes(m_home->databasePath()), damaged);
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
        const QByteArray damagedBytes = "<?xml version=\"1.0\"?><taskdb version=\"1\"><groups>";
        if (damaged) {
            QDir().mkpath(m_home->dataFolder());
            QVERIFY(testenv::writeBytes(m_home->databasePath(), damagedBytes));
            QVERIFY(testenv::writeBytes(m_home->databasePath() + QStringLiteral(".bak"), "<?xml version=\"1.0\"?><taskdb version=\"1\"/>"));
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
            QCOMPARE(testenv::readBytes(m_home->databasePath()), damaged ? damagedBytes : QByteArray());
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

MRV_TEST_GUILESS_MAIN(TstQuickCapture)
#include "tst_quickcapture.moc"
