#include "taskapi/apisession.h"

namespace taskapi {

ApiSession::~ApiSession() = default;

QString ApiSession::token() const
{
    return m_data.value(QStringLiteral("token")).toString();
}

QDateTime ApiSession::expires() const
{
    return QDateTime::fromString(m_data.value(QStringLiteral("expires")).toString(), Qt::ISODate);
}

ApiSession::State ApiSession::state() const
{
    return stateAt(QDateTime::currentDateTime());
}

ApiSession::State ApiSession::stateAt(const QDateTime& now) const
{
    if (token().isEmpty())
        return NoSession;
    const QDateTime expiry = expires();
    return expiry.isValid() && expiry > now ? Valid : Expired;
}

} // namespace taskapi
