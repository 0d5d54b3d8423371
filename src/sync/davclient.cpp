#include "sync/davclient.h"

namespace sync {

DavClient::DavClient(const QString& user, const QString& password, int transferTimeoutMs)
    : m_user(user)
    , m_password(password)
    , m_transferTimeoutMs(transferTimeoutMs)
{
}

DavClient::~DavClient() = default;

} // namespace sync
