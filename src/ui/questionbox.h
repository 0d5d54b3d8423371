#pragma once

#include <QMessageBox>

#include <functional>

/// Asks the user a question in a message box; tests replace the box with a function so that
/// nothing blocks.
class QuestionBox
{
public:
    using Hook = std::function<QMessageBox::StandardButton(QWidget* parent, const QString& title, const QString& text,
                                                           QMessageBox::StandardButtons buttons,
                                                           QMessageBox::StandardButton defaultButton)>;

    static QMessageBox::StandardButton ask(QWidget* parent, const QString& title, const QString& text,
                                           QMessageBox::StandardButtons buttons,
                                           QMessageBox::StandardButton defaultButton);
    /// Replaces the message box; an empty hook restores it.
    static void setHook(Hook hook);
};
