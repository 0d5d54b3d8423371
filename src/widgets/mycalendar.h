#pragma once

#include <QDateTime>
#include <QPointer>
#include <QWidget>

#include "widgets/mycalendarmonthwidget.h"

class FancyToolBtn;
class QIcon;
class QLabel;

/// A month calendar: the month's name with buttons to page the month or go back to the
/// proposed date, above the day grid. Paging the month moves the chosen date with it.
class MyCalendar : public QWidget, public MyCalendarMonthWidgetDelegate
{
    Q_OBJECT
public:
    explicit MyCalendar(QWidget* parent = nullptr);

    QDateTime dateTime() const { return m_dateTime; }
    void setDateTime(const QDateTime& dateTime);

    /// Days up to today are due now, the next three days due soon, later ones plain.
    QColor dateColor(const QDate& date) const override;

    /// Moves the chosen date by whole days or months, as the keys of the date field do: the
    /// month on show follows, `dateChanged` is emitted, and a screen reader hears the new day.
    void moveDays(int days);
    void moveMonths(int months);

    MyCalendarMonthWidget* monthWidget() const { return m_monthWidget; }
    QLabel* monthLabel() const;

Q_SIGNALS:
    void dateChanged(const QDate& date);
    /// A day was clicked (not paged to).
    void dayPicked(const QDate& date);

private Q_SLOTS:
    void _onCurrentMonthDateChanged(const QDate& date);
    void _onNextClicked();
    void _onPrevClicked();
    void _onResetClicked();

protected:
    void changeEvent(QEvent* event) override;

private:
    void _retranslate();
    FancyToolBtn* _makeButton(const QString& name, int iconKind);
    static QIcon _buttonIcon(int iconKind);
    static QString _headerText(const QDate& month);
    void _updateHeader();
    void _moveTo(const QDateTime& dateTime);
    QDateTime _pagingBase() const;

    QDateTime m_dateTime;
    QPointer<QLabel> m_monthLabel;
    QPointer<FancyToolBtn> m_prevButton;
    QPointer<FancyToolBtn> m_resetButton;
    QPointer<FancyToolBtn> m_nextButton;
    QPointer<MyCalendarMonthWidget> m_monthWidget;
};
