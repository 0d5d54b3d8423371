#pragma once

#include "store/focusgroup.h"
#include "store/todotask.h"

#include <QDate>
#include <QElapsedTimer>
#include <QHash>
#include <QList>
#include <QSet>
#include <QObject>
#include <QPointer>
#include <QRecursiveMutex>

#include <functional>
#include <memory>

class QSessionManager;
class StepRecorder;
struct TaskSnapshot;
class TaskStorageCommiter;
class UndoHistory;

/// All tasks and focus groups, the one place where they change. Every operation holds the
/// store's recursive lock for its whole run, signals included, so slots may call back in.
/// Every change advances `revision()`, which the background committer watches.
class TaskStorage : public QObject
{
    Q_OBJECT
public:
    /// A change is written once the store has been quiet this long...
    static constexpr int DefaultQuietMs = 2000;
    /// ...and at the latest this long after the oldest change not yet written.
    static constexpr int DefaultCeilingMs = 20000;

    /// `quietMs` is the quiet time before a write; the ceiling is ten times that (20 s by
    /// default) unless set with setCommitCeilingMs().
    explicit TaskStorage(const QString& path, int quietMs = DefaultQuietMs, QObject* parent = nullptr);
    ~TaskStorage() override;

    /// Loads the database file (a missing file is an empty database) and, on success, starts
    /// the background committer. Returns 0 on success, 1 for a file of a newer program,
    /// other values for an unreadable file; on failure nothing is ever written.
    int init();
    /// The first half of init(): reads the file. Safe on another thread while nothing else
    /// uses the store yet.
    int load();
    /// The second half of init(), on the store's own thread, after a successful load().
    void startCommitting();
    /// Reads `filePath` without keeping it or writing anything: the load result (as init's)
    /// and the number of tasks its groups other than the Trash list.
    static int inspect(const QString& filePath, int* listedTasks);
    const QString& path() const { return m_path; }
    /// Before init(): the longest a change waits to be written.
    void setCommitCeilingMs(int ceilingMs) { m_ceilingMs = ceilingMs; }
    /// Before init(): the day the daily backups are named after and repeating tasks count
    /// from (today unless set).
    void setDayFunction(std::function<QDate()> today) { m_today = std::move(today); }

    // Reads
    FocusGroup group(const FocusGroup::Id& groupId) const;
    TodoTask task(const TodoTask::Id& taskId) const;
    /// Calls `visit` with each of the tasks (absent ones skipped), in order, under one lock and
    /// without copies: for passes over thousands of tasks. `visit` must not change the store.
    void visitTasks(const QList<TodoTask::Id>& taskIds, const std::function<void(const TodoTask&)>& visit) const;
    /// Inbox, Completed, Trash, then the user groups in display order.
    QList<FocusGroup::Id> groupIds() const;
    int revision() const;
    void snapshot(TaskSnapshot& snapshot) const;

    // Groups (no signals)
    FocusGroup::Id addGroup(const QString& name, const QString& iconKey);
    void removeGroup(const FocusGroup::Id& groupId);
    void moveGroup(int index, const FocusGroup::Id& groupId);
    void placeGroupAt(const FocusGroup::Id& targetGroupId, const FocusGroup::Id& groupId);
    void setGroupName(const FocusGroup::Id& groupId, const QString& name);
    void setGroupIcon(const FocusGroup::Id& groupId, const QString& iconKey);

    // Tasks
    void emptyTrash();
    TodoTask::Id createTask(const FocusGroup::Id& groupId);
    void setTaskName(const TodoTask::Id& taskId, const QString& name);
    void setTaskNotes(const TodoTask::Id& taskId, const QString& notes);
    void setTaskDue(const TodoTask::Id& taskId, const QDateTime& due);
    /// `rule` is an RRULE value (see RepeatRule), empty for a task that does not repeat.
    void setTaskRepeat(const TodoTask::Id& taskId, const QString& rule);
    /// Completing a task with a repeat rule it can follow also makes its next occurrence (see
    /// occurrenceCreated).
    void setTaskCompleted(const TodoTask::Id& taskId, bool completed, const QDateTime& completedAt);
    void addTaskToGroup(const FocusGroup::Id& groupId, const TodoTask::Id& taskId);
    void addTasksToGroup(const FocusGroup::Id& groupId, const QList<TodoTask::Id>& taskIds);
    void removeTask(const FocusGroup::Id& groupId, const TodoTask::Id& taskId, bool skipTrash);
    /// Removes the tasks from the group: each one no other group lists goes to the Trash
    /// (unless `skipTrash`, or the group is the Trash) in the given order. One announcement.
    void removeTasks(const FocusGroup::Id& groupId, const QList<TodoTask::Id>& taskIds, bool skipTrash);
    void moveTasks(const FocusGroup::Id& fromGroupId, const FocusGroup::Id& toGroupId,
                   const QList<TodoTask::Id>& taskIds);
    void reorderTasks(const FocusGroup::Id& groupId, const TodoTask::Id& anchorTaskId, bool before,
                      const QList<TodoTask::Id>& taskIds);

