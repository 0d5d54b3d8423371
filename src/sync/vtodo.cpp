#include "sync/vtodo.h"

namespace sync {

bool TaskFields::operator==(const TaskFields& other) const
{
    return uid == other.uid && name == other.name && notes == other.notes && due == other.due
        && completed == other.completed && completedAt == other.completedAt && created == other.created
        && lastModified == other.lastModified && repeatRule == other.repeatRule && sortOrder == other.sortOrder;
}

bool readVTodo(const QByteArray&, TaskFields*, QString* error)
{
    if (error)
        *error = QStringLiteral("not implemented");
    return false;
}

QByteArray writeVTodo(const QByteArray&, const TaskFields&)
{
    return {};
}

QList<TaskFields> readCalendarFile(const QByteArray&, QStringList*)
{
    return {};
}

QByteArray writeCalendarFile(const QList<TaskFields>&)
{
    return {};
}

} // namespace sync
