#include "sync/syncaccount.h"

#include "settings/appsettings.h"
#include "sync/davclient.h"
#include "sync/secretstore.h"
#include "sync/syncservice.h"

#include <QPointer>

namespace sync {

void SyncAccount::apply(SyncService* service, const AppSettings& settings, const Done& done)
{
    const QUrl server = settings.syncServer();
    const QString user = settings.syncUser();
    service->setIntervalMs(settings.syncIntervalMinutes() * 60 * 1000);
    if (server.isEmpty()) {
        service->setAccount(QUrl(), QString(), QString());
        done(QString());
        return;
    }
    QPointer<SyncService> target(service);
    SecretStore::read(SecretStore::keyFor(server, user), service,
                      [target, server, user, done](bool ok, const QString& password, const QString& error) {
                          if (!target)
                              return;
                          // A password given for this session (no secret store) stays while the
                          // account is the same.
                          if (target->server() != server || target->user() != user || !target->hasPassword())
                              target->setAccount(server, user, password);
                          else if (!password.isEmpty())
                              target->setPassword(password);
                          done(ok ? QString() : tr("The password cannot be read: %1.").arg(error));
                      });
}

void SyncAccount::change(SyncService* service, AppSettings* settings, const QString& settingsPath, const QUrl& server,
                         const QString& user, const QString& password, const Done& done)
{
    const QString oldKey = SecretStore::keyFor(settings->syncServer(), settings->syncUser());
    const bool hadAccount = !settings->syncServer().isEmpty();
    settings->setSyncServer(server);
    settings->setSyncUser(server.isEmpty() ? QString() : user);
    settings->save(settingsPath);
    service->setIntervalMs(settings->syncIntervalMinutes() * 60 * 1000);
    if (server.isEmpty()) {
        service->setAccount(QUrl(), QString(), QString());
        if (hadAccount)
            SecretStore::remove(oldKey, service, [](bool, const QString&) {});
        done(QString());
        return;
    }
    service->setAccount(server, user, password);
    SecretStore::write(SecretStore::keyFor(server, user), password, service, [done](bool ok, const QString& error) {
        done(ok ? QString()
                : tr("The password is kept until %1 ends, not stored: %2.").arg(QCoreApplication::applicationName(), error));
    });
}

QUrl SyncAccount::fromUserInput(const QString& text, QString* error)
{
    QString typed = text.trimmed();
    if (typed.isEmpty()) {
        *error = tr("Enter the address of the server.");
        return QUrl();
    }
    if (!typed.contains(QLatin1String("://"))) {
        // A server on this computer usually speaks plain http (Radicale's default); any other
        // gets https, the only scheme allowed for it.
        const QUrl local(QStringLiteral("http://") + typed, QUrl::StrictMode);
        typed.prepend(local.isValid() && DavClient::isAllowed(local) ? QStringLiteral("http://") : QStringLiteral("https://"));
    }
    QUrl url(typed, QUrl::StrictMode);
    if (!url.isValid() || url.host().isEmpty()
        || (url.scheme() != QLatin1String("https") && url.scheme() != QLatin1String("http"))) {
        *error = tr("\"%1\" is not a server address.").arg(text.trimmed());
        return QUrl();
    }
    if (!DavClient::isAllowed(url)) {
        *error = tr("Plain http is only for a server on this computer: use https.");
        return QUrl();
    }
    url.setUserInfo(QString());
    if (url.path().isEmpty())
        url.setPath(QStringLiteral("/"));
    return url;
}

} // namespace sync
