#include "support/testenv.h"
#include "support/uitestkit.h"

#include "app/identity.h"
#include "app/taskcore.h"
#include "store/focusgroup.h"
#include "store/taskstorage.h"
#include "store/todotask.h"
#include "ui/dragregistry.h"
#include "ui/grouphintwidget.h"
#include "ui/tasklistwidget.h"
#include "ui/taskwidget.h"
#include "ui/toolbaractions.h"
#include "widgets/datewidget.h"
#include "widgets/fancylineedit.h"
#include "widgets/hintededit.h"

#include <QAction>
#include <QApplication>
#include <QDragEnterEvent>
#include <QDragLeaveEvent>
#include <QDragMoveEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QPointer>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QVBoxLayout>

#include <algorithm>
#include <memory>

namespace {

using uitest::FakeDrag;
using uitest::ListWindow;

constexpr int None = 0;
constexpr int Ctrl = int(Qt::ControlModifier);
constexpr int Shift = int(Qt::ShiftModifier);
/// A click on no row.
constexpr int Empty = -1;
/// The place below the last row.
constexpr int Below = -1;

std::shared_ptr<TaskStorage> store()
{
    return TaskCore::instance()->storage();
}

/// A fresh user group holding one task per name, in order.
FocusGroup::Id makeGroup(const QStringList& names, QList<TodoTask::Id>* ids = nullptr)
{
    static int counter = 0;
    const auto storage = store();
    const FocusGroup::Id groupId = storage->addGroup(QStringLiteral("Group %1").arg(++counter), QString());
    for (const QString& name : names) {
        const TodoTask::Id id = storage->createTask(groupId);
        storage->setTaskName(id, name);
        if (ids)
            ids->append(id);
    }
    return groupId;
}

QStringList namesOf(const QList<TodoTask::Id>& ids)
{
    QStringList names;
    const auto storage = store();
    for (const TodoTask::Id& id : ids)
        names << storage->task(id).name();
    return names;
}

QStringList storeNames(const FocusGroup::Id& groupId)
{
    return namesOf(store()->group(groupId).taskIds());
}

QList<TodoTask::Id> storeIds(const FocusGroup::Id& groupId)
{
    return store()->group(groupId).taskIds();
}

QList<TodoTask::Id> rowIds(const TaskListWidget& list)
{
    QList<TodoTask::Id> ids;
    for (int i = 0; i < list.rowCount(); ++i)
        ids << list.row(i)->taskId();
    return ids;
}

QStringList rowNames(const TaskListWidget& list)
{
    return namesOf(rowIds(list));
}

bool listedAnywhere(const TodoTask::Id& taskId)
{
    const auto storage = store();
    const QList<FocusGroup::Id> groups = storage->groupIds();
    return std::any_of(groups.cbegin(), groups.cend(),
                       [&](const FocusGroup::Id& id) { return storage->group(id).contains(taskId); });
}

QPoint rowCentre(const TaskListWidget& list, int index)
{
    TaskWidget* row = list.row(index);
    return row->mapTo(list.viewport(), row->rect().center());
}

/// A point of the viewport well below the last row.
QPoint belowRows(const TaskListWidget& list)
{
    int y = 300;
    if (list.rowCount() > 0) {
        TaskWidget* last = list.row(list.rowCount() - 1);
        y = last->mapTo(list.viewport(), QPoint(0, last->height())).y() + 40;
    }
    return QPoint(list.viewport()->width() / 2, qMin(y, list.viewport()->height() - 5));
}

void click(TaskListWidget& list, int index, int modifiers = None)
{
    const QPoint point = index == Empty ? belowRows(list) : rowCentre(list, index);
    QTest::mouseClick(list.viewport(), Qt::LeftButton, Qt::KeyboardModifiers(modifiers), point);
}

/// Press, release, double click, release: what a real double click delivers.
void doubleClick(TaskListWidget& list, const QPoint& point)
{
    QTest::mousePress(list.viewport(), Qt::LeftButton, Qt::NoModifier, point);
    QTest::mouseRelease(list.viewport(), Qt::LeftButton, Qt::NoModifier, point);
    QTest::mouseDClick(list.viewport(), Qt::LeftButton, Qt::NoModifier, point);
    QTest::mouseRelease(list.viewport(), Qt::LeftButton, Qt::NoModifier, point);
}

void flushDeletes()
{
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

bool dragEnter(TaskListWidget& list, const QPoint& point, const QMimeData* mime)
{
    QDragEnterEvent event(point, Qt::MoveAction, mime, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(list.viewport(), &event);
    return event.isAccepted();
}

bool dragMove(TaskListWidget& list, const QPoint& point, const QMimeData* mime)
{
    QDragMoveEvent event(point, Qt::MoveAction, mime, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(list.viewport(), &event);
    return event.isAccepted();
}

bool drop(TaskListWidget& list, const QPoint& point, const QMimeData* mime)
{
    QDropEvent event(point, Qt::MoveAction, mime, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(list.viewport(), &event);
    return event.isAccepted();
}

void dragLeave(TaskListWidget& list)
{
    QDragLeaveEvent event;
    QCoreApplication::sendEvent(list.viewport(), &event);
}

} // namespace

class TstTaskList : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        QCOMPARE(TaskCore::instance()->init(m_dir.filePath(QStringLiteral("tasks.xml")), 3600000), 0);
        QVERIFY(store());
    }

    void cleanupTestCase()
    {
        DragRegistry::destroy();
        TaskCore::destroy();
    }

    // Large groups: rows are held in blocks, which must stay invisible to every rule.
    void largeGroupKeepsOrderAcrossBlocks()
    {
        QStringList names;
        for (int i = 0; i < 150; ++i)
            names << QStringLiteral("T%1").arg(i);
        const FocusGroup::Id group = makeGroup(names);
        ListWindow w(group);
        QVERIFY(w.show());
        TaskListWidget& list = *w.list;
        QCOMPARE(list.rowCount(), 150);
        QCOMPARE(rowNames(list), names);

        // Rows far down are found under the pointer once scrolled into view.
        for (int index : {63, 64, 100, 149}) {
            list.ensureRowVisible(list.row(index));
            QCOMPARE(list.rowAt(rowCentre(list, index)), index);
        }

        // Rows of the first block dropped after a row of the third.
        list.clearSelection();
        for (int i = 0; i < 3; ++i)
            list.select(i);
        const QList<TodoTask::Id> moved = rowIds(list).mid(0, 3);
        FakeDrag drag(group, moved);
        list.ensureRowVisible(list.row(140));
        const QPoint target = rowCentre(list, 140);
        QVERIFY(dragEnter(list, target, &drag.mime));
        QVERIFY(drop(list, target, &drag.mime));
        QStringList expected = names.mid(3);
        expected.insert(expected.indexOf(QStringLiteral("T140")), QStringLiteral("T0"));
        expected.insert(expected.indexOf(QStringLiteral("T140")), QStringLiteral("T1"));
        expected.insert(expected.indexOf(QStringLiteral("T140")), QStringLiteral("T2"));
        QCOMPARE(rowNames(list), expected);
        QCOMPARE(storeNames(group), expected);

        // Deleting a whole block's worth of rows leaves the rest in order and reachable.
        list.clearSelection();
        for (int i = 64; i < 128; ++i)
            list.select(i);
        list.deleteSelected();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        expected.erase(expected.begin() + 64, expected.begin() + 128);
        QCOMPARE(rowNames(list), expected);
        QCOMPARE(storeNames(group), expected);
        list.ensureRowVisible(list.row(70));
        QCOMPARE(list.rowAt(rowCentre(list, 70)), 70);
    }

    // Selection by mouse

    void clickSelection_data()
    {
        QTest::addColumn<QList<int>>("rows");
        QTest::addColumn<QList<int>>("modifiers");
        QTest::addColumn<QList<int>>("selected");
        QTest::addColumn<int>("current");

        QTest::newRow("click selects one") << QList<int>{1} << QList<int>{None} << QList<int>{1} << 1;
        QTest::newRow("click another") << QList<int>{1, 3} << QList<int>{None, None} << QList<int>{3} << 3;
        QTest::newRow("ctrl click adds") << QList<int>{1, 3} << QList<int>{None, Ctrl} << QList<int>{1, 3} << 3;
        QTest::newRow("shift click down") << QList<int>{1, 3} << QList<int>{None, Shift} << QList<int>{1, 2, 3} << 1;
        QTest::newRow("shift click up") << QList<int>{3, 0} << QList<int>{None, Shift} << QList<int>{0, 1, 2, 3} << 3;
        QTest::newRow("shift click shrinks") << QList<int>{0, 3, 1} << QList<int>{None, Shift, Shift}
                                             << QList<int>{0, 1} << 0;
        QTest::newRow("shift click without anchor") << QList<int>{2} << QList<int>{Shift} << QList<int>{2} << 2;
        QTest::newRow("plain click in a multiple selection")
            << QList<int>{0, 2, 3, 2} << QList<int>{None, Ctrl, Ctrl, None} << QList<int>{2} << 2;
        QTest::newRow("click on empty space") << QList<int>{1, 2, Empty} << QList<int>{None, Ctrl, None}
                                              << QList<int>{} << -1;
        QTest::newRow("ctrl click on empty space") << QList<int>{1, Empty} << QList<int>{None, Ctrl}
                                                   << QList<int>{1} << 1;
    }

    void clickSelection()
    {
        QFETCH(QList<int>, rows);
        QFETCH(QList<int>, modifiers);
        QFETCH(QList<int>, selected);
        QFETCH(int, current);

        ListWindow w(makeGroup({QStringLiteral("A"), QStringLiteral("B"), QStringLiteral("C"), QStringLiteral("D")}));
        QVERIFY(w.show());
        TaskListWidget& list = *w.list;
        QCOMPARE(list.rowCount(), 4);
        for (int i = 0; i < rows.size(); ++i)
            click(list, rows.at(i), modifiers.at(i));

        QCOMPARE(list.selectedIndexes(), selected);
        QCOMPARE(list.currentIndex(), current);
        for (int i = 0; i < list.rowCount(); ++i)
            QCOMPARE(list.row(i)->isSelected(), selected.contains(i));
        QCOMPARE(editTaskAction()->isEnabled(), current >= 0);
        QVERIFY(!list.editedRow());
    }

    void pressInMultipleSelectionKeepsItUntilRelease()
    {
        ListWindow w(makeGroup({QStringLiteral("A"), QStringLiteral("B"), QStringLiteral("C")}));
        QVERIFY(w.show());
        TaskListWidget& list = *w.list;
        click(list, 0);
        click(list, 2, Ctrl);
        QCOMPARE(list.selectedIndexes(), (QList<int>{0, 2}));

        // The press leaves the selection whole, so that it can still be dragged.
        QTest::mousePress(list.viewport(), Qt::LeftButton, Qt::NoModifier, rowCentre(list, 0));
        QCOMPARE(list.selectedIndexes(), (QList<int>{0, 2}));
        QTest::mouseRelease(list.viewport(), Qt::LeftButton, Qt::NoModifier, rowCentre(list, 0));
        QCOMPARE(list.selectedIndexes(), QList<int>{0});
        QCOMPARE(list.currentIndex(), 0);
    }

    void ctrlASelectsAll()
    {
        ListWindow w(makeGroup({QStringLiteral("A"), QStringLiteral("B"), QStringLiteral("C")}));
        QVERIFY(w.show());
        TaskListWidget& list = *w.list;
        click(list, 1);
        QTest::keyClick(&list, Qt::Key_A, Qt::ControlModifier);
        QCOMPARE(list.selectedIndexes(), (QList<int>{0, 1, 2}));
        QCOMPARE(list.currentIndex(), 1);
        for (int i = 0; i < 3; ++i)
            QVERIFY(list.row(i)->isSelected());

        // A without Ctrl selects nothing more and nothing less.
        click(list, 2);
        QTest::keyClick(&list, Qt::Key_A);
        QCOMPARE(list.selectedIndexes(), QList<int>{2});
    }

    void editActionFollowsCurrentRow()
    {
        ListWindow w(makeGroup({QStringLiteral("A"), QStringLiteral("B")}));
        QVERIFY(w.show());
        TaskListWidget& list = *w.list;
        QCOMPARE(list.currentIndex(), -1);
        QVERIFY(!editTaskAction()->isEnabled());
        click(list, 1);
        QVERIFY(editTaskAction()->isEnabled());
        click(list, Empty);
        QVERIFY(!editTaskAction()->isEnabled());
        QTest::keyClick(&list, Qt::Key_Up);
        QCOMPARE(list.currentIndex(), 1);
        QVERIFY(editTaskAction()->isEnabled());
        list.clearSelection();
        QVERIFY(!editTaskAction()->isEnabled());
        list.setEditing(0);
        QVERIFY(editTaskAction()->isEnabled());
    }

    void scrolledListFindsRowsUnderThePointer()
    {
        QStringList names;
        for (int i = 0; i < 40; ++i)
            names << QStringLiteral("Task %1").arg(i);
        ListWindow w(makeGroup(names));
        QVERIFY(w.show());
        TaskListWidget& list = *w.list;
        QCOMPARE(list.rowCount(), 40);
        QScrollBar* bar = list.verticalScrollBar();
        QTRY_VERIFY(bar->maximum() > 0);

        // Keys keep the current row in view.
        click(list, 0);
        for (int i = 0; i < 39; ++i)
            QTest::keyClick(&list, Qt::Key_Down);
        QCOMPARE(list.currentIndex(), 39);
        QCOMPARE(bar->value(), bar->maximum());
        const QRect shown = list.viewport()->rect();
        QVERIFY(shown.contains(rowCentre(list, 39)));

        // With the list scrolled, the pointer still hits the row drawn under it.
        const int target = 35;
        QVERIFY(shown.contains(rowCentre(list, target)));
        QCOMPARE(list.rowAt(rowCentre(list, target)), target);
        click(list, target);
        QCOMPARE(list.selectedIndexes(), QList<int>{target});
        doubleClick(list, rowCentre(list, target - 1));
        QCOMPARE(list.editedRow(), list.row(target - 1));

        QTest::keyClick(&list, Qt::Key_Escape);
        QTest::keyClick(&list, Qt::Key_Up);
        for (int i = 0; i < 40; ++i)
            QTest::keyClick(&list, Qt::Key_Up);
        QCOMPARE(list.currentIndex(), 0);
        QCOMPARE(bar->value(), 0);
    }

    void newTaskScrollsIntoView()
    {
        QStringList names;
        for (int i = 0; i < 40; ++i)
            names << QStringLiteral("Task %1").arg(i);
        ListWindow w(makeGroup(names));
        QVERIFY(w.show());
        TaskListWidget& list = *w.list;
        QScrollBar* bar = list.verticalScrollBar();
        QTRY_VERIFY(bar->maximum() > 0);
        QCOMPARE(bar->value(), 0);
        list.newTask();
        TaskWidget* row = list.row(40);
        QCOMPARE(list.editedRow(), row);
        QTRY_VERIFY(list.viewport()->rect().contains(row->mapTo(list.viewport(), QPoint(0, row->height() - 1))));
        QVERIFY(bar->value() > 0);
    }

    // Keyboard

    void keyboardNavigation_data()
    {
        QTest::addColumn<int>("start");
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("modifiers");
        QTest::addColumn<QList<int>>("selected");
        QTest::addColumn<int>("current");

        QTest::newRow("down") << 0 << int(Qt::Key_Down) << None << QList<int>{1} << 1;
        QTest::newRow("up") << 2 << int(Qt::Key_Up) << None << QList<int>{1} << 1;
        QTest::newRow("shift down extends") << 0 << int(Qt::Key_Down) << Shift << QList<int>{0, 1} << 1;
        QTest::newRow("shift up extends") << 2 << int(Qt::Key_Up) << Shift << QList<int>{1, 2} << 1;
        QTest::newRow("up without current selects the last") << -1 << int(Qt::Key_Up) << None << QList<int>{2} << 2;
        QTest::newRow("down without current selects the first") << -1 << int(Qt::Key_Down) << None << QList<int>{0} << 0;
        QTest::newRow("down at the end does nothing") << 2 << int(Qt::Key_Down) << None << QList<int>{2} << 2;
        QTest::newRow("up at the top does nothing") << 0 << int(Qt::Key_Up) << None << QList<int>{0} << 0;
    }

    void keyboardNavigation()
    {
        QFETCH(int, start);
        QFETCH(int, key);
        QFETCH(int, modifiers);
        QFETCH(QList<int>, selected);
        QFETCH(int, current);

        ListWindow w(makeGroup({QStringLiteral("A"), QStringLiteral("B"), QStringLiteral("C")}));
        QVERIFY(w.show());
        TaskListWidget& list = *w.list;
        if (start >= 0)
            click(list, start);
        QTest::keyClick(&list, Qt::Key(key), Qt::KeyboardModifiers(modifiers));
        QCOMPARE(list.selectedIndexes(), selected);
        QCOMPARE(list.currentIndex(), current);
        QCOMPARE(editTaskAction()->isEnabled(), current >= 0);
        QVERIFY(!list.editedRow());
    }

    void arrowsDoNothingWhileEditing()
    {
        ListWindow w(makeGroup({QStringLiteral("A"), QStringLiteral("B"), QStringLiteral("C")}));
        QVERIFY(w.show());
        TaskListWidget& list = *w.list;
        list.setEditing(1);
        QTest::keyClick(&list, Qt::Key_Down);
        QTest::keyClick(&list, Qt::Key_Up);
        QCOMPARE(list.selectedIndexes(), QList<int>{1});
        QCOMPARE(list.editedRow(), list.row(1));
    }

    void returnOpensCurrentRow()
    {
        ListWindow w(makeGroup({QStringLiteral("A"), QStringLiteral("B"), QStringLiteral("C")}));
        QVERIFY(w.show());
        TaskListWidget& list = *w.list;
        QTest::keyClick(&list, Qt::Key_Return);
        QVERIFY(!list.editedRow());

        click(list, 1);
        QTest::keyClick(&list, Qt::Key_Return);
        QCOMPARE(list.editedRow(), list.row(1));
        QVERIFY(list.row(1)->isEditing());
        QVERIFY(list.row(1)->nameEdit());
        QTRY_COMPARE(QApplication::focusWidget(), static_cast<QWidget*>(list.row(1)->nameEdit()));
        QCOMPARE(list.row(1)->nameEdit()->userText(), QStringLiteral("B"));
    }

    void returnInNameFieldClosesWithoutReopening()
    {
        ListWindow w(makeGroup({QStringLiteral("A"), QStringLiteral("B")}));
        QVERIFY(w.show());
        TaskListWidget& list = *w.list;
        click(list, 0);
        QTest::keyClick(&list, Qt::Key_Return);
        TaskWidget* row = list.row(0);
        QCOMPARE(list.editedRow(), row);
        QTRY_COMPARE(QApplication::focusWidget(), static_cast<QWidget*>(row->nameEdit()));

        // The editor's own Return goes on to the list, which must not open the row again.
        QTest::keyClick(row->nameEdit(), Qt::Key_Return);
        QVERIFY(!list.editedRow());
        QVERIFY(!row->isEditing());
        QCOMPARE(list.currentIndex(), 0);

        // The next Return is a fresh one and opens the row.
        QTest::keyClick(&list, Qt::Key_Return);
        QCOMPARE(list.editedRow(), row);
    }

    void shiftReturnCreatesTask()
    {
        QList<TodoTask::Id> ids;
        const FocusGroup::Id groupId = makeGroup({QStringLiteral("A"), QStringLiteral("B")}, &ids);
        ListWindow w(groupId);
        QVERIFY(w.show());
        TaskListWidget& list = *w.list;
        click(list, 0);
        QTest::keyClick(&list, Qt::Key_Return, Qt::ShiftModifier);
        QCOMPARE(list.rowCount(), 3);
        TaskWidget* row = list.row(2);
        QCOMPARE(list.editedRow(), row);
        QVERIFY(row->createdByNew());
        QCOMPARE(storeIds(groupId), (QList<TodoTask::Id>{ids.at(0), ids.at(1), row->taskId()}));
        QCOMPARE(list.selectedIndexes(), QList<int>{2});
    }

    void escapeClosesEditor()
    {
        ListWindow w(makeGroup({QStringLiteral("A"), QStringLiteral("B")}));
        QVERIFY(w.show());
        TaskListWidget& list = *w.list;
        list.setEditing(1);
        QVERIFY(list.row(1)->isEditing());
        QTest::keyClick(&list, Qt::Key_Escape);
        QVERIFY(!list.editedRow());
        QVERIFY(!list.row(1)->isEditing());
        QVERIFY(!list.row(1)->nameEdit());
        QCOMPARE(list.rowCount(), 2);
        QCOMPARE(list.selectedIndexes(), QList<int>{1});
    }

    // New, double click

    void newThenEscape_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<bool>("kept");
        QTest::newRow("nothing typed") << QString() << false;
        QTest::newRow("name typed") << QStringLiteral("Call Bob") << true;
        QTest::newRow("non-ASCII name typed") << QStringLiteral("Café über") << true;
    }

    void newThenEscape()
    {
        QFETCH(QString, typed);
        QFETCH(bool, kept);

        QList<TodoTask::Id> ids;
        const FocusGroup::Id groupId = makeGroup({QStringLiteral("A")}, &ids);
        ListWindow w(groupId);
        QVERIFY(w.show());
        TaskListWidget& list = *w.list;
        list.newTask();
        QCOMPARE(list.rowCount(), 2);
        QPointer<TaskWidget> row = list.row(1);
        const TodoTask::Id newId = row->taskId();
        QCOMPARE(list.editedRow(), row.data());
        QTRY_COMPARE(QApplication::focusWidget(), static_cast<QWidget*>(row->nameEdit()));
        if (!typed.isEmpty())
            testenv::typeText(row->nameEdit(), typed);
        QCOMPARE(store()->task(newId).name(), typed);

        QTest::keyClick(&list, Qt::Key_Escape);
        QVERIFY(!list.editedRow());
        flushDeletes();
        QCoreApplication::processEvents();
        if (kept) {
            QCOMPARE(list.rowCount(), 2);
            QVERIFY(row);
            QVERIFY(!row->createdByNew());
            QCOMPARE(row->label()->text(), typed);
            QCOMPARE(storeIds(groupId), (QList<TodoTask::Id>{ids.at(0), newId}));
        } else {
            QCOMPARE(list.rowCount(), 1);
            QVERIFY(!row);
            QCOMPARE(storeIds(groupId), QList<TodoTask::Id>{ids.at(0)});
            QVERIFY(!store()->group(FocusGroup::trashId()).contains(newId));
            QVERIFY(!listedAnywhere(newId));
        }
    }

    void newWhileNewRowIsOpen()
    {
        QList<TodoTask::Id> ids;
        const FocusGroup::Id groupId = makeGroup({QStringLiteral("A")}, &ids);
        ListWindow w(groupId);
        QVERIFY(w.show());
        TaskListWidget& list = *w.list;
        list.newTask();
        QPointer<TaskWidget> first = list.row(1);
        const TodoTask::Id firstId = first->taskId();

        // New again, the first still empty: it goes, the second opens as the current row.
        list.newTask();
        QCOMPARE(list.rowCount(), 2);
        TaskWidget* second = list.row(1);
        QVERIFY(second != first.data());
        QCOMPARE(list.editedRow(), second);
        QVERIFY(second->isEditing());
        QCOMPARE(list.selectedIndexes(), QList<int>{1});
        QCOMPARE(list.currentIndex(), 1);
        QVERIFY(editTaskAction()->isEnabled());
        QCOMPARE(storeIds(groupId), (QList<TodoTask::Id>{ids.at(0), second->taskId()}));
        QVERIFY(!listedAnywhere(firstId));
        flushDeletes();
        QVERIFY(!first);

        testenv::typeText(second->nameEdit(), QStringLiteral("Second"));
        QTest::keyClick(second->nameEdit(), Qt::Key_Return);
        QVERIFY(!list.editedRow());
        QCOMPARE(list.selectedIndexes(), QList<int>{1});
        QCOMPARE(storeNames(groupId), (QStringList{QStringLiteral("A"), QStringLiteral("Second")}));
    }

    void clickBelowOpenNewRowAddedElsewhere()
    {
        QList<TodoTask::Id> ids;
        const FocusGroup::Id groupId = makeGroup({QStringLiteral("A")}, &ids);
        ListWindow w(groupId);
        QVERIFY(w.show());
        TaskListWidget& list = *w.list;
        list.newTask();
        QPointer<TaskWidget> fresh = list.row(1);
        // Another view adds a task while the new, still empty row is open.
        const TodoTask::Id added = store()->createTask(groupId);
        store()->setTaskName(added, QStringLiteral("From elsewhere"));
        QTRY_COMPARE(list.rowCount(), 3);
        QCOMPARE(list.editedRow(), fresh.data());
        TaskWidget* addedRow = list.row(2);
        QCOMPARE(addedRow->taskId(), added);
        QTRY_VERIFY(addedRow->isVisible() && addedRow->geometry().top() > fresh->geometry().bottom());

        // Pressing on the added row closes (and drops) the empty new one and selects the row.
        const QPoint point = rowCentre(list, 2);
        QTest::mousePress(list.viewport(), Qt::LeftButton, Qt::NoModifier, point);
        QCOMPARE(list.rowCount(), 2);
        QCOMPARE(list.row(1), addedRow);
        QCOMPARE(list.selectedIndexes(), QList<int>{1});
        QCOMPARE(list.currentIndex(), 1);
        QTest::mouseRelease(list.viewport(), Qt::LeftButton, Qt::NoModifier, point);
        QCOMPARE(list.row(1), addedRow);
        QCOMPARE(list.selectedIndexes(), QList<int>{1});
        QCOMPARE(list.currentIndex(), 1);
        QCOMPARE(storeIds(groupId), (QList<TodoTask::Id>{ids.at(0), added}));
    }

    void escapeTypedInAField_data()
    {
        QTest::addColumn<QString>("field");
        QTest::newRow("name") << QStringLiteral("name");
        QTest::newRow("notes") << QStringLiteral("notes");
        QTest::newRow("due date") << QStringLiteral("date");
    }

    void escapeTypedInAField()
    {
        QFETCH(QString, field);
        ListWindow w(makeGroup({QStringLiteral("A"), QStringLiteral("B")}));
        QVERIFY(w.show());
        TaskListWidget& list = *w.list;
        click(list, 1);
        QTest::keyClick(&list, Qt::Key_Return);
        TaskWidget* row = list.row(1);
        QWidget* target = row->nameEdit();
        if (field == QLatin1String("notes"))
            target = row->notesEdit();
        else if (field == QLatin1String("date"))
            target = row->dateWidget()->edit();
        target->setFocus();
        QTRY_COMPARE(QApplication::focusWidget(), target);
        QTest::keyClick(target, Qt::Key_Escape);
        QVERIFY(!list.editedRow());
        QVERIFY(!row->isEditing());
        QCOMPARE(list.selectedIndexes(), QList<int>{1});
        QCOMPARE(list.rowCount(), 2);
    }

    void newInEmptyGroupThenEscapeBringsHintBack()
    {
        const FocusGroup::Id groupId = makeGroup({});
        ListWindow w(groupId);
        QVERIFY(w.show());
        TaskListWidget& list = *w.list;
        QVERIFY(list.hint());
        list.newTask();
        QVERIFY(!list.hint());
        QTest::keyClick(&list, Qt::Key_Escape);
        QCOMPARE(list.rowCount(), 0);
        QVERIFY(list.hint());
        QVERIFY(storeIds(groupId).isEmpty());
    }

    void doubleClickOnEmptySpaceCreatesTask()
    {
        QList<TodoTask::Id> ids;
        const FocusGroup::Id groupId = makeGroup({QStringLiteral("A"), QStringLiteral("B")}, &ids);
        ListWindow w(groupId);
        QVERIFY(w.show());
        TaskListWidget& list = *w.list;
        doubleClick(list, belowRows(list));
        QCOMPARE(list.rowCount(), 3);
        TaskWidget* row = list.row(2);
        QCOMPARE(list.editedRow(), row);
        QVERIFY(row->isEditing());
        QVERIFY(row->createdByNew());
        QCOMPARE(storeIds(groupId), (QList<TodoTask::Id>{ids.at(0), ids.at(1), row->taskId()}));
        QTRY_COMPARE(QApplication::focusWidget(), static_cast<QWidget*>(row->nameEdit()));
        // Below the other rows.
        QVERIFY(row->geometry().top() > list.row(1)->geometry().bottom());
    }

    void doubleClickOnRowOpensIt()
    {
        ListWindow w(makeGroup({QStringLiteral("A"), QStringLiteral("B"), QStringLiteral("C")}));
        QVERIFY(w.show());
        TaskListWidget& list = *w.list;
        click(list, 0);
        doubleClick(list, rowCentre(list, 1));
        QCOMPARE(list.rowCount(), 3);
        QCOMPARE(list.editedRow(), list.row(1));
        QVERIFY(list.row(1)->isEditing());
        QCOMPARE(list.selectedIndexes(), QList<int>{1});
        QCOMPARE(list.currentIndex(), 1);
    }

    void clickElsewhereClosesEditor()
    {
        ListWindow w(makeGroup({QStringLiteral("A"), QStringLiteral("B")}));
        QVERIFY(w.show());
        TaskListWidget& list = *w.list;
        list.setEditing(0);
        click(list, 1);
        QVERIFY(!list.editedRow());
        QVERIFY(!list.row(0)->isEditing());
        QCOMPARE(list.selectedIndexes(), QList<int>{1});
    }

    // Delete and cleanup

    void deleteKey_data()
    {
        QTest::addColumn<bool>("inTrash");
        QTest::newRow("user group: to Trash") << false;
        QTest::newRow("Trash: gone for good") << true;
    }

    void deleteKey()
    {
        QFETCH(bool, inTrash);

        QList<TodoTask::Id> ids;
        const FocusGroup::Id groupId =
            makeGroup({QStringLiteral("A"), QStringLiteral("B"), QStringLiteral("C")}, &ids);
        if (inTrash) {
            for (const TodoTask::Id& id : std::as_const(ids))
                store()->removeTask(groupId, id, false);
            QVERIFY(storeIds(groupId).isEmpty());
        }
        const FocusGroup::Id shown = inTrash ? FocusGroup::trashId() : groupId;
        ListWindow w(shown);
        QVERIFY(w.show());
        TaskListWidget& list = *w.list;
        const QList<TodoTask::Id> before = rowIds(list);
        const int first = static_cast<int>(before.indexOf(ids.at(0)));
        const int last = static_cast<int>(before.indexOf(ids.at(2)));
        QVERIFY(first >= 0 && last >= 0);
        click(list, first);
        click(list, last, Ctrl);

        QTest::keyClick(&list, Qt::Key_Delete);
        flushDeletes();
        QCOMPARE(list.rowCount(), before.size() - 2);
        QVERIFY(!rowIds(list).contains(ids.at(0)));
        QVERIFY(!rowIds(list).contains(ids.at(2)));
        QVERIFY(rowIds(list).contains(ids.at(1)));
        QCOMPARE(rowIds(list), storeIds(shown));
        QVERIFY(list.selectedIndexes().isEmpty());
        QCOMPARE(list.currentIndex(), -1);
        QVERIFY(!editTaskAction()->isEnabled());
        if (inTrash) {
            QVERIFY(!listedAnywhere(ids.at(0)));
            QVERIFY(!listedAnywhere(ids.at(2)));
        } else {
            QCOMPARE(storeIds(groupId), QList<TodoTask::Id>{ids.at(1)});
            const FocusGroup trash = store()->group(FocusGroup::trashId());
            QVERIFY(trash.contains(ids.at(0)));
            QVERIFY(trash.contains(ids.at(2)));
        }
        // Nothing comes back once the store's own notices arrive.
        QCoreApplication::processEvents();
        QCOMPARE(list.rowCount(), before.size() - 2);
    }

    void deleteDoesNothingWhileEditing()
    {
        const FocusGroup::Id groupId = makeGroup({QStringLiteral("A"), QStringLiteral("B")});
        ListWindow w(groupId);
        QVERIFY(w.show());
        TaskListWidget& list = *w.list;
        list.setEditing(0);
        QTest::keyClick(&list, Qt::Key_Delete);
        QCOMPARE(list.rowCount(), 2);
        QCOMPARE(storeIds(groupId).size(), 2);
    }

    void cleanupSortsTasksOut()
    {
        const auto storage = store();
        QList<TodoTask::Id> ids;
        const FocusGroup::Id groupId = makeGroup({QStringLiteral("Done"), QString(), QStringLiteral("Normal")}, &ids);
        storage->setTaskCompleted(ids.at(0), true, QDateTime::currentDateTime());
        ListWindow w(groupId);
        QVERIFY(w.show());
        TaskListWidget& list = *w.list;
        QCOMPARE(list.rowCount(), 3);
        QPointer<TaskWidget> done = list.row(0);
        QPointer<TaskWidget> empty = list.row(1);
        QPointer<TaskWidget> normal = list.row(2);
        list.setEditing(2);

        list.cleanup();
        QVERIFY(!list.editedRow());
        flushDeletes();
        QCoreApplication::processEvents();
        QCOMPARE(list.rowCount(), 1);
        QVERIFY(!done);
        QVERIFY(!empty);
        QVERIFY(normal);
        QCOMPARE(list.row(0), normal.data());
        QCOMPARE(storeIds(groupId), QList<TodoTask::Id>{ids.at(2)});
        QVERIFY(storage->group(FocusGroup::completedId()).contains(ids.at(0)));
        QVERIFY(!storage->group(FocusGroup::trashId()).contains(ids.at(0)));
        QVERIFY(storage->group(FocusGroup::trashId()).contains(ids.at(1)));
        QVERIFY(!storage->group(FocusGroup::completedId()).contains(ids.at(1)));
        QVERIFY(!list.hint());
    }

    void cleanupOfOnlyEmptyTasksShowsHint()
    {
        const FocusGroup::Id groupId = makeGroup({QString(), QString()});
        ListWindow w(groupId);
        QVERIFY(w.show());
        TaskListWidget& list = *w.list;
        QVERIFY(!list.hint());
        list.cleanup();
        QCOMPARE(list.rowCount(), 0);
        QVERIFY(list.hint());
        QVERIFY(storeIds(groupId).isEmpty());
    }

    // Reordering by drag and drop

    void reorder_data()
    {
        QTest::addColumn<QList<int>>("dragged");
        QTest::addColumn<int>("target");
        QTest::addColumn<bool>("accepted");
        QTest::addColumn<QString>("order");

        QTest::newRow("before an undragged row, down") << QList<int>{0} << 2 << true << QStringLiteral("BACD");
        QTest::newRow("before an undragged row, up") << QList<int>{3} << 0 << true << QStringLiteral("DABC");
        QTest::newRow("several before a row") << QList<int>{0, 3} << 2 << true << QStringLiteral("BADC");
        QTest::newRow("after the last row") << QList<int>{0} << Below << true << QStringLiteral("BCDA");
        QTest::newRow("several after the last row") << QList<int>{1, 2} << Below << true << QStringLiteral("ADBC");
        QTest::newRow("on a dragged row: nearest undragged below") << QList<int>{0, 2} << 2 << true
                                                                  << QStringLiteral("BACD");
        QTest::newRow("on a dragged row: nearest undragged above") << QList<int>{1, 3} << 3 << true
                                                                  << QStringLiteral("ABDC");
        QTest::newRow("all rows dragged") << QList<int>{0, 1, 2, 3} << 1 << false << QStringLiteral("ABCD");
    }

    void reorder()
    {
        QFETCH(QList<int>, dragged);
        QFETCH(int, target);
        QFETCH(bool, accepted);
        QFETCH(QString, order);

        QList<TodoTask::Id> ids;
        const FocusGroup::Id groupId = makeGroup(
            {QStringLiteral("A"), QStringLiteral("B"), QStringLiteral("C"), QStringLiteral("D")}, &ids);
        ListWindow w(groupId);
        QVERIFY(w.show());
        TaskListWidget& list = *w.list;

        QList<TodoTask::Id> draggedIds;
        for (int i = 0; i < dragged.size(); ++i) {
            click(list, dragged.at(i), i == 0 ? None : Ctrl);
            draggedIds << ids.at(dragged.at(i));
        }
        QCOMPARE(list.selectedIndexes(), dragged);
        QList<QPointer<TaskWidget>> draggedRows;
        for (int i : std::as_const(dragged))
            draggedRows << list.row(i);

        FakeDrag drag(groupId, draggedIds);
        const QPoint point = target == Below ? belowRows(list) : rowCentre(list, target);
        QVERIFY(dragEnter(list, rowCentre(list, 0), &drag.mime));
        QVERIFY(dragMove(list, point, &drag.mime));
        QCOMPARE(list.dropIndex(), target == Below ? 3 : target);
        QCOMPARE(list.dropBefore(), target != Below);
        QCOMPARE(drop(list, point, &drag.mime), accepted);
        QCOMPARE(list.dropIndex(), -1);
        QCoreApplication::processEvents();

        QStringList expected;
        for (const QChar c : order)
            expected << QString(c);
        QCOMPARE(rowNames(list), expected);
        QCOMPARE(storeNames(groupId), expected);
        QCOMPARE(drag.data->resultAction, accepted ? int(DragGroup::Reordered) : int(DragGroup::NoResult));
        // The same rows moved, still selected; the layout shows them in the new order.
        for (const QPointer<TaskWidget>& row : std::as_const(draggedRows)) {
            QVERIFY(row);
            QVERIFY(row->isSelected());
        }
        QTRY_VERIFY(list.row(0)->geometry().top() < list.row(1)->geometry().top());
        for (int i = 1; i < list.rowCount(); ++i)
            QCOMPARE(list.row(i)->geometry().top(), list.row(i - 1)->geometry().bottom() + 2);
        for (int i = 0; i < list.rowCount(); ++i)
            QCOMPARE(list.rowAt(rowCentre(list, i)), i);
    }

    void dropMarkerFollowsThePointer()
    {
        QList<TodoTask::Id> ids;
        const FocusGroup::Id groupId =
            makeGroup({QStringLiteral("A"), QStringLiteral("B"), QStringLiteral("C")}, &ids);
        ListWindow w(groupId);
        QVERIFY(w.show());
        TaskListWidget& list = *w.list;
        click(list, 0);
        FakeDrag drag(groupId, {ids.at(0)});

        QCOMPARE(list.dropIndex(), -1);
        QVERIFY(dragEnter(list, rowCentre(list, 1), &drag.mime));
        QCOMPARE(list.dropIndex(), 1);
        QVERIFY(list.dropBefore());

        // The one-pixel gap between rows 1 and 2 belongs to no row: the marker stays.
        TaskWidget* row1 = list.row(1);
        const QPoint gap = row1->mapTo(list.viewport(), QPoint(row1->width() / 2, row1->height()));
        QCOMPARE(list.rowAt(gap), -1);
        QCOMPARE(list.rowAt(gap + QPoint(0, 1)), 2);
        QVERIFY(dragMove(list, gap, &drag.mime));
        QCOMPARE(list.dropIndex(), 1);
        QVERIFY(list.dropBefore());

        QVERIFY(dragMove(list, belowRows(list), &drag.mime));
        QCOMPARE(list.dropIndex(), 2);
        QVERIFY(!list.dropBefore());

        QVERIFY(dragMove(list, rowCentre(list, 2), &drag.mime));
        QCOMPARE(list.dropIndex(), 2);
        QVERIFY(list.dropBefore());

        // The marker is painted in the accent colour just above the marked row: a solid arrow
        // head left of the row and a line through the gap.
        const QImage image = list.viewport()->grab().toImage();
        const QPoint origin = list.row(2)->mapTo(list.viewport(), QPoint(0, 0));
        QCOMPARE(image.pixelColor(origin + QPoint(-2, -2)), QColor(0x1B75BB));
        const QColor line = image.pixelColor(origin + QPoint(list.row(2)->width() / 2, -1));
        QVERIFY(line.blue() > line.red() + 40);
        QCOMPARE(image.pixelColor(belowRows(list)), QColor(Qt::white));
        QCOMPARE(image.pixelColor(list.row(0)->mapTo(list.viewport(), QPoint(-2, -2))), QColor(Qt::white));

        dragLeave(list);
        QCOMPARE(list.dropIndex(), -1);
        QCOMPARE(rowIds(list), ids);
    }

    void dropInGapKeepsPreviousMarker()
    {
        QList<TodoTask::Id> ids;
        const FocusGroup::Id groupId =
            makeGroup({QStringLiteral("A"), QStringLiteral("B"), QStringLiteral("C")}, &ids);
        ListWindow w(groupId);
        QVERIFY(w.show());
        TaskListWidget& list = *w.list;
        click(list, 2);
        FakeDrag drag(groupId, {ids.at(2)});
        QVERIFY(dragEnter(list, rowCentre(list, 2), &drag.mime));
        QVERIFY(dragMove(list, rowCentre(list, 1), &drag.mime));
        TaskWidget* row1 = list.row(1);
        const QPoint gap = row1->mapTo(list.viewport(), QPoint(row1->width() / 2, row1->height()));
        QVERIFY(dragMove(list, gap, &drag.mime));
        QCOMPARE(list.dropIndex(), 1);
        QVERIFY(drop(list, gap, &drag.mime));
        QCOMPARE(rowNames(list), (QStringList{QStringLiteral("A"), QStringLiteral("C"), QStringLiteral("B")}));
        QCOMPARE(storeNames(groupId), rowNames(list));
    }

    void foreignDropsAreRefused_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::newRow("no drag id") << QStringLiteral("text");
        QTest::newRow("unparsable id") << QStringLiteral("garbage");
        QTest::newRow("unregistered id") << QStringLiteral("unregistered");
        QTest::newRow("group drag") << QStringLiteral("group");
    }

