#pragma once

#include "store/tasksnapshot.h"

#include <QDate>
#include <QMutex>
#include <QThread>
#include <QWaitCondition>

#include <functional>

class QFile;
class TaskStorage;

/// Writes the store to its file in the background. A change is written once the store has
/// been quiet for `quietMs`, and at the latest `ceilingMs` after the oldest change not yet
/// written, also while changes keep coming; so a burst of edits costs one write and the loss
/// window stays bounded. A failed write is retried after the ceiling time; the store keeps the
/// changes meanwhile. Its destruction makes a last write of pending changes.
class TaskStorageCommiter : public QThread
{
    Q_OBJECT
public:
    TaskStorageCommiter(TaskStorage* storage, int quietMs, int ceilingMs);
    /// Asks the thread to make its last pass and waits for it.
    ~TaskStorageCommiter() override;

    /// Writes the current state at once on the calling thread; false when the write failed.
    bool commitNow();
    /// Writes the snapshot as a whole database into `file`, opened for writing, then flushes
    /// and closes it. False with a short reason for the user when it could not.
    static bool writeFile(QFile& file, const TaskSnapshot& snapshot, QString* reason);
    /// The day the daily backups are named after; today by default (tests set another).
    void setDayFunction(std::function<QDate()> today);

    /// How long the destructor waits for the last pass before giving up on the thread.
    static constexpr int ShutdownWaitMs = 60000;

protected:
    void run() override;

private:
    bool _commit(const TaskSnapshot& snapshot, QString* reason);
    bool _writeSnapshotLocked(QMutexLocker<QRecursiveMutex>& storeLocker);
    void _reportStatus(bool written, const QString& reason);

    QMutex m_lock;
    QWaitCondition m_wake;
    TaskStorage* m_storage;
    const int m_quietMs;
    const int m_ceilingMs;
    std::function<QDate()> m_today;
    bool m_shutdownRequested = false;
    // What the store last announced: the reason of the failure the writes are in, if any.
    bool m_failing = false;
    QString m_failure;
    // After a failed write the next attempt waits (a full disk is not hammered).
    qint64 m_retryAt = 0;
    TaskSnapshot m_snapshot;
};
