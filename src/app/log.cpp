#include "app/log.h"

#include <QDateTime>
#include <QMutexLocker>

#include <atomic>

namespace {

std::atomic<Log*> g_log{nullptr};

QMutex& creationLock()
{
    static QMutex lock;
    return lock;
}

} // namespace

Log::Log() = default;

Log::~Log()
{
    QMutexLocker locker(&m_lock);
    if (m_file.isOpen()) {
        m_file.flush();
        m_file.close();
    }
}

Log* Log::instance()
{
    Log* log = g_log.load(std::memory_order_acquire);
    if (log)
        return log;
    // Other threads may log before the user-interface thread made the log.
    QMutexLocker locker(&creationLock());
    log = g_log.load(std::memory_order_relaxed);
    if (!log) {
        log = new Log;
        g_log.store(log, std::memory_order_release);
    }
    return log;
}

void Log::destroy()
{
    QMutexLocker locker(&creationLock());
    delete g_log.exchange(nullptr);
}

bool Log::exists()
{
    return g_log.load(std::memory_order_acquire) != nullptr;
}

bool Log::open(const QString& path)
{
    QMutexLocker locker(&m_lock);
    if (m_file.isOpen())
        m_file.close();
    m_file.setFileName(path);
    return m_file.open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Text);
}

bool Log::isOpen() const
{
    QMutexLocker locker(&m_lock);
    return m_file.isOpen();
}

QString Log::levelName(int level)
{
    switch (level) {
    case Critical: return QStringLiteral("Critical");
    case Warning: return QStringLiteral("Warning");
    case Information: return QStringLiteral("Information");
    case Debug: return QStringLiteral("Debug");
    default: return QString();
    }
}

QString Log::formatLine(int level, const QDateTime& time, const QString& text)
{
    const QString stamp = time.toString(QStringLiteral("yyyy-MM-ddTHH:mm:ss.zzz"));
    QString line = QStringLiteral("%1 %2 %4")
                       .arg(levelName(level), -15)
                       .arg(stamp, -25)
                       .arg(text);
    line.replace(QLatin1Char('\n'), QLatin1Char('#'));
    return line;
}

QString Log::tagged(const char* tag, int line, const QString& text)
{
    return QLatin1String(tag) + QLatin1Char(',') + QString::number(line) + QStringLiteral(": ") + text;
}

QString Log::elapsedText(qint64 milliseconds)
{
    return QStringLiteral("%1.%2s").arg(milliseconds / 1000).arg(milliseconds % 1000, 3, 10, QLatin1Char('0'));
}

void Log::write(int level, const QString& text)
{
    if (level > m_maxLevel)
        return;
    QByteArray bytes = formatLine(level, QDateTime::currentDateTime(), text).toUtf8();
    bytes += '\n';
    QMutexLocker locker(&m_lock);
    if (m_file.isOpen()) {
        m_file.write(bytes);
        // A crash must not eat the lines that explain it.
        m_file.flush();
    }
}

void Log::flush()
{
    QMutexLocker locker(&m_lock);
    if (m_file.isOpen())
        m_file.flush();
}
