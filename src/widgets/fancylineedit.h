#pragma once

#include <QLineEdit>

/// A line edit that selects its whole text when it gains the focus (for a mouse click: once
/// the button is released, unless the click selected text itself) and reports focus changes.
class FancyLineEdit : public QLineEdit
{
    Q_OBJECT
public:
    explicit FancyLineEdit(QWidget* parent = nullptr);
    FancyLineEdit(const QString& text, QWidget* parent = nullptr);

    void setSelectAllOnFocus(bool on) { m_selectAllOnFocus = on; }
    bool selectAllOnFocus() const { return m_selectAllOnFocus; }

Q_SIGNALS:
    /// True after the field gained the focus, false after it lost it.
    void gotFocus(bool got);

protected:
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    bool m_selectAllOnFocus = true;
    bool m_mouseFocus = false;
};
