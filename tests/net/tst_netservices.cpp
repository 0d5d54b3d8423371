#include "app/identity.h"
#include "net/httpconnection.h"
#include "net/netservices.h"
#include "net/usermetrics.h"
#include "support/testenv.h"

#include <QElapsedTimer>
#include <QMutex>
#include <QMutexLocker>
#include <QRegularExpression>
#include <QSemaphore>
#include <QTcpServer>
#include <QTcpSocket>
#include <QUrlQuery>

#include <memory>

namespace {

/// What the fake connections saw and what they answer. Shared with the service thread.
struct FakeServer
{
    mutable QMutex lock;
    QList<QUrl> urls;
    QStringList agents;
    QList<net::HttpConnection::Headers> headers;

    bool transferOk = true;
    int status = 200;
    QByteArray body;
    /// When set, the first request waits here (up to holdMs) as a silent server would.
    bool holdFirst = false;
    int holdMs = 1000;
    QSemaphore entered;

    int requests() const
    {
        QMutexLocker locker(&lock);
        return urls.size();
    }
};

/// Stands in for the platform's connection: records each GET and answers from the FakeServer.
class FakeConnection : public net::HttpConnection
{
public:
    explicit FakeConnection(std::shared_ptr<FakeServer> server)
        : m_server(std::move(server))
    {
    }

    bool connect(const QString&, quint16) override { return true; }
    bool disconnect() override { return true; }

    bool get(const QUrl& url, QByteArray* response, const Headers& headers) override
    {
        bool hold = false;
        {
            QMutexLocker locker(&m_server->lock);
            hold = m_server->holdFirst && m_server->urls.isEmpty();
            m_server->urls.append(url);
            m_server->agents.append(m_agent);
            m_server->headers.append(headers);
        }
        m_server->entered.release();
        if (hold) {
            QThread::msleep(m_server->holdMs);
            return false; // timed out
        }
        QMutexLocker locker(&m_server->lock);
        m_status = m_server->status;
        if (m_server->transferOk)
            *response = m_server->body;
        return m_server->transferOk;
    }

    bool post(const QUrl&, const QByteArray&, QByteArray*, const Headers&) override { return false; }
    int statusCode() const override { return m_status; }
    qint64 contentLength() const override { return -1; }
    int read(QIODevice*, int) override { return -1; }
    QString userAgent() const override { return m_agent; }
    void setUserAgent(const QString& agent) override { m_agent = agent; }

private:
    std::shared_ptr<FakeServer> m_server;
    QString m_agent;
    int m_status = -1;
};

QUrl localBase(quint16 port)
{
    QUrl url;
    url.setScheme(QStringLiteral("http"));
    url.setHost(QStringLiteral("127.0.0.1"));
    url.setPort(port);
    return url;
}

/// One entry as "id version url", for comparing whole results.
QStringList describe(const UpdateInformation& info)
{
    QStringList lines;
    for (auto it = info.entries.cbegin(); it != info.entries.cend(); ++it) {
        QString line = it.value().id + QLatin1Char(' ') + it.value().version.toString() + QLatin1Char(' ')
            + it.value().url.toString();
        if (it.key() != it.value().id)
            line += QStringLiteral(" (stored under ") + it.key() + QLatin1Char(')');
        lines.append(line);
    }
    lines.sort();
    return lines;
}

const QByteArray AppEntry = "{ \"id\" : \"example.velbrook.mrv.linux\", \"version\" : \"0.3\", "
                            "\"url\" : \"https://velbrook.example/mirevo/0.3\" }";

} // namespace

class TstNetServices : public QObject
{
    Q_OBJECT

private:
    std::shared_ptr<FakeServer> m_server;
    std::unique_ptr<NetServices> m_service;
    QList<UpdateInformation> m_results;

    /// A running service on the fake connections, reporting to m_results the way the tray
    /// icon listens: through a queued connection.
    void startService(NetServices::ConnectionFactory factory, const QUrl& baseUrl = localBase(8080))
    {
        m_service = std::make_unique<NetServices>();
        m_service->setBaseUrl(baseUrl);
        m_service->setConnectionFactory(std::move(factory));
        connect(m_service.get(), &NetServices::updatesChecked, this,
                [this](const UpdateInformation& info) { m_results.append(info); }, Qt::QueuedConnection);
        m_service->start();
    }

