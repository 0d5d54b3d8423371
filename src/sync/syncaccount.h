#pragma once

#include <QCoreApplication>
#include <QString>
#include <QUrl>

#include <functional>

class AppSettings;

namespace sync {

class SyncService;

/// The account the program syncs with, as the user set it: the server and the user name in the
/// settings, the password in the desktop's secret store, or, where there is none, in the
/// running program only (the user is told).
class SyncAccount
{
    Q_DECLARE_TR_FUNCTIONS(SyncAccount)
public:
    /// Called once the password is settled; `warning` is empty, or a sentence for the user
    /// (no secret store: the password lasts for this session).
    using Done = std::function<void(const QString& warning)>;

    /// Gives `service` the account of `settings` and the password from the secret store.
    static void apply(SyncService* service, const AppSettings& settings, const Done& done);
    /// Keeps a new account in `settings` (saved to `settingsPath`) and the password in the
    /// secret store, and gives it to `service`. An empty server turns sync off and removes
    /// the stored password.
    static void change(SyncService* service, AppSettings* settings, const QString& settingsPath, const QUrl& server,
                       const QString& user, const QString& password, const Done& done);

    /// The server address a user typed: a full collection URL or just a host ("example.org"
    /// becomes "https://example.org/"). Invalid, with a sentence in `error`, for text that is
    /// no address, or for plain http to anything but this computer.
    static QUrl fromUserInput(const QString& text, QString* error);
};

} // namespace sync