    // Changes that arrive from elsewhere (another device), each announced once.
    /// Adds the records of `tasks` with their ids and times (an id the store already holds
    /// keeps its record) and lists them in the group at `position` (-1: the end), in order.
    void insertTasks(const FocusGroup::Id& groupId, const QList<TodoTask>& tasks, int position = -1);
    /// Sets the record's name, notes, due date, completion, repeat rule and modification time
    /// to those of `task`, found by id. The creation time and the group lists stay; completing
    /// a repeating task this way makes no next occurrence (the device it was completed on did).
    void updateTask(const TodoTask& task);
    /// Puts the tasks of `taskIds` that the group lists in that order, in the places they
    /// take in the group now; tasks not named keep their places.
    void setTaskOrder(const FocusGroup::Id& groupId, const QList<TodoTask::Id>& taskIds);

    // Steps: what the user does as one action (see StoreStep), for the undo history.
    /// Opens a step named `label`: the changes until the matching endStep() are one step of
    /// the history. A step opened inside another joins it. The changes from elsewhere above
    /// are never part of a step. A step with the same non-empty `mergeKey` as the latest one
    /// joins it, unless something else changed what they share in between.
    void beginStep(const QString& label, const QString& mergeKey = QString());
    void endStep();
    bool isStepOpen() const;
    /// The history that receives the finished steps (UndoHistory sets itself); without one,
    /// nothing is recorded.
    void setUndoHistory(UndoHistory* history);

    /// The desktop asks to save before the session ends: the database is written at once on
    /// the calling thread.
    void commitDataRequest(QSessionManager& manager);
    /// Writes the current state at once (the save of `commitDataRequest`); false when the
    /// write failed, the store is not loaded or writing has finished.
    bool commitNow();
    /// True while the store holds changes its file does not have yet.
    bool hasUnwrittenChanges() const;
    /// Stops the background writes after a last one of pending changes (as the destructor
    /// does) and says whether everything reached the file. No background write follows.
    bool finishWriting();
    /// Writes the current contents as a complete database into the new file `path` (created
    /// exclusively: never an existing name, never through a link), synced to the disk; for a
    /// rescue copy when the database itself cannot be written. False with the reason in
    /// `error` otherwise, and no file left behind. Does not count as a write of the database.
    bool writeCopyTo(const QString& path, QString* error);

    // Loading only: no lock beyond init's, no signal, no revision change.
    void _insertGroup(const FocusGroup& group);
    void _setGroupIconKey(const FocusGroup::Id& groupId, const QString& iconKey);
    void _setGroupTaskIds(const FocusGroup::Id& groupId, const FocusGroup::TaskIdList& taskIds);
    void _insertTask(TodoTask task);

    /// For tests: sets the revision, as if that many changes had happened.
    void _setRevision(int revision);

Q_SIGNALS:
    void taskChanged(const TodoTask::Id& taskId);
    void groupChanged(const FocusGroup::Id& groupId);
    /// Completing the repeating task `completedId` made `newId`: same name, notes and rule, due
    /// on the next date, right after it in each group that lists it (the Inbox when only
    /// Completed or the Trash does). Each of those groups is announced once before.
    void occurrenceCreated(const TodoTask::Id& completedId, const TodoTask::Id& newId);
    /// A write failed, with a short reason for the user ("cannot create <file>: Permission
    /// denied"), after writes succeeded; again when the reason changes; `ok` once a write
    /// succeeds again. Emitted on the committer's thread (or commitNow's caller) while it holds
    /// the committer's lock: connect queued.
    void writeStatusChanged(bool ok, const QString& reason);

private:
    friend class TaskStorageCommiter;
    friend class StepRecorder;
    friend class StepReplay;

    void _bump();
    void _noteChange();
    // Before each change, for the open step: `recorded` false for changes from elsewhere.
    void _noteTask(const TodoTask::Id& taskId, bool recorded = true);
    void _noteTasks(const QList<TodoTask::Id>& taskIds, bool recorded = true);
    void _noteGroup(const FocusGroup::Id& groupId, bool recorded = true);
    template <typename T>
    void _setTaskField(const TodoTask::Id& taskId, T TodoTask::*field, const T& value);
    bool _validate();
    TodoTask::Id _addNextOccurrence(const TodoTask& done, QList<FocusGroup::Id>* groups);
    int _load(bool* fromBackup);
    QRecursiveMutex& _lock() const { return m_lock; }
    /// Milliseconds on the store's monotonic clock.
    qint64 _now() const { return m_clock.elapsed(); }

    const QString m_path;
    const int m_quietMs;
    int m_ceilingMs;
    std::function<QDate()> m_today;
    QElapsedTimer m_clock;
    mutable QRecursiveMutex m_lock;
    int m_revision = 0;
    // The revision the file holds (the committer sets it after each write).
    int m_writtenRevision = 0;
    bool m_writingFinished = false;
    // When the latest change was made, and the oldest one not yet written (-1: none).
    qint64 m_lastChangeAt = 0;
    qint64 m_oldestUnwrittenAt = -1;
    QHash<FocusGroup::Id, FocusGroup> m_groups;
    QList<FocusGroup::Id> m_userGroupOrder;
    QHash<TodoTask::Id, TodoTask> m_tasks;
    // Loading only: groups the file lists more than once.
    QSet<FocusGroup::Id> m_repeatedGroups;
    std::unique_ptr<TaskStorageCommiter> m_committer;
    int m_stepDepth = 0;
    QString m_stepMergeKey;
    std::unique_ptr<StepRecorder> m_recorder;
    QPointer<UndoHistory> m_history;
};
