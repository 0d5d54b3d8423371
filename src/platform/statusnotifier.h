#pragma once

namespace platform {

/// Whether the desktop's tray is a StatusNotifierItem host on the session bus (KDE Plasma and
/// the bars with a D-Bus tray), where the toolkit shows the tray icon through D-Bus: such a
/// tray reports a single activation and no double click.
bool isStatusNotifierHostRegistered();

} // namespace platform
