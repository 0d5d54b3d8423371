#include "base/identity.h"
#include "net/httpconnection.h"
#include "net/netservices.h"
#include "net/usermetrics.h"
#include "support/testenv.h"

#include <QElapsedTimer>
#include <QSemaphore>
#include <QTcpServer>
#include <QTcpSocket>

#include <atomic>
#include <memory>

namespace {

/// Answers every GET with one body; the first request is held (and fails) when `holdFirst`.
struct FakeServer
{
    std::atomic<int> requests{0};
    bool transferOk = true;
    QByteArray body;
    bool holdFirst = false;
    QSemaphore entered;
};

class FakeConnection : public net::HttpConnection
{
public:
    explicit FakeConnection(std::shared_ptr<FakeServer> server) : m_server(std::move(server)) {}

    bool connect(const QString&, quint16) override { return true; }
    bool disconnect() override { return true; }
    bool get(const QUrl&, QByteArray* response, const Headers&) override
    {
        const bool hold = m_server->holdFirst && m_server->requests++ == 0;
        if (!m_server->holdFirst)
            ++m_server->requests;
        m_server->entered.release();
        if (hold) {
            QThread::msleep(1000);
            return false;
        }
        if (m_server->transferOk)
            *response = m_server->body;
        return m_server->transferOk;
    }
    bool post(const QUrl&, const QByteArray&, QByteArray*, const Headers&) override { return false; }
    int statusCode() const override { return 503; } // never consulted
    qint64 contentLength() const override { return -1; }
    int read(QIODevice*, int) override { return -1; }
    QString userAgent() const override { return QString(); }
    void setUserAgent(const QString&) override {}

private:
    std::shared_ptr<FakeServer> m_server;
};

/// Sorted "id version url" lines.
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

