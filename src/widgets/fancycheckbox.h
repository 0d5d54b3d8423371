#pragma once

#include <QAbstractButton>
#include <QMap>
#include <QPixmap>

/// A check box drawn entirely from pixmaps, one per state key:
/// (checked ? 2 : 0) + (pressed under the mouse ? 1 : 0).
class FancyCheckbox : public QAbstractButton
{
    Q_OBJECT
public:
    explicit FancyCheckbox(QWidget* parent = nullptr);

    void setPixmap(int key, const QPixmap& pixmap);
    QPixmap pixmap(int key) const;
    /// The key of the pixmap painted now.
    int currentKey() const;

    void setOpacity(double opacity);
    double opacity() const { return m_opacity; }

    QSize sizeHint() const override;

Q_SIGNALS:
    /// 1 when the box became checked, 0 when it became unchecked.
    void stateChanged(int state);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void checkStateSet() override;
    void nextCheckState() override;
    bool hitButton(const QPoint& pos) const override;

private:
    void _reportState();

    QMap<int, QPixmap> m_pixmaps;
    bool m_checkedState = false;
    bool m_pressed = false;
    bool m_underMouse = false;
    double m_opacity = 1.0;
};

/// The check box of a task row.
class TaskCheckbox : public FancyCheckbox
{
    Q_OBJECT
public:
    explicit TaskCheckbox(QWidget* parent = nullptr);
    /// Decodes the pictures all task check boxes share, ahead of the first one.
    static void preparePictures();
};
