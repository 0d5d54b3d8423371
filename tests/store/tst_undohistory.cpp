#include "store/storestep.h"
#include "store/tasksnapshot.h"
#include "store/taskstorage.h"
#include "store/undohistory.h"
#include "support/testenv.h"

#include <QSignalSpy>
#include <QTemporaryDir>

#include <functional>
#include <memory>

namespace {

const FocusGroup::Id kInbox = FocusGroup::inboxId();
const FocusGroup::Id kTrash = FocusGroup::trashId();
const FocusGroup::Id kCompleted = FocusGroup::completedId();

// Inbox a b c d, Work e f c, Home (empty), Completed g, Trash h.
struct Fixture
{
    TodoTask::Id a, b, c, d, e, f, g, h;
    FocusGroup::Id work, home;
};

struct StoreState
{
    TaskSnapshot contents;
    QList<FocusGroup::Id> order;
};

using Action = std::function<void(TaskStorage&, const Fixture&)>;

} // namespace

Q_DECLARE_METATYPE(Action)

class TstUndoHistory : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    std::unique_ptr<TaskStorage> m_store;
    std::unique_ptr<UndoHistory> m_history;
    Fixture m_ids;

    TodoTask::Id _task(const FocusGroup::Id& group, const QString& name)
    {
        const TodoTask::Id id = m_store->createTask(group);
        m_store->setTaskName(id, name);
        m_store->setTaskNotes(id, name + QStringLiteral(" notes"));
        return id;
    }

    StoreState _state() const
    {
        StoreState state;
        state.contents.byId = true;
        m_store->snapshot(state.contents);
        state.order = m_store->groupIds();
        return state;
    }

    // Every group (name, icon, list, place) and every task record but the time it last
    // changed here (putting a field back is a change).
    bool _storeIs(const StoreState& expected) const
    {
        const auto records = [](const StoreState& state) {
            QHash<TodoTask::Id, TodoTask> tasks;
            for (const TodoTask& t : state.contents.tasksById)
                tasks.insert(t.id(), TodoTask(t.id(), t.name(), t.notes(), t.completed(), t.due(), t.created(),
                                              t.completedAt(), t.deletedAt(), QDateTime(), t.repeatRule()));
            return tasks;
        };
        const StoreState now = _state();
        return now.order == expected.order && now.contents.groupsById == expected.contents.groupsById
            && records(now) == records(expected);
    }

