#include "widgets/colorscheme.h"

#include <QPainter>

namespace {

ColorScheme*& instancePointer()
{
    static ColorScheme* scheme = nullptr;
    return scheme;
}

} // namespace

ColorScheme::ColorScheme()
{
    const QRgb values[RoleCount] = {
        0x1B75BB, 0xB0CCE4, 0xF2C9C8, 0xC9E2A9, 0xC6E9F3, 0xFFF2B9, 0xFFFFFF, 0xFFFFFF, 0xF6FBFF, 0xC6D0DA,
        0xFFFFFF, 0xEAF4FE, 0xFFFFFF, 0x0A4776, 0xB0CCE4, 0x1B75BB, 0xC9E2A9, 0xF6FBFF, 0x0A4776,
    };
    for (int i = 0; i < RoleCount; ++i)
        m_colors[i] = QColor(values[i]);
}

ColorScheme* ColorScheme::instance()
{
    ColorScheme*& scheme = instancePointer();
    if (!scheme)
        scheme = new ColorScheme;
    return scheme;
}

void ColorScheme::destroy()
{
    delete instancePointer();
    instancePointer() = nullptr;
}

QColor ColorScheme::color(Role role) const
{
    if (role < 0 || role >= RoleCount)
        return QColor();
    return m_colors[role];
}

QColor schemeColor(ColorScheme::Role role)
{
    return ColorScheme::instance()->color(role);
}

void drawFocusMark(QPainter& painter, const QRectF& rect, qreal radius)
{
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(schemeColor(ColorScheme::Accent), 1.5));
    painter.drawRoundedRect(rect.adjusted(1.25, 1.25, -1.25, -1.25), radius, radius);
    painter.restore();
}
