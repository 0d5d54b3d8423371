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

using uitest::FakeDrag;

const FocusGroup::Id& todayId()
{
    return DueTasks::viewId(DueTasks::Today);
}
const FocusGroup::Id& upcomingId()
{
    return DueTasks::viewId(DueTasks::Upcoming);
}

std::shared_ptr<TaskStorage> store()
{
    return TaskCore::instance()->storage();
}

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

QPoint centreOf(FocusGroupListWidget& panel, const FocusGroup::Id& id)
{
    FocusGroupWidget* row = panel.rowOf(id);
    return row->mapTo(panel.viewport(), row->rect().center());
}

} // namespace

class TstFocusGroupList : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    int m_asked = 0;
    QMessageBox::StandardButton m_answer = QMessageBox::No;

    void answer(QMessageBox::StandardButton button)
    {
        m_answer = button;
        QuestionBox::setHook([this](QWidget*, const QString&, const QString&, QMessageBox::StandardButtons,
                                    QMessageBox::StandardButton) {
            ++m_asked;
            return m_answer;
        });
    }

private Q_SLOTS:
    void initTestCase()
    {
        QCOMPARE(TaskCore::instance()->init(m_dir.filePath(QStringLiteral("tasks.xml")), 3600000), 0);
    }

    void cleanupTestCase()
    {
        QuestionBox::setHook({});
        TaskCore::destroy();
    }

    void init()
    {
        m_asked = 0;
        // Every test starts from an empty Inbox and Trash and no user groups.
        const auto storage = store();
        storage->removeTasks(FocusGroup::inboxId(), storage->group(FocusGroup::inboxId()).taskIds(), true);
        for (const FocusGroup::Id& id : storage->groupIds()) {
            if (FocusGroup::isUserGroup(id))
                storage->removeGroup(id);
        }
        storage->emptyTrash();
    }

    void panelOrderAndSelection()
    {
        const FocusGroup::Id work = store()->addGroup(QStringLiteral("Work"), QString());
        const FocusGroup::Id home = store()->addGroup(QStringLiteral("Home"), QString());
        FocusGroupListWidget panel;
        panel.resize(200, 400);
        panel.show();
        QCoreApplication::processEvents();
        QList<FocusGroup::Id> shown;
        for (FocusGroupWidget* row : panel.rowsInOrder())
            shown << row->groupId();
        QCOMPARE(shown, (QList<FocusGroup::Id>{todayId(), upcomingId(), FocusGroup::inboxId(), work, home,
                                               FocusGroup::completedId(), FocusGroup::trashId()}));
        QCOMPARE(panel.currentGroup(), FocusGroup::inboxId());
        QSignalSpy activated(&panel, &FocusGroupListWidget::activated);
        QTest::mousePress(panel.viewport(), Qt::LeftButton, {}, centreOf(panel, home));
        QCOMPARE(panel.currentGroup(), home);
        QVERIFY(panel.rowOf(home)->isSelected());
        QVERIFY(!panel.rowOf(FocusGroup::inboxId())->isSelected());
        QCOMPARE(activated.size(), 1);
    }

    void contextMenuItems_data()
    {
        QTest::addColumn<int>("target"); // 0 empty space, 1 Inbox, 2 user group, 3 Completed, 4 Trash, 5 Today
        QTest::addColumn<QStringList>("visible");
        QTest::newRow("empty space") << 0 << QStringList{QStringLiteral("addGroupAction"), QStringLiteral("exportAction")};
        QTest::newRow("Inbox") << 1 << QStringList{QStringLiteral("addGroupAction"), QStringLiteral("exportAction")};
        QTest::newRow("user group") << 2
                                    << QStringList{QStringLiteral("editGroupAction"), QStringLiteral("addGroupAction"),
                                                   QStringLiteral("removeGroupAction"), QStringLiteral("exportAction")};
        QTest::newRow("Completed") << 3 << QStringList{QStringLiteral("exportAction")};
        QTest::newRow("Trash") << 4 << QStringList{QStringLiteral("emptyTrashAction"), QStringLiteral("exportAction")};
        QTest::newRow("a view, as empty space") << 5
                                                << QStringList{QStringLiteral("addGroupAction"), QStringLiteral("exportAction")};
    }

    void contextMenuItems()
    {
        QFETCH(int, target);
        QFETCH(QStringList, visible);
        const FocusGroup::Id user = store()->addGroup(QStringLiteral("Mine"), QString());
        FocusGroupListWidget panel;
        panel.resize(200, 500);
        panel.show();
        QCoreApplication::processEvents();
        const FocusGroup::Id ids[] = {FocusGroup::Id(), FocusGroup::inboxId(), user, FocusGroup::completedId(),
                                      FocusGroup::trashId(), todayId()};
        const QPoint point = target == 0 ? QPoint(100, panel.rowOf(user)->geometry().bottom() + 40)
                                         : centreOf(panel, ids[target]);
        QMenu* menu = panel.buildContextMenu(point);
        QStringList shown;
        for (QAction* action : menu->actions()) {
            if (!action->isSeparator() && action->isVisible())
                shown << action->objectName();
        }
        QCOMPARE(shown, visible);
    }

    void emptyTrashItemNamesTheTrashAndNeedsTasks()
    {
        store()->setGroupName(FocusGroup::trashId(), QStringLiteral("Bin"));
        FocusGroupListWidget panel;
        panel.resize(200, 400);
        panel.show();
        QCoreApplication::processEvents();
        QAction* empty = panel.buildContextMenu(centreOf(panel, FocusGroup::trashId()))
                             ->findChild<QAction*>(QStringLiteral("emptyTrashAction"));
        QCOMPARE(empty->text(), QStringLiteral("Empty Bin"));
        QVERIFY(!empty->isEnabled());
        store()->createTask(FocusGroup::trashId());
        empty = panel.buildContextMenu(centreOf(panel, FocusGroup::trashId()))
                    ->findChild<QAction*>(QStringLiteral("emptyTrashAction"));
        QVERIFY(empty->isEnabled());
        store()->setGroupName(FocusGroup::trashId(), QStringLiteral("Trash"));
    }

    void dragEnterRules_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<int>("source"); // 0 Inbox, 1 group A, 2 group B
        QTest::addColumn<int>("target"); // 0 Inbox, 1 A, 2 B, 3 Trash, 4 Completed, 5 Today, 6 Upcoming
        QTest::addColumn<bool>("accepted");
        QTest::newRow("tasks onto another group") << int(DragGroup::Tasks) << 0 << 1 << true;
        QTest::newRow("tasks onto Trash") << int(DragGroup::Tasks) << 0 << 3 << true;
        QTest::newRow("tasks onto their own group") << int(DragGroup::Tasks) << 0 << 0 << false;
        QTest::newRow("tasks onto a group holding one") << int(DragGroup::Tasks) << 0 << 2 << false;
        QTest::newRow("group onto another user group") << int(DragGroup::Group) << 1 << 2 << true;
        QTest::newRow("group onto itself") << int(DragGroup::Group) << 1 << 1 << false;
        QTest::newRow("group onto Inbox") << int(DragGroup::Group) << 1 << 0 << false;
        QTest::newRow("group onto Trash") << int(DragGroup::Group) << 1 << 3 << false;
        QTest::newRow("tasks onto Today") << int(DragGroup::Tasks) << 0 << 5 << false;
        QTest::newRow("group onto Upcoming") << int(DragGroup::Group) << 1 << 6 << false;
    }

    void dragEnterRules()
    {
        QFETCH(int, kind);
        QFETCH(int, source);
        QFETCH(int, target);
        QFETCH(bool, accepted);
        const FocusGroup::Id a = store()->addGroup(QStringLiteral("A"), QString());
        const FocusGroup::Id b = store()->addGroup(QStringLiteral("B"), QString());
        const TodoTask::Id task = store()->createTask(FocusGroup::inboxId());
        store()->addTaskToGroup(b, task); // B already holds the task
        FocusGroupListWidget panel;
        panel.resize(200, 400);
        panel.show();
        const FocusGroup::Id groups[] = {FocusGroup::inboxId(), a, b, FocusGroup::trashId(), FocusGroup::completedId(),
                                         todayId(), upcomingId()};
        FakeDrag drag(groups[source], {task}, kind);
        // A row that refuses passes the event on to the panel, which takes group drags itself
        // (without a drop place): the row's drop outline is what tells.
        enter(panel.rowOf(groups[target]), &drag.mime);
        QCOMPARE(bool(panel.rowOf(groups[target])->flags() & FocusGroupWidget::DragOver), accepted);
    }

    void foreignDragsAreRefused()
    {
        FocusGroupListWidget panel;
        panel.show();
        QMimeData text;
        text.setText(QStringLiteral("hello"));
        QVERIFY(!enter(panel.rowOf(FocusGroup::trashId()), &text));
        QMimeData unknown;
        unknown.setData(QLatin1String(DragRegistry::MimeType), "9999");
        QVERIFY(!enter(panel.rowOf(FocusGroup::trashId()), &unknown));
        QMimeData garbage;
        garbage.setData(QLatin1String(DragRegistry::MimeType), "x1");
        QVERIFY(!enter(panel.rowOf(FocusGroup::trashId()), &garbage));
    }

    void dropMovesOrCopies_data()
    {
        QTest::addColumn<bool>("copy");
        QTest::addColumn<bool>("toTrash");
        QTest::addColumn<bool>("stillInInbox");
        QTest::addColumn<int>("result");
        QTest::newRow("move") << false << false << false << int(DragGroup::Moved);
        QTest::newRow("copy with Shift") << true << false << true << 1;
        QTest::newRow("Shift onto Trash still moves") << true << true << false << int(DragGroup::Moved);
    }

    void dropMovesOrCopies()
    {
        QFETCH(bool, copy);
        QFETCH(bool, toTrash);
        QFETCH(bool, stillInInbox);
        QFETCH(int, result);
        const FocusGroup::Id target = toTrash ? FocusGroup::trashId() : store()->addGroup(QStringLiteral("T"), QString());
        const TodoTask::Id a = store()->createTask(FocusGroup::inboxId());
        const TodoTask::Id b = store()->createTask(FocusGroup::inboxId());
        FocusGroupListWidget panel;
        panel.show();
        FakeDrag drag(FocusGroup::inboxId(), {a, b}, DragGroup::Tasks, copy);
        // The cursor shows a copy where the drop copies.
        Qt::DropAction shown = Qt::IgnoreAction;
        QVERIFY(enter(panel.rowOf(target), &drag.mime, &shown));
        QCOMPARE(shown, result == int(DragGroup::Moved) ? Qt::MoveAction : Qt::CopyAction);
        QVERIFY(drop(panel.rowOf(target), &drag.mime));
        QCOMPARE(drag.data->resultAction, result);
        QCOMPARE(store()->group(target).taskIds(), (QList<QUuid>{a, b}));
        QCOMPARE(store()->group(FocusGroup::inboxId()).contains(a), stillInInbox);
        store()->moveTasks(FocusGroup::inboxId(), FocusGroup::trashId(), {a, b});
    }

    void groupDropTakesTheTargetsPlace()
    {
        const FocusGroup::Id a = store()->addGroup(QStringLiteral("A"), QString());
        const FocusGroup::Id b = store()->addGroup(QStringLiteral("B"), QString());
        const FocusGroup::Id c = store()->addGroup(QStringLiteral("C"), QString());
        FocusGroupListWidget panel;
        panel.show();
        FakeDrag drag(c, {}, DragGroup::Group);
        QVERIFY(drop(panel.rowOf(a), &drag.mime));
        QCOMPARE(store()->groupIds().mid(3), (QList<QUuid>{c, a, b}));
    }

    void removeAsksAndSendsTasksToTrash_data()
    {
        QTest::addColumn<bool>("confirmed");
        QTest::newRow("confirmed") << true;
        QTest::newRow("declined") << false;
    }

    void removeAsksAndSendsTasksToTrash()
    {
        QFETCH(bool, confirmed);
        const FocusGroup::Id group = store()->addGroup(QStringLiteral("Doomed"), QString());
        const TodoTask::Id task = store()->createTask(group);
        FocusGroupListWidget panel;
        panel.resize(200, 400);
        panel.show();
        QCoreApplication::processEvents();
        QTest::mousePress(panel.viewport(), Qt::LeftButton, {}, centreOf(panel, group));
        answer(confirmed ? QMessageBox::Yes : QMessageBox::No);
        panel.buildContextMenu(centreOf(panel, group))->findChild<QAction*>(QStringLiteral("removeGroupAction"))->trigger();
        QCOMPARE(m_asked, 1);
        QCOMPARE(store()->group(group).id().isNull(), confirmed);
        QCOMPARE(store()->group(FocusGroup::trashId()).contains(task), confirmed);
        // The Trash row follows at once.
        QCOMPARE(panel.rowOf(FocusGroup::trashId())->group().contains(task), confirmed);
        QCOMPARE(panel.currentGroup(), confirmed ? FocusGroup::inboxId() : group);
        QCOMPARE(panel.rowOf(group) == nullptr, confirmed);
    }

    void emptyTrashAsksFirst_data()
    {
        QTest::addColumn<bool>("confirmed");
        QTest::newRow("confirmed") << true;
        QTest::newRow("declined") << false;
    }

    void emptyTrashAsksFirst()
    {
        QFETCH(bool, confirmed);
        const TodoTask::Id task = store()->createTask(FocusGroup::trashId());
        FocusGroupListWidget panel;
        panel.show();
        answer(confirmed ? QMessageBox::Ok : QMessageBox::Cancel);
        const int revision = store()->revision();
        panel.buildContextMenu(centreOf(panel, FocusGroup::trashId()))
            ->findChild<QAction*>(QStringLiteral("emptyTrashAction"))
            ->trigger();
        QCOMPARE(m_asked, 1);
        QCOMPARE(store()->group(FocusGroup::trashId()).contains(task), !confirmed);
        if (!confirmed)
            QCOMPARE(store()->revision(), revision);
    }

    void countersFollowDueDates()
    {
        const FocusGroup::Id group = store()->addGroup(QStringLiteral("Due"), QString());
        FocusGroupListWidget panel;
        panel.show();
        CountWidget* counter = panel.rowOf(group)->counter();
        QVERIFY(counter->visibleCounters().isEmpty());
        // Noon of today: a minute added stays on the same day whenever the test runs.
        const QDateTime now(QDate::currentDate(), QTime(12, 0));
        const TodoTask::Id overdue = store()->createTask(group);
        store()->setTaskDue(overdue, now.addDays(-1));
        const TodoTask::Id soon = store()->createTask(group);
        store()->setTaskDue(soon, now.addDays(2));
        const TodoTask::Id inThree = store()->createTask(group);
        store()->setTaskDue(inThree, now.addDays(3).addSecs(60));
        const TodoTask::Id later = store()->createTask(group);
        store()->setTaskDue(later, now.addDays(4).addSecs(60));
        store()->createTask(group); // no due date: later
        QCOMPARE(counter->count(0), 1);
        QCOMPARE(counter->count(1), 2);
        QCOMPARE(counter->count(2), 2);
        store()->setTaskCompleted(overdue, true, now);
        QCOMPARE(counter->count(0), 0);
        store()->setTaskDue(soon, now.addSecs(60));
        QCOMPARE(counter->count(0), 1);
        QCOMPARE(counter->visibleCounters(), (QList<int>{0, 1, 2}));
    }

    void highlightFollowsDraggedTask()
    {
        const FocusGroup::Id a = store()->addGroup(QStringLiteral("A"), QString());
        const TodoTask::Id task = store()->createTask(FocusGroup::inboxId());
        store()->addTaskToGroup(a, task);
        FocusGroupListWidget panel;
        panel.show();
        panel._onHighlightGroups(task);
        QVERIFY(panel.rowOf(FocusGroup::inboxId())->isHighlighted());
        QVERIFY(panel.rowOf(a)->isHighlighted());
        QVERIFY(!panel.rowOf(FocusGroup::trashId())->isHighlighted());
        panel._onHighlightGroups(TodoTask::Id());
        QVERIFY(!panel.rowOf(a)->isHighlighted());
    }

    void longNamesAreElided()
    {
        const QString name = QStringLiteral("A group with a remarkably long name that does not fit");
        const FocusGroup::Id group = store()->addGroup(name, QString());
        FocusGroupListWidget panel;
        panel.resize(140, 400);
        panel.show();
        QCoreApplication::processEvents();
        QLabel* label = panel.rowOf(group)->nameLabel();
        QVERIFY(label->text().endsWith(QChar(0x2026)));
        const int narrow = static_cast<int>(label->text().size());
        panel.resize(600, 400);
        QCoreApplication::processEvents();
        QVERIFY(label->text().size() > narrow);
    }

    // Large counters take room from the name; once they shrink, the name gets it back.
    void nameGetsBackTheRoomOfShrinkingCounters()
    {
        const FocusGroup::Id group = store()->addGroup(QStringLiteral("Banking and bills"), QString());
        QList<TodoTask::Id> tasks;
        for (int i = 0; i < 1504; ++i)
            tasks << store()->createTask(group);
        FocusGroupListWidget panel;
        panel.resize(200, 400);
        panel.show();
        QCoreApplication::processEvents();
        QLabel* label = panel.rowOf(group)->nameLabel();
        QVERIFY(label->text().endsWith(QChar(0x2026)));
        store()->removeTasks(group, tasks, true);
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
            store()->addTaskToGroup(store()->addGroup(QStringLiteral("Errands"), QString()), id);
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
        const FocusGroup::Id work = store()->addGroup(QStringLiteral("Work"), QString());
        store()->createTask(work);
        FocusGroupListWidget panel;
        panel.resize(200, 400);
        panel.show();
        QCoreApplication::processEvents();
        panel.buildContextMenu(centreOf(panel, todayId()))->findChild<QAction*>(QStringLiteral("exportAction"))->trigger();
        QPointer<ExportDialog> dialog = ExportDialog::openDialog();
        QVERIFY(dialog);
        auto* list = dialog->findChild<QListWidget*>(QStringLiteral("groupList"));
        QStringList names;
        for (int row = 0; row < list->count(); ++row)
            names << list->item(row)->text();
        QCOMPARE(names, (QStringList{QStringLiteral("Inbox"), QStringLiteral("Work"), QStringLiteral("Completed"),
                                     QStringLiteral("Trash")}));
        QCOMPARE(list->item(1)->checkState(), Qt::Checked);
        dialog->close();
        delete dialog.data();
    }
};

MRV_TEST_WIDGETS_MAIN(TstFocusGroupList)
#include "tst_focusgrouplist.moc"
