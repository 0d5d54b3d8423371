#include "widgets/calendarpopup.h"

#include "widgets/colorscheme.h"
#include "widgets/mycalendar.h"

#include <QApplication>
#include <QPainter>
#include <QPainterPath>
#include <QVBoxLayout>

namespace {

Qt::WindowFlags popupFlags()
{
    // A Wayland compositor places a tool window where it likes (the middle of the screen) and
    // gives it the keyboard. A tooltip-type window becomes a popup without a grab, placed
    // relative to its parent window: it hangs where it is put and the field keeps the keys.
    if (QGuiApplication::platformName().startsWith(QLatin1String("wayland")))
        return Qt::ToolTip | Qt::FramelessWindowHint;
    return Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint;
}

} // namespace

CalendarPopup::CalendarPopup(QWidget* parent)
    : QWidget(parent, popupFlags())
{
    setObjectName(QStringLiteral("calendarPopup"));
    setAttribute(Qt::WA_ShowWithoutActivating);
    setFocusPolicy(Qt::NoFocus);

    m_calendar = new MyCalendar(this);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(7, 5, 7, 5);
    layout->setSpacing(0);
    layout->addWidget(m_calendar);
    setFixedSize(m_calendar->minimumSizeHint() + QSize(14, 10));
    connect(m_calendar, &MyCalendar::dateChanged, this, &CalendarPopup::_calendarDateChanged);
    connect(m_calendar, &MyCalendar::dayPicked, this, &CalendarPopup::dayPicked);
}

MyCalendar* CalendarPopup::calendar() const
{
    return m_calendar;
}

QDateTime CalendarPopup::dateTime() const
{
    return m_calendar->dateTime();
}

void CalendarPopup::setDateTime(const QDateTime& dateTime)
{
    m_calendar->setDateTime(dateTime);
}

QSize CalendarPopup::sizeHint() const
{
    return minimumSize();
}

void CalendarPopup::_calendarDateChanged(const QDate& date)
{
    Q_EMIT dateTimeChanged(QDateTime(date, QTime(0, 0)));
}

void CalendarPopup::changeEvent(QEvent* event)
{
    QWidget::changeEvent(event);
    // Some platforms activate every window they show. Hand the activation straight back, so
    // that the date field keeps the focus while the calendar is open or clicked.
    if (event->type() == QEvent::ActivationChange && QApplication::activeWindow() == this && parentWidget())
        parentWidget()->window()->activateWindow();
}

void CalendarPopup::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    // The rounded shape is a window mask, not a translucent window: without a compositor a
    // translucent window shows black corners.
    QPainterPath shape;
    shape.addRoundedRect(QRectF(rect()), 5, 5);
    setMask(QRegion(shape.toFillPolygon().toPolygon()));
}

void CalendarPopup::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), schemeColor(ColorScheme::SelectedRow));
}
