#include "ui/questionbox.h"

namespace {

QuestionBox::Hook& hook()
{
    static QuestionBox::Hook current;
    return current;
}

} // namespace

QMessageBox::StandardButton QuestionBox::ask(QWidget* parent, const QString& title, const QString& text,
                                             QMessageBox::StandardButtons buttons,
                                             QMessageBox::StandardButton defaultButton)
{
    if (hook())
        return hook()(parent, title, text, buttons, defaultButton);
    return QMessageBox::question(parent, title, text, buttons, defaultButton);
}

void QuestionBox::setHook(Hook newHook)
{
    hook() = std::move(newHook);
}
