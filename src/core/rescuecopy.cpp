#include "core/rescuecopy.h"

#include "base/log.h"
#include "base/specialfolder.h"
#include "store/taskstorage.h"

#include <QDir>
#include <QFileInfo>
#include <QSet>

namespace {

const QString kPrefix = QStringLiteral("mirevo-rescue-");

} // namespace

QStringList rescueFolders()
{
    QStringList folders;
    QDir data(folderPath(UserDataFolder, false));
    if (data.cdUp())
        folders << data.absolutePath();
    folders << QDir::homePath() << QDir::tempPath();
    folders.removeDuplicates();
    return folders;
}

QString writeRescueCopy(TaskStorage& storage, const QStringList& folders)
{
    const QString name = kPrefix + QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd-HHmmss")) + QStringLiteral(".xml");
    for (const QString& folder : folders) {
        const QString path = QDir(folder).filePath(name);
        QString error;
        if (storage.writeCopyTo(path, &error))
            return path;
        MRV_WARNING("writeRescueCopy", QStringLiteral("No rescue copy in ") + folder + QStringLiteral(": ") + error);
    }
    return QString();
}

QStringList rescueCopiesSince(const QStringList& folders, const QDateTime& since)
{
    QFileInfoList copies;
    QSet<QString> seen;
    for (const QString& folder : folders) {
        const QFileInfoList found = QDir(folder).entryInfoList({kPrefix + QStringLiteral("*.xml")}, QDir::Files, QDir::Time);
        for (const QFileInfo& copy : found) {
            if ((!since.isValid() || copy.lastModified() > since) && !seen.contains(copy.absoluteFilePath())) {
                seen.insert(copy.absoluteFilePath());
                copies << copy;
            }
        }
    }
    std::sort(copies.begin(), copies.end(),
              [](const QFileInfo& a, const QFileInfo& b) { return a.lastModified() > b.lastModified(); });
    QStringList paths;
    for (const QFileInfo& copy : copies)
        paths << copy.absoluteFilePath();
    return paths;
}
