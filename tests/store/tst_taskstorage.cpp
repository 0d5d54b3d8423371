#include "store/taskfinder.h"
#include "store/taskstorage.h"
#include "support/testenv.h"

#include <QSignalSpy>
#include <QTemporaryDir>

#include <algorithm>
#include <functional>
#include <memory>

namespace {

const FocusGroup::Id kInbox = FocusGroup::inboxId();
const FocusGroup::Id kTrash = FocusGroup::trashId();
const FocusGroup::Id kCompleted = FocusGroup::completedId();

// Inbox a b c, Completed f, Trash e, Work d c e, Home (empty).
struct Fixture
{
    QHash<QChar, TodoTask::Id> task;
    FocusGroup::Id work, home;
    TodoTask::Id operator[](char name) const { return task.value(QLatin1Char(name)); }
};

using Operation = std::function<void(TaskStorage&, const Fixture&)>;

QUuid idAt(const QSignalSpy& spy, int i, int argument = 0)
{
    return spy.at(i).at(argument).value<QUuid>();
}

} // namespace

Q_DECLARE_METATYPE(Operation)

class TstTaskStorage : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    std::shared_ptr<TaskStorage> m_store;
    Fixture m_x;

    QList<QUuid> ids(const FocusGroup::Id& group) const { return m_store->group(group).taskIds(); }

    // Each group in order with the names of its tasks ("-" for a task without one).
    QStringList lists() const
    {
        QStringList groups;
        for (const FocusGroup::Id& id : m_store->groupIds()) {
            QStringList names{m_store->group(id).name() + QLatin1Char(':')};
            m_store->visitTasks(ids(id), [&names](const TodoTask& task) {
                names << (task.name().isEmpty() ? QStringLiteral("-") : task.name());
            });
            groups << names.join(QLatin1Char(' '));
        }
        return groups;
    }

