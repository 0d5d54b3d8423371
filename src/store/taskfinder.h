#pragma once

#include "store/focusgroup.h"
#include "store/todotask.h"

#include <QHash>
#include <QList>
#include <QObject>
#include <QSet>
#include <QStringList>

#include <memory>

class TaskStorage;

/// One task found, with the group it shows under.
struct FoundTask
{
    TodoTask::Id taskId;
    FocusGroup::Id groupId;
    bool operator==(const FoundTask& other) const { return taskId == other.taskId && groupId == other.groupId; }
};

/// Finds the tasks of every group but the Trash whose name or notes hold all the words of a
/// query, ignoring case and accents. The texts are folded once into an index that follows the
/// store's changes, so that each query is one pass over plain strings.
class TaskFinder : public QObject
{
    Q_OBJECT
public:
    explicit TaskFinder(std::shared_ptr<TaskStorage> storage, QObject* parent = nullptr);

    /// The text as the finder compares it: accents dropped, case folded.
    static QString fold(const QString& text);
    /// The folded words of a query.
    static QStringList words(const QString& query);

    /// Every match, by group (in the store's order of groups) and within a group in its order;
    /// a task listed in several groups shows once, under the first.
    QList<FoundTask> find(const QString& query);
    /// Folds the texts of every task now, so that the first query does not wait for it.
    void prepare();
    /// Forgets the folded texts (and the last query) until the next query or prepare().
    void release();

private:
    void _onTaskChanged(const TodoTask::Id& taskId);
    const QString& _folded(const TodoTask::Id& taskId);
    bool _matches(const TodoTask::Id& taskId, const QStringList& wanted);
    /// Every group but the Trash, in the store's order.
    QList<FocusGroup> _searchedGroups() const;

    std::shared_ptr<TaskStorage> m_storage;
    QHash<TodoTask::Id, QString> m_index;
    QSet<TodoTask::Id> m_stale;
    /// The last query and what it found, while nothing changed since: a query that only adds
    /// to it (more letters, more words) searches those tasks alone.
    QStringList m_lastWords;
    QList<FoundTask> m_lastFound;
    bool m_lastValid = false;
};
