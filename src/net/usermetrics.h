#pragma once

#include <QMutex>
#include <QString>

/// The anonymous usage identity sent with every update check: a random id created once and
/// kept in the metrics file, so that every run sends the same one. Used from the service
/// thread (id) and the user-interface thread (load, save): every access takes the lock.
class UserMetrics
{
public:
    /// The process-wide object, created on first call.
    static UserMetrics* instance();
    /// Deletes the process-wide object; the next instance() makes a new one.
    static void destroy();
    /// Whether the process-wide object exists, without creating it.
    static bool exists();

    UserMetrics() = default;

    /// The usage id; the first call on an empty id creates one: 36 characters, hexadecimal
    /// digits in groups of 8, 4, 4, 4 and 12 joined by "-".
    QString id();
    /// The id as it is, without creating one: empty until loaded or created.
    QString storedId() const;

    /// Reads the id from a metrics file. False when the file cannot be opened or is not
    /// well-formed XML; the id changes only when a "metrics" element was read.
    bool load(const QString& path);
    /// Writes the metrics file through a safe update; failures are logged.
    void save(const QString& path);

    /// A new random id in the form id() uses; empty when none could be made.
    static QString createId();

private:
    Q_DISABLE_COPY(UserMetrics)

    // Guards the id and keeps loads and saves from running at the same time.
    mutable QMutex m_lock;
    QString m_id;
};
