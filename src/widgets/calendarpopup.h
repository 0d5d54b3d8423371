#pragma once

#include <QDateTime>
#include <QPointer>
#include <QWidget>

class MyCalendar;

/// The calendar that hangs below the due-date field: a frameless, rounded tool window (on
/// Wayland a popup of the field's window) that never takes the focus, so the field keeps it
/// while the user clicks days.
class CalendarPopup : public QWidget
{
    Q_OBJECT
public:
    explicit CalendarPopup(QWidget* parent = nullptr);

    QDateTime dateTime() const;
    void setDateTime(const QDateTime& dateTime);
    MyCalendar* calendar() const;

    QSize sizeHint() const override;

Q_SIGNALS:
    void dateTimeChanged(const QDateTime& dateTime);
    /// A day was clicked: the choice is made.
    void dayPicked();

protected:
    void changeEvent(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private Q_SLOTS:
    void _calendarDateChanged(const QDate& date);

private:
    QPointer<MyCalendar> m_calendar;
};
