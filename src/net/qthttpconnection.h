#pragma once

#include "net/httpconnection.h"

#include <QByteArray>
#include <QList>
#include <QMutex>
#include <QPointer>
#include <QString>
#include <QUrl>

#include <atomic>
#include <functional>

class QNetworkAccessManager;
class QNetworkReply;
class QSslCertificate;
class QSslConfiguration;

namespace net {

/// Adds certificate authorities that every connection of the program trusts in addition to the
/// system's own. For tests and private deployments with their own authority; certificates are
/// verified either way. Thread-safe; affects requests started afterwards.
void addTrustedCertificates(const QList<QSslCertificate>& certificates);

/// The TLS configuration for a request of the program: the default one, trusting the system's
/// authorities and those added with addTrustedCertificates(). Thread-safe.
QSslConfiguration sslConfiguration();

/// HttpConnection on QtNetwork. Each request is sent by a QNetworkAccessManager that the object
/// creates on the calling thread and driven to completion there by a local event loop, so the
/// calls block like plain socket calls. The system proxy configuration applies, nothing is
/// cached, and certificates are always verified.
class QtHttpConnection final : public HttpConnection
{
public:
    /// Bytes asked for per read while the body of a response is collected.
    static constexpr int ChunkSize = 2048;

    /// `transferTimeoutMs` ends a request when its transfer makes no progress for that long
    /// (0 or less: no time-out).
    explicit QtHttpConnection(int transferTimeoutMs = DefaultTransferTimeoutMs);
    ~QtHttpConnection() override;

    bool connect(const QString& host, quint16 port) override;
    bool disconnect() override;
    bool get(const QUrl& url, QByteArray* response, const Headers& headers = Headers()) override;
    bool post(const QUrl& url, const QByteArray& body, QByteArray* response,
              const Headers& headers = Headers()) override;
    int statusCode() const override;
    qint64 contentLength() const override;
    int read(QIODevice* out, int limit) override;
    QString userAgent() const override { return m_userAgent; }
    void setUserAgent(const QString& agent) override { m_userAgent = agent; }
    void abort() override;

    int transferTimeout() const { return m_transferTimeoutMs; }
    /// The host and port of the last successful connect(); empty and 0 otherwise.
    QString host() const { return m_host; }
    quint16 port() const { return m_port; }

    /// Whether a request to `url` is encrypted: its scheme is exactly "https".
    static bool isSecure(const QUrl& url);
    /// The port a request to `url` goes to: its own, or 443 when secure and 80 otherwise.
    /// 0 means the URL names port 0, which no request is sent to.
    static quint16 effectivePort(const QUrl& url);

private:
    Q_DISABLE_COPY(QtHttpConnection)

    bool transfer(const QUrl& url, bool isPost, const QByteArray& body, QByteArray* response,
                  const Headers& headers);
    /// Runs a local event loop until `done` holds or the reply has finished.
    void waitFor(const std::function<bool()>& done);
    /// Whether the reply ended with a failure of the transfer itself (network, TLS, time-out,
    /// broken response), as opposed to an HTTP error status whose page arrived whole.
    bool transferFailed() const;
    void dropReply();
    QNetworkAccessManager* manager();

    QString m_userAgent;
    QString m_host;
    quint16 m_port = 0;
    const int m_transferTimeoutMs;
    QNetworkAccessManager* m_manager = nullptr;
    QPointer<QNetworkReply> m_reply;
    /// Guards m_reply against abort() from another thread.
    QMutex m_replyLock;
    std::atomic<bool> m_aborted{false};
    mutable qint64 m_contentLength = -1;
    QByteArray m_buffer;
};

} // namespace net
