// The WebDAV client against a real Radicale, and against scripted servers for the answers a
// good server never gives. The scripted servers run on the test's thread; their client runs on
// a worker thread, as in the sync engine.

#include "net/qthttpconnection.h"
#include "support/httptestserver.h"
#include "support/radicaleserver.h"
#include "support/testenv.h"
#include "sync/davclient.h"

#include <QElapsedTimer>
#include <QSslSocket>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>

#include <functional>
#include <memory>

using sync::DavClient;
using sync::DavCollection;
using sync::DavError;
using sync::DavWrite;
using testhttp::ScriptedServer;
using Values = QList<QByteArray>;

Q_DECLARE_METATYPE(DavError::Kind)

// QSKIP leaves only the function it is written in.
#define REQUIRE_RADICALE() \
    if (!m_radicale) \
    QSKIP("radicale is not installed")

namespace {

void onWorkerThread(const std::function<void()>& work)
{
    QThread* thread = QThread::create(work);
    QEventLoop loop;
    QObject::connect(thread, &QThread::finished, &loop, &QEventLoop::quit);
    thread->start();
    loop.exec();
    thread->wait();
    delete thread;
}

QByteArray answer(int status, const QByteArray& type, const QByteArray& body, const QByteArray& extra = {},
                  qint64 length = -2)
{
    return "HTTP/1.1 " + QByteArray::number(status) + " Status\r\nContent-Type: " + type + "\r\n" + extra
        + "Connection: close\r\nContent-Length: " + QByteArray::number(length == -2 ? body.size() : length)
        + "\r\n\r\n" + body;
}

QByteArray multistatus(const QByteArray& responses)
{
    return answer(207, "application/xml; charset=utf-8",
                  "<?xml version=\"1.0\"?><D:multistatus xmlns:D=\"DAV:\" xmlns:C=\"urn:ietf:params:xml:ns:caldav\">"
                      + responses + "</D:multistatus>");
}

QByteArray withEtag(const QByteArray& href, const QByteArray& etag)
{
    return "<D:response><D:href>" + href + "</D:href><D:propstat><D:prop><D:getetag>" + etag
        + "</D:getetag></D:prop><D:status>HTTP/1.1 200 OK</D:status></D:propstat></D:response>";
}

DavWrite put(const QUrl& url, const QByteArray& ifMatch = {}, const QString& summary = QStringLiteral("Buy milk"))
{
    const QString ics = QStringLiteral("BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//Mirevo//Tests//EN\r\n"
                                       "BEGIN:VTODO\r\nUID:%1\r\nDTSTAMP:20240101T000000Z\r\nSUMMARY:%2\r\n"
                                       "END:VTODO\r\nEND:VCALENDAR\r\n");
    return {DavWrite::Put, url, ics.arg(url.fileName(), summary).toUtf8(), ifMatch};
}

DavWrite deletion(const QUrl& url, const QByteArray& ifMatch = {})
{
    return {DavWrite::Delete, url, QByteArray(), ifMatch};
}

} // namespace

class TstDavClient : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_certificates;
    bool m_haveCertificates = false;
    QSslCertificate m_untrusted, m_trusted;
    QSslKey m_untrustedKey, m_trustedKey;
    std::unique_ptr<RadicaleServer> m_radicale;

    std::unique_ptr<DavClient> _client()
    {
        return std::make_unique<DavClient>(m_radicale->user(), m_radicale->password(), 10000);
    }

    QUrl _list(const QString& name)
    {
        return DavClient::normalizedUrl(m_radicale->userUrl().resolved(QUrl(name + QLatin1Char('/'))));
    }

