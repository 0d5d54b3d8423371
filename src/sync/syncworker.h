#pragma once

#include "sync/syncpass.h"
#include "sync/syncstate.h"

#include <QMutex>
#include <QObject>
#include <QString>
#include <QUrl>

#include <atomic>
#include <memory>

class TaskStorage;

namespace sync {

class DavClient;

/// Runs SyncService's passes on its thread, with the state it keeps between them.
class SyncWorker : public QObject
{
    Q_OBJECT
public:
    SyncWorker(TaskStorage* store, const QString& statePath, SyncPass::StoreCall onStoreThread,
               std::shared_ptr<std::atomic<bool>> aborted);

    /// Callable from any thread: the request in flight ends at once.
    void abort();

public Q_SLOTS:
    void runPass(const QUrl& server, const QString& user, const QString& password, int transferTimeoutMs,
                 bool pairOnly);

Q_SIGNALS:
    void passDone(const sync::SyncOutcome& outcome);

private:
    TaskStorage* m_store;
    QString m_statePath;
    SyncPass::StoreCall m_onStoreThread;
    std::shared_ptr<std::atomic<bool>> m_aborted;
    SyncState m_state;
    bool m_stateLoaded = false;
    QMutex m_clientLock;
    DavClient* m_client = nullptr;
};

} // namespace sync
