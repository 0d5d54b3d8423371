#include "support/testenv.h"
#include "platform/autostart.h"
#include "platform/desktopentry.h"
#include "platform/filesync.h"
#include "platform/quitsignals.h"
#include "platform/shellfolders.h"
#include "platform/userid.h"

#include <QFileInfo>
#include <QSignalSpy>
#include <QTemporaryDir>

#include <csignal>
#include <unistd.h>

using platform::DesktopEntry;
using platform::ShellFolder;

namespace {

QStringList linesOf(const QByteArray& text)
{
    return QString::fromUtf8(text).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

} // namespace

class TstPlatform : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void cleanup() { QFile::remove(platform::autostartEntryPath()); }

    void quoteExecArgument_data();
    void quoteExecArgument();
    void escapeValue_data();
    void escapeValue();
    void toText_keepsInsertionOrderAndReplacesInPlace();
    void toText_execOfPathWithSpaceAndBackslash();
    void write_createsFoldersAndSetsExecuteFlag_data();
    void write_createsFoldersAndSetsExecuteFlag();
    void write_failsWhereNothingCanBeWritten();
    void runOnStartup_writesAndDeletesAutostartEntry();
    void runOnStartup_emptyPathFails();
    void shellFolderPath_followsXdgFolders();
    void shellFolderPath_configFallsBackToHome();
    void syncToDisk();
    void quitSignals_deliverSignalOnEventLoop_data();
    void quitSignals_deliverSignalOnEventLoop();
    void currentUserId_isNumericUid();
};

void TstPlatform::quoteExecArgument_data()
{
    QTest::addColumn<QString>("argument");
    QTest::addColumn<QString>("expected");

    QTest::newRow("plain path") << QStringLiteral("/usr/bin/mirevo") << QStringLiteral("/usr/bin/mirevo");
    QTest::newRow("space") << QStringLiteral("/home/a b/mirevo") << QStringLiteral("\"/home/a b/mirevo\"");
    QTest::newRow("dollar") << QStringLiteral("/opt/$x") << QStringLiteral("\"/opt/\\$x\"");
    QTest::newRow("double quote") << QStringLiteral("/opt/a\"b") << QStringLiteral("\"/opt/a\\\"b\"");
    QTest::newRow("backtick") << QStringLiteral("/opt/a`b") << QStringLiteral("\"/opt/a\\`b\"");
    QTest::newRow("backslash") << QStringLiteral("/opt/a\\b") << QStringLiteral("\"/opt/a\\\\b\"");
    QTest::newRow("single quote") << QStringLiteral("/opt/it's") << QStringLiteral("\"/opt/it's\"");
    QTest::newRow("percent") << QStringLiteral("100%") << QStringLiteral("100%%");
    QTest::newRow("percent and space") << QStringLiteral("a %f") << QStringLiteral("\"a %%f\"");
    QTest::newRow("empty") << QString() << QStringLiteral("\"\"");
}

void TstPlatform::quoteExecArgument()
{
    QFETCH(QString, argument);
    QFETCH(QString, expected);
    QCOMPARE(DesktopEntry::quoteExecArgument(argument), expected);
}

void TstPlatform::escapeValue_data()
{
    QTest::addColumn<QString>("value");
    QTest::addColumn<QString>("expected");

    QTest::newRow("plain") << QStringLiteral("Mirevo") << QStringLiteral("Mirevo");
    QTest::newRow("backslash") << QStringLiteral("a\\b") << QStringLiteral("a\\\\b");
    QTest::newRow("line feed") << QStringLiteral("a\nb") << QStringLiteral("a\\nb");
    QTest::newRow("tab") << QStringLiteral("a\tb") << QStringLiteral("a\\tb");
    QTest::newRow("carriage return") << QStringLiteral("a\rb") << QStringLiteral("a\\rb");
    QTest::newRow("leading space") << QStringLiteral(" a b") << QStringLiteral("\\sa b");
    QTest::newRow("inner and trailing spaces") << QStringLiteral("a b ") << QStringLiteral("a b ");
}

void TstPlatform::escapeValue()
{
    QFETCH(QString, value);
    QFETCH(QString, expected);
    QCOMPARE(DesktopEntry::escapeValue(value), expected);
}

