#include "store/taskstorage.h"

#include "base/log.h"
#include "platform/filesync.h"
#include "store/csafefileupdate.h"
#include "store/repeatrule.h"
#include "store/steprecorder.h"
#include "store/tasksnapshot.h"
#include "store/taskstoragecommiter.h"
#include "store/taskstoragereader.h"
#include "store/undohistory.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QMutexLocker>
#include <QSet>

#include <climits>

using Locker = QMutexLocker<QRecursiveMutex>;

TaskStorage::TaskStorage(const QString& path, int quietMs, QObject* parent)
    : QObject(parent)
    , m_path(path)
    , m_quietMs(quietMs)
    , m_ceilingMs(quietMs > INT_MAX / 10 ? INT_MAX : quietMs * 10)
{
    m_clock.start();
}

TaskStorage::~TaskStorage()
{
    // The committer's last pass still reads the store, so it goes first.
    m_committer.reset();
}

int TaskStorage::init()
{
    const int result = load();
    if (result == 0)
        startCommitting();
    return result;
}

int TaskStorage::load()
{
    Locker locker(&m_lock);
    bool fromBackup = false;
    const int result = _load(&fromBackup);
    if (result == 0) {
        bool ok = _validate();
        if (!m_repeatedGroups.isEmpty()) {
            MRV_WARNING("TaskStorage::init", QStringLiteral("Groups listed more than once were merged"));
            m_repeatedGroups.clear();
            ok = false;
        }
        // A database loaded from its backup must be written again, like a repaired one.
        if (fromBackup)
            ok = false;
        const FocusGroup::Id fixed[] = {FocusGroup::inboxId(), FocusGroup::trashId(), FocusGroup::completedId()};
        const char* names[] = {"Inbox", "Trash", "Completed"};
        for (int i = 0; i < 3; ++i) {
            if (!m_groups.contains(fixed[i]))
                m_groups.insert(fixed[i], FocusGroup(fixed[i], QLatin1String(names[i])));
        }
        m_revision = ok ? 0 : 1;
        if (!ok)
            _noteChange();
    }
    return result;
}

void TaskStorage::startCommitting()
{
    Locker locker(&m_lock);
    if (m_committer || m_writingFinished)
        return;
    m_committer = std::make_unique<TaskStorageCommiter>(this, m_quietMs, m_ceilingMs);
    if (m_today)
        m_committer->setDayFunction(m_today);
    m_committer->start(QThread::InheritPriority);
}

int TaskStorage::inspect(const QString& filePath, int* listedTasks)
{
    TaskStorage probe(filePath);
    Locker locker(&probe.m_lock);
    QFile file(filePath);
    if (!file.open(QIODevice::ReadOnly))
        return TaskStorageReader::OtherFailure;
    TaskStorageReader reader(&probe);
    const int result = reader.read(&file);
    QSet<TodoTask::Id> listed;
    for (auto it = probe.m_groups.constBegin(); it != probe.m_groups.constEnd(); ++it) {
        if (it.key() == FocusGroup::trashId())
            continue;
        for (const TodoTask::Id& id : it->m_taskIds) {
            if (probe.m_tasks.contains(id))
                listed.insert(id);
        }
    }
    if (listedTasks)
        *listedTasks = int(listed.size());
    return result;
}

int TaskStorage::_load(bool* fromBackup)
{
    QElapsedTimer timer;
    timer.start();
    QString source = m_path;
    if (!QFile::exists(source)) {
        const QString backup = CSafeFileUpdate::resolvedTarget(m_path) + QStringLiteral(".bak");
        if (!QFile::exists(backup))
            return 0; // first run: an empty database
        MRV_WARNING("TaskStorage::init", QStringLiteral("Database file is missing, loading its backup ") + backup);
        source = backup;
        *fromBackup = true;
    }
    QFile file(source);
    int result;
    if (file.open(QIODevice::ReadOnly)) {
        TaskStorageReader reader(this);
        result = reader.read(&file);
    } else {
        // Starting empty over a file that exists would overwrite the user's tasks.
        MRV_CRITICAL("TaskStorage::init", QStringLiteral("Cannot open ") + source + QStringLiteral(": ") + file.errorString());
        result = TaskStorageReader::OtherFailure;
    }
    if (result == 0)
        MRV_DEBUG("TaskStorage::init", QStringLiteral("Database loaded in ") + Log::elapsedText(timer.elapsed()));
    else
        MRV_CRITICAL("TaskStorage::init", QStringLiteral("Database failed to load"));
    return result;
}

