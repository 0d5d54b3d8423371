// The tray icon with its menu and its balloons (updates, reminders), the window's fallback without
// a tray host, and the dialogs the tray opens: preferences (one at a time), about and the licence.

#include "base/identity.h"
#include "core/taskcore.h"
#include "settings/appsettings.h"
#include "support/testenv.h"
#include "ui/aboutdialog.h"
#include "ui/clockwidget.h"
#include "ui/euladialog.h"
#include "ui/mainwindow.h"
#include "ui/prefsdialog.h"
#include "ui/toolbar.h"
#include "ui/trayicon.h"
#include "widgets/fancytoolbtn.h"

#include <QAction>
#include <QCheckBox>
#include <QMenu>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTimer>

namespace {

UpdateInformation answer(const QString& id, const QString& version, const QString& url)
{
    UpdateEntry entry;
    entry.id = id;
    entry.version = Version::fromString(version);
    entry.url = QUrl(url);
    UpdateInformation info;
    info.store(entry);
    return info;
}

QStringList actionNames(const QMenu* menu)
{
    QStringList names;
    for (const QAction* action : menu->actions())
        names << (action->isSeparator() ? QStringLiteral("-") : action->objectName());
    return names;
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

    void menuHoldsTheCommands()
    {
        MainWindow window;
        TrayIcon tray(&window, nullptr);
        QCOMPARE(actionNames(tray.menu()), QStringList({"showAction", "-", "syncNowAction", "importCalendarAction",
                                                        "exportAction", "preferencesAction", "aboutAction", "-",
                                                        "exitAction"}));
        QCOMPARE(tray.menu()->actions().first()->text(), QStringLiteral("Show Mirevo"));
        QVERIFY(tray.menu()->actions().first()->font().bold());
        QCOMPARE(tray.toolTip(), QStringLiteral("Mirevo"));
        QCOMPARE(tray.contextMenu(), tray.menu());
    }

    void doubleClickShowsTheWindow_data()
    {
        QTest::addColumn<int>("reason");
        QTest::addColumn<bool>("minimized");
        QTest::addColumn<bool>("statusNotifier");
        QTest::addColumn<bool>("shown");
        QTest::newRow("double click, hidden") << int(QSystemTrayIcon::DoubleClick) << false << false << true;
        QTest::newRow("double click, minimised") << int(QSystemTrayIcon::DoubleClick) << true << false << true;
        QTest::newRow("single click") << int(QSystemTrayIcon::Trigger) << false << false << false;
        // A D-Bus tray has no double click: its activation shows the window.
        QTest::newRow("D-Bus tray activation") << int(QSystemTrayIcon::Trigger) << false << true << true;
    }

    void doubleClickShowsTheWindow()
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
        // The program's menu is reachable from the window beside any tray: its button and F10.
        QVERIFY(testenv::showActive(&window));
        FancyToolBtn* button = window.toolbar()->programMenuButton();
        QTRY_VERIFY(button->isVisible());
        bool opened = false;
        QTimer::singleShot(100, button->menu(), [&opened, menu = button->menu()] {
            opened = menu->isVisible();
            menu->close();
        });
        QTest::keyClick(&window, Qt::Key_F10);
        QVERIFY(opened);
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
        QCOMPARE(actionNames(menuButton->menu()),
                 QStringList({"undoAction", "redoAction", "-", "syncNowAction", "importCalendarAction", "exportAction", "preferencesAction",
                              "aboutAction", "-", "exitAction"}));
        window.close();
        QVERIFY(window.isVisible());
        QVERIFY(window.isMinimized());

        // A tray host that appears later takes the window back.
        m_trayHost = true;
        QTRY_VERIFY(tray.isTrayAvailable());
        QVERIFY(menuButton->isVisible());
        window.showNormal();
        window.close();
        QVERIFY(!window.isVisible());
    }

    void updateAnswers_data()
    {
        QTest::addColumn<UpdateInformation>("info");
        QTest::addColumn<QString>("announced");
        const QString id = applicationId();
        const QString page = QStringLiteral("https://velbrook.example/get");
        QTest::newRow("newer") << answer(id, "0.3.1", page) << "0.3.1";
        QTest::newRow("newer build") << answer(id, "0.2.643", page) << "0.2.643";
        QTest::newRow("equal") << answer(id, "0.2.642", page) << "";
        QTest::newRow("invalid version") << answer(id, "banana", page) << "";
        QTest::newRow("invalid address") << answer(id, "9.0.0", "") << "";
        QTest::newRow("another program") << answer(QStringLiteral("example.other"), "9.0.0", page) << "";
        QTest::newRow("none") << UpdateInformation() << "";
    }

    void updateAnswers()
    {
        QFETCH(UpdateInformation, info);
        QFETCH(QString, announced);
        MainWindow window;
        TrayIcon tray(&window, nullptr);
        tray._onUpdatesChecked(info);
        QCOMPARE(availableVersion().isValid() ? availableVersion().toString() : QString(), announced);
        AboutDialog about(&window);
        QCOMPARE(about.updateNotice() != nullptr, !announced.isEmpty());
        if (about.updateNotice())
            QVERIFY(about.updateNotice()->text().contains(announced));

        QUrl opened;
        TrayIcon::setUrlOpener([&opened](const QUrl& url) { opened = url; });
        Q_EMIT tray.messageClicked();
        TrayIcon::setUrlOpener(nullptr);
        QCOMPARE(opened, QUrl(webSiteUrl()));
    }

