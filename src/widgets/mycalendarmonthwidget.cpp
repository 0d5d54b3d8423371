#include "widgets/mycalendarmonthwidget.h"

#include "widgets/accessiblenotifier.h"
#include "widgets/colorscheme.h"
#include "widgets/monthgridaccessible.h"

#include <QAccessible>
#include <QLocale>
#include <QMouseEvent>
#include <QPainter>
#include <QStringList>

MyCalendarMonthWidget::MyCalendarMonthWidget(QWidget* parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("monthGrid"));
    setMouseTracking(true);
    // Installing the same factory again does nothing.
    QAccessible::installFactory(&MonthGridAccessible::create);
}

void MyCalendarMonthWidget::setDate(const QDate& date)
{
    if (date == m_date)
        return;
    m_date = date;
    m_hoverDate = QDate();
    update();
}

void MyCalendarMonthWidget::setDelegate(MyCalendarMonthWidgetDelegate* delegate)
{
    m_delegate = delegate;
    update();
}

QDate MyCalendarMonthWidget::shownMonth() const
{
    const QDate day = m_date.isValid() ? m_date : QDate::currentDate();
    return QDate(day.year(), day.month(), 1);
}

QSize MyCalendarMonthWidget::cellSize() const
{
    return fontMetrics().size(0, QStringLiteral("99")) + QSize(10, 2);
}

QSize MyCalendarMonthWidget::sizeHint() const
{
    // One row of weekday names and six week rows, the rows one pixel apart.
    const QSize cell = cellSize();
    return QSize(7 * cell.width(), 7 * cell.height() + 6);
}

QSize MyCalendarMonthWidget::minimumSizeHint() const
{
    return sizeHint();
}

int MyCalendarMonthWidget::weekRows() const
{
    const QDate first = shownMonth();
    return (first.dayOfWeek() - 1 + first.daysInMonth() + 6) / 7;
}

QDate MyCalendarMonthWidget::dayAt(int row, int column) const
{
    const QDate first = shownMonth();
    const QDate day = first.addDays(row * 7 + column - (first.dayOfWeek() - 1));
    return row >= 0 && column >= 0 && column < 7 && day.month() == first.month() ? day : QDate();
}

QRect MyCalendarMonthWidget::cellRect(int row, int column) const
{
    const QSize cell = cellSize();
    return QRect(QPoint(column * cell.width(), (row + 1) * (cell.height() + 1)), cell);
}

QRect MyCalendarMonthWidget::cellRect(const QDate& day) const
{
    const QDate first = shownMonth();
    if (!day.isValid() || day.year() != first.year() || day.month() != first.month())
        return QRect();
    return cellRect(weekRowOf(day), day.dayOfWeek() - 1);
}

int MyCalendarMonthWidget::weekRowOf(const QDate& day) const
{
    return (shownMonth().dayOfWeek() - 1 + day.day() - 1) / 7;
}

QRect MyCalendarMonthWidget::headerRect(int column) const
{
    return QRect(QPoint(column * cellSize().width(), 0), cellSize());
}

void MyCalendarMonthWidget::announceChosenDay()
{
    if (!m_date.isValid() || !AccessibleNotifier::isListening())
        return;
    QAccessibleInterface* grid = QAccessible::queryAccessibleInterface(this);
    QAccessibleTableInterface* table = grid ? grid->tableInterface() : nullptr;
    QAccessibleInterface* cell = table ? table->cellAt(weekRowOf(m_date), m_date.dayOfWeek() - 1) : nullptr;
    if (!cell)
        return;
    QAccessibleEvent selection(cell, QAccessible::Selection);
    AccessibleNotifier::notify(&selection);
    QAccessibleEvent focus(cell, QAccessible::Focus);
    AccessibleNotifier::notify(&focus);
}

QDate MyCalendarMonthWidget::dateAt(const QPoint& point) const
{
    const QDate first = shownMonth();
    for (QDate day = first; day.month() == first.month(); day = day.addDays(1)) {
        if (cellRect(day).contains(point))
            return day;
    }
    return QDate();
}

QColor MyCalendarMonthWidget::_colorOf(const QDate& day) const
{
    return m_delegate ? m_delegate->dateColor(day) : schemeColor(ColorScheme::Panel);
}

void MyCalendarMonthWidget::_drawShadowedText(QPainter& painter, const QRect& cell, const QString& text) const
{
    painter.setPen(schemeColor(ColorScheme::TextShadow));
    painter.drawText(QRectF(cell).translated(0.5, 1.0), Qt::AlignCenter, text);
    painter.setPen(schemeColor(ColorScheme::Text).lighter(150));
    painter.drawText(cell, Qt::AlignCenter, text);
}

QString MyCalendarMonthWidget::weekdayHeader(const QLocale& locale, int day)
{
    QStringList names;
    for (int d = 1; d <= 7; ++d) {
        QString name = locale.dayName(d, QLocale::ShortFormat);
        if (name.endsWith(QLatin1Char('.')))
            name.chop(1);
        names << name;
    }
    for (int letters = 2;; ++letters) {
        QStringList cut;
        for (const QString& name : qAsConst(names))
            cut << name.left(letters).toCaseFolded();
        cut.removeDuplicates();
        if (cut.size() == 7 || letters >= 4)
            return names.at(day - 1).left(letters);
    }
}

void MyCalendarMonthWidget::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    const QLocale locale;
    for (int column = 0; column < 7; ++column)
        _drawShadowedText(painter, headerRect(column), weekdayHeader(locale, column + 1));

    const QDate today = QDate::currentDate();
    const QDate first = shownMonth();
    for (QDate day = first; day.month() == first.month(); day = day.addDays(1)) {
        const QRect r = cellRect(day);
        if (day == m_hoverDate) {
            painter.setPen(schemeColor(ColorScheme::Text).lighter(250));
            painter.setBrush(_colorOf(day));
            painter.drawRect(r.adjusted(0, 0, -1, -1));
        } else if (day == m_date) {
            painter.fillRect(r, _colorOf(day));
        } else if (day == today) {
            painter.setPen(Qt::white);
            painter.setBrush(Qt::NoBrush);
            painter.drawRect(r.adjusted(0, 0, -1, -1));
        }
        _drawShadowedText(painter, r, QString::number(day.day()));
    }
}

void MyCalendarMonthWidget::_chooseAt(const QPoint& point)
{
    const QDate day = dateAt(point);
    if (!day.isValid())
        return;
    m_date = day;
    Q_EMIT dateChanged(day);
    update();
}

void MyCalendarMonthWidget::_setHoverDate(const QDate& date)
{
    if (date == m_hoverDate)
        return;
    m_hoverDate = date;
    update();
}

void MyCalendarMonthWidget::mousePressEvent(QMouseEvent* event)
{
    event->accept();
}

void MyCalendarMonthWidget::mouseReleaseEvent(QMouseEvent* event)
{
    _chooseAt(event->position().toPoint());
}

void MyCalendarMonthWidget::mouseDoubleClickEvent(QMouseEvent* event)
{
    _chooseAt(event->position().toPoint());
}

void MyCalendarMonthWidget::mouseMoveEvent(QMouseEvent* event)
{
    _setHoverDate(dateAt(event->position().toPoint()));
}

void MyCalendarMonthWidget::enterEvent(QEnterEvent* event)
{
    event->accept();
}

void MyCalendarMonthWidget::leaveEvent(QEvent*)
{
    _setHoverDate(QDate());
}
