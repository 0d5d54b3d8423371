#include "app/taskcore.h"
#include "net/httpconnection.h"
#include "support/testenv.h"
#include "taskapi/itaskapiclientdelegate.h"
#include "taskapi/taskapiclient.h"
#include "taskapi/taskapirequests.h"

#include <QDateTime>
#include <QMutex>
#include <QMutexLocker>
#include <QRegularExpression>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QThreadPool>

#include <functional>
#include <memory>

using taskapi::ApiSession;
using taskapi::TaskApiClient;
using taskapi::TaskApiRunnable;

namespace {

struct SentRequest
{
    QByteArray method;
    QUrl url;
    QByteArray body;
    net::HttpConnection::Headers headers;
};

struct Answer
{
    bool transferOk = true;
    int status = 200;
    QByteArray body;
};

/// The service as the fake connections see it: records every request and answers through
/// `respond`. Shared with the pool threads.
struct FakeService
{
    mutable QMutex lock;
    QList<SentRequest> sent;
    std::function<Answer(const SentRequest&)> respond = [](const SentRequest&) { return Answer(); };

    QList<SentRequest> requests() const
    {
        QMutexLocker locker(&lock);
        return sent;
    }

    Answer take(const SentRequest& request)
    {
        QMutexLocker locker(&lock);
        sent.append(request);
        return respond(request);
    }
};

class FakeConnection : public net::HttpConnection
{
public:
    explicit FakeConnection(std::shared_ptr<FakeService> service)
        : m_service(std::move(service))
    {
    }

    bool connect(const QString&, quint16) override { return true; }
    bool disconnect() override { return true; }
    bool get(const QUrl& url, QByteArray* response, const Headers& headers) override
    {
        return exchange({"GET", url, QByteArray(), headers}, response);
    }
    bool post(const QUrl& url, const QByteArray& body, QByteArray* response, const Headers& headers) override
    {
        return exchange({"POST", url, body, headers}, response);
    }
    int statusCode() const override { return m_status; }
    qint64 contentLength() const override { return -1; }
    int read(QIODevice*, int) override { return -1; }
    QString userAgent() const override { return QString(); }
    void setUserAgent(const QString&) override {}

private:
    bool exchange(const SentRequest& request, QByteArray* response)
    {
        const Answer answer = m_service->take(request);
        if (!answer.transferOk)
            return false;
        m_status = answer.status;
        *response = answer.body;
        return true;
    }

    std::shared_ptr<FakeService> m_service;
    int m_status = -1;
};

/// What the owner heard, copied inside the callbacks (the requests are deleted after them).
struct Outcome
{
    bool succeeded = false;
    int requestType = -1;
    ApiResult result;
    QVariant response;
};

class RecordingOwner : public taskapi::ITaskApiClientDelegate
{
public:
    void onRequestSucceeded(TaskApiClient*, TaskApiRunnable* request) override { record(true, request); }
    void onRequestFailed(TaskApiClient*, TaskApiRunnable* request) override { record(false, request); }

    int count() const
    {
        QMutexLocker locker(&m_lock);
        return m_outcomes.size();
    }
    Outcome last() const
    {
        QMutexLocker locker(&m_lock);
        return m_outcomes.isEmpty() ? Outcome() : m_outcomes.last();
    }

private:
    void record(bool succeeded, TaskApiRunnable* request)
    {
        QMutexLocker locker(&m_lock);
        m_outcomes.append({succeeded, request->requestType(), request->result(), request->response()});
    }

    mutable QMutex m_lock;
    QList<Outcome> m_outcomes;
};

const QString ClientId = QStringLiteral("3E7A94C2-5B1D-4F08-A6C3-D82F0E61B975");

QByteArray loginAnswer(const QString& token, const QString& expires)
{
    QByteArray body = "{ \"token\" : \"" + token.toUtf8() + "\"";
    if (!expires.isNull())
        body += ", \"expires\" : \"" + expires.toUtf8() + "\"";
    return body + ", \"user\" : { \"email\" : \"ann@example.org\" } }";
}

QUrl localBase(quint16 port)
{
    QUrl url;
    url.setScheme(QStringLiteral("http"));
    url.setHost(QStringLiteral("127.0.0.1"));
    url.setPort(port);
    return url;
}

} // namespace

