#include "widgets/fancylineedit.h"

#include <QFocusEvent>

FancyLineEdit::FancyLineEdit(QWidget* parent)
    : QLineEdit(parent)
{
}

FancyLineEdit::FancyLineEdit(const QString& text, QWidget* parent)
    : QLineEdit(text, parent)
{
}

void FancyLineEdit::focusInEvent(QFocusEvent* event)
{
    QLineEdit::focusInEvent(event);
    if (m_selectAllOnFocus)
        selectAll();
    if (event->reason() == Qt::MouseFocusReason)
        m_mouseFocus = true;
    Q_EMIT gotFocus(true);
}

void FancyLineEdit::focusOutEvent(QFocusEvent* event)
{
    QLineEdit::focusOutEvent(event);
    Q_EMIT gotFocus(false);
}

void FancyLineEdit::mouseReleaseEvent(QMouseEvent* event)
{
    QLineEdit::mouseReleaseEvent(event);
    // Only the click that brought the focus selects everything; a drag keeps its own selection.
    if (m_selectAllOnFocus && m_mouseFocus && !hasSelectedText())
        selectAll();
    m_mouseFocus = false;
}
