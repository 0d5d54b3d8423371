#pragma once

#include "store/todotask.h"
#include "sync/vtodo.h"

#include <optional>

namespace sync {

/// A task's fields as iCalendar carries them: times to the second; `key` is its sort key in
/// its list.
TaskFields fieldsOfTask(const TodoTask& task, const QString& uid, std::optional<qint64> key = std::nullopt);
/// `task` with the name, notes, due date, completion and repeat rule of `fields`; its id,
/// creation and modification times stay.
TodoTask taskWithFields(const TodoTask& task, const TaskFields& fields);
/// A new record for `id` made of `fields` (created now when they carry no creation time).
TodoTask taskFromFields(const TodoTask::Id& id, const TaskFields& fields);
/// Whether two versions differ in anything a user can change.
bool sameContent(const TaskFields& a, const TaskFields& b);
/// `fields` with their times cut to whole seconds, as iCalendar keeps them.
void cutToSeconds(TaskFields* fields);

} // namespace sync
