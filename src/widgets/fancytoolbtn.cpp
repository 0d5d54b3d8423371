#include "widgets/fancytoolbtn.h"

#include "widgets/colorscheme.h"

#include <QPainter>

FancyToolBtn::FancyToolBtn(QWidget* parent)
    : QToolButton(parent)
{
    setSchemeColor(this, QPalette::Text, ColorScheme::ToolButtonText, QPalette::Active);
    setAttribute(Qt::WA_TranslucentBackground);
}

QSize FancyToolBtn::_iconOnlySize() const
{
    const QList<QSize> sizes = icon().availableSizes(QIcon::Normal, QIcon::Off);
    // The base class's minimum size hint is its size hint, which would come back here.
    if (icon().isNull() || sizes.isEmpty())
        return QToolButton::sizeHint();
    return sizes.first() + QSize(4, 4);
}

QSize FancyToolBtn::sizeHint() const
{
    if (toolButtonStyle() == Qt::ToolButtonIconOnly)
        return _iconOnlySize();
    return QToolButton::sizeHint();
}

QSize FancyToolBtn::minimumSizeHint() const
{
    if (toolButtonStyle() == Qt::ToolButtonIconOnly)
        return _iconOnlySize();
    return QToolButton::minimumSizeHint();
}

void FancyToolBtn::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const int d = m_pressed ? 1 : 0;
    const QRect r = rect().adjusted(1, 1, -1, -1);
    if (underMouse() && isEnabled()) {
        painter.setBrush(schemeColor(ColorScheme::ToolButtonHover));
        painter.setPen(schemeColor(ColorScheme::Outline));
        painter.drawRoundedRect(m_pressed ? r.adjusted(1, 1, -1, -1) : r, 3, 3);
    }
    if (hasFocus())
        drawFocusMark(painter, rect(), 3);
    const QIcon::Mode mode = isEnabled() ? QIcon::Normal : QIcon::Disabled;
    if (toolButtonStyle() == Qt::ToolButtonTextUnderIcon) {
        const QRect iconRect = QRect(2, 2, width() - 4, 30).translated(d, d);
        icon().paint(&painter, iconRect, Qt::AlignCenter, mode);
        const QRect textRect = QRect(0, 29, width(), height() - 29 - 2).translated(d, d);
        painter.setFont(font());
        painter.setPen(palette().color(isEnabled() ? QPalette::Active : QPalette::Disabled, QPalette::Text));
        painter.drawText(textRect, Qt::AlignCenter, text());
    } else {
        icon().paint(&painter, rect().translated(d, d), Qt::AlignCenter, mode);
    }
}

void FancyToolBtn::enterEvent(QEnterEvent* event)
{
    QToolButton::enterEvent(event);
    update();
}

void FancyToolBtn::leaveEvent(QEvent* event)
{
    QToolButton::leaveEvent(event);
    update();
}

void FancyToolBtn::mousePressEvent(QMouseEvent* event)
{
    m_pressed = true;
    QToolButton::mousePressEvent(event);
    update();
}

void FancyToolBtn::mouseReleaseEvent(QMouseEvent* event)
{
    m_pressed = false;
    QToolButton::mouseReleaseEvent(event);
    update();
}
