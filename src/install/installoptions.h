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
    /// Installing writes the session's autostart entry for the installed copy; uninstalling
    /// removes it whatever this says.
    bool m_runOnSystemStartup = true;
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
    /// The session's autostart entry file.
    QString autostartEntry;

    static InstallPaths forThisUser();

    /// The installed copy of the program, the installed icon, and the entries written.
    QString installedProgram() const;
    QString installedIcon() const;
    QString startMenuEntry() const;
    QString desktopEntry() const;
    QString uninstallEntry() const;

    /// Whether the program running the installation is the installed copy.
    bool runsInstalledCopy() const;
    /// The program the autostart entry starts: the installed copy when there is one, else the
    /// running program.
    QString startupProgram() const;
};

/// Whether two paths name one existing file: the same path once links are resolved, or two
/// hard links of it.
bool sameFile(const QString& a, const QString& b);

} // namespace install
