#pragma once

#include <QPointer>
#include <QWidget>

/// The one-pixel handle between the panes of a FancySplitter.
class FancySplitterHandle : public QWidget
{
    Q_OBJECT
public:
    FancySplitterHandle(Qt::Orientation orientation, QWidget* parent = nullptr);

protected:
    void paintEvent(QPaintEvent* event) override;
};

/// A side-by-side two-pane container with a one-pixel draggable handle. The first pane is
/// `firstWidth()` wide (0 hides it), the second takes the rest.
class FancySplitter : public QWidget
{
    Q_OBJECT
public:
    explicit FancySplitter(Qt::Orientation orientation, QWidget* parent = nullptr);

    /// Fills the first empty pane; further widgets are ignored.
    void addWidget(QWidget* widget);
    QWidget* firstWidget() const { return m_first; }
    QWidget* secondWidget() const { return m_second; }
    FancySplitterHandle* handle() const { return m_handle; }

    int handleWidth() const { return m_handleWidth; }
    int firstWidth() const { return m_firstWidth; }
    void setFirstWidth(int width);

protected:
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    void _layout();

    Qt::Orientation m_orientation;
    int m_firstWidth = 0;
    const int m_handleWidth = 1;
    bool m_dragging = false;
    QPointer<QWidget> m_first;
    QPointer<QWidget> m_second;
    QPointer<FancySplitterHandle> m_handle;
};
