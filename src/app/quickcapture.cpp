#include "app/quickcapture.h"

#include "app/singleinstancepeer.h"
#include "app/synccommand.h"
#include "base/identity.h"
#include "base/log.h"
#include "base/specialfolder.h"
#include "core/commandline.h"
#include "core/instancelock.h"
#include "core/taskcore.h"
#include "settings/appsettings.h"
#include "settings/languagemanager.h"
#include "store/taskstorage.h"
#include "taskapi/taskapiclient.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QFileInfo>

#include <cstdio>

namespace {

enum ExitStatus { Done = 0, NotAdded = 1, WrongCommandLine = 2, MaybeAdded = 3 };

// How long a capture waits for the running instance to confirm the task.
constexpr int kHandOverMs = 10000;
// How long it waits for another capture that is writing the database.
constexpr int kOtherCaptureMs = 60000;

QString translated(const char* text)
{
    return QCoreApplication::translate("QuickCapture", text);
}

const char* const kNewerDatabase = QT_TRANSLATE_NOOP(
    "QuickCapture", "%1: the task database %2 was written by a newer version of %3; nothing was changed");
const char* const kUnreadableDatabase = QT_TRANSLATE_NOOP(
    "QuickCapture", "%1: the task database %2 cannot be read; nothing was changed (start %3 to deal with it)");
const char* const kNotWritten = QT_TRANSLATE_NOOP("QuickCapture", "%1: the task could not be written to %2");
const char* const kTooLong = QT_TRANSLATE_NOOP("QuickCapture", "%1: the task is too long to hand to the running %2");
const char* const kNotTaken = QT_TRANSLATE_NOOP("QuickCapture", "%1: the running %2 did not take the task");
const char* const kRefused = QT_TRANSLATE_NOOP(
    "QuickCapture", "%1: the running %2 cannot take tasks now (it is waiting for an answer in its window); the task was not added");
const char* const kNoAnswer = QT_TRANSLATE_NOOP(
    "QuickCapture", "%1: the running %2 did not confirm the task in time; it may still be added, so look before adding it again");
const char* const kNotWrittenYet = QT_TRANSLATE_NOOP(
    "QuickCapture", "%1: the running %2 took the task but cannot write it to the disk yet; it keeps trying (its window says why)");
const char* const kDatabaseBusy = QT_TRANSLATE_NOOP(
    "QuickCapture", "%1: another process keeps the task database %2 busy; the task was not added");

void print(FILE* stream, const QString& text)
{
    // UTF-8 whatever the locale: names, notes and translations may be in any script.
    const QByteArray bytes = text.toUtf8();
    std::fwrite(bytes.constData(), 1, static_cast<size_t>(bytes.size()), stream);
    std::fflush(stream);
}

// The language the user chose for the program, for the printed texts. The settings are read
// only where the program has run before, so that asking for the help creates no folder.
void applySavedLanguage()
{
    if (!QFileInfo::exists(folderPath(UserDataFolder, false)))
        return;
    if (AppSettings::settings()->load(settingsFilePath()))
        languageManager()->applySavedLanguage();
}

int addToDatabase(const CapturedTask& task, const QString& program)
{
    Log::instance()->open(logFilePath());
    const QString path = databaseFilePath();
    // Nobody is asked about a backup: a database that does not load is left exactly as it is,
    // for the program's window to deal with.
    const int loaded = TaskCore::instance()->initOrRecover(path, TaskStorage::DefaultQuietMs, {});
    if (loaded != 0) {
        const char* text = loaded == 1 ? kNewerDatabase : kUnreadableDatabase;
        print(stderr, translated(text).arg(program, path, productName()) + QLatin1Char('\n'));
        return NotAdded;
    }
    const auto storage = TaskCore::instance()->storage();
    task.addToInbox(*storage);
    const bool written = storage->commitNow();
    if (!written)
        print(stderr, translated(kNotWritten).arg(program, path) + QLatin1Char('\n'));
    return written ? Done : NotAdded;
}

int addTaskAsOwner(const CapturedTask& task, const QString& program)
{
    const int status = addToDatabase(task, program);
    TaskCore::destroy();
    return status;
}

int addTask(CapturedTask task, const QString& program)
{
    task.m_id = QUuid::createUuid();
    const QString path = databaseFilePath();
    const QString message = task.toMessage();
    if (message.toUtf8().size() > SingleInstancePeer::MaxMessageBytes) {
        print(stderr, translated(kTooLong).arg(program, productName()) + QLatin1Char('\n'));
        return NotAdded;
    }
    SingleInstancePeer peer(singleInstanceId(), std::make_unique<InstanceLock>(InstanceLock::pathFor(path)));
    const QDeadlineTimer deadline(kOtherCaptureMs);
    qint64 unreachablePid = -1;
    for (;;) {
        // The lock stays taken while the database is written: one writer at a time. Another
        // capture ends by itself, so it is waited for; the running program takes the task itself.
        InstanceLock::Owner owner;
        if (peer.lock()->lockOrWait(InstanceLock::Capture, QString(), static_cast<int>(deadline.remainingTime()), &owner))
            return addTaskAsOwner(task, program);
        if (owner.m_role != InstanceLock::Program)
            break;
        // The same program that could not be reached a moment ago will not be reached now.
        if (owner.m_pid == unreachablePid) {
            print(stderr, translated(kNotTaken).arg(program, productName()) + QLatin1Char('\n'));
            return NotAdded;
        }
        switch (peer.deliver(message, kHandOverMs)) {
        case SingleInstancePeer::Delivery::Accepted:
            return Done;
        case SingleInstancePeer::Delivery::Refused:
            print(stderr, translated(kRefused).arg(program, productName()) + QLatin1Char('\n'));
            return NotAdded;
        case SingleInstancePeer::Delivery::Pending:
            print(stderr, translated(kNotWrittenYet).arg(program, productName()) + QLatin1Char('\n'));
            return MaybeAdded;
        case SingleInstancePeer::Delivery::NoAnswer:
            print(stderr, translated(kNoAnswer).arg(program, productName()) + QLatin1Char('\n'));
            return MaybeAdded;
        case SingleInstancePeer::Delivery::NotDelivered:
        case SingleInstancePeer::Delivery::Unreachable:
        case SingleInstancePeer::Delivery::Unauthorized:
        case SingleInstancePeer::Delivery::Failed:
            break;
        }
        // Nobody took it: the program may have ended meanwhile, and the database is free.
        unreachablePid = owner.m_pid;
    }
    print(stderr, translated(kDatabaseBusy).arg(program, path) + QLatin1Char('\n'));
    return NotAdded;
}

// The process-wide objects a run may have made, gone before the application object.
struct ProcessWideObjects
{
    ProcessWideObjects() = default;
    ProcessWideObjects(const ProcessWideObjects&) = delete;
    ProcessWideObjects& operator=(const ProcessWideObjects&) = delete;
    ~ProcessWideObjects()
    {
        taskapi::TaskApiClient::release();
        TaskCore::destroy();
        AppSettings::destroy();
        LanguageManager::destroy();
        Log::destroy();
    }
};

} // namespace