    void foreignDropsAreRefused()
    {
        QFETCH(QString, kind);

        QList<TodoTask::Id> ids;
        const FocusGroup::Id groupId =
            makeGroup({QStringLiteral("A"), QStringLiteral("B"), QStringLiteral("C")}, &ids);
        ListWindow w(groupId);
        QVERIFY(w.show());
        TaskListWidget& list = *w.list;
        click(list, 0);

        // A registered task drag elsewhere, so that ids are in use.
        FakeDrag other(groupId, {ids.at(0)});
        std::unique_ptr<FakeDrag> groupDrag;
        QMimeData foreign;
        foreign.setText(QStringLiteral("A"));
        const QString type = QLatin1String(DragRegistry::MimeType);
        if (kind == QLatin1String("garbage")) {
            foreign.setData(type, QByteArrayLiteral("x1"));
        } else if (kind == QLatin1String("unregistered")) {
            foreign.setData(type, DragRegistry::payload(other.id + 1000));
        } else if (kind == QLatin1String("group")) {
            groupDrag = std::make_unique<FakeDrag>(groupId, QList<TodoTask::Id>(), DragGroup::Group);
            foreign.setData(type, DragRegistry::payload(groupDrag->id));
        }

        QVERIFY(!dragEnter(list, rowCentre(list, 2), &foreign));
        QVERIFY(!dragMove(list, rowCentre(list, 2), &foreign));
        QCOMPARE(list.dropIndex(), -1);
        QVERIFY(!drop(list, belowRows(list), &foreign));
        QCOMPARE(rowIds(list), ids);
        QCOMPARE(storeIds(groupId), ids);
        QCOMPARE(other.data->resultAction, int(DragGroup::NoResult));
        if (groupDrag)
            QCOMPARE(groupDrag->data->resultAction, int(DragGroup::NoResult));
    }

