// The tray icon with its menu and its balloons (updates, reminders), the window's fallback without
// a tray host, the reminders shown by the notification service, and the dialogs the tray opens:
// about (one at a time).

#include "base/identity.h"
#include "core/taskcore.h"
#include "settings/appsettings.h"
#include "store/taskstorage.h"
#include "support/notificationtestserver.h"
#include "support/testenv.h"
#include "ui/aboutdialog.h"
#include "ui/focusgrouplistwidget.h"
#include "ui/mainwindow.h"
#include "ui/prefsdialog.h"
#include "ui/remindernotifier.h"
#include "ui/toolbar.h"
#include "ui/trayicon.h"
#include "widgets/fancytoolbtn.h"

#include <QAction>
#include <QCheckBox>
#include <QMenu>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTimer>

namespace {

std::shared_ptr<TaskStorage> store() { return TaskCore::instance()->storage(); }

UpdateInformation answer(const QString& id, const QString& version)
{
    UpdateEntry entry;
    entry.id = id;
    entry.version = Version::fromString(version);
    entry.url = QUrl(QStringLiteral("https://velbrook.example/get"));
    UpdateInformation info;
    info.store(entry);
    return info;
}

QStringList commandNames(const QMenu* menu)
{
    QStringList names;
    for (const QAction* action : menu->actions()) {
        if (!action->isSeparator())
            names << action->objectName();
    }
    return names;
}

/// The main window with its tray icon.
struct Shown
{
    explicit Shown(int pollMs = TrayIcon::DefaultAvailabilityPollMs)
        : tray(&window, nullptr, nullptr, pollMs)
    {
        window.setTrayIcon(&tray);
    }
    MainWindow window;
    TrayIcon tray;
};

/// What a click on the balloon opened: the web page it announced, if any.
QUrl openedByMessageClick(TrayIcon& tray)
{
    QUrl opened;
    TrayIcon::setUrlOpener([&opened](const QUrl& url) { opened = url; });
    Q_EMIT tray.messageClicked();
    TrayIcon::setUrlOpener(nullptr);
    return opened;
}

} // namespace

class TstTrayIcon : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    bool m_trayHost = true;

