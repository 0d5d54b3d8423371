#include "core/duetasks.h"
#include "core/taskcore.h"
#include "settings/appsettings.h"
#include "store/taskstorage.h"
#include "support/testenv.h"
#include "ui/editgroupdialog.h"
#include "ui/exportdialog.h"
#include "ui/focusgrouplistwidget.h"
#include "ui/focusgroupwidget.h"
#include "ui/mainwindow.h"
#include "ui/questionbox.h"
#include "ui/statusnote.h"
#include "ui/tasklistwidget.h"
#include "ui/toolbar.h"
#include "ui/toolbaractions.h"
#include "ui/userstep.h"
#include "widgets/fancysplitter.h"
#include "widgets/fancytoolbtn.h"

#include <QAccessible>
#include <QAction>
#include <QLabel>
#include <QMenu>
#include <QApplication>
#include <QScreen>
#include <QTemporaryDir>
#include <QTextDocument>

#include <functional>
#include <QToolButton>

using WindowAction = std::function<void(MainWindow&, const QList<TodoTask::Id>&)>;
Q_DECLARE_METATYPE(WindowAction)

namespace {

// Every group's list and every record.
QList<QVariant> storeState(TaskStorage& store)
{
    QList<QVariant> state;
    for (const FocusGroup::Id& groupId : store.groupIds()) {
        const FocusGroup group = store.group(groupId);
        state << group.name() << QVariant::fromValue(group.taskIds());
        store.visitTasks(group.taskIds(), [&state](const TodoTask& task) {
            state << task.name() << task.completed() << task.created();
        });
    }
    return state;
}

} // namespace

class TstMainWindow : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;

    // An Inbox of five tasks t0..t4 and a group "Work"; nothing else.
    QList<TodoTask::Id> _freshInbox(FocusGroup::Id* work)
    {
        TaskStorage& store = *TaskCore::instance()->storage();
        for (const FocusGroup::Id& groupId : store.groupIds()) {
            if (FocusGroup::isUserGroup(groupId))
                store.removeGroup(groupId);
            else
                store.removeTasks(groupId, store.group(groupId).taskIds(), true);
        }
        *work = store.addGroup(QStringLiteral("Work"), QString());
        QList<TodoTask::Id> ids;
        for (int i = 0; i < 5; ++i) {
            ids << store.createTask(FocusGroup::inboxId());
            store.setTaskName(ids.constLast(), QStringLiteral("t%1").arg(i));
        }
        return ids;
    }

