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

#include <climits>

namespace {

using namespace uitest;

constexpr int NoDue = INT_MIN;

// The day the rows take as today while a test sets it: a Monday unless a test moves it.
const QDate kMonday(2030, 1, 7);
QDate g_day = kMonday;
QDate fixedDay() { return g_day; }

/// A fresh group with one task due `dueInDays` after the fixed day (none for NoDue).
FocusGroup::Id makeTask(const QString& name, TodoTask::Id* id, int dueInDays = NoDue, const QString& notes = {})
{
    QList<TodoTask::Id> ids;
    const FocusGroup::Id groupId = makeGroup({name}, &ids);
    *id = ids.first();
    if (dueInDays != NoDue)
        store()->setTaskDue(*id, QDateTime(g_day.addDays(dueInDays), QTime(9, 30)));
    store()->setTaskNotes(*id, notes);
    return groupId;
}

/// The fill where no text and no check box lie: near the right edge, half way down.
QColor fillOf(QWidget* row) { return row->grab().toImage().pixelColor(row->width() - 3, row->height() / 2); }

void focusOf(QWidget* widget) { QTRY_COMPARE(QApplication::focusWidget(), widget); }

/// The due date a row shows; empty for none.
QString dueShown(TaskWidget* row)
{
    const QLabel* label = row->dueLabel();
    return label && label->isVisibleTo(row) ? label->text() : QString();
}

bool marked(TaskWidget* row) { return row->notesMark() && row->notesMark()->isVisibleTo(row); }

/// Shows the group in a list and opens its first row.
#define OPEN(groupId)                  \
    ListWindow w(groupId);             \
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

    void init() { TaskWidget::setClock(fixedDay); }

    void cleanup()
    {
        g_day = kMonday;
        if (LanguageManager::instance()->currentLanguage() != LanguageManager::englishLanguage()) {
            LanguageManager::instance()->setLanguage(LanguageManager::englishLanguage());
            AppSettings::settings()->setDateFormat(QStringLiteral("dd.MM.yyyy"));
        }
        QLocale::setDefault(m_locale);
    }

    // What the row shows and what a screen reader says; overdue stands out from the name.
    void dueDateInWords_data()
    {
        QTest::addColumn<int>("dueInDays");
        QTest::addColumn<bool>("completed");
        QTest::addColumn<QString>("locale");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<QString>("spoken");
        QTest::addColumn<bool>("overdue");
        const QString english = QStringLiteral("en_US");
        QTest::newRow("no date") << NoDue << false << english << QString() << QString() << false;
        QTest::newRow("today") << 0 << false << english << "Today" << "due today" << false;
        QTest::newRow("tomorrow") << 1 << false << english << "Tomorrow" << "due tomorrow" << false;
        QTest::newRow("in six days") << 6 << false << english << "Sunday" << "due Sunday" << false;
        QTest::newRow("in a week") << 7 << false << english << "14.01.2030" << "due 14.01.2030" << false;
        QTest::newRow("yesterday") << -1 << false << english << "06.01.2030" << "overdue since 06.01.2030" << true;
        QTest::newRow("last month") << -9 << false << english << "29.12.2029" << "overdue since 29.12.2029" << true;
        QTest::newRow("completed, overdue") << -1 << true << english << QString() << "due 06.01.2030" << false;
        QTest::newRow("weekday in Portuguese") << 2 << false << "pt_PT" << "Quarta-feira" << QString() << false;
        QTest::newRow("weekday in Russian") << 6 << false << "ru_RU" << "Воскресенье" << QString() << false;
    }

    void dueDateInWords()
    {
        QFETCH(int, dueInDays);
        QFETCH(bool, completed);
        QFETCH(QString, locale);
        QFETCH(QString, shown);
        QFETCH(QString, spoken);
        QFETCH(bool, overdue);
        QLocale::setDefault(QLocale(locale));
        TodoTask::Id id;
        makeTask(QStringLiteral("Water the plants"), &id, dueInDays);
        if (completed)
            store()->setTaskCompleted(id, true, QDateTime::currentDateTime());
        QWidget window;
        auto* row = new TaskWidget(id, nullptr, &window);
        row->resize(300, row->height());
        QCOMPARE(dueShown(row), shown);
        if (!spoken.isEmpty() || locale == QLatin1String("en_US"))
            QCOMPARE(AccessibleText::due(store()->task(id).due(), g_day, completed), spoken);
        if (!shown.isEmpty())
            QCOMPARE(row->dueLabel()->palette().color(QPalette::WindowText)
                         != row->label()->palette().color(QPalette::WindowText),
                     overdue);
    }

