#pragma once

namespace taskapi {

class TaskApiClient;
class TaskApiRunnable;

/// How the task service client reports finished requests to its owner. Called on the pool
/// thread that ran the request; the request is deleted when the call returns, so whatever is
/// needed from it must be taken inside the call. An owner that touches the user interface
/// forwards the results through queued signals.
class ITaskApiClientDelegate
{
public:
    virtual void onRequestSucceeded(TaskApiClient* client, TaskApiRunnable* request) = 0;
    virtual void onRequestFailed(TaskApiClient* client, TaskApiRunnable* request) = 0;

protected:
    ~ITaskApiClientDelegate() = default;
};

} // namespace taskapi