    void messageClickAnswersTheBalloonShownLast_data()
    {
        QTest::addColumn<QStringList>("balloons");
        QTest::addColumn<bool>("reminder");
        QTest::newRow("none") << QStringList() << false;
        QTest::newRow("update, then a reminder") << QStringList{"update", "reminder"} << true;
        QTest::newRow("reminder, then an update") << QStringList{"reminder", "update"} << false;
    }

    void messageClickAnswersTheBalloonShownLast()
    {
        QFETCH(QStringList, balloons);
        QFETCH(bool, reminder);
        MainWindow window;
        TrayIcon tray(&window, nullptr);
        for (const QString& balloon : balloons) {
            if (balloon == QLatin1String("update"))
                tray._onUpdatesChecked(answer(applicationId(), "9.0.0", "https://velbrook.example/get"));
            else
                tray.showReminder(QStringLiteral("1 task due today"), QStringLiteral("Pay rent"));
        }
        QSignalSpy reminderClicked(&tray, &TrayIcon::reminderClicked);
        QUrl opened;
        TrayIcon::setUrlOpener([&opened](const QUrl& url) { opened = url; });
        Q_EMIT tray.messageClicked();
        TrayIcon::setUrlOpener(nullptr);
        QCOMPARE(reminderClicked.size(), reminder ? 1 : 0);
        QCOMPARE(opened, reminder ? QUrl() : QUrl(webSiteUrl()));
    }

    void notificationsCanBeChosenWhereTheyCanBeShown_data()
    {
        QTest::addColumn<bool>("trayHost");
        QTest::newRow("tray") << true;
        QTest::newRow("no tray, no notification service") << false;
    }

    void notificationsCanBeChosenWhereTheyCanBeShown()
    {
        QFETCH(bool, trayHost);
        m_trayHost = trayHost;
        PrefsDialog prefs;
        QCOMPARE(!prefs.findChild<QCheckBox*>(QStringLiteral("notificationsCheck"))->isHidden(), trayHost);
    }

    void onePreferencesDialogAtATime()
    {
        MainWindow window;
        TrayIcon tray(&window, nullptr);
        int open = -1;
        QTimer::singleShot(0, &tray, [&] {
            tray._onPreferences();
            open = window.findChildren<PrefsDialog*>().size();
            QVERIFY(tray.preferencesDialog()->isModal());
            tray.preferencesDialog()->reject();
        });
        tray._onPreferences();
        QCOMPARE(open, 1);
        QVERIFY(!tray.preferencesDialog());
    }

    void oneAboutDialogAtATime()
    {
        MainWindow window;
        showAboutDialog(&window);
        QPointer<AboutDialog> first = openAboutDialog();
        QVERIFY(first);
        showAboutDialog(&window);
        QCOMPARE(openAboutDialog(), first.data());
        QCOMPARE(window.findChildren<AboutDialog*>().size(), 1);
        first->close();
        QVERIFY(!openAboutDialog());
        QTRY_VERIFY(!first);
    }

    void minimisedWhileItsNestedDialogRuns_data()
    {
        QTest::addColumn<QString>("link");
        QTest::newRow("licence") << QStringLiteral("eula");
        QTest::newRow("about Qt") << QStringLiteral("aboutqt");
    }

    // Minimising hides the about dialog, which then goes; not while a dialog it opened runs its
    // event loop above it.
    void minimisedWhileItsNestedDialogRuns()
    {
        QFETCH(QString, link);
        MainWindow window;
        showAboutDialog(&window);
        QPointer<AboutDialog> about = openAboutDialog();
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

    void licenceText()
    {
        const QString text = EulaDialog::licenseText();
        QVERIFY(text.contains(QStringLiteral("Mirevo End-User License Agreement")));
        QVERIFY(text.contains(QStringLiteral("Velbrook")));
        QVERIFY(!text.contains(QStringLiteral("_APP_")) && !text.contains(QStringLiteral("_COMP_")));
        QCOMPARE(EulaDialog::licenseText(QStringLiteral(":/about/missing")),
                 QStringLiteral("Unable to read a license file. Please, report this issue."));

        QString shown;
        AboutDialog::setEulaHook([&shown](QWidget*, const QString& html) { shown = html; });
        AboutDialog about;
        about._onLinkClicked(QStringLiteral("eula"));
        AboutDialog::setEulaHook(nullptr);
        QCOMPARE(shown, text);
    }

    void licenceDialogModes_data()
    {
        QTest::addColumn<bool>("acceptReject");
        QTest::addColumn<QStringList>("buttons");
        QTest::addColumn<QString>("defaultButton");
        QTest::newRow("read only") << false << QStringList{"OK"} << "OK";
        QTest::newRow("accept or reject") << true << QStringList{"Accept", "Reject"} << "Reject";
    }

    void licenceDialogModes()
    {
        QFETCH(bool, acceptReject);
        QFETCH(QStringList, buttons);
        QFETCH(QString, defaultButton);
        EulaDialog dialog(nullptr, QStringLiteral("<p>Terms</p>"), acceptReject);
        QStringList texts;
        QString isDefault;
        for (const QPushButton* button : dialog.findChildren<QPushButton*>()) {
            texts << button->text();
            if (button->isDefault())
                isDefault = button->text();
        }
        QCOMPARE(texts, buttons);
        QCOMPARE(isDefault, defaultButton);
        QVERIFY(dialog.textView()->isReadOnly());
        QCOMPARE(dialog.textView()->toPlainText(), QStringLiteral("Terms"));
    }
};

MRV_TEST_WIDGETS_MAIN(TstTrayIcon)

#include "tst_trayicon.moc"