bool TaskStorage::_validate()
{
    bool ok = true;
    for (auto it = m_groups.begin(); it != m_groups.end(); ++it) {
        FocusGroup& group = it.value();
        for (qsizetype i = group.m_taskIds.size() - 1; i >= 0; --i) {
            const TodoTask::Id taskId = group.m_taskIds.at(i);
            if (m_tasks.contains(taskId))
                continue;
            group.m_taskIds.removeAt(i);
            MRV_WARNING("TaskStorage::_validate",
                        QStringLiteral("Removing orphaned task id ") + taskId.toString() + QStringLiteral(" from ")
                            + group.m_name + QLatin1Char(' ') + group.m_id.toString());
            ok = false;
        }
    }
    return ok;
}

void TaskStorage::_bump()
{
    m_revision = m_revision == INT_MAX ? 0 : m_revision + 1;
    _noteChange();
}

void TaskStorage::_noteChange()
{
    m_lastChangeAt = _now();
    if (m_oldestUnwrittenAt < 0)
        m_oldestUnwrittenAt = m_lastChangeAt;
}

void TaskStorage::_setRevision(int revision)
{
    Locker locker(&m_lock);
    m_revision = revision;
}

FocusGroup TaskStorage::group(const FocusGroup::Id& groupId) const
{
    Locker locker(&m_lock);
    if (groupId.isNull())
        return FocusGroup();
    auto it = m_groups.constFind(groupId);
    if (it == m_groups.constEnd())
        return FocusGroup();
    FocusGroup copy = it.value();
    copy.m_storage = const_cast<TaskStorage*>(this);
    return copy;
}

void TaskStorage::visitTasks(const QList<TodoTask::Id>& taskIds, const std::function<void(const TodoTask&)>& visit) const
{
    Locker locker(&m_lock);
    for (const TodoTask::Id& taskId : taskIds) {
        auto it = m_tasks.constFind(taskId);
        if (it != m_tasks.constEnd())
            visit(it.value());
    }
}

TodoTask TaskStorage::task(const TodoTask::Id& taskId) const
{
    Locker locker(&m_lock);
    if (taskId.isNull())
        return TodoTask();
    auto it = m_tasks.constFind(taskId);
    if (it == m_tasks.constEnd())
        return TodoTask();
    TodoTask copy = it.value();
    copy.m_storage = const_cast<TaskStorage*>(this);
    return copy;
}

QList<FocusGroup::Id> TaskStorage::groupIds() const
{
    Locker locker(&m_lock);
    QList<FocusGroup::Id> ids;
    ids.reserve(m_userGroupOrder.size() + 3);
    ids << FocusGroup::inboxId() << FocusGroup::completedId() << FocusGroup::trashId();
    ids += m_userGroupOrder;
    return ids;
}

int TaskStorage::revision() const
{
    Locker locker(&m_lock);
    return m_revision;
}

