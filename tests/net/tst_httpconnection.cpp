// The blocking HTTP connection against scripted servers on 127.0.0.1. The servers run on the
// test's thread; each connection is made, used and dropped on a worker thread.

#include "net/httpconnection.h"
#include "net/qthttpconnection.h"
#include "support/httptestserver.h"
#include "support/testenv.h"

#include <QBuffer>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QProcess>
#include <QSslCertificate>
#include <QSslKey>
#include <QSslSocket>
#include <QStandardPaths>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>

#include <functional>
#include <memory>

namespace {

using testhttp::ReceivedRequest;
using testhttp::ScriptedServer;
using testhttp::httpResponse;

struct Outcome
{
    bool ok = false;
    QByteArray response = "untouched";
    int status = -2, readAfter = -2;
    qint64 contentLength = -2, elapsedMs = 0;
};

/// Runs `work` on a new thread while this thread's event loop serves the servers.
void onWorkerThread(const std::function<void()>& work)
{
    QThread* thread = QThread::create(work);
    QEventLoop loop;
    QObject::connect(thread, &QThread::finished, &loop, &QEventLoop::quit);
    QTimer::singleShot(15000, &loop, &QEventLoop::quit);
    thread->start();
    loop.exec();
    if (!thread->wait(5000))
        qFatal("the connection did not return");
    delete thread;
}

Outcome perform(const QUrl& url, bool post = false, const QByteArray& body = QByteArray(),
                const net::HttpConnection::Headers& headers = {}, int timeoutMs = 5000)
{
    Outcome outcome;
    onWorkerThread([&] {
        std::shared_ptr<net::HttpConnection> connection = net::createHttpConnection(timeoutMs);
        connection->setUserAgent(QStringLiteral("Mirevo-Test/1.0"));
        QElapsedTimer timer;
        timer.start();
        outcome.ok = post ? connection->post(url, body, &outcome.response, headers)
                          : connection->get(url, &outcome.response, headers);
        outcome.elapsedMs = timer.elapsed();
        outcome.status = connection->statusCode();
        outcome.contentLength = connection->contentLength();
        QBuffer rest;
        rest.open(QIODevice::WriteOnly);
        outcome.readAfter = connection->read(&rest, net::QtHttpConnection::ChunkSize);
    });
    return outcome;
}

QByteArray pattern(int size)
{
    QByteArray bytes(size, Qt::Uninitialized);
    for (int i = 0; i < size; ++i)
        bytes[i] = char('a' + i % 26);
    return bytes;
}

} // namespace

class TstHttpConnection : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_certificates;
    bool m_haveCertificates = false;
    QSslCertificate m_untrusted, m_trusted;
    QSslKey m_untrustedKey, m_trustedKey;


