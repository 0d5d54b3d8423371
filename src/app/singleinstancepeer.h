#pragma once

#include <QObject>
#include <QPointer>
#include <QString>

#include <memory>

class QLocalServer;
class QLocalSocket;
class QLockFile;
class QWidget;

/// Keeps the program to one running instance per user. The first process to take the lock
/// file in the user's runtime folder listens on a local socket; later processes find the lock
/// taken and hand their message to the first one. Locks of processes that died are taken over.
class SingleInstancePeer : public QObject
{
    Q_OBJECT
public:
    /// `id` names the lock and the socket, together with the user id.
    explicit SingleInstancePeer(const QString& id, QObject* parent = nullptr);
    ~SingleInstancePeer() override;

    /// True when another process of this user is the running instance.
    bool isRunning() const;

    /// The longest message in UTF-8 bytes. A task handed over by a later start carries its
    /// notes, which may be long.
    static constexpr qint32 MaxMessageBytes = 1024 * 1024;

    /// Hands `message` to the running instance and waits up to `timeoutMs` for it to confirm.
    /// False when there is no running instance, the message is longer than MaxMessageBytes or
    /// the instance did not confirm in time.
    bool sendMessage(const QString& message, int timeoutMs);

    /// The window activateWindow() brings to the front; with `activateOnMessage`, every
    /// message that arrives does so.
    void setActivationWindow(QWidget* window, bool activateOnMessage = true);
    QWidget* activationWindow() const;

    /// Takes the activation window out of the minimised state, shows and raises it and gives
    /// it the focus.
    void activateWindow();

    QString serverName() const { return m_serverName; }

Q_SIGNALS:
    void messageReceived(const QString& message);

private:
    void _onNewConnection();
    void _onReadyRead(QLocalSocket* socket);
    bool _startServer();

    QString m_serverName;
    std::unique_ptr<QLockFile> m_lock;
    QLocalServer* m_server = nullptr;
    bool m_primary = false;
    QPointer<QWidget> m_window;
    bool m_activateOnMessage = false;
};
