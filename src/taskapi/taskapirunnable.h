#pragma once

#include "taskapi/apiresult.h"

#include <QByteArray>
#include <QHash>
#include <QMutex>
#include <QRunnable>
#include <QString>
#include <QUrl>
#include <QVariant>
#include <QVariantHash>

#include <atomic>
#include <functional>
#include <memory>

namespace net {
class HttpConnection;
}

namespace taskapi {

class ITaskApiRunnableDelegate;

/// One request to the task service, run on a pool thread over a connection of its own. The
/// request reads the JSON answer, classifies the status and hands itself to its delegate,
/// which deletes it.
class TaskApiRunnable : public QRunnable
{
public:
    using Headers = QHash<QString, QString>;
    using ConnectionFactory = std::function<std::shared_ptr<net::HttpConnection>()>;

    enum HttpMethod { Get = 0, Post = 1 };

    TaskApiRunnable();

    /// Performs the request and reports to the delegate.
    void run() override;
    ~TaskApiRunnable() override;

    /// 0 for the base; each request kind has its own number.
    virtual int requestType() const;

    const ApiResult& result() const { return m_result; }
    /// The parsed answer, whatever the status; invalid when there was none or it was not JSON.
    const QVariant& response() const { return m_response; }

    ITaskApiRunnableDelegate* delegate() const { return m_delegate; }
    void setDelegate(ITaskApiRunnableDelegate* delegate) { m_delegate = delegate; }
    /// Where run() gets its connection; the platform's connection when unset.
    void setConnectionFactory(ConnectionFactory factory) { m_connectionFactory = std::move(factory); }

    /// Sends the request over the connection and returns its result.
    virtual ApiResult perform(net::HttpConnection* connection);

    /// Callable from any thread: the transfer in flight ends at once with a network error, and
    /// a request that has not started yet fails without connecting.
    void abort();

protected:
    virtual bool post(net::HttpConnection* connection, const QUrl& url, const Headers& headers, const QByteArray& body,
                      QVariant* response, ApiResult* result);
    virtual bool get(net::HttpConnection* connection, const QUrl& url, const Headers& headers, QVariant* response,
                     ApiResult* result);
    /// Get (0) or Post (1).
    virtual int httpMethod() const;
    /// The full address of the request.
    virtual QUrl url() const = 0;
    /// The delegate's scheme, host and port with the path; empty without a delegate.
    virtual QUrl makeUrl(const QString& path) const;
    /// The JSON members of a POST body, or the query items of a GET.
    virtual QVariantHash params() const;
    /// Extra request headers.
    virtual Headers headers() const;
    /// Whether the access token is sent in the "Authorization" header.
    virtual bool requiresAuthorization() const;

private:
    /// Reads the answer of a finished transfer into `response` and `result`.
    bool readAnswer(net::HttpConnection* connection, const char* tag, const QUrl& url, const QByteArray& bytes,
                    QVariant* response, ApiResult* result);

    ApiResult m_result;
    QVariant m_response;
    ITaskApiRunnableDelegate* m_delegate = nullptr;
    ConnectionFactory m_connectionFactory;
    std::atomic<bool> m_aborted{false};
    // Guards m_connection, which abort() reaches from another thread.
    QMutex m_connectionLock;
    std::shared_ptr<net::HttpConnection> m_connection;
};

} // namespace taskapi
