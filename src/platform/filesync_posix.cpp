#include "platform/filesync.h"

#include <QFile>

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <unistd.h>

namespace platform {

namespace {

bool syncPath(const QString& path, int flags)
{
    const QByteArray name = QFile::encodeName(path);
    int fd;
    do {
        fd = ::open(name.constData(), flags | O_CLOEXEC);
    } while (fd < 0 && errno == EINTR);
    if (fd < 0)
        return false;
    int rc;
    do {
        rc = ::fsync(fd);
    } while (rc != 0 && errno == EINTR);
    // Some file systems cannot sync a folder; that is no reason to fail the update.
    const bool ok = rc == 0 || errno == EINVAL || errno == EROFS;
    ::close(fd);
    return ok;
}

} // namespace

bool syncFileToDisk(const QString& path)
{
    return syncPath(path, O_RDONLY);
}

bool syncFolderToDisk(const QString& folderPath)
{
    return syncPath(folderPath, O_RDONLY | O_DIRECTORY);
}

bool renameFile(const QString& from, const QString& to)
{
    return ::rename(QFile::encodeName(from).constData(), QFile::encodeName(to).constData()) == 0;
}

bool linkFile(const QString& existing, const QString& newName)
{
    return ::link(QFile::encodeName(existing).constData(), QFile::encodeName(newName).constData()) == 0;
}

} // namespace platform