    // A switch of language reaches the rows on show.
    void rowSpeaksTheNewLanguage()
    {
        TodoTask::Id id;
        ListWindow w(makeTask(QStringLiteral("Pay the rent"), &id, 1, QStringLiteral("By transfer")));
        QVERIFY(w.show());
        TaskWidget* row = w.list->row(0);
        QCOMPARE(dueShown(row), QStringLiteral("Tomorrow"));
        QCOMPARE(row->notesMark()->accessibleName(), QStringLiteral("Notes"));
        QVERIFY(LanguageManager::instance()->setLanguage(QStringLiteral("pt_PT")));
        QTRY_COMPARE(dueShown(row), QStringLiteral("Amanhã"));
        QCOMPARE(row->notesMark()->toolTip(), QStringLiteral("Notas"));
        QCOMPARE(row->notesMark()->accessibleName(), QStringLiteral("Notas"));
    }

    // The date and the marks keep their room and the row its height; the name is cut. In a
    // line: name, the group of a found task, marks, date.
    void longNameGivesWayToDateAndMarks()
    {
        TodoTask::Id plainId, longId;
        makeTask(QStringLiteral("Tea"), &plainId);
        const QString name = QStringLiteral("Renew the passport before the trip to the mountains");
        makeTask(name, &longId, 2, QStringLiteral("Photos"));
        store()->setTaskRepeat(longId, QStringLiteral("FREQ=YEARLY;INTERVAL=10"));
        QWidget window;
        auto* plain = new TaskWidget(plainId, nullptr, &window);
        auto* row = new TaskWidget(longId, nullptr, &window);
        window.resize(180, 80);
        row->setGeometry(0, 0, 180, plain->height());
        row->setGroupName(QStringLiteral("Home"));
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QCOMPARE(row->height(), plain->height());
        QVERIFY(row->label()->isElided());
        QLabel* due = row->dueLabel();
        QCOMPARE(due->text(), QStringLiteral("Wednesday"));
        QVERIFY(due->width() >= due->fontMetrics().horizontalAdvance(due->text()));
        QVERIFY(row->notesMark()->width() >= row->notesMark()->pixmap().width());
        const QList<QWidget*> inLine{row->label(), row->groupLabel(), row->notesMark(), row->repeatMark(), due};
        for (int i = 1; i < inLine.size(); ++i)
            QVERIFY(inLine.at(i - 1)->geometry().right() < inLine.at(i)->geometry().left());
        QVERIFY(row->groupLabel()->width() > 0);
        QVERIFY(due->mapTo(row, due->rect().bottomRight()).x() < row->width());
    }

    // Notes (not blanks) show a mark, typed or cleared in the open row too; a rule that the
    // program follows shows one that says it.
    void marks_data()
    {
        QTest::addColumn<QString>("notes");
        QTest::addColumn<QString>("rule");
        QTest::addColumn<bool>("hasNotes");
        QTest::addColumn<QString>("said");
        QTest::newRow("no notes") << QString() << QString() << false << QString();
        QTest::newRow("notes") << "Ask about Friday" << QString() << true << QString();
        QTest::newRow("blanks only") << " \n\t " << QString() << false << QString();
        QTest::newRow("weekly") << QString() << "FREQ=WEEKLY;BYDAY=MO" << false << "Repeats: every week on Monday";
        QTest::newRow("a rule followed elsewhere only") << QString() << "FREQ=HOURLY" << false << QString();
    }