    // The empty-group hint

    void inboxHintGivesStarterTasks()
    {
        const auto storage = store();
        const FocusGroup::Id inbox = FocusGroup::inboxId();
        for (const TodoTask::Id& id : storeIds(inbox))
            storage->removeTask(inbox, id, true);
        QVERIFY(storeIds(inbox).isEmpty());

        ListWindow w(inbox);
        QVERIFY(w.show());
        TaskListWidget& list = *w.list;
        QCOMPARE(list.rowCount(), 0);
        QPointer<GroupHintWidget> hint = list.hint();
        QVERIFY(hint);
        QVERIFY(hint->isVisible());

        Q_EMIT hint->headStart(QStringLiteral("inboxheadstart"));
        // Queued: nothing yet.
        QCOMPARE(list.rowCount(), 0);
        QTRY_COMPARE(list.rowCount(), 4);
        QVERIFY(!list.hint());
        flushDeletes();
        QVERIFY(!hint);

        const QStringList names{
            QStringLiteral("Submit your ideas on features, any likes and dislikes"),
            QStringLiteral("Create a focus group"),
            QStringLiteral("Support the team and development"),
            QStringLiteral("Have a coffee :)"),
        };
        QCOMPARE(rowNames(list), names);
        QCOMPARE(storeNames(inbox), names);
        QCOMPARE(rowIds(list), storeIds(inbox));
        const QList<TodoTask::Id> ids = storeIds(inbox);
        QCOMPARE(storage->task(ids.at(0)).notes(), QStringLiteral("Visit %1 to submit ideas").arg(webSiteUrl()));
        QCOMPARE(storage->task(ids.at(1)).notes(),
                 QStringLiteral("Right-click anywhere on the left panel and select \"Add group\" menu."));
        QCOMPARE(storage->task(ids.at(2)).notes(),
                 QStringLiteral("Visit %1 and make a donation to support the team if you like the software.")
                     .arg(donateUrl()));
        QVERIFY(storage->task(ids.at(3)).notes().isEmpty());
        for (int i = 0; i < 4; ++i)
            QCOMPARE(list.row(i)->label()->text(), names.at(i));

        for (const TodoTask::Id& id : ids)
            storage->removeTask(inbox, id, true);
    }

