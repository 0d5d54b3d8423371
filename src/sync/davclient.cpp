#include "sync/davclient.h"

#include "base/log.h"
#include "net/netservices.h"
#include "net/qthttpconnection.h"
#include "sync/davxml.h"

#include <QEventLoop>
#include <QHash>
#include <QHostAddress>
#include <QMutexLocker>
#include <QNetworkAccessManager>
#include <QNetworkProxyFactory>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QSslConfiguration>
#include <QSslError>
#include <QThread>
#include <QXmlStreamWriter>

#include <mutex>
#include <vector>

namespace sync {

using davxml::CalDavNs;
using davxml::CalendarServerNs;
using davxml::DavNs;

struct DavClient::Request
{
    QByteArray verb;
    QUrl url;
    QByteArray depth; ///< empty: no Depth header
    QByteArray body;
    QByteArray contentType;
    QList<QPair<QByteArray, QByteArray>> headers;
};

struct DavClient::Answer
{
    DavError error;
    int status = -1;
    QUrl url; ///< where the answer came from, after redirects
    QByteArray body;
    QByteArray contentType;
    QByteArray etag;
};

namespace {

const char CollectionProperties[] =
    "<D:resourcetype/><D:displayname/><C:supported-calendar-component-set/>"
    "<D:supported-report-set/><D:sync-token/><CS:getctag/>";

QByteArray propfind(const QByteArray& properties)
{
    return "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n"
           "<D:propfind xmlns:D=\"DAV:\" xmlns:C=\"urn:ietf:params:xml:ns:caldav\""
           " xmlns:CS=\"http://calendarserver.org/ns/\"><D:prop>"
        + properties + "</D:prop></D:propfind>";
}

const QByteArray XmlType = "application/xml; charset=utf-8";

QUrl withTrailingSlash(QUrl url)
{
    if (!url.path().endsWith(QLatin1Char('/')))
        url.setPath(url.path(QUrl::FullyEncoded) + QLatin1Char('/'), QUrl::StrictMode);
    return url;
}

bool isObjectUrl(const QUrl& url, const QUrl& collection)
{
    return url != collection && !url.path().endsWith(QLatin1Char('/'));
}

bool isXml(const QByteArray& contentType)
{
    const QByteArray type = contentType.split(';').value(0).trimmed().toLower();
    return type == "application/xml" || type == "text/xml";
}

QString displayed(const QUrl& url)
{
    return url.toDisplayString(QUrl::RemoveUserInfo);
}

/// The error an unsuccessful status stands for.
DavError statusError(int status, const QUrl& url)
{
    DavError error;
    error.status = status;
    if (status == 401) {
        error.kind = DavError::Auth;
        error.message = DavClient::tr("The server refused the user name or password.");
    } else if (status == 403) {
        error.kind = DavError::Forbidden;
        error.message = DavClient::tr("The server does not allow this for %1.").arg(displayed(url));
    } else if (status == 404 || status == 410) {
        error.kind = DavError::NotFound;
        error.message = DavClient::tr("%1 is not on the server.").arg(displayed(url));
    } else if (status == 412) {
        error.kind = DavError::Precondition;
        error.message = DavClient::tr("%1 was changed on the server in the meantime.").arg(displayed(url));
    } else if (status >= 500) {
        error.kind = DavError::Server;
        error.message = DavClient::tr("The server failed with status %1 for %2.").arg(status).arg(displayed(url));
    } else {
        error.kind = DavError::Server;
        error.message = DavClient::tr("The server refused the request for %1 with status %2.")
                            .arg(displayed(url))
                            .arg(status);
    }
    return error;
}

DavError badAnswer(const QString& message)
{
    DavError error;
    error.kind = DavError::BadAnswer;
    error.message = message;
    return error;
}

/// The calendar in `response`, false when it is not a calendar.
bool readCollection(const davxml::Response& response, DavCollection* collection)
{
    const davxml::Property* type = response.property(DavNs, QLatin1String("resourcetype"));
    if (!type || !type->contains(CalDavNs, QLatin1String("calendar")))
        return false;
    collection->url = withTrailingSlash(response.url);
    collection->displayName = response.text(DavNs, QLatin1String("displayname"));
    const davxml::Property* components =
        response.property(CalDavNs, QLatin1String("supported-calendar-component-set"));
    collection->holdsTasks =
        !components || components->components.isEmpty() || components->components.contains(QLatin1String("VTODO"));
    const davxml::Property* reports = response.property(DavNs, QLatin1String("supported-report-set"));
    collection->supportsSyncCollection = reports && reports->contains(DavNs, QLatin1String("sync-collection"));
    collection->syncToken = response.text(DavNs, QLatin1String("sync-token")).toUtf8();
    collection->ctag = response.text(CalendarServerNs, QLatin1String("getctag")).toUtf8();
    return true;
}

const davxml::Response* responseFor(const davxml::Multistatus& multistatus, const QUrl& url)
{
    const QUrl wanted = withTrailingSlash(davxml::normalizedUrl(url));
    for (const davxml::Response& response : multistatus.responses) {
        if (withTrailingSlash(response.url) == wanted)
            return &response;
    }
    // A server may answer for another spelling of the same resource (after a redirect).
    return multistatus.responses.size() == 1 ? &multistatus.responses.first() : nullptr;
}

QUrl firstHref(const davxml::Response* response, QLatin1String ns, QLatin1String name)
{
    const davxml::Property* property = response ? response->property(ns, name) : nullptr;
    return property && !property->hrefs.isEmpty() ? property->hrefs.first() : QUrl();
}

bool isLoopback(const QString& host)
{
    if (host.compare(QLatin1String("localhost"), Qt::CaseInsensitive) == 0)
        return true;
    const QHostAddress address(host);
    return !address.isNull() && address.isLoopback();
}

/// Whether the reply failed in its transfer (connection, TLS, cut body) rather than with an
/// HTTP status whose answer arrived whole.
bool isTransferError(QNetworkReply::NetworkError error)
{
    if (error == QNetworkReply::NoError)
        return false;
    const bool fromStatus = (error >= QNetworkReply::ContentAccessDenied && error <= QNetworkReply::UnknownContentError)
        || error == QNetworkReply::ProtocolInvalidOperationError
        || (error >= QNetworkReply::InternalServerError && error <= QNetworkReply::UnknownServerError);
    return !fromStatus;
}

} // namespace

/// One request, through its redirects, on the calling thread's manager.
class DavClient::Exchange
{
public:
    Exchange(DavClient* client, Request request)
        : m_client(client)
        , m_request(std::move(request))
        , m_url(m_request.url)
    {
    }

