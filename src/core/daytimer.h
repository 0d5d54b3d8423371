#pragma once

#include <QDateTime>
#include <QObject>

#include <functional>

class QTimer;

/// Announces each new day of the local calendar, a set time after it starts, by a clock that
/// tests can set.
class DayTimer : public QObject
{
    Q_OBJECT
public:
    using Clock = std::function<QDateTime()>;

    /// `clock` gives the local time (the system's when empty); `newDay` comes `delayMs` after
    /// the start of each day.
    explicit DayTimer(Clock clock, int delayMs = 0, QObject* parent = nullptr);

    /// Waits for the next day (again after each one).
    void start();
    /// When the next `newDay` is due.
    QDateTime next() const { return m_next; }

Q_SIGNALS:
    void newDay();

private:
    void _onTimeout();

    Clock m_clock;
    int m_delayMs = 0;
    QTimer* m_timer = nullptr;
    QDateTime m_next;
};
