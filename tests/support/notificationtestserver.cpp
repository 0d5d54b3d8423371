#include "support/notificationtestserver.h"

#include <QFile>
#include <QStandardPaths>

namespace {

const QString kConnection = QStringLiteral("notification test server");

} // namespace

NotificationTestServer::NotificationTestServer()
{
    const QString daemon = QStandardPaths::findExecutable(QStringLiteral("dbus-daemon"));
    if (daemon.isEmpty() || !m_dir.isValid())
        return;
    // No service folders: nothing of the machine can be started on this bus.
    const QString config = m_dir.filePath(QStringLiteral("bus.conf"));
    QFile file(config);
    if (!file.open(QIODevice::WriteOnly))
        return;
    file.write("<!DOCTYPE busconfig PUBLIC \"-//freedesktop//DTD D-Bus Bus Configuration 1.0//EN\"\n"
               " \"http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd\">\n"
               "<busconfig><type>session</type><listen>unix:path="
               + m_dir.filePath(QStringLiteral("bus")).toUtf8()
               + "</listen><policy context=\"default\"><allow send_destination=\"*\" eavesdrop=\"true\"/>"
                 "<allow eavesdrop=\"true\"/><allow own=\"*\"/></policy></busconfig>\n");
    file.close();
    m_daemon.start(daemon, {QStringLiteral("--config-file=") + config, QStringLiteral("--nofork"),
                            QStringLiteral("--nopidfile"), QStringLiteral("--print-address=1")});
    if (!m_daemon.waitForStarted(5000))
        return;
    while (!m_daemon.canReadLine() && m_daemon.waitForReadyRead(5000)) {
    }
    m_address = QString::fromUtf8(m_daemon.readLine()).trimmed();
}

NotificationTestServer::~NotificationTestServer()
{
    QDBusConnection::disconnectFromBus(kConnection);
    if (m_daemon.state() != QProcess::NotRunning) {
        m_daemon.terminate();
        m_daemon.waitForFinished(5000);
    }
}

bool NotificationTestServer::serve(const QStringList& capabilities)
{
    m_capabilities = capabilities;
    QDBusConnection bus = QDBusConnection::connectToBus(m_address, kConnection);
    return bus.registerObject(QStringLiteral("/org/freedesktop/Notifications"), this,
                              QDBusConnection::ExportAllSlots | QDBusConnection::ExportAllSignals)
        && bus.registerService(QStringLiteral("org.freedesktop.Notifications"));
}

void NotificationTestServer::click(uint id, const QString& actionKey)
{
    Q_EMIT ActionInvoked(id, actionKey);
}

QStringList NotificationTestServer::GetCapabilities()
{
    return m_capabilities;
}

uint NotificationTestServer::Notify(const QString& appName, uint replacesId, const QString& appIcon,
                                    const QString& summary, const QString& body, const QStringList& actions,
                                    const QVariantMap& hints, int timeout)
{
    Q_UNUSED(appName);
    Q_UNUSED(appIcon);
    Q_UNUSED(hints);
    Q_UNUSED(timeout);
    const uint id = replacesId != 0 ? replacesId : ++m_lastId;
    m_shown.append(Shown{summary, body, actions, id});
    return id;
}
