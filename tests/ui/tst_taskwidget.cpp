#include "support/testenv.h"
#include "support/uitestkit.h"

#include "core/taskcore.h"
#include "settings/appsettings.h"
#include "settings/languagemanager.h"
#include "store/taskstorage.h"
#include "ui/accessibletext.h"
#include "ui/taskwidget.h"
#include "widgets/calendarpopup.h"
#include "widgets/datewidget.h"
#include "widgets/fancycheckbox.h"
#include "widgets/fancylineedit.h"

#include <QApplication>

#include <climits>

namespace {

using namespace uitest;

constexpr int NoDue = INT_MIN;

// The day the rows take as today while a test sets it: a Monday unless a test moves it.
const QDate kMonday(2030, 1, 7);
QDate g_day = kMonday;
QDate fixedDay() { return g_day; }

/// A fresh group with one task due `dueInDays` after the fixed day (none for NoDue).
FocusGroup::Id makeTask(const QString& name, TodoTask::Id* id, int dueInDays = NoDue)
{
    QList<TodoTask::Id> ids;
    const FocusGroup::Id groupId = makeGroup({name}, &ids);
    *id = ids.first();
    if (dueInDays != NoDue)
        store()->setTaskDue(*id, QDateTime(g_day.addDays(dueInDays), QTime(9, 30)));
    return groupId;
}

void focusOf(QWidget* widget)
{
    widget->setFocus();
    QTRY_COMPARE(QApplication::focusWidget(), widget);
}

/// The due date a row shows; empty for none.
QString dueShown(TaskWidget* row)
{
    const QLabel* label = row->dueLabel();
    return label && label->isVisibleTo(row) ? label->text() : QString();
}

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
    }

    // The due date a row shows, what a screen reader says of it and the row's fill; an overdue
    // date stands out from the name. A shown row follows past midnight and a change of language.
    void dueDateRule_data()
    {
        QTest::addColumn<int>("dueInDays");
        QTest::addColumn<bool>("completed");
        QTest::addColumn<bool>("selected");
        QTest::addColumn<QString>("language");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<QString>("spoken");
        QTest::addColumn<QColor>("fill");
        const QColor plain(0xFFFFFF), now(0xF2C9C8), soon(0xFFF2B9), selected(0xC6D0DA);
        struct
        {
            void operator()(const char* name, int days, const char* shown, const char* spoken, const QColor& fill,
                            bool completed = false, bool selected = false, const char* language = "en") const
            {
                QTest::newRow(name) << days << completed << selected << QString::fromLatin1(language)
                                    << QString::fromUtf8(shown) << QString::fromLatin1(spoken) << fill;
            }
        } row;
        row("no date", NoDue, "", "", plain);
        row("today", 0, "Today", "due today", now);
        row("tomorrow", 1, "Tomorrow", "due tomorrow", soon);
        row("in three days", 3, "Friday", "due Friday", soon);
        row("in four days", 4, "Saturday", "due Saturday", plain);
        row("in a week", 7, "15.01.2030", "due 15.01.2030", plain);
        row("overdue", -9, "30.12.2029", "overdue since 30.12.2029", now);
        row("completed, overdue", -1, "", "due 07.01.2030", plain, true);
        row("selected, overdue", -1, "07.01.2030", "overdue since 07.01.2030", selected, false, true);
        row("tomorrow in Portuguese", 1, "Amanhã", "", soon, false, false, "pt_PT");
        row("weekday in Portuguese", 2, "Quinta-feira", "", soon, false, false, "pt_PT");
    }

    void dueDateRule()
    {
        QFETCH(int, dueInDays);
        QFETCH(bool, completed);
        QFETCH(bool, selected);
        QFETCH(QString, language);
        QFETCH(QString, shown);
        QFETCH(QString, spoken);
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
        if (language != QLatin1String("en"))
            QVERIFY(LanguageManager::instance()->setLanguage(language));
        row->update();
        QTRY_COMPARE(dueShown(row), shown);
        QCOMPARE(row->grab().toImage().pixelColor(row->width() - 3, row->height() / 2), fill);
        QCOMPARE(row->backgroundColor(), fill);
        if (language == QLatin1String("en"))
            QCOMPARE(AccessibleText::due(store()->task(id).due(), g_day, completed), spoken);
        if (!shown.isEmpty())
            QCOMPARE(row->dueLabel()->palette().color(QPalette::WindowText)
                         != row->label()->palette().color(QPalette::WindowText),
                     spoken.startsWith(QLatin1String("overdue")));
    }

    // A long name is cut; the due date and the marks keep their room, all in one line: name,
    // the group of a found task, marks, date.
    void longNameGivesWayToDateAndMarks()
    {
        TodoTask::Id id;
        makeTask(QStringLiteral("Renew the passport before the trip to the mountains"), &id, 2);
        store()->setTaskNotes(id, QStringLiteral("Photos"));
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

    // Ticking a row completes its task, strikes the name out and hides the date; unticking
    // brings them back. Ticked in the open row, it also closes the editor.
    void tickingCompletes()
    {
        TodoTask::Id id;
        ListWindow w(makeTask(QStringLiteral("File taxes"), &id, -1));
        QVERIFY(w.show());
        TaskWidget* row = w.list->row(0);
        for (bool done : {true, false}) {
            QTest::mouseClick(row->viewCheckbox(), Qt::LeftButton);
            QCOMPARE(store()->task(id).completed(), done);
            QCOMPARE(store()->task(id).completedAt().isValid(), done);
            QCOMPARE(dueShown(row).isEmpty(), done);
            QCOMPARE(row->label()->font().strikeOut(), done);
        }
        w.list->setEditing(0);
        QTest::mouseClick(row->editCheckbox(), Qt::LeftButton);
        QVERIFY(store()->task(id).completed());
        QVERIFY(!w.list->editedRow());
        QVERIFY(row->viewCheckbox()->isChecked());
    }

    // The open row stores what is typed at once, never the name's hint, and closing it keeps it.
    // In the open calendar the first Escape closes only the calendar.
    void typingIsStoredAndKeptOnClose()
    {
        TodoTask::Id id;
        ListWindow w(makeTask(QString(), &id));
        QVERIFY(w.show());
        TaskWidget* row = w.list->row(0);
        const int unchanged = store()->revision();
        w.list->setEditing(0);
        focusOf(row->notesEdit());
        QTRY_VERIFY(row->nameEdit()->isHintShown());
        QCOMPARE(store()->revision(), unchanged);
        focusOf(row->nameEdit());
        QTest::keyClicks(row->nameEdit(), QStringLiteral("Pay rent"));
        QCOMPARE(store()->task(id).name(), QStringLiteral("Pay rent"));
        DateWidget* date = row->dateWidget();
        focusOf(date->edit());
        QVERIFY(date->edit()->hasSelectedText()); // typing replaces the whole date
        QTest::keyClicks(date->edit(), QStringLiteral("5.3.2030"));
        const QDateTime due(QDate(2030, 3, 5), QTime(0, 0));
        QCOMPARE(store()->task(id).due(), due);
        QTRY_VERIFY(date->popup() && date->popup()->isVisible());
        QTest::keyClick(date->edit(), Qt::Key_Escape);
        QVERIFY(!date->popup() || !date->popup()->isVisible());
        QVERIFY(row->isEditing());
        QTest::keyClick(date->edit(), Qt::Key_Escape);
        QVERIFY(!row->isEditing());
        QCOMPARE(store()->task(id).name(), QStringLiteral("Pay rent"));
        QCOMPARE(store()->task(id).due(), due);
        QCOMPARE(row->label()->text(), QStringLiteral("Pay rent"));
    }

private:
    TempStore m_store;
};

MRV_TEST_WIDGETS_MAIN(TstTaskWidget)
#include "tst_taskwidget.moc"
