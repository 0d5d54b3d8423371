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

constexpr int Far = 300; // rows enough that the last is never built

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

class TstAccessibility : public QObject
{
    Q_OBJECT

private:
    TempStore m_store;
    QMultiHash<QAccessible::Event, int> m_told; // each event told with the row it names

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(m_store.ready());
        AccessibleNotifier::setSink([this](QAccessibleEvent* event) {
            m_told.insert(event->type(), event->object() ? event->child() : -1);
        });
    }

    void cleanupTestCase() { AccessibleNotifier::setSink({}); }

    void init() { clearStore(); }

    // The task list and the group panel are lists, each task and group an item whose name says
    // what the row shows, a task's with its check box. A path names the node: the view, then a
    // task's row or a group's name, then box for the task's check box. Errands holds T0, T1, ...
    // and after them, far out of view, the tasks named here.
    void nodes_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("checked");
        const auto row = [](const char* path, const char* name, bool checked = false) {
            QTest::newRow(path) << QString::fromLatin1(path) << QString::fromLatin1(name) << checked;
        };
        row("list", "Errands");
        row("list/0", "T0");
        row("list/300", "Call the dentist, due tomorrow, has notes");
        row("list/301", "Water, due today, repeats every week on Monday");
        row("list/302", "Pay rent", true);
        row("list/302/box", "Completed", true);
        row("panel", "Groups");
        row("panel/Errands", "Errands, 1 due today or overdue, 1 due in the next three days, 300 due later or undated");
        row("panel/Today", "Today, 1 task");
    }

    void nodes()
    {
        QFETCH(QString, path);
        QFETCH(QString, name);
        QFETCH(bool, checked);
        Ids ids;
        const QStringList names{QStringLiteral("Call the dentist"), QStringLiteral("Water"), QStringLiteral("Pay rent")};
        const FocusGroup::Id errands = makeGroup(numbered(Far) + names, &ids, QStringLiteral("Errands"));
        store()->setTaskNotes(ids.at(Far), QStringLiteral("Ask"));
        store()->setTaskDue(ids.at(Far), QDate::currentDate().addDays(1).startOfDay());
        store()->setTaskDue(ids.at(Far + 1), QDate::currentDate().startOfDay());
        store()->setTaskRepeat(ids.at(Far + 1), QStringLiteral("FREQ=WEEKLY;BYDAY=MO"));
        store()->setTaskCompleted(ids.at(Far + 2), true, QDateTime::currentDateTime());
        Views w(errands);
        QVERIFY(w.shown);
        const QStringList steps = path.split(QLatin1Char('/'));
        const bool inPanel = steps.first() == QLatin1String("panel");
        QAccessibleInterface* view = QAccessible::queryAccessibleInterface(inPanel ? static_cast<QWidget*>(w.panel) : w.list);
        QAccessibleInterface* node = view;
        if (steps.size() > 1) {
            const bool today = steps.at(1) == QLatin1String("Today");
            const int index = !inPanel ? steps.at(1).toInt() : w.indexOf(today ? DueTasks::viewId(DueTasks::Today) : errands);
            node = view->child(index);
            QCOMPARE(node->parent(), view);
            QCOMPARE(view->indexOfChild(node), index);
            QVERIFY(node->state().selectable);
            QCOMPARE(bool(node->state().offscreen), index >= Far);
            if (!inPanel)
                QCOMPARE(node->text(QAccessible::Description), checked ? QStringLiteral("completed") : QString());
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

    // Keys move the focused and selected item of the list or panel that has the keyboard, and
    // gaining the keyboard (no key) announces the current one. Items are tasks' rows, or in the
    // panel 0 Upcoming, 1 Inbox, 2 Work.
    void keysMoveTheFocusedItem_data()
    {
        QTest::addColumn<bool>("inPanel");
        QTest::addColumn<int>("from");
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("to");
        QTest::addColumn<int>("added"); // the event of the newly selected item
        const int add = QAccessible::SelectionAdd, only = QAccessible::Selection;
        QTest::newRow("Down") << false << 0 << int(Qt::Key_Down) << 1 << add;
        QTest::newRow("End, far out of view") << false << 0 << int(Qt::Key_End) << Far - 1 << add;
        QTest::newRow("list gains the keyboard") << false << 2 << 0 << 2 << add;
        QTest::newRow("panel: Down") << true << 1 << int(Qt::Key_Down) << 2 << only;
        QTest::newRow("panel: Up to a view") << true << 1 << int(Qt::Key_Up) << 0 << only;
        QTest::newRow("panel gains the keyboard") << true << 2 << 0 << 2 << only;
    }

    void keysMoveTheFocusedItem()
    {
        QFETCH(bool, inPanel);
        QFETCH(int, from);
        QFETCH(int, key);
        QFETCH(int, to);
        QFETCH(int, added);
        Ids ids;
        const FocusGroup::Id work = makeGroup(numbered(Far), &ids, QStringLiteral("Work"));
        const QList<FocusGroup::Id> groups{DueTasks::viewId(DueTasks::Upcoming), FocusGroup::inboxId(), work};
        Views w(work);
        QVERIFY(w.shown);
        QWidget* widget = inPanel ? static_cast<QWidget*>(w.panel) : static_cast<QWidget*>(w.list);
        const auto indexOf = [&](int item) { return inPanel ? w.indexOf(groups.at(item)) : item; };
        if (inPanel)
            w.panel->selectGroup(groups.at(from));
        else
            w.list->selectTasks({ids.at(from)}, ids.at(from));
        QWidget* first = key ? widget : w.other;
        first->setFocus();
        QTRY_VERIFY(first->hasFocus());
        QCoreApplication::processEvents();
        m_told.clear();
        if (key)
            QTest::keyClick(widget, Qt::Key(key));
        else
            widget->setFocus();
        QTRY_COMPARE(m_told.values(QAccessible::Focus), QList<int>{indexOf(to)});
        QAccessibleInterface* item = QAccessible::queryAccessibleInterface(widget)->child(indexOf(to));
        QVERIFY(item->state().focused && item->state().selected);
        if (!key)
            return;
        QCOMPARE(m_told.values(QAccessible::Event(added)), QList<int>{indexOf(to)});
        QCOMPARE(m_told.values(QAccessible::SelectionRemove), QList<int>{indexOf(from)});
    }
};

MRV_TEST_WIDGETS_MAIN(TstAccessibility)
#include "tst_accessibility.moc"
