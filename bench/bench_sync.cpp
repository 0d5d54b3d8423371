// Sync at scale against a real Radicale: the first sync of many tasks into an empty account,
// then a sync with nothing changed. Prints time, requests and peak memory of each.
#include "gendb.h"
#include "store/taskstorage.h"
#include "support/radicaleserver.h"
#include "sync/davclient.h"
#include "sync/syncservice.h"
#include "sync/syncstate.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QTemporaryDir>

#include <cstdio>

namespace {

qint64 peakMemoryKiB()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').first().toLongLong();
    }
    return -1;
}

sync::SyncOutcome syncOnce(sync::SyncService& service)
{
    sync::SyncOutcome outcome;
    QEventLoop loop;
    QObject::connect(&service, &sync::SyncService::passFinished, &loop, [&](const sync::SyncOutcome& result) {
        outcome = result;
        loop.quit();
    });
    service.syncNow();
    loop.exec();
    return outcome;
}

void report(const char* what, const sync::SyncOutcome& outcome, qint64 ms)
{
    std::printf("%-34s %8lld ms %8d requests %7d sent %7d received  peak %6lld MiB  (result %d%s%s)\n", what,
                static_cast<long long>(ms), outcome.requests, outcome.sent, outcome.received,
                static_cast<long long>(peakMemoryKiB() / 1024), outcome.result,
                outcome.message.isEmpty() ? "" : ": ", qPrintable(outcome.message));
    std::fflush(stdout);
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    int tasks = 10000;
    const QStringList arguments = app.arguments();
    const int at = static_cast<int>(arguments.indexOf(QStringLiteral("--tasks")));
    if (at > 0 && at + 1 < arguments.size())
        tasks = arguments.at(at + 1).toInt();

    RadicaleServer server;
    QString error;
    if (!server.start(&error)) {
        std::fprintf(stderr, "Radicale did not start: %s\n", qPrintable(error));
        return 1;
    }
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("database.xml"));
    if (!bench::writeDatabaseFile(path, bench::makeSnapshot(tasks), &error)) {
        std::fprintf(stderr, "%s\n", qPrintable(error));
        return 1;
    }
    auto store = std::make_shared<TaskStorage>(path);
    if (store->init() != 0)
        return 1;
    sync::SyncService service(store, sync::SyncState::pathBeside(path));
    service.setAccount(server.userUrl(), server.user(), server.password());
    std::printf("Sync of %d generated tasks with Radicale on 127.0.0.1\n", tasks);

    const char* passes[] = {"first sync into an empty account", "sync right after (own writes seen)",
                            "sync with nothing changed"};
    for (const char* pass : passes) {
        QElapsedTimer timer;
        timer.start();
        const sync::SyncOutcome outcome = syncOnce(service);
        report(pass, outcome, timer.elapsed());
    }
    // How much of an idle pass is the server's own answer to its one request.
    sync::DavClient client(server.user(), server.password());
    QList<sync::DavCollection> lists;
    QElapsedTimer timer;
    timer.start();
    client.listCollections(server.userUrl(), &lists);
    std::printf("%-34s %8lld ms (the server listing %lld task lists with their sync tokens)\n",
                "of which the server's answer", static_cast<long long>(timer.elapsed()),
                static_cast<long long>(lists.size()));
    return 0;
}
