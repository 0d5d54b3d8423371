#include "store/focusgroup.h"

#include "store/taskstorage.h"

#include <QSet>

FocusGroup::FocusGroup(const Id& id, const QString& name, const QString& iconKey,
                       const TaskIdList& taskIds)
    : m_id(id)
    , m_name(name)
    , m_iconKey(iconKey)
    , m_taskIds(taskIds)
{
}

const FocusGroup::Id& FocusGroup::inboxId()
{
    static const Id id(QStringLiteral("{B78901E8-4787-4e9e-8977-F940608E4FB9}"));
    return id;
}

const FocusGroup::Id& FocusGroup::trashId()
{
    static const Id id(QStringLiteral("{86234C26-8E85-4c76-B80F-6046775B506A}"));
    return id;
}

const FocusGroup::Id& FocusGroup::completedId()
{
    static const Id id(QStringLiteral("{51E5F2F1-6282-4377-8A69-E26B937A47AD}"));
    return id;
}

bool FocusGroup::isUserGroup(const Id& id)
{
    return id != inboxId() && id != trashId() && id != completedId();
}

void FocusGroup::initNew()
{
    m_id = QUuid::createUuid();
    m_name.clear();
    m_iconKey.clear();
    m_taskIds.clear();
}

void FocusGroup::setName(const QString& name)
{
    if (name == m_name)
        return;
    m_name = name;
    if (m_storage)
        m_storage->setGroupName(m_id, name);
}

void FocusGroup::setIcon(const QString& iconKey)
{
    if (iconKey == m_iconKey)
        return;
    m_iconKey = iconKey;
    if (m_storage)
        m_storage->setGroupIcon(m_id, iconKey);
}

void FocusGroup::addTask(const QUuid& taskId)
{
    if (taskId.isNull() || m_taskIds.contains(taskId))
        return;
    m_taskIds.append(taskId);
    if (m_storage)
        m_storage->addTaskToGroup(m_id, taskId);
}

void FocusGroup::removeTask(const QUuid& taskId, bool skipTrash)
{
    m_taskIds.removeAll(taskId);
    if (m_storage)
        m_storage->removeTask(m_id, taskId, skipTrash);
}

void FocusGroup::removeTasks(const TaskIdList& taskIds, bool skipTrash)
{
    const QSet<QUuid> removed(taskIds.cbegin(), taskIds.cend());
    m_taskIds.removeIf([&removed](const QUuid& id) { return removed.contains(id); });
    if (m_storage)
        m_storage->removeTasks(m_id, taskIds, skipTrash);
}

void FocusGroup::moveTaskTo(const QUuid& taskId, const Id& toGroupId)
{
    if (taskId.isNull() || toGroupId.isNull())
        return;
    m_taskIds.removeAll(taskId);
    if (m_storage)
        m_storage->moveTasks(m_id, toGroupId, TaskIdList{taskId});
}

void FocusGroup::moveTasksTo(const TaskIdList& taskIds, const Id& toGroupId)
{
    if (taskIds.isEmpty() || toGroupId.isNull())
        return;
    const QSet<QUuid> moved(taskIds.cbegin(), taskIds.cend());
    m_taskIds.removeIf([&moved](const QUuid& id) { return moved.contains(id); });
    if (m_storage)
        m_storage->moveTasks(m_id, toGroupId, taskIds);
}

void FocusGroup::reorderTasks(const QUuid& anchorTaskId, bool before, const TaskIdList& taskIds)
{
    reorderList(m_taskIds, anchorTaskId, before, taskIds);
    if (m_storage)
        m_storage->reorderTasks(m_id, anchorTaskId, before, taskIds);
}

void FocusGroup::reorderList(TaskIdList& list, const QUuid& anchorTaskId, bool before,
                             const TaskIdList& taskIds)
{
    if (anchorTaskId.isNull() || taskIds.isEmpty())
        return;
    if (!list.contains(anchorTaskId) || taskIds.contains(anchorTaskId))
        return;
    for (const QUuid& id : taskIds)
        list.removeAll(id);
    qsizetype at = list.indexOf(anchorTaskId);
    if (!before)
        ++at;
    // A list never holds null ids or the same id twice, whatever the caller passed.
    TaskIdList inserted;
    for (const QUuid& id : taskIds) {
        if (id.isNull() || inserted.contains(id))
            continue;
        inserted.append(id);
        list.insert(at++, id);
    }
}

bool FocusGroup::operator==(const FocusGroup& other) const
{
    return m_id == other.m_id && m_name == other.m_name && m_iconKey == other.m_iconKey
        && m_taskIds == other.m_taskIds;
}