private Q_SLOTS:
    void init()
    {
        const QString name = QUuid::createUuid().toString(QUuid::Id128) + QStringLiteral(".xml");
        m_store = std::make_shared<TaskStorage>(m_dir.filePath(name), 3600000);
        m_store->init();
        m_x.work = m_store->addGroup(QStringLiteral("Work"), QString());
        m_x.home = m_store->addGroup(QStringLiteral("Home"), QString());
        const QList<FocusGroup::Id> places{kInbox, kInbox, kInbox, m_x.work, kTrash, kCompleted};
        for (int i = 0; i < places.size(); ++i) {
            const QChar name = QLatin1Char(char('a' + i));
            m_x.task.insert(name, m_store->createTask(places.at(i)));
            m_store->setTaskName(m_x.task.value(name), name);
        }
        m_store->addTaskToGroup(m_x.work, m_x['c']);
        m_store->addTaskToGroup(m_x.work, m_x['e']);
    }

    void cleanup() { m_store.reset(); }

    void operationsOnLists_data()
    {
        QTest::addColumn<Operation>("operation");
        // The groups that changed, in their new order; a name alone for a group that went.
        QTest::addColumn<QString>("changed");
        QTest::addColumn<QString>("announced"); // the last one last, the others in alphabetical order
        QTest::addColumn<int>("taskSignals");
        QTest::addColumn<int>("changes"); // of the revision, which the committer writes
        const auto row = [](const char* name, const Operation& operation, const char* changed,
                            const char* announced = "", int changes = 1, int taskSignals = 0) {
            QTest::newRow(name) << operation << QString::fromUtf8(changed) << QString::fromUtf8(announced)
                                << taskSignals << changes;
        };
        row("create in a group", [](auto& s, auto& x) { s.createTask(x.work); }, "Work: d c e -", "Work");
        row("create in an absent group: the Inbox", [](auto& s, auto&) { s.createTask(QUuid::createUuid()); },
            "Inbox: a b c -", "Inbox");
        row("rename twice the same: one change", [](auto& s, auto& x) {
            s.setTaskName(x['a'], QStringLiteral("A"));
            s.setTaskName(x['a'], QStringLiteral("A"));
        }, "Inbox: A b c", "", 1, 1);
        row("complete a repeating task: the next one after it in each list", [](auto& s, auto& x) {
            s.setTaskRepeat(x['c'], QStringLiteral("FREQ=DAILY"));
            s.setTaskCompleted(x['c'], true, QDateTime::currentDateTime());
        }, "Inbox: a b c c | Work: d c c e", "Inbox Work", 2, 2);
        row("remove from the last list: to the Trash",
            [](auto& s, auto& x) { s.removeTask(kInbox, x['a'], false); }, "Inbox: b c | Trash: e a",
            "Inbox Trash");
        row("remove, skipping the Trash", [](auto& s, auto& x) { s.removeTask(kInbox, x['a'], true); },
            "Inbox: b c", "Inbox");
        row("remove a task listed elsewhere: it stays there",
            [](auto& s, auto& x) { s.removeTask(kInbox, x['c'], false); }, "Inbox: a b", "Inbox");
        row("empty the Trash", [](auto& s, auto&) { s.emptyTrash(); }, "Trash:", "Trash");
        row("move to a group that lists one already",
            [](auto& s, auto& x) { s.moveTasks(kInbox, x.work, {x['a'], x['c']}); },
            "Inbox: b | Work: d c e a", "Inbox Work");
        row("move to Completed: unlisted everywhere", [](auto& s, auto& x) {
            s.moveTasks(kInbox, kCompleted, {x['a'], QUuid(), x['c']});
        }, "Inbox: b | Completed: f a c | Work: d e", "Inbox Work Completed");
        row("add tasks, skipping null and listed ids", [](auto& s, auto& x) {
            s.addTasksToGroup(x.home, {x['a'], QUuid(), x['d'], x['d']});
        }, "Home: a d", "Home");
        row("reorder after the anchor",
            [](auto& s, auto& x) { s.group(kInbox).reorderTasks(x['a'], false, {x['c']}); }, "Inbox: a c b");
        row("reorder before the anchor, an id given twice once", [](auto& s, auto& x) {
            s.group(kInbox).reorderTasks(x['a'], true, {x['c'], x['b'], x['c']});
        }, "Inbox: c b a");
        row("reorder around a moved task: nothing",
            [](auto& s, auto& x) { s.group(kInbox).reorderTasks(x['a'], true, {x['a'], x['b']}); }, "");
        row("insert from elsewhere, skipping listed ids", [](auto& s, auto& x) {
            const TodoTask arrived(QUuid::createUuid(), QStringLiteral("x"), QString(), false, QDateTime(),
                                   QDateTime::currentDateTime());
            s.insertTasks(kInbox, {arrived, s.task(x['a'])}, 1);
        }, "Inbox: a x b c", "Inbox");
        row("order from elsewhere: the listed ids take their places", [](auto& s, auto& x) {
            s.setTaskOrder(kInbox, {x['c'], QUuid::createUuid(), x['a']});
        }, "Inbox: c b a", "Inbox");
        row("remove a group: to the Trash what no other group lists",
            [](auto& s, auto& x) { s.removeGroup(x.work); }, "Trash: e d | Work", "Trash");
        row("move a group", [](auto& s, auto& x) { s.moveGroup(0, x.home); }, "Home: | Work: d c e");
        row("the fixed groups are neither removed nor moved", [](auto& s, auto& x) {
            for (const QUuid& fixed : {kInbox, kTrash, kCompleted}) {
                s.removeGroup(fixed);
                s.moveGroup(0, fixed);
                s.placeGroupAt(x.work, fixed);
                s.placeGroupAt(fixed, x.work);
            }
        }, "", "", 0);
    }

    void operationsOnLists()
    {
        QFETCH(Operation, operation);
        QFETCH(QString, changed);
        QFETCH(QString, announced);
        QFETCH(int, taskSignals);
        QFETCH(int, changes);
        QStringList expected = lists();
        QSignalSpy groups(m_store.get(), &TaskStorage::groupChanged);
        QSignalSpy tasks(m_store.get(), &TaskStorage::taskChanged);
        const int revision = m_store->revision();
        const QDateTime start = QDateTime::currentDateTime();
        operation(*m_store, m_x);
        // The changed groups take the places the groups of those names had.
        const QStringList entries = changed.split(QStringLiteral(" | "), Qt::SkipEmptyParts);
        QList<qsizetype> places;
        for (const QString& entry : entries) {
            const QString name = entry.section(QLatin1Char(':'), 0, 0) + QLatin1Char(':');
            places << std::find_if(expected.cbegin(), expected.cend(),
                                   [&name](const QString& group) { return group.startsWith(name); })
                    - expected.cbegin();
        }
        std::sort(places.begin(), places.end());
        for (qsizetype i = 0; i < entries.size(); ++i)
            expected[places.at(i)] = entries.at(i);
        expected.removeIf([](const QString& entry) { return !entry.contains(QLatin1Char(':')); });
        QCOMPARE(lists(), expected);
        QStringList heard;
        for (int i = 0; i < groups.size(); ++i)
            heard << m_store->group(idAt(groups, i)).name();
        if (!heard.isEmpty())
            std::sort(heard.begin(), heard.end() - 1);
        QCOMPARE(heard.join(QLatin1Char(' ')), announced);
        QCOMPARE(tasks.size(), taskSignals);
        for (int i = 0; i < tasks.size(); ++i)
            QVERIFY(m_store->task(idAt(tasks, i)).modified() >= start);
        QCOMPARE(m_store->revision(), revision + changes);
        // Every record stays, also of a task that no group lists any more.
        for (const TodoTask::Id& id : qAsConst(m_x.task))
            QCOMPARE(m_store->task(id).id(), id);
    }

    void recordSettersWriteThroughToTheStore()
    {
        const TodoTask::Id id = m_x['a'];
        TodoTask copy = m_store->task(id);
        copy.setName(QStringLiteral("Call mum"));
        QCOMPARE(m_store->task(id).name(), QStringLiteral("Call mum"));
        m_store->group(kInbox).removeTask(id, false);
        QCOMPARE(ids(kInbox), (QList<QUuid>{m_x['b'], m_x['c']}));
    }

    void slotsMayCallBackIntoTheStore()
    {
        // Signals are delivered with the lock held; the lock is recursive.
        const TodoTask::Id id = m_x['a'];
        QString seen;
        auto nested = connect(m_store.get(), &TaskStorage::taskChanged, this, [&](const QUuid& changed) {
            seen = m_store->task(changed).name();
            m_store->setTaskNotes(changed, QStringLiteral("from slot"));
        });
        m_store->setTaskName(id, QStringLiteral("Nested"));
        QCOMPARE(seen, QStringLiteral("Nested"));
        QCOMPARE(m_store->task(id).notes(), QStringLiteral("from slot"));
        disconnect(nested);

        // A slot that removes a group while a move to the Trash announces its groups.
        connect(m_store.get(), &TaskStorage::groupChanged, this,
                [&](const QUuid&) { m_store->removeGroup(m_x.home); });
        m_store->moveTasks(m_x.work, kTrash, {m_x['d']});
        QCOMPARE(ids(kTrash), (QList<QUuid>{m_x['e'], m_x['d']}));
    }

    void finderFollowsARename()
    {
        const TodoTask::Id id = m_x['a'];
        m_store->setTaskName(id, QStringLiteral("Buy milk"));
        TaskFinder finder(m_store);
        const QList<FoundTask> found{FoundTask{id, kInbox}};
        QCOMPARE(finder.find(QStringLiteral("milk")), found);
        m_store->setTaskName(id, QStringLiteral("Buy bread"));
        QCOMPARE(finder.find(QStringLiteral("bread")), found);
        QVERIFY(finder.find(QStringLiteral("milk")).isEmpty());
    }
};

MRV_TEST_GUILESS_MAIN(TstTaskStorage)
#include "tst_taskstorage.moc"
