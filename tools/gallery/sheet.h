#pragma once

#include <QList>
#include <QPixmap>
#include <QString>

class QWidget;

/// The widget as it paints itself, on a transparent background (no window background).
QPixmap transparentGrab(QWidget* widget);

/// A contact sheet: captioned pictures laid out in rows, saved as one PNG.
class Sheet
{
public:
    Sheet(const QString& title, int columns);

    void add(const QString& caption, const QPixmap& pixmap, int zoom = 1);
    /// Adds a grab of the widget as it paints now.
    void addWidget(const QString& caption, QWidget* widget, int zoom = 1);
    bool save(const QString& path) const;

private:
    struct Cell
    {
        QString caption;
        QPixmap pixmap;
    };
    QString m_title;
    int m_columns;
    QList<Cell> m_cells;
};
