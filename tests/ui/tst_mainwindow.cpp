#include "core/taskcore.h"
#include "settings/appsettings.h"
#include "store/taskstorage.h"
#include "support/testenv.h"
#include "support/uitestkit.h"
#include "ui/focusgrouplistwidget.h"
#include "ui/focusgroupwidget.h"
#include "ui/mainwindow.h"
#include "ui/questionbox.h"
#include "ui/statusnote.h"
#include "ui/tasklistwidget.h"
#include "ui/toolbaractions.h"
#include "ui/userstep.h"
#include "widgets/fancysplitter.h"

#include <QAction>
#include <QApplication>
#include <QLabel>

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

    // Wayland tells no position: only the size is restored and saved there, and the position
    // an X11 session saved stays.
    void waylandKeepsOnlyTheSize_data()
    {
        QTest::addColumn<bool>("wayland");
        QTest::addColumn<QPoint>("savedAt");
        QTest::newRow("X11") << false << QPoint(10, 20);
        QTest::newRow("Wayland") << true << QPoint(40, 60);
    }

    void waylandKeepsOnlyTheSize()
    {
        QFETCH(bool, wayland);
        QFETCH(QPoint, savedAt);
        AppSettings::settings()->setMainWindowFrame(QRect(40, 60, 700, 500));
        MainWindow::setWaylandForTests(wayland);
        {
            MainWindow window;
            QCOMPARE(window.size(), QSize(700, 500));
            window.setGeometry(QRect(10, 20, 650, 480));
        }
        MainWindow::setWaylandForTests(false);
        QCOMPARE(AppSettings::settings()->mainWindowFrame(), QRect(savedAt, QSize(650, 480)));
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
        const QLabel* text = window.findChild<QLabel*>(QStringLiteral("writeFailureText"));
        QVERIFY(text->text().contains(QLatin1String("No space left")));
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
        QVERIFY(window.statusNote()->isVisible());
        QVERIFY(window.statusNote()->text().startsWith(QLatin1String("Undone")));
        QVERIFY(!undoAction()->isEnabled() && redoAction()->isEnabled());

        redoAction()->trigger();
        QCOMPARE(storeState(), after);
        QVERIFY(window.groupPanel()->rowOf(window.taskList()->group()));
        QVERIFY(undoAction()->isEnabled() && !redoAction()->isEnabled());
    }
};

MRV_TEST_WIDGETS_MAIN(TstMainWindow)
#include "tst_mainwindow.moc"