int runCommandLine(int& argc, char** argv)
{
    QCoreApplication app(argc, argv);
    app.setApplicationName(productName());
    app.setOrganizationName(companyName());
    app.setApplicationVersion(programVersion().toString());
    ProcessWideObjects objects;
    applySavedLanguage();

    // Read again now that the texts speak the user's language.
    const QStringList arguments = QCoreApplication::arguments();
    const CommandLine commandLine = parseCommandLine(arguments);
    QString program = arguments.isEmpty() ? QString() : QFileInfo(arguments.first()).fileName();
    if (program.isEmpty())
        program = QStringLiteral("mirevo");
    switch (commandLine.m_action) {
    case CommandLine::Help:
        print(stdout, commandLineHelp(program));
        return Done;
    case CommandLine::Version:
        print(stdout, productName() + QLatin1Char(' ') + programVersion().toString() + QLatin1Char('\n'));
        return Done;
    case CommandLine::AddTask:
        return addTask(commandLine.m_task, program);
    case CommandLine::Sync:
    case CommandLine::SyncAccount:
        return runSyncCommand(commandLine, program);
    case CommandLine::Fail:
        print(stderr,
              program + QStringLiteral(": ") + commandLine.m_error + QLatin1Char('\n') + commandLineHelp(program));
        return WrongCommandLine;
    case CommandLine::Start:
    case CommandLine::Install:
    case CommandLine::Uninstall:
        break;
    }
    // Not reached from main, which starts the program for these.
    return WrongCommandLine;
}
