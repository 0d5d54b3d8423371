#include "base/log.h"
#include "base/specialfolder.h"
#include "support/testenv.h"

#include <QFileInfo>
#include <QTemporaryDir>

namespace {

QStringList linesOf(const QString& path)
{
    const QString text = testenv::readFile(path);
    if (!text.endsWith(QLatin1Char('\n')))
        return {QStringLiteral("<no final line feed>")};
    return text.chopped(1).split(QLatin1Char('\n'));
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

    // The files live in the user data folder under XDG_DATA_HOME, made when first asked for.
    void userDataFolder_followsDataHome()
    {
        const QByteArray saved = qgetenv("XDG_DATA_HOME");
        const QString fresh = m_dir.filePath(QStringLiteral("fresh account"));
        qputenv("XDG_DATA_HOME", QFile::encodeName(fresh));
        const QString folder = fresh + QStringLiteral("/Velbrook/Mirevo/User Data");
        QCOMPARE(::folderPath(UserDataFolder, false), folder + QLatin1Char('/'));
        QVERIFY(!QFileInfo::exists(folder));
        const QString log = logFilePath();
        QVERIFY(QFileInfo(folder).isDir());
        QCOMPARE(log, folder + QStringLiteral("/log.txt"));
        QVERIFY(!QFileInfo::exists(log));
        QCOMPARE(databaseFilePath(), folder + QStringLiteral("/database.xml"));
        QCOMPARE(settingsFilePath(), folder + QStringLiteral("/settings.ini"));
        // A relative value is ignored.
        qputenv("XDG_DATA_HOME", "relative/share");
        const QString fallback = ::folderPath(UserDataFolder, false);
        qputenv("XDG_DATA_HOME", saved);
        QCOMPARE(fallback,
                 qEnvironmentVariable("HOME") + QStringLiteral("/.local/share/Velbrook/Mirevo/User Data/"));
    }

    // Each open appends to what the file holds; a line feed in a message becomes '#'.
    void write_appendsOnlyWarningsAndCriticals()
    {
        // A log that cannot be opened drops its lines.
        QVERIFY(!Log::instance()->open(QStringLiteral("/proc/nonexistent/x.log")));
        QVERIFY(!Log::instance()->isOpen());
        Log::instance()->critical(QStringLiteral("lost"));
        Log::instance()->flush();
        const QString path = logPath("append.txt");
        QVERIFY(testenv::writeBytes(path, "earlier line\n"));
        QVERIFY(Log::instance()->open(path));
        Log::instance()->critical(QStringLiteral("c-line"));
        Log::instance()->warning(QStringLiteral("w-line Привет ✓\nnext"));
        Log::instance()->information(QStringLiteral("i-line"));
        Log::instance()->debug(QStringLiteral("d-line"));
        QVERIFY(Log::instance()->open(path));
        Log::instance()->warning(QStringLiteral("second"));
        Log::destroy();
        QVERIFY(Log::instance()->open(path));
        Log::instance()->critical(QStringLiteral("third"));

        const QStringList lines = linesOf(path);
        QCOMPARE(lines.size(), 5);
        QCOMPARE(lines.at(0), QStringLiteral("earlier line"));
        QVERIFY(lines.at(1).startsWith(QStringLiteral("Critical        ")));
        QVERIFY(lines.at(1).endsWith(QStringLiteral(" c-line")));
        QVERIFY(lines.at(2).startsWith(QStringLiteral("Warning         ")));
        QVERIFY(lines.at(2).endsWith(QStringLiteral(" w-line Привет ✓#next"))); // one line each
        QVERIFY(lines.at(3).endsWith(QStringLiteral(" second")));
        QVERIFY(lines.at(4).endsWith(QStringLiteral(" third")));
    }

    // A flood of bad input writes its warning once per burst, and the file never grows past its
    // cap: the older lines go to "<name>.1".
    void floodOfWarnings_isCappedAndRotated()
    {
        const QString path = logPath("flood.txt");
        QVERIFY(Log::instance()->open(path));
        Log::instance()->setMaxBytes(4000);
        for (int i = 0; i < 1000; ++i)
            MRV_WARNING_BURST("Peer::read", QStringLiteral("bad message %1").arg(i));
        QStringList lines = linesOf(path);
        QCOMPARE(lines.size(), 1);
        QVERIFY(lines.first().endsWith(QLatin1String("bad message 0")));
        for (int i = 0; i < 100; ++i)
            MRV_WARNING("Store::write", QString(100, QLatin1Char('x')));
        Log::instance()->flush();
        QVERIFY(QFileInfo(path).size() <= 4000);
        QVERIFY(QFileInfo(path + QStringLiteral(".1")).size() > 3000);
        QVERIFY(QFileInfo(path + QStringLiteral(".1")).size() <= 4000 + 200);
        QVERIFY(linesOf(path + QStringLiteral(".1")).last().endsWith(QLatin1String("xxx")));
    }
};

MRV_TEST_GUILESS_MAIN(TstLog)
#include "tst_log.moc"
