#pragma once

#include "store/tasksnapshot.h"

#include <QMutex>
#include <QThread>
#include <QWaitCondition>

class TaskStorage;

/// Writes the store to its file in the background. Every interval it looks at the store's
/// revision and writes a snapshot once the revision has stayed the same for a whole interval,
/// so a burst of edits costs one write. Its destruction makes a last write of pending changes.
class TaskStorageCommiter : public QThread
{
    Q_OBJECT
public:
    TaskStorageCommiter(TaskStorage* storage, int intervalMs = 60000);
    /// Asks the thread to make its last pass and waits for it.
    ~TaskStorageCommiter() override;

    /// Writes the current state at once on the calling thread.
    void commitNow();

    /// How long the destructor waits for the last pass before giving up on the thread.
    static constexpr int ShutdownWaitMs = 60000;

protected:
    void run() override;

private:
    bool _commit(const TaskSnapshot& snapshot);

    QMutex m_lock;
    QWaitCondition m_wake;
    TaskStorage* m_storage;
    const int m_intervalMs;
    bool m_shutdownRequested = false;
    int m_seenRevision = 0;
    int m_committedRevision = 0;
    TaskSnapshot m_snapshot;
};
