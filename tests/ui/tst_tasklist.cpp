#include "support/testenv.h"
#include "support/uitestkit.h"

#include "base/identity.h"
#include "core/duetasks.h"
#include "core/taskcore.h"
#include "store/taskstorage.h"
#include "ui/dragregistry.h"
#include "ui/grouphintwidget.h"
#include "ui/tasklistwidget.h"
#include "ui/taskwidget.h"
#include "ui/toolbaractions.h"
#include "widgets/datewidget.h"
#include "widgets/fancylineedit.h"

#include <QAction>
#include <QApplication>
#include <QDragEnterEvent>
#include <QHash>
#include <QPointer>

#include <algorithm>

namespace {

using namespace uitest;
using Ids = QList<TodoTask::Id>;

constexpr int Below = -1; // no row: the space below the last one
constexpr int LongList = 10000;
const QDate ViewDay(2001, 5, 10); // long before any due date of other tests

#define SHOW(groupId)        \
    ListWindow w(groupId);   \
    QVERIFY(w.show());       \
    TaskListWidget& list = *w.list

Ids storeIds(const FocusGroup::Id& groupId) { return store()->group(groupId).taskIds(); }

Ids rowIds(const TaskListWidget& list)
{
    Ids ids;
    for (int i = 0; i < list.rowCount(); ++i)
        ids << list.taskIdAt(i);
    return ids;
}

bool listedAnywhere(const TodoTask::Id& taskId)
{
    const QList<FocusGroup::Id> groups = store()->groupIds();
    return std::any_of(groups.cbegin(), groups.cend(), [&](const FocusGroup::Id& id) { return store()->group(id).contains(taskId); });
}

QPoint rowCentre(TaskListWidget& list, int index)
{
    if (index == Below) {
        int y = 300;
        if (list.rowCount() > 0) {
            TaskWidget* last = list.row(list.rowCount() - 1);
            y = last->mapTo(list.viewport(), QPoint(0, last->height())).y() + 40;
        }
        return QPoint(list.viewport()->width() / 2, qMin(y, list.viewport()->height() - 5));
    }
    list.ensureIndexVisible(index);
    TaskWidget* row = list.row(index);
    return row->mapTo(list.viewport(), row->rect().center());
}

template <typename Event>
bool sendDrag(TaskListWidget& list, const QPoint& point, const QMimeData* mime)
{
    Event event(point, Qt::MoveAction, mime, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(list.viewport(), &event);
    return event.isAccepted();
}
constexpr auto dragEnter = &sendDrag<QDragEnterEvent>;
constexpr auto dragMove = &sendDrag<QDragMoveEvent>;
constexpr auto drop = &sendDrag<QDropEvent>;

/// Plays steps such as "1 ^3 +e D". A row number or e (the space below the rows) is clicked, *1
/// double clicked, ~1 only pressed; >1, >e and >1g drag the selection onto row 1, below the rows or
/// onto the gap under row 1. Keys: D(own), U(p), A, H(ome), Z (End), P(age down), Q (page up),
/// R(eturn), X (Escape), S(pace), K (Delete); ^ adds Ctrl, + adds Shift, @ sends the key to the
/// focused field instead of the list. N is New, =Bob types Bob, C cleans up, T sends the group to
/// Trash and shows Trash. Changes made elsewhere: !1 sends row 1 to Trash, !N adds a task, !M moves
/// every task to Trash, !T empties Trash.
void play(TaskListWidget& list, const QString& steps)
{
    static const QHash<char, Qt::Key> keys = {
        {'D', Qt::Key_Down},     {'U', Qt::Key_Up},       {'A', Qt::Key_A},      {'H', Qt::Key_Home},
        {'Z', Qt::Key_End},      {'P', Qt::Key_PageDown}, {'Q', Qt::Key_PageUp}, {'R', Qt::Key_Return},
        {'X', Qt::Key_Escape},   {'S', Qt::Key_Space},    {'K', Qt::Key_Delete}};
    const FocusGroup::Id groupId = list.group();
    for (QString step : steps.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
        const QChar first = step.front();
        if (first == QLatin1Char('=')) {
            testenv::typeText(QApplication::focusWidget(), step.mid(1));
        } else if (step == QLatin1String("N")) {
            list.newTask();
        } else if (step == QLatin1String("C")) {
            list.cleanup();
        } else if (step == QLatin1String("T")) {
            store()->removeTasks(groupId, storeIds(groupId), false);
            list.setGroup(FocusGroup::trashId());
        } else if (first == QLatin1Char('!')) {
            const QChar what = step.back();
            if (what == QLatin1Char('N'))
                store()->createTask(groupId);
            else if (what == QLatin1Char('M'))
                store()->moveTasks(groupId, FocusGroup::trashId(), storeIds(groupId));
            else if (what == QLatin1Char('T'))
                store()->emptyTrash();
            else
                store()->removeTask(groupId, list.taskIdAt(what.digitValue()), false);
            QTRY_COMPARE(rowIds(list), storeIds(groupId));
        } else {
            const Qt::KeyboardModifiers mods = first == QLatin1Char('^')   ? Qt::ControlModifier
                                               : first == QLatin1Char('+') ? Qt::ShiftModifier
                                                                           : Qt::NoModifier;
            if (QStringLiteral("^+*~>@").contains(first))
                step.remove(0, 1);
            const char c = step.at(0).toLatin1();
            if (keys.contains(c)) {
                QTest::keyClick(first == QLatin1Char('@') ? QApplication::focusWidget() : &list, keys.value(c), mods);
                continue;
            }
            const int index = c == 'e' ? Below : c - '0';
            QPoint point = rowCentre(list, index);
            if (first == QLatin1Char('*')) { // press, release, double click, release: a real double click
                QTest::mouseClick(list.viewport(), Qt::LeftButton, Qt::NoModifier, point);
                QTest::mouseDClick(list.viewport(), Qt::LeftButton, Qt::NoModifier, point);
                QTest::mouseRelease(list.viewport(), Qt::LeftButton, Qt::NoModifier, point);
            } else if (first == QLatin1Char('~')) {
                QTest::mousePress(list.viewport(), Qt::LeftButton, Qt::NoModifier, point);
            } else if (first != QLatin1Char('>')) {
                QTest::mouseClick(list.viewport(), Qt::LeftButton, mods, point);
            } else {
                Ids dragged;
                for (int i : list.selectedIndexes())
                    dragged << list.taskIdAt(i);
                FakeDrag drag(groupId, dragged);
                QVERIFY(dragEnter(list, rowCentre(list, 0), &drag.mime));
                QVERIFY(dragMove(list, point, &drag.mime));
                if (step.endsWith(QLatin1Char('g'))) { // the gap between two rows belongs to no row: the marker stays
                    TaskWidget* row = list.row(index);
                    point = row->mapTo(list.viewport(), QPoint(row->width() / 2, row->height()));
                    QCOMPARE(list.rowAt(point), -1);
                    QVERIFY(dragMove(list, point, &drag.mime));
                }
                QCOMPARE(list.dropIndex(), index == Below ? list.rowCount() - 1 : index);
                QCOMPARE(list.dropBefore(), index != Below);
                const bool accepted = dragged.size() < list.rowCount();
                QCOMPARE(drop(list, point, &drag.mime), accepted);
                QCOMPARE(list.dropIndex(), -1);
                QCOMPARE(drag.data->resultAction, accepted ? int(DragGroup::Reordered) : int(DragGroup::NoResult));
            }
        }
    }
}

/// The names of a group's tasks as the table of actions writes them: _ for no name, * after a
/// completed one; then Trash's and Completed's when not empty.
QString outcomeOf(const FocusGroup::Id& groupId, bool others = true)
{
    const QString trash = others ? outcomeOf(FocusGroup::trashId(), false) : QString();
    const QString completed = others ? outcomeOf(FocusGroup::completedId(), false) : QString();
    QStringList names;
    for (const TodoTask::Id& id : storeIds(groupId)) {
        const TodoTask task = store()->task(id);
        names << (task.name().isEmpty() ? QStringLiteral("_") : task.name()) + (task.completed() ? QStringLiteral("*") : QString());
    }
    QString outcome = names.join(QLatin1Char(' '));
    if (!trash.isEmpty() || !completed.isEmpty())
        outcome += QLatin1Char('|') + trash;
    if (!completed.isEmpty())
        outcome += QLatin1Char('|') + completed;
    return outcome;
}

} // namespace

class TstTaskList : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { QVERIFY(m_store.ready()); }
    void cleanupTestCase() { DragRegistry::destroy(); }

