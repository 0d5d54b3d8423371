#include "support/testenv.h"
#include "support/uitestkit.h"

#include "core/taskcore.h"
#include "settings/appsettings.h"
#include "settings/languagemanager.h"
#include "store/taskstorage.h"
#include "ui/accessibletext.h"
#include "ui/notestextedit.h"
#include "ui/taskwidget.h"
#include "widgets/calendarpopup.h"
#include "widgets/datewidget.h"
#include "widgets/fancycheckbox.h"
#include "widgets/fancylineedit.h"

#include <QApplication>
#include <QPointer>
#include <QScrollBar>
#include <QTemporaryDir>

#include <climits>

namespace {

constexpr int NoDue = INT_MIN;

std::shared_ptr<TaskStorage> store() { return TaskCore::instance()->storage(); }

/// A fresh user group with one task of the given name.
FocusGroup::Id makeGroup(const QString& name, TodoTask::Id* taskId, int dueInDays = NoDue)
{
    static int counter = 0;
    const FocusGroup::Id groupId = store()->addGroup(QStringLiteral("Rows %1").arg(++counter), QString());
    *taskId = store()->createTask(groupId);
    store()->setTaskName(*taskId, name);
    if (dueInDays != NoDue)
        store()->setTaskDue(*taskId, QDateTime(QDate::currentDate().addDays(dueInDays), QTime(0, 0)));
    return groupId;
}

/// The fill where no text and no check box lie: near the right edge, half way down.
QColor fillOf(QWidget* row) { return row->grab().toImage().pixelColor(row->width() - 3, row->height() / 2); }

void focusOf(QWidget* widget) { QTRY_COMPARE(QApplication::focusWidget(), widget); }

// The day the rows take as today while a test sets it; on a Monday unless a test moves it.
const QDate kMonday(2030, 1, 7);
QDate g_day = kMonday;
QDate fixedDay() { return g_day; }

/// The due date a row shows; empty for none.
QString dueShown(TaskWidget* row)
{
    const QLabel* label = row->dueLabel();
    return label && label->isVisibleTo(row) ? label->text() : QString();
}

bool marked(TaskWidget* row)
{
    return row->notesMark() && row->notesMark()->isVisibleTo(row);
}

/// A user group with one task due `dueInDays` after the fixed day (none for NoDue).
FocusGroup::Id makeDatedGroup(const QString& name, TodoTask::Id* taskId, int dueInDays, const QString& notes = {})
{
    const FocusGroup::Id groupId = makeGroup(name, taskId);
    if (dueInDays != NoDue)
        store()->setTaskDue(*taskId, QDateTime(g_day.addDays(dueInDays), QTime(9, 30)));
    store()->setTaskNotes(*taskId, notes);
    return groupId;
}

/// Shows the group in a list and opens its only row.
#define OPEN(groupId)                  \
    uitest::ListWindow w(groupId);     \
    QVERIFY(w.show());                 \
    TaskListWidget& list = *w.list;    \
    TaskWidget* row = list.row(0);     \
    list.setEditing(0)

} // namespace

