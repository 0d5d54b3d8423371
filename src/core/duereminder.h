#pragma once

#include "store/focusgroup.h"
#include "store/todotask.h"

#include <QDate>
#include <QDateTime>
#include <QObject>
#include <QSet>
#include <QStringList>

#include <functional>
#include <memory>

class DayTimer;
class QTimer;
class TaskStorage;

/// Reminds of the tasks that are due: once a day at start and in the first minute of each new
/// day, when tasks are due today or overdue, and again on the same day only for tasks that
/// became due since (the tasks announced today are remembered). The tasks due by today count,
/// as DueRule has it (the Today view shows the same ones). Changes of the store are looked at once the store has been quiet for a while, and
/// never while the user is editing: a reminder does not interrupt the edit it may be about.
class DueReminder : public QObject
{
    Q_OBJECT
public:
    using Clock = std::function<QDateTime()>;
    /// Changes are looked at once the store has been quiet this long.
    static constexpr int DefaultQuietMs = 60000;
    /// The first look after start comes this soon (or after the quiet time when shorter).
    static constexpr int StartDelayMs = 3000;
    /// At most this many task names are listed in a reminder.
    static constexpr int ListedTasks = 3;

    /// `clock` gives the local time (the system's when empty); store changes are looked at once
    /// the store has been quiet for `quietMs`.
    explicit DueReminder(std::weak_ptr<TaskStorage> storage, Clock clock = Clock(), int quietMs = DefaultQuietMs,
                         QObject* parent = nullptr);
    ~DueReminder() override;

    /// Whether reminders are wanted now (the user's setting and a way to show them); while it
    /// says no, nothing is announced and nothing is remembered.
    void setEnabledCheck(std::function<bool()> enabled) { m_enabled = std::move(enabled); }
    /// Whether the user is in the middle of something (a task editor is open): a look is then
    /// put off until a quiet time after it.
    void setBusyCheck(std::function<bool()> busy) { m_busy = std::move(busy); }
    /// Starts watching the store and the day; the first look is StartDelayMs away.
    void start();
    /// When the look of the next day is due.
    QDateTime nextDayCheck() const;

    /// The reminder's title: "3 tasks due today, 1 overdue", "2 tasks overdue"...
    static QString titleText(int dueToday, int overdue);
    /// The reminder's text: the first names one per line, and how many more there are.
    static QString bodyText(const QStringList& names, int total);

public Q_SLOTS:
    /// Looks at the tasks now and emits `remind` for the ones that are due and not yet
    /// announced today.
    void check();

Q_SIGNALS:
    /// Tasks are due: `firstTaskId` is the first one the text lists.
    void remind(const QString& title, const QString& body, const TodoTask::Id& firstTaskId);

private:
    QDateTime _now() const;

    std::weak_ptr<TaskStorage> m_storage;
    Clock m_clock;
    std::function<bool()> m_enabled;
    std::function<bool()> m_busy;
    QTimer* m_changeTimer = nullptr;
    DayTimer* m_dayTimer = nullptr;
    QDate m_day;
    QSet<TodoTask::Id> m_announced;
};

/// The first group in the group panel's order that lists the task (the Inbox when none does).
FocusGroup::Id groupListingTask(const TaskStorage& storage, const TodoTask::Id& taskId);
