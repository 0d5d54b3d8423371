#pragma once

#include "store/todotask.h"

#include <QAccessibleWidget>
#include <QHash>
#include <QPointer>

class TaskListWidget;

/// The task list as assistive technology sees it: a list with one item per row, built or
/// not, each named by its task and holding the task's "Completed" check box. Items are made
/// when asked for, one per task, and read the task from the store whenever asked.
class TaskListAccessible : public QAccessibleWidget
{
public:
    explicit TaskListAccessible(TaskListWidget* list);

    /// Rows left the list: the items of tasks it no longer shows go, and assistive technology
    /// is told. Items of rows that only moved find their rows again when asked.
    static void rowsRemoved(TaskListWidget* list);
    /// The store changed a task: its item, if one was asked for, announces its new name.
    static void taskChanged(TaskListWidget* list, const TodoTask::Id& taskId);

    TaskListWidget* list() const;

    int childCount() const override;
    QAccessibleInterface* child(int index) const override;
    int indexOfChild(const QAccessibleInterface* child) const override;
    QAccessibleInterface* childAt(int x, int y) const override;
    QAccessibleInterface* focusChild() const override;
    QString text(QAccessible::Text t) const override;
    QAccessible::State state() const override;

protected:
    ~TaskListAccessible() override;

private:
    void _dropGoneItems();

    QPointer<TaskListWidget> m_list;
    mutable QHash<TodoTask::Id, QAccessible::Id> m_items;
};
