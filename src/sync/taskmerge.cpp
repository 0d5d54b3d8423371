#include "sync/taskmerge.h"

#include <QLocale>

namespace sync {

namespace {

enum class Side { Local, Remote, Both };

template <typename T>
Side changedSide(const TaskFields* agreed, const T& local, const T& remote, T TaskFields::*field)
{
    if (agreed && local == (*agreed).*field)
        return Side::Remote;
    if (agreed && remote == (*agreed).*field)
        return Side::Local;
    return Side::Both;
}

/// Whether the losing text says something the winning one does not.
bool worthKeeping(const QString& winner, const QString& loser)
{
    const QString trimmed = loser.trimmed();
    return !trimmed.isEmpty() && !winner.contains(trimmed);
}

} // namespace

QString TaskMerge::keptLine(const QDateTime& changedAt)
{
    const QString when = changedAt.isValid()
        ? QLocale().toString(changedAt.toLocalTime(), QLocale::ShortFormat)
        : QString();
    return when.isEmpty() ? tr("——— Kept from a conflicting edit ———")
                          : tr("——— Kept from a conflicting edit (%1) ———").arg(when);
}

TaskMerge::Result TaskMerge::merge(const TaskFields* agreed, const MergeSide& local, const MergeSide& remote)
{
    const TaskFields& l = local.fields;
    const TaskFields& r = remote.fields;
    // Compared to the second, as iCalendar keeps times; ties go to the server's copy, so two
    // computers meeting the same conflict choose alike.
    const bool localNewer = local.changedAt.isValid()
        && (!remote.changedAt.isValid() || local.changedAt.toSecsSinceEpoch() > remote.changedAt.toSecsSinceEpoch());
    const MergeSide& newer = localNewer ? local : remote;
    const MergeSide& older = localNewer ? remote : local;

    Result result;
    result.fields = l;
    if (!r.uid.isEmpty())
        result.fields.uid = r.uid;
    if (r.created.isValid())
        result.fields.created = r.created;
    result.fields.lastModified = QDateTime();

    // Takes `field` from the side that changed it; true when both did (the newer wins).
    const auto pick = [&](auto TaskFields::*field) {
        if (l.*field == r.*field)
            return false;
        switch (changedSide(agreed, l.*field, r.*field, field)) {
        case Side::Local:
            return false;
        case Side::Remote:
            result.fields.*field = r.*field;
            return false;
        case Side::Both:
            result.fields.*field = newer.fields.*field;
            result.conflict = true;
            return true;
        }
        return false;
    };

    const bool nameConflict = pick(&TaskFields::name);
    const bool notesConflict = pick(&TaskFields::notes);
    pick(&TaskFields::due);
    pick(&TaskFields::repeatRule);
    pick(&TaskFields::sortOrder);
    // Completion and its time travel together.
    if (l.completed != r.completed || (l.completed && l.completedAt != r.completedAt)) {
        const TaskFields* from = &l;
        if (agreed && l.completed == agreed->completed && l.completedAt == agreed->completedAt)
            from = &r;
        else if (!(agreed && r.completed == agreed->completed && r.completedAt == agreed->completedAt)) {
            from = &newer.fields;
            result.conflict = true;
        }
        result.fields.completed = from->completed;
        result.fields.completedAt = from->completedAt;
    }

    QStringList kept;
    if (nameConflict && worthKeeping(newer.fields.name, older.fields.name))
        kept << tr("Name: %1").arg(older.fields.name.trimmed());
    if (notesConflict && worthKeeping(newer.fields.notes, older.fields.notes))
        kept << older.fields.notes.trimmed();
    if (!kept.isEmpty()) {
        QString& notes = result.fields.notes;
        if (!notes.isEmpty())
            notes += QStringLiteral("\n\n");
        notes += keptLine(older.changedAt) + QLatin1Char('\n') + kept.join(QLatin1Char('\n'));
    }
    return result;
}

} // namespace sync
