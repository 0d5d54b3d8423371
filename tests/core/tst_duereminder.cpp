// The due-date reminder: which tasks it names, once a day and again only for tasks newly due,
// its texts in each language, and its look at the store coalesced over a burst of changes.

#include "core/duereminder.h"
#include "settings/languagemanager.h"
#include "store/taskstorage.h"
#include "support/testenv.h"

#include <QSignalSpy>
#include <QTemporaryDir>

#include <memory>

class TstDueReminder : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    std::shared_ptr<TaskStorage> m_storage;
    QDateTime m_now;
    int m_tasks = 0;
    int m_stores = 0;

    std::unique_ptr<DueReminder> reminder(int quietMs = 10)
    {
        return std::make_unique<DueReminder>(m_storage, [this] { return m_now; }, quietMs);
    }

    // "task N" in `groupId`, due `days` from today at 23:30 (no due date for INT_MIN).
    TodoTask::Id addTask(int days, const FocusGroup::Id& groupId = FocusGroup::inboxId(), bool named = true)
    {
        const TodoTask::Id id = m_storage->createTask(groupId);
        ++m_tasks;
        if (named)
            m_storage->setTaskName(id, QStringLiteral("task %1").arg(m_tasks));
        if (days != INT_MIN)
            setDue(id, days);
        return id;
    }

    void setDue(const TodoTask::Id& id, int days)
    {
        m_storage->setTaskDue(id, QDateTime(m_now.date().addDays(days), QTime(23, 30)));
    }

