#pragma once

#include <QApplication>

#include <memory>

class InstanceLock;
class SingleInstancePeer;

/// An application object that knows whether another instance of the program runs.
class SingleApplication : public QApplication
{
    Q_OBJECT
public:
    /// `lock` decides whether this process is the running instance (see SingleInstancePeer).
    SingleApplication(const QString& id, std::unique_ptr<InstanceLock> lock, int& argc, char** argv);
    ~SingleApplication() override;

    bool isRunning() const;
    bool sendMessage(const QString& message, int timeoutMs);
    SingleInstancePeer* peer() const { return m_peer; }

private:
    SingleInstancePeer* m_peer;
};
