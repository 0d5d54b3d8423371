#include "app/synccommand.h"

#include "app/singleinstancepeer.h"
#include "base/identity.h"
#include "base/log.h"
#include "base/specialfolder.h"
#include "core/commandline.h"
#include "core/instancelock.h"
#include "core/taskcore.h"
#include "settings/appsettings.h"
#include "store/taskstorage.h"
#include "sync/secretstore.h"
#include "sync/syncaccount.h"
#include "sync/syncservice.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>

#include <cstdio>

namespace {

enum ExitStatus { Synced = 0, Failed = 1, WrongCommandLine = 2, Unreachable = 4, Refused = 5 };

// A first sync of many tasks beside a running program may take a while.
constexpr int kRunningProgramMs = 30 * 60 * 1000;
constexpr int kOtherCaptureMs = 60000;

QString translated(const char* text)
{
    return QCoreApplication::translate("SyncCommand", text);
}

const char* const kNoAccount =
    QT_TRANSLATE_NOOP("SyncCommand", "%1: no sync account is set up (use --sync-account URL --user NAME)");
const char* const kNoPassword =
    QT_TRANSLATE_NOOP("SyncCommand", "%1: no password: give it with --password-stdin, or store it in the secret store");
const char* const kEmptyPassword = QT_TRANSLATE_NOOP("SyncCommand", "%1: standard input held no password");
const char* const kDatabase = QT_TRANSLATE_NOOP("SyncCommand", "%1: the task database %2 cannot be read; nothing was synced");
const char* const kBusy =
    QT_TRANSLATE_NOOP("SyncCommand", "%1: another process keeps the task database %2 busy; nothing was synced");
const char* const kNoAnswer = QT_TRANSLATE_NOOP("SyncCommand", "%1: the running %2 did not answer in time");
const char* const kRunningRefused =
    QT_TRANSLATE_NOOP("SyncCommand", "%1: the running %2 cannot sync now (it is waiting for an answer in its window)");
const char* const kFailed = QT_TRANSLATE_NOOP("SyncCommand", "%1: sync failed: %2");
const char* const kOffline =
    QT_TRANSLATE_NOOP("SyncCommand", "%1: the server cannot be reached (%2); nothing is lost, try again later");
const char* const kAuth = QT_TRANSLATE_NOOP("SyncCommand", "%1: the server refused the user name or password");
const char* const kDone = QT_TRANSLATE_NOOP("SyncCommand", "Synced: %1 received, %2 sent, %3 conflicts kept");
const char* const kPaired = QT_TRANSLATE_NOOP("SyncCommand", "The account is set up; task lists paired with groups: %1");
const char* const kSyncedByRunning = QT_TRANSLATE_NOOP("SyncCommand", "Synced by the running %1");
const char* const kSetUpByRunning = QT_TRANSLATE_NOOP("SyncCommand", "The account is set up in the running %1");
const char* const kSeeWindow = QT_TRANSLATE_NOOP("SyncCommand", "the running %1 says why in its window");
const char* const kSkipped = QT_TRANSLATE_NOOP("SyncCommand", "%1: %2 tasks on the server could not be read and were left alone");

void print(FILE* stream, const QString& text)
{
    const QByteArray bytes = text.toUtf8() + '\n';
    std::fwrite(bytes.constData(), 1, static_cast<size_t>(bytes.size()), stream);
    std::fflush(stream);
}

bool readPassword(QString* password)
{
    QFile in;
    if (!in.open(stdin, QIODevice::ReadOnly))
        return false;
    QByteArray line = in.readLine();
    while (line.endsWith('\n') || line.endsWith('\r'))
        line.chop(1);
    *password = QString::fromUtf8(line);
    return !password->isEmpty();
}

int statusOf(const sync::SyncOutcome& outcome, const QString& program, bool pairOnly)
{
    switch (outcome.result) {
    case sync::SyncOutcome::Synced:
        if (outcome.skipped > 0)
            print(stderr, translated(kSkipped).arg(program).arg(outcome.skipped));
        if (pairOnly)
            print(stdout, translated(kPaired).arg(outcome.lists.size()));
        else
            print(stdout, translated(kDone).arg(outcome.received).arg(outcome.sent).arg(outcome.conflicts));
        return Synced;
    case sync::SyncOutcome::Offline:
        print(stderr, translated(kOffline).arg(program, outcome.message));
        return Unreachable;
    case sync::SyncOutcome::AuthFailed:
        print(stderr, translated(kAuth).arg(program));
        return Refused;
    case sync::SyncOutcome::Failed:
    case sync::SyncOutcome::Aborted:
        break;
    }
    print(stderr, translated(kFailed).arg(program, outcome.message));
    return Failed;
}

int syncHere(const CommandLine& commandLine, const QUrl& server, const QString& user, QString password,
             const QString& program)
{
    Log::instance()->open(logFilePath());
    const QString path = databaseFilePath();
    if (TaskCore::instance()->initOrRecover(path, TaskStorage::DefaultQuietMs, {}) != 0) {
        print(stderr, translated(kDatabase).arg(program, path));
        return Failed;
    }
    AppSettings* settings = AppSettings::settings();
    const QString key = sync::SecretStore::keyFor(server, user);
    QString error;
    if (password.isEmpty() && !sync::SecretStore::readNow(key, &password, &error))
        MRV_WARNING("runSyncCommand", error);
    if (password.isEmpty()) {
        print(stderr, translated(kNoPassword).arg(program));
        return Refused;
    }
    const bool pairOnly = commandLine.m_action == CommandLine::SyncAccount;
    if (pairOnly) {
        settings->setSyncServer(server);
        settings->setSyncUser(user);
        settings->save(settingsFilePath());
        if (commandLine.m_passwordFromStdin && !sync::SecretStore::writeNow(key, password, &error))
            MRV_INFO("runSyncCommand", QStringLiteral("The password is not stored: ") + error);
    }
    sync::SyncService* service = TaskCore::instance()->syncService();
    service->setAccount(server, user, password);
    sync::SyncOutcome outcome;
    QEventLoop loop;
    QObject::connect(service, &sync::SyncService::passFinished, &loop, [&](const sync::SyncOutcome& result) {
        outcome = result;
        loop.quit();
    });
    if (pairOnly)
        service->pairNow();
    else
        service->syncNow();
    loop.exec();
    TaskCore::instance()->stopSync();
    const auto storage = TaskCore::instance()->storage();
    if (!storage->finishWriting()) {
        print(stderr, translated(kFailed).arg(program, storage->path()));
        return Failed;
    }
    return statusOf(outcome, program, pairOnly);
}

} // namespace

