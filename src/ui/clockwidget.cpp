#include "ui/clockwidget.h"

#include <QPainter>
#include <QTimerEvent>

namespace {

constexpr int FrameMs = 41;
const QPointF Pivot(175.5, 179.5);

} // namespace

ClockWidget::ClockWidget(QWidget* parent)
    : QWidget(parent)
    , m_face(QStringLiteral(":/about/one_noarrows"))
    , m_hourHand(QStringLiteral(":/about/arrow_hour"))
    , m_minuteHand(QStringLiteral(":/about/arrow_minute"))
{
    setObjectName(QStringLiteral("clock"));
    setFixedSize(256, 256);
    setAutoFillBackground(false);
    m_stopwatch.start();
    m_timerId = startTimer(FrameMs);
}

void ClockWidget::advance(qint64 deltaMs)
{
    m_hourAngle += deltaMs * 360.0 / (m_period * 12.0);
    m_minuteAngle += deltaMs * 360.0 / m_period;
}

void ClockWidget::timerEvent(QTimerEvent* event)
{
    if (event->timerId() == m_timerId)
        update();
    else
        QWidget::timerEvent(event);
}

void ClockWidget::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHints(QPainter::Antialiasing | QPainter::SmoothPixmapTransform);
    painter.drawPixmap(0, 0, m_face);

    m_lastDelta = m_stopwatch.elapsed();
    if (m_lastDelta > 0) {
        m_stopwatch.restart();
        advance(m_lastDelta);
    }
    const auto drawHand = [&](const QPixmap& hand, double angle) {
        painter.resetTransform();
        painter.translate(Pivot);
        painter.rotate(angle);
        painter.translate(-Pivot);
        painter.drawPixmap(0, 0, hand);
    };
    drawHand(m_hourHand, m_hourAngle);
    drawHand(m_minuteHand, m_minuteAngle - 2.5);
}
