#include "install/installoptions.h"

#include "base/identity.h"
#include "base/specialfolder.h"
#include "platform/autostart.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>

#include <filesystem>

namespace install {

InstallPaths InstallPaths::forThisUser()
{
    InstallPaths paths;
    paths.sourceProgram = QCoreApplication::applicationFilePath();
    paths.iconSource = QStringLiteral(":/icons/one_256");
    paths.installFolder = folderPath(ProgramFolder, false);
    paths.startMenuFolder = folderPath(StartMenu, false);
    paths.desktopFolder = folderPath(Desktop, false);
    paths.userDataFolder = folderPath(UserDataFolder, false);
    paths.autostartEntry = platform::autostartEntryPath();
    return paths;
}

QString InstallPaths::installedProgram() const
{
    return installFolder + QStringLiteral("mirevo");
}

QString InstallPaths::installedIcon() const
{
    return installFolder + QStringLiteral("mirevo.png");
}

QString InstallPaths::startMenuEntry() const
{
    return startMenuFolder + QStringLiteral("Mirevo.desktop");
}

QString InstallPaths::desktopEntry() const
{
    return desktopFolder + QStringLiteral("Mirevo.desktop");
}

QString InstallPaths::uninstallEntry() const
{
    return startMenuFolder + installationId() + QStringLiteral(".desktop");
}

bool InstallPaths::runsInstalledCopy() const
{
    return sameFile(sourceProgram, installedProgram());
}

QString InstallPaths::startupProgram() const
{
    const QFileInfo installed(installedProgram());
    return installed.isFile() && installed.isExecutable() ? installed.filePath() : sourceProgram;
}

bool sameFile(const QString& a, const QString& b)
{
    if (a.isEmpty() || b.isEmpty())
        return false;
    std::error_code error;
    return std::filesystem::equivalent(QFile::encodeName(a).toStdString(), QFile::encodeName(b).toStdString(), error)
        && !error;
}

} // namespace install