    void marks()
    {
        QFETCH(QString, notes);
        QFETCH(QString, rule);
        QFETCH(bool, hasNotes);
        QFETCH(QString, said);
        TodoTask::Id id;
        const FocusGroup::Id groupId = makeTask(QStringLiteral("Book the dentist"), &id, NoDue, notes);
        store()->setTaskRepeat(id, rule);
        ListWindow w(groupId);
        QVERIFY(w.show());
        TaskWidget* row = w.list->row(0);
        QCOMPARE(marked(row), hasNotes);
        QLabel* mark = row->repeatMark();
        QCOMPARE(mark && mark->isVisibleTo(row), !said.isEmpty());
        if (!said.isEmpty()) {
            QCOMPARE(mark->toolTip(), said);
            QCOMPARE(mark->accessibleName(), said);
        }
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

    // A list shows a few rows and binds them to other tasks as it scrolls.
    void scrolledRowsShowTheirOwnDates()
    {
        const FocusGroup::Id groupId = makeGroup(numbered(80));
        const QList<TodoTask::Id> ids = store()->group(groupId).taskIds();
        for (int i = 0; i < 80; ++i) {
            if (i % 4 != 3)
                store()->setTaskDue(ids.at(i), QDateTime(g_day.addDays(i % 9 - 2), QTime(0, 0)));
            if (i % 5 == 0)
                store()->setTaskNotes(ids.at(i), QStringLiteral("Notes"));
            if (i % 7 == 0)
                store()->setTaskCompleted(ids.at(i), true, QDateTime::currentDateTime());
        }
        ListWindow w(groupId);
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

    // Past midnight a shown row takes the colour of its new distance to the due date.
    void rowColour()
    {
        QFETCH(bool, completed);
        QFETCH(bool, selected);
        QFETCH(int, dueInDays);
        QFETCH(QColor, fill);
        TodoTask::Id id;
        makeTask(QStringLiteral("Water the plants"), &id, dueInDays == NoDue ? NoDue : dueInDays + 1);
        if (completed)
            store()->setTaskCompleted(id, true, QDateTime::currentDateTime());
        QWidget window;
        auto* row = new TaskWidget(id, nullptr, &window);
        row->resize(300, 40);
        window.resize(300, 80);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        row->setSelected(selected);
        QCoreApplication::processEvents();
        g_day = kMonday.addDays(1);
        row->update();
        QTRY_COMPARE(dueShown(row), TaskWidget::dueText(store()->task(id).due(), completed, g_day));
        QCOMPARE(fillOf(row), fill);
        QCOMPARE(row->backgroundColor(), fill);
    }

    // Ticking a row strikes its name out and hides its date; unticking brings them back.
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
        ListWindow w(makeTask(name, &id, -2));
        QVERIFY(w.show());
        TaskWidget* row = w.list->row(0);
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

    // Each typed character is one change of the store, the name field's hint none; the row and
    // its editor stay while the store announces the changes.
    void typingNameWritesEachCharacterAndNeverTheHint()
    {
        TodoTask::Id id;
        const FocusGroup::Id groupId = makeTask(QString(), &id);
        const int unchanged = store()->revision();
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
        QCOMPARE(store()->revision(), unchanged);
        list.setEditing(0);
        edit = row->nameEdit();
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

    void tickingOpenRowCompletesAndCloses()
    {
        TodoTask::Id id;
        OPEN(makeTask(QStringLiteral("File taxes"), &id, -1));
        QCoreApplication::processEvents();
        QCOMPARE(fillOf(row), QColor(0xF6FBFF)); // not the due date's colour: the editor's light interior
        QPointer<TaskCheckbox> box = row->editCheckbox();
        QTest::mouseClick(box, Qt::LeftButton);
        QVERIFY(store()->task(id).completed());
        QVERIFY(!list.editedRow());
        QVERIFY(row->viewCheckbox()->isChecked());
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(!box);
        QCoreApplication::processEvents();
        QCOMPARE(fillOf(row), QColor(0xC6D0DA)); // still selected
        list.setEditing(0);
        QVERIFY(row->editCheckbox()->isChecked());
    }

    // The open row keeps room for notes even when empty and grows with further lines, typed or
    // wrapped; closed it has its height again.
    void notesGrowTheOpenRow()
    {
        TodoTask::Id id;
        OPEN(makeTask(QStringLiteral("Shopping"), &id));
        list.setEditing(-1);
        const int closedHeight = row->height();
        list.setEditing(0);
        NotesTextEdit* notes = row->notesEdit();
        const int empty = row->height();
        QVERIFY(empty > closedHeight);
        notes->setFocus();
        focusOf(notes);
        QTest::keyClicks(notes, QStringLiteral("milk"));
        QTest::keyClick(notes, Qt::Key_Return);
        QTest::keyClicks(notes, QStringLiteral("eggs"));
        QCoreApplication::processEvents();
        QCOMPARE(row->height(), empty);
        QTest::keyClick(notes, Qt::Key_Return);
        QTest::keyClicks(notes, QStringLiteral("bread"));
        QCoreApplication::processEvents();
        const int threeLines = row->height();
        QVERIFY(threeLines > empty);
        QCOMPARE(store()->task(id).notes(), QStringLiteral("milk\neggs\nbread"));
        notes->selectAll();
        const int words = 4 * notes->width() / notes->fontMetrics().horizontalAdvance(QLatin1Char('x')) / 5;
        QTest::keyClicks(notes, QStringLiteral("xxxx ").repeated(words));
        QCoreApplication::processEvents();
        QVERIFY(row->height() > threeLines);
        QTest::keyClick(&list, Qt::Key_Escape);
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

    // Typing replaces the whole date and stores it at once; closing the row keeps it.
    void dueDateTyped()
    {
        QFETCH(QDate, initial);
        QFETCH(QString, typed);
        QFETCH(QDate, stored);
        TodoTask::Id id;
        const FocusGroup::Id groupId = makeTask(QStringLiteral("Dentist"), &id);
        store()->setTaskDue(id, initial.isValid() ? QDateTime(initial, QTime(0, 0)) : QDateTime());
        OPEN(groupId);
        auto* edit = row->dateWidget()->edit();
        edit->setFocus();
        focusOf(edit);
        QVERIFY(edit->hasSelectedText());
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
        OPEN(makeTask(QStringLiteral("Dentist"), &id));
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
    TempStore m_store;
    const QLocale m_locale;
};

MRV_TEST_WIDGETS_MAIN(TstTaskWidget)
#include "tst_taskwidget.moc"
