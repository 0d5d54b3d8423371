#pragma once

#include <QToolButton>

/// A flat tool button: a rounded white frame appears only under the mouse, and the content
/// shifts by a pixel while pressed.
class FancyToolBtn : public QToolButton
{
    Q_OBJECT
public:
    explicit FancyToolBtn(QWidget* parent = nullptr);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    QSize _iconOnlySize() const;

    bool m_pressed = false;
};
