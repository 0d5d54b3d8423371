#include "ui/trayicon.h"

#include "base/identity.h"
#include "base/log.h"
#include "net/netservices.h"
#include "platform/statusnotifier.h"
#include "ui/aboutdialog.h"
#include "ui/exportdialog.h"
#include "ui/mainwindow.h"
#include "ui/prefsdialog.h"
#include "ui/toolbaractions.h"
#include "widgets/focusiconcatalogue.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QMenu>
#include <QTimer>

namespace {

std::function<bool()>& availabilityProbe()
{
    static std::function<bool()> probe;
    return probe;
}

std::function<void(const QUrl&)>& urlOpener()
{
    static std::function<void(const QUrl&)> opener;
    return opener;
}

std::function<bool()>& statusNotifierProbe()
{
    static std::function<bool()> probe;
    return probe;
}

bool probeStatusNotifier()
{
    return statusNotifierProbe() ? statusNotifierProbe()() : platform::isStatusNotifierHostRegistered();
}

bool probeTray()
{
    return availabilityProbe() ? availabilityProbe()() : QSystemTrayIcon::isSystemTrayAvailable();
}

} // namespace

TrayIcon::TrayIcon(MainWindow* mainWindow, std::shared_ptr<NetServices> services, QObject* parent,
                   int availabilityPollMs)
    : QSystemTrayIcon(parent)
    , m_mainWindow(mainWindow)
    , m_services(std::move(services))
{
    setObjectName(QStringLiteral("trayIcon"));
    setIcon(trayIcon());
    setToolTip(productName());

    m_menu = new QMenu;
    m_menu->setObjectName(QStringLiteral("trayMenu"));
    m_showAction = m_menu->addAction(QString(), this, &TrayIcon::_onShow);
    m_showAction->setObjectName(QStringLiteral("showAction"));
    QFont bold = m_showAction->font();
    bold.setBold(true);
    m_showAction->setFont(bold);
    m_menu->addSeparator();
    m_menu->addAction(syncNowAction());
    m_menu->addAction(importCalendarAction());
    m_exportAction = m_menu->addAction(QString(), this, &TrayIcon::_onExport);
    m_exportAction->setObjectName(QStringLiteral("exportAction"));
    m_preferencesAction = m_menu->addAction(QString(), this, &TrayIcon::_onPreferences);
    m_preferencesAction->setObjectName(QStringLiteral("preferencesAction"));
    m_aboutAction = m_menu->addAction(QString(), this, &TrayIcon::_onAbout);
    m_aboutAction->setObjectName(QStringLiteral("aboutAction"));
    m_menu->addSeparator();
    m_exitAction = m_menu->addAction(QString(), this, &TrayIcon::_exit);
    m_exitAction->setObjectName(QStringLiteral("exitAction"));
    setContextMenu(m_menu);

    m_programMenu = new QMenu;
    m_programMenu->setObjectName(QStringLiteral("programMenu"));
    m_programMenu->addAction(undoAction());
    m_programMenu->addAction(redoAction());
    m_programMenu->addSeparator();
    m_programMenu->addAction(syncNowAction());
    m_programMenu->addAction(importCalendarAction());
    m_programMenu->addAction(m_exportAction);
    m_programMenu->addAction(m_preferencesAction);
    m_programMenu->addAction(m_aboutAction);
    m_programMenu->addSeparator();
    m_programMenu->addAction(m_exitAction);

    connect(this, &QSystemTrayIcon::activated, this, &TrayIcon::_onActivated);
    connect(this, &QSystemTrayIcon::messageClicked, this, &TrayIcon::_onMessageClicked);

    if (m_services) {
        connect(m_services.get(), &NetServices::updatesChecked, this, &TrayIcon::_onUpdatesChecked,
                Qt::QueuedConnection);
        m_services->checkForUpdates();
    }
    retranslate();

    m_trayAvailable = probeTray();
    m_statusNotifier = m_trayAvailable && probeStatusNotifier();
    m_availabilityTimer = new QTimer(this);
    m_availabilityTimer->setInterval(availabilityPollMs);
    connect(m_availabilityTimer, &QTimer::timeout, this, &TrayIcon::_checkAvailability);
    m_availabilityTimer->start();
}

TrayIcon::~TrayIcon()
{
    // The menus may be open in their own event loop right now.
    m_menu->deleteLater();
    m_programMenu->deleteLater();
    m_services.reset();
}

