// The task list's rows as plain records (task, selected, group) and their selection: which tasks
// the list shows in which order, and what is selected and current. Row widgets are the layout's
// business (tasklistlayout.cpp).

#include "ui/tasklistwidget.h"

#include "core/duetasks.h"
#include "store/taskstorage.h"
#include "ui/duetasksview.h"
#include "ui/tasklistaccessible.h"
#include "ui/toolbaractions.h"
#include "ui/userstep.h"

#include <QAction>
#include <QSet>

#include <algorithm>

// Records

TaskWidget* TaskListWidget::row(int index) const
{
    if (index < 0 || index >= m_records.size())
        return nullptr;
    return m_live.value(m_records.at(index).id);
}

TodoTask::Id TaskListWidget::taskIdAt(int index) const
{
    return index >= 0 && index < m_records.size() ? m_records.at(index).id : TodoTask::Id();
}

QString TaskListWidget::groupNameAt(int index) const
{
    if (!m_showingFound || index < 0 || index >= m_records.size())
        return QString();
    return m_groupNames.value(m_records.at(index).group);
}

void TaskListWidget::setRowCompleted(int index, bool done)
{
    if (index < 0 || index >= m_records.size())
        return;
    const TodoTask::Id id = m_records.at(index).id;
    UserStep step(done ? tr("Complete") : tr("Reopen"));
    if (TaskWidget* widget = m_live.value(id)) {
        widget->setCompleted(done);
    } else if (const auto storage = _store()) {
        TodoTask task = storage->task(id);
        task.setCompleted(done);
    }
}

bool TaskListWidget::isRowSelected(int index) const
{
    return index >= 0 && index < m_records.size() && m_records.at(index).selected;
}

int TaskListWidget::_indexOf(const TodoTask::Id& taskId) const
{
    for (int i = 0; i < m_records.size(); ++i) {
        if (m_records.at(i).id == taskId)
            return i;
    }
    return -1;
}

void TaskListWidget::_replaceRecords(const QList<FoundTask>& rows)
{
    // Rows that stay keep their selection and their widgets; an open editor stays open.
    const QList<TodoTask::Id> selectedIds = selectedTaskIds();
    const QSet<TodoTask::Id> selected(selectedIds.cbegin(), selectedIds.cend());
    const TodoTask::Id currentId = taskIdAt(m_current);
    const TodoTask::Id editedId = m_editedRow ? m_editedRow->taskId() : TodoTask::Id();
    QHash<TodoTask::Id, FocusGroup::Id> groupOf;
    groupOf.reserve(rows.size());
    for (const FoundTask& row : rows)
        groupOf.insert(row.taskId, row.groupId);
    const QList<TaskWidget*> live = m_live.values();
    for (TaskWidget* widget : live) {
        if (!groupOf.contains(widget->taskId()))
            _dropWidget(widget);
        else if (m_showingFound)
            widget->setGroupName(m_groupNames.value(groupOf.value(widget->taskId())));
    }
    m_records.clear();
    m_records.reserve(rows.size());
    m_selectedCount = 0;
    for (const FoundTask& row : rows) {
        const bool isSelected = selected.contains(row.taskId);
        m_records.append(RowRecord{row.taskId, isSelected, row.groupId});
        m_selectedCount += isSelected ? 1 : 0;
    }
    m_current = currentId.isNull() ? -1 : _indexOf(currentId);
    m_editedIndex = m_editedRow ? _indexOf(editedId) : -1;
    TaskListAccessible::rowsRemoved(this);
    _layoutRows();
    _selectionChanged();
}

QList<TodoTask::Id> TaskListWidget::selectedTaskIds() const
{
    QList<TodoTask::Id> ids;
    for (int index : selectedIndexes())
        ids.append(m_records.at(index).id);
    return ids;
}

void TaskListWidget::selectTasks(const QList<TodoTask::Id>& taskIds, const TodoTask::Id& current)
{
    const QSet<TodoTask::Id> wanted(taskIds.cbegin(), taskIds.cend());
    for (int i = 0; i < m_records.size(); ++i)
        _setRowSelected(i, wanted.contains(m_records.at(i).id));
    m_current = current.isNull() ? -1 : _indexOf(current);
    _selectionChanged();
    if (m_current >= 0)
        ensureIndexVisible(m_current);
}

