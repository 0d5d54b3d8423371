#include "support/testenv.h"
#include "app/log.h"

#include <QDateTime>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QThread>

#include <memory>
#include <vector>

namespace {

QDateTime at(int msec)
{
    return QDateTime(QDate(2024, 3, 5), QTime(10, 11, 12, msec));
}

QStringList linesOf(const QString& path)
{
    QStringList lines = testenv::readFile(path).split(QLatin1Char('\n'));
    // The file ends with a line feed, so the last piece is empty.
    if (!lines.isEmpty() && lines.constLast().isEmpty())
        lines.removeLast();
    return lines;
}

} // namespace

class TstLog : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    QString logPath(const char* name) const { return m_dir.filePath(QLatin1String(name)); }

private Q_SLOTS:
    void cleanup() { Log::destroy(); }

    void formatLine_padsLevelAndTime_data();
    void formatLine_padsLevelAndTime();
    void formatLine_turnsLineFeedsIntoHashes();
    void write_keepsOnlyWarningsAndCriticals();
    void write_keepsNonAsciiText();
    void open_appendsToExistingFile();
    void failedOpen_dropsLinesSilently();
    void tagged_joinsTagLineAndText();
    void elapsedText_showsSecondsWithMilliseconds_data();
    void elapsedText_showsSecondsWithMilliseconds();
    void linesFromManyThreads_neverInterleave();
    void destroy_givesFreshClosedLog();
};

void TstLog::formatLine_padsLevelAndTime_data()
{
    QTest::addColumn<int>("level");
    QTest::addColumn<QString>("expected");

    QTest::newRow("critical") << int(Log::Critical)
                              << QStringLiteral("Critical        2024-03-05T10:11:12.005   msg");
    QTest::newRow("warning") << int(Log::Warning)
                             << QStringLiteral("Warning         2024-03-05T10:11:12.005   msg");
    QTest::newRow("information") << int(Log::Information)
                                 << QStringLiteral("Information     2024-03-05T10:11:12.005   msg");
    QTest::newRow("debug") << int(Log::Debug)
                           << QStringLiteral("Debug           2024-03-05T10:11:12.005   msg");
    QTest::newRow("unknown 7") << 7 << QStringLiteral("                2024-03-05T10:11:12.005   msg");
    QTest::newRow("unknown -1") << -1 << QStringLiteral("                2024-03-05T10:11:12.005   msg");
}

void TstLog::formatLine_padsLevelAndTime()
{
    QFETCH(int, level);
    QFETCH(QString, expected);
    QCOMPARE(Log::formatLine(level, at(5), QStringLiteral("msg")), expected);
}

void TstLog::formatLine_turnsLineFeedsIntoHashes()
{
    const QString line = Log::formatLine(Log::Warning, at(0), QStringLiteral("one\ntwo\nthree"));
    QVERIFY(!line.contains(QLatin1Char('\n')));
    QVERIFY(line.endsWith(QStringLiteral(" one#two#three")));
    QCOMPARE(line.count(QLatin1Char('#')), 2);
}

void TstLog::write_keepsOnlyWarningsAndCriticals()
{
    const QString path = logPath("levels.txt");
    QVERIFY(Log::instance()->open(path));
    QVERIFY(Log::instance()->isOpen());
    Log::instance()->critical(QStringLiteral("c-line"));
    Log::instance()->warning(QStringLiteral("w-line"));
    Log::instance()->information(QStringLiteral("i-line"));
    Log::instance()->debug(QStringLiteral("d-line"));

    const QString text = testenv::readFile(path);
    QVERIFY(text.endsWith(QLatin1Char('\n')));
    const QStringList lines = linesOf(path);
    QCOMPARE(lines.size(), 2);
    QVERIFY(lines.at(0).startsWith(QStringLiteral("Critical        ")));
    QVERIFY(lines.at(0).endsWith(QStringLiteral(" c-line")));
    QVERIFY(lines.at(1).startsWith(QStringLiteral("Warning         ")));
    QVERIFY(lines.at(1).endsWith(QStringLiteral(" w-line")));
}

void TstLog::write_keepsNonAsciiText()
{
    const QString path = logPath("utf8.txt");
    QVERIFY(Log::instance()->open(path));
    const QString message = QStringLiteral("Привет ✓");
    Log::instance()->warning(message);
    QVERIFY(testenv::readBytes(path).endsWith(" " + message.toUtf8() + "\n"));
}