    void userGroupHintHasNoStarterTasks()
    {
        const FocusGroup::Id groupId = makeGroup({});
        ListWindow w(groupId);
        QVERIFY(w.show());
        TaskListWidget& list = *w.list;
        QPointer<GroupHintWidget> hint = list.hint();
        QVERIFY(hint);
        Q_EMIT hint->headStart(QStringLiteral("inboxheadstart"));
        QCoreApplication::processEvents();
        QCoreApplication::processEvents();
        QCOMPARE(list.rowCount(), 0);
        QVERIFY(storeIds(groupId).isEmpty());
        QCOMPARE(list.hint(), hint.data());
    }

    void hintGoesAndComesWithTasks()
    {
        QList<TodoTask::Id> ids;
        const FocusGroup::Id groupId = makeGroup({QStringLiteral("A")}, &ids);
        ListWindow w(groupId);
        QVERIFY(w.show());
        TaskListWidget& list = *w.list;
        QVERIFY(!list.hint());
        click(list, 0);
        QTest::keyClick(&list, Qt::Key_Delete);
        QVERIFY(list.hint());
        list.setGroup(makeGroup({QStringLiteral("B")}));
        QVERIFY(!list.hint());
        QCOMPARE(list.rowCount(), 1);
    }

    // Changes made elsewhere

