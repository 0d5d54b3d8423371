#include "ui/duelabel.h"

#include <QEvent>
#include <QPainter>

#include <cmath>

DueLabel::DueLabel(QWidget* parent)
    : QLabel(parent)
{
    setTextFormat(Qt::PlainText);
    setMargin(0);
    setIndent(0);
    m_laidOut.setTextFormat(Qt::PlainText);
    m_laidOut.setPerformanceHint(QStaticText::AggressiveCaching);
}

const QStaticText& DueLabel::_laidOut() const
{
    if (!m_laidOutValid || m_laidOut.text() != text()) {
        m_laidOut.setText(text());
        m_laidOut.prepare(QTransform(), font());
        m_laidOutValid = true;
    }
    return m_laidOut;
}

QSize DueLabel::sizeHint() const
{
    const QMargins margins = contentsMargins();
    return QSize(int(std::ceil(_laidOut().size().width())) + margins.left() + margins.right(),
                 fontMetrics().height() + margins.top() + margins.bottom());
}

QSize DueLabel::minimumSizeHint() const
{
    return sizeHint();
}

void DueLabel::paintEvent(QPaintEvent*)
{
    const QStaticText& laidOut = _laidOut();
    // A painter on a widget starts with its font and its text colour.
    QPainter painter(this);
    const QRect area = contentsRect();
    painter.drawStaticText(QPointF(area.left(), area.top() + (area.height() - laidOut.size().height()) / 2), laidOut);
}

void DueLabel::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::FontChange)
        m_laidOutValid = false;
    QLabel::changeEvent(event);
}
