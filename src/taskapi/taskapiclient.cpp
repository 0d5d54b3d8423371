#include "taskapi/taskapiclient.h"

#include "taskapi/itaskapiclientdelegate.h"
#include "taskapi/taskapirequests.h"

#include <QMutexLocker>
#include <QThreadPool>
#include <QVariantMap>

namespace taskapi {

namespace {

QMutex& instanceLock()
{
    static QMutex lock;
    return lock;
}

std::shared_ptr<TaskApiClient>& instancePointer()
{
    static std::shared_ptr<TaskApiClient> pointer;
    return pointer;
}

} // namespace

std::shared_ptr<TaskApiClient> TaskApiClient::instance()
{
    QMutexLocker locker(&instanceLock());
    std::shared_ptr<TaskApiClient>& pointer = instancePointer();
    if (!pointer)
        pointer = std::make_shared<TaskApiClient>(defaultClientId());
    return pointer;
}

std::shared_ptr<TaskApiClient> TaskApiClient::existingInstance()
{
    QMutexLocker locker(&instanceLock());
    return instancePointer();
}

void TaskApiClient::release()
{
    std::shared_ptr<TaskApiClient> last;
    {
        QMutexLocker locker(&instanceLock());
        last.swap(instancePointer());
    }
}

QString TaskApiClient::defaultClientId()
{
    return QStringLiteral("3E7A94C2-5B1D-4F08-A6C3-D82F0E61B975");
}

QUrl TaskApiClient::defaultBaseUrl()
{
    QUrl url;
    url.setScheme(QStringLiteral("http"));
    url.setHost(QStringLiteral("127.0.0.1"));
    url.setPort(8010);
    return url;
}

TaskApiClient::TaskApiClient(const QString& clientId, const QUrl& baseUrl)
    : m_clientId(clientId)
    , m_baseUrl(baseUrl)
{
}

TaskApiClient::~TaskApiClient()
{
    QMutexLocker locker(&m_lock);
    m_stopping = true;
    m_delegate = nullptr;
    // A request still queued in the pool fails at once when it starts; one in flight ends now.
    for (TaskApiRunnable* request : qAsConst(m_inFlight))
        request->abort();
    while (!m_inFlight.isEmpty())
        m_idle.wait(&m_lock);
}

void TaskApiClient::setDelegate(ITaskApiClientDelegate* delegate)
{
    QMutexLocker locker(&m_lock);
    m_delegate = delegate;
}

ApiSession TaskApiClient::session() const
{
    QMutexLocker locker(&m_lock);
    return m_session;
}

void TaskApiClient::setConnectionFactory(ConnectionFactory factory)
{
    QMutexLocker locker(&m_lock);
    m_connectionFactory = std::move(factory);
}

void TaskApiClient::login(const QString& email, const QString& password)
{
    start(new LoginReq(email, password));
}

void TaskApiClient::logout()
{
    start(new LogoutReq);
}

void TaskApiClient::createAccount(const QString& email, const QString& password, const QString& firstName,
                                  const QString& lastName, const QVariant& meta)
{
    start(new CreateAccountReq(email, password, firstName, lastName, meta));
}

void TaskApiClient::requestStatus(int revision)
{
    start(new StatusReq(revision));
}

void TaskApiClient::start(TaskApiRunnable* request)
{
    request->setDelegate(this);
    {
        QMutexLocker locker(&m_lock);
        if (m_connectionFactory)
            request->setConnectionFactory(m_connectionFactory);
        m_inFlight.append(request);
    }
    QThreadPool::globalInstance()->start(request, 0);
}

void TaskApiClient::requestFinished(TaskApiRunnable* request)
{
    ITaskApiClientDelegate* delegate = nullptr;
    const bool succeeded = request->result().isOk();
    {
        QMutexLocker locker(&m_lock);
        if (succeeded && request->requestType() == LoginReq::Type)
            m_session.setData(request->response().toMap());
        delegate = m_delegate;
    }
    // Called without the lock, so that the owner may ask for the session.
    if (delegate) {
        if (succeeded)
            delegate->onRequestSucceeded(this, request);
        else
            delegate->onRequestFailed(this, request);
    }
    QMutexLocker locker(&m_lock);
    m_inFlight.removeOne(request);
    delete request;
    if (m_inFlight.isEmpty())
        m_idle.wakeAll();
}

QString TaskApiClient::clientId() const
{
    return m_clientId;
}

QString TaskApiClient::host() const
{
    return m_baseUrl.host();
}

int TaskApiClient::port() const
{
    return m_baseUrl.port(m_baseUrl.scheme() == QLatin1String("https") ? 443 : 80);
}

QString TaskApiClient::scheme() const
{
    return m_baseUrl.scheme();
}

QString TaskApiClient::accessToken() const
{
    QMutexLocker locker(&m_lock);
    return m_session.token();
}

} // namespace taskapi
