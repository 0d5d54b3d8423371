#include "store/taskstoragecommiter.h"

#include "app/log.h"
#include "store/csafefileupdate.h"
#include "store/databasewriter.h"
#include "store/taskstorage.h"

#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <QFile>

TaskStorageCommiter::TaskStorageCommiter(TaskStorage* storage, int intervalMs)
    : m_storage(storage)
    , m_intervalMs(intervalMs)
{
}

TaskStorageCommiter::~TaskStorageCommiter()
{
    {
        QMutexLocker locker(&m_lock);
        // Remembered under the lock: a request that arrives while the thread is writing
        // is seen before its next wait.
        m_shutdownRequested = true;
        m_wake.wakeAll();
    }
    if (!wait(QDeadlineTimer(ShutdownWaitMs))) {
        MRV_CRITICAL("TaskStorageCommiter::~TaskStorageCommiter", QStringLiteral("Committer thread did not stop, terminating it"));
        terminate();
        wait();
    }
}

void TaskStorageCommiter::run()
{
    QMutexLocker locker(&m_lock);
    bool lastPass = false;
    while (!lastPass) {
        QDeadlineTimer deadline(m_intervalMs);
        while (!m_shutdownRequested && m_wake.wait(&m_lock, deadline)) {
            // A wake without a request is spurious; keep waiting for the rest of the interval.
        }
        if (m_shutdownRequested) {
            MRV_DEBUG("TaskStorageCommiter::run", QStringLiteral("Thread shutdown event has arrived"));
            lastPass = true;
        }

        QMutexLocker<QRecursiveMutex> storeLocker(&m_storage->_lock());
        const int current = m_storage->m_revision;
        if (lastPass)
            m_seenRevision = current;
        if (m_seenRevision == current) {
            if (m_seenRevision != m_committedRevision) {
                m_storage->snapshot(m_snapshot);
                storeLocker.unlock();
                _commit(m_snapshot);
                m_committedRevision = m_seenRevision;
                // Released here, outside the store's lock, so the next copy under it is only a copy.
                m_snapshot = TaskSnapshot();
            }
        } else {
            m_seenRevision = current;
        }
    }
}

void TaskStorageCommiter::commitNow()
{
    // The committer's lock keeps this write and a periodic one from sharing the snapshot
    // or the new file.
    QMutexLocker locker(&m_lock);
    QMutexLocker<QRecursiveMutex> storeLocker(&m_storage->_lock());
    m_storage->snapshot(m_snapshot);
    _commit(m_snapshot);
    m_seenRevision = m_snapshot.revision;
    m_committedRevision = m_snapshot.revision;
    storeLocker.unlock();
    m_snapshot = TaskSnapshot();
}

bool TaskStorageCommiter::_commit(const TaskSnapshot& snapshot)
{
    QElapsedTimer timer;
    timer.start();
    CSafeFileUpdate update(m_storage->path());
    QFile file(update.newFileName());
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        MRV_CRITICAL("TaskStorageCommiter::_commit",
                     QStringLiteral("Fatal! Failed to open database for writing ") + update.newFileName());
        return false;
    }
    // A full disk often shows only when the buffered bytes are flushed, so the close counts too;
    // an incomplete file must never replace the database.
    const bool written = writeDatabase(&file, snapshot) && file.flush();
    file.close();
    if (!written || file.error() != QFileDevice::NoError) {
        MRV_CRITICAL("TaskStorageCommiter::_commit",
                     QStringLiteral("Fatal! Failed to write database to ") + update.newFileName());
        QFile::remove(update.newFileName());
        return false;
    }
    MRV_DEBUG("TaskStorageCommiter::_commit", QStringLiteral("Database commit done in ") + Log::elapsedText(timer.elapsed()));
    if (!update.commit()) {
        MRV_CRITICAL("TaskStorageCommiter::_commit",
                     QStringLiteral("Safe file update failed. Updating ") + update.targetFileName()
                         + QStringLiteral(" from ") + update.newFileName());
        return false;
    }
    return true;
}