void TaskListWidget::showTasks(const QList<TodoTask::Id>& taskIds)
{
    // The rows of a change just made, not those of the store's queued signals.
    if (m_view && _dueTasks())
        _dueTasks()->refresh();
    else if (!m_showingFound)
        _resync();
    const auto shown = std::find_if(taskIds.cbegin(), taskIds.cend(), [this](const TodoTask::Id& id) { return _indexOf(id) >= 0; });
    selectTasks(taskIds, shown == taskIds.cend() ? TodoTask::Id() : *shown);
}

void TaskListWidget::_appendRecord(const TodoTask::Id& taskId)
{
    if (taskId.isNull())
        return;
    // A view's new task is in the Inbox.
    m_records.append(RowRecord{taskId, false, m_view ? FocusGroup::inboxId() : m_groupId});
    _layoutRows();
}

void TaskListWidget::_removeTasks(const QSet<TodoTask::Id>& taskIds)
{
    if (taskIds.isEmpty())
        return;
    const TodoTask::Id currentId = taskIdAt(m_current);
    const TodoTask::Id editedId = m_editedRow ? m_editedRow->taskId() : TodoTask::Id();
    QList<RowRecord> kept;
    kept.reserve(m_records.size());
    m_selectedCount = 0;
    for (const RowRecord& record : std::as_const(m_records)) {
        if (taskIds.contains(record.id))
            continue;
        kept.append(record);
        m_selectedCount += record.selected ? 1 : 0;
    }
    m_records = kept;
    for (const TodoTask::Id& id : taskIds) {
        if (TaskWidget* widget = m_live.value(id))
            _dropWidget(widget);
    }
    m_current = currentId.isNull() ? -1 : _indexOf(currentId);
    m_editedIndex = m_editedRow ? _indexOf(editedId) : -1;
    TaskListAccessible::rowsRemoved(this);
    _layoutRows();
}

// Selection

QList<int> TaskListWidget::selectedIndexes() const
{
    QList<int> indexes;
    if (m_selectedCount == 0)
        return indexes;
    for (int i = 0; i < m_records.size(); ++i) {
        if (m_records.at(i).selected)
            indexes.append(i);
    }
    return indexes;
}

void TaskListWidget::_setRowSelected(int index, bool selected)
{
    RowRecord& record = m_records[index];
    if (record.selected == selected)
        return;
    record.selected = selected;
    m_selectedCount += selected ? 1 : -1;
    m_accessibleEvents.noteSelected(index, selected);
    if (TaskWidget* widget = m_live.value(record.id))
        widget->setSelected(selected);
}

void TaskListWidget::_updateFocusMark()
{
    const TodoTask::Id marked = hasFocus() && !m_editedRow ? taskIdAt(m_current) : TodoTask::Id();
    for (TaskWidget* widget : std::as_const(m_live))
        widget->setFocusMarked(!marked.isNull() && widget->taskId() == marked);
}

void TaskListWidget::focusInEvent(QFocusEvent* event)
{
    QScrollArea::focusInEvent(event);
    _updateFocusMark();
    m_accessibleEvents.focusIn();
}

void TaskListWidget::focusOutEvent(QFocusEvent* event)
{
    QScrollArea::focusOutEvent(event);
    _updateFocusMark();
    m_accessibleEvents.forgetFocus();
}

void TaskListWidget::_selectionChanged()
{
    _updateFocusMark();
    editTaskAction()->setEnabled(m_current >= 0);
    m_accessibleEvents.flush();
}

void TaskListWidget::select(int index)
{
    if (index < 0 || index >= m_records.size())
        return;
    m_current = index;
    _setRowSelected(index, true);
    _selectionChanged();
}

void TaskListWidget::clearSelection()
{
    if (m_selectedCount > 0) {
        for (int i = 0; i < m_records.size(); ++i)
            _setRowSelected(i, false);
    }
    m_current = -1;
    _selectionChanged();
}
