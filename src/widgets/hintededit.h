#pragma once

#include "widgets/colorscheme.h"

#include <QFocusEvent>
#include <QLineEdit>
#include <QPalette>
#include <QTextEdit>

namespace hinted {

inline QString textOf(const QLineEdit* edit)
{
    return edit->text();
}

inline void setTextOf(QLineEdit* edit, const QString& text)
{
    edit->setText(text);
}

inline QString textOf(const QTextEdit* edit)
{
    return edit->toPlainText();
}

inline void setTextOf(QTextEdit* edit, const QString& text)
{
    edit->setPlainText(text);
}

} // namespace hinted

/// An edit field that shows a grey hint while it is empty and has no focus. The hint is the
/// field's placeholder, never its text, and its accessible name: a screen reader says "Notes"
/// for an empty notes field and reads no text from it.
template <class T>
class HintedEditT : public T
{
public:
    HintedEditT(const QString& text, const QString& hint, QWidget* parent = nullptr)
        : T(parent)
        , m_hintText(hint)
    {
        T::setAccessibleName(hint);
        _takeColors();
        if (!text.isEmpty())
            hinted::setTextOf(this, text);
        showHint();
    }

    /// The text the user typed: empty while the hint shows.
    QString userText() const { return m_hintShown ? QString() : hinted::textOf(this); }
    bool isHintShown() const { return m_hintShown; }
    QString hintText() const { return m_hintText; }
    /// Changes the hint; a hint on show now is replaced at once.
    void setHintText(const QString& hint)
    {
        m_hintText = hint;
        T::setAccessibleName(hint);
        if (m_hintShown)
            T::setPlaceholderText(hint);
    }
    /// The text put into the field in place of the hint when it gains the focus.
    void setSavedText(const QString& text) { m_savedText = text; }
    QString savedText() const { return m_savedText; }

    void setBaseColor(const QColor& color)
    {
        m_baseColor = color;
        m_baseRole = -1;
        _takeColors();
    }

    /// The base from the colour scheme, following it when the palette changes.
    void setBaseColor(ColorScheme::Role role)
    {
        m_baseRole = role;
        _takeColors();
    }

    /// Leaves the hint state for good: whatever the field holds now is the user's text.
    void leaveHintState()
    {
        m_hintShown = false;
        m_hadText = false;
        T::setPlaceholderText(QString());
    }

    void showHint()
    {
        if (m_hintShown || m_hintText.isEmpty())
            return;
        if (!hinted::textOf(this).isEmpty() && !m_hadText)
            return;
        m_hintShown = true;
        m_hadText = false;
        hinted::setTextOf(this, QString());
        T::setPlaceholderText(m_hintText);
    }

    void hideHint()
    {
        if (!m_hintShown)
            return;
        m_hintShown = false;
        T::setPlaceholderText(QString());
        hinted::setTextOf(this, m_savedText);
        m_hadText = !m_savedText.isEmpty();
    }

protected:
    void focusInEvent(QFocusEvent* event) override
    {
        hideHint();
        T::focusInEvent(event);
    }

    void focusOutEvent(QFocusEvent* event) override
    {
        showHint();
        T::focusOutEvent(event);
    }

    void changeEvent(QEvent* event) override
    {
        T::changeEvent(event);
        if (ColorScheme::isPaletteChange(event))
            _takeColors();
    }

private:
    // The palette keeps only the roles set here; the rest follows the widget's parents.
    void _takeColors()
    {
        QPalette wanted = T::palette();
        const QColor text = schemeColor(ColorScheme::EditText);
        wanted.setColor(QPalette::Active, QPalette::Text, text);
        wanted.setColor(QPalette::Inactive, QPalette::Text, text);
        wanted.setColor(QPalette::PlaceholderText, schemeColor(ColorScheme::HintText));
        const QColor base = m_baseRole >= 0 ? schemeColor(ColorScheme::Role(m_baseRole)) : m_baseColor;
        if (base.isValid())
            wanted.setColor(QPalette::Base, base);
        // A new palette comes back here as a palette change: only when it differs.
        if (T::palette() != wanted)
            T::setPalette(wanted);
    }

    bool m_hintShown = false;
    bool m_hadText = false;
    QString m_hintText;
    QString m_savedText;
    QColor m_baseColor;
    int m_baseRole = -1;
};
