#pragma once

class QLabel;
class QWidget;

/// What screen readers are told where the toolkit's defaults say too little: the main window is
/// a window, not a dialog, and the tray icon's balloons are notifications named by what they
/// say. Installs itself once; later calls do nothing.
void installAccessibility();

/// Names a field by the text of its label, without the label's markup.
void nameByLabel(QWidget* field, const QLabel* label);
