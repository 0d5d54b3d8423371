// The tray icon's activation, the window's fallback without a tray host, and the about box the
// tray opens (one at a time).

#include "core/taskcore.h"
#include "settings/appsettings.h"
#include "support/testenv.h"
#include "ui/aboutdialog.h"
#include "ui/mainwindow.h"
#include "ui/prefsdialog.h"
#include "ui/toolbar.h"
#include "ui/trayicon.h"
#include "widgets/fancytoolbtn.h"

#include <QAction>
#include <QCheckBox>
#include <QMenu>
#include <QTemporaryDir>
#include <QTimer>

namespace {

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
