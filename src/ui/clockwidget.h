#pragma once

#include <QElapsedTimer>
#include <QPixmap>
#include <QWidget>

/// The about box's clock: a face with two hands that spin (the minute hand once every
/// `period` milliseconds, the hour hand twelve times slower). It shows no time of day.
class ClockWidget : public QWidget
{
    Q_OBJECT
public:
    explicit ClockWidget(QWidget* parent = nullptr);

    double minuteAngle() const { return m_minuteAngle; }
    double hourAngle() const { return m_hourAngle; }
    int period() const { return m_period; }
    /// Turns the hands by what `deltaMs` milliseconds make; painting calls it with the time
    /// since the previous frame.
    void advance(qint64 deltaMs);

protected:
    void paintEvent(QPaintEvent* event) override;
    void timerEvent(QTimerEvent* event) override;

private:
    QPixmap m_face;
    QPixmap m_hourHand;
    QPixmap m_minuteHand;
    double m_minuteAngle = 45.0;
    double m_hourAngle = 315.0;
    int m_period = 2000;
    QElapsedTimer m_stopwatch;
    qint64 m_lastDelta = 0;
    int m_timerId = -1;
};
