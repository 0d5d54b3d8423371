#include "ui/writefailurebar.h"

#include "base/identity.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>

WriteFailureBar::WriteFailureBar(QWidget* parent)
    : QFrame(parent)
    , m_label(new QLabel(this))
{
    setObjectName(QStringLiteral("writeFailureBar"));
    m_label->setObjectName(QStringLiteral("writeFailureText"));
    m_label->setWordWrap(true);
    m_label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(8, 6, 8, 6);
    layout->addWidget(m_label);
    setAutoFillBackground(true);
    setAccessibleName(tr("Changes are not saved"));
    hide();
}

void WriteFailureBar::setReason(const QString& reason)
{
    m_reason = reason;
    _update();
    setVisible(!reason.isEmpty());
}

QString WriteFailureBar::text() const
{
    return m_label->text();
}

void WriteFailureBar::changeEvent(QEvent* event)
{
    QFrame::changeEvent(event);
    if (event->type() == QEvent::LanguageChange || event->type() == QEvent::PaletteChange)
        _update();
}

void WriteFailureBar::_update()
{
    m_label->setText(tr("Your changes cannot be saved to the disk: %1. %2 keeps trying; quitting now keeps a rescue copy of your tasks.")
                         .arg(m_reason, productName()));
    setAccessibleDescription(m_label->text());
    // An amber warning, dark on light or light on dark as the window is.
    const bool dark = palette().color(QPalette::Window).lightness() < 128;
    QPalette colours = palette();
    colours.setColor(QPalette::Window, dark ? QColor(0x4d, 0x38, 0x00) : QColor(0xff, 0xf0, 0xc2));
    colours.setColor(QPalette::WindowText, dark ? QColor(0xff, 0xe8, 0xa3) : QColor(0x4a, 0x30, 0x00));
    if (colours != palette()) {
        QSignalBlocker blocker(this);
        setPalette(colours);
    }
}
