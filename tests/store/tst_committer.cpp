#include "base/log.h"
#include "store/csafefileupdate.h"
#include "store/taskstorage.h"
#include "support/testenv.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QTemporaryDir>

#include <csignal>
#include <functional>
#include <memory>

#include <sys/resource.h>

class TstCommitter : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<QTemporaryDir> m_dir;
    QString m_path;

    std::shared_ptr<TaskStorage> open(int quietMs, int ceilingMs = -1, std::function<QDate()> today = nullptr)
    {
        auto store = std::make_shared<TaskStorage>(m_path, quietMs);
        if (ceilingMs > 0)
            store->setCommitCeilingMs(ceilingMs);
        if (today)
            store->setDayFunction(today);
        const int result = store->init();
        return result == 0 ? store : nullptr;
    }

    // Links too, dangling ones included.
    QStringList files(const QString& folder = QString()) const
    {
        return QDir(folder.isEmpty() ? m_dir->path() : folder)
            .entryList(QDir::AllEntries | QDir::System | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name);
    }

    static bool writeNewFile(CSafeFileUpdate& update, const QByteArray& bytes)
    {
        QFile file;
        if (!update.open(file) || file.write(bytes) != bytes.size())
            return false;
        file.close();
        return file.error() == QFileDevice::NoError;
    }

    std::shared_ptr<TaskStorage> openWithTask(const QString& name)
    {
        auto store = open(3600000);
        if (store)
            store->setTaskName(store->createTask(FocusGroup::inboxId()), name);
        return store;
    }

    QString nameIn(const QString& path) const
    {
        auto store = std::make_shared<TaskStorage>(path, 3600000);
        if (store->init() != 0)
            return QStringLiteral("<unreadable>");
        const QList<QUuid> inbox = store->group(FocusGroup::inboxId()).taskIds();
        return inbox.isEmpty() ? QString() : store->task(inbox.last()).name();
    }

