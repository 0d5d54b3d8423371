#pragma once

#include <QApplication>

class SingleInstancePeer;

/// An application object that knows whether another instance of the program runs.
class SingleApplication : public QApplication
{
    Q_OBJECT
public:
    SingleApplication(const QString& id, int& argc, char** argv);
    ~SingleApplication() override;

    bool isRunning() const;
    bool sendMessage(const QString& message, int timeoutMs);
    SingleInstancePeer* peer() const { return m_peer; }

private:
    SingleInstancePeer* m_peer;
};
