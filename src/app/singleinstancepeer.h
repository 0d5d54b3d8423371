#pragma once

#include <QHash>
#include <QObject>
#include <QPointer>
#include <QString>

#include <memory>

class InstanceLock;
class QLocalServer;
class QLocalSocket;
class QTimer;
class QWidget;

/// Keeps the program to one running instance per task database. The process that owns the
/// database lock (InstanceLock) listens on a local socket in a folder only the user can reach;
/// later processes read from the lock where it listens and hand it their message. The owner
/// answers each message once it has acted on it: accepted, or refused.
class SingleInstancePeer : public QObject
{
    Q_OBJECT
public:
    /// Uses `lock` as it is: when it is held, this process is the running instance and listens.
    /// `id` names the socket, together with the lock's path.
    SingleInstancePeer(const QString& id, std::unique_ptr<InstanceLock> lock, QObject* parent = nullptr);
    /// Tries the lock at `lockPath` first (as the program; no waiting).
    SingleInstancePeer(const QString& id, const QString& lockPath, QObject* parent = nullptr);
    ~SingleInstancePeer() override;

    /// Where the owner of the lock at `lockPath` listens: in the session's runtime folder when
    /// it is private, else in a private "runtime" folder beside the lock (made when missing).
    /// Empty when no private folder can be had.
    static QString channelFor(const QString& id, const QString& lockPath);

    /// True when another process owns the database.
    bool isRunning() const;
    InstanceLock* lock() const { return m_lock.get(); }

    /// The longest message in UTF-8 bytes. A task handed over by a later start carries its
    /// notes, which may be long.
    static constexpr qint32 MaxMessageBytes = 1024 * 1024;
    /// Connections served at once; more are told to come back later.
    static constexpr int MaxConnections = 16;
    /// How long a connection may stay idle, or take to send one message, before it is closed.
    static constexpr int DefaultConnectionTimeoutMs = 5000;

    /// What the running instance answers.
    enum class Answer : char {
        Accepted = 'A',
        /// It cannot act on the message now.
        Refused = 'R',
        /// It took the message's task, but cannot write it to the disk yet.
        Pending = 'P',
        /// A sync it was asked for: the server could not be reached.
        Unreachable = 'O',
        /// A sync it was asked for: the server refused the user name or password.
        Unauthorized = 'U',
        /// A sync it was asked for failed in another way.
        Failed = 'F',
    };
    enum class Delivery {
        Accepted,
        Refused,
        Pending,
        Unreachable,
        Unauthorized,
        Failed,
        /// Handed over, but no answer came in time: it may still be acted on.
        NoAnswer,
        /// Nobody took it: no running instance could be reached.
        NotDelivered,
    };
    /// Hands `message` to the running instance and waits up to `timeoutMs` for its answer.
    Delivery deliver(const QString& message, int timeoutMs);
    /// deliver() == Accepted.
    bool sendMessage(const QString& message, int timeoutMs);

    /// Answers the message of `ticket` (see messageReceived); later answers are ignored.
    void answer(quint64 ticket, Answer answer);
    void setConnectionTimeoutMs(int timeoutMs) { m_connectionTimeoutMs = timeoutMs; }
    int connectionCount() const { return m_connections.size(); }

    /// The window activateWindow() brings to the front; with `activateOnMessage`, every
    /// message that arrives does so.
    void setActivationWindow(QWidget* window, bool activateOnMessage = true);
    QWidget* activationWindow() const;

    /// Takes the activation window out of the minimised state, shows and raises it and gives
    /// it the focus.
    void activateWindow();

    QString serverName() const { return m_serverName; }

Q_SIGNALS:
    /// A message from a later start. Whoever handles it calls answer(`ticket`, ...), at once or
    /// later; with nobody connected, the message is refused.
    void messageReceived(const QString& message, quint64 ticket);

private:
    struct Connection
    {
        QByteArray m_buffer;
        QTimer* m_timer = nullptr;
        int m_unanswered = 0;
    };

    void _onNewConnection();
    void _onReadyRead(QLocalSocket* socket);
    void _onTimeout(QLocalSocket* socket);
    void _drop(QLocalSocket* socket);
    bool _startServer();

    QString m_id;
    QString m_serverName;
    std::unique_ptr<InstanceLock> m_lock;
    QLocalServer* m_server = nullptr;
    QHash<QLocalSocket*, Connection> m_connections;
    QHash<quint64, QPointer<QLocalSocket>> m_tickets;
    quint64 m_nextTicket = 0;
    int m_connectionTimeoutMs = DefaultConnectionTimeoutMs;
    QPointer<QWidget> m_window;
    bool m_activateOnMessage = false;
};
