#pragma once

#include <QDate>
#include <QString>
#include <QStringList>

#include <functional>

class QFile;

/// Replaces a user file without ever leaving it half-written: `open()` creates a new file
/// beside the target, the caller writes it, then `commit()` keeps the previous file as ".bak"
/// and renames the new one into place. Renames are the file system's own, never a copy. When
/// the target is a symbolic link, the file it resolves to is replaced and the link stays.
class CSafeFileUpdate
{
public:
    /// Daily generations kept besides ".bak" (".bak-YYYY-MM-DD").
    static constexpr int DailyBackups = 3;
    /// ".new_N" names tried after ".new" before open() gives up.
    static constexpr int NewFileNames = 1000;

    explicit CSafeFileUpdate(const QString& targetFileName);

    /// The file replaced: the given name resolved through its links (see resolvedTarget()).
    const QString& targetFileName() const { return m_targetFileName; }
    /// The new file open() created, or the last name it tried when it failed.
    const QString& newFileName() const { return m_newFileName; }

    /// Creates and opens for writing the new file beside the target: ".new", else the first
    /// free ".new_N". Each name is created exclusively, so a name that is taken in any way (a
    /// file, a link, even a dangling one) is never opened or followed. False, with
    /// errorString(), when no name could be created.
    bool open(QFile& file);

    /// Flushes the new file to disk, moves the target to ".bak" (replacing an older one) and
    /// renames the new file to the target. False, with errorString(), when any step fails; the
    /// target is then as it was. With a valid `day`, the first replacement of that day also
    /// keeps the replaced file as ".bak-YYYY-MM-DD", and only the newest DailyBackups of those
    /// are kept.
    bool commit(const QDate& day = QDate());

    /// The system's reason why the last open() or commit() failed ("Permission denied").
    const QString& errorString() const { return m_error; }

    /// Removes the new files (or links in their place) that interrupted writes of the target
    /// left behind; never what a link points to.
    void removeStaleNewFiles() const;
    /// The daily generations of `targetFileName` (resolved), oldest first.
    static QStringList dailyBackups(const QString& targetFileName);

    /// The file that `path` names once its symbolic links are followed, however many and
    /// however relative, as an absolute path; `path` itself when it is not a link. A dangling
    /// link resolves to where it points. The backups of `path` live beside this file.
    static QString resolvedTarget(const QString& path);

    using RenameFunction = std::function<bool(const QString& from, const QString& to, QString* error)>;
    /// Replaces the rename (tests inject failures); an empty function restores it.
    static void setRenameFunction(RenameFunction rename);

private:
    void _keepDailyBackup(const QDate& day) const;

    QString m_targetFileName;
    QString m_newFileName;
    QString m_error;
    bool m_created = false;
};
