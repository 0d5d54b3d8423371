#include "store/stepreplay.h"

#include "store/listrestore.h"
#include "store/steprecorder.h"
#include "store/taskstorage.h"

#include <QMutexLocker>

#include <algorithm>

namespace {

template <typename Change>
const auto& sideOf(const Change& change, bool backwards, bool target)
{
    return backwards == target ? change.before : change.after;
}

void appendOnce(QList<QUuid>& list, const QUuid& id)
{
    if (!list.contains(id))
        list.append(id);
}

} // namespace

QSet<TodoTask::Id> StepReplay::_listed(const TaskStorage& store, const QSet<TodoTask::Id>& taskIds)
{
    QSet<TodoTask::Id> listed;
    if (taskIds.isEmpty())
        return listed;
    for (auto it = store.m_groups.constBegin(); it != store.m_groups.constEnd(); ++it) {
        for (const TodoTask::Id& id : it->taskIds()) {
            if (taskIds.contains(id))
                listed.insert(id);
        }
    }
    return listed;
}

TodoTask StepReplay::_merged(const TodoTask& from, const TodoTask& to, const TodoTask& now)
{
    // Field by field: what changed elsewhere since the step stays, the rest goes back.
    const auto pick = [](const auto& nowValue, const auto& fromValue, const auto& toValue) {
        return nowValue == fromValue ? toValue : nowValue;
    };
    const bool completion = now.completed() == from.completed() && now.completedAt() == from.completedAt();
    return TodoTask(now.id(), pick(now.name(), from.name(), to.name()), pick(now.notes(), from.notes(), to.notes()),
                    completion ? to.completed() : now.completed(), pick(now.due(), from.due(), to.due()),
                    pick(now.created(), from.created(), to.created()),
                    completion ? to.completedAt() : now.completedAt(),
                    pick(now.deletedAt(), from.deletedAt(), to.deletedAt()),
                    pick(now.modified(), from.modified(), to.modified()),
                    pick(now.repeatRule(), from.repeatRule(), to.repeatRule()));
}