void TstLog::open_appendsToExistingFile()
{
    const QString path = logPath("append.txt");
    QVERIFY(testenv::writeBytes(path, "earlier line\n"));

    QVERIFY(Log::instance()->open(path));
    Log::instance()->warning(QStringLiteral("first"));
    QVERIFY(Log::instance()->open(path));
    Log::instance()->warning(QStringLiteral("second"));
    Log::destroy();
    QVERIFY(Log::instance()->open(path));
    Log::instance()->critical(QStringLiteral("third"));

    const QStringList lines = linesOf(path);
    QCOMPARE(lines.size(), 4);
    QCOMPARE(lines.at(0), QStringLiteral("earlier line"));
    QVERIFY(lines.at(1).endsWith(QStringLiteral(" first")));
    QVERIFY(lines.at(2).endsWith(QStringLiteral(" second")));
    QVERIFY(lines.at(3).endsWith(QStringLiteral(" third")));
}

void TstLog::failedOpen_dropsLinesSilently()
{
    QVERIFY(!Log::instance()->open(QStringLiteral("/proc/nonexistent/x.log")));
    QVERIFY(!Log::instance()->isOpen());
    Log::instance()->critical(QStringLiteral("lost"));
    Log::instance()->flush();
    QVERIFY(!QFile::exists(QStringLiteral("/proc/nonexistent/x.log")));
}

void TstLog::tagged_joinsTagLineAndText()
{
    QCOMPARE(Log::tagged("TaskStorage::init", 42, QStringLiteral("Database failed to load")),
             QStringLiteral("TaskStorage::init,42: Database failed to load"));
}

void TstLog::elapsedText_showsSecondsWithMilliseconds_data()
{
    QTest::addColumn<qint64>("milliseconds");
    QTest::addColumn<QString>("expected");
    QTest::newRow("zero") << qint64(0) << QStringLiteral("0.000s");
    QTest::newRow("5 ms") << qint64(5) << QStringLiteral("0.005s");
    QTest::newRow("1234 ms") << qint64(1234) << QStringLiteral("1.234s");
    QTest::newRow("one minute") << qint64(60000) << QStringLiteral("60.000s");
}

void TstLog::elapsedText_showsSecondsWithMilliseconds()
{
    QFETCH(qint64, milliseconds);
    QFETCH(QString, expected);
    QCOMPARE(Log::elapsedText(milliseconds), expected);
}

void TstLog::linesFromManyThreads_neverInterleave()
{
    const QString path = logPath("threads.txt");
    QVERIFY(Log::instance()->open(path));
    const int threadCount = 4;
    const int linesPerThread = 200;

    std::vector<std::unique_ptr<QThread>> threads;
    for (int t = 0; t < threadCount; ++t) {
        threads.emplace_back(QThread::create([t] {
            for (int i = 0; i < linesPerThread; ++i)
                Log::instance()->warning(QStringLiteral("thread %1 line %2 end").arg(t).arg(i));
        }));
    }
    for (auto& thread : threads)
        thread->start();
    for (auto& thread : threads)
        QVERIFY(thread->wait(60000));

    const QRegularExpression whole(QStringLiteral(
        "^Warning {9}\\d{4}-\\d\\d-\\d\\dT\\d\\d:\\d\\d:\\d\\d\\.\\d{3} {3}thread (\\d) line (\\d+) end$"));
    const QStringList lines = linesOf(path);
    QCOMPARE(lines.size(), threadCount * linesPerThread);
    QList<int> next(threadCount, 0);
    for (const QString& line : lines) {
        const QRegularExpressionMatch match = whole.match(line);
        QVERIFY2(match.hasMatch(), qPrintable(line));
        const int t = match.captured(1).toInt();
        // Each thread's own lines keep their order.
        QCOMPARE(match.captured(2).toInt(), next[t]);
        ++next[t];
    }
    QCOMPARE(next, QList<int>(threadCount, linesPerThread));
}

void TstLog::destroy_givesFreshClosedLog()
{
    QVERIFY(Log::instance()->open(logPath("destroy.txt")));
    QVERIFY(Log::exists());
    Log::destroy();
    QVERIFY(!Log::exists());
    QVERIFY(!Log::instance()->isOpen());
    QVERIFY(Log::exists());
}

MRV_TEST_GUILESS_MAIN(TstLog)
#include "tst_log.moc"
