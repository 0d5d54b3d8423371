#pragma once

#include <QByteArray>
#include <QProcessEnvironment>

namespace platform {

/// The windowing-system plug-ins to try, in order, for a desktop session with the given
/// environment, or empty where the toolkit's own choice stands: a QT_QPA_PLATFORM set by the
/// user, or a session that names its type (XDG_SESSION_TYPE). A Wayland compositor started
/// without a login manager names none; the toolkit would then try X11 alone and fail without
/// an X server, so such a session gets Wayland first.
QByteArray preferredPlatformPlugins(const QProcessEnvironment& environment);

/// Sets QT_QPA_PLATFORM to preferredPlatformPlugins() of this process when that is not empty.
/// Call before the application object is made.
void choosePlatformPlugins();

} // namespace platform
