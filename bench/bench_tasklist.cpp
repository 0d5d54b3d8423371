// Task list benchmarks: how long a group takes to show, a reorder drop, the cost of typing in
// an open editor, and the memory of a row. Prints a table; run through bench/run.
#include "app/taskcore.h"
#include "settings/languagemanager.h"
#include "store/taskstorage.h"
#include "ui/dragregistry.h"
#include "ui/tasklistwidget.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QMimeData>
#include <QTemporaryDir>
#include <QTextStream>

#include <algorithm>
#include <climits>

namespace {

QTextStream& out()
{
    static QTextStream stream(stdout);
    return stream;
}

double residentMb()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').first().toDouble() / 1024.0;
    }
    return 0;
}

FocusGroup::Id makeGroup(TaskStorage& store, int tasks)
{
    const FocusGroup::Id group = store.addGroup(QStringLiteral("Bench %1").arg(tasks), QString());
    for (int i = 0; i < tasks; ++i) {
        const TodoTask::Id id = store.createTask(group);
        store.setTaskName(id, QStringLiteral("Task number %1 with a name of ordinary length").arg(i));
        if (i % 3 == 0)
            store.setTaskDue(id, QDateTime::currentDateTime().addDays(i % 7 - 2));
        if (i % 10 == 0)
            store.setTaskCompleted(id, true, QDateTime::currentDateTime());
    }
    return group;
}

double showGroup(TaskListWidget& list, const FocusGroup::Id& group)
{
    list.setGroup(FocusGroup::Id());
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCoreApplication::processEvents();
    QElapsedTimer timer;
    timer.start();
    list.setGroup(group);
    // Until the rows are laid out and painted once.
    QCoreApplication::processEvents();
    list.viewport()->repaint();
    return timer.nsecsElapsed() / 1e6;
}

double reorderDrop(TaskListWidget& list, const FocusGroup::Id& group)
{
    list.clearSelection();
    for (int i = 10; i < 20; ++i)
        list.select(i);
    auto data = std::make_shared<DragGroup>();
    for (int i = 10; i < 20; ++i)
        data->tasks[group].append(list.row(i)->taskId());
    const int id = DragRegistry::instance()->registerDrag(data);
    QMimeData mime;
    mime.setData(QLatin1String(DragRegistry::MimeType), DragRegistry::payload(id));
    TaskWidget* target = list.row(list.rowCount() - 5);
    list.ensureRowVisible(target);
    const QPoint point = target->mapTo(list.viewport(), target->rect().center());
    QElapsedTimer timer;
    timer.start();
    QDragEnterEvent enter(point, Qt::MoveAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(list.viewport(), &enter);
    QDragMoveEvent move(point, Qt::MoveAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(list.viewport(), &move);
    QDropEvent drop(QPointF(point), Qt::MoveAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(list.viewport(), &drop);
    QCoreApplication::processEvents();
    const double ms = timer.nsecsElapsed() / 1e6;
    DragRegistry::instance()->unregisterDrag(id);
    return ms;
}

/// One switch of the interface language while the list shows its rows, until every widget has
/// set its texts again and repainted (the mean of a switch to Russian and one back).
double languageSwitch()
{
    QElapsedTimer timer;
    timer.start();
    languageManager()->setLanguage(QStringLiteral("ru_RU"));
    QCoreApplication::processEvents();
    languageManager()->setLanguage(QStringLiteral("en_US"));
    QCoreApplication::processEvents();
    return timer.nsecsElapsed() / 1e6 / 2;
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QTemporaryDir dir;
    if (TaskCore::instance()->init(dir.filePath(QStringLiteral("bench.xml")), INT_MAX / 2) != 0)
        return 1;
    TaskStorage& store = *TaskCore::instance()->storage();

    TaskListWidget list(FocusGroup::inboxId());
    list.resize(480, 700);
    list.show();
    QCoreApplication::processEvents();

    out() << "\n  tasks | show ms | per row us | RSS per row KB\n";
    QList<double> perRowKb;
    for (int size : {100, 1000, 10000}) {
        const FocusGroup::Id group = makeGroup(store, size);
        // The first showing also measures the memory the rows take; then the best of three.
        const double before = residentMb();
        showGroup(list, group);
        const double after = residentMb();
        list.setGroup(FocusGroup::inboxId());
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QList<double> times;
        for (int run = 0; run < 3; ++run)
            times.append(showGroup(list, group));
        const double best = *std::min_element(times.begin(), times.end());
        const double kbPerRow = (after - before) * 1024.0 / size;
        out() << QStringLiteral("%1 | %2 | %3 | %4\n")
                     .arg(size, 7)
                     .arg(best, 7, 'f', 1)
                     .arg(best * 1000.0 / size, 10, 'f', 1)
                     .arg(kbPerRow, 14, 'f', 1);
        if (size >= 1000)
            out() << QStringLiteral("          switching the interface language with these rows shown: %1 ms\n")
                         .arg(languageSwitch(), 0, 'f', 1);
        if (size == 1000) {
            const double drop = reorderDrop(list, group);
            out() << QStringLiteral("          reorder drop of 10 rows in 1,000: %1 ms\n").arg(drop, 0, 'f', 1);

            list.setEditing(500);
            TaskWidget* open = list.editedRow();
            const int revision = store.revision();
            QElapsedTimer timer;
            timer.start();
            const int keys = 200;
            for (int k = 0; k < keys; ++k) {
                QKeyEvent press(QEvent::KeyPress, Qt::Key_A, Qt::NoModifier, QStringLiteral("a"));
                QCoreApplication::sendEvent(open->nameEdit(), &press);
            }
            const double perKey = timer.nsecsElapsed() / 1e3 / keys;
            out() << QStringLiteral("          typing in an open editor: %1 us per character, %2 store writes per "
                                    "character, row rebuilt: %3\n")
                         .arg(perKey, 0, 'f', 1)
                         .arg(double(store.revision() - revision) / keys, 0, 'f', 2)
                         .arg(list.editedRow() == open ? QStringLiteral("no") : QStringLiteral("yes"));
            list.setEditing(-1);
        }
    }
    out() << "\nshow: setGroup until the rows are laid out and painted once (best of 3);\n"
             "RSS per row: resident memory growth when a group is first shown, divided by its rows.\n"
             "Targets: 1,000 tasks under 200 ms, 10,000 under 2 s, cost growing linearly.\n";
    out().flush();
    return 0;
}
