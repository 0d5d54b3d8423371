#pragma once

#include "store/focusgroup.h"
#include "store/taskfinder.h"
#include "store/todotask.h"

#include <QDate>
#include <QDateTime>
#include <QHash>
#include <QList>

class TaskStorage;

/// When a task is due, in whole days of the local calendar: the one rule of the due-date
/// reminder and of the Today and Upcoming views. A task counts when it is not completed, has a
/// due date, and a group other than the Trash lists it.
class DueRule
{
public:
    /// Upcoming looks this many days past today.
    static constexpr int UpcomingDays = 7;

    explicit DueRule(const QDate& today);

    const QDate& today() const { return m_today; }
    /// Not completed and due on or before today: overdue or due today.
    bool isDueByToday(const TodoTask& task) const;
    /// Not completed and due on one of the UpcomingDays days after today.
    bool isUpcoming(const TodoTask& task) const;
    /// Whether the tasks a group lists count: those of every group but the Trash.
    static bool countsGroup(const FocusGroup::Id& groupId);

    /// The tasks that count, each once under the first group in the panel's order that lists
    /// it, earliest due first (the panel's order among tasks due at the same time).
    struct Found
    {
        QList<FoundTask> dueByToday;
        QList<FoundTask> upcoming;
        /// The due time of each task found.
        QHash<TodoTask::Id, QDateTime> due;
    };
    /// One pass over the lists of the groups, under one lock of the store.
    Found collect(const TaskStorage& storage) const;

private:
    QDate m_today;
    // Local times compare without a time-zone conversion, dates taken from them do not.
    QDateTime m_tomorrow;
    QDateTime m_afterUpcoming;
};

/// The groups in the group panel's order: Inbox, the user's groups, Completed, Trash.
QList<FocusGroup::Id> groupsInPanelOrder(const TaskStorage& storage);
