#pragma once

#include "taskapi/apiobject.h"

namespace taskapi {

/// The user of a task service session.
class ApiUser : public ApiObject
{
public:
    ApiUser() = default;
    ApiUser(const ApiUser&) = default;
    ApiUser& operator=(const ApiUser&) = default;
    ~ApiUser() override;

    /// What the service says about the user beyond the session's data; no request fills it yet.
    const QVariantMap& profile() const { return m_profile; }
    void setProfile(const QVariantMap& profile) { m_profile = profile; }

private:
    QVariantMap m_profile;
};

} // namespace taskapi
