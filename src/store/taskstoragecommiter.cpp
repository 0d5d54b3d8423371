#include "store/taskstoragecommiter.h"

#include "base/log.h"
#include "store/csafefileupdate.h"
#include "store/databasewriter.h"
#include "store/taskstorage.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>

#include <algorithm>

TaskStorageCommiter::TaskStorageCommiter(TaskStorage* storage, int quietMs, int ceilingMs)
    : m_storage(storage)
    , m_quietMs(std::max(1, quietMs))
    , m_ceilingMs(std::max(1, ceilingMs))
    , m_today([] { return QDate::currentDate(); })
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

void TaskStorageCommiter::setDayFunction(std::function<QDate()> today)
{
    QMutexLocker locker(&m_lock);
    m_today = std::move(today);
}

void TaskStorageCommiter::run()
{
    // Changes are noticed by looking at the store's revision; between looks the thread sleeps
    // at most this long, or until the next write is due.
    const qint64 tick = std::clamp(m_quietMs / 4, 5, 500);
    QMutexLocker locker(&m_lock);
    qint64 sleepMs = tick;
    for (;;) {
        const QDeadlineTimer deadline(sleepMs);
        while (!m_shutdownRequested && m_wake.wait(&m_lock, deadline)) {
            // A wake without a request is spurious; keep waiting.
        }
        const bool lastPass = m_shutdownRequested;
        if (lastPass)
            MRV_DEBUG("TaskStorageCommiter::run", QStringLiteral("Thread shutdown event has arrived"));

        QMutexLocker<QRecursiveMutex> storeLocker(&m_storage->_lock());
        sleepMs = tick;
        if (m_storage->m_revision != m_storage->m_writtenRevision) {
            const qint64 now = m_storage->_now();
            const qint64 quietAt = m_storage->m_lastChangeAt + m_quietMs;
            const qint64 ceilingAt = m_storage->m_oldestUnwrittenAt + m_ceilingMs;
            const qint64 dueAt = std::max(std::min(quietAt, ceilingAt), m_retryAt);
            if (lastPass || now >= dueAt) {
                if (!_writeSnapshotLocked(storeLocker))
                    m_retryAt = m_storage->_now() + m_ceilingMs;
            } else {
                sleepMs = std::min(tick, dueAt - now);
            }
        }
        if (lastPass)
            break;
    }
}

bool TaskStorageCommiter::_writeSnapshotLocked(QMutexLocker<QRecursiveMutex>& storeLocker)
{
    m_storage->snapshot(m_snapshot);
    const qint64 oldest = m_storage->m_oldestUnwrittenAt;
    m_storage->m_oldestUnwrittenAt = -1;
    storeLocker.unlock();
    QString reason;
    const bool written = _commit(m_snapshot, &reason);
    storeLocker.relock();
    if (written) {
        m_storage->m_writtenRevision = m_snapshot.revision;
    } else {
        // The changes are still unwritten, as old as they were.
        if (m_storage->m_oldestUnwrittenAt < 0 || oldest < m_storage->m_oldestUnwrittenAt)
            m_storage->m_oldestUnwrittenAt = oldest;
    }
    storeLocker.unlock();
    // Released here, outside the store's lock, so the next copy under it is only a copy.
    m_snapshot = TaskSnapshot();
    _reportStatus(written, reason);
    return written;
}

void TaskStorageCommiter::_reportStatus(bool written, const QString& reason)
{
    // Retries that fail for the same reason are not news.
    if (written ? !m_failing : (m_failing && reason == m_failure))
        return;
    m_failing = !written;
    m_failure = written ? QString() : reason;
    Q_EMIT m_storage->writeStatusChanged(written, m_failure);
}

bool TaskStorageCommiter::commitNow()
{
    // The committer's lock keeps this write and a periodic one from sharing the snapshot
    // or the new file.
    QMutexLocker locker(&m_lock);
    QMutexLocker<QRecursiveMutex> storeLocker(&m_storage->_lock());
    return _writeSnapshotLocked(storeLocker);
}

bool TaskStorageCommiter::writeFile(QFile& file, const TaskSnapshot& snapshot, QString* reason)
{
    // A full disk often shows only when the buffered bytes are flushed, so the flush counts too;
    // an incomplete file must never replace the database.
    const bool written = writeDatabase(&file, snapshot) && file.flush();
    // A write that stops short without an error from the system is a disk out of room.
    const bool unexplained = file.error() == QFileDevice::NoError || file.errorString() == QFile().errorString();
    const QString error = unexplained ? tr("no room left on the disk") : file.errorString();
    file.close();
    if (written && file.error() == QFileDevice::NoError)
        return true;
    *reason = tr("cannot write %1: %2").arg(QDir::toNativeSeparators(file.fileName()), written ? file.errorString() : error);
    return false;
}

bool TaskStorageCommiter::_commit(const TaskSnapshot& snapshot, QString* reason)
{
    QElapsedTimer timer;
    timer.start();
    CSafeFileUpdate update(m_storage->path());
    QFile file;
    if (!update.open(file)) {
        *reason = tr("cannot create %1: %2").arg(QDir::toNativeSeparators(update.newFileName()), update.errorString());
        MRV_CRITICAL("TaskStorageCommiter::_commit", QStringLiteral("Fatal! Failed to open database for writing: ") + *reason);
        return false;
    }
    if (!writeFile(file, snapshot, reason)) {
        // The partial file goes first: on a full disk it holds the space the log line needs.
        QFile::remove(update.newFileName());
        MRV_CRITICAL("TaskStorageCommiter::_commit", QStringLiteral("Fatal! Failed to write database: ") + *reason);
        return false;
    }
    MRV_DEBUG("TaskStorageCommiter::_commit", QStringLiteral("Database commit done in ") + Log::elapsedText(timer.elapsed()));
    if (!update.commit(m_today ? m_today() : QDate())) {
        QFile::remove(update.newFileName());
        *reason = tr("cannot replace %1: %2").arg(QDir::toNativeSeparators(update.targetFileName()), update.errorString());
        MRV_CRITICAL("TaskStorageCommiter::_commit",
                     QStringLiteral("Safe file update failed. Updating ") + update.targetFileName()
                         + QStringLiteral(" from ") + update.newFileName() + QStringLiteral(": ") + update.errorString());
        return false;
    }
    update.removeStaleNewFiles();
    return true;
}
