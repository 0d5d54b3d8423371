#pragma once

#include <Qt>

class QBoxLayout;
class QDialog;
class QHBoxLayout;
class QPushButton;
class QWidget;

/// The parts of the program's dialog layout: a content area (white under a light palette), a
/// one-pixel separator and a row of buttons under it.
struct DialogFrame
{
    QWidget* content = nullptr;
    QHBoxLayout* buttons = nullptr;
};

/// A title bar with the close button only, as the program's fixed-size dialogs have. The
/// window manager adds minimise and maximise buttons unless the hints are customised.
inline Qt::WindowFlags dialogWindowFlags()
{
    return Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
        | Qt::WindowCloseButtonHint;
}

/// Gives `dialog` the program's dialog layout (margins 0, spacing 0, the content area
/// stretching) and returns its parts; the caller fills the content area's own layout and the
/// button row.
DialogFrame buildDialogFrame(QDialog* dialog);

/// Adds a push button named `name` (its text is set by the caller) to a row of buttons.
QPushButton* addDialogButton(QDialog* dialog, QHBoxLayout* buttons, const char* name, bool isDefault = false);
