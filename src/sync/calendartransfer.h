#pragma once

#include "store/focusgroup.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QList>
#include <QStringList>

class TaskStorage;

namespace sync {

/// Tasks to and from iCalendar files (.ics), which other calendar and task programs read and
/// write: the same mapping as sync, tasks matched by UID.
class CalendarTransfer
{
    Q_DECLARE_TR_FUNCTIONS(CalendarTransfer)
public:
    /// The tasks the groups list, each once, in the groups' order.
    static QByteArray exportGroups(const TaskStorage& store, const QList<FocusGroup::Id>& groups);

    struct ImportResult
    {
        int added = 0;     ///< new tasks listed in the group
        int updated = 0;   ///< tasks already here (same UID) whose fields the file changed
        int unchanged = 0; ///< tasks already here, as the file has them
        QStringList errors; ///< one line per task of the file that could not be read
    };
    /// Reads a calendar file into `group`. A task whose UID is a task already here updates it
    /// (and lists it in the group when no group but the Trash lists it); the others are added
    /// at the end of the group, in the file's order. One announcement per group.
    static ImportResult importInto(TaskStorage& store, const FocusGroup::Id& group, const QByteArray& ics);
};

} // namespace sync