class TstTaskApiClient : public QObject
{
    Q_OBJECT

private:
    std::shared_ptr<FakeService> m_service;
    std::unique_ptr<RecordingOwner> m_owner;
    std::unique_ptr<TaskApiClient> m_client;

    /// A client on the default address whose requests go to the fake service.
    void makeClient(const QUrl& baseUrl = TaskApiClient::defaultBaseUrl())
    {
        m_client = std::make_unique<TaskApiClient>(ClientId, baseUrl);
        m_client->setDelegate(m_owner.get());
        const std::shared_ptr<FakeService> service = m_service;
        m_client->setConnectionFactory([service] { return std::make_shared<FakeConnection>(service); });
    }

    /// Logs in and waits for the answer.
    bool logIn(const QByteArray& answer)
    {
        m_service->respond = [answer](const SentRequest&) { return Answer{true, 200, answer}; };
        const int before = m_owner->count();
        m_client->login(QStringLiteral("ann@example.org"), QStringLiteral("secret"));
        return QTest::qWaitFor([&] { return m_owner->count() == before + 1; }, 5000);
    }

private Q_SLOTS:
    void init()
    {
        m_service = std::make_shared<FakeService>();
        m_owner = std::make_unique<RecordingOwner>();
    }

    void cleanup()
    {
        m_client.reset(); // waits for its requests
        m_owner.reset();
    }

