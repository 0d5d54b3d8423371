#include "store/csafefileupdate.h"

#include "app/log.h"
#include "platform/filesync.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

namespace {

CSafeFileUpdate::RenameFunction& renameHook()
{
    static CSafeFileUpdate::RenameFunction hook;
    return hook;
}

bool renameFile(const QString& from, const QString& to)
{
    return renameHook() ? renameHook()(from, to) : platform::renameFile(from, to);
}

QStringList siblingsMatching(const QString& targetFileName, const QString& suffixPattern)
{
    const QFileInfo target(targetFileName);
    const QRegularExpression pattern(QStringLiteral("^") + QRegularExpression::escape(target.fileName()) + suffixPattern
                                     + QStringLiteral("$"));
    QStringList found;
    const QStringList names = target.dir().entryList(QDir::Files | QDir::Hidden, QDir::Name);
    for (const QString& name : names) {
        if (pattern.match(name).hasMatch())
            found << target.dir().filePath(name);
    }
    return found;
}

} // namespace

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

void CSafeFileUpdate::setRenameFunction(RenameFunction rename)
{
    renameHook() = std::move(rename);
}

bool CSafeFileUpdate::commit(const QDate& day)
{
    if (!QFile::exists(m_newFileName))
        return false;
    // The new contents must be on the disk before any name points at them, or a power loss
    // could leave a truncated file under the target's name.
    if (!platform::syncFileToDisk(m_newFileName))
        return false;
    const QString backup = m_targetFileName + QStringLiteral(".bak");
    const bool replacing = QFile::exists(m_targetFileName);
    if (replacing) {
        if (day.isValid())
            _keepDailyBackup(day);
        // One rename replaces the older backup: there is always a backup on the disk.
        if (!renameFile(m_targetFileName, backup))
            return false;
    }
    if (!renameFile(m_newFileName, m_targetFileName)) {
        // The previous file goes back under its name, so nothing has changed.
        if (replacing && !renameFile(backup, m_targetFileName))
            MRV_CRITICAL("CSafeFileUpdate::commit", QStringLiteral("Cannot put back ") + m_targetFileName
                                                        + QStringLiteral(", the previous version is ") + backup);
        return false;
    }
    platform::syncFolderToDisk(QFileInfo(m_targetFileName).absolutePath());
    return true;
}

void CSafeFileUpdate::_keepDailyBackup(const QDate& day) const
{
    const QString daily = m_targetFileName + QStringLiteral(".bak-") + day.toString(Qt::ISODate);
    if (QFile::exists(daily))
        return;
    // A second name for the file about to become ".bak" costs no copy; where the file system
    // has no links, a copy.
    if (!platform::linkFile(m_targetFileName, daily) && !QFile::copy(m_targetFileName, daily)) {
        MRV_WARNING("CSafeFileUpdate::commit", QStringLiteral("Cannot keep the daily backup ") + daily);
        return;
    }
    QStringList dailies = dailyBackups(m_targetFileName);
    while (dailies.size() > DailyBackups)
        QFile::remove(dailies.takeFirst());
}

QStringList CSafeFileUpdate::dailyBackups(const QString& targetFileName)
{
    return siblingsMatching(targetFileName, QStringLiteral("\\.bak-\\d{4}-\\d{2}-\\d{2}"));
}

void CSafeFileUpdate::removeStaleNewFiles() const
{
    for (const QString& stale : siblingsMatching(m_targetFileName, QStringLiteral("\\.new(_\\d+)?"))) {
        if (stale != m_newFileName)
            QFile::remove(stale);
    }
}
