#pragma once

#include "net/updateinformation.h"

#include <QPointer>
#include <QSystemTrayIcon>

#include <functional>
#include <memory>

enum class PrefsPage;
class MainWindow;
class NetServices;
class PrefsDialog;
class QAction;
class QMenu;
class QTimer;

/// The program's icon in the system tray: the way back to the window, to sync, import and
/// export, the preferences and the about box, and to exit. It starts the one update check of the run and
/// announces a newer version in a balloon; it shows the due-date reminders in the same way. A
/// click on a balloon answers the balloon shown last.
///
/// Desktops without a tray host exist; the icon keeps watching whether one is there and tells
/// the main window, which then stays reachable on its own (see `trayAvailabilityChanged`).
class TrayIcon : public QSystemTrayIcon
{
    Q_OBJECT
public:
    static constexpr int DefaultAvailabilityPollMs = 2000;

    /// `services` is asked once for updates (none when null); the tray host is looked for
    /// every `availabilityPollMs` milliseconds.
    TrayIcon(MainWindow* mainWindow, std::shared_ptr<NetServices> services, QObject* parent = nullptr,
             int availabilityPollMs = DefaultAvailabilityPollMs);
    ~TrayIcon() override;

    /// Sets the menu texts again in the current language.
    void retranslate();

    QMenu* menu() const { return m_menu; }
    /// The same commands without "Show", for the main window when there is no tray.
    QMenu* programMenu() const { return m_programMenu; }
    /// Whether a tray host shows the icon now.
    bool isTrayAvailable() const { return m_trayAvailable; }
    /// Whether the desktop has a tray host, asked now (through the probe of the tests when set).
    static bool hostAvailable();
    /// Shows a reminder in a balloon; a click on it emits `reminderClicked`.
    void showReminder(const QString& title, const QString& body);
    /// Warns in a balloon that changes cannot be written to the disk, with the reason.
    void showWriteFailure(const QString& reason);
    /// The preferences dialog while one is open.
    PrefsDialog* preferencesDialog() const;
    /// Opens the preferences on `page`; when they are open already, only turns to the page.
    void openPreferences(PrefsPage page);

    /// Replaces the check for a tray host (tests); an empty function restores it.
    static void setAvailabilityProbe(std::function<bool()> probe);
    /// Replaces the look for a StatusNotifierItem tray (tests); an empty function restores it.
    static void setStatusNotifierProbe(std::function<bool()> probe);
    /// Whether the tray is a StatusNotifierItem host: one click (its activation) shows the
    /// window, as it has no double click.
    bool isStatusNotifierTray() const { return m_statusNotifier; }
    /// Replaces the opening of web pages (tests); an empty function restores it.
    static void setUrlOpener(std::function<void(const QUrl&)> opener);

Q_SIGNALS:
    /// A tray host appeared or went away.
    void trayAvailabilityChanged(bool available);
    /// The user clicked the balloon of a reminder.
    void reminderClicked();

public Q_SLOTS:
    void _onActivated(QSystemTrayIcon::ActivationReason reason);
    void _onShow();
    void _onAbout();
    void _onPreferences();
    void _onExport();
    void _onUpdatesChecked(const UpdateInformation& updateInfo);
    void _onMessageClicked();

private:
    void _checkAvailability();
    void _exit();

    QPointer<MainWindow> m_mainWindow;
    QMenu* m_menu = nullptr;
    QMenu* m_programMenu = nullptr;
    QPointer<QAction> m_showAction;
    QPointer<QAction> m_exportAction;
    QPointer<QAction> m_preferencesAction;
    QPointer<QAction> m_aboutAction;
    QPointer<QAction> m_exitAction;
    QPointer<PrefsDialog> m_prefsDialog;
    std::shared_ptr<NetServices> m_services;
    QTimer* m_availabilityTimer = nullptr;
    bool m_trayAvailable = false;
    bool m_statusNotifier = false;
    enum class Balloon { Update, Reminder, Warning } m_lastBalloon = Balloon::Update;
};