    void storeRemovesShownTask_data()
    {
        QTest::addColumn<QString>("state");
        QTest::newRow("plain") << QStringLiteral("plain");
        QTest::newRow("selected") << QStringLiteral("selected");
        QTest::newRow("open in the editor") << QStringLiteral("open");
    }

    void storeRemovesShownTask()
    {
        QFETCH(QString, state);

        QList<TodoTask::Id> ids;
        const FocusGroup::Id groupId =
            makeGroup({QStringLiteral("A"), QStringLiteral("B"), QStringLiteral("C")}, &ids);
        ListWindow w(groupId);
        QVERIFY(w.show());
        TaskListWidget& list = *w.list;
        QPointer<TaskWidget> doomed = list.row(1);
        QPointer<TaskWidget> last = list.row(2);
        if (state == QLatin1String("selected")) {
            click(list, 1);
        } else if (state == QLatin1String("open")) {
            list.setEditing(1);
            QTRY_COMPARE(QApplication::focusWidget(), static_cast<QWidget*>(doomed->nameEdit()));
        }

        store()->removeTask(groupId, ids.at(1), false);
        QTRY_COMPARE(list.rowCount(), 2);
        flushDeletes();
        QVERIFY(!doomed);
        QCOMPARE(rowIds(list), (QList<TodoTask::Id>{ids.at(0), ids.at(2)}));
        QVERIFY(!list.editedRow());
        QVERIFY(list.selectedIndexes().isEmpty());
        QCOMPARE(list.currentIndex(), -1);
        QVERIFY(!editTaskAction()->isEnabled());
        QVERIFY(store()->group(FocusGroup::trashId()).contains(ids.at(1)));

        // The list goes on working.
        click(list, 1);
        QCOMPARE(list.row(1), last.data());
        QTest::keyClick(&list, Qt::Key_Up);
        QCOMPARE(list.selectedIndexes(), QList<int>{0});
        QTest::keyClick(&list, Qt::Key_Return);
        QCOMPARE(list.editedRow(), list.row(0));
    }

