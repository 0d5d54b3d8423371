#pragma once

#include <QLabel>

/// A one-line label that ends its text in an ellipsis when it does not fit, and then shows the
/// whole text as its tool tip.
class ElidedLabel : public QLabel
{
    Q_OBJECT
public:
    explicit ElidedLabel(QWidget* parent = nullptr);

    void setFullText(const QString& text);
    const QString& fullText() const { return m_fullText; }

protected:
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void _elide();

    QString m_fullText;
};
