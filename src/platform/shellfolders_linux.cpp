#include "platform/shellfolders.h"

#include <QDir>
#include <QStandardPaths>

namespace platform {

namespace {

// XDG base directories must be absolute; a relative value is invalid and is ignored.
QString xdgFolder(const char* variable, const QString& homeSuffix)
{
    const QString value = qEnvironmentVariable(variable);
    if (!value.isEmpty() && QDir::isAbsolutePath(value))
        return QDir::fromNativeSeparators(value);
    const QString home = QDir::homePath();
    if (home.isEmpty())
        return QString();
    return home + homeSuffix;
}

} // namespace

QString shellFolderPath(ShellFolder folder)
{
    switch (folder) {
    case ShellFolder::RoamingAppData:
        return xdgFolder("XDG_CONFIG_HOME", QStringLiteral("/.config"));
    case ShellFolder::LocalAppData:
        return xdgFolder("XDG_DATA_HOME", QStringLiteral("/.local/share"));
    case ShellFolder::StartMenu: {
        const QString data = xdgFolder("XDG_DATA_HOME", QStringLiteral("/.local/share"));
        return data.isEmpty() ? QString() : data + QStringLiteral("/applications");
    }
    case ShellFolder::QuickLaunch:
        return QString();
    case ShellFolder::Desktop:
        return QStandardPaths::writableLocation(QStandardPaths::DesktopLocation);
    }
    return QString();
}

} // namespace platform
