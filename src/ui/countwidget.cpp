#include "ui/countwidget.h"

#include "widgets/colorscheme.h"

#include <QPainter>

CountWidget::CountWidget(int counters, QWidget* parent)
    : QWidget(parent)
{
    m_counters.resize(qMax(1, counters));
}

void CountWidget::setColor(int index, const QColor& color)
{
    if (index >= 0 && index < m_counters.size())
        m_counters[index].color = color;
    update();
}

void CountWidget::setTextColor(int index, const QColor& color)
{
    if (index >= 0 && index < m_counters.size())
        m_counters[index].textColor = color;
    update();
}

void CountWidget::setCount(int index, int count)
{
    if (index < 0 || index >= m_counters.size())
        return;
    m_counters[index].count = count;
    m_visible.clear();
    for (int i = 0; i < m_counters.size(); ++i) {
        if (m_counters.at(i).count > 0)
            m_visible.append(i);
    }
}

int CountWidget::count(int index) const
{
    return index >= 0 && index < m_counters.size() ? m_counters.at(index).count : 0;
}

CountWidget::Margins CountWidget::_margins(int position) const
{
    return Margins{position == 0 ? 5 : 3, position == m_visible.size() - 1 ? 5 : 3};
}

QList<QRect> CountWidget::segmentRects() const
{
    QList<QRect> rects;
    const QFontMetrics metrics(font());
    int x = 0;
    for (int i = 0; i < m_visible.size(); ++i) {
        const Margins m = _margins(i);
        const int w = metrics.size(Qt::TextSingleLine, QString::number(m_counters.at(m_visible.at(i)).count)).width();
        rects.append(QRect(x, 0, w + m.left + m.right, height() - 2));
        x += w + m.left + m.right;
    }
    return rects;
}

QSize CountWidget::minimumSizeHint() const
{
    if (m_visible.isEmpty())
        return QSize(0, 0);
    const QFontMetrics metrics(font());
    int width = 0;
    int height = 0;
    for (int i = 0; i < m_visible.size(); ++i) {
        const Margins m = _margins(i);
        const QSize text = metrics.size(Qt::TextSingleLine, QString::number(m_counters.at(m_visible.at(i)).count));
        width += text.width() + m.left + m.right;
        height = qMax(height, text.height() + 4);
    }
    return QSize(width, height);
}

QSize CountWidget::sizeHint() const
{
    return minimumSizeHint();
}

void CountWidget::paintEvent(QPaintEvent*)
{
    if (m_visible.isEmpty())
        return;
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QList<QRect> rects = segmentRects();
    const int last = static_cast<int>(m_visible.size()) - 1;
    for (int i = 0; i <= last; ++i) {
        const Counter& counter = m_counters.at(m_visible.at(i));
        const QRect segment = rects.at(i);
        const bool first = i == 0;
        const bool isLast = i == last;
        if (!first && !isLast) {
            painter.fillRect(segment, counter.color);
        } else {
            // The outer ends are rounded; the side that joins a neighbour is squared off.
            painter.setPen(QPen(counter.color, 2, Qt::SolidLine, Qt::SquareCap, Qt::BevelJoin));
            painter.setBrush(counter.color);
            painter.drawRoundedRect(segment.adjusted(1, 1, -1, -1), 5, 5);
            if (first && !isLast)
                painter.fillRect(QRect(segment.center().x(), segment.top(), segment.right() - segment.center().x() + 1,
                                       segment.height()),
                                 counter.color);
            else if (isLast && !first)
                painter.fillRect(QRect(segment.left(), segment.top(), segment.width() / 2, segment.height()),
                                 counter.color);
        }
        const Margins m = _margins(i);
        const QRectF textRect = QRectF(segment).adjusted(m.left, -1, -m.right, 0);
        const QString text = QString::number(counter.count);
        painter.setPen(schemeColor(ColorScheme::TextShadow));
        painter.drawText(textRect.translated(0.5, 1), Qt::AlignCenter, text);
        painter.setPen(counter.textColor);
        painter.drawText(textRect, Qt::AlignCenter, text);
    }
}
