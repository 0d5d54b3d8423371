#include "store/steprecorder.h"

#include "store/taskstorage.h"

#include <QSet>

StepRecorder::StepRecorder(const QString& label)
    : m_label(label)
{
}

std::optional<TodoTask> StepRecorder::taskState(const TaskStorage& store, const TodoTask::Id& taskId)
{
    auto it = store.m_tasks.constFind(taskId);
    if (it == store.m_tasks.constEnd())
        return std::nullopt;
    return it.value();
}

std::optional<GroupState> StepRecorder::groupState(const TaskStorage& store, const FocusGroup::Id& groupId)
{
    auto it = store.m_groups.constFind(groupId);
    if (it == store.m_groups.constEnd())
        return std::nullopt;
    const int place = FocusGroup::isUserGroup(groupId) ? int(store.m_userGroupOrder.indexOf(groupId)) : -1;
    return GroupState{it->name(), it->iconKey(), it->taskIds(), place};
}

template <typename Change, typename Id, typename State>
void StepRecorder::_note(QList<Entry<Change>>& entries, QHash<Id, qsizetype>& index, const Id& id, bool recorded,
                         const State& state)
{
    auto found = index.constFind(id);
    if (found == index.constEnd()) {
        if (!recorded || id.isNull())
            return;
        index.insert(id, entries.size());
        entries.append({Change{id, state(), std::nullopt}});
        return;
    }
    Entry<Change>& entry = entries[*found];
    if (recorded) {
        entry.open = true;
    } else if (entry.open) {
        entry.change.after = state();
        entry.open = false;
    }
}

void StepRecorder::noteTask(const TaskStorage& store, const TodoTask::Id& taskId, bool recorded)
{
    _note(m_tasks, m_taskIndex, taskId, recorded, [&] { return taskState(store, taskId); });
}

void StepRecorder::noteGroup(const TaskStorage& store, const FocusGroup::Id& groupId, bool recorded)
{
    _note(m_groups, m_groupIndex, groupId, recorded, [&] { return groupState(store, groupId); });
}

UndoStep StepRecorder::finish(const TaskStorage& store)
{
    UndoStep step;
    step.label = m_label;
    for (Entry<GroupChange>& entry : m_groups) {
        if (entry.open)
            entry.change.after = groupState(store, entry.change.id);
        if (entry.change.before != entry.change.after)
            step.groups.append(std::move(entry.change));
    }
    bool recordChanged = false;
    step.tasks.reserve(m_tasks.size());
    for (Entry<TaskChange>& entry : m_tasks) {
        if (entry.open)
            entry.change.after = taskState(store, entry.change.id);
        if (!entry.change.before && !entry.change.after)
            continue;
        recordChanged = recordChanged || entry.change.before != entry.change.after;
        step.tasks.append(std::move(entry.change));
    }
    if (step.groups.isEmpty() && !recordChanged)
        return UndoStep();
    _markListed(store, step);
    return step;
}

void StepRecorder::_markListed(const TaskStorage& store, UndoStep& step)
{
    if (step.tasks.isEmpty())
        return;
    QHash<TodoTask::Id, qsizetype> index;
    index.reserve(step.tasks.size());
    for (qsizetype i = 0; i < step.tasks.size(); ++i)
        index.insert(step.tasks.at(i).id, i);
    const auto mark = [&](const FocusGroup::TaskIdList& list, bool before, bool after) {
        for (const TodoTask::Id& id : list) {
            auto found = index.constFind(id);
            if (found == index.constEnd())
                continue;
            TaskChange& change = step.tasks[*found];
            change.listedBefore = change.listedBefore || before;
            change.listedAfter = change.listedAfter || after;
        }
    };
    QSet<FocusGroup::Id> changed;
    for (const GroupChange& group : std::as_const(step.groups)) {
        changed.insert(group.id);
        if (group.before)
            mark(group.before->taskIds, true, false);
        if (group.after)
            mark(group.after->taskIds, false, true);
    }
    for (auto it = store.m_groups.constBegin(); it != store.m_groups.constEnd(); ++it) {
        if (!changed.contains(it.key()))
            mark(it->taskIds(), true, true);
    }
}
