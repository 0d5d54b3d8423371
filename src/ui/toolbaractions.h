#pragma once

#include <QString>

class QAction;

// The commands of the toolbar, shared by the whole process: parentless actions made on
// first use and deleted by destroyToolbarActions().
QAction* newTaskAction();
QAction* editTaskAction();
QAction* cleanupAction();
QAction* toggleViewAction();
QAction* findTasksAction();
/// The program menu's commands of the window: a sync pass now, tasks from an iCalendar file.
QAction* syncNowAction();
QAction* importCalendarAction();
/// Undo and redo of the user's latest steps; setUndoTexts names the steps they would apply
/// ("Undo Delete"; empty: none).
QAction* undoAction();
QAction* redoAction();
void setUndoTexts(const QString& undoLabel, const QString& redoLabel);
/// Puts the initial texts back, in the current interface language.
void retranslateActions();
/// "text (Ctrl+N, Insert)": a tool tip that names the action's shortcuts.
QString withShortcuts(const QString& text, const QAction* action);
void destroyToolbarActions();
