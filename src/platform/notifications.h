#pragma once

#include <QObject>
#include <QString>

namespace platform {

/// The desktop's notification service (org.freedesktop.Notifications on the session bus): one
/// notification at a time, each replacing the one before, and a signal when the user clicks it.
/// Calls never wait for the service, so a slow or hung service cannot block the program.
class DesktopNotifications : public QObject
{
    Q_OBJECT
public:
    /// On the session bus, or on the bus at `busAddress` (tests).
    explicit DesktopNotifications(const QString& busAddress = QString(), QObject* parent = nullptr);
    ~DesktopNotifications() override;

    /// Whether a notification service runs on the bus or the bus can start one.
    bool isAvailable() const;
    /// Shows `title` with the plain text `body`, replacing the notification shown before.
    void show(const QString& title, const QString& body);

Q_SIGNALS:
    /// The user clicked the notification last shown.
    void clicked();

private Q_SLOTS:
    void _onActionInvoked(uint id, const QString& actionKey);
    void _onClosed(uint id, uint reason);

private:
    void _listen();
    void _notify(const QString& title, const QString& body);

    QString m_connectionName;
    bool m_listening = false;
    // Unknown until the service answered; plain text is sent to a service that reads markup
    // only after escaping.
    enum class Markup { Unknown, Yes, No } m_markup = Markup::Unknown;
    uint m_shownId = 0;
};

} // namespace platform
