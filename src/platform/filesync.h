#pragma once

#include <QString>

namespace platform {

/// Forces the file's contents to stable storage. False when the file cannot be opened or synced.
bool syncFileToDisk(const QString& path);

/// Forces the folder's entries (renames, new names) to stable storage.
bool syncFolderToDisk(const QString& folderPath);

} // namespace platform
