// The update check against a scripted server, and the usage identity it sends.

#include "net/netservices.h"
#include "net/usermetrics.h"
#include "support/httptestserver.h"
#include "support/testenv.h"

#include <QElapsedTimer>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QThread>

#include <memory>
#include <vector>

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

const QRegularExpression IdForm(QStringLiteral("^[0-9a-f]{8}-[0-9a-f]{4}-[0-9a-f]{4}-[0-9a-f]{4}-[0-9a-f]{12}$"));

QByteArray metricsDocument(const QString& id)
{
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?><metrics><id>" + id.toUtf8() + "</id></metrics>\n";
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
    QTemporaryDir m_dir;

    QString path(const QString& name) const { return m_dir.filePath(name); }

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

    // One id, made on first use, whichever thread asks first.
    void threadsShareOneId()
    {
        UserMetrics metrics;
        QVERIFY(metrics.storedId().isEmpty());
        constexpr int Count = 8;
        QString seen[Count];
        std::vector<std::unique_ptr<QThread>> threads;
        for (int i = 0; i < Count; ++i)
            threads.emplace_back(QThread::create([&metrics, &seen, i] { seen[i] = metrics.id(); }));
        for (auto& thread : threads)
            thread->start();
        for (auto& thread : threads)
            QVERIFY(thread->wait(5000));
        for (const QString& id : seen)
            QCOMPARE(id, seen[0]);
        QVERIFY2(IdForm.match(seen[0]).hasMatch(), qPrintable(seen[0]));
        QCOMPARE(metrics.id(), seen[0]);
    }

    // What is saved is the document the load table reads back; a save that cannot write leaves
    // nothing behind.
    void saveWritesTheId()
    {
        const QString file = path(QStringLiteral("saved.xml"));
        UserMetrics metrics;
        const QString id = metrics.id();
        metrics.save(file);
        QCOMPARE(testenv::readBytes(file), metricsDocument(id));

        QVERIFY(testenv::writeBytes(path(QStringLiteral("plain")), "not a folder"));
        metrics.save(path(QStringLiteral("plain/metrics.xml")));
        QVERIFY(!QFile::exists(path(QStringLiteral("plain/metrics.xml"))));
    }

    // Loading replaces the id in use only with one it reads; what cannot be read leaves it alone.
    void load_data()
    {
        QTest::addColumn<QByteArray>("content"); // null: no file
        QTest::addColumn<bool>("result");
        QTest::addColumn<QString>("id"); // "kept": the id in use stays

        const QString id = QStringLiteral("0b7c1e52-34f2-4d7b-9a0e-5c2f19d8e6a1");
        QTest::newRow("saved") << metricsDocument(id) << true << id;
        QTest::newRow("no id: none") << QByteArray("<?xml version=\"1.0\"?><metrics/>") << true << QString();
        QTest::newRow("not XML") << QByteArray("id=" + id.toUtf8()) << false << "kept";
        QTest::newRow("no file") << QByteArray() << false << "kept";
    }

    void load()
    {
        QFETCH(QByteArray, content);
        QFETCH(bool, result);
        QFETCH(QString, id);
        const QString file = path(QTest::currentDataTag());
        if (!content.isNull())
            QVERIFY(testenv::writeBytes(file, content));
        UserMetrics metrics;
        const QString inUse = metrics.id();
        QCOMPARE(metrics.load(file), result);
        QCOMPARE(metrics.storedId(), id == QLatin1String("kept") ? inUse : id);
    }
};

MRV_TEST_GUILESS_MAIN(TstNetServices)

#include "tst_netservices.moc"
