#include "install/installjob.h"

#include "base/identity.h"
#include "base/log.h"
#include "base/specialfolder.h"
#include "platform/autostart.h"
#include "platform/desktopentry.h"

#include <QDir>
#include <QFile>
#include <QSaveFile>

namespace install {

namespace {

QString resultText(bool ok)
{
    return QStringLiteral("; result ") + QString::number(ok ? 1 : 0);
}

} // namespace

CopyFileJob::CopyFileJob(const QString& message, const QString& source, const QString& target, bool executable)
    : InstallJob(message)
    , m_source(source)
    , m_target(target)
    , m_executable(executable)
{
}

bool CopyFileJob::run()
{
    // Removing the target first would remove the source, the program that runs.
    if (sameFile(m_source, m_target)) {
        m_targetIsSource = true;
        MRV_DEBUG("install::CopyFileJob::run",
                  QStringLiteral("CopyFileJob: ") + m_target + QStringLiteral(" is the source") + resultText(true));
        return true;
    }
    if (!ensureFolderFor(m_target))
        return false;
    if (QFile::exists(m_target))
        QFile::remove(m_target);
    bool ok = QFile::copy(m_source, m_target);
    // A copy takes the source's permissions, and a resource is read-only.
    if (ok) {
        QFile::Permissions permissions = QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup | QFile::ReadOther;
        if (m_executable)
            permissions |= QFile::ExeOwner | QFile::ExeGroup | QFile::ExeOther;
        ok = QFile::setPermissions(m_target, permissions);
    }
    MRV_DEBUG("install::CopyFileJob::run", QStringLiteral("CopyFileJob: ") + m_target + resultText(ok));
    return ok;
}

bool CopyFileJob::rollback()
{
    if (m_targetIsSource)
        return true;
    const bool ok = QFile::remove(m_target);
    MRV_DEBUG("install::CopyFileJob::rollback", QStringLiteral("CopyFileJob Rollback: ") + m_target + resultText(ok));
    return ok;
}

CreateShellLinkJob::CreateShellLinkJob(const QString& message, const InstallPaths& paths, const QString& linkPath,
                                       bool executable)
    : InstallJob(message)
    , m_paths(paths)
    , m_linkPath(linkPath)
    , m_executable(executable)
{
}

bool CreateShellLinkJob::run()
{
    platform::DesktopEntry entry;
    entry.setValue(QStringLiteral("Type"), QStringLiteral("Application"));
    entry.setValue(QStringLiteral("Name"), productName());
    entry.setValue(QStringLiteral("GenericName"), QStringLiteral("Task Manager"));
    entry.setValue(QStringLiteral("Comment"), QStringLiteral("Keep your tasks in focus groups"));
    entry.setExec(m_paths.installedProgram());
    entry.setValue(QStringLiteral("Icon"), m_paths.installedIcon());
    entry.setValue(QStringLiteral("Terminal"), QStringLiteral("false"));
    entry.setValue(QStringLiteral("Categories"), QStringLiteral("Office;ProjectManagement;"));
    // The window class the toolkit gives the program's windows: the application name.
    entry.setValue(QStringLiteral("StartupWMClass"), productName());
    const bool ok = entry.write(m_linkPath, m_executable);
    MRV_DEBUG("install::CreateShellLinkJob::run", QStringLiteral("CreateShellLinkJob: ") + m_linkPath + resultText(ok));
    return ok;
}

bool CreateShellLinkJob::rollback()
{
    const bool ok = QFile::remove(m_linkPath);
    MRV_DEBUG("install::CreateShellLinkJob::rollback",
              QStringLiteral("CreateShellLinkJob Rollback: ") + m_linkPath + resultText(ok));
    return ok;
}

WriteUninstallRegistry::WriteUninstallRegistry(const QString& message, const InstallPaths& paths)
    : InstallJob(message)
    , m_paths(paths)
{
}

bool WriteUninstallRegistry::run()
{
    const QString command = platform::DesktopEntry::quoteExecArgument(m_paths.installedProgram())
        + QStringLiteral(" --uninstall");
    platform::DesktopEntry entry;
    entry.setValue(QStringLiteral("Type"), QStringLiteral("Application"));
    entry.setValue(QStringLiteral("Name"), QStringLiteral("Uninstall ") + productName());
    entry.setExec(m_paths.installedProgram(), {QStringLiteral("--uninstall")});
    entry.setValue(QStringLiteral("Icon"), m_paths.installedIcon());
    entry.setValue(QStringLiteral("Terminal"), QStringLiteral("false"));
    entry.setValue(QStringLiteral("Categories"), QStringLiteral("Office;ProjectManagement;"));
    entry.setValue(QStringLiteral("X-Mirevo-DisplayIcon"), m_paths.installedIcon());
    entry.setValue(QStringLiteral("X-Mirevo-DisplayName"), productName());
    entry.setValue(QStringLiteral("X-Mirevo-DisplayVersion"), programVersion().toString());
    entry.setValue(QStringLiteral("X-Mirevo-InstallLocation"), m_paths.installFolder);
    entry.setValue(QStringLiteral("X-Mirevo-NoModify"), QStringLiteral("1"));
    entry.setValue(QStringLiteral("X-Mirevo-NoRepair"), QStringLiteral("1"));
    entry.setValue(QStringLiteral("X-Mirevo-UninstallString"), command);
    entry.setValue(QStringLiteral("X-Mirevo-URLInfoAbout"), webSiteUrl());
    entry.setValue(QStringLiteral("X-Mirevo-Publisher"), companyName());
    return entry.write(m_paths.uninstallEntry());
}

bool WriteUninstallRegistry::rollback()
{
    return QFile::remove(m_paths.uninstallEntry());
}

AutostartEntryJob::AutostartEntryJob(const QString& message, const InstallPaths& paths)
    : InstallJob(message)
    , m_paths(paths)
{
}

bool AutostartEntryJob::run()
{
    QFile replaced(m_paths.autostartEntry);
    m_replacedEntry = replaced.open(QIODevice::ReadOnly);
    if (m_replacedEntry)
        m_replaced = replaced.readAll();
    const bool ok = platform::autostartEntry(m_paths.installedProgram(), m_paths.installedIcon())
                        .write(m_paths.autostartEntry);
    MRV_DEBUG("install::AutostartEntryJob::run", QStringLiteral("AutostartEntryJob: ") + m_paths.autostartEntry
                  + resultText(ok));
    return ok;
}

bool AutostartEntryJob::rollback()
{
    if (!m_replacedEntry)
        return QFile::remove(m_paths.autostartEntry);
    QSaveFile file(m_paths.autostartEntry);
    return file.open(QIODevice::WriteOnly) && file.write(m_replaced) == m_replaced.size() && file.commit();
}

RemoveUserDataJob::RemoveUserDataJob(const QString& message, const QString& userDataFolder)
    : InstallJob(message)
    , m_userDataFolder(userDataFolder)
{
}

bool RemoveUserDataJob::run()
{
    return true;
}

bool RemoveUserDataJob::rollback()
{
    QDir folder(m_userDataFolder);
    // Files only: folders the user may have put there stay.
    const QStringList names = folder.entryList(QDir::Files | QDir::Hidden | QDir::System);
    for (const QString& name : names) {
        const bool ok = folder.remove(name);
        MRV_DEBUG("install::RemoveUserDataJob::rollback",
                  QStringLiteral("RemoveUserDataJob: ") + name + QStringLiteral(" result ") + QString::number(ok ? 1 : 0));
    }
    removeEmptyFolders(m_userDataFolder, 3);
    return true;
}

void removeEmptyFolders(const QString& folder, int levels)
{
    QDir up(QDir::cleanPath(folder));
    for (int level = 0; level < levels && up.exists() && up.isEmpty(); ++level) {
        const QString name = up.dirName();
        if (!up.cdUp() || !up.rmdir(name))
            break;
    }
}

} // namespace install
