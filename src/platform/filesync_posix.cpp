#include "platform/filesync.h"

#include <QFile>

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <limits.h>
#include <unistd.h>

namespace platform {

namespace {

bool fail(QString* error, int errorNumber)
{
    if (error)
        *error = qt_error_string(errorNumber);
    return false;
}

bool syncPath(const QString& path, int flags, QString* error)
{
    const QByteArray name = QFile::encodeName(path);
    int fd;
    do {
        fd = ::open(name.constData(), flags | O_CLOEXEC);
    } while (fd < 0 && errno == EINTR);
    if (fd < 0)
        return fail(error, errno);
    int rc;
    do {
        rc = ::fsync(fd);
    } while (rc != 0 && errno == EINTR);
    const int syncError = rc == 0 ? 0 : errno;
    ::close(fd);
    // Some file systems cannot sync a folder; that is no reason to fail the update.
    if (syncError == 0 || syncError == EINVAL || syncError == EROFS)
        return true;
    return fail(error, syncError);
}

} // namespace

bool syncFileToDisk(const QString& path, QString* error)
{
    return syncPath(path, O_RDONLY | O_NOFOLLOW, error);
}

bool syncFolderToDisk(const QString& folderPath)
{
    return syncPath(folderPath, O_RDONLY | O_DIRECTORY, nullptr);
}

bool renameFile(const QString& from, const QString& to, QString* error)
{
    if (::rename(QFile::encodeName(from).constData(), QFile::encodeName(to).constData()) == 0)
        return true;
    return fail(error, errno);
}

bool linkFile(const QString& existing, const QString& newName)
{
    return ::link(QFile::encodeName(existing).constData(), QFile::encodeName(newName).constData()) == 0;
}

QString readLink(const QString& path)
{
    char target[PATH_MAX];
    const ssize_t size = ::readlink(QFile::encodeName(path).constData(), target, sizeof target);
    if (size <= 0 || size == ssize_t(sizeof target))
        return QString();
    return QFile::decodeName(QByteArray(target, int(size)));
}

} // namespace platform