    ~Exchange()
    {
        if (m_reply) {
            m_client->_untrack(m_reply);
            m_reply->disconnect();
            m_reply->abort();
            m_spent.append(m_reply);
        }
        qDeleteAll(m_spent);
    }

    void start(const std::function<void()>& onDone)
    {
        m_onDone = onDone;
        _send();
    }

    bool isDone() const { return m_done; }
    const Request& request() const { return m_request; }
    const Answer& answer() const { return m_answer; }

private:
    void _send()
    {
        m_body.clear();
        m_sslErrors.clear();
        m_tooLarge = false;
        if (m_client->m_aborted.load())
            return _fail(DavError::Aborted, tr("The sync was stopped."));
        if (!DavClient::isAllowed(m_url)) {
            return _fail(DavError::Insecure,
                         tr("%1 is not an encrypted (https) address; only this computer may be reached without "
                            "encryption.")
                             .arg(displayed(m_url)));
        }

        QUrl target = m_url;
        target.setUserInfo(QString());
        target.setFragment(QString());
        QNetworkRequest request(target);
        request.setAttribute(QNetworkRequest::CacheLoadControlAttribute, QNetworkRequest::AlwaysNetwork);
        request.setAttribute(QNetworkRequest::CacheSaveControlAttribute, false);
        request.setAttribute(QNetworkRequest::Http2AllowedAttribute, false);
        // Redirects are followed here, so that each hop is checked and keeps the credentials.
        request.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::ManualRedirectPolicy);
        // The manager never answers a 401 with stored credentials: one refusal is final.
        request.setAttribute(QNetworkRequest::AuthenticationReuseAttribute, QNetworkRequest::Manual);
        if (m_client->m_transferTimeoutMs > 0)
            request.setTransferTimeout(m_client->m_transferTimeoutMs);
        request.setRawHeader("User-Agent", NetServices::userAgent().toUtf8());
        const QString credentials = m_client->m_user + QLatin1Char(':') + m_client->m_password;
        request.setRawHeader("Authorization", "Basic " + credentials.toUtf8().toBase64());
        if (!m_request.depth.isEmpty())
            request.setRawHeader("Depth", m_request.depth);
        if (!m_request.contentType.isEmpty())
            request.setRawHeader("Content-Type", m_request.contentType);
        for (const auto& header : m_request.headers)
            request.setRawHeader(header.first, header.second);
        if (target.scheme() == QLatin1String("https"))
            request.setSslConfiguration(net::sslConfiguration());

