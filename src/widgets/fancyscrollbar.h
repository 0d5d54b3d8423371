#pragma once

#include <QScrollBar>

/// A thin scroll bar: a rounded handle on white, no arrows, no groove.
class FancyScrollbar : public QScrollBar
{
    Q_OBJECT
public:
    FancyScrollbar(Qt::Orientation orientation, QWidget* parent = nullptr);

    QSize sizeHint() const override;
    /// The rectangle the handle is painted in.
    QRect handleRect() const;

protected:
    void paintEvent(QPaintEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
};