private Q_SLOTS:
    void initTestCase()
    {
        QCOMPARE(TaskCore::instance()->init(m_dir.filePath(QStringLiteral("tasks.xml")), 3600000), 0);
    }

    void init() { AppSettings::settings()->resetToDefaults(); }

    void cleanupTestCase() { TaskCore::destroy(); }

    void firstRunIsCentred()
    {
        QCOMPARE(MainWindow::defaultFrame(QRect(100, 50, 1001, 601)), QRect(200, 125, 800, 450));
        MainWindow window;
        QCOMPARE(window.size(), QSize(800, 450));
        // It cannot be made so small that the toolbar's buttons are cut off.
        QVERIFY(window.minimumWidth() > window.toolbar()->minimumSizeHint().width());
        QVERIFY(window.minimumHeight() >= 300);
        const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
        QCOMPARE(window.pos(), MainWindow::defaultFrame(screen).topLeft());
    }

    void geometryRoundTripsThroughTheSettingsFile()
    {
        const QString path = m_dir.filePath(QStringLiteral("settings.ini"));
        {
            MainWindow window;
            window.setGeometry(QRect(40, 60, 700, 500));
        }
        QVERIFY(AppSettings::settings()->save(path));
        AppSettings::settings()->resetToDefaults();
        AppSettings::settings()->load(path);
        MainWindow again;
        QCOMPARE(again.geometry(), QRect(40, 60, 700, 500));
    }

    void actionsFollowTheGroup_data()
    {
        QTest::addColumn<QUuid>("group");
        QTest::addColumn<bool>("enabled");
        QTest::newRow("Trash") << FocusGroup::trashId() << false;
        QTest::newRow("user group") << QUuid() << true;
    }

    void actionsFollowTheGroup()
    {
        QFETCH(QUuid, group);
        QFETCH(bool, enabled);
        if (group.isNull())
            group = TaskCore::instance()->storage()->addGroup(QStringLiteral("Mine"), QString());
        MainWindow window;
        window.groupPanel()->selectGroup(FocusGroup::trashId());
        window.groupPanel()->selectGroup(group);
        QCOMPARE(window.taskList()->group(), group);
        QCOMPARE(newTaskAction()->isEnabled(), enabled);
        QCOMPARE(cleanupAction()->isEnabled(), enabled);
    }

    void viewSwitchRestoresThePanelWidth()
    {
        AppSettings::settings()->setGroupPanelWidth(230);
        MainWindow window;
        window.showWindow();
        QCOMPARE(window.splitter()->firstWidth(), 230);
        QCOMPARE(toggleViewAction()->text(), QStringLiteral("Compact"));

        toggleViewAction()->trigger();
        QVERIFY(AppSettings::settings()->compactView());
        QTRY_VERIFY(!window.viewAnimation());
        QCOMPARE(window.splitter()->firstWidth(), 0);
        QVERIFY(!window.groupPanel()->isVisible());
        QVERIFY(!window.splitter()->handle()->isVisible());
        QCOMPARE(window.rightPane()->width(), window.width());
        QCOMPARE(toggleViewAction()->text(), QStringLiteral("Normal"));

        toggleViewAction()->trigger();
        QTRY_VERIFY(!window.viewAnimation());
        QCOMPARE(window.splitter()->firstWidth(), 230);
        QCOMPARE(window.groupPanel()->width(), 230);
        QCOMPARE(window.rightPane()->geometry().left(), 231);
        QCOMPARE(AppSettings::settings()->groupPanelWidth(), 230);
    }

    void startingCompactShowsTheTaskPaneAtOnce()
    {
        AppSettings::settings()->setCompactView(true);
        AppSettings::settings()->setGroupPanelWidth(180);
        {
            MainWindow window;
            window.showWindow();
            QVERIFY(!window.viewAnimation());
            QCOMPARE(window.splitter()->firstWidth(), 0);
            QCOMPARE(window.rightPane()->geometry(), window.rect());
            QCOMPARE(toggleViewAction()->text(), QStringLiteral("Normal"));
        }
        // Quitting in compact view keeps the width from before the switch.
        QCOMPARE(AppSettings::settings()->groupPanelWidth(), 180);
    }

    // With a tray the window hides; without one it minimises where a taskbar brings it back,
    // and hides on Wayland, where nothing could (a second start shows it).
    void closeAndEscapeOnlyHide_data()
    {
        QTest::addColumn<bool>("tray");
        QTest::addColumn<bool>("wayland");
        QTest::addColumn<bool>("minimised");
        QTest::newRow("tray") << true << false << false;
        QTest::newRow("no tray") << false << false << true;
        QTest::newRow("no tray on Wayland") << false << true << false;
    }

    void closeAndEscapeOnlyHide()
    {
        QFETCH(bool, tray);
        QFETCH(bool, wayland);
        QFETCH(bool, minimised);
        MainWindow::setWaylandForTests(wayland);
        MainWindow window;
        window.setTrayAvailable(tray);
        QVERIFY(testenv::showActive(&window));
        window.close();
        QCOMPARE(window.isVisible(), minimised);
        QCOMPARE(window.isMinimized(), minimised);
        window.showNormal();
        QVERIFY(testenv::showActive(&window));
        QTest::keyClick(&window, Qt::Key_Escape);
        QCOMPARE(window.isVisible(), minimised);
        MainWindow::setWaylandForTests(false);
    }

    // Wayland tells no position: only the size is kept there, the position of X11 stays.
    void waylandKeepsOnlyTheSize()
    {
        AppSettings::settings()->setMainWindowFrame(QRect(40, 60, 700, 500));
        MainWindow::setWaylandForTests(true);
        {
            MainWindow window;
            QCOMPARE(window.size(), QSize(700, 500));
            window.setGeometry(QRect(0, 0, 650, 480));
        }
        MainWindow::setWaylandForTests(false);
        QCOMPARE(AppSettings::settings()->mainWindowFrame(), QRect(40, 60, 650, 480));
    }

    void keyboardAloneReachesEverything()
    {
        const FocusGroup::Id work = TaskCore::instance()->storage()->addGroup(QStringLiteral("Keys"), QString());
        MainWindow window;
        QVERIFY(testenv::showActive(&window));
        FocusGroupListWidget* panel = window.groupPanel();
        TaskListWidget* list = window.taskList();
        panel->setFocus(Qt::TabFocusReason);
        QVERIFY(panel->rowOf(FocusGroup::inboxId())->flags() & FocusGroupWidget::FocusMarked);

        QTest::keyClick(panel, Qt::Key_End);
        QCOMPARE(list->group(), FocusGroup::trashId());
        QTest::keyClick(panel, Qt::Key_Home);
        QCOMPARE(list->group(), DueTasks::viewId(DueTasks::Today));
        const QList<FocusGroupWidget*> rows = panel->rowsInOrder();
        QTest::keyClick(panel, Qt::Key_Down);
        QCOMPARE(list->group(), rows.at(1)->groupId());
        QTest::keyClick(panel, Qt::Key_Menu);
        QTRY_VERIFY(panel->contextMenu() && panel->contextMenu()->isVisible());
        panel->contextMenu()->close();
        QVERIFY(testenv::showActive(&window));

        // Return goes to the tasks; Ctrl+N makes one even in an empty group; Tab reaches the toolbar.
        panel->selectGroup(work);
        QTest::keyClick(panel, Qt::Key_Return);
        QTRY_VERIFY(list->hasFocus());
        QTest::keyClick(list, Qt::Key_N, Qt::ControlModifier);
        QVERIFY(list->editedRow());
        QCOMPARE(list->rowCount(), 1);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
        // The empty new row is gone and nothing is current: Return and F2 open nothing.
        QCOMPARE(list->rowCount(), 0);
        QCOMPARE(list->currentIndex(), -1);
        QTest::keyClick(list, Qt::Key_Return);
        QTest::keyClick(list, Qt::Key_F2);
        QVERIFY(!list->editedRow());
        QTest::keyClick(list, Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(window.toolbar()->firstButton()));
    }

    // A screen reader finds a name on every control the keyboard can reach, never markup, and
    // the main window is a window (not a dialog).
    void everyControlIsNamed_data()
    {
        QTest::addColumn<QString>("shown");
        for (const char* shown : {"window", "editor", "find", "new group", "export"})
            QTest::newRow(shown) << QString::fromLatin1(shown);
    }

    void everyControlIsNamed()
    {
        QFETCH(QString, shown);
        TaskCore::instance()->storage()->createTask(FocusGroup::inboxId());
        MainWindow window;
        QVERIFY(testenv::showActive(&window));
        QCOMPARE(QAccessible::queryAccessibleInterface(&window)->role(), QAccessible::Window);
        QWidget* top = &window;
        std::unique_ptr<QWidget> dialog;
        if (shown == QLatin1String("editor")) {
            window.taskList()->setFocus();
            QTest::keyClick(window.taskList(), Qt::Key_N, Qt::ControlModifier);
            QVERIFY(window.taskList()->editedRow());
        } else if (shown == QLatin1String("find")) {
            findTasksAction()->trigger();
        } else if (shown == QLatin1String("new group")) {
            dialog = std::make_unique<EditGroupDialog>(&window);
        } else if (shown == QLatin1String("export")) {
            dialog = std::make_unique<ExportDialog>(&window, FocusGroup::inboxId());
        }
        if (dialog) {
            QVERIFY(testenv::showActive(dialog.get()));
            top = dialog.get();
        }
        QStringList unnamed;
        QList<QAccessibleInterface*> pending{QAccessible::queryAccessibleInterface(top)};
        while (!pending.isEmpty()) {
            QAccessibleInterface* node = pending.takeLast();
            const QAccessible::State state = node->state();
            if (state.invisible)
                continue;
            const QString name = node->text(QAccessible::Name);
            if ((state.focusable && name.isEmpty()) || Qt::mightBeRichText(name))
                unnamed << QStringLiteral("%1 '%2'").arg(node->object() ? node->object()->objectName() : QString(), name);
            for (int i = 0; i < node->childCount(); ++i)
                pending << node->child(i);
        }
        QVERIFY2(unnamed.isEmpty(), qPrintable(unnamed.join(QStringLiteral(", "))));
    }

    // Changes that cannot be written are said above the panes, with the system's reason, in
    // every view; once writes work again the bar goes.
    void writeFailureIsShownUntilWritesWork()
    {
        MainWindow window;
        window.resize(800, 450);
        testenv::showActive(&window);
        QWidget* bar = window.findChild<QWidget*>(QStringLiteral("writeFailureBar"));
        QVERIFY(bar && !bar->isVisible());
        window.setWriteFailure(QStringLiteral("cannot replace tasks.xml: No space left on device"));
        QVERIFY(bar->isVisible());
        QVERIFY(window.findChild<QLabel*>(QStringLiteral("writeFailureText"))->text().contains(QLatin1String("No space left")));
        QTRY_VERIFY(window.splitter()->geometry().top() >= bar->geometry().bottom());
        window.setWriteFailure(QString());
        QVERIFY(!bar->isVisible());
    }

    void undoAndRedoPutBackWhatTheWindowDid_data()
    {
        QTest::addColumn<WindowAction>("action");
        QTest::addColumn<QList<int>>("selected");
        QTest::newRow("delete three") << WindowAction([](MainWindow& w, const auto& t) {
            w.taskList()->selectTasks({t[1], t[2], t[3]}, t[1]);
            w.taskList()->deleteSelected();
        }) << QList<int>{1, 2, 3};
        QTest::newRow("cleanup") << WindowAction([](MainWindow& w, const auto&) { w.taskList()->cleanup(); }) << QList<int>{0, 2};
        QTest::newRow("edit session") << WindowAction([](MainWindow& w, const auto&) {
            w.taskList()->setEditing(4);
            QTest::keyClicks(QApplication::focusWidget(), QStringLiteral(" and"));
            w.taskList()->setEditing(-1);
        }) << QList<int>{4};
        QTest::newRow("new task") << WindowAction([](MainWindow& w, const auto&) {
            w.taskList()->newTask();
            QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("new"));
            w.taskList()->setEditing(-1);
        }) << QList<int>{};
        QTest::newRow("moved while another group is shown") << WindowAction([](MainWindow& w, const auto& t) {
            const FocusGroup::Id work = TaskCore::instance()->storage()->groupIds().constLast();
            {
                UserStep step(QStringLiteral("Move"));
                TaskCore::instance()->storage()->moveTasks(FocusGroup::inboxId(), work, {t[3]});
            }
            w.groupPanel()->selectGroup(work);
        }) << QList<int>{3};
    }

    void undoAndRedoPutBackWhatTheWindowDid()
    {
        QFETCH(WindowAction, action);
        QFETCH(QList<int>, selected);
        FocusGroup::Id work;
        const QList<TodoTask::Id> t = _freshInbox(&work);
        TaskStorage& store = *TaskCore::instance()->storage();
        store.setTaskCompleted(t[0], true, QDateTime::currentDateTime());
        store.setTaskCompleted(t[2], true, QDateTime::currentDateTime());
        MainWindow window;
        testenv::showActive(&window);
        QVERIFY(!undoAction()->isEnabled());
        const QList<QVariant> before = storeState(store);
        action(window, t);
        const QList<QVariant> after = storeState(store);
        QVERIFY(after != before);
        QVERIFY(undoAction()->isEnabled() && undoAction()->text().startsWith(QLatin1String("Undo ")));

        undoAction()->trigger();
        QCOMPARE(storeState(store), before);
        QCOMPARE(window.taskList()->group(), FocusGroup::inboxId());
        QTRY_COMPARE(window.taskList()->selectedIndexes(), selected);
        QVERIFY(window.statusNote()->isVisible() && window.statusNote()->text().startsWith(QLatin1String("Undone")));
        QVERIFY(!undoAction()->isEnabled() && redoAction()->isEnabled());

        redoAction()->trigger();
        QCOMPARE(storeState(store), after);
        QVERIFY(undoAction()->isEnabled() && !redoAction()->isEnabled());
    }

    void stepsThatChangeNothingOrLostTheirTasks()
    {
        FocusGroup::Id work;
        const QList<TodoTask::Id> t = _freshInbox(&work);
        TaskStorage& store = *TaskCore::instance()->storage();
        MainWindow window;
        testenv::showActive(&window);
        // A new row left empty is gone again and leaves nothing to undo.
        window.taskList()->newTask();
        window.taskList()->setEditing(-1);
        QVERIFY(!undoAction()->isEnabled());
        // A step whose task was deleted elsewhere is skipped, and the note says why.
        window.taskList()->setEditing(1);
        QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("x"));
        window.taskList()->setEditing(-1);
        store.removeTasks(FocusGroup::inboxId(), {t[1]}, true);
        const QList<QVariant> before = storeState(store);
        undoAction()->trigger();
        QCOMPARE(storeState(store), before);
        QVERIFY(window.statusNote()->text().contains(QLatin1String("deleted elsewhere")));
        QVERIFY(!undoAction()->isEnabled() && !redoAction()->isEnabled());
        // The keys: Ctrl+Z, and Ctrl+Shift+Z or Ctrl+Y.
        QCOMPARE(undoAction()->shortcuts(), QList<QKeySequence>{QKeySequence(QStringLiteral("Ctrl+Z"))});
        QCOMPARE(redoAction()->shortcuts(),
                 (QList<QKeySequence>{QKeySequence(QStringLiteral("Ctrl+Shift+Z")), QKeySequence(QStringLiteral("Ctrl+Y"))}));
    }

    void undoneGroupRemovalComesBackInThePanel()
    {
        FocusGroup::Id work;
        _freshInbox(&work);
        MainWindow window;
        testenv::showActive(&window);
        QuestionBox::setHook([](auto...) { return QMessageBox::Yes; });
        window.groupPanel()->selectGroup(work);
        QMetaObject::invokeMethod(window.groupPanel(), "_onRemoveGroup");
        QuestionBox::setHook({});
        QVERIFY(!window.groupPanel()->rowOf(work));
        undoAction()->trigger();
        QVERIFY(window.groupPanel()->rowOf(work));
        QCOMPARE(window.taskList()->group(), work);
        redoAction()->trigger();
        QVERIFY(!window.groupPanel()->rowOf(work));
        QCOMPARE(window.taskList()->group(), FocusGroup::inboxId());
    }

};

MRV_TEST_WIDGETS_MAIN(TstMainWindow)
#include "tst_mainwindow.moc"
