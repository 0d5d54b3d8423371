#include "ui/syncaccountchange.h"

#include "base/identity.h"
#include "base/specialfolder.h"
#include "settings/appsettings.h"
#include "sync/secretstore.h"
#include "sync/syncaccount.h"
#include "sync/syncservice.h"
#include "ui/passwordprompt.h"

#include <QMessageBox>
#include <QPointer>

namespace {

SyncAccountChange::Notice& customNotice()
{
    static SyncAccountChange::Notice notice;
    return notice;
}

void change(const QPointer<QWidget>& window, sync::SyncService* service, const QUrl& server, const QString& user,
            const QString& password)
{
    QPointer<sync::SyncService> target(service);
    sync::SyncAccount::change(service, AppSettings::settings(), settingsFilePath(), server, user, password,
                              [window, target, server, user](const QString& warning) {
                                  // A later change may have replaced this account meanwhile.
                                  if (!target || target->server() != server || target->user() != user)
                                      return;
                                  if (!warning.isEmpty())
                                      SyncAccountChange::notify(window, warning);
                                  if (server.isEmpty())
                                      return;
                                  if (target->hasPassword())
                                      target->syncNow();
                                  else
                                      PasswordPrompt::ask(window, target, PasswordPrompt::Missing);
                              });
}

} // namespace

void SyncAccountChange::apply(QWidget* window, sync::SyncService* service, const QUrl& server, const QString& user,
                              const QString& password, bool keepPassword)
{
    if (!service)
        return;
    const QPointer<QWidget> parent(window);
    const AppSettings* settings = AppSettings::settings();
    const QUrl oldServer = settings->syncServer();
    const QString oldUser = settings->syncUser();
    if (!keepPassword || server.isEmpty() || oldServer.isEmpty()) {
        change(parent, service, server, user, keepPassword ? QString() : password);
        return;
    }
    // The stored password is only read here, never shown: it moves to the new account's entry.
    QPointer<sync::SyncService> target(service);
    sync::SecretStore::read(sync::SecretStore::keyFor(oldServer, oldUser), service,
                            [parent, target, server, user, oldServer, oldUser](bool ok, const QString& stored,
                                                                                const QString&) {
                                // Dropped when a later change has already replaced the account.
                                const AppSettings* now = AppSettings::settings();
                                if (target && now->syncServer() == oldServer && now->syncUser() == oldUser)
                                    change(parent, target, server, user, ok ? stored : QString());
                            });
}

void SyncAccountChange::notify(QWidget* parent, const QString& text)
{
    if (customNotice()) {
        customNotice()(parent, text);
        return;
    }
    auto* box = new QMessageBox(QMessageBox::Warning, productName(), text, QMessageBox::Ok, parent);
    box->setObjectName(QStringLiteral("syncNotice"));
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setWindowModality(parent ? Qt::WindowModal : Qt::NonModal);
    box->open();
}

void SyncAccountChange::setNotice(Notice notice)
{
    customNotice() = std::move(notice);
}
