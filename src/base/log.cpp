#include "base/log.h"

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

Log::Log()
{
    m_clock.start();
}

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
    _writeLocked(bytes);
}

void Log::writeOncePerBurst(int level, const QString& key, const QString& text)
{
    if (level > m_maxLevel)
        return;
    const QDateTime time = QDateTime::currentDateTime();
    QMutexLocker locker(&m_lock);
    const qint64 now = m_clock.elapsed();
    Burst& burst = m_bursts[key];
    const bool inBurst = burst.m_lastAt > 0 && now - burst.m_lastAt < BurstGapMs;
    // Offset by one: a first line at the clock's start still counts as a burst's start.
    burst.m_lastAt = now + 1;
    if (inBurst) {
        ++burst.m_leftOut;
        return;
    }
    QByteArray bytes;
    if (burst.m_leftOut > 0) {
        bytes = formatLine(level, time, QStringLiteral("(%1 more lines like the next one were left out)").arg(burst.m_leftOut))
                    .toUtf8()
            + '\n';
        burst.m_leftOut = 0;
    }
    bytes += formatLine(level, time, text).toUtf8() + '\n';
    _writeLocked(bytes);
}

void Log::setMaxBytes(qint64 maxBytes)
{
    QMutexLocker locker(&m_lock);
    m_maxBytes = maxBytes;
}

void Log::_writeLocked(const QByteArray& bytes)
{
    if (!m_file.isOpen())
        return;
    m_file.write(bytes);
    // A crash must not eat the lines that explain it.
    m_file.flush();
    if (m_file.size() > m_maxBytes)
        _rotateLocked();
}

void Log::_rotateLocked()
{
    const QString path = m_file.fileName();
    m_file.close();
    const QString older = path + QStringLiteral(".1");
    QFile::remove(older);
    QFile::rename(path, older);
    m_file.setFileName(path);
    m_file.open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Text);
}

void Log::flush()
{
    QMutexLocker locker(&m_lock);
    if (m_file.isOpen())
        m_file.flush();
}
