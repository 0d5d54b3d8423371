#pragma once

#include "taskapi/taskapirunnable.h"

namespace taskapi {

/// Ends the session of the access token.
class LogoutReq : public TaskApiRunnable
{
public:
    static constexpr int Type = 2;

    LogoutReq() = default;

    int requestType() const override;

protected:
    int httpMethod() const override;
    QUrl url() const override;
};

} // namespace taskapi
