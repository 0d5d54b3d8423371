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

/// An edit field that shows a grey hint while it is empty and has no focus. The hint is real
/// text in the widget, so readers use `userText()`, which is empty while the hint shows.
template <class T>
class HintedEditT : public T
{
public:
    HintedEditT(const QString& text, const QString& hint, QWidget* parent = nullptr)
        : T(parent)
        , m_hintText(hint)
    {
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
        if (m_hintShown)
            hinted::setTextOf(this, hint);
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
        T::setPalette(m_normalPalette);
    }

    void showHint()
    {
        if (m_hintShown || m_hintText.isEmpty())
            return;
        if (!hinted::textOf(this).isEmpty() && !m_hadText)
            return;
        m_hintShown = true;
        m_hadText = false;
        T::setPalette(m_hintPalette);
        hinted::setTextOf(this, m_hintText);
    }

    void hideHint()
    {
        if (!m_hintShown)
            return;
        m_hintShown = false;
        T::setPalette(m_normalPalette);
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
    // Both palettes keep only the roles set here; the rest follows the widget's parents.
    void _takeColors()
    {
        m_normalPalette = T::palette();
        const QColor text = schemeColor(ColorScheme::EditText);
        m_normalPalette.setColor(QPalette::Active, QPalette::Text, text);
        m_normalPalette.setColor(QPalette::Inactive, QPalette::Text, text);
        const QColor base = m_baseRole >= 0 ? schemeColor(ColorScheme::Role(m_baseRole)) : m_baseColor;
        if (base.isValid())
            m_normalPalette.setColor(QPalette::Base, base);
        m_hintPalette = m_normalPalette;
        m_hintPalette.setColor(QPalette::Text, schemeColor(ColorScheme::HintText));
        const QPalette& wanted = m_hintShown ? m_hintPalette : m_normalPalette;
        // A new palette comes back here as a palette change: only when it differs.
        if (T::palette() != wanted)
            T::setPalette(wanted);
    }

    QPalette m_normalPalette;
    QPalette m_hintPalette;
    bool m_hintShown = false;
    bool m_hadText = false;
    QString m_hintText;
    QString m_savedText;
    QColor m_baseColor;
    int m_baseRole = -1;
};
