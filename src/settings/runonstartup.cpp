#include "settings/runonstartup.h"

#include "base/log.h"
#include "base/specialfolder.h"
#include "install/installoptions.h"
#include "platform/autostart.h"
#include "platform/notifications.h"

#include <QFile>
#include <QSaveFile>

namespace {

// The entry names its icon by path, so that the icon resolves without an icon theme: the
// program's picture is written beside the user's data when it is missing or out of date.
QString iconForEntry()
{
    QFile picture(QStringLiteral(":/icons/one_256"));
    if (!picture.open(QIODevice::ReadOnly))
        return QString();
    const QByteArray bytes = picture.readAll();
    const QString path = iconFilePath();
    QFile existing(path);
    if (existing.open(QIODevice::ReadOnly) && existing.readAll() == bytes)
        return path;
    existing.close();
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit()) {
        MRV_WARNING("setRunOnStartup", QStringLiteral("Cannot write the icon ") + path);
        return QString();
    }
    return path;
}

} // namespace

bool setRunOnStartup(const QString& executablePath, bool on)
{
    const bool done = platform::setRunOnStartup(executablePath, on, on ? iconForEntry() : QString());
    if (!done && on)
        MRV_WARNING("setRunOnStartup", QStringLiteral("Cannot write the autostart entry ") + platform::autostartEntryPath());
    return done;
}

bool setRunOnStartup(bool on)
{
    return setRunOnStartup(install::InstallPaths::forThisUser().startupProgram(), on);
}

bool isRunOnStartupSupported()
{
    return true;
}

bool notificationsSupported(bool trayAvailable)
{
    return trayAvailable || platform::DesktopNotifications().isAvailable();
}