void TaskStorage::snapshot(TaskSnapshot& snapshot) const
{
    Locker locker(&m_lock);
    snapshot.revision = m_revision;
    if (snapshot.byId) {
        snapshot.groups.clear();
        snapshot.tasks.clear();
        snapshot.groupsById = m_groups;
        snapshot.tasksById = m_tasks;
        return;
    }
    snapshot.groupsById.clear();
    snapshot.tasksById.clear();
    snapshot.groups.clear();
    snapshot.groups.reserve(m_userGroupOrder.size() + 3);
    for (const FocusGroup::Id& id : groupIds()) {
        auto it = m_groups.constFind(id);
        if (it != m_groups.constEnd())
            snapshot.groups.append(it.value());
    }
    snapshot.tasks.clear();
    snapshot.tasks.reserve(m_tasks.size());
    for (auto it = m_tasks.constBegin(); it != m_tasks.constEnd(); ++it)
        snapshot.tasks.append(it.value());
}

FocusGroup::Id TaskStorage::addGroup(const QString& name, const QString& iconKey)
{
    Locker locker(&m_lock);
    const FocusGroup::Id id = QUuid::createUuid();
    _noteGroup(id);
    m_groups.insert(id, FocusGroup(id, name, iconKey));
    m_userGroupOrder.append(id);
    _bump();
    return id;
}

void TaskStorage::removeGroup(const FocusGroup::Id& groupId)
{
    Locker locker(&m_lock);
    if (groupId.isNull() || !FocusGroup::isUserGroup(groupId))
        return;
    auto it = m_groups.find(groupId);
    auto trash = m_groups.find(FocusGroup::trashId());
    if (it == m_groups.end() || trash == m_groups.end())
        return;
    const FocusGroup::TaskIdList taskIds = it->m_taskIds;
    _noteGroup(groupId);
    _noteGroup(FocusGroup::trashId());
    _noteTasks(taskIds);
    m_groups.erase(it);
    m_userGroupOrder.removeAll(groupId);
    // A task that another group still lists stays there and does not go to the Trash.
    QSet<TodoTask::Id> listed;
    for (const FocusGroup& group : qAsConst(m_groups)) {
        for (const TodoTask::Id& taskId : group.m_taskIds)
            listed.insert(taskId);
    }
    bool trashed = false;
    for (const TodoTask::Id& taskId : taskIds) {
        if (!listed.contains(taskId)) {
            trash->m_taskIds.append(taskId);
            listed.insert(taskId);
            trashed = true;
        }
    }
    _bump();
    if (trashed)
        Q_EMIT groupChanged(FocusGroup::trashId());
}

void TaskStorage::moveGroup(int index, const FocusGroup::Id& groupId)
{
    Locker locker(&m_lock);
    if (groupId.isNull() || !FocusGroup::isUserGroup(groupId))
        return;
    const qsizetype from = m_userGroupOrder.indexOf(groupId);
    if (from < 0 || from == index || index < 0 || index > m_userGroupOrder.size())
        return;
    _noteGroup(groupId);
    m_userGroupOrder.removeAt(from);
    if (index >= m_userGroupOrder.size())
        m_userGroupOrder.append(groupId);
    else
        m_userGroupOrder.insert(index, groupId);
    _bump();
}

void TaskStorage::placeGroupAt(const FocusGroup::Id& targetGroupId, const FocusGroup::Id& groupId)
{
    Locker locker(&m_lock);
    if (targetGroupId.isNull() || groupId.isNull())
        return;
    if (!FocusGroup::isUserGroup(targetGroupId) || !FocusGroup::isUserGroup(groupId))
        return;
    const qsizetype target = m_userGroupOrder.indexOf(targetGroupId);
    if (target >= 0)
        moveGroup(static_cast<int>(target), groupId);
}

void TaskStorage::setGroupName(const FocusGroup::Id& groupId, const QString& name)
{
    Locker locker(&m_lock);
    auto it = groupId.isNull() ? m_groups.end() : m_groups.find(groupId);
    if (it == m_groups.end())
        return;
    _noteGroup(groupId);
    it->m_name = name;
    _bump();
}

void TaskStorage::setGroupIcon(const FocusGroup::Id& groupId, const QString& iconKey)
{
    Locker locker(&m_lock);
    auto it = groupId.isNull() ? m_groups.end() : m_groups.find(groupId);
    if (it == m_groups.end())
        return;
    _noteGroup(groupId);
    it->m_iconKey = iconKey;
    _bump();
}

