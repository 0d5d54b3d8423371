#include "app/singleinstancepeer.h"

#include "base/log.h"
#include "core/instancelock.h"
#include "platform/privatefolder.h"

#include <QCryptographicHash>
#include <QDataStream>
#include <QDeadlineTimer>
#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>
#include <QMetaMethod>
#include <QThread>
#include <QTimer>
#include <QWidget>

namespace {

// A message travels as a 32-bit big-endian byte count and its UTF-8 bytes; the running
// instance answers each one with one byte once it has acted on it.
// Sent instead of reading anything when too many connections are open: come back later.
constexpr char kBusy = 'B';

int remainingMs(const QDeadlineTimer& deadline)
{
    return static_cast<int>(qBound(qint64(1), deadline.remainingTime(), qint64(1000000)));
}

} // namespace

SingleInstancePeer::SingleInstancePeer(const QString& id, std::unique_ptr<InstanceLock> lock, QObject* parent)
    : QObject(parent)
    , m_id(id)
    , m_serverName(channelFor(id, lock->path()))
    , m_lock(std::move(lock))
{
    if (m_lock->isLocked() && !_startServer())
        MRV_WARNING("SingleInstancePeer::SingleInstancePeer",
                    QStringLiteral("Cannot listen on ") + m_serverName + QStringLiteral(": later starts cannot reach this one"));
}

SingleInstancePeer::SingleInstancePeer(const QString& id, const QString& lockPath, QObject* parent)
    : SingleInstancePeer(id,
                         [&] {
                             auto lock = std::make_unique<InstanceLock>(lockPath);
                             lock->tryLock(InstanceLock::Program, channelFor(id, lockPath));
                             return lock;
                         }(),
                         parent)
{
}

SingleInstancePeer::~SingleInstancePeer()
{
    if (m_server)
        m_server->close();
    m_lock->unlock();
}

QString SingleInstancePeer::channelFor(const QString& id, const QString& lockPath)
{
    const QFileInfo lock(lockPath);
    QString folder = platform::privateRuntimeFolder();
    if (folder.isEmpty()) {
        folder = lock.absolutePath() + QStringLiteral("/runtime");
        if (!platform::makePrivateFolder(folder))
            return QString();
    }
    // Short, as socket paths are, and one per database: two databases never share a socket.
    const QByteArray key = (id + QLatin1Char('\n') + lock.absoluteFilePath()).toUtf8();
    const QString hash = QString::fromLatin1(QCryptographicHash::hash(key, QCryptographicHash::Sha1).toHex().left(16));
    return folder + QStringLiteral("/mirevo-") + hash + QStringLiteral(".socket");
}

bool SingleInstancePeer::_startServer()
{
    if (m_serverName.isEmpty())
        return false;
    // A socket left by a process that died would make listen() fail; this process owns the
    // database, so no live instance listens there.
    QLocalServer::removeServer(m_serverName);
    m_server = new QLocalServer(this);
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    connect(m_server, &QLocalServer::newConnection, this, &SingleInstancePeer::_onNewConnection);
    return m_server->listen(m_serverName);
}

bool SingleInstancePeer::isRunning() const
{
    return !m_lock->isLocked();
}

bool SingleInstancePeer::sendMessage(const QString& message, int timeoutMs)
{
    return deliver(message, timeoutMs) == Delivery::Accepted;
}

SingleInstancePeer::Delivery SingleInstancePeer::deliver(const QString& message, int timeoutMs)
{
    if (m_lock->isLocked())
        return Delivery::NotDelivered;
    const QByteArray bytes = message.toUtf8();
    if (bytes.size() > MaxMessageBytes) {
        MRV_WARNING("SingleInstancePeer::deliver", QStringLiteral("Message too long: %1 bytes").arg(bytes.size()));
        return Delivery::NotDelivered;
    }
    QByteArray frame;
    QDataStream(&frame, QIODevice::WriteOnly) << static_cast<qint32>(bytes.size());
    frame += bytes;
    const QDeadlineTimer deadline(timeoutMs);
    // The running instance may still be starting its server, or be busy: retry until the deadline.
    for (;; QThread::msleep(50)) {
        if (deadline.hasExpired())
            return Delivery::NotDelivered;
        const InstanceLock::Owner owner = m_lock->owner();
        // A capture holds the database only while it writes; then the lock is free again.
        if (owner.m_role == InstanceLock::Capture)
            return Delivery::NotDelivered;
        // Only a socket in a folder no one else can reach gets the user's tasks.
        if (owner.m_role != InstanceLock::Program || owner.m_channel.isEmpty()
            || !platform::isPrivateFolder(QFileInfo(owner.m_channel).absolutePath()))
            continue;
        QLocalSocket socket;
        socket.connectToServer(owner.m_channel);
        if (!socket.waitForConnected(qMin(remainingMs(deadline), 1000)))
            continue;
        socket.write(frame);
        while (socket.bytesToWrite() > 0) {
            if (!socket.waitForBytesWritten(remainingMs(deadline)))
                return Delivery::NotDelivered;
        }
        while (socket.bytesAvailable() < 1) {
            if (deadline.hasExpired() || !socket.waitForReadyRead(remainingMs(deadline)))
                return Delivery::NoAnswer;
        }
        char reply = 0;
        socket.getChar(&reply);
        if (reply == kBusy)
            continue;
        socket.disconnectFromServer();
        switch (Answer(reply)) {
        case Answer::Accepted: return Delivery::Accepted;
        case Answer::Pending: return Delivery::Pending;
        case Answer::Unreachable: return Delivery::Unreachable;
        case Answer::Unauthorized: return Delivery::Unauthorized;
        case Answer::Failed: return Delivery::Failed;
        case Answer::Refused: break;
        }
        return Delivery::Refused;
    }
}

