#pragma once

#include <QDate>
#include <QString>
#include <QStringList>

#include <functional>

/// Replaces a user file without ever leaving it half-written: the caller writes the new
/// contents to `newFileName()`, then `commit()` keeps the previous file as ".bak" and renames
/// the new one into place. Renames are the file system's own, never a copy.
class CSafeFileUpdate
{
public:
    /// Daily generations kept besides ".bak" (".bak-YYYY-MM-DD").
    static constexpr int DailyBackups = 3;

    /// Chooses a new-file name next to `targetFileName` that does not exist yet.
    explicit CSafeFileUpdate(const QString& targetFileName);

    const QString& targetFileName() const { return m_targetFileName; }
    const QString& newFileName() const { return m_newFileName; }

    /// Flushes the new file to disk, moves the target to ".bak" (replacing an older one) and
    /// renames the new file to the target. False when any step fails; the target is then as
    /// it was. With a valid `day`, the first replacement of that day also keeps the replaced
    /// file as ".bak-YYYY-MM-DD", and only the newest DailyBackups of those are kept.
    bool commit(const QDate& day = QDate());

    /// Removes the new files that interrupted writes of the target left behind.
    void removeStaleNewFiles() const;
    /// The daily generations of `targetFileName`, oldest first.
    static QStringList dailyBackups(const QString& targetFileName);

    using RenameFunction = std::function<bool(const QString& from, const QString& to)>;
    /// Replaces the rename (tests inject failures); an empty function restores it.
    static void setRenameFunction(RenameFunction rename);

private:
    void _keepDailyBackup(const QDate& day) const;

    QString m_targetFileName;
    QString m_newFileName;
};