void TaskStorage::emptyTrash()
{
    Locker locker(&m_lock);
    auto trash = m_groups.find(FocusGroup::trashId());
    if (trash != m_groups.end()) {
        _noteGroup(FocusGroup::trashId());
        _noteTasks(trash->m_taskIds);
        trash->m_taskIds.clear();
    }
    _bump();
    Q_EMIT groupChanged(FocusGroup::trashId());
}

TodoTask::Id TaskStorage::createTask(const FocusGroup::Id& groupId)
{
    Locker locker(&m_lock);
    if (groupId.isNull())
        return TodoTask::Id();
    TodoTask task;
    task.initNew();
    FocusGroup::Id receiver = m_groups.contains(groupId) ? groupId : FocusGroup::inboxId();
    _noteTask(task.m_id);
    _noteGroup(receiver);
    m_tasks.insert(task.m_id, task);
    auto it = m_groups.find(receiver);
    if (it != m_groups.end())
        it->m_taskIds.append(task.m_id);
    _bump();
    Q_EMIT groupChanged(receiver);
    return task.m_id;
}

template <typename T>
void TaskStorage::_setTaskField(const TodoTask::Id& taskId, T TodoTask::*field, const T& value)
{
    Locker locker(&m_lock);
    auto it = taskId.isNull() ? m_tasks.end() : m_tasks.find(taskId);
    if (it == m_tasks.end() || (*it).*field == value)
        return;
    _noteTask(taskId);
    (*it).*field = value;
    it->m_modified = QDateTime::currentDateTime();
    _bump();
    Q_EMIT taskChanged(taskId);
}

void TaskStorage::setTaskName(const TodoTask::Id& taskId, const QString& name)
{
    _setTaskField(taskId, &TodoTask::m_name, name);
}

void TaskStorage::setTaskNotes(const TodoTask::Id& taskId, const QString& notes)
{
    _setTaskField(taskId, &TodoTask::m_notes, notes);
}

void TaskStorage::setTaskDue(const TodoTask::Id& taskId, const QDateTime& due)
{
    _setTaskField(taskId, &TodoTask::m_due, due);
}

void TaskStorage::setTaskRepeat(const TodoTask::Id& taskId, const QString& rule)
{
    _setTaskField(taskId, &TodoTask::m_repeatRule, rule);
}

void TaskStorage::setTaskCompleted(const TodoTask::Id& taskId, bool completed, const QDateTime& completedAt)
{
    Locker locker(&m_lock);
    auto it = taskId.isNull() ? m_tasks.end() : m_tasks.find(taskId);
    if (it == m_tasks.end() || it->m_completed == completed)
        return;
    _noteTask(taskId);
    it->m_completed = completed;
    it->m_completedAt = completedAt;
    it->m_modified = QDateTime::currentDateTime();
    QList<FocusGroup::Id> groups;
    const TodoTask::Id next = completed ? _addNextOccurrence(*it, &groups) : TodoTask::Id();
    _bump();
    Q_EMIT taskChanged(taskId);
    for (const FocusGroup::Id& groupId : qAsConst(groups))
        Q_EMIT groupChanged(groupId);
    if (!next.isNull())
        Q_EMIT occurrenceCreated(taskId, next);
}

