#include "store/csafefileupdate.h"

#include "base/log.h"
#include "platform/filesync.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMutex>
#include <QRegularExpression>

namespace {

QMutex& renameHookLock()
{
    static QMutex lock;
    return lock;
}

CSafeFileUpdate::RenameFunction& renameHook()
{
    static CSafeFileUpdate::RenameFunction hook;
    return hook;
}

bool renameFile(const QString& from, const QString& to, QString* error)
{
    CSafeFileUpdate::RenameFunction hook;
    {
        QMutexLocker locker(&renameHookLock());
        hook = renameHook();
    }
    return hook ? hook(from, to, error) : platform::renameFile(from, to, error);
}

// Without following a link: a dangling one takes its name too.
bool isTaken(const QString& path)
{
    const QFileInfo info(path);
    return info.exists() || info.isSymLink();
}

QString joined(const QString& folder, const QString& name)
{
    return folder.endsWith(QLatin1Char('/')) ? folder + name : folder + QLatin1Char('/') + name;
}

// Resolved by the system, not by the spelling: ".." after a linked folder leads where the
// system goes.
QString realFolderOf(const QString& absolutePath)
{
    QString folder = absolutePath.left(absolutePath.lastIndexOf(QLatin1Char('/')));
    if (folder.isEmpty())
        folder = QStringLiteral("/");
    const QString real = QFileInfo(folder).canonicalFilePath();
    return real.isEmpty() ? QDir::cleanPath(folder) : real;
}

QStringList siblingsMatching(const QString& targetFileName, const QString& suffixPattern, QDir::Filters filters)
{
    const QFileInfo target(targetFileName);
    const QRegularExpression pattern(QStringLiteral("^") + QRegularExpression::escape(target.fileName()) + suffixPattern
                                     + QStringLiteral("$"));
    QStringList found;
    const QStringList names = target.dir().entryList(filters | QDir::Hidden, QDir::Name);
    for (const QString& name : names) {
        if (pattern.match(name).hasMatch())
            found << target.dir().filePath(name);
    }
    return found;
}

} // namespace

CSafeFileUpdate::CSafeFileUpdate(const QString& targetFileName)
    : m_targetFileName(resolvedTarget(targetFileName))
{
}

QString CSafeFileUpdate::resolvedTarget(const QString& path)
{
    QString current = QDir::isAbsolutePath(path) ? path : joined(QDir::currentPath(), path);
    bool link = false;
    // The system's own limit: a longer chain is a loop.
    for (int hop = 0; hop < 40; ++hop) {
        const QString target = platform::readLink(current);
        if (target.isEmpty())
            break;
        link = true;
        current = QDir::isAbsolutePath(target) ? target : joined(realFolderOf(current), target);
    }
    if (!link)
        return path;
    return joined(realFolderOf(current), current.mid(current.lastIndexOf(QLatin1Char('/')) + 1));
}

void CSafeFileUpdate::setRenameFunction(RenameFunction rename)
{
    QMutexLocker locker(&renameHookLock());
    renameHook() = std::move(rename);
}

bool CSafeFileUpdate::open(QFile& file)
{
    m_created = false;
    for (int counter = -1; counter < NewFileNames; ++counter) {
        m_newFileName = m_targetFileName
                        + (counter < 0 ? QStringLiteral(".new") : QStringLiteral(".new_") + QString::number(counter));
        file.setFileName(m_newFileName);
        // NewOnly creates the file or fails: it never opens a name that exists and never
        // follows a link planted under it.
        if (file.open(QIODevice::WriteOnly | QIODevice::NewOnly)) {
            m_created = true;
            m_error.clear();
            return true;
        }
        m_error = file.errorString();
        if (!isTaken(m_newFileName))
            return false;
    }
    return false;
}

bool CSafeFileUpdate::commit(const QDate& day)
{
    if (!m_created) {
        m_error = QStringLiteral("No new file");
        return false;
    }
    // The new contents must be on the disk before any name points at them, or a power loss
    // could leave a truncated file under the target's name.
    if (!platform::syncFileToDisk(m_newFileName, &m_error))
        return false;
    const QString backup = m_targetFileName + QStringLiteral(".bak");
    const bool replacing = isTaken(m_targetFileName);
    if (replacing) {
        if (day.isValid())
            _keepDailyBackup(day);
        // One rename replaces the older backup: there is always a backup on the disk.
        if (!renameFile(m_targetFileName, backup, &m_error))
            return false;
    }
    if (!renameFile(m_newFileName, m_targetFileName, &m_error)) {
        // The previous file goes back under its name, so nothing has changed.
        QString ignored;
        if (replacing && !renameFile(backup, m_targetFileName, &ignored))
            MRV_CRITICAL("CSafeFileUpdate::commit", QStringLiteral("Cannot put back ") + m_targetFileName
                                                        + QStringLiteral(", the previous version is ") + backup);
        return false;
    }
    m_created = false;
    m_error.clear();
    platform::syncFolderToDisk(QFileInfo(m_targetFileName).absolutePath());
    return true;
}

void CSafeFileUpdate::_keepDailyBackup(const QDate& day) const
{
    const QString daily = m_targetFileName + QStringLiteral(".bak-") + day.toString(Qt::ISODate);
    if (isTaken(daily))
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
    return siblingsMatching(resolvedTarget(targetFileName), QStringLiteral("\\.bak-\\d{4}-\\d{2}-\\d{2}"), QDir::Files);
}

void CSafeFileUpdate::removeStaleNewFiles() const
{
    // System lists dangling links too; removing a link removes the link, never its target.
    const QStringList stales = siblingsMatching(m_targetFileName, QStringLiteral("\\.new(_\\d+)?"), QDir::Files | QDir::System);
    for (const QString& stale : stales) {
        if (stale != m_newFileName)
            QFile::remove(stale);
    }
}
