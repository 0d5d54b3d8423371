#pragma once

#include <QColor>
#include <QDate>
#include <QLocale>
#include <QWidget>

/// Tells a MyCalendarMonthWidget how to tint a day.
class MyCalendarMonthWidgetDelegate
{
public:
    virtual ~MyCalendarMonthWidgetDelegate() = default;
    virtual QColor dateColor(const QDate& date) const = 0;
};

/// The day grid of one month: a row of weekday names, then the days from Monday to Sunday.
/// The chosen date's month is the month shown; the chosen and the hovered day are tinted by
/// the delegate, today is outlined.
class MyCalendarMonthWidget : public QWidget
{
    Q_OBJECT
public:
    explicit MyCalendarMonthWidget(QWidget* parent = nullptr);

    QDate date() const { return m_date; }
    void setDate(const QDate& date);
    QDate hoverDate() const { return m_hoverDate; }
    MyCalendarMonthWidgetDelegate* delegate() const { return m_delegate; }
    void setDelegate(MyCalendarMonthWidgetDelegate* delegate);

    /// The month on show: the chosen date's, or the current one while no date is chosen.
    QDate shownMonth() const;
    QSize cellSize() const;
    /// The number of week rows the shown month takes (four to six).
    int weekRows() const;
    /// The day in week row `row` (from 0) and column `column` (0 is Monday), or an invalid
    /// date where the cell is empty.
    QDate dayAt(int row, int column) const;
    /// The week row of a day of the shown month.
    int weekRowOf(const QDate& day) const;
    /// The cell in week row `row` and column `column`.
    QRect cellRect(int row, int column) const;
    /// The cell of a day of the shown month; a null rectangle for other days.
    QRect cellRect(const QDate& day) const;
    /// The cell of the header of column `column` (0 is Monday).
    QRect headerRect(int column) const;
    /// The day whose cell contains the point, or an invalid date.
    QDate dateAt(const QPoint& point) const;

    /// Tells assistive technology that the keyboard is on the chosen day: its cell takes the
    /// selection and the focus, so a screen reader says the date.
    void announceChosenDay();

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

    /// The header of weekday `day` (1 is Monday): the short name cut to the fewest letters
    /// (two at least) that still tell all seven days apart in `locale`.
    static QString weekdayHeader(const QLocale& locale, int day);

Q_SIGNALS:
    void dateChanged(const QDate& date);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    void _chooseAt(const QPoint& point);
    void _setHoverDate(const QDate& date);
    QColor _colorOf(const QDate& day) const;
    void _drawShadowedText(QPainter& painter, const QRect& cell, const QString& text) const;

    MyCalendarMonthWidgetDelegate* m_delegate = nullptr;
    QDate m_date;
    QDate m_hoverDate;
};
