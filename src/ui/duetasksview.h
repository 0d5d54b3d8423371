#pragma once

#include "core/duetasks.h"

#include <QList>
#include <QObject>
#include <QPointer>

class TaskListWidget;

/// A view (Today, Upcoming) as a task list shows it: the list's rows follow the view's tasks,
/// except while one of them is being edited (then they follow once the editor closes), and a
/// task made in the view goes to the Inbox, due on the view's first day.
class DueTasksView : public QObject
{
    Q_OBJECT
public:
    DueTasksView(DueTasks* dueTasks, DueTasks::View view, TaskListWidget* list);

    DueTasks::View view() const { return m_view; }
    /// The rows to show now.
    QList<FoundTask> rows() const;
    /// Makes a task in the Inbox due on the view's first day; a null id when there is no store.
    TodoTask::Id createTask();
    /// The list's editor closed: the rows follow the changes made meanwhile.
    void editingFinished();
    /// A task made here and left without a name and notes goes for good; true when it went.
    static bool discardIfBlank(const TodoTask& task);

Q_SIGNALS:
    /// The rows to show changed.
    void rowsChanged();

private:
    void _onChanged();

    QPointer<DueTasks> m_dueTasks;
    DueTasks::View m_view;
    QPointer<TaskListWidget> m_list;
    bool m_pending = false;
};
