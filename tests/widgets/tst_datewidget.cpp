#include "support/testenv.h"

#include "settings/appsettings.h"
#include "widgets/accessiblenotifier.h"
#include "widgets/calendarpopup.h"
#include "widgets/datewidget.h"
#include "widgets/fancylineedit.h"
#include "widgets/hintededit.h"
#include "widgets/mycalendar.h"
#include "widgets/mycalendarmonthwidget.h"

#include <QAccessible>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QToolButton>

/// Stands in for the main window, which announces its moves.
class MovingWindow : public QWidget
{
    Q_OBJECT
Q_SIGNALS:
    void widgetMoved();

protected:
    void moveEvent(QMoveEvent* event) override
    {
        QWidget::moveEvent(event);
        Q_EMIT widgetMoved();
    }
};

/// Stands in for the task list, which gets the keys the field leaves.
class KeyRecorder : public QWidget
{
public:
    QList<int> keys;

protected:
    void keyPressEvent(QKeyEvent* event) override { keys << event->key(); }
};

namespace {

/// An accessibility event as a screen reader would hear it, read when it was sent.
struct HeardEvent { QAccessible::Event type; QObject* object; QAccessible::Role role; QString name; bool selected, focused; };

/// Takes the program's accessibility events while it lives (offscreen, nothing else listens).
class ScreenReader
{
public:
    ScreenReader()
        : m_previous(AccessibleNotifier::setSink([this](QAccessibleEvent* event) {
            QAccessibleInterface* iface = event->accessibleInterface();
            m_events.append({event->type(), iface->object(), iface->role(), iface->text(QAccessible::Name),
                             bool(iface->state().selected), bool(iface->state().focused)});
        }))
    {
    }
    ~ScreenReader() { AccessibleNotifier::setSink(m_previous); }
    const QList<HeardEvent>& events() const { return m_events; }

private:
    QList<HeardEvent> m_events;
    AccessibleNotifier::Sink m_previous;
};

QAccessibleTableInterface* accessibleTable(MyCalendar& calendar)
{
    return QAccessible::queryAccessibleInterface(calendar.monthWidget())->tableInterface();
}

QString headerText(const QDate& date)
{
    return QStringLiteral("%1, %2").arg(QLocale().standaloneMonthName(date.month())).arg(date.year());
}

const QString Format = QStringLiteral("dd.MM.yyyy");
const QDate Start(2010, 3, 15);

QDate tomorrow() { return QDate::currentDate().addDays(1); }

/// Lets queued window activations run their course; some platforms activate every shown window.
void letWindowsSettle() { QTest::qWait(50); }

/// A field holding `date` with its calendar open, and the changes it reports from then on.
struct OpenField
{
    explicit OpenField(const QDate& date = Start)
        : widget(QDateTime(date, QTime(0, 0)))
    {
        widget.setPopupVisible(true);
        changes.clear();
    }
    DateWidget widget;
    QSignalSpy changes{&widget, &DateWidget::valueChanged};
};

} // namespace

