#include "ui/statusnote.h"

#include "widgets/accessiblenotifier.h"
#include "widgets/colorscheme.h"

#include <QAccessibleEvent>
#include <QPainter>
#include <QTimer>

StatusNote::StatusNote(QWidget* parent, int shownMs)
    : QLabel(parent)
    , m_timer(new QTimer(this))
{
    setObjectName(QStringLiteral("statusNote"));
    setWordWrap(true);
    setContentsMargins(8, 3, 8, 3);
    m_timer->setSingleShot(true);
    m_timer->setInterval(shownMs);
    connect(m_timer, &QTimer::timeout, this, &QWidget::hide);
    hide();
}

void StatusNote::showNote(const QString& text)
{
    _takeColours();
    setText(text);
    setAccessibleName(text);
    show();
    m_timer->start();
    if (AccessibleNotifier::isListening()) {
        QAccessibleEvent event(this, QAccessible::Alert);
        AccessibleNotifier::notify(&event);
    }
}

void StatusNote::changeEvent(QEvent* event)
{
    QLabel::changeEvent(event);
    if (ColorScheme::isPaletteChange(event))
        _takeColours();
}

void StatusNote::paintEvent(QPaintEvent* event)
{
    {
        QPainter painter(this);
        painter.fillRect(rect(), schemeColor(ColorScheme::Panel));
    }
    QLabel::paintEvent(event);
}

void StatusNote::_takeColours()
{
    QPalette colours = palette();
    colours.setColor(QPalette::WindowText, schemeColor(ColorScheme::Text));
    if (colours != palette()) {
        QSignalBlocker blocker(this);
        setPalette(colours);
    }
}
