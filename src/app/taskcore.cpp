#include "app/taskcore.h"

#include "app/specialfolder.h"
#include "store/taskstorage.h"

TaskCore::TaskCore() = default;

TaskCore::~TaskCore() = default;

int TaskCore::init()
{
    return init(databaseFilePath(), TaskStorage::DefaultCommitIntervalMs);
}

int TaskCore::init(const QString& databasePath, int commitIntervalMs)
{
    m_storage = std::make_shared<TaskStorage>(databasePath, commitIntervalMs);
    return m_storage->init();
}

std::shared_ptr<TaskStorage> TaskCore::storage() const
{
    return m_storage;
}
