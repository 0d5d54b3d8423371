#include "ui/duetasksview.h"

#include "core/taskcore.h"
#include "store/taskstorage.h"
#include "ui/tasklistwidget.h"

DueTasksView::DueTasksView(DueTasks* dueTasks, DueTasks::View view, TaskListWidget* list)
    : QObject(list)
    , m_dueTasks(dueTasks)
    , m_view(view)
    , m_list(list)
{
    if (dueTasks)
        connect(dueTasks, &DueTasks::changed, this, &DueTasksView::_onChanged);
}

QList<FoundTask> DueTasksView::rows() const
{
    return m_dueTasks ? m_dueTasks->tasks(m_view) : QList<FoundTask>();
}

void DueTasksView::_onChanged()
{
    // The edited row keeps its place until its editor closes, even when its task leaves.
    if (m_list && m_list->editedRow()) {
        m_pending = true;
        return;
    }
    m_pending = false;
    Q_EMIT rowsChanged();
}

void DueTasksView::editingFinished()
{
    // Once the list is done: closing one editor may be the start of opening another.
    if (m_pending)
        QMetaObject::invokeMethod(this, &DueTasksView::_onChanged, Qt::QueuedConnection);
}

TodoTask::Id DueTasksView::createTask()
{
    const auto storage = TaskCore::instance()->storage();
    if (!storage || !m_dueTasks)
        return TodoTask::Id();
    const TodoTask::Id id = storage->createTask(FocusGroup::inboxId());
    if (!id.isNull())
        storage->setTaskDue(id, m_dueTasks->firstDay(m_view).startOfDay());
    return id;
}

bool DueTasksView::discardIfBlank(const TodoTask& task)
{
    // The due date counts for nothing: the view gave it.
    const auto storage = TaskCore::instance()->storage();
    if (!storage || !task.name().isEmpty() || !task.notes().isEmpty())
        return false;
    storage->removeTask(FocusGroup::inboxId(), task.id(), true);
    return true;
}
