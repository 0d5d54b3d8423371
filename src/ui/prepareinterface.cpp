#include "ui/prepareinterface.h"

#include "widgets/fancycheckbox.h"

#include <QApplication>
#include <QFont>
#include <QFontMetrics>

void prepareInterface()
{
    // Shaping a line loads the font configuration and the font files; the sample holds the
    // scripts of the three interface languages.
    const QString sample = QStringLiteral("Inbox Tarefas \u00e7\u00e3 \u0417\u0430\u0434\u0430\u0447\u0438 0123");
    QFont font = QApplication::font();
    QFontMetrics(font).horizontalAdvance(sample);
    font.setBold(true);
    QFontMetrics(font).horizontalAdvance(sample);
    TaskCheckbox::preparePictures();
}
