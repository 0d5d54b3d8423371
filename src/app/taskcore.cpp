#include "app/taskcore.h"

#include "app/specialfolder.h"
#include "store/taskstorage.h"
#include "taskapi/taskapiclient.h"

TaskCore::TaskCore() = default;

TaskCore::~TaskCore()
{
    // The client may outlive the core: it must not call back into a deleted object.
    if (const auto client = taskapi::TaskApiClient::existingInstance())
        client->setDelegate(nullptr);
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

std::shared_ptr<TaskStorage> TaskCore::storage() const
{
    return m_storage;
}

void TaskCore::onRequestSucceeded(taskapi::TaskApiClient*, taskapi::TaskApiRunnable*)
{
}

void TaskCore::onRequestFailed(taskapi::TaskApiClient*, taskapi::TaskApiRunnable*)
{
}
