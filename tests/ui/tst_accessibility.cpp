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

std::shared_ptr<TaskStorage> store() { return TaskCore::instance()->storage(); }

struct Task
{
    QString name = {};
    QString notes = {};
    int dueInDays = NoDue;
    bool completed = false;
};

FocusGroup::Id makeGroup(const QList<Task>& tasks, Ids* ids = nullptr, const QString& name = QString())
{
    static int counter = 0;
    const FocusGroup::Id groupId = store()->addGroup(name.isEmpty() ? QStringLiteral("Group %1").arg(++counter) : name, QString());
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

/// A window holding the group panel and another field.
class PanelWindow
{
public:
    PanelWindow()
    {
        auto* layout = new QVBoxLayout(&window);
        panel = new FocusGroupListWidget(&window);
        panel->setFixedSize(220, 500);
        layout->addWidget(panel);
        layout->addWidget(other = new QLineEdit(&window));
    }

    bool show()
    {
        const bool active = testenv::showActive(&window);
        QCoreApplication::processEvents();
        return active;
    }
    int indexOf(const FocusGroup::Id& groupId) const { return int(panel->rowsInOrder().indexOf(panel->rowOf(groupId))); }

    QWidget window;
    FocusGroupListWidget* panel = nullptr;
    QLineEdit* other = nullptr;
};

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
    uitest::TempStore m_store;
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

    /// The one event of `type` told: its row and name ("" and -2 if not exactly one).
    QPair<int, QString> toldOnce(QAccessible::Event type) const
    {
        const QList<Told> found = told(type);
        return found.size() == 1 ? qMakePair(found.first().child, found.first().name) : qMakePair(-2, QString());
    }

    /// Gives a shown widget the keyboard and lets the toolkit finish announcing it.
    void focus(QWidget* widget)
    {
        widget->setFocus(Qt::OtherFocusReason);
        QTRY_VERIFY(widget->hasFocus());
        QCoreApplication::processEvents();
    }

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(m_store.ready());
        AccessibleNotifier::setSink([this](QAccessibleEvent* event) {
            QAccessibleInterface* iface = event->accessibleInterface();
            m_told.append(Told{event->type(), event->object() ? event->child() : -1, iface ? QAccessible::uniqueId(iface) : 0,
                               iface && iface->isValid() ? iface->text(QAccessible::Name) : QString()});
        });
    }

    void cleanupTestCase() { AccessibleNotifier::setSink({}); }
    void init() { m_told.clear(); }

    void dueDateInWords_data()
    {
        QTest::addColumn<QDateTime>("due");
        QTest::addColumn<bool>("completed");
        QTest::addColumn<QString>("words");
        // Wednesday, 13 March 2024; dates in the short format of the tests' system locale (C).
        const auto day = [](int d, int hour = 0) { return QDateTime(QDate(2024, 3, d), QTime(hour, 0)); };
        QTest::newRow("none") << QDateTime() << false << QString();
        QTest::newRow("today, late") << day(13, 23) << false << "due today";
        QTest::newRow("tomorrow") << day(14) << false << "due tomorrow";
        QTest::newRow("in six days") << day(19) << false << "due Tuesday";
        QTest::newRow("in a week") << day(20) << false << "due 20 Mar 2024";
        QTest::newRow("yesterday") << day(12) << false << "overdue since 12 Mar 2024";
        QTest::newRow("last month") << QDateTime(QDate(2024, 2, 29), QTime()) << false << "overdue since 29 Feb 2024";
        QTest::newRow("yesterday, completed") << day(12) << true << "due 12 Mar 2024";
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
        QTest::addColumn<bool>("checked");
        const int far = LongList - 1;
        QTest::newRow("plain") << Task{"Call the dentist"} << 0 << false << "Call the dentist" << false;
        QTest::newRow("due tomorrow, notes") << Task{"Call the dentist", "Ask", 1} << 0 << false << "Call the dentist, due tomorrow, has notes" << false;
        QTest::newRow("blank notes") << Task{"Pay rent", " \n "} << 0 << false << "Pay rent" << false;
        QTest::newRow("completed") << Task{"Pay rent", "", NoDue, true} << 0 << false << "Pay rent" << true;
        QTest::newRow("name on two lines") << Task{"Buy\nmilk"} << 0 << false << "Buy milk" << false;
        QTest::newRow("no name") << Task{"", "", 1} << 0 << false << "Unnamed task, due tomorrow" << false;
        QTest::newRow("current") << Task{"Call the dentist"} << 0 << true << "Call the dentist" << false;
        QTest::newRow("far out of view") << Task{"Water", "", 1} << far << false << "Water, due tomorrow" << false;
        QTest::newRow("far out of view, completed") << Task{"Water", "", NoDue, true} << far << false << "Water" << true;
        QTest::newRow("far down, current") << Task{"Water"} << far << true << "Water" << false;
    }

    void taskRowsAreListItems()
    {
        QFETCH(Task, task);
        QFETCH(int, index);
        QFETCH(bool, current);
        QFETCH(QString, name);
        QFETCH(bool, checked);
        const bool offscreen = index > 0 && !current;
        Ids ids;
        ListWindow w(makeGroup(numbered(index) << task, &ids));
        QVERIFY(w.show());
        focus(w.list);
        if (current)
            w.list->selectTasks({ids.last()}, ids.last());
        if (offscreen)
            QVERIFY2(!w.list->row(index), "the row is built only when scrolled into view");

        QAccessibleInterface* view = QAccessible::queryAccessibleInterface(w.list);
        QCOMPARE(view->role(), QAccessible::List);
        QCOMPARE(view->childCount(), index + 1);
        QVERIFY(view->state().multiSelectable);
        QAccessibleInterface* item = view->child(index);
        QCOMPARE(item->role(), QAccessible::ListItem);
        QCOMPARE(item->text(QAccessible::Name), name);
        QCOMPARE(item->text(QAccessible::Description), checked ? QStringLiteral("completed") : QString());
        QCOMPARE(item->parent(), view);
        QCOMPARE(view->indexOfChild(item), index);
        QCOMPARE(view->child(index), item);
        const QAccessible::State state = item->state();
        QVERIFY(state.selectable && state.checkable);
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
        focus(w.list);
        const TodoTask::Id start = w.list->taskIdAt(from);
        w.list->selectTasks({start}, start);
        QCoreApplication::processEvents();
        m_told.clear();
        QTest::keyClick(w.list, Qt::Key(key));
        QCOMPARE(toldOnce(QAccessible::Focus), qMakePair(to, QStringLiteral("T%1").arg(to)));
        QCOMPARE(toldOnce(QAccessible::SelectionRemove).first, from);
        QCOMPARE(toldOnce(QAccessible::SelectionAdd).first, to);
        QAccessibleInterface* item = QAccessible::queryAccessibleInterface(w.list)->child(to);
        QVERIFY(item->state().focused && item->state().selected);
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
        QCOMPARE(toldOnce(QAccessible::Focus), qMakePair(2, QStringLiteral("T2")));
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
        const FocusGroup::Id groupId = makeGroup({Task{"A"}, Task{"B"}, Task{"C"}}, &ids);
        ListWindow w(groupId);
        QVERIFY(w.show());
        QAccessibleInterface* view = QAccessible::queryAccessibleInterface(w.list);
        const bool staysInTheGroup = how == QLatin1String("delete") || how == QLatin1String("store");
        QAccessibleInterface* c = staysInTheGroup ? view->child(2) : nullptr;
        const QAccessible::Id b = QAccessible::uniqueId(view->child(1));
        m_told.clear();
        if (how == QLatin1String("delete")) {
            w.list->select(1);
            w.list->deleteSelected();
        } else if (how == QLatin1String("store")) {
            store()->removeTask(groupId, ids.at(1), false);
            QTRY_COMPARE(w.list->rowCount(), 2);
        } else if (how == QLatin1String("found")) {
            w.list->showFound({FoundTask{ids.at(2), groupId}});
        } else {
            w.list->setGroup(longGroup());
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
        if (staysInTheGroup) { // the item of C follows its task to its new place
            QCOMPARE(view->indexOfChild(c), 1);
            QCOMPARE(view->child(1), c);
        }
    }

    void renamedTaskAnnouncesItsName()
    {
        Ids ids;
        ListWindow w(makeGroup({Task{"A"}, Task{"B"}}, &ids));
        QVERIFY(w.show());
        QCOMPARE(QAccessible::queryAccessibleInterface(w.list)->child(1)->text(QAccessible::Name), QStringLiteral("B"));
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
        QTest::addColumn<QList<Task>>("tasks");
        QTest::addColumn<QString>("name");
        QTest::newRow("no tasks") << QList<Task>{} << "Work";
        QTest::newRow("only overdue") << QList<Task>{Task{"a", "", -2}} << "Work, 1 due today or overdue";
        QTest::newRow("all three") << QList<Task>{Task{"a", "", -2}, Task{"b", "", 0}, Task{"c", "", 1}, Task{"d", "", 3}, Task{"e", "", 4},
                                                  Task{"f"}, Task{"g"}, Task{"h", "", 0, true}}
                                   << "Work, 2 due today or overdue, 2 due in the next three days, 3 due later or undated";
        QTest::newRow("completed only") << QList<Task>{Task{"a", "", -1, true}} << "Work";
    }

    void groupRowsAreListItems()
    {
        QFETCH(QList<Task>, tasks);
        QFETCH(QString, name);
        removeUserGroups();
        const FocusGroup::Id groupId = makeGroup(tasks, nullptr, QStringLiteral("Work"));
        PanelWindow w;
        QVERIFY(w.show());
        QAccessibleInterface* view = QAccessible::queryAccessibleInterface(w.panel);
        QCOMPARE(view->role(), QAccessible::List);
        QCOMPARE(view->text(QAccessible::Name), QStringLiteral("Groups"));
        QCOMPARE(view->childCount(), int(w.panel->rowsInOrder().size()));
        const int index = w.indexOf(groupId);
        QAccessibleInterface* row = view->child(index);
        QCOMPARE(row->role(), QAccessible::ListItem);
        QCOMPARE(row->text(QAccessible::Name), name);
        QCOMPARE(row->childCount(), 0);
        QCOMPARE(row->parent(), view);
        QCOMPARE(view->indexOfChild(row), index);
        QVERIFY(row->state().selectable && !row->state().selected && !row->state().focused);
        QAccessibleInterface* inbox = view->child(w.indexOf(FocusGroup::inboxId()));
        QVERIFY(inbox->state().selected);
        focus(w.panel);
        w.panel->selectGroup(groupId);
        QVERIFY(row->state().selected && row->state().focused);
        QVERIFY(!inbox->state().selected);
    }

    void groupRowAnnouncesNewCountsAndName()
    {
        removeUserGroups();
        const FocusGroup::Id groupId = makeGroup({}, nullptr, QStringLiteral("Errands"));
        PanelWindow w;
        QVERIFY(w.show());
        m_told.clear();
        store()->setTaskDue(store()->createTask(groupId), QDate::currentDate().startOfDay());
        QVERIFY(!told(QAccessible::NameChanged).isEmpty());
        QCOMPARE(told(QAccessible::NameChanged).last().name, QStringLiteral("Errands, 1 due today or overdue"));
        QAccessibleInterface* today = QAccessible::queryAccessibleInterface(w.panel->rowOf(DueTasks::viewId(DueTasks::Today)));
        QTRY_COMPARE(today->text(QAccessible::Name), QStringLiteral("Today, 1 task"));
        m_told.clear();
        w.panel->rowOf(groupId)->setGroupInfo(QStringLiteral("Chores"), QString());
        QCOMPARE(toldOnce(QAccessible::NameChanged).second, QStringLiteral("Chores, 1 due today or overdue"));
    }

    void gainingTheKeyboardAnnouncesTheSelectedGroup()
    {
        removeUserGroups();
        const FocusGroup::Id work = makeGroup({Task{"a", "", 0}}, nullptr, QStringLiteral("Work"));
        PanelWindow w;
        QVERIFY(w.show());
        w.panel->selectGroup(work);
        focus(w.other);
        m_told.clear();
        focus(w.panel);
        QTRY_COMPARE(told(QAccessible::Focus).size(), 1);
        QCOMPARE(toldOnce(QAccessible::Focus), qMakePair(w.indexOf(work), QStringLiteral("Work, 1 due today or overdue")));
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
        const QHash<QString, FocusGroup::Id> ids{{"Inbox", FocusGroup::inboxId()},
                                                 {"Work", makeGroup({}, nullptr, QStringLiteral("Work"))},
                                                 {"Home", makeGroup({}, nullptr, QStringLiteral("Home"))},
                                                 {"Trash", FocusGroup::trashId()},
                                                 {"Upcoming", DueTasks::viewId(DueTasks::Upcoming)}};
        PanelWindow w;
        QVERIFY(w.show());
        w.panel->selectGroup(ids.value(from));
        focus(w.panel);
        m_told.clear();
        QTest::keyClick(w.panel, Qt::Key(key));
        const int target = w.indexOf(ids.value(to));
        QCOMPARE(toldOnce(QAccessible::Focus), qMakePair(target, to));
        QCOMPARE(toldOnce(QAccessible::Selection).first, target);
        QCOMPARE(toldOnce(QAccessible::SelectionRemove).first, w.indexOf(ids.value(from)));
    }
};

MRV_TEST_WIDGETS_MAIN(TstAccessibility)

#include "tst_accessibility.moc"
