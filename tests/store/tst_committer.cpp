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

    QString bak() const { return m_path + QStringLiteral(".bak"); }

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
    QStringList files() const
    {
        const auto all = QDir::AllEntries | QDir::System | QDir::Hidden | QDir::NoDotAndDotDot;
        return QDir(m_dir->path()).entryList(all, QDir::Name);
    }

    static bool writeNewFile(CSafeFileUpdate& update, const QByteArray& bytes)
    {
        QFile file;
        if (!update.open(file) || file.write(bytes) != bytes.size())
            return false;
        file.close();
        return file.error() == QFileDevice::NoError;
    }

    // The tests' task is the last of the Inbox; named the first time, it is made.
    static void name(TaskStorage& store, const QString& name)
    {
        const QList<QUuid> inbox = store.group(FocusGroup::inboxId()).taskIds();
        store.setTaskName(inbox.isEmpty() ? store.createTask(FocusGroup::inboxId()) : inbox.last(), name);
    }

    static QString nameOf(const TaskStorage& store)
    {
        const QList<QUuid> inbox = store.group(FocusGroup::inboxId()).taskIds();
        return inbox.isEmpty() ? QString() : store.task(inbox.last()).name();
    }

    static QString nameIn(const QString& path)
    {
        TaskStorage store(path, 3600000);
        return store.init() == 0 ? nameOf(store) : QStringLiteral("<unreadable>");
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
        // "@": a link to a file elsewhere, planted at that name.
        QTest::addColumn<QStringList>("existing");
        QTest::addColumn<QString>("chosen"); // empty: none left
        const QString name = QStringLiteral("database.xml.new");
        const QString first = name + QStringLiteral("_0");
        QTest::newRow(".new left over") << QStringList{name} << first;
        QTest::newRow("link at .new") << QStringList{QLatin1Char('@') + name} << first;
        QStringList thousand{name};
        for (int i = 0; i < CSafeFileUpdate::NewFileNames; ++i)
            thousand << name + QStringLiteral("_%1").arg(i);
        QTest::newRow("names run out after a thousand") << thousand << QString();
    }

    void newFileNames()
    {
        QFETCH(QStringList, existing);
        QFETCH(QString, chosen);
        const QString outside = m_dir->filePath(QStringLiteral("planted.xml"));
        for (const QString& name : existing) {
            if (name.startsWith(QLatin1Char('@')))
                QVERIFY(QFile::link(outside, m_dir->filePath(name.mid(1))));
            else
                QVERIFY(testenv::writeBytes(m_dir->filePath(name), "x"));
        }
        CSafeFileUpdate update(m_path);
        QFile file;
        QCOMPARE(update.open(file), !chosen.isEmpty());
        QVERIFY(!QFileInfo::exists(outside));
        if (chosen.isEmpty()) {
            QCOMPARE(update.errorString(), QStringLiteral("File exists"));
            QCOMPARE(testenv::readBytes(update.newFileName()), QByteArray("x"));
            return;
        }
        QCOMPARE(update.newFileName(), m_dir->filePath(chosen));
        QCOMPARE(file.fileName(), m_dir->filePath(chosen));
        QVERIFY(!QFileInfo(file.fileName()).isSymLink());
    }

    void aFailedCommitLeavesTheDatabase()
    {
        testenv::writeBytes(m_path, "old");
        QVERIFY(QDir().mkpath(bak() + QStringLiteral("/inside")));
        CSafeFileUpdate update(m_path);
        QVERIFY(writeNewFile(update, "new"));
        QVERIFY(!update.commit()); // the backup cannot be removed
        QCOMPARE(testenv::readBytes(m_path), QByteArray("old"));
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
        auto store = open(400, ceilingMs);
        QVERIFY(store);
        // No change, nothing written.
        QTest::qWait(500);
        QVERIFY(files().isEmpty());
        QElapsedTimer timer;
        timer.start();
        int n = 0;
        bool written = false;
        while (timer.elapsed() < 1000) {
            name(*store, QString::number(++n));
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
        name(*store, QStringLiteral("Kept"));
        QVERIFY(store->commitNow());
        const QByteArray before = testenv::readBytes(m_path);
        const QString logPath = m_dir->filePath(QStringLiteral("log.txt"));
        Log::instance()->open(logPath);
        // The second rename (the new file into place) fails.
        int renames = 0;
        CSafeFileUpdate::setRenameFunction(
            [&renames](const QString&, const QString&, QString*) { return ++renames != 2; });
        name(*store, QStringLiteral("Lost"));
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

    void symlinkedDatabaseIsWrittenWhereItPoints_data()
    {
        // What database.xml holds ("@" stands for the test folder) and, when set, what the
        // second link real/hop.xml holds.
        QTest::addColumn<QString>("link");
        QTest::addColumn<QString>("hop");
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
        for (const QString& given : {QStringLiteral("First"), QStringLiteral("Second")}) {
            name(*store, given);
            QVERIFY(store->commitNow());
            QVERIFY(QFileInfo(m_path).isSymLink());
            QCOMPARE(nameIn(real + QStringLiteral("/data.xml")), given);
            QCOMPARE(files(), (QStringList{QStringLiteral("database.xml"), QStringLiteral("real")}));
        }
        QCOMPARE(nameIn(real + QStringLiteral("/data.xml.bak")), QStringLiteral("First"));
        QCOMPARE(QFileInfo(real + QStringLiteral("/hop.xml")).isSymLink(), !hop.isEmpty());
        store.reset();
        // The file gone, the link dangles: its backup is the one beside the file.
        QVERIFY(QFile::remove(real + QStringLiteral("/data.xml")));
        QCOMPARE(nameIn(m_path), QStringLiteral("First"));
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
        name(*store, QStringLiteral("Written"));
        QTRY_COMPARE_WITH_TIMEOUT(nameIn(m_path), QStringLiteral("Written"), 5000);
        QVERIFY(!store->hasUnwrittenChanges());

        QVERIFY(breakWrites(true));
        name(*store, QStringLiteral("Kept"));
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
        name(*store, QStringLiteral("Unwritten"));
        QVERIFY(!store->finishWriting());
        QVERIFY(breakWrites(false));
        QTRY_COMPARE_WITH_TIMEOUT(statuses.size(), 3, 5000);
        QCOMPARE(statuses.last(), qMakePair(false, reason));
        // Finished: the changes stay unwritten, for a rescue copy.
        QTest::qWait(150);
        QVERIFY(store->hasUnwrittenChanges());
        QCOMPARE(nameIn(m_path), QStringLiteral("Kept"));
    }

    void writeCopyToMakesOnlyANewFile()
    {
        const QString copy = m_dir->filePath(QStringLiteral("rescue.xml"));
        const QString link = m_dir->filePath(QStringLiteral("link.xml"));
        QVERIFY(QFile::link(m_dir->filePath(QStringLiteral("outside.xml")), link));
        auto store = open(3600000);
        name(*store, QStringLiteral("Rescued"));
        QString error;
        QVERIFY(store->writeCopyTo(copy, &error));
        int listed = 0;
        QCOMPARE(TaskStorage::inspect(copy, &listed), 0);
        QCOMPARE(listed, 1);
        const QByteArray written = testenv::readBytes(copy);
        // Neither a file nor a link in the way is written over or through.
        name(*store, QStringLiteral("Again"));
        for (const QString& path : {copy, link}) {
            QVERIFY(!store->writeCopyTo(path, &error));
            QCOMPARE(error, QStringLiteral("cannot create %1: File exists").arg(path));
        }
        QCOMPARE(testenv::readBytes(copy), written);
        QCOMPARE(files(), (QStringList{QStringLiteral("link.xml"), QStringLiteral("rescue.xml")}));
        // The copy is no write of the database.
        QVERIFY(store->hasUnwrittenChanges());
    }

    void dailyBackupsKeepTheLastThreeDays()
    {
        QDate day(2026, 12, 1);
        auto store = open(3600000, -1, [&day] { return day; });
        for (int i = 0; i < 6; ++i) {
            name(*store, QStringLiteral("day %1").arg(day.day()));
            QVERIFY(store->commitNow());
            name(*store, QStringLiteral("day %1, later").arg(day.day()));
            QVERIFY(store->commitNow());
            day = day.addDays(1);
        }
        const QStringList dailies = files().filter(QStringLiteral(".bak-"));
        QCOMPARE(dailies, (QStringList{"database.xml.bak-2026-12-04", "database.xml.bak-2026-12-05",
                                       "database.xml.bak-2026-12-06"}));
        // Each holds the file as it was before the first write of its day.
        QCOMPARE(nameIn(m_dir->filePath(dailies.last())), QStringLiteral("day 5, later"));
    }

    void commitNowAndShutdownWriteWhatIsPendingOnce()
    {
        testenv::writeBytes(m_path + QStringLiteral(".new"), "crash");
        testenv::writeBytes(m_path + QStringLiteral(".new_3"), "crash");
        testenv::writeBytes(m_path + QStringLiteral(".newer"), "not ours");
        auto store = open(3600000);
        // Written at once even without changes; the stale new files go after it.
        QVERIFY(store->commitNow());
        QCOMPARE(files(), (QStringList{QStringLiteral("database.xml"), QStringLiteral("database.xml.newer")}));
        name(*store, QStringLiteral("At exit"));
        QElapsedTimer timer;
        timer.start();
        QVERIFY(store->finishWriting());
        QVERIFY(timer.elapsed() < 5000);
        QVERIFY(!store->hasUnwrittenChanges());
        QCOMPARE(nameIn(m_path), QStringLiteral("At exit"));
        // The shutdown finds nothing new: no third write, so the backup is still the first file.
        const QByteArray first = testenv::readBytes(bak());
        store.reset();
        QCOMPARE(testenv::readBytes(bak()), first);
        QCOMPARE(nameIn(bak()), QString());
    }

    void periodicAndImmediateWritesNeverOverlap()
    {
        auto store = open(1);
        QVERIFY(store);
        QElapsedTimer timer;
        timer.start();
        int n = 0;
        while (timer.elapsed() < 600) {
            name(*store, QString::number(++n));
            if (n % 7 == 0)
                store->commitNow();
            QTest::qWait(1);
        }
        store.reset();
        QCOMPARE(nameIn(m_path), QString::number(n));
        const QStringList left = files().filter(QStringLiteral(".new"));
        QVERIFY2(left.isEmpty(), qPrintable(left.join(QLatin1Char(' '))));
    }

    void aLoneBackupIsLoadedRepairedAndWrittenBack()
    {
        // A replacement interrupted between its two renames leaves only the backup; this one
        // lists a task that has no record.
        const QByteArray bytes = "<?xml version=\"1.0\" encoding=\"UTF-8\"?><taskdb version=\"1\"><groups>"
                                 "<g name=\"Inbox\" id=\"{b78901e8-4787-4e9e-8977-f940608e4fb9}\">"
                                 "<tid>{0b7a1a9e-5a4f-4a43-9e43-2f0f5a1e0001}</tid>"
                                 "<tid>{0b7a1a9e-5a4f-4a43-9e43-2f0f5a1e0fff}</tid></g></groups><todos>"
                                 "<t><id>{0b7a1a9e-5a4f-4a43-9e43-2f0f5a1e0001}</id><name>Survivor</name></t>"
                                 "</todos></taskdb>";
        testenv::writeBytes(bak(), bytes);
        const QString logPath = m_dir->filePath(QStringLiteral("log.txt"));
        Log::instance()->open(logPath);
        auto store = open(40);
        QVERIFY(store);
        QCOMPARE(nameOf(*store), QStringLiteral("Survivor"));
        Log::instance()->flush();
        const QString log = testenv::readFile(logPath);
        Log::destroy();
        QVERIFY2(log.startsWith(QLatin1String("Warning ")) && log.contains(QLatin1String("backup")), qPrintable(log));
        QTRY_COMPARE_WITH_TIMEOUT(nameIn(m_path), QStringLiteral("Survivor"), 5000);
        QCOMPARE(testenv::readBytes(bak()), bytes);
        QVERIFY(!testenv::readBytes(m_path).contains("0fff"));
    }
};

MRV_TEST_GUILESS_MAIN(TstCommitter)
#include "tst_committer.moc"
