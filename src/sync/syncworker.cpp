#include "sync/syncworker.h"

#include "base/log.h"
#include "sync/davclient.h"

#include <QFile>
#include <QMutexLocker>

namespace sync {

SyncWorker::SyncWorker(TaskStorage* store, const QString& statePath, SyncPass::StoreCall onStoreThread,
                       std::shared_ptr<std::atomic<bool>> aborted)
    : m_store(store)
    , m_statePath(statePath)
    , m_onStoreThread(std::move(onStoreThread))
    , m_aborted(std::move(aborted))
{
}

void SyncWorker::abort()
{
    QMutexLocker locker(&m_clientLock);
    if (m_client)
        m_client->abort();
}

void SyncWorker::runPass(const QUrl& server, const QString& user, const QString& password, int transferTimeoutMs,
                         bool pairOnly)
{
    if (!m_stateLoaded) {
        QString error;
        if (!m_state.load(m_statePath, &error)) {
            // Starting over is safe: the first pass of a new state only joins both sides.
            MRV_WARNING("SyncWorker", QStringLiteral("The sync state ") + m_statePath
                                          + QStringLiteral(" cannot be read (") + error
                                          + QStringLiteral("): both sides are joined again"));
            const QString backup = m_statePath + QStringLiteral(".bak");
            if (!QFile::exists(backup) || !m_state.load(backup, &error))
                m_state = SyncState();
        }
        m_stateLoaded = true;
    }
    SyncOutcome outcome;
    if (*m_aborted) {
        outcome.result = SyncOutcome::Aborted;
        Q_EMIT passDone(outcome);
        return;
    }
    DavClient client(user, password, transferTimeoutMs);
    {
        QMutexLocker locker(&m_clientLock);
        m_client = &client;
    }
    SyncPass pass(m_store, &client, &m_state, m_statePath, m_onStoreThread);
    outcome = pass.run(server, user, pairOnly);
    outcome.lists = m_state.lists;
    outcome.requests = client.requestCount();
    {
        QMutexLocker locker(&m_clientLock);
        m_client = nullptr;
    }
    MRV_INFO("SyncWorker", QStringLiteral("Sync pass: result %1, %2 requests, %3 received, %4 sent, %5 conflicts, %6 skipped")
                               .arg(outcome.result)
                               .arg(client.requestCount())
                               .arg(outcome.received)
                               .arg(outcome.sent)
                               .arg(outcome.conflicts)
                               .arg(outcome.skipped));
    Q_EMIT passDone(outcome);
}

} // namespace sync
