#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

namespace sync {

/// The fields of a task that travel with it in iCalendar (one VTODO). Times are local times
/// (QDateTime in local time), invalid when absent.
struct TaskFields
{
    QString uid;                    ///< UID
    QString name;                   ///< SUMMARY
    QString notes;                  ///< DESCRIPTION
    QDateTime due;                  ///< DUE: a date-only DUE reads as local midnight, and a due
                                    ///< time of exactly local midnight is written as a date
    bool completed = false;         ///< STATUS:COMPLETED (or a COMPLETED time without a STATUS)
    QDateTime completedAt;          ///< COMPLETED
    QDateTime created;              ///< CREATED
    QDateTime lastModified;         ///< LAST-MODIFIED (read only: writing stamps the time now)
    QString repeatRule;             ///< the RRULE value as text ("FREQ=WEEKLY;BYDAY=MO"), empty: none
    std::optional<qint64> sortOrder; ///< X-APPLE-SORT-ORDER, the order other clients keep lists in

    bool operator==(const TaskFields& other) const;
    bool operator!=(const TaskFields& other) const { return !(*this == other); }
};

/// Reads the VTODO of one calendar object resource (a VCALENDAR holding one VTODO, perhaps with
/// VTIMEZONEs). False, with a short reason in `error`, for text that is not iCalendar, a
/// truncated object, no VTODO, or a VTODO without UID.
bool readVTodo(const QByteArray& ics, TaskFields* fields, QString* error);

/// The calendar object to store for `fields`. With `existingIcs` (the server's copy) only the
/// properties whose value differs from what readVTodo() reads from it are replaced, and
/// LAST-MODIFIED and DTSTAMP are stamped now (SEQUENCE counts up where present); everything
/// else, properties and components alike, is kept. Without it a new VCALENDAR is made.
QByteArray writeVTodo(const QByteArray& existingIcs, const TaskFields& fields);

/// A calendar file of many tasks (.ics): the VTODOs of every VCALENDAR in it. Objects that
/// cannot be read are skipped, each with a line in `errors`.
QList<TaskFields> readCalendarFile(const QByteArray& ics, QStringList* errors);
/// One VCALENDAR holding a VTODO for each task, in order.
QByteArray writeCalendarFile(const QList<TaskFields>& tasks);

} // namespace sync
Q_DECLARE_METATYPE(sync::TaskFields)
