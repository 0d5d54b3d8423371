#include "sync/syncservice.h"

#include "base/log.h"
#include "store/taskstorage.h"
#include "sync/syncworker.h"

#include <QLocale>
#include <QMutex>
#include <QMutexLocker>
#include <QSemaphore>
#include <QTimer>

namespace sync {

namespace {

/// A call handed to the store's thread, which the worker may withdraw while it has not begun.
struct StoreJob
{
    QMutex lock;
    bool started = false;
    bool withdrawn = false;
    QSemaphore done;
};

// After an interrupted pass the next one comes sooner than the interval, but not in a storm.
constexpr int RetryMs = 60000;
// Passes that follow one another while the server keeps changing under them.
constexpr int MaxFollowUps = 3;

} // namespace

SyncService::SyncService(std::shared_ptr<TaskStorage> store, const QString& statePath, QObject* parent)
    : QObject(parent)
    , m_store(std::move(store))
    , m_statePath(statePath)
    , m_changeTimer(new QTimer(this))
    , m_intervalTimer(new QTimer(this))
    , m_aborted(std::make_shared<std::atomic<bool>>(false))
{
    qRegisterMetaType<sync::SyncOutcome>();
    m_changeTimer->setSingleShot(true);
    connect(m_changeTimer, &QTimer::timeout, this, &SyncService::syncNow);
    m_intervalTimer->setInterval(m_intervalMs);
    connect(m_intervalTimer, &QTimer::timeout, this, &SyncService::syncNow);
    connect(m_store.get(), &TaskStorage::taskChanged, this, &SyncService::_onStoreChanged);
    connect(m_store.get(), &TaskStorage::groupChanged, this, &SyncService::_onStoreChanged);

    m_worker = new SyncWorker(m_store.get(), m_statePath,
                              [this](const std::function<void()>& call) { return _runOnStoreThread(call); }, m_aborted);
    m_worker->moveToThread(&m_thread);
    connect(&m_thread, &QThread::finished, m_worker, &QObject::deleteLater);
    connect(m_worker, &SyncWorker::passDone, this, &SyncService::_onPassDone, Qt::QueuedConnection);
    m_thread.setObjectName(QStringLiteral("sync"));
    m_thread.start();
}

SyncService::~SyncService()
{
    stop();
}

void SyncService::setAccount(const QUrl& server, const QString& user, const QString& password)
{
    m_server = server;
    m_user = user;
    m_password = password;
    m_lastOutcome = SyncOutcome();
    _setStatus(isConfigured() ? Status::Waiting : Status::Off);
}

void SyncService::setPassword(const QString& password)
{
    m_password = password;
    if (m_status == Status::NeedsAttention && !m_running)
        _setStatus(Status::Waiting);
}

void SyncService::setIntervalMs(int intervalMs)
{
    m_intervalMs = intervalMs;
    m_intervalTimer->setInterval(intervalMs);
}

void SyncService::start(int firstDelayMs)
{
    m_started = true;
    m_intervalTimer->start();
    QTimer::singleShot(firstDelayMs, this, &SyncService::syncNow);
}

void SyncService::syncNow()
{
    m_pending = true;
    _launch();
}

void SyncService::pairNow()
{
    m_pending = true;
    m_pendingPairOnly = true;
    _launch();
}

void SyncService::stop()
{
    if (!m_thread.isRunning())
        return;
    *m_aborted = true;
    m_worker->abort();
    m_thread.quit();
    m_thread.wait();
    m_changeTimer->stop();
    m_intervalTimer->stop();
}

QString SyncService::statusText() const
{
    const QString reason = m_lastOutcome.message;
    switch (m_status) {
    case Status::Off:
        return tr("Sync is off");
    case Status::Waiting:
        return m_password.isEmpty() ? tr("Sync needs the password") : tr("Sync starts soon");
    case Status::Syncing:
        return tr("Syncing…");
    case Status::Synced:
        return tr("Synced at %1").arg(QLocale().toString(m_lastSynced.time(), QLocale::ShortFormat));
    case Status::Offline:
        return reason.isEmpty() ? tr("Offline: changes are sent when the server can be reached")
                                : tr("Offline: %1").arg(reason);
    case Status::NeedsAttention:
        return tr("Sync needs attention: %1").arg(reason);
    }
    return QString();
}

void SyncService::_launch()
{
    if (m_running || !m_pending || !isConfigured() || *m_aborted)
        return;
    if (m_password.isEmpty()) {
        m_pending = false;
        m_lastOutcome = SyncOutcome();
        m_lastOutcome.result = SyncOutcome::AuthFailed;
        m_lastOutcome.message = tr("no password was given");
        _setStatus(Status::NeedsAttention);
        Q_EMIT passFinished(m_lastOutcome);
        return;
    }
    const bool pairOnly = m_pendingPairOnly;
    m_pending = false;
    m_pendingPairOnly = false;
    m_running = true;
    m_passServer = m_server;
    m_passUser = m_user;
    _setStatus(Status::Syncing);
    QMetaObject::invokeMethod(m_worker, "runPass", Qt::QueuedConnection, Q_ARG(QUrl, m_server), Q_ARG(QString, m_user),
                              Q_ARG(QString, m_password), Q_ARG(int, m_transferTimeoutMs), Q_ARG(bool, pairOnly));
}

void SyncService::_onPassDone(const SyncOutcome& outcome)
{
    m_running = false;
    if (m_passServer != m_server || m_passUser != m_user) {
        // The account changed or sync was turned off during the pass: its outcome says nothing
        // about the account set now.
        m_followUps = 0;
        Q_EMIT passFinished(outcome);
        _launch();
        return;
    }
    m_lastOutcome = outcome;
    switch (outcome.result) {
    case SyncOutcome::Synced:
        m_lastSynced = QDateTime::currentDateTime();
        _setStatus(Status::Synced);
        break;
    case SyncOutcome::Offline:
        _setStatus(Status::Offline);
        if (m_started)
            QTimer::singleShot(qMin(RetryMs, m_intervalMs), this, &SyncService::syncNow);
        break;
    case SyncOutcome::AuthFailed:
        _setStatus(Status::NeedsAttention);
        Q_EMIT passwordRefused();
        break;
    case SyncOutcome::Failed:
        _setStatus(Status::NeedsAttention);
        break;
    case SyncOutcome::Aborted:
        break;
    }
    Q_EMIT passFinished(outcome);
    if (outcome.result == SyncOutcome::Synced && outcome.again && m_followUps < MaxFollowUps) {
        ++m_followUps;
        m_pending = true;
    } else if (!m_pending) {
        m_followUps = 0;
    }
    _launch();
}

void SyncService::_onStoreChanged()
{
    if (m_applying || !m_started || !isConfigured())
        return;
    m_changeTimer->start(m_changeDelayMs);
}

void SyncService::_setStatus(Status status)
{
    m_status = status;
    Q_EMIT statusChanged();
}

bool SyncService::_runOnStoreThread(const std::function<void()>& call)
{
    if (QThread::currentThread() == thread()) {
        call();
        return true;
    }
    auto job = std::make_shared<StoreJob>();
    QMetaObject::invokeMethod(
        this,
        [this, job, call] {
            {
                QMutexLocker locker(&job->lock);
                if (job->withdrawn)
                    return;
                job->started = true;
            }
            // What the pass applies is the server's: it does not start another pass.
            m_applying = true;
            call();
            m_applying = false;
            job->done.release();
        },
        Qt::QueuedConnection);
    while (!job->done.tryAcquire(1, 50)) {
        if (!*m_aborted)
            continue;
        QMutexLocker locker(&job->lock);
        if (!job->started) {
            job->withdrawn = true;
            return false;
        }
    }
    return true;
}

} // namespace sync