        QNetworkReply* reply = m_client->_manager()->sendCustomRequest(request, m_request.verb, m_request.body);
        ++m_client->m_requests;
        m_reply = reply;
        m_client->_track(reply);
        QObject::connect(reply, &QNetworkReply::metaDataChanged, reply, [this, reply] {
            bool ok = false;
            const qint64 length = reply->header(QNetworkRequest::ContentLengthHeader).toLongLong(&ok);
            if (ok && length > MaxAnswerBytes)
                _tooLarge();
        });
        QObject::connect(reply, &QNetworkReply::readyRead, reply, [this, reply] {
            m_body += reply->readAll();
            if (m_body.size() > MaxAnswerBytes)
                _tooLarge();
        });
        QObject::connect(reply, &QNetworkReply::sslErrors, reply,
                         [this](const QList<QSslError>& errors) { m_sslErrors = errors; });
        QObject::connect(reply, &QNetworkReply::finished, reply, [this] { _finished(); });
        // An abort that came while the request was being made must not be lost.
        if (m_client->m_aborted.load())
            reply->abort();
    }

    void _tooLarge()
    {
        m_tooLarge = true;
        m_body.clear();
        m_reply->abort();
    }

    void _finished()
    {
        QNetworkReply* reply = m_reply;
        m_client->_untrack(reply);
        m_reply = nullptr;
        m_spent.append(reply); // deleted with the exchange: never inside its own signal
        if (!m_tooLarge && reply->isOpen())
            m_body += reply->readAll();

        const QVariant statusValue = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute);
        const int status = statusValue.isValid() ? statusValue.toInt() : -1;
        const QNetworkReply::NetworkError error = reply->error();
        const QString host = m_url.host();
        if (m_tooLarge)
            return _fail(DavError::TooLarge, tr("The answer from %1 is larger than 256 MiB.").arg(host));
        if (error == QNetworkReply::OperationCanceledError && m_client->m_aborted.load())
            return _fail(DavError::Aborted, tr("The sync was stopped."));
        if (error == QNetworkReply::OperationCanceledError || error == QNetworkReply::TimeoutError) {
            return _fail(DavError::Timeout, tr("%1 did not answer within %2 seconds.")
                                                .arg(host)
                                                .arg(m_client->m_transferTimeoutMs / 1000.0));
        }
        if (!m_sslErrors.isEmpty() || error == QNetworkReply::SslHandshakeFailedError) {
            QStringList reasons;
            for (const QSslError& sslError : qAsConst(m_sslErrors))
                reasons.append(sslError.errorString());
            // A handshake that fails without a certificate complaint is no trust question: most
            // often the server does not speak https on that port.
            if (reasons.isEmpty()) {
                return _fail(DavError::Tls, tr("A secure connection to %1 could not be made (%2); does the server "
                                               "offer https on that port?")
                                                .arg(host, reply->errorString()));
            }
            return _fail(DavError::Tls, tr("The server's certificate for %1 is not trusted: %2.")
                                            .arg(host, reasons.join(QLatin1String("; "))));
        }
        if (status == -1) {
            return _fail(DavError::Network,
                         tr("The connection to %1 failed: %2.").arg(host, reply->errorString()));
        }
        // QtNetwork may take a connection closed before the promised length for the end.
        bool known = false;
        const qint64 promised = reply->rawHeader("Content-Length").toLongLong(&known);
        const bool cut = known && !reply->hasRawHeader("Content-Encoding") && status >= 200 && status <= 299
            && m_body.size() < promised;
        if (isTransferError(error) || cut) {
            return _fail(DavError::Network,
                         tr("The connection to %1 broke off before the whole answer arrived.").arg(host));
        }

