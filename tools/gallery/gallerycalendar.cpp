#include "gallerycalendar.h"

#include "sheet.h"

#include "core/taskcore.h"
#include "store/taskstorage.h"
#include "ui/dragregistry.h"
#include "ui/tasklistwidget.h"
#include "widgets/calendarpopup.h"
#include "widgets/datewidget.h"
#include "widgets/fancylineedit.h"
#include "widgets/hintededit.h"
#include "widgets/mycalendar.h"
#include "widgets/mycalendarmonthwidget.h"

#include <QApplication>
#include <QMimeData>
#include <QMouseEvent>
#include <QPainter>
#include <QTemporaryDir>
#include <QVBoxLayout>

namespace gallery {

namespace {

void hover(QWidget* widget, const QPoint& point)
{
    QMouseEvent move(QEvent::MouseMove, QPointF(point), widget->mapToGlobal(QPointF(point)), Qt::NoButton,
                     Qt::NoButton, Qt::NoModifier);
    QCoreApplication::sendEvent(widget, &move);
}

// A window with its popup drawn where it hangs on the screen.
QPixmap withPopup(QWidget* window, QWidget* popup)
{
    const QPixmap base = window->grab();
    if (!popup || !popup->isVisible())
        return base;
    const QPoint offset = popup->mapToGlobal(QPoint()) - window->mapToGlobal(QPoint());
    const QRect all = QRect(QPoint(), base.size()).united(QRect(offset, popup->size()));
    QPixmap result(all.size());
    result.fill(QColor(0xDDE3EA));
    QPainter painter(&result);
    painter.drawPixmap(-all.topLeft(), base);
    painter.drawPixmap(offset - all.topLeft(), transparentGrab(popup));
    return result;
}

bool calendarStates(Sheet& sheet)
{
    const QDate today = QDate::currentDate();
    const struct
    {
        const char* caption;
        QDate chosen;
        bool hovered;
    } states[] = {{"popup: today (nothing chosen)", QDate(), false},
                  {"popup: a day chosen two days ahead", today.addDays(2), false},
                  {"popup: a day hovered", today.addDays(9), true}};
    for (const auto& state : states) {
        CalendarPopup popup;
        if (state.chosen.isValid())
            popup.setDateTime(QDateTime(state.chosen, QTime(12, 0)));
        popup.show();
        MyCalendarMonthWidget* grid = popup.calendar()->monthWidget();
        if (state.hovered) {
            const QDate day = today.addDays(9).month() == today.month() ? today.addDays(9) : today;
            hover(grid, grid->cellRect(day).center());
        }
        sheet.add(QLatin1String(state.caption), transparentGrab(&popup), 2);
    }
    return true;
}

FocusGroup::Id sampleGroup(TaskStorage& store)
{
    const FocusGroup::Id group = store.addGroup(QStringLiteral("Home"), QStringLiteral("home"));
    const QDateTime now = QDateTime::currentDateTime();
    auto add = [&](const QString& name, const QString& notes, const QDateTime& due, bool completed) {
        const TodoTask::Id id = store.createTask(group);
        store.setTaskName(id, name);
        store.setTaskNotes(id, notes);
        store.setTaskDue(id, due);
        if (completed)
            store.setTaskCompleted(id, true, now);
        return id;
    };
    add(QStringLiteral("Pay the electricity bill"), QString(), now.addDays(-2), false);
    add(QStringLiteral("Book the dentist"), QString(), now.addDays(2), false);
    add(QStringLiteral("Buy milk"), QStringLiteral("Two litres\nsemi-skimmed\nfrom the corner shop"), now.addDays(8), false);
    add(QStringLiteral("Water the plants"), QString(), QDateTime(), true);
    add(QString(), QString(), QDateTime(), false);
    add(QStringLiteral("Call grandma — ask about Sunday lunch"), QString(), QDateTime(), false);
    add(QStringLiteral("Renew the library card"), QString(), now.addDays(1), false);
    return group;
}

QWidget* listWindow(TaskListWidget*& list, const FocusGroup::Id& group)
{
    auto* window = new QWidget;
    auto* layout = new QVBoxLayout(window);
    layout->setContentsMargins(0, 0, 0, 0);
    list = new TaskListWidget(group, window);
    layout->addWidget(list);
    window->resize(420, 400);
    window->show();
    QCoreApplication::processEvents();
    return window;
}

bool taskListStates(Sheet& sheet)
{
    TaskStorage& store = *TaskCore::instance()->storage();
    const FocusGroup::Id group = sampleGroup(store);

    TaskListWidget* list = nullptr;
    std::unique_ptr<QWidget> window(listWindow(list, group));
    list->select(5);
    sheet.add(QStringLiteral("overdue, due soon, later, completed, unnamed, selected, due tomorrow"), window->grab());

    list->setEditing(2);
    QCoreApplication::processEvents();
    TaskWidget* open = list->editedRow();
    window->activateWindow();
    QApplication::setActiveWindow(window.get());
    open->dateWidget()->edit()->setFocus(Qt::MouseFocusReason);
    QCoreApplication::processEvents();
    sheet.add(QStringLiteral("a row open in the editor, with three lines of notes and the date popup"),
              withPopup(window.get(), open->dateWidget()->popup()));
    open->dateWidget()->setPopupVisible(false);
    list->setEditing(-1);
    QCoreApplication::processEvents();

    // The marker of a drop between the second and the third row.
    list->clearSelection();
    list->select(0);
    auto data = std::make_shared<DragGroup>();
    data->tasks[group] = {list->row(0)->taskId()};
    const int id = DragRegistry::instance()->registerDrag(data);
    QMimeData mime;
    mime.setData(QLatin1String(DragRegistry::MimeType), DragRegistry::payload(id));
    TaskWidget* target = list->row(2);
    const QPoint point = target->mapTo(list->viewport(), QPoint(20, 4));
    QDragEnterEvent enter(point, Qt::MoveAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(list->viewport(), &enter);
    QCoreApplication::processEvents();
    sheet.add(QStringLiteral("the drop marker between two rows"), window->grab());
    QDragLeaveEvent leave;
    QCoreApplication::sendEvent(list->viewport(), &leave);
    DragRegistry::instance()->unregisterDrag(id);

    TaskListWidget* inbox = nullptr;
    std::unique_ptr<QWidget> inboxWindow(listWindow(inbox, FocusGroup::inboxId()));
    sheet.add(QStringLiteral("the empty Inbox with its hint"), inboxWindow->grab());
    return true;
}

} // namespace

bool calendarSheet(const QString& folder)
{
    Sheet calendar(QStringLiteral("Calendar popup of the date entry (2x)"), 3);
    calendarStates(calendar);
    bool ok = calendar.save(folder + QStringLiteral("/calendar.png"));

    QTemporaryDir dir;
    if (!TaskCore::instance()->storage() && TaskCore::instance()->init(dir.filePath(QStringLiteral("gallery.xml")), 3600000) != 0)
        return false;
    Sheet lists(QStringLiteral("Task list"), 2);
    taskListStates(lists);
    ok = lists.save(folder + QStringLiteral("/tasklist.png")) && ok;
    TaskCore::destroy();
    return ok;
}

} // namespace gallery