    // A long list builds rows only around the view; keys, selection, store changes, Delete,
    // drags and the editor still reach every row.
    void longListReachesEveryRow()
    {
        Ids ids;
        const FocusGroup::Id groupId = makeGroup(numbered(LongList), &ids);
        SHOW(groupId);
        list.setFocus();
        const int last = LongList - 1;
        for (const auto& [steps, current] : {qMakePair("Z", last), qMakePair("Z H", 0), qMakePair("Z Q P", last)}) {
            play(list, QString::fromLatin1(steps));
            QCOMPARE(list.currentIndex(), current);
            TaskWidget* row = list.row(current);
            QVERIFY(row && row->isSelected());
            QCOMPARE(row->taskId(), ids.at(current));
            QVERIFY(list.viewport()->rect().contains(QRect(row->mapTo(list.viewport(), QPoint()), row->size())));
            QCOMPARE(list.rowAt(rowCentre(list, current)), current);
        }
        QVERIFY(list.widget()->findChildren<TaskWidget*>().size() < 100); // far fewer row widgets than rows

        // The editor keeps its row in place, the rows below it follow its height; typing is kept.
        list.setEditing(5000);
        TaskWidget* open = list.editedRow();
        QVERIFY(open->height() > list.row(5001)->height());
        QCOMPARE(list.rowAt(rowCentre(list, 5001)), 5001);
        list.ensureIndexVisible(0);
        QCOMPARE(list.editedRow(), open);
        testenv::typeText(open->nameEdit(), QStringLiteral("Kept"));
        QTest::keyClick(&list, Qt::Key_Escape);
        QCOMPARE(store()->task(ids.at(5000)).name(), QStringLiteral("Kept"));

        // A selection over rows never built survives scrolling, shows a store change, and goes
        // to Trash with Delete.
        play(list, QStringLiteral("5"));
        for (int page = 0; page < 40; ++page)
            QTest::keyClick(&list, Qt::Key_PageDown, Qt::ShiftModifier);
        const QList<int> selected = list.selectedIndexes();
        QVERIFY(selected.size() > 200);
        QCOMPARE(selected.first(), 5);
        QCOMPARE(selected.last(), list.currentIndex());
        QCOMPARE(selected.size(), selected.last() - 4);
        for (int index : {LongList - 1, 0, selected.at(selected.size() / 2)}) {
            list.ensureIndexVisible(index);
            QCOMPARE(list.selectedIndexes(), selected);
            QCOMPARE(list.row(index)->isSelected(), selected.contains(index));
        }
        store()->setTaskName(ids.at(LongList - 1), QStringLiteral("Renamed"));
        list.ensureIndexVisible(LongList - 1);
        QTRY_COMPARE(list.row(LongList - 1)->label()->text(), QStringLiteral("Renamed"));
        QTest::keyClick(&list, Qt::Key_Delete);
        Ids expected = ids;
        expected.erase(expected.begin() + 5, expected.begin() + selected.last() + 1);
        QCOMPARE(rowIds(list), expected);
        QCOMPARE(storeIds(groupId), expected);
        const Ids trash = storeIds(FocusGroup::trashId());
        QCOMPARE(trash.mid(trash.size() - selected.size()), ids.mid(5, selected.size()));
        list.ensureIndexVisible(5);
        QCOMPARE(list.row(5)->taskId(), expected.at(5));

        // Rows dragged from in and out of view land together where dropped.
        const QList<int> from{1, 2, int(expected.size()) - 2};
        Ids dragged;
        for (int index : from) {
            list.select(index);
            dragged << expected.at(index);
        }
        FakeDrag drag(groupId, dragged);
        const QPoint point = rowCentre(list, 7000);
        QVERIFY(dragEnter(list, point, &drag.mime) && drop(list, point, &drag.mime));
        for (int index : {from.at(2), 2, 1})
            expected.removeAt(index);
        for (int i = 0; i < 3; ++i)
            expected.insert(6998 + i, dragged.at(i));
        QCOMPARE(rowIds(list), expected);
        QCOMPARE(storeIds(groupId), expected);
        QCOMPARE(list.selectedIndexes(), (QList<int>{6998, 6999, 7000}));
        for (int i = 6990; i < 7010; ++i)
            QCOMPARE(list.rowAt(rowCentre(list, i)), i);
    }