TodoTask::Id TaskStorage::_addNextOccurrence(const TodoTask& done, QList<FocusGroup::Id>* groups)
{
    const RepeatRule rule = RepeatRule::parse(done.m_repeatRule);
    const QDateTime due = rule.nextDue(done.m_due, m_today ? m_today() : QDate::currentDate());
    if (!due.isValid())
        return TodoTask::Id();
    TodoTask next;
    next.initNew();
    next.m_name = done.m_name;
    next.m_notes = done.m_notes;
    next.m_repeatRule = done.m_repeatRule;
    next.m_due = due;
    next.m_modified = next.m_created;
    _noteTask(next.m_id);
    m_tasks.insert(next.m_id, next);
    // An open task does not belong in Completed or the Trash.
    for (const FocusGroup::Id& groupId : groupIds()) {
        if (groupId == FocusGroup::completedId() || groupId == FocusGroup::trashId())
            continue;
        FocusGroup& group = m_groups[groupId];
        const qsizetype at = group.m_taskIds.indexOf(done.m_id);
        if (at >= 0) {
            _noteGroup(groupId);
            group.m_taskIds.insert(at + 1, next.m_id);
            groups->append(groupId);
        }
    }
    if (groups->isEmpty()) {
        _noteGroup(FocusGroup::inboxId());
        m_groups[FocusGroup::inboxId()].m_taskIds.append(next.m_id);
        groups->append(FocusGroup::inboxId());
    }
    return next.m_id;
}

void TaskStorage::addTaskToGroup(const FocusGroup::Id& groupId, const TodoTask::Id& taskId)
{
    Locker locker(&m_lock);
    if (groupId.isNull() || taskId.isNull())
        return;
    auto it = m_groups.find(groupId);
    if (it == m_groups.end())
        return;
    _noteGroup(groupId);
    _noteTask(taskId);
    if (!it->m_taskIds.contains(taskId))
        it->m_taskIds.append(taskId);
    _bump();
    Q_EMIT groupChanged(groupId);
}

void TaskStorage::addTasksToGroup(const FocusGroup::Id& groupId, const QList<TodoTask::Id>& taskIds)
{
    Locker locker(&m_lock);
    if (taskIds.isEmpty() || groupId.isNull())
        return;
    auto it = m_groups.find(groupId);
    if (it == m_groups.end())
        return;
    _noteGroup(groupId);
    _noteTasks(taskIds);
    for (const TodoTask::Id& taskId : taskIds) {
        if (!taskId.isNull() && !it->m_taskIds.contains(taskId))
            it->m_taskIds.append(taskId);
    }
    _bump();
    Q_EMIT groupChanged(groupId);
}

void TaskStorage::removeTask(const FocusGroup::Id& groupId, const TodoTask::Id& taskId, bool skipTrash)
{
    removeTasks(groupId, QList<TodoTask::Id>{taskId}, skipTrash);
}

void TaskStorage::removeTasks(const FocusGroup::Id& groupId, const QList<TodoTask::Id>& taskIds, bool skipTrash)
{
    Locker locker(&m_lock);
    auto it = m_groups.find(groupId);
    auto trash = m_groups.find(FocusGroup::trashId());
    if (groupId.isNull() || it == m_groups.end() || trash == m_groups.end())
        return;
    QSet<TodoTask::Id> removed;
    for (const TodoTask::Id& taskId : taskIds) {
        if (!taskId.isNull())
            removed.insert(taskId);
    }
    if (removed.isEmpty())
        return;
    // One pass over each list, whatever the number of tasks: removing thousands at once stays
    // proportional to the size of the groups.
    const auto isRemoved = [&removed](const TodoTask::Id& id) { return removed.contains(id); };
    _noteGroup(groupId);
    _noteGroup(FocusGroup::trashId());
    _noteTasks(taskIds);
    it->m_taskIds.removeIf(isRemoved);
    bool trashChanged = false;
    if (groupId == FocusGroup::trashId()) {
        for (const TodoTask::Id& taskId : std::as_const(removed))
            MRV_INFO("TaskStorage::removeTask", QStringLiteral("Delete task ") + taskId.toString() + QStringLiteral(" from trash"));
    } else {
        QSet<TodoTask::Id> listed;
        for (auto g = m_groups.constBegin(); g != m_groups.constEnd(); ++g) {
            for (const TodoTask::Id& id : g->m_taskIds) {
                if (removed.contains(id))
                    listed.insert(id);
            }
        }
        QSet<TodoTask::Id> done;
        for (const TodoTask::Id& taskId : taskIds) {
            if (!removed.contains(taskId) || listed.contains(taskId) || done.contains(taskId))
                continue;
            done.insert(taskId);
            if (skipTrash) {
                MRV_INFO("TaskStorage::removeTask",
                         QStringLiteral("Delete task ") + taskId.toString() + QStringLiteral(" skipping trash"));
            } else {
                MRV_INFO("TaskStorage::removeTask", QStringLiteral("Move task ") + taskId.toString() + QStringLiteral(" to trash"));
                trash->m_taskIds.append(taskId);
                trashChanged = true;
            }
        }
    }
    _bump();
    Q_EMIT groupChanged(groupId);
    if (trashChanged)
        Q_EMIT groupChanged(FocusGroup::trashId());
}

