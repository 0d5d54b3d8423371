#include "widgets/fancyscrollbar.h"

#include "widgets/colorscheme.h"

#include <QPainter>
#include <QStyle>
#include <QStyleOptionSlider>

FancyScrollbar::FancyScrollbar(Qt::Orientation orientation, QWidget* parent)
    : QScrollBar(orientation, parent)
{
}

QSize FancyScrollbar::sizeHint() const
{
    QSize size = QScrollBar::sizeHint();
    if (orientation() == Qt::Horizontal)
        size.setHeight(10);
    else
        size.setWidth(10);
    return size;
}

QRect FancyScrollbar::handleRect() const
{
    QStyleOptionSlider option;
    initStyleOption(&option);
    const QRect slider = style()->subControlRect(QStyle::CC_ScrollBar, &option, QStyle::SC_ScrollBarSlider, this);
    // The style keeps room for arrows at both ends; the handle may use it, as no arrows are drawn.
    const int e = style()->pixelMetric(QStyle::PM_ScrollBarExtent, &option, this);
    if (orientation() == Qt::Vertical)
        return QRect(slider.left() + 2, slider.top() - e + 2, slider.width() - 4, slider.height() - 4 + 2 * e);
    return QRect(slider.left() - e + 2, slider.top() + 2, slider.width() - 4 + 2 * e, slider.height() - 4);
}

void FancyScrollbar::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.fillRect(rect(), schemeColor(ColorScheme::ListBackground));
    painter.setPen(Qt::NoPen);
    painter.setBrush(underMouse() ? schemeColor(ColorScheme::Accent) : schemeColor(ColorScheme::Outline));
    painter.drawRoundedRect(handleRect(), 4, 4);
}

void FancyScrollbar::enterEvent(QEnterEvent* event)
{
    QScrollBar::enterEvent(event);
    update();
}

void FancyScrollbar::leaveEvent(QEvent* event)
{
    QScrollBar::leaveEvent(event);
    update();
}
