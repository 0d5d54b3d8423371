#include "core/duetasks.h"

#include "core/daytimer.h"
#include "core/duerule.h"
#include "store/taskstorage.h"

#include <QTimer>

DueTasks::DueTasks(std::weak_ptr<TaskStorage> storage, Clock clock, QObject* parent)
    : QObject(parent)
    , m_storage(std::move(storage))
    , m_clock(std::move(clock))
{
    // A burst of changes (thousands of tasks moved one by one) leads to one pass.
    m_refreshTimer = new QTimer(this);
    m_refreshTimer->setSingleShot(true);
    m_refreshTimer->setInterval(0);
    connect(m_refreshTimer, &QTimer::timeout, this, &DueTasks::refresh);
    m_dayTimer = new DayTimer(m_clock, 0, this);
    connect(m_dayTimer, &DayTimer::newDay, this, &DueTasks::refresh);
    if (const std::shared_ptr<TaskStorage> store = m_storage.lock()) {
        connect(store.get(), &TaskStorage::taskChanged, this, &DueTasks::_onTaskChanged);
        connect(store.get(), &TaskStorage::groupChanged, this, &DueTasks::_schedule);
        connect(store.get(), &TaskStorage::occurrenceCreated, this, &DueTasks::_schedule);
    }
    m_dayTimer->start();
    refresh();
}

DueTasks::~DueTasks() = default;

const FocusGroup::Id& DueTasks::viewId(View view)
{
    static const FocusGroup::Id today(QStringLiteral("{d0e5a1c4-7b2f-4e8a-9c61-3f1a0b7d2e01}"));
    static const FocusGroup::Id upcoming(QStringLiteral("{d0e5a1c4-7b2f-4e8a-9c61-3f1a0b7d2e02}"));
    return view == Today ? today : upcoming;
}

bool DueTasks::isView(const FocusGroup::Id& id, View* view)
{
    for (View each : {Today, Upcoming}) {
        if (id == viewId(each)) {
            if (view)
                *view = each;
            return true;
        }
    }
    return false;
}

QDate DueTasks::today() const
{
    return (m_clock ? m_clock() : QDateTime::currentDateTime()).date();
}

QDate DueTasks::firstDay(View view) const
{
    return view == Today ? today() : today().addDays(1);
}

void DueTasks::_schedule()
{
    if (!m_refreshTimer->isActive())
        m_refreshTimer->start();
}

void DueTasks::_onTaskChanged(const TodoTask::Id& taskId)
{
    // Typing a name or notes changes a task many times a second: a task that neither comes
    // nor goes nor moves costs no pass.
    const std::shared_ptr<TaskStorage> store = m_storage.lock();
    if (!store || m_refreshTimer->isActive())
        return;
    const TodoTask task = store->task(taskId);
    const DueRule rule(today());
    const bool wanted = rule.isDueByToday(task) || rule.isUpcoming(task);
    const auto listed = m_due.constFind(taskId);
    if (wanted != (listed != m_due.constEnd()) || (wanted && *listed != task.due()))
        _schedule();
}

void DueTasks::refresh()
{
    m_refreshTimer->stop();
    const std::shared_ptr<TaskStorage> store = m_storage.lock();
    if (!store)
        return;
    DueRule::Found found = DueRule(today()).collect(*store);
    m_due = std::move(found.due);
    if (found.dueByToday == m_today && found.upcoming == m_upcoming)
        return;
    m_today = std::move(found.dueByToday);
    m_upcoming = std::move(found.upcoming);
    Q_EMIT changed();
}
