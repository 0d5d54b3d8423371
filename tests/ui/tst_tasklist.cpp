// The task list and its rows, the repeat button of a row, and the find bar.

#include "support/testenv.h"
#include "support/uitestkit.h"

#include "core/duetasks.h"
#include "core/taskcore.h"
#include "settings/appsettings.h"
#include "settings/languagemanager.h"
#include "store/repeatrule.h"
#include "store/taskfinder.h"
#include "store/taskstorage.h"
#include "ui/accessibletext.h"
#include "ui/dragregistry.h"
#include "ui/grouphintwidget.h"
#include "ui/repeatbutton.h"
#include "ui/repeattext.h"
#include "ui/tasklistwidget.h"
#include "ui/taskwidget.h"
#include "ui/toolbaractions.h"
#include "widgets/datewidget.h"
#include "widgets/fancycheckbox.h"
#include "widgets/fancylineedit.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QDragEnterEvent>
#include <QHash>
#include <QMenu>
#include <QPointer>

#include <algorithm>
#include <climits>
#include <functional>

namespace {

using namespace uitest;
using Ids = QList<TodoTask::Id>;

constexpr int Below = -1; // no row: the space below the last one
const QDate ViewDay(2001, 5, 10); // long before any due date of other tests
constexpr int NoDue = INT_MIN;
constexpr int Open = 0, Done = 1, Selected = 2; // a row's state in the due-date table

// The day the rows take as today while a test sets it: a Monday unless a test moves it.
const QDate kMonday(2030, 1, 7);
const QDate kWednesday(2030, 1, 9);
QDate g_day = kMonday;
QDate fixedDay() { return g_day; }

#define SHOW(groupId)        \
    ListWindow w(groupId);   \
    QVERIFY(w.show());       \
    TaskListWidget& list = *w.list

Ids rowIds(const TaskListWidget& list)
{
    Ids ids;
    for (int i = 0; i < list.rowCount(); ++i)
        ids << list.taskIdAt(i);
    return ids;
}

QPoint rowCentre(TaskListWidget& list, int index)
{
    if (index == Below)
        return QPoint(list.viewport()->width() / 2, list.viewport()->height() - 5);
    list.ensureIndexVisible(index);
    TaskWidget* row = list.row(index);
    return row->mapTo(list.viewport(), row->rect().center());
}

/// Drags onto row `index` (or below the rows) the selection, or what no drag of the list's
/// carries: t text alone, g a group's drag.
void dragOnto(TaskListWidget& list, int index, char foreign = 0)
{
    Ids dragged;
    for (int i : list.selectedIndexes())
        dragged << list.taskIdAt(i);
    FakeDrag drag(list.group(), dragged, foreign == 'g' ? DragGroup::Group : DragGroup::Tasks);
    QMimeData text;
    text.setText(QStringLiteral("A"));
    const QMimeData* mime = foreign == 't' ? &text : &drag.mime;
    const QPoint point = rowCentre(list, index);
    QCOMPARE(sendDrag<QDragEnterEvent>(list.viewport(), rowCentre(list, 0), mime), !foreign);
    QCOMPARE(sendDrag<QDragMoveEvent>(list.viewport(), point, mime), !foreign);
    QCOMPARE(list.dropIndex(), foreign ? -1 : index == Below ? list.rowCount() - 1 : index);
    QVERIFY(foreign || list.dropBefore() == (index != Below));
    const bool accepted = !foreign && dragged.size() < list.rowCount();
    QCOMPARE(sendDrag<QDropEvent>(list.viewport(), point, mime), accepted);
    QCOMPARE(list.dropIndex(), -1);
    QCOMPARE(drag.data->resultAction, accepted ? int(DragGroup::Reordered) : int(DragGroup::NoResult));
}

/// Plays steps such as "1 ^3 +e D". A row number or e (the space below the rows) is clicked, *1
/// double clicked; >1 and >e drag the selection onto row 1 or below the rows; ?t and ?g drop
/// what the list refuses; c1 ticks the check box of row 1. Keys: D(own), U(p), A, H(ome), P(age
/// down), R(eturn), X (Escape), S(pace), K (Delete); ^ adds Ctrl, + adds Shift. N is New, =Bob
/// types Bob, C cleans up.
void play(TaskListWidget& list, const QString& steps)
{
    static const QHash<char, Qt::Key> keys = {
        {'D', Qt::Key_Down},     {'U', Qt::Key_Up},     {'A', Qt::Key_A},      {'H', Qt::Key_Home},
        {'P', Qt::Key_PageDown}, {'R', Qt::Key_Return}, {'X', Qt::Key_Escape}, {'S', Qt::Key_Space},
        {'K', Qt::Key_Delete}};
    for (QString step : steps.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
        const char first = step.front().toLatin1();
        const char last = step.back().toLatin1();
        if (first == '=') {
            testenv::typeText(QApplication::focusWidget(), step.mid(1));
        } else if (step == QLatin1String("N")) {
            list.newTask();
        } else if (step == QLatin1String("C")) {
            list.cleanup();
        } else if (first == '?') {
            dragOnto(list, 2, last);
        } else if (first == 'c') {
            TaskWidget* row = list.row(last - '0');
            QTest::mouseClick(row->isEditing() ? row->editCheckbox() : row->viewCheckbox(), Qt::LeftButton);
        } else {
            const Qt::KeyboardModifiers mods = first == '^'   ? Qt::ControlModifier
                                               : first == '+' ? Qt::ShiftModifier
                                                              : Qt::NoModifier;
            if (QStringLiteral("^+*>").contains(QLatin1Char(first)))
                step.remove(0, 1);
            const char c = step.at(0).toLatin1();
            if (keys.contains(c)) {
                QTest::keyClick(&list, keys.value(c), mods);
                continue;
            }
            const int index = c == 'e' ? Below : c - '0';
            const QPoint point = rowCentre(list, index);
            if (first == '>') {
                dragOnto(list, index);
            } else if (first == '*') { // press, release, double click, release: a real double click
                QTest::mouseClick(list.viewport(), Qt::LeftButton, Qt::NoModifier, point);
                QTest::mouseDClick(list.viewport(), Qt::LeftButton, Qt::NoModifier, point);
                QTest::mouseRelease(list.viewport(), Qt::LeftButton, Qt::NoModifier, point);
            } else {
                QTest::mouseClick(list.viewport(), Qt::LeftButton, mods, point);
            }
        }
    }
}

/// Opens the button's menu with `key` and hands it to `use` while it is shown.
void withMenu(RepeatButton* button, Qt::Key key, const std::function<void(QMenu*)>& use)
{
    bool used = false;
    QTimer::singleShot(0, button, [&] {
        auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        used = menu == button->repeatMenu();
        if (menu)
            use(menu);
        // A failed check leaves the menu open, which would hold the test.
        if (menu && menu->isVisible())
            menu->close();
    });
    QTest::keyClick(button, key);
    QVERIFY(used);
}

/// Chooses the menu entry named `name` as a user does: highlighted, then Return.
void choose(QMenu* menu, const QString& name)
{
    menu->setActiveAction(menu->findChild<QAction*>(name));
    QTest::keyClick(menu, Qt::Key_Return);
}

QString checkedEntry(QMenu* menu)
{
    const QAction* checked = menu->findChild<QActionGroup*>()->checkedAction();
    return checked ? checked->objectName() : QString();
}

} // namespace

