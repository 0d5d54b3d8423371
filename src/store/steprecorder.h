#pragma once

#include "store/undostep.h"

#include <QHash>

class TaskStorage;

/// Collects what the store operations of one open step change: the state of each task and
/// group at its first touch, and the state the step left it in. Runs under the store's lock.
class StepRecorder
{
public:
    explicit StepRecorder(const QString& label);

    /// Before a change to the task. A change that is not the user's (`recorded` false) fixes
    /// the state the step left the task in, so undo keeps that change.
    void noteTask(const TaskStorage& store, const TodoTask::Id& taskId, bool recorded);
    void noteGroup(const TaskStorage& store, const FocusGroup::Id& groupId, bool recorded);
    /// The finished step; empty when it changed nothing.
    UndoStep finish(const TaskStorage& store);

    static std::optional<TodoTask> taskState(const TaskStorage& store, const TodoTask::Id& taskId);
    static std::optional<GroupState> groupState(const TaskStorage& store, const FocusGroup::Id& groupId);

private:
    template <typename Change>
    struct Entry
    {
        Change change;
        // True while later user changes may still move the state the step leaves.
        bool open = true;
    };

    template <typename Change, typename Id, typename State>
    static void _note(QList<Entry<Change>>& entries, QHash<Id, qsizetype>& index, const Id& id, bool recorded,
                      const State& state);
    static void _markListed(const TaskStorage& store, UndoStep& step);

    QString m_label;
    QList<Entry<TaskChange>> m_tasks;
    QHash<TodoTask::Id, qsizetype> m_taskIndex;
    QList<Entry<GroupChange>> m_groups;
    QHash<FocusGroup::Id, qsizetype> m_groupIndex;
};