class TstTaskWidget : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(m_store.ready());
        AppSettings::settings()->setDateFormat(QStringLiteral("dd.MM.yyyy"));
    }

    void cleanup()
    {
        TaskWidget::setClock(nullptr);
        g_day = kMonday;
        if (LanguageManager::instance()->currentLanguage() != LanguageManager::englishLanguage()) {
            LanguageManager::instance()->setLanguage(LanguageManager::englishLanguage());
            AppSettings::settings()->setDateFormat(QStringLiteral("dd.MM.yyyy"));
        }
        QLocale::setDefault(m_locale);
    }

    void dueDateInWords_data()
    {
        QTest::addColumn<int>("dueInDays");
        QTest::addColumn<bool>("completed");
        QTest::addColumn<QString>("locale");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<bool>("overdue");
        const QString english = QStringLiteral("en_US");
        QTest::newRow("no date") << NoDue << false << english << QString() << false;
        QTest::newRow("today") << 0 << false << english << "Today" << false;
        QTest::newRow("tomorrow") << 1 << false << english << "Tomorrow" << false;
        QTest::newRow("in six days") << 6 << false << english << "Sunday" << false;
        QTest::newRow("in a week, the same weekday") << 7 << false << english << "14.01.2030" << false;
        QTest::newRow("yesterday") << -1 << false << english << "06.01.2030" << true;
        QTest::newRow("completed, overdue") << -1 << true << english << QString() << false;
        QTest::newRow("weekday in Portuguese") << 2 << false << "pt_PT" << "Quarta-feira" << false;
        QTest::newRow("weekday in Russian") << 6 << false << "ru_RU" << "Воскресенье" << false;
    }

    void dueDateInWords()
    {
        QFETCH(int, dueInDays);
        QFETCH(bool, completed);
        QFETCH(QString, locale);
        QFETCH(QString, shown);
        QFETCH(bool, overdue);
        QLocale::setDefault(QLocale(locale));
        TaskWidget::setClock(fixedDay);
        TodoTask::Id id;
        makeDatedGroup(QStringLiteral("Water the plants"), &id, dueInDays);
        if (completed)
            store()->setTaskCompleted(id, true, QDateTime::currentDateTime());
        QWidget window;
        auto* row = new TaskWidget(id, nullptr, &window);
        row->resize(300, row->height());
        QCOMPARE(dueShown(row), shown);
        QCOMPARE(TaskWidget::dueText(store()->task(id).due(), completed, g_day), shown);
        // Overdue stands out from the name; any other date reads like it.
        if (!shown.isEmpty())
            QCOMPARE(row->dueLabel()->palette().color(QPalette::WindowText)
                     != row->label()->palette().color(QPalette::WindowText),
                 overdue);
    }

    // A switch of language reaches the rows on show.
    void rowSpeaksTheNewLanguage()
    {
        TaskWidget::setClock(fixedDay);
        TodoTask::Id id;
        const FocusGroup::Id groupId =
            makeDatedGroup(QStringLiteral("Pay the rent"), &id, 1, QStringLiteral("By transfer"));
        const TodoTask::Id later = store()->createTask(groupId);
        store()->setTaskName(later, QStringLiteral("Call the bank"));
        store()->setTaskDue(later, QDateTime(kMonday.addDays(2), QTime(0, 0)));
        uitest::ListWindow w(groupId);
        QVERIFY(w.show());
        TaskWidget* row = w.list->row(0);
        QCOMPARE(dueShown(row), QStringLiteral("Tomorrow"));
        QCOMPARE(dueShown(w.list->row(1)), QStringLiteral("Wednesday"));
        QCOMPARE(row->notesMark()->toolTip(), QStringLiteral("Notes"));
        QCOMPARE(row->notesMark()->accessibleName(), QStringLiteral("Notes"));
        QVERIFY(LanguageManager::instance()->setLanguage(QStringLiteral("pt_PT")));
        QTRY_COMPARE(dueShown(row), QStringLiteral("Amanhã"));
        QCOMPARE(dueShown(w.list->row(1)), QStringLiteral("Quarta-feira"));
        QCOMPARE(row->notesMark()->toolTip(), QStringLiteral("Notas"));
        QCOMPARE(row->notesMark()->accessibleName(), QStringLiteral("Notas"));
    }

    // The date and the mark keep their room and the row its height; the name is cut.
    void longNameGivesWayToDateAndMark()
    {
        TaskWidget::setClock(fixedDay);
        TodoTask::Id plainId, longId;
        makeDatedGroup(QStringLiteral("Tea"), &plainId, NoDue);
        makeDatedGroup(QStringLiteral("Renew the passport before the trip to the mountains"), &longId, 2,
                       QStringLiteral("Two photos"));
        store()->setTaskRepeat(longId, QStringLiteral("FREQ=YEARLY;INTERVAL=10"));
        QWidget window;
        auto* plain = new TaskWidget(plainId, nullptr, &window);
        auto* row = new TaskWidget(longId, nullptr, &window);
        window.resize(180, 80);
        row->setGeometry(0, 0, 180, plain->height());
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));

        QCOMPARE(row->height(), plain->height());
        QVERIFY(row->label()->isElided());
        QLabel* due = row->dueLabel();
        QLabel* mark = row->notesMark();
        QCOMPARE(due->text(), QStringLiteral("Wednesday"));
        QVERIFY(due->width() >= due->fontMetrics().horizontalAdvance(due->text()));
        QVERIFY(mark->isVisible() && mark->width() >= mark->pixmap().width());
        QLabel* repeat = row->repeatMark();
        // In a line: name, marks, date; the date inside the row.
        QVERIFY(row->label()->geometry().right() < mark->geometry().left());
        QVERIFY(mark->geometry().right() < repeat->geometry().left());
        QVERIFY(repeat->geometry().right() < due->geometry().left());
        QVERIFY(due->mapTo(row, due->rect().bottomRight()).x() < row->width());

        // A found task names its group before them.
        row->setGroupName(QStringLiteral("Home"));
        QTRY_VERIFY(row->groupLabel()->isVisible() && row->groupLabel()->width() > 0);
        QVERIFY(row->label()->geometry().right() < row->groupLabel()->geometry().left());
        QVERIFY(row->groupLabel()->geometry().right() < mark->geometry().left());
        QVERIFY(due->width() >= due->fontMetrics().horizontalAdvance(due->text()));
    }

    void notesMark_data()
    {
        QTest::addColumn<QString>("notes");
        QTest::addColumn<bool>("hasNotes");
        QTest::newRow("no notes") << QString() << false;
        QTest::newRow("notes") << QStringLiteral("Ask about Friday") << true;
        QTest::newRow("blanks only") << QStringLiteral(" \n\t ") << false;
    }

    void notesMark()
    {
        QFETCH(QString, notes);
        QFETCH(bool, hasNotes);
        TodoTask::Id id;
        uitest::ListWindow w(makeDatedGroup(QStringLiteral("Book the dentist"), &id, NoDue, notes));
        QVERIFY(w.show());
        TaskWidget* row = w.list->row(0);
        QCOMPARE(marked(row), hasNotes);

        // Notes typed into the open row bring the mark; clearing them takes it away.
        w.list->setEditing(0);
        row->notesEdit()->setFocus();
        focusOf(row->notesEdit());
        row->notesEdit()->selectAll();
        if (hasNotes)
            QTest::keyClick(row->notesEdit(), Qt::Key_Backspace);
        else
            QTest::keyClicks(row->notesEdit(), QStringLiteral("Friday"));
        QTest::keyClick(w.list, Qt::Key_Escape);
        QCOMPARE(marked(row), !hasNotes);
    }

    void repeatMark_data()
    {
        QTest::addColumn<QString>("rule");
        QTest::addColumn<QString>("said");
        QTest::newRow("does not repeat") << QString() << QString();
        QTest::newRow("weekly") << QStringLiteral("FREQ=WEEKLY;BYDAY=MO") << QStringLiteral("repeats every week on Monday");
        QTest::newRow("a rule followed elsewhere only") << QStringLiteral("FREQ=HOURLY") << QString();
    }

    // The mark sits beside the notes mark and says the rule; the row's accessible name too.
    void repeatMark()
    {
        QFETCH(QString, rule);
        QFETCH(QString, said);
        TaskWidget::setClock(fixedDay);
        TodoTask::Id id;
        const FocusGroup::Id groupId = makeDatedGroup(QStringLiteral("Water the plants"), &id, 1, QStringLiteral("Ferns"));
        store()->setTaskRepeat(id, rule);
        uitest::ListWindow w(groupId);
        QVERIFY(w.show());
        TaskWidget* row = w.list->row(0);
        QLabel* mark = row->repeatMark();
        QCOMPARE(mark && mark->isVisibleTo(row), !said.isEmpty());
        QCOMPARE(AccessibleText::taskName(store()->task(id), g_day),
                 QStringLiteral("Water the plants, due tomorrow") + (said.isEmpty() ? QString() : QStringLiteral(", ") + said)
                     + QStringLiteral(", has notes"));
        if (said.isEmpty())
            return;
        QCOMPARE(mark->toolTip(), QStringLiteral("Repeats: every week on Monday"));
        QCOMPARE(mark->accessibleName(), mark->toolTip());
        QVERIFY(mark->geometry().left() > row->notesMark()->geometry().right());
        QVERIFY(mark->geometry().right() < row->dueLabel()->geometry().left());
    }

    // A list shows a few rows and binds them to other tasks as it scrolls.
    void scrolledRowsShowTheirOwnDates()
    {
        TaskWidget::setClock(fixedDay);
        const FocusGroup::Id groupId = store()->addGroup(QStringLiteral("Long list"), QString());
        for (int i = 0; i < 80; ++i) {
            const TodoTask::Id id = store()->createTask(groupId);
            store()->setTaskName(id, QStringLiteral("Task %1").arg(i));
            if (i % 4 != 3)
                store()->setTaskDue(id, QDateTime(g_day.addDays(i % 9 - 2), QTime(0, 0)));
            if (i % 5 == 0)
                store()->setTaskNotes(id, QStringLiteral("Notes"));
            if (i % 7 == 0)
                store()->setTaskCompleted(id, true, QDateTime::currentDateTime());
        }
        uitest::ListWindow w(groupId);
        QVERIFY(w.show());
        QScrollBar* bar = w.list->verticalScrollBar();
        for (int value = 0; value <= bar->maximum(); value += 37) {
            bar->setValue(value);
            QCoreApplication::processEvents();
            for (int i = 0; i < w.list->rowCount(); ++i) {
                TaskWidget* row = w.list->row(i);
                if (!row)
                    continue;
                const TodoTask task = store()->task(w.list->taskIdAt(i));
                QCOMPARE(dueShown(row), TaskWidget::dueText(task.due(), task.completed(), g_day));
                QCOMPARE(marked(row), !task.notes().isEmpty());
            }
        }
    }

    // Past midnight a shown row says "Today" where it said "Tomorrow", as its tint does.
    void dateFollowsTheDay()
    {
        TaskWidget::setClock(fixedDay);
        TodoTask::Id id;
        uitest::ListWindow w(makeDatedGroup(QStringLiteral("Pay the rent"), &id, 1));
        QVERIFY(w.show());
        TaskWidget* row = w.list->row(0);
        QCOMPARE(dueShown(row), QStringLiteral("Tomorrow"));
        QCOMPARE(fillOf(row), QColor(0xFFF2B9));
        g_day = kMonday.addDays(1);
        row->update();
        QTRY_COMPARE(dueShown(row), QStringLiteral("Today"));
        QCOMPARE(fillOf(row), QColor(0xF2C9C8));
    }

    void rowColour_data()
    {
        QTest::addColumn<bool>("completed");
        QTest::addColumn<bool>("selected");
        QTest::addColumn<int>("dueInDays");
        QTest::addColumn<QColor>("fill");
        QTest::newRow("open, no due date") << false << false << NoDue << QColor(0xFFFFFF);
        QTest::newRow("completed, overdue") << true << false << -1 << QColor(0xFFFFFF);
        QTest::newRow("selected, overdue") << false << true << -1 << QColor(0xC6D0DA);
        QTest::newRow("selected, completed") << true << true << NoDue << QColor(0xC6D0DA);
        QTest::newRow("due today") << false << false << 0 << QColor(0xF2C9C8);
        QTest::newRow("due tomorrow") << false << false << 1 << QColor(0xFFF2B9);
        QTest::newRow("due in 3 days") << false << false << 3 << QColor(0xFFF2B9);
        QTest::newRow("due in 4 days") << false << false << 4 << QColor(0xFFFFFF);
    }

    void rowColour()
    {
        QFETCH(bool, completed);
        QFETCH(bool, selected);
        QFETCH(int, dueInDays);
        QFETCH(QColor, fill);
        TodoTask::Id id;
        makeGroup(QStringLiteral("Water the plants"), &id, dueInDays);
        if (completed)
            store()->setTaskCompleted(id, true, QDateTime::currentDateTime());
        QWidget window;
        auto* row = new TaskWidget(id, nullptr, &window);
        row->resize(300, 40);
        window.resize(300, 80);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        row->setSelected(selected);
        QCOMPARE(fillOf(row), fill);
        QCOMPARE(row->backgroundColor(), fill);
    }

    void nameLabel_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<QColor>("openColour");
        QTest::newRow("unnamed") << QString() << QStringLiteral("<Unnamed task>") << QColor(Qt::darkGray);
        QTest::newRow("named") << QStringLiteral("Water the plants") << QStringLiteral("Water the plants") << QColor(Qt::black);
        // Cut with an ellipsis (shown empty here); the whole name stays the label's text.
        QTest::newRow("too long") << QStringLiteral("Renew ").repeated(40) << QString() << QColor(Qt::black);
    }

    void nameLabel()
    {
        QFETCH(QString, name);
        QFETCH(QString, shown);
        QFETCH(QColor, openColour);
        TodoTask::Id id;
        uitest::ListWindow w(makeGroup(name, &id, -2));
        QVERIFY(w.show());
        TaskWidget* row = w.list->row(0);
        // A done task's date no longer presses: ticking hides it, unticking brings it back.
        for (bool done : {false, true, false}) {
            if (done != row->viewCheckbox()->isChecked())
                QTest::mouseClick(row->viewCheckbox(), Qt::LeftButton);
            QCOMPARE(store()->task(id).completed(), done);
            QCOMPARE(store()->task(id).completedAt().isValid(), done);
            if (shown.isEmpty()) {
                QVERIFY(row->label()->shownText().endsWith(QChar(0x2026)));
                QCOMPARE(row->label()->text(), name);
            } else {
                QCOMPARE(row->label()->shownText(), shown);
            }
            QCOMPARE(dueShown(row).isEmpty(), done);
            QCOMPARE(row->label()->font().strikeOut(), done);
            QCOMPARE(row->viewCheckbox()->opacity(), done ? 0.6 : 1.0);
            QCOMPARE(row->label()->palette().color(QPalette::WindowText), done ? QColor(Qt::darkGray) : openColour);
        }
    }

    void typingNameWritesOneRevisionPerCharacter()
    {
        TodoTask::Id id;
        OPEN(makeGroup(QString(), &id));
        TaskWidget::NameEdit* edit = row->nameEdit();
        focusOf(edit);
        const QString typed = QStringLiteral("Pay rent");
        for (int i = 0; i < typed.size(); ++i) {
            const int revision = store()->revision();
            QTest::keyClick(edit, typed.at(i).toLatin1());
            QCOMPARE(store()->revision(), revision + 1);
            QCOMPARE(store()->task(id).name(), typed.left(i + 1));
        }
        const int revision = store()->revision();
        QTest::keyClick(edit, Qt::Key_Right);
        QCOMPARE(store()->revision(), revision);
        QCoreApplication::processEvents();
        QCOMPARE(list.row(0), row);
        QCOMPARE(row->nameEdit(), edit);
        QTest::keyClick(&list, Qt::Key_Escape);
        QCOMPARE(row->label()->text(), typed);
    }

    void nameHintNeverStored()
    {
        TodoTask::Id id;
        const FocusGroup::Id groupId = makeGroup(QString(), &id);
        const int revision = store()->revision();
        OPEN(groupId);
        TaskWidget::NameEdit* edit = row->nameEdit();
        focusOf(edit);
        QVERIFY(!edit->isHintShown());
        row->notesEdit()->setFocus();
        QTRY_VERIFY(edit->isHintShown());
        QCOMPARE(edit->placeholderText(), QStringLiteral("Task name"));
        QVERIFY(edit->userText().isEmpty());
        edit->setFocus();
        QTRY_VERIFY(!edit->isHintShown());
        QVERIFY(edit->text().isEmpty());
        QTest::keyClick(&list, Qt::Key_Escape);
        QVERIFY(store()->task(id).name().isEmpty());
        QVERIFY(store()->task(id).notes().isEmpty());
        QCOMPARE(store()->revision(), revision);
    }

    void tickingOpenRowCompletesAndCloses()
    {
        TodoTask::Id id;
        OPEN(makeGroup(QStringLiteral("File taxes"), &id, -1));
        QCoreApplication::processEvents();
        QCOMPARE(fillOf(row), QColor(0xF6FBFF)); // not the due date's colour: the editor's light interior
        QPointer<TaskCheckbox> box = row->editCheckbox();
        QTest::mouseClick(box, Qt::LeftButton);
        QVERIFY(store()->task(id).completed());
        QVERIFY(!list.editedRow());
        QVERIFY(!row->editCheckbox());
        QVERIFY(row->viewCheckbox()->isChecked());
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(!box);
        QCoreApplication::processEvents();
        QCOMPARE(fillOf(row), QColor(0xC6D0DA)); // still selected
        list.setEditing(0);
        QVERIFY(row->editCheckbox()->isChecked());
    }

    void notesGrowTheOpenRow()
    {
        TodoTask::Id id;
        const FocusGroup::Id groupId = makeGroup(QStringLiteral("Shopping"), &id);
        uitest::ListWindow w(groupId);
        QVERIFY(w.show());
        TaskWidget* row = w.list->row(0);
        const int closedHeight = row->height();
        w.list->setEditing(0);
        NotesTextEdit* notes = row->notesEdit();
        const int line = notes->fontMetrics().lineSpacing();
        const int empty = row->height(); // two lines kept even when empty
        QVERIFY(empty > closedHeight);

        notes->setFocus();
        focusOf(notes);
        QList<int> heights;
        for (const char* text : {"milk", "eggs", "bread"}) {
            if (!heights.isEmpty())
                QTest::keyClick(notes, Qt::Key_Return);
            QTest::keyClicks(notes, QLatin1String(text));
            QCoreApplication::processEvents();
            heights << row->height();
        }
        QCOMPARE(heights, (QList<int>{empty, empty, empty + line}));
        QCOMPARE(store()->task(id).notes(), QStringLiteral("milk\neggs\nbread"));

        for (int i = 0; i < 6; ++i)
            QTest::keyClick(notes, Qt::Key_Backspace);
        QCoreApplication::processEvents();
        QCOMPARE(row->height(), empty);

        // A line that wraps grows the row like a typed line break.
        notes->selectAll();
        QTest::keyClicks(notes, QStringLiteral("xxxx ").repeated(3 * notes->width() / notes->fontMetrics().horizontalAdvance(QLatin1Char('x')) / 5));
        QCoreApplication::processEvents();
        QVERIFY(notes->shownLines() >= 3);
        QCOMPARE(row->height(), empty + (notes->shownLines() - 2) * line);
        QTest::keyClick(w.list, Qt::Key_Escape);
        QCOMPARE(row->height(), closedHeight);
    }

    void dueDateTyped_data()
    {
        QTest::addColumn<QDate>("initial");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QDate>("stored");
        QTest::newRow("short day and month") << QDate() << QStringLiteral("5.3.2030") << QDate(2030, 3, 5);
        QTest::newRow("replacing a date") << QDate(2029, 12, 24) << QStringLiteral("31.01.2031") << QDate(2031, 1, 31);
        QTest::newRow("cleared") << QDate(2029, 12, 24) << QString() << QDate();
    }

    void dueDateTyped()
    {
        QFETCH(QDate, initial);
        QFETCH(QString, typed);
        QFETCH(QDate, stored);
        TodoTask::Id id;
        const FocusGroup::Id groupId = makeGroup(QStringLiteral("Dentist"), &id);
        store()->setTaskDue(id, initial.isValid() ? QDateTime(initial, QTime(0, 0)) : QDateTime());
        OPEN(groupId);
        auto* edit = row->dateWidget()->edit();
        edit->setFocus();
        focusOf(edit);
        QVERIFY(edit->hasSelectedText()); // typing replaces the whole text
        if (typed.isEmpty())
            QTest::keyClick(edit, Qt::Key_Backspace);
        else
            QTest::keyClicks(edit, typed);
        const QDateTime expected = stored.isValid() ? QDateTime(stored, QTime(0, 0)) : QDateTime();
        QCOMPARE(store()->task(id).due(), expected);
        QTest::keyClick(&list, Qt::Key_Escape);
        QCOMPARE(store()->task(id).due(), expected);
    }

    void calendarClosesWhenNameOrNotesTakeFocus()
    {
        TodoTask::Id id;
        OPEN(makeGroup(QStringLiteral("Dentist"), &id));
        DateWidget* date = row->dateWidget();
        for (QWidget* other : {static_cast<QWidget*>(row->nameEdit()), static_cast<QWidget*>(row->notesEdit())}) {
            date->edit()->setFocus();
            QTRY_VERIFY(date->popup() && date->popup()->isVisible());
            other->setFocus();
            focusOf(other);
            QTRY_VERIFY(!date->popup() || !date->popup()->isVisible());
            QCOMPARE(list.editedRow(), row);
        }
    }

private:
    uitest::TempStore m_store;
    const QLocale m_locale;
};

MRV_TEST_WIDGETS_MAIN(TstTaskWidget)
#include "tst_taskwidget.moc"