class TstTaskList : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(m_store.ready());
        TaskWidget::setClock(fixedDay);
    }

    void cleanupTestCase() { DragRegistry::destroy(); }

    void init()
    {
        clearStore();
        g_day = kMonday;
        LanguageManager::instance()->setLanguage(LanguageManager::englishLanguage());
        AppSettings::settings()->setDateFormat(QStringLiteral("dd.MM.yyyy"));
    }

    // Keys, clicks and drags on a shown group: its list, Trash's and Completed's afterwards (after
    // |), the selection, the current row and the row open in the editor.
    void actions_data()
    {
        QTest::addColumn<QString>("tasks");
        QTest::addColumn<QString>("steps");
        QTest::addColumn<QString>("outcome");
        QTest::addColumn<QList<int>>("selected");
        QTest::addColumn<int>("current");
        QTest::addColumn<int>("open");
        struct
        {
            void operator()(const char* name, const char* steps, const QList<int>& selected, int current,
                            int open = -1, const char* outcome = "A B C D", const char* names = "ABCD") const
            {
                QTest::newRow(name) << QString::fromLatin1(names) << QString::fromUtf8(steps)
                                    << QString::fromUtf8(outcome) << selected << current << open;
            }
        } row;
        row("click selects one", "1", {1}, 1);
        row("ctrl click adds", "1 ^3", {1, 3}, 3);
        row("shift click selects the range", "3 +0", {0, 1, 2, 3}, 3);
        row("click on empty space", "1 ^2 e", {}, -1);
        row("down", "0 D", {1}, 1);
        row("up without current selects the last", "U", {3}, 3);
        row("shift down extends", "0 +D", {0, 1}, 1);
        row("ctrl A selects all", "1 ^A", {0, 1, 2, 3}, 1);
        row("home", "2 H", {0}, 0);
        row("page down stops at the last", "0 P", {3}, 3);
        // The editor: what is typed is kept when it closes
        row("return opens the current row", "1 R", {1}, 1, 1);
        row("double click opens", "0 *1", {1}, 1, 1);
        row("moving and deleting keys do nothing while editing", "0 *1 D U K", {1}, 1, 1);
        row("a click on another row closes the editor", "*1 2", {2}, 2);
        row("new, named", "N =Bob X", {4}, 4, -1, "A B C D Bob");
        row("new, nothing typed: gone", "N X", {}, -1, -1);
        row("shift return, non-ASCII name", "0 +R =Café X", {4}, 4, -1, "A B C D Café");
        // Completing, deleting
        row("space completes the selection", "0 ^2 S", {0, 2}, 2, -1, "A* B C* D");
        row("ticking completes", "c1", {}, -1, -1, "A B* C D");
        row("ticking the open row completes and closes it", "1 R c1", {1}, 1, -1, "A B* C D");
        row("delete sends to Trash", "0 ^2 K", {}, -1, -1, "B D|A C");
        // Dragging the selection; what no drag of the list's carries is refused
        row("before an undragged row", "0 >2", {1}, 1, -1, "B A C D");
        row("after the last row", "1 ^2 >e", {2, 3}, 3, -1, "A D B C");
        row("on a dragged row: nearest undragged below", "0 ^2 >2", {1, 2}, 2, -1, "B A C D");
        row("on a dragged row: nearest undragged above", "1 ^3 >3", {1, 2}, 2, -1, "A B D C");
        row("all rows dragged: refused", "0 ^A >1", {0, 1, 2, 3}, 0);
        row("text refused", "1 ?t", {1}, 1);
        row("a group's drag refused", "1 ?g", {1}, 1);
        // Cleaning up: completed tasks to Completed in their order, nameless ones to Trash
        row("clean-up closes the editor", "0 ^3 S 2 R C", {0}, 0, -1, "C|_|A* D*", "A_CD");
    }

    void actions()
    {
        QFETCH(QString, tasks);
        QFETCH(QString, steps);
        QFETCH(QString, outcome);
        QFETCH(QList<int>, selected);
        QFETCH(int, current);
        QFETCH(int, open);
        Ids known;
        QStringList names = tasks.split(QString(), Qt::SkipEmptyParts);
        const FocusGroup::Id groupId = makeGroup(names.replaceInStrings("_", ""), &known);
        SHOW(groupId);
        for (const QString& step : steps.split(QLatin1Char(' '))) {
            play(list, step);
            if (QTest::currentTestFailed())
                return;
            known << rowIds(list);
        }
        QCoreApplication::processEvents();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        // The group's tasks, then Trash's and Completed's when not empty, each after a |.
        QString shown = namesIn(groupId) + QLatin1Char('|') + namesIn(FocusGroup::trashId()) + QLatin1Char('|')
                        + namesIn(FocusGroup::completedId());
        while (shown.endsWith(QLatin1Char('|')))
            shown.chop(1);
        QCOMPARE(shown, outcome);
        QCOMPARE(rowIds(list), store()->group(list.group()).taskIds());
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
        const QList<FocusGroup::Id> groups = store()->groupIds();
        for (const TodoTask::Id& id : std::as_const(known)) {
            const auto in = [&id](const FocusGroup::Id& group) { return store()->group(group).contains(id); };
            const bool written = in(FocusGroup::trashId()) || in(FocusGroup::completedId()) || in(groupId);
            QCOMPARE(std::any_of(groups.cbegin(), groups.cend(), in), written);
        }
    }

    // Only the hint of an empty Inbox offers starter tasks: its link adds them.
    void starterTasksComeAfterTheHintsSignal()
    {
        const FocusGroup::Id inbox = FocusGroup::inboxId();
        for (const QUuid& id : {inbox, FocusGroup::trashId(), FocusGroup::completedId(), QUuid::createUuid()})
            QCOMPARE(GroupHintWidget::hintText(id).contains(QLatin1String("href=inboxheadstart")), id == inbox);
        SHOW(inbox);
        QPointer<GroupHintWidget> hint = list.hint();
        QVERIFY(hint && hint->isVisible());
        Q_EMIT hint->textLabel()->linkActivated(QStringLiteral("inboxheadstart"));
        QCOMPARE(list.rowCount(), 0); // queued: the hint is not deleted inside its own signal
        QTRY_COMPARE(list.rowCount(), 4);
        QTRY_VERIFY(!hint);
        const Ids ids = store()->group(inbox).taskIds();
        QCOMPARE(rowIds(list), ids);
        QCOMPARE(store()->task(ids.last()).name(), QStringLiteral("Have a coffee :)"));
    }

    // Today lists the open tasks due by today, Upcoming those of the seven days after it, each
    // once under the first group that lists it, earliest due first. Delete sends a task to its
    // group's Trash (after |); New makes an Inbox task due on the view's first day.
    void viewsListDueTasksEarliestFirst_data()
    {
        QTest::addColumn<int>("view");
        QTest::addColumn<QString>("steps");
        QTest::addColumn<QString>("shown");
        const int today = DueTasks::Today, upcoming = DueTasks::Upcoming;
        QTest::newRow("Today") << today << "" << "B:Work D:Work C:Inbox A:Work";
        QTest::newRow("Upcoming") << upcoming << "" << "E:Work F:Work";
        QTest::newRow("Delete") << today << "0 K" << "D:Work C:Inbox A:Work|B";
        QTest::newRow("completed") << today << "1 S" << "B:Work C:Inbox A:Work";
        QTest::newRow("new in Today") << today << "N =Bob X" << "B:Work D:Work Bob:Inbox C:Inbox A:Work";
        QTest::newRow("new in Upcoming") << upcoming << "N =Ann X" << "Ann:Inbox E:Work F:Work";
    }

    void viewsListDueTasksEarliestFirst()
    {
        QFETCH(int, view);
        QFETCH(QString, steps);
        QFETCH(QString, shown);
        DueTasks due(store(), [] { return QDateTime(ViewDay, QTime(9, 0)); });
        Ids ids;
        const FocusGroup::Id work = makeGroup({"A", "B", "C", "D", "E", "F", "G", "H"}, &ids, "Work");
        // A to G due (days from today, hour, minute); H undated
        const int d[][3] = {{0, 10, 0}, {-2, 12, 0}, {0, 8, 0}, {-1, 0, 0}, {1, 9, 0}, {7, 23, 59}, {8, 0, 0}};
        for (int i = 0; i < 7; ++i)
            store()->setTaskDue(ids[i], QDateTime(ViewDay.addDays(d[i][0]), QTime(d[i][1], d[i][2])));
        store()->addTaskToGroup(FocusGroup::inboxId(), ids.at(2));
        SHOW(work);
        list.setDueTasks(&due);
        list.setGroup(DueTasks::viewId(DueTasks::View(view)));
        play(list, steps);
        const auto rows = [&list] {
            QStringList rows;
            for (int i = 0; i < list.rowCount(); ++i)
                rows << store()->task(list.taskIdAt(i)).name() + QLatin1Char(':') + list.groupNameAt(i);
            const QString trash = namesIn(FocusGroup::trashId());
            return rows.join(QLatin1Char(' ')) + (trash.isEmpty() ? QString() : QLatin1Char('|') + trash);
        };
        QTRY_COMPARE(rows(), shown);
    }

    // The due date a row shows, what a screen reader says of it and the row's fill; an overdue
    // date stands out from the name. A shown row follows past midnight and a change of language.
    void dueDateRule_data()
    {
        QTest::addColumn<int>("dueInDays");
        QTest::addColumn<int>("state");
        QTest::addColumn<QString>("language");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<QString>("spoken");
        QTest::addColumn<QColor>("fill");
        const QColor plain(0xFFFFFF), now(0xF2C9C8), soon(0xFFF2B9), picked(0xC6D0DA);
        const QString en = QStringLiteral("en"), pt = QStringLiteral("pt_PT");
        QTest::newRow("no date") << NoDue << Open << en << "" << "" << plain;
        QTest::newRow("today") << 0 << Open << en << "Today" << "due today" << now;
        QTest::newRow("tomorrow") << 1 << Open << en << "Tomorrow" << "due tomorrow" << soon;
        QTest::newRow("in three days") << 3 << Open << en << "Friday" << "due Friday" << soon;
        QTest::newRow("in four days") << 4 << Open << en << "Saturday" << "due Saturday" << plain;
        QTest::newRow("in a week") << 7 << Open << en << "15.01.2030" << "due 15.01.2030" << plain;
        QTest::newRow("overdue") << -9 << Open << en << "30.12.2029" << "overdue since 30.12.2029" << now;
        QTest::newRow("completed, overdue") << -1 << Done << en << "" << "due 07.01.2030" << plain;
        QTest::newRow("selected, overdue") << -1 << Selected << en << "07.01.2030" << "overdue since 07.01.2030"
                                           << picked;
        QTest::newRow("tomorrow in Portuguese") << 1 << Open << pt << "Amanhã" << "" << soon;
        QTest::newRow("weekday in Portuguese") << 2 << Open << pt << "Quinta-feira" << "" << soon;
    }

    void dueDateRule()
    {
        QFETCH(int, dueInDays);
        QFETCH(int, state);
        QFETCH(QString, language);
        QFETCH(QString, shown);
        QFETCH(QString, spoken);
        QFETCH(QColor, fill);
        Ids ids;
        SHOW(makeGroup({QStringLiteral("Water the plants")}, &ids));
        if (dueInDays != NoDue)
            store()->setTaskDue(ids[0], QDateTime(kMonday.addDays(dueInDays + 1), QTime(9, 30)));
        store()->setTaskCompleted(ids[0], state == Done, QDateTime::currentDateTime());
        TaskWidget* row = list.row(0);
        row->setSelected(state == Selected);
        QCoreApplication::processEvents();
        g_day = kMonday.addDays(1);
        if (language != QLatin1String("en"))
            QVERIFY(LanguageManager::instance()->setLanguage(language));
        row->update();
        const QLabel* label = row->dueLabel();
        QTRY_COMPARE(label && label->isVisibleTo(row) ? label->text() : QString(), shown);
        QCOMPARE(row->grab().toImage().pixelColor(row->width() - 3, row->height() / 2), fill);
        if (language == QLatin1String("en"))
            QCOMPARE(AccessibleText::due(store()->task(ids[0]).due(), g_day, state == Done), spoken);
        if (!shown.isEmpty())
            QCOMPARE(row->dueLabel()->palette().color(QPalette::WindowText)
                         != row->label()->palette().color(QPalette::WindowText),
                     spoken.startsWith(QLatin1String("overdue")));
    }

    // A long name is cut; the due date and the marks keep their room, all in one line: name,
    // the group of a found task, marks, date.
    void longNameGivesWayToDateAndMarks()
    {
        const QString task = QStringLiteral("Renew the passport before the trip to the mountains|Photos");
        const TodoTask::Id id = addTask(makeGroup({}), task);
        store()->setTaskDue(id, QDateTime(kMonday.addDays(2), QTime(9, 30)));
        store()->setTaskRepeat(id, QStringLiteral("FREQ=YEARLY;INTERVAL=10"));
        QWidget window;
        auto* row = new TaskWidget(id, nullptr, &window);
        window.resize(180, 80);
        row->setGeometry(0, 0, 180, row->height());
        row->setGroupName(QStringLiteral("Home"));
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QVERIFY(row->label()->isElided());
        QLabel* due = row->dueLabel();
        QCOMPARE(due->text(), QStringLiteral("Wednesday"));
        QVERIFY(due->width() >= due->fontMetrics().horizontalAdvance(due->text()));
        const QList<QWidget*> inLine{row->label(), row->groupLabel(), row->notesMark(), row->repeatMark(), due};
        for (int i = 1; i < inLine.size(); ++i)
            QVERIFY(inLine.at(i - 1)->geometry().right() < inLine.at(i)->geometry().left());
        QVERIFY(due->mapTo(row, due->rect().bottomRight()).x() < row->width());
    }

    // The name's hint is never stored; a typed date replaces the whole date and is stored at
    // once, and closing the row keeps it.
    void hintIsNeverStoredAndTypedDateIsKept()
    {
        Ids ids;
        SHOW(makeGroup({QString()}, &ids));
        TaskWidget* row = list.row(0);
        const int unchanged = store()->revision();
        list.setEditing(0);
        row->notesEdit()->setFocus();
        QTRY_VERIFY(row->nameEdit()->isHintShown());
        DateWidget* date = row->dateWidget();
        date->edit()->setFocus();
        QTRY_VERIFY(date->edit()->hasFocus());
        QCOMPARE(store()->revision(), unchanged);
        QVERIFY(date->edit()->hasSelectedText());
        QTest::keyClicks(date->edit(), QStringLiteral("5.3.2030"));
        const QDateTime due(QDate(2030, 3, 5), QTime(0, 0));
        QCOMPARE(store()->task(ids[0]).due(), due);
        QTest::keyClick(&list, Qt::Key_Escape);
        QVERIFY(!row->isEditing());
        QCOMPARE(store()->task(ids[0]).due(), due);
        QVERIFY(store()->task(ids[0]).name().isEmpty());
    }

    void ruleInWords_data()
    {
        QTest::addColumn<QString>("rule");
        QTest::addColumn<QDate>("due");
        QTest::addColumn<QString>("words");
        const QDate none;
        QTest::newRow("none") << "" << none << "Does not repeat";
        QTest::newRow("daily") << "FREQ=DAILY" << none << "Every day";
        QTest::newRow("every 3 days") << "FREQ=DAILY;INTERVAL=3" << none << "Every 3 days";
        QTest::newRow("weekly, days of the rule in the week's order") << "FREQ=WEEKLY;INTERVAL=2;BYDAY=MO,TH,SU" << none
                                                                       << "Every 2 weeks on Sunday, Monday, Thursday";
        QTest::newRow("weekly, the due date's day") << "FREQ=WEEKLY" << kWednesday << "Every week on Wednesday";
        QTest::newRow("weekdays") << "FREQ=WEEKLY;BYDAY=MO,TU,WE,TH,FR" << none << "Every weekday (Monday to Friday)";
        QTest::newRow("last day") << "FREQ=MONTHLY;BYMONTHDAY=-1" << none << "Every month on the last day";
        QTest::newRow("quarterly") << "FREQ=MONTHLY;INTERVAL=3;BYMONTHDAY=15" << none << "Every 3 months on day 15";
        QTest::newRow("yearly") << "FREQ=YEARLY" << kWednesday << "Every year on 9 January";
        QTest::newRow("every 2 years") << "FREQ=YEARLY;INTERVAL=2" << none << "Every 2 years";
    }

    void ruleInWords()
    {
        QFETCH(QString, rule);
        QFETCH(QDate, due);
        QFETCH(QString, words);
        QCOMPARE(RepeatText::describe(RepeatRule::parse(rule), due), words);
    }

    void menuEntrySetsTheRule_data()
    {
        QTest::addColumn<QDate>("due");
        QTest::addColumn<QString>("entry");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("stored");
        const QDate lastDay(2030, 1, 31);
        QTest::newRow("daily") << kWednesday << "repeatDaily" << "Daily" << "FREQ=DAILY";
        QTest::newRow("weekly") << kWednesday << "repeatWeekly" << "Weekly on Wednesday" << "FREQ=WEEKLY;BYDAY=WE";
        QTest::newRow("weekdays") << kWednesday << "repeatWeekdays" << "Weekdays (Monday to Friday)" << "FREQ=WEEKLY;BYDAY=MO,TU,WE,TH,FR";
        QTest::newRow("monthly") << kWednesday << "repeatMonthly" << "Monthly on day 9" << "FREQ=MONTHLY;BYMONTHDAY=9";
        QTest::newRow("monthly, last day") << lastDay << "repeatMonthlyLast" << "Monthly on the last day" << "FREQ=MONTHLY;BYMONTHDAY=-1";
        QTest::newRow("yearly") << kWednesday << "repeatYearly" << "Yearly on 9 January" << "FREQ=YEARLY";
        // Without a due date the first occurrence is today.
        QTest::newRow("undated") << QDate() << "repeatWeekly" << "Weekly on Wednesday" << "FREQ=WEEKLY;BYDAY=WE";
    }

    void menuEntrySetsTheRule()
    {
        QFETCH(QDate, due);
        QFETCH(QString, entry);
        QFETCH(QString, text);
        QFETCH(QString, stored);
        g_day = kWednesday;
        Ids ids;
        const FocusGroup::Id groupId = makeGroup({QStringLiteral("Water the plants")}, &ids);
        const TodoTask::Id id = ids[0];
        if (due.isValid())
            store()->setTaskDue(id, QDateTime(due, QTime(0, 0)));
        SHOW(groupId);
        list.setEditing(0);
        TaskWidget* row = list.row(0);
        RepeatButton* button = row->repeatButton();
        // Space opens the menu.
        button->setFocus();
        withMenu(button, Qt::Key_Space, [&](QMenu* menu) {
            QCOMPARE(checkedEntry(menu), QStringLiteral("repeatNever"));
            QCOMPARE(menu->findChild<QAction*>(entry)->text(), text);
            QCOMPARE(bool(menu->findChild<QAction*>(QStringLiteral("repeatMonthlyLast"))), due == QDate(2030, 1, 31));
            choose(menu, entry);
        });
        QCOMPARE(store()->task(id).repeatRule(), stored);
        const QDate first = due.isValid() ? due : kWednesday;
        QCOMPARE(store()->task(id).due(), QDateTime(first, QTime(0, 0)));
        QCOMPARE(row->dateWidget()->edit()->text(), first.toString(QStringLiteral("dd.MM.yyyy")));
        QVERIFY(button->toolTip().startsWith(QLatin1String("Repeats: every ")));

        // Return opens the menu as well; the rule is checked there, and "Does not repeat" ends it.
        withMenu(button, Qt::Key_Return, [&](QMenu* menu) {
            QCOMPARE(checkedEntry(menu), entry);
            choose(menu, QStringLiteral("repeatNever"));
        });
        QVERIFY(store()->task(id).repeatRule().isEmpty());
        QCOMPARE(list.editedRow(), row);
    }

    // What the find bar finds; the bar itself (Ctrl+F, opening a found task, Escape) is walked by
    // the desktop test.
    void findBarMatches_data()
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

    void findBarMatches()
    {
        QFETCH(QString, query);
        QFETCH(QStringList, names);
        const FocusGroup::Id work = store()->addGroup(QStringLiteral("Work"), QString());
        addTask(FocusGroup::inboxId(), QStringLiteral("Café with Ana"));
        addTask(FocusGroup::inboxId(), QStringLiteral("Buy milk|two litres, for the cafe"));
        addTask(FocusGroup::inboxId(), QStringLiteral("Купить Кофе"));
        addTask(FocusGroup::inboxId(), QStringLiteral("Ёлка"));
        const TodoTask::Id report = addTask(work, QStringLiteral("Write the report"));
        store()->addTaskToGroup(FocusGroup::inboxId(), report); // listed twice: found once
        addTask(work, QStringLiteral("Call about the report|Monday"));
        store()->removeTask(work, addTask(work, QStringLiteral("Old report")), false);
        QStringList found;
        for (const FoundTask& task : TaskFinder(store()).find(query))
            found << store()->task(task.taskId).name();
        QCOMPARE(found, names);
    }

private:
    TempStore m_store;
};

MRV_TEST_WIDGETS_MAIN(TstTaskList)
#include "tst_tasklist.moc"
