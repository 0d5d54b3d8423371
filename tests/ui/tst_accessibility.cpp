#include "core/duetasks.h"
#include "core/taskcore.h"
#include "store/taskstorage.h"
#include "support/testenv.h"
#include "support/uitestkit.h"
#include "ui/accessibleevents.h"
#include "ui/accessibletext.h"
#include "ui/focusgrouplistwidget.h"
#include "ui/focusgroupwidget.h"
#include "ui/tasklistwidget.h"
#include "widgets/accessiblenotifier.h"

#include <QAccessible>
#include <QApplication>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QVBoxLayout>

#include <climits>
#include <memory>

namespace {

using uitest::ListWindow;
using Ids = QList<TodoTask::Id>;

constexpr int NoDue = INT_MIN;
constexpr int LongList = 3000;

std::shared_ptr<TaskStorage> store()
{
    return TaskCore::instance()->storage();
}

struct Task
{
    Task(const QString& name = QString(), const QString& notes = QString(), int dueInDays = NoDue,
         bool completed = false)
        : name(name)
        , notes(notes)
        , dueInDays(dueInDays)
        , completed(completed)
    {
    }

    QString name;
    QString notes;
    int dueInDays;
    bool completed;
};

FocusGroup::Id makeGroup(const QList<Task>& tasks, Ids* ids = nullptr, const QString& name = QString())
{
    static int counter = 0;
    const FocusGroup::Id groupId =
        store()->addGroup(name.isEmpty() ? QStringLiteral("Group %1").arg(++counter) : name, QString());
    for (const Task& task : tasks) {
        const TodoTask::Id id = store()->createTask(groupId);
        store()->setTaskName(id, task.name);
        store()->setTaskNotes(id, task.notes);
        if (task.dueInDays != NoDue)
            store()->setTaskDue(id, QDate::currentDate().addDays(task.dueInDays).startOfDay());
        if (task.completed)
            store()->setTaskCompleted(id, true, QDateTime::currentDateTime());
        if (ids)
            ids->append(id);
    }
    return groupId;
}

QList<Task> numbered(int count)
{
    QList<Task> tasks;
    for (int i = 0; i < count; ++i)
        tasks.append(Task{QStringLiteral("T%1").arg(i)});
    return tasks;
}

/// What a screen reader was told: the event, the row it names (-1 for the view itself or for
/// an event sent by an item), and that object and its name at the time.
struct Told
{
    QAccessible::Event type;
    int child;
    QAccessible::Id id;
    QString name;
};

/// A window holding the group panel.
class PanelWindow
{
public:
    PanelWindow()
    {
        auto* layout = new QVBoxLayout(&window);
        layout->setContentsMargins(0, 0, 0, 0);
        panel = new FocusGroupListWidget(&window);
        panel->setFixedSize(220, 500);
        layout->addWidget(panel);
        other = new QLineEdit(&window);
        layout->addWidget(other);
    }

    bool show()
    {
        const bool active = testenv::showActive(&window);
        QCoreApplication::processEvents();
        return active;
    }

    QWidget window;
    FocusGroupListWidget* panel = nullptr;
    QLineEdit* other = nullptr;
};

int displayIndex(FocusGroupListWidget& panel, const FocusGroup::Id& groupId)
{
    return static_cast<int>(panel.rowsInOrder().indexOf(panel.rowOf(groupId)));
}

/// Leaves the group panel with the fixed groups alone.
void removeUserGroups()
{
    for (const FocusGroup::Id& id : store()->groupIds()) {
        if (FocusGroup::isUserGroup(id))
            store()->removeGroup(id);
    }
    store()->emptyTrash();
}

} // namespace

Q_DECLARE_METATYPE(Task)

class TstAccessibility : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    QList<Told> m_told;
    FocusGroup::Id m_longGroup;

    /// A group of LongList tasks named T0, T1, ...
    FocusGroup::Id longGroup()
    {
        if (m_longGroup.isNull() || !store()->groupIds().contains(m_longGroup))
            m_longGroup = makeGroup(numbered(LongList));
        return m_longGroup;
    }

    QList<Told> told(QAccessible::Event type) const
    {
        QList<Told> found;
        for (const Told& entry : m_told) {
            if (entry.type == type)
                found.append(entry);
        }
        return found;
    }

    /// Gives a shown list the keyboard and lets the toolkit finish announcing it.
    void focus(QWidget* widget)
    {
        widget->setFocus(Qt::OtherFocusReason);
        QTRY_VERIFY(widget->hasFocus());
        QCoreApplication::processEvents();
    }

