#pragma once

#include <QList>
#include <QMetaType>
#include <QPointer>
#include <QString>
#include <QUuid>

class TaskStorage;

/// A focus group as a value copy. The setters change the copy and write the same change
/// through to the store the copy came from (`TaskStorage::group`), by id.
class FocusGroup
{
public:
    using Id = QUuid;
    using TaskIdList = QList<QUuid>;

    FocusGroup() = default;
    FocusGroup(const Id& id, const QString& name, const QString& iconKey = QString(),
               const TaskIdList& taskIds = TaskIdList());

    static const Id& inboxId();
    static const Id& trashId();
    static const Id& completedId();
    /// True for every id that is not one of the three fixed groups.
    static bool isUserGroup(const Id& id);

    const Id& id() const { return m_id; }
    const QString& name() const { return m_name; }
    const QString& iconKey() const { return m_iconKey; }
    const TaskIdList& taskIds() const { return m_taskIds; }
    bool contains(const QUuid& taskId) const { return m_taskIds.contains(taskId); }
    bool isEmpty() const { return m_taskIds.isEmpty(); }
    /// Cleared, with a fresh id.
    void initNew();

    void setName(const QString& name);
    void setIcon(const QString& iconKey);
    void addTask(const QUuid& taskId);
    void removeTask(const QUuid& taskId, bool skipTrash);
    void removeTasks(const TaskIdList& taskIds, bool skipTrash);
    void moveTaskTo(const QUuid& taskId, const Id& toGroupId);
    void moveTasksTo(const TaskIdList& taskIds, const Id& toGroupId);
    void reorderTasks(const QUuid& anchorTaskId, bool before, const TaskIdList& taskIds);

    /// Moves `taskIds` next to the anchor: before it or after it, in their given order. Nothing
    /// changes for a null or absent anchor, an anchor among the moved ids, or no ids.
    static void reorderList(TaskIdList& list, const QUuid& anchorTaskId, bool before,
                            const TaskIdList& taskIds);

    bool operator==(const FocusGroup& other) const;
    bool operator!=(const FocusGroup& other) const { return !(*this == other); }

private:
    friend class TaskStorage;

    Id m_id;
    QString m_name;
    QString m_iconKey;
    TaskIdList m_taskIds;
    QPointer<TaskStorage> m_storage;
};

Q_DECLARE_METATYPE(FocusGroup)
