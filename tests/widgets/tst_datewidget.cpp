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

QList<HeardEvent>& heardEvents()
{
    static QList<HeardEvent> events;
    return events;
}

void hear(QAccessibleEvent* event)
{
    QAccessibleInterface* iface = event->accessibleInterface();
    QVERIFY(iface);
    heardEvents().append({event->type(), iface->object(), iface->role(), iface->text(QAccessible::Name),
                          bool(iface->state().selected), bool(iface->state().focused)});
}

/// Takes the program's accessibility events while it lives (offscreen, nothing else listens).
class ScreenReader
{
public:
    ScreenReader()
        : m_previous(AccessibleNotifier::setSink(&hear))
    {
        heardEvents().clear();
    }
    ~ScreenReader() { AccessibleNotifier::setSink(m_previous); }
    const QList<HeardEvent>& events() const { return heardEvents(); }

private:
    AccessibleNotifier::Sink m_previous;
};

/// Makes `locale` the interface language while it lives.
class InterfaceLocale
{
public:
    explicit InterfaceLocale(const QLocale& locale) { QLocale::setDefault(locale); }
    ~InterfaceLocale() { QLocale::setDefault(m_previous); }

private:
    QLocale m_previous;
};

QAccessibleTableInterface* accessibleTable(MyCalendar& calendar)
{
    QAccessibleInterface* grid = QAccessible::queryAccessibleInterface(calendar.monthWidget());
    return grid ? grid->tableInterface() : nullptr;
}

QString headerText(const QDate& date) { return QStringLiteral("%1, %2").arg(QLocale().standaloneMonthName(date.month())).arg(date.year()); }

const QString Format = QStringLiteral("dd.MM.yyyy");
const QDate Start(2010, 3, 15);

QDate tomorrow() { return QDate::currentDate().addDays(1); }

/// Lets queued window activations run their course; some platforms activate every shown window.
void letWindowsSettle() { QTest::qWait(50); }

void typeInto(DateWidget& widget, const QString& text)
{
    widget.edit()->selectAll();
    QTest::keyClicks(widget.edit(), text);
}

} // namespace

