#pragma once

#include <QString>

/// Starts the program with the user's session (on) or stops doing so (off) at once, through
/// the session's autostart entry for `executablePath`. False when the entry could not be
/// written, or when there was none to remove.
bool setRunOnStartup(const QString& executablePath, bool on);
/// The same for this program, as the user turns the option on or off: the entry starts the
/// installed copy when there is one, else the running program (which a later installation
/// replaces by the installed copy).
bool setRunOnStartup(bool on);
/// Whether this desktop can start the program with the session.
bool isRunOnStartupSupported();
/// Whether the program can show notifications: through the system tray when `trayAvailable`
/// (the caller knows, the core has no widgets), or through the desktop's notification service.
bool notificationsSupported(bool trayAvailable);
