#include "app/commandline.h"
#include "app/firstframereport.h"
#include "app/identity.h"
#include "app/launchmode.h"
#include "app/log.h"
#include "app/mrvapp.h"
#include "app/peermessagehandler.h"
#include "app/quickcapture.h"
#include "app/specialfolder.h"
#include "app/taskcore.h"
#include "net/netservices.h"
#include "net/qthttpconnection.h"
#include "net/usermetrics.h"
#include "platform/localtime.h"
#include "platform/quitsignals.h"
#include "settings/appsettings.h"
#include "settings/languagemanager.h"
#include "store/taskstorage.h"
#include "taskapi/taskapiclient.h"
#include "app/singleinstancepeer.h"
#include "ui/dragregistry.h"
#include "ui/installwizard.h"
#include "ui/mainwindow.h"
#include "ui/prepareinterface.h"
#include "ui/remindernotifier.h"
#include "ui/startupmessages.h"
#include "ui/toolbaractions.h"
#include "ui/trayicon.h"
#include "widgets/colorscheme.h"
#include "widgets/focusiconcatalogue.h"

#include <QLibraryInfo>
#include <QPointer>
#include <QSslCertificate>
#include <QUrl>

namespace {

void destroyProcessWideObjects()
{
    // The task service client goes first: it aborts its requests in flight, so exit does not
    // wait for the network, and none of them reports to a core object that is gone.
    taskapi::TaskApiClient::release();
    TaskCore::destroy();
    // Stops the service thread; an update check in flight is aborted.
    NetServices::release();
    UserMetrics::destroy();
    AppSettings::destroy();
    FocusIconCatalogue::destroy();
    DragRegistry::destroy();
    destroyToolbarActions();
    ColorScheme::destroy();
    LanguageManager::destroy();
    Log::destroy();
}

// The user's own interface language for the messages shown before the windows exist. Reading
// the settings changes nothing on disk.
void applyLanguageForMessages()
{
    if (!AppSettings::settings()->load(settingsFilePath()))
        return;
    languageManager()->applySavedLanguage();
}

int runInstaller(MrvApp& app, LaunchMode mode)
{
    const bool install = mode == LaunchMode::Install;
    applyLanguageForMessages();
    if (app.isRunning()) {
        showInstanceRunningWarning(install);
        return 1;
    }
    return install ? runInstallWizard(nullptr) : runUninstallWizard(nullptr);
}

// SSL_CERT_FILE, the usual way to name a private certificate authority, is honoured: its
// certificates are trusted besides the system's (the toolkit itself reads only the system's).
void trustAuthoritiesOfTheEnvironment()
{
    const QString path = qEnvironmentVariable("SSL_CERT_FILE");
    if (path.isEmpty())
        return;
    const QList<QSslCertificate> certificates = QSslCertificate::fromPath(path, QSsl::Pem);
    if (certificates.isEmpty())
        MRV_WARNING("main", QStringLiteral("No certificates in SSL_CERT_FILE ") + path);
    net::addTrustedCertificates(certificates);
}

// The update server, normally the maker's; MIREVO_UPDATE_SERVER names another one (a private
// mirror, or a local server in tests).
std::shared_ptr<NetServices> updateService()
{
    std::shared_ptr<NetServices> services = NetServices::instance();
    const QUrl server(qEnvironmentVariable("MIREVO_UPDATE_SERVER"), QUrl::StrictMode);
    if (server.isValid() && !server.host().isEmpty()
        && (server.scheme() == QLatin1String("https") || server.scheme() == QLatin1String("http"))) {
        MRV_INFO("main", QStringLiteral("Update server: ") + server.toString());
        services->setBaseUrl(server);
    }
    return services;
}

} // namespace

