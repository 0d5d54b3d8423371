#include "app/displayloss.h"
#include "app/firstframereport.h"
#include "app/mrvapp.h"
#include "app/peermessagehandler.h"
#include "app/quickcapture.h"
#include "app/singleinstancepeer.h"
#include "base/identity.h"
#include "base/log.h"
#include "base/specialfolder.h"
#include "core/commandline.h"
#include "core/instancelock.h"
#include "core/launchmode.h"
#include "core/rescuecopy.h"
#include "core/taskcore.h"
#include "net/netservices.h"
#include "net/qthttpconnection.h"
#include "net/usermetrics.h"
#include "platform/displayserver.h"
#include "platform/localtime.h"
#include "platform/quitsignals.h"
#include "settings/appsettings.h"
#include "settings/languagemanager.h"
#include "store/taskstorage.h"
#include "sync/syncaccount.h"
#include "sync/syncservice.h"
#include "taskapi/taskapiclient.h"
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

#include <QDateTime>
#include <QFileInfo>
#include <QLibraryInfo>
#include <QPointer>
#include <QSslCertificate>
#include <QUrl>

#include <cstdio>

namespace {

// How long a start waits for a quick capture that is writing the database.
constexpr int kOtherCaptureMs = 60000;
// The first sync pass waits until the window has settled.
constexpr int kFirstSyncMs = 3000;

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

void printError(const QString& text)
{
    const QByteArray bytes = text.toUtf8() + '\n';
    std::fwrite(bytes.constData(), 1, static_cast<size_t>(bytes.size()), stderr);
}

// What the database cannot take goes to a rescue copy elsewhere, and the log says where.
// False when the tasks could not be written to the database.
bool rescueUnwrittenTasks(TaskStorage& storage)
{
    const QString copy = writeRescueCopy(storage, rescueFolders());
    const QString text = copy.isEmpty()
        ? QStringLiteral("The task database could not be written and no rescue copy could be made: the latest changes are lost")
        : QStringLiteral("The task database could not be written; the tasks were saved to ") + copy;
    MRV_CRITICAL("main", text);
    printError(text);
    return false;
}

// Everything pending is written before the process ends: tasks, settings, usage identity.
bool saveEverythingNow()
{
    bool tasksSaved = true;
    if (TaskCore::exists()) {
        if (const auto storage = TaskCore::instance()->storage(); storage && storage->hasUnwrittenChanges()
                                                                   && !storage->commitNow())
            tasksSaved = rescueUnwrittenTasks(*storage);
    }
    if (UserMetrics::exists())
        UserMetrics::instance()->save(metricsFilePath());
    if (AppSettings::exists())
        AppSettings::settings()->save(settingsFilePath());
    if (Log::exists())
        Log::instance()->flush();
    return tasksSaved;
}

// The last write at exit; false when the tasks had to go to a rescue copy.
bool finishTaskWrites()
{
    const auto storage = TaskCore::currentStorage();
    if (!storage || storage->finishWriting())
        return true;
    return rescueUnwrittenTasks(*storage);
}

// Shows changes that cannot be written in the window and, once per failure, in the tray.
void reportWriteFailures(MainWindow* window, const QPointer<TrayIcon>* tray)
{
    const auto storage = TaskCore::instance()->storage();
    auto failing = std::make_shared<bool>(false);
    QObject::connect(storage.get(), &TaskStorage::writeStatusChanged, window,
                     [window, tray, failing](bool ok, const QString& reason) {
                         window->setWriteFailure(ok ? QString() : reason);
                         if (!ok && !*failing && *tray)
                             (*tray)->showWriteFailure(reason);
                         *failing = !ok;
                     },
                     Qt::QueuedConnection);
}

// Sync with the user's account, if one is set up: the password comes from the secret store.
void startSync()
{
    sync::SyncService* service = TaskCore::instance()->syncService();
    sync::SyncAccount::apply(service, *AppSettings::settings(), [](const QString& warning) {
        if (!warning.isEmpty())
            MRV_WARNING("main", warning);
    });
    service->start(kFirstSyncMs);
}

// Rescue copies made after the database's last write: an earlier run could not write it.
void tellAboutRescueCopies(const QString& databasePath)
{
    const QStringList copies = rescueCopiesSince(rescueFolders(), QFileInfo(databasePath).lastModified());
    if (copies.isEmpty())
        return;
    MRV_WARNING("main", QStringLiteral("An earlier run could not write the task database; its rescue copy is ") + copies.first());
    showRescueCopyNotice(copies, databasePath);
}

} // namespace

