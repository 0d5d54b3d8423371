#pragma once

#include "store/focusgroup.h"
#include "store/todotask.h"

#include <QList>
#include <QString>

#include <optional>

/// A group as a step found or left it.
struct GroupState
{
    QString name;
    QString iconKey;
    FocusGroup::TaskIdList taskIds;
    /// Index among the user groups; -1 for Inbox, Completed and Trash.
    int place = -1;

    bool operator==(const GroupState& other) const
    {
        return name == other.name && iconKey == other.iconKey && place == other.place && taskIds == other.taskIds;
    }
    bool operator!=(const GroupState& other) const { return !(*this == other); }
};

/// A task record before and after a step (absent: no record). `listed*` say whether any group
/// listed the task, which tells a task deleted elsewhere since from one the step left unlisted.
struct TaskChange
{
    TodoTask::Id id;
    std::optional<TodoTask> before;
    std::optional<TodoTask> after;
    bool listedBefore = false;
    bool listedAfter = false;
};

struct GroupChange
{
    FocusGroup::Id id;
    std::optional<GroupState> before;
    std::optional<GroupState> after;
};

/// One user action as the store recorded it: every task and group it touched, before and after.
struct UndoStep
{
    QString label;
    /// Steps with the same non-empty key in a row are one step (the edits of one row).
    QString mergeKey;
    QList<TaskChange> tasks;
    QList<GroupChange> groups;

    bool isEmpty() const { return tasks.isEmpty() && groups.isEmpty(); }
};