void TstPlatform::toText_keepsInsertionOrderAndReplacesInPlace()
{
    DesktopEntry entry;
    entry.setValue(QStringLiteral("Type"), QStringLiteral("Application"));
    entry.setValue(QStringLiteral("Name"), QStringLiteral("Old"));
    entry.setValue(QStringLiteral("Comment"), QStringLiteral("line one\nline two"));
    entry.setValue(QStringLiteral("Name"), QStringLiteral("Mirevo"));

    QCOMPARE(entry.value(QStringLiteral("Name")), QStringLiteral("Mirevo"));
    QCOMPARE(entry.value(QStringLiteral("Missing")), QString());
    QCOMPARE(entry.toText(),
             QByteArray("[Desktop Entry]\n"
                        "Type=Application\n"
                        "Name=Mirevo\n"
                        "Comment=line one\\nline two\n"));
}

void TstPlatform::toText_execOfPathWithSpaceAndBackslash()
{
    DesktopEntry entry;
    entry.setExec(QStringLiteral("/opt/my app/a\\b"), {QStringLiteral("--minimized")});
    // Quoting doubles the backslash inside the argument; string escaping doubles it again.
    QCOMPARE(entry.toText(), QByteArray(R"([Desktop Entry]
Exec="/opt/my app/a\\\\b" --minimized
)"));
}

void TstPlatform::write_createsFoldersAndSetsExecuteFlag_data()
{
    QTest::addColumn<bool>("executable");
    QTest::newRow("launcher") << true;
    QTest::newRow("plain entry") << false;
}

void TstPlatform::write_createsFoldersAndSetsExecuteFlag()
{
    QFETCH(bool, executable);
    QTemporaryDir root;
    QVERIFY(root.isValid());
    const QString path = root.filePath(QStringLiteral("deep/er/entry.desktop"));

    DesktopEntry entry;
    entry.setValue(QStringLiteral("Name"), QStringLiteral("Mirevo ✓"));
    QVERIFY(entry.write(path, executable));
    QCOMPARE(testenv::readBytes(path), entry.toText());
    QCOMPARE(QFileInfo(path).isExecutable(), executable);
    QVERIFY(QFileInfo(path).permission(QFile::ReadOwner | QFile::WriteOwner));

    // Rewriting the entry replaces the flag of the file it replaces.
    QVERIFY(entry.write(path, !executable));
    QCOMPARE(QFileInfo(path).isExecutable(), !executable);
}

void TstPlatform::write_failsWhereNothingCanBeWritten()
{
    DesktopEntry entry;
    entry.setValue(QStringLiteral("Name"), QStringLiteral("Mirevo"));
    QVERIFY(!entry.write(QStringLiteral("/proc/x/y.desktop")));
    QVERIFY(!QFileInfo::exists(QStringLiteral("/proc/x/y.desktop")));
}

void TstPlatform::runOnStartup_writesAndDeletesAutostartEntry()
{
    const QString path = platform::autostartEntryPath();
    QCOMPARE(path, qEnvironmentVariable("XDG_CONFIG_HOME") + QStringLiteral("/autostart/Mirevo.desktop"));
    QVERIFY(!platform::isRunOnStartupEnabled());

    QVERIFY(platform::setRunOnStartup(QStringLiteral("/opt/Mirevo App/mirevo"), true));
    QVERIFY(platform::isRunOnStartupEnabled());
    const QByteArray text = testenv::readBytes(path);
    QVERIFY(text.startsWith("[Desktop Entry]\n"));
    const QStringList lines = linesOf(text);
    QVERIFY(lines.contains(QStringLiteral("Type=Application")));
    QVERIFY(lines.contains(QStringLiteral("Name=Mirevo")));
    QVERIFY(lines.contains(QStringLiteral("Exec=\"/opt/Mirevo App/mirevo\"")));
    QVERIFY(lines.contains(QStringLiteral("Terminal=false")));

    // Turning it on again rewrites the entry for the new path.
    QVERIFY(platform::setRunOnStartup(QStringLiteral("/usr/bin/mirevo"), true));
    QVERIFY(linesOf(testenv::readBytes(path)).contains(QStringLiteral("Exec=/usr/bin/mirevo")));

    QVERIFY(platform::setRunOnStartup(QStringLiteral("/usr/bin/mirevo"), false));
    QVERIFY(!QFileInfo::exists(path));
    QVERIFY(!platform::isRunOnStartupEnabled());
    QVERIFY(!platform::setRunOnStartup(QStringLiteral("/usr/bin/mirevo"), false));
}

void TstPlatform::runOnStartup_emptyPathFails()
{
    QVERIFY(!platform::setRunOnStartup(QString(), true));
    QVERIFY(!platform::isRunOnStartupEnabled());

    QVERIFY(platform::setRunOnStartup(QStringLiteral("/usr/bin/mirevo"), true));
    QVERIFY(!platform::setRunOnStartup(QString(), false));
    QVERIFY(platform::isRunOnStartupEnabled());
}

void TstPlatform::shellFolderPath_followsXdgFolders()
{
    const QString config = qEnvironmentVariable("XDG_CONFIG_HOME");
    const QString data = qEnvironmentVariable("XDG_DATA_HOME");
    QCOMPARE(platform::shellFolderPath(ShellFolder::RoamingAppData), config);
    QCOMPARE(platform::shellFolderPath(ShellFolder::LocalAppData), data);
    QCOMPARE(platform::shellFolderPath(ShellFolder::StartMenu), data + QStringLiteral("/applications"));
    QCOMPARE(platform::shellFolderPath(ShellFolder::QuickLaunch), QString());
    QVERIFY(!platform::shellFolderPath(ShellFolder::Desktop).isEmpty());
}

void TstPlatform::shellFolderPath_configFallsBackToHome()
{
    const QByteArray saved = qgetenv("XDG_CONFIG_HOME");
    qunsetenv("XDG_CONFIG_HOME");
    const QString roaming = platform::shellFolderPath(ShellFolder::RoamingAppData);
    const QString entry = platform::autostartEntryPath();
    qputenv("XDG_CONFIG_HOME", saved);

    QCOMPARE(roaming, testenv::homePath() + QStringLiteral("/.config"));
    QCOMPARE(entry, testenv::homePath() + QStringLiteral("/.config/autostart/Mirevo.desktop"));
}

void TstPlatform::syncToDisk()
{
    QTemporaryDir root;
    QVERIFY(root.isValid());
    const QString file = root.filePath(QStringLiteral("data.bin"));
    QVERIFY(testenv::writeBytes(file, "payload"));

    QVERIFY(platform::syncFileToDisk(file));
    QVERIFY(!platform::syncFileToDisk(root.filePath(QStringLiteral("missing.bin"))));
    QVERIFY(platform::syncFolderToDisk(root.path()));
    QVERIFY(!platform::syncFolderToDisk(root.filePath(QStringLiteral("missing"))));
    QVERIFY(!platform::syncFolderToDisk(file));
}

void TstPlatform::quitSignals_deliverSignalOnEventLoop_data()
{
    QTest::addColumn<int>("signalNumber");
    QTest::addColumn<bool>("viaKill");
    QTest::newRow("SIGTERM raised") << int(SIGTERM) << false;
    QTest::newRow("SIGINT raised") << int(SIGINT) << false;
    QTest::newRow("SIGHUP sent") << int(SIGHUP) << true;
}

void TstPlatform::quitSignals_deliverSignalOnEventLoop()
{
    QFETCH(int, signalNumber);
    QFETCH(bool, viaKill);

    // Each row makes and destroys its own object, so the handlers are installed again each time.
    platform::QuitSignals quit;
    QVERIFY(quit.isActive());
    QSignalSpy spy(&quit, &platform::QuitSignals::quitRequested);

    if (viaKill)
        QCOMPARE(::kill(::getpid(), signalNumber), 0);
    else
        QCOMPARE(::raise(signalNumber), 0);
    // Nothing is emitted from inside the handler: delivery waits for the event loop.
    QCOMPARE(spy.count(), 0);
    QVERIFY(spy.wait(5000));
    QCOMPARE(spy.count(), 1);
    QCOMPARE(spy.at(0).at(0).toInt(), signalNumber);
}

void TstPlatform::currentUserId_isNumericUid()
{
    QCOMPARE(platform::currentUserId(), QString::number(::getuid()));
}

MRV_TEST_GUILESS_MAIN(TstPlatform)
#include "tst_platform.moc"
