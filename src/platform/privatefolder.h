#pragma once

#include <QString>

namespace platform {

/// True when `path` is a folder (not a link to one) of the user running the program that no
/// other user can enter, list or write: owned by this user, without group or other permissions.
bool isPrivateFolder(const QString& path);

/// Makes `path` a private folder: creates it with mode 0700 (its parents as usual), or tightens
/// the mode of an existing folder of this user's own. False when it cannot be made private
/// (it belongs to someone else, is a link or not a folder).
bool makePrivateFolder(const QString& path);

/// The desktop session's runtime folder ($XDG_RUNTIME_DIR) when it is set and private; empty
/// otherwise. Never a fallback in the shared temporary folder, which another user could
/// prepare in advance.
QString privateRuntimeFolder();

} // namespace platform
