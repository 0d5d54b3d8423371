#include "store/undohistory.h"

#include "store/stepreplay.h"
#include "store/taskstorage.h"

UndoHistory::UndoHistory(TaskStorage* store, QObject* parent)
    : QObject(parent)
    , m_store(store)
{
    if (store)
        store->setUndoHistory(this);
}

UndoHistory::~UndoHistory()
{
    if (m_store)
        m_store->setUndoHistory(nullptr);
}

QString UndoHistory::undoLabel() const
{
    return m_undo.isEmpty() ? QString() : m_undo.constLast().label;
}

QString UndoHistory::redoLabel() const
{
    return m_redo.isEmpty() ? QString() : m_redo.constLast().label;
}

UndoHistory::Outcome UndoHistory::undo()
{
    return _apply(true);
}

UndoHistory::Outcome UndoHistory::redo()
{
    return _apply(false);
}

void UndoHistory::clear()
{
    if (m_undo.isEmpty() && m_redo.isEmpty())
        return;
    m_undo.clear();
    m_redo.clear();
    Q_EMIT changed();
}

void UndoHistory::_push(UndoStep step)
{
    m_undo.append(std::move(step));
    while (m_undo.size() > Limit)
        m_undo.removeFirst();
    m_redo.clear();
    Q_EMIT changed();
}

UndoHistory::Outcome UndoHistory::_apply(bool backwards)
{
    Outcome outcome;
    QList<UndoStep>& source = backwards ? m_undo : m_redo;
    if (source.isEmpty() || !m_store)
        return outcome;
    outcome.label = source.constLast().label;
    if (m_store->isStepOpen()) {
        // The open step's record would no longer match the store.
        outcome.reason = tr("Finish the current change first");
        return outcome;
    }
    UndoStep step = source.takeLast();
    QSet<TodoTask::Id> gone;
    const StepReplay::Outcome result = StepReplay::apply(*m_store, step, backwards, &gone);
    if (result == StepReplay::TasksGone) {
        outcome.reason = step.tasks.size() == 1 ? tr("The task was deleted elsewhere") : tr("The tasks were deleted elsewhere");
    } else if (result == StepReplay::GroupsGone) {
        outcome.reason = tr("The group was removed elsewhere");
    } else {
        outcome.applied = true;
        for (const TaskChange& change : std::as_const(step.tasks)) {
            if (!gone.contains(change.id) && (backwards ? change.before : change.after))
                outcome.taskIds.append(change.id);
        }
        for (const GroupChange& change : std::as_const(step.groups)) {
            if (backwards ? change.before : change.after)
                outcome.groupIds.append(change.id);
        }
        (backwards ? m_redo : m_undo).append(std::move(step));
    }
    Q_EMIT changed();
    return outcome;
}