        if (status == 301 || status == 302 || status == 303 || status == 307 || status == 308) {
            const QUrl location = reply->attribute(QNetworkRequest::RedirectionTargetAttribute).toUrl();
            if (!location.isValid() || location.isEmpty())
                return _fail(DavError::BadAnswer, tr("The server at %1 redirected nowhere.").arg(host));
            const QUrl next = m_url.resolved(location);
            if (++m_redirects > MaxRedirects)
                return _fail(DavError::TooManyRedirects, tr("The server at %1 redirected too many times.").arg(host));
            if (m_url.scheme() == QLatin1String("https") && next.scheme() != QLatin1String("https")) {
                return _fail(DavError::Insecure,
                             tr("The server at %1 redirected to an unencrypted address.").arg(host));
            }
            m_url = next;
            return _send();
        }

        m_answer.status = status;
        m_answer.url = m_url;
        m_answer.body = m_body;
        m_answer.contentType = reply->rawHeader("Content-Type");
        m_answer.etag = reply->rawHeader("ETag");
        if (status < 200 || status > 299) {
            m_answer.error = statusError(status, m_url);
            if (m_answer.error.kind == DavError::Server || m_answer.error.kind == DavError::Forbidden) {
                MRV_WARNING_BURST("sync::DavClient", QStringLiteral("%1 %2: status %3")
                                                         .arg(QString::fromLatin1(m_request.verb), displayed(m_url))
                                                         .arg(status));
            }
        }
        _done();
    }

    void _fail(DavError::Kind kind, const QString& message)
    {
        m_answer.error.kind = kind;
        m_answer.error.message = message;
        m_answer.url = m_url;
        if (kind != DavError::Aborted) {
            const QString verb = QString::fromLatin1(m_request.verb);
            MRV_WARNING_BURST("sync::DavClient", QStringLiteral("%1 %2: %3").arg(verb, displayed(m_url), message));
        }
        _done();
    }

    void _done()
    {
        m_done = true;
        if (m_onDone)
            m_onDone();
    }

    DavClient* m_client;
    Request m_request;
    QUrl m_url;
    int m_redirects = 0;
    QNetworkReply* m_reply = nullptr;
    QList<QNetworkReply*> m_spent;
    QByteArray m_body;
    QList<QSslError> m_sslErrors;
    bool m_tooLarge = false;
    bool m_done = false;
    Answer m_answer;
    std::function<void()> m_onDone;
};

DavClient::DavClient(const QString& user, const QString& password, int transferTimeoutMs)
    : m_user(user)
    , m_password(password)
    , m_transferTimeoutMs(transferTimeoutMs)
{
}

DavClient::~DavClient()
{
    if (!m_manager)
        return;
    if (m_manager->thread() == QThread::currentThread())
        delete m_manager;
    else
        m_manager->deleteLater();
}

bool DavClient::isAllowed(const QUrl& url)
{
    if (!url.isValid() || url.host().isEmpty())
        return false;
    const QString scheme = url.scheme().toLower();
    return scheme == QLatin1String("https") || (scheme == QLatin1String("http") && isLoopback(url.host()));
}

QUrl DavClient::normalizedUrl(const QUrl& url)
{
    return davxml::normalizedUrl(url);
}

void DavClient::abort()
{
    m_aborted.store(true);
    QMutexLocker locker(&m_inFlightLock);
    // Replies live on the requesting thread: they are told there, through its event loop.
    for (QNetworkReply* reply : qAsConst(m_inFlight))
        QMetaObject::invokeMethod(reply, &QNetworkReply::abort, Qt::QueuedConnection);
}

void DavClient::_track(QNetworkReply* reply)
{
    QMutexLocker locker(&m_inFlightLock);
    m_inFlight.append(reply);
}

