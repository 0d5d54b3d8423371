#include "widgets/colorscheme.h"

#include <QEvent>
#include <QGuiApplication>
#include <QPainter>
#include <QWidget>

namespace {

ColorScheme*& instancePointer()
{
    static ColorScheme* scheme = nullptr;
    return scheme;
}

// The roles below RowText as designed; roles that are copies of others are marked 0 and filled
// from their source.
const QRgb kLight[ColorScheme::RowText] = {
    0x1B75BB, 0xB0CCE4, 0xF2C9C8, 0xC9E2A9, 0xC6E9F3, 0xFFF2B9, 0xFFFFFF, 0xFFFFFF, 0xF6FBFF, 0xC6D0DA,
    0,        0xEAF4FE, 0xFFFFFF, 0x0A4776, 0,        0,        0,        0xF6FBFF, 0,
};

// The same roles on dark ground: the tints keep their hue and meaning, every text stays at a
// contrast ratio of at least 4.5 against each ground it is drawn on.
const QRgb kDark[ColorScheme::RowText] = {
    0x4C9BE0, 0x3C5873, 0x562B2F, 0x3E5A2C, 0x1F4B59, 0x4A3F17, 0x1B1F24, 0x1B1F24, 0x242B33, 0x37434F,
    0,        0x202833, 0x1B1F24, 0x8DB8E0, 0,        0,        0,        0x242B33, 0,
};

class SchemeFollower : public QObject
{
public:
    SchemeFollower(QWidget* widget, std::function<void()> apply)
        : QObject(widget)
        , m_apply(std::move(apply))
    {
        widget->installEventFilter(this);
        m_apply();
    }

    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (watched == parent() && ColorScheme::isPaletteChange(event))
            m_apply();
        return false;
    }

private:
    std::function<void()> m_apply;
};

} // namespace

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

bool ColorScheme::isDarkPalette(const QPalette& palette)
{
    return palette.color(QPalette::Active, QPalette::Window).lightness() < 128;
}

QPalette ColorScheme::typicalDarkPalette()
{
    QPalette palette(QColor(0x31363B), QColor(0x2A2E32));
    const QColor text(0xE6E6E6);
    for (const auto role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText, QPalette::ToolTipText})
        palette.setColor(role, text);
    palette.setColor(QPalette::Base, QColor(0x1D2023));
    palette.setColor(QPalette::AlternateBase, QColor(0x25292D));
    palette.setColor(QPalette::Highlight, QColor(0x3D7AB8));
    palette.setColor(QPalette::HighlightedText, Qt::white);
    palette.setColor(QPalette::PlaceholderText, QColor(0x8A9096));
    palette.setColor(QPalette::Link, QColor(0x5AA7F0));
    for (const auto role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText})
        palette.setColor(QPalette::Disabled, role, QColor(0x6E7378));
    return palette;
}

bool ColorScheme::isPaletteChange(const QEvent* event)
{
    return event->type() == QEvent::PaletteChange || event->type() == QEvent::ApplicationPaletteChange;
}

void ColorScheme::_update() const
{
    const QPalette palette = QGuiApplication::palette();
    if (palette.cacheKey() == m_paletteKey)
        return;
    m_paletteKey = palette.cacheKey();
    m_dark = isDarkPalette(palette);

    const QRgb* values = m_dark ? kDark : kLight;
    for (int i = 0; i < RowText; ++i)
        m_colors[i] = QColor(values[i]);
    m_colors[CompletedRow] = m_colors[OpenRow];
    m_colors[GroupRowOutline] = m_colors[Outline];
    m_colors[GroupRowDropOutline] = m_colors[Accent];
    m_colors[GroupRowHighlight] = m_colors[Highlight];
    m_colors[ToolButtonText] = m_colors[Text];

    if (m_dark) {
        m_colors[RowText] = QColor(0xE4EBF2);
        m_colors[FadedText] = QColor(0xA9B4BF);
        m_colors[EditText] = QColor(0xE4EBF2);
        m_colors[HintText] = QColor(0x95A3B1);
        m_colors[DialogBackground] = QColor(0x1B1F24);
        m_colors[DialogText] = QColor(0xE4EBF2);
        m_colors[Separator] = QColor(0x3A424B);
        m_colors[TextShadow] = QColor(0x101418);
        m_colors[ToolButtonHover] = QColor(0x323C48);
        m_colors[HighlightOutline] = QColor(0x6D8F52);
        m_colors[HintCardText] = QColor(0xA7B4C2);
        m_colors[Link] = QColor(0x74B4EE);
        return;
    }
    m_colors[RowText] = QColor(Qt::black);
    m_colors[FadedText] = QColor(Qt::darkGray);
    m_colors[EditText] = palette.color(QPalette::Active, QPalette::Text);
    m_colors[HintText] = QColor(Qt::gray);
    m_colors[DialogBackground] = QColor(Qt::white);
    m_colors[DialogText] = palette.color(QPalette::Active, QPalette::WindowText);
    m_colors[Separator] = QColor(0xBFBFBF);
    m_colors[TextShadow] = QColor(Qt::white);
    m_colors[ToolButtonHover] = QColor(Qt::white);
    m_colors[HighlightOutline] = QColor(0xA9C289);
    QColor faded = palette.color(QPalette::Active, QPalette::WindowText);
    faded.setAlphaF(0.4f);
    m_colors[HintCardText] = faded;
    m_colors[Link] = QColor(0x1B75BB);
}

QColor ColorScheme::color(Role role) const
{
    if (role < 0 || role >= RoleCount)
        return QColor();
    _update();
    return m_colors[role];
}

bool ColorScheme::isDark() const
{
    _update();
    return m_dark;
}

QColor schemeColor(ColorScheme::Role role)
{
    return ColorScheme::instance()->color(role);
}

void followScheme(QWidget* widget, std::function<void()> apply)
{
    new SchemeFollower(widget, std::move(apply));
}

void setPaletteColor(QWidget* widget, QPalette::ColorRole colorRole, const QColor& color, QPalette::ColorGroup group)
{
    QPalette palette = widget->palette();
    const bool same = group == QPalette::All
                          ? palette.color(QPalette::Active, colorRole) == color
                                && palette.color(QPalette::Inactive, colorRole) == color
                                && palette.color(QPalette::Disabled, colorRole) == color
                          : palette.color(group, colorRole) == color;
    if (same)
        return;
    palette.setColor(group, colorRole, color);
    widget->setPalette(palette);
}

void setSchemeColor(QWidget* widget, QPalette::ColorRole colorRole, ColorScheme::Role role, QPalette::ColorGroup group)
{
    followScheme(widget, [widget, colorRole, role, group] { setPaletteColor(widget, colorRole, schemeColor(role), group); });
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
