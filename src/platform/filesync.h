#pragma once

#include <QString>

namespace platform {

/// Forces the file's contents to stable storage. False when the file cannot be opened or synced.
bool syncFileToDisk(const QString& path);

/// Forces the folder's entries (renames, new names) to stable storage.
bool syncFolderToDisk(const QString& folderPath);

/// Renames a file in one step, replacing `to` if it exists: the rename system call, never a
/// copy. False (and nothing changed) when the call fails.
bool renameFile(const QString& from, const QString& to);

/// Gives the file a second name in the same folder without copying it (a hard link); false
/// when the file system cannot.
bool linkFile(const QString& existing, const QString& newName);

} // namespace platform
