#include "ui/notestextedit.h"

#include "widgets/colorscheme.h"

#include <QAbstractTextDocumentLayout>
#include <QTextBlock>
#include <QTextLayout>

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
    setBaseColor(ColorScheme::EditBase);
    connect(document()->documentLayout(), &QAbstractTextDocumentLayout::documentSizeChanged, this,
            &NotesTextEdit::_checkLines);
}

int NotesTextEdit::shownLines() const
{
    int lines = 0;
    for (QTextBlock block = document()->begin(); block.isValid(); block = block.next()) {
        const QTextLayout* layout = block.layout();
        // A block not laid out yet counts as one line.
        lines += layout && layout->lineCount() > 0 ? layout->lineCount() : 1;
    }
    return lines;
}

void NotesTextEdit::_checkLines()
{
    const int lines = shownLines();
    if (lines == m_lines)
        return;
    m_lines = lines;
    updateGeometry();
    Q_EMIT linesChanged();
}

void NotesTextEdit::resizeEvent(QResizeEvent* event)
{
    HintedEditT<QTextEdit>::resizeEvent(event);
    _checkLines();
}

QSize NotesTextEdit::minimumSizeHint() const
{
    const int lines = qMax(2, shownLines());
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