void DavClient::_untrack(QNetworkReply* reply)
{
    QMutexLocker locker(&m_inFlightLock);
    m_inFlight.removeOne(reply);
}

QNetworkAccessManager* DavClient::_manager()
{
    if (m_manager && m_manager->thread() != QThread::currentThread()) {
        m_manager->deleteLater();
        m_manager = nullptr;
    }
    if (!m_manager) {
        static std::once_flag once;
        std::call_once(once, [] { QNetworkProxyFactory::setUseSystemConfiguration(true); });
        m_manager = new QNetworkAccessManager;
    }
    return m_manager;
}

void DavClient::_run(int jobs, int parallel,
                     const std::function<std::unique_ptr<Exchange>(int job, Exchange* previous)>& next)
{
    QEventLoop loop;
    const auto onDone = [&loop] { loop.quit(); };
    std::vector<std::unique_ptr<Exchange>> current(size_t(qMax(jobs, 0)));
    int started = 0;
    int running = 0;
    int finished = 0;
    while (finished < jobs) {
        // Exchanges may end at once (refused before sending): then no event would wake the loop.
        bool progressed = false;
        for (int job = 0; job < jobs; ++job) {
            std::unique_ptr<Exchange>& exchange = current[size_t(job)];
            while (exchange && exchange->isDone()) {
                progressed = true;
                exchange = next(job, exchange.get());
                if (exchange) {
                    exchange->start(onDone);
                } else {
                    --running;
                    ++finished;
                }
            }
        }
        while (running < parallel && started < jobs) {
            progressed = true;
            const int job = started++;
            current[size_t(job)] = next(job, nullptr);
            ++running;
            if (current[size_t(job)]) {
                current[size_t(job)]->start(onDone);
            } else {
                --running;
                ++finished;
            }
        }
        if (!progressed)
            loop.exec();
    }
}

DavError DavClient::_readMultistatus(const Answer& answer, davxml::Multistatus* result)
{
    if (!answer.error.ok())
        return answer.error;
    if (!isXml(answer.contentType))
        return badAnswer(tr("The server's answer is not WebDAV XML."));
    QString why;
    if (!davxml::parseMultistatus(answer.body, answer.url, result, &why)) {
        MRV_WARNING_BURST("sync::DavClient", QStringLiteral("%1: %2").arg(displayed(answer.url), why));
        return badAnswer(tr("The server's answer could not be read: %1.").arg(why));
    }
    return DavError();
}

DavClient::Answer DavClient::_send(const Request& request)
{
    Answer answer;
    _run(1, 1, [&](int, Exchange* previous) -> std::unique_ptr<Exchange> {
        if (previous) {
            answer = previous->answer();
            return nullptr;
        }
        return std::make_unique<Exchange>(this, request);
    });
    return answer;
}