    void startFakeService()
    {
        const std::shared_ptr<FakeServer> server = m_server;
        startService([server] { return std::make_shared<FakeConnection>(server); });
    }

private Q_SLOTS:
    void init()
    {
        m_server = std::make_shared<FakeServer>();
        m_results.clear();
    }

    void cleanup()
    {
        m_service.reset();
        UserMetrics::destroy();
    }

    void defaultsNameTheMakersServer()
    {
        QCOMPARE(NetServices::defaultBaseUrl().toString(), QStringLiteral("https://api.velbrook.example"));
        NetServices service;
        QCOMPARE(service.baseUrl(), NetServices::defaultBaseUrl());
        QCOMPARE(service.updateCheckUrl(QStringLiteral("1f0e4c3a-0000-4000-8000-00000000abcd")).toString(),
                 QStringLiteral("https://api.velbrook.example/updates?id=1f0e4c3a-0000-4000-8000-00000000abcd"
                                "&p=example.velbrook.mrv.linux&v=0.2.642"));
        QCOMPARE(NetServices::userAgent(), QStringLiteral("Mirevo 0.2.642"));
        QVERIFY(QMetaType::fromName("UpdateInformation").isValid());
    }

    void queryValuesAreEncoded()
    {
        NetServices service;
        const QString odd = QStringLiteral("a b&c=d#e");
        const QUrl url = service.updateCheckUrl(odd);
        QVERIFY(url.isValid());
        QCOMPARE(QUrlQuery(url).queryItemValue(QStringLiteral("id"), QUrl::FullyDecoded), odd);
        QCOMPARE(QUrlQuery(url).queryItems().size(), 3);
        QVERIFY(url.fragment().isEmpty());
    }

    void requestCarriesIdPlatformAndVersion()
    {
        m_server->body = "{ \"updates\" : [ ] }";
        startFakeService();
        m_service->checkForUpdates();
        m_service->checkForUpdates();
        QTRY_COMPARE(m_results.size(), 2);

        const QString id = UserMetrics::instance()->storedId();
        QCOMPARE(id.size(), 36);
        QCOMPARE(m_server->requests(), 2);
        for (int i = 0; i < 2; ++i) {
            const QUrl url = m_server->urls.at(i);
            QCOMPARE(url.scheme(), QStringLiteral("http"));
            QCOMPARE(url.host(), QStringLiteral("127.0.0.1"));
            QCOMPARE(url.port(), 8080);
            QCOMPARE(url.path(), QStringLiteral("/updates"));
            const QList<QPair<QString, QString>> expected = {
                {QStringLiteral("id"), id},
                {QStringLiteral("p"), QStringLiteral("example.velbrook.mrv.linux")},
                {QStringLiteral("v"), QStringLiteral("0.2.642")},
            };
            QCOMPARE(QUrlQuery(url).queryItems(), expected);
            QCOMPARE(m_server->agents.at(i), QStringLiteral("Mirevo 0.2.642"));
            QVERIFY(m_server->headers.at(i).isEmpty());
        }
    }

