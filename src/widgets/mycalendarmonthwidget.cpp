#include "widgets/mycalendarmonthwidget.h"

#include "widgets/colorscheme.h"

#include <QLocale>
#include <QMouseEvent>
#include <QPainter>
#include <QStringList>

MyCalendarMonthWidget::MyCalendarMonthWidget(QWidget* parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("monthGrid"));
    setMouseTracking(true);
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

QRect MyCalendarMonthWidget::cellRect(const QDate& day) const
{
    const QDate first = shownMonth();
    if (!day.isValid() || day.year() != first.year() || day.month() != first.month())
        return QRect();
    const QSize cell = cellSize();
    const int weekRow = (first.dayOfWeek() - 1 + day.day() - 1) / 7;
    return QRect(QPoint((day.dayOfWeek() - 1) * cell.width(), (weekRow + 1) * (cell.height() + 1)), cell);
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
    const QSize cell = cellSize();
    const QLocale locale;
    for (int column = 1; column <= 7; ++column) {
        const QRect headerCell(QPoint((column - 1) * cell.width(), 0), cell);
        _drawShadowedText(painter, headerCell, weekdayHeader(locale, column));
    }

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
