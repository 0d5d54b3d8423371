#include "platform/privatefolder.h"

#include <QDir>
#include <QFileInfo>
#include <QFile>

#include <sys/stat.h>
#include <unistd.h>

namespace platform {

namespace {

bool statNoFollow(const QString& path, struct stat* info)
{
    return ::lstat(QFile::encodeName(path).constData(), info) == 0;
}

} // namespace

bool isPrivateFolder(const QString& path)
{
    struct stat info;
    if (path.isEmpty() || !statNoFollow(path, &info))
        return false;
    return S_ISDIR(info.st_mode) && info.st_uid == ::geteuid() && (info.st_mode & 077) == 0;
}

bool makePrivateFolder(const QString& path)
{
    if (path.isEmpty())
        return false;
    const QByteArray name = QFile::encodeName(path);
    struct stat info;
    if (!statNoFollow(path, &info)) {
        QDir().mkpath(QFileInfo(path).absolutePath());
        if (::mkdir(name.constData(), 0700) != 0)
            return false;
        if (!statNoFollow(path, &info))
            return false;
    }
    if (!S_ISDIR(info.st_mode) || info.st_uid != ::geteuid())
        return false;
    if ((info.st_mode & 077) != 0 && ::chmod(name.constData(), 0700) != 0)
        return false;
    return isPrivateFolder(path);
}

QString privateRuntimeFolder()
{
    const QString folder = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (folder.isEmpty() || !QDir::isAbsolutePath(folder) || !isPrivateFolder(folder))
        return QString();
    return QDir::cleanPath(folder);
}

} // namespace platform
