#pragma once

#include <QObject>
#include <QStringList>

class SingleInstancePeer;

/// Acts on the messages later starts of the program hand to the running instance: "show"
/// brings the window to the front; a task message (CapturedTask::toMessage) adds the task to
/// the Inbox and leaves the window as it is. Anything else is logged and ignored.
class PeerMessageHandler : public QObject
{
    Q_OBJECT
public:
    /// Listens to `peer` and becomes its child. The peer's activation window must not be
    /// activated on every message (setActivationWindow(window, false)): this object decides.
    /// Tasks go to the store of the core object (TaskCore).
    explicit PeerMessageHandler(SingleInstancePeer* peer);

    /// Until the tasks are loaded, messages wait (a dialog shown during start-up lets them in
    /// early); then they are acted on in the order they came.
    void setTasksLoaded();

private:
    void _onMessageReceived(const QString& message);
    void _handle(const QString& message);

    SingleInstancePeer* m_peer;
    bool m_tasksLoaded = false;
    QStringList m_waiting;
};
