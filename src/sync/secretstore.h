#pragma once

#include <QObject>
#include <QString>
#include <QUrl>

#include <functional>

namespace sync {

/// The sync password in the desktop's secret store (Secret Service, through QtKeychain), never
/// in a file of the program. Calls answer later, on the calling thread's event loop.
class SecretStore
{
public:
    /// `ok` false: no secret store answered, or it refused; `error` says why in a sentence.
    using ReadDone = std::function<void(bool ok, const QString& password, const QString& error)>;
    using WriteDone = std::function<void(bool ok, const QString& error)>;

    /// The entry of an account: one per user name and server.
    static QString keyFor(const QUrl& server, const QString& user);

    /// Reads the password; a missing entry is `ok` with an empty password. `context` going
    /// away drops the answer.
    static void read(const QString& key, QObject* context, ReadDone done);
    static void write(const QString& key, const QString& password, QObject* context, WriteDone done);
    static void remove(const QString& key, QObject* context, WriteDone done);

    /// The same, waiting in a local event loop (for the command line, which has no window).
    static bool readNow(const QString& key, QString* password, QString* error);
    static bool writeNow(const QString& key, const QString& password, QString* error);
};

} // namespace sync
