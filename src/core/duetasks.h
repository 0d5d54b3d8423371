#pragma once

#include "store/focusgroup.h"
#include "store/taskfinder.h"

#include <QDate>
#include <QDateTime>
#include <QHash>
#include <QList>
#include <QObject>

#include <functional>
#include <memory>

class DayTimer;
class QTimer;
class TaskStorage;

/// What the Today and Upcoming views show: the tasks due by today, and those due in the
/// DueRule::UpcomingDays days after it, by DueRule. They follow the store, collected once for
/// any number of changes in one turn of the event loop, and the day, collected again as it
/// starts. The views are no groups: their ids are never stored and no group has them.
class DueTasks : public QObject
{
    Q_OBJECT
public:
    enum View { Today, Upcoming };
    using Clock = std::function<QDateTime()>;

    /// `clock` gives the local time (the system's when empty).
    explicit DueTasks(std::weak_ptr<TaskStorage> storage, Clock clock = Clock(), QObject* parent = nullptr);
    ~DueTasks() override;

    /// The id a view's row in the group panel and its list go by.
    static const FocusGroup::Id& viewId(View view);
    /// Whether `id` is a view's; `view` receives which.
    static bool isView(const FocusGroup::Id& id, View* view = nullptr);

    /// The view's tasks, each under the first group in the panel's order that lists it,
    /// earliest due first.
    const QList<FoundTask>& tasks(View view) const { return view == Today ? m_today : m_upcoming; }
    int count(View view) const { return static_cast<int>(tasks(view).size()); }
    /// The local date the views count from.
    QDate today() const;
    /// The day a task made in the view is due: today for Today, tomorrow for Upcoming.
    QDate firstDay(View view) const;

public Q_SLOTS:
    /// Collects the tasks now.
    void refresh();

Q_SIGNALS:
    /// The tasks of a view, or their order, changed.
    void changed();

private:
    void _schedule();
    void _onTaskChanged(const TodoTask::Id& taskId);

    std::weak_ptr<TaskStorage> m_storage;
    Clock m_clock;
    QTimer* m_refreshTimer = nullptr;
    DayTimer* m_dayTimer = nullptr;
    QList<FoundTask> m_today;
    QList<FoundTask> m_upcoming;
    QHash<TodoTask::Id, QDateTime> m_due;
};
