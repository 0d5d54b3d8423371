#pragma once

#include "store/undostep.h"

#include <QSet>

class TaskStorage;

/// Applies a recorded step to the store backwards (undo) or again (redo) as one change of the
/// store, announced with its signals, keeping what changed from elsewhere since the step.
class StepReplay
{
public:
    enum Outcome { Applied, TasksGone, GroupsGone };

    /// Tasks deleted elsewhere since the step stay deleted and land in `gone`; when that is
    /// every task of the step (or every group of a step without tasks) nothing changes.
    static Outcome apply(TaskStorage& store, const UndoStep& step, bool backwards, QSet<TodoTask::Id>* gone);

private:
    static QSet<TodoTask::Id> _listed(const TaskStorage& store, const QSet<TodoTask::Id>& taskIds);
    static TodoTask _merged(const TodoTask& from, const TodoTask& to, const TodoTask& now);
};
