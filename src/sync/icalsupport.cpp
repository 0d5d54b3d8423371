#include "sync/icalsupport.h"

#include <QFileInfo>
#include <QStringList>
#include <QTimeZone>

#include <algorithm>
#include <cstdlib>
#include <mutex>
#include <optional>

namespace sync::ical {

namespace {

constexpr qint64 kUnixEpochJulianDay = 2440588;
constexpr qint64 kDaySecs = 86400;

qint64 floorDiv(qint64 value, qint64 divisor)
{
    return value >= 0 ? value / divisor : -((-value + divisor - 1) / divisor);
}

qint64 wallOfDate(const QDate& date, int secsOfDay = 0)
{
    return (date.toJulianDay() - kUnixEpochJulianDay) * kDaySecs + secsOfDay;
}

int yearOfInstant(qint64 secs)
{
    return QDate::fromJulianDay(floorDiv(secs, kDaySecs) + kUnixEpochJulianDay).year();
}

// The wall time of a libical value counted as if it were UTC; nullopt for an impossible value.
std::optional<qint64> wallSecs(const icaltimetype& value)
{
    const QDate date(value.year, value.month, value.day);
    if (!date.isValid())
        return std::nullopt;
    if (value.is_date)
        return wallOfDate(date);
    if (value.hour < 0 || value.hour > 23 || value.minute < 0 || value.minute > 59 || value.second < 0
        || value.second > 60)
        return std::nullopt;
    return wallOfDate(date, value.hour * 3600 + value.minute * 60 + std::min(value.second, 59));
}

class LocalRules final : public ZoneRules
{
public:
    int offsetAt(qint64 utcSecs) const override
    {
        return QDateTime::fromSecsSinceEpoch(utcSecs, Qt::LocalTime).offsetFromUtc();
    }
};

class QtRules final : public ZoneRules
{
public:
    explicit QtRules(QTimeZone zone) : m_zone(std::move(zone)) {}
    int offsetAt(qint64 utcSecs) const override
    {
        return m_zone.offsetFromUtc(QDateTime::fromSecsSinceEpoch(utcSecs, Qt::UTC));
    }

private:
    QTimeZone m_zone;
};

// libical's own reading of a VTIMEZONE: right for any rule, but it expands every change from the
// first onset on (1601 in Outlook's zones), about a millisecond per zone, so only the rules
// VTimezoneRules does not read come here.
class LibicalRules final : public ZoneRules
{
public:
    explicit LibicalRules(icaltimezone* zone) : m_zone(zone) {}
    int offsetAt(qint64 utcSecs) const override
    {
        icaltimetype time = icaltime_from_timet_with_zone(static_cast<time_t>(utcSecs), 0,
                                                          icaltimezone_get_utc_timezone());
        return icaltimezone_get_utc_offset_of_utc_time(m_zone, &time, nullptr);
    }

private:
    icaltimezone* m_zone; // owned by its VCALENDAR component
};

// A VTIMEZONE read directly, for the rules zones are written with in practice: each observance
// (STANDARD or DAYLIGHT) has onsets at DTSTART, at RDATEs and at a yearly RRULE on the nth (or
// last) weekday of a month, on a weekday within seven given days of a month, or on a fixed day.
class VTimezoneRules final : public ZoneRules
{
public:
    enum class Result { Read, Empty, Unsupported };

    static std::unique_ptr<VTimezoneRules> fromComponent(icalcomponent* vtimezone, Result* result);
    int offsetAt(qint64 utcSecs) const override;

private:
    enum class RuleKind { None, NthWeekday, WeekdayFrom, MonthDay };
    struct Observance
    {
        int offsetFrom = 0;
        int offsetTo = 0;
        qint64 startWall = 0;           // DTSTART as wall time
        int startSecsOfDay = 0;
        RuleKind rule = RuleKind::None;
        int month = 0;
        int weekday = 0;                // Qt numbering, Monday 1
        int nth = 0;                    // NthWeekday: 1..4 or -1 (last)
        int day = 0;                    // WeekdayFrom: first of the seven days; MonthDay: the day
        std::optional<qint64> untilUtc; // UNTIL as an instant
        std::optional<qint64> untilWall; // UNTIL as a wall time (floating or a date: its last second)
        std::vector<qint64> rdates;     // further onsets as instants
    };

    static bool readRule(const icalrecurrencetype& rule, Observance* observance);
    std::optional<qint64> onsetWall(const Observance& observance, int year) const;