DavError DavClient::discover(const QUrl& start, QUrl* home, QList<DavCollection>* lists)
{
    lists->clear();
    *home = QUrl();
    const QUrl startUrl = normalizedUrl(start);
    const bool hostOnly = start.path().isEmpty() || start.path() == QLatin1String("/");

    const Answer first = _send({"PROPFIND", startUrl, "0",
                                propfind(QByteArray(CollectionProperties)
                                         + "<D:current-user-principal/><C:calendar-home-set/>"),
                                XmlType, {}});
    davxml::Multistatus answer;
    DavError error = _readMultistatus(first, &answer);
    // A host's root may be no WebDAV resource at all: then the well-known address tells.
    const bool tryWellKnown = hostOnly
        && (error.ok() || error.kind == DavError::NotFound || error.kind == DavError::Forbidden
            || error.kind == DavError::Server || error.kind == DavError::BadAnswer);
    if (!error.ok() && !tryWellKnown)
        return error;
    const davxml::Response* own = error.ok() ? responseFor(answer, startUrl) : nullptr;

    DavCollection collection;
    if (own && readCollection(*own, &collection)) {
        *home = normalizedUrl(collection.url.resolved(QUrl(QStringLiteral(".."))));
        if (collection.holdsTasks)
            lists->append(collection);
        return DavError();
    }

    QUrl principal = firstHref(own, DavNs, QLatin1String("current-user-principal"));
    QUrl homeSet = firstHref(own, CalDavNs, QLatin1String("calendar-home-set"));
    if (principal.isEmpty() && tryWellKnown) {
        QUrl wellKnown = startUrl;
        wellKnown.setPath(QStringLiteral("/.well-known/caldav"));
        const Answer second = _send({"PROPFIND", wellKnown, "0", propfind("<D:current-user-principal/>"), XmlType, {}});
        error = _readMultistatus(second, &answer);
        if (!error.ok())
            return error;
        principal = firstHref(answer.responses.isEmpty() ? nullptr : &answer.responses.first(), DavNs,
                              QLatin1String("current-user-principal"));
        if (principal.isEmpty()) {
            return badAnswer(tr("The server at %1 does not say where this user's task lists are.")
                                 .arg(startUrl.host()));
        }
    }

    if (principal.isEmpty()) {
        // No principal to ask: what the user typed is taken for the calendar home.
        *home = withTrailingSlash(startUrl);
    } else {
        if (withTrailingSlash(principal) != withTrailingSlash(startUrl) || homeSet.isEmpty()) {
            const Answer third = _send({"PROPFIND", principal, "0", propfind("<C:calendar-home-set/>"), XmlType, {}});
            error = _readMultistatus(third, &answer);
            if (!error.ok())
                return error;
            homeSet = firstHref(responseFor(answer, principal), CalDavNs, QLatin1String("calendar-home-set"));
        }
        if (homeSet.isEmpty()) {
            return badAnswer(tr("The server at %1 has no calendar home for this user.").arg(startUrl.host()));
        }
        *home = withTrailingSlash(homeSet);
    }
    return listCollections(*home, lists);
}

DavError DavClient::listCollections(const QUrl& home, QList<DavCollection>* lists)
{
    lists->clear();
    const QUrl homeUrl = withTrailingSlash(normalizedUrl(home));
    davxml::Multistatus answer;
    const DavError error =
        _readMultistatus(_send({"PROPFIND", homeUrl, "1", propfind(CollectionProperties), XmlType, {}}), &answer);
    if (!error.ok())
        return error;
    for (const davxml::Response& response : answer.responses) {
        DavCollection collection;
        if (response.status != 404 && readCollection(response, &collection) && collection.url != homeUrl
            && collection.holdsTasks) {
            lists->append(collection);
        }
    }
    return DavError();
}

DavError DavClient::collectionInfo(const QUrl& collection, DavCollection* info)
{
    const QUrl url = withTrailingSlash(normalizedUrl(collection));
    davxml::Multistatus answer;
    const DavError error =
        _readMultistatus(_send({"PROPFIND", url, "0", propfind(CollectionProperties), XmlType, {}}), &answer);
    if (!error.ok())
        return error;
    const davxml::Response* response = responseFor(answer, url);
    if (!response || !readCollection(*response, info))
        return badAnswer(tr("%1 is not a task list on the server.").arg(displayed(url)));
    return DavError();
}

DavError DavClient::makeCalendar(const QUrl& url, const QString& displayName)
{
    QByteArray body;
    QXmlStreamWriter xml(&body);
    xml.writeStartDocument();
    xml.writeNamespace(DavNs, QStringLiteral("D"));
    xml.writeNamespace(CalDavNs, QStringLiteral("C"));
    xml.writeStartElement(CalDavNs, QStringLiteral("mkcalendar"));
    xml.writeStartElement(DavNs, QStringLiteral("set"));
    xml.writeStartElement(DavNs, QStringLiteral("prop"));
    xml.writeTextElement(DavNs, QStringLiteral("displayname"), displayName);
    xml.writeStartElement(CalDavNs, QStringLiteral("supported-calendar-component-set"));
    xml.writeEmptyElement(CalDavNs, QStringLiteral("comp"));
    xml.writeAttribute(QStringLiteral("name"), QStringLiteral("VTODO"));
    xml.writeEndDocument();

    const QUrl target = withTrailingSlash(normalizedUrl(url));
    Answer answer = _send({"MKCALENDAR", target, QByteArray(), body, XmlType, {}});
    if (answer.status == 405) {
        answer.error.kind = DavError::Server;
        answer.error.message = tr("Something already exists at %1 on the server.").arg(displayed(target));
    }
    return answer.error;
}

