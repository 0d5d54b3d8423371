#pragma once

#include <QElapsedTimer>
#include <QFile>
#include <QHash>
#include <QMutex>
#include <QString>

class QDateTime;

/// The program's log: text lines appended to "log.txt". Only Critical and Warning lines are
/// written; Information and Debug lines are formatted by their callers and dropped here.
/// Lines may come from any thread; each line is written whole.
class Log
{
public:
    enum Level { Critical = 0, Warning = 1, Information = 2, Debug = 3 };

    /// The process-wide log, created on first call.
    static Log* instance();
    /// Deletes the process-wide log (flushing it); the next instance() makes a new one.
    static void destroy();
    /// Whether the process-wide log exists, without creating it.
    static bool exists();

    /// Closes any open file and opens `path` for appending. False when it cannot be opened;
    /// lines are then dropped.
    bool open(const QString& path);
    bool isOpen() const;

    void critical(const QString& text) { write(Critical, text); }
    void warning(const QString& text) { write(Warning, text); }
    void information(const QString& text) { write(Information, text); }
    void debug(const QString& text) { write(Debug, text); }
    void write(int level, const QString& text);
    /// write(), but of the lines with the same `key` that come less than BurstGapMs apart only
    /// the first is written; the next one after a pause says how many were left out. For
    /// warnings that a flood of bad input could repeat without end.
    void writeOncePerBurst(int level, const QString& key, const QString& text);

    /// Once the file grows past this size it is renamed to "<name>.1" (replacing the older
    /// one) and a new file begins, so the log never fills the disk.
    static constexpr qint64 DefaultMaxBytes = 1024 * 1024;
    static constexpr qint64 BurstGapMs = 10000;
    void setMaxBytes(qint64 maxBytes);

    bool withSourceTag() const { return m_withSource; }
    int maxLevel() const { return m_maxLevel; }
    void flush();

    /// The line as written, without its line feed.
    static QString formatLine(int level, const QDateTime& time, const QString& text);
    static QString levelName(int level);
    /// The message convention: "tag,line: text".
    static QString tagged(const char* tag, int line, const QString& text);
    /// A duration as seconds with three decimals and "s": 1234 ms gives "1.234s".
    static QString elapsedText(qint64 milliseconds);

    ~Log();

private:
    Log();
    Q_DISABLE_COPY(Log)

    void _writeLocked(const QByteArray& bytes);
    void _rotateLocked();

    struct Burst
    {
        qint64 m_lastAt = 0;
        int m_leftOut = 0;
    };

    QFile m_file;
    mutable QMutex m_lock;
    qint64 m_maxBytes = DefaultMaxBytes;
    QElapsedTimer m_clock;
    QHash<QString, Burst> m_bursts;
    const int m_maxLevel = Warning;
    const bool m_withSource = true;
};

// Log a message with the caller's tag ("Class::function") and the source line.
#define MRV_LOG(level, tag, text) Log::instance()->write((level), Log::tagged((tag), __LINE__, (text)))
#define MRV_CRITICAL(tag, text) MRV_LOG(Log::Critical, tag, text)
#define MRV_WARNING(tag, text) MRV_LOG(Log::Warning, tag, text)
#define MRV_INFO(tag, text) MRV_LOG(Log::Information, tag, text)
#define MRV_DEBUG(tag, text) MRV_LOG(Log::Debug, tag, text)
// A warning that bad input may repeat many times a second: written once per burst.
#define MRV_WARNING_BURST(tag, text) \
    Log::instance()->writeOncePerBurst(Log::Warning, QLatin1String(tag) + QString::number(__LINE__), \
                                       Log::tagged((tag), __LINE__, (text)))