    // Keys, clicks, drags and changes made elsewhere on a shown group: its list, Trash's and
    // Completed's afterwards (after |), the selection, the current row and the row open in the editor.
    void actions_data()
    {
        QTest::addColumn<QString>("names");
        QTest::addColumn<QString>("steps");
        QTest::addColumn<QString>("outcome");
        QTest::addColumn<QList<int>>("selected");
        QTest::addColumn<int>("current");
        QTest::addColumn<int>("open");
        struct
        {
            void operator()(const char* name, const char* steps, const QList<int>& selected, int current, int open = -1,
                            const char* outcome = "A B C D", const char* names = "ABCD") const
            {
                QTest::newRow(name) << QString::fromLatin1(names) << QString::fromUtf8(steps) << QString::fromUtf8(outcome)
                                    << selected << current << open;
            }
        } row;
        row("click selects one", "1", {1}, 1);
        row("ctrl click adds", "1 ^3", {1, 3}, 3);
        row("shift click up", "3 +0", {0, 1, 2, 3}, 3);
        row("shift click shrinks", "0 +3 +1", {0, 1}, 0);
        row("shift click without anchor", "+2", {2}, 2);
        row("press in a multiple selection keeps it for a drag", "0 ^2 ~0", {0, 2}, 0);
        row("plain click in a multiple selection", "0 ^2 ^3 2", {2}, 2);
        row("click on empty space", "1 ^2 e", {}, -1);
        row("ctrl click on empty space", "1 ^e", {1}, 1);
        row("down", "0 D", {1}, 1);
        row("up", "2 U", {1}, 1);
        row("shift down extends", "0 +D", {0, 1}, 1);
        row("up without current selects the last", "U", {3}, 3);
        row("down without current selects the first", "D", {0}, 0);
        row("down at the end", "3 D", {3}, 3);
        row("up at the top", "0 U", {0}, 0);
        row("ctrl A selects all", "1 ^A", {0, 1, 2, 3}, 1);
        row("home", "2 H", {0}, 0);
        row("ctrl end without current", "^Z", {3}, 3);
        row("shift end selects the range", "1 +Z", {1, 2, 3}, 3);
        row("page down stops at the last", "0 P", {3}, 3);
        row("page up stops at the first", "3 Q", {0}, 0);
        row("A alone", "2 A", {2}, 2);
        // The editor
        row("return opens the current row", "1 R", {1}, 1, 1);
        row("return without current opens nothing", "R", {}, -1);
        row("editor closed by Escape", "1 R X", {1}, 1);
        row("double click opens", "0 *1", {1}, 1, 1);
        row("moving and deleting keys do nothing while editing", "0 *1 D U K", {1}, 1, 1);
        row("a click on another row closes the editor", "*1 2", {2}, 2);
        row("the editor's Return does not open it again", "1 R @R", {1}, 1);
        // New rows: kept when named, gone on Escape when left blank
        row("new", "N", {4}, 4, 4, "A B C D _");
        row("new, nothing typed", "N X", {}, -1, -1);
        row("new in an empty group, nothing typed", "N X", {}, -1, -1, "", "");
        row("new, named", "N =Bob X", {4}, 4, -1, "A B C D Bob");
        row("shift return, non-ASCII name", "0 +R =Café X", {4}, 4, -1, "A B C D Café");
        row("double click below, nothing typed", "0 *e X", {}, -1);
        row("new again while the first is blank", "N N =Second @R", {4}, 4, -1, "A B C D Second");
        // Space and Delete
        row("space completes the selection", "0 ^2 S", {0, 2}, 2, -1, "A* B C* D");
        row("space again reopens it", "0 ^2 S S", {0, 2}, 2);
        row("delete sends to Trash", "0 ^2 K", {}, -1, -1, "B D|A C");
        row("delete in Trash is for good", "T 0 ^2 K", {}, -1, -1, "|B D");
        // Dragging the selection
        row("before an undragged row, down", "0 >2", {1}, 1, -1, "B A C D");
        row("before an undragged row, up", "3 >0", {0}, 0, -1, "D A B C");
        row("several before a row", "0 ^3 >2", {1, 2}, 2, -1, "B A D C");
        row("after the last row", "0 >e", {3}, 3, -1, "B C D A");
        row("several after the last row", "1 ^2 >e", {2, 3}, 3, -1, "A D B C");
        row("on a dragged row: nearest undragged below", "0 ^2 >2", {1, 2}, 2, -1, "B A C D");
        row("on a dragged row: nearest undragged above", "1 ^3 >3", {1, 2}, 2, -1, "A B D C");
        row("all rows dragged: refused", "0 ^A >1", {0, 1, 2, 3}, 0);
        row("over the gap between two rows", "2 >1g", {1}, 1, -1, "A C B D");
        // Cleaning up: completed tasks to Completed in their order, nameless ones to Trash
        row("clean-up closes the editor", "0 ^3 S 2 R C", {0}, 0, -1, "C|_|A* D*", "A_CD");
        // Changes made elsewhere: rows go and come, the rest stays usable
        row("elsewhere: a row sent to Trash", "!1 2 U R", {1}, 1, 1, "A C D|B");
        row("elsewhere: the selected row", "1 !1", {}, -1, -1, "A C D|B");
        row("elsewhere: the open row", "1 R !1", {}, -1, -1, "A C D|B");
        row("elsewhere: a task added while a new row is open", "N !N 5", {4}, 4, -1, "A B C D _");
        row("elsewhere: every task moved away", "0 ^2 !M U D K R e", {}, -1, -1, "|A B C D");
        row("elsewhere: Trash emptied", "T 0 ^2 1 R !T U D K R e", {}, -1, -1, "");
    }

