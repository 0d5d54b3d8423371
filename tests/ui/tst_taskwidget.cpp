#include "support/testenv.h"
#include "support/uitestkit.h"

#include "app/taskcore.h"
#include "settings/appsettings.h"
#include "store/taskstorage.h"
#include "ui/notestextedit.h"
#include "ui/taskwidget.h"
#include "widgets/calendarpopup.h"
#include "widgets/datewidget.h"
#include "widgets/fancycheckbox.h"
#include "widgets/fancylineedit.h"

#include <QApplication>
#include <QPointer>
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
        QVERIFY(m_dir.isValid());
        QCOMPARE(TaskCore::instance()->init(m_dir.filePath(QStringLiteral("tasks.xml")), 3600000), 0);
        AppSettings::settings()->setDateFormat(QStringLiteral("dd.MM.yyyy"));
    }

    void cleanupTestCase() { TaskCore::destroy(); }

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
        QTest::newRow("long overdue") << false << false << -30 << QColor(0xF2C9C8);
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

    // Not the due-date colour: the light interior of the editor.
    void openRowPaintsEditorColour()
    {
        TodoTask::Id id;
        OPEN(makeGroup(QStringLiteral("Water the plants"), &id, -1));
        QCoreApplication::processEvents();
        QCOMPARE(fillOf(row), QColor(0xF6FBFF));
    }

    void nameLabel_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<QColor>("openColour");
        QTest::newRow("unnamed") << QString() << QStringLiteral("<Unnamed task>") << QColor(Qt::darkGray);
        QTest::newRow("named") << QStringLiteral("Water the plants") << QStringLiteral("Water the plants")
                               << QColor(Qt::black);
        // Cut with an ellipsis (shown empty here); the whole name stays the label's text.
        QTest::newRow("too long") << QStringLiteral("Renew ").repeated(40) << QString() << QColor(Qt::black);
    }

    void nameLabel()
    {
        QFETCH(QString, name);
        QFETCH(QString, shown);
        QFETCH(QColor, openColour);
        TodoTask::Id id;
        uitest::ListWindow w(makeGroup(name, &id));
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
        OPEN(makeGroup(QStringLiteral("File taxes"), &id));
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
        QTRY_COMPARE(notes->height(), 2 * line + 8); // two lines kept even when empty
        const int empty = row->height();
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
        QTRY_COMPARE(notes->height(), 3 * line + 8);

        for (int i = 0; i < 6; ++i)
            QTest::keyClick(notes, Qt::Key_Backspace);
        QCoreApplication::processEvents();
        QCOMPARE(row->height(), empty);

        // A line that wraps grows the row like a typed line break.
        notes->selectAll();
        QTest::keyClicks(notes, QString(3 * notes->width() / notes->fontMetrics().horizontalAdvance(QLatin1Char('x')),
                                        QLatin1Char('x')).replace(QStringLiteral("xxxxx"), QStringLiteral("xxxx ")));
        QCoreApplication::processEvents();
        QVERIFY2(notes->shownLines() >= 3, qPrintable(QString::number(notes->shownLines())));
        QCOMPARE(row->height(), empty + (notes->shownLines() - 2) * line);
        notes->selectAll();
        QTest::keyClick(notes, Qt::Key_Backspace);
        QCoreApplication::processEvents();
        QCOMPARE(row->height(), empty);
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
    QTemporaryDir m_dir;
};

MRV_TEST_WIDGETS_MAIN(TstTaskWidget)
#include "tst_taskwidget.moc"
