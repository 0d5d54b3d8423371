#include "taskapi/taskapirequests.h"

#include "taskapi/itaskapirunnabledelegate.h"

namespace taskapi {

// Login

LoginReq::LoginReq(const QString& email, const QString& password)
    : m_email(email)
    , m_password(password)
{
}

int LoginReq::requestType() const
{
    return Type;
}

int LoginReq::httpMethod() const
{
    return Post;
}

QUrl LoginReq::url() const
{
    return makeUrl(QStringLiteral("/0/account/login/"));
}

QVariantHash LoginReq::params() const
{
    QVariantHash values;
    values.insert(QStringLiteral("client_id"), delegate() ? delegate()->clientId() : QString());
    values.insert(QStringLiteral("client_name"), QStringLiteral("TODO"));
    values.insert(QStringLiteral("email"), m_email);
    values.insert(QStringLiteral("password"), m_password);
    return values;
}

bool LoginReq::requiresAuthorization() const
{
    return false;
}

// Logout

int LogoutReq::requestType() const
{
    return Type;
}

int LogoutReq::httpMethod() const
{
    return Post;
}

QUrl LogoutReq::url() const
{
    return makeUrl(QStringLiteral("/0/account/logout/"));
}

// Create account

CreateAccountReq::CreateAccountReq(const QString& email, const QString& password, const QString& firstName,
                                   const QString& lastName, const QVariant& meta)
    : m_email(email)
    , m_password(password)
    , m_firstName(firstName)
    , m_lastName(lastName)
    , m_meta(meta)
{
}

int CreateAccountReq::requestType() const
{
    return Type;
}

int CreateAccountReq::httpMethod() const
{
    return Post;
}

QUrl CreateAccountReq::url() const
{
    return makeUrl(QStringLiteral("/0/account/new/"));
}

QVariantHash CreateAccountReq::params() const
{
    QVariantHash values;
    values.insert(QStringLiteral("first_name"), m_firstName);
    values.insert(QStringLiteral("last_name"), m_lastName);
    values.insert(QStringLiteral("email"), m_email);
    values.insert(QStringLiteral("password"), m_password);
    values.insert(QStringLiteral("meta"),
                  m_meta.typeId() == QMetaType::QVariantHash ? m_meta.toHash() : QVariantHash());
    return values;
}

bool CreateAccountReq::requiresAuthorization() const
{
    return false;
}

// Status

StatusReq::StatusReq(int revision)
    : m_revision(revision)
{
}

int StatusReq::requestType() const
{
    return Type;
}

QUrl StatusReq::url() const
{
    return makeUrl(QStringLiteral("/0/tasks/status/"));
}

QVariantHash StatusReq::params() const
{
    QVariantHash values;
    values.insert(QStringLiteral("revision"), m_revision);
    return values;
}

} // namespace taskapi