    void actions()
    {
        QFETCH(QString, names);
        QFETCH(QString, steps);
        QFETCH(QString, outcome);
        QFETCH(QList<int>, selected);
        QFETCH(int, current);
        QFETCH(int, open);
        clearStore();
        Ids known;
        const FocusGroup::Id groupId = makeGroup(letters(names).replaceInStrings(QStringLiteral("_"), QString()), &known);
        SHOW(groupId);
        for (const QString& step : steps.split(QLatin1Char(' '))) {
            play(list, step);
            if (QTest::currentTestFailed())
                return;
            known << rowIds(list);
        }
        QCoreApplication::processEvents();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCOMPARE(outcomeOf(groupId), outcome);
        QCOMPARE(rowIds(list), storeIds(list.group()));
        QCOMPARE(list.selectedIndexes(), selected);
        QCOMPARE(list.currentIndex(), current);
        QCOMPARE(list.editedRow() ? list.indexOfTask(list.editedRow()->taskId()) : -1, open);
        QCOMPARE(editTaskAction()->isEnabled(), current >= 0);
        QCOMPARE(bool(list.hint()), list.rowCount() == 0);
        QCOMPARE(list.widget()->findChildren<TaskWidget*>().size(), list.rowCount());
        for (int i = 0; i < list.rowCount(); ++i) {
            QCOMPARE(list.row(i)->isSelected(), selected.contains(i));
            QCOMPARE(list.row(i)->viewCheckbox()->isChecked(), store()->task(list.taskIdAt(i)).completed());
            QVERIFY(i == 0 || list.row(i)->geometry().top() > list.row(i - 1)->geometry().bottom());
            QCOMPARE(list.rowAt(rowCentre(list, i)), i);
        }
        // What the outcome does not list is listed nowhere.
        for (const TodoTask::Id& id : std::as_const(known)) {
            bool shown = false;
            for (const FocusGroup::Id& group : {FocusGroup::trashId(), FocusGroup::completedId(), groupId})
                shown = shown || store()->group(group).contains(id);
            QCOMPARE(listedAnywhere(id), shown);
        }
    }

