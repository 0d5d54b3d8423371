#include "support/testenv.h"
#include "support/uitestkit.h"

#include "app/taskcore.h"
#include "settings/appsettings.h"
#include "store/focusgroup.h"
#include "store/taskstorage.h"
#include "store/todotask.h"
#include "ui/notestextedit.h"
#include "ui/tasklistwidget.h"
#include "ui/taskwidget.h"
#include "widgets/calendarpopup.h"
#include "widgets/datewidget.h"
#include "widgets/fancycheckbox.h"
#include "widgets/fancylineedit.h"
#include "widgets/hintededit.h"

#include <QApplication>
#include <QPointer>
#include <QTemporaryDir>
#include <QVBoxLayout>

#include <climits>
#include <memory>

namespace {

using uitest::ListWindow;

/// No due date.
constexpr int NoDue = INT_MIN;

std::shared_ptr<TaskStorage> store()
{
    return TaskCore::instance()->storage();
}

/// A fresh user group with one task of the given name.
FocusGroup::Id makeGroup(const QString& name, TodoTask::Id* taskId)
{
    static int counter = 0;
    const auto storage = store();
    const FocusGroup::Id groupId = storage->addGroup(QStringLiteral("Rows %1").arg(++counter), QString());
    *taskId = storage->createTask(groupId);
    storage->setTaskName(*taskId, name);
    return groupId;
}

/// The fill of a row where no text and no check box lie: near the right edge, half way down.
QColor fillOf(QWidget* row)
{
    const QImage image = row->grab().toImage();
    return image.pixelColor(row->width() - 3, row->height() / 2);
}

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
        QTest::newRow("completed") << true << false << NoDue << QColor(0xFFFFFF);
        QTest::newRow("completed, overdue") << true << false << -1 << QColor(0xFFFFFF);
        QTest::newRow("selected") << false << true << NoDue << QColor(0xC6D0DA);
        QTest::newRow("selected, overdue") << false << true << -1 << QColor(0xC6D0DA);
        QTest::newRow("selected, completed") << true << true << NoDue << QColor(0xC6D0DA);
        QTest::newRow("overdue") << false << false << -1 << QColor(0xF2C9C8);
        QTest::newRow("long overdue") << false << false << -30 << QColor(0xF2C9C8);
        QTest::newRow("due today") << false << false << 0 << QColor(0xF2C9C8);
        QTest::newRow("due tomorrow") << false << false << 1 << QColor(0xFFF2B9);
        QTest::newRow("due in 2 days") << false << false << 2 << QColor(0xFFF2B9);
        QTest::newRow("due in 3 days") << false << false << 3 << QColor(0xFFF2B9);
        QTest::newRow("due in 4 days") << false << false << 4 << QColor(0xFFFFFF);
        QTest::newRow("due in 30 days") << false << false << 30 << QColor(0xFFFFFF);
    }

    void rowColour()
    {
        QFETCH(bool, completed);
        QFETCH(bool, selected);
        QFETCH(int, dueInDays);
        QFETCH(QColor, fill);

        const auto storage = store();
        TodoTask::Id id;
        makeGroup(QStringLiteral("Water the plants"), &id);
        if (completed)
            storage->setTaskCompleted(id, true, QDateTime::currentDateTime());
        if (dueInDays != NoDue)
            storage->setTaskDue(id, QDateTime(QDate::currentDate().addDays(dueInDays), QTime(0, 0)));

        QWidget window;
        auto* layout = new QVBoxLayout(&window);
        auto* row = new TaskWidget(id, nullptr, &window);
        layout->addWidget(row);
        window.resize(300, 80);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        row->setSelected(selected);
        QCOMPARE(row->isSelected(), selected);
        QCOMPARE(fillOf(row), fill);
        QCOMPARE(row->backgroundColor(), fill);
    }

    void openRowPaintsEditorColours()
    {
        TodoTask::Id id;
        const FocusGroup::Id groupId = makeGroup(QStringLiteral("Water the plants"), &id);
        store()->setTaskDue(id, QDateTime(QDate::currentDate().addDays(-1), QTime(0, 0)));
        ListWindow w(groupId);
        QVERIFY(w.show());
        w.list->setEditing(0);
        TaskWidget* row = w.list->row(0);
        QCoreApplication::processEvents();
        const QImage image = row->grab().toImage();
        // Not the due-date colour: the light interior inside a blue-grey outline.
        QCOMPARE(image.pixelColor(row->width() - 3, row->height() / 2), QColor(0xF6FBFF));
        const QColor outline = image.pixelColor(row->width() / 2, 1);
        QVERIFY(outline != QColor(0xF6FBFF));
        QVERIFY(outline.blue() > outline.red() + 20);
    }

    void nameLabel_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<QColor>("openColour");
        QTest::newRow("unnamed") << QString() << QStringLiteral("<Unnamed task>") << QColor(Qt::darkGray);
        QTest::newRow("named") << QStringLiteral("Water the plants") << QStringLiteral("Water the plants")
                               << QColor(Qt::black);
    }

    void nameLabel()
    {
        QFETCH(QString, name);
        QFETCH(QString, shown);
        QFETCH(QColor, openColour);

        TodoTask::Id id;
        const FocusGroup::Id groupId = makeGroup(name, &id);
        ListWindow w(groupId);
        QVERIFY(w.show());
        TaskWidget* row = w.list->row(0);
        QVERIFY(row->label());
        QCOMPARE(row->label()->text(), shown);
        QCOMPARE(row->label()->palette().color(QPalette::WindowText), openColour);
        QVERIFY(!row->label()->font().strikeOut());
        QCOMPARE(row->viewCheckbox()->opacity(), 1.0);
        QVERIFY(!row->viewCheckbox()->isChecked());

        QTest::mouseClick(row->viewCheckbox(), Qt::LeftButton);
        QVERIFY(store()->task(id).completed());
        QVERIFY(store()->task(id).completedAt().isValid());
        QVERIFY(row->task().completed());
        QVERIFY(row->viewCheckbox()->isChecked());
        QCOMPARE(row->label()->text(), shown);
        QVERIFY(row->label()->font().strikeOut());
        QCOMPARE(row->viewCheckbox()->opacity(), 0.6);
        QCOMPARE(row->label()->palette().color(QPalette::WindowText), QColor(Qt::darkGray));

        // And back.
        QTest::mouseClick(row->viewCheckbox(), Qt::LeftButton);
        QVERIFY(!store()->task(id).completed());
        QVERIFY(!row->label()->font().strikeOut());
        QCOMPARE(row->viewCheckbox()->opacity(), 1.0);
        QCOMPARE(row->label()->palette().color(QPalette::WindowText), openColour);
    }

    void typingNameWritesThrough()
    {
        const auto storage = store();
        TodoTask::Id id;
        const FocusGroup::Id groupId = makeGroup(QString(), &id);
        ListWindow w(groupId);
        QVERIFY(w.show());
        TaskListWidget& list = *w.list;
        TaskWidget* row = list.row(0);
        list.setEditing(0);
        TaskWidget::NameEdit* edit = row->nameEdit();
        QVERIFY(edit);
        QTRY_COMPARE(QApplication::focusWidget(), static_cast<QWidget*>(edit));
        QVERIFY(!edit->isHintShown());

        const QString typed = QStringLiteral("Pay rent");
        for (int i = 0; i < typed.size(); ++i) {
            const int revision = storage->revision();
            QTest::keyClick(edit, typed.at(i).toLatin1());
            QCOMPARE(storage->revision(), revision + 1);
            QCOMPARE(storage->task(id).name(), typed.left(i + 1));
        }
        // A key that changes nothing writes nothing.
        const int revision = storage->revision();
        QTest::keyClick(edit, Qt::Key_Right);
        QCOMPARE(storage->revision(), revision);

        QCoreApplication::processEvents();
        QCOMPARE(list.rowCount(), 1);
        QCOMPARE(list.row(0), row);
        QCOMPARE(list.editedRow(), row);
        QCOMPARE(row->nameEdit(), edit);

        // The row shows the name once closed.
        QTest::keyClick(&list, Qt::Key_Escape);
        QCOMPARE(row->label()->text(), typed);
        QCOMPARE(row->label()->palette().color(QPalette::WindowText), QColor(Qt::black));
    }

    void nameHintNeverStored()
    {
        const auto storage = store();
        TodoTask::Id id;
        const FocusGroup::Id groupId = makeGroup(QString(), &id);
        ListWindow w(groupId);
        QVERIFY(w.show());
        TaskListWidget& list = *w.list;
        TaskWidget* row = list.row(0);
        const int revision = storage->revision();
        list.setEditing(0);
        TaskWidget::NameEdit* edit = row->nameEdit();
        QTRY_COMPARE(QApplication::focusWidget(), static_cast<QWidget*>(edit));
        // Focused: no grey hint.
        QVERIFY(!edit->isHintShown());
        QVERIFY(edit->text().isEmpty());

        // Left empty: the hint comes back, and stays out of the store.
        row->notesEdit()->setFocus();
        QTRY_VERIFY(edit->isHintShown());
        QCOMPARE(edit->text(), QStringLiteral("Task name"));
        QVERIFY(edit->userText().isEmpty());
        QCOMPARE(edit->palette().color(QPalette::Text), QColor(Qt::gray));
        QVERIFY(storage->task(id).name().isEmpty());

        edit->setFocus();
        QTRY_VERIFY(!edit->isHintShown());
        QVERIFY(edit->text().isEmpty());
        QTest::keyClick(&list, Qt::Key_Escape);
        QVERIFY(storage->task(id).name().isEmpty());
        QVERIFY(storage->task(id).notes().isEmpty());
        QCOMPARE(storage->revision(), revision);
        QCOMPARE(row->label()->text(), QStringLiteral("<Unnamed task>"));
    }

    void tickingOpenRowCompletesAndCloses()
    {
        TodoTask::Id id;
        const FocusGroup::Id groupId = makeGroup(QStringLiteral("File taxes"), &id);
        ListWindow w(groupId);
        QVERIFY(w.show());
        TaskListWidget& list = *w.list;
        TaskWidget* row = list.row(0);
        list.setEditing(0);
        QPointer<TaskCheckbox> box = row->editCheckbox();
        QVERIFY(box);
        QVERIFY(!box->isChecked());

        QTest::mouseClick(box, Qt::LeftButton);
        QVERIFY(store()->task(id).completed());
        QVERIFY(!row->isEditing());
        QVERIFY(!list.editedRow());
        QVERIFY(!row->editCheckbox());
        QVERIFY(row->viewCheckbox()->isChecked());
        QVERIFY(row->label()->font().strikeOut());
        QCOMPARE(row->viewCheckbox()->opacity(), 0.6);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(!box);
        QCoreApplication::processEvents();
        // Still selected.
        QCOMPARE(fillOf(row), QColor(0xC6D0DA));
        list.clearSelection();
        QCOMPARE(fillOf(row), QColor(0xFFFFFF));

        // Opening again shows the tick.
        list.setEditing(0);
        QVERIFY(row->editCheckbox()->isChecked());
        QVERIFY(store()->task(id).completed());
    }

    void notesGrowTheOpenRow()
    {
        TodoTask::Id id;
        const FocusGroup::Id groupId = makeGroup(QStringLiteral("Shopping"), &id);
        ListWindow w(groupId);
        QVERIFY(w.show());
        TaskListWidget& list = *w.list;
        TaskWidget* row = list.row(0);
        const int closedHeight = row->height();
        list.setEditing(0);
        NotesTextEdit* notes = row->notesEdit();
        QVERIFY(notes);
        const int line = notes->fontMetrics().lineSpacing();
        const int empty = row->height();
        QVERIFY(empty > closedHeight);

        notes->setFocus();
        QTRY_COMPARE(QApplication::focusWidget(), static_cast<QWidget*>(notes));
        QTest::keyClicks(notes, QStringLiteral("milk"));
        QCoreApplication::processEvents();
        const int one = row->height();
        QTest::keyClick(notes, Qt::Key_Return);
        QTest::keyClicks(notes, QStringLiteral("eggs"));
        QCoreApplication::processEvents();
        const int two = row->height();
        QTest::keyClick(notes, Qt::Key_Return);
        QTest::keyClicks(notes, QStringLiteral("bread"));
        QCoreApplication::processEvents();
        const int three = row->height();

        QCOMPARE(one, empty);
        QCOMPARE(two, one);
        QCOMPARE(three, two + line);
        QCOMPARE(store()->task(id).notes(), QStringLiteral("milk\neggs\nbread"));
        QTRY_COMPARE(notes->height(), 3 * line + 8);

        // Taking the third line away shrinks the row again.
        for (int i = 0; i < 6; ++i)
            QTest::keyClick(notes, Qt::Key_Backspace);
        QCoreApplication::processEvents();
        QCOMPARE(store()->task(id).notes(), QStringLiteral("milk\neggs"));
        QCOMPARE(row->height(), two);

        // The editor closes to the one-line row.
        QTest::keyClick(&list, Qt::Key_Escape);
        QCOMPARE(row->height(), closedHeight);
    }

    void emptyNotesReserveTwoLines()
    {
        TodoTask::Id id;
        const FocusGroup::Id groupId = makeGroup(QStringLiteral("Shopping"), &id);
        ListWindow w(groupId);
        QVERIFY(w.show());
        TaskListWidget& list = *w.list;
        TaskWidget* row = list.row(0);
        list.setEditing(0);
        NotesTextEdit* notes = row->notesEdit();
        const int line = notes->fontMetrics().lineSpacing();
        QVERIFY(notes->isHintShown());
        QVERIFY(notes->userText().isEmpty());
        QCOMPARE(notes->sizeHint().height(), 2 * line + 8);
        QCOMPARE(notes->minimumSizeHint().height(), 2 * line + 8);
        QTRY_COMPARE(notes->height(), 2 * line + 8);

        notes->setFocus();
        QTRY_VERIFY(!notes->isHintShown());
        QVERIFY(notes->toPlainText().isEmpty());
        QCOMPARE(notes->sizeHint().height(), 2 * line + 8);
        QCOMPARE(notes->height(), 2 * line + 8);
    }

    void notesFieldSetUp()
    {
        NotesTextEdit empty(QString(), QStringLiteral("Notes"));
        QVERIFY(empty.isHintShown());
        QCOMPARE(empty.toPlainText(), QStringLiteral("Notes"));
        QCOMPARE(empty.palette().color(QPalette::Text), QColor(Qt::gray));
        QCOMPARE(empty.palette().color(QPalette::Base), QColor(0xF6FBFF));
        QCOMPARE(empty.frameShape(), QFrame::NoFrame);
        QCOMPARE(empty.horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
        QCOMPARE(empty.verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
        QVERIFY(empty.tabChangesFocus());
        QVERIFY(!empty.acceptRichText());
        QCOMPARE(empty.wordWrapMode(), QTextOption::WordWrap);

        NotesTextEdit filled(QStringLiteral("a\nb\nc\nd"), QStringLiteral("Notes"));
        QVERIFY(!filled.isHintShown());
        QCOMPARE(filled.userText(), QStringLiteral("a\nb\nc\nd"));
        QCOMPARE(filled.palette().color(QPalette::Base), QColor(0xF6FBFF));
        QCOMPARE(filled.sizeHint().height(), 4 * filled.fontMetrics().lineSpacing() + 8);
    }

    void dueDateTyped_data()
    {
        QTest::addColumn<QDate>("initial");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QDate>("stored");
        QTest::newRow("full date") << QDate() << QStringLiteral("05.03.2030") << QDate(2030, 3, 5);
        QTest::newRow("short day and month") << QDate() << QStringLiteral("5.3.2030") << QDate(2030, 3, 5);
        QTest::newRow("replacing a date") << QDate(2029, 12, 24) << QStringLiteral("31.01.2031")
                                          << QDate(2031, 1, 31);
        QTest::newRow("cleared") << QDate(2029, 12, 24) << QString() << QDate();
    }

    void dueDateTyped()
    {
        QFETCH(QDate, initial);
        QFETCH(QString, typed);
        QFETCH(QDate, stored);

        TodoTask::Id id;
        const FocusGroup::Id groupId = makeGroup(QStringLiteral("Dentist"), &id);
        if (initial.isValid())
            store()->setTaskDue(id, QDateTime(initial, QTime(0, 0)));
        ListWindow w(groupId);
        QVERIFY(w.show());
        TaskListWidget& list = *w.list;
        TaskWidget* row = list.row(0);
        list.setEditing(0);
        DateWidget* date = row->dateWidget();
        QVERIFY(date);
        QCOMPARE(date->value().date(), initial);
        auto* edit = date->edit();
        edit->setFocus();
        QTRY_COMPARE(QApplication::focusWidget(), static_cast<QWidget*>(edit));
        // The whole text is selected on focus; typing replaces it.
        QVERIFY(edit->hasSelectedText());
        if (typed.isEmpty())
            QTest::keyClick(edit, Qt::Key_Backspace);
        else
            QTest::keyClicks(edit, typed);

        const QDateTime due = store()->task(id).due();
        if (stored.isValid())
            QCOMPARE(due, QDateTime(stored, QTime(0, 0)));
        else
            QVERIFY(!due.isValid());
        QCOMPARE(row->task().due(), due);

        QTest::keyClick(&list, Qt::Key_Escape);
        QCOMPARE(store()->task(id).due(), due);
    }

    void calendarClosesWhenNameOrNotesTakeFocus_data()
    {
        QTest::addColumn<QString>("field");
        QTest::newRow("name") << QStringLiteral("name");
        QTest::newRow("notes") << QStringLiteral("notes");
    }

    void calendarClosesWhenNameOrNotesTakeFocus()
    {
        QFETCH(QString, field);
        TodoTask::Id id;
        const FocusGroup::Id groupId = makeGroup(QStringLiteral("Dentist"), &id);
        ListWindow w(groupId);
        QVERIFY(w.show());
        TaskListWidget& list = *w.list;
        TaskWidget* row = list.row(0);
        list.setEditing(0);
        DateWidget* date = row->dateWidget();
        date->edit()->setFocus();
        QTRY_VERIFY(date->popup() && date->popup()->isVisible());
        QWidget* other = field == QLatin1String("name") ? static_cast<QWidget*>(row->nameEdit())
                                                        : static_cast<QWidget*>(row->notesEdit());
        other->setFocus();
        QTRY_COMPARE(QApplication::focusWidget(), other);
        QTRY_VERIFY(!date->popup() || !date->popup()->isVisible());
        QCOMPARE(list.editedRow(), row);
    }

    void keysAndClicksGoToTheList()
    {
        TodoTask::Id id;
        const FocusGroup::Id groupId = makeGroup(QStringLiteral("One"), &id);
        ListWindow w(groupId);
        QVERIFY(w.show());
        TaskWidget* row = w.list->row(0);
        QCOMPARE(row->focusPolicy(), Qt::NoFocus);
        QTest::mouseClick(row, Qt::LeftButton, Qt::NoModifier, QPoint(row->width() - 20, row->height() / 2));
        QCOMPARE(w.list->selectedIndexes(), QList<int>{0});
    }

private:
    QTemporaryDir m_dir;
};

MRV_TEST_WIDGETS_MAIN(TstTaskWidget)
#include "tst_taskwidget.moc"
