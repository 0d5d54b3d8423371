// What the find bar finds; the bar itself (Ctrl+F, opening a found task, Escape) is walked by the
// desktop test.

#include "support/testenv.h"
#include "support/uitestkit.h"

#include "store/taskfinder.h"
#include "store/taskstorage.h"

using uitest::addTask;
using uitest::store;

class TstFindBar : public QObject
{
    Q_OBJECT

    uitest::TempStore m_store;

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(m_store.ready());
        const FocusGroup::Id work = store()->addGroup(QStringLiteral("Work"), QString());
        addTask(FocusGroup::inboxId(), QStringLiteral("Café with Ana"));
        addTask(FocusGroup::inboxId(), QStringLiteral("Buy milk|two litres, for the cafe"));
        addTask(FocusGroup::inboxId(), QStringLiteral("Купить Кофе"));
        addTask(FocusGroup::inboxId(), QStringLiteral("Ёлка"));
        const TodoTask::Id report = addTask(work, QStringLiteral("Write the report"));
        store()->addTaskToGroup(FocusGroup::inboxId(), report); // listed twice: found once
        addTask(work, QStringLiteral("Call about the report|Monday"));
        store()->removeTask(work, addTask(work, QStringLiteral("Old report")), false);
    }

    void matchingRules_data()
    {
        QTest::addColumn<QString>("query");
        QTest::addColumn<QStringList>("names");
        const auto row = [](const char* name, const QString& query, const QStringList& names) {
            QTest::newRow(name) << query << names;
        };
        row("accents and case ignored", QStringLiteral("CAFE"), {QStringLiteral("Café with Ana"), QStringLiteral("Buy milk")});
        row("accent typed", QStringLiteral("café ana"), {QStringLiteral("Café with Ana")});
        row("Cyrillic case", QStringLiteral("кофе"), {QStringLiteral("Купить Кофе")});
        row("ё as е", QStringLiteral("елка"), {QStringLiteral("Ёлка")});
        row("every word, in name or notes", QStringLiteral("report monday"), {QStringLiteral("Call about the report")});
        row("a task in two groups once, Trash left out", QStringLiteral("report"),
            {QStringLiteral("Write the report"), QStringLiteral("Call about the report")});
        row("no match", QStringLiteral("zebra"), {});
        row("blank query", QStringLiteral("   "), {});
    }

    void matchingRules()
    {
        QFETCH(QString, query);
        QFETCH(QStringList, names);
        QStringList found;
        for (const FoundTask& task : TaskFinder(store()).find(query))
            found << store()->task(task.taskId).name();
        QCOMPARE(found, names);
    }
};

MRV_TEST_WIDGETS_MAIN(TstFindBar)
#include "tst_findbar.moc"
