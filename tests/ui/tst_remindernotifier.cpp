// A reminder is shown in the tray's balloon or, without a tray, by the desktop's notification
// service; a click on it brings the window up on the group of the first task it names.

#include "core/taskcore.h"
#include "settings/appsettings.h"
#include "store/taskstorage.h"
#include "support/notificationtestserver.h"
#include "support/testenv.h"
#include "ui/focusgrouplistwidget.h"
#include "ui/mainwindow.h"
#include "ui/remindernotifier.h"
#include "ui/tasklistwidget.h"
#include "ui/trayicon.h"

#include <QTemporaryDir>

class TstReminderNotifier : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    bool m_trayHost = true;

    static std::shared_ptr<TaskStorage> store() { return TaskCore::instance()->storage(); }

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

    void clickShowsTheGroupOfTheFirstTask_data()
    {
        // Where the task is listed when the reminder is clicked: "inbox", "home", "work" (groups
        // of the user's, in that order), "trash", or nowhere ("gone").
        QTest::addColumn<QStringList>("listedIn");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<bool>("minimized");
        QTest::newRow("inbox") << QStringList{"inbox"} << "inbox" << false;
        QTest::newRow("a group") << QStringList{"work"} << "work" << false;
        QTest::newRow("two groups") << QStringList{"work", "home"} << "home" << false;
        QTest::newRow("inbox and a group") << QStringList{"work", "inbox"} << "inbox" << false;
        QTest::newRow("moved to the trash since") << QStringList{"trash"} << "trash" << false;
        QTest::newRow("deleted since") << QStringList() << "inbox" << false;
        QTest::newRow("minimised window") << QStringList{"home"} << "home" << true;
    }

    void clickShowsTheGroupOfTheFirstTask()
    {
        QFETCH(QStringList, listedIn);
        QFETCH(QString, shown);
        QFETCH(bool, minimized);
        const std::shared_ptr<TaskStorage> storage = store();
        const QHash<QString, FocusGroup::Id> groups{{QStringLiteral("inbox"), FocusGroup::inboxId()},
                                                    {QStringLiteral("trash"), FocusGroup::trashId()},
                                                    {QStringLiteral("home"), storage->addGroup(QStringLiteral("Home"), QString())},
                                                    {QStringLiteral("work"), storage->addGroup(QStringLiteral("Work"), QString())}};
        const TodoTask::Id task = storage->createTask(FocusGroup::inboxId());
        storage->removeTask(FocusGroup::inboxId(), task, true);
        MainWindow window;
        TrayIcon tray(&window, nullptr);
        window.setTrayIcon(&tray);
        ReminderNotifier notifier(&window, &tray);
        notifier.showReminder(QStringLiteral("1 task due today"), QStringLiteral("task"), task);
        for (const QString& name : listedIn)
            storage->addTaskToGroup(groups.value(name), task);
        if (minimized)
            window.showMinimized();

        Q_EMIT tray.messageClicked();
        QVERIFY(window.isVisible());
        QVERIFY(!window.isMinimized());
        QCOMPARE(window.groupPanel()->currentGroup(), groups.value(shown));
        QCOMPARE(window.taskList()->group(), groups.value(shown));
        storage->removeGroup(groups.value(QStringLiteral("home")));
        storage->removeGroup(groups.value(QStringLiteral("work")));
    }

    void withoutATrayTheNotificationServiceShowsIt()
    {
        NotificationTestServer server;
        if (!server.isRunning())
            QSKIP("dbus-daemon is needed");
        m_trayHost = false;
        const std::shared_ptr<TaskStorage> storage = store();
        const FocusGroup::Id group = storage->addGroup(QStringLiteral("Errands"), QString());
        const TodoTask::Id task = storage->createTask(group);
        MainWindow window;
        TrayIcon tray(&window, nullptr);
        window.setTrayIcon(&tray);
        ReminderNotifier notifier(&window, &tray, nullptr, server.address());
        QVERIFY(!notifier.canShow());
        QVERIFY(server.serve());
        QVERIFY(notifier.canShow());

        notifier.showReminder(QStringLiteral("1 task overdue"), QStringLiteral("Pay rent"), task);
        QTRY_COMPARE(server.shown().size(), 1);
        QCOMPARE(server.shown().first().title, QStringLiteral("1 task overdue"));
        QCOMPARE(server.shown().first().body, QStringLiteral("Pay rent"));
        QVERIFY(!window.isVisible());
        server.click(server.shown().first().id);
        QTRY_VERIFY(window.isVisible());
        QCOMPARE(window.groupPanel()->currentGroup(), group);
        storage->removeGroup(group);
    }
};

MRV_TEST_WIDGETS_MAIN(TstReminderNotifier)

#include "tst_remindernotifier.moc"
