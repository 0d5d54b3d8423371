#pragma once

#include <QLabel>

/// A one-line label that ends its text in an ellipsis when it does not fit, and then shows the
/// whole text as its tool tip. The text is cut only when painted, so labels out of sight (rows
/// of a long list) cost nothing.
class ElidedLabel : public QLabel
{
    Q_OBJECT
public:
    explicit ElidedLabel(QWidget* parent = nullptr);

    void setFullText(const QString& text) { setText(text); }
    /// The text as it shows at the label's width.
    QString shownText() const;
    bool isElided() const { return shownText() != text(); }

protected:
    void paintEvent(QPaintEvent* event) override;
    bool event(QEvent* event) override;
};
