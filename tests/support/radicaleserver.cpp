#include "support/radicaleserver.h"

RadicaleServer::RadicaleServer(const QString& user, const QString& password)
    : m_user(user)
    , m_password(password)
{
}

RadicaleServer::~RadicaleServer() = default;