void SingleInstancePeer::_onNewConnection()
{
    while (QLocalSocket* socket = m_server->nextPendingConnection()) {
        if (m_connections.size() >= MaxConnections) {
            MRV_WARNING_BURST("SingleInstancePeer::_onNewConnection",
                              QStringLiteral("Too many connections at once: one was told to come back later"));
            socket->write(&kBusy, 1);
            socket->flush();
            socket->disconnectFromServer();
            connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
            if (socket->state() == QLocalSocket::UnconnectedState)
                socket->deleteLater();
            continue;
        }
        Connection& connection = m_connections[socket];
        connection.m_timer = new QTimer(socket);
        connection.m_timer->setSingleShot(true);
        connect(connection.m_timer, &QTimer::timeout, this, [this, socket] { _onTimeout(socket); });
        connection.m_timer->start(m_connectionTimeoutMs);
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] { _onReadyRead(socket); });
        connect(socket, &QLocalSocket::disconnected, this, [this, socket] { _drop(socket); });
        if (socket->bytesAvailable() > 0)
            _onReadyRead(socket);
    }
}

void SingleInstancePeer::_onReadyRead(QLocalSocket* socket)
{
    if (!m_connections.contains(socket))
        return;
    QByteArray& buffer = m_connections[socket].m_buffer;
    buffer += socket->read(4 + MaxMessageBytes - buffer.size());
    // One read may bring several messages: each one is handled, in order. A handler may run
    // events, so the connection is looked up again for each message.
    for (auto it = m_connections.find(socket); it != m_connections.end() && it->m_buffer.size() >= 4;
         it = m_connections.find(socket)) {
        qint32 size = 0;
        QDataStream(it->m_buffer.left(4)) >> size;
        if (size < 0 || size > MaxMessageBytes) {
            MRV_WARNING_BURST("SingleInstancePeer::_onReadyRead",
                              QStringLiteral("A connection sent a message of %1 bytes: closed").arg(size));
            socket->abort();
            _drop(socket);
            return;
        }
        if (it->m_buffer.size() < 4 + size)
            break;
        const QString message = QString::fromUtf8(it->m_buffer.constData() + 4, size);
        it->m_buffer.remove(0, 4 + size);
        // The next message has the full time again.
        it->m_timer->start(m_connectionTimeoutMs);
        ++it->m_unanswered;
        const quint64 ticket = ++m_nextTicket;
        m_tickets.insert(ticket, socket);
        if (m_activateOnMessage)
            activateWindow();
        if (isSignalConnected(QMetaMethod::fromSignal(&SingleInstancePeer::messageReceived)))
            Q_EMIT messageReceived(message, ticket);
        else
            answer(ticket, Answer::Refused);
    }
    // What the socket still holds beyond one message's room comes in the next pass.
    if (m_connections.contains(socket) && socket->bytesAvailable() > 0)
        QTimer::singleShot(0, this, [this, alive = QPointer<QLocalSocket>(socket)] {
            if (alive)
                _onReadyRead(alive);
        });
}

void SingleInstancePeer::answer(quint64 ticket, Answer answer)
{
    const QPointer<QLocalSocket> socket = m_tickets.take(ticket);
    if (!socket)
        return;
    const char byte = static_cast<char>(answer);
    socket->write(&byte, 1);
    socket->flush();
    const auto it = m_connections.find(socket);
    if (it != m_connections.end())
        --it->m_unanswered;
}

void SingleInstancePeer::_onTimeout(QLocalSocket* socket)
{
    const auto it = m_connections.find(socket);
    if (it == m_connections.end())
        return;
    // A sender waiting for its answer is not idle; the answer comes when the program can give it.
    if (it->m_unanswered > 0 && it->m_buffer.isEmpty()) {
        it->m_timer->start(m_connectionTimeoutMs);
        return;
    }
    if (!it->m_buffer.isEmpty())
        MRV_WARNING_BURST("SingleInstancePeer::_onTimeout", QStringLiteral("A connection did not finish its message in time: closed"));
    socket->abort();
    _drop(socket);
}

void SingleInstancePeer::_drop(QLocalSocket* socket)
{
    if (m_connections.remove(socket))
        socket->deleteLater();
}

void SingleInstancePeer::setActivationWindow(QWidget* window, bool activateOnMessage)
{
    m_window = window;
    m_activateOnMessage = activateOnMessage;
}

QWidget* SingleInstancePeer::activationWindow() const
{
    return m_window;
}

void SingleInstancePeer::activateWindow()
{
    if (!m_window)
        return;
    m_window->setWindowState(m_window->windowState() & ~Qt::WindowMinimized);
    m_window->show();
    m_window->raise();
    m_window->activateWindow();
}