int main(int argc, char** argv)
{
    platform::QuitSignals::holdUntilInstalled();
    platform::pinLocalTimeZone();
    // The help, the version, a wrong option and adding a task need no display and no window.
    const QStringList arguments = commandLineArguments(argc, argv);
    if (!parseCommandLine(arguments).startsProgram())
        return runCommandLine(argc, argv);
    const QString logPath = logFilePath();
    const bool logOpened = Log::instance()->open(logPath);
    // The task manager reads its database from the start, on a thread of its own, while the
    // application object, the settings, the fonts and the pictures are made ready. A later
    // start that hands over to the running instance only waits for the read to end.
    const bool managesTasks = parseLaunchMode(arguments) == LaunchMode::TaskManager;
    if (managesTasks)
        TaskCore::instance()->beginLoad(databaseFilePath(), TaskStorage::DefaultQuietMs);
    MrvApp app(argc, argv);
    // Logout or kill: leave the event loop in order so that every change is written. Installed
    // first (the application object already answers later starts), so that a signal during
    // start-up is not fatal either.
    platform::QuitSignals quitSignals;
    bool quitRequested = false;
    QPointer<MainWindow> window;
    QObject::connect(&quitSignals, &platform::QuitSignals::quitRequested, &app,
                     [&quitRequested, &window](int signalNumber) {
                         MRV_INFO("main", QStringLiteral("Quit on signal %1").arg(signalNumber));
                         quitRequested = true;
                         if (window)
                             window->quitProgram();
                         else
                             QCoreApplication::exit(0);
                     });

    app.setApplicationName(productName());
    app.setOrganizationName(companyName());
    app.setApplicationVersion(programVersion().toString());
    app.setWindowIcon(applicationIcon(0));
    // Plug-ins come from the toolkit's own folder only, never from stray folders (the
    // program's folder, QT_PLUGIN_PATH). That folder stays: HTTPS needs its TLS back end.
    QCoreApplication::setLibraryPaths(QStringList{QLibraryInfo::path(QLibraryInfo::PluginsPath)});

    if (!quitSignals.isActive())
        MRV_WARNING("main", QStringLiteral("Termination signals cannot be handled: they end the program at once"));
    const LaunchMode mode = parseLaunchMode(QCoreApplication::arguments());

    if (mode != LaunchMode::TaskManager)
        return runInstaller(app, mode);

    if (app.isRunning()) {
        app.sendMessage(QStringLiteral("show"), 5000);
        TaskCore::instance()->abandonLoad();
        return 0;
    }

    if (!logOpened)
        Log::instance()->open(logPath);
    MRV_INFO("main", QStringLiteral("======================= Startup ======================="));

    reportStartupPhase("app");
    // Later starts hand over "show" or a task from the command line; what comes before the
    // tasks are loaded waits for them.
    auto* peerMessages = new PeerMessageHandler(app.peer());
    AppSettings* settings = AppSettings::settings();
    const bool settingsRead = settings->load(settingsFilePath());
    if (!settingsRead)
        settings->resetToDefaults();
    languageManager()->applySavedLanguage();
    prepareInterface();
    reportStartupPhase("prepared");
    const int loadResult = TaskCore::instance()->finishLoad(askStartFromBackup);
    reportStartupPhase("loaded");
    if (loadResult != 0) {
        // Nothing may touch the database: the core object and the log are left to process end.
        showDatabaseLoadFailure(loadResult);
        return 1;
    }
    peerMessages->setTasksLoaded();

    settings->syncRunOnStartup();
    UserMetrics::instance()->load(metricsFilePath());

    window = new MainWindow;
    reportStartupPhase("window");
    // A later start of the program brings the window to the front, from the tray too; one that
    // adds a task leaves it as it is (PeerMessageHandler decides).
    app.peer()->setActivationWindow(window, false);
    QPointer<TrayIcon> tray;
    const auto makeTray = [&tray, &window] {
        if (tray || !window)
            return;
        trustAuthoritiesOfTheEnvironment();
        tray = new TrayIcon(window, updateService());
        tray->show();
        window->setTrayIcon(tray);
        startDueReminders(window, tray);
        // Without a tray host the window is the only way in: it shows whatever the setting says.
        if (!tray->isTrayAvailable()) {
            MRV_INFO("main", QStringLiteral("No system tray: the window stays reachable on its own"));
            window->showWindow();
        }
    };
    if (settings->openWindowOnStartup()) {
        window->showWindow();
        reportStartupPhase("shown");
        // The tray icon (and the update check it starts) come right after the window's first
        // frame, which does not wait for them.
        afterFirstPaint(window, makeTray);
        // Registered last, heard first: the benchmark's report comes before the tray's work.
        reportFirstFrame(window);
    } else {
        makeTray();
    }
    app.setQuitOnLastWindowClosed(false);

    // A signal that came while starting (events are processed during start-up too) ends the
    // program here, in the same order as a quit from the running loop.
    const int code = quitRequested ? 0 : app.exec();
    MRV_DEBUG("main", QStringLiteral("app.exec() returns %1").arg(code));

    delete tray.data();
    // The window stores its frame as it goes.
    app.peer()->setActivationWindow(nullptr);
    delete window;
    UserMetrics::instance()->save(metricsFilePath());
    settings->save(settingsFilePath());
    MRV_INFO("main", QStringLiteral("Shutdown"));
    destroyProcessWideObjects();
    return code;
}
