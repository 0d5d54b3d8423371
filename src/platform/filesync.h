#pragma once

#include <QString>

namespace platform {

/// Forces the file's contents to stable storage, never through a link (a link at `path` fails).
/// False, with the system's reason in `error` when given, when the file cannot be opened or synced.
bool syncFileToDisk(const QString& path, QString* error = nullptr);

/// Forces the folder's entries (renames, new names) to stable storage.
bool syncFolderToDisk(const QString& folderPath);

/// Renames a file in one step, replacing `to` if it exists: the rename system call, never a
/// copy. False (and nothing changed), with the system's reason in `error` when given, when the
/// call fails.
bool renameFile(const QString& from, const QString& to, QString* error = nullptr);

/// Gives the file a second name in the same folder without copying it (a hard link); false
/// when the file system cannot.
bool linkFile(const QString& existing, const QString& newName);

/// What the symbolic link at `path` holds, as written in the link (possibly relative to the
/// link's folder); empty when `path` is not a link.
QString readLink(const QString& path);

} // namespace platform
