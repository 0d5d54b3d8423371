#include "install/installworker.h"

#include "base/log.h"
#include "install/installjob.h"
#include "platform/desktopentry.h"

#include <QDir>

namespace install {

InstallWorker::InstallWorker(bool install, const InstallOptions& options, const InstallPaths& paths)
    : m_opts(options)
    , m_paths(paths)
    , m_install(install)
{
    _createJobList();
}

InstallWorker::~InstallWorker()
{
    wait();
}

void InstallWorker::_createJobList()
{
    const char* tag = "install::InstallWorker::_createJobList";
    m_jobs.clear();
    const QString files = tr("Installing files...");
    m_jobs << std::make_shared<CopyFileJob>(files, m_paths.sourceProgram, m_paths.installedProgram(), true)
           << std::make_shared<CopyFileJob>(files, m_paths.iconSource, m_paths.installedIcon(), false);
    if (m_opts.m_createStartMenuItems) {
        MRV_DEBUG(tag, QStringLiteral("m_opts.m_createStartMenuItems"));
        m_jobs << std::make_shared<CreateShellLinkJob>(tr("Creating links..."), m_paths, m_paths.startMenuEntry(), false);
    }
    if (m_opts.m_createDesktopIcon) {
        MRV_DEBUG(tag, QStringLiteral("m_opts.m_createDesktopIcon"));
        // Desktops trust a launcher on the desktop only when it is executable.
        m_jobs << std::make_shared<CreateShellLinkJob>(tr("Creating links..."), m_paths, m_paths.desktopEntry(), true);
    }
    // Uninstalling removes the entry whatever the setting: it would start a removed program.
    if (!m_install || m_opts.m_runOnSystemStartup) {
        MRV_DEBUG(tag, QStringLiteral("m_opts.m_runOnSystemStartup"));
        m_jobs << std::make_shared<AutostartEntryJob>(tr("Creating links..."), m_paths);
    }
    if (!m_install && m_opts.m_removeUserData) {
        MRV_DEBUG(tag, QStringLiteral("m_opts.m_removeUserData"));
        m_jobs << std::make_shared<RemoveUserDataJob>(tr("Removing user data..."), m_paths.userDataFolder);
    }
    m_jobs << std::make_shared<WriteUninstallRegistry>(tr("Creating uninstall keys..."), m_paths);
}

void InstallWorker::run()
{
    bool ok = true;
    if (m_install)
        ok = _install();
    else
        _uninstall();
    // The desktop's menu shows the entries written or removed.
    platform::refreshApplicationMenu(m_paths.startMenuFolder);
    Q_EMIT installProgress(1, 1, ok ? tr("Done.") : tr("Installation failed."));
    Q_EMIT installFinished(ok);
}

bool InstallWorker::_install()
{
    QList<std::shared_ptr<InstallJob>> done;
    const int n = static_cast<int>(m_jobs.size());
    bool ok = true;
    for (int i = 0; i < n && ok; ++i) {
        const std::shared_ptr<InstallJob>& job = m_jobs.at(i);
        MRV_DEBUG("install::InstallWorker::run",
                  QStringLiteral("install (%1/%2) ").arg(i + 1).arg(n) + job->message);
        Q_EMIT installProgress(i + 1, n, job->message);
        ok = job->run();
        if (ok)
            done.prepend(job);
    }
    if (ok)
        return true;
    // The failed job is not undone: it did not finish.
    const int d = static_cast<int>(done.size());
    for (int j = 0; j < d; ++j) {
        Q_EMIT installProgress(j + 1, d, tr("Rolling back..."));
        done.at(j)->rollback();
    }
    return false;
}

void InstallWorker::_uninstall()
{
    const int n = static_cast<int>(m_jobs.size());
    for (int k = 1; k <= n; ++k) {
        const std::shared_ptr<InstallJob>& job = m_jobs.at(n - k);
        MRV_DEBUG("install::InstallWorker::run", QStringLiteral("uninstall (%1/%2) ").arg(k).arg(n) + job->message);
        Q_EMIT installProgress(k, n, job->message);
        job->rollback();
    }
    // Only empty folders go: the program's folder, then (when the data went too) the maker's.
    removeEmptyFolders(m_paths.installFolder, 3);
    if (m_opts.m_removeUserData)
        removeEmptyFolders(m_paths.userDataFolder, 3);
}

} // namespace install
