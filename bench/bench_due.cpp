// How long one collection of the Today and Upcoming views takes over a large database:
// bench_due [TASKS]
#include "core/duerule.h"
#include "gendb.h"
#include "store/taskstorage.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QElapsedTimer>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <vector>

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const int tasks = argc > 1 ? std::atoi(argv[1]) : 100000;
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("tasks.xml"));
    const TaskSnapshot snapshot = bench::makeSnapshot(tasks);
    if (!bench::writeDatabaseFile(path, snapshot))
        return 1;
    TaskStorage store(path, 3600000);
    if (store.load() != 0)
        return 1;
    // The generated due dates spread over four months around a fixed day: look from its middle.
    QDate today;
    for (const TodoTask& task : snapshot.tasks) {
        if (task.due().isValid() && (!today.isValid() || task.due().date() > today))
            today = task.due().date();
    }
    today = today.addDays(-60);
    std::vector<qint64> times;
    DueRule::Found found;
    for (int run = 0; run < 11; ++run) {
        QElapsedTimer timer;
        timer.start();
        found = DueRule(today).collect(store);
        times.push_back(timer.nsecsElapsed());
    }
    std::sort(times.begin(), times.end());
    std::printf("%d tasks: %lld today, %lld upcoming; one collection %.1f ms (median of 11)\n", tasks,
                static_cast<long long>(found.dueByToday.size()), static_cast<long long>(found.upcoming.size()),
                times.at(times.size() / 2) / 1e6);
    return 0;
}