DavError DavClient::syncCollection(const QUrl& collection, const QByteArray& token, DavChanges* changes)
{
    *changes = DavChanges();
    const QUrl url = withTrailingSlash(normalizedUrl(collection));
    QHash<QUrl, qsizetype> changedAt;
    QByteArray since = token;
    // A server may hand out the changes in parts: a 507 for the collection says more follow.
    for (int part = 0; part < 1000; ++part) {
        QByteArray body;
        QXmlStreamWriter xml(&body);
        xml.writeStartDocument();
        xml.writeNamespace(DavNs, QStringLiteral("D"));
        xml.writeStartElement(DavNs, QStringLiteral("sync-collection"));
        xml.writeTextElement(DavNs, QStringLiteral("sync-token"), QString::fromUtf8(since));
        xml.writeTextElement(DavNs, QStringLiteral("sync-level"), QStringLiteral("1"));
        xml.writeStartElement(DavNs, QStringLiteral("prop"));
        xml.writeEmptyElement(DavNs, QStringLiteral("getetag"));
        xml.writeEndDocument();

        const Answer answer = _send({"REPORT", url, "0", body, XmlType, {}});
        if ((answer.status == 403 || answer.status == 409)
            && (!since.isEmpty() || answer.body.contains("valid-sync-token"))) {
            DavError error;
            error.kind = DavError::InvalidSyncToken;
            error.status = answer.status;
            error.message = tr("The server no longer knows the state of %1 from the last sync.").arg(displayed(url));
            return error;
        }
        davxml::Multistatus multistatus;
        const DavError error = _readMultistatus(answer, &multistatus);
        if (!error.ok())
            return error;
        if (multistatus.syncToken.isEmpty())
            return badAnswer(tr("The server's answer for %1 has no sync token.").arg(displayed(url)));

        bool truncated = false;
        for (const davxml::Response& response : multistatus.responses) {
            if (withTrailingSlash(response.url) == url) {
                truncated = truncated || response.status == 507;
                continue;
            }
            if (!response.url.path().endsWith(QLatin1String(".ics")))
                continue;
            const auto earlier = changedAt.constFind(response.url);
            if (response.status == 404) {
                if (earlier != changedAt.cend()) {
                    changes->changed[earlier.value()].etag.clear();
                    changes->changed[earlier.value()].url.clear();
                }
                changes->removed.append(response.url);
            } else {
                DavObject object;
                object.url = response.url;
                object.etag = response.text(DavNs, QLatin1String("getetag")).toUtf8();
                if (earlier != changedAt.cend()) {
                    changes->changed[earlier.value()] = object;
                } else {
                    changedAt.insert(object.url, changes->changed.size());
                    changes->changed.append(object);
                }
                changes->removed.removeAll(object.url);
            }
        }
        since = multistatus.syncToken;
        if (!truncated)
            break;
    }
    changes->changed.removeIf([](const DavObject& object) { return object.url.isEmpty(); });
    changes->newToken = since;
    return DavError();
}

DavError DavClient::listObjects(const QUrl& collection, QList<DavObject>* objects)
{
    objects->clear();
    const QUrl url = withTrailingSlash(normalizedUrl(collection));
    const QByteArray query =
        "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n"
        "<C:calendar-query xmlns:D=\"DAV:\" xmlns:C=\"urn:ietf:params:xml:ns:caldav\">"
        "<D:prop><D:getetag/></D:prop>"
        "<C:filter><C:comp-filter name=\"VCALENDAR\"><C:comp-filter name=\"VTODO\"/></C:comp-filter></C:filter>"
        "</C:calendar-query>";
    Answer answer = _send({"REPORT", url, "1", query, XmlType, {}});
    // Without calendar queries, the members with their entity tags are listed instead.
    if (answer.error.kind == DavError::Forbidden
        || (answer.error.kind == DavError::Server && (answer.status < 500 || answer.status == 501))) {
        answer = _send({"PROPFIND", url, "1", propfind("<D:getetag/>"), XmlType, {}});
    }
    davxml::Multistatus multistatus;
    const DavError error = _readMultistatus(answer, &multistatus);
    if (!error.ok())
        return error;
    for (const davxml::Response& response : multistatus.responses) {
        if (response.status == 404 || !isObjectUrl(response.url, url))
            continue;
        objects->append({response.url, response.text(DavNs, QLatin1String("getetag")).toUtf8(), QByteArray()});
    }
    return DavError();
}

