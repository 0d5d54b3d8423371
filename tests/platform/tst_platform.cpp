#include "support/testenv.h"
#include "platform/autostart.h"
#include "platform/desktopentry.h"
#include "platform/displayserver.h"
#include "platform/filesync.h"
#include "platform/notifications.h"
#include "platform/quitsignals.h"
#include "support/notificationtestserver.h"

#include <QFileInfo>
#include <QSignalSpy>
#include <QTemporaryDir>

#include <csignal>
#include <pthread.h>
#include <sys/resource.h>

using platform::DesktopEntry;
using platform::DesktopNotifications;

class TstPlatform : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void cleanup() { QFile::remove(platform::autostartEntryPath()); }
    // An Exec argument is quoted as the desktop entry rules say, a value escaped.
    void entryText_data()
    {
        QTest::addColumn<bool>("exec");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("expected");
        QTest::newRow("dollar") << true << "/opt/$x" << "\"/opt/\\$x\"";
        QTest::newRow("percent") << true << "100%" << "100%%";
        QTest::newRow("empty") << true << "" << "\"\"";
        QTest::newRow("line feed, tab, return") << false << "a\nb\tc\rd" << "a\\nb\\tc\\rd";
        QTest::newRow("leading space") << false << " a b" << "\\sa b";
    }

    void entryText()
    {
        QFETCH(bool, exec);
        QFETCH(QString, text);
        QFETCH(QString, expected);
        QCOMPARE(exec ? DesktopEntry::quoteExecArgument(text) : DesktopEntry::escapeValue(text), expected);
    }

    void write_keepsOrderEscapesAndSetsExecuteFlag()
    {
        DesktopEntry entry;
        entry.setValue(QStringLiteral("Type"), QStringLiteral("Application"));
        entry.setValue(QStringLiteral("Name"), QStringLiteral("Old"));
        entry.setValue(QStringLiteral("Comment"), QStringLiteral("line one\nline two ✓"));
        entry.setValue(QStringLiteral("Name"), QStringLiteral("Mirevo"));
        // Quoting doubles the backslash inside the argument; value escaping doubles it again.
        entry.setExec(QStringLiteral("/opt/my app/a\\b"), {QStringLiteral("--minimized")});
        QTemporaryDir root;
        const QString path = root.filePath(QStringLiteral("deep/er/entry.desktop"));
        QVERIFY(entry.write(path, true));
        QCOMPARE(testenv::readBytes(path), QByteArray("[Desktop Entry]\n"
                                                      "Type=Application\n"
                                                      "Name=Mirevo\n"
                                                      "Comment=line one\\nline two ✓\n"
                                                      "Exec=\"/opt/my app/a\\\\\\\\b\" --minimized\n"));
        QVERIFY(QFileInfo(path).isExecutable());
        QVERIFY(!entry.write(QStringLiteral("/proc/x/y.desktop")));
    }

    void runOnStartup_writesAndDeletesAutostartEntry()
    {
        const QString path = platform::autostartEntryPath();
        QVERIFY(!platform::setRunOnStartup(QString(), true));
        QVERIFY(!platform::isRunOnStartupEnabled());

        QVERIFY(platform::setRunOnStartup(QStringLiteral("/opt/Mirevo App/mirevo"), true));
        QVERIFY(platform::isRunOnStartupEnabled());
        QVERIFY(testenv::readBytes(path).contains("\nExec=\"/opt/Mirevo App/mirevo\"\n"));

        QVERIFY(platform::setRunOnStartup(QStringLiteral("/opt/Mirevo App/mirevo"), false));
        QVERIFY(!QFileInfo::exists(path));
        QVERIFY(!platform::isRunOnStartupEnabled());
        QVERIFY(!platform::setRunOnStartup(QStringLiteral("/opt/Mirevo App/mirevo"), false));
    }

    void syncToDisk()
    {
        QTemporaryDir root;
        const QString file = root.filePath(QStringLiteral("data.bin"));
        QVERIFY(testenv::writeBytes(file, "payload"));
        QVERIFY(platform::syncFileToDisk(file));
        QVERIFY(!platform::syncFileToDisk(root.filePath(QStringLiteral("missing.bin"))));
        QVERIFY(platform::syncFolderToDisk(root.path()));
        QVERIFY(!platform::syncFolderToDisk(file));
    }

    // Quit signals held back at start-up keep their default effect when the handler cannot be
    // set up (the handled ones end the real program in order: the start-up tests send SIGTERM).
    void quitSignals_withoutAPipeStopHoldingSignalsBack()
    {
        QVERIFY(platform::QuitSignals().isActive());
        platform::QuitSignals::holdUntilInstalled();
        // No file descriptor left for the pipe.
        rlimit saved = {};
        QCOMPARE(::getrlimit(RLIMIT_NOFILE, &saved), 0);
        rlimit none = saved;
        none.rlim_cur = 0;
        QCOMPARE(::setrlimit(RLIMIT_NOFILE, &none), 0);
        bool active = true;
        {
            platform::QuitSignals quit;
            active = quit.isActive();
        }
        QCOMPARE(::setrlimit(RLIMIT_NOFILE, &saved), 0);
        QVERIFY(!active);
        sigset_t blocked;
        sigemptyset(&blocked);
        QCOMPARE(pthread_sigmask(SIG_BLOCK, nullptr, &blocked), 0);
        for (int sig : {SIGTERM, SIGINT, SIGHUP})
            QVERIFY2(!sigismember(&blocked, sig), qPrintable(QString::number(sig)));
    }

    void platformPlugins_data()
    {
        QTest::addColumn<QStringList>("variables");
        QTest::addColumn<QByteArray>("plugins");
        QTest::newRow("Wayland compositor started from a console")
            << QStringList{"WAYLAND_DISPLAY=wayland-1"} << QByteArray("wayland;xcb");
        QTest::newRow("session names its type")
            << QStringList{"WAYLAND_DISPLAY=wayland-1", "XDG_SESSION_TYPE=x11"} << QByteArray();
        QTest::newRow("X11 only") << QStringList{"DISPLAY=:0"} << QByteArray();
    }

    void platformPlugins()
    {
        QFETCH(QStringList, variables);
        QFETCH(QByteArray, plugins);
        QProcessEnvironment environment;
        for (const QString& variable : variables)
            environment.insert(variable.section(QLatin1Char('='), 0, 0),
                               variable.section(QLatin1Char('='), 1));
        QCOMPARE(platform::preferredPlatformPlugins(environment), plugins);
    }

    // The desktop's notification service on a private bus: available only with the service; the
    // text follows what the service can show.
    void textFollowsTheServiceCapabilities_data()
    {
        QTest::addColumn<QStringList>("capabilities");
        QTest::addColumn<QString>("body");
        QTest::newRow("plain text") << QStringList{QStringLiteral("actions")} << "Call <Ann> & Bob\nPay rent";
        QTest::newRow("markup") << QStringList{QStringLiteral("actions"), QStringLiteral("body-markup")}
                                << "Call &lt;Ann&gt; &amp; Bob\nPay rent";
    }

    void textFollowsTheServiceCapabilities()
    {
        QFETCH(QStringList, capabilities);
        QFETCH(QString, body);
        QVERIFY(!DesktopNotifications().isAvailable()); // no session bus
        NotificationTestServer server;
        if (!server.isRunning())
            QSKIP("dbus-daemon is needed");
        DesktopNotifications notifications(server.address());
        QVERIFY(!notifications.isAvailable()); // a bus without the service
        QVERIFY(server.serve(capabilities));
        QVERIFY(notifications.isAvailable());
        QSignalSpy clicked(&notifications, &DesktopNotifications::clicked);
        notifications.show(QStringLiteral("2 tasks due today"), QStringLiteral("Call <Ann> & Bob\nPay rent"));
        QTRY_COMPARE(server.shown().size(), 1);
        QCOMPARE(server.shown().first().body, body);
        QCOMPARE(server.shown().first().actions.value(0), QStringLiteral("default"));
        // Only the default action is a click; the bus keeps the order of one sender.
        server.click(server.shown().first().id, QStringLiteral("snooze"));
        server.click(server.shown().first().id);
        QTRY_COMPARE(clicked.size(), 1);
    }
};

MRV_TEST_GUILESS_MAIN(TstPlatform)
#include "tst_platform.moc"
