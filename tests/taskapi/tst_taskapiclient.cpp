#include "support/fakeconnection.h"
#include "support/testenv.h"
#include "taskapi/itaskapiclientdelegate.h"
#include "taskapi/taskapiclient.h"
#include "taskapi/taskapirequests.h"

#include <QElapsedTimer>
#include <QMutex>
#include <QMutexLocker>

#include <memory>

using taskapi::ApiSession;
using taskapi::TaskApiClient;
using taskapi::TaskApiRunnable;

namespace {

using testhttp::Answer;
using testhttp::SentRequest;

/// Copied inside the callbacks: the requests are deleted after them.
struct Outcome
{
    bool succeeded = false;
    int requestType = -1;
    ApiResult result;
    QVariant response;
};

/// The service and the client's owner at once: gives every request the same answer, and records
/// the requests and their outcomes. Shared with the pool threads.
class Recorder : public taskapi::ITaskApiClientDelegate
{
public:
    void onRequestSucceeded(TaskApiClient*, TaskApiRunnable* request) override { record(true, request); }
    void onRequestFailed(TaskApiClient*, TaskApiRunnable* request) override { record(false, request); }
    Answer respond(const SentRequest& request)
    {
        QMutexLocker locker(&m_lock);
        m_sent.append(request);
        return m_answer;
    }
    void setAnswer(const Answer& answer)
    {
        QMutexLocker locker(&m_lock);
        m_answer = answer;
    }
    QList<SentRequest> requests() const
    {
        QMutexLocker locker(&m_lock);
        return m_sent;
    }
    int count() const
    {
        QMutexLocker locker(&m_lock);
        return m_outcomes.size();
    }
    Outcome last() const
    {
        QMutexLocker locker(&m_lock);
        return m_outcomes.value(m_outcomes.size() - 1);
    }

private:
    void record(bool succeeded, TaskApiRunnable* request)
    {
        QMutexLocker locker(&m_lock);
        m_outcomes.append({succeeded, request->requestType(), request->result(), request->response()});
    }

    mutable QMutex m_lock;
    QList<SentRequest> m_sent;
    Answer m_answer;
    QList<Outcome> m_outcomes;
};

const QString ClientId = QStringLiteral("3E7A94C2-5B1D-4F08-A6C3-D82F0E61B975");

QByteArray loginAnswer(const QString& token, const QString& expires = QString())
{
    QByteArray body = "{ \"token\" : \"" + token.toUtf8() + "\"";
    if (!expires.isNull())
        body += ", \"expires\" : \"" + expires.toUtf8() + "\"";
    return body + ", \"user\" : { \"email\" : \"ann@example.org\" } }";
}

} // namespace

class TstTaskApiClient : public QObject
{
    Q_OBJECT

private:
    std::shared_ptr<Recorder> m_owner;
    std::unique_ptr<TaskApiClient> m_client;

    void makeClient()
    {
        m_client = std::make_unique<TaskApiClient>(ClientId, TaskApiClient::defaultBaseUrl());
        m_client->setDelegate(m_owner.get());
        const std::shared_ptr<Recorder> owner = m_owner;
        m_client->setConnectionFactory([owner] {
            return std::make_shared<testhttp::FakeConnection>(
                [owner](const SentRequest& request) { return owner->respond(request); });
        });
    }

    void answer(int status, const QByteArray& body, bool transferOk = true)
    {
        m_owner->setAnswer(Answer{transferOk, status, body});
    }

    bool logIn(const QByteArray& body, int status = 200)
    {
        answer(status, body);
        const int before = m_owner->count();
        m_client->login(QStringLiteral("ann@example.org"), QStringLiteral("secret"));
        return QTest::qWaitFor([&] { return m_owner->count() == before + 1; }, 5000);
    }

private Q_SLOTS:
    void init() { m_owner = std::make_shared<Recorder>(); }

    void cleanup()
    {
        m_client.reset(); // waits for its requests
        m_owner.reset();
    }

    void requestsOnTheWire_data()
    {
        QTest::addColumn<QString>("call");
        QTest::addColumn<bool>("loggedIn");
        QTest::addColumn<QByteArray>("method");
        QTest::addColumn<QString>("url");
        QTest::addColumn<QByteArray>("body");
        QTest::addColumn<QString>("authorization"); // null: no header
        QTest::addColumn<int>("requestType");

        QTest::newRow("login") << "login" << false << QByteArray("POST") << "http://127.0.0.1:8010/0/account/login/"
                               << QByteArray("{ \"client_id\" : \"3E7A94C2-5B1D-4F08-A6C3-D82F0E61B975\", "
                                             "\"client_name\" : \"TODO\", \"email\" : \"ann@example.org\", "
                                             "\"password\" : \"se\\\"cret\" }")
                               << QString() << 1;
        QTest::newRow("logout") << "logout" << true << QByteArray("POST") << "http://127.0.0.1:8010/0/account/logout/"
                                << QByteArray("{  }") << "OAuth2 tok-1" << 2;
        QTest::newRow("status") << "status" << true << QByteArray("GET")
                                << "http://127.0.0.1:8010/0/tasks/status/?revision=12" << QByteArray()
                                << "OAuth2 tok-1" << 4;
    }

