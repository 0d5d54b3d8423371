// The blocking HTTP connection against scripted servers on 127.0.0.1. The servers run on the
// test's thread; each connection is made, used and dropped on a worker thread. Only GET: the
// update check is the program's one user of the connection.

#include "net/httpconnection.h"
#include "support/httptestserver.h"
#include "support/testenv.h"

#include <QElapsedTimer>
#include <QSslSocket>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QThread>

#include <memory>

namespace {

using testhttp::ScriptedServer;
using testhttp::httpResponse;
using Headers = net::HttpConnection::Headers;

struct Outcome
{
    bool ok = false;
    QByteArray response = "untouched";
    int status = -2;
    qint64 elapsedMs = 0;
};

/// One GET on a new thread while this thread's event loop serves the servers.
Outcome perform(const QUrl& url, const Headers& headers = {}, int timeoutMs = 5000)
{
    Outcome outcome;
    QThread* thread = QThread::create([&] {
        std::shared_ptr<net::HttpConnection> connection = net::createHttpConnection(timeoutMs);
        connection->setUserAgent(QStringLiteral("Mirevo-Test/1.0"));
        QElapsedTimer timer;
        timer.start();
        outcome.ok = connection->get(url, &outcome.response, headers);
        outcome.elapsedMs = timer.elapsed();
        outcome.status = connection->statusCode();
    });
    thread->start();
    if (!QTest::qWaitFor([thread] { return thread->isFinished(); }, 15000) || !thread->wait(5000))
        qFatal("the connection did not return");
    delete thread;
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
    QSslCertificate m_untrusted;
    QSslKey m_untrustedKey;

private Q_SLOTS:
    void initTestCase()
    {
        for (const char* name : {"http_proxy", "https_proxy", "all_proxy", "HTTP_PROXY", "HTTPS_PROXY", "ALL_PROXY"})
            qunsetenv(name);
        if (!QStandardPaths::findExecutable(QStringLiteral("openssl")).isEmpty()) {
            m_haveCertificates = testhttp::makeCertificate(m_certificates.path(), QStringLiteral("untrusted"),
                                                           &m_untrusted, &m_untrustedKey);
        }
    }

    // The request as given; every status is an answer, the body what Content-Length (or the
    // close) says it is. A bad address fails without a connection, a server that stops answering
    // after the time-out; nothing is read into the response then.
    void exchanges_data()
    {
        QTest::addColumn<QString>("url"); // empty: the server's /a%20b?...
        QTest::addColumn<int>("silence"); // 0: the server answers, 1: not at all, 2: stalls in the body
        QTest::addColumn<int>("status");
        QTest::addColumn<QByteArray>("body");
        QTest::addColumn<qint64>("sentLength"); // -1: none, -2: the true size
        QTest::addColumn<bool>("ok");
        QTest::newRow("404 page") << QString() << 0 << 404 << QByteArray("<html>not here</html>")
                                  << qint64(-2) << true;
        // QtNetwork reports a 400 answer as an invalid operation, not among the 4xx errors.
        QTest::newRow("400 page") << QString() << 0 << 400 << QByteArray("bad") << qint64(-2) << true;
        QTest::newRow("large") << QString() << 0 << 200 << pattern(300000) << qint64(-2) << true;
        // Fewer bytes than promised before the close: the body is incomplete.
        QTest::newRow("Content-Length too large")
            << QString() << 0 << 200 << pattern(300) << qint64(5000) << false;
        QTest::newRow("port 0") << QStringLiteral("http://127.0.0.1:0/x") << 0 << -1 << QByteArray()
                                << qint64(-2) << false;
        QTest::newRow("no answer at all") << QString() << 1 << -1 << pattern(10) << qint64(1000)
                                          << false;
        QTest::newRow("stalls in the body") << QString() << 2 << 200 << pattern(10) << qint64(1000)
                                            << false;
    }

    void exchanges()
    {
        QFETCH(QString, url);
        QFETCH(int, silence);
        QFETCH(int, status);
        QFETCH(QByteArray, body);
        QFETCH(qint64, sentLength);
        QFETCH(bool, ok);
        ScriptedServer server;
        server.responses = {httpResponse(status, body, sentLength)};
        server.silent = silence == 1;
        server.keepOpen = silence == 2;
        QVERIFY(server.start());
        const QString pathAndQuery = QStringLiteral("/a%20b?q=%2F&r=1+2");
        const QUrl target = url.isEmpty() ? server.url(pathAndQuery) : QUrl(url);
        const Outcome outcome = perform(target, {{"X-One", "1"}, {"X-Two", "2 3"}}, silence ? 500 : 5000);
        QCOMPARE(outcome.ok, ok);
        QCOMPARE(outcome.status, status);
        if (ok)
            QCOMPARE(outcome.response, body);
        else
            QVERIFY(outcome.response == "untouched" || body.startsWith(outcome.response));
        if (silence)
            QVERIFY2(outcome.elapsedMs >= 400 && outcome.elapsedMs < 5000,
                     QByteArray::number(outcome.elapsedMs));
        QTest::qWait(100);
        QCOMPARE(server.connections, url.isEmpty() ? 1 : 0);
        if (silence || !url.isEmpty())
            return;
        QCOMPARE(server.requests.size(), 1);
        const testhttp::ReceivedRequest& request = server.requests.first();
        QCOMPARE(request.requestLine, "GET " + pathAndQuery.toUtf8() + " HTTP/1.1");
        QCOMPARE(request.values("Accept"), QList<QByteArray>{"*/*"});
        QCOMPARE(request.values("User-Agent"), QList<QByteArray>{"Mirevo-Test/1.0"});
        QCOMPARE(request.values("X-One"), QList<QByteArray>{"1"});
        QCOMPARE(request.values("X-Two"), QList<QByteArray>{"2 3"});
    }

    // Certificates are always verified: one from an authority nobody named fails the request
    // (one the program was told to trust: the real program's update check, over HTTPS).
    void untrustedCertificateFails()
    {
        if (!QSslSocket::supportsSsl() || !m_haveCertificates)
            QSKIP("no TLS backend or no openssl for test certificates");
        ScriptedServer server;
        server.certificate = m_untrusted;
        server.key = m_untrustedKey;
        server.responses = {httpResponse(200, pattern(4096))};
        QVERIFY(server.start());
        const Outcome outcome = perform(server.url(QStringLiteral("/path?x=1")));
        QVERIFY(!outcome.ok);
        QCOMPARE(outcome.response, QByteArray("untouched"));
        QTest::qWait(50);
        QCOMPARE(server.connections, 1);
        QCOMPARE(server.requests.size(), 0); // a refused handshake sends nothing
    }
};

MRV_TEST_GUILESS_MAIN(TstHttpConnection)
#include "tst_httpconnection.moc"
