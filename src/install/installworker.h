#pragma once

#include "install/installoptions.h"

#include <QList>
#include <QThread>

#include <memory>

namespace install {

class InstallJob;

/// Installs or uninstalls the program on its own thread: a list of reversible jobs run in
/// order (undone newest first when one fails), or undone from the last to the first.
/// Progress and the outcome leave the thread only through the two signals.
class InstallWorker : public QThread
{
    Q_OBJECT
public:
    InstallWorker(bool install, const InstallOptions& options, const InstallPaths& paths = InstallPaths::forThisUser());
    ~InstallWorker() override;

    /// The jobs, in the order an installation runs them.
    const QList<std::shared_ptr<InstallJob>>& jobs() const { return m_jobs; }

Q_SIGNALS:
    void installProgress(int step, int totalSteps, const QString& stepMessage);
    void installFinished(bool res);

protected:
    void run() override;

private:
    void _createJobList();
    bool _install();
    void _uninstall();

    const InstallOptions m_opts;
    const InstallPaths m_paths;
    const bool m_install;
    QList<std::shared_ptr<InstallJob>> m_jobs;
};

} // namespace install