private Q_SLOTS:
    void init()
    {
        // A new file each time: the store writes its tasks when it goes.
        m_storage = std::make_shared<TaskStorage>(m_dir.filePath(QStringLiteral("tasks-%1.xml").arg(++m_stores)), 3600000);
        QCOMPARE(m_storage->init(), 0);
        m_now = QDateTime(QDate(2024, 3, 12), QTime(9, 15));
        m_tasks = 0;
    }

    void cleanup() { m_storage.reset(); }

    void namesTheTasksDueTodayOrBefore_data()
    {
        // One word per task, "task 1", "task 2"... in order: the days from today to its due
        // date, or "none"; a letter before it puts the task elsewhere than the Inbox:
        // c completed, t only in the Trash, b in the Trash and a group of the user's,
        // d in the Inbox and a group, u without a name.
        // "first" is the number of the task named first, 0 for no reminder.
        QTest::addColumn<QString>("tasks");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("body");
        QTest::addColumn<int>("first");
        QTest::newRow("nothing due") << "none +1 +30" << "" << "" << 0;
        QTest::newRow("several due today") << "0 +1 0" << "2 tasks due today" << "task 1\ntask 3" << 1;
        QTest::newRow("overdue, the longest first") << "-1 -30" << "2 tasks overdue" << "task 2\ntask 1" << 2;
        QTest::newRow("both, three named") << "0 0 0 -1" << "3 tasks due today, 1 overdue"
                                           << "task 4\ntask 1\ntask 2\nand 1 more" << 4;
        QTest::newRow("completed") << "c0 c-1 0" << "1 task due today" << "task 3" << 3;
        QTest::newRow("only in the trash") << "t0 t-2" << "" << "" << 0;
        QTest::newRow("in the trash and a group") << "b0" << "1 task due today" << "task 1" << 1;
        QTest::newRow("in two groups, named once") << "d0 0" << "2 tasks due today" << "task 1\ntask 2" << 1;
        QTest::newRow("unnamed") << "u0" << "1 task due today" << "<Unnamed task>" << 1;
    }

    void namesTheTasksDueTodayOrBefore()
    {
        QFETCH(QString, tasks);
        QFETCH(QString, title);
        QFETCH(QString, body);
        QFETCH(int, first);
        const FocusGroup::Id group = m_storage->addGroup(QStringLiteral("Errands"), QString());
        QList<TodoTask::Id> ids;
        for (QString word : tasks.split(QLatin1Char(' '))) {
            const QChar where = word != QLatin1String("none") && word.at(0).isLetter() ? word.at(0) : QChar();
            if (!where.isNull())
                word.remove(0, 1);
            const int days = word == QLatin1String("none") ? INT_MIN : word.toInt();
            const FocusGroup::Id in = where == QLatin1Char('b') ? group : FocusGroup::inboxId();
            const TodoTask::Id id = addTask(days, in, where != QLatin1Char('u'));
            if (where == QLatin1Char('c'))
                m_storage->setTaskCompleted(id, true, m_now);
            if (where == QLatin1Char('t'))
                m_storage->removeTask(FocusGroup::inboxId(), id, false);
            if (where == QLatin1Char('b'))
                m_storage->addTaskToGroup(FocusGroup::trashId(), id);
            if (where == QLatin1Char('d'))
                m_storage->addTaskToGroup(group, id);
            ids << id;
        }
        const auto made = reminder();
        QSignalSpy remind(made.get(), &DueReminder::remind);
        made->check();
        QCOMPARE(remind.size(), first == 0 ? 0 : 1);
        if (first == 0)
            return;
        QCOMPARE(remind.first().at(0).toString(), title);
        QCOMPARE(remind.first().at(1).toString(), body);
        QCOMPARE(remind.first().at(2).value<TodoTask::Id>(), ids.at(first - 1));
    }

    void oncePerDayAndAgainForTasksNewlyDue()
    {
        addTask(0);
        addTask(-2);
        const TodoTask::Id later = addTask(+3);
        const auto made = reminder();
        QSignalSpy remind(made.get(), &DueReminder::remind);
        made->start();
        QVERIFY(remind.wait());
        QCOMPARE(remind.takeFirst().at(0).toString(), QStringLiteral("1 task due today, 1 overdue"));

        // The same day: nothing new, whatever else changes.
        m_now = m_now.addSecs(3 * 3600);
        made->check();
        m_storage->setTaskName(later, QStringLiteral("renamed"));
        QTest::qWait(50);
        QCOMPARE(remind.size(), 0);

        // A task becomes due today: one more reminder, about it alone.
        setDue(later, 0);
        QVERIFY(remind.wait());
        QCOMPARE(remind.first().at(0).toString(), QStringLiteral("1 task due today"));
        QCOMPARE(remind.takeFirst().at(1).toString(), QStringLiteral("renamed"));
        made->check();
        QCOMPARE(remind.size(), 0);

        // The next day all three are overdue.
        m_now = m_now.addDays(1);
        made->check();
        QCOMPARE(remind.size(), 1);
        QCOMPARE(remind.takeFirst().at(0).toString(), QStringLiteral("3 tasks overdue"));
    }

    // Nothing while the setting is off, and no reminder interrupts an edit. Nothing was taken
    // as told: switched on, the next look names the task; after the editor closed, a quiet time.
    void heldBackWhileOffOrEditing_data()
    {
        QTest::addColumn<bool>("editing");
        QTest::newRow("setting off") << false;
        QTest::newRow("editor open") << true;
    }

    void heldBackWhileOffOrEditing()
    {
        QFETCH(bool, editing);
        addTask(0);
        const auto made = reminder(50);
        bool held = true;
        if (editing)
            made->setBusyCheck([&held] { return held; });
        else
            made->setEnabledCheck([&held] { return !held; });
        QSignalSpy remind(made.get(), &DueReminder::remind);
        made->start();
        QTest::qWait(200);
        made->check();
        QCOMPARE(remind.size(), 0);
        held = false;
        if (!editing)
            addTask(-1);
        QVERIFY(remind.wait());
        QCOMPARE(remind.first().at(0).toString(),
                 editing ? "1 task due today" : "1 task due today, 1 overdue");
    }

    // Even half a minute after midnight, the next look is in the first minute of the next day.
    void dayCheckInTheFirstMinuteOfTheNextDay()
    {
        const QDate day(2024, 3, 30);
        m_now = QDateTime(day, QTime(0, 0, 30));
        const auto made = reminder();
        made->start();
        QCOMPARE(made->nextDayCheck(), QDateTime(day.addDays(1), QTime(0, 1)));
    }

    void textsInEveryLanguage_data()
    {
        QTest::addColumn<QString>("locale");
        QTest::addColumn<int>("dueToday");
        QTest::addColumn<int>("overdue");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("more");
        QTest::newRow("ru 1") << "ru_RU" << 1 << 0 << "1 задача на сегодня" << "и ещё 1";
        QTest::newRow("ru 5") << "ru_RU" << 5 << 0 << "5 задач на сегодня" << "и ещё 5";
        QTest::newRow("ru both") << "ru_RU" << 2 << 1 << "2 задачи на сегодня, 1 просрочена" << "и ещё 3";
    }

    void textsInEveryLanguage()
    {
        QFETCH(QString, locale);
        QFETCH(int, dueToday);
        QFETCH(int, overdue);
        QFETCH(QString, title);
        QFETCH(QString, more);
        QVERIFY(languageManager()->setLanguage(locale));
        QCOMPARE(DueReminder::titleText(dueToday, overdue), title);
        const QStringList names{QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c")};
        const int total = 3 + dueToday + overdue;
        QCOMPARE(DueReminder::bodyText(names, total), QStringLiteral("a\nb\nc\n") + more);
    }

    void cleanupTestCase() { LanguageManager::destroy(); }
};

MRV_TEST_GUILESS_MAIN(TstDueReminder)

#include "tst_duereminder.moc"
