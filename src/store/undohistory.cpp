#include "store/undohistory.h"

#include "store/stepreplay.h"
#include "store/taskstorage.h"

#include <algorithm>

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

namespace {

// Joins `next` into `last` when each task and group they share is where `last` left it.
bool join(UndoStep& last, const UndoStep& next)
{
    if (next.mergeKey.isEmpty() || next.mergeKey != last.mergeKey)
        return false;
    const auto taskAt = [&last](const TodoTask::Id& id) {
        return std::find_if(last.tasks.begin(), last.tasks.end(), [&id](const TaskChange& c) { return c.id == id; });
    };
    const auto groupAt = [&last](const FocusGroup::Id& id) {
        return std::find_if(last.groups.begin(), last.groups.end(), [&id](const GroupChange& c) { return c.id == id; });
    };
    for (const TaskChange& change : next.tasks) {
        const auto it = taskAt(change.id);
        if (it != last.tasks.end() && (it->after != change.before || it->listedAfter != change.listedBefore))
            return false;
    }
    for (const GroupChange& change : next.groups) {
        const auto it = groupAt(change.id);
        if (it != last.groups.end() && it->after != change.before)
            return false;
    }
    for (const TaskChange& change : next.tasks) {
        const auto it = taskAt(change.id);
        if (it == last.tasks.end()) {
            last.tasks.append(change);
        } else {
            it->after = change.after;
            it->listedAfter = change.listedAfter;
        }
    }
    for (const GroupChange& change : next.groups) {
        const auto it = groupAt(change.id);
        if (it == last.groups.end())
            last.groups.append(change);
        else
            it->after = change.after;
    }
    return true;
}

// A step that left everything as it found it (a new task left empty and dropped, a text typed
// and erased).
bool changesNothing(const UndoStep& step)
{
    return std::all_of(step.tasks.cbegin(), step.tasks.cend(),
                       [](const TaskChange& c) {
                           // A record no group lists before or after is out of sight either way.
                           return (c.before == c.after && c.listedBefore == c.listedAfter) || (!c.listedBefore && !c.listedAfter);
                       })
        && std::all_of(step.groups.cbegin(), step.groups.cend(),
                       [](const GroupChange& c) { return c.before == c.after; });
}

// How many list entries a step keeps: its share of the history's memory.
qsizetype listEntries(const UndoStep& step)
{
    qsizetype entries = 0;
    for (const GroupChange& change : step.groups)
        entries += (change.before ? change.before->taskIds.size() : 0) + (change.after ? change.after->taskIds.size() : 0);
    return entries;
}

} // namespace

void UndoHistory::_push(UndoStep step)
{
    if (m_redo.isEmpty() && !m_undo.isEmpty() && join(m_undo.last(), step)) {
        if (changesNothing(m_undo.constLast())) {
            m_undo.removeLast();
            Q_EMIT changed();
        }
        return;
    }
    m_undo.append(std::move(step));
    while (m_undo.size() > Limit)
        m_undo.removeFirst();
    // Steps over huge groups keep whole lists: the oldest go first beyond the entry limit.
    qsizetype entries = 0;
    for (const UndoStep& kept : std::as_const(m_undo))
        entries += listEntries(kept);
    while (m_undo.size() > 1 && entries > m_entryLimit)
        entries -= listEntries(m_undo.takeFirst());
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
            if (!change.before || !change.after || change.before->name != change.after->name
                || change.before->iconKey != change.after->iconKey || change.before->place != change.after->place)
                outcome.groupsChanged = true;
        }
        (backwards ? m_redo : m_undo).append(std::move(step));
    }
    Q_EMIT changed();
    return outcome;
}