void TaskStorage::moveTasks(const FocusGroup::Id& fromGroupId, const FocusGroup::Id& toGroupId,
                            const QList<TodoTask::Id>& taskIds)
{
    Locker locker(&m_lock);
    if (fromGroupId.isNull() || toGroupId.isNull() || taskIds.isEmpty())
        return;
    if (!m_groups.contains(fromGroupId) || !m_groups.contains(toGroupId))
        return;
    _noteGroup(fromGroupId);
    _noteGroup(toGroupId);
    _noteTasks(taskIds);
    if (toGroupId != FocusGroup::trashId() && toGroupId != FocusGroup::completedId()) {
        for (const TodoTask::Id& taskId : taskIds) {
            if (taskId.isNull())
                continue;
            m_groups[fromGroupId].m_taskIds.removeAll(taskId);
            FocusGroup& target = m_groups[toGroupId];
            if (!target.m_taskIds.contains(taskId))
                target.m_taskIds.append(taskId);
        }
        Q_EMIT groupChanged(fromGroupId);
        Q_EMIT groupChanged(toGroupId);
    } else {
        // The tasks leave every group that lists them; each group that changed is announced
        // once, after the whole move.
        QSet<TodoTask::Id> moving;
        for (const TodoTask::Id& taskId : taskIds) {
            if (!taskId.isNull())
                moving.insert(taskId);
        }
        QList<FocusGroup::Id> changed;
        for (auto it = m_groups.begin(); it != m_groups.end(); ++it) {
            if (it.key() == toGroupId)
                continue;
            const qsizetype before = it->m_taskIds.size();
            _noteGroup(it.key());
            it->m_taskIds.removeIf([&moving](const TodoTask::Id& id) { return moving.contains(id); });
            if (it->m_taskIds.size() != before)
                changed.append(it.key());
        }
        FocusGroup& target = m_groups[toGroupId];
        for (const TodoTask::Id& taskId : taskIds) {
            if (!taskId.isNull() && !target.m_taskIds.contains(taskId))
                target.m_taskIds.append(taskId);
        }
        _bump();
        for (const FocusGroup::Id& id : qAsConst(changed))
            Q_EMIT groupChanged(id);
        Q_EMIT groupChanged(toGroupId);
        return;
    }
    _bump();
}

void TaskStorage::reorderTasks(const FocusGroup::Id& groupId, const TodoTask::Id& anchorTaskId, bool before,
                               const QList<TodoTask::Id>& taskIds)
{
    Locker locker(&m_lock);
    auto it = groupId.isNull() ? m_groups.end() : m_groups.find(groupId);
    if (it == m_groups.end())
        return;
    _noteGroup(groupId);
    _noteTasks(taskIds);
    FocusGroup::reorderList(it->m_taskIds, anchorTaskId, before, taskIds);
    _bump();
}

