#include "app/singleapplication.h"

#include "app/singleinstancepeer.h"
#include "core/instancelock.h"

SingleApplication::SingleApplication(const QString& id, std::unique_ptr<InstanceLock> lock, int& argc, char** argv)
    : QApplication(argc, argv)
    , m_peer(new SingleInstancePeer(id, std::move(lock), this))
{
}

SingleApplication::~SingleApplication() = default;

bool SingleApplication::isRunning() const
{
    return m_peer->isRunning();
}

bool SingleApplication::sendMessage(const QString& message, int timeoutMs)
{
    return m_peer->sendMessage(message, timeoutMs);
}
