#pragma once

#include "install/installoptions.h"

#include <QByteArray>
#include <QString>

namespace install {

/// One reversible step of an installation: run() does it, rollback() undoes it.
class InstallJob
{
public:
    explicit InstallJob(const QString& message)
        : message(message)
    {
    }
    virtual ~InstallJob() = default;
    virtual bool run() = 0;
    virtual bool rollback() = 0;

    /// The text shown while the step runs.
    const QString message;
};

/// Copies one file into place (replacing an existing one), creating its folder. A target that
/// is the source itself (installing from the installed copy) is left as it is, also by rollback().
class CopyFileJob : public InstallJob
{
public:
    CopyFileJob(const QString& message, const QString& source, const QString& target, bool executable);
    bool run() override;
    bool rollback() override;

private:
    const QString m_source;
    const QString m_target;
    const bool m_executable;
    bool m_targetIsSource = false;
};

/// A desktop entry that starts the installed program: in the application menu, or (made
/// executable, as desktops require) on the desktop.
class CreateShellLinkJob : public InstallJob
{
public:
    CreateShellLinkJob(const QString& message, const InstallPaths& paths, const QString& linkPath, bool executable);
    bool run() override;
    bool rollback() override;

private:
    const InstallPaths m_paths;
    const QString m_linkPath;
    const bool m_executable;
};

/// The "Uninstall Mirevo" entry of the application menu, which carries what an uninstaller
/// needs to know about the installation.
class WriteUninstallRegistry : public InstallJob
{
public:
    WriteUninstallRegistry(const QString& message, const InstallPaths& paths);
    bool run() override;
    bool rollback() override;

private:
    const InstallPaths m_paths;
};

/// The session's autostart entry, which starts the installed copy. Undoing an installation puts
/// back the entry it replaced (or removes it); uninstalling removes it.
class AutostartEntryJob : public InstallJob
{
public:
    AutostartEntryJob(const QString& message, const InstallPaths& paths);
    bool run() override;
    bool rollback() override;

private:
    const InstallPaths m_paths;
    bool m_replacedEntry = false;
    QByteArray m_replaced;
};

/// Removes the user's data (tasks, settings, log) when uninstalling; does nothing on install.
class RemoveUserDataJob : public InstallJob
{
public:
    RemoveUserDataJob(const QString& message, const QString& userDataFolder);
    bool run() override;
    bool rollback() override;

private:
    const QString m_userDataFolder;
};

/// Removes `folder` when it is empty, then its parents while they are empty, `levels` folders
/// at most (the program's and the maker's folders; never the user's own further up).
void removeEmptyFolders(const QString& folder, int levels);

} // namespace install
