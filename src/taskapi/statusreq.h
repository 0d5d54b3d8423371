#pragma once

#include "taskapi/taskapirunnable.h"

namespace taskapi {

/// Asks for the task status since a revision.
class StatusReq : public TaskApiRunnable
{
public:
    static constexpr int Type = 4;

    explicit StatusReq(int revision);

    int requestType() const override;

protected:
    QUrl url() const override;
    QVariantHash params() const override;

private:
    int m_revision;
};

} // namespace taskapi
