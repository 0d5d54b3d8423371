#include "ui/undocommands.h"

#include "core/taskcore.h"
#include "store/taskstorage.h"
#include "store/undohistory.h"
#include "ui/focusgrouplistwidget.h"
#include "ui/mainwindow.h"
#include "ui/statusnote.h"
#include "ui/tasklistwidget.h"
#include "ui/toolbaractions.h"

#include <QAction>

#include <algorithm>

namespace {

// The group to show the tasks in: the one shown when it lists any of them (or shows them as
// found tasks), else the first group in the panel's order that does.
FocusGroup::Id groupToShow(const TaskStorage& storage, const FocusGroup::Id& shown, const QList<TodoTask::Id>& taskIds)
{
    const auto listsAny = [&storage, &taskIds](const FocusGroup::Id& groupId) {
        const FocusGroup::TaskIdList listed = storage.group(groupId).taskIds();
        return std::any_of(taskIds.cbegin(), taskIds.cend(), [&listed](const TodoTask::Id& id) { return listed.contains(id); });
    };
    if (listsAny(shown))
        return shown;
    for (const FocusGroup::Id& groupId : storage.groupIds()) {
        if (listsAny(groupId))
            return groupId;
    }
    return FocusGroup::Id();
}

} // namespace

UndoCommands::UndoCommands(MainWindow* window, StatusNote* note)
    : QObject(window)
    , m_window(window)
    , m_note(note)
{
    if (const auto storage = TaskCore::currentStorage())
        m_history = new UndoHistory(storage.get(), this);
    connect(undoAction(), &QAction::triggered, this, &UndoCommands::undo);
    connect(redoAction(), &QAction::triggered, this, &UndoCommands::redo);
    if (m_history)
        connect(m_history, &UndoHistory::changed, this, &UndoCommands::updateActions);
    updateActions();
}

void UndoCommands::undo()
{
    _apply(true);
}

void UndoCommands::redo()
{
    _apply(false);
}

void UndoCommands::_apply(bool backwards)
{
    const auto storage = TaskCore::currentStorage();
    if (!m_history || !storage)
        return;
    TaskListWidget* list = m_window->taskList();
    // The open row's edits are a step of their own, finished before another one is applied.
    if (list->editedRow())
        list->finishEditing(list->editedRow(), false);
    const UndoHistory::Outcome outcome = backwards ? m_history->undo() : m_history->redo();
    if (outcome.label.isEmpty())
        return;
    if (!outcome.applied) {
        m_note->showNote((backwards ? tr("Cannot undo %1: %2") : tr("Cannot redo %1: %2")).arg(outcome.label, outcome.reason));
        return;
    }
    m_note->showNote((backwards ? tr("Undone: %1") : tr("Redone: %1")).arg(outcome.label));
    if (outcome.groupsChanged)
        m_window->groupPanel()->rebuildUserRows();
    if (!outcome.taskIds.isEmpty()) {
        if (!list->isShowingFound()) {
            const FocusGroup::Id groupId = groupToShow(*storage, list->group(), outcome.taskIds);
            if (!groupId.isNull())
                m_window->groupPanel()->selectGroup(groupId);
        }
        list->showTasks(outcome.taskIds);
    } else {
        for (const FocusGroup::Id& groupId : outcome.groupIds) {
            if (m_window->groupPanel()->rowOf(groupId)) {
                m_window->groupPanel()->selectGroup(groupId);
                break;
            }
        }
    }
}

void UndoCommands::updateActions()
{
    undoAction()->setEnabled(m_history && m_history->canUndo());
    redoAction()->setEnabled(m_history && m_history->canRedo());
    setUndoTexts(m_history ? m_history->undoLabel() : QString(), m_history ? m_history->redoLabel() : QString());
}