void TaskStorage::insertTasks(const FocusGroup::Id& groupId, const QList<TodoTask>& tasks, int position)
{
    Locker locker(&m_lock);
    auto group = groupId.isNull() ? m_groups.end() : m_groups.find(groupId);
    if (group == m_groups.end() || tasks.isEmpty())
        return;
    FocusGroup::TaskIdList added;
    for (const TodoTask& task : tasks) {
        if (task.m_id.isNull() || group->m_taskIds.contains(task.m_id) || added.contains(task.m_id))
            continue;
        if (!m_tasks.contains(task.m_id)) {
            TodoTask record = task;
            record.m_storage.clear();
            m_tasks.insert(record.m_id, record);
        }
        added.append(task.m_id);
    }
    if (added.isEmpty())
        return;
    _noteGroup(groupId, false);
    const qsizetype at = position < 0 || position > group->m_taskIds.size() ? group->m_taskIds.size() : position;
    for (qsizetype i = 0; i < added.size(); ++i)
        group->m_taskIds.insert(at + i, added.at(i));
    _bump();
    Q_EMIT groupChanged(groupId);
}

void TaskStorage::updateTask(const TodoTask& task)
{
    Locker locker(&m_lock);
    auto it = task.m_id.isNull() ? m_tasks.end() : m_tasks.find(task.m_id);
    if (it == m_tasks.end())
        return;
    TodoTask updated = *it;
    updated.m_name = task.m_name;
    updated.m_notes = task.m_notes;
    updated.m_due = task.m_due;
    updated.m_completed = task.m_completed;
    updated.m_completedAt = task.m_completedAt;
    updated.m_modified = task.m_modified;
    updated.m_repeatRule = task.m_repeatRule;
    if (updated == *it)
        return;
    _noteTask(task.m_id, false);
    *it = updated;
    _bump();
    Q_EMIT taskChanged(task.m_id);
}

void TaskStorage::setTaskOrder(const FocusGroup::Id& groupId, const QList<TodoTask::Id>& taskIds)
{
    Locker locker(&m_lock);
    auto it = groupId.isNull() ? m_groups.end() : m_groups.find(groupId);
    if (it == m_groups.end())
        return;
    // The ids the group lists take the slots the group's listed ones had, in the new order;
    // everything else stays where it is.
    QSet<TodoTask::Id> listed(it->m_taskIds.cbegin(), it->m_taskIds.cend());
    QList<TodoTask::Id> ordered;
    QSet<TodoTask::Id> seen;
    for (const TodoTask::Id& id : taskIds) {
        if (listed.contains(id) && !seen.contains(id)) {
            ordered.append(id);
            seen.insert(id);
        }
    }
    FocusGroup::TaskIdList result = it->m_taskIds;
    qsizetype next = 0;
    for (TodoTask::Id& id : result) {
        if (seen.contains(id))
            id = ordered.at(next++);
    }
    if (result == it->m_taskIds)
        return;
    _noteGroup(groupId, false);
    it->m_taskIds = result;
    _bump();
    Q_EMIT groupChanged(groupId);
}

void TaskStorage::beginStep(const QString& label, const QString& mergeKey)
{
    Locker locker(&m_lock);
    if (m_stepDepth++ == 0 && m_history) {
        m_recorder = std::make_unique<StepRecorder>(label);
        m_stepMergeKey = mergeKey;
    }
}

void TaskStorage::endStep()
{
    Locker locker(&m_lock);
    if (m_stepDepth == 0 || --m_stepDepth > 0)
        return;
    std::unique_ptr<StepRecorder> recorder = std::move(m_recorder);
    if (!recorder || !m_history)
        return;
    UndoStep step = recorder->finish(*this);
    step.mergeKey = m_stepMergeKey;
    if (!step.isEmpty())
        m_history->_push(std::move(step));
}

bool TaskStorage::isStepOpen() const
{
    Locker locker(&m_lock);
    return m_stepDepth > 0;
}

void TaskStorage::setUndoHistory(UndoHistory* history)
{
    Locker locker(&m_lock);
    m_history = history;
    m_recorder.reset();
}

void TaskStorage::_noteTask(const TodoTask::Id& taskId, bool recorded)
{
    if (m_recorder)
        m_recorder->noteTask(*this, taskId, recorded);
}