    /// Reports reach m_results through a queued connection, as in the program.
    void startService(NetServices::ConnectionFactory factory, quint16 port = 8080)
    {
        m_service = std::make_unique<NetServices>();
        m_service->setBaseUrl(QUrl(QStringLiteral("http://127.0.0.1:%1").arg(port)));
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

    /// A server on 127.0.0.1 that records the request and answers `answer`, or never when empty.
    void startRealService(QTcpServer* server, QByteArray* request, int* connections, const QByteArray& answer)
    {
        QVERIFY(server->listen(QHostAddress::LocalHost));
        connect(server, &QTcpServer::newConnection, this, [=] {
            QTcpSocket* socket = server->nextPendingConnection();
            ++*connections;
            connect(socket, &QTcpSocket::readyRead, socket, [=] {
                *request += socket->readAll();
                if (answer.isEmpty() || !request->contains("\r\n\r\n"))
                    return;
                socket->write("HTTP/1.1 200 OK\r\nConnection: close\r\nContent-Length: "
                              + QByteArray::number(answer.size()) + "\r\n\r\n" + answer);
                socket->disconnectFromHost();
            });
        });
        startService([] { return net::createHttpConnection(NetServices::TransferTimeoutMs); }, server->serverPort());
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

    void answersAreRead_data()
    {
        QTest::addColumn<QByteArray>("body");
        QTest::addColumn<bool>("transferOk");
        QTest::addColumn<QStringList>("entries");
        const QString app = QStringLiteral("example.velbrook.mrv.linux 0.3.0 https://velbrook.example/mirevo/0.3");

        QTest::newRow("several ids")
            << QByteArray("{ \"updates\" : [ " + AppEntry
                          + ", { \"id\" : \"example.velbrook.mrv.win\", \"version\" : \"0.2.700\", "
                            "\"url\" : \"https://velbrook.example/w\" }, "
                            "{ \"id\" : \"other.app\", \"version\" : \"2\", \"url\" : \"http://o.example/\" } ] }")
            << true
            << QStringList{app, QStringLiteral("example.velbrook.mrv.win 0.2.700 https://velbrook.example/w"),
                           QStringLiteral("other.app 2.0.0 http://o.example/")};
        QTest::newRow("duplicate ids: the later wins")
            << QByteArray("{\"updates\":[" + AppEntry
                          + ",{\"id\":\"example.velbrook.mrv.linux\",\"version\":\"0.4.1\",\"url\":\"https://v.example/4\"}]}")
            << true << QStringList{QStringLiteral("example.velbrook.mrv.linux 0.4.1 https://v.example/4")};
        QTest::newRow("invalid entries skipped")
            << QByteArray("{ \"updates\" : [ 5, \"text\", null, "
                          "{ \"id\" : \"a\", \"version\" : \"1.2.3.4\", \"url\" : \"http://a.example/\" }, "
                          "{ \"id\" : \"\", \"version\" : \"1\", \"url\" : \"http://c.example/\" }, "
                          "{ \"version\" : \"1\", \"url\" : \"http://d.example/\" }, "
                          "{ \"id\" : \"e\", \"url\" : \"http://e.example/\" }, "
                          "{ \"id\" : \"f\", \"version\" : \"1\" }, "
                          "{ \"id\" : \"g\", \"version\" : \"1\", \"url\" : \"http://[broken/\" }, "
                          + AppEntry + ", { \"id\" : \"example.velbrook.mrv.linux\", \"version\" : \"x\", "
                          "\"url\" : \"http://x/\" } ] }")
            << true << QStringList{app};
        QTest::newRow("not JSON") << QByteArray("<html><body>Bad gateway</body></html>") << true << QStringList();
        QTest::newRow("list at the top") << QByteArray("[ " + AppEntry + " ]") << true << QStringList();
        QTest::newRow("no updates") << QByteArray("{ \"versions\" : [ " + AppEntry + " ] }") << true
                                    << QStringList();
        QTest::newRow("status not consulted") << QByteArray("{ \"updates\" : [ " + AppEntry + " ] }") << true
                                              << QStringList{app};
        QTest::newRow("transfer failed") << QByteArray("{ \"updates\" : [ " + AppEntry + " ] }") << false
                                         << QStringList();
    }

    void answersAreRead()
    {
        QFETCH(QByteArray, body);
        QFETCH(bool, transferOk);
        QFETCH(QStringList, entries);
        m_server->body = body;
        m_server->transferOk = transferOk;
        startFakeService();
        m_service->checkForUpdates();
        QTRY_COMPARE(m_results.size(), 1); // always reported
        QCOMPARE(describe(m_results.first()), entries);
        QCOMPARE(m_results.first().available, !entries.isEmpty());
        QTest::qWait(50);
        QCOMPARE(m_results.size(), 1);
    }

    void queuedJobIsDroppedOnDestruction()
    {
        m_server->holdFirst = true;
        m_server->body = "{ \"updates\" : [ " + AppEntry + " ] }";
        startFakeService();
        m_service->checkForUpdates();
        QVERIFY(m_server->entered.tryAcquire(1, 5000));
        m_service->checkForUpdates(); // waits in the queue behind the first
        QElapsedTimer clock;
        clock.start();
        m_service.reset();
        QVERIFY2(clock.elapsed() < NetServices::StopWaitMs, qPrintable(QString::number(clock.elapsed())));
        QCOMPARE(m_server->requests.load(), 1);
        QTest::qWait(50);
        QVERIFY(m_results.isEmpty());
    }

    void realExchange()
    {
        QTcpServer server;
        QByteArray request;
        int connections = 0;
        startRealService(&server, &request, &connections, "{ \"updates\" : [ " + AppEntry + " ] }");
        m_service->checkForUpdates();
        QTRY_COMPARE_WITH_TIMEOUT(m_results.size(), 1, 10000);
        QCOMPARE(m_results.first().entries.value(applicationId()).version, Version(0, 3, 0));

        const QString id = UserMetrics::instance()->storedId();
        QCOMPARE(id.size(), 36);
        QCOMPARE(request.left(request.indexOf("\r\n")),
                 "GET /updates?id=" + id.toLatin1() + "&p=example.velbrook.mrv.linux&v=0.2.642 HTTP/1.1");
        QVERIFY2(request.contains("\r\nUser-Agent: Mirevo 0.2.642\r\n"), request.constData());
    }

    // Shutdown aborts a request in flight instead of waiting it out; the queued check is dropped.
    void silentServerDoesNotHoldUpShutdown()
    {
        QTcpServer server;
        QByteArray request;
        int connections = 0;
        startRealService(&server, &request, &connections, QByteArray());
        m_service->checkForUpdates();
        QTRY_VERIFY(request.contains("\r\n\r\n"));
        m_service->checkForUpdates();
        QElapsedTimer clock;
        clock.start();
        m_service.reset();
        QVERIFY2(clock.elapsed() < 1000, qPrintable(QString::number(clock.elapsed())));
        QTest::qWait(100);
        QCOMPARE(connections, 1);
        QVERIFY(m_results.isEmpty());
    }
};

MRV_TEST_GUILESS_MAIN(TstNetServices)

#include "tst_netservices.moc"
