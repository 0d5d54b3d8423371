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
constexpr int Far = 300; // rows enough that the last is never built

struct Task
{
    QString name = {};
    QString notes = {};
    int dueInDays = NoDue;
    bool completed = false;
    QString repeat = {};
};

/// A window holding the group panel, a task list and another field, shown.
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
        shown = testenv::showActive(&window);
        QCoreApplication::processEvents();
    }
    int indexOf(const FocusGroup::Id& groupId) const
    {
        return int(panel->rowsInOrder().indexOf(panel->rowOf(groupId)));
    }

    QWidget window;
    FocusGroupListWidget* panel = nullptr;
    TaskListWidget* list = nullptr;
    QLineEdit* other = nullptr;
    bool shown = false;
};

} // namespace

Q_DECLARE_METATYPE(Task)

class TstAccessibility : public QObject
{
    Q_OBJECT

private:
    TempStore m_store;
    /// What a screen reader was told: each event with the row it names.
    QList<QPair<QAccessible::Event, int>> m_told;
    QMultiHash<QAccessible::Event, int> told() const
    {
        QMultiHash<QAccessible::Event, int> events;
        for (const auto& [type, child] : m_told)
            events.insert(type, child);
        return events;
    }

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(m_store.ready());
        AccessibleNotifier::setSink([this](QAccessibleEvent* event) {
            m_told.append({event->type(), event->object() ? event->child() : -1});
        });
    }

    void cleanupTestCase() { AccessibleNotifier::setSink({}); }

    void init() { clearStore(); }

    // The task list and the group panel are lists; each task and group an item whose name
    // says what the row shows, a task's with its check box (checked when completed). A path
    // names the node: "list/task/box" is the check box of the task's item in the list.
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
        const Task done{"Pay rent", "", NoDue, true};
        row("task list", dentist, "list", "Errands");
        row("due tomorrow, notes", dentist, "list/task", "Call the dentist, due tomorrow, has notes");
        const Task weekly{"Water", "", 1, false, "FREQ=WEEKLY;BYDAY=MO"};
        row("repeats", weekly, "list/task", "Water, due tomorrow, repeats every week on Monday");
        row("far out of view", Task{"Water", "", 1}, "list/task", "Water, due tomorrow", Far);
        row("completed", done, "list/task", "Pay rent");
        row("check box", done, "list/task/box", "Completed");
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
        const FocusGroup::Id groupId = makeGroup(numbered(before), nullptr, QStringLiteral("Errands"));
        const TodoTask::Id id = store()->createTask(groupId);
        store()->setTaskName(id, task.name);
        store()->setTaskNotes(id, task.notes);
        store()->setTaskRepeat(id, task.repeat);
        if (task.dueInDays != NoDue)
            store()->setTaskDue(id, QDate::currentDate().addDays(task.dueInDays).startOfDay());
        store()->setTaskCompleted(id, task.completed, QDateTime::currentDateTime());
        Views w(groupId);
        QVERIFY(w.shown);
        const QStringList steps = path.split(QLatin1Char('/'));
        const bool inPanel = steps.first() == QLatin1String("panel");
        QWidget* shownIn = inPanel ? static_cast<QWidget*>(w.panel) : static_cast<QWidget*>(w.list);
        QAccessibleInterface* view = QAccessible::queryAccessibleInterface(shownIn);
        QAccessibleInterface* node = view;
        int index = before;
        if (steps.size() > 1 && inPanel) {
            const FocusGroup::Id shown = steps.at(1) == QLatin1String("view") ? DueTasks::viewId(DueTasks::Today) : groupId;
            index = w.indexOf(shown);
            QTRY_COMPARE(QAccessible::queryAccessibleInterface(w.panel->rowOf(shown))->text(QAccessible::Name), name);
        }
        if (steps.size() > 1) {
            node = view->child(index);
            QCOMPARE(node->parent(), view);
            QCOMPARE(view->indexOfChild(node), index);
            QVERIFY(node->state().selectable);
        }
        if (steps.size() > 2) {
            QCOMPARE(node->childCount(), 1);
            node = node->child(0);
        }
        const QAccessible::Role role = steps.size() == 3   ? QAccessible::CheckBox
                                       : steps.size() == 2 ? QAccessible::ListItem
                                                           : QAccessible::List;
        const bool checked = task.completed && steps.size() > 1 && !inPanel;
        QCOMPARE(node->role(), role);
        QCOMPARE(node->text(QAccessible::Name), name);
        QCOMPARE(bool(node->state().checked), checked);
        if (steps.size() == 2 && !inPanel) {
            QCOMPARE(node->text(QAccessible::Description), checked ? QStringLiteral("completed") : QString());
            QCOMPARE(bool(node->state().offscreen), before > 0);
        }
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
        QTest::newRow("End, far out of view") << false << "T0" << int(Qt::Key_End) << "T299" << add;
        QTest::newRow("list gains the keyboard") << false << "T2" << 0 << "T2" << add;
        QTest::newRow("panel: Down") << true << "Inbox" << int(Qt::Key_Down) << "Work" << only;
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
                                                    {"Work", makeGroup(numbered(Far), &ids, QStringLiteral("Work"))},
                                                    {"Upcoming", DueTasks::viewId(DueTasks::Upcoming)}};
        Views w(groups.value("Work"));
        QVERIFY(w.shown);
        QWidget* widget = inPanel ? static_cast<QWidget*>(w.panel) : static_cast<QWidget*>(w.list);
        const auto indexOf = [&](const QString& name) {
            return inPanel ? w.indexOf(groups.value(name)) : name.mid(1).toInt();
        };
        if (inPanel)
            w.panel->selectGroup(groups.value(from));
        else
            w.list->selectTasks({ids.at(indexOf(from))}, ids.at(indexOf(from)));
        QWidget* first = key ? widget : w.other;
        first->setFocus();
        QTRY_VERIFY(first->hasFocus());
        QCoreApplication::processEvents();
        m_told.clear();
        if (key)
            QTest::keyClick(widget, Qt::Key(key));
        else
            widget->setFocus();
        QTRY_COMPARE(told().values(QAccessible::Focus), QList<int>{indexOf(to)});
        QAccessibleInterface* item = QAccessible::queryAccessibleInterface(widget)->child(indexOf(to));
        QVERIFY(item->state().focused && item->state().selected);
        QVERIFY(item->text(QAccessible::Name).startsWith(to));
        if (!key)
            return;
        QCOMPARE(told().values(QAccessible::Event(added)), QList<int>{indexOf(to)});
        QCOMPARE(told().values(QAccessible::SelectionRemove), QList<int>{indexOf(from)});
    }
};

MRV_TEST_WIDGETS_MAIN(TstAccessibility)
#include "tst_accessibility.moc"
