#include "store/csafefileupdate.h"

#include "app/log.h"
#include "platform/filesync.h"

#include <QFile>
#include <QFileInfo>

CSafeFileUpdate::CSafeFileUpdate(const QString& targetFileName)
    : m_targetFileName(targetFileName)
    , m_newFileName(targetFileName + QStringLiteral(".new"))
{
    int counter = 0;
    while (QFile::exists(m_newFileName)) {
        m_newFileName = m_targetFileName + QStringLiteral(".new_") + QString::number(counter);
        if (counter > 1000) {
            MRV_CRITICAL("CSafeFileUpdate::CSafeFileUpdate", QStringLiteral("Eh-h... Houston, we have a problem!"));
            break;
        }
        ++counter;
    }
}

bool CSafeFileUpdate::commit()
{
    if (!QFile::exists(m_newFileName))
        return false;
    // The new contents must be on the disk before any name points at them, or a power loss
    // could leave a truncated file under the target's name.
    if (!platform::syncFileToDisk(m_newFileName))
        return false;
    if (QFile::exists(m_targetFileName)) {
        const QString backup = m_targetFileName + QStringLiteral(".bak");
        if (QFile::exists(backup) && !QFile::remove(backup))
            return false;
        if (!QFile::rename(m_targetFileName, backup))
            return false;
    }
    const bool ok = QFile::rename(m_newFileName, m_targetFileName);
    platform::syncFolderToDisk(QFileInfo(m_targetFileName).absolutePath());
    return ok;
}
