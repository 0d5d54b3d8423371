#include "store/taskfinder.h"
#include "store/taskstorage.h"
#include "support/testenv.h"

#include <QSignalSpy>
#include <QTemporaryDir>

#include <climits>
#include <memory>

namespace {

const FocusGroup::Id kInbox = FocusGroup::inboxId();
const FocusGroup::Id kTrash = FocusGroup::trashId();
const FocusGroup::Id kCompleted = FocusGroup::completedId();

QUuid idAt(const QSignalSpy& spy, int i, int argument = 0)
{
    return spy.at(i).at(argument).value<QUuid>();
}

} // namespace

class TstTaskStorage : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    std::shared_ptr<TaskStorage> m_store;

    std::shared_ptr<TaskStorage> newStore(const QDate& today = QDate())
    {
        const QString name = QUuid::createUuid().toString(QUuid::Id128) + QStringLiteral(".xml");
        auto store = std::make_shared<TaskStorage>(m_dir.filePath(name), 3600000);
        if (today.isValid())
            store->setDayFunction([today] { return today; });
        store->init();
        return store;
    }

    QList<QUuid> ids(const FocusGroup::Id& group) const { return m_store->group(group).taskIds(); }
    FocusGroup::Id addGroup(const QString& name) { return m_store->addGroup(name, QString()); }