    // Escape typed in any field closes the editor; in the due date's open calendar the first
    // Escape closes only the calendar.
    void escapeInAnyFieldClosesTheEditor()
    {
        SHOW(makeGroup(letters(QStringLiteral("ABC"))));
        play(list, QStringLiteral("1"));
        TaskWidget* row = list.row(1);
        for (int field = 0; field < 3; ++field) {
            QTest::keyClick(&list, Qt::Key_Return);
            QTRY_COMPARE(QApplication::focusWidget(), row->nameEdit());
            QWidget* target = field == 0 ? static_cast<QWidget*>(row->nameEdit())
                              : field == 1 ? static_cast<QWidget*>(row->notesEdit())
                                           : static_cast<QWidget*>(row->dateWidget()->edit());
            target->setFocus();
            QTRY_COMPARE(QApplication::focusWidget(), target);
            if (field == 2) {
                QVERIFY(row->dateWidget()->popup());
                QTest::keyClick(target, Qt::Key_Escape);
                QVERIFY(!row->dateWidget()->popup());
                QVERIFY(row->isEditing());
            }
            QTest::keyClick(target, Qt::Key_Escape);
            QVERIFY(!row->isEditing());
        }
        QVERIFY(!list.editedRow() && !row->nameEdit());
        QCOMPARE(list.selectedIndexes(), QList<int>{1});
    }

