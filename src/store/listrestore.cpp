#include "store/listrestore.h"

#include <QHash>

#include <algorithm>
#include <vector>

namespace {

using TaskIdList = FocusGroup::TaskIdList;

QHash<QUuid, qsizetype> positions(const TaskIdList& list)
{
    QHash<QUuid, qsizetype> map;
    map.reserve(list.size());
    for (qsizetype i = 0; i < list.size(); ++i)
        map.insert(list.at(i), i);
    return map;
}

// The tasks in both lists whose order `to` changed: all but a longest run that keeps its order
// (a longest increasing subsequence of their places in `from`, O(n log n)).
QSet<QUuid> movedBetween(const TaskIdList& to, const QHash<QUuid, qsizetype>& fromPlaces)
{
    std::vector<QUuid> ids;
    std::vector<qsizetype> places;
    for (const QUuid& id : to) {
        auto found = fromPlaces.constFind(id);
        if (found != fromPlaces.constEnd()) {
            ids.push_back(id);
            places.push_back(*found);
        }
    }
    const size_t n = places.size();
    std::vector<size_t> tails; // index of the smallest tail of each run length
    std::vector<qsizetype> previous(n, -1);
    for (size_t i = 0; i < n; ++i) {
        auto at = std::lower_bound(tails.begin(), tails.end(), places[i],
                                   [&places](size_t index, qsizetype place) { return places[index] < place; });
        if (at != tails.begin())
            previous[i] = qsizetype(*(at - 1));
        if (at == tails.end())
            tails.push_back(i);
        else
            *at = i;
    }
    std::vector<bool> kept(n, false);
    for (qsizetype i = tails.empty() ? -1 : qsizetype(tails.back()); i >= 0; i = previous[size_t(i)])
        kept[size_t(i)] = true;
    QSet<QUuid> moved;
    for (size_t i = 0; i < n; ++i) {
        if (!kept[i])
            moved.insert(ids[i]);
    }
    return moved;
}

} // namespace

TaskIdList ListRestore::restore(const TaskIdList& from, const TaskIdList& to, const TaskIdList& current,
                                const QSet<TodoTask::Id>& dropped)
{
    const auto withoutDropped = [&dropped](TaskIdList list) {
        if (!dropped.isEmpty())
            list.removeIf([&dropped](const QUuid& id) { return dropped.contains(id); });
        return list;
    };
    if (current == from)
        return withoutDropped(to);

    const QHash<QUuid, qsizetype> fromPlaces = positions(from);
    const QSet<QUuid> toIds(to.cbegin(), to.cend());
    // What goes back to its old place: what the step removed, and what it moved unless it was
    // removed elsewhere since.
    const QSet<QUuid> currentIds(current.cbegin(), current.cend());
    QSet<QUuid> returning;
    for (const QUuid& id : movedBetween(to, fromPlaces)) {
        if (currentIds.contains(id))
            returning.insert(id);
    }
    for (const QUuid& id : to) {
        if (!fromPlaces.contains(id))
            returning.insert(id);
    }
    TaskIdList kept;
    kept.reserve(current.size() + returning.size());
    QSet<QUuid> keptIds;
    for (const QUuid& id : current) {
        const bool addedByStep = fromPlaces.contains(id) && !toIds.contains(id);
        if (!addedByStep && !returning.contains(id)) {
            kept.append(id);
            keptIds.insert(id);
        }
    }
    // Each returning task follows the nearest task before it in `to` that is still listed.
    QHash<QUuid, TaskIdList> after;
    QUuid anchor;
    for (const QUuid& id : to) {
        if (returning.contains(id)) {
            if (!dropped.contains(id))
                after[anchor].append(id);
        } else if (keptIds.contains(id)) {
            anchor = id;
        }
    }
    TaskIdList result = after.value(QUuid());
    result.reserve(kept.size() + returning.size());
    for (const QUuid& id : std::as_const(kept)) {
        result.append(id);
        auto following = after.constFind(id);
        if (following != after.constEnd())
            result.append(*following);
    }
    return result;
}