private Q_SLOTS:
    void init() { m_store = newStore(); }
    void cleanup() { m_store.reset(); }

    void freshStoreHoldsTheFixedGroupsOnly()
    {
        QCOMPARE(m_store->revision(), 0);
        QCOMPARE(m_store->groupIds(), (QList<QUuid>{kInbox, kCompleted, kTrash}));
        QVERIFY(!QFile::exists(m_store->path()));
        QVERIFY(m_store->group(QUuid()).id().isNull());
        QVERIFY(m_store->group(QUuid::createUuid()).id().isNull());
        QVERIFY(m_store->task(QUuid()).id().isNull());
    }

    void createTaskGoesToTheGroupOrInbox_data()
    {
        QTest::addColumn<QString>("target");
        QTest::newRow("existing group") << QStringLiteral("Home");
        QTest::newRow("absent group falls back to Inbox") << QStringLiteral("absent");
        QTest::newRow("null group does nothing") << QString();
    }

    void createTaskGoesToTheGroupOrInbox()
    {
        QFETCH(QString, target);
        const FocusGroup::Id home = addGroup(QStringLiteral("Home"));
        const FocusGroup::Id given = target == QLatin1String("Home") ? home
            : target.isEmpty()                                       ? QUuid()
                                                                     : QUuid::createUuid();
        QSignalSpy groups(m_store.get(), &TaskStorage::groupChanged);
        const int before = m_store->revision();
        const TodoTask::Id id = m_store->createTask(given);
        QCOMPARE(id.isNull(), target.isEmpty());
        QCOMPARE(m_store->revision(), before + (id.isNull() ? 0 : 1));
        QCOMPARE(groups.size(), id.isNull() ? 0 : 1);
        if (id.isNull())
            return;
        const FocusGroup::Id receiver = given == home ? home : kInbox;
        QCOMPARE(ids(receiver), QList<QUuid>{id});
        QCOMPARE(idAt(groups, 0), receiver);
        QVERIFY(m_store->task(id).created().isValid());
        QVERIFY(m_store->task(id).isEmpty());
    }

    void taskSettersSignalOnlyRealChanges_data()
    {
        QTest::addColumn<int>("field");
        QTest::newRow("name") << 0;
        QTest::newRow("notes") << 1;
        QTest::newRow("due") << 2;
        QTest::newRow("completed") << 3;
        QTest::newRow("repeat") << 4;
    }

    void taskSettersSignalOnlyRealChanges()
    {
        QFETCH(int, field);
        const TodoTask::Id id = m_store->createTask(kInbox);
        const QDateTime due(QDate(2026, 12, 24), QTime(18, 30));
        auto set = [&] {
            switch (field) {
            case 0: m_store->setTaskName(id, QStringLiteral("Buy milk")); break;
            case 1: m_store->setTaskNotes(id, QStringLiteral("2 litres")); break;
            case 2: m_store->setTaskDue(id, due); break;
            case 4: m_store->setTaskRepeat(id, QStringLiteral("FREQ=WEEKLY;BYDAY=MO")); break;
            default: m_store->setTaskCompleted(id, true, due); break;
            }
        };
        QSignalSpy tasks(m_store.get(), &TaskStorage::taskChanged);
        const int before = m_store->revision();
        const QDateTime start = QDateTime::currentDateTime();
        set();
        QVERIFY(m_store->task(id).modified() >= start);
        QCOMPARE(tasks.size(), 1);
        QCOMPARE(idAt(tasks, 0), id);
        QCOMPARE(m_store->revision(), before + 1);
        set(); // the same value again
        QCOMPARE(tasks.size(), 1);
        QCOMPARE(m_store->revision(), before + 1);
    }

    void changesFromElsewhereAreAnnouncedOnce()
    {
        const TodoTask::Id listed = m_store->createTask(kInbox);
        const TodoTask::Id other = m_store->createTask(kInbox);
        const QDateTime created(QDate(2026, 3, 1), QTime(8, 0));
        const TodoTask arrived(QUuid::createUuid(), QStringLiteral("From the phone"), QString(), false, QDateTime(),
                               created, QDateTime(), QDateTime(), created);
        QSignalSpy groups(m_store.get(), &TaskStorage::groupChanged);
        m_store->insertTasks(kInbox, {arrived, m_store->task(listed)}, 1);
        QCOMPARE(groups.size(), 1);
        QCOMPARE(ids(kInbox), (QList<QUuid>{listed, arrived.id(), other}));
        QCOMPARE(m_store->task(arrived.id()).created(), created);

        TodoTask renamed(arrived.id(), QStringLiteral("Renamed"), QStringLiteral("n"), true, QDateTime(), QDateTime(),
                         created.addDays(1), QDateTime(), created.addDays(2), QStringLiteral("FREQ=DAILY"));
        QSignalSpy tasks(m_store.get(), &TaskStorage::taskChanged);
        m_store->updateTask(renamed);
        m_store->updateTask(renamed);
        QCOMPARE(tasks.size(), 1);
        const TodoTask stored = m_store->task(arrived.id());
        QCOMPARE(stored.name(), QStringLiteral("Renamed"));
        QCOMPARE(stored.created(), created);
        QCOMPARE(stored.modified(), created.addDays(2));
        QCOMPARE(stored.repeatRule(), QStringLiteral("FREQ=DAILY"));
        // Completed on another device, which made the next occurrence itself.
        QCOMPARE(ids(kInbox).size(), 3);

        // Only the named tasks the group lists move, within the places they hold.
        m_store->setTaskOrder(kInbox, {other, QUuid::createUuid(), listed});
        QCOMPARE(ids(kInbox), (QList<QUuid>{other, arrived.id(), listed}));
        QCOMPARE(groups.size(), 2);
    }

    void completingARepeatingTaskAddsOneOccurrence_data()
    {
        QTest::addColumn<QString>("rule");
        QTest::addColumn<QDateTime>("due");
        QTest::addColumn<QDateTime>("nextDue"); // invalid: no occurrence
        const QDate today(2026, 12, 24);
        QTest::newRow("weekly keeps the time") << "FREQ=WEEKLY" << QDateTime(today, QTime(18, 30))
                                               << QDateTime(QDate(2026, 12, 31), QTime(18, 30));
        QTest::newRow("long overdue") << "FREQ=DAILY;INTERVAL=2" << QDateTime(QDate(2026, 12, 1), QTime(9, 0))
                                      << QDateTime(QDate(2026, 12, 25), QTime(9, 0));
        QTest::newRow("no due date counts from today") << "FREQ=DAILY" << QDateTime()
                                                       << QDateTime(QDate(2026, 12, 25), QTime(0, 0));
        QTest::newRow("rule not followed") << "FREQ=DAILY;COUNT=2" << QDateTime(today, QTime(9, 0)) << QDateTime();
        QTest::newRow("no rule") << "" << QDateTime(today, QTime(9, 0)) << QDateTime();
    }

    void completingARepeatingTaskAddsOneOccurrence()
    {
        QFETCH(QString, rule);
        QFETCH(QDateTime, due);
        QFETCH(QDateTime, nextDue);
        m_store = newStore(QDate(2026, 12, 24));
        const FocusGroup::Id work = addGroup(QStringLiteral("Work"));
        const TodoTask::Id first = m_store->createTask(kInbox);
        const TodoTask::Id id = m_store->createTask(kInbox);
        const TodoTask::Id last = m_store->createTask(kInbox);
        m_store->addTaskToGroup(work, id);
        m_store->setTaskName(id, QStringLiteral("Water the plants"));
        m_store->setTaskNotes(id, QStringLiteral("and the cactus"));
        m_store->setTaskRepeat(id, rule);
        m_store->setTaskDue(id, due);
        QSignalSpy groups(m_store.get(), &TaskStorage::groupChanged);
        QSignalSpy made(m_store.get(), &TaskStorage::occurrenceCreated);
        m_store->setTaskCompleted(id, true, QDateTime::currentDateTime());
        QVERIFY(m_store->task(id).completed());
        if (!nextDue.isValid()) {
            QCOMPARE(made.size(), 0);
            QCOMPARE(ids(kInbox), (QList<QUuid>{first, id, last}));
            return;
        }
        QCOMPARE(made.size(), 1);
        QCOMPARE(idAt(made, 0), id);
        const TodoTask next = m_store->task(idAt(made, 0, 1));
        QCOMPARE(next.name(), QStringLiteral("Water the plants"));
        QCOMPARE(next.notes(), QStringLiteral("and the cactus"));
        QCOMPARE(next.repeatRule(), rule);
        QCOMPARE(next.due(), nextDue);
        QVERIFY(!next.completed());
        QCOMPARE(ids(kInbox), (QList<QUuid>{first, id, next.id(), last}));
        QCOMPARE(ids(work), (QList<QUuid>{id, next.id()}));
        QCOMPARE(groups.size(), 2);

        // A task only Completed lists repeats into the Inbox.
        m_store->setTaskCompleted(next.id(), false, QDateTime());
        m_store->moveTasks(kInbox, kCompleted, {next.id()});
        m_store->setTaskCompleted(next.id(), true, QDateTime::currentDateTime());
        QCOMPARE(made.size(), 2);
        QCOMPARE(ids(kInbox).last(), idAt(made, 1, 1));
        QCOMPARE(ids(kCompleted), QList<QUuid>{next.id()});
    }

    void recordSettersWriteThroughToTheStore()
    {
        const TodoTask::Id id = m_store->createTask(kInbox);
        TodoTask copy = m_store->task(id);
        copy.setName(QStringLiteral("Call mum"));
        copy.setNotes(QStringLiteral("Sunday"));
        copy.setRepeat(QStringLiteral("FREQ=WEEKLY;BYDAY=SU"));
        copy.setCompleted(true);
        const TodoTask stored = m_store->task(id);
        QCOMPARE(stored.name(), QStringLiteral("Call mum"));
        QCOMPARE(stored.notes(), QStringLiteral("Sunday"));
        QCOMPARE(stored.repeatRule(), QStringLiteral("FREQ=WEEKLY;BYDAY=SU"));
        QVERIFY(stored.completedAt().isValid());
        copy.setCompleted(false);
        QVERIFY(!m_store->task(id).completed());
        QVERIFY(!m_store->task(id).completedAt().isValid());

        FocusGroup group = m_store->group(addGroup(QStringLiteral("Work")));
        group.setName(QStringLiteral("Office"));
        group.setIcon(QStringLiteral("phone"));
        group.addTask(id);
        const FocusGroup storedGroup = m_store->group(group.id());
        QCOMPARE(storedGroup.name(), QStringLiteral("Office"));
        QCOMPARE(storedGroup.iconKey(), QStringLiteral("phone"));
        QCOMPARE(storedGroup.taskIds(), QList<QUuid>{id});
        m_store->group(kInbox).removeTask(id, false);
        QVERIFY(!ids(kInbox).contains(id));

        // A record that no store made stays local.
        TodoTask local;
        local.initNew();
        local.setName(QStringLiteral("Local"));
        QCOMPARE(local.name(), QStringLiteral("Local"));
        QVERIFY(m_store->task(local.id()).id().isNull());
    }

    void displayTextAndEmptiness_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("notes");
        QTest::addColumn<bool>("withDue");
        QTest::addColumn<QString>("display");
        QTest::addColumn<bool>("empty");
        QTest::newRow("nothing") << QString() << QString() << false << QString() << true;
        QTest::newRow("due only") << QString() << QString() << true << QString() << false;
        QTest::newRow("name") << QStringLiteral("  Buy milk ") << QString() << false << QStringLiteral("Buy milk") << false;
        QTest::newRow("blank notes") << QStringLiteral("Buy milk") << QStringLiteral("  \n") << false
                                     << QStringLiteral("Buy milk") << false;
        QTest::newRow("notes") << QStringLiteral("Buy milk") << QStringLiteral(" 2 litres\n") << false
                               << QStringLiteral("Buy milk (2 litres)") << false;
    }

    void displayTextAndEmptiness()
    {
        QFETCH(QString, name);
        QFETCH(QString, notes);
        QFETCH(bool, withDue);
        QFETCH(QString, display);
        QFETCH(bool, empty);
        const TodoTask task(QUuid::createUuid(), name, notes, false,
                            withDue ? QDateTime::currentDateTime() : QDateTime(), QDateTime::currentDateTime());
        QCOMPARE(task.displayText(), display);
        QCOMPARE(task.isEmpty(), empty);
    }

    void removeTaskRules_data()
    {
        QTest::addColumn<bool>("alsoInOtherGroup");
        QTest::addColumn<bool>("skipTrash");
        QTest::newRow("last list: to Trash") << false << false;
        QTest::newRow("last list, skip Trash: unlisted") << false << true;
        QTest::newRow("listed elsewhere: stays there") << true << false;
    }

    void removeTaskRules()
    {
        QFETCH(bool, alsoInOtherGroup);
        QFETCH(bool, skipTrash);
        const bool endsInTrash = !alsoInOtherGroup && !skipTrash;
        const FocusGroup::Id work = addGroup(QStringLiteral("Work"));
        const FocusGroup::Id home = addGroup(QStringLiteral("Home"));
        const TodoTask::Id id = m_store->createTask(work);
        if (alsoInOtherGroup)
            m_store->addTaskToGroup(home, id);
        QSignalSpy groups(m_store.get(), &TaskStorage::groupChanged);
        m_store->removeTask(work, id, skipTrash);
        QVERIFY(ids(work).isEmpty());
        QCOMPARE(ids(kTrash).contains(id), endsInTrash);
        QCOMPARE(ids(home).contains(id), alsoInOtherGroup);
        // The Trash is announced too when the task went there, so its row follows.
        QCOMPARE(groups.size(), endsInTrash ? 2 : 1);
        QCOMPARE(idAt(groups, 0), work);
        QCOMPARE(idAt(groups, groups.size() - 1), endsInTrash ? kTrash : work);
        // The record stays, also when the Trash is emptied.
        m_store->emptyTrash();
        QVERIFY(ids(kTrash).isEmpty());
        QCOMPARE(m_store->task(id).id(), id);
        QCOMPARE(idAt(groups, groups.size() - 1), kTrash);
    }

    void moveTasks_data()
    {
        QTest::addColumn<QString>("to");
        QTest::newRow("an ordinary group") << QStringLiteral("Work");
        QTest::newRow("Completed unlists everywhere") << QStringLiteral("Completed");
        QTest::newRow("Trash unlists everywhere") << QStringLiteral("Trash");
    }

    void moveTasks()
    {
        QFETCH(QString, to);
        const FocusGroup::Id work = addGroup(QStringLiteral("Work"));
        const FocusGroup::Id target = to == QLatin1String("Work") ? work
            : to == QLatin1String("Trash")                        ? kTrash
                                                                  : kCompleted;
        const TodoTask::Id a = m_store->createTask(kInbox);
        const TodoTask::Id b = m_store->createTask(kInbox);
        const TodoTask::Id c = m_store->createTask(kInbox);
        m_store->addTaskToGroup(work, b);
        QSignalSpy groups(m_store.get(), &TaskStorage::groupChanged);
        m_store->moveTasks(kInbox, target, {a, b, QUuid()});
        QCOMPARE(ids(kInbox), QList<QUuid>{c});
        QCOMPARE(ids(target), target == work ? (QList<QUuid>{b, a}) : (QList<QUuid>{a, b}));
        QCOMPARE(ids(work).isEmpty(), target != work);
        // Each group that changed is announced once, the target last.
        QList<QUuid> announced;
        for (int i = 0; i < groups.size(); ++i)
            announced << idAt(groups, i);
        QCOMPARE(announced.size(), target == work ? 2 : 3);
        QVERIFY(announced.contains(kInbox) && announced.contains(work));
        QCOMPARE(announced.last(), target);
    }

    void reorderTasks_data()
    {
        QTest::addColumn<int>("anchor"); // -1: a task the group does not list
        QTest::addColumn<bool>("before");
        QTest::addColumn<QList<int>>("moved");
        QTest::addColumn<QList<int>>("expected");
        QTest::newRow("after anchor") << 0 << false << QList<int>{3, 4} << QList<int>{0, 3, 4, 1, 2};
        QTest::newRow("before anchor") << 2 << true << QList<int>{4, 0} << QList<int>{1, 4, 0, 2, 3};
        QTest::newRow("after the last") << 4 << false << QList<int>{0} << QList<int>{1, 2, 3, 4, 0};
        QTest::newRow("anchor among moved ids") << 1 << true << QList<int>{1, 3} << QList<int>{0, 1, 2, 3, 4};
        QTest::newRow("no ids") << 1 << true << QList<int>{} << QList<int>{0, 1, 2, 3, 4};
        QTest::newRow("duplicated ids inserted once") << 0 << true << QList<int>{4, 4} << QList<int>{4, 0, 1, 2, 3};
        QTest::newRow("absent anchor: no change") << -1 << true << QList<int>{1} << QList<int>{0, 1, 2, 3, 4};
    }

    void reorderTasks()
    {
        QFETCH(int, anchor);
        QFETCH(bool, before);
        QFETCH(QList<int>, moved);
        QFETCH(QList<int>, expected);
        QList<QUuid> tasks;
        for (int i = 0; i < 5; ++i)
            tasks << m_store->createTask(kInbox);
        QList<QUuid> movedIds, expectedIds;
        for (int i : moved)
            movedIds << tasks.at(i);
        for (int i : expected)
            expectedIds << tasks.at(i);
        FocusGroup copy = m_store->group(kInbox);
        copy.reorderTasks(anchor < 0 ? QUuid::createUuid() : tasks.at(anchor), before, movedIds);
        QCOMPARE(copy.taskIds(), expectedIds);
        QCOMPARE(ids(kInbox), expectedIds);
    }

    void groupOperations()
    {
        const FocusGroup::Id a = addGroup(QStringLiteral("A"));
        const FocusGroup::Id b = addGroup(QStringLiteral("B"));
        const FocusGroup::Id c = addGroup(QStringLiteral("C"));
        auto order = [&] { return m_store->groupIds().mid(3); };
        QCOMPARE(order(), (QList<QUuid>{a, b, c}));
        m_store->moveGroup(0, c);
        QCOMPARE(order(), (QList<QUuid>{c, a, b}));
        m_store->moveGroup(3, c);
        QCOMPARE(order(), (QList<QUuid>{a, b, c}));
        m_store->placeGroupAt(a, b);
        QCOMPARE(order(), (QList<QUuid>{b, a, c}));
        int revision = m_store->revision();
        m_store->moveGroup(4, a); // past the end
        m_store->moveGroup(1, a); // already there
        QCOMPARE(m_store->revision(), revision);
        QCOMPARE(order(), (QList<QUuid>{b, a, c}));

        // The setters count a change even for the same value, never for an absent group.
        m_store->setGroupName(a, QStringLiteral("A"));
        m_store->setGroupIcon(a, QString());
        m_store->setGroupName(QUuid::createUuid(), QStringLiteral("x"));
        QCOMPARE(m_store->revision(), revision + 2);

        // The fixed groups cannot be removed or moved.
        revision = m_store->revision();
        const QList<QUuid> all = m_store->groupIds();
        for (const QUuid& fixed : {kInbox, kTrash, kCompleted}) {
            m_store->removeGroup(fixed);
            m_store->moveGroup(0, fixed);
            m_store->placeGroupAt(a, fixed);
            m_store->placeGroupAt(fixed, a);
        }
        QCOMPARE(m_store->groupIds(), all);
        QCOMPARE(m_store->revision(), revision);
    }

    void removeGroupSendsItsTasksToTrash()
    {
        const FocusGroup::Id work = addGroup(QStringLiteral("Work"));
        const TodoTask::Id a = m_store->createTask(work);
        const TodoTask::Id b = m_store->createTask(work);
        const TodoTask::Id listedElsewhere = m_store->createTask(work);
        m_store->addTaskToGroup(kInbox, listedElsewhere);
        m_store->removeTask(kInbox, a, false); // not listed in Inbox: no change to Trash
        m_store->addTaskToGroup(kTrash, b);
        QSignalSpy groups(m_store.get(), &TaskStorage::groupChanged);
        m_store->removeGroup(work);
        QVERIFY(m_store->group(work).id().isNull());
        QCOMPARE(m_store->groupIds().size(), 3);
        QCOMPARE(ids(kTrash), (QList<QUuid>{b, a}));
        QCOMPARE(ids(kInbox), QList<QUuid>{listedElsewhere});
        QCOMPARE(groups.size(), 1);
        QCOMPARE(idAt(groups, 0), kTrash);
    }

    void addTasksToGroupSkipsNullAndListedIds()
    {
        const TodoTask::Id a = m_store->createTask(kInbox);
        const TodoTask::Id b = m_store->createTask(kCompleted);
        QSignalSpy groups(m_store.get(), &TaskStorage::groupChanged);
        m_store->addTasksToGroup(kInbox, {});
        QCOMPARE(groups.size(), 0);
        m_store->addTasksToGroup(kInbox, {a, QUuid(), b, b});
        QCOMPARE(ids(kInbox), (QList<QUuid>{a, b}));
        QCOMPARE(groups.size(), 1);
    }

    void slotsMayCallBackIntoTheStore()
    {
        // Signals are delivered with the lock held; the lock is recursive.
        const TodoTask::Id id = m_store->createTask(kInbox);
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
        const FocusGroup::Id work = addGroup(QStringLiteral("Work"));
        const FocusGroup::Id home = addGroup(QStringLiteral("Home"));
        const TodoTask::Id moved = m_store->createTask(work);
        connect(m_store.get(), &TaskStorage::groupChanged, this, [&](const QUuid&) { m_store->removeGroup(home); });
        m_store->moveTasks(work, kTrash, {moved});
        QCOMPARE(ids(kTrash), QList<QUuid>{moved});
    }

    void finderFollowsEdits_data()
    {
        QTest::addColumn<bool>("notes"); // the edit: the notes rather than the name
        QTest::newRow("renamed") << false;
        QTest::newRow("notes edited") << true;
    }

    void finderFollowsEdits()
    {
        QFETCH(bool, notes);
        const TodoTask::Id id = m_store->createTask(kInbox);
        m_store->setTaskName(id, QStringLiteral("Buy milk"));
        m_store->setTaskNotes(id, QStringLiteral("Two litres"));
        TaskFinder finder(m_store);
        const QList<FoundTask> found{FoundTask{id, kInbox}};
        QCOMPARE(finder.find(notes ? QStringLiteral("litres") : QStringLiteral("milk")), found);
        if (notes)
            m_store->setTaskNotes(id, QStringLiteral("Three cartons"));
        else
            m_store->setTaskName(id, QStringLiteral("Buy bread"));
        QCOMPARE(finder.find(notes ? QStringLiteral("cartons") : QStringLiteral("bread")), found);
        QVERIFY(finder.find(notes ? QStringLiteral("litres") : QStringLiteral("milk")).isEmpty());
    }
};

MRV_TEST_GUILESS_MAIN(TstTaskStorage)
#include "tst_taskstorage.moc"
