#include "core/taskcore.h"

#include "base/log.h"
#include "base/specialfolder.h"
#include "platform/filesync.h"
#include "store/csafefileupdate.h"
#include "store/taskstorage.h"
#include "sync/syncservice.h"
#include "sync/syncstate.h"
#include "taskapi/taskapiclient.h"

#include <QDateTime>
#include <QFile>
#include <QFileInfo>

TaskCore::TaskCore() = default;

TaskCore::~TaskCore()
{
    // The sync thread changes the store through this thread: it ends first.
    m_sync.reset();
    // The client may outlive the core: it must not call back into a deleted object.
    if (const auto client = taskapi::TaskApiClient::existingInstance())
        client->setDelegate(nullptr);
}

sync::SyncService* TaskCore::syncService()
{
    if (!m_sync && m_storage)
        m_sync = std::make_unique<sync::SyncService>(m_storage, sync::SyncState::pathBeside(m_storage->path()));
    return m_sync.get();
}

void TaskCore::stopSync()
{
    if (m_sync)
        m_sync->stop();
}

int TaskCore::init()
{
    return init(databaseFilePath(), TaskStorage::DefaultQuietMs);
}

int TaskCore::init(const QString& databasePath, int quietMs)
{
    m_storage = std::make_shared<TaskStorage>(databasePath, quietMs);
    const int result = m_storage->init();
    taskapi::TaskApiClient::instance()->setDelegate(this);
    return result;
}

int TaskCore::initOrRecover(const QString& databasePath, int quietMs, const BackupQuestion& ask)
{
    beginLoad(databasePath, quietMs);
    return finishLoad(ask);
}

void TaskCore::beginLoad(const QString& databasePath, int quietMs)
{
    m_databasePath = databasePath;
    m_quietMs = quietMs;
    m_storage = std::make_shared<TaskStorage>(databasePath, quietMs);
    m_loading = std::async(std::launch::async, [storage = m_storage] { return storage->load(); });
}

int TaskCore::finishLoad(const BackupQuestion& ask)
{
    const QString databasePath = m_databasePath;
    const int quietMs = m_quietMs;
    const int result = m_loading.valid() ? m_loading.get() : 2;
    if (result == 0)
        m_storage->startCommitting();
    taskapi::TaskApiClient::instance()->setDelegate(this);
    if (result == 0 || result == 1 || !QFile::exists(databasePath))
        return result;
    // Beside the file a linked database points at, where its writes keep the backup.
    const QString backup = CSafeFileUpdate::resolvedTarget(databasePath) + QStringLiteral(".bak");
    int tasks = 0;
    if (!QFile::exists(backup) || TaskStorage::inspect(backup, &tasks) != 0)
        return result;
    if (!ask || !ask(QFileInfo(backup).lastModified(), tasks)) {
        MRV_WARNING("TaskCore::initOrRecover", QStringLiteral("Starting from the backup was declined"));
        return result;
    }
    const QString aside = databasePath + QStringLiteral(".damaged-")
        + QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd-HHmmss"));
    if (!platform::renameFile(databasePath, aside)) {
        MRV_CRITICAL("TaskCore::initOrRecover", QStringLiteral("Cannot move the damaged database aside to ") + aside);
        return result;
    }
    MRV_WARNING("TaskCore::initOrRecover",
                QStringLiteral("The damaged database was moved to ") + aside + QStringLiteral("; starting from ") + backup);
    return init(databasePath, quietMs);
}

std::shared_ptr<TaskStorage> TaskCore::storage() const
{
    return m_storage;
}

std::shared_ptr<TaskStorage> TaskCore::currentStorage()
{
    return exists() ? instance()->storage() : nullptr;
}

void TaskCore::onRequestSucceeded(taskapi::TaskApiClient*, taskapi::TaskApiRunnable*)
{
}

void TaskCore::onRequestFailed(taskapi::TaskApiClient*, taskapi::TaskApiRunnable*)
{
}
