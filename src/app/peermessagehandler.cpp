#include "app/peermessagehandler.h"

#include "app/singleinstancepeer.h"
#include "app/synccommand.h"
#include "base/log.h"
#include "base/specialfolder.h"
#include "core/capturedtask.h"
#include "core/taskcore.h"
#include "settings/appsettings.h"
#include "store/taskstorage.h"
#include "sync/syncaccount.h"
#include "sync/syncservice.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QPointer>

#include <memory>

#include <utility>

PeerMessageHandler::PeerMessageHandler(SingleInstancePeer* peer)
    : QObject(peer)
    , m_peer(peer)
{
    connect(peer, &SingleInstancePeer::messageReceived, this, &PeerMessageHandler::_onMessageReceived);
}

void PeerMessageHandler::setTasksLoaded()
{
    m_state = Ready;
    const auto waiting = std::exchange(m_waiting, {});
    for (const auto& [message, ticket] : waiting)
        _handle(message, ticket);
}

void PeerMessageHandler::refuseTasks()
{
    m_state = Refusing;
    const auto waiting = std::exchange(m_waiting, {});
    for (const auto& [message, ticket] : waiting)
        _handle(message, ticket);
}

void PeerMessageHandler::_onMessageReceived(const QString& message, quint64 ticket)
{
    if (m_state == Loading)
        m_waiting.append({message, ticket});
    else
        _handle(message, ticket);
}

void PeerMessageHandler::_handle(const QString& message, quint64 ticket)
{
    // "show", or "show:" and the launcher's activation token, which lets a Wayland compositor
    // raise and focus the window for this program.
    if (message == QLatin1String("show") || message.startsWith(QLatin1String("show:"))) {
        const QString token = message.mid(5);
        if (!token.isEmpty())
            qputenv("XDG_ACTIVATION_TOKEN", token.toUtf8());
        if (m_state == Ready)
            m_peer->activateWindow();
        m_peer->answer(ticket, SingleInstancePeer::Answer::Accepted);
        return;
    }
    if (isSyncMessage(message)) {
        if (m_state != Ready) {
            m_peer->answer(ticket, SingleInstancePeer::Answer::Refused);
            return;
        }
        _sync(message, ticket);
        return;
    }
    if (m_state != Ready && CapturedTask::isTaskMessage(message)) {
        MRV_WARNING("PeerMessageHandler::_handle", QStringLiteral("A task from the command line was refused: the program cannot take tasks now"));
        m_peer->answer(ticket, SingleInstancePeer::Answer::Refused);
        return;
    }
    m_peer->answer(ticket, SingleInstancePeer::Answer(_addTask(message)));
}

void PeerMessageHandler::_sync(const QString& message, quint64 ticket)
{
    sync::SyncService* service = TaskCore::instance()->syncService();
    const bool account = message.startsWith(QLatin1String("sync-account:"));
    const QJsonObject request =
        QJsonDocument::fromJson(message.mid(message.indexOf(QLatin1Char(':')) + 1).toUtf8()).object();
    const QString password = request.value(QStringLiteral("password")).toString();
    if (!service || (!account && !service->isConfigured())) {
        m_peer->answer(ticket, SingleInstancePeer::Answer::Failed);
        return;
    }
    // The answer is the outcome of the pass that starts after this request, not of one in flight.
    auto passesToSkip = std::make_shared<int>(service->isSyncing() ? 1 : 0);
    auto connection = std::make_shared<QMetaObject::Connection>();
    const QPointer<SingleInstancePeer> peer(m_peer);
    *connection = connect(service, &sync::SyncService::passFinished, this,
                          [peer, ticket, passesToSkip, connection](const sync::SyncOutcome& outcome) {
                              if ((*passesToSkip)-- > 0)
                                  return;
                              disconnect(*connection);
                              if (!peer)
                                  return;
                              using Answer = SingleInstancePeer::Answer;
                              switch (outcome.result) {
                              case sync::SyncOutcome::Synced: peer->answer(ticket, Answer::Accepted); return;
                              case sync::SyncOutcome::Offline: peer->answer(ticket, Answer::Unreachable); return;
                              case sync::SyncOutcome::AuthFailed: peer->answer(ticket, Answer::Unauthorized); return;
                              case sync::SyncOutcome::Failed:
                              case sync::SyncOutcome::Aborted: peer->answer(ticket, Answer::Failed); return;
                              }
                          });
    if (!account) {
        if (!password.isEmpty())
            service->setPassword(password);
        service->syncNow();
        return;
    }
    const QUrl server(request.value(QStringLiteral("server")).toString(), QUrl::StrictMode);
    const QString user = request.value(QStringLiteral("user")).toString();
    const QPointer<sync::SyncService> target(service);
    const auto start = [target](const QString& warning) {
        if (!warning.isEmpty())
            MRV_WARNING("PeerMessageHandler::_sync", warning);
        if (target)
            target->pairNow();
    };
    if (password.isEmpty()) {
        AppSettings::settings()->setSyncServer(server);
        AppSettings::settings()->setSyncUser(user);
        AppSettings::settings()->save(settingsFilePath());
        sync::SyncAccount::apply(service, *AppSettings::settings(), start);
    } else {
        sync::SyncAccount::change(service, AppSettings::settings(), settingsFilePath(), server, user, password, start);
    }
}

int PeerMessageHandler::_addTask(const QString& message)
{
    // Only the start of a message is logged, on one line: it may be long, and any text.
    QString logged = message.left(60);
    for (QChar& c : logged) {
        if (c.unicode() < 0x20)
            c = QLatin1Char('?');
    }
    if (!CapturedTask::isTaskMessage(message)) {
        MRV_WARNING_BURST("PeerMessageHandler::_addTask", QStringLiteral("Unknown message ignored: ") + logged);
        return int(SingleInstancePeer::Answer::Refused);
    }
    CapturedTask task;
    QString error;
    if (!CapturedTask::fromMessage(message, &task, &error)) {
        MRV_WARNING_BURST("PeerMessageHandler::_addTask",
                          QStringLiteral("Malformed task message ignored (") + error + QStringLiteral("): ") + logged);
        return int(SingleInstancePeer::Answer::Refused);
    }
    const auto storage = TaskCore::currentStorage();
    if (!storage)
        return int(SingleInstancePeer::Answer::Refused);
    // A sender that got no answer in time may hand the same task over again.
    if (task.m_id.isNull() || !m_added.contains(task.m_id)) {
        const TodoTask::Id id = task.addToInbox(*storage);
        if (!task.m_id.isNull())
            m_added.insert(task.m_id);
        MRV_INFO("PeerMessageHandler::_addTask",
                 QStringLiteral("Task ") + id.toString() + QStringLiteral(" added from the command line"));
    }
    // The sender's "added" means on the disk, as when it writes the database itself.
    const bool written = !storage->hasUnwrittenChanges() || storage->commitNow();
    return int(written ? SingleInstancePeer::Answer::Accepted : SingleInstancePeer::Answer::Pending);
}
