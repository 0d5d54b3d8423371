#include "core/duerule.h"

#include "store/tasksnapshot.h"
#include "store/taskstorage.h"

#include <QHash>

#include <algorithm>

DueRule::DueRule(const QDate& today)
    : m_today(today)
    , m_tomorrow(today.addDays(1).startOfDay())
    , m_afterUpcoming(today.addDays(UpcomingDays + 1).startOfDay())
{
}

bool DueRule::isDueByToday(const TodoTask& task) const
{
    return !task.completed() && task.due().isValid() && task.due() < m_tomorrow;
}

bool DueRule::isUpcoming(const TodoTask& task) const
{
    return !task.completed() && task.due().isValid() && task.due() >= m_tomorrow && task.due() < m_afterUpcoming;
}

bool DueRule::countsGroup(const FocusGroup::Id& groupId)
{
    return groupId != FocusGroup::trashId();
}

DueRule::Found DueRule::collect(const TaskStorage& storage) const
{
    // The copy shares the store's data: taking it costs nothing under the store's lock.
    TaskSnapshot snapshot;
    snapshot.byId = true;
    storage.snapshot(snapshot);
    // The tasks in the order they lie in memory first, the groups' lists of ids after: looking
    // every task up in the order of the lists would wait on memory for each one.
    QHash<TodoTask::Id, QDateTime> due;
    for (auto task = snapshot.tasksById.cbegin(); task != snapshot.tasksById.cend(); ++task) {
        if (isDueByToday(*task) || isUpcoming(*task))
            due.insert(task.key(), task->due());
    }
    struct Match
    {
        FoundTask found;
        QDateTime due;
    };
    QList<Match> dueByToday;
    QList<Match> upcoming;
    QHash<TodoTask::Id, QDateTime> listed;
    for (const FocusGroup::Id& groupId : groupsInPanelOrder(storage)) {
        const auto group = snapshot.groupsById.constFind(groupId);
        if (!countsGroup(groupId) || group == snapshot.groupsById.constEnd())
            continue;
        for (const TodoTask::Id& taskId : group->taskIds()) {
            const auto found = due.constFind(taskId);
            if (found == due.constEnd())
                continue;
            (*found < m_tomorrow ? dueByToday : upcoming).append(Match{FoundTask{taskId, groupId}, *found});
            // Under the first group that lists it only.
            listed.insert(taskId, *found);
            due.erase(found);
        }
    }
    const auto ordered = [](QList<Match>& matches) {
        std::stable_sort(matches.begin(), matches.end(), [](const Match& a, const Match& b) { return a.due < b.due; });
        QList<FoundTask> tasks;
        tasks.reserve(matches.size());
        for (const Match& match : std::as_const(matches))
            tasks.append(match.found);
        return tasks;
    };
    return Found{ordered(dueByToday), ordered(upcoming), listed};
}

QList<FocusGroup::Id> groupsInPanelOrder(const TaskStorage& storage)
{
    QList<FocusGroup::Id> order;
    order << FocusGroup::inboxId();
    for (const FocusGroup::Id& id : storage.groupIds()) {
        if (FocusGroup::isUserGroup(id))
            order << id;
    }
    order << FocusGroup::completedId() << FocusGroup::trashId();
    return order;
}
