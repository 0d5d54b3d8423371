#pragma once

#include "core/dynamicsingleton.h"
#include "taskapi/itaskapiclientdelegate.h"

#include <QString>

#include <functional>
#include <future>
#include <memory>

class QDateTime;
class TaskStorage;

namespace sync {
class SyncService;
}

/// The process-wide core object: owns the task store and hears from the task service client.
class TaskCore : public dynamic_singleton<TaskCore>, private taskapi::ITaskApiClientDelegate
{
public:
    /// Creates the store on the database file, loads it and starts its committer, then
    /// becomes the delegate of the task service client. Returns the store's result: 0 loaded
    /// (or no file yet), 1 written by a newer program, anything else unreadable.
    int init();
    /// The same on another file, with the committer's quiet time (tests).
    int init(const QString& databasePath, int quietMs);

    /// Asked when the database cannot be read but its backup can: the backup's time and the
    /// number of tasks it holds; true to start from the backup.
    using BackupQuestion = std::function<bool(const QDateTime& backupTime, int tasks)>;
    /// init(), and when the database file is damaged while its backup loads, `ask` whether to
    /// start from the backup: then the damaged file is kept aside as
    /// "database.xml.damaged-<date-time>" and the backup is loaded. Returns the final result.
    int initOrRecover(const QString& databasePath, int quietMs, const BackupQuestion& ask);
    /// initOrRecover() in two halves, so that start-up goes on while the file is read: the
    /// first starts reading on a thread of its own, the second waits for it, starts the
    /// committer and, for a damaged file, asks as initOrRecover() does.
    void beginLoad(const QString& databasePath, int quietMs);
    int finishLoad(const BackupQuestion& ask);

    /// A copy of the pointer to the store; callers drop it as soon as they are done.
    std::shared_ptr<TaskStorage> storage() const;
    /// The running core's store; null when there is no core or no store.
    static std::shared_ptr<TaskStorage> currentStorage();
    /// The sync with the user's CalDAV account, made on first use once the store is loaded
    /// (its state file beside the database); null before. It lives on the calling thread.
    sync::SyncService* syncService();
    /// Ends a sync pass in flight (at exit, before the store's last write).
    void stopSync();

protected:
    TaskCore();
    ~TaskCore() override;

private:
    // Nothing starts a request of the task service yet: the outcomes are not used.
    void onRequestSucceeded(taskapi::TaskApiClient* client, taskapi::TaskApiRunnable* request) override;
    void onRequestFailed(taskapi::TaskApiClient* client, taskapi::TaskApiRunnable* request) override;

    std::shared_ptr<TaskStorage> m_storage;
    std::unique_ptr<sync::SyncService> m_sync;
    std::future<int> m_loading;
    QString m_databasePath;
    int m_quietMs = 0;
};
