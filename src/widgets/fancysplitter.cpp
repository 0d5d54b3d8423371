#include "widgets/fancysplitter.h"

#include "widgets/colorscheme.h"

#include <QMouseEvent>
#include <QPainter>

FancySplitterHandle::FancySplitterHandle(Qt::Orientation orientation, QWidget* parent)
    : QWidget(parent)
{
    setCursor(orientation == Qt::Horizontal ? Qt::SplitHCursor : Qt::SplitVCursor);
}

void FancySplitterHandle::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), schemeColor(ColorScheme::Outline));
}

FancySplitter::FancySplitter(Qt::Orientation orientation, QWidget* parent)
    : QWidget(parent)
    , m_orientation(orientation)
{
    setAutoFillBackground(false);
    m_handle = new FancySplitterHandle(orientation, this);
    m_handle->setObjectName(QStringLiteral("splitterHandle"));
}

void FancySplitter::addWidget(QWidget* widget)
{
    if (!widget)
        return;
    if (!m_first)
        m_first = widget;
    else if (!m_second)
        m_second = widget;
    else
        return;
    widget->setParent(this);
    _layout();
}

void FancySplitter::setFirstWidth(int width)
{
    m_firstWidth = width;
    _layout();
}

void FancySplitter::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    _layout();
}

void FancySplitter::_layout()
{
    if (m_orientation != Qt::Horizontal)
        return;
    const int w = width();
    const int h = height();
    const int f = m_firstWidth;
    if (m_first) {
        m_first->setVisible(f > 0);
        if (f > 0)
            m_first->setGeometry(0, 0, f, h);
    }
    if (m_handle) {
        m_handle->setVisible(f > 0 && f < w);
        if (f > 0 && f < w)
            m_handle->setGeometry(f, 0, m_handleWidth, h);
    }
    if (m_second) {
        m_second->setVisible(f < w);
        // Without a first pane there is no handle either: the second pane takes the whole width.
        const int left = f > 0 ? f + m_handleWidth : 0;
        if (f < w)
            m_second->setGeometry(left, 0, w - left, h);
    }
}

void FancySplitter::mousePressEvent(QMouseEvent* event)
{
    if (m_handle && m_handle->isVisible() && m_handle->geometry().contains(event->position().toPoint())) {
        m_dragging = true;
        event->accept();
        return;
    }
    QWidget::mousePressEvent(event);
}

void FancySplitter::mouseMoveEvent(QMouseEvent* event)
{
    if (!m_dragging) {
        QWidget::mouseMoveEvent(event);
        return;
    }
    const int w = width();
    int x = qBound(0, qRound(event->position().x()), w);
    if (m_first && x < m_first->minimumWidth())
        x = m_first->minimumWidth();
    // The handle sits right of x: the second pane gets what is left after it.
    if (m_second && w - x - m_handleWidth < m_second->minimumWidth())
        x = w - m_handleWidth - m_second->minimumWidth();
    setFirstWidth(x);
}

void FancySplitter::mouseReleaseEvent(QMouseEvent* event)
{
    if (m_dragging) {
        m_dragging = false;
        return;
    }
    QWidget::mouseReleaseEvent(event);
}
