#pragma once

#include <QDBusConnection>
#include <QObject>
#include <QProcess>
#include <QStringList>
#include <QTemporaryDir>
#include <QVariantMap>

/// A private D-Bus bus (its own dbus-daemon, no activatable services) and, once `serve()` is
/// called, a notification service on it that records every notification it is asked to show.
class NotificationTestServer : public QObject
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.Notifications")
public:
    struct Shown
    {
        QString title;
        QString body;
        QStringList actions;
        uint id = 0;
    };

    NotificationTestServer();
    ~NotificationTestServer() override;

    /// False when dbus-daemon is missing or did not start.
    bool isRunning() const { return !m_address.isEmpty(); }
    QString address() const { return m_address; }
    /// Takes the service name and answers from now on; `capabilities` as GetCapabilities says.
    bool serve(const QStringList& capabilities = QStringList());

    const QList<Shown>& shown() const { return m_shown; }
    /// The user clicks the notification `id` (its default action, or another one).
    void click(uint id, const QString& actionKey = QStringLiteral("default"));

public Q_SLOTS:
    QStringList GetCapabilities();
    uint Notify(const QString& appName, uint replacesId, const QString& appIcon, const QString& summary,
                const QString& body, const QStringList& actions, const QVariantMap& hints, int timeout);

Q_SIGNALS:
    void ActionInvoked(uint id, const QString& actionKey);

private:
    QTemporaryDir m_dir;
    QProcess m_daemon;
    QString m_address;
    QStringList m_capabilities;
    QList<Shown> m_shown;
    uint m_lastId = 40;
};
