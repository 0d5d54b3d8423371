#include "core/duetasks.h"
#include "core/taskcore.h"
#include "store/taskstorage.h"
#include "support/testenv.h"
#include "support/uitestkit.h"
#include "ui/dragregistry.h"
#include "ui/exportdialog.h"
#include "ui/focusgrouplistwidget.h"
#include "ui/focusgroupwidget.h"
#include "ui/questionbox.h"

#include <QApplication>
#include <QDragEnterEvent>
#include <QListWidget>
#include <QMenu>
#include <QMimeData>
#include <QPointer>
#include <QTemporaryDir>

#include <memory>

namespace {

using namespace uitest;

const FocusGroup::Id& todayId() { return DueTasks::viewId(DueTasks::Today); }
const FocusGroup::Id& upcomingId() { return DueTasks::viewId(DueTasks::Upcoming); }
FocusGroup::Id addGroup(const char* name) { return store()->addGroup(QString::fromLatin1(name), QString()); }

bool enter(QWidget* row, const QMimeData* mime, Qt::DropAction* action = nullptr)
{
    QDragEnterEvent event(row->rect().center(), Qt::MoveAction | Qt::CopyAction, mime, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(row, &event);
    if (action)
        *action = event.dropAction();
    return event.isAccepted();
}

bool drop(FocusGroupWidget* row, const QMimeData* mime)
{
    enter(row, mime);
    if (!(row->flags() & FocusGroupWidget::DragOver))
        return false;
    QDropEvent event(QPointF(row->rect().center()), Qt::MoveAction, mime, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(row, &event);
    return event.isAccepted();
}

/// The group panel, shown.
struct Panel : FocusGroupListWidget
{
    explicit Panel(int width = 200)
    {
        resize(width, 400);
        show();
        QCoreApplication::processEvents();
    }
    QPoint centreOf(const FocusGroup::Id& id)
    {
        FocusGroupWidget* row = rowOf(id);
        return row->mapTo(viewport(), row->rect().center());
    }
    /// The item of the context menu for the row of `id`, by its object name without "Action".
    QAction* menuItem(const FocusGroup::Id& id, const QString& name)
    {
        return buildContextMenu(centreOf(id))->findChild<QAction*>(name + QLatin1String("Action"));
    }
};

} // namespace

class TstFocusGroupList : public QObject
{
    Q_OBJECT

private:
    TempStore m_store;
    int m_asked = 0;
    QMessageBox::StandardButton m_answer = QMessageBox::No;

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(m_store.ready());
        QuestionBox::setHook([this](QWidget*, const QString&, const QString&, QMessageBox::StandardButtons, QMessageBox::StandardButton) {
            ++m_asked;
            return m_answer;
        });
    }

    void cleanupTestCase() { QuestionBox::setHook({}); }

    void init()
    {
        m_asked = 0;
        clearStore();
    }

    void panelOrderAndSelection()
    {
        const FocusGroup::Id work = addGroup("Work"), home = addGroup("Home");
        Panel panel;
        QList<FocusGroup::Id> shown;
        for (FocusGroupWidget* row : panel.rowsInOrder())
            shown << row->groupId();
        QCOMPARE(shown, (QList<FocusGroup::Id>{todayId(), upcomingId(), FocusGroup::inboxId(), work, home, FocusGroup::completedId(),
                                               FocusGroup::trashId()}));
        QCOMPARE(panel.currentGroup(), FocusGroup::inboxId());
        QSignalSpy activated(&panel, &FocusGroupListWidget::activated);
        QTest::mousePress(panel.viewport(), Qt::LeftButton, {}, panel.centreOf(home));
        QCOMPARE(panel.currentGroup(), home);
        QVERIFY(panel.rowOf(home)->isSelected() && !panel.rowOf(FocusGroup::inboxId())->isSelected());
        QCOMPARE(activated.size(), 1);
    }

    void contextMenuItems_data()
    {
        QTest::addColumn<int>("target"); // 0 empty space, 1 Inbox, 2 user group, 3 Completed, 4 Trash, 5 Today
        QTest::addColumn<QString>("visible");
        QTest::newRow("empty space") << 0 << "add export";
        QTest::newRow("Inbox") << 1 << "add export";
        QTest::newRow("user group") << 2 << "editGroup add removeGroup export";
        QTest::newRow("Completed") << 3 << "export";
        QTest::newRow("Trash") << 4 << "emptyTrash export";
        QTest::newRow("a view, as empty space") << 5 << "add export";
    }

    void contextMenuItems()
    {
        QFETCH(int, target);
        QFETCH(QString, visible);
        const FocusGroup::Id user = addGroup("Mine");
        Panel panel;
        const FocusGroup::Id ids[] = {{}, FocusGroup::inboxId(), user, FocusGroup::completedId(), FocusGroup::trashId(), todayId()};
        const QPoint point = target == 0 ? QPoint(100, panel.rowOf(user)->geometry().bottom() + 40) : panel.centreOf(ids[target]);
        QStringList shown;
        for (QAction* action : panel.buildContextMenu(point)->actions()) {
            if (!action->isSeparator() && action->isVisible())
                shown << action->objectName().chopped(6).replace(QLatin1String("addGroup"), QLatin1String("add"));
        }
        QCOMPARE(shown.join(QLatin1Char(' ')), visible);
    }

    void emptyTrashItemNamesTheTrashAndNeedsTasks()
    {
        store()->setGroupName(FocusGroup::trashId(), QStringLiteral("Bin"));
        Panel panel;
        QAction* empty = panel.menuItem(FocusGroup::trashId(), QStringLiteral("emptyTrash"));
        QCOMPARE(empty->text(), QStringLiteral("Empty Bin"));
        QVERIFY(!empty->isEnabled());
        store()->createTask(FocusGroup::trashId());
        QVERIFY(panel.menuItem(FocusGroup::trashId(), QStringLiteral("emptyTrash"))->isEnabled());
        store()->setGroupName(FocusGroup::trashId(), QStringLiteral("Trash"));
    }

    void dragEnterRules_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<int>("source"); // 0 Inbox, 1 group A, 2 group B
        QTest::addColumn<int>("target"); // 0 Inbox, 1 A, 2 B, 3 Trash, 4 Completed, 5 Today, 6 Upcoming
        QTest::addColumn<bool>("accepted");
        const int tasks = DragGroup::Tasks, group = DragGroup::Group;
        QTest::newRow("tasks onto another group") << tasks << 0 << 1 << true;
        QTest::newRow("tasks onto Trash") << tasks << 0 << 3 << true;
        QTest::newRow("tasks onto their own group") << tasks << 0 << 0 << false;
        QTest::newRow("tasks onto a group holding one") << tasks << 0 << 2 << false;
        QTest::newRow("group onto another user group") << group << 1 << 2 << true;
        QTest::newRow("group onto itself") << group << 1 << 1 << false;
        QTest::newRow("group onto Inbox") << group << 1 << 0 << false;
        QTest::newRow("group onto Trash") << group << 1 << 3 << false;
        QTest::newRow("tasks onto Today") << tasks << 0 << 5 << false;
        QTest::newRow("group onto Upcoming") << group << 1 << 6 << false;
    }

