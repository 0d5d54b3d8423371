#include "ui/remindernotifier.h"

#include "base/log.h"
#include "core/duereminder.h"
#include "core/taskcore.h"
#include "platform/notifications.h"
#include "settings/appsettings.h"
#include "store/taskstorage.h"
#include "ui/mainwindow.h"
#include "ui/tasklistwidget.h"
#include "ui/trayicon.h"

ReminderNotifier::ReminderNotifier(MainWindow* window, TrayIcon* tray, QObject* parent, const QString& busAddress)
    : QObject(parent)
    , m_window(window)
    , m_tray(tray)
    , m_desktop(new platform::DesktopNotifications(busAddress, this))
{
    if (tray)
        connect(tray, &TrayIcon::reminderClicked, this, &ReminderNotifier::_onClicked);
    connect(m_desktop, &platform::DesktopNotifications::clicked, this, &ReminderNotifier::_onClicked);
}

ReminderNotifier::~ReminderNotifier() = default;

bool ReminderNotifier::canShow() const
{
    return (m_tray && m_tray->isTrayAvailable()) || m_desktop->isAvailable();
}

void ReminderNotifier::showReminder(const QString& title, const QString& body, const TodoTask::Id& firstTaskId)
{
    m_firstTaskId = firstTaskId;
    if (m_tray && m_tray->isTrayAvailable()) {
        MRV_INFO("ReminderNotifier::showReminder", QStringLiteral("Reminder in the tray: ") + title);
        m_tray->showReminder(title, body);
    } else {
        MRV_INFO("ReminderNotifier::showReminder", QStringLiteral("Reminder through the notification service: ") + title);
        m_desktop->show(title, body);
    }
}

void ReminderNotifier::_onClicked()
{
    if (!m_window)
        return;
    const std::shared_ptr<TaskStorage> storage = TaskCore::instance()->storage();
    m_window->showGroup(storage ? groupListingTask(*storage, m_firstTaskId) : FocusGroup::inboxId());
}

void startDueReminders(MainWindow* window, TrayIcon* tray)
{
    auto* notifier = new ReminderNotifier(window, tray, tray);
    auto* reminder = new DueReminder(TaskCore::instance()->storage(), DueReminder::Clock(), DueReminder::DefaultQuietMs,
                                     notifier);
    reminder->setEnabledCheck([notifier] { return AppSettings::settings()->showNotifications() && notifier->canShow(); });
    const QPointer<MainWindow> shown(window);
    reminder->setBusyCheck([shown] { return shown && shown->taskList()->editedRow(); });
    QObject::connect(reminder, &DueReminder::remind, notifier, &ReminderNotifier::showReminder);
    reminder->start();
}
