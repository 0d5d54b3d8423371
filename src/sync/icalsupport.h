#pragma once

// Private to mrv_sync: what the VTODO mapping needs around libical 3.0 — ownership, times and
// time zones. Nothing here keeps mutable state between calls.

#include <QByteArray>
#include <QDateTime>
#include <QHash>

#include <libical/ical.h>

#include <memory>

namespace sync::ical {

/// Makes libical errors non-fatal and sets up its builtin UTC zone; once per process, safe to call
/// from any thread. Call before any other libical function.
void ensureInitialised();

struct ComponentDeleter
{
    void operator()(icalcomponent* component) const { icalcomponent_free(component); }
};
using ComponentPtr = std::unique_ptr<icalcomponent, ComponentDeleter>;

/// The iCalendar text of a component (libical folds lines and ends them with CRLF).
QByteArray toText(icalcomponent* component);

/// A time zone as the offset from UTC (seconds east) in force at each instant.
class ZoneRules
{
public:
    virtual ~ZoneRules() = default;
    virtual int offsetAt(qint64 utcSecs) const = 0;
};

/// The instant of a wall-clock time (`wallSecs`: the wall time counted as if it were UTC) in
/// `zone`, as RFC 5545 says: a time skipped by a change of offset is read with the offset before
/// the change, and a time that occurs twice is the first of them.
qint64 wallToUtc(qint64 wallSecs, const ZoneRules& zone);

/// Finds the zone of a TZID: the VTIMEZONE of that name in the object (its own VCALENDAR first,
/// then the others added), else the IANA zone of that name (also under a vendor prefix such as
/// "/mozilla.org/20050126_1/" or as a Windows zone name). Remembers what it found for its lifetime.
class ZoneResolver
{
public:
    ZoneResolver();
    ~ZoneResolver();
    ZoneResolver(const ZoneResolver&) = delete;
    ZoneResolver& operator=(const ZoneResolver&) = delete;

    /// Notes the VTIMEZONEs of `calendar`, which must outlive the resolver.
    void addCalendar(icalcomponent* calendar);
    /// The zone of `tzid` for an object in `calendar`; nullptr when nothing of that name is known.
    const ZoneRules* zone(const QByteArray& tzid, icalcomponent* calendar);
    /// The local time zone of the process.
    const ZoneRules& local() const;

private:
    struct VTimezone
    {
        icalcomponent* calendar = nullptr;
        icalcomponent* vtimezone = nullptr;
    };
    // The first VTIMEZONE of each name in each calendar, and in all of them.
    QHash<const icalcomponent*, QHash<QByteArray, icalcomponent*>> m_byCalendar;
    QHash<QByteArray, VTimezone> m_first;
    QHash<const icalcomponent*, std::shared_ptr<const ZoneRules>> m_fromComponents;
    QHash<QByteArray, std::shared_ptr<const ZoneRules>> m_byName;
    std::unique_ptr<ZoneRules> m_local;
};

/// A DATE or DATE-TIME value read as local time: a date is its local midnight, a UTC time is
/// converted, a time with `tzid` is converted from that zone (floating when the zone is unknown),
/// a floating time is taken as local. Invalid for a null or impossible value.
QDateTime toLocalDateTime(const icaltimetype& value, const QByteArray& tzid, icalcomponent* calendar,
                          ZoneResolver& zones);

/// A UTC DATE-TIME value (whole seconds) of a valid QDateTime.
icaltimetype utcValue(const QDateTime& time);
/// A DATE value.
icaltimetype dateValue(const QDate& date);

} // namespace sync::ical