    void dragEnterRules()
    {
        QFETCH(int, kind);
        QFETCH(int, source);
        QFETCH(int, target);
        QFETCH(bool, accepted);
        const FocusGroup::Id a = addGroup("A"), b = addGroup("B");
        const TodoTask::Id task = store()->createTask(FocusGroup::inboxId());
        store()->addTaskToGroup(b, task); // B already holds the task
        Panel panel;
        const FocusGroup::Id groups[] = {FocusGroup::inboxId(), a, b, FocusGroup::trashId(), FocusGroup::completedId(), todayId(), upcomingId()};
        FakeDrag drag(groups[source], {task}, kind);
        // A row that refuses passes the event on to the panel, which takes group drags itself
        // (without a drop place): the row's drop outline is what tells.
        enter(panel.rowOf(groups[target]), &drag.mime);
        QCOMPARE(bool(panel.rowOf(groups[target])->flags() & FocusGroupWidget::DragOver), accepted);

        // What no drag of the program's carries is refused anywhere.
        for (const QByteArray& payload : {QByteArray(), QByteArray("9999"), QByteArray("x1")}) {
            QMimeData foreign;
            foreign.setText(QStringLiteral("hello"));
            if (!payload.isEmpty())
                foreign.setData(QLatin1String(DragRegistry::MimeType), payload);
            QVERIFY(!enter(panel.rowOf(groups[target]), &foreign));
        }
    }