    void requestsOnTheWire()
    {
        QFETCH(QString, call);
        QFETCH(bool, loggedIn);
        QFETCH(QByteArray, method);
        QFETCH(QString, url);
        QFETCH(QByteArray, body);
        QFETCH(QString, authorization);
        QFETCH(int, requestType);

        makeClient();
        if (loggedIn)
            QVERIFY(logIn(loginAnswer(QStringLiteral("tok-1"), QStringLiteral("2999-01-01T00:00:00Z"))));
        answer(200, "{ }");
        const int before = m_owner->count();
        if (call == QLatin1String("login")) {
            m_client->login(QStringLiteral("ann@example.org"), QStringLiteral("se\"cret"));
        } else if (call == QLatin1String("logout")) {
            m_client->logout();
        } else {
            m_client->requestStatus(12);
        }
        QTRY_COMPARE(m_owner->count(), before + 1);

        const SentRequest sent = m_owner->requests().last();
        QCOMPARE(sent.method, method);
        QCOMPARE(sent.url.toString(QUrl::FullyEncoded), url);
        QCOMPARE(sent.body, body);
        net::HttpConnection::Headers headers;
        if (!authorization.isNull())
            headers.insert(QStringLiteral("Authorization"), authorization);
        QCOMPARE(sent.headers, headers);
        QVERIFY(m_owner->last().succeeded);
        QCOMPARE(m_owner->last().requestType, requestType);
    }

    // The category of every answer; without a transfer there is no status and no answer.
    void resultCategories_data()
    {
        QTest::addColumn<int>("status"); // -1: no status
        QTest::addColumn<int>("failure"); // 0: none, 1: the transfer fails, 2: no connection
        QTest::addColumn<ApiResultCategory>("category");
        QTest::newRow("200") << 200 << 0 << ApiResultCategory::Ok;
        QTest::newRow("401") << 401 << 0 << ApiResultCategory::Unauthorized;
        QTest::newRow("500") << 500 << 0 << ApiResultCategory::ServerError;
        QTest::newRow("no status") << -1 << 0 << ApiResultCategory::Other;
        QTest::newRow("transfer failed") << -1 << 1 << ApiResultCategory::NetworkError;
        QTest::newRow("no connection") << -1 << 2 << ApiResultCategory::NetworkError;
    }

    void resultCategories()
    {
        QFETCH(int, status);
        QFETCH(int, failure);
        QFETCH(ApiResultCategory, category);
        makeClient();
        if (failure == 2)
            m_client->setConnectionFactory([] { return std::shared_ptr<net::HttpConnection>(); });
        answer(status, "{ \"error\" : \"said so\" }", failure == 0);
        m_client->requestStatus(3);
        QTRY_COMPARE(m_owner->count(), 1);
        const Outcome outcome = m_owner->last();
        QCOMPARE(outcome.result.category, category);
        QCOMPARE(outcome.result.httpStatus, status);
        QCOMPARE(outcome.succeeded, category == ApiResultCategory::Ok);
        // The answer is kept whatever the status.
        const QVariant said = failure == 0 ? QVariant(QStringLiteral("said so")) : QVariant();
        QCOMPARE(outcome.response.toMap().value(QStringLiteral("error")), said);
    }

    // A successful login replaces the session with what its answer says; a failed one keeps it.
    void sessionAfterALogin_data()
    {
        QTest::addColumn<QByteArray>("answer");
        QTest::addColumn<int>("status");
        QTest::addColumn<int>("state");
        QTest::addColumn<QString>("token");
        QTest::newRow("valid") << loginAnswer("abc", "2999-12-31T23:00:00Z") << 200 << 1 << "abc";
        QTest::newRow("expired") << loginAnswer("abc", "2001-02-03T04:05:06Z") << 200 << 2 << "abc";
        QTest::newRow("unreadable expiry") << loginAnswer("abc", "next week") << 200 << 2 << "abc";
        QTest::newRow("no token") << QByteArray("{ \"expires\" : \"2999-12-31T23:00:00Z\" }") << 200 << 0
                                  << "";
        QTest::newRow("not JSON") << QByteArray("<html><body>Welcome</body></html>") << 200 << 0 << "";
        QTest::newRow("refused") << loginAnswer("x", QString()) << 401 << 1 << "first";
    }

    void sessionAfterALogin()
    {
        QFETCH(QByteArray, answer);
        QFETCH(int, status);
        QFETCH(int, state);
        QFETCH(QString, token);
        makeClient();
        QVERIFY(logIn(loginAnswer("first", "2999-01-01T00:00:00Z")));
        QVERIFY(logIn(answer, status));
        QCOMPARE(m_owner->last().succeeded, status == 200);
        QCOMPARE(int(m_client->session().state()), state);
        QCOMPARE(m_client->session().token(), token);
        QCOMPARE(m_client->accessToken(), token);
        if (status == 200)
            QCOMPARE(m_client->session().data(), m_owner->last().response.toMap());
    }

    void manyRequestsAtOnce()
    {
        makeClient();
        answer(200, "{ \"revision\" : 1 }");
        for (int i = 0; i < 24; ++i)
            m_client->requestStatus(i);
        QTRY_COMPARE(m_owner->count(), 24);
        QStringList queries;
        for (const SentRequest& sent : m_owner->requests())
            queries.append(sent.url.query());
        queries.removeDuplicates();
        QCOMPARE(queries.size(), 24);
    }

    void destroyingTheClientAbortsRequestsInFlight()
    {
        makeClient();
        Answer hanging;
        hanging.hang = true;
        m_owner->setAnswer(hanging);
        for (int i = 0; i < 3; ++i)
            m_client->requestStatus(i);
        QTRY_VERIFY(!m_owner->requests().isEmpty());
        QElapsedTimer timer;
        timer.start();
        m_client.reset();
        // The hanging server would hold each request for a minute.
        QVERIFY2(timer.elapsed() < 10000, qPrintable(QString::number(timer.elapsed())));
        QCOMPARE(m_owner->count(), 0);
    }
};

MRV_TEST_GUILESS_MAIN(TstTaskApiClient)

#include "tst_taskapiclient.moc"
