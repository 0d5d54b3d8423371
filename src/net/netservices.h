#pragma once

#include "net/updateinformation.h"

#include <QAtomicInt>
#include <QList>
#include <QMutex>
#include <QThread>
#include <QUrl>
#include <QWaitCondition>

#include <functional>
#include <memory>

namespace net {
class HttpConnection;
}

/// The background service that talks to the maker's server: jobs are queued from the
/// user-interface thread and performed one at a time, in order, on the service's own thread.
/// Results come back through queued signals.
class NetServices : public QThread
{
    Q_OBJECT
public:
    /// A queued piece of work; `kind` says what to do.
    struct Job
    {
        explicit Job(int kind)
            : kind(kind)
        {
        }
        virtual ~Job() = default;

        const int kind;
    };

    /// Asks the server for newer versions of the program.
    struct CheckForUpdateJob : public Job
    {
        static constexpr int Kind = 1;
        CheckForUpdateJob()
            : Job(Kind)
        {
        }
    };

    using ConnectionFactory = std::function<std::shared_ptr<net::HttpConnection>()>;

    /// Every request of the update check ends within this time, so that shutdown never waits
    /// long for a silent server.
    static constexpr int TransferTimeoutMs = 5000;
    /// How long destruction waits for a job in progress before the thread is cut off.
    static constexpr int StopWaitMs = 10000;

    /// The process-wide service; the first call creates it and starts its thread.
    static std::shared_ptr<NetServices> instance();
    /// Drops the process-wide pointer; the service goes with the last copy.
    static void release();

    /// "https://" and the service host of the program's identity.
    static QUrl defaultBaseUrl();

    /// A service that is not running yet: start() it. instance() does that for the program.
    explicit NetServices(QObject* parent = nullptr);
    /// Stops the thread: a job waiting in the queue is dropped; a request in flight ends within
    /// its time-out and its result is not reported.
    ~NetServices() override;

    /// Scheme, host and port of the update server.
    void setBaseUrl(const QUrl& baseUrl);
    QUrl baseUrl() const;
    /// Where the jobs get their connections; by default the platform's connection with
    /// TransferTimeoutMs.
    void setConnectionFactory(ConnectionFactory factory);

    /// Queues one update check and returns at once; updatesChecked() reports its result.
    void checkForUpdates();

    /// The address asked by an update check for the given usage id.
    QUrl updateCheckUrl(const QString& usageId) const;
    /// The user agent sent with every request: product name and version.
    static QString userAgent();

Q_SIGNALS:
    /// Emitted from the service thread once for every update check, whatever its outcome:
    /// connect with Qt::QueuedConnection.
    void updatesChecked(const UpdateInformation& updateInfo);

protected:
    void run() override;

private:
    void enqueue(std::shared_ptr<Job> job);
    void checkForUpdate();

    QAtomicInt m_stop = 0;
    // Guards the queue and the connection settings.
    mutable QMutex m_lock;
    QWaitCondition m_wake;
    QList<std::shared_ptr<Job>> m_queue;
    QUrl m_baseUrl;
    ConnectionFactory m_connectionFactory;
    /// The connection of the check in flight, aborted by the destructor.
    std::shared_ptr<net::HttpConnection> m_current;
};