class TstDateWidget : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void init() { AppSettings::settings()->setDateFormat(QStringLiteral("dd.MM.yyyy")); }

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

    void typedDateIsReported_data()
    {
        QTest::addColumn<QString>("format");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QDate>("reported");
        const QString dotted = QStringLiteral("dd.MM.yyyy");
        const QDate march5(2010, 3, 5);
        QTest::newRow("short parts") << dotted << "5.3.2010" << march5;
        QTest::newRow("padded parts") << dotted << "05.03.2010" << march5;
        QTest::newRow("surrounding spaces") << dotted << "  5.3.2010 " << march5;
        QTest::newRow("two-digit year") << dotted << "5.3.10" << QDate();
        QTest::newRow("no numbers") << dotted << "a.b.c" << QDate();
        QTest::newRow("no such day") << dotted << "31.2.2010" << QDate();
        QTest::newRow("Portuguese") << "dd/MM/yy" << "5/3/2010" << march5;
        QTest::newRow("US English") << "M/d/yy" << "3/5/2010" << march5;
        QTest::newRow("ISO") << "yyyy-MM-dd" << "2010-3-5" << march5;
    }

    void typedDateIsReported()
    {
        QFETCH(QString, format);
        QFETCH(QString, typed);
        QFETCH(QDate, reported);
        AppSettings::settings()->setDateFormat(format);
        DateWidget widget(QDateTime(Start, QTime(0, 0)));
        widget.setPopupVisible(true);
        QSignalSpy changes(&widget, &DateWidget::valueChanged);
        typeInto(widget, typed);
        QCOMPARE(widget.edit()->text(), typed);
        QCOMPARE(changes.isEmpty(), !reported.isValid());
        if (reported.isValid())
            QCOMPARE(changes.last().at(0).toDateTime().date(), reported);
        const QDate now = reported.isValid() ? reported : Start;
        QCOMPARE(widget.value().date(), now);
        QCOMPARE(widget.popup()->dateTime().date(), now);
        // Return shows the date in full, selected.
        QTest::keyClick(widget.edit(), Qt::Key_Return);
        if (reported.isValid())
            QCOMPARE(widget.edit()->selectedText(), reported.toString(DateWidget::displayFormat()));
    }

    void clearingTheFieldRemovesTheDueDate()
    {
        DateWidget widget(QDateTime(Start, QTime(0, 0)));
        widget.setPopupVisible(true);
        QSignalSpy changes(&widget, &DateWidget::valueChanged);
        widget.edit()->selectAll();
        QTest::keyClick(widget.edit(), Qt::Key_Backspace);
        QCOMPARE(changes.size(), 1);
        QVERIFY(!changes.at(0).at(0).toDateTime().isValid());
        QVERIFY(!widget.value().isValid());
        // The open calendar goes back to today.
        QCOMPARE(widget.popup()->dateTime().date(), QDate::currentDate());
    }

    void focusingAnEmptyFieldProposesTomorrow()
    {
        QWidget window;
        auto* other = new QLineEdit(&window);
        auto* widget = new DateWidget(QDateTime(), &window);
        widget->move(0, 40);
        QVERIFY(widget->edit()->isHintShown());
        QCOMPARE(widget->edit()->placeholderText(), QStringLiteral("Due date"));
        QVERIFY(testenv::showActive(&window));
        other->setFocus();
        QSignalSpy changes(widget, &DateWidget::valueChanged);

        widget->edit()->setFocus(Qt::TabFocusReason);
        QCOMPARE(widget->edit()->text(), tomorrow().toString(Format));
        QVERIFY(widget->popup() && widget->popup()->isVisible());
        QCOMPARE(widget->popup()->dateTime().date(), tomorrow());
        // The calendar never keeps the focus away from the field.
        letWindowsSettle();
        QCOMPARE(QApplication::activeWindow(), &window);
        QVERIFY(widget->edit()->hasFocus() && widget->popup()->isVisible());

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
        QTest::newRow("next") << QStringLiteral("nextMonthButton") << QStringLiteral("Next month") << QDate(2010, 4, 15);
        QTest::newRow("previous") << QStringLiteral("prevMonthButton") << QStringLiteral("Previous month") << QDate(2010, 2, 15);
        QTest::newRow("reset") << QStringLiteral("resetButton") << QStringLiteral("Reset to current date") << tomorrow();
    }

    void calendarButtonsChooseADate()
    {
        QFETCH(QString, button);
        QFETCH(QString, name);
        QFETCH(QDate, chosen);
        DateWidget widget(QDateTime(Start, QTime(0, 0)));
        widget.setPopupVisible(true);
        MyCalendar* calendar = widget.popup()->calendar();
        QSignalSpy calendarChanges(calendar, &MyCalendar::dateChanged);
        QSignalSpy changes(&widget, &DateWidget::valueChanged);

        auto* pressed = calendar->findChild<QToolButton*>(button);
        QCOMPARE(pressed->toolTip(), name);
        // The button shows an icon only: a screen reader says its name.
        QCOMPARE(QAccessible::queryAccessibleInterface(pressed)->text(QAccessible::Name), name);
        QTest::mouseClick(pressed, Qt::LeftButton);
        QCOMPARE(calendarChanges.size(), 1);
        QCOMPARE(changes.size(), 1);
        QCOMPARE(changes.at(0).at(0).toDateTime().date(), chosen);
        QCOMPARE(widget.edit()->text(), chosen.toString(Format));
        QCOMPARE(calendar->monthLabel()->text(), headerText(chosen));
        QCoreApplication::processEvents();
        QVERIFY(widget.popup());
    }

    void keysMoveTheChosenDay_data()
    {
        QTest::addColumn<QDate>("start");
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("modifiers");
        QTest::addColumn<QDate>("chosen");
        const int none = Qt::NoModifier;
        const int alt = Qt::AltModifier;
        QTest::newRow("Down: a week on") << Start << int(Qt::Key_Down) << none << QDate(2010, 3, 22);
        QTest::newRow("Down on the keypad") << Start << int(Qt::Key_Down) << int(Qt::KeypadModifier) << QDate(2010, 3, 22);
        QTest::newRow("Up: into February") << QDate(2010, 3, 3) << int(Qt::Key_Up) << none << QDate(2010, 2, 24);
        QTest::newRow("Down: into the next year") << QDate(2010, 12, 28) << int(Qt::Key_Down) << none << QDate(2011, 1, 4);
        QTest::newRow("Page Down: a month on") << Start << int(Qt::Key_PageDown) << none << QDate(2010, 4, 15);
        QTest::newRow("Page Down: to a shorter month's end") << QDate(2010, 1, 31) << int(Qt::Key_PageDown) << none << QDate(2010, 2, 28);
        QTest::newRow("Page Up: into the last year") << QDate(2010, 1, 15) << int(Qt::Key_PageUp) << none << QDate(2009, 12, 15);
        QTest::newRow("Alt+Right: into April") << QDate(2010, 3, 31) << int(Qt::Key_Right) << alt << QDate(2010, 4, 1);
        QTest::newRow("Alt+Left: into the last year") << QDate(2010, 1, 1) << int(Qt::Key_Left) << alt << QDate(2009, 12, 31);
    }

    void keysMoveTheChosenDay()
    {
        QFETCH(QDate, start);
        QFETCH(int, key);
        QFETCH(int, modifiers);
        QFETCH(QDate, chosen);
        DateWidget widget(QDateTime(start, QTime(0, 0)));
        widget.setPopupVisible(true);
        QSignalSpy changes(&widget, &DateWidget::valueChanged);

        QTest::keyClick(widget.edit(), Qt::Key(key), Qt::KeyboardModifiers(modifiers));
        QCOMPARE(changes.size(), 1);
        QCOMPARE(widget.value().date(), chosen);
        // The field shows the day, selected, as after a click.
        QCOMPARE(widget.edit()->selectedText(), chosen.toString(Format));
        QVERIFY(widget.popup() && widget.popup()->isVisible());
        QCOMPARE(widget.popup()->dateTime().date(), chosen);
        QCOMPARE(widget.popup()->calendar()->monthLabel()->text(), headerText(chosen));
    }

    void textCursorKeysStayWithTheText()
    {
        DateWidget widget(QDateTime(Start, QTime(0, 0)));
        widget.setPopupVisible(true);
        QSignalSpy changes(&widget, &DateWidget::valueChanged);
        for (const auto& [key, cursor] : {qMakePair(Qt::Key_Left, 4), qMakePair(Qt::Key_Right, 6), qMakePair(Qt::Key_Home, 0)}) {
            widget.edit()->setCursorPosition(5);
            QTest::keyClick(widget.edit(), key);
            QCOMPARE(widget.edit()->cursorPosition(), cursor);
        }
        QVERIFY(changes.isEmpty());
        QCOMPARE(widget.popup()->dateTime().date(), Start);
    }

    // Return takes the date and closes the calendar; Escape closes it first, and only the
    // second Escape is the row's (it closes the editor).
    void returnAndEscapeCloseTheCalendarFirst()
    {
        KeyRecorder window;
        auto* widget = new DateWidget(QDateTime(Start, QTime(0, 0)), &window);
        QVERIFY(testenv::showActive(&window));
        widget->edit()->setFocus(Qt::TabFocusReason);
        QVERIFY(widget->popup());
        QSignalSpy changes(widget, &DateWidget::valueChanged);
        QTest::keyClick(widget->edit(), Qt::Key_Down);
        QTest::keyClick(widget->edit(), Qt::Key_Return);
        QVERIFY(!widget->popup());
        letWindowsSettle();
        QVERIFY(!widget->popup());
        QVERIFY(widget->edit()->hasFocus());
        QCOMPARE(changes.size(), 1);
        QCOMPARE(widget->value().date(), QDate(2010, 3, 22));
        QCOMPARE(widget->edit()->selectedText(), QStringLiteral("22.03.2010"));

        window.keys.clear();
        widget->setPopupVisible(true);
        QTest::keyClick(widget->edit(), Qt::Key_Escape);
        QVERIFY(!widget->popup());
        QVERIFY(widget->edit()->hasFocus());
        QVERIFY(window.keys.isEmpty());
        QTest::keyClick(widget->edit(), Qt::Key_Escape);
        QCOMPARE(window.keys, QList<int>{Qt::Key_Escape});
        QCOMPARE(changes.size(), 1);
    }

    void calendarKeyOpensAClosedCalendarWhereItWas()
    {
        DateWidget widget(QDateTime(Start, QTime(0, 0)));
        widget.setPopupVisible(true);
        QTest::keyClick(widget.edit(), Qt::Key_Escape);
        QVERIFY(!widget.popup());
        QSignalSpy changes(&widget, &DateWidget::valueChanged);
        ScreenReader reader;

        QTest::keyClick(widget.edit(), Qt::Key_PageDown);
        QVERIFY(widget.popup() && widget.popup()->isVisible());
        QCOMPARE(widget.popup()->dateTime().date(), Start);
        QVERIFY(changes.isEmpty());
        QCOMPARE(widget.edit()->text(), QStringLiteral("15.03.2010"));
        QVERIFY(!reader.events().isEmpty());
        QCOMPARE(reader.events().last().type, QAccessible::Focus);
        QCOMPARE(reader.events().last().name, QStringLiteral("Monday, March 15, 2010"));
    }

    void dayGridIsATableOfNamedDays_data()
    {
        QTest::addColumn<QString>("locale");
        QTest::addColumn<QDate>("date");
        QTest::addColumn<int>("weeks");
        QTest::addColumn<int>("row");
        QTest::addColumn<int>("column");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("weekday");
        QTest::newRow("a Monday") << "en_US" << Start << 5 << 2 << 0 << "Monday, March 15, 2010" << "Monday";
        QTest::newRow("a month's last day") << "en_US" << Start << 5 << 4 << 2 << "Wednesday, March 31, 2010" << "Wednesday";
        QTest::newRow("after the last day") << "en_US" << Start << 5 << 4 << 3 << "" << "Thursday";
        QTest::newRow("before the first day") << "en_US" << QDate(2010, 4, 15) << 5 << 0 << 2 << "" << "Wednesday";
        QTest::newRow("four weeks") << "en_US" << QDate(2010, 2, 1) << 4 << 3 << 6 << "Sunday, February 28, 2010" << "Sunday";
        QTest::newRow("six weeks") << "en_US" << QDate(2010, 5, 1) << 6 << 5 << 0 << "Monday, May 31, 2010" << "Monday";
        QTest::newRow("Portuguese") << "pt_PT" << QDate(2009, 12, 31) << 5 << 4 << 3 << "quinta-feira, 31 de dezembro de 2009" << "quinta-feira";
        QTest::newRow("Russian") << "ru_RU" << Start << 5 << 2 << 0 << "понедельник, 15 марта 2010 г." << "понедельник";
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
        InterfaceLocale language{QLocale(locale)};
        MyCalendar calendar;
        calendar.setDateTime(QDateTime(date, QTime(0, 0)));
        QAccessibleInterface* grid = QAccessible::queryAccessibleInterface(calendar.monthWidget());
        QCOMPARE(grid->role(), QAccessible::Table);
        QCOMPARE(grid->text(QAccessible::Name), calendar.monthLabel()->text());
        QAccessibleTableInterface* table = grid->tableInterface();
        QCOMPARE(table->columnCount(), 7);
        QCOMPARE(table->rowCount(), weeks);

        QAccessibleInterface* cell = table->cellAt(row, column);
        QCOMPARE(cell->role(), QAccessible::Cell);
        QCOMPARE(cell->text(QAccessible::Name), name);
        QCOMPARE(cell->tableCellInterface()->rowIndex(), row);
        QCOMPARE(cell->tableCellInterface()->columnIndex(), column);
        QCOMPARE(grid->child(grid->indexOfChild(cell)), cell);
        QCOMPARE(grid->childCount(), 7 + weeks * 7);
        QCOMPARE(table->columnDescription(column), weekday);
        const QList<QAccessibleInterface*> headers = cell->tableCellInterface()->columnHeaderCells();
        QCOMPARE(headers.size(), 1);
        QCOMPARE(headers.first()->role(), QAccessible::ColumnHeader);
        QCOMPARE(headers.first()->text(QAccessible::Name), weekday);
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
        QVERIFY(chosenCell->state().selected);
        QVERIFY(chosenCell->state().focused);
        QVERIFY(chosenCell->text(QAccessible::Description).isEmpty());
        QCOMPARE(table->selectedCells(), QList<QAccessibleInterface*>{chosenCell});

        QAccessibleInterface* todayCell = table->cellAt(grid->weekRowOf(today), today.dayOfWeek() - 1);
        QVERIFY(!todayCell->state().selected);
        QVERIFY(!todayCell->state().focused);
        QCOMPARE(todayCell->text(QAccessible::Description), QStringLiteral("Today"));
    }

    void keyboardMovesAreToldToTheScreenReader()
    {
        QWidget window;
        auto* widget = new DateWidget(QDateTime(Start, QTime(0, 0)), &window);
        QVERIFY(testenv::showActive(&window));
        widget->edit()->setFocus(Qt::TabFocusReason);
        ScreenReader reader;

        QTest::keyClick(widget->edit(), Qt::Key_Down);
        QCOMPARE(reader.events().size(), 2);
        for (const HeardEvent& heard : reader.events()) {
            QCOMPARE(heard.role, QAccessible::Cell);
            QCOMPARE(heard.name, QStringLiteral("Monday, March 22, 2010"));
            QVERIFY(heard.selected);
            QVERIFY(heard.focused);
        }
        QCOMPARE(reader.events().at(0).type, QAccessible::Selection);
        QCOMPARE(reader.events().at(1).type, QAccessible::Focus);

        // Into the next month: the cells are those of April.
        QTest::keyClick(widget->edit(), Qt::Key_PageDown);
        QCOMPARE(reader.events().size(), 4);
        QCOMPARE(reader.events().last().type, QAccessible::Focus);
        QCOMPARE(reader.events().last().name, QStringLiteral("Thursday, April 22, 2010"));

        // The calendar closes: the screen reader is back in the field.
        QTest::keyClick(widget->edit(), Qt::Key_Escape);
        QCOMPARE(reader.events().size(), 5);
        QCOMPARE(reader.events().last().type, QAccessible::Focus);
        QCOMPARE(reader.events().last().object, widget->edit());
    }

    // Every weekday's header differs from the others, in every language, as short as that allows.
    void weekdayHeadersTellTheDaysApart_data()
    {
        QTest::addColumn<QString>("locale");
        QTest::addColumn<QString>("monday");
        QTest::newRow("English") << "en_US" << "mo";
        QTest::newRow("Portuguese") << "pt_PT" << "seg";
        QTest::newRow("Russian") << "ru_RU" << "пн";
    }

    void weekdayHeadersTellTheDaysApart()
    {
        QFETCH(QString, locale);
        QFETCH(QString, monday);
        QStringList headers;
        for (int day = 1; day <= 7; ++day)
            headers << MyCalendarMonthWidget::weekdayHeader(QLocale(locale), day).toCaseFolded();
        QCOMPARE(headers.first(), monday);
        headers.removeDuplicates();
        QCOMPARE(headers.size(), 7);
    }

    void clickingADayChoosesIt()
    {
        DateWidget widget(QDateTime(Start, QTime(0, 0)));
        widget.setPopupVisible(true);
        MyCalendarMonthWidget* grid = widget.popup()->calendar()->monthWidget();
        QSignalSpy changes(&widget, &DateWidget::valueChanged);
        // The row of weekday names holds no days.
        QTest::mouseClick(grid, Qt::LeftButton, {}, QPoint(2, 2));
        QVERIFY(changes.isEmpty());

        const QRect cell = grid->cellRect(QDate(2010, 3, 22));
        QTest::mouseClick(grid, Qt::LeftButton, {}, cell.center());
        QCOMPARE(changes.size(), 1);
        QCOMPARE(widget.value().date(), QDate(2010, 3, 22));
        QCOMPARE(widget.edit()->selectedText(), QStringLiteral("22.03.2010"));
        // The choice is made: the calendar closes (paging through months keeps it open), and the
        // window getting back the activation the click gave the calendar does not open it again.
        QTRY_VERIFY(!widget.popup());
        QFocusEvent activated(QEvent::FocusIn, Qt::ActiveWindowFocusReason);
        QApplication::sendEvent(widget.edit(), &activated);
        QVERIFY(!widget.popup());
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

    void chosenAndHoveredDaysAreTinted()
    {
        MyCalendar calendar;
        const QDate soon = QDate::currentDate().addDays(2);
        calendar.setDateTime(QDateTime(soon, QTime(0, 0)));
        MyCalendarMonthWidget* grid = calendar.monthWidget();
        QRect cell = grid->cellRect(soon);
        QCOMPARE(grid->grab().toImage().pixelColor(cell.topLeft() + QPoint(2, 2)), QColor(0xFFF2B9));

        const QDate later = soon.addDays(soon.day() < 15 ? 7 : -7);
        cell = grid->cellRect(later);
        QMouseEvent move(QEvent::MouseMove, cell.center(), grid->mapToGlobal(cell.center()), Qt::NoButton,
                         Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(grid, &move);
        QCOMPARE(grid->hoverDate(), later);
        const QImage image = grid->grab().toImage();
        QCOMPARE(image.pixelColor(cell.topLeft() + QPoint(2, 2)), calendar.dateColor(later));
        QCOMPARE(image.pixelColor(cell.topLeft()).rgb(), QColor(0x0A4776).lighter(250).rgb());
    }

    void popupHangsBelowTheFieldAndFollowsTheWindow()
    {
        MovingWindow window;
        window.move(200, 150);
        auto* widget = new DateWidget(QDateTime(Start, QTime(0, 0)), &window);
        widget->move(20, 30);
        window.show();
        widget->setPopupVisible(true);
        letWindowsSettle();
        CalendarPopup* popup = widget->popup();
        const QWidget* edit = widget->edit();
        const QPoint anchor = widget->mapToGlobal(QPoint(edit->x() + edit->width() / 2, widget->height()));
        const QPoint placed = anchor - QPoint(popup->sizeHint().width() / 2, 0);
        QCOMPARE(popup->pos(), placed);

        window.move(260, 180);
        QTRY_COMPARE(popup->pos(), placed + QPoint(60, 30));
    }

    void closingThePopupDeletesIt()
    {
        DateWidget widget(QDateTime(Start, QTime(0, 0)));
        widget.setPopupVisible(true);
        QPointer<CalendarPopup> popup = widget.popup();
        QVERIFY(popup->isVisible());
        widget.setPopupVisible(false);
        QVERIFY(!widget.popup());
        QVERIFY(!popup->isVisible());
        QTRY_VERIFY(popup.isNull());
    }
};

MRV_TEST_WIDGETS_MAIN(TstDateWidget)
#include "tst_datewidget.moc"
