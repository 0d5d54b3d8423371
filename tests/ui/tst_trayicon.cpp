// The tray icon's activation, the window's fallback without a tray host, and the about box the
// tray opens (one at a time).

#include "core/taskcore.h"
#include "settings/appsettings.h"
#include "support/testenv.h"
#include "support/uitestkit.h"
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

} // namespace

class TstTrayIcon : public QObject
{
    Q_OBJECT

private:
    uitest::TempStore m_store;
    bool m_trayHost = true;

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(m_store.ready());
        TrayIcon::setAvailabilityProbe([this] { return m_trayHost; });
    }

    void init()
    {
        AppSettings::settings()->resetToDefaults();
        m_trayHost = true;
    }

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
        MainWindow window;
        TrayIcon tray(&window, nullptr);
        window.setTrayIcon(&tray);
        TrayIcon::setStatusNotifierProbe(nullptr);
        if (minimized)
            window.showMinimized();
        Q_EMIT tray.activated(QSystemTrayIcon::ActivationReason(reason));
        QCOMPARE(window.isVisible(), shown || minimized);
        QCOMPARE(window.isMinimized(), minimized && !shown);
    }

    void withoutATrayTheWindowStaysReachable()
    {
        m_trayHost = false;
        MainWindow window;
        TrayIcon tray(&window, nullptr, nullptr, 10);
        window.setTrayIcon(&tray);
        window.show();
        FancyToolBtn* menuButton = window.toolbar()->programMenuButton();
        QVERIFY(menuButton->isVisible());
        // Nor can the preferences offer notifications without a tray or a notification service.
        QVERIFY(PrefsDialog().findChild<QCheckBox*>(QStringLiteral("notificationsCheck"))->isHidden());
        // Every command of the tray's menu but "Show", with undo and redo.
        QCOMPARE(commandNames(menuButton->menu()),
                 QStringList({"undoAction", "redoAction"}) + commandNames(tray.menu()).mid(1));
        // What the window does without a tray is its own rule; the tray tells it when a host comes.
        QVERIFY(!window.isTrayAvailable());
        m_trayHost = true;
        QTRY_VERIFY(window.isTrayAvailable());
        // The program's menu stays reachable from the window beside a tray.
        QVERIFY(menuButton->isVisible());
        QVERIFY(!PrefsDialog().findChild<QCheckBox*>(QStringLiteral("notificationsCheck"))->isHidden());
    }

    // One about dialog at a time. Minimising hides it, and then it goes; not while a dialog it
    // opened (the licence) runs its event loop above it.
    void minimisedWhileItsNestedDialogRuns()
    {
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
        about->_onLinkClicked(QStringLiteral("eula"));
        QVERIFY(bothLivedOn);
        QVERIFY(!openAboutDialog());
        QTRY_VERIFY(!about);
        QVERIFY(!nested);
    }
};

MRV_TEST_WIDGETS_MAIN(TstTrayIcon)

#include "tst_trayicon.moc"