private Q_SLOTS:
    void initTestCase()
    {
        QCOMPARE(TaskCore::instance()->init(m_dir.filePath(QStringLiteral("tasks.xml")), 3600000), 0);
        AccessibleNotifier::setSink([this](QAccessibleEvent* event) {
            QAccessibleInterface* iface = event->accessibleInterface();
            m_told.append(Told{event->type(), event->object() ? event->child() : -1,
                               iface ? QAccessible::uniqueId(iface) : 0,
                               iface && iface->isValid() ? iface->text(QAccessible::Name) : QString()});
        });
    }

    void cleanupTestCase()
    {
        AccessibleNotifier::setSink({});
        TaskCore::destroy();
    }

    void init() { m_told.clear(); }

    void dueDateInWords_data()
    {
        QTest::addColumn<QDateTime>("due");
        QTest::addColumn<bool>("completed");
        QTest::addColumn<QString>("words");

        // Wednesday, 13 March 2024; dates in the short format of the tests' system locale (C).
        const auto day = [](int d, int hour = 0) { return QDateTime(QDate(2024, 3, d), QTime(hour, 0)); };
        QTest::newRow("none") << QDateTime() << false << QString();
        QTest::newRow("today, early") << day(13) << false << "due today";
        QTest::newRow("today, late") << day(13, 23) << false << "due today";
        QTest::newRow("tomorrow") << day(14) << false << "due tomorrow";
        QTest::newRow("in two days") << day(15) << false << "due Friday";
        QTest::newRow("in six days") << day(19) << false << "due Tuesday";
        QTest::newRow("in a week") << day(20) << false << "due 20 Mar 2024";
        QTest::newRow("next year") << QDateTime(QDate(2025, 1, 2), QTime()) << false << "due 2 Jan 2025";
        QTest::newRow("yesterday") << day(12) << false << "overdue since 12 Mar 2024";
        QTest::newRow("last month") << QDateTime(QDate(2024, 2, 29), QTime()) << false << "overdue since 29 Feb 2024";
        QTest::newRow("yesterday, completed") << day(12) << true << "due 12 Mar 2024";
        QTest::newRow("tomorrow, completed") << day(14) << true << "due tomorrow";
    }

    void dueDateInWords()
    {
        QFETCH(QDateTime, due);
        QFETCH(bool, completed);
        QFETCH(QString, words);
        QCOMPARE(AccessibleText::due(due, QDate(2024, 3, 13), completed), words);
    }

    void taskRowsAreListItems_data()
    {
        QTest::addColumn<Task>("task");
        QTest::addColumn<int>("index");
        QTest::addColumn<bool>("current");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("description");
        QTest::addColumn<bool>("checked");
        QTest::addColumn<bool>("offscreen");

        QTest::newRow("plain") << Task{"Call the dentist"} << 0 << false << "Call the dentist" << "" << false << false;
        QTest::newRow("due tomorrow, notes")
            << Task{"Call the dentist", "Ask about Tuesday", 1} << 0 << false
            << "Call the dentist, due tomorrow, has notes" << "" << false << false;
        QTest::newRow("due today") << Task{"Pay rent", "", 0} << 0 << false << "Pay rent, due today" << "" << false
                                   << false;
        QTest::newRow("blank notes") << Task{"Pay rent", " \n "} << 0 << false << "Pay rent" << "" << false << false;
        QTest::newRow("completed") << Task{"Pay rent", "", NoDue, true} << 0 << false << "Pay rent" << "completed"
                                   << true << false;
        QTest::newRow("name on two lines") << Task{"Buy\nmilk"} << 0 << false << "Buy milk" << "" << false << false;
        QTest::newRow("no name") << Task{"", "", 1} << 0 << false << "Unnamed task, due tomorrow" << "" << false
                                 << false;
        QTest::newRow("current") << Task{"Call the dentist"} << 0 << true << "Call the dentist" << "" << false
                                 << false;
        QTest::newRow("far out of view") << Task{"Water the plants", "", 1} << LongList - 1 << false
                                         << "Water the plants, due tomorrow" << "" << false << true;
        QTest::newRow("far out of view, completed")
            << Task{"Water the plants", "", NoDue, true} << LongList - 1 << false << "Water the plants"
            << "completed" << true << true;
        QTest::newRow("far down, current") << Task{"Water the plants"} << LongList - 1 << true << "Water the plants"
                                           << "" << false << false;
    }

    void taskRowsAreListItems()
    {
        QFETCH(Task, task);
        QFETCH(int, index);
        QFETCH(bool, current);
        QFETCH(QString, name);
        QFETCH(QString, description);
        QFETCH(bool, checked);
        QFETCH(bool, offscreen);

        Ids ids;
        const FocusGroup::Id groupId = makeGroup(numbered(index) << task, &ids);
        ListWindow w(groupId);
        QVERIFY(w.show());
        TaskListWidget& list = *w.list;
        focus(&list);
        if (current)
            list.selectTasks({ids.last()}, ids.last());
        if (offscreen)
            QVERIFY2(!list.row(index), "the row is built only when scrolled into view");

        QAccessibleInterface* view = QAccessible::queryAccessibleInterface(&list);
        QVERIFY(view);
        QCOMPARE(view->role(), QAccessible::List);
        QCOMPARE(view->childCount(), index + 1);
        QVERIFY(view->state().multiSelectable);
        QAccessibleInterface* item = view->child(index);
        QVERIFY(item);
        QCOMPARE(item->role(), QAccessible::ListItem);
        QCOMPARE(item->text(QAccessible::Name), name);
        QCOMPARE(item->text(QAccessible::Description), description);
        QCOMPARE(item->parent(), view);
        QCOMPARE(view->indexOfChild(item), index);
        const QAccessible::State state = item->state();
        QVERIFY(state.selectable);
        QVERIFY(state.checkable);
        QCOMPARE(bool(state.checked), checked);
        QCOMPARE(bool(state.selected), current);
        QCOMPARE(bool(state.focused), current);
        QCOMPARE(bool(state.offscreen), offscreen);

        QCOMPARE(item->childCount(), 1);
        QAccessibleInterface* box = item->child(0);
        QCOMPARE(box->role(), QAccessible::CheckBox);
        QCOMPARE(box->text(QAccessible::Name), QStringLiteral("Completed"));
        QCOMPARE(bool(box->state().checked), checked);
        QCOMPARE(box->parent(), item);
        QCOMPARE(item->indexOfChild(box), 0);
        QCOMPARE(view->child(index), item);
    }

    void checkBoxActionCompletesTask_data()
    {
        QTest::addColumn<int>("index");
        QTest::newRow("in view") << 1;
        QTest::newRow("out of view") << LongList - 1;
    }

    void checkBoxActionCompletesTask()
    {
        QFETCH(int, index);
        ListWindow w(longGroup());
        QVERIFY(w.show());
        QAccessibleInterface* item = QAccessible::queryAccessibleInterface(w.list)->child(index);
        QAccessibleActionInterface* box = item->child(0)->actionInterface();
        QVERIFY(box);
        const TodoTask::Id id = w.list->taskIdAt(index);

        box->doAction(QAccessibleActionInterface::toggleAction());
        QVERIFY(store()->task(id).completed());
        QVERIFY(item->state().checked);
        QCOMPARE(item->text(QAccessible::Description), QStringLiteral("completed"));
        box->doAction(QAccessibleActionInterface::toggleAction());
        QVERIFY(!store()->task(id).completed());
    }

    void keysMoveTheFocusedItem_data()
    {
        QTest::addColumn<int>("from");
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("to");
        QTest::newRow("Down") << 0 << int(Qt::Key_Down) << 1;
        QTest::newRow("Up") << 5 << int(Qt::Key_Up) << 4;
        QTest::newRow("End") << 0 << int(Qt::Key_End) << LongList - 1;
        QTest::newRow("Home") << LongList - 1 << int(Qt::Key_Home) << 0;
    }

    void keysMoveTheFocusedItem()
    {
        QFETCH(int, from);
        QFETCH(int, key);
        QFETCH(int, to);
        ListWindow w(longGroup());
        QVERIFY(w.show());
        TaskListWidget& list = *w.list;
        focus(&list);
        const TodoTask::Id start = list.taskIdAt(from);
        list.selectTasks({start}, start);
        QCoreApplication::processEvents();
        m_told.clear();

        QTest::keyClick(&list, Qt::Key(key));
        const QList<Told> focused = told(QAccessible::Focus);
        QCOMPARE(focused.size(), 1);
        QCOMPARE(focused.first().child, to);
        QCOMPARE(focused.first().name, QStringLiteral("T%1").arg(to));
        QCOMPARE(told(QAccessible::SelectionRemove).size(), 1);
        QCOMPARE(told(QAccessible::SelectionRemove).first().child, from);
        QCOMPARE(told(QAccessible::SelectionAdd).size(), 1);
        QCOMPARE(told(QAccessible::SelectionAdd).first().child, to);
        QAccessibleInterface* item = QAccessible::queryAccessibleInterface(&list)->child(to);
        QVERIFY(item->state().focused);
        QVERIFY(item->state().selected);
    }

    void manySelectedRowsAreToldAtOnce()
    {
        ListWindow w(longGroup());
        QVERIFY(w.show());
        focus(w.list);
        w.list->select(0);
        m_told.clear();
        QTest::keyClick(w.list, Qt::Key_A, Qt::ControlModifier);
        QCOMPARE(told(QAccessible::SelectionWithin).size(), 1);
        QVERIFY(told(QAccessible::SelectionAdd).isEmpty());
    }

    void gainingTheKeyboardAnnouncesTheCurrentRow()
    {
        ListWindow w(longGroup());
        auto* other = new QLineEdit(&w.window);
        w.window.layout()->addWidget(other);
        QVERIFY(w.show());
        const TodoTask::Id third = w.list->taskIdAt(2);
        w.list->selectTasks({third}, third);
        focus(other);
        m_told.clear();

        focus(w.list);
        QTRY_COMPARE(told(QAccessible::Focus).size(), 1);
        QCOMPARE(told(QAccessible::Focus).first().child, 2);
        QCOMPARE(told(QAccessible::Focus).first().name, QStringLiteral("T2"));
    }

    void itemsOfTasksThatLeaveTheListGo_data()
    {
        QTest::addColumn<QString>("how");
        QTest::addColumn<QStringList>("left");
        QTest::newRow("Delete") << "delete" << QStringList{"A", "C"};
        QTest::newRow("deleted by another view") << "store" << QStringList{"A", "C"};
        QTest::newRow("found tasks shown") << "found" << QStringList{"C"};
        QTest::newRow("another group shown") << "group" << QStringList{};
    }

    void itemsOfTasksThatLeaveTheListGo()
    {
        QFETCH(QString, how);
        QFETCH(QStringList, left);
        Ids ids;
        const FocusGroup::Id groupId = makeGroup({Task("A"), Task("B"), Task("C")}, &ids);
        ListWindow w(groupId);
        QVERIFY(w.show());
        TaskListWidget& list = *w.list;
        QAccessibleInterface* view = QAccessible::queryAccessibleInterface(&list);
        const QAccessible::Id b = QAccessible::uniqueId(view->child(1));
        m_told.clear();

        if (how == QLatin1String("delete")) {
            list.select(1);
            list.deleteSelected();
        } else if (how == QLatin1String("store")) {
            store()->removeTask(groupId, ids.at(1), false);
            QTRY_COMPARE(list.rowCount(), 2);
        } else if (how == QLatin1String("found")) {
            list.showFound({FoundTask{ids.at(2), groupId}});
        } else {
            list.setGroup(longGroup());
        }
        const QList<Told> gone = told(QAccessible::ObjectDestroyed);
        QCOMPARE(gone.size(), 1);
        QCOMPARE(gone.first().id, b);
        QVERIFY(!QAccessible::accessibleInterface(b));
        if (how == QLatin1String("group"))
            return;
        QStringList names;
        for (int i = 0; i < view->childCount(); ++i)
            names << view->child(i)->text(QAccessible::Name).section(QLatin1Char(','), 0, 0);
        QCOMPARE(names, left);
        QCOMPARE(view->indexOfChild(view->child(left.size() - 1)), left.size() - 1);
    }

    void itemsFollowTheirTasksWhenRowsMove()
    {
        Ids ids;
        const FocusGroup::Id groupId = makeGroup({Task{"A"}, Task{"B"}, Task{"C"}}, &ids);
        ListWindow w(groupId);
        QVERIFY(w.show());
        QAccessibleInterface* view = QAccessible::queryAccessibleInterface(w.list);
        QAccessibleInterface* c = view->child(2);

        // C moves up: another view deletes A, the list follows the store.
        store()->removeTask(groupId, ids.first(), false);
        QTRY_COMPARE(w.list->rowCount(), 2);
        QCOMPARE(view->indexOfChild(c), 1);
        QCOMPARE(c->text(QAccessible::Name), QStringLiteral("C"));
        QCOMPARE(view->child(1), c);
        QVERIFY(c->state().checkable);
    }

    void renamedTaskAnnouncesItsName()
    {
        Ids ids;
        const FocusGroup::Id groupId = makeGroup({Task{"A"}, Task{"B"}}, &ids);
        ListWindow w(groupId);
        QVERIFY(w.show());
        QAccessibleInterface* item = QAccessible::queryAccessibleInterface(w.list)->child(1);
        QCOMPARE(item->text(QAccessible::Name), QStringLiteral("B"));
        m_told.clear();

        store()->setTaskName(ids.last(), QStringLiteral("Buy bread"));
        QTRY_COMPARE(told(QAccessible::NameChanged).size(), 1);
        QCOMPARE(told(QAccessible::NameChanged).first().name, QStringLiteral("Buy bread"));
    }

    void foundTasksNameTheirGroups()
    {
        Ids ids;
        const FocusGroup::Id groupId = makeGroup({Task{"Buy milk", "", 0}}, &ids, QStringLiteral("Errands"));
        ListWindow w(groupId);
        QVERIFY(w.show());
        w.list->showFound({FoundTask{ids.first(), groupId}});
        QAccessibleInterface* view = QAccessible::queryAccessibleInterface(w.list);
        QCOMPARE(view->text(QAccessible::Name), QStringLiteral("Found tasks"));
        QCOMPARE(view->child(0)->text(QAccessible::Name), QStringLiteral("Buy milk, due today, in Errands"));
        w.list->setGroup(groupId);
        QCOMPARE(view->text(QAccessible::Name), QStringLiteral("Errands"));
    }

    void groupRowsAreListItems_data()
    {
        QTest::addColumn<QString>("group");
        QTest::addColumn<QList<Task>>("tasks");
        QTest::addColumn<QString>("name");

        QTest::newRow("no tasks") << "Empty" << QList<Task>{} << "Empty";
        QTest::newRow("only overdue") << "Late" << QList<Task>{Task{"a", "", -2}} << "Late, 1 due today or overdue";
        QTest::newRow("all three")
            << "Work"
            << QList<Task>{Task{"a", "", -2}, Task{"b", "", 0}, Task{"c", "", 1}, Task{"d", "", 3},
                           Task{"e", "", 4}, Task{"f"}, Task{"g"}, Task{"h", "", 0, true}}
            << "Work, 2 due today or overdue, 2 due in the next three days, 3 due later or undated";
        QTest::newRow("soon and later") << "Home" << QList<Task>{Task{"a", "", 2}, Task{"b"}}
                                        << "Home, 1 due in the next three days, 1 due later or undated";
        QTest::newRow("completed only") << "Done" << QList<Task>{Task{"a", "", -1, true}} << "Done";
    }

    void groupRowsAreListItems()
    {
        QFETCH(QString, group);
        QFETCH(QList<Task>, tasks);
        QFETCH(QString, name);
        removeUserGroups();
        const FocusGroup::Id groupId = makeGroup(tasks, nullptr, group);
        PanelWindow w;
        QVERIFY(w.show());
        FocusGroupListWidget& panel = *w.panel;

        QAccessibleInterface* view = QAccessible::queryAccessibleInterface(&panel);
        QCOMPARE(view->role(), QAccessible::List);
        QCOMPARE(view->text(QAccessible::Name), QStringLiteral("Groups"));
        QCOMPARE(view->childCount(), static_cast<int>(panel.rowsInOrder().size()));
        const int index = displayIndex(panel, groupId);
        QAccessibleInterface* row = view->child(index);
        QCOMPARE(row->role(), QAccessible::ListItem);
        QCOMPARE(row->text(QAccessible::Name), name);
        QCOMPARE(row->childCount(), 0);
        QCOMPARE(row->parent(), view);
        QCOMPARE(view->indexOfChild(row), index);
        QVERIFY(row->state().selectable);
        QVERIFY(!row->state().selected);
        QVERIFY(!row->state().focused);
        const int inbox = displayIndex(panel, FocusGroup::inboxId());
        QVERIFY(view->child(inbox)->state().selected);

        focus(&panel);
        panel.selectGroup(groupId);
        QVERIFY(row->state().selected);
        QVERIFY(row->state().focused);
        QVERIFY(!view->child(inbox)->state().selected);
    }

    void groupRowAnnouncesNewCountsAndName()
    {
        removeUserGroups();
        const FocusGroup::Id groupId = makeGroup({}, nullptr, QStringLiteral("Errands"));
        PanelWindow w;
        QVERIFY(w.show());
        m_told.clear();
        const TodoTask::Id id = store()->createTask(groupId);
        store()->setTaskDue(id, QDate::currentDate().startOfDay());
        QVERIFY(!told(QAccessible::NameChanged).isEmpty());
        QCOMPARE(told(QAccessible::NameChanged).last().name, QStringLiteral("Errands, 1 due today or overdue"));
        QAccessibleInterface* today = QAccessible::queryAccessibleInterface(w.panel->rowOf(DueTasks::viewId(DueTasks::Today)));
        QTRY_COMPARE(today->text(QAccessible::Name), QStringLiteral("Today, 1 task"));

        m_told.clear();
        w.panel->rowOf(groupId)->setGroupInfo(QStringLiteral("Chores"), QString());
        QCOMPARE(told(QAccessible::NameChanged).size(), 1);
        QCOMPARE(told(QAccessible::NameChanged).first().name, QStringLiteral("Chores, 1 due today or overdue"));
    }

    void gainingTheKeyboardAnnouncesTheSelectedGroup()
    {
        removeUserGroups();
        const FocusGroup::Id work = makeGroup({Task("a", "", 0)}, nullptr, QStringLiteral("Work"));
        PanelWindow w;
        QVERIFY(w.show());
        w.panel->selectGroup(work);
        focus(w.other);
        m_told.clear();

        focus(w.panel);
        QTRY_COMPARE(told(QAccessible::Focus).size(), 1);
        QCOMPARE(told(QAccessible::Focus).first().child, displayIndex(*w.panel, work));
        QCOMPARE(told(QAccessible::Focus).first().name, QStringLiteral("Work, 1 due today or overdue"));
    }

    void keysMoveTheFocusedGroup_data()
    {
        QTest::addColumn<int>("key");
        QTest::addColumn<QString>("from");
        QTest::addColumn<QString>("to");
        QTest::newRow("Down") << int(Qt::Key_Down) << "Inbox" << "Work";
        QTest::newRow("Up") << int(Qt::Key_Up) << "Home" << "Work";
        QTest::newRow("End") << int(Qt::Key_End) << "Inbox" << "Trash";
        QTest::newRow("Up to a view") << int(Qt::Key_Up) << "Inbox" << "Upcoming";
    }

    void keysMoveTheFocusedGroup()
    {
        QFETCH(int, key);
        QFETCH(QString, from);
        QFETCH(QString, to);
        removeUserGroups();
        const FocusGroup::Id work = makeGroup({}, nullptr, QStringLiteral("Work"));
        const FocusGroup::Id home = makeGroup({}, nullptr, QStringLiteral("Home"));
        PanelWindow w;
        QVERIFY(w.show());
        FocusGroupListWidget& panel = *w.panel;
        QHash<QString, FocusGroup::Id> ids{{"Inbox", FocusGroup::inboxId()},
                                           {"Work", work},
                                           {"Home", home},
                                           {"Trash", FocusGroup::trashId()},
                                           {"Upcoming", DueTasks::viewId(DueTasks::Upcoming)}};
        panel.selectGroup(ids.value(from));
        focus(&panel);
        m_told.clear();

        QTest::keyClick(&panel, Qt::Key(key));
        const int target = displayIndex(panel, ids.value(to));
        const QList<Told> focused = told(QAccessible::Focus);
        QCOMPARE(focused.size(), 1);
        QCOMPARE(focused.first().child, target);
        QCOMPARE(focused.first().name, to);
        QCOMPARE(told(QAccessible::Selection).size(), 1);
        QCOMPARE(told(QAccessible::Selection).first().child, target);
        QCOMPARE(told(QAccessible::SelectionRemove).size(), 1);
        QCOMPARE(told(QAccessible::SelectionRemove).first().child, displayIndex(panel, ids.value(from)));
    }
};

MRV_TEST_WIDGETS_MAIN(TstAccessibility)

#include "tst_accessibility.moc"