private Q_SLOTS:
    void init()
    {
        m_store = std::make_unique<TaskStorage>(m_dir.filePath(QUuid::createUuid().toString(QUuid::Id128)), 3600000);
        m_store->init();
        m_history = std::make_unique<UndoHistory>(m_store.get());
        Fixture& x = m_ids;
        x.work = m_store->addGroup(QStringLiteral("Work"), QStringLiteral("folder"));
        x.home = m_store->addGroup(QStringLiteral("Home"), QStringLiteral("house"));
        x.a = _task(kInbox, QStringLiteral("a"));
        x.b = _task(kInbox, QStringLiteral("b"));
        x.c = _task(kInbox, QStringLiteral("c"));
        x.d = _task(kInbox, QStringLiteral("d"));
        x.e = _task(x.work, QStringLiteral("e"));
        x.f = _task(x.work, QStringLiteral("f"));
        m_store->addTaskToGroup(x.work, x.c);
        x.g = _task(kCompleted, QStringLiteral("g"));
        x.h = _task(kTrash, QStringLiteral("h"));
    }

    void cleanup()
    {
        m_history.reset();
        m_store.reset();
    }

    void undoRestoresAndRedoRepeatsEachKindOfStep_data()
    {
        QTest::addColumn<Action>("action");
        QTest::addColumn<QStringList>("shown"); // empty: not looked at
        const QDateTime due(QDate(2026, 12, 24), QTime(18, 30));
        QTest::newRow("create") << Action([](auto& s, auto& x) {
            s.setTaskName(s.createTask(x.work), QStringLiteral("new"));
        }) << QStringList();
        QTest::newRow("edit session") << Action([due](auto& s, auto& x) {
            s.setTaskName(x.a, QStringLiteral("renamed"));
            s.setTaskNotes(x.a, QStringLiteral("other notes"));
            s.setTaskDue(x.a, due);
            s.setTaskRepeat(x.a, QStringLiteral("FREQ=WEEKLY"));
            s.setTaskCompleted(x.a, true, due);
        }) << QStringList{"a"};
        QTest::newRow("delete to Trash") << Action([](auto& s, auto& x) { s.removeTasks(kInbox, {x.b, x.c}, false); })
                                         << QStringList{"b", "c"};
        QTest::newRow("move to a group") << Action([](auto& s, auto& x) { s.moveTasks(kInbox, x.home, {x.d, x.a}); })
                                         << QStringList();
        QTest::newRow("group rename and icon") << Action([](auto& s, auto& x) {
            s.setGroupName(x.work, QStringLiteral("Job"));
            s.setGroupIcon(x.work, QStringLiteral("flag"));
        }) << QStringList();
        // Undone, a removed group shows the tasks it listed.
        QTest::newRow("group remove") << Action([](auto& s, auto& x) { s.removeGroup(x.work); })
                                      << QStringList{"c", "e", "f"};
    }

    void undoRestoresAndRedoRepeatsEachKindOfStep()
    {
        QFETCH(Action, action);
        QFETCH(QStringList, shown);
        const StoreState before = _state();
        {
            StoreStep step(*m_store, QStringLiteral("Step"));
            action(*m_store, m_ids);
        }
        const StoreState after = _state();
        QCOMPARE(m_history->undoLabel(), QStringLiteral("Step"));

        QSignalSpy groups(m_store.get(), &TaskStorage::groupChanged);
        QSignalSpy tasks(m_store.get(), &TaskStorage::taskChanged);
        const UndoHistory::Outcome undone = m_history->undo();
        QVERIFY(undone.applied);
        QVERIFY(groups.size() + tasks.size() > 0);
        QCOMPARE(undone.groupsChanged, QString::fromLatin1(QTest::currentDataTag()).startsWith(QLatin1String("group")));
        QVERIFY(_storeIs(before));
        QStringList names;
        for (const TodoTask::Id& id : undone.taskIds)
            names << m_store->task(id).name();
        names.sort();
        QVERIFY(shown.isEmpty() || names == shown);
        QVERIFY(!m_history->canUndo());

        QVERIFY(m_history->redo().applied);
        QVERIFY(_storeIs(after));
        QVERIFY(m_history->canUndo() && !m_history->canRedo());
    }

    void editsWithOneKeyAreOneStepUnlessAnotherChangeCameBetween()
    {
        const auto edit = [this](const QString& name) {
            StoreStep step(*m_store, QStringLiteral("Edit"), QStringLiteral("row"));
            m_store->setTaskName(m_ids.a, name);
        };
        edit(QStringLiteral("x"));
        edit(QStringLiteral("xy"));
        TodoTask synced = m_store->task(m_ids.a);
        synced.setNotes(QStringLiteral("from the phone"));
        m_store->updateTask(synced);
        edit(QStringLiteral("xyz"));
        QVERIFY(m_history->undo().applied);
        QCOMPARE(m_store->task(m_ids.a).name(), QStringLiteral("xy"));
        QVERIFY(m_history->undo().applied);
        QCOMPARE(m_store->task(m_ids.a).name(), QStringLiteral("a"));
        QCOMPARE(m_store->task(m_ids.a).notes(), QStringLiteral("from the phone"));
        QVERIFY(!m_history->canUndo());

        // A new step drops the steps that could be redone; steps within a step are one, the outer.
        QVERIFY(m_history->canRedo());
        {
            StoreStep outer(*m_store, QStringLiteral("Edit"));
            StoreStep inner(*m_store, QStringLiteral("Rename"));
            m_store->setTaskName(m_ids.b, QStringLiteral("second"));
        }
        QVERIFY(!m_history->canRedo());
        QCOMPARE(m_history->undoLabel(), QStringLiteral("Edit"));
    }

    void changesFromElsewhereSinceTheStepAreKept()
    {
        const Fixture& x = m_ids;
        {
            StoreStep step(*m_store, QStringLiteral("Delete"));
            m_store->setTaskName(x.a, QStringLiteral("renamed"));
            m_store->removeTasks(kInbox, {x.b}, false);
        }
        const TodoTask phone(QUuid::createUuid(), QStringLiteral("captured"), QString(), false, QDateTime(),
                             QDateTime::currentDateTime());
        m_store->insertTasks(kInbox, {phone}, 1);
        TodoTask synced = m_store->task(x.a);
        synced.setNotes(QStringLiteral("from the phone"));
        m_store->updateTask(synced);

        const UndoHistory::Outcome undone = m_history->undo();
        QVERIFY(undone.applied);
        QCOMPARE(undone.taskIds, (QList<TodoTask::Id>{x.a, x.b}));
        QCOMPARE(m_store->group(kInbox).taskIds(), (FocusGroup::TaskIdList{x.a, x.b, phone.id(), x.c, x.d}));
        QCOMPARE(m_store->task(x.a).name(), QStringLiteral("a"));
        QCOMPARE(m_store->task(x.a).notes(), QStringLiteral("from the phone"));

    }
};

MRV_TEST_GUILESS_MAIN(TstUndoHistory)
#include "tst_undohistory.moc"