    void dropMovesOrCopies_data()
    {
        QTest::addColumn<bool>("copy");
        QTest::addColumn<bool>("toTrash");
        QTest::addColumn<int>("result");
        QTest::newRow("move") << false << false << int(DragGroup::Moved);
        QTest::newRow("copy with Shift") << true << false << 1;
        QTest::newRow("Shift onto Trash still moves") << true << true << int(DragGroup::Moved);
    }

    void dropMovesOrCopies()
    {
        QFETCH(bool, copy);
        QFETCH(bool, toTrash);
        QFETCH(int, result);
        const FocusGroup::Id target = toTrash ? FocusGroup::trashId() : addGroup("T");
        const TodoTask::Id a = store()->createTask(FocusGroup::inboxId()), b = store()->createTask(FocusGroup::inboxId());
        Panel panel;
        FakeDrag drag(FocusGroup::inboxId(), {a, b}, DragGroup::Tasks, copy);
        Qt::DropAction shown = Qt::IgnoreAction; // the cursor shows a copy where the drop copies
        QVERIFY(enter(panel.rowOf(target), &drag.mime, &shown));
        QCOMPARE(shown, result == int(DragGroup::Moved) ? Qt::MoveAction : Qt::CopyAction);
        QVERIFY(drop(panel.rowOf(target), &drag.mime));
        QCOMPARE(drag.data->resultAction, result);
        QCOMPARE(store()->group(target).taskIds(), (QList<QUuid>{a, b}));
        QCOMPARE(store()->group(FocusGroup::inboxId()).contains(a), result != int(DragGroup::Moved));
    }

    void groupDropTakesTheTargetsPlace()
    {
        const FocusGroup::Id a = addGroup("A"), b = addGroup("B"), c = addGroup("C");
        Panel panel;
        FakeDrag drag(c, {}, DragGroup::Group);
        QVERIFY(drop(panel.rowOf(a), &drag.mime));
        QCOMPARE(store()->groupIds().mid(3), (QList<QUuid>{c, a, b}));
    }

    void removeAndEmptyTrashAskFirst()
    {
        for (const bool confirmed : {true, false}) {
            const FocusGroup::Id group = addGroup("Doomed");
            const TodoTask::Id task = store()->createTask(group);
            Panel panel;
            QTest::mousePress(panel.viewport(), Qt::LeftButton, {}, panel.centreOf(group));
            m_asked = 0;
            m_answer = confirmed ? QMessageBox::Yes : QMessageBox::No;
            panel.menuItem(group, QStringLiteral("removeGroup"))->trigger();
            QCOMPARE(m_asked, 1);
            QCOMPARE(store()->group(group).id().isNull(), confirmed);
            QCOMPARE(store()->group(FocusGroup::trashId()).contains(task), confirmed);
            QCOMPARE(panel.rowOf(FocusGroup::trashId())->group().contains(task), confirmed); // the Trash row follows at once
            QCOMPARE(panel.currentGroup(), confirmed ? FocusGroup::inboxId() : group);
            QCOMPARE(panel.rowOf(group) == nullptr, confirmed);

            store()->createTask(FocusGroup::trashId());
            m_answer = confirmed ? QMessageBox::Ok : QMessageBox::Cancel;
            const int revision = store()->revision();
            panel.menuItem(FocusGroup::trashId(), QStringLiteral("emptyTrash"))->trigger();
            QCOMPARE(m_asked, 2);
            QCOMPARE(store()->group(FocusGroup::trashId()).taskIds().isEmpty(), confirmed);
            if (!confirmed)
                QCOMPARE(store()->revision(), revision);
        }
    }

