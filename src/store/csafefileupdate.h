#pragma once

#include <QString>

/// Replaces a user file without ever leaving it half-written: the caller writes the new
/// contents to `newFileName()`, then `commit()` keeps the previous file as ".bak" and renames
/// the new one into place.
class CSafeFileUpdate
{
public:
    /// Chooses a new-file name next to `targetFileName` that does not exist yet.
    explicit CSafeFileUpdate(const QString& targetFileName);

    const QString& targetFileName() const { return m_targetFileName; }
    const QString& newFileName() const { return m_newFileName; }

    /// Flushes the new file to disk, moves the target to ".bak" (replacing an older one) and
    /// renames the new file to the target. False when any step fails.
    bool commit();

private:
    QString m_targetFileName;
    QString m_newFileName;
};