    void storeAddsTaskElsewhere()
    {
        QList<TodoTask::Id> ids;
        const FocusGroup::Id groupId = makeGroup({QStringLiteral("A")}, &ids);
        ListWindow w(groupId);
        QVERIFY(w.show());
        TaskListWidget& list = *w.list;
        click(list, 0);
        const TodoTask::Id added = store()->createTask(groupId);
        QTRY_COMPARE(list.rowCount(), 2);
        QCOMPARE(rowIds(list), (QList<TodoTask::Id>{ids.at(0), added}));
        QCOMPARE(list.selectedIndexes(), QList<int>{0});
        QCOMPARE(list.currentIndex(), 0);
    }

    void emptyingTrashWhileShown()
    {
        const auto storage = store();
        QList<TodoTask::Id> ids;
        const FocusGroup::Id groupId = makeGroup({QStringLiteral("X"), QStringLiteral("Y")}, &ids);
        for (const TodoTask::Id& id : std::as_const(ids))
            storage->removeTask(groupId, id, false);
        ListWindow w(FocusGroup::trashId());
        QVERIFY(w.show());
        TaskListWidget& list = *w.list;
        QVERIFY(list.rowCount() >= 2);
        QVERIFY(!list.hint());
        click(list, 0);
        list.setEditing(1);

        storage->emptyTrash();
        QTRY_COMPARE(list.rowCount(), 0);
        flushDeletes();
        QVERIFY(list.widget()->findChildren<TaskWidget*>().isEmpty());
        QVERIFY(list.hint());
        QVERIFY(!list.editedRow());
        QCOMPARE(list.currentIndex(), -1);
        QVERIFY(!editTaskAction()->isEnabled());
    }

