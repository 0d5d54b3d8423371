#include "sheet.h"

#include <QFontMetrics>
#include <QImage>
#include <QPainter>
#include <QWidget>

Sheet::Sheet(const QString& title, int columns)
    : m_title(title)
    , m_columns(qMax(1, columns))
{
}

void Sheet::add(const QString& caption, const QPixmap& pixmap, int zoom)
{
    QPixmap shown = pixmap;
    if (zoom > 1 && !pixmap.isNull())
        shown = pixmap.scaled(pixmap.size() * zoom, Qt::IgnoreAspectRatio, Qt::FastTransformation);
    m_cells.append(Cell{caption, shown});
}

void Sheet::addWidget(const QString& caption, QWidget* widget, int zoom)
{
    add(caption, transparentGrab(widget), zoom);
}

QPixmap transparentGrab(QWidget* widget)
{
    QPixmap pixmap(widget->size());
    pixmap.fill(Qt::transparent);
    widget->render(&pixmap, QPoint(), QRegion(), QWidget::DrawChildren);
    return pixmap;
}

bool Sheet::save(const QString& path) const
{
    const int padding = 12;
    QFont font;
    font.setPixelSize(11);
    const QFontMetrics metrics(font);
    const int captionHeight = metrics.height() + 4;

    // Columns are as wide as their widest cell, rows as high as their highest.
    const int columns = qMin(m_columns, static_cast<int>(qMax<qsizetype>(1, m_cells.size())));
    const int rows = static_cast<int>((m_cells.size() + columns - 1) / columns);
    QList<int> widths(columns, 0);
    QList<int> heights(rows, 0);
    for (int i = 0; i < m_cells.size(); ++i) {
        const Cell& cell = m_cells.at(i);
        widths[i % columns] = qMax(widths.at(i % columns), qMax(cell.pixmap.width(), metrics.horizontalAdvance(cell.caption)));
        heights[i / columns] = qMax(heights.at(i / columns), cell.pixmap.height());
    }
    const int titleHeight = 28;
    int totalWidth = padding;
    for (int w : widths)
        totalWidth += w + padding;
    int totalHeight = titleHeight + padding;
    for (int h : heights)
        totalHeight += h + captionHeight + padding;
    const QSize size(qMax(totalWidth, metrics.horizontalAdvance(m_title) * 3 / 2 + 2 * padding), totalHeight);

    QImage image(size, QImage::Format_ARGB32);
    image.fill(QColor(0xDDE3EA));
    QPainter painter(&image);
    QFont titleFont = font;
    titleFont.setPixelSize(15);
    titleFont.setBold(true);
    painter.setFont(titleFont);
    painter.setPen(QColor(0x0A4776));
    painter.drawText(QRect(padding, 0, size.width(), titleHeight + 4), Qt::AlignVCenter, m_title);
    painter.setFont(font);
    int y = titleHeight + padding;
    for (int row = 0; row < rows; ++row) {
        int x = padding;
        for (int column = 0; column < columns; ++column) {
            const int i = row * columns + column;
            if (i >= m_cells.size())
                break;
            painter.setPen(QColor(0x34495E));
            painter.drawText(QRect(x, y, widths.at(column), captionHeight), Qt::AlignLeft | Qt::AlignVCenter,
                             m_cells.at(i).caption);
            painter.drawPixmap(x, y + captionHeight, m_cells.at(i).pixmap);
            x += widths.at(column) + padding;
        }
        y += heights.at(row) + captionHeight + padding;
    }
    painter.end();
    return image.save(path, "PNG");
}
