#pragma once

#include "app/dynamicsingleton.h"
#include "taskapi/itaskapiclientdelegate.h"

#include <memory>

class QString;
class TaskStorage;

/// The process-wide core object: owns the task store and hears from the task service client.
class TaskCore : public dynamic_singleton<TaskCore>, private taskapi::ITaskApiClientDelegate
{
public:
    /// Creates the store on the database file, loads it and starts its committer, then
    /// becomes the delegate of the task service client. Returns the store's result: 0 loaded
    /// (or no file yet), 1 written by a newer program, anything else unreadable.
    int init();
    /// The same on another file, with the committer's interval (tests).
    int init(const QString& databasePath, int quietMs);

    /// A copy of the pointer to the store; callers drop it as soon as they are done.
    std::shared_ptr<TaskStorage> storage() const;

protected:
    TaskCore();
    ~TaskCore() override;

private:
    // Nothing starts a request of the task service yet: the outcomes are not used.
    void onRequestSucceeded(taskapi::TaskApiClient* client, taskapi::TaskApiRunnable* request) override;
    void onRequestFailed(taskapi::TaskApiClient* client, taskapi::TaskApiRunnable* request) override;

    std::shared_ptr<TaskStorage> m_storage;
};
