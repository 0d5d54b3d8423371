#pragma once

#include "store/todotask.h"

#include <QObject>
#include <QPointer>

class MainWindow;
class TrayIcon;

namespace platform {
class DesktopNotifications;
}

/// Shows the due-date reminders: in a balloon of the tray icon while a tray host shows it, else
/// through the desktop's notification service. A click on the reminder shown last brings the
/// main window up on the group listing the first task it names.
class ReminderNotifier : public QObject
{
    Q_OBJECT
public:
    /// The notification service is looked for on the session bus, or on the bus at `busAddress`.
    ReminderNotifier(MainWindow* window, TrayIcon* tray, QObject* parent = nullptr,
                     const QString& busAddress = QString());
    ~ReminderNotifier() override;

    /// Whether a reminder would be seen now: a tray host or a notification service exists.
    bool canShow() const;

public Q_SLOTS:
    void showReminder(const QString& title, const QString& body, const TodoTask::Id& firstTaskId);

private Q_SLOTS:
    void _onClicked();

private:
    QPointer<MainWindow> m_window;
    QPointer<TrayIcon> m_tray;
    platform::DesktopNotifications* m_desktop = nullptr;
    TodoTask::Id m_firstTaskId;
};

/// Starts the due-date reminders of the running program, for the user's setting "Show
/// notifications"; they end with the tray icon.
void startDueReminders(MainWindow* window, TrayIcon* tray);