    void defaults()
    {
        QVERIFY(QRegularExpression(QStringLiteral("^[0-9A-F]{8}-[0-9A-F]{4}-[0-9A-F]{4}-[0-9A-F]{4}-[0-9A-F]{12}$"))
                    .match(TaskApiClient::defaultClientId())
                    .hasMatch());
        TaskApiClient client(TaskApiClient::defaultClientId());
        QCOMPARE(client.clientId(), TaskApiClient::defaultClientId());
        QCOMPARE(client.host(), QStringLiteral("127.0.0.1"));
        QCOMPARE(client.port(), 8010);
        QCOMPARE(client.scheme(), QStringLiteral("http"));
        QCOMPARE(client.accessToken(), QString());
        QCOMPARE(client.session().state(), ApiSession::NoSession);
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

        QTest::newRow("login") << "login" << false << QByteArray("POST")
                               << "http://127.0.0.1:8010/0/account/login/"
                               << QByteArray("{ \"client_id\" : \"3E7A94C2-5B1D-4F08-A6C3-D82F0E61B975\", "
                                             "\"client_name\" : \"TODO\", \"email\" : \"ann@example.org\", "
                                             "\"password\" : \"se\\\"cret\" }")
                               << QString() << 1;
        QTest::newRow("logout") << "logout" << true << QByteArray("POST") << "http://127.0.0.1:8010/0/account/logout/"
                                << QByteArray("{  }") << "OAuth2 tok-1" << 2;
        QTest::newRow("create account")
            << "create" << false << QByteArray("POST") << "http://127.0.0.1:8010/0/account/new/"
            << QByteArray("{ \"email\" : \"bo@example.org\", \"first_name\" : \"Bo\", \"last_name\" : \"Lind\", "
                          "\"meta\" : { \"source\" : \"test\" }, \"password\" : \"pw\" }")
            << QString() << 3;
        QTest::newRow("create account, meta not a hash")
            << "create-map" << false << QByteArray("POST") << "http://127.0.0.1:8010/0/account/new/"
            << QByteArray("{ \"email\" : \"bo@example.org\", \"first_name\" : \"Bo\", \"last_name\" : \"Lind\", "
                          "\"meta\" : {  }, \"password\" : \"pw\" }")
            << QString() << 3;
        QTest::newRow("status") << "status" << true << QByteArray("GET")
                                << "http://127.0.0.1:8010/0/tasks/status/?revision=12" << QByteArray()
                                << "OAuth2 tok-1" << 4;
        QTest::newRow("status without a session")
            << "status" << false << QByteArray("GET") << "http://127.0.0.1:8010/0/tasks/status/?revision=12"
            << QByteArray() << "OAuth2 " << 4;
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
        if (loggedIn) {
            QVERIFY(logIn(loginAnswer(QStringLiteral("tok-1"), QStringLiteral("2999-01-01T00:00:00Z"))));
            QCOMPARE(m_client->accessToken(), QStringLiteral("tok-1"));
        }
        m_service->respond = [](const SentRequest&) { return Answer{true, 200, "{ }"}; };
        const int before = m_owner->count();
        if (call == QLatin1String("login")) {
            m_client->login(QStringLiteral("ann@example.org"), QStringLiteral("se\"cret"));
        } else if (call == QLatin1String("logout")) {
            m_client->logout();
        } else if (call == QLatin1String("create")) {
            QVariantHash meta;
            meta.insert(QStringLiteral("source"), QStringLiteral("test"));
            m_client->createAccount(QStringLiteral("bo@example.org"), QStringLiteral("pw"), QStringLiteral("Bo"),
                                    QStringLiteral("Lind"), meta);
        } else if (call == QLatin1String("create-map")) {
            QVariantMap meta;
            meta.insert(QStringLiteral("source"), QStringLiteral("test"));
            m_client->createAccount(QStringLiteral("bo@example.org"), QStringLiteral("pw"), QStringLiteral("Bo"),
                                    QStringLiteral("Lind"), meta);
        } else {
            m_client->requestStatus(12);
        }
        QTRY_COMPARE(m_owner->count(), before + 1);

        const SentRequest sent = m_service->requests().last();
        QCOMPARE(sent.method, method);
        QCOMPARE(sent.url.toString(QUrl::FullyEncoded), url);
        QCOMPARE(sent.body, body);
        if (authorization.isNull()) {
            QVERIFY(sent.headers.isEmpty());
        } else {
            QCOMPARE(sent.headers.size(), 1);
            QCOMPARE(sent.headers.value(QStringLiteral("Authorization")), authorization);
        }
        const Outcome outcome = m_owner->last();
        QVERIFY(outcome.succeeded);
        QCOMPARE(outcome.requestType, requestType);
    }

    void statusCategories_data()
    {
        QTest::addColumn<int>("status");
        QTest::addColumn<ApiResultCategory>("category");

        QTest::newRow("200") << 200 << ApiResultCategory::Ok;
        QTest::newRow("100") << 100 << ApiResultCategory::Other;
        QTest::newRow("201") << 201 << ApiResultCategory::Other;
        QTest::newRow("204") << 204 << ApiResultCategory::Other;
        QTest::newRow("302") << 302 << ApiResultCategory::Other;
        QTest::newRow("400") << 400 << ApiResultCategory::BadRequest;
        QTest::newRow("401") << 401 << ApiResultCategory::Unauthorized;
        QTest::newRow("402") << 402 << ApiResultCategory::Other;
        QTest::newRow("403") << 403 << ApiResultCategory::Forbidden;
        QTest::newRow("404") << 404 << ApiResultCategory::NotFound;
        QTest::newRow("405") << 405 << ApiResultCategory::Other;
        QTest::newRow("499") << 499 << ApiResultCategory::Other;
        QTest::newRow("500") << 500 << ApiResultCategory::ServerError;
        QTest::newRow("503") << 503 << ApiResultCategory::ServerError;
        QTest::newRow("599") << 599 << ApiResultCategory::ServerError;
        QTest::newRow("600") << 600 << ApiResultCategory::Other;
        QTest::newRow("no status") << -1 << ApiResultCategory::Other;
    }

