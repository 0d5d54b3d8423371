// The task list's editing: opening and closing a row's editor, new tasks, deleting and cleaning
// up.

#include "ui/tasklistwidget.h"

#include "store/taskstorage.h"
#include "ui/duetasksview.h"
#include "ui/userstep.h"

#include <QHash>
#include <QUuid>

#include <utility>

void TaskListWidget::setEditing(int index)
{
    if (index != -1 && (index < 0 || index >= m_records.size()))
        return;
    const TodoTask::Id taskId = taskIdAt(index);
    if (m_editedRow && m_editedRow->taskId() == taskId)
        return;
    if (m_editedRow)
        finishEditing(m_editedRow, false);
    if (taskId.isNull())
        return;
    // Closing the other editor may have dropped an empty new row above this one.
    index = _indexOf(taskId);
    if (index < 0)
        return;
    clearSelection();
    select(index);
    m_editKey = m_pendingEditKey.isEmpty() ? QUuid::createUuid().toString() : std::exchange(m_pendingEditKey, QString());
    TaskWidget* widget = _widgetFor(index);
    m_editedRow = widget;
    m_editedIndex = index;
    _updateFocusMark();
    widget->setEditMode(true);
    ensureIndexVisible(index);
}

void TaskListWidget::finishEditing(TaskWidget* row, bool byReturn)
{
    Q_UNUSED(row);
    if (!m_editedRow)
        return;
    TaskWidget* open = m_editedRow;
    open->setEditMode(false);
    m_editedRow = nullptr;
    m_editedIndex = -1;
    m_returnConsumed = byReturn;
    if (open->createdByNew()) {
        open->setCreatedByNew(false);
        UserStep step(tr("New task"), m_editKey);
        if (m_view ? DueTasksView::discardIfBlank(open->task()) : open->task().isEmpty()) {
            // Created by New and left empty: gone for good, without a trip through Trash.
            const TodoTask::Id taskId = open->taskId();
            _removeTasks({taskId});
            if (!m_view)
                m_group.removeTask(taskId, true);
            // No row is current any more: Return and Edit must not open another one.
            clearSelection();
        }
        updateHint();
    }
    _layoutRows();
    setFocus();
    _updateFocusMark();
    if (m_view)
        m_view->editingFinished();
}

std::shared_ptr<TaskStorage> TaskListWidget::_storeWithEditorClosed()
{
    auto storage = _store();
    if (storage && m_editedRow)
        finishEditing(m_editedRow, false);
    return storage;
}

void TaskListWidget::newTask()
{
    if (m_groupId.isNull())
        return;
    const auto storage = _storeWithEditorClosed();
    if (!storage)
        return;
    m_pendingEditKey = QUuid::createUuid().toString();
    TodoTask::Id id;
    {
        UserStep step(tr("New task"), m_pendingEditKey);
        id = m_view ? m_view->createTask() : storage->createTask(m_groupId);
    }
    if (id.isNull())
        return;
    m_group = storage->group(m_groupId);
    updateHint();
    _appendRecord(id);
    setEditing(static_cast<int>(m_records.size()) - 1);
    if (m_editedRow && m_editedRow->taskId() == id)
        m_editedRow->setCreatedByNew(true);
}

void TaskListWidget::editSelected()
{
    if (m_current >= 0 && m_current < m_records.size())
        setEditing(m_current);
}

void TaskListWidget::cleanup()
{
    if (m_records.isEmpty() || m_showingFound)
        return;
    const auto storage = _storeWithEditorClosed();
    if (!storage)
        return;
    UserStep step(tr("Cleanup"));
    // Completed tasks reach Completed in the order they had here; empty ones go to Trash.
    QList<TodoTask::Id> done;
    QList<TodoTask::Id> empty;
    for (const RowRecord& record : std::as_const(m_records)) {
        const TodoTask task = storage->task(record.id);
        if (task.completed())
            done.append(record.id);
        else if (task.isEmpty())
            empty.append(record.id);
    }
    if (!done.isEmpty())
        m_group.moveTasksTo(done, FocusGroup::completedId());
    if (!empty.isEmpty())
        m_group.removeTasks(empty, false);
    QSet<TodoTask::Id> gone(done.cbegin(), done.cend());
    for (const TodoTask::Id& id : std::as_const(empty))
        gone.insert(id);
    _removeTasks(gone);
    _selectionChanged();
    updateHint();
}

void TaskListWidget::deleteSelected()
{
    // Each task leaves the group its row stands for: found tasks their own groups.
    QList<TodoTask::Id> ids;
    QHash<FocusGroup::Id, QList<TodoTask::Id>> byGroup;
    for (int index : selectedIndexes()) {
        const RowRecord& record = m_records.at(index);
        ids.append(record.id);
        byGroup[record.group].append(record.id);
    }
    UserStep step(tr("Delete"));
    if (!m_showingFound) {
        if (!ids.isEmpty())
            m_group.removeTasks(ids, false);
    } else if (const auto storage = _store()) {
        for (auto it = byGroup.cbegin(); it != byGroup.cend(); ++it)
            storage->removeTasks(it.key(), it.value(), false);
    }
    _removeTasks(QSet<TodoTask::Id>(ids.cbegin(), ids.cend()));
    clearSelection();
    updateHint();
}
