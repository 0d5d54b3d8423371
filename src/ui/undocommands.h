#pragma once

#include <QObject>

class MainWindow;
class StatusNote;
class UndoHistory;

/// Undo and redo in the window: keeps the actions' state and names with the history, applies a
/// step and shows what it touched (the group that lists the tasks, their rows selected and in
/// view), or says in the status note why it changed nothing.
class UndoCommands : public QObject
{
    Q_OBJECT
public:
    UndoCommands(MainWindow* window, StatusNote* note);

    UndoHistory* history() const { return m_history; }
    void undo();
    void redo();
    /// Enables the actions and names their steps, as the history is now.
    void updateActions();

private:
    void _apply(bool backwards);

    MainWindow* m_window;
    StatusNote* m_note;
    UndoHistory* m_history = nullptr;
};
