#include "platform/filelock.h"

#include <QFile>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {

namespace {

constexpr qint64 kMaxRecordBytes = 64 * 1024;

int openNoFollow(const QString& path, int flags)
{
    int fd;
    do {
        fd = ::open(QFile::encodeName(path).constData(), flags | O_CLOEXEC | O_NOFOLLOW, 0600);
    } while (fd < 0 && errno == EINTR);
    return fd;
}

} // namespace

FileLock::FileLock(const QString& path)
    : m_path(path)
{
}

FileLock::~FileLock()
{
    unlock();
}

bool FileLock::tryLock()
{
    if (m_fd >= 0)
        return true;
    const int fd = openNoFollow(m_path, O_RDWR | O_CREAT);
    if (fd < 0) {
        m_error = QString::fromLocal8Bit(std::strerror(errno));
        return false;
    }
    struct stat info;
    // Someone else's file (planted in a shared folder) is never the user's lock.
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode) || info.st_uid != ::geteuid()) {
        m_error = QStringLiteral("not a file of this user");
        ::close(fd);
        return false;
    }
    // flock: held by the open file, given back by the system when the process ends.
    int rc;
    do {
        rc = ::flock(fd, LOCK_EX | LOCK_NB);
    } while (rc != 0 && errno == EINTR);
    if (rc != 0) {
        m_error = errno == EWOULDBLOCK ? QStringLiteral("held by another process")
                                       : QString::fromLocal8Bit(std::strerror(errno));
        ::close(fd);
        return false;
    }
    m_fd = fd;
    m_error.clear();
    return true;
}

void FileLock::unlock()
{
    if (m_fd < 0)
        return;
    // The record goes first, so nobody reads an old owner's record after the lock is free.
    if (::ftruncate(m_fd, 0) != 0)
        m_error = QString::fromLocal8Bit(std::strerror(errno));
    ::flock(m_fd, LOCK_UN);
    ::close(m_fd);
    m_fd = -1;
}

bool FileLock::writeRecord(const QByteArray& record)
{
    if (m_fd < 0 || record.size() > kMaxRecordBytes)
        return false;
    if (::ftruncate(m_fd, 0) != 0)
        return false;
    qint64 done = 0;
    while (done < record.size()) {
        const ssize_t n = ::pwrite(m_fd, record.constData() + done, static_cast<size_t>(record.size() - done), done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        done += n;
    }
    return true;
}

QByteArray FileLock::readRecord(const QString& path)
{
    const int fd = openNoFollow(path, O_RDONLY);
    if (fd < 0)
        return QByteArray();
    QByteArray record;
    char buffer[4096];
    for (;;) {
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0 || record.size() + n > kMaxRecordBytes)
            break;
        record.append(buffer, static_cast<int>(n));
    }
    ::close(fd);
    return record;
}

} // namespace platform
