#include "net/netservices.h"

#include "base/identity.h"
#include "net/httpconnection.h"
#include "net/usermetrics.h"

#include <QMutexLocker>
#include <QUrlQuery>

namespace {

QMutex& instanceLock()
{
    static QMutex lock;
    return lock;
}

std::shared_ptr<NetServices>& instancePointer()
{
    static std::shared_ptr<NetServices> pointer;
    return pointer;
}

} // namespace

std::shared_ptr<NetServices> NetServices::instance()
{
    QMutexLocker locker(&instanceLock());
    std::shared_ptr<NetServices>& pointer = instancePointer();
    if (!pointer) {
        pointer = std::make_shared<NetServices>();
        pointer->start(QThread::InheritPriority);
    }
    return pointer;
}

void NetServices::release()
{
    std::shared_ptr<NetServices> last;
    {
        QMutexLocker locker(&instanceLock());
        last.swap(instancePointer());
    }
    // Destroyed here, outside the lock, when this was the last copy.
}

QUrl NetServices::defaultBaseUrl()
{
    QUrl url;
    url.setScheme(QStringLiteral("https"));
    url.setHost(apiHost());
    return url;
}

NetServices::NetServices(QObject* parent)
    : QThread(parent)
    , m_baseUrl(defaultBaseUrl())
    , m_connectionFactory([] { return net::createHttpConnection(TransferTimeoutMs); })
{
    qRegisterMetaType<UpdateInformation>("UpdateInformation");
}

NetServices::~NetServices()
{
    m_stop.storeRelease(1);
    {
        QMutexLocker locker(&m_lock);
        m_wake.wakeAll();
        // A check in flight is cut short rather than waited for.
        if (m_current)
            m_current->abort();
    }
    // Even without the abort a request ends within its transfer time-out, well before the
    // thread would be cut off.
    if (!wait(StopWaitMs)) {
        terminate();
        wait();
    }
}

void NetServices::setBaseUrl(const QUrl& baseUrl)
{
    QMutexLocker locker(&m_lock);
    m_baseUrl = baseUrl;
}

QUrl NetServices::baseUrl() const
{
    QMutexLocker locker(&m_lock);
    return m_baseUrl;
}

void NetServices::setConnectionFactory(ConnectionFactory factory)
{
    QMutexLocker locker(&m_lock);
    m_connectionFactory = std::move(factory);
}

void NetServices::checkForUpdates()
{
    enqueue(std::make_shared<CheckForUpdateJob>());
}

void NetServices::enqueue(std::shared_ptr<Job> job)
{
    QMutexLocker locker(&m_lock);
    m_queue.append(std::move(job));
    m_wake.wakeAll();
}

QUrl NetServices::updateCheckUrl(const QString& usageId) const
{
    QUrlQuery query;
    query.setQueryItems({
        {QStringLiteral("id"), usageId},
        {QStringLiteral("p"), applicationId()},
        {QStringLiteral("v"), programVersion().toString()},
    });
    QUrl url = baseUrl();
    url.setPath(QStringLiteral("/updates"));
    url.setQuery(query);
    return url;
}

QString NetServices::userAgent()
{
    return productName() + QLatin1Char(' ') + programVersion().toString();
}

void NetServices::run()
{
    while (!m_stop.loadAcquire()) {
        std::shared_ptr<Job> job;
        {
            QMutexLocker locker(&m_lock);
            // The stop flag is read under the lock, so the destructor's wake-up cannot be missed.
            while (m_queue.isEmpty() && !m_stop.loadAcquire())
                m_wake.wait(&m_lock);
            if (m_stop.loadAcquire())
                break;
            job = m_queue.takeFirst();
        }
        if (job->kind == CheckForUpdateJob::Kind)
            checkForUpdate();
    }
}

void NetServices::checkForUpdate()
{
    const QUrl url = updateCheckUrl(UserMetrics::instance()->id());
    ConnectionFactory factory;
    {
        QMutexLocker locker(&m_lock);
        factory = m_connectionFactory;
    }

    UpdateInformation result;
    const std::shared_ptr<net::HttpConnection> connection = factory ? factory() : nullptr;
    {
        QMutexLocker locker(&m_lock);
        m_current = connection;
        // The destructor may have come between the queue and here.
        if (m_stop.loadAcquire() && connection)
            connection->abort();
    }
    if (connection) {
        connection->setUserAgent(userAgent());
        QByteArray response;
        // The server's status is not consulted: only the answer's shape counts.
        if (connection->get(url, &response))
            result = UpdateInformation::fromResponse(QString::fromUtf8(response));
    }
    {
        QMutexLocker locker(&m_lock);
        m_current.reset();
    }
    // A check cut short by shutdown has nobody left to tell.
    if (!m_stop.loadAcquire())
        Q_EMIT updatesChecked(result);
}
