#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

namespace sync {

/// The fields of a task that travel with it in iCalendar (one VTODO). Times are local times
/// (QDateTime in local time), invalid when absent; they travel in whole seconds.
///
/// These functions may be called from any thread at the same time (the sync thread and the
/// interface thread); they keep no state between calls.
struct TaskFields
{
    QString uid;                    ///< UID; a new object without one gets a new UUID
    QString name;                   ///< SUMMARY
    QString notes;                  ///< DESCRIPTION; line breaks are written as LF (CRLF and CR too)
    /// DUE: a date-only DUE reads as local midnight, and a due time of exactly local midnight is
    /// written as a date; any other time is written in UTC. A DUE with TZID is read in the
    /// VTIMEZONE of that name in the object, else the IANA (or Windows) zone of that name, else
    /// as floating. Times skipped or repeated by a change of offset read as RFC 5545 says: a
    /// skipped time with the offset before the change, a repeated time as its first occurrence.
    /// Without DUE, DTSTART + DURATION is the due time (a new due replaces the DURATION).
    QDateTime due;
    /// STATUS:COMPLETED, or a COMPLETED time without any STATUS (CANCELLED, IN-PROCESS: false).
    /// Completing writes STATUS:COMPLETED, COMPLETED (completedAt, else now) and
    /// PERCENT-COMPLETE:100; reopening writes STATUS:NEEDS-ACTION and removes the other two.
    bool completed = false;
    QDateTime completedAt;          ///< COMPLETED; written for a completed task only
    QDateTime created;              ///< CREATED; a new object without one is created now
    QDateTime lastModified;         ///< LAST-MODIFIED (read only: writing stamps the time now)
    /// The RRULE value as text ("FREQ=WEEKLY;BYDAY=MO") as libical writes it, empty: none. A rule
    /// libical cannot read is not written (an existing object keeps its own).
    QString repeatRule;
    /// X-APPLE-SORT-ORDER, the order other clients keep lists in; nullopt when absent or when the
    /// value is not an integer.
    std::optional<qint64> sortOrder;

    bool operator==(const TaskFields& other) const;
    bool operator!=(const TaskFields& other) const { return !(*this == other); }
};

/// Reads the VTODO of one calendar object resource (a VCALENDAR holding one VTODO, perhaps with
/// VTIMEZONEs; of several VTODOs the one without RECURRENCE-ID). False, with a short one-line
/// reason in English in `error` (cleared on success), for text that is empty or not iCalendar, a
/// truncated or malformed object, no VTODO, or a VTODO without UID; `fields` is then untouched.
/// Lines libical cannot read inside a complete object are passed over.
bool readVTodo(const QByteArray& ics, TaskFields* fields, QString* error);

/// The calendar object to store for `fields`. With `existingIcs` (the server's copy) only the
/// properties whose value differs from what readVTodo() reads from it are replaced (a value
/// changes in place, so its parameters stay), and LAST-MODIFIED and DTSTAMP are stamped now
/// (SEQUENCE counts up where present); everything else, properties and components alike, is
/// kept as libical writes it (same meaning, perhaps other line folding or number format). Lines
/// libical could not read are not sent back. Without it, or when it cannot be read, a new
/// VCALENDAR is made with UTC and date values only.
QByteArray writeVTodo(const QByteArray& existingIcs, const TaskFields& fields);

/// A calendar file of many tasks (.ics): the VTODOs of every VCALENDAR in it (one or several
/// concatenated), each read with the VTIMEZONEs of its own VCALENDAR first. VTODOs that cannot be
/// read are skipped, as are single occurrences (RECURRENCE-ID) of a repeating task in the file;
/// `errors` is set to one line for each, and for text outside a calendar or a file cut short
/// (its last complete tasks are still read), in the order of their lines.
QList<TaskFields> readCalendarFile(const QByteArray& ics, QStringList* errors);
/// One VCALENDAR holding a VTODO for each task, in order (UTC and date values only).
QByteArray writeCalendarFile(const QList<TaskFields>& tasks);

} // namespace sync
Q_DECLARE_METATYPE(sync::TaskFields)