private Q_SLOTS:
    void initTestCase()
    {
        QCOMPARE(TaskCore::instance()->init(m_dir.filePath(QStringLiteral("tasks.xml")), 3600000), 0);
        TrayIcon::setAvailabilityProbe([this] { return m_trayHost; });
    }

    void init()
    {
        AppSettings::settings()->resetToDefaults();
        setAvailableVersion(Version());
        m_trayHost = true;
    }

    void cleanupTestCase() { TaskCore::destroy(); }

    void activationShowsTheWindow_data()
    {
        QTest::addColumn<int>("reason");
        QTest::addColumn<bool>("minimized");
        QTest::addColumn<bool>("statusNotifier");
        QTest::addColumn<bool>("shown");
        const int doubleClick = QSystemTrayIcon::DoubleClick;
        QTest::newRow("double click, minimised") << doubleClick << true << false << true;
        QTest::newRow("single click") << int(QSystemTrayIcon::Trigger) << false << false << false;
        // A D-Bus tray has no double click: its activation shows the window.
        QTest::newRow("D-Bus tray activation") << int(QSystemTrayIcon::Trigger) << false << true << true;
    }

    void activationShowsTheWindow()
    {
        QFETCH(int, reason);
        QFETCH(bool, minimized);
        QFETCH(bool, statusNotifier);
        QFETCH(bool, shown);
        TrayIcon::setStatusNotifierProbe([statusNotifier] { return statusNotifier; });
        Shown s;
        TrayIcon::setStatusNotifierProbe(nullptr);
        if (minimized)
            s.window.showMinimized();
        Q_EMIT s.tray.activated(QSystemTrayIcon::ActivationReason(reason));
        QCOMPARE(s.window.isVisible(), shown || minimized);
        QCOMPARE(s.window.isMinimized(), minimized && !shown);
        // The program's menu is reachable from the window beside any tray.
        QVERIFY(testenv::showActive(&s.window));
        QTRY_VERIFY(s.window.toolbar()->programMenuButton()->isVisible());
    }

    void withoutATrayTheWindowStaysReachable()
    {
        m_trayHost = false;
        Shown s(10);
        s.window.show();
        FancyToolBtn* menuButton = s.window.toolbar()->programMenuButton();
        QVERIFY(menuButton->isVisible());
        // Nor can the preferences offer notifications without a tray or a notification service.
        QVERIFY(PrefsDialog().findChild<QCheckBox*>(QStringLiteral("notificationsCheck"))->isHidden());
        // Every command of the tray's menu but "Show", with undo and redo.
        QCOMPARE(commandNames(menuButton->menu()),
                 QStringList({"undoAction", "redoAction"}) + commandNames(s.tray.menu()).mid(1));
        s.window.close();
        QVERIFY(s.window.isVisible());
        QVERIFY(s.window.isMinimized());

        // A tray host that appears later takes the window back.
        m_trayHost = true;
        QTRY_VERIFY(s.tray.isTrayAvailable());
        QVERIFY(menuButton->isVisible());
        QVERIFY(!PrefsDialog().findChild<QCheckBox*>(QStringLiteral("notificationsCheck"))->isHidden());
        s.window.showNormal();
        s.window.close();
        QVERIFY(!s.window.isVisible());
    }

    // An update is announced in the about box; a click on the balloon answers the one shown
    // last: the web site for an update (and by default), the reminder's group for a reminder.
    void balloonsAndTheirClicks_data()
    {
        QTest::addColumn<UpdateInformation>("info");
        QTest::addColumn<QString>("reminder"); // shown "before" or "after" the update's answer
        QTest::addColumn<QString>("announced");
        const QString id = applicationId();
        QTest::newRow("newer") << answer(id, "0.3.1") << "" << "0.3.1";
        QTest::newRow("equal") << answer(id, "0.2.642") << "" << "";
        QTest::newRow("another program") << answer(QStringLiteral("example.other"), "9.0.0") << "" << "";
        QTest::newRow("update, then a reminder") << answer(id, "9.0.0") << "after" << "9.0.0";
        QTest::newRow("reminder, then an update") << answer(id, "9.0.0") << "before" << "9.0.0";
    }

    void balloonsAndTheirClicks()
    {
        QFETCH(UpdateInformation, info);
        QFETCH(QString, reminder);
        QFETCH(QString, announced);
        Shown s;
        if (reminder == QLatin1String("before"))
            s.tray.showReminder(QStringLiteral("1 task due today"), QStringLiteral("Pay rent"));
        s.tray._onUpdatesChecked(info);
        if (reminder == QLatin1String("after"))
            s.tray.showReminder(QStringLiteral("1 task due today"), QStringLiteral("Pay rent"));
        QCOMPARE(availableVersion().isValid() ? availableVersion().toString() : QString(), announced);
        AboutDialog about(&s.window);
        QCOMPARE(about.updateNotice() != nullptr, !announced.isEmpty());
        if (about.updateNotice())
            QVERIFY(about.updateNotice()->text().contains(announced));
        const bool reminderLast = reminder == QLatin1String("after");
        QSignalSpy reminderClicked(&s.tray, &TrayIcon::reminderClicked);
        QCOMPARE(openedByMessageClick(s.tray), reminderLast ? QUrl() : QUrl(webSiteUrl()));
        QCOMPARE(reminderClicked.size(), reminderLast ? 1 : 0);
    }

    void withoutATrayTheNotificationServiceShowsReminders()
    {
        NotificationTestServer server;
        if (!server.isRunning())
            QSKIP("dbus-daemon is needed");
        m_trayHost = false;
        const FocusGroup::Id group = store()->addGroup(QStringLiteral("Errands"), QString());
        const TodoTask::Id task = store()->createTask(group);
        Shown s;
        ReminderNotifier notifier(&s.window, &s.tray, nullptr, server.address());
        QVERIFY(!notifier.canShow());
        QVERIFY(server.serve());
        QVERIFY(notifier.canShow());

        notifier.showReminder(QStringLiteral("1 task overdue"), QStringLiteral("Pay rent"), task);
        QTRY_COMPARE(server.shown().size(), 1);
        QCOMPARE(server.shown().first().title, QStringLiteral("1 task overdue"));
        QVERIFY(!s.window.isVisible());
        server.click(server.shown().first().id);
        QTRY_VERIFY(s.window.isVisible());
        QCOMPARE(s.window.groupPanel()->currentGroup(), group);
        store()->removeGroup(group);
    }

    void minimisedWhileItsNestedDialogRuns_data()
    {
        QTest::addColumn<QString>("link");
        QTest::newRow("licence") << QStringLiteral("eula");
        QTest::newRow("about Qt") << QStringLiteral("aboutqt");
    }

    // One about dialog at a time. Minimising hides it, and then it goes; not while a dialog it
    // opened runs its event loop above it.
    void minimisedWhileItsNestedDialogRuns()
    {
        QFETCH(QString, link);
        MainWindow window;
        showAboutDialog(&window);
        QPointer<AboutDialog> about = openAboutDialog();
        showAboutDialog(&window);
        QCOMPARE(openAboutDialog(), about.data());
        QCOMPARE(window.findChildren<AboutDialog*>().size(), 1);
        QPointer<QDialog> nested;
        bool bothLivedOn = false;
        QTimer::singleShot(0, this, [&] {
            nested = qobject_cast<QDialog*>(QApplication::activeModalWidget());
            about->setWindowState(Qt::WindowMinimized);
            QTest::qWait(20);
            bothLivedOn = about && nested;
            if (nested)
                nested->reject();
        });
        about->_onLinkClicked(link);
        QVERIFY(bothLivedOn);
        QVERIFY(!openAboutDialog());
        QTRY_VERIFY(!about);
        QVERIFY(!nested);
    }
};

MRV_TEST_WIDGETS_MAIN(TstTrayIcon)

#include "tst_trayicon.moc"
