#include "app/identity.h"
#include "app/launchmode.h"
#include "app/log.h"
#include "app/mrvapp.h"
#include "app/specialfolder.h"
#include "app/taskcore.h"
#include "platform/quitsignals.h"
#include "settings/appsettings.h"
#include "ui/startupmessages.h"
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
    // NetServices, UserMetrics: released here once they exist.
    AppSettings::destroy();
    FocusIconCatalogue::destroy();
    // The drag registry and the toolbar actions are destroyed here once they exist.
    ColorScheme::destroy();
    Log::destroy();
}

} // namespace

int main(int argc, char** argv)
{
    MrvApp app(argc, argv);
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

    // Usage identity, interface language, main window and tray icon are created here, in
    // this order, once they exist.
    app.setQuitOnLastWindowClosed(false);

    // Logout or kill: leave the event loop in order so that every change is written.
    platform::QuitSignals quitSignals;
    QObject::connect(&quitSignals, &platform::QuitSignals::quitRequested, &app, [](int signalNumber) {
        MRV_INFO("main", QStringLiteral("Quit on signal %1").arg(signalNumber));
        QCoreApplication::exit(0);
    });

    const int code = app.exec();
    MRV_DEBUG("main", QStringLiteral("app.exec() returns %1").arg(code));

    // The tray icon and the main window are deleted here once they exist.
    settings->save(settingsFilePath());
    MRV_INFO("main", QStringLiteral("Shutdown"));
    destroyProcessWideObjects();
    return code;
}
