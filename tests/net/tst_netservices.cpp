#include "base/identity.h"
#include "net/httpconnection.h"
#include "net/netservices.h"
#include "net/usermetrics.h"
#include "support/httptestserver.h"
#include "support/testenv.h"

#include <QElapsedTimer>

#include <memory>

namespace {

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
    std::unique_ptr<NetServices> m_service;
    QList<UpdateInformation> m_results;

    /// Reports reach m_results through a queued connection, as in the program.
    void startService(testhttp::ScriptedServer* server)
    {
        QVERIFY(server->start());
        m_service = std::make_unique<NetServices>();
        m_service->setBaseUrl(server->url(QString()));
        connect(m_service.get(), &NetServices::updatesChecked, this,
                [this](const UpdateInformation& info) { m_results.append(info); }, Qt::QueuedConnection);
        m_service->start();
    }

private Q_SLOTS:
    void init() { m_results.clear(); }

    void cleanup()
    {
        m_service.reset();
        UserMetrics::destroy();
    }

    void answersAreRead_data()
    {
        QTest::addColumn<QByteArray>("body"); // empty: the transfer fails
        QTest::addColumn<QStringList>("entries");
        const QString app = QStringLiteral("example.velbrook.mrv.linux 0.3.0 https://velbrook.example/mirevo/0.3");
        QTest::newRow("several ids, the later of a duplicate wins")
            << QByteArray("{ \"updates\" : [ " + AppEntry
                          + ", { \"id\" : \"example.velbrook.mrv.win\", \"version\" : \"0.2.700\", "
                            "\"url\" : \"https://velbrook.example/w\" },"
                            "{\"id\":\"example.velbrook.mrv.linux\",\"version\":\"0.4.1\","
                            "\"url\":\"https://v.example/4\"}]}")
            << QStringList{QStringLiteral("example.velbrook.mrv.linux 0.4.1 https://v.example/4"),
                           QStringLiteral("example.velbrook.mrv.win 0.2.700 https://velbrook.example/w")};
        QTest::newRow("invalid entries skipped")
            << QByteArray("{ \"updates\" : [ 5, \"text\", null, "
                          "{ \"id\" : \"\", \"version\" : \"1\", \"url\" : \"http://c.example/\" }, "
                          "{ \"id\" : \"g\", \"version\" : \"1\", \"url\" : \"http://[broken/\" }, "
                          + AppEntry + ", { \"id\" : \"example.velbrook.mrv.linux\", \"version\" : \"x\", "
                          "\"url\" : \"http://x/\" } ] }")
            << QStringList{app};
        QTest::newRow("not JSON") << QByteArray("<html><body>Bad gateway</body></html>") << QStringList();
        QTest::newRow("transfer failed") << QByteArray() << QStringList();
    }

    void answersAreRead()
    {
        QFETCH(QByteArray, body);
        QFETCH(QStringList, entries);
        testhttp::ScriptedServer server;
        // The answer counts, not the status; an answer cut short is none.
        server.responses << testhttp::httpResponse(503, body, body.isEmpty() ? 100 : -2);
        startService(&server);
        m_service->checkForUpdates();
        QTRY_COMPARE_WITH_TIMEOUT(m_results.size(), 1, 10000); // always reported
        QCOMPARE(describe(m_results.first()), entries);
        QCOMPARE(m_results.first().available, !entries.isEmpty());
        const QString id = UserMetrics::instance()->storedId();
        QCOMPARE(id.size(), 36);
        QCOMPARE(server.requests.first().requestLine,
                 "GET /updates?id=" + id.toLatin1() + "&p=example.velbrook.mrv.linux&v=0.2.642 HTTP/1.1");
        QCOMPARE(server.requests.first().values("User-Agent"), QList<QByteArray>{"Mirevo 0.2.642"});
        QTest::qWait(50);
        QCOMPARE(m_results.size(), 1);
    }

    // Shutdown aborts a request in flight instead of waiting it out; the queued check is dropped.
    void silentServerDoesNotHoldUpShutdown()
    {
        testhttp::ScriptedServer server;
        server.silent = true;
        startService(&server);
        m_service->checkForUpdates();
        QTRY_COMPARE(server.requests.size(), 1);
        m_service->checkForUpdates();
        QElapsedTimer clock;
        clock.start();
        m_service.reset();
        QVERIFY2(clock.elapsed() < 1000, qPrintable(QString::number(clock.elapsed())));
        QTest::qWait(100);
        QCOMPARE(server.connections, 1);
        QVERIFY(m_results.isEmpty());
    }
};

MRV_TEST_GUILESS_MAIN(TstNetServices)

#include "tst_netservices.moc"
