#include "widgets/dialogframe.h"

#include <QDialog>
#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

QWidget* filledWidget(QWidget* parent, const QColor& colour, const char* name)
{
    auto* widget = new QWidget(parent);
    widget->setObjectName(QLatin1String(name));
    QPalette palette = widget->palette();
    palette.setColor(QPalette::Window, colour);
    widget->setPalette(palette);
    widget->setAutoFillBackground(true);
    return widget;
}

} // namespace

DialogFrame buildDialogFrame(QDialog* dialog)
{
    auto* outer = new QVBoxLayout(dialog);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->setSpacing(0);

    DialogFrame frame;
    frame.content = filledWidget(dialog, Qt::white, "dialogContent");
    QWidget* separator = filledWidget(dialog, QColor(0xbf, 0xbf, 0xbf), "separator");
    separator->setFixedHeight(1);
    frame.buttons = new QHBoxLayout;
    frame.buttons->setContentsMargins(12, 10, 12, 10);
    frame.buttons->setSpacing(6);

    outer->addWidget(frame.content, 1);
    outer->addWidget(separator);
    outer->addLayout(frame.buttons);
    return frame;
}

QPushButton* addDialogButton(QDialog* dialog, QHBoxLayout* buttons, const char* name, bool isDefault)
{
    auto* button = new QPushButton(dialog);
    button->setObjectName(QLatin1String(name));
    button->setDefault(isDefault);
    buttons->addWidget(button);
    return button;
}
