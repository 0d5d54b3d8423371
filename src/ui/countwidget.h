#pragma once

#include <QColor>
#include <QList>
#include <QWidget>

/// A pill of coloured segments, one per counter above zero, each showing its count.
class CountWidget : public QWidget
{
    Q_OBJECT
public:
    explicit CountWidget(int counters, QWidget* parent = nullptr);

    int counterCount() const { return static_cast<int>(m_counters.size()); }
    void setColor(int index, const QColor& color);
    void setTextColor(int index, const QColor& color);
    void setCount(int index, int count);
    int count(int index) const;
    /// Indexes of the counters shown, in order.
    QList<int> visibleCounters() const { return m_visible; }
    /// The rectangle of each shown segment, in order.
    QList<QRect> segmentRects() const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    struct Counter
    {
        int count = 0;
        QColor color;
        QColor textColor;
    };
    struct Margins
    {
        int left;
        int right;
    };
    Margins _margins(int position) const;

    QList<Counter> m_counters;
    QList<int> m_visible;
};
