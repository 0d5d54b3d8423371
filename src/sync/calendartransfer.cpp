#include "sync/calendartransfer.h"

#include "store/taskstorage.h"
#include "sync/syncstate.h"
#include "sync/taskconversion.h"

#include <QSet>

namespace sync {

QByteArray CalendarTransfer::exportGroups(const TaskStorage& store, const QList<FocusGroup::Id>& groups)
{
    QList<TaskFields> tasks;
    QSet<TodoTask::Id> seen;
    for (const FocusGroup::Id& groupId : groups) {
        const FocusGroup group = store.group(groupId);
        qint64 key = 0;
        store.visitTasks(group.taskIds(), [&](const TodoTask& task) {
            key += 1024;
            if (seen.contains(task.id()))
                return;
            seen.insert(task.id());
            tasks.append(fieldsOfTask(task, uidOfTask(task.id()), key));
        });
    }
    return writeCalendarFile(tasks);
}

CalendarTransfer::ImportResult CalendarTransfer::importInto(TaskStorage& store, const FocusGroup::Id& group,
                                                            const QByteArray& ics)
{
    ImportResult result;
    const QList<TaskFields> tasks = readCalendarFile(ics, &result.errors);
    QSet<TodoTask::Id> listed;
    for (const FocusGroup::Id& groupId : store.groupIds()) {
        if (groupId == FocusGroup::trashId())
            continue;
        const FocusGroup listing = store.group(groupId);
        listed.unite(QSet<TodoTask::Id>(listing.taskIds().cbegin(), listing.taskIds().cend()));
    }
    QList<TodoTask> added;
    QList<TodoTask::Id> fromTrash;
    QSet<TodoTask::Id> seen;
    for (TaskFields fields : tasks) {
        cutToSeconds(&fields);
        const TodoTask::Id id = taskIdOfUid(fields.uid);
        if (seen.contains(id))
            continue;
        seen.insert(id);
        const TodoTask existing = store.task(id);
        if (existing.id().isNull()) {
            added.append(taskFromFields(id, fields));
            ++result.added;
            continue;
        }
        TaskFields own = fieldsOfTask(existing, fields.uid);
        own.sortOrder = fields.sortOrder;
        if (sameContent(own, fields)) {
            ++result.unchanged;
        } else {
            TodoTask updated = taskWithFields(existing, fields);
            store.updateTask(TodoTask(updated.id(), updated.name(), updated.notes(), updated.completed(), updated.due(),
                                      updated.created(), updated.completedAt(), updated.deletedAt(),
                                      QDateTime::currentDateTime(), updated.repeatRule()));
            ++result.updated;
        }
        if (!listed.contains(id)) {
            fromTrash.append(id);
            added.append(existing);
        }
    }
    if (!fromTrash.isEmpty())
        store.removeTasks(FocusGroup::trashId(), fromTrash, true);
    store.insertTasks(group, added);
    return result;
}

} // namespace sync
