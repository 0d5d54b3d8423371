#pragma once

#include "sync/vtodo.h"

#include <QCoreApplication>
#include <QDateTime>

namespace sync {

/// One side of a merge: its fields and when they last changed there (invalid: long ago).
struct MergeSide
{
    TaskFields fields;
    QDateTime changedAt;
};

/// The three-way merge of a task's fields. A field changed on one side only (compared with the
/// version both sides last agreed on) takes that side's value. A field changed on both sides
/// takes the newer side's value; for the name and the notes the older text is not dropped: it
/// is added to the notes under a line that says an edit from elsewhere was kept, unless the
/// newer text already holds it. Without an agreed version every difference counts as changed on
/// both sides. The UID and creation time come from the remote side when it has them.
class TaskMerge
{
    Q_DECLARE_TR_FUNCTIONS(TaskMerge)
public:
    struct Result
    {
        TaskFields fields;
        bool conflict = false; ///< both sides changed the same field
    };

    static Result merge(const TaskFields* agreed, const MergeSide& local, const MergeSide& remote);

    /// The line that opens a kept text in the notes.
    static QString keptLine(const QDateTime& changedAt);
};

} // namespace sync
