#include "platform/autostart.h"

#include "platform/shellfolders.h"

#include <QFile>

namespace platform {

QString autostartEntryPath()
{
    const QString config = shellFolderPath(ShellFolder::RoamingAppData);
    if (config.isEmpty())
        return QString();
    return config + QStringLiteral("/autostart/Mirevo.desktop");
}

DesktopEntry autostartEntry(const QString& executablePath, const QString& iconPath)
{
    DesktopEntry entry;
    entry.setValue(QStringLiteral("Type"), QStringLiteral("Application"));
    entry.setValue(QStringLiteral("Name"), QStringLiteral("Mirevo"));
    entry.setExec(executablePath);
    entry.setValue(QStringLiteral("Icon"), iconPath.isEmpty() ? QStringLiteral("mirevo") : iconPath);
    entry.setValue(QStringLiteral("Terminal"), QStringLiteral("false"));
    entry.setValue(QStringLiteral("X-GNOME-Autostart-enabled"), QStringLiteral("true"));
    return entry;
}

bool setRunOnStartup(const QString& executablePath, bool on, const QString& iconPath)
{
    const QString path = autostartEntryPath();
    if (executablePath.isEmpty() || path.isEmpty())
        return false;
    if (!on)
        return QFile::remove(path);
    return autostartEntry(executablePath, iconPath).write(path);
}

bool isRunOnStartupEnabled()
{
    const QString path = autostartEntryPath();
    return !path.isEmpty() && QFile::exists(path);
}

} // namespace platform