class TstDateWidget : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void init()
    {
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
        AppSettings::settings()->setDateFormat(Format);
    }

    void displayFormatHasFourDigitYears_data()
    {
        QTest::addColumn<QString>("base");
        QTest::addColumn<QString>("shown");
        QTest::newRow("two-digit year") << QStringLiteral("dd.MM.yy") << QStringLiteral("dd.MM.yyyy");
        QTest::newRow("american") << QStringLiteral("M/d/yy") << QStringLiteral("M/d/yyyy");
        QTest::newRow("year first") << QStringLiteral("yy-MM-dd") << QStringLiteral("yyyy-MM-dd");
        QTest::newRow("already four") << QStringLiteral("yyyy-MM-dd") << QStringLiteral("yyyy-MM-dd");
        QTest::newRow("upper case kept") << QStringLiteral("d.M.YY") << QStringLiteral("d.M.YY");
    }

    void displayFormatHasFourDigitYears()
    {
        QFETCH(QString, base);
        QFETCH(QString, shown);
        QCOMPARE(DateWidget::displayFormat(base), shown);
        AppSettings::settings()->setDateFormat(base);
        QCOMPARE(DateWidget::displayFormat(), shown);
    }

    // An empty text (the field cleared) removes the due date; the open calendar goes to today.
    void typedDateIsReported_data()
    {
        QTest::addColumn<QString>("format");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QDate>("reported");
        const QDate march5(2010, 3, 5);
        QTest::newRow("short parts") << Format << "5.3.2010" << march5;
        QTest::newRow("padded parts") << Format << "05.03.2010" << march5;
        QTest::newRow("surrounding spaces") << Format << "  5.3.2010 " << march5;
        QTest::newRow("two-digit year") << Format << "5.3.10" << QDate();
        QTest::newRow("no numbers") << Format << "a.b.c" << QDate();
        QTest::newRow("no such day") << Format << "31.2.2010" << QDate();
        QTest::newRow("Portuguese") << "dd/MM/yy" << "5/3/2010" << march5;
        QTest::newRow("US English") << "M/d/yy" << "3/5/2010" << march5;
        QTest::newRow("ISO") << "yyyy-MM-dd" << "2010-3-5" << march5;
        QTest::newRow("cleared") << Format << "" << QDate();
    }

    void typedDateIsReported()
    {
        QFETCH(QString, format);
        QFETCH(QString, typed);
        QFETCH(QDate, reported);
        AppSettings::settings()->setDateFormat(format);
        OpenField field;
        DateWidget& widget = field.widget;
        const bool cleared = typed.isEmpty();
        widget.edit()->selectAll();
        if (cleared)
            QTest::keyClick(widget.edit(), Qt::Key_Backspace);
        QTest::keyClicks(widget.edit(), typed);
        QCOMPARE(widget.edit()->text(), typed);
        QCOMPARE(field.changes.isEmpty(), !reported.isValid() && !cleared);
        QVERIFY(!cleared || field.changes.size() == 1);
        if (!field.changes.isEmpty())
            QCOMPARE(field.changes.last().at(0).toDateTime().date(), reported);
        QCOMPARE(widget.value().date(), cleared || reported.isValid() ? reported : Start);
        const QDate shown = cleared ? QDate::currentDate() : reported.isValid() ? reported : Start;
        QCOMPARE(widget.popup()->dateTime().date(), shown);
        // Return shows the date in full, selected.
        QTest::keyClick(widget.edit(), Qt::Key_Return);
        if (reported.isValid())
            QCOMPARE(widget.edit()->selectedText(), reported.toString(DateWidget::displayFormat()));
    }

    void focusingAnEmptyFieldProposesTomorrow()
    {
        QWidget window;
        auto* other = new QLineEdit(&window);
        auto* widget = new DateWidget(QDateTime(), &window);
        widget->move(0, 40);
        QVERIFY(widget->edit()->isHintShown());
        QVERIFY(testenv::showActive(&window));
        other->setFocus();
        QSignalSpy changes(widget, &DateWidget::valueChanged);

        widget->edit()->setFocus(Qt::TabFocusReason);
        QCOMPARE(widget->edit()->text(), tomorrow().toString(Format));
        QVERIFY(widget->popup() && widget->popup()->isVisible());
        QCOMPARE(widget->popup()->dateTime().date(), tomorrow());

        other->setFocus();
        QVERIFY(widget->edit()->isHintShown() && widget->edit()->userText().isEmpty());
        QVERIFY(!widget->popup());
        QVERIFY(changes.isEmpty());

        // Return accepts the proposal.
        widget->edit()->setFocus(Qt::TabFocusReason);
        QTest::keyClick(widget->edit(), Qt::Key_Return);
        QCOMPARE(changes.size(), 1);
        QCOMPARE(widget->value().date(), tomorrow());
    }

    void calendarButtonsChooseADate_data()
    {
        QTest::addColumn<QString>("button");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QDate>("chosen");
        QTest::newRow("next") << "nextMonthButton" << "Next month" << QDate(2010, 4, 15);
        QTest::newRow("previous") << "prevMonthButton" << "Previous month" << QDate(2010, 2, 15);
        QTest::newRow("reset") << "resetButton" << "Reset to current date" << tomorrow();
    }

    void calendarButtonsChooseADate()
    {
        QFETCH(QString, button);
        QFETCH(QString, name);
        QFETCH(QDate, chosen);
        OpenField field;
        MyCalendar* calendar = field.widget.popup()->calendar();
        auto* pressed = calendar->findChild<QToolButton*>(button);
        // The button shows an icon only: a screen reader says its name.
        QCOMPARE(QAccessible::queryAccessibleInterface(pressed)->text(QAccessible::Name), name);
        QTest::mouseClick(pressed, Qt::LeftButton);
        QCOMPARE(field.changes.size(), 1);
        QCOMPARE(field.changes.at(0).at(0).toDateTime().date(), chosen);
        QCOMPARE(field.widget.edit()->text(), chosen.toString(Format));
        QCOMPARE(calendar->monthLabel()->text(), headerText(chosen));
        QCoreApplication::processEvents();
        QVERIFY(field.widget.popup());
    }

    // Rows without a `chosen` day are the text cursor's keys: the cursor, put at 5, goes to `cursor`.
    void keysMoveTheChosenDay_data()
    {
        QTest::addColumn<QDate>("start");
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("modifiers");
        QTest::addColumn<QDate>("chosen");
        QTest::addColumn<int>("cursor");
        const int none = Qt::NoModifier;
        const int alt = Qt::AltModifier;
        const int down = Qt::Key_Down;
        const int pageDown = Qt::Key_PageDown;
        QTest::newRow("Down: a week on") << Start << down << none << QDate(2010, 3, 22) << -1;
        QTest::newRow("Down on the keypad")
            << Start << down << int(Qt::KeypadModifier) << QDate(2010, 3, 22) << -1;
        QTest::newRow("Up: into February")
            << QDate(2010, 3, 3) << int(Qt::Key_Up) << none << QDate(2010, 2, 24) << -1;
        QTest::newRow("Down: into the next year")
            << QDate(2010, 12, 28) << down << none << QDate(2011, 1, 4) << -1;
        QTest::newRow("Page Down: a month on") << Start << pageDown << none << QDate(2010, 4, 15) << -1;
        QTest::newRow("Page Down: to a shorter month's end")
            << QDate(2010, 1, 31) << pageDown << none << QDate(2010, 2, 28) << -1;
        QTest::newRow("Page Up: into the last year")
            << QDate(2010, 1, 15) << int(Qt::Key_PageUp) << none << QDate(2009, 12, 15) << -1;
        QTest::newRow("Alt+Right: into April")
            << QDate(2010, 3, 31) << int(Qt::Key_Right) << alt << QDate(2010, 4, 1) << -1;
        QTest::newRow("Alt+Left: into the last year")
            << QDate(2010, 1, 1) << int(Qt::Key_Left) << alt << QDate(2009, 12, 31) << -1;
        QTest::newRow("Left in the text") << Start << int(Qt::Key_Left) << none << QDate() << 4;
        QTest::newRow("Right in the text") << Start << int(Qt::Key_Right) << none << QDate() << 6;
        QTest::newRow("Home in the text") << Start << int(Qt::Key_Home) << none << QDate() << 0;
    }

    void keysMoveTheChosenDay()
    {
        QFETCH(QDate, start);
        QFETCH(int, key);
        QFETCH(int, modifiers);
        QFETCH(QDate, chosen);
        QFETCH(int, cursor);
        OpenField field(start);
        DateWidget& widget = field.widget;
        widget.edit()->setCursorPosition(5);
        QTest::keyClick(widget.edit(), Qt::Key(key), Qt::KeyboardModifiers(modifiers));
        QCOMPARE(field.changes.size(), chosen.isValid() ? 1 : 0);
        QCOMPARE(widget.value().date(), chosen.isValid() ? chosen : start);
        QVERIFY(widget.popup() && widget.popup()->isVisible());
        QCOMPARE(widget.popup()->dateTime().date(), chosen.isValid() ? chosen : start);
        if (!chosen.isValid()) {
            QCOMPARE(widget.edit()->cursorPosition(), cursor);
            return;
        }
        // The field shows the day, selected, as after a click.
        QCOMPARE(widget.edit()->selectedText(), chosen.toString(Format));
        QCOMPARE(widget.popup()->calendar()->monthLabel()->text(), headerText(chosen));
    }

    // Escape closes the calendar first, and only the second Escape is the row's (it closes the
    // editor); a calendar key opens a closed calendar again where it was. The screen reader
    // hears the chosen day, and the field again when the calendar closes.
    void escapeClosesTheCalendarFirstAndAKeyOpensItWhereItWas()
    {
        KeyRecorder window;
        auto* widget = new DateWidget(QDateTime(Start, QTime(0, 0)), &window);
        QVERIFY(testenv::showActive(&window));
        widget->edit()->setFocus(Qt::TabFocusReason);
        QSignalSpy changes(widget, &DateWidget::valueChanged);
        ScreenReader reader;
        QTest::keyClick(widget->edit(), Qt::Key_Down);
        QCOMPARE(reader.events().size(), 2);
        QCOMPARE(reader.events().at(0).type, QAccessible::Selection);
        const HeardEvent heard = reader.events().at(1);
        QCOMPARE(heard.type, QAccessible::Focus);
        QCOMPARE(heard.role, QAccessible::Cell);
        QCOMPARE(heard.name, QStringLiteral("Monday, March 22, 2010"));
        QVERIFY(heard.selected && heard.focused);

        QTest::keyClick(widget->edit(), Qt::Key_Escape);
        QVERIFY(!widget->popup());
        QVERIFY(widget->edit()->hasFocus());
        QVERIFY(window.keys.isEmpty());
        QCOMPARE(reader.events().last().object, widget->edit());
        QTest::keyClick(widget->edit(), Qt::Key_PageDown);
        QVERIFY(widget->popup() && widget->popup()->isVisible());
        QCOMPARE(widget->popup()->dateTime().date(), QDate(2010, 3, 22));
        QCOMPARE(changes.size(), 1);
        QCOMPARE(reader.events().last().name, heard.name);

        letWindowsSettle();
        QTest::keyClick(widget->edit(), Qt::Key_Return);
        QVERIFY(!widget->popup());
        letWindowsSettle();
        QVERIFY(!widget->popup());
        QCOMPARE(widget->edit()->selectedText(), QStringLiteral("22.03.2010"));
        window.keys.clear();
        QTest::keyClick(widget->edit(), Qt::Key_Escape);
        QCOMPARE(window.keys, QList<int>{Qt::Key_Escape});
        QCOMPARE(changes.size(), 1);
    }

    // Every weekday's header differs from the others, in every language, as short as that allows.
    void dayGridIsATableOfNamedDays_data()
    {
        QTest::addColumn<QString>("locale");
        QTest::addColumn<QDate>("date");
        QTest::addColumn<int>("weeks");
        QTest::addColumn<int>("row");
        QTest::addColumn<int>("column");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("weekday");
        QTest::addColumn<QString>("monday");
        const QString us = QStringLiteral("en_US");
        QTest::newRow("a Monday") << us << Start << 5 << 2 << 0 << "Monday, March 15, 2010" << "Monday" << "mo";
        QTest::newRow("after the last day") << us << Start << 5 << 4 << 3 << "" << "Thursday" << "mo";
        QTest::newRow("before the first day")
            << us << QDate(2010, 4, 15) << 5 << 0 << 2 << "" << "Wednesday" << "mo";
        QTest::newRow("four weeks")
            << us << QDate(2010, 2, 1) << 4 << 3 << 6 << "Sunday, February 28, 2010" << "Sunday" << "mo";
        QTest::newRow("six weeks")
            << us << QDate(2010, 5, 1) << 6 << 5 << 0 << "Monday, May 31, 2010" << "Monday" << "mo";
        QTest::newRow("Portuguese") << "pt_PT" << QDate(2009, 12, 31) << 5 << 4 << 3
                                    << "quinta-feira, 31 de dezembro de 2009" << "quinta-feira" << "seg";
        QTest::newRow("Russian")
            << "ru_RU" << Start << 5 << 2 << 0 << "понедельник, 15 марта 2010 г." << "понедельник" << "пн";
    }

    void dayGridIsATableOfNamedDays()
    {
        QFETCH(QString, locale);
        QFETCH(QDate, date);
        QFETCH(int, weeks);
        QFETCH(int, row);
        QFETCH(int, column);
        QFETCH(QString, name);
        QFETCH(QString, weekday);
        QFETCH(QString, monday);
        QLocale::setDefault(QLocale(locale));
        MyCalendar calendar;
        calendar.setDateTime(QDateTime(date, QTime(0, 0)));
        QAccessibleInterface* grid = QAccessible::queryAccessibleInterface(calendar.monthWidget());
        QCOMPARE(grid->text(QAccessible::Name), calendar.monthLabel()->text());
        QAccessibleTableInterface* table = grid->tableInterface();
        QCOMPARE(table->rowCount(), weeks);
        QCOMPARE(grid->childCount(), 7 + weeks * 7);
        QAccessibleInterface* cell = table->cellAt(row, column);
        QCOMPARE(grid->child(grid->indexOfChild(cell)), cell);
        QCOMPARE(cell->text(QAccessible::Name), name);
        QCOMPARE(cell->tableCellInterface()->rowIndex(), row);
        QCOMPARE(cell->tableCellInterface()->columnIndex(), column);
        QCOMPARE(table->columnDescription(column), weekday);
        const QAccessibleInterface* header = cell->tableCellInterface()->columnHeaderCells().constFirst();
        QCOMPARE(header->text(QAccessible::Name), weekday);

        QStringList shortHeaders;
        for (int day = 1; day <= 7; ++day)
            shortHeaders << MyCalendarMonthWidget::weekdayHeader(QLocale(locale), day).toCaseFolded();
        QCOMPARE(shortHeaders.first(), monday);
        shortHeaders.removeDuplicates();
        QCOMPARE(shortHeaders.size(), 7);
    }

    void cellsGoWithTheirMonth()
    {
        MyCalendar calendar;
        calendar.setDateTime(QDateTime(Start, QTime(0, 0)));
        QAccessibleInterface* march = accessibleTable(calendar)->cellAt(2, 0);
        QVERIFY(march->isValid());
        calendar.setDateTime(QDateTime(QDate(2010, 4, 15), QTime(0, 0)));
        // A screen reader holding the old cell finds it gone, never named by another day.
        QVERIFY(!march->isValid());
        QCOMPARE(accessibleTable(calendar)->cellAt(2, 0)->text(QAccessible::Name),
                 QStringLiteral("Monday, April 12, 2010"));
    }

    void chosenDayIsSelectedAndTodayIsMarked()
    {
        const QDate today = QDate::currentDate();
        const QDate chosen = today.addDays(today.day() == 1 ? 1 : -1);
        MyCalendar calendar;
        calendar.setDateTime(QDateTime(chosen, QTime(0, 0)));
        calendar.show();
        MyCalendarMonthWidget* grid = calendar.monthWidget();
        QAccessibleTableInterface* table = accessibleTable(calendar);

        QAccessibleInterface* chosenCell = table->cellAt(grid->weekRowOf(chosen), chosen.dayOfWeek() - 1);
        QVERIFY(chosenCell->state().selected && chosenCell->state().focused);
        QVERIFY(chosenCell->text(QAccessible::Description).isEmpty());
        QCOMPARE(table->selectedCells(), QList<QAccessibleInterface*>{chosenCell});

        QAccessibleInterface* todayCell = table->cellAt(grid->weekRowOf(today), today.dayOfWeek() - 1);
        QVERIFY(!todayCell->state().selected && !todayCell->state().focused);
        QCOMPARE(todayCell->text(QAccessible::Description), QStringLiteral("Today"));
    }

    void dayColourFollowsDistanceFromToday_data()
    {
        QTest::addColumn<int>("days");
        QTest::addColumn<QColor>("colour");
        const QColor dueNow(0xF2C9C8), dueSoon(0xFFF2B9), later(0xEAF4FE);
        for (int days : {-3, -1, 0, 1, 3, 4, 30})
            QTest::addRow("%d days", days) << days << (days <= 0 ? dueNow : days <= 3 ? dueSoon : later);
    }

    void dayColourFollowsDistanceFromToday()
    {
        QFETCH(int, days);
        QFETCH(QColor, colour);
        MyCalendar calendar;
        QCOMPARE(calendar.dateColor(QDate::currentDate().addDays(days)), colour);
    }

    void popupHangsBelowTheFieldFollowsTheWindowAndGoesWhenClosed()
    {
        MovingWindow window;
        window.move(200, 150);
        auto* widget = new DateWidget(QDateTime(Start, QTime(0, 0)), &window);
        widget->move(20, 30);
        window.show();
        widget->setPopupVisible(true);
        letWindowsSettle();
        QPointer<CalendarPopup> popup = widget->popup();
        const QWidget* edit = widget->edit();
        const QPoint anchor = widget->mapToGlobal(QPoint(edit->x() + edit->width() / 2, widget->height()));
        const QPoint placed = anchor - QPoint(popup->sizeHint().width() / 2, 0);
        QCOMPARE(popup->pos(), placed);
        window.move(260, 180);
        QTRY_COMPARE(popup->pos(), placed + QPoint(60, 30));

        widget->setPopupVisible(false);
        QVERIFY(!widget->popup());
        QVERIFY(!popup->isVisible());
        QTRY_VERIFY(popup.isNull());
    }
};

MRV_TEST_WIDGETS_MAIN(TstDateWidget)
#include "tst_datewidget.moc"
