#pragma once

#include "store/focusgroup.h"
#include "store/todotask.h"

#include <QSet>

/// Turns a group's list back from the state a step left (`from`) to the one it found (`to`)
/// while keeping what changed in the list since (`current`): the tasks the step added leave,
/// the ones it removed or moved return next to the neighbours they had. `dropped` tasks are
/// never put back.
class ListRestore
{
public:
    static FocusGroup::TaskIdList restore(const FocusGroup::TaskIdList& from, const FocusGroup::TaskIdList& to,
                                          const FocusGroup::TaskIdList& current,
                                          const QSet<TodoTask::Id>& dropped = QSet<TodoTask::Id>());
};