    std::vector<Observance> m_observances;
};

int countOf(const short* values, int size)
{
    int count = 0;
    while (count < size && values[count] != ICAL_RECURRENCE_ARRAY_MAX)
        ++count;
    return count;
}

bool VTimezoneRules::readRule(const icalrecurrencetype& rule, Observance* observance)
{
    if (rule.freq != ICAL_YEARLY_RECURRENCE || rule.interval > 1 || rule.count > 0
        || (rule.rscale && *rule.rscale))
        return false;
    if (countOf(rule.by_second, ICAL_BY_SECOND_SIZE) || countOf(rule.by_minute, ICAL_BY_MINUTE_SIZE)
        || countOf(rule.by_hour, ICAL_BY_HOUR_SIZE) || countOf(rule.by_year_day, ICAL_BY_YEARDAY_SIZE)
        || countOf(rule.by_week_no, ICAL_BY_WEEKNO_SIZE) || countOf(rule.by_set_pos, ICAL_BY_SETPOS_SIZE))
        return false;
    if (countOf(rule.by_month, ICAL_BY_MONTH_SIZE) != 1 || icalrecurrencetype_month_is_leap(rule.by_month[0]))
        return false;
    const int month = icalrecurrencetype_month_month(rule.by_month[0]);
    if (month < 1 || month > 12)
        return false;
    const int shortestMonth = month == 2 ? 28 : QDate(2001, month, 1).daysInMonth();
    const int days = countOf(rule.by_day, ICAL_BY_DAY_SIZE);
    const int monthDays = countOf(rule.by_month_day, ICAL_BY_MONTHDAY_SIZE);
    observance->month = month;
    auto qtWeekday = [](short day) {
        const int icalDay = icalrecurrencetype_day_day_of_week(day); // Sunday 1 .. Saturday 7
        return icalDay == 1 ? 7 : icalDay - 1;
    };
    if (days == 1 && monthDays == 0) {
        const int position = icalrecurrencetype_day_position(rule.by_day[0]);
        if (!((position >= 1 && position <= 4) || position == -1))
            return false;
        observance->rule = RuleKind::NthWeekday;
        observance->nth = position;
        observance->weekday = qtWeekday(rule.by_day[0]);
    } else if (days == 1 && monthDays == 7) {
        if (icalrecurrencetype_day_position(rule.by_day[0]) != 0)
            return false;
        const int first = rule.by_month_day[0];
        for (int i = 1; i < 7; ++i) {
            if (rule.by_month_day[i] != first + i)
                return false;
        }
        if (first < 1 || first + 6 > shortestMonth)
            return false;
        observance->rule = RuleKind::WeekdayFrom;
        observance->day = first;
        observance->weekday = qtWeekday(rule.by_day[0]);
    } else if (days == 0 && monthDays == 1) {
        const int day = rule.by_month_day[0];
        if (day < 1 || day > shortestMonth)
            return false;
        observance->rule = RuleKind::MonthDay;
        observance->day = day;
    } else {
        return false;
    }
    if (observance->weekday < 1 && observance->rule != RuleKind::MonthDay)
        return false;
    if (!icaltime_is_null_time(rule.until)) {
        const std::optional<qint64> until = wallSecs(rule.until);
        if (!until)
            return false;
        if (rule.until.is_date)
            observance->untilWall = *until + kDaySecs - 1;
        else if (icaltime_is_utc(rule.until))
            observance->untilUtc = *until;
        else
            observance->untilWall = *until;
    }
    return true;
}

std::unique_ptr<VTimezoneRules> VTimezoneRules::fromComponent(icalcomponent* vtimezone, Result* result)
{
    auto rules = std::make_unique<VTimezoneRules>();
    *result = Result::Unsupported;
    for (icalcompiter it = icalcomponent_begin_component(vtimezone, ICAL_ANY_COMPONENT);
         icalcomponent* part = icalcompiter_deref(&it); icalcompiter_next(&it)) {
        const icalcomponent_kind kind = icalcomponent_isa(part);
        if (kind != ICAL_XSTANDARD_COMPONENT && kind != ICAL_XDAYLIGHT_COMPONENT)
            continue;
        Observance observance;
        bool hasStart = false, hasFrom = false, hasTo = false, startIsUtc = false;
        int rules_ = 0;
        icalrecurrencetype rule;
        std::vector<icaltimetype> rdates;
        for (icalproperty* p = icalcomponent_get_first_property(part, ICAL_ANY_PROPERTY); p;
             p = icalcomponent_get_next_property(part, ICAL_ANY_PROPERTY)) {
            switch (icalproperty_isa(p)) {
            case ICAL_DTSTART_PROPERTY: {
                const icaltimetype start = icalproperty_get_dtstart(p);
                const std::optional<qint64> wall = wallSecs(start);
                if (!wall || start.is_date)
                    return nullptr;
                hasStart = true;
                startIsUtc = icaltime_is_utc(start);
                observance.startWall = *wall;
                observance.startSecsOfDay = start.hour * 3600 + start.minute * 60 + std::min(start.second, 59);
                break;
            }
            case ICAL_TZOFFSETFROM_PROPERTY:
                hasFrom = true;
                observance.offsetFrom = icalproperty_get_tzoffsetfrom(p);
                break;
            case ICAL_TZOFFSETTO_PROPERTY:
                hasTo = true;
                observance.offsetTo = icalproperty_get_tzoffsetto(p);
                break;
            case ICAL_RRULE_PROPERTY:
                ++rules_;
                rule = icalproperty_get_rrule(p); // a copy; rscale still belongs to the property
                if (rules_ == 1 && !readRule(rule, &observance))
                    return nullptr;
                break;
            case ICAL_RDATE_PROPERTY: {
                const icaldatetimeperiodtype date = icalproperty_get_rdate(p);
                rdates.push_back(icaltime_is_null_time(date.time) ? date.period.start : date.time);
                break;
            }
            case ICAL_EXDATE_PROPERTY:
                return nullptr;
            default:
                break;
            }
        }
        if (!hasStart || !hasTo || rules_ > 1)
            return nullptr;
        if (!hasFrom)
            observance.offsetFrom = observance.offsetTo;
        if (startIsUtc) // RFC 5545 wants local time here; take a UTC one as the instant it names
            observance.startWall += observance.offsetFrom;
        for (const icaltimetype& date : rdates) {
            const std::optional<qint64> wall = wallSecs(date);
            if (!wall)
                return nullptr;
            observance.rdates.push_back(icaltime_is_utc(date) ? *wall : *wall - observance.offsetFrom);
        }
        rules->m_observances.push_back(std::move(observance));
    }
    if (rules->m_observances.empty()) {
        *result = Result::Empty;
        return nullptr;
    }
    *result = Result::Read;
    return rules;
}

std::optional<qint64> VTimezoneRules::onsetWall(const Observance& o, int year) const
{
    if (year < 1 || year > 9999)
        return std::nullopt;
    QDate date;
    switch (o.rule) {
    case RuleKind::None:
        return std::nullopt;
    case RuleKind::NthWeekday:
        if (o.nth > 0) {
            const QDate first(year, o.month, 1);
            date = first.addDays((o.weekday - first.dayOfWeek() + 7) % 7 + 7 * (o.nth - 1));
        } else {
            const QDate first(year, o.month, 1);
            const QDate last = first.addDays(first.daysInMonth() - 1);
            date = last.addDays(-((last.dayOfWeek() - o.weekday + 7) % 7));
        }
        break;
    case RuleKind::WeekdayFrom: {
        const QDate first(year, o.month, o.day);
        date = first.addDays((o.weekday - first.dayOfWeek() + 7) % 7);
        break;
    }
    case RuleKind::MonthDay:
        date = QDate(year, o.month, o.day);
        break;
    }
    if (!date.isValid())
        return std::nullopt;
    const qint64 wall = wallOfDate(date, o.startSecsOfDay);
    if (wall < o.startWall)
        return std::nullopt;
    if (o.untilWall && wall > *o.untilWall)
        return std::nullopt;
    if (o.untilUtc && wall - o.offsetFrom > *o.untilUtc)
        return std::nullopt;
    return wall;
}

int VTimezoneRules::offsetAt(qint64 utcSecs) const
{
    // The observance whose latest onset at or before the instant is the latest gives the offset.
    bool found = false;
    qint64 bestOnset = 0;
    int bestOffset = 0;
    for (const Observance& o : m_observances) {
        auto consider = [&](qint64 onset) {
            if (onset <= utcSecs && (!found || onset > bestOnset)) {
                found = true;
                bestOnset = onset;
                bestOffset = o.offsetTo;
            }
        };
        consider(o.startWall - o.offsetFrom);
        for (qint64 onset : o.rdates)
            consider(onset);
        if (o.rule == RuleKind::None)
            continue;
        // One onset a year: the latest one before the instant falls in its year or the one before
        // (a year later too, when the offset moves it across New Year), or, once the rule has
        // ended, around its last year.
        const int year = yearOfInstant(utcSecs);
        int years[6] = {year - 1, year, year + 1, 0, 0, 0};
        int yearCount = 3;
        if (o.untilUtc || o.untilWall) {
            const int last = yearOfInstant(o.untilUtc ? *o.untilUtc : *o.untilWall);
            years[3] = last - 1;
            years[4] = last;
            years[5] = last + 1;
            yearCount = 6;
        }
        for (int i = 0; i < yearCount; ++i) {
            if (const std::optional<qint64> wall = onsetWall(o, years[i]))
                consider(*wall - o.offsetFrom);
        }
    }
    if (found)
        return bestOffset;
    // Before the first onset: the offset the earliest observance changes from.
    const Observance* earliest = nullptr;
    for (const Observance& o : m_observances) {
        if (!earliest || o.startWall - o.offsetFrom < earliest->startWall - earliest->offsetFrom)
            earliest = &o;
    }
    return earliest->offsetFrom;
}

// Whether a TZID may name an IANA zone: only such names reach QTimeZone, which opens the file of
// that name under the zone directory, and TZIDs come from servers.
bool plausibleIanaId(const QByteArray& id)
{
    if (id.isEmpty() || id.size() > 64)
        return false;
    const QList<QByteArray> sections = id.split('/');
    for (const QByteArray& section : sections) {
        if (section.isEmpty() || section.size() > 32)
            return false;
        for (char c : section) {
            const bool ok = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9')
                || c == '_' || c == '-' || c == '+';
            if (!ok)
                return false;
        }
    }
    return true;
}

// Whether the system knows a zone of this name. Qt's TZ backend also takes any word for a POSIX
// zone at UTC ("Land", "Nowhere"), so on such systems the name must be that of a zone file.
bool isKnownZone(const QByteArray& id)
{
    if (QTimeZone::isTimeZoneIdAvailable(id)) // the canonical names only (zone.tab)
        return true;
#if defined(Q_OS_UNIX) && !defined(Q_OS_DARWIN) && !defined(Q_OS_ANDROID)
    QStringList folders{QStringLiteral("/usr/share/zoneinfo"), QStringLiteral("/usr/lib/zoneinfo"),
                        QStringLiteral("/usr/share/lib/zoneinfo")};
    if (!qEnvironmentVariableIsEmpty("TZDIR"))
        folders.prepend(qEnvironmentVariable("TZDIR"));
    const QString name = QString::fromLatin1(id);
    return std::any_of(folders.cbegin(), folders.cend(),
                       [&name](const QString& folder) { return QFileInfo(folder + QLatin1Char('/') + name).isFile(); });
#else
    return true;
#endif
}

QTimeZone ianaZone(const QByteArray& tzid)
{
    auto tryId = [](const QByteArray& id) {
        if (!plausibleIanaId(id) || !isKnownZone(id))
            return QTimeZone();
        QTimeZone zone(id);
        return zone.isValid() ? zone : QTimeZone();
    };
    const QByteArray id = tzid.trimmed();
    QTimeZone zone = tryId(id);
    if (zone.isValid())
        return zone;
    // A vendor prefix: "/mozilla.org/20050126_1/America/New_York",
    // "/freeassociation.sourceforge.net/Tzfile/Europe/Berlin", "/citadel.org/20190914_1/Asia/Tokyo".
    const QList<QByteArray> sections = id.split('/');
    for (int count = 3; count >= 1; --count) {
        if (sections.size() <= count)
            continue;
        zone = tryId(sections.mid(sections.size() - count).join('/'));
        if (zone.isValid())
            return zone;
    }
    // A Windows zone name ("W. Europe Standard Time"), as Outlook writes when it leaves out its
    // VTIMEZONE.
    const QByteArray windows = QTimeZone::windowsIdToDefaultIanaId(id);
    if (!windows.isEmpty())
        return tryId(windows);
    return QTimeZone();
}

} // namespace

void ensureInitialised()
{
    static std::once_flag once;
    std::call_once(once, [] {
        icalerror_set_errors_are_fatal(0);
        // Loads libical's table of builtin zones, which is not safe to do from two threads at
        // once; parsing a UTC time asks for it.
        icaltimezone_get_utc_timezone();
    });
}

QByteArray toText(icalcomponent* component)
{
    char* text = icalcomponent_as_ical_string_r(component);
    if (!text)
        return QByteArray();
    QByteArray result(text);
    icalmemory_free_buffer(text);
    return result;
}

qint64 wallToUtc(qint64 wallSecs, const ZoneRules& zone)
{
    // The offsets well before and after (more than any offset away) and the one the first
    // reading lands on; every offset that agrees with the instant it gives is a reading.
    const int before = zone.offsetAt(wallSecs - 26 * 3600);
    const int after = zone.offsetAt(wallSecs + 26 * 3600);
    const int landed = zone.offsetAt(wallSecs - before);
    std::optional<qint64> earliest;
    for (int offset : {before, after, landed}) {
        const qint64 instant = wallSecs - offset;
        if (zone.offsetAt(instant) == offset && (!earliest || instant < *earliest))
            earliest = instant;
    }
    return earliest ? *earliest : wallSecs - before;
}

ZoneResolver::ZoneResolver() : m_local(std::make_unique<LocalRules>()) {}

ZoneResolver::~ZoneResolver() = default;

void ZoneResolver::addCalendar(icalcomponent* calendar)
{
    for (icalcompiter it = icalcomponent_begin_component(calendar, ICAL_VTIMEZONE_COMPONENT);
         icalcomponent* vtimezone = icalcompiter_deref(&it); icalcompiter_next(&it)) {
        icalproperty* property = icalcomponent_get_first_property(vtimezone, ICAL_TZID_PROPERTY);
        const char* name = property ? icalproperty_get_tzid(property) : nullptr;
        if (!name || !*name)
            continue;
        const QByteArray tzid(name);
        QHash<QByteArray, icalcomponent*>& own = m_byCalendar[calendar];
        if (!own.contains(tzid))
            own.insert(tzid, vtimezone);
        if (!m_first.contains(tzid))
            m_first.insert(tzid, VTimezone{calendar, vtimezone});
    }
}

const ZoneRules* ZoneResolver::zone(const QByteArray& tzid, icalcomponent* calendar)
{
    VTimezone pick;
    const auto own = m_byCalendar.constFind(calendar);
    if (own != m_byCalendar.constEnd())
        pick = VTimezone{calendar, own->value(tzid)};
    if (!pick.vtimezone)
        pick = m_first.value(tzid);
    if (pick.vtimezone) {
        auto cached = m_fromComponents.constFind(pick.vtimezone);
        if (cached == m_fromComponents.constEnd()) {
            VTimezoneRules::Result result;
            std::shared_ptr<const ZoneRules> rules = VTimezoneRules::fromComponent(pick.vtimezone, &result);
            if (result == VTimezoneRules::Result::Unsupported) {
                if (icaltimezone* zone = icalcomponent_get_timezone(pick.calendar, tzid.constData()))
                    rules = std::make_shared<LibicalRules>(zone);
            }
            cached = m_fromComponents.insert(pick.vtimezone, rules);
        }
        if (*cached)
            return cached->get();
        // An empty VTIMEZONE says nothing: go by the name.
    }
    auto named = m_byName.constFind(tzid);
    if (named == m_byName.constEnd()) {
        const QTimeZone zone = ianaZone(tzid);
        named = m_byName.insert(tzid, zone.isValid() ? std::make_shared<QtRules>(zone) : nullptr);
    }
    return named->get();
}

const ZoneRules& ZoneResolver::local() const
{
    return *m_local;
}

QDateTime toLocalDateTime(const icaltimetype& value, const QByteArray& tzid, icalcomponent* calendar,
                          ZoneResolver& zones)
{
    if (icaltime_is_null_time(value))
        return QDateTime();
    if (value.is_date) {
        const QDate date(value.year, value.month, value.day);
        return date.isValid() ? date.startOfDay(Qt::LocalTime) : QDateTime();
    }
    const std::optional<qint64> wall = wallSecs(value);
    if (!wall)
        return QDateTime();
    qint64 utc = *wall;
    if (!icaltime_is_utc(value)) {
        const ZoneRules* zone = tzid.isEmpty() ? nullptr : zones.zone(tzid, calendar);
        utc = wallToUtc(*wall, zone ? *zone : zones.local());
    }
    return QDateTime::fromSecsSinceEpoch(utc, Qt::LocalTime);
}

icaltimetype utcValue(const QDateTime& time)
{
    const QDateTime utc = QDateTime::fromSecsSinceEpoch(time.toSecsSinceEpoch(), Qt::UTC);
    icaltimetype value = icaltime_null_time();
    value.year = utc.date().year();
    value.month = utc.date().month();
    value.day = utc.date().day();
    value.hour = utc.time().hour();
    value.minute = utc.time().minute();
    value.second = utc.time().second();
    value.is_date = 0;
    value.zone = icaltimezone_get_utc_timezone();
    return value;
}

icaltimetype dateValue(const QDate& date)
{
    icaltimetype value = icaltime_null_date();
    value.year = date.year();
    value.month = date.month();
    value.day = date.day();
    value.is_date = 1;
    return value;
}

} // namespace sync::ical
