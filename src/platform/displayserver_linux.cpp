#include "platform/displayserver.h"

namespace platform {

QByteArray preferredPlatformPlugins(const QProcessEnvironment& environment)
{
    const auto given = [&environment](const char* name) {
        return !environment.value(QLatin1String(name)).isEmpty();
    };
    if (given("QT_QPA_PLATFORM") || given("XDG_SESSION_TYPE"))
        return QByteArray();
    if (given("WAYLAND_DISPLAY") || given("WAYLAND_SOCKET"))
        return QByteArrayLiteral("wayland;xcb");
    return QByteArray();
}

void choosePlatformPlugins()
{
    const QByteArray plugins = preferredPlatformPlugins(QProcessEnvironment::systemEnvironment());
    if (!plugins.isEmpty())
        qputenv("QT_QPA_PLATFORM", plugins);
}

} // namespace platform
