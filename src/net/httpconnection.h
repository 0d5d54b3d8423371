#pragma once

#include <QByteArray>
#include <QHash>
#include <QString>
#include <QUrl>

#include <memory>

class QIODevice;

namespace net {

/// A blocking HTTP and HTTPS client for one job on a worker thread: each job makes its own
/// connection with createHttpConnection(), sends one request and drops it. Never used on the
/// user-interface thread.
class HttpConnection
{
public:
    using Headers = QHash<QString, QString>;

    virtual ~HttpConnection() = default;

    /// Prepares a connection to the host and port. True when it can be used.
    virtual bool connect(const QString& host, quint16 port) = 0;
    /// Ends the connection. Always true.
    virtual bool disconnect() = 0;
    /// Sends a GET request; true when it was sent and the whole body read into `response`.
    /// An error page is a successful transfer: callers ask statusCode() afterwards.
    virtual bool get(const QUrl& url, QByteArray* response, const Headers& headers = Headers()) = 0;
    /// The same with POST and a body (none when empty).
    virtual bool post(const QUrl& url, const QByteArray& body, QByteArray* response,
                      const Headers& headers = Headers()) = 0;
    /// The status of the last response, -1 when there is none.
    virtual int statusCode() const = 0;
    /// The Content-Length of the last response, -1 when there is none.
    virtual qint64 contentLength() const = 0;
    /// Reads body bytes of the last response into `out`, up to about `limit`; the number of
    /// bytes written, or -1 when reading failed before any.
    virtual int read(QIODevice* out, int limit) = 0;
    virtual QString userAgent() const = 0;
    virtual void setUserAgent(const QString& agent) = 0;
    /// Callable from any thread: a request in flight ends at once with a failure, and later
    /// requests on this object fail without being sent.
    virtual void abort() {}
};

/// The request timeout of every connection made by createHttpConnection().
constexpr int DefaultTransferTimeoutMs = 30000;

/// A new connection on the platform's network stack; `transferTimeoutMs` bounds each request.
std::shared_ptr<HttpConnection> createHttpConnection(int transferTimeoutMs = DefaultTransferTimeoutMs);

} // namespace net
