#include "base/specialfolder.h"

#include "base/identity.h"
#include "platform/shellfolders.h"

#include <QDir>
#include <QFileInfo>

namespace {

QString withTrailingSlash(QString path)
{
    path = QDir::fromNativeSeparators(path);
    if (!path.endsWith(QLatin1Char('/')))
        path += QLatin1Char('/');
    return path;
}

QString shellFolder(platform::ShellFolder folder, const QString& fallbackSuffix)
{
    const QString path = platform::shellFolderPath(folder);
    if (!path.isEmpty())
        return withTrailingSlash(path);
    return QDir::homePath() + fallbackSuffix;
}

QString productSubfolder(const QString& leaf)
{
    return specialFolder(LocalAppData) + companyName() + QLatin1Char('/') + productFolderName()
        + QLatin1Char('/') + leaf;
}

} // namespace

QString specialFolder(int kind)
{
    switch (kind) {
    case AppData:
        return shellFolder(platform::ShellFolder::RoamingAppData, QStringLiteral("/Application Data/"));
    case LocalAppData:
        return shellFolder(platform::ShellFolder::LocalAppData,
                           QStringLiteral("/Local Settings/Application Data/"));
    case ProgramFolder:
        return productSubfolder(QStringLiteral("Application/"));
    case UserDataFolder:
        return productSubfolder(QStringLiteral("User Data/"));
    case StartMenu:
        return shellFolder(platform::ShellFolder::StartMenu, QStringLiteral("/Start Menu/"));
    case QuickLaunch: {
        // The desktops this program runs on have no quick-launch bar.
        const QString path = platform::shellFolderPath(platform::ShellFolder::QuickLaunch);
        return path.isEmpty() ? QString() : withTrailingSlash(path);
    }
    case Desktop:
        return shellFolder(platform::ShellFolder::Desktop, QStringLiteral("/Desktop/"));
    default:
        return QString();
    }
}

QString folderPath(int kind, bool create)
{
    QString path = specialFolder(kind);
    if (path.isEmpty())
        return path;
    path = withTrailingSlash(path);
    if (create)
        ensureFolderFor(path);
    return path;
}

bool ensureFolderFor(const QString& path)
{
    const QString normalized = QDir::fromNativeSeparators(path);
    const QString folder = normalized.endsWith(QLatin1Char('/'))
        ? QDir(normalized).absolutePath()
        : QFileInfo(normalized).absolutePath();
    return QDir().mkpath(folder) && QFileInfo(folder).isDir();
}

namespace {

QString userDataFile(const char* name)
{
    return folderPath(UserDataFolder, true) + QLatin1String(name);
}

} // namespace

QString databaseFilePath()
{
    return userDataFile("database.xml");
}

QString logFilePath()
{
    return userDataFile("log.txt");
}

QString settingsFilePath()
{
    return userDataFile("settings.ini");
}

QString metricsFilePath()
{
    return userDataFile("metrics.xml");
}

QString iconFilePath()
{
    return userDataFile("mirevo.png");
}
