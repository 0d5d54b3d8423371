#include "support/testenv.h"
#include "support/uitestkit.h"

#include "core/taskcore.h"
#include "store/taskfinder.h"
#include "store/taskstorage.h"
#include "ui/findbar.h"
#include "ui/mainwindow.h"
#include "ui/tasklistwidget.h"
#include "ui/taskwidget.h"
#include "widgets/fancylineedit.h"

#include <QLabel>
#include <QTemporaryDir>

namespace {

std::shared_ptr<TaskStorage> store() { return TaskCore::instance()->storage(); }

TodoTask::Id addTask(const FocusGroup::Id& groupId, const QString& name, const QString& notes = QString())
{
    const TodoTask::Id id = store()->createTask(groupId);
    store()->setTaskName(id, name);
    store()->setTaskNotes(id, notes);
    return id;
}

QStringList foundNames(const QList<FoundTask>& found)
{
    QStringList names;
    for (const FoundTask& task : found)
        names << store()->task(task.taskId).name();
    return names;
}

QStringList rowNames(const TaskListWidget& list)
{
    QStringList names;
    for (int i = 0; i < list.rowCount(); ++i)
        names << store()->task(list.taskIdAt(i)).name();
    return names;
}

} // namespace

class TstFindBar : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        QCOMPARE(TaskCore::instance()->init(m_dir.filePath(QStringLiteral("tasks.xml")), 3600000), 0);
        m_work = store()->addGroup(QStringLiteral("Work"), QString());
        addTask(FocusGroup::inboxId(), QStringLiteral("Café with Ana"));
        addTask(FocusGroup::inboxId(), QStringLiteral("Buy milk"), QStringLiteral("two litres, for the cafe"));
        addTask(FocusGroup::inboxId(), QStringLiteral("Купить Кофе"));
        addTask(FocusGroup::inboxId(), QStringLiteral("Ёлка"));
        const TodoTask::Id report = addTask(m_work, QStringLiteral("Write the report"));
        store()->addTaskToGroup(FocusGroup::inboxId(), report); // listed twice: found once
        addTask(m_work, QStringLiteral("Call about the report"), QStringLiteral("Monday"));
        const TodoTask::Id binned = addTask(m_work, QStringLiteral("Old report"));
        store()->removeTask(m_work, binned, false);
    }

    void cleanupTestCase() { TaskCore::destroy(); }

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
        TaskFinder finder(store());
        QCOMPARE(foundNames(finder.find(query)), names);
    }

    // The desktop test finds, opens and leaves with the keys; here found rows are completed and
    // deleted in their own group, and Escape from the results ends the search, never hiding the
    // window.
    void foundTasksBehaveLikeRows()
    {
        MainWindow window;
        QVERIFY(testenv::showActive(&window));
        TaskListWidget* list = window.taskList();
        FindBar* bar = window.findBar();
        list->select(1);
        const TodoTask::Id selectedBefore = list->taskIdAt(1);

        QTest::keyClick(list, Qt::Key_F, Qt::ControlModifier);
        QTRY_VERIFY(bar->edit()->hasFocus());
        QTest::keyClicks(bar->edit(), QStringLiteral("report"));
        QVERIFY(list->isShowingFound());
        QCOMPARE(rowNames(*list), (QStringList{QStringLiteral("Write the report"), QStringLiteral("Call about the report")}));
        QCOMPARE(list->row(1)->groupLabel()->text(), QStringLiteral("Work"));

        const TodoTask::Id call = list->taskIdAt(1);
        list->clearSelection();
        list->select(1);
        QTest::keyClick(list, Qt::Key_Space);
        QVERIFY(store()->task(call).completed());
        QTest::keyClick(list, Qt::Key_Delete);
        QVERIFY(!store()->group(m_work).contains(call));
        QVERIFY(store()->group(FocusGroup::trashId()).contains(call));
        QTRY_COMPARE(rowNames(*list), QStringList{QStringLiteral("Write the report")});

        // Escape brings back the group and its selection.
        bar->edit()->setFocus();
        QTest::keyClick(bar->edit(), Qt::Key_Down);
        QTRY_VERIFY(list->hasFocus());
        QTest::keyClick(list, Qt::Key_Escape);
        QVERIFY(window.isVisible());
        QVERIFY(!bar->isVisible());
        QVERIFY(!list->isShowingFound());
        QCOMPARE(list->group(), FocusGroup::inboxId());
        QCOMPARE(list->selectedTaskIds(), QList<TodoTask::Id>{selectedBefore});
    }

private:
    QTemporaryDir m_dir;
    FocusGroup::Id m_work;
};

MRV_TEST_WIDGETS_MAIN(TstFindBar)
#include "tst_findbar.moc"
