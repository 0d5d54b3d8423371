#pragma once

#include "widgets/hintededit.h"

/// The notes field of an open task row: plain text, no frame, no scroll bars; it is as high
/// as its lines as shown (at least two, wrapped lines counted), so the row grows and shrinks
/// with the notes.
class NotesTextEdit : public HintedEditT<QTextEdit>
{
    Q_OBJECT
public:
    NotesTextEdit(const QString& text, const QString& hint, QWidget* parent = nullptr);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

    /// The number of lines the notes take at the field's width.
    int shownLines() const;

Q_SIGNALS:
    void gotFocus(bool got);
    /// The field needs another height: its text wraps differently.
    void linesChanged();

protected:
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void _checkLines();

    int m_lines = 0;
};
