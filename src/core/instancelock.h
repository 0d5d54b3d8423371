#pragma once

#include <QString>

#include <functional>
#include <memory>

namespace platform {
class FileLock;
}

/// Decides which process owns the task database: an exclusive lock beside the database, taken
/// by every process that loads it for writing (the program, a quick capture, the installer),
/// whatever its environment. The owner records what it is and where it listens, so a later
/// process finds it from any environment that reaches the database.
class InstanceLock
{
public:
    enum Role { Unknown, Program, Capture };

    /// What the owner recorded. Unknown while it has not written its record yet.
    struct Owner
    {
        Role m_role = Unknown;
        /// The local socket the owner listens on; empty for a capture.
        QString m_channel;
        qint64 m_pid = 0;
    };

    /// The lock beside `databasePath`.
    static QString pathFor(const QString& databasePath);

    explicit InstanceLock(const QString& path);
    ~InstanceLock();
    InstanceLock(const InstanceLock&) = delete;
    InstanceLock& operator=(const InstanceLock&) = delete;

    /// Takes the lock without waiting and records `role` and `channel`. False when another
    /// process owns the database (or the lock cannot be made: errorString()).
    bool tryLock(Role role, const QString& channel = QString());
    /// tryLock(), waiting while the owner is a quick capture (it ends by itself once its task is
    /// written) or has not said what it is yet, up to `timeoutMs`. False when another program
    /// owns the database, or the wait ran out; `*owner` then tells who holds it.
    bool lockOrWait(Role role, const QString& channel, int timeoutMs, Owner* owner = nullptr,
                    const std::function<void()>& whileWaiting = {});
    bool isLocked() const;
    void unlock();
    /// The current owner's record, as read from the file.
    Owner owner() const;
    QString errorString() const;
    const QString& path() const { return m_path; }

private:
    QString m_path;
    std::unique_ptr<platform::FileLock> m_lock;
};
