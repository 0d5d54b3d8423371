#pragma once

#include "taskapi/apisession.h"
#include "taskapi/itaskapirunnabledelegate.h"

#include <QList>
#include <QMutex>
#include <QString>
#include <QUrl>
#include <QVariant>
#include <QWaitCondition>

#include <functional>
#include <memory>

namespace net {
class HttpConnection;
}

namespace taskapi {

class ITaskApiClientDelegate;

/// The client of the task service: each call starts one request on Qt's global thread pool
/// and returns at once; the owner hears of the outcome through its ITaskApiClientDelegate, on
/// the pool thread. The client keeps the login session, guarded by a lock, since requests
/// read and write it from pool threads.
class TaskApiClient final : public ITaskApiRunnableDelegate
{
public:
    using ConnectionFactory = std::function<std::shared_ptr<net::HttpConnection>()>;

    /// The process-wide client, created on first call with the program's client id.
    static std::shared_ptr<TaskApiClient> instance();
    /// The process-wide client when it exists; null otherwise (nothing is created).
    static std::shared_ptr<TaskApiClient> existingInstance();
    /// Drops the process-wide pointer; the client goes with the last copy.
    static void release();

    /// The program's client id: a fixed upper-case GUID without braces.
    static QString defaultClientId();
    /// The task service: "http" on port 8010 of the loopback address.
    static QUrl defaultBaseUrl();

    /// `baseUrl` gives the scheme, host and port of the service.
    explicit TaskApiClient(const QString& clientId, const QUrl& baseUrl = defaultBaseUrl());
    /// Aborts the requests still running and waits for them to end (they report to this
    /// client); the delegate hears nothing more of them.
    ~TaskApiClient();

    TaskApiClient(const TaskApiClient&) = delete;
    TaskApiClient& operator=(const TaskApiClient&) = delete;

    /// The owner's callbacks (not owned; null for none).
    void setDelegate(ITaskApiClientDelegate* delegate);
    /// A copy of the session.
    ApiSession session() const;
    /// Where requests get their connections; the platform's connection when unset.
    void setConnectionFactory(ConnectionFactory factory);

    void login(const QString& email, const QString& password);
    void logout();
    void createAccount(const QString& email, const QString& password, const QString& firstName,
                       const QString& lastName, const QVariant& meta);
    void requestStatus(int revision);

    // ITaskApiRunnableDelegate
    void requestFinished(TaskApiRunnable* request) override;
    QString clientId() const override;
    QString host() const override;
    int port() const override;
    QString scheme() const override;
    QString accessToken() const override;

private:
    void start(TaskApiRunnable* request);

    const QString m_clientId;
    const QUrl m_baseUrl;
    // Guards everything below; requests touch it from pool threads.
    mutable QMutex m_lock;
    QWaitCondition m_idle;
    ApiSession m_session;
    ITaskApiClientDelegate* m_delegate = nullptr;
    ConnectionFactory m_connectionFactory;
    QList<TaskApiRunnable*> m_inFlight;
    bool m_stopping = false;
};

} // namespace taskapi
