#include "widgets/elidedlabel.h"

#include <QEvent>

ElidedLabel::ElidedLabel(QWidget* parent)
    : QLabel(parent)
{
    setTextFormat(Qt::PlainText);
}

void ElidedLabel::setFullText(const QString& text)
{
    m_fullText = text;
    _elide();
}

void ElidedLabel::resizeEvent(QResizeEvent* event)
{
    QLabel::resizeEvent(event);
    _elide();
}

void ElidedLabel::changeEvent(QEvent* event)
{
    QLabel::changeEvent(event);
    if (event->type() == QEvent::FontChange)
        _elide();
}

void ElidedLabel::_elide()
{
    const QString shown = fontMetrics().elidedText(m_fullText, Qt::ElideRight, qMax(0, contentsRect().width()));
    setText(shown);
    setToolTip(shown == m_fullText ? QString() : m_fullText);
}
