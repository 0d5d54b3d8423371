#include "ui/repeaticon.h"

#include "widgets/colorscheme.h"

#include <QIcon>
#include <QPainter>
#include <QPixmap>

QIcon repeatIcon()
{
    // Found with its @2x drawing for sharp arrows at a device pixel ratio of 2.
    const QIcon drawn(QStringLiteral(":/icons/edit_repeat"));
    if (!ColorScheme::instance()->isDark())
        return drawn;
    QIcon tinted;
    for (qreal ratio : {1.0, 2.0}) {
        QPixmap pixmap = drawn.pixmap(QSize(16, 16), ratio);
        QPainter painter(&pixmap);
        painter.setCompositionMode(QPainter::CompositionMode_SourceIn);
        painter.fillRect(QRect(QPoint(0, 0), pixmap.size()), schemeColor(ColorScheme::Text).lighter(150));
        painter.end();
        tinted.addPixmap(pixmap);
    }
    return tinted;
}