    // What no drag of the program's carries, or a group's drag, is refused.
    void foreignDropsAreRefused()
    {
        Ids ids;
        const FocusGroup::Id groupId = makeGroup(letters(QStringLiteral("ABC")), &ids);
        SHOW(groupId);
        FakeDrag other(groupId, {ids.at(0)}); // so that ids are in use
        FakeDrag groupDrag(groupId, Ids(), DragGroup::Group);
        for (const QByteArray& payload : {QByteArray(), QByteArrayLiteral("x1"), DragRegistry::payload(other.id + 1000),
                                          DragRegistry::payload(groupDrag.id)}) {
            QMimeData foreign;
            foreign.setText(QStringLiteral("A"));
            if (!payload.isEmpty())
                foreign.setData(QLatin1String(DragRegistry::MimeType), payload);
            QVERIFY(!dragEnter(list, rowCentre(list, 2), &foreign));
            QVERIFY(!dragMove(list, rowCentre(list, 2), &foreign));
            QCOMPARE(list.dropIndex(), -1);
            QVERIFY(!drop(list, rowCentre(list, Below), &foreign));
        }
        QCOMPARE(storeIds(groupId), ids);
        QCOMPARE(groupDrag.data->resultAction, int(DragGroup::NoResult));
    }

    // The hint of an empty Inbox offers starter tasks; no other group takes them.
    void starterTasksOnlyInInbox()
    {
        const FocusGroup::Id inbox = FocusGroup::inboxId();
        store()->removeTasks(inbox, storeIds(inbox), true);
        SHOW(inbox);
        QPointer<GroupHintWidget> hint = list.hint();
        QVERIFY(hint && hint->isVisible());
        Q_EMIT hint->headStart(QStringLiteral("inboxheadstart"));
        QCOMPARE(list.rowCount(), 0); // queued: the hint is not deleted inside its own signal
        QTRY_COMPARE(list.rowCount(), 4);
        QTRY_VERIFY(!hint);
        const Ids ids = storeIds(inbox);
        QCOMPARE(rowIds(list), ids);
        QCOMPARE(store()->task(ids.last()).name(), QStringLiteral("Have a coffee :)"));
        QVERIFY(store()->task(ids.at(0)).notes().contains(webSiteUrl()));
        QVERIFY(store()->task(ids.at(2)).notes().contains(donateUrl()));
        store()->removeTasks(inbox, ids, true);
        list.setGroup(makeGroup({}));
        Q_EMIT list.hint()->headStart(QStringLiteral("inboxheadstart"));
        QTest::qWait(10);
        QCOMPARE(list.rowCount(), 0);
        QVERIFY(storeIds(list.group()).isEmpty());
    }

    // One line per dragged task: its name and its notes in brackets, blanks trimmed.
    void dragText()
    {
        QList<TodoTask> tasks;
        const char* const texts[][2] = {{"  Buy milk ", " 2 l "}, {" Call Bob", "   "}, {"Pay rent ", "\tMarch\n"}};
        for (const auto& [name, notes] : texts)
            tasks << TodoTask(QUuid::createUuid(), QString::fromLatin1(name), QString::fromLatin1(notes), false,
                              QDateTime(), QDateTime::currentDateTime());
        QCOMPARE(TaskListWidget::dragText(tasks), QStringLiteral("Buy milk (2 l)\nCall Bob\nPay rent (March)"));
    }

