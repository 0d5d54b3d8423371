#include "core/daytimer.h"

#include <QTimer>

#include <algorithm>

DayTimer::DayTimer(Clock clock, int delayMs, QObject* parent)
    : QObject(parent)
    , m_clock(std::move(clock))
    , m_delayMs(delayMs)
{
    m_timer = new QTimer(this);
    m_timer->setSingleShot(true);
    // A coarse timer may fire minutes early over a whole day.
    m_timer->setTimerType(Qt::PreciseTimer);
    connect(m_timer, &QTimer::timeout, this, &DayTimer::_onTimeout);
}

void DayTimer::start()
{
    const QDateTime now = m_clock ? m_clock() : QDateTime::currentDateTime();
    // From the start of the day, which exists also where a clock change skips midnight.
    m_next = now.date().addDays(1).startOfDay().addMSecs(m_delayMs);
    m_timer->start(int(std::max<qint64>(1000, now.msecsTo(m_next))));
}

void DayTimer::_onTimeout()
{
    start();
    Q_EMIT newDay();
}