private Q_SLOTS:
    void init()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        m_path = m_dir->filePath(QStringLiteral("database.xml"));
    }

    void cleanup()
    {
        CSafeFileUpdate::setRenameFunction(nullptr);
        const rlimit unlimited{RLIM_INFINITY, RLIM_INFINITY};
        ::setrlimit(RLIMIT_FSIZE, &unlimited);
    }

    void newFileNames_data()
    {
        QTest::addColumn<QStringList>("existing");
        QTest::addColumn<QString>("chosen");
        QTest::newRow("nothing left over") << QStringList() << QStringLiteral("database.xml.new");
        QTest::newRow(".new left over") << QStringList{QStringLiteral("database.xml.new")} << QStringLiteral("database.xml.new_0");
        QTest::newRow("two left over") << QStringList{QStringLiteral("database.xml.new"), QStringLiteral("database.xml.new_0")}
                                       << QStringLiteral("database.xml.new_1");
        QTest::newRow("gap is reused") << QStringList{QStringLiteral("database.xml.new"), QStringLiteral("database.xml.new_1")}
                                       << QStringLiteral("database.xml.new_0");
    }

    void newFileNames()
    {
        QFETCH(QStringList, existing);
        QFETCH(QString, chosen);
        for (const QString& name : existing)
            QVERIFY(testenv::writeBytes(m_dir->filePath(name), "x"));
        CSafeFileUpdate update(m_path);
        QFile file;
        QVERIFY(update.open(file));
        QCOMPARE(update.newFileName(), m_dir->filePath(chosen));
        QCOMPARE(file.fileName(), m_dir->filePath(chosen));
    }

    void namesRunOutAfterAThousand()
    {
        testenv::writeBytes(m_path + QStringLiteral(".new"), "x");
        for (int i = 0; i < CSafeFileUpdate::NewFileNames; ++i)
            testenv::writeBytes(m_path + QStringLiteral(".new_%1").arg(i), "x");
        CSafeFileUpdate update(m_path);
        QFile file;
        QVERIFY(!update.open(file));
        QCOMPARE(update.errorString(), QStringLiteral("File exists"));
        QCOMPARE(testenv::readBytes(update.newFileName()), QByteArray("x"));
    }

    void commitKeepsThePreviousFileAsBackup()
    {
        testenv::writeBytes(m_path, "old");
        testenv::writeBytes(m_path + QStringLiteral(".bak"), "older");
        CSafeFileUpdate update(m_path);
        QVERIFY(writeNewFile(update, "new"));
        QVERIFY(update.commit());
        QCOMPARE(testenv::readBytes(m_path), QByteArray("new"));
        QCOMPARE(testenv::readBytes(m_path + QStringLiteral(".bak")), QByteArray("old"));
        QCOMPARE(files(), (QStringList{QStringLiteral("database.xml"), QStringLiteral("database.xml.bak")}));
    }

    void firstCommitMakesNoBackup()
    {
        CSafeFileUpdate update(m_path);
        QVERIFY(writeNewFile(update, "new"));
        QVERIFY(update.commit());
        QCOMPARE(files(), QStringList{QStringLiteral("database.xml")});
    }

    void commitWithoutNewFileFails()
    {
        testenv::writeBytes(m_path, "old");
        QVERIFY(!CSafeFileUpdate(m_path).commit());
        QCOMPARE(testenv::readBytes(m_path), QByteArray("old"));
    }

    void commitFailsWhenTheBackupCannotBeRemoved()
    {
        testenv::writeBytes(m_path, "old");
        QVERIFY(QDir().mkpath(m_path + QStringLiteral(".bak/inside")));
        CSafeFileUpdate update(m_path);
        QVERIFY(writeNewFile(update, "new"));
        QVERIFY(!update.commit());
        QCOMPARE(testenv::readBytes(m_path), QByteArray("old"));
    }

    void noChangeWritesNothing()
    {
        auto store = open(20);
        QTest::qWait(150);
        store.reset();
        QVERIFY(files().isEmpty());
    }

    void aChangeIsWrittenOnceAfterAQuietInterval()
    {
        auto store = open(40);
        QVERIFY(store);
        const TodoTask::Id id = store->createTask(FocusGroup::inboxId());
        store->setTaskName(id, QStringLiteral("Quiet"));
        QElapsedTimer timer;
        timer.start();
        QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(m_path), 5000);
        // Written on the first tick that finds the revision unchanged: never before one interval.
        QVERIFY(timer.elapsed() >= 40);
        QCOMPARE(nameIn(m_path), QStringLiteral("Quiet"));
        QVERIFY(!QFile::exists(m_path + QStringLiteral(".bak")));

        store->setTaskName(id, QStringLiteral("Second"));
        QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(m_path + QStringLiteral(".bak")), 5000);
        QTRY_COMPARE_WITH_TIMEOUT(nameIn(m_path), QStringLiteral("Second"), 5000);
        QCOMPARE(nameIn(m_path + QStringLiteral(".bak")), QStringLiteral("Quiet"));
    }

    void aStreamOfChangesIsWrittenByTheCeiling_data()
    {
        QTest::addColumn<int>("ceilingMs");
        QTest::addColumn<bool>("writtenDuringTheStream");
        QTest::newRow("ceiling beyond the stream") << 100000 << false;
        QTest::newRow("ceiling within the stream") << 250 << true;
    }

    void aStreamOfChangesIsWrittenByTheCeiling()
    {
        QFETCH(int, ceilingMs);
        QFETCH(bool, writtenDuringTheStream);
        auto store = open(150, ceilingMs);
        QVERIFY(store);
        const TodoTask::Id id = store->createTask(FocusGroup::inboxId());
        QElapsedTimer timer;
        timer.start();
        int n = 0;
        bool written = false;
        while (timer.elapsed() < 1000) {
            store->setTaskName(id, QString::number(++n));
            QTest::qWait(20);
            written = written || QFile::exists(m_path);
        }
        QCOMPARE(written, writtenDuringTheStream);
        // Once quiet, the last change is written too.
        QTRY_COMPARE_WITH_TIMEOUT(nameIn(m_path), QString::number(n), 5000);
    }

    void aFailedRenameLeavesThePreviousFile()
    {
        auto store = open(3600000);
        const TodoTask::Id id = store->createTask(FocusGroup::inboxId());
        store->setTaskName(id, QStringLiteral("Kept"));
        QVERIFY(store->commitNow());
        const QByteArray before = testenv::readBytes(m_path);
        const QString logPath = m_dir->filePath(QStringLiteral("log.txt"));
        Log::instance()->open(logPath);
        // The second rename (the new file into place) fails.
        int renames = 0;
        CSafeFileUpdate::setRenameFunction(
            [&renames](const QString&, const QString&, QString*) { return ++renames != 2; });
        store->setTaskName(id, QStringLiteral("Lost"));
        const bool committed = store->commitNow();
        CSafeFileUpdate::setRenameFunction(nullptr);
        Log::destroy();
        QVERIFY(!committed);
        QCOMPARE(testenv::readBytes(m_path), before);
        QVERIFY(files().filter(QStringLiteral(".new")).isEmpty());
        QVERIFY(testenv::readFile(logPath).contains(QLatin1String("Safe file update failed")));
        // The change is still pending and reaches the file with the next write.
        store.reset();
        QCOMPARE(nameIn(m_path), QStringLiteral("Lost"));
    }

    void staleNewFilesGoAfterASuccessfulWrite()
    {
        testenv::writeBytes(m_path + QStringLiteral(".new"), "crash");
        testenv::writeBytes(m_path + QStringLiteral(".new_3"), "crash");
        testenv::writeBytes(m_path + QStringLiteral(".newer"), "not ours");
        auto store = open(3600000);
        QVERIFY(store->commitNow());
        QCOMPARE(files(), (QStringList{QStringLiteral("database.xml"), QStringLiteral("database.xml.newer")}));
    }

    void symlinkedDatabaseIsWrittenWhereItPoints_data()
    {
        // What database.xml holds ("@" stands for the test folder) and, when set, what the
        // second link real/hop.xml holds.
        QTest::addColumn<QString>("link");
        QTest::addColumn<QString>("hop");
        QTest::newRow("relative") << QStringLiteral("real/data.xml") << QString();
        QTest::newRow("absolute") << QStringLiteral("@/real/data.xml") << QString();
        QTest::newRow("chain, each relative to its folder") << QStringLiteral("real/hop.xml") << QStringLiteral("data.xml");
    }

    void symlinkedDatabaseIsWrittenWhereItPoints()
    {
        QFETCH(QString, link);
        QFETCH(QString, hop);
        const QString real = m_dir->filePath(QStringLiteral("real"));
        QVERIFY(QDir().mkpath(real));
        QVERIFY(QFile::link(link.replace(QLatin1Char('@'), m_dir->path()), m_path));
        if (!hop.isEmpty())
            QVERIFY(QFile::link(hop, real + QStringLiteral("/hop.xml")));
        auto store = open(3600000);
        QVERIFY(store);
        const TodoTask::Id id = store->createTask(FocusGroup::inboxId());
        for (const QString& name : {QStringLiteral("First"), QStringLiteral("Second")}) {
            store->setTaskName(id, name);
            QVERIFY(store->commitNow());
            QVERIFY(QFileInfo(m_path).isSymLink());
            QCOMPARE(nameIn(real + QStringLiteral("/data.xml")), name);
            QCOMPARE(files(), (QStringList{QStringLiteral("database.xml"), QStringLiteral("real")}));
        }
        QCOMPARE(nameIn(real + QStringLiteral("/data.xml.bak")), QStringLiteral("First"));
        QCOMPARE(QFileInfo(real + QStringLiteral("/hop.xml")).isSymLink(), !hop.isEmpty());
        store.reset();
        // The file gone, the link dangles: its backup is the one beside the file.
        QVERIFY(QFile::remove(real + QStringLiteral("/data.xml")));
        QCOMPARE(nameIn(m_path), QStringLiteral("First"));
    }

    void plantedLinksAreNeverFollowed_data()
    {
        QTest::addColumn<QStringList>("leftOver");
        QTest::addColumn<QString>("planted");
        QTest::newRow("at .new") << QStringList() << QStringLiteral("database.xml.new");
        QTest::newRow("at .new_0") << QStringList{QStringLiteral("database.xml.new")} << QStringLiteral("database.xml.new_0");
    }

    void plantedLinksAreNeverFollowed()
    {
        QFETCH(QStringList, leftOver);
        QFETCH(QString, planted);
        QVERIFY(QDir().mkpath(m_dir->filePath(QStringLiteral("elsewhere"))));
        const QString outside = m_dir->filePath(QStringLiteral("elsewhere/planted.xml"));
        for (const QString& name : leftOver)
            QVERIFY(testenv::writeBytes(m_dir->filePath(name), "crash"));
        QVERIFY(QFile::link(outside, m_dir->filePath(planted)));
        auto store = openWithTask(QStringLiteral("Mine"));
        QVERIFY(store->commitNow());
        QVERIFY(!QFileInfo::exists(outside));
        QVERIFY(!QFileInfo(m_path).isSymLink());
        QCOMPARE(nameIn(m_path), QStringLiteral("Mine"));
        QCOMPARE(files(), (QStringList{QStringLiteral("database.xml"), QStringLiteral("elsewhere")}));
    }

    void failedWritesAreReportedRetriedAndRecovered_data()
    {
        QTest::addColumn<QString>("breakage");
        QTest::addColumn<QString>("reason"); // %1: the database
        QTest::newRow("folder replaced by a file") << QStringLiteral("folder") << QStringLiteral("cannot create %1.new: Not a directory");
        QTest::newRow("replacement refused") << QStringLiteral("rename") << QStringLiteral("cannot replace %1: Read-only file system");
        // A file size limit fails writes as a full disk does, also for root.
        QTest::newRow("no room for the new file") << QStringLiteral("size") << QStringLiteral("cannot write %1.new: no room left on the disk");
    }

    void failedWritesAreReportedRetriedAndRecovered()
    {
        QFETCH(QString, breakage);
        QFETCH(QString, reason);
        const QString folder = m_dir->filePath(QStringLiteral("data"));
        const QString aside = folder + QStringLiteral("-aside");
        QVERIFY(QDir().mkpath(folder));
        m_path = folder + QStringLiteral("/database.xml");
        reason = reason.arg(m_path);
        const auto breakWrites = [&](bool broken) {
            if (breakage == QLatin1String("size")) {
                std::signal(SIGXFSZ, SIG_IGN);
                const rlimit limit{broken ? rlim_t(100) : RLIM_INFINITY, RLIM_INFINITY};
                return ::setrlimit(RLIMIT_FSIZE, &limit) == 0;
            }
            if (breakage == QLatin1String("rename")) {
                CSafeFileUpdate::setRenameFunction(broken ? [](const QString&, const QString&, QString* error) {
                    *error = QStringLiteral("Read-only file system");
                    return false;
                } : CSafeFileUpdate::RenameFunction());
                return true;
            }
            if (broken)
                return QDir().rename(folder, aside) && testenv::writeBytes(folder, "x");
            return QFile::remove(folder) && QDir().rename(aside, folder);
        };
        auto store = open(20, 100);
        QVERIFY(store);
        QList<QPair<bool, QString>> statuses;
        connect(store.get(), &TaskStorage::writeStatusChanged, this,
                [&statuses](bool ok, const QString& why) { statuses.append({ok, why}); }, Qt::QueuedConnection);
        const TodoTask::Id id = store->createTask(FocusGroup::inboxId());
        store->setTaskName(id, QStringLiteral("Written"));
        QTRY_COMPARE_WITH_TIMEOUT(nameIn(m_path), QStringLiteral("Written"), 5000);
        QVERIFY(!store->hasUnwrittenChanges());

        QVERIFY(breakWrites(true));
        store->setTaskName(id, QStringLiteral("Kept"));
        QTRY_COMPARE_WITH_TIMEOUT(statuses.size(), 1, 5000);
        QCOMPARE(statuses.first(), qMakePair(false, reason));
        QVERIFY(store->hasUnwrittenChanges());
        // The retries fail for the same reason: nothing new to tell.
        QTest::qWait(350);
        QCOMPARE(statuses.size(), 1);
        // A retry, with no change since, writes it.
        QVERIFY(breakWrites(false));
        QTRY_COMPARE_WITH_TIMEOUT(statuses.size(), 2, 5000);
        QCOMPARE(statuses.last(), qMakePair(true, QString()));
        QVERIFY(!store->hasUnwrittenChanges());
        QCOMPARE(nameIn(m_path), QStringLiteral("Kept"));

        QVERIFY(breakWrites(true));
        store->setTaskName(id, QStringLiteral("Unwritten"));
        QVERIFY(!store->finishWriting());
        QVERIFY(breakWrites(false));
        QTRY_COMPARE_WITH_TIMEOUT(statuses.size(), 3, 5000);
        QCOMPARE(statuses.last(), qMakePair(false, reason));
        // Finished: the changes stay unwritten, for a rescue copy.
        QTest::qWait(150);
        QVERIFY(store->hasUnwrittenChanges());
        QCOMPARE(nameIn(m_path), QStringLiteral("Kept"));
    }

    void writeCopyToMakesOnlyANewFile_data()
    {
        QTest::addColumn<QString>("inTheWay");
        QTest::newRow("free name") << QString();
        QTest::newRow("existing file") << QStringLiteral("keep");
        QTest::newRow("dangling link") << QStringLiteral("link");
    }

    void writeCopyToMakesOnlyANewFile()
    {
        QFETCH(QString, inTheWay);
        const QString copy = m_dir->filePath(QStringLiteral("rescue.xml"));
        if (inTheWay == QLatin1String("keep"))
            QVERIFY(testenv::writeBytes(copy, "keep"));
        else if (inTheWay == QLatin1String("link"))
            QVERIFY(QFile::link(m_dir->filePath(QStringLiteral("outside.xml")), copy));
        auto store = openWithTask(QStringLiteral("Rescued"));
        QString error;
        const bool written = store->writeCopyTo(copy, &error);
        QCOMPARE(written, inTheWay.isEmpty());
        QCOMPARE(files(), QStringList{QStringLiteral("rescue.xml")});
        // The copy is no write of the database.
        QVERIFY(store->hasUnwrittenChanges());
        if (written) {
            int listed = 0;
            QCOMPARE(TaskStorage::inspect(copy, &listed), 0);
            QCOMPARE(listed, 1);
            QCOMPARE(nameIn(copy), QStringLiteral("Rescued"));
        } else {
            QCOMPARE(error, QStringLiteral("cannot create %1: File exists").arg(copy));
            QCOMPARE(testenv::readBytes(copy), inTheWay == QLatin1String("keep") ? QByteArray("keep") : QByteArray());
        }
    }

    void dailyBackupsKeepTheLastThreeDays()
    {
        QDate day(2026, 12, 1);
        auto store = open(3600000, -1, [&day] { return day; });
        const TodoTask::Id id = store->createTask(FocusGroup::inboxId());
        for (int i = 0; i < 6; ++i) {
            store->setTaskName(id, QStringLiteral("day %1").arg(day.day()));
            QVERIFY(store->commitNow());
            store->setTaskName(id, QStringLiteral("day %1, later").arg(day.day()));
            QVERIFY(store->commitNow());
            day = day.addDays(1);
        }
        const QStringList dailies = files().filter(QStringLiteral(".bak-"));
        QCOMPARE(dailies, (QStringList{"database.xml.bak-2026-12-04", "database.xml.bak-2026-12-05",
                                       "database.xml.bak-2026-12-06"}));
        // Each holds the file as it was before the first write of its day.
        QCOMPARE(nameIn(m_dir->filePath(dailies.last())), QStringLiteral("day 5, later"));
    }

    void shutdownWritesPendingChanges()
    {
        auto store = open(3600000);
        const TodoTask::Id id = store->createTask(FocusGroup::inboxId());
        store->setTaskName(id, QStringLiteral("At exit"));
        QElapsedTimer timer;
        timer.start();
        QVERIFY(store->finishWriting());
        QVERIFY(timer.elapsed() < 5000);
        QVERIFY(!store->hasUnwrittenChanges());
        QCOMPARE(nameIn(m_path), QStringLiteral("At exit"));
    }

    void commitNowWritesAtOnceAndOnlyOnce()
    {
        auto store = open(3600000);
        const TodoTask::Id id = store->createTask(FocusGroup::inboxId());
        store->setTaskName(id, QStringLiteral("Logoff"));
        store->commitNow();
        QCOMPARE(nameIn(m_path), QStringLiteral("Logoff"));
        store.reset();
        // The shutdown pass found nothing new: no second write, so no backup.
        QCOMPARE(files(), QStringList{QStringLiteral("database.xml")});
    }

    void commitNowWritesEvenWithoutChanges()
    {
        auto store = open(3600000);
        store->commitNow();
        QVERIFY(QFile::exists(m_path));
    }

    void periodicAndImmediateWritesNeverOverlap()
    {
        auto store = open(1);
        QVERIFY(store);
        const TodoTask::Id id = store->createTask(FocusGroup::inboxId());
        QElapsedTimer timer;
        timer.start();
        int n = 0;
        while (timer.elapsed() < 600) {
            store->setTaskName(id, QString::number(++n));
            if (n % 7 == 0)
                store->commitNow();
            QTest::qWait(1);
        }
        store.reset();
        QCOMPARE(nameIn(m_path), QString::number(n));
        const QStringList left = files().filter(QStringLiteral(".new"));
        QVERIFY2(left.isEmpty(), qPrintable(left.join(QLatin1Char(' '))));
    }

    void aLoneBackupIsLoadedAndWrittenBack()
    {
        {
            auto store = open(3600000);
            const TodoTask::Id id = store->createTask(FocusGroup::inboxId());
            store->setTaskName(id, QStringLiteral("Survivor"));
        }
        // A replacement interrupted between its two renames leaves only the backup.
        QVERIFY(QFile::rename(m_path, m_path + QStringLiteral(".bak")));
        const QString logPath = m_dir->filePath(QStringLiteral("log.txt"));
        Log::instance()->open(logPath);
        auto store = open(3600000);
        QVERIFY(store);
        QCOMPARE(store->revision(), 1);
        const QList<QUuid> inbox = store->group(FocusGroup::inboxId()).taskIds();
        QCOMPARE(inbox.size(), 1);
        QCOMPARE(store->task(inbox.first()).name(), QStringLiteral("Survivor"));
        Log::instance()->flush();
        const QString log = testenv::readFile(logPath);
        Log::destroy();
        QVERIFY2(log.startsWith(QLatin1String("Warning ")) && log.contains(QLatin1String("backup")), qPrintable(log));
        store.reset();
        QCOMPARE(nameIn(m_path), QStringLiteral("Survivor"));
    }

    void repairedDatabaseIsWrittenBack()
    {
        const QByteArray bytes = "<?xml version=\"1.0\" encoding=\"UTF-8\"?><taskdb version=\"1\"><groups>"
                                 "<g name=\"Inbox\" id=\"{b78901e8-4787-4e9e-8977-f940608e4fb9}\">"
                                 "<tid>{0b7a1a9e-5a4f-4a43-9e43-2f0f5a1e0fff}</tid></g></groups></taskdb>";
        testenv::writeBytes(m_path, bytes);
        auto store = open(40);
        QVERIFY(store);
        QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(m_path + QStringLiteral(".bak")), 5000);
        QCOMPARE(testenv::readBytes(m_path + QStringLiteral(".bak")), bytes);
        QVERIFY(!testenv::readBytes(m_path).contains("0fff"));
    }
};

MRV_TEST_GUILESS_MAIN(TstCommitter)
#include "tst_committer.moc"
