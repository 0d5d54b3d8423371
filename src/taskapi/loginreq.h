#pragma once

#include "taskapi/taskapirunnable.h"

namespace taskapi {

/// Logs in with e-mail and password; the answer becomes the client's session.
class LoginReq : public TaskApiRunnable
{
public:
    static constexpr int Type = 1;

    LoginReq(const QString& email, const QString& password);

    int requestType() const override;

protected:
    int httpMethod() const override;
    QUrl url() const override;
    QVariantHash params() const override;
    bool requiresAuthorization() const override;

private:
    QString m_email;
    QString m_password;
};

} // namespace taskapi
