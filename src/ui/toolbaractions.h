#pragma once

class QAction;

// The four commands of the toolbar, shared by the whole process: parentless actions made on
// first use and deleted by destroyToolbarActions().
QAction* newTaskAction();
QAction* editTaskAction();
QAction* cleanupAction();
QAction* toggleViewAction();
/// Puts the initial texts back, in the current interface language.
void retranslateActions();
void destroyToolbarActions();
