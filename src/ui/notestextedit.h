#pragma once

#include "widgets/hintededit.h"

/// The notes field of an open task row: plain text, no frame, no scroll bars; it is as high
/// as its lines (at least two), so the row grows and shrinks with the notes.
class NotesTextEdit : public HintedEditT<QTextEdit>
{
    Q_OBJECT
public:
    NotesTextEdit(const QString& text, const QString& hint, QWidget* parent = nullptr);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

Q_SIGNALS:
    void gotFocus(bool got);

protected:
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
};