    void statusCategories()
    {
        QFETCH(int, status);
        QFETCH(ApiResultCategory, category);

        QCOMPARE(ApiResult::categoryOf(status), category);
        makeClient();
        m_service->respond = [status](const SentRequest&) {
            return Answer{true, status, "{ \"error\" : \"said so\" }"};
        };
        m_client->requestStatus(3);
        QTRY_COMPARE(m_owner->count(), 1);
        const Outcome outcome = m_owner->last();
        QCOMPARE(outcome.result.category, category);
        QCOMPARE(outcome.result.httpStatus, status);
        QCOMPARE(outcome.succeeded, category == ApiResultCategory::Ok);
        // The answer is kept whatever the status.
        QCOMPARE(outcome.response.toMap().value(QStringLiteral("error")).toString(), QStringLiteral("said so"));
    }

    void networkFailures_data()
    {
        QTest::addColumn<bool>("noConnection");
        QTest::newRow("no connection") << true;
        QTest::newRow("transfer failed") << false;
    }

    void networkFailures()
    {
        QFETCH(bool, noConnection);
        makeClient();
        if (noConnection)
            m_client->setConnectionFactory([] { return std::shared_ptr<net::HttpConnection>(); });
        else
            m_service->respond = [](const SentRequest&) { return Answer{false, 200, "{ }"}; };
        m_client->login(QStringLiteral("a@b"), QStringLiteral("c"));
        QTRY_COMPARE(m_owner->count(), 1);
        const Outcome outcome = m_owner->last();
        QVERIFY(!outcome.succeeded);
        QCOMPARE(outcome.result.category, ApiResultCategory::NetworkError);
        QCOMPARE(outcome.result.httpStatus, -1);
        QVERIFY(!outcome.response.isValid());
        QCOMPARE(m_client->session().state(), ApiSession::NoSession);
    }

    void sessionStates_data()
    {
        QTest::addColumn<QByteArray>("answer");
        QTest::addColumn<int>("state");
        QTest::addColumn<QString>("token");

        QTest::newRow("valid") << loginAnswer(QStringLiteral("abc"), QStringLiteral("2999-12-31T23:00:00Z")) << 1
                               << "abc";
        QTest::newRow("valid, local time") << loginAnswer(QStringLiteral("abc"), QStringLiteral("2999-12-31T23:00:00"))
                                           << 1 << "abc";
        QTest::newRow("expired") << loginAnswer(QStringLiteral("abc"), QStringLiteral("2001-02-03T04:05:06Z")) << 2
                                 << "abc";
        QTest::newRow("no expiry") << loginAnswer(QStringLiteral("abc"), QString()) << 2 << "abc";
        QTest::newRow("unreadable expiry") << loginAnswer(QStringLiteral("abc"), QStringLiteral("next week")) << 2
                                           << "abc";
        QTest::newRow("no token") << QByteArray("{ \"expires\" : \"2999-12-31T23:00:00Z\" }") << 0 << "";
        QTest::newRow("empty token") << loginAnswer(QString(), QStringLiteral("2999-12-31T23:00:00Z")) << 0 << "";
    }

    void sessionStates()
    {
        QFETCH(QByteArray, answer);
        QFETCH(int, state);
        QFETCH(QString, token);

        makeClient();
        QVERIFY(logIn(answer));
        QVERIFY(m_owner->last().succeeded);
        const ApiSession session = m_client->session();
        QCOMPARE(int(session.state()), state);
        QCOMPARE(session.token(), token);
        QCOMPARE(m_client->accessToken(), token);
        QCOMPARE(session.data(), m_owner->last().response.toMap());
    }

    void expiryIsReadAsIsoDate()
    {
        ApiSession session;
        QVariantMap data;
        data.insert(QStringLiteral("token"), QStringLiteral("t"));
        data.insert(QStringLiteral("expires"), QStringLiteral("2030-05-06T07:08:09Z"));
        session.setData(data);
        QCOMPARE(session.expires(), QDateTime(QDate(2030, 5, 6), QTime(7, 8, 9), Qt::UTC));
        QCOMPARE(session.stateAt(QDateTime(QDate(2030, 5, 6), QTime(7, 8, 8), Qt::UTC)), ApiSession::Valid);
        QCOMPARE(session.stateAt(QDateTime(QDate(2030, 5, 6), QTime(7, 8, 9), Qt::UTC)), ApiSession::Expired);
    }

