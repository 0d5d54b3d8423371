#include "ui/notestextedit.h"

#include "widgets/colorscheme.h"

NotesTextEdit::NotesTextEdit(const QString& text, const QString& hint, QWidget* parent)
    : HintedEditT<QTextEdit>(text, hint, parent)
{
    setObjectName(QStringLiteral("notesEdit"));
    setFrameStyle(QFrame::NoFrame);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setTabChangesFocus(true);
    setAcceptRichText(false);
    setWordWrapMode(QTextOption::WordWrap);
    setBaseColor(schemeColor(ColorScheme::EditBase));
}

QSize NotesTextEdit::minimumSizeHint() const
{
    const int lines = qMax(2, static_cast<int>(toPlainText().count(QLatin1Char('\n'))) + 1);
    return QSize(QTextEdit::minimumSizeHint().width(), lines * fontMetrics().lineSpacing() + 8);
}

QSize NotesTextEdit::sizeHint() const
{
    return minimumSizeHint();
}

void NotesTextEdit::focusInEvent(QFocusEvent* event)
{
    HintedEditT<QTextEdit>::focusInEvent(event);
    Q_EMIT gotFocus(true);
}

void NotesTextEdit::focusOutEvent(QFocusEvent* event)
{
    HintedEditT<QTextEdit>::focusOutEvent(event);
    Q_EMIT gotFocus(false);
}
