// The group panel, and what a screen reader finds in it and in the task list.

#include "core/duetasks.h"
#include "core/taskcore.h"
#include "store/taskstorage.h"
#include "support/testenv.h"
#include "support/uitestkit.h"
#include "ui/dragregistry.h"
#include "ui/focusgrouplistwidget.h"
#include "ui/focusgroupwidget.h"
#include "ui/questionbox.h"
#include "ui/tasklistwidget.h"
#include "ui/taskwidget.h"
#include "widgets/accessiblenotifier.h"

#include <QAccessible>
#include <QApplication>
#include <QDragEnterEvent>
#include <QHBoxLayout>
#include <QMimeData>

namespace {

using namespace uitest;
using Ids = QList<TodoTask::Id>;

constexpr int Far = 300; // rows enough that the last is never built

FocusGroup::Id addGroup(const char* name) { return store()->addGroup(QString::fromLatin1(name), QString()); }

/// A window holding the group panel and a task list, shown.
struct Views
{
    explicit Views(const FocusGroup::Id& groupId)
    {
        auto* layout = new QHBoxLayout(&window);
        layout->addWidget(panel = new FocusGroupListWidget(&window));
        layout->addWidget(list = new TaskListWidget(groupId, &window));
        panel->setFixedSize(220, 500);
        list->setFixedSize(400, 500);
        shown = testenv::showActive(&window);
        QCoreApplication::processEvents();
    }
    /// The item of the panel's context menu for the row of `id`, by its object name without "Action".
    QAction* menuItem(const FocusGroup::Id& id, const QString& name) const
    {
        FocusGroupWidget* row = panel->rowOf(id);
        const QPoint centre = row->mapTo(panel->viewport(), row->rect().center());
        return panel->buildContextMenu(centre)->findChild<QAction*>(name + QLatin1String("Action"));
    }

    QWidget window;
    FocusGroupListWidget* panel = nullptr;
    TaskListWidget* list = nullptr;
    bool shown = false;
};

} // namespace

