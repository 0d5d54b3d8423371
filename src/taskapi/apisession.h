#pragma once

#include "taskapi/apiuser.h"

#include <QDateTime>
#include <QString>

namespace taskapi {

/// A login session of the task service: its data is the object the login request returned.
class ApiSession : public ApiObject
{
public:
    enum State {
        NoSession = 0, ///< no token
        Valid = 1,     ///< a token that expires later than now
        Expired = 2,   ///< a token whose expiry has passed or is unknown
    };

    ApiSession() = default;
    ApiSession(const ApiSession&) = default;
    ApiSession& operator=(const ApiSession&) = default;
    ~ApiSession() override;

    /// The member "token"; empty when absent.
    QString token() const;
    /// The member "expires" read as an ISO 8601 date and time; invalid when absent.
    QDateTime expires() const;
    /// The state at the current local time.
    State state() const;
    /// The state at the given time.
    State stateAt(const QDateTime& now) const;

    const ApiUser& user() const { return m_user; }
    ApiUser& user() { return m_user; }

private:
    ApiUser m_user;
};

} // namespace taskapi
