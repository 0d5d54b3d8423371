#include "app/singleapplication.h"

#include "app/singleinstancepeer.h"

SingleApplication::SingleApplication(const QString& id, int& argc, char** argv)
    : QApplication(argc, argv)
    , m_peer(new SingleInstancePeer(id, this))
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
