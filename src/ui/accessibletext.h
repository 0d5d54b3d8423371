#pragma once

#include <QCoreApplication>
#include <QDate>
#include <QDateTime>
#include <QString>

class TodoTask;

/// What screen readers say for the rows of the task list and the group panel, in the
/// interface language.
class AccessibleText
{
    Q_DECLARE_TR_FUNCTIONS(AccessibleText)
public:
    /// The due date as words: "due today", "due tomorrow", "due Friday" within a week,
    /// "overdue since <date>", otherwise "due <date>", dates in the system's short order.
    /// A completed task is never overdue. Empty without a due date.
    static QString due(const QDateTime& due, const QDate& today, bool completed = false);
    /// A task row: its name, due date, how it repeats, whether it has notes and, when
    /// `groupName` is not empty, the group it is in.
    static QString taskName(const TodoTask& task, const QDate& today, const QString& groupName = QString());
    /// The state of a task row that its name leaves out.
    static QString taskDescription(const TodoTask& task);
    /// The name of the group panel.
    static QString groupPanel();
    /// The name of the task list while it shows found tasks.
    static QString foundTasks();
    /// The name of every row's check box.
    static QString completedCheckBox();
    /// A group row: its name and its counters that are not zero, in the order of the badge
    /// (due today or overdue, due in the next three days, later or undated).
    static QString groupName(const QString& name, int dueNow, int dueSoon, int other);
    /// The row of a view (Today, Upcoming): its name and how many tasks it shows, when any.
    static QString viewName(const QString& name, int tasks);
};
