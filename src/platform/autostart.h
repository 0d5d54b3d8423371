#pragma once

#include "platform/desktopentry.h"

#include <QString>

namespace platform {

/// The autostart entry that starts the program with the user's session:
/// $XDG_CONFIG_HOME/autostart/Mirevo.desktop.
QString autostartEntryPath();

/// The contents of an autostart entry that starts `executablePath`, with `iconPath` as its icon
/// when given, else the icon name "mirevo".
DesktopEntry autostartEntry(const QString& executablePath, const QString& iconPath = QString());

/// Turns starting with the session on (writes the entry for `executablePath`, with `iconPath`
/// as its icon when given, else the icon name "mirevo") or off (deletes it). False for an empty
/// path, a failed write, or when there was no entry to delete.
bool setRunOnStartup(const QString& executablePath, bool on, const QString& iconPath = QString());

/// Whether the autostart entry exists.
bool isRunOnStartupEnabled();

} // namespace platform
