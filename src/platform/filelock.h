#pragma once

#include <QByteArray>
#include <QString>

namespace platform {

/// An exclusive lock on a whole file that the system gives back when the process ends, however
/// it ends, so a lock is never left behind by a crash. The file also carries a short record the
/// holder writes and others read.
class FileLock
{
public:
    explicit FileLock(const QString& path);
    ~FileLock();
    FileLock(const FileLock&) = delete;
    FileLock& operator=(const FileLock&) = delete;

    /// Creates the file when needed (mode 0600, never through a link) and takes the lock
    /// without waiting. False when another process holds it, or the file cannot be opened
    /// (errorString() says why).
    bool tryLock();
    bool isLocked() const { return m_fd >= 0; }
    void unlock();

    /// Replaces the file's record; only while locked.
    bool writeRecord(const QByteArray& record);
    /// The record as the holder wrote it (empty when there is none or the file is missing).
    static QByteArray readRecord(const QString& path);

    const QString& path() const { return m_path; }
    QString errorString() const { return m_error; }

private:
    QString m_path;
    QString m_error;
    int m_fd = -1;
};

} // namespace platform
