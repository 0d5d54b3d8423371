#pragma once

#include <QDateTime>
#include <QString>
#include <QStringList>

class TaskStorage;

// When the task database cannot be written as the program ends, the tasks go to a rescue copy
// elsewhere, and the next start says where it is.

/// Where a rescue copy may go, in order: the parent of the user data folder, the home folder,
/// the temporary folder.
QStringList rescueFolders();
/// Writes the store's contents as a complete database file into the first of `folders` that
/// takes it. The copy's path, or empty when no folder did.
QString writeRescueCopy(TaskStorage& storage, const QStringList& folders);
/// Rescue copies in `folders` made after `since` (the database's last write), newest first.
QStringList rescueCopiesSince(const QStringList& folders, const QDateTime& since);
