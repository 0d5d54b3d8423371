#include "app/identity.h"
#include "app/launchmode.h"
#include "app/log.h"
#include "app/mrvapp.h"
#include "app/specialfolder.h"
#include "app/taskcore.h"
#include "net/netservices.h"
#include "net/usermetrics.h"
#include "platform/quitsignals.h"
#include "settings/appsettings.h"
#include "taskapi/taskapiclient.h"
#include "app/singleinstancepeer.h"
#include "ui/dragregistry.h"
#include "ui/mainwindow.h"
#include "ui/startupmessages.h"
#include "ui/toolbaractions.h"
#include "widgets/colorscheme.h"
#include "widgets/focusiconcatalogue.h"

namespace {

int runInstaller(MrvApp& app, LaunchMode mode)
{
    const bool install = mode == LaunchMode::Install;
    if (app.isRunning()) {
        showInstanceRunningWarning(install);
        return 1;
    }
    // The install and uninstall wizards run here once they exist.
    MRV_WARNING("main", install ? QStringLiteral("The install wizard is not available in this build")
                                : QStringLiteral("The uninstall wizard is not available in this build"));
    return 1;
}

void destroyProcessWideObjects()
{
    TaskCore::destroy();
    // Nothing is asked of the task service any more; its client waits for requests in flight.
    taskapi::TaskApiClient::release();
    // Stops the service thread; an update check in flight is ended, not cut off.
    NetServices::release();
    UserMetrics::destroy();
    AppSettings::destroy();
    FocusIconCatalogue::destroy();
    DragRegistry::destroy();
    destroyToolbarActions();
    ColorScheme::destroy();
    Log::destroy();
}

} // namespace

int main(int argc, char** argv)
{
    platform::QuitSignals::holdUntilInstalled();
    MrvApp app(argc, argv);
    // Logout or kill: leave the event loop in order so that every change is written. Installed
    // first (the application object already answers later starts), so that a signal during
    // start-up is not fatal either.
    platform::QuitSignals quitSignals;
    bool quitRequested = false;
    QObject::connect(&quitSignals, &platform::QuitSignals::quitRequested, &app, [&quitRequested](int signalNumber) {
        MRV_INFO("main", QStringLiteral("Quit on signal %1").arg(signalNumber));
        quitRequested = true;
        QCoreApplication::exit(0);
    });

    app.setApplicationName(productName());
    app.setOrganizationName(companyName());
    app.setApplicationVersion(programVersion().toString());
    app.setWindowIcon(applicationIcon(0));
    // No toolkit plug-ins are loaded from disk beyond the platform's own.
    QCoreApplication::setLibraryPaths(QStringList());

    const QString logPath = logFilePath();
    const bool logOpened = Log::instance()->open(logPath);
    const LaunchMode mode = parseLaunchMode(QCoreApplication::arguments());

    if (mode != LaunchMode::TaskManager)
        return runInstaller(app, mode);

    if (app.isRunning()) {
        app.sendMessage(QStringLiteral("show"), 5000);
        return 0;
    }

    if (!logOpened)
        Log::instance()->open(logPath);
    MRV_INFO("main", QStringLiteral("======================= Startup ======================="));

    const int loadResult = TaskCore::instance()->init();
    if (loadResult != 0) {
        // Nothing may touch the database: the core object and the log are left to process end.
        showDatabaseLoadFailure(loadResult);
        return 1;
    }

    AppSettings* settings = AppSettings::settings();
    if (!settings->load(settingsFilePath()))
        settings->resetToDefaults();
    settings->syncRunOnStartup();

    UserMetrics::instance()->load(metricsFilePath());
    // The interface language is set up here once it exists.

    auto* window = new MainWindow;
    if (settings->openWindowOnStartup())
        window->showWindow();
    // A later start of the program brings the window to the front, from the tray too.
    app.peer()->setActivationWindow(window, true);
    // The tray icon is created here once it exists.
    app.setQuitOnLastWindowClosed(false);

    // A signal that came while starting (events are processed during start-up too) ends the
    // program here, in the same order as a quit from the running loop.
    const int code = quitRequested ? 0 : app.exec();
    MRV_DEBUG("main", QStringLiteral("app.exec() returns %1").arg(code));

    // The tray icon is deleted here once it exists; the window stores its frame as it goes.
    app.peer()->setActivationWindow(nullptr);
    delete window;
    UserMetrics::instance()->save(metricsFilePath());
    settings->save(settingsFilePath());
    MRV_INFO("main", QStringLiteral("Shutdown"));
    destroyProcessWideObjects();
    return code;
}
