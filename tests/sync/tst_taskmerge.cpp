#include "support/testenv.h"
#include "sync/listorder.h"
#include "sync/taskmerge.h"

using sync::ListOrder;
using sync::MergeSide;
using sync::TaskFields;
using sync::TaskMerge;

namespace {

TaskFields fields(const char* name, const char* notes = "", int dueDay = 0, bool completed = false)
{
    TaskFields f;
    f.uid = QStringLiteral("u");
    f.name = QString::fromUtf8(name);
    f.notes = QString::fromUtf8(notes);
    if (dueDay)
        f.due = QDateTime(QDate(2027, 1, dueDay), QTime(0, 0));
    f.completed = completed;
    if (completed)
        f.completedAt = QDateTime(QDate(2027, 1, 2), QTime(9, 0));
    return f;
}

const QDateTime Early(QDate(2027, 1, 1), QTime(8, 0));
const QDateTime Late(QDate(2027, 1, 1), QTime(9, 0));

QList<TodoTask::Id> ids(int count)
{
    QList<TodoTask::Id> list;
    for (int i = 0; i < count; ++i)
        list << QUuid::createUuid();
    return list;
}

} // namespace

class TestTaskMerge : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void fieldsMergeThreeWays_data()
    {
        QTest::addColumn<bool>("hasBase");
        QTest::addColumn<TaskFields>("base");
        QTest::addColumn<TaskFields>("local");
        QTest::addColumn<bool>("localNewer");
        QTest::addColumn<TaskFields>("remote");
        QTest::addColumn<TaskFields>("expected");
        QTest::addColumn<bool>("conflict");

        const TaskFields base = fields("Buy milk", "two", 5);
        // The notes of the newer side, then the older side's text under the line that says so.
        const auto kept = [](TaskFields f, const char* text) {
            f.notes += QStringLiteral("\n\n") + TaskMerge::keptLine(Early) + QLatin1Char('\n');
            f.notes += QString::fromUtf8(text);
            return f;
        };
        const TaskFields done = fields("Buy milk", "two", 5, true);
        QTest::newRow("nothing changed") << true << base << base << true << base << base << false;
        QTest::newRow("name here, due there") << true << base << fields("Buy oat milk", "two", 5) << false
                                              << fields("Buy milk", "two", 9)
                                              << fields("Buy oat milk", "two", 9) << false;
        QTest::newRow("completed there, notes here")
            << true << base << fields("Buy milk", "three", 5) << false << done
            << fields("Buy milk", "three", 5, true) << false;
        QTest::newRow("name on both: newer wins, older kept")
            << true << base << fields("Buy oat milk", "two", 5) << true << fields("Buy soy milk", "two", 5)
            << kept(fields("Buy oat milk", "two", 5), "Name: Buy soy milk") << true;
        QTest::newRow("notes on both: the server's newer")
            << true << base << fields("Buy milk", "from the laptop", 5) << false
            << fields("Buy milk", "from the phone", 5)
            << kept(fields("Buy milk", "from the phone", 5), "from the laptop") << true;
        QTest::newRow("notes on both, newer holds the older")
            << true << base << fields("Buy milk", "two and more", 5) << true
            << fields("Buy milk", "two an", 5) << fields("Buy milk", "two and more", 5) << true;
        QTest::newRow("no base: equal fields join quietly")
            << false << TaskFields() << base << true << base << base << false;
        QTest::newRow("no base: different names keep both")
            << false << TaskFields() << base << true << fields("Milk", "two", 5) << kept(base, "Name: Milk")
            << true;
        QTest::newRow("no base: done on one side only, the newer wins")
            << false << TaskFields() << done << true << base << done << true;
    }

    void fieldsMergeThreeWays()
    {
        QFETCH(bool, hasBase);
        QFETCH(TaskFields, base);
        QFETCH(TaskFields, local);
        QFETCH(bool, localNewer);
        QFETCH(TaskFields, remote);
        QFETCH(TaskFields, expected);
        QFETCH(bool, conflict);
        const TaskMerge::Result result = TaskMerge::merge(hasBase ? &base : nullptr,
                                                          MergeSide{local, localNewer ? Late : Early},
                                                          MergeSide{remote, localNewer ? Early : Late});
        QCOMPARE(result.fields.name, expected.name);
        QCOMPARE(result.fields.notes, expected.notes);
        QCOMPARE(result.fields.due, expected.due);
        QCOMPARE(result.fields.completed, expected.completed);
        QCOMPARE(result.fields.completedAt, expected.completedAt);
        QCOMPARE(result.conflict, conflict);
    }

    void orderBecomesSortKeys_data()
    {
        QTest::addColumn<QList<int>>("order");       // positions of the tasks, by index into the ids
        QTest::addColumn<QList<qint64>>("agreed");   // agreed key per task, 0: none, -1: a new task
        QTest::addColumn<int>("changed");            // keys that must change

        QTest::newRow("one moved between") << QList<int>{0, 2, 1, 3} << QList<qint64>{10, 20, 30, 40} << 1;
        QTest::newRow("new tasks at the end") << QList<int>{0, 1, 2} << QList<qint64>{10, 20, -1} << 1;
        QTest::newRow("no room between: numbered again") << QList<int>{0, 2, 1} << QList<qint64>{10, 11, -1} << 3;
        QTest::newRow("keyless tasks stay keyless") << QList<int>{0, 1, 2} << QList<qint64>{0, 20, 0} << 0;
        QTest::newRow("equal keys in either order") << QList<int>{1, 0, 2} << QList<qint64>{100, 100, 300} << 0;
    }

    void orderBecomesSortKeys()
    {
        QFETCH(QList<int>, order);
        QFETCH(QList<qint64>, agreed);
        QFETCH(int, changed);
        const QList<TodoTask::Id> tasks = ids(agreed.size());
        ListOrder::Keys given;
        for (int i = 0; i < agreed.size(); ++i) {
            if (agreed.at(i) > 0)
                given.insert(tasks.at(i), agreed.at(i));
            else if (agreed.at(i) == 0)
                given.insert(tasks.at(i), std::nullopt);
        }
        QList<TodoTask::Id> shown;
        for (int index : order)
            shown << tasks.at(index);
        const ListOrder::Keys keys = ListOrder::keysFor(shown, given);

        int differing = 0;
        for (const TodoTask::Id& id : tasks)
            differing += keys.value(id) != given.value(id) ? 1 : 0;
        QCOMPARE(differing, changed);
        // Read back, the keys give the order shown.
        QList<TodoTask::Id> shuffled = tasks;
        std::reverse(shuffled.begin(), shuffled.end());
        QSet<qint64> distinct; // -1: a task without a key
        for (const TodoTask::Id& id : tasks)
            distinct.insert(keys.value(id).value_or(-1));
        if (!distinct.contains(-1) && distinct.size() == tasks.size())
            QCOMPARE(ListOrder::orderOf(shuffled, keys), shown);
    }

    void newKeysAtTheEndsAreAStepBeyond()
    {
        const QList<TodoTask::Id> t = ids(4);
        const ListOrder::Keys keys = ListOrder::keysFor(t, {{t[1], 10}, {t[2], 20}});
        QCOMPARE(keys.value(t[0]), std::optional<qint64>(10 - ListOrder::Step));
        QCOMPARE(keys.value(t[3]), std::optional<qint64>(20 + ListOrder::Step));
    }

    void keylessTasksFollowTheirNeighbour()
    {
        const QList<TodoTask::Id> t = ids(4);
        const ListOrder::Keys keys{{t[0], 30}, {t[1], std::nullopt}, {t[2], 10}, {t[3], 20}};
        QCOMPARE(ListOrder::orderOf(t, keys), (QList<TodoTask::Id>{t[2], t[3], t[0], t[1]}));
    }
};

MRV_TEST_GUILESS_MAIN(TestTaskMerge)
#include "tst_taskmerge.moc"