private Q_SLOTS:
    void initTestCase()
    {
        for (const char* name : {"http_proxy", "https_proxy", "all_proxy", "HTTP_PROXY", "HTTPS_PROXY", "ALL_PROXY"})
            qunsetenv(name);
        QVERIFY(m_certificates.isValid());
        if (!QStandardPaths::findExecutable(QStringLiteral("openssl")).isEmpty()) {
            const QString folder = m_certificates.path();
            m_haveCertificates =
                testhttp::makeCertificate(folder, QStringLiteral("untrusted"), &m_untrusted, &m_untrustedKey)
                && testhttp::makeCertificate(folder, QStringLiteral("trusted"), &m_trusted, &m_trustedKey);
        }
    }

    void effectivePort_data()
    {
        QTest::addColumn<QString>("url");
        QTest::addColumn<bool>("secure");
        QTest::addColumn<int>("port");
        QTest::newRow("https default") << QStringLiteral("https://example.invalid/path?x=1") << true << 443;
        QTest::newRow("http default") << QStringLiteral("http://example.invalid/") << false << 80;
        QTest::newRow("http given") << QStringLiteral("http://example.invalid:8080/") << false << 8080;
        QTest::newRow("https given 80") << QStringLiteral("https://example.invalid:80/") << true << 80;
        QTest::newRow("other scheme") << QStringLiteral("ftp://example.invalid/") << false << 80;
        QTest::newRow("port 0") << QStringLiteral("https://example.invalid:0/") << true << 0;
    }

    void effectivePort()
    {
        QFETCH(QString, url);
        QFETCH(bool, secure);
        QFETCH(int, port);
        QCOMPARE(net::QtHttpConnection::isSecure(QUrl(url)), secure);
        QCOMPARE(int(net::QtHttpConnection::effectivePort(QUrl(url))), port);
    }

    void requestShape_data()
    {
        using Headers = net::HttpConnection::Headers;
        QTest::addColumn<bool>("post");
        QTest::addColumn<QString>("pathAndQuery");
        QTest::addColumn<QByteArray>("body");
        QTest::addColumn<Headers>("headers");
        QTest::addColumn<QByteArray>("contentLength"); // empty: no such header
        QTest::addColumn<QByteArray>("contentType");   // empty: no such header

        QTest::newRow("GET, no headers") << false << QStringLiteral("/") << QByteArray() << Headers()
                                         << QByteArray() << QByteArray();
        QTest::newRow("GET, encoded query kept") << false << QStringLiteral("/a%20b?q=%2F&r=1+2") << QByteArray()
                                                 << Headers() << QByteArray() << QByteArray();
        QTest::newRow("GET, two headers")
            << false << QStringLiteral("/h") << QByteArray()
            << Headers{{QStringLiteral("X-One"), QStringLiteral("1")}, {QStringLiteral("X-Two"), QStringLiteral("two words")}}
            << QByteArray() << QByteArray();
        QTest::newRow("POST with body and type")
            << true << QStringLiteral("/submit") << QByteArray("{\"a\":1}")
            << Headers{{QStringLiteral("Content-Type"), QStringLiteral("application/json")}} << QByteArray("7")
            << QByteArray("application/json");
        QTest::newRow("POST, body without type") << true << QStringLiteral("/raw") << pattern(3000) << Headers()
                                                 << QByteArray("3000") << QByteArray("application/octet-stream");
        QTest::newRow("POST without body") << true << QStringLiteral("/empty") << QByteArray() << Headers()
                                           << QByteArray("0") << QByteArray();
    }

    void requestShape()
    {
        using Headers = net::HttpConnection::Headers;
        QFETCH(bool, post);
        QFETCH(QString, pathAndQuery);
        QFETCH(QByteArray, body);
        QFETCH(Headers, headers);
        QFETCH(QByteArray, contentLength);
        QFETCH(QByteArray, contentType);

        ScriptedServer server;
        server.responses = {httpResponse(200, "fine")};
        QVERIFY(server.start());
        const Outcome outcome = perform(server.url(pathAndQuery), post, body, headers);
        QVERIFY(outcome.ok);
        QCOMPARE(outcome.response, QByteArray("fine"));
        QCOMPARE(server.requests.size(), 1);

        const ReceivedRequest& request = server.requests.first();
        QCOMPARE(request.requestLine, (post ? "POST " : "GET ") + pathAndQuery.toUtf8() + " HTTP/1.1");
        QCOMPARE(request.values("Accept"), QList<QByteArray>{"*/*"});
        QCOMPARE(request.values("User-Agent"), QList<QByteArray>{"Mirevo-Test/1.0"});
        QCOMPARE(request.values("Host"), QList<QByteArray>{"127.0.0.1:" + QByteArray::number(server.serverPort())});

        // One line per entry; beyond them only QtNetwork's own fields (no cache marks on POST).
        QList<QByteArray> expected{"host", "connection", "accept-encoding", "accept-language", "accept", "user-agent"};
        if (!post)
            expected << "cache-control" << "pragma";
        for (auto it = headers.cbegin(); it != headers.cend(); ++it) {
            QCOMPARE(request.values(it.key().toUtf8()), QList<QByteArray>{it.value().toUtf8()});
            expected << it.key().toLower().toUtf8();
        }
        if (!contentLength.isEmpty())
            expected << "content-length";
        if (!contentType.isEmpty() && !headers.contains(QStringLiteral("Content-Type")))
            expected << "content-type";
        QList<QByteArray> names;
        for (const auto& header : request.headers)
            names << header.first.toLower();
        std::sort(names.begin(), names.end());
        std::sort(expected.begin(), expected.end());
        QCOMPARE(names, expected);
        QCOMPARE(request.values("Content-Length"),
                 contentLength.isEmpty() ? QList<QByteArray>() : QList<QByteArray>{contentLength});
        QCOMPARE(request.values("Content-Type"),
                 contentType.isEmpty() ? QList<QByteArray>() : QList<QByteArray>{contentType});
        QCOMPARE(request.body, body);
    }

    void failsBeforeConnecting_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::newRow("invalid URL to the server's port") << QStringLiteral("invalid");
        QTest::newRow("port 0") << QStringLiteral("port0");
        QTest::newRow("no host") << QStringLiteral("nohost");
    }

    void failsBeforeConnecting()
    {
        QFETCH(QString, kind);
        ScriptedServer server;
        QVERIFY(server.start());
        QUrl url(kind == QLatin1String("port0") ? "http://127.0.0.1:0/x" : "http:///x");
        if (kind == QLatin1String("invalid")) {
            url = QUrl(QStringLiteral("http://127.0.0.1:%1").arg(server.serverPort()));
            url.setPath(QStringLiteral("relative")); // a relative path after an authority
            QVERIFY(!url.isValid());
        }
        for (const bool post : {false, true}) {
            const Outcome outcome = perform(url, post, "data");
            QVERIFY(!outcome.ok);
            QCOMPARE(outcome.response, QByteArray("untouched"));
            QCOMPARE(outcome.status, -1);
            QCOMPARE(outcome.contentLength, qint64(-1));
            QCOMPARE(outcome.readAfter, -1);
        }
        QTest::qWait(100);
        QCOMPARE(server.connections, 0);
    }

    void responses_data()
    {
        QTest::addColumn<int>("status");
        QTest::addColumn<QByteArray>("body");
        QTest::addColumn<qint64>("sentLength"); // -1: none, -2: the true size
        QTest::addColumn<bool>("ok");
        QTest::addColumn<QByteArray>("expected");
        QTest::newRow("404 page") << 404 << QByteArray("<html>not here</html>") << qint64(-2) << true
                                  << QByteArray("<html>not here</html>");
        QTest::newRow("500 page") << 500 << QByteArray("{\"error\":1}") << qint64(-2) << true << QByteArray("{\"error\":1}");
        QTest::newRow("204 no content") << 204 << QByteArray() << qint64(-1) << true << QByteArray();
        QTest::newRow("empty") << 200 << QByteArray() << qint64(-2) << true << QByteArray();
        QTest::newRow("exactly 2048 bytes") << 200 << pattern(2048) << qint64(-2) << true << pattern(2048);
        QTest::newRow("large") << 200 << pattern(300000) << qint64(-2) << true << pattern(300000);
        QTest::newRow("no Content-Length") << 200 << pattern(5000) << qint64(-1) << true << pattern(5000);
        // HTTP/1.1 ends the body after Content-Length bytes; QtNetwork drops what follows.
        QTest::newRow("Content-Length too small") << 200 << pattern(5000) << qint64(100) << true << pattern(100);
        // Fewer bytes than promised before the close: the body is incomplete.
        QTest::newRow("Content-Length too large") << 200 << pattern(300) << qint64(5000) << false << pattern(300);
    }

    void responses()
    {
        QFETCH(int, status);
        QFETCH(QByteArray, body);
        QFETCH(qint64, sentLength);
        QFETCH(bool, ok);
        QFETCH(QByteArray, expected);
        for (const bool post : {false, true}) {
            ScriptedServer server;
            server.responses = {httpResponse(status, body, sentLength)};
            QVERIFY(server.start());
            const Outcome outcome = perform(server.url(QStringLiteral("/body")), post, "x");
            QCOMPARE(outcome.ok, ok);
            QCOMPARE(outcome.status, status);
            QCOMPARE(outcome.contentLength, sentLength == -2 ? qint64(body.size()) : sentLength);
            QCOMPARE(outcome.readAfter, ok ? 0 : -1);
            if (ok)
                QCOMPARE(outcome.response, expected);
            else
                QVERIFY(expected.startsWith(outcome.response));
        }
    }

    void silentServerTimesOut_data()
    {
        QTest::addColumn<bool>("afterHeaders");
        QTest::newRow("no answer at all") << false;
        QTest::newRow("stalls in the body") << true;
    }

    void silentServerTimesOut()
    {
        QFETCH(bool, afterHeaders);
        ScriptedServer server;
        server.responses = {httpResponse(200, pattern(10), 1000)};
        server.keepOpen = afterHeaders;
        server.silent = !afterHeaders;
        QVERIFY(server.start());
        const Outcome outcome = perform(server.url(QStringLiteral("/slow")), false, {}, {}, 500);
        QVERIFY(!outcome.ok);
        QVERIFY2(outcome.elapsedMs >= 400 && outcome.elapsedMs < 5000, QByteArray::number(outcome.elapsedMs));
        QCOMPARE(server.requests.size(), 1);
        QCOMPARE(outcome.status, afterHeaders ? 200 : -1);
        QCOMPARE(outcome.readAfter, -1);
    }

    void certificates_data()
    {
        QTest::addColumn<bool>("trusted");
        QTest::newRow("untrusted fails") << false;
        QTest::newRow("trusted succeeds") << true;
    }

    void certificates()
    {
        QFETCH(bool, trusted);
        if (!QSslSocket::supportsSsl() || !m_haveCertificates)
            QSKIP("no TLS backend or no openssl for test certificates");
        ScriptedServer server;
        server.certificate = trusted ? m_trusted : m_untrusted;
        server.key = trusted ? m_trustedKey : m_untrustedKey;
        server.responses = {httpResponse(200, pattern(4096)), httpResponse(404, "gone")};
        QVERIFY(server.start());
        if (trusted)
            net::addTrustedCertificates({m_trusted});
        for (const bool post : {false, true}) {
            const Outcome outcome = perform(server.url(QStringLiteral("/path?x=1")), post, "payload");
            QCOMPARE(outcome.ok, trusted);
            QCOMPARE(outcome.status, !trusted ? -1 : post ? 404 : 200);
            QCOMPARE(outcome.response, !trusted ? QByteArray("untouched") : post ? QByteArray("gone") : pattern(4096));
        }
        QTest::qWait(50);
        QVERIFY(server.connections >= 2);
        QCOMPARE(server.requests.size(), trusted ? 2 : 0); // refused handshakes send nothing
        if (trusted) {
            QCOMPARE(server.requests.at(0).requestLine, QByteArray("GET /path?x=1 HTTP/1.1"));
            QCOMPARE(server.requests.at(1).body, QByteArray("payload"));
        }
    }
};

MRV_TEST_GUILESS_MAIN(TstHttpConnection)
#include "tst_httpconnection.moc"