    void movingAllTasksAwayLeavesNoRows()
    {
        QList<TodoTask::Id> ids;
        const FocusGroup::Id groupId =
            makeGroup({QStringLiteral("A"), QStringLiteral("B"), QStringLiteral("C")}, &ids);
        const FocusGroup::Id otherId = makeGroup({});
        ListWindow w(groupId);
        QVERIFY(w.show());
        TaskListWidget& list = *w.list;
        click(list, 0);
        click(list, 2, Ctrl);

        store()->moveTasks(groupId, otherId, ids);
        QTRY_COMPARE(list.rowCount(), 0);
        flushDeletes();
        QVERIFY(list.widget()->findChildren<TaskWidget*>().isEmpty());
        QVERIFY(list.selectedIndexes().isEmpty());
        QVERIFY(list.hint());
        QCOMPARE(storeIds(otherId), ids);

        // Keys and clicks on the empty list are harmless.
        QTest::keyClick(&list, Qt::Key_Up);
        QTest::keyClick(&list, Qt::Key_Down);
        QTest::keyClick(&list, Qt::Key_Delete);
        QTest::keyClick(&list, Qt::Key_Return);
        click(list, Empty);
        QCOMPARE(list.currentIndex(), -1);
    }

    // Drag text and image

    void dragText_data()
    {
        QTest::addColumn<QStringList>("names");
        QTest::addColumn<QStringList>("notes");
        QTest::addColumn<QString>("text");

        QTest::newRow("name and notes") << QStringList{QStringLiteral("  Buy milk ")} << QStringList{QStringLiteral(" 2 l ")}
                                        << QStringLiteral("Buy milk (2 l)");
        QTest::newRow("name only") << QStringList{QStringLiteral("  Buy milk ")} << QStringList{QString()}
                                   << QStringLiteral("Buy milk");
        QTest::newRow("blank notes") << QStringList{QStringLiteral("Buy milk")} << QStringList{QStringLiteral("   ")}
                                     << QStringLiteral("Buy milk");
        QTest::newRow("several tasks")
            << QStringList{QStringLiteral("Buy milk"), QStringLiteral(" Call Bob"), QStringLiteral("Pay rent ")}
            << QStringList{QStringLiteral("2 l"), QString(), QStringLiteral("\tMarch\n")}
            << QStringLiteral("Buy milk (2 l)\nCall Bob\nPay rent (March)");
    }