    void countersFollowDueDates()
    {
        const FocusGroup::Id group = addGroup("Due");
        Panel panel;
        CountWidget* counter = panel.rowOf(group)->counter();
        QVERIFY(counter->visibleCounters().isEmpty());
        // Noon of today: a minute added stays on the same day whenever the test runs.
        const QDateTime now(QDate::currentDate(), QTime(12, 0));
        QList<TodoTask::Id> ids;
        for (const QDateTime& due : {now.addDays(-1), now.addDays(2), now.addDays(3).addSecs(60), now.addDays(4).addSecs(60), QDateTime()}) {
            ids << store()->createTask(group);
            store()->setTaskDue(ids.last(), due);
        }
        QCOMPARE(counter->count(0), 1);
        QCOMPARE(counter->count(1), 2);
        QCOMPARE(counter->count(2), 2); // later, and no due date
        store()->setTaskCompleted(ids.at(0), true, now);
        QCOMPARE(counter->count(0), 0);
        store()->setTaskDue(ids.at(1), now.addSecs(60));
        QCOMPARE(counter->count(0), 1);
        QCOMPARE(counter->visibleCounters(), (QList<int>{0, 1, 2}));
    }

    void highlightFollowsDraggedTask()
    {
        const FocusGroup::Id a = addGroup("A");
        const TodoTask::Id task = store()->createTask(FocusGroup::inboxId());
        store()->addTaskToGroup(a, task);
        Panel panel;
        panel._onHighlightGroups(task);
        QVERIFY(panel.rowOf(FocusGroup::inboxId())->isHighlighted() && panel.rowOf(a)->isHighlighted());
        QVERIFY(!panel.rowOf(FocusGroup::trashId())->isHighlighted());
        panel._onHighlightGroups(TodoTask::Id());
        QVERIFY(!panel.rowOf(a)->isHighlighted());
    }

    // A name is cut to the room it has; large counters take room from it, and once they
    // shrink, or the panel widens, the name gets it back.
    void longNamesAreElided()
    {
        const FocusGroup::Id group = addGroup("A group with a remarkably long name");
        const FocusGroup::Id counted = addGroup("Banking and bills");
        QList<TodoTask::Id> tasks;
        for (int i = 0; i < 1504; ++i)
            tasks << store()->createTask(counted);
        Panel panel(140);
        QLabel* label = panel.rowOf(group)->nameLabel();
        QVERIFY(label->text().endsWith(QChar(0x2026)));
        const int narrow = int(label->text().size());
        panel.resize(600, 400);
        QCoreApplication::processEvents();
        QVERIFY(label->text().size() > narrow);
        panel.resize(200, 400);
        QCoreApplication::processEvents();
        label = panel.rowOf(counted)->nameLabel();
        QVERIFY(label->text().endsWith(QChar(0x2026)));
        store()->removeTasks(counted, tasks, true);
        QTRY_COMPARE(label->text(), QStringLiteral("Banking and bills"));
    }