class TstFocusGroupList : public QObject
{
    Q_OBJECT

private:
    TempStore m_store;
    QMultiHash<QAccessible::Event, int> m_told; // each event told with the row it names
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
        AccessibleNotifier::setSink([this](QAccessibleEvent* event) {
            m_told.insert(event->type(), event->object() ? event->child() : -1);
        });
    }

    void cleanupTestCase()
    {
        QuestionBox::setHook({});
        AccessibleNotifier::setSink({});
    }

    void init()
    {
        m_asked = 0;
        clearStore();
    }

    // A row takes a drag of tasks it does not hold (Shift copies, but not to the Trash) and
    // a user group's drag (it takes the row's place); nothing else.
    void dragsOntoGroups_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<bool>("shift");
        QTest::addColumn<int>("source"); // 0 Inbox, 1 group A, 2 group B
        QTest::addColumn<int>("target"); // 0 Inbox, 1 A, 2 B, 3 Trash, 4 Completed, 5 Today
        QTest::addColumn<int>("result");
        const int tasks = DragGroup::Tasks, group = DragGroup::Group;
        const int refused = DragGroup::NoResult, moved = DragGroup::Moved, copied = Qt::CopyAction;
        QTest::newRow("tasks onto another group") << tasks << false << 0 << 1 << moved;
        QTest::newRow("copy with Shift") << tasks << true << 0 << 1 << copied;
        QTest::newRow("Shift onto Trash still moves") << tasks << true << 0 << 3 << moved;
        QTest::newRow("tasks onto a group holding one") << tasks << false << 0 << 2 << refused;
        QTest::newRow("tasks onto Today") << tasks << false << 0 << 5 << refused;
        QTest::newRow("group onto another user group") << group << false << 2 << 1 << moved;
        QTest::newRow("group onto Inbox") << group << false << 1 << 0 << refused;
    }

    void dragsOntoGroups()
    {
        QFETCH(int, kind);
        QFETCH(bool, shift);
        QFETCH(int, source);
        QFETCH(int, target);
        QFETCH(int, result);
        const FocusGroup::Id a = addGroup("A"), b = addGroup("B");
        const Ids tasks{store()->createTask(FocusGroup::inboxId()), store()->createTask(FocusGroup::inboxId())};
        store()->addTaskToGroup(b, tasks.first()); // B already holds one
        Views w(FocusGroup::inboxId());
        QVERIFY(w.shown);
        const FocusGroup::Id groups[] = {FocusGroup::inboxId(), a, b, FocusGroup::trashId(),
                                         FocusGroup::completedId(), DueTasks::viewId(DueTasks::Today)};
        FocusGroupWidget* row = w.panel->rowOf(groups[target]);
        FakeDrag drag(groups[source], tasks, kind, shift);
        // A row that refuses passes the event on to the panel, which takes group drags itself
        // (without a drop place): the row's drop outline is what tells.
        sendDrag<QDragEnterEvent>(row, row->rect().center(), &drag.mime);
        QCOMPARE(bool(row->flags() & FocusGroupWidget::DragOver), result != DragGroup::NoResult);
        if (result == DragGroup::NoResult)
            return;
        QVERIFY(sendDrag<QDropEvent>(row, row->rect().center(), &drag.mime));
        if (kind == DragGroup::Group) {
            QCOMPARE(store()->groupIds().mid(3), (QList<QUuid>{b, a}));
            return;
        }
        QCOMPARE(drag.data->resultAction, result);
        QCOMPARE(store()->group(groups[target]).taskIds(), tasks);
        QCOMPARE(store()->group(FocusGroup::inboxId()).contains(tasks.last()), result == Qt::CopyAction);
    }

    // Nothing is removed unless the user says yes; the Trash row follows at once.
    void removeAndEmptyTrashAskFirst()
    {
        for (const bool confirmed : {true, false}) {
            const FocusGroup::Id group = addGroup("Doomed");
            const TodoTask::Id task = store()->createTask(group);
            Views w(FocusGroup::inboxId());
            QVERIFY(w.shown);
            w.panel->selectGroup(group);
            m_asked = 0;
            m_answer = confirmed ? QMessageBox::Yes : QMessageBox::No;
            w.menuItem(group, QStringLiteral("removeGroup"))->trigger();
            QCOMPARE(m_asked, 1);
            QCOMPARE(store()->group(group).id().isNull(), confirmed);
            QCOMPARE(w.panel->rowOf(FocusGroup::trashId())->group().contains(task), confirmed);
            QCOMPARE(w.panel->currentGroup(), confirmed ? FocusGroup::inboxId() : group);
            QCOMPARE(w.panel->rowOf(group) == nullptr, confirmed);

            store()->createTask(FocusGroup::trashId());
            m_answer = confirmed ? QMessageBox::Ok : QMessageBox::Cancel;
            const int revision = store()->revision();
            w.menuItem(FocusGroup::trashId(), QStringLiteral("emptyTrash"))->trigger();
            QCOMPARE(m_asked, 2);
            QCOMPARE(store()->group(FocusGroup::trashId()).taskIds().isEmpty(), confirmed);
            QCOMPARE(store()->revision() == revision, !confirmed);
        }
    }

    // The task list and the group panel are lists, each task and group an item whose name says
    // what the row shows, a task's with its check box. A path names the node: the view, then an
    // item's row, then box for the task's check box. Errands holds T0, T1, ... and after them, far
    // out of view, the tasks named here; the panel's rows are Today, Upcoming, Inbox, Errands ...
    void nodes_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("checked");
        const auto row = [](const char* path, const char* name, bool checked = false) {
            QTest::newRow(path) << QString::fromLatin1(path) << QString::fromLatin1(name) << checked;
        };
        row("list", "Errands");
        row("list/300", "Call the dentist, due today, has notes");
        row("list/301", "Water, due today, repeats every week on Monday");
        row("list/302", "Pay rent", true);
        row("list/302/box", "Completed", true);
        row("panel", "Groups");
        row("panel/3", "Errands, 2 due today or overdue, 300 due later or undated");
        row("panel/0", "Today, 2 tasks");
    }

    void nodes()
    {
        QFETCH(QString, path);
        QFETCH(QString, name);
        QFETCH(bool, checked);
        Ids ids;
        const QStringList names{"Call the dentist|Ask", "Water", "=Pay rent"};
        Views w(makeGroup(numbered(Far) + names, &ids, QStringLiteral("Errands")));
        store()->setTaskDue(ids.at(Far), QDate::currentDate().startOfDay());
        store()->setTaskDue(ids.at(Far + 1), QDate::currentDate().startOfDay());
        store()->setTaskRepeat(ids.at(Far + 1), QStringLiteral("FREQ=WEEKLY;BYDAY=MO"));
        QVERIFY(w.shown);
        const QStringList steps = path.split(QLatin1Char('/'));
        const bool inPanel = steps.first() == QLatin1String("panel");
        QWidget* shownIn = inPanel ? static_cast<QWidget*>(w.panel) : w.list;
        QAccessibleInterface* view = QAccessible::queryAccessibleInterface(shownIn);
        QAccessibleInterface* node = view;
        if (steps.size() > 1) {
            const int index = steps.at(1).toInt();
            node = view->child(index);
            QCOMPARE(node->parent(), view);
            QCOMPARE(view->indexOfChild(node), index);
            QVERIFY(node->state().selectable);
            QCOMPARE(bool(node->state().offscreen), index >= Far);
            if (!inPanel)
                QCOMPARE(node->text(QAccessible::Description), QLatin1String(checked ? "completed" : ""));
        }
        if (steps.size() > 2) {
            QCOMPARE(node->childCount(), 1);
            node = node->child(0);
        }
        const QAccessible::Role roles[] = {QAccessible::List, QAccessible::ListItem, QAccessible::CheckBox};
        QCOMPARE(node->role(), roles[steps.size() - 1]);
        QTRY_COMPARE(node->text(QAccessible::Name), name);
        QCOMPARE(bool(node->state().checked), checked);
    }

    // Keys move the focused and selected item of the task list, to rows far out of view too, and
    // the list gaining the keyboard (no key) announces the current one.
    void keysMoveTheFocusedItem_data()
    {
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("to");
        QTest::newRow("End, far out of view") << int(Qt::Key_End) << Far - 1;
        QTest::newRow("the list gains the keyboard") << 0 << 0;
    }

    void keysMoveTheFocusedItem()
    {
        QFETCH(int, key);
        QFETCH(int, to);
        Ids ids;
        Views w(makeGroup(numbered(Far), &ids));
        QVERIFY(w.shown);
        w.list->selectTasks({ids.at(0)}, ids.at(0));
        QWidget* first = key ? static_cast<QWidget*>(w.list) : w.panel;
        first->setFocus();
        QTRY_VERIFY(first->hasFocus());
        QCoreApplication::processEvents();
        m_told.clear();
        if (key)
            QTest::keyClick(w.list, Qt::Key(key));
        else
            w.list->setFocus();
        QTRY_COMPARE(m_told.values(QAccessible::Focus), QList<int>{to});
        QAccessibleInterface* item = QAccessible::queryAccessibleInterface(w.list)->child(to);
        QVERIFY(item->state().focused && item->state().selected);
        QVERIFY(w.list->widget()->findChildren<TaskWidget*>().size() < 100); // rows built only around the view
        if (!key)
            return;
        QCOMPARE(m_told.values(QAccessible::SelectionAdd), QList<int>{to});
        QCOMPARE(m_told.values(QAccessible::SelectionRemove), QList<int>{0});
    }
};

MRV_TEST_WIDGETS_MAIN(TstFocusGroupList)
#include "tst_focusgrouplist.moc"
