#pragma once

#include "store/tasksnapshot.h"

#include <QString>

namespace bench {

/// The default seed of the generated databases: the same seed always gives the same file.
constexpr quint32 DefaultSeed = 20240301u;

/// Builds a database of `taskCount` tasks as a snapshot in file order: Inbox, Completed and
/// Trash, then 20 user groups; tasks in creation order. Names are 20-80 characters (English,
/// Portuguese and Russian words), about half the tasks have notes (up to 400 characters, some
/// multi-line), half have a due date, about 10% are completed (listed in Completed), a few are
/// in the Trash and about 5% are listed in two groups.
TaskSnapshot makeSnapshot(int taskCount, quint32 seed = DefaultSeed);

/// Writes `snapshot` to `path` as the task database file. False with `error` set on failure.
bool writeDatabaseFile(const QString& path, const TaskSnapshot& snapshot, QString* error = nullptr);

} // namespace bench
