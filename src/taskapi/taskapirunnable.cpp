#include "taskapi/taskapirunnable.h"

#include "base/log.h"
#include "net/httpconnection.h"
#include "net/json.h"
#include "taskapi/itaskapirunnabledelegate.h"

#include <QUrlQuery>
#include <QVariantMap>

namespace taskapi {

TaskApiRunnable::TaskApiRunnable()
    : m_result(ApiResultCategory::Other, -1)
{
    // The client deletes the request once it has reported.
    setAutoDelete(false);
}

TaskApiRunnable::~TaskApiRunnable() = default;

void TaskApiRunnable::run()
{
    std::shared_ptr<net::HttpConnection> connection;
    if (!m_aborted.load())
        connection = m_connectionFactory ? m_connectionFactory() : net::createHttpConnection();
    {
        QMutexLocker locker(&m_connectionLock);
        m_connection = connection;
    }
    // An abort that came while the connection was being made must not be lost.
    if (connection && m_aborted.load())
        connection->abort();
    if (!connection)
        m_result = ApiResult(ApiResultCategory::NetworkError, -1);
    else
        m_result = perform(connection.get());
    {
        QMutexLocker locker(&m_connectionLock);
        m_connection.reset();
    }
    // The delegate may delete this request: nothing may follow.
    if (m_delegate)
        m_delegate->requestFinished(this);
}

void TaskApiRunnable::abort()
{
    m_aborted.store(true);
    QMutexLocker locker(&m_connectionLock);
    if (m_connection)
        m_connection->abort();
}

int TaskApiRunnable::requestType() const
{
    return 0;
}

ApiResult TaskApiRunnable::perform(net::HttpConnection* connection)
{
    if (!connection)
        return ApiResult(ApiResultCategory::Other, -1);

    QUrl address = url();
    Headers extraHeaders = headers();
    if (requiresAuthorization())
        extraHeaders.insert(QStringLiteral("Authorization"),
                            QStringLiteral("OAuth2 ") + (m_delegate ? m_delegate->accessToken() : QString()));
    // Sorted by name, so that the same request always reads the same.
    const QVariantHash parameters = params();
    QVariantMap sorted;
    for (auto it = parameters.cbegin(); it != parameters.cend(); ++it)
        sorted.insert(it.key(), it.value());

    ApiResult outcome(ApiResultCategory::Other, -1);
    if (httpMethod() == Post) {
        bool written = false;
        const QByteArray body = net::serializeJson(sorted, &written);
        if (!written)
            return outcome;
        post(connection, address, extraHeaders, body, &m_response, &outcome);
    } else {
        if (!sorted.isEmpty()) {
            QUrlQuery query;
            for (auto it = sorted.cbegin(); it != sorted.cend(); ++it)
                query.addQueryItem(it.key(), it.value().toString());
            address.setQuery(query);
        }
        get(connection, address, extraHeaders, &m_response, &outcome);
    }
    return outcome;
}

bool TaskApiRunnable::post(net::HttpConnection* connection, const QUrl& url, const Headers& headers,
                           const QByteArray& body, QVariant* response, ApiResult* result)
{
    QByteArray bytes;
    if (!connection->post(url, body, &bytes, headers)) {
        *result = ApiResult(ApiResultCategory::NetworkError, -1);
        return false;
    }
    return readAnswer(connection, "taskapi::TaskApiRunnable::post", url, bytes, response, result);
}

bool TaskApiRunnable::get(net::HttpConnection* connection, const QUrl& url, const Headers& headers, QVariant* response,
                          ApiResult* result)
{
    QByteArray bytes;
    if (!connection->get(url, &bytes, headers)) {
        *result = ApiResult(ApiResultCategory::NetworkError, -1);
        return false;
    }
    return readAnswer(connection, "taskapi::TaskApiRunnable::get", url, bytes, response, result);
}

bool TaskApiRunnable::readAnswer(net::HttpConnection* connection, const char* tag, const QUrl& url,
                                 const QByteArray& bytes, QVariant* response, ApiResult* result)
{
    const QString text = QString::fromUtf8(bytes);
    bool parsed = false;
    const QVariant value = net::parseJson(text, &parsed);
    *response = parsed ? value : QVariant();
    const int status = connection->statusCode();
    MRV_DEBUG(tag, url.toString() + QStringLiteral(" [") + QString::number(status) + QStringLiteral("] - ") + text);
    *result = ApiResult::fromHttpStatus(status);
    return status == 200;
}

int TaskApiRunnable::httpMethod() const
{
    return Get;
}

QUrl TaskApiRunnable::makeUrl(const QString& path) const
{
    if (!m_delegate)
        return QUrl();
    QUrl address;
    address.setScheme(m_delegate->scheme());
    address.setHost(m_delegate->host());
    address.setPort(m_delegate->port());
    address.setPath(path);
    return address;
}

QVariantHash TaskApiRunnable::params() const
{
    return QVariantHash();
}

TaskApiRunnable::Headers TaskApiRunnable::headers() const
{
    return Headers();
}

bool TaskApiRunnable::requiresAuthorization() const
{
    return true;
}

} // namespace taskapi