    void answersAreRead_data()
    {
        QTest::addColumn<QByteArray>("body");
        QTest::addColumn<int>("status");
        QTest::addColumn<bool>("transferOk");
        QTest::addColumn<QStringList>("entries");

        const QString app = QStringLiteral("example.velbrook.mrv.linux 0.3.0 https://velbrook.example/mirevo/0.3");

        QTest::newRow("several ids")
            << QByteArray("{ \"updates\" : [ " + AppEntry
                          + ", { \"id\" : \"example.velbrook.mrv.win\", \"version\" : \"0.2.700\", "
                            "\"url\" : \"https://velbrook.example/w\" }, "
                            "{ \"id\" : \"other.app\", \"version\" : \"2\", \"url\" : \"http://o.example/\" } ] }")
            << 200 << true
            << QStringList{app, QStringLiteral("example.velbrook.mrv.win 0.2.700 https://velbrook.example/w"),
                           QStringLiteral("other.app 2.0.0 http://o.example/")};
        QTest::newRow("duplicate ids: the later wins")
            << QByteArray("{\"updates\":[" + AppEntry
                          + ",{\"id\":\"example.velbrook.mrv.linux\",\"version\":\"0.4.1\",\"url\":\"https://v.example/4\"}]}")
            << 200 << true << QStringList{QStringLiteral("example.velbrook.mrv.linux 0.4.1 https://v.example/4")};
        QTest::newRow("invalid entries skipped")
            << QByteArray("{ \"updates\" : [ 5, \"text\", [ ], null, "
                          "{ \"id\" : \"a\", \"version\" : \"1.2.3.4\", \"url\" : \"http://a.example/\" }, "
                          "{ \"id\" : \"b\", \"version\" : \"1.x\", \"url\" : \"http://b.example/\" }, "
                          "{ \"id\" : \"\", \"version\" : \"1\", \"url\" : \"http://c.example/\" }, "
                          "{ \"version\" : \"1\", \"url\" : \"http://d.example/\" }, "
                          "{ \"id\" : \"e\", \"url\" : \"http://e.example/\" }, "
                          "{ \"id\" : \"f\", \"version\" : \"1\" }, "
                          "{ \"id\" : \"g\", \"version\" : \"1\", \"url\" : \"http://[broken/\" }, "
                          "{ \"id\" : \"example.velbrook.mrv.linux\", \"version\" : \"-1\", \"url\" : \"http://h.example/\" }, "
                          + AppEntry + " ] }")
            << 200 << true << QStringList{app};
        QTest::newRow("an invalid entry does not replace a valid one")
            << QByteArray("{ \"updates\" : [ " + AppEntry
                          + ", { \"id\" : \"example.velbrook.mrv.linux\", \"version\" : \"x\", \"url\" : \"http://x/\" } ] }")
            << 200 << true << QStringList{app};
        QTest::newRow("not JSON") << QByteArray("<html><body>Bad gateway</body></html>") << 200 << true
                                  << QStringList();
        QTest::newRow("broken JSON") << QByteArray("{ \"updates\" : [ " + AppEntry) << 200 << true << QStringList();
        QTest::newRow("list at the top") << QByteArray("[ " + AppEntry + " ]") << 200 << true << QStringList();
        QTest::newRow("no updates") << QByteArray("{ \"versions\" : [ " + AppEntry + " ] }") << 200 << true
                                    << QStringList();
        QTest::newRow("updates not a list") << QByteArray("{ \"updates\" : " + AppEntry + " }") << 200 << true
                                            << QStringList();
        QTest::newRow("empty list") << QByteArray("{ \"updates\" : [ ] }") << 200 << true << QStringList();
        QTest::newRow("empty answer") << QByteArray() << 200 << true << QStringList();
        QTest::newRow("status not consulted")
            << QByteArray("{ \"updates\" : [ " + AppEntry + " ] }") << 503 << true << QStringList{app};
        QTest::newRow("transfer failed")
            << QByteArray("{ \"updates\" : [ " + AppEntry + " ] }") << 200 << false << QStringList();
    }

    void answersAreRead()
    {
        QFETCH(QByteArray, body);
        QFETCH(int, status);
        QFETCH(bool, transferOk);
        QFETCH(QStringList, entries);

        m_server->body = body;
        m_server->status = status;
        m_server->transferOk = transferOk;
        startFakeService();
        m_service->checkForUpdates();
        QTRY_COMPARE(m_results.size(), 1);
        const UpdateInformation info = m_results.first();
        QCOMPARE(describe(info), entries);
        QCOMPARE(info.available, !entries.isEmpty());

        // Nothing more arrives for one check.
        QTest::qWait(50);
        QCOMPARE(m_results.size(), 1);
    }

    void noConnectionStillReports()
    {
        startService([] { return std::shared_ptr<net::HttpConnection>(); });
        m_service->checkForUpdates();
        QTRY_COMPARE(m_results.size(), 1);
        QVERIFY(!m_results.first().available);
        QVERIFY(m_results.first().entries.isEmpty());
    }

