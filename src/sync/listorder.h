#pragma once

#include "store/todotask.h"

#include <QHash>
#include <QList>

#include <optional>

namespace sync {

/// The order of a task list as sort keys (X-APPLE-SORT-ORDER: lower first), and back.
class ListOrder
{
public:
    using Keys = QHash<TodoTask::Id, std::optional<qint64>>;
    static constexpr qint64 Step = 1024;

    /// Keys that put the tasks in `order`, changing as few of the `agreed` keys as possible:
    /// the longest run of agreed keys that already rises along `order` is kept, the other
    /// keyed tasks and the tasks `agreed` does not hold (new ones) get keys that fit between
    /// their neighbours. A task `agreed` holds without a key keeps none.
    static Keys keysFor(const QList<TodoTask::Id>& order, const Keys& agreed);

    /// `current` sorted by `keys`; a task without a key stays right after the task it follows.
    static QList<TodoTask::Id> orderOf(const QList<TodoTask::Id>& current, const Keys& keys);
};

} // namespace sync
