#include "sync/listorder.h"

#include <algorithm>

namespace sync {

namespace {

/// Indexes (into `values`) of a longest subsequence that never falls: equal keys (other clients
/// give them) keep whatever order they are in, so two computers never fight over them.
QList<int> longestRisingRun(const QList<qint64>& values)
{
    QList<int> tails;               // index of the smallest tail of each run length
    QList<int> previous(values.size(), -1);
    for (int i = 0; i < values.size(); ++i) {
        const auto at = std::upper_bound(tails.begin(), tails.end(), i,
                                         [&values](int a, int b) { return values.at(a) < values.at(b); });
        if (at != tails.begin())
            previous[i] = *(at - 1);
        if (at == tails.end())
            tails.append(i);
        else
            *at = i;
    }
    QList<int> run;
    for (int i = tails.isEmpty() ? -1 : tails.last(); i >= 0; i = previous.at(i))
        run.prepend(i);
    return run;
}

} // namespace

ListOrder::Keys ListOrder::keysFor(const QList<TodoTask::Id>& order, const Keys& agreed)
{
    QList<int> keyedAt;
    QList<qint64> keyed;
    for (int i = 0; i < order.size(); ++i) {
        const auto it = agreed.constFind(order.at(i));
        if (it != agreed.constEnd() && it.value()) {
            keyedAt.append(i);
            keyed.append(*it.value());
        }
    }
    QList<bool> kept(order.size(), false);
    for (int index : longestRisingRun(keyed))
        kept[keyedAt.at(index)] = true;

    Keys keys;
    const auto needsKey = [&](int i) {
        const auto it = agreed.constFind(order.at(i));
        return !kept.at(i) && (it == agreed.constEnd() || it.value());
    };
    bool renumber = false;
    for (int i = 0; i < order.size() && !renumber;) {
        if (kept.at(i)) {
            keys.insert(order.at(i), agreed.value(order.at(i)));
            ++i;
            continue;
        }
        if (!needsKey(i)) {
            keys.insert(order.at(i), std::nullopt);
            ++i;
            continue;
        }
        // A stretch of tasks without a kept key: spread them between the kept keys around it.
        bool hasBefore = false;
        qint64 before = 0;
        for (int j = i - 1; j >= 0 && !hasBefore; --j) {
            if (kept.at(j)) {
                hasBefore = true;
                before = *agreed.value(order.at(j));
            }
        }
        QList<int> stretch;
        int end = i;
        for (; end < order.size() && !kept.at(end); ++end) {
            if (needsKey(end))
                stretch.append(end);
        }
        const bool hasAfter = end < order.size();
        const qint64 after = hasAfter ? *agreed.value(order.at(end)) : 0;
        const qint64 count = stretch.size();
        if (hasBefore && hasAfter && after - before <= count) {
            renumber = true;
            break;
        }
        for (qint64 n = 0; n < count; ++n) {
            qint64 key;
            if (hasBefore && hasAfter)
                key = before + (after - before) / (count + 1) * (n + 1);
            else if (hasBefore)
                key = before + Step * (n + 1);
            else if (hasAfter)
                key = after - Step * (count - n);
            else
                key = Step * (n + 1);
            keys.insert(order.at(stretch.at(n)), key);
        }
        for (int j = i; j < end; ++j) {
            if (!needsKey(j))
                keys.insert(order.at(j), std::nullopt);
        }
        i = end;
    }
    if (renumber) {
        keys.clear();
        qint64 next = Step;
        for (const TodoTask::Id& id : order) {
            const auto it = agreed.constFind(id);
            if (it != agreed.constEnd() && !it.value()) {
                keys.insert(id, std::nullopt);
            } else {
                keys.insert(id, next);
                next += Step;
            }
        }
    }
    return keys;
}

QList<TodoTask::Id> ListOrder::orderOf(const QList<TodoTask::Id>& current, const Keys& keys)
{
    struct Entry
    {
        bool hasKey;
        qint64 key;
        int index;
        TodoTask::Id id;
    };
    QList<Entry> entries;
    entries.reserve(current.size());
    bool hasKey = false;
    qint64 key = 0;
    for (int i = 0; i < current.size(); ++i) {
        const std::optional<qint64> own = keys.value(current.at(i));
        if (own) {
            hasKey = true;
            key = *own;
        }
        entries.append({hasKey, key, i, current.at(i)});
    }
    std::stable_sort(entries.begin(), entries.end(), [](const Entry& a, const Entry& b) {
        if (a.hasKey != b.hasKey)
            return !a.hasKey; // the unkeyed head of the list stays first
        return a.hasKey && a.key < b.key;
    });
    QList<TodoTask::Id> order;
    order.reserve(entries.size());
    for (const Entry& entry : entries)
        order.append(entry.id);
    return order;
}

} // namespace sync
