#pragma once

#include "taskapi/taskapirunnable.h"

namespace taskapi {

/// Opens a new account.
class CreateAccountReq : public TaskApiRunnable
{
public:
    static constexpr int Type = 3;

    /// `meta` is sent when it is a QVariantHash; anything else is sent as an empty object.
    CreateAccountReq(const QString& email, const QString& password, const QString& firstName, const QString& lastName,
                     const QVariant& meta);

    int requestType() const override;

protected:
    int httpMethod() const override;
    QUrl url() const override;
    QVariantHash params() const override;
    bool requiresAuthorization() const override;

private:
    QString m_email;
    QString m_password;
    QString m_firstName;
    QString m_lastName;
    QVariant m_meta;
};

} // namespace taskapi
