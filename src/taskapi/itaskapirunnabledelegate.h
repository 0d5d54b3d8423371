#pragma once

#include <QString>

namespace taskapi {

class TaskApiRunnable;

/// What a task service request needs from its client. Called from pool threads.
class ITaskApiRunnableDelegate
{
public:
    /// The request has its result; the delegate takes it over and may delete it.
    virtual void requestFinished(TaskApiRunnable* request) = 0;
    virtual QString clientId() const = 0;
    virtual QString host() const = 0;
    virtual int port() const = 0;
    virtual QString scheme() const = 0;
    virtual QString accessToken() const = 0;

protected:
    ~ITaskApiRunnableDelegate() = default;
};

} // namespace taskapi