    void queuedJobIsDroppedOnDestruction()
    {
        m_server->holdFirst = true;
        m_server->holdMs = 1000;
        m_server->body = "{ \"updates\" : [ " + AppEntry + " ] }";
        startFakeService();
        m_service->checkForUpdates();
        QVERIFY(m_server->entered.tryAcquire(1, 5000));
        // The first check is on the wire; the second waits in the queue.
        m_service->checkForUpdates();

        QElapsedTimer clock;
        clock.start();
        m_service.reset();
        QVERIFY2(clock.elapsed() < NetServices::StopWaitMs, qPrintable(QString::number(clock.elapsed())));
        QCOMPARE(m_server->requests(), 1);
        QTest::qWait(50);
        QVERIFY(m_results.isEmpty());
    }

    void idleServiceStopsAtOnce()
    {
        startFakeService();
        QTest::qWait(20);
        QElapsedTimer clock;
        clock.start();
        m_service.reset();
        QVERIFY(clock.elapsed() < 1000);
        QCOMPARE(m_server->requests(), 0);
    }

    void processWideServiceRunsUntilReleased()
    {
        const std::shared_ptr<NetServices> first = NetServices::instance();
        QVERIFY(first->isRunning());
        QCOMPARE(NetServices::instance(), first);
        QPointer<NetServices> watch(first.get());
        NetServices::release();
        QVERIFY(watch); // our copy keeps it
        const std::shared_ptr<NetServices> second = NetServices::instance();
        QVERIFY(second != first);
        NetServices::release();
    }

    // The real connection against a server on 127.0.0.1.
    void realExchange()
    {
        QTcpServer server;
        QVERIFY(server.listen(QHostAddress::LocalHost));
        QByteArray request;
        connect(&server, &QTcpServer::newConnection, this, [&server, &request] {
            QTcpSocket* socket = server.nextPendingConnection();
            connect(socket, &QTcpSocket::readyRead, socket, [socket, &request] {
                request += socket->readAll();
                if (!request.contains("\r\n\r\n"))
                    return;
                const QByteArray body = "{ \"updates\" : [ " + AppEntry + " ] }";
                socket->write("HTTP/1.1 200 OK\r\nContent-Type: application/json\r\nConnection: close\r\n"
                              "Content-Length: "
                              + QByteArray::number(body.size()) + "\r\n\r\n" + body);
                socket->disconnectFromHost();
            });
        });
        startService([] { return net::createHttpConnection(NetServices::TransferTimeoutMs); },
                     localBase(server.serverPort()));
        m_service->checkForUpdates();
        QTRY_COMPARE_WITH_TIMEOUT(m_results.size(), 1, 10000);
        QVERIFY(m_results.first().available);
        QCOMPARE(m_results.first().entries.value(applicationId()).version, Version(0, 3, 0));

        const QString id = UserMetrics::instance()->storedId();
        const QByteArray requestLine = request.left(request.indexOf("\r\n"));
        QCOMPARE(requestLine, "GET /updates?id=" + id.toLatin1() + "&p=example.velbrook.mrv.linux&v=0.2.642 HTTP/1.1");
        QVERIFY2(request.contains("\r\nUser-Agent: Mirevo 0.2.642\r\n"), request.constData());
    }

    // A server that takes the connection and never answers: shutdown waits for the request's
    // time-out only, never for the thread to be cut off, and the queued check is dropped.
    void silentServerDoesNotHoldUpShutdown()
    {
        QTcpServer server;
        QVERIFY(server.listen(QHostAddress::LocalHost));
        int connections = 0;
        connect(&server, &QTcpServer::newConnection, this, [&server, &connections] {
            while (server.hasPendingConnections()) {
                server.nextPendingConnection(); // kept open, never answered
                ++connections;
            }
        });
        startService([] { return net::createHttpConnection(NetServices::TransferTimeoutMs); },
                     localBase(server.serverPort()));
        m_service->checkForUpdates();
        QTRY_COMPARE(connections, 1);
        QTest::qWait(200); // the request is on the wire
        m_service->checkForUpdates();

        QElapsedTimer clock;
        clock.start();
        m_service.reset();
        const qint64 elapsed = clock.elapsed();
        qInfo("Shutdown with a check in flight took %lld ms", elapsed);
        // The request is aborted, not waited out.
        QVERIFY2(elapsed < 1000, qPrintable(QString::number(elapsed)));

        QTest::qWait(100);
        QCOMPARE(connections, 1);
        QVERIFY(m_results.isEmpty());
    }
};

MRV_TEST_GUILESS_MAIN(TstNetServices)

#include "tst_netservices.moc"
