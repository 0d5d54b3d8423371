// Task store benchmarks: load, snapshot, write and resident memory for generated databases of
// 1,000, 10,000 and 100,000 tasks, next to the floor of a bare XML pass and a plain file copy.
//
//   bench_store                   runs every size and prints the table
//   bench_store --sizes 1000,...  runs the given sizes only
//   bench_store --rss FILE        loads FILE once and prints the resident-memory growth (used
//                                 by the table so each measure starts in a fresh process)
//   bench_store --gen N FILE      writes the generated database of N tasks to FILE
//   bench_store --gen-inbox N FILE  the same with every task open and in the Inbox
//   bench_store --load FILE       loads FILE once (for profilers)
//   bench_store --write FILE      loads FILE, then writes its document into memory once (for profilers)
//   bench_store --snapshot FILE   loads FILE, then takes 200 snapshots (for profilers)
//
// The undo lines: a Cleanup of a tenth of the tasks (every task open and in the Inbox, every
// tenth completed and moved to Completed) recorded as one step, then undone and redone.

#include "platform/localtime.h"
#include "gendb.h"

#include "store/csafefileupdate.h"
#include "store/databasewriter.h"
#include "store/storestep.h"
#include "store/taskstorage.h"
#include "store/undohistory.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QTextStream>
#include <QXmlStreamReader>

#include <algorithm>
#include <climits>
#include <cstdio>
#include <functional>
#include <malloc.h>
#include <memory>
#include <vector>

