#pragma once

#include "store/undostep.h"

#include <QList>
#include <QObject>
#include <QPointer>

class TaskStorage;

/// The user's steps of this session, for undo and redo. The store hands it each finished step
/// (`TaskStorage::beginStep`); undo and redo change the store like any of its operations, with
/// its signals, and are not steps themselves.
class UndoHistory : public QObject
{
    Q_OBJECT
public:
    /// How many steps are kept; the oldest go first.
    static constexpr int Limit = 100;
    /// ...and at most about this many entries of group lists (16 bytes each), the latest step
    /// always kept.
    static constexpr qsizetype DefaultEntryLimit = 4000000;

    /// What an undo or redo did, for the window: the tasks and groups the step touched that
    /// exist now (to select and show), or why nothing changed.
    struct Outcome
    {
        bool applied = false;
        QString label;
        /// Empty when applied; otherwise a short sentence for the status line.
        QString reason;
        QList<TodoTask::Id> taskIds;
        QList<FocusGroup::Id> groupIds;
        /// A group was made, removed, renamed, given another icon or moved (not only its list).
        bool groupsChanged = false;
    };

    /// Records the steps of `store` from now on. The history and the store may go in either order.
    explicit UndoHistory(TaskStorage* store, QObject* parent = nullptr);
    ~UndoHistory() override;

    bool canUndo() const { return !m_undo.isEmpty(); }
    bool canRedo() const { return !m_redo.isEmpty(); }
    /// The label of the step undo() or redo() would apply; empty when there is none.
    QString undoLabel() const;
    QString redoLabel() const;

    /// Puts the latest step back. A step whose tasks were all deleted elsewhere meanwhile
    /// changes nothing and leaves the history, with the reason in the outcome.
    Outcome undo();
    /// Applies again the step undone last, as undo() does.
    Outcome redo();
    /// Forgets every step.
    void clear();
    void setEntryLimit(qsizetype entries) { m_entryLimit = entries; }

    /// For the store: a finished step, which drops the steps that could be redone.
    void _push(UndoStep step);

Q_SIGNALS:
    /// canUndo, canRedo or a label changed.
    void changed();

private:
    Outcome _apply(bool backwards);

    QPointer<TaskStorage> m_store;
    QList<UndoStep> m_undo;
    QList<UndoStep> m_redo;
    qsizetype m_entryLimit = DefaultEntryLimit;
};
