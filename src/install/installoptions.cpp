#include "install/installoptions.h"

#include "app/identity.h"
#include "app/specialfolder.h"

#include <QCoreApplication>

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

} // namespace install
