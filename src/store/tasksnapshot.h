#pragma once

#include "store/focusgroup.h"
#include "store/todotask.h"

#include <QHash>
#include <QList>

/// A copy of the whole store taken in one go under the store's lock: either as lists in
/// display order (for writing the file) or as hashes by id (for lookups), as `byId` chooses.
struct TaskSnapshot
{
    int revision = 0;
    bool byId = false;
    QList<FocusGroup> groups;
    QList<TodoTask> tasks;
    QHash<FocusGroup::Id, FocusGroup> groupsById;
    QHash<TodoTask::Id, TodoTask> tasksById;
};
