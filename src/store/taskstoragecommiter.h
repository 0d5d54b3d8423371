#pragma once

#include "store/tasksnapshot.h"

#include <QDate>
#include <QMutex>
#include <QThread>
#include <QWaitCondition>

#include <functional>

class TaskStorage;

/// Writes the store to its file in the background. A change is written once the store has
/// been quiet for `quietMs`, and at the latest `ceilingMs` after the oldest change not yet
/// written, also while changes keep coming; so a burst of edits costs one write and the loss
/// window stays bounded. Its destruction makes a last write of pending changes.
class TaskStorageCommiter : public QThread
{
    Q_OBJECT
public:
    TaskStorageCommiter(TaskStorage* storage, int quietMs, int ceilingMs);
    /// Asks the thread to make its last pass and waits for it.
    ~TaskStorageCommiter() override;

    /// Writes the current state at once on the calling thread; false when the write failed.
    bool commitNow();
    /// The day the daily backups are named after; today by default (tests set another).
    void setDayFunction(std::function<QDate()> today);

    /// How long the destructor waits for the last pass before giving up on the thread.
    static constexpr int ShutdownWaitMs = 60000;

protected:
    void run() override;

private:
    bool _commit(const TaskSnapshot& snapshot);
    bool _writeSnapshotLocked(QMutexLocker<QRecursiveMutex>& storeLocker);

    QMutex m_lock;
    QWaitCondition m_wake;
    TaskStorage* m_storage;
    const int m_quietMs;
    const int m_ceilingMs;
    std::function<QDate()> m_today;
    bool m_shutdownRequested = false;
    int m_committedRevision = 0;
    // After a failed write the next attempt waits (a full disk is not hammered).
    qint64 m_retryAt = 0;
    TaskSnapshot m_snapshot;
};
