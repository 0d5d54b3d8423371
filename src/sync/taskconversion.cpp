#include "sync/taskconversion.h"

namespace sync {

namespace {

QDateTime toSeconds(const QDateTime& time)
{
    return time.isValid() ? QDateTime::fromSecsSinceEpoch(time.toSecsSinceEpoch()) : QDateTime();
}

} // namespace

TaskFields fieldsOfTask(const TodoTask& task, const QString& uid, std::optional<qint64> key)
{
    TaskFields fields;
    fields.uid = uid;
    fields.name = task.name();
    fields.notes = task.notes();
    fields.due = toSeconds(task.due());
    fields.completed = task.completed();
    fields.completedAt = task.completed() ? toSeconds(task.completedAt()) : QDateTime();
    fields.created = toSeconds(task.created());
    fields.repeatRule = task.repeatRule();
    fields.sortOrder = key;
    return fields;
}

TodoTask taskWithFields(const TodoTask& task, const TaskFields& fields)
{
    return TodoTask(task.id(), fields.name, fields.notes, fields.completed, fields.due,
                    task.created().isValid() ? task.created() : fields.created,
                    fields.completed ? fields.completedAt : QDateTime(), task.deletedAt(), task.modified(),
                    fields.repeatRule);
}

TodoTask taskFromFields(const TodoTask::Id& id, const TaskFields& fields)
{
    return TodoTask(id, fields.name, fields.notes, fields.completed, fields.due,
                    fields.created.isValid() ? fields.created : QDateTime::currentDateTime(),
                    fields.completed ? fields.completedAt : QDateTime(), QDateTime(), fields.lastModified,
                    fields.repeatRule);
}

bool sameContent(const TaskFields& a, const TaskFields& b)
{
    return a.name == b.name && a.notes == b.notes && a.due == b.due && a.completed == b.completed
        && (!a.completed || a.completedAt == b.completedAt) && a.repeatRule == b.repeatRule
        && a.sortOrder == b.sortOrder;
}

void cutToSeconds(TaskFields* fields)
{
    fields->due = toSeconds(fields->due);
    fields->completedAt = toSeconds(fields->completedAt);
    fields->created = toSeconds(fields->created);
}

} // namespace sync