private Q_SLOTS:
    void initTestCase()
    {
        for (const char* name : {"http_proxy", "https_proxy", "all_proxy", "HTTP_PROXY", "HTTPS_PROXY", "ALL_PROXY"})
            qunsetenv(name);
        QVERIFY(m_certificates.isValid());
        if (QSslSocket::supportsSsl() && !QStandardPaths::findExecutable(QStringLiteral("openssl")).isEmpty()) {
            const QString folder = m_certificates.path();
            m_haveCertificates =
                testhttp::makeCertificate(folder, QStringLiteral("untrusted"), &m_untrusted, &m_untrustedKey)
                && testhttp::makeCertificate(folder, QStringLiteral("trusted"), &m_trusted, &m_trustedKey);
            net::addTrustedCertificates({m_trusted});
        }
        if (RadicaleServer::available()) {
            m_radicale = std::make_unique<RadicaleServer>();
            QString error;
            QVERIFY2(m_radicale->start(&error), qPrintable(error));
        }
    }

    void badAnswers_data()
    {
        QTest::addColumn<QByteArray>("response"); // empty: the server never answers
        QTest::addColumn<DavError::Kind>("kind");
        QTest::addColumn<int>("requests"); // that reached the server
        QTest::addColumn<QString>("said");
        QTest::addColumn<QString>("tls"); // "", "trusted" or "untrusted"
        QTest::addColumn<QString>("url"); // empty: the scripted server's /cal/
        const auto row = [](const char* name, const QByteArray& response, DavError::Kind kind, int requests,
                            const char* said = "", const char* tls = "", const char* url = "") {
            QTest::newRow(name) << response << kind << requests << QString::fromLatin1(said)
                                << QString::fromLatin1(tls) << QString::fromLatin1(url);
        };
        const QByteArray valid = multistatus("<D:response><D:href>/cal/</D:href></D:response>");
        row("malformed XML", multistatus("<D:response><D:href>/cal/</D:respons>"), DavError::BadAnswer, 1,
            "could not be read");
        row("not a multistatus", answer(207, "text/xml", "<html><body/></html>"), DavError::BadAnswer, 1);
        row("body cut mid-way", answer(207, "application/xml", "<D:multistatus xmlns:D=\"DAV:\">", {}, 5000),
            DavError::Network, 1, "broke off");
        row("endless redirect", answer(301, "text/plain", "", "Location: /elsewhere/\r\n"), DavError::TooManyRedirects,
            6);
        row("https redirected to http", answer(302, "text/plain", "", "Location: http://127.0.0.1:1/cal/\r\n"),
            DavError::Insecure, 1, "", "trusted");
        row("500", answer(500, "text/plain", "oops"), DavError::Server, 1, "500");
        row("400", answer(400, "text/plain", "no"), DavError::Server, 1, "refused the request");
        row("slow server", QByteArray(), DavError::Timeout, 1);
        row("stopped while waiting", QByteArray(), DavError::Aborted, 1);
        row("password refused", answer(401, "text/plain", "no", "WWW-Authenticate: Basic realm=\"tasks\"\r\n"),
            DavError::Auth, 1, "user name or password");
        row("larger than allowed", answer(207, "application/xml", "<D:", {}, 300 * 1024 * 1024), DavError::TooLarge, 1);
        row("untrusted certificate", valid, DavError::Tls, 0, "certificate for 127.0.0.1", "untrusted");
        row("plain http to another host", valid, DavError::Insecure, 0, "", "", "http://192.0.2.1/cal/");
    }

    void badAnswers()
    {
        QFETCH(QByteArray, response);
        QFETCH(DavError::Kind, kind);
        QFETCH(int, requests);
        QFETCH(QString, said);
        QFETCH(QString, tls);
        QFETCH(QString, url);
        if (!tls.isEmpty() && !m_haveCertificates)
            QSKIP("no TLS backend or no openssl for test certificates");

        ScriptedServer server;
        server.responses = {response};
        server.silent = response.isEmpty();
        if (!tls.isEmpty()) {
            server.certificate = tls == QLatin1String("trusted") ? m_trusted : m_untrusted;
            server.key = tls == QLatin1String("trusted") ? m_trustedKey : m_untrustedKey;
        }
        QVERIFY(server.start());
        const QUrl target = url.isEmpty() ? server.url(QStringLiteral("/cal/")) : QUrl(url);

        DavClient client(QStringLiteral("alice"), QStringLiteral("secret"), kind == DavError::Aborted ? 30000 : 500);
        if (kind == DavError::Aborted)
            QTimer::singleShot(300, [&] { client.abort(); });
        DavError error, later;
        QElapsedTimer timer;
        timer.start();
        onWorkerThread([&] {
            QList<DavCollection> lists;
            error = client.listCollections(target, &lists);
            if (kind == DavError::Aborted)
                later = client.listCollections(target, &lists);
        });
        QCOMPARE(error.kind, kind);
        QCOMPARE(later.kind, kind == DavError::Aborted ? kind : DavError::None);
        // One sentence for the user, never with the password.
        QVERIFY2(error.message.contains(said) && error.message.endsWith(QLatin1Char('.'))
                     && !error.message.contains(QLatin1String("secret")),
                 qPrintable(error.message));
        QVERIFY2(timer.elapsed() < 3000, QByteArray::number(timer.elapsed()));
        QCOMPARE(server.requests.size(), requests);
        QCOMPARE(client.requestCount(), url.isEmpty() ? qMax(requests, 1) : 0);
        if (requests > 0) {
            QCOMPARE(server.requests.first().requestLine, QByteArray("PROPFIND /cal/ HTTP/1.1"));
            QCOMPARE(server.requests.first().values("Depth"), Values{"1"});
            QCOMPARE(server.requests.first().values("Content-Type"), Values{"application/xml; charset=utf-8"});
        }
    }

    void putFollowsRedirectWithCredentialsAndAsksForMissingEtag()
    {
        ScriptedServer server;
        server.responses = {answer(307, "text/plain", "", "Location: /moved/t.ics\r\n"), answer(201, "text/plain", ""),
                            multistatus(withEtag("/moved/t.ics", "W/\"given\""))};
        QVERIFY(server.start());
        QList<sync::DavWriteResult> results;
        onWorkerThread([&] {
            DavClient client(QStringLiteral("alice"), QString::fromUtf8("s\xc3\xa9" "cret"));
            results = client.write({put(server.url(QStringLiteral("/cal/t.ics")))});
        });
        QCOMPARE(results.size(), 1);
        QVERIFY2(results.first().error.ok(), qPrintable(results.first().error.message));
        QCOMPARE(results.first().etag, QByteArray("W/\"given\""));
        QCOMPARE(server.requests.size(), 3);
        const QByteArray credentials = "Basic " + QByteArray("alice:s\xc3\xa9" "cret").toBase64();
        for (const auto& request : server.requests)
            QCOMPARE(request.values("Authorization"), Values{credentials});
        QCOMPARE(server.requests.at(1).requestLine, QByteArray("PUT /moved/t.ics HTTP/1.1"));
        QCOMPARE(server.requests.at(1).values("If-None-Match"), Values{"*"});
        QCOMPARE(server.requests.at(1).values("Content-Type"), Values{"text/calendar; charset=utf-8"});
        QVERIFY(server.requests.at(1).body.startsWith("BEGIN:VCALENDAR"));
        QCOMPARE(server.requests.at(2).requestLine, QByteArray("PROPFIND /moved/t.ics HTTP/1.1"));
        QCOMPARE(server.requests.at(2).values("Depth"), Values{"0"});
    }

    void discover_data()
    {
        QTest::addColumn<QString>("start"); // "host" or "list"
        QTest::addColumn<bool>("justTheList");
        QTest::newRow("from the host") << QStringLiteral("host") << false;
        QTest::newRow("from a task list") << QStringLiteral("list") << true;
    }

    void discover()
    {
        QFETCH(QString, start);
        QFETCH(bool, justTheList);
        REQUIRE_RADICALE();
        auto client = _client();
        const QUrl list = _list(QStringLiteral("discovered")), other = _list(QStringLiteral("other"));
        for (const QUrl& url : {list, other})
            client->makeCalendar(url, QStringLiteral("Errands & <more>")); // refused once it exists
        const QUrl from = start == QLatin1String("host") ? m_radicale->url() : list;
        QUrl home;
        QList<DavCollection> lists;
        const DavError error = client->discover(from, &home, &lists);
        QVERIFY2(error.ok(), qPrintable(error.message));
        QCOMPARE(home, DavClient::normalizedUrl(m_radicale->userUrl()));
        QList<QUrl> urls;
        for (const DavCollection& found : lists)
            urls.append(found.url);
        QCOMPARE(urls.contains(other), !justTheList);
        QVERIFY(urls.contains(list));
        const DavCollection& found = lists.at(urls.indexOf(list));
        QCOMPARE(found.displayName, QStringLiteral("Errands & <more>"));
        QVERIFY(found.holdsTasks);
        QVERIFY(found.supportsSyncCollection);
        QVERIFY(!found.syncToken.isEmpty());
    }

    void conditionalWrites()
    {
        REQUIRE_RADICALE();
        auto client = _client();
        const QUrl list = _list(QStringLiteral("conditional"));
        QVERIFY(client->makeCalendar(list, QStringLiteral("Conditional")).ok());
        const QUrl task = list.resolved(QUrl(QStringLiteral("task.ics")));

        const auto created = client->write({put(task)}).value(0);
        QVERIFY2(created.error.ok(), qPrintable(created.error.message));
        QVERIFY(created.etag.startsWith('"'));
        QCOMPARE(client->write({put(task)}).value(0).error.kind, DavError::Precondition);

        const auto updated = client->write({put(task, created.etag, QStringLiteral("Buy oat milk"))}).value(0);
        QVERIFY2(updated.error.ok(), qPrintable(updated.error.message));
        QVERIFY(updated.etag != created.etag);
        QCOMPARE(client->write({put(task, created.etag)}).value(0).error.kind, DavError::Precondition);
        QCOMPARE(client->write({deletion(task, created.etag)}).value(0).error.kind, DavError::Precondition);
        QVERIFY(client->write({deletion(task, updated.etag)}).value(0).error.ok());
        QCOMPARE(client->write({deletion(task)}).value(0).error.kind, DavError::NotFound);
    }
};

MRV_TEST_GUILESS_MAIN(TstDavClient)
#include "tst_davclient.moc"
