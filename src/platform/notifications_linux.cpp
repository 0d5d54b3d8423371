#include "platform/notifications.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QVariantMap>

namespace platform {

namespace {

const QString kService = QStringLiteral("org.freedesktop.Notifications");
const QString kPath = QStringLiteral("/org/freedesktop/Notifications");
const QString kInterface = QStringLiteral("org.freedesktop.Notifications");

QDBusMessage serviceCall(const QString& method)
{
    return QDBusMessage::createMethodCall(kService, kPath, kInterface, method);
}

} // namespace

DesktopNotifications::DesktopNotifications(const QString& busAddress, QObject* parent)
    : QObject(parent)
    , m_connectionName(busAddress.isEmpty()
                           ? QDBusConnection::sessionBus().name()
                           : QDBusConnection::connectToBus(busAddress, QStringLiteral("mirevo-notifications ") + busAddress).name())
{
}

DesktopNotifications::~DesktopNotifications() = default;

bool DesktopNotifications::isAvailable() const
{
    const QDBusConnection bus(m_connectionName);
    const QDBusConnectionInterface* daemon = bus.isConnected() ? bus.interface() : nullptr;
    if (!daemon)
        return false;
    // A notification daemon is often started by the bus on the first call only.
    return daemon->isServiceRegistered(kService) || daemon->activatableServiceNames().value().contains(kService);
}

void DesktopNotifications::show(const QString& title, const QString& body)
{
    QDBusConnection bus(m_connectionName);
    if (!bus.isConnected())
        return;
    _listen();
    if (m_markup != Markup::Unknown) {
        _notify(title, body);
        return;
    }
    auto* watcher = new QDBusPendingCallWatcher(bus.asyncCall(serviceCall(QStringLiteral("GetCapabilities"))), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this, [this, title, body](QDBusPendingCallWatcher* call) {
        call->deleteLater();
        const QDBusPendingReply<QStringList> reply = *call;
        if (m_markup == Markup::Unknown)
            m_markup = !reply.isError() && reply.value().contains(QStringLiteral("body-markup")) ? Markup::Yes : Markup::No;
        _notify(title, body);
    });
}

void DesktopNotifications::_listen()
{
    if (m_listening)
        return;
    QDBusConnection bus(m_connectionName);
    m_listening = bus.connect(QString(), kPath, kInterface, QStringLiteral("ActionInvoked"), this,
                              SLOT(_onActionInvoked(uint,QString)))
        && bus.connect(QString(), kPath, kInterface, QStringLiteral("NotificationClosed"), this,
                       SLOT(_onClosed(uint,uint)));
}

void DesktopNotifications::_notify(const QString& title, const QString& body)
{
    QDBusMessage call = serviceCall(QStringLiteral("Notify"));
    // "default" is the action of a click on the notification itself.
    call << QCoreApplication::applicationName() << m_shownId << QString() << title
         << (m_markup == Markup::Yes ? body.toHtmlEscaped() : body)
         << QStringList{QStringLiteral("default"), QString()} << QVariantMap() << -1;
    auto* watcher = new QDBusPendingCallWatcher(QDBusConnection(m_connectionName).asyncCall(call), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this, [this](QDBusPendingCallWatcher* pending) {
        pending->deleteLater();
        const QDBusPendingReply<uint> reply = *pending;
        if (!reply.isError())
            m_shownId = reply.value();
    });
}

void DesktopNotifications::_onActionInvoked(uint id, const QString& actionKey)
{
    if (id != 0 && id == m_shownId && actionKey == QLatin1String("default"))
        Q_EMIT clicked();
}

void DesktopNotifications::_onClosed(uint id, uint reason)
{
    Q_UNUSED(reason);
    if (id == m_shownId)
        m_shownId = 0;
}

} // namespace platform
