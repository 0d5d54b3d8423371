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
    m_tasksLoaded = true;
    const QStringList waiting = std::exchange(m_waiting, {});
    for (const QString& message : waiting)
        _handle(message);
}

void PeerMessageHandler::_onMessageReceived(const QString& message)
{
    if (!m_tasksLoaded)
        m_waiting.append(message);
    else
        _handle(message);
}

void PeerMessageHandler::_handle(const QString& message)
{
    if (message == QLatin1String("show")) {
        m_peer->activateWindow();
        return;
    }
    // Only the start of a message is logged, on one line: it may be long, and any text.
    QString logged = message.left(60);
    for (QChar& c : logged) {
        if (c.unicode() < 0x20)
            c = QLatin1Char('?');
    }
    if (!CapturedTask::isTaskMessage(message)) {
        MRV_WARNING("PeerMessageHandler::_onMessageReceived", QStringLiteral("Unknown message ignored: ") + logged);
        return;
    }
    CapturedTask task;
    QString error;
    if (!CapturedTask::fromMessage(message, &task, &error)) {
        MRV_WARNING("PeerMessageHandler::_onMessageReceived",
                    QStringLiteral("Malformed task message ignored (") + error + QStringLiteral("): ") + logged);
        return;
    }
    const auto storage = TaskCore::exists() ? TaskCore::instance()->storage() : nullptr;
    if (!storage) {
        MRV_WARNING("PeerMessageHandler::_onMessageReceived",
                    QStringLiteral("Task message before the tasks were loaded ignored"));
        return;
    }
    const TodoTask::Id id = task.addToInbox(*storage);
    MRV_INFO("PeerMessageHandler::_onMessageReceived",
             QStringLiteral("Task ") + id.toString() + QStringLiteral(" added from the command line"));
}
