#include "app/singleinstancepeer.h"

#include "app/log.h"
#include "platform/userid.h"

#include <QDataStream>
#include <QDeadlineTimer>
#include <QDir>
#include <QLocalServer>
#include <QLocalSocket>
#include <QLockFile>
#include <QStandardPaths>
#include <QThread>
#include <QWidget>

namespace {

// A message travels as a 32-bit big-endian byte count and its UTF-8 bytes; the running
// instance answers with one byte once it has the whole message.
constexpr char kAck = 'A';

QString runtimeFolder()
{
    QString folder = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (folder.isEmpty())
        folder = QDir::tempPath();
    return folder;
}

} // namespace

SingleInstancePeer::SingleInstancePeer(const QString& id, QObject* parent)
    : QObject(parent)
{
    const QString base = runtimeFolder() + QStringLiteral("/mirevo-") + id + QLatin1Char('-') + platform::currentUserId();
    m_serverName = base + QStringLiteral(".socket");
    m_lock = std::make_unique<QLockFile>(base + QStringLiteral(".lock"));
    // Only a lock whose process is gone counts as stale, however old it is.
    m_lock->setStaleLockTime(0);
    m_primary = m_lock->tryLock(0);
    if (m_primary && !_startServer())
        MRV_WARNING("SingleInstancePeer::SingleInstancePeer", QStringLiteral("Cannot listen on ") + m_serverName);
}

SingleInstancePeer::~SingleInstancePeer()
{
    if (m_server)
        m_server->close();
    if (m_primary)
        m_lock->unlock();
}

bool SingleInstancePeer::_startServer()
{
    // A socket left by a process that died would make listen() fail.
    QLocalServer::removeServer(m_serverName);
    m_server = new QLocalServer(this);
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    connect(m_server, &QLocalServer::newConnection, this, &SingleInstancePeer::_onNewConnection);
    return m_server->listen(m_serverName);
}

bool SingleInstancePeer::isRunning() const
{
    return !m_primary;
}

bool SingleInstancePeer::sendMessage(const QString& message, int timeoutMs)
{
    if (m_primary)
        return false;
    const QByteArray bytes = message.toUtf8();
    if (bytes.size() > MaxMessageBytes) {
        MRV_WARNING("SingleInstancePeer::sendMessage", QStringLiteral("Message too long: %1 bytes").arg(bytes.size()));
        return false;
    }
    const QDeadlineTimer deadline(timeoutMs);
    QLocalSocket socket;
    // The running instance may still be starting its server: retry until the deadline.
    for (;;) {
        socket.connectToServer(m_serverName);
        if (socket.waitForConnected(static_cast<int>(qMax<qint64>(1, deadline.remainingTime()))))
            break;
        if (deadline.hasExpired())
            return false;
        QThread::msleep(50);
    }
    QByteArray frame;
    QDataStream stream(&frame, QIODevice::WriteOnly);
    stream << static_cast<qint32>(bytes.size());
    frame += bytes;
    socket.write(frame);
    if (!socket.waitForBytesWritten(static_cast<int>(qMax<qint64>(1, deadline.remainingTime()))))
        return false;
    while (socket.bytesAvailable() < 1) {
        if (deadline.hasExpired() || !socket.waitForReadyRead(static_cast<int>(qMax<qint64>(1, deadline.remainingTime()))))
            return false;
    }
    char ack = 0;
    socket.getChar(&ack);
    socket.disconnectFromServer();
    return ack == kAck;
}

void SingleInstancePeer::_onNewConnection()
{
    while (QLocalSocket* socket = m_server->nextPendingConnection()) {
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] { _onReadyRead(socket); });
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        if (socket->bytesAvailable() > 0)
            _onReadyRead(socket);
    }
}

void SingleInstancePeer::_onReadyRead(QLocalSocket* socket)
{
    if (socket->bytesAvailable() < 4)
        return;
    QDataStream stream(socket->peek(4));
    qint32 size = 0;
    stream >> size;
    if (size < 0 || size > MaxMessageBytes) {
        socket->abort();
        return;
    }
    if (socket->bytesAvailable() < 4 + size)
        return;
    socket->read(4);
    const QString message = QString::fromUtf8(socket->read(size));
    socket->putChar(kAck);
    socket->flush();
    if (m_activateOnMessage)
        activateWindow();
    Q_EMIT messageReceived(message);
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
