#include "app/duerule.h"

#include "store/tasksnapshot.h"
#include "store/taskstorage.h"

#include <QSet>

#include <algorithm>

bool DueRule::isDueByToday(const TodoTask& task) const
{
    return !task.completed() && task.due().isValid() && task.due().date() <= m_today;
}

bool DueRule::isUpcoming(const TodoTask& task) const
{
    if (task.completed() || !task.due().isValid())
        return false;
    const QDate due = task.due().date();
    return due > m_today && due <= m_today.addDays(UpcomingDays);
}

bool DueRule::countsGroup(const FocusGroup::Id& groupId)
{
    return groupId != FocusGroup::trashId();
}

DueRule::Found DueRule::collect(const TaskStorage& storage) const
{
    struct Match
    {
        FoundTask found;
        qint64 due;
    };
    // The copy shares the store's data: taking it costs nothing under the store's lock.
    TaskSnapshot snapshot;
    snapshot.byId = true;
    storage.snapshot(snapshot);
    QList<Match> dueByToday;
    QList<Match> upcoming;
    QSet<TodoTask::Id> seen;
    for (const FocusGroup::Id& groupId : groupsInPanelOrder(storage)) {
        const auto group = snapshot.groupsById.constFind(groupId);
        if (!countsGroup(groupId) || group == snapshot.groupsById.constEnd())
            continue;
        for (const TodoTask::Id& taskId : group->taskIds()) {
            const auto task = snapshot.tasksById.constFind(taskId);
            if (task == snapshot.tasksById.constEnd() || task->completed() || !task->due().isValid())
                continue;
            QList<Match>* into = isDueByToday(*task) ? &dueByToday : isUpcoming(*task) ? &upcoming : nullptr;
            if (!into || seen.contains(taskId))
                continue;
            seen.insert(taskId);
            into->append(Match{FoundTask{taskId, groupId}, task->due().toMSecsSinceEpoch()});
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
    return Found{ordered(dueByToday), ordered(upcoming)};
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
