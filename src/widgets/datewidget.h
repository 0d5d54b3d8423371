#pragma once

#include <QDateTime>
#include <QPointer>
#include <QWidget>

class CalendarPopup;
class FancyLineEdit;
class QKeyEvent;
template <typename T>
class HintedEditT;

/// The due-date field: a borderless edit for typing a date, with a calendar that hangs below
/// it while it has the focus. Every accepted change is reported at once; an empty field means
/// no due date (an invalid date-time).
///
/// The calendar never takes the focus, so the field takes its keys: Up and Down move the chosen
/// day by a week, Page Up and Page Down by a month, Alt+Left and Alt+Right by a day; Left and
/// Right alone or with Ctrl still move the text cursor. Any of these keys opens a closed
/// calendar again without moving the day. Return takes the date and closes the calendar;
/// Escape closes it, and only a second Escape goes on to the field's parents.
class DateWidget : public QWidget
{
    Q_OBJECT
public:
    using Edit = HintedEditT<FancyLineEdit>;

    explicit DateWidget(const QDateTime& value, QWidget* parent = nullptr);

    QDateTime value() const { return m_value; }
    /// Shows a date set elsewhere (or none), without reporting it as a change.
    void setValue(const QDateTime& value);
    Edit* edit() const;
    CalendarPopup* popup() const;
    void setPopupVisible(bool show);

    /// The format dates are shown and typed in: the user's date format, always with
    /// four-digit years.
    static QString displayFormat();
    static QString displayFormat(const QString& baseFormat);
    /// Pads the parts of a date typed with full stops, slashes or hyphens to two digits, so that
    /// short typing such as 5.3.2010 matches two-digit day and month formats. Other text is
    /// returned unchanged.
    static QString normalizeTypedDate(const QString& text);

Q_SIGNALS:
    void valueChanged(const QDateTime& value);

private Q_SLOTS:
    void _onTextEdited(const QString& text);
    void _onReturn();
    void _onEditGotFocus(bool got);
    void _onCalendarDateChanged(const QDateTime& dateTime);
    void _onParentWindowMoved();

protected:
    void changeEvent(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void _placePopup();
    void _retranslate();
    bool _takeCalendarKey(QKeyEvent* event);

    QDateTime m_value;
    QPointer<Edit> m_edit;
    QPointer<CalendarPopup> m_popup;
    Qt::FocusReason m_focusInReason = Qt::OtherFocusReason;
    bool m_closedByPick = false;
    // A keyboard move took a screen reader's attention into the calendar.
    bool m_calendarSpoke = false;
};
