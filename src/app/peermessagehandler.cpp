#include "app/peermessagehandler.h"

#include "app/capturedtask.h"
#include "app/log.h"
#include "app/singleinstancepeer.h"
#include "app/taskcore.h"
#include "store/taskstorage.h"

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
    if (m_state != Ready && CapturedTask::isTaskMessage(message)) {
        MRV_WARNING("PeerMessageHandler::_handle", QStringLiteral("A task from the command line was refused: the program cannot take tasks now"));
        m_peer->answer(ticket, SingleInstancePeer::Answer::Refused);
        return;
    }
    m_peer->answer(ticket, SingleInstancePeer::Answer(_addTask(message)));
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
    const auto storage = TaskCore::exists() ? TaskCore::instance()->storage() : nullptr;
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