DavError DavClient::fetchObjects(const QUrl& collection, const QList<QUrl>& urls, QList<DavObject>* objects)
{
    objects->clear();
    const QUrl url = withTrailingSlash(normalizedUrl(collection));
    for (qsizetype from = 0; from < urls.size(); from += MultigetBatch) {
        QByteArray body;
        QXmlStreamWriter xml(&body);
        xml.writeStartDocument();
        xml.writeNamespace(DavNs, QStringLiteral("D"));
        xml.writeNamespace(CalDavNs, QStringLiteral("C"));
        xml.writeStartElement(CalDavNs, QStringLiteral("calendar-multiget"));
        xml.writeStartElement(DavNs, QStringLiteral("prop"));
        xml.writeEmptyElement(DavNs, QStringLiteral("getetag"));
        xml.writeEmptyElement(CalDavNs, QStringLiteral("calendar-data"));
        xml.writeEndElement();
        for (const QUrl& object : urls.mid(from, MultigetBatch))
            xml.writeTextElement(DavNs, QStringLiteral("href"),
                                 normalizedUrl(url.resolved(object)).path(QUrl::FullyEncoded));
        xml.writeEndDocument();

        davxml::Multistatus multistatus;
        const DavError error = _readMultistatus(_send({"REPORT", url, "1", body, XmlType, {}}), &multistatus);
        if (!error.ok())
            return error;
        for (const davxml::Response& response : multistatus.responses) {
            const davxml::Property* data = response.property(CalDavNs, QLatin1String("calendar-data"));
            if (response.status == 404 || !data || !isObjectUrl(response.url, url))
                continue;
            const QByteArray etag = response.text(DavNs, QLatin1String("getetag")).toUtf8();
            objects->append({response.url, etag, data->text.toUtf8()});
        }
    }
    return DavError();
}

QList<DavWriteResult> DavClient::write(const QList<DavWrite>& writes, int parallel)
{
    QList<DavWriteResult> results(writes.size());
    _run(int(writes.size()), qMax(1, parallel), [&](int job, Exchange* previous) -> std::unique_ptr<Exchange> {
        const DavWrite& write = writes.at(job);
        const QUrl url = normalizedUrl(write.url);
        DavWriteResult& result = results[job];
        if (!previous) {
            Request request;
            request.url = url;
            if (write.method == DavWrite::Put) {
                request.verb = "PUT";
                request.body = write.ics;
                request.contentType = "text/calendar; charset=utf-8";
                if (write.ifMatch.isEmpty())
                    request.headers.append(qMakePair(QByteArray("If-None-Match"), QByteArray("*")));
            } else {
                request.verb = "DELETE";
            }
            if (!write.ifMatch.isEmpty())
                request.headers.append(qMakePair(QByteArray("If-Match"), write.ifMatch));
            return std::make_unique<Exchange>(this, request);
        }
        const Answer& answer = previous->answer();
        if (previous->request().verb == "PROPFIND") {
            davxml::Multistatus multistatus;
            result.error = _readMultistatus(answer, &multistatus);
            if (result.error.ok()) {
                const davxml::Response* response = responseFor(multistatus, previous->request().url);
                result.etag = response ? response->text(DavNs, QLatin1String("getetag")).toUtf8() : QByteArray();
            }
            return nullptr;
        }
        result.error = answer.error;
        if (write.method == DavWrite::Put && answer.error.ok()) {
            result.etag = answer.etag;
            // Without the new tag the next sync could not tell this write from a change on
            // the server.
            if (result.etag.isEmpty())
                return std::make_unique<Exchange>(this, Request{"PROPFIND", answer.url, "0", propfind("<D:getetag/>"),
                                                                XmlType, {}});
        }
        return nullptr;
    });
    return results;
}

} // namespace sync