int main(int argc, char** argv)
{
    platform::pinLocalTimeZone();
    // The help, the version, a wrong option and adding a task need no display and no window;
    // Ctrl+C ends them as any command.
    const QStringList arguments = commandLineArguments(argc, argv);
    if (!parseCommandLine(arguments).startsProgram())
        return runCommandLine(argc, argv);
    platform::QuitSignals::holdUntilInstalled();
    const QString logPath = logFilePath();
    const bool logOpened = Log::instance()->open(logPath);
    // Whether this process owns the database is settled before the database is read: a quick
    // capture writing it is waited for, so that the read sees its task.
    const QString databasePath = databaseFilePath();
    auto lock = std::make_unique<InstanceLock>(InstanceLock::pathFor(databasePath));
    InstanceLock::Owner holder;
    const bool owner = lock->lockOrWait(InstanceLock::Program,
                                        SingleInstancePeer::channelFor(singleInstanceId(), lock->path()),
                                        kOtherCaptureMs, &holder);
    if (!owner && holder.m_role != InstanceLock::Program) {
        MRV_WARNING("main", QStringLiteral("Another process keeps the task database busy: ") + lock->path());
        printError(QStringLiteral("Another process keeps the task database busy: ") + databasePath);
        return 1;
    }
    // The task manager reads its database from the start, on a thread of its own, while the
    // application object, the settings, the fonts and the pictures are made ready.
    const bool managesTasks = parseLaunchMode(arguments) == LaunchMode::TaskManager;
    // The launcher's token to raise a window, for the running instance (the toolkit would take
    // it for a window of this process).
    const QString activationToken = qEnvironmentVariable("XDG_ACTIVATION_TOKEN");
    if (managesTasks && owner)
        TaskCore::instance()->beginLoad(databasePath, TaskStorage::DefaultQuietMs);
    platform::choosePlatformPlugins();
    MrvApp app(argc, argv, std::move(lock));
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
        app.sendMessage(activationToken.isEmpty() ? QStringLiteral("show") : QStringLiteral("show:") + activationToken, 5000);
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
    // While a question is open no task from the command line is taken: the sender says so.
    const int loadResult = TaskCore::instance()->finishLoad([peerMessages](const QDateTime& backupTime, int tasks) {
        peerMessages->refuseTasks();
        return askStartFromBackup(backupTime, tasks);
    });
    reportStartupPhase("loaded");
    if (loadResult != 0) {
        peerMessages->refuseTasks();
        // Nothing may touch the database: the core object and the log are left to process end.
        showDatabaseLoadFailure(loadResult);
        return 1;
    }
    peerMessages->setTasksLoaded();
    // When the display goes away the toolkit ends the process at once: save first.
    saveBeforeDisplayLoss([] { saveEverythingNow(); });

    settings->syncRunOnStartup();
    UserMetrics::instance()->load(metricsFilePath());

    window = new MainWindow;
    window->setSyncService(TaskCore::instance()->syncService());
    reportStartupPhase("window");
    QPointer<TrayIcon> tray;
    reportWriteFailures(window, &tray);
    // A later start of the program brings the window to the front, from the tray too; one that
    // adds a task leaves it as it is (PeerMessageHandler decides).
    app.peer()->setActivationWindow(window, false);
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
    tellAboutRescueCopies(databasePath);
    startSync();

    // A signal that came while starting (events are processed during start-up too) ends the
    // program here, in the same order as a quit from the running loop.
    int code = quitRequested ? 0 : app.exec();
    MRV_DEBUG("main", QStringLiteral("app.exec() returns %1").arg(code));

    delete tray.data();
    // The window stores its frame as it goes.
    app.peer()->setActivationWindow(nullptr);
    delete window;
    UserMetrics::instance()->save(metricsFilePath());
    settings->save(settingsFilePath());
    // A pass in flight ends here; what it did not record as sent, the next one sends.
    TaskCore::instance()->stopSync();
    // Never end with unwritten changes silently.
    if (!finishTaskWrites())
        code = 1;
    MRV_INFO("main", QStringLiteral("Shutdown"));
    destroyProcessWideObjects();
    return code;
}