void TrayIcon::retranslate()
{
    if (m_showAction)
        m_showAction->setText(tr("Show %1").arg(productName()));
    if (m_exportAction)
        m_exportAction->setText(tr("Export..."));
    if (m_preferencesAction)
        m_preferencesAction->setText(tr("Preferences..."));
    if (m_aboutAction)
        m_aboutAction->setText(tr("About"));
    if (m_exitAction)
        m_exitAction->setText(tr("Exit"));
}

PrefsDialog* TrayIcon::preferencesDialog() const
{
    return m_prefsDialog;
}

bool TrayIcon::hostAvailable()
{
    return probeTray();
}

void TrayIcon::showReminder(const QString& title, const QString& body)
{
    m_lastBalloon = Balloon::Reminder;
    showMessage(title, body, QSystemTrayIcon::Information, 10000);
}

void TrayIcon::showWriteFailure(const QString& reason)
{
    m_lastBalloon = Balloon::Warning;
    showMessage(productName(), tr("Your changes cannot be saved to the disk: %1").arg(reason), QSystemTrayIcon::Warning, 15000);
}

void TrayIcon::setAvailabilityProbe(std::function<bool()> probe)
{
    availabilityProbe() = std::move(probe);
}

void TrayIcon::setStatusNotifierProbe(std::function<bool()> probe)
{
    statusNotifierProbe() = std::move(probe);
}

void TrayIcon::setUrlOpener(std::function<void(const QUrl&)> opener)
{
    urlOpener() = std::move(opener);
}

void TrayIcon::_checkAvailability()
{
    const bool available = probeTray();
    if (available == m_trayAvailable)
        return;
    m_trayAvailable = available;
    m_statusNotifier = available && probeStatusNotifier();
    MRV_INFO("TrayIcon::_checkAvailability",
             available ? QStringLiteral("A system tray appeared") : QStringLiteral("The system tray went away"));
    // The toolkit shows the icon again by itself once a tray host is back, provided it was
    // shown before.
    if (available && !isVisible())
        show();
    Q_EMIT trayAvailabilityChanged(available);
}

void TrayIcon::_onActivated(QSystemTrayIcon::ActivationReason reason)
{
    if (reason == QSystemTrayIcon::DoubleClick || (reason == QSystemTrayIcon::Trigger && m_statusNotifier))
        _onShow();
}

void TrayIcon::_onShow()
{
    if (!m_mainWindow)
        return;
    if (m_mainWindow->isMinimized())
        m_mainWindow->showNormal();
    else
        m_mainWindow->showWindow();
    m_mainWindow->activateWindow();
}

void TrayIcon::_onAbout()
{
    showAboutDialog(m_mainWindow);
}

void TrayIcon::_onPreferences()
{
    openPreferences(PrefsPage::General);
}

void TrayIcon::openPreferences(PrefsPage page)
{
    if (m_prefsDialog) {
        m_prefsDialog->showPage(page);
        m_prefsDialog->raise();
        m_prefsDialog->activateWindow();
        return;
    }
    QPointer<PrefsDialog> dialog = new PrefsDialog(m_mainWindow, m_mainWindow ? m_mainWindow->syncService() : nullptr);
    dialog->showPage(page);
    m_prefsDialog = dialog;
    dialog->exec();
    if (dialog)
        dialog->deleteLater();
    m_prefsDialog = nullptr;
}

void TrayIcon::_onExport()
{
    showExportDialog(m_mainWindow, FocusGroup::Id());
}

void TrayIcon::_onUpdatesChecked(const UpdateInformation& updateInfo)
{
    if (!updateInfo.available)
        return;
    const auto entry = updateInfo.entries.constFind(applicationId());
    if (entry == updateInfo.entries.constEnd() || !entry->isValid())
        return;
    if (!(programVersion() < entry->version))
        return;
    setAvailableVersion(entry->version);
    MRV_INFO("TrayIcon::_onUpdatesChecked", QStringLiteral("Version %1 is available").arg(entry->version.toString()));
    m_lastBalloon = Balloon::Update;
    showMessage(tr("New version"),
                tr("A new version %1 is available! Click here to download.").arg(entry->version.toString()),
                QSystemTrayIcon::Information, 10000);
}

void TrayIcon::_onMessageClicked()
{
    if (m_lastBalloon == Balloon::Reminder) {
        Q_EMIT reminderClicked();
        return;
    }
    if (m_lastBalloon == Balloon::Warning) {
        _onShow();
        return;
    }
    const QUrl page(webSiteUrl());
    if (urlOpener())
        urlOpener()(page);
    else
        QDesktopServices::openUrl(page);
}

void TrayIcon::_exit()
{
    if (m_mainWindow)
        m_mainWindow->quitProgram();
    else
        QCoreApplication::exit(0);
}
