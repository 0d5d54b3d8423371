#include "net/qthttpconnection.h"

#include "base/log.h"

#include <QBuffer>
#include <QEventLoop>
#include <QMutex>
#include <QMutexLocker>
#include <QNetworkAccessManager>
#include <QNetworkProxyFactory>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QSslCertificate>
#include <QSslConfiguration>
#include <QThread>

#include <mutex>

namespace net {

namespace {

/// Authorities trusted besides the system's, and the system's own list once it was needed.
struct TrustedAuthorities
{
    QMutex lock;
    QList<QSslCertificate> extra;
    QList<QSslCertificate> system;
    bool systemLoaded = false;
};

TrustedAuthorities& trustedAuthorities()
{
    static TrustedAuthorities authorities;
    return authorities;
}

/// The full list of authorities to trust, or empty when the default configuration (the
/// system's authorities only) applies unchanged.
QList<QSslCertificate> authoritiesWithExtra()
{
    TrustedAuthorities& authorities = trustedAuthorities();
    QMutexLocker locker(&authorities.lock);
    if (authorities.extra.isEmpty())
        return {};
    if (!authorities.systemLoaded) {
        authorities.system = QSslConfiguration::systemCaCertificates();
        authorities.systemLoaded = true;
    }
    return authorities.system + authorities.extra;
}

void useSystemProxyConfiguration()
{
    static std::once_flag once;
    std::call_once(once, [] { QNetworkProxyFactory::setUseSystemConfiguration(true); });
}

/// Disposes of an object that may live in another thread than the caller's.
void disposeOf(QObject* object)
{
    if (!object)
        return;
    if (object->thread() == QThread::currentThread())
        delete object;
    else
        object->deleteLater(); // runs there, or when that thread ends
}

} // namespace

void addTrustedCertificates(const QList<QSslCertificate>& certificates)
{
    TrustedAuthorities& authorities = trustedAuthorities();
    QMutexLocker locker(&authorities.lock);
    for (const QSslCertificate& certificate : certificates) {
        if (!certificate.isNull() && !authorities.extra.contains(certificate))
            authorities.extra.append(certificate);
    }
}

QSslConfiguration sslConfiguration()
{
    QSslConfiguration configuration = QSslConfiguration::defaultConfiguration();
    const QList<QSslCertificate> authorities = authoritiesWithExtra();
    if (!authorities.isEmpty())
        configuration.setCaCertificates(authorities);
    return configuration;
}

QtHttpConnection::QtHttpConnection(int transferTimeoutMs)
    : m_transferTimeoutMs(transferTimeoutMs)
{
    m_buffer.resize(ChunkSize);
}

QtHttpConnection::~QtHttpConnection()
{
    dropReply();
    disposeOf(m_manager);
}

bool QtHttpConnection::connect(const QString& host, quint16 port)
{
    // QNetworkAccessManager opens (and reuses) its sockets per request; this only checks and
    // remembers where the requests go.
    if (host.isEmpty() || port == 0)
        return false;
    m_host = host;
    m_port = port;
    return true;
}

bool QtHttpConnection::disconnect()
{
    dropReply();
    if (m_manager && m_manager->thread() == QThread::currentThread())
        m_manager->clearConnectionCache();
    m_host.clear();
    m_port = 0;
    return true;
}

bool QtHttpConnection::get(const QUrl& url, QByteArray* response, const Headers& headers)
{
    MRV_DEBUG("net::HttpConnection::get", url.toString());
    return transfer(url, false, QByteArray(), response, headers);
}

bool QtHttpConnection::post(const QUrl& url, const QByteArray& body, QByteArray* response,
                            const Headers& headers)
{
    return transfer(url, true, body, response, headers);
}

int QtHttpConnection::statusCode() const
{
    if (!m_reply)
        return -1;
    bool ok = false;
    const int status = m_reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt(&ok);
    return ok ? status : -1;
}

qint64 QtHttpConnection::contentLength() const
{
    if (!m_reply)
        return -1;
    // Once known, the value is kept for the life of the object.
    if (m_contentLength == -1 && m_reply->hasRawHeader("Content-Length")) {
        bool ok = false;
        const qint64 length = m_reply->rawHeader("Content-Length").trimmed().toLongLong(&ok, 10);
        m_contentLength = ok ? length : -1;
    }
    return m_contentLength;
}

int QtHttpConnection::read(QIODevice* out, int limit)
{
    if (!m_reply)
        return -1;
    const int chunk = qMin(limit, ChunkSize);
    int total = 0;
    while (total < limit) {
        waitFor([this] { return m_reply->bytesAvailable() > 0; });
        const qint64 available = m_reply->bytesAvailable();
        if (available <= 0) {
            // The reply has finished: the end of the body, or a transfer that broke off.
            if (transferFailed() && total == 0)
                total = -1;
            break;
        }
        const qint64 got = m_reply->read(m_buffer.data(), qMin<qint64>(chunk, available));
        if (got <= 0 || !out || out->write(m_buffer.constData(), got) != got) {
            if (total == 0)
                total = -1;
            break;
        }
        total += int(got);
    }
    return total;
}

bool QtHttpConnection::isSecure(const QUrl& url)
{
    return url.scheme() == QLatin1String("https");
}

quint16 QtHttpConnection::effectivePort(const QUrl& url)
{
    const int port = url.port(isSecure(url) ? 443 : 80);
    return port > 0 && port <= 0xffff ? quint16(port) : 0;
}

bool QtHttpConnection::transfer(const QUrl& url, bool isPost, const QByteArray& body,
                                QByteArray* response, const Headers& headers)
{
    dropReply();
    if (!url.isValid())
        return false;
    const bool secure = isSecure(url);
    const quint16 port = effectivePort(url);
    if (port == 0)
        return false;
    if (!connect(url.host(), port))
        return false;

    // Any scheme but "https" is plain HTTP; user name, password and fragment are not sent.
    QUrl target = url;
    target.setScheme(secure ? QStringLiteral("https") : QStringLiteral("http"));
    target.setUserInfo(QString());
    target.setFragment(QString());

    QNetworkRequest request(target);
    request.setAttribute(QNetworkRequest::CacheLoadControlAttribute, QNetworkRequest::AlwaysNetwork);
    request.setAttribute(QNetworkRequest::CacheSaveControlAttribute, false);
    // The same HTTP/1.1 exchange with and without TLS.
    request.setAttribute(QNetworkRequest::Http2AllowedAttribute, false);
    if (m_transferTimeoutMs > 0)
        request.setTransferTimeout(m_transferTimeoutMs);
    request.setRawHeader("Accept", "*/*");
    if (!m_userAgent.isEmpty())
        request.setRawHeader("User-Agent", m_userAgent.toUtf8());
    for (auto it = headers.cbegin(); it != headers.cend(); ++it)
        request.setRawHeader(it.key().toUtf8(), it.value().toUtf8());
    if (isPost && !body.isEmpty() && !request.hasRawHeader("Content-Type")) {
        // QtNetwork insists on a type for a body (and warns when it has to pick one).
        request.setRawHeader("Content-Type", "application/octet-stream");
    }
    if (secure)
        request.setSslConfiguration(sslConfiguration());

    if (m_aborted.load())
        return false;
    QNetworkAccessManager* network = manager();
    QNetworkReply* sent = isPost ? network->post(request, body) : network->get(request);
    {
        QMutexLocker locker(&m_replyLock);
        m_reply = sent;
    }
    // An abort that came while the request was being made must not be lost.
    if (m_aborted.load())
        sent->abort();

    // Sent once the response's status line and headers are in; a reply that broke off
    // after them still hands out the part of the body that came.
    waitFor([this] { return statusCode() != -1; });
    if (statusCode() == -1 && transferFailed())
        return false;

    QByteArray scratch;
    QByteArray* sink = response ? response : &scratch;
    contentLength(); // known from here on; the body is read to its end whatever it says
    sink->clear();
    QBuffer buffer(sink);
    buffer.open(QIODevice::WriteOnly);
    sink->reserve(ChunkSize);
    int got = 0;
    do {
        got = read(&buffer, ChunkSize);
    } while (got >= ChunkSize);
    return got >= 0 && !transferFailed();
}

void QtHttpConnection::waitFor(const std::function<bool()>& done)
{
    if (!m_reply || m_reply->isFinished() || done())
        return;
    QEventLoop loop;
    QNetworkReply* reply = m_reply;
    QObject::connect(reply, &QNetworkReply::metaDataChanged, &loop, &QEventLoop::quit);
    QObject::connect(reply, &QIODevice::readyRead, &loop, &QEventLoop::quit);
    QObject::connect(reply, &QNetworkReply::finished, &loop, &QEventLoop::quit);
    while (m_reply && !m_reply->isFinished() && !done())
        loop.exec();
}

bool QtHttpConnection::transferFailed() const
{
    if (!m_reply)
        return true;
    const QNetworkReply::NetworkError error = m_reply->error();
    if (error == QNetworkReply::NoError)
        return false;
    // QtNetwork reports 4xx and 5xx statuses as errors too (400 and 418 as an invalid
    // operation, 407 as a proxy refusal); their pages are transfers that worked, and callers
    // look at statusCode().
    const bool fromStatus = (error >= QNetworkReply::ContentAccessDenied
                             && error <= QNetworkReply::UnknownContentError)
        || (error >= QNetworkReply::InternalServerError
            && error <= QNetworkReply::UnknownServerError)
        || error == QNetworkReply::ProtocolInvalidOperationError
        || error == QNetworkReply::ProxyAuthenticationRequiredError;
    return !(fromStatus && statusCode() != -1);
}

void QtHttpConnection::abort()
{
    m_aborted.store(true);
    QMutexLocker locker(&m_replyLock);
    // The reply lives on the requesting thread: it is told there, through its event loop.
    if (QNetworkReply* reply = m_reply.data())
        QMetaObject::invokeMethod(reply, &QNetworkReply::abort, Qt::QueuedConnection);
}

void QtHttpConnection::dropReply()
{
    QNetworkReply* reply = nullptr;
    {
        QMutexLocker locker(&m_replyLock);
        reply = m_reply;
        m_reply = nullptr;
    }
    if (!reply)
        return;
    if (reply->thread() == QThread::currentThread()) {
        if (reply->isRunning())
            reply->abort();
        delete reply;
    } else {
        reply->deleteLater();
    }
}

QNetworkAccessManager* QtHttpConnection::manager()
{
    if (m_manager && m_manager->thread() != QThread::currentThread()) {
        disposeOf(m_manager);
        m_manager = nullptr;
    }
    if (!m_manager) {
        useSystemProxyConfiguration();
        m_manager = new QNetworkAccessManager;
    }
    return m_manager;
}

std::shared_ptr<HttpConnection> createHttpConnection(int transferTimeoutMs)
{
    return std::make_shared<QtHttpConnection>(transferTimeoutMs);
}

} // namespace net
