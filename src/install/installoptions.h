#pragma once

#include <QString>

namespace install {

/// What the user chose in a wizard. The desktops this program runs on have no quick-launch bar,
/// so there is no option for one.
struct InstallOptions
{
    bool m_createStartMenuItems = true;
    bool m_createDesktopIcon = true;
    bool m_removeUserData = false;
};

/// Where an installation takes its files from and puts them. forThisUser() gives the real
/// places; tests give folders of their own.
struct InstallPaths
{
    /// The program file that runs the installation.
    QString sourceProgram;
    /// The program's picture (a PNG, usually a resource of the program).
    QString iconSource;
    QString installFolder;
    /// The folder of the desktop's application menu entries.
    QString startMenuFolder;
    QString desktopFolder;
    QString userDataFolder;

    static InstallPaths forThisUser();

    /// The installed copy of the program, the installed icon, and the entries written.
    QString installedProgram() const;
    QString installedIcon() const;
    QString startMenuEntry() const;
    QString desktopEntry() const;
    QString uninstallEntry() const;
};

} // namespace install