namespace {

// Long enough that the committer never looks at the store during a measurement.
constexpr int NoCommitIntervalMs = INT_MAX / 2;

QTextStream& out()
{
    static QTextStream stream(stdout);
    return stream;
}

[[noreturn]] void fail(const QString& message)
{
    out().flush();
    std::fprintf(stderr, "bench_store: %s\n", qUtf8Printable(message));
    std::exit(2);
}

double median(std::vector<double> values)
{
    if (values.empty())
        return 0;
    std::sort(values.begin(), values.end());
    const size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

double elapsedMs(const QElapsedTimer& timer)
{
    return static_cast<double>(timer.nsecsElapsed()) / 1e6;
}

/// Runs `body` `runs` times; `body` returns the milliseconds it measured itself.
double medianOf(int runs, const std::function<double()>& body)
{
    std::vector<double> times;
    times.reserve(static_cast<size_t>(runs));
    for (int i = 0; i < runs; ++i)
        times.push_back(body());
    return median(times);
}

/// VmRSS of this process in KiB, from /proc/self/status.
qint64 residentKiB()
{
    QFile file(QStringLiteral("/proc/self/status"));
    if (!file.open(QIODevice::ReadOnly))
        return -1;
    // /proc files report size 0, so read line by line rather than by size.
    for (QByteArray line = file.readLine(); !line.isEmpty(); line = file.readLine()) {
        if (line.startsWith("VmRSS:")) {
            const QByteArray number = line.mid(6).trimmed().split(' ').value(0);
            return number.toLongLong();
        }
    }
    return -1;
}

/// Bytes currently allocated from the heap (live blocks, both arenas and mmapped).
qint64 liveHeapBytes()
{
    const struct mallinfo2 info = mallinfo2();
    return static_cast<qint64>(info.uordblks + info.hblkhd);
}

// --- Measures --------------------------------------------------------------------------------

double measureLoad(const QString& path)
{
    QElapsedTimer timer;
    timer.start();
    auto store = std::make_unique<TaskStorage>(path, NoCommitIntervalMs);
    const int result = store->init();
    const double ms = elapsedMs(timer);
    if (result != 0)
        fail(QStringLiteral("loading %1 failed with %2").arg(path).arg(result));
    if (store->revision() != 0)
        fail(QStringLiteral("loading %1 left revision %2: the store would be written").arg(path).arg(store->revision()));
    store.reset(); // joins the committer thread; not counted
    if (QFile::exists(path + QStringLiteral(".bak")))
        fail(QStringLiteral("the store wrote %1 while it was only loaded").arg(path));
    return ms;
}

struct BarePass
{
    double ms = 0;
    qint64 tokens = 0;
};

BarePass measureBareXml(const QString& path)
{
    QElapsedTimer timer;
    timer.start();
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        fail(QStringLiteral("cannot open ") + path);
    QXmlStreamReader reader(&file);
    qint64 tokens = 0;
    while (!reader.atEnd()) {
        reader.readNext();
        ++tokens;
    }
    BarePass pass;
    pass.ms = elapsedMs(timer);
    pass.tokens = tokens;
    if (reader.hasError())
        fail(QStringLiteral("bare XML pass over %1 failed: %2").arg(path, reader.errorString()));
    return pass;
}

double measureCopy(const QString& path, const QString& copyPath)
{
    QFile::remove(copyPath);
    QElapsedTimer timer;
    timer.start();
    if (!QFile::copy(path, copyPath))
        fail(QStringLiteral("cannot copy %1 to %2").arg(path, copyPath));
    const double ms = elapsedMs(timer);
    QFile::remove(copyPath);
    return ms;
}

double measureReadAll(const QString& path, qint64 expectedSize)
{
    QElapsedTimer timer;
    timer.start();
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        fail(QStringLiteral("cannot open ") + path);
    const QByteArray bytes = file.readAll();
    const double ms = elapsedMs(timer);
    if (bytes.size() != expectedSize)
        fail(QStringLiteral("short read of ") + path);
    return ms;
}

/// The committer's write: new file, document, flush, close, then the safe replacement (which
/// syncs the new file to disk and keeps ".bak").
double measureWrite(const QString& target, const TaskSnapshot& snapshot)
{
    QElapsedTimer timer;
    timer.start();
    CSafeFileUpdate update(target);
    QFile file;
    if (!update.open(file))
        fail(QStringLiteral("cannot open ") + update.newFileName());
    const bool written = writeDatabase(&file, snapshot) && file.flush();
    file.close();
    if (!written || file.error() != QFileDevice::NoError)
        fail(QStringLiteral("cannot write ") + update.newFileName());
    if (!update.commit())
        fail(QStringLiteral("cannot replace ") + target);
    return elapsedMs(timer);
}

/// writeDatabase alone, into memory: the document's cost without the file system.
double measureWriteToMemory(const TaskSnapshot& snapshot, qint64* size)
{
    QByteArray bytes;
    QElapsedTimer timer;
    timer.start();
    {
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        if (!writeDatabase(&buffer, snapshot))
            fail(QStringLiteral("writing the document into memory failed"));
    }
    const double ms = elapsedMs(timer);
    *size = bytes.size();
    return ms;
}

/// Checks that the loaded store holds exactly the generated tasks and groups.
void verifyStore(const TaskStorage& store, const TaskSnapshot& expected)
{
    TaskSnapshot loaded;
    store.snapshot(loaded);
    if (loaded.tasks.size() != expected.tasks.size())
        fail(QStringLiteral("loaded %1 tasks, expected %2").arg(loaded.tasks.size()).arg(expected.tasks.size()));
    if (loaded.groups.size() != expected.groups.size())
        fail(QStringLiteral("loaded %1 groups, expected %2").arg(loaded.groups.size()).arg(expected.groups.size()));
    for (qsizetype i = 0; i < expected.groups.size(); ++i) {
        if (loaded.groups.at(i) != expected.groups.at(i))
            fail(QStringLiteral("group %1 differs after loading").arg(expected.groups.at(i).name()));
    }
    for (const TodoTask& task : expected.tasks) {
        if (store.task(task.id()) != task)
            fail(QStringLiteral("task %1 differs after loading").arg(task.id().toString()));
    }
}

/// Every task open and listed in the Inbox, as a user who captures everything has it.
void putAllInInbox(TaskSnapshot& snapshot)
{
    FocusGroup::TaskIdList all;
    for (TodoTask& task : snapshot.tasks) {
        task = TodoTask(task.id(), task.name(), task.notes(), false, task.due(), task.created());
        all.append(task.id());
    }
    for (FocusGroup& group : snapshot.groups) {
        group = FocusGroup(group.id(), group.name(), group.iconKey(),
                           group.id() == FocusGroup::inboxId() ? all : FocusGroup::TaskIdList());
    }
}

struct UndoTimes
{
    int cleaned = 0;
    double moveMs = 0;
    double stepMs = 0;
    double undoMs = 0;
    double redoMs = 0;
};

UndoTimes measureUndo(const QString& path, int runs)
{
    // load() alone: no committer, so nothing measured here reaches the file.
    const auto load = [&path](TaskStorage& store) {
        if (store.load() != 0)
            fail(QStringLiteral("loading %1 failed").arg(path));
        const FocusGroup::TaskIdList inbox = store.group(FocusGroup::inboxId()).taskIds();
        FocusGroup::TaskIdList done;
        for (qsizetype i = 0; i < inbox.size(); i += 10) {
            store.setTaskCompleted(inbox.at(i), true, QDateTime::currentDateTime());
            done.append(inbox.at(i));
        }
        return done;
    };
    UndoTimes times;
    {
        // The floor: the same move with nothing recorded.
        TaskStorage store(path, NoCommitIntervalMs);
        const FocusGroup::TaskIdList done = load(store);
        QElapsedTimer timer;
        timer.start();
        store.moveTasks(FocusGroup::inboxId(), FocusGroup::completedId(), done);
        times.moveMs = elapsedMs(timer);
    }
    TaskStorage store(path, NoCommitIntervalMs);
    UndoHistory history(&store);
    const FocusGroup::TaskIdList done = load(store);
    times.cleaned = int(done.size());
    const FocusGroup::TaskIdList inbox = store.group(FocusGroup::inboxId()).taskIds();
    std::vector<double> steps, undos, redos;
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer timer;
        timer.start();
        {
            StoreStep step(store, QStringLiteral("Cleanup"));
            store.moveTasks(FocusGroup::inboxId(), FocusGroup::completedId(), done);
        }
        steps.push_back(elapsedMs(timer));
        timer.restart();
        if (!history.undo().applied)
            fail(QStringLiteral("the Cleanup was not undone"));
        undos.push_back(elapsedMs(timer));
        if (store.group(FocusGroup::inboxId()).taskIds() != inbox || !store.group(FocusGroup::completedId()).isEmpty())
            fail(QStringLiteral("the undone Cleanup left the lists changed"));
        timer.restart();
        history.redo();
        redos.push_back(elapsedMs(timer));
        history.undo();
    }
    times.stepMs = median(steps);
    times.undoMs = median(undos);
    times.redoMs = median(redos);
    return times;
}

// --- Resident memory in a fresh process ----------------------------------------------------------

int runRssMode(const QString& path)
{
    const qint64 rssBefore = residentKiB();
    const qint64 heapBefore = liveHeapBytes();
    auto store = std::make_unique<TaskStorage>(path, NoCommitIntervalMs);
    const int result = store->init();
    if (result != 0)
        fail(QStringLiteral("loading %1 failed with %2").arg(path).arg(result));
    const qint64 rssAfter = residentKiB();
    const qint64 heapAfter = liveHeapBytes();
    // "rss-kib live-heap-bytes"
    std::printf("%lld %lld\n", static_cast<long long>(rssAfter - rssBefore),
                static_cast<long long>(heapAfter - heapBefore));
    return 0;
}

struct Memory
{
    double rssMb = -1;
    double heapMb = -1;
};

Memory measureRssInFreshProcess(const QString& path)
{
    QProcess process;
    process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    process.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--rss"), path});
    if (!process.waitForFinished(120000) || process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0)
        fail(QStringLiteral("the memory measure process failed"));
    const QList<QByteArray> fields = process.readAllStandardOutput().trimmed().split(' ');
    if (fields.size() != 2)
        fail(QStringLiteral("unexpected output of the memory measure process"));
    Memory memory;
    memory.rssMb = static_cast<double>(fields.at(0).toLongLong()) / 1024.0;
    memory.heapMb = static_cast<double>(fields.at(1).toLongLong()) / (1024.0 * 1024.0);
    return memory;
}

// --- The table -----------------------------------------------------------------------------------

struct Row
{
    int tasks = 0;
    double fileMb = 0;
    double loadMs = 0;
    double bareMs = 0;
    qint64 tokens = 0;
    double snapshotMs = 0;
    double reusedSnapshotMs = 0;
    double byIdSnapshotMs = 0;
    double writeMs = 0;
    double documentMs = 0;
    double copyMs = 0;
    double readAllMs = 0;
    Memory memory;
    UndoTimes undo;
};

struct Runs
{
    int load;
    int snapshot;
    int write;
};

Runs runsFor(int tasks)
{
    if (tasks >= 100000)
        return {5, 20, 3};
    if (tasks >= 10000)
        return {7, 20, 5};
    return {15, 20, 9};
}

Row measureSize(int tasks)
{
    QTemporaryDir dir;
    if (!dir.isValid())
        fail(QStringLiteral("cannot create a temporary folder"));
    const QString path = dir.filePath(QStringLiteral("tasks.xml"));

    const TaskSnapshot generated = bench::makeSnapshot(tasks);
    QString error;
    if (!bench::writeDatabaseFile(path, generated, &error))
        fail(error);

    Row row;
    row.tasks = tasks;
    const qint64 fileSize = QFileInfo(path).size();
    row.fileMb = static_cast<double>(fileSize) / (1024.0 * 1024.0);
    const Runs runs = runsFor(tasks);

    // One untimed pass of each reader warms the page cache and the allocator alike.
    measureBareXml(path);
    measureLoad(path);

    // The load and its floor alternate, so a busy moment of the machine hits both alike.
    std::vector<double> loads, bares, copies, reads;
    const QString copyPath = dir.filePath(QStringLiteral("copy.xml"));
    for (int i = 0; i < runs.load; ++i) {
        loads.push_back(measureLoad(path));
        const BarePass pass = measureBareXml(path);
        bares.push_back(pass.ms);
        row.tokens = pass.tokens;
        copies.push_back(measureCopy(path, copyPath));
        reads.push_back(measureReadAll(path, fileSize));
    }
    row.loadMs = median(loads);
    row.bareMs = median(bares);
    row.copyMs = median(copies);
    row.readAllMs = median(reads);

    {
        TaskStorage store(path, NoCommitIntervalMs);
        if (store.init() != 0)
            fail(QStringLiteral("loading %1 failed").arg(path));
        verifyStore(store, generated);

        // Like the committer, copy into an empty snapshot: it releases its previous copy after
        // each write, outside the store's lock.
        row.snapshotMs = medianOf(runs.snapshot, [&] {
            TaskSnapshot fresh;
            QElapsedTimer timer;
            timer.start();
            store.snapshot(fresh);
            return elapsedMs(timer);
        });
        // Reusing a snapshot also releases the previous copy under the lock.
        TaskSnapshot reused;
        store.snapshot(reused);
        row.reusedSnapshotMs = medianOf(runs.snapshot, [&] {
            QElapsedTimer timer;
            timer.start();
            store.snapshot(reused);
            return elapsedMs(timer);
        });

        // The hash form shares the store's hashes: the copy is deferred to the next change.
        TaskSnapshot byId;
        byId.byId = true;
        row.byIdSnapshotMs = medianOf(runs.snapshot, [&] {
            QElapsedTimer timer;
            timer.start();
            store.snapshot(byId);
            return elapsedMs(timer);
        });

        const QString target = dir.filePath(QStringLiteral("written.xml"));
        row.writeMs = medianOf(runs.write, [&] { return measureWrite(target, reused); });
        qint64 documentSize = 0;
        row.documentMs = medianOf(runs.write, [&] { return measureWriteToMemory(reused, &documentSize); });
        if (documentSize != QFileInfo(target).size())
            fail(QStringLiteral("the written file and the document in memory differ in size"));
        if (store.revision() != 0)
            fail(QStringLiteral("the store changed while it was measured"));
    }
    if (QFile::exists(path + QStringLiteral(".bak")))
        fail(QStringLiteral("the store wrote %1 while it was only loaded").arg(path));

    row.memory = measureRssInFreshProcess(path);

    TaskSnapshot inboxOnly = generated;
    putAllInInbox(inboxOnly);
    const QString inboxPath = dir.filePath(QStringLiteral("inbox.xml"));
    if (!bench::writeDatabaseFile(inboxPath, inboxOnly, &error))
        fail(error);
    row.undo = measureUndo(inboxPath, runs.write);
    return row;
}

QString fixed(double value, int decimals, int width)
{
    return QStringLiteral("%1").arg(value, width, 'f', decimals);
}

void printTable(const QList<Row>& rows)
{
    QTextStream& s = out();
    s << "\n  tasks | file MB | load ms | bare XML ms | load/bare | snapshot ms | write ms | copy ms | RSS MB\n";
    s << "--------+---------+---------+-------------+-----------+-------------+----------+---------+-------\n";
    for (const Row& r : rows) {
        s << QStringLiteral("%1").arg(r.tasks, 7) << " | " << fixed(r.fileMb, 1, 7) << " | "
          << fixed(r.loadMs, 1, 7) << " | " << fixed(r.bareMs, 1, 11) << " | "
          << fixed(r.loadMs / r.bareMs, 2, 9) << " | " << fixed(r.snapshotMs, 2, 11) << " | "
          << fixed(r.writeMs, 1, 8) << " | " << fixed(r.copyMs, 1, 7) << " | " << fixed(r.memory.rssMb, 1, 6)
          << "\n";
    }
    s << "\nDetails:\n";
    for (const Row& r : rows) {
        s << QStringLiteral("%1").arg(r.tasks, 7) << " tasks: " << r.tokens << " XML tokens; read whole file "
          << fixed(r.readAllMs, 1, 0) << " ms; live heap after load " << fixed(r.memory.heapMb, 1, 0) << " MB\n"
          << "                snapshot into a reused object " << fixed(r.reusedSnapshotMs, 2, 0)
          << " ms; by id (shared hashes) " << fixed(r.byIdSnapshotMs, 3, 0) << " ms\n"
          << "                document alone, into memory " << fixed(r.documentMs, 1, 0)
          << " ms (the rest of the write is the file and its sync)\n";
    }
    s << "\n  tasks | Cleanup of | move alone ms | as a step ms | undo ms | redo ms\n";
    s << "--------+------------+---------------+--------------+---------+--------\n";
    for (const Row& r : rows) {
        s << QStringLiteral("%1").arg(r.tasks, 7) << " | " << QStringLiteral("%1").arg(r.undo.cleaned, 10) << " | "
          << fixed(r.undo.moveMs, 1, 13) << " | " << fixed(r.undo.stepMs, 1, 12) << " | " << fixed(r.undo.undoMs, 1, 7)
          << " | " << fixed(r.undo.redoMs, 1, 6) << "\n";
    }
    s << "\nload: TaskStorage construction + init(), destruction not counted; snapshot: into an empty snapshot, as\n"
         "the committer does; write: new file + writeDatabase + close + commit() (fsync, .bak, rename);\n"
         "RSS: VmRSS growth over construction + init() in a fresh process; Cleanup: every task open in the Inbox,\n"
         "a tenth completed and moved to Completed (move alone: nothing recorded; as a step: recorded for undo).\n"
         "Times are medians.\n";
    s.flush();
}

void printTargets(const Row& r)
{
    QTextStream& s = out();
    auto line = [&](const QString& what, const QString& measured, bool met) {
        s << "  " << what.leftJustified(46) << measured.leftJustified(22) << (met ? "met" : "NOT MET") << "\n";
    };
    s << "\nTargets at " << r.tasks << " tasks:\n";
    line(QStringLiteral("load within 2x the bare reader pass"),
         QStringLiteral("%1x").arg(r.loadMs / r.bareMs, 0, 'f', 2), r.loadMs <= 2 * r.bareMs);
    line(QStringLiteral("snapshot under 20 ms"), QStringLiteral("%1 ms").arg(r.snapshotMs, 0, 'f', 2), r.snapshotMs < 20);
    line(QStringLiteral("write under 1 s"), QStringLiteral("%1 ms").arg(r.writeMs, 0, 'f', 1), r.writeMs < 1000);
    line(QStringLiteral("resident memory of the loaded store < 120 MB"),
         QStringLiteral("%1 MB").arg(r.memory.rssMb, 0, 'f', 1), r.memory.rssMb >= 0 && r.memory.rssMb < 120);
    line(QStringLiteral("Cleanup of %1 tasks undone within 100 ms").arg(r.undo.cleaned),
         QStringLiteral("%1 ms").arg(r.undo.undoMs, 0, 'f', 1), r.undo.undoMs < 100);
    s.flush();
}

int runTable(const QList<int>& sizes)
{
    QList<Row> rows;
    for (int tasks : sizes) {
        QElapsedTimer timer;
        timer.start();
        out() << "measuring " << tasks << " tasks..." << Qt::endl;
        rows.append(measureSize(tasks));
        out() << "  done in " << fixed(static_cast<double>(timer.elapsed()) / 1000.0, 1, 0) << " s" << Qt::endl;
    }
    printTable(rows);
    for (const Row& r : rows) {
        if (r.tasks == 100000)
            printTargets(r);
    }
    return 0;
}

} // namespace

