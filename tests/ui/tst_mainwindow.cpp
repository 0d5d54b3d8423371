#include "core/duetasks.h"
#include "core/taskcore.h"
#include "settings/appsettings.h"
#include "store/taskstorage.h"
#include "support/testenv.h"
#include "support/uitestkit.h"
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
#include <QApplication>
#include <QLabel>
#include <QMenu>
#include <QScreen>
#include <QTextDocument>

#include <functional>

using WindowAction = std::function<void(MainWindow&, const QList<TodoTask::Id>&)>;
Q_DECLARE_METATYPE(WindowAction)

namespace {

using namespace uitest;

// Every group's list and every record.
QList<QVariant> storeState()
{
    QList<QVariant> state;
    for (const FocusGroup::Id& groupId : store()->groupIds()) {
        const FocusGroup group = store()->group(groupId);
        state << group.name() << QVariant::fromValue(group.taskIds());
        store()->visitTasks(group.taskIds(), [&state](const TodoTask& task) {
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
    TempStore m_store;

private Q_SLOTS:
    void initTestCase() { QVERIFY(m_store.ready()); }
    void init() { AppSettings::settings()->resetToDefaults(); }

    // A first start shows 800 x 450 in the middle of the screen. Wayland tells no position:
    // only the size is kept there, and the position an X11 session saved stays.
    void frameIsRestoredAndSaved_data()
    {
        QTest::addColumn<QRect>("saved");
        QTest::addColumn<bool>("wayland");
        QTest::addColumn<QRect>("savedAfter");
        QTest::newRow("first start") << QRect() << false << QRect(10, 20, 650, 480);
        QTest::newRow("X11") << QRect(40, 60, 700, 500) << false << QRect(10, 20, 650, 480);
        QTest::newRow("Wayland") << QRect(40, 60, 700, 500) << true << QRect(40, 60, 650, 480);
    }

    void frameIsRestoredAndSaved()
    {
        QFETCH(QRect, saved);
        QFETCH(bool, wayland);
        QFETCH(QRect, savedAfter);
        AppSettings::settings()->setMainWindowFrame(saved);
        MainWindow::setWaylandForTests(wayland);
        {
            MainWindow window;
            QCOMPARE(window.size(), saved.isValid() ? saved.size() : QSize(800, 450));
            const QPoint centre = saved.isValid() ? saved.center()
                                                  : QGuiApplication::primaryScreen()->availableGeometry().center();
            if (!wayland)
                QVERIFY((window.geometry().center() - centre).manhattanLength() <= 2);
            // It cannot be made so small that the toolbar's buttons are cut off.
            QVERIFY(window.minimumWidth() > window.toolbar()->minimumSizeHint().width());
            window.setGeometry(QRect(10, 20, 650, 480));
        }
        MainWindow::setWaylandForTests(false);
        QCOMPARE(AppSettings::settings()->mainWindowFrame(), savedAfter);
    }

    // Nothing is made or cleaned up in the Trash.
    void actionsFollowTheGroup()
    {
        const FocusGroup::Id mine = makeGroup({});
        MainWindow window;
        for (const FocusGroup::Id& group : {FocusGroup::trashId(), mine}) {
            window.groupPanel()->selectGroup(group);
            QCOMPARE(window.taskList()->group(), group);
            QCOMPARE(newTaskAction()->isEnabled(), group == mine);
            QCOMPARE(cleanupAction()->isEnabled(), group == mine);
        }
    }

    // Compact hides the group panel; back in the normal view it has its width again, also
    // after quitting in compact view and starting again (at once, without the animation).
    void compactViewKeepsThePanelWidth()
    {
        AppSettings::settings()->setGroupPanelWidth(230);
        for (const bool startCompact : {false, true}) {
            MainWindow window;
            window.showWindow();
            QVERIFY(!window.viewAnimation());
            QCOMPARE(window.splitter()->firstWidth(), startCompact ? 0 : 230);
            toggleViewAction()->trigger();
            QTRY_VERIFY(!window.viewAnimation());
            const bool compact = !startCompact;
            QCOMPARE(AppSettings::settings()->compactView(), compact);
            QCOMPARE(window.groupPanel()->isVisible(), !compact);
            QCOMPARE(window.splitter()->firstWidth(), compact ? 0 : 230);
            QCOMPARE(window.rightPane()->geometry().left(), compact ? 0 : 231);
            QCOMPARE(window.rightPane()->geometry().right(), window.rect().right());
            QCOMPARE(toggleViewAction()->text(), compact ? QStringLiteral("Normal") : QStringLiteral("Compact"));
        }
        QCOMPARE(AppSettings::settings()->groupPanelWidth(), 230);
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

    // The panel's rows are reached with Tab, its menu with the Menu key; Return goes to the
    // tasks, Ctrl+N makes one even in an empty group, Tab reaches the toolbar.
    void keyboardAloneReachesEverything()
    {
        const FocusGroup::Id work = makeGroup({});
        MainWindow window;
        QVERIFY(testenv::showActive(&window));
        FocusGroupListWidget* panel = window.groupPanel();
        TaskListWidget* list = window.taskList();
        panel->setFocus(Qt::TabFocusReason);
        QVERIFY(panel->rowOf(FocusGroup::inboxId())->flags() & FocusGroupWidget::FocusMarked);
        QTest::keyClick(panel, Qt::Key_Menu);
        QTRY_VERIFY(panel->contextMenu() && panel->contextMenu()->isVisible());
        panel->contextMenu()->close();
        QVERIFY(testenv::showActive(&window));
        panel->selectGroup(work);
        QTest::keyClick(panel, Qt::Key_Return);
        QTRY_VERIFY(list->hasFocus());
        QTest::keyClick(list, Qt::Key_N, Qt::ControlModifier);
        QCOMPARE(list->rowCount(), 1);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
        // The empty new row is gone and leaves nothing to undo; F2 then opens nothing.
        QCOMPARE(list->rowCount(), 0);
        QVERIFY(!undoAction()->isEnabled());
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
        store()->createTask(FocusGroup::inboxId());
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

    // Changes that cannot be written are said above the panes, with the system's reason; once
    // writes work again the bar goes.
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

    // After an undo the window shows the group of the step with its tasks selected; the
    // status note says what was undone.
    void undoAndRedoPutBackWhatTheWindowDid_data()
    {
        QTest::addColumn<WindowAction>("action");
        QTest::addColumn<QList<int>>("selected");
        QTest::addColumn<QString>("shown");
        QTest::newRow("delete three") << WindowAction([](MainWindow& w, const auto& t) {
            w.taskList()->selectTasks({t[1], t[2], t[3]}, t[1]);
            w.taskList()->deleteSelected();
        }) << QList<int>{1, 2, 3} << "Inbox";
        QTest::newRow("cleanup") << WindowAction([](MainWindow&, const auto&) { cleanupAction()->trigger(); })
                                 << QList<int>{0, 2} << "Inbox";
        QTest::newRow("edit session") << WindowAction([](MainWindow& w, const auto&) {
            w.taskList()->setEditing(4);
            QTest::keyClicks(QApplication::focusWidget(), QStringLiteral(" and"));
            w.taskList()->setEditing(-1);
        }) << QList<int>{4} << "Inbox";
        QTest::newRow("new task") << WindowAction([](MainWindow& w, const auto&) {
            newTaskAction()->trigger();
            QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("new"));
            w.taskList()->setEditing(-1);
        }) << QList<int>{} << "Inbox";
        QTest::newRow("moved while another group is shown") << WindowAction([](MainWindow& w, const auto& t) {
            const FocusGroup::Id work = store()->groupIds().constLast();
            {
                UserStep step(QStringLiteral("Move"));
                store()->moveTasks(FocusGroup::inboxId(), work, {t[3]});
            }
            w.groupPanel()->selectGroup(work);
        }) << QList<int>{3} << "Inbox";
        QTest::newRow("group removed") << WindowAction([](MainWindow& w, const auto&) {
            QuestionBox::setHook([](auto...) { return QMessageBox::Yes; });
            w.groupPanel()->selectGroup(store()->groupIds().constLast());
            QMetaObject::invokeMethod(w.groupPanel(), "_onRemoveGroup");
            QuestionBox::setHook({});
        }) << QList<int>{} << "Work";
    }

    void undoAndRedoPutBackWhatTheWindowDid()
    {
        QFETCH(WindowAction, action);
        QFETCH(QList<int>, selected);
        QFETCH(QString, shown);
        clearStore();
        makeGroup({}, nullptr, QStringLiteral("Work"));
        QList<TodoTask::Id> t;
        for (int i = 0; i < 5; ++i) {
            t << store()->createTask(FocusGroup::inboxId());
            store()->setTaskName(t.constLast(), QStringLiteral("t%1").arg(i));
        }
        store()->setTaskCompleted(t[0], true, QDateTime::currentDateTime());
        store()->setTaskCompleted(t[2], true, QDateTime::currentDateTime());
        MainWindow window;
        testenv::showActive(&window);
        QVERIFY(!undoAction()->isEnabled());
        const QList<QVariant> before = storeState();
        action(window, t);
        const QList<QVariant> after = storeState();
        QVERIFY(after != before);
        QVERIFY(undoAction()->isEnabled() && undoAction()->text().startsWith(QLatin1String("Undo ")));

        undoAction()->trigger();
        QCOMPARE(storeState(), before);
        QCOMPARE(store()->group(window.taskList()->group()).name(), shown);
        QVERIFY(window.groupPanel()->rowOf(window.taskList()->group()));
        QTRY_COMPARE(window.taskList()->selectedIndexes(), selected);
        QVERIFY(window.statusNote()->isVisible() && window.statusNote()->text().startsWith(QLatin1String("Undone")));
        QVERIFY(!undoAction()->isEnabled() && redoAction()->isEnabled());

        redoAction()->trigger();
        QCOMPARE(storeState(), after);
        QVERIFY(window.groupPanel()->rowOf(window.taskList()->group()));
        QVERIFY(undoAction()->isEnabled() && !redoAction()->isEnabled());
    }
};

MRV_TEST_WIDGETS_MAIN(TstMainWindow)
#include "tst_mainwindow.moc"
