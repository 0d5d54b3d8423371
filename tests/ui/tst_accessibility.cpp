#include "core/duetasks.h"
#include "core/taskcore.h"
#include "store/taskstorage.h"
#include "support/testenv.h"
#include "support/uitestkit.h"
#include "ui/focusgrouplistwidget.h"
#include "ui/focusgroupwidget.h"
#include "ui/tasklistwidget.h"
#include "widgets/accessiblenotifier.h"

#include <QAccessible>
#include <QApplication>
#include <QHBoxLayout>
#include <QLineEdit>

#include <climits>

namespace {

using namespace uitest;
using Ids = QList<TodoTask::Id>;

constexpr int NoDue = INT_MIN;
constexpr int LongList = 3000;

struct Task
{
    QString name = {};
    QString notes = {};
    int dueInDays = NoDue;
    bool completed = false;
    QString repeat = {};
};

/// A fresh group of `before` tasks named T0, T1, ... and then `tasks`.
FocusGroup::Id makeTasks(const QString& groupName, const QList<Task>& tasks, int before = 0, Ids* ids = nullptr)
{
    QStringList numbered;
    for (int i = 0; i < before; ++i)
        numbered << QStringLiteral("T%1").arg(i);
    const FocusGroup::Id groupId = makeGroup(numbered, ids, groupName);
    for (const Task& task : tasks) {
        const TodoTask::Id id = store()->createTask(groupId);
        store()->setTaskName(id, task.name);
        store()->setTaskNotes(id, task.notes);
        store()->setTaskRepeat(id, task.repeat);
        if (task.dueInDays != NoDue)
            store()->setTaskDue(id, QDate::currentDate().addDays(task.dueInDays).startOfDay());
        if (task.completed)
            store()->setTaskCompleted(id, true, QDateTime::currentDateTime());
        if (ids)
            ids->append(id);
    }
    return groupId;
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

/// A window holding the group panel, a task list and another field.
struct Views
{
    explicit Views(const FocusGroup::Id& groupId)
    {
        auto* layout = new QHBoxLayout(&window);
        layout->addWidget(panel = new FocusGroupListWidget(&window));
        layout->addWidget(list = new TaskListWidget(groupId, &window));
        layout->addWidget(other = new QLineEdit(&window));
        panel->setFixedSize(220, 500);
        list->setFixedSize(400, 500);
    }

    bool show()
    {
        const bool active = testenv::showActive(&window);
        QCoreApplication::processEvents();
        return active;
    }
    int indexOf(const FocusGroup::Id& groupId) const
    {
        return int(panel->rowsInOrder().indexOf(panel->rowOf(groupId)));
    }

    QWidget window;
    FocusGroupListWidget* panel = nullptr;
    TaskListWidget* list = nullptr;
    QLineEdit* other = nullptr;
};

} // namespace

Q_DECLARE_METATYPE(Task)

class TstAccessibility : public QObject
{
    Q_OBJECT

private:
    TempStore m_store;
    QList<Told> m_told;

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
            const QString name = iface && iface->isValid() ? iface->text(QAccessible::Name) : QString();
            m_told.append(Told{event->type(), event->object() ? event->child() : -1,
                               iface ? QAccessible::uniqueId(iface) : 0, name});
        });
    }

    void cleanupTestCase() { AccessibleNotifier::setSink({}); }

    void init()
    {
        clearStore();
        m_told.clear();
    }

    // The task list and the group panel are lists; each task and group an item whose name
    // says what the row shows, a task's with its check box (checked when completed); found
    // tasks name their groups. A path names the node: "list/task/box" is the check box of the
    // task's item in the list.
    void itemsSayWhatTheRowsShow_data()
    {
        QTest::addColumn<Task>("task");
        QTest::addColumn<int>("before");
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("name");
        const auto row = [](const char* name, const Task& task, const char* path, const char* said, int before = 0) {
            QTest::newRow(name) << task << before << QString::fromLatin1(path) << QString::fromUtf8(said);
        };
        const Task dentist{"Call the dentist", "Ask", 1};
        const Task milk{"Buy milk", "", 0};
        const Task weekly{"Water", "", 1, false, "FREQ=WEEKLY;BYDAY=MO"};
        const Task hourly{"Water", "", 1, false, "FREQ=HOURLY"};
        row("task list", dentist, "list", "Errands");
        row("plain", Task{"Call the dentist"}, "list/task", "Call the dentist");
        row("due tomorrow, notes", dentist, "list/task", "Call the dentist, due tomorrow, has notes");
        row("repeats", weekly, "list/task", "Water, due tomorrow, repeats every week on Monday");
        row("a rule followed elsewhere only", hourly, "list/task", "Water, due tomorrow");
        row("blank notes", Task{"Pay rent", " \n "}, "list/task", "Pay rent");
        row("completed", Task{"Pay rent", "", NoDue, true}, "list/task", "Pay rent");
        row("name on two lines", Task{"Buy\nmilk"}, "list/task", "Buy milk");
        row("no name", Task{"", "", 1}, "list/task", "Unnamed task, due tomorrow");
        row("far out of view", Task{"Water", "", 1}, "list/task", "Water, due tomorrow", LongList - 1);
        row("far out of view, completed", Task{"Water", "", NoDue, true}, "list/task", "Water", LongList - 1);
        row("check box", Task{"Pay rent", "", NoDue, true}, "list/task/box", "Completed");
        row("found tasks", dentist, "found", "Found tasks");
        row("found task", milk, "found/task", "Buy milk, due today, in Errands");
        row("group panel", dentist, "panel", "Groups");
        row("group", milk, "panel/group", "Errands, 1 due today or overdue");
        row("view", milk, "panel/view", "Today, 1 task");
    }

    void itemsSayWhatTheRowsShow()
    {
        QFETCH(Task, task);
        QFETCH(int, before);
        QFETCH(QString, path);
        QFETCH(QString, name);
        Ids ids;
        const FocusGroup::Id groupId = makeTasks(QStringLiteral("Errands"), {task}, before, &ids);
        Views w(groupId);
        QVERIFY(w.show());
        const QStringList steps = path.split(QLatin1Char('/'));
        if (steps.first() == QLatin1String("found"))
            w.list->showFound({FoundTask{ids.last(), groupId}});
        const bool inPanel = steps.first() == QLatin1String("panel");
        QWidget* shownIn = inPanel ? static_cast<QWidget*>(w.panel) : static_cast<QWidget*>(w.list);
        QAccessibleInterface* view = QAccessible::queryAccessibleInterface(shownIn);
        QAccessibleInterface* node = view;
        int index = before;
        if (steps.size() > 1 && inPanel) {
            const bool isView = steps.at(1) == QLatin1String("view");
            const FocusGroup::Id shown = isView ? DueTasks::viewId(DueTasks::Today) : groupId;
            index = w.indexOf(shown);
            QTRY_COMPARE(QAccessible::queryAccessibleInterface(w.panel->rowOf(shown))->text(QAccessible::Name), name);
        }
        if (steps.size() > 1) {
            node = view->child(index);
            QCOMPARE(node->parent(), view);
            QCOMPARE(view->indexOfChild(node), index);
            QCOMPARE(view->child(index), node);
            QVERIFY(node->state().selectable);
        }
        if (steps.size() > 2) {
            QCOMPARE(node->childCount(), 1);
            QCOMPARE(node->child(0)->parent(), node);
            node = node->child(0);
        }
        const QAccessible::Role role = path.endsWith(QLatin1String("box")) ? QAccessible::CheckBox
                                       : steps.size() > 1                  ? QAccessible::ListItem
                                                                           : QAccessible::List;
        const bool checked = task.completed && path.contains(QLatin1String("task"));
        QCOMPARE(node->role(), role);
        QCOMPARE(node->text(QAccessible::Name), name);
        QCOMPARE(bool(node->state().checked), checked);
        if (path.endsWith(QLatin1String("/task"))) {
            QCOMPARE(node->text(QAccessible::Description), checked ? QStringLiteral("completed") : QString());
            QCOMPARE(bool(node->state().offscreen), before > 0);
        }
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
        Views w(makeTasks({}, {}, LongList));
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

    // Keys move the focused and selected item of the list or panel that has the keyboard, and
    // gaining the keyboard (no key) announces the current one. Tasks are T0, T1, ...; groups
    // go by their names.
    void keysMoveTheFocusedItem_data()
    {
        QTest::addColumn<bool>("inPanel");
        QTest::addColumn<QString>("from");
        QTest::addColumn<int>("key");
        QTest::addColumn<QString>("to");
        QTest::addColumn<int>("added"); // the event of the newly selected item
        const int add = QAccessible::SelectionAdd, only = QAccessible::Selection;
        QTest::newRow("Down") << false << "T0" << int(Qt::Key_Down) << "T1" << add;
        QTest::newRow("Up") << false << "T5" << int(Qt::Key_Up) << "T4" << add;
        QTest::newRow("End") << false << "T0" << int(Qt::Key_End) << "T2999" << add;
        QTest::newRow("Home") << false << "T2999" << int(Qt::Key_Home) << "T0" << add;
        QTest::newRow("list gains the keyboard") << false << "T2" << 0 << "T2" << add;
        QTest::newRow("panel: Down") << true << "Inbox" << int(Qt::Key_Down) << "Work" << only;
        QTest::newRow("panel: Up") << true << "Home" << int(Qt::Key_Up) << "Work" << only;
        QTest::newRow("panel: End") << true << "Inbox" << int(Qt::Key_End) << "Trash" << only;
        QTest::newRow("panel: Up to a view") << true << "Inbox" << int(Qt::Key_Up) << "Upcoming" << only;
        QTest::newRow("panel gains the keyboard") << true << "Work" << 0 << "Work" << only;
    }

    void keysMoveTheFocusedItem()
    {
        QFETCH(bool, inPanel);
        QFETCH(QString, from);
        QFETCH(int, key);
        QFETCH(QString, to);
        QFETCH(int, added);
        Ids ids;
        const QHash<QString, FocusGroup::Id> groups{{"Inbox", FocusGroup::inboxId()},
                                                    {"Work", makeTasks(QStringLiteral("Work"), {}, LongList, &ids)},
                                                    {"Home", makeTasks(QStringLiteral("Home"), {})},
                                                    {"Trash", FocusGroup::trashId()},
                                                    {"Upcoming", DueTasks::viewId(DueTasks::Upcoming)}};
        Views w(groups.value("Work"));
        QVERIFY(w.show());
        QWidget* widget = inPanel ? static_cast<QWidget*>(w.panel) : static_cast<QWidget*>(w.list);
        const auto indexOf = [&](const QString& name) {
            return inPanel ? w.indexOf(groups.value(name)) : name.mid(1).toInt();
        };
        if (inPanel)
            w.panel->selectGroup(groups.value(from));
        else
            w.list->selectTasks({ids.at(indexOf(from))}, ids.at(indexOf(from)));
        focus(key ? widget : w.other);
        m_told.clear();
        if (key)
            QTest::keyClick(widget, Qt::Key(key));
        else
            focus(widget);
        QTRY_COMPARE(told(QAccessible::Focus).size(), 1);
        QCOMPARE(toldOnce(QAccessible::Focus).first, indexOf(to));
        QCOMPARE(toldOnce(QAccessible::Focus).second.section(QLatin1Char(','), 0, 0), to);
        QAccessibleInterface* item = QAccessible::queryAccessibleInterface(widget)->child(indexOf(to));
        QVERIFY(item->state().focused && item->state().selected);
        if (!key)
            return;
        QCOMPARE(toldOnce(QAccessible::Event(added)).first, indexOf(to));
        QCOMPARE(toldOnce(QAccessible::SelectionRemove).first, indexOf(from));
    }

    void manySelectedRowsAreToldAtOnce()
    {
        Views w(makeTasks({}, {}, LongList));
        QVERIFY(w.show());
        focus(w.list);
        w.list->select(0);
        m_told.clear();
        QTest::keyClick(w.list, Qt::Key_A, Qt::ControlModifier);
        QCOMPARE(told(QAccessible::SelectionWithin).size(), 1);
        QVERIFY(told(QAccessible::SelectionAdd).isEmpty());
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
        const FocusGroup::Id groupId = makeGroup(letters(QStringLiteral("ABC")), &ids);
        Views w(groupId);
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
            w.list->setGroup(makeTasks({}, {}, LongList));
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

    // A renamed task, a group whose counts or name change: the new name is told.
    void newNamesAreTold()
    {
        Ids ids;
        const FocusGroup::Id groupId = makeGroup(letters(QStringLiteral("AB")), &ids, QStringLiteral("Errands"));
        Views w(groupId);
        QVERIFY(w.show());
        QCOMPARE(QAccessible::queryAccessibleInterface(w.list)->child(1)->text(QAccessible::Name), QStringLiteral("B"));
        m_told.clear();
        store()->setTaskName(ids.last(), QStringLiteral("Buy bread"));
        QTRY_COMPARE(told(QAccessible::NameChanged).size(), 1);
        QCOMPARE(told(QAccessible::NameChanged).first().name, QStringLiteral("Buy bread"));
        m_told.clear();
        store()->setTaskDue(ids.first(), QDate::currentDate().startOfDay());
        QStringList names;
        for (const Told& entry : told(QAccessible::NameChanged))
            names << entry.name;
        const QString counts = QStringLiteral(", 1 due today or overdue, 1 due later or undated");
        QVERIFY2(names.contains(QStringLiteral("Errands") + counts), qPrintable(names.join(QLatin1Char('|'))));
        m_told.clear();
        w.panel->rowOf(groupId)->setGroupInfo(QStringLiteral("Chores"), QString());
        QCOMPARE(toldOnce(QAccessible::NameChanged).second, QStringLiteral("Chores") + counts);
    }
};

MRV_TEST_WIDGETS_MAIN(TstAccessibility)
#include "tst_accessibility.moc"