    void onlySuccessfulLoginsChangeTheSession()
    {
        makeClient();
        QVERIFY(logIn(loginAnswer(QStringLiteral("first"), QStringLiteral("2999-01-01T00:00:00Z"))));
        QCOMPARE(m_client->session().token(), QStringLiteral("first"));

        // A refused login and other requests' answers leave it alone; so does a logout.
        m_service->respond = [](const SentRequest&) { return Answer{true, 401, loginAnswer(QStringLiteral("x"), QString())}; };
        m_client->login(QStringLiteral("a@b"), QStringLiteral("wrong"));
        QTRY_COMPARE(m_owner->count(), 2);
        m_service->respond = [](const SentRequest&) { return Answer{true, 200, loginAnswer(QStringLiteral("y"), QString())}; };
        m_client->requestStatus(1);
        QTRY_COMPARE(m_owner->count(), 3);
        m_client->logout();
        QTRY_COMPARE(m_owner->count(), 4);
        QCOMPARE(m_client->session().token(), QStringLiteral("first"));
        QCOMPARE(m_client->session().state(), ApiSession::Valid);
    }

    void nonJsonAnswerIsStillOk()
    {
        makeClient();
        QVERIFY(logIn(loginAnswer(QStringLiteral("first"), QStringLiteral("2999-01-01T00:00:00Z"))));
        QVERIFY(logIn("<html><body>Welcome</body></html>"));
        const Outcome outcome = m_owner->last();
        QVERIFY(outcome.succeeded);
        QCOMPARE(outcome.result.category, ApiResultCategory::Ok);
        QCOMPARE(outcome.result.httpStatus, 200);
        QVERIFY(!outcome.response.isValid());
        QVERIFY(m_client->session().data().isEmpty());
        QCOMPARE(m_client->session().state(), ApiSession::NoSession);
    }

    void manyRequestsAtOnce()
    {
        makeClient();
        m_service->respond = [](const SentRequest&) { return Answer{true, 200, "{ \"revision\" : 1 }"}; };
        for (int i = 0; i < 24; ++i)
            m_client->requestStatus(i);
        QTRY_COMPARE(m_owner->count(), 24);
        QStringList queries;
        for (const SentRequest& sent : m_service->requests())
            queries.append(sent.url.query());
        QCOMPARE(queries.size(), 24);
        queries.removeDuplicates();
        QCOMPARE(queries.size(), 24);
    }

    void requestWithoutClient()
    {
        taskapi::StatusReq request(5);
        QCOMPARE(request.perform(nullptr).category, ApiResultCategory::Other);
        QCOMPARE(request.perform(nullptr).httpStatus, -1);
        QCOMPARE(request.result().category, ApiResultCategory::Other);
        QCOMPARE(request.result().httpStatus, -1);
        QVERIFY(!request.response().isValid());
        QVERIFY(!request.autoDelete());

        request.setConnectionFactory([] { return std::shared_ptr<net::HttpConnection>(); });
        request.run();
        QCOMPARE(request.result().category, ApiResultCategory::NetworkError);

        // Without a client there is no address: the request goes nowhere.
        const std::shared_ptr<FakeService> service = m_service;
        request.setConnectionFactory([service] { return std::make_shared<FakeConnection>(service); });
        request.run();
        QCOMPARE(m_service->requests().size(), 1);
        const QUrl nowhere = m_service->requests().first().url;
        QVERIFY(nowhere.host().isEmpty());
        QVERIFY(nowhere.path().isEmpty());
    }

