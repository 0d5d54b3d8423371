#pragma once

#include <QList>
#include <QObject>
#include <QPair>
#include <QSet>
#include <QUuid>

class SingleInstancePeer;

/// Acts on the messages later starts of the program hand to the running instance: "show"
/// brings the window to the front; a task message (CapturedTask::toMessage) adds the task to
/// the Inbox and leaves the window as it is. A task is confirmed only once it is written to
/// the disk (when the disk cannot take it, the sender hears that it is taken but not written
/// yet), and each captured task is added once, however often it is handed over. Anything else
/// is logged and refused.
class PeerMessageHandler : public QObject
{
    Q_OBJECT
public:
    /// Listens to `peer` and becomes its child. The peer's activation window must not be
    /// activated on every message (setActivationWindow(window, false)): this object decides.
    /// Tasks go to the store of the core object (TaskCore).
    explicit PeerMessageHandler(SingleInstancePeer* peer);

    /// Until the tasks are loaded, messages wait; then they are acted on in the order they came.
    void setTasksLoaded();
    /// While the program cannot take tasks (a question at start, a database that did not load),
    /// task messages are refused, the waiting ones too; "show" is accepted and does nothing.
    void refuseTasks();

private:
    enum State { Loading, Ready, Refusing };

    void _onMessageReceived(const QString& message, quint64 ticket);
    void _handle(const QString& message, quint64 ticket);
    int _addTask(const QString& message);
    /// "sync:" or "sync-account:" with a JSON object: a pass (or setting up the account and
    /// pairing its lists), answered with its outcome once it ends.
    void _sync(const QString& message, quint64 ticket);

    SingleInstancePeer* m_peer;
    State m_state = Loading;
    QList<QPair<QString, quint64>> m_waiting;
    QSet<QUuid> m_added;
};