    void viewsCountByTheDueRule_data()
    {
        // Where the task is: i the Inbox, c the Inbox but completed, t only the Trash, d the
        // Inbox and a group of the user's. Days from the clock's day; INT_MIN: no due date.
        QTest::addColumn<QString>("where");
        QTest::addColumn<int>("days");
        QTest::addColumn<QTime>("time");
        QTest::addColumn<int>("today");
        QTest::addColumn<int>("upcoming");
        QTest::newRow("overdue") << "i" << -1 << QTime(9, 0) << 1 << 0;
        QTest::newRow("today") << "i" << 0 << QTime(0, 0) << 1 << 0;
        QTest::newRow("today at 23:59") << "i" << 0 << QTime(23, 59) << 1 << 0;
        QTest::newRow("tomorrow") << "i" << 1 << QTime(0, 0) << 0 << 1;
        QTest::newRow("day 7") << "i" << 7 << QTime(23, 59) << 0 << 1;
        QTest::newRow("day 8") << "i" << 8 << QTime(0, 0) << 0 << 0;
        QTest::newRow("completed") << "c" << 0 << QTime(0, 0) << 0 << 0;
        QTest::newRow("in the Trash only") << "t" << -1 << QTime(0, 0) << 0 << 0;
        QTest::newRow("listed in two groups, counted once") << "d" << 2 << QTime(0, 0) << 0 << 1;
        QTest::newRow("no due date") << "i" << INT_MIN << QTime() << 0 << 0;
    }

    void viewsCountByTheDueRule()
    {
        QFETCH(QString, where);
        QFETCH(int, days);
        QFETCH(QTime, time);
        QFETCH(int, today);
        QFETCH(int, upcoming);
        const QDateTime now(QDate(2024, 3, 12), QTime(9, 15));
        const TodoTask::Id id = store()->createTask(FocusGroup::inboxId());
        if (days != INT_MIN)
            store()->setTaskDue(id, QDateTime(now.date().addDays(days), time));
        if (where == QLatin1String("c"))
            store()->setTaskCompleted(id, true, now);
        if (where == QLatin1String("t"))
            store()->removeTask(FocusGroup::inboxId(), id, false);
        if (where == QLatin1String("d"))
            store()->addTaskToGroup(addGroup("Errands"), id);
        DueTasks due(store(), [now] { return now; });
        FocusGroupListWidget panel;
        panel.setDueTasks(&due);
        QCOMPARE(panel.rowOf(todayId())->counter()->count(0), today);
        QCOMPARE(panel.rowOf(upcomingId())->counter()->count(1), upcoming);
    }

    void viewCountsFollowTheStoreAndTheDay()
    {
        QDateTime now(QDate(2024, 3, 12), QTime(23, 59, 59, 500));
        DueTasks due(store(), [&now] { return now; });
        FocusGroupListWidget panel;
        panel.setDueTasks(&due);
        const CountWidget* today = panel.rowOf(todayId())->counter();
        const CountWidget* upcoming = panel.rowOf(upcomingId())->counter();
        const TodoTask::Id id = store()->createTask(FocusGroup::inboxId());
        store()->setTaskDue(id, QDateTime(now.date().addDays(1), QTime(8, 0)));
        QTRY_COMPARE(upcoming->count(1), 1);
        QCOMPARE(today->count(0), 0);
        now = now.addSecs(1); // past midnight: due today
        QTRY_COMPARE(today->count(0), 1);
        QCOMPARE(upcoming->count(1), 0);
        store()->setTaskCompleted(id, true, now);
        QTRY_COMPARE(today->count(0), 0);
    }

    // A view's menu is that of the empty space: its export offers the groups, all of them.
    void viewsAreNoGroupsToExport()
    {
        store()->createTask(addGroup("Work"));
        Panel panel;
        panel.menuItem(todayId(), QStringLiteral("export"))->trigger();
        QPointer<ExportDialog> dialog = ExportDialog::openDialog();
        QVERIFY(dialog);
        auto* list = dialog->findChild<QListWidget*>(QStringLiteral("groupList"));
        QStringList names;
        for (int row = 0; row < list->count(); ++row)
            names << list->item(row)->text();
        QCOMPARE(names, (QStringList{"Inbox", "Work", "Completed", "Trash"}));
        QCOMPARE(list->item(1)->checkState(), Qt::Checked);
        delete dialog.data();
    }
};

MRV_TEST_WIDGETS_MAIN(TstFocusGroupList)
#include "tst_focusgrouplist.moc"
