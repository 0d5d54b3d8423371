// The task service client against a scripted server on 127.0.0.1, through real connections.

#include "support/httptestserver.h"
#include "support/testenv.h"
#include "taskapi/itaskapiclientdelegate.h"
#include "taskapi/taskapiclient.h"
#include "taskapi/taskapirunnable.h"

#include <QElapsedTimer>
#include <QMutex>

#include <memory>

using taskapi::TaskApiClient;
using taskapi::TaskApiRunnable;
using testhttp::httpResponse;

namespace {

struct Outcome
{
    bool succeeded = false;
    ApiResult result;
    QVariant response;
};

/// The client's owner: records every outcome, told on the pool threads.
class Recorder : public taskapi::ITaskApiClientDelegate
{
public:
    void onRequestSucceeded(TaskApiClient*, TaskApiRunnable* request) override { record(true, request); }
    void onRequestFailed(TaskApiClient*, TaskApiRunnable* request) override { record(false, request); }
    QList<Outcome> outcomes() const
    {
        QMutexLocker locker(&m_lock);
        return m_outcomes;
    }

private:
    void record(bool succeeded, TaskApiRunnable* request)
    {
        QMutexLocker locker(&m_lock);
        m_outcomes.append({succeeded, request->result(), request->response()});
    }

    mutable QMutex m_lock;
    QList<Outcome> m_outcomes;
};

} // namespace

class TstTaskApiClient : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<testhttp::ScriptedServer> m_server;
    std::unique_ptr<Recorder> m_owner;
    std::unique_ptr<TaskApiClient> m_client;

private Q_SLOTS:
    void init()
    {
        m_server = std::make_unique<testhttp::ScriptedServer>();
        m_owner = std::make_unique<Recorder>();
        QVERIFY(m_server->start());
        const QUrl base = m_server->url(QString());
        m_client = std::make_unique<TaskApiClient>(TaskApiClient::defaultClientId(), base);
        m_client->setDelegate(m_owner.get());
    }

    void cleanup()
    {
        m_client.reset(); // waits for its requests
    }

    // The category of every answer; without a transfer there is no status and no answer.
    void resultCategories_data()
    {
        QTest::addColumn<QByteArray>("answer"); // empty: no connection
        QTest::addColumn<int>("status");
        QTest::addColumn<ApiResultCategory>("category");
        const QByteArray said = "{ \"error\" : \"said so\" }";
        QTest::newRow("200") << httpResponse(200, said) << 200 << ApiResultCategory::Ok;
        QTest::newRow("401") << httpResponse(401, said) << 401 << ApiResultCategory::Unauthorized;
        QTest::newRow("500") << httpResponse(500, said) << 500 << ApiResultCategory::ServerError;
        QTest::newRow("409") << httpResponse(409, said) << 409 << ApiResultCategory::Other;
        QTest::newRow("transfer cut short")
            << httpResponse(200, said, 1000) << -1 << ApiResultCategory::NetworkError;
        QTest::newRow("no connection") << QByteArray() << -1 << ApiResultCategory::NetworkError;
    }

    void resultCategories()
    {
        QFETCH(QByteArray, answer);
        QFETCH(int, status);
        QFETCH(ApiResultCategory, category);
        if (answer.isEmpty())
            m_client->setConnectionFactory([] { return std::shared_ptr<net::HttpConnection>(); });
        m_server->responses = {answer};
        m_client->requestStatus(3);
        QTRY_COMPARE(m_owner->outcomes().size(), 1);
        const Outcome outcome = m_owner->outcomes().first();
        QCOMPARE(outcome.result.category, category);
        QCOMPARE(outcome.result.httpStatus, status);
        QCOMPARE(outcome.succeeded, category == ApiResultCategory::Ok);
        // The answer is kept whatever the status.
        const QVariant said = status > 0 ? QVariant(QStringLiteral("said so")) : QVariant();
        QCOMPARE(outcome.response.toMap().value(QStringLiteral("error")), said);
    }

    void manyRequestsAtOnce()
    {
        m_server->responses = {httpResponse(200, "{ \"revision\" : 1 }")};
        for (int i = 0; i < 24; ++i)
            m_client->requestStatus(i);
        QTRY_COMPARE_WITH_TIMEOUT(m_owner->outcomes().size(), 24, 20000);
        QStringList lines;
        for (const testhttp::ReceivedRequest& request : m_server->requests)
            lines.append(QString::fromLatin1(request.requestLine));
        lines.removeDuplicates();
        QCOMPARE(lines.size(), 24);
    }

    void destroyingTheClientAbortsRequestsInFlight()
    {
        m_server->silent = true;
        for (int i = 0; i < 3; ++i)
            m_client->requestStatus(i);
        QTRY_VERIFY(!m_server->requests.isEmpty());
        QElapsedTimer timer;
        timer.start();
        m_client.reset();
        // The silent server would hold each request until the transfer times out.
        QVERIFY2(timer.elapsed() < 10000, qPrintable(QString::number(timer.elapsed())));
        QVERIFY(m_owner->outcomes().isEmpty());
    }
};

MRV_TEST_GUILESS_MAIN(TstTaskApiClient)

#include "tst_taskapiclient.moc"
