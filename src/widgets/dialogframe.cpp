#include "widgets/dialogframe.h"

#include "widgets/colorscheme.h"

#include <QDialog>
#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

QWidget* filledWidget(QWidget* parent, ColorScheme::Role colour, const char* name)
{
    auto* widget = new QWidget(parent);
    widget->setObjectName(QLatin1String(name));
    setSchemeColor(widget, QPalette::Window, colour);
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
    frame.content = filledWidget(dialog, ColorScheme::DialogBackground, "dialogContent");
    // The labels on the content keep to its ground whatever the system's window text.
    setSchemeColor(frame.content, QPalette::WindowText, ColorScheme::DialogText);
    QWidget* separator = filledWidget(dialog, ColorScheme::Separator, "separator");
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