    void dragText()
    {
        QFETCH(QStringList, names);
        QFETCH(QStringList, notes);
        QFETCH(QString, text);
        QList<TodoTask> tasks;
        for (int i = 0; i < names.size(); ++i)
            tasks << TodoTask(QUuid::createUuid(), names.at(i), notes.at(i), false, QDateTime(),
                              QDateTime::currentDateTime());
        QCOMPARE(TaskListWidget::dragText(tasks), text);
    }

    void dragPixmap_data()
    {
        QTest::addColumn<int>("count");
        QTest::newRow("one row") << 1;
        QTest::newRow("two rows") << 2;
        QTest::newRow("three rows") << 3;
        QTest::newRow("four rows") << 4;
        QTest::newRow("five rows") << 5;
    }

    void dragPixmap()
    {
        QFETCH(int, count);
        ListWindow w(makeGroup({QStringLiteral("A"), QStringLiteral("B"), QStringLiteral("C"), QStringLiteral("D"),
                                QStringLiteral("E")}));
        QVERIFY(w.show());
        TaskListWidget& list = *w.list;
        // One open row makes the heights differ.
        list.setEditing(1);
        QCoreApplication::processEvents();
        QList<TaskWidget*> rows;
        for (int i = 0; i < count; ++i)
            rows << list.row(i);

        const QPixmap pixmap = TaskListWidget::dragPixmap(rows);
        const QSize size = pixmap.deviceIndependentSize().toSize();
        const QImage image = pixmap.toImage();
        const TaskWidget* first = rows.first();
        if (count < 4) {
            int height = 0;
            for (TaskWidget* row : std::as_const(rows))
                height += row->height();
            QCOMPARE(size, QSize(first->width(), height + count - 1));
            // The rows are see-through (painted at 80 %), the gaps between them empty.
            QCOMPARE(qRound(image.pixelColor(size.width() - 3, first->height() / 2).alphaF() * 10), 8);
            if (count > 1)
                QCOMPARE(image.pixelColor(size.width() / 2, first->height()).alpha(), 0);
        } else {
            QCOMPARE(size, first->size() + QSize(20, 20));
            QCOMPARE(qRound(image.pixelColor(3, first->height() / 2).alphaF() * 10), 8);
            // Stacked: the top right and bottom left corners stay empty, the last row shows at the
            // bottom right.
            QCOMPARE(image.pixelColor(size.width() - 3, 3).alpha(), 0);
            QCOMPARE(image.pixelColor(3, size.height() - 3).alpha(), 0);
            QVERIFY(image.pixelColor(size.width() - 3, size.height() - first->height() / 2).alpha() > 0);
        }
    }

    void dragPixmapOfNoRowsIsNull() { QVERIFY(TaskListWidget::dragPixmap({}).isNull()); }

    // Groups

    void setGroupShowsAnotherGroup()
    {
        QList<TodoTask::Id> ids;
        const FocusGroup::Id first = makeGroup({QStringLiteral("A"), QStringLiteral("B")}, &ids);
        QList<TodoTask::Id> otherIds;
        const FocusGroup::Id second = makeGroup({QStringLiteral("C")}, &otherIds);
        ListWindow w(first);
        QVERIFY(w.show());
        TaskListWidget& list = *w.list;
        QPointer<TaskWidget> row0 = list.row(0);
        click(list, 0);
        list.setGroup(first);
        QCOMPARE(list.row(0), row0.data());
        QCOMPARE(list.selectedIndexes(), QList<int>{0});

        list.setGroup(second);
        flushDeletes();
        QVERIFY(!row0);
        QCOMPARE(list.group(), second);
        QCOMPARE(rowIds(list), otherIds);
        QCOMPARE(list.currentIndex(), -1);
        QVERIFY(!editTaskAction()->isEnabled());
        QVERIFY(list.widget()->findChildren<TaskWidget*>().size() == 1);
    }

    void listWithoutGroupIgnoresCommands()
    {
        ListWindow w{FocusGroup::Id()};
        QVERIFY(w.show());
        TaskListWidget& list = *w.list;
        list.newTask();
        list.cleanup();
        list.editSelected();
        QTest::keyClick(&list, Qt::Key_Return, Qt::ShiftModifier);
        doubleClick(list, QPoint(200, 300));
        QCOMPARE(list.rowCount(), 0);
        QVERIFY(!list.hint());
    }

private:
    QTemporaryDir m_dir;
};

MRV_TEST_WIDGETS_MAIN(TstTaskList)
#include "tst_tasklist.moc"