int main(int argc, char* argv[])
{
    // As the program does: local time without a time-zone file look-up per date.
    platform::pinLocalTimeZone();
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();

    if (args.size() == 3 && args.at(1) == QLatin1String("--rss"))
        return runRssMode(args.at(2));
    if (args.size() == 4 && (args.at(1) == QLatin1String("--gen") || args.at(1) == QLatin1String("--gen-inbox"))) {
        bool ok = false;
        const int tasks = args.at(2).toInt(&ok);
        if (!ok || tasks < 0)
            fail(QStringLiteral("bad task count ") + args.at(2));
        TaskSnapshot snapshot = bench::makeSnapshot(tasks);
        if (args.at(1) == QLatin1String("--gen-inbox"))
            putAllInInbox(snapshot);
        QString error;
        if (!bench::writeDatabaseFile(args.at(3), snapshot, &error))
            fail(error);
        return 0;
    }
    if (args.size() == 3 && args.at(1) == QLatin1String("--load")) {
        out() << "loaded in " << fixed(measureLoad(args.at(2)), 1, 0) << " ms" << Qt::endl;
        return 0;
    }
    if (args.size() == 3 && args.at(1) == QLatin1String("--write")) {
        TaskStorage store(args.at(2), NoCommitIntervalMs);
        if (store.init() != 0)
            fail(QStringLiteral("loading %1 failed").arg(args.at(2)));
        TaskSnapshot snapshot;
        store.snapshot(snapshot);
        qint64 size = 0;
        out() << "document written in " << fixed(measureWriteToMemory(snapshot, &size), 1, 0) << " ms" << Qt::endl;
        return 0;
    }
    if (args.size() == 3 && args.at(1) == QLatin1String("--snapshot")) {
        TaskStorage store(args.at(2), NoCommitIntervalMs);
        if (store.init() != 0)
            fail(QStringLiteral("loading %1 failed").arg(args.at(2)));
        TaskSnapshot snapshot;
        const double ms = medianOf(200, [&] {
            QElapsedTimer timer;
            timer.start();
            store.snapshot(snapshot);
            return elapsedMs(timer);
        });
        out() << "snapshot median " << fixed(ms, 2, 0) << " ms" << Qt::endl;
        return 0;
    }
    QList<int> sizes = {1000, 10000, 100000};
    if (args.size() == 3 && args.at(1) == QLatin1String("--sizes")) {
        sizes.clear();
        for (const QString& part : args.at(2).split(QLatin1Char(','))) {
            bool ok = false;
            const int tasks = part.toInt(&ok);
            if (!ok || tasks <= 0)
                fail(QStringLiteral("bad size ") + part);
            sizes.append(tasks);
        }
    } else if (args.size() != 1) {
        fail(QStringLiteral("usage: bench_store [--sizes N,N,...] | --rss FILE | --gen N FILE | --load FILE | --write FILE | --snapshot FILE"));
    }
    return runTable(sizes);
}
