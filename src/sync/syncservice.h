#pragma once

#include "sync/syncpass.h"

#include <QDateTime>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QThread>
#include <QUrl>

#include <atomic>
#include <memory>

class QTimer;
class TaskStorage;

namespace sync {

class SyncWorker;

/// Keeps the store in sync with one CalDAV account. Passes run on a thread of their own, so
/// the window never waits for the network: at start, a few seconds after local changes, every
/// interval, and when asked. Lives on the store's thread (the user-interface thread); the
/// store is changed only there.
class SyncService : public QObject
{
    Q_OBJECT
public:
    enum class Status {
        Off,            ///< no account
        Waiting,        ///< an account, no pass finished yet
        Syncing,
        Synced,
        Offline,        ///< the server could not be reached; changes wait here
        NeedsAttention, ///< password refused, or the server or this computer failed
    };
    static constexpr int DefaultIntervalMs = 5 * 60 * 1000;
    static constexpr int DefaultChangeDelayMs = 5000;
    static constexpr int DefaultTransferTimeoutMs = 30000;

    /// `statePath`: where the sync state is kept (SyncState::pathBeside the database).
    SyncService(std::shared_ptr<TaskStorage> store, const QString& statePath, QObject* parent = nullptr);
    ~SyncService() override;

    /// The account; an empty server turns sync off. A pass in flight finishes with the old one.
    void setAccount(const QUrl& server, const QString& user, const QString& password);
    void setPassword(const QString& password);
    QUrl server() const { return m_server; }
    QString user() const { return m_user; }
    bool hasPassword() const { return !m_password.isEmpty(); }
    bool isConfigured() const { return m_server.isValid() && !m_server.isEmpty(); }

    void setIntervalMs(int intervalMs);
    void setChangeDelayMs(int delayMs) { m_changeDelayMs = delayMs; }
    void setTransferTimeoutMs(int timeoutMs) { m_transferTimeoutMs = timeoutMs; }

    /// From now on passes follow local changes and the interval; the first comes after `firstDelayMs`.
    void start(int firstDelayMs);
    /// A pass now, or right after the one in flight.
    void syncNow();
    /// Only finds and pairs the task lists (no tasks are exchanged): for setting up an account.
    void pairNow();
    bool isSyncing() const { return m_running; }
    /// Ends a pass in flight at once and waits for its thread (at exit). Nothing is lost: what
    /// was not recorded as sent is sent by a later pass.
    void stop();

    Status status() const { return m_status; }
    /// One line for the status mark: "Synced at 14:32", "Offline: ...".
    QString statusText() const;
    QDateTime lastSynced() const { return m_lastSynced; }
    const SyncOutcome& lastOutcome() const { return m_lastOutcome; }

Q_SIGNALS:
    void statusChanged();
    void passFinished(const sync::SyncOutcome& outcome);
    /// The server refused the password: ask the user for it again.
    void passwordRefused();

private:
    void _launch();
    void _onPassDone(const sync::SyncOutcome& outcome);
    void _onStoreChanged();
    void _setStatus(Status status);
    bool _runOnStoreThread(const std::function<void()>& call);

    std::shared_ptr<TaskStorage> m_store;
    QString m_statePath;
    QUrl m_server;
    QString m_user;
    QString m_password;
    QUrl m_passServer; // the account the running pass syncs
    QString m_passUser;
    int m_intervalMs = DefaultIntervalMs;
    int m_changeDelayMs = DefaultChangeDelayMs;
    int m_transferTimeoutMs = DefaultTransferTimeoutMs;
    bool m_started = false;
    bool m_running = false;
    bool m_pending = false;
    bool m_pendingPairOnly = false;
    bool m_applying = false;
    int m_followUps = 0;
    Status m_status = Status::Off;
    QDateTime m_lastSynced;
    SyncOutcome m_lastOutcome;
    QTimer* m_changeTimer;
    QTimer* m_intervalTimer;
    QThread m_thread;
    SyncWorker* m_worker = nullptr;
    std::shared_ptr<std::atomic<bool>> m_aborted;
};

} // namespace sync

Q_DECLARE_METATYPE(sync::SyncOutcome)