void TaskStorage::_noteTasks(const QList<TodoTask::Id>& taskIds, bool recorded)
{
    if (!m_recorder)
        return;
    for (const TodoTask::Id& taskId : taskIds)
        m_recorder->noteTask(*this, taskId, recorded);
}

void TaskStorage::_noteGroup(const FocusGroup::Id& groupId, bool recorded)
{
    if (m_recorder)
        m_recorder->noteGroup(*this, groupId, recorded);
}

void TaskStorage::commitDataRequest(QSessionManager& manager)
{
    Q_UNUSED(manager);
    // No store lock here: the committer takes its own lock before the store's.
    if (!m_committer)
        return;
    if (!m_committer->commitNow())
        MRV_CRITICAL("TaskStorage::commitDataRequest", QStringLiteral("The database could not be written before the session ended"));
    MRV_DEBUG("TaskStorage::commitDataRequest", QStringLiteral("commitDataRequest() received"));
}

bool TaskStorage::commitNow()
{
    return m_committer && m_committer->commitNow();
}

bool TaskStorage::hasUnwrittenChanges() const
{
    Locker locker(&m_lock);
    return m_revision != m_writtenRevision;
}

bool TaskStorage::finishWriting()
{
    // No store lock here: the committer's last pass takes it.
    m_writingFinished = true;
    m_committer.reset();
    return !hasUnwrittenChanges();
}

bool TaskStorage::writeCopyTo(const QString& path, QString* error)
{
    TaskSnapshot contents;
    snapshot(contents);
    QFile file(path);
    QString reason;
    QString syncError;
    // NewOnly creates the file or fails: never an existing name, never through a link.
    if (!file.open(QIODevice::WriteOnly | QIODevice::NewOnly)) {
        reason = TaskStorageCommiter::tr("cannot create %1: %2").arg(QDir::toNativeSeparators(path), file.errorString());
    } else if (!TaskStorageCommiter::writeFile(file, contents, &reason)) {
        file.remove();
    } else if (!platform::syncFileToDisk(path, &syncError)) {
        reason = TaskStorageCommiter::tr("cannot write %1: %2").arg(QDir::toNativeSeparators(path), syncError);
        file.remove();
    } else {
        platform::syncFolderToDisk(QFileInfo(path).absolutePath());
        return true;
    }
    MRV_CRITICAL("TaskStorage::writeCopyTo", reason);
    if (error)
        *error = reason;
    return false;
}

void TaskStorage::_insertGroup(const FocusGroup& group)
{
    // A group listed twice (a hand-edited file) is kept once, with the tasks of both lists.
    if (m_groups.contains(group.m_id)) {
        m_repeatedGroups.insert(group.m_id);
        return;
    }
    FocusGroup copy = group;
    copy.m_storage.clear();
    m_groups.insert(copy.m_id, copy);
    if (FocusGroup::isUserGroup(copy.m_id))
        m_userGroupOrder.append(copy.m_id);
}

void TaskStorage::_setGroupIconKey(const FocusGroup::Id& groupId, const QString& iconKey)
{
    if (m_repeatedGroups.contains(groupId))
        return;
    auto it = m_groups.find(groupId);
    if (it != m_groups.end())
        it->m_iconKey = iconKey;
}

void TaskStorage::_setGroupTaskIds(const FocusGroup::Id& groupId, const FocusGroup::TaskIdList& taskIds)
{
    auto it = m_groups.find(groupId);
    if (it == m_groups.end())
        return;
    if (!m_repeatedGroups.contains(groupId) || it->m_taskIds.isEmpty()) {
        it->m_taskIds = taskIds;
        return;
    }
    for (const TodoTask::Id& taskId : taskIds) {
        if (!it->m_taskIds.contains(taskId))
            it->m_taskIds.append(taskId);
    }
}

void TaskStorage::_insertTask(TodoTask task)
{
    task.m_storage.clear();
    const TodoTask::Id id = task.m_id;
    m_tasks.insert(id, std::move(task));
}
