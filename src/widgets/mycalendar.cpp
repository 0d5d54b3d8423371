#include "widgets/mycalendar.h"

#include "widgets/colorscheme.h"
#include "widgets/fancytoolbtn.h"
#include "widgets/focusiconcatalogue.h"

#include <QFontMetrics>
#include <QHBoxLayout>
#include <QLabel>
#include <QEvent>
#include <QLocale>
#include <QPainter>
#include <QVBoxLayout>

MyCalendar::MyCalendar(QWidget* parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("calendar"));
    setFocusPolicy(Qt::NoFocus);

    m_monthLabel = new QLabel(this);
    m_monthLabel->setObjectName(QStringLiteral("monthLabel"));
    QFont bold = m_monthLabel->font();
    bold.setBold(true);
    m_monthLabel->setFont(bold);
    followScheme(m_monthLabel, [label = m_monthLabel] {
        setPaletteColor(label, QPalette::WindowText, schemeColor(ColorScheme::Text).lighter(150));
    });

    auto* header = new QHBoxLayout;
    header->setContentsMargins(0, 0, 0, 0);
    header->setSpacing(0);
    header->addWidget(m_monthLabel);
    header->addStretch(1);
    m_prevButton = _makeButton(QStringLiteral("prevMonthButton"), CalendarPrevMonth);
    m_resetButton = _makeButton(QStringLiteral("resetButton"), CalendarReset);
    m_nextButton = _makeButton(QStringLiteral("nextMonthButton"), CalendarNextMonth);
    header->addWidget(m_prevButton);
    header->addWidget(m_resetButton);
    header->addWidget(m_nextButton);

    auto* area = new QWidget(this);
    m_monthWidget = new MyCalendarMonthWidget(area);
    m_monthWidget->setDelegate(this);
    const QSize gridSize = m_monthWidget->sizeHint();
    m_monthWidget->setGeometry(QRect(QPoint(0, 0), gridSize));
    area->setFixedSize(gridSize);
    connect(m_monthWidget, &MyCalendarMonthWidget::dateChanged, this, &MyCalendar::_onCurrentMonthDateChanged);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(2);
    layout->addLayout(header);
    layout->addWidget(area, 1, Qt::AlignHCenter);
    _retranslate();
}

void MyCalendar::_retranslate()
{
    // The buttons show icons only: a screen reader needs names of their own.
    const auto name = [](FancyToolBtn* button, const QString& text) {
        button->setToolTip(text);
        button->setAccessibleName(text);
    };
    name(m_prevButton, tr("Previous month"));
    name(m_resetButton, tr("Reset to current date"));
    name(m_nextButton, tr("Next month"));
    // Room for the longest month name, so that no month is cut off in the fixed-size popup.
    const QFontMetrics metrics(m_monthLabel->font());
    int widest = 0;
    for (int month = 1; month <= 12; ++month)
        widest = qMax(widest, metrics.horizontalAdvance(_headerText(QDate(2000, month, 1))));
    m_monthLabel->setMinimumWidth(widest);
    _updateHeader();
    m_monthWidget->update();
}

void MyCalendar::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::LanguageChange)
        _retranslate();
    QWidget::changeEvent(event);
}

FancyToolBtn* MyCalendar::_makeButton(const QString& name, int iconKind)
{
    auto* button = new FancyToolBtn(this);
    button->setObjectName(name);
    button->setToolButtonStyle(Qt::ToolButtonIconOnly);
    button->setFocusPolicy(Qt::NoFocus);
    followScheme(button, [button, iconKind] { button->setIcon(_buttonIcon(iconKind)); });
    if (iconKind == CalendarPrevMonth)
        connect(button, &FancyToolBtn::clicked, this, &MyCalendar::_onPrevClicked);
    else if (iconKind == CalendarNextMonth)
        connect(button, &FancyToolBtn::clicked, this, &MyCalendar::_onNextClicked);
    else
        connect(button, &FancyToolBtn::clicked, this, &MyCalendar::_onResetClicked);
    return button;
}

QIcon MyCalendar::_buttonIcon(int iconKind)
{
    const QIcon icon = calendarIcon(iconKind);
    if (!ColorScheme::instance()->isDark())
        return icon;
    // The arrows are drawn in one dark blue, which a dark ground would swallow.
    QPixmap pixmap = icon.pixmap(QSize(16, 16));
    QPainter painter(&pixmap);
    painter.setCompositionMode(QPainter::CompositionMode_SourceIn);
    painter.fillRect(pixmap.rect(), schemeColor(ColorScheme::Text).lighter(150));
    painter.end();
    return QIcon(pixmap);
}

QLabel* MyCalendar::monthLabel() const
{
    return m_monthLabel;
}

void MyCalendar::setDateTime(const QDateTime& dateTime)
{
    if (dateTime == m_dateTime)
        return;
    m_dateTime = dateTime;
    m_monthWidget->setDate(dateTime.date());
    _updateHeader();
}

QColor MyCalendar::dateColor(const QDate& date) const
{
    const qint64 days = QDate::currentDate().daysTo(date);
    if (days < 1)
        return schemeColor(ColorScheme::DueNow);
    if (days < 4)
        return schemeColor(ColorScheme::DueSoon);
    return schemeColor(ColorScheme::Panel);
}

QString MyCalendar::_headerText(const QDate& month)
{
    // Some languages write month names in lower case; the header starts with a capital.
    QString name = QLocale().standaloneMonthName(month.month(), QLocale::LongFormat);
    if (!name.isEmpty())
        name[0] = name.at(0).toUpper();
    return tr("%0, %1").arg(name).arg(month.year());
}

void MyCalendar::_updateHeader()
{
    // Without a chosen date the grid shows the current month, so the header names that one.
    const QString header = _headerText(m_monthWidget->shownMonth());
    m_monthLabel->setText(header);
    // The grid is named after its month. Every renaming is announced, even to the same name,
    // and a screen reader would say the month again at each move within it.
    if (m_monthWidget->accessibleName() != header)
        m_monthWidget->setAccessibleName(header);
}

void MyCalendar::_onCurrentMonthDateChanged(const QDate& date)
{
    m_dateTime = QDateTime(date, m_dateTime.isValid() ? m_dateTime.time() : QTime(0, 0));
    _updateHeader();
    Q_EMIT dateChanged(date);
    Q_EMIT dayPicked(date);
}

void MyCalendar::_moveTo(const QDateTime& dateTime)
{
    m_dateTime = dateTime;
    m_monthWidget->setDate(dateTime.date());
    _updateHeader();
    Q_EMIT dateChanged(dateTime.date());
}

QDateTime MyCalendar::_pagingBase() const
{
    // Paging without a chosen date starts from the month on show.
    return m_dateTime.isValid() ? m_dateTime : QDateTime(QDate::currentDate(), QTime(0, 0));
}

void MyCalendar::moveDays(int days)
{
    _moveTo(_pagingBase().addDays(days));
    m_monthWidget->announceChosenDay();
}

void MyCalendar::moveMonths(int months)
{
    _moveTo(_pagingBase().addMonths(months));
    m_monthWidget->announceChosenDay();
}

void MyCalendar::_onNextClicked()
{
    _moveTo(_pagingBase().addMonths(1));
}

void MyCalendar::_onPrevClicked()
{
    _moveTo(_pagingBase().addMonths(-1));
}

void MyCalendar::_onResetClicked()
{
    _moveTo(QDateTime(QDate::currentDate().addDays(1), m_dateTime.isValid() ? m_dateTime.time() : QTime(0, 0)));
}