QString syncMessage(const CommandLine& commandLine, const QString& password)
{
    QJsonObject object;
    if (!password.isEmpty())
        object.insert(QStringLiteral("password"), password);
    if (commandLine.m_action == CommandLine::SyncAccount) {
        object.insert(QStringLiteral("server"), commandLine.m_syncServer);
        object.insert(QStringLiteral("user"), commandLine.m_syncUser);
        return QStringLiteral("sync-account:") + QString::fromUtf8(QJsonDocument(object).toJson(QJsonDocument::Compact));
    }
    return QStringLiteral("sync:") + QString::fromUtf8(QJsonDocument(object).toJson(QJsonDocument::Compact));
}

bool isSyncMessage(const QString& message)
{
    return message.startsWith(QLatin1String("sync:")) || message.startsWith(QLatin1String("sync-account:"));
}

int runSyncCommand(const CommandLine& commandLine, const QString& program)
{
    QString password;
    if (commandLine.m_passwordFromStdin && !readPassword(&password)) {
        print(stderr, translated(kEmptyPassword).arg(program));
        return WrongCommandLine;
    }
    AppSettings* settings = AppSettings::settings();
    settings->load(settingsFilePath());
    QUrl server = settings->syncServer();
    QString user = settings->syncUser();
    if (commandLine.m_action == CommandLine::SyncAccount) {
        QString error;
        server = sync::SyncAccount::fromUserInput(commandLine.m_syncServer, &error);
        if (!server.isValid()) {
            print(stderr, program + QStringLiteral(": ") + error);
            return WrongCommandLine;
        }
        user = commandLine.m_syncUser.trimmed();
    } else if (server.isEmpty()) {
        print(stderr, translated(kNoAccount).arg(program));
        return Failed;
    }

    const QString path = databaseFilePath();
    SingleInstancePeer peer(singleInstanceId(), std::make_unique<InstanceLock>(InstanceLock::pathFor(path)));
    InstanceLock::Owner owner;
    if (peer.lock()->lockOrWait(InstanceLock::Capture, QString(), kOtherCaptureMs, &owner)) {
        const int status = syncHere(commandLine, server, user, password, program);
        TaskCore::destroy();
        return status;
    }
    if (owner.m_role != InstanceLock::Program) {
        print(stderr, translated(kBusy).arg(program, path));
        return Failed;
    }
    CommandLine request = commandLine;
    request.m_syncServer = server.toString();
    request.m_syncUser = user;
    switch (peer.deliver(syncMessage(request, password), kRunningProgramMs)) {
    case SingleInstancePeer::Delivery::Accepted:
        print(stdout, translated(commandLine.m_action == CommandLine::SyncAccount ? kSetUpByRunning : kSyncedByRunning)
                          .arg(productName()));
        return Synced;
    case SingleInstancePeer::Delivery::Unreachable:
        print(stderr, translated(kOffline).arg(program, server.host()));
        return Unreachable;
    case SingleInstancePeer::Delivery::Unauthorized:
        print(stderr, translated(kAuth).arg(program));
        return Refused;
    case SingleInstancePeer::Delivery::Refused:
        print(stderr, translated(kRunningRefused).arg(program, productName()));
        return Failed;
    case SingleInstancePeer::Delivery::NoAnswer:
        print(stderr, translated(kNoAnswer).arg(program, productName()));
        return Failed;
    case SingleInstancePeer::Delivery::Failed:
    case SingleInstancePeer::Delivery::Pending:
    case SingleInstancePeer::Delivery::NotDelivered:
        break;
    }
    print(stderr, translated(kFailed).arg(program, translated(kSeeWindow).arg(productName())));
    return Failed;
}
