#pragma once

#include "store/focusgroup.h"
#include "store/todotask.h"

#include <QByteArray>
#include <QList>
#include <QMap>

#include <memory>

class QMimeData;

/// What a drag carries. The MIME data of a drag holds only the id of this record under
/// "mrv/drag-id"; the record itself stays in the process, in the DragRegistry.
struct DragGroup
{
    enum Kind { Tasks = 0, Group = 1 };
    /// resultAction values set by the drop target.
    enum Result { NoResult = 0, Moved = 2, Reordered = 3 };

    int kind = Tasks;
    int resultAction = NoResult;
    /// A task drag with Shift held, from a group other than Trash and Completed.
    bool copy = false;
    /// The dragged tasks by source group, in order.
    QMap<FocusGroup::Id, QList<TodoTask::Id>> tasks;
    /// The dragged group of a group drag.
    FocusGroup::Id groupId;
};

/// The drags running in this process, by id.
class DragRegistry
{
public:
    static constexpr const char* MimeType = "mrv/drag-id";

    static DragRegistry* instance();
    static void destroy();

    /// Stores the record for the duration of its drag; ids restart at 0 whenever no drag is
    /// registered.
    int registerDrag(const std::shared_ptr<DragGroup>& data);
    void unregisterDrag(int id);
    /// The record named by a payload, or null for a foreign or unknown one.
    std::shared_ptr<DragGroup> findDrag(const QByteArray& payload) const;
    /// The record a drag's data names under "mrv/drag-id", or null.
    std::shared_ptr<DragGroup> findDrag(const QMimeData* mime) const;

    static QByteArray payload(int id);

private:
    DragRegistry() = default;

    int m_counter = 0;
    QMap<int, std::shared_ptr<DragGroup>> m_drags;
};