    // The real connection: a refused connection and a whole exchange with a server on 127.0.0.1.
    void unreachableServer()
    {
        quint16 port = 0;
        {
            QTcpServer probe;
            QVERIFY(probe.listen(QHostAddress::LocalHost));
            port = probe.serverPort();
        }
        m_client = std::make_unique<TaskApiClient>(ClientId, localBase(port));
        m_client->setDelegate(m_owner.get());
        m_client->requestStatus(1);
        QTRY_COMPARE_WITH_TIMEOUT(m_owner->count(), 1, 10000);
        const Outcome outcome = m_owner->last();
        QCOMPARE(outcome.result.category, ApiResultCategory::NetworkError);
        QCOMPARE(outcome.result.httpStatus, -1);
        QVERIFY(!outcome.response.isValid());
    }

    void realLogin()
    {
        QTcpServer server;
        QVERIFY(server.listen(QHostAddress::LocalHost));
        QByteArray request;
        connect(&server, &QTcpServer::newConnection, this, [&server, &request] {
            QTcpSocket* socket = server.nextPendingConnection();
            connect(socket, &QTcpSocket::readyRead, socket, [socket, &request] {
                request += socket->readAll();
                const int end = request.indexOf("\r\n\r\n");
                const QRegularExpression lengthHeader(QStringLiteral("\r\nContent-Length: (\\d+)\r\n"),
                                                      QRegularExpression::CaseInsensitiveOption);
                const auto match = lengthHeader.match(QString::fromLatin1(request));
                if (end < 0 || !match.hasMatch() || request.size() - end - 4 < match.captured(1).toInt())
                    return;
                const QByteArray body = loginAnswer(QStringLiteral("real"), QStringLiteral("2999-01-01T00:00:00Z"));
                socket->write("HTTP/1.1 200 OK\r\nConnection: close\r\nContent-Length: "
                              + QByteArray::number(body.size()) + "\r\n\r\n" + body);
                socket->disconnectFromHost();
            });
        });
        m_client = std::make_unique<TaskApiClient>(ClientId, localBase(server.serverPort()));
        m_client->setDelegate(m_owner.get());
        m_client->login(QStringLiteral("ann@example.org"), QStringLiteral("secret"));
        QTRY_COMPARE_WITH_TIMEOUT(m_owner->count(), 1, 10000);

        QVERIFY(m_owner->last().succeeded);
        QCOMPARE(m_client->session().state(), ApiSession::Valid);
        QVERIFY2(request.startsWith("POST /0/account/login/ HTTP/1.1\r\n"), request.constData());
        QVERIFY(!request.contains("Authorization"));
        QVERIFY(request.endsWith("\r\n\r\n{ \"client_id\" : \"3E7A94C2-5B1D-4F08-A6C3-D82F0E61B975\", "
                                 "\"client_name\" : \"TODO\", \"email\" : \"ann@example.org\", "
                                 "\"password\" : \"secret\" }"));
    }

    // The core object makes the process-wide client and listens to it until it goes.
    void coreBecomesTheDelegate()
    {
        QTemporaryDir dir;
        QVERIFY(!TaskApiClient::existingInstance());
        QCOMPARE(TaskCore::instance()->init(dir.filePath(QStringLiteral("tasks.xml")), 3600000), 0);
        std::shared_ptr<TaskApiClient> client = TaskApiClient::existingInstance();
        QVERIFY(client);
        QCOMPARE(client->clientId(), TaskApiClient::defaultClientId());
        const std::shared_ptr<FakeService> service = m_service;
        client->setConnectionFactory([service] { return std::make_shared<FakeConnection>(service); });

        client->requestStatus(1);
        QTRY_COMPARE(m_service->requests().size(), 1);
        QThreadPool::globalInstance()->waitForDone(5000);
        TaskCore::destroy();
        // No owner any more: the answer is dropped quietly.
        client->requestStatus(2);
        QTRY_COMPARE(m_service->requests().size(), 2);
        TaskApiClient::release();
        client.reset(); // waits for the request
        QVERIFY(!TaskApiClient::existingInstance());
    }
};

MRV_TEST_GUILESS_MAIN(TstTaskApiClient)

#include "tst_taskapiclient.moc"