StepReplay::Outcome StepReplay::apply(TaskStorage& store, const UndoStep& step, bool backwards,
                                      QSet<TodoTask::Id>* gone)
{
    QMutexLocker<QRecursiveMutex> locker(&store.m_lock);
    QSet<TodoTask::Id> stepTasks;
    stepTasks.reserve(step.tasks.size());
    for (const TaskChange& change : step.tasks)
        stepTasks.insert(change.id);
    const QSet<TodoTask::Id> listedNow = _listed(store, stepTasks);
    QSet<TodoTask::Id> deleted;
    for (const TaskChange& change : step.tasks) {
        const bool wasListed = backwards ? change.listedAfter : change.listedBefore;
        const bool recordLost = sideOf(change, backwards, false) && !store.m_tasks.contains(change.id);
        if (recordLost || (wasListed && !listedNow.contains(change.id)))
            deleted.insert(change.id);
    }
    if (gone)
        *gone = deleted;
    if (!step.tasks.isEmpty() && deleted.size() == step.tasks.size())
        return TasksGone;
    if (step.tasks.isEmpty()) {
        const bool allGone = std::all_of(step.groups.cbegin(), step.groups.cend(), [&](const GroupChange& change) {
            return sideOf(change, backwards, false) && !store.m_groups.contains(change.id);
        });
        if (allGone && !step.groups.isEmpty())
            return GroupsGone;
    }

    QList<FocusGroup::Id> changedGroups;
    QList<TodoTask::Id> changedTasks;
    FocusGroup::TaskIdList unlistedByRemoval;
    QList<QPair<int, FocusGroup::Id>> places;
    for (const GroupChange& change : step.groups) {
        const std::optional<GroupState>& from = sideOf(change, backwards, false);
        const std::optional<GroupState>& to = sideOf(change, backwards, true);
        auto current = store.m_groups.find(change.id);
        if (!to) {
            if (current == store.m_groups.end())
                continue;
            unlistedByRemoval += current->taskIds();
            store.m_groups.erase(current);
            store.m_userGroupOrder.removeAll(change.id);
            changedGroups.append(change.id);
            continue;
        }
        if (current == store.m_groups.end()) {
            if (from)
                continue; // removed elsewhere since: it stays removed
            store.m_groups.insert(change.id, FocusGroup(change.id, to->name, to->iconKey,
                                                        ListRestore::restore({}, to->taskIds, {}, deleted)));
            if (FocusGroup::isUserGroup(change.id))
                places.append({to->place, change.id});
            changedGroups.append(change.id);
            continue;
        }
        const GroupState now = *StepRecorder::groupState(store, change.id);
        const GroupState& base = from ? *from : now;
        const FocusGroup restored(change.id, now.name == base.name ? to->name : now.name,
                                  now.iconKey == base.iconKey ? to->iconKey : now.iconKey,
                                  ListRestore::restore(base.taskIds, to->taskIds, now.taskIds, deleted));
        if (restored != *current) {
            *current = restored;
            changedGroups.append(change.id);
        }
        if (FocusGroup::isUserGroup(change.id) && now.place == base.place && now.place != to->place) {
            places.append({to->place, change.id});
            appendOnce(changedGroups, change.id);
        }
    }
    // Lowest places first, so each group lands where it was among those already placed.
    std::sort(places.begin(), places.end());
    for (const auto& [place, groupId] : std::as_const(places)) {
        store.m_userGroupOrder.removeAll(groupId);
        store.m_userGroupOrder.insert(qBound(0, place, int(store.m_userGroupOrder.size())), groupId);
    }

    QSet<TodoTask::Id> maybeUnlisted(unlistedByRemoval.cbegin(), unlistedByRemoval.cend());
    QList<TodoTask::Id> created;
    for (const TaskChange& change : step.tasks) {
        if (deleted.contains(change.id))
            continue;
        const std::optional<TodoTask>& from = sideOf(change, backwards, false);
        const std::optional<TodoTask>& to = sideOf(change, backwards, true);
        auto current = store.m_tasks.find(change.id);
        if (!to) {
            if (current != store.m_tasks.end()) {
                created.append(change.id);
                maybeUnlisted.insert(change.id);
            }
            continue;
        }
        if (current == store.m_tasks.end()) {
            store.m_tasks.insert(change.id, *to);
            changedTasks.append(change.id);
            continue;
        }
        TodoTask next = !from || *current == *from ? *to : _merged(*from, *to, *current);
        if (next != *current) {
            // Putting a field back is a change made here now, newer than any other device's.
            next = TodoTask(next.id(), next.name(), next.notes(), next.completed(), next.due(), next.created(),
                            next.completedAt(), next.deletedAt(), QDateTime::currentDateTime(), next.repeatRule());
            *current = next;
            changedTasks.append(change.id);
        }
    }
    // A record the step made goes only once nothing lists it; a task that only a removed
    // group listed goes to the Trash rather than out of sight.
    QSet<TodoTask::Id> listed = _listed(store, maybeUnlisted);
    for (const TodoTask::Id& id : std::as_const(created)) {
        if (!listed.contains(id)) {
            store.m_tasks.remove(id);
            changedTasks.append(id);
        }
    }
    FocusGroup::TaskIdList toTrash;
    for (const TodoTask::Id& id : std::as_const(unlistedByRemoval)) {
        if (!listed.contains(id) && store.m_tasks.contains(id)) {
            toTrash.append(id);
            listed.insert(id);
        }
    }
    auto trash = store.m_groups.find(FocusGroup::trashId());
    if (!toTrash.isEmpty() && trash != store.m_groups.end()) {
        *trash = FocusGroup(trash->id(), trash->name(), trash->iconKey(), trash->taskIds() + toTrash);
        appendOnce(changedGroups, FocusGroup::trashId());
    }

    if (changedGroups.isEmpty() && changedTasks.isEmpty())
        return Applied;
    store._bump();
    for (const FocusGroup::Id& id : std::as_const(changedGroups))
        Q_EMIT store.groupChanged(id);
    for (const TodoTask::Id& id : std::as_const(changedTasks))
        Q_EMIT store.taskChanged(id);
    return Applied;
}