    // Today lists the tasks due by today from every group, each once under the first group
    // that lists it, earliest due first; Delete sends a task to its own group's Trash, and a
    // completed task leaves once no longer edited.
    void todayListsOverdueFirstUnderTheFirstGroup()
    {
        DueTasks due(store(), [] { return QDateTime(ViewDay, QTime(9, 0)); });
        Ids ids;
        const FocusGroup::Id group = makeGroup(letters(QStringLiteral("ABCD")), &ids);
        const int days[] = {0, -2, 0, -1}, hours[] = {10, 12, 8, 0};
        for (int i = 0; i < 4; ++i)
            store()->setTaskDue(ids.at(i), QDateTime(ViewDay.addDays(days[i]), QTime(hours[i], 0)));
        store()->addTaskToGroup(FocusGroup::inboxId(), ids.at(2));
        SHOW(group);
        list.setDueTasks(&due);
        list.setGroup(DueTasks::viewId(DueTasks::Today));
        QTRY_COMPARE(rowIds(list), (Ids{ids.at(1), ids.at(3), ids.at(2), ids.at(0)}));
        QCOMPARE(list.groupNameAt(2), QStringLiteral("Inbox"));
        QCOMPARE(list.groupNameAt(3), store()->group(group).name());
        play(list, QStringLiteral("0 K"));
        QVERIFY(store()->group(FocusGroup::trashId()).contains(ids.at(1)));
        QTRY_COMPARE(rowIds(list), (Ids{ids.at(3), ids.at(2), ids.at(0)}));
        list.setEditing(0);
        store()->setTaskCompleted(ids.at(3), true, QDateTime::currentDateTime());
        QTest::qWait(20);
        QCOMPARE(rowIds(list).size(), 3);
        QTest::keyClick(&list, Qt::Key_Escape);
        QTRY_COMPARE(rowIds(list), (Ids{ids.at(2), ids.at(0)}));
        play(list, QStringLiteral("0 S"));
        QTRY_COMPARE(rowIds(list), Ids{ids.at(0)});
        store()->removeTask(FocusGroup::inboxId(), ids.at(2), true);
        store()->removeGroup(group);
    }

    void newInAViewMakesAnInboxTaskDueOnItsFirstDay_data()
    {
        QTest::addColumn<int>("view");
        QTest::addColumn<QString>("typed");
        QTest::newRow("Today") << int(DueTasks::Today) << "Call Bob";
        QTest::newRow("Upcoming: due tomorrow") << int(DueTasks::Upcoming) << "Call Ann";
        QTest::newRow("left blank: gone") << int(DueTasks::Today) << QString();
    }

    void newInAViewMakesAnInboxTaskDueOnItsFirstDay()
    {
        QFETCH(int, view);
        QFETCH(QString, typed);
        DueTasks due(store(), [] { return QDateTime(ViewDay, QTime(9, 0)); });
        SHOW(makeGroup({}));
        list.setDueTasks(&due);
        list.setGroup(DueTasks::viewId(DueTasks::View(view)));
        list.newTask();
        TaskWidget* row = list.editedRow();
        QVERIFY(row);
        const TodoTask::Id id = row->taskId();
        QCOMPARE(storeIds(FocusGroup::inboxId()).count(id), 1);
        QCOMPARE(store()->task(id).due(), QDateTime(ViewDay.addDays(view), QTime(0, 0)));
        QCOMPARE(list.groupNameAt(list.indexOfTask(id)), QStringLiteral("Inbox"));
        testenv::typeText(row->nameEdit(), typed);
        QTest::keyClick(&list, Qt::Key_Escape);
        QTest::qWait(20);
        QCOMPARE(listedAnywhere(id), !typed.isEmpty());
        QCOMPARE(rowIds(list), typed.isEmpty() ? Ids() : Ids{id});
        store()->removeTask(FocusGroup::inboxId(), id, true);
    }

private:
    TempStore m_store;
};

MRV_TEST_WIDGETS_MAIN(TstTaskList)
#include "tst_tasklist.moc"
