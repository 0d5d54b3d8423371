#include "core/duetasks.h"
#include "core/taskcore.h"
#include "store/taskstorage.h"
#include "support/testenv.h"
#include "support/uitestkit.h"
#include "ui/countwidget.h"
#include "ui/dragregistry.h"
#include "ui/exportdialog.h"
#include "ui/focusgrouplistwidget.h"
#include "ui/focusgroupwidget.h"
#include "ui/questionbox.h"

#include <QAccessible>
#include <QApplication>
#include <QDragEnterEvent>
#include <QListWidget>
#include <QMenu>
#include <QMimeData>
#include <QPointer>

#include <climits>
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
        QuestionBox::setHook([this](auto...) {
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
        const FocusGroup::Id ids[] = {{}, FocusGroup::inboxId(), user, FocusGroup::completedId(), FocusGroup::trashId(),
                                      todayId()};
        const QPoint point = target == 0 ? QPoint(100, panel.rowOf(user)->geometry().bottom() + 40) : panel.centreOf(ids[target]);
        QStringList shown;
        for (QAction* action : panel.buildContextMenu(point)->actions()) {
            if (!action->isSeparator() && action->isVisible())
                shown << action->objectName().chopped(6).replace(QLatin1String("addGroup"), QLatin1String("add"));
        }
        QCOMPARE(shown.join(QLatin1Char(' ')), visible);
    }

    // A view's export offers the groups, all of them, and no view.
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

    // A row takes a drag of tasks it does not hold (Shift copies, but not to the Trash) and
    // a user group's drag (it takes the row's place); nothing else, no drag of other programs.
    void dragsOntoGroups_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<bool>("shift");
        QTest::addColumn<int>("source"); // 0 Inbox, 1 group A, 2 group B
        QTest::addColumn<int>("target"); // 0 Inbox, 1 A, 2 B, 3 Trash, 4 Completed, 5 Today, 6 Upcoming
        QTest::addColumn<int>("result");
        const int tasks = DragGroup::Tasks, group = DragGroup::Group;
        const int refused = DragGroup::NoResult, moved = DragGroup::Moved, copied = Qt::CopyAction;
        QTest::newRow("tasks onto another group") << tasks << false << 0 << 1 << moved;
        QTest::newRow("copy with Shift") << tasks << true << 0 << 1 << copied;
        QTest::newRow("tasks onto Trash") << tasks << false << 0 << 3 << moved;
        QTest::newRow("Shift onto Trash still moves") << tasks << true << 0 << 3 << moved;
        QTest::newRow("tasks onto their own group") << tasks << false << 0 << 0 << refused;
        QTest::newRow("tasks onto a group holding one") << tasks << false << 0 << 2 << refused;
        QTest::newRow("tasks onto Today") << tasks << false << 0 << 5 << refused;
        QTest::newRow("group onto another user group") << group << false << 2 << 1 << moved;
        QTest::newRow("group onto itself") << group << false << 1 << 1 << refused;
        QTest::newRow("group onto Inbox") << group << false << 1 << 0 << refused;
        QTest::newRow("group onto Trash") << group << false << 1 << 3 << refused;
        QTest::newRow("group onto Upcoming") << group << false << 1 << 6 << refused;
    }

    void dragsOntoGroups()
    {
        QFETCH(int, kind);
        QFETCH(bool, shift);
        QFETCH(int, source);
        QFETCH(int, target);
        QFETCH(int, result);
        const FocusGroup::Id a = addGroup("A"), b = addGroup("B");
        QList<TodoTask::Id> tasks;
        for (int i = 0; i < 2; ++i)
            tasks << store()->createTask(FocusGroup::inboxId());
        store()->addTaskToGroup(b, tasks.first()); // B already holds one
        Panel panel;
        const FocusGroup::Id groups[] = {FocusGroup::inboxId(), a, b, FocusGroup::trashId(), FocusGroup::completedId(),
                                         todayId(), upcomingId()};
        FocusGroupWidget* row = panel.rowOf(groups[target]);
        for (const QByteArray& payload : {QByteArray(), QByteArray("9999"), QByteArray("x1")}) {
            QMimeData foreign;
            foreign.setText(QStringLiteral("hello"));
            if (!payload.isEmpty())
                foreign.setData(QLatin1String(DragRegistry::MimeType), payload);
            QVERIFY(!enter(row, &foreign));
        }
        FakeDrag drag(groups[source], tasks, kind, shift);
        // A row that refuses passes the event on to the panel, which takes group drags itself
        // (without a drop place): the row's drop outline is what tells.
        Qt::DropAction shown = Qt::IgnoreAction; // the cursor shows a copy where the drop copies
        enter(row, &drag.mime, &shown);
        QCOMPARE(bool(row->flags() & FocusGroupWidget::DragOver), result != DragGroup::NoResult);
        if (result == DragGroup::NoResult)
            return;
        QVERIFY(drop(row, &drag.mime));
        if (kind == DragGroup::Group) {
            QCOMPARE(store()->groupIds().mid(3), (QList<QUuid>{b, a}));
            return;
        }
        QCOMPARE(shown, Qt::DropAction(result));
        QCOMPARE(drag.data->resultAction, result);
        QCOMPARE(store()->group(groups[target]).taskIds(), tasks);
        QCOMPARE(store()->group(FocusGroup::inboxId()).contains(tasks.last()), result == Qt::CopyAction);
        // While a task is dragged, the groups that list it are highlighted.
        panel._onHighlightGroups(tasks.last());
        QCOMPARE(panel.rowOf(FocusGroup::inboxId())->isHighlighted(), result == Qt::CopyAction);
        QVERIFY(row->isHighlighted() && !panel.rowOf(FocusGroup::completedId())->isHighlighted());
        panel._onHighlightGroups(TodoTask::Id());
        QVERIFY(!row->isHighlighted());
    }

    // Nothing is removed unless the user says yes; the Trash row follows at once.
    void removeAndEmptyTrashAskFirst()
    {
        store()->setGroupName(FocusGroup::trashId(), QStringLiteral("Bin"));
        for (const bool confirmed : {true, false}) {
            const FocusGroup::Id group = addGroup("Doomed");
            const TodoTask::Id task = store()->createTask(group);
            Panel panel;
            QVERIFY(!panel.menuItem(FocusGroup::trashId(), QStringLiteral("emptyTrash"))->isEnabled());
            QTest::mousePress(panel.viewport(), Qt::LeftButton, {}, panel.centreOf(group));
            m_asked = 0;
            m_answer = confirmed ? QMessageBox::Yes : QMessageBox::No;
            panel.menuItem(group, QStringLiteral("removeGroup"))->trigger();
            QCOMPARE(m_asked, 1);
            QCOMPARE(store()->group(group).id().isNull(), confirmed);
            QCOMPARE(store()->group(FocusGroup::trashId()).contains(task), confirmed);
            QCOMPARE(panel.rowOf(FocusGroup::trashId())->group().contains(task), confirmed);
            QCOMPARE(panel.currentGroup(), confirmed ? FocusGroup::inboxId() : group);
            QCOMPARE(panel.rowOf(group) == nullptr, confirmed);

            store()->createTask(FocusGroup::trashId());
            m_answer = confirmed ? QMessageBox::Ok : QMessageBox::Cancel;
            const int revision = store()->revision();
            QAction* empty = panel.menuItem(FocusGroup::trashId(), QStringLiteral("emptyTrash"));
            QCOMPARE(empty->text(), QStringLiteral("Empty Bin"));
            empty->trigger();
            QCOMPARE(m_asked, 2);
            QCOMPARE(store()->group(FocusGroup::trashId()).taskIds().isEmpty(), confirmed);
            if (!confirmed)
                QCOMPARE(store()->revision(), revision);
        }
        store()->setGroupName(FocusGroup::trashId(), QStringLiteral("Trash"));
    }

    // A group's row counts its open tasks due now (by today), soon (the next three days) and
    // later or never, and says so to a screen reader; Today counts the tasks due by today,
    // Upcoming those of the seven days after it. Both panels count alike: one that counts the
    // change as it comes, one built after it.
    void countsFollowTheDueRule_data()
    {
        // Where the task is: i the Inbox, c the Inbox but completed, t only the Trash, d the
        // Inbox and a group of the user's. Days from today; INT_MIN: no due date.
        QTest::addColumn<QString>("where");
        QTest::addColumn<int>("days");
        QTest::addColumn<QTime>("time");
        QTest::addColumn<QString>("inbox");
        QTest::addColumn<int>("today");
        QTest::addColumn<int>("upcoming");
        const QString now = QStringLiteral("Inbox, 1 due today or overdue");
        const QString soon = QStringLiteral("Inbox, 1 due in the next three days");
        const QString later = QStringLiteral("Inbox, 1 due later or undated");
        QTest::newRow("overdue") << "i" << -1 << QTime(9, 0) << now << 1 << 0;
        QTest::newRow("today") << "i" << 0 << QTime(0, 0) << now << 1 << 0;
        QTest::newRow("today at 23:59") << "i" << 0 << QTime(23, 59) << now << 1 << 0;
        QTest::newRow("tomorrow") << "i" << 1 << QTime(0, 0) << soon << 0 << 1;
        QTest::newRow("day 3 at 23:59") << "i" << 3 << QTime(23, 59) << soon << 0 << 1;
        QTest::newRow("day 4") << "i" << 4 << QTime(0, 0) << later << 0 << 1;
        QTest::newRow("day 7 at 23:59") << "i" << 7 << QTime(23, 59) << later << 0 << 1;
        QTest::newRow("day 8") << "i" << 8 << QTime(0, 0) << later << 0 << 0;
        QTest::newRow("no due date") << "i" << INT_MIN << QTime() << later << 0 << 0;
        QTest::newRow("completed") << "c" << 0 << QTime(0, 0) << "Inbox" << 0 << 0;
        QTest::newRow("in the Trash only") << "t" << -1 << QTime(0, 0) << "Inbox" << 0 << 0;
        QTest::newRow("listed in two groups, counted once") << "d" << 2 << QTime(0, 0) << soon << 0 << 1;
    }

    void countsFollowTheDueRule()
    {
        QFETCH(QString, where);
        QFETCH(int, days);
        QFETCH(QTime, time);
        QFETCH(QString, inbox);
        QFETCH(int, today);
        QFETCH(int, upcoming);
        const QDateTime now(QDate::currentDate(), QTime(9, 15));
        DueTasks due(store(), [now] { return now; });
        const TodoTask::Id id = store()->createTask(FocusGroup::inboxId());
        FocusGroupListWidget before;
        before.setDueTasks(&due);
        if (days != INT_MIN)
            store()->setTaskDue(id, QDateTime(now.date().addDays(days), time));
        if (where == QLatin1String("c"))
            store()->setTaskCompleted(id, true, now);
        if (where == QLatin1String("t"))
            store()->removeTask(FocusGroup::inboxId(), id, false);
        if (where == QLatin1String("d"))
            store()->addTaskToGroup(addGroup("Errands"), id);
        FocusGroupListWidget after;
        after.setDueTasks(&due);
        for (FocusGroupListWidget* panel : {&before, &after}) {
            QAccessibleInterface* row = QAccessible::queryAccessibleInterface(panel->rowOf(FocusGroup::inboxId()));
            QTRY_COMPARE(row->text(QAccessible::Name), inbox);
            QTRY_COMPARE(panel->rowOf(todayId())->counter()->count(0), today);
            QCOMPARE(panel->rowOf(upcomingId())->counter()->count(1), upcoming);
        }
    }

    void viewCountsFollowTheDay()
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
    }
};

MRV_TEST_WIDGETS_MAIN(TstFocusGroupList)
#include "tst_focusgrouplist.moc"
