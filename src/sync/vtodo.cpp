#include "sync/vtodo.h"

#include "sync/icalsupport.h"
#include "sync/icsscan.h"

#include <QSet>
#include <QUuid>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace sync {

bool TaskFields::operator==(const TaskFields& other) const
{
    return uid == other.uid && name == other.name && notes == other.notes && due == other.due
        && completed == other.completed && completedAt == other.completedAt && created == other.created
        && lastModified == other.lastModified && repeatRule == other.repeatRule && sortOrder == other.sortOrder;
}

namespace {

using ical::ComponentPtr;
using ical::ZoneResolver;

constexpr char kSortOrderName[] = "X-APPLE-SORT-ORDER";
constexpr char kProductId[] = "-//Mirevo//Mirevo//EN";

// The properties of a VTODO the mapping reads and writes (the first of each kind).
struct TodoProperties
{
    icalproperty* uid = nullptr;
    icalproperty* summary = nullptr;
    icalproperty* description = nullptr;
    icalproperty* due = nullptr;
    icalproperty* dtstart = nullptr;
    icalproperty* duration = nullptr;
    icalproperty* status = nullptr;
    icalproperty* completed = nullptr;
    icalproperty* percentComplete = nullptr;
    icalproperty* created = nullptr;
    icalproperty* lastModified = nullptr;
    icalproperty* dtstamp = nullptr;
    icalproperty* sequence = nullptr;
    icalproperty* rrule = nullptr;
    icalproperty* sortOrder = nullptr;
    icalproperty* recurrenceId = nullptr;
};

TodoProperties collectProperties(icalcomponent* todo)
{
    TodoProperties p;
    auto first = [](icalproperty*& slot, icalproperty* property) {
        if (!slot)
            slot = property;
    };
    for (icalproperty* property = icalcomponent_get_first_property(todo, ICAL_ANY_PROPERTY); property;
         property = icalcomponent_get_next_property(todo, ICAL_ANY_PROPERTY)) {
        switch (icalproperty_isa(property)) {
        case ICAL_UID_PROPERTY: first(p.uid, property); break;
        case ICAL_SUMMARY_PROPERTY: first(p.summary, property); break;
        case ICAL_DESCRIPTION_PROPERTY: first(p.description, property); break;
        case ICAL_DUE_PROPERTY: first(p.due, property); break;
        case ICAL_DTSTART_PROPERTY: first(p.dtstart, property); break;
        case ICAL_DURATION_PROPERTY: first(p.duration, property); break;
        case ICAL_STATUS_PROPERTY: first(p.status, property); break;
        case ICAL_COMPLETED_PROPERTY: first(p.completed, property); break;
        case ICAL_PERCENTCOMPLETE_PROPERTY: first(p.percentComplete, property); break;
        case ICAL_CREATED_PROPERTY: first(p.created, property); break;
        case ICAL_LASTMODIFIED_PROPERTY: first(p.lastModified, property); break;
        case ICAL_DTSTAMP_PROPERTY: first(p.dtstamp, property); break;
        case ICAL_SEQUENCE_PROPERTY: first(p.sequence, property); break;
        case ICAL_RRULE_PROPERTY: first(p.rrule, property); break;
        case ICAL_RECURRENCEID_PROPERTY: first(p.recurrenceId, property); break;
        case ICAL_X_PROPERTY: {
            const char* name = icalproperty_get_x_name(property);
            if (name && qstricmp(name, kSortOrderName) == 0)
                first(p.sortOrder, property);
            break;
        }
        default:
            break;
        }
    }
    return p;
}

QString fromUtf8(const char* text)
{
    return text ? QString::fromUtf8(text) : QString();
}

QByteArray tzidOf(icalproperty* property)
{
    icalparameter* tzid = icalproperty_get_first_parameter(property, ICAL_TZID_PARAMETER);
    const char* name = tzid ? icalparameter_get_tzid(tzid) : nullptr;
    return name ? QByteArray(name) : QByteArray();
}

// RFC 5545 text has one kind of line break; libical drops carriage returns.
QString normalisedText(QString text)
{
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return text;
}

QString ruleText(icalrecurrencetype rule)
{
    char* text = icalrecurrencetype_as_string_r(&rule);
    const QString result = fromUtf8(text);
    if (text)
        icalmemory_free_buffer(text);
    return result;
}

// A new RRULE property for `text` and, in `normalised`, the text libical writes for it; nullptr
// when libical cannot read the rule.
icalproperty* newRRule(const QString& text, QString* normalised)
{
    const QByteArray utf8 = text.trimmed().toUtf8();
    icalrecurrencetype rule = icalrecurrencetype_from_string(utf8.constData());
    icalproperty* property = nullptr;
    if (rule.freq != ICAL_NO_RECURRENCE) {
        *normalised = ruleText(rule);
        property = icalproperty_new_rrule(rule); // copies the rule, RSCALE text too
    }
    std::free(rule.rscale); // icalrecurrencetype_from_string leaves it to the caller
    return property;
}

// Text from the object for a one-line message: short, control characters replaced.
QString printable(const QByteArray& text, int length = 60)
{
    QString result = QString::fromUtf8(text.left(length));
    for (QChar& c : result) {
        if (c.category() == QChar::Other_Control)
            c = QLatin1Char('?');
    }
    return result;
}

bool sameSecond(const QDateTime& a, const QDateTime& b)
{
    if (a.isValid() != b.isValid())
        return false;
    return !a.isValid() || a.toSecsSinceEpoch() == b.toSecsSinceEpoch();
}

QDateTime nowUtc()
{
    return QDateTime::fromSecsSinceEpoch(QDateTime::currentSecsSinceEpoch(), Qt::UTC);
}

TaskFields readFields(icalcomponent* calendar, const TodoProperties& p, ZoneResolver& zones)
{
    TaskFields f;
    if (p.uid)
        f.uid = fromUtf8(icalproperty_get_uid(p.uid));
    if (p.summary)
        f.name = fromUtf8(icalproperty_get_summary(p.summary));
    if (p.description)
        f.notes = fromUtf8(icalproperty_get_description(p.description));
    if (p.due) {
        f.due = ical::toLocalDateTime(icalproperty_get_due(p.due), tzidOf(p.due), calendar, zones);
    } else if (p.dtstart && p.duration) {
        // Days and weeks are nominal (wall clock), hours to seconds exact (RFC 5545 3.3.6).
        const icaldurationtype duration = icalproperty_get_duration(p.duration);
        icaldurationtype days = icaldurationtype_null_duration();
        days.is_neg = duration.is_neg;
        days.days = duration.days;
        days.weeks = duration.weeks;
        const icaltimetype start = icaltime_add(icalproperty_get_dtstart(p.dtstart), days);
        f.due = ical::toLocalDateTime(start, tzidOf(p.dtstart), calendar, zones);
        const qint64 exact = qint64(duration.hours) * 3600 + qint64(duration.minutes) * 60 + duration.seconds;
        if (f.due.isValid() && exact)
            f.due = f.due.addSecs(duration.is_neg ? -exact : exact);
    }
    if (p.completed)
        f.completedAt = ical::toLocalDateTime(icalproperty_get_completed(p.completed), tzidOf(p.completed),
                                              calendar, zones);
    f.completed = p.status ? icalproperty_get_status(p.status) == ICAL_STATUS_COMPLETED : p.completed != nullptr;
    if (p.created)
        f.created = ical::toLocalDateTime(icalproperty_get_created(p.created), tzidOf(p.created), calendar, zones);
    if (p.lastModified)
        f.lastModified = ical::toLocalDateTime(icalproperty_get_lastmodified(p.lastModified),
                                               tzidOf(p.lastModified), calendar, zones);
    if (p.rrule)
        f.repeatRule = ruleText(icalproperty_get_rrule(p.rrule));
    if (p.sortOrder) {
        bool ok = false;
        const qint64 order = QByteArray(icalproperty_get_x(p.sortOrder)).trimmed().toLongLong(&ok);
        if (ok)
            f.sortOrder = order;
    }
    return f;
}

// Puts the X- and unknown property names libical was handed under a marker back as they were.
void restoreUnknownNames(icalcomponent* component)
{
    const size_t markerLength = std::strlen(ics::kUnknownNameMarker);
    for (icalproperty* p = icalcomponent_get_first_property(component, ICAL_X_PROPERTY); p;
         p = icalcomponent_get_next_property(component, ICAL_X_PROPERTY)) {
        const char* name = icalproperty_get_x_name(p);
        if (name && std::strncmp(name, ics::kUnknownNameMarker, markerLength) == 0) {
            const QByteArray original(name + markerLength); // set_x_name frees the old name
            icalproperty_set_x_name(p, original.constData());
        }
    }
    for (icalcompiter it = icalcomponent_begin_component(component, ICAL_ANY_COMPONENT);
         icalcomponent* child = icalcompiter_deref(&it); icalcompiter_next(&it))
        restoreUnknownNames(child);
}

// Removes the X-LIC-ERROR properties libical adds where it could not read a line, so that they
// are not sent back to the server.
void removeParseErrors(icalcomponent* component)
{
    std::vector<icalproperty*> errors;
    for (icalproperty* p = icalcomponent_get_first_property(component, ICAL_XLICERROR_PROPERTY); p;
         p = icalcomponent_get_next_property(component, ICAL_XLICERROR_PROPERTY))
        errors.push_back(p);
    for (icalproperty* p : errors) {
        icalcomponent_remove_property(component, p);
        icalproperty_free(p);
    }
    for (icalcompiter it = icalcomponent_begin_component(component, ICAL_ANY_COMPONENT);
         icalcomponent* child = icalcompiter_deref(&it); icalcompiter_next(&it))
        removeParseErrors(child);
}

ComponentPtr parseBlock(const QByteArray& text, const ics::Block& block)
{
    const QByteArray blockText = ics::blockText(text, block);
    ComponentPtr root(icalparser_parse_string(blockText.constData()));
    if (!root || icalcomponent_isa(root.get()) != ICAL_VCALENDAR_COMPONENT)
        return nullptr;
    if (!block.unknownNames.isEmpty())
        restoreUnknownNames(root.get());
    return root;
}

// One calendar object resource, parsed.
struct CalendarObject
{
    std::vector<ComponentPtr> calendars; // normally one VCALENDAR
    icalcomponent* calendar = nullptr;   // the one holding the task
    icalcomponent* todo = nullptr;       // the task: the one without RECURRENCE-ID, else the first
    bool isMaster = false;
    TodoProperties properties;
    TaskFields fields;
};

bool parseObject(const QByteArray& ics, CalendarObject* object, QString* error)
{
    auto fail = [error](const QString& reason) {
        if (error)
            *error = reason;
        return false;
    };
    const ics::Scan scan = ics::scan(ics);
    if (scan.blocks.isEmpty())
        return fail(scan.blank ? QStringLiteral("the calendar object is empty")
                               : QStringLiteral("not an iCalendar object"));
    for (const ics::Block& block : scan.blocks) {
        if (block.kind != "VCALENDAR")
            return fail(QStringLiteral("not an iCalendar object (it begins with %1, not VCALENDAR)")
                            .arg(block.kind.isEmpty() ? QStringLiteral("nothing") : printable(block.kind, 40)));
        if (block.malformedLine)
            return fail(QStringLiteral("the calendar object is malformed (line %1: %2)")
                            .arg(block.malformedLine)
                            .arg(printable(block.malformedText)));
        if (block.cutShort)
            return fail(QStringLiteral("the calendar object is cut short"));
    }
    for (const ics::Block& block : scan.blocks) {
        ComponentPtr calendar = parseBlock(ics, block);
        if (!calendar)
            return fail(QStringLiteral("not an iCalendar object"));
        object->calendars.push_back(std::move(calendar));
    }

    // The task is the VTODO without RECURRENCE-ID (the others are single occurrences of it); an
    // object of occurrences only is read by its first.
    for (const ComponentPtr& calendar : object->calendars) {
        for (icalcompiter it = icalcomponent_begin_component(calendar.get(), ICAL_VTODO_COMPONENT);
             icalcomponent* todo = icalcompiter_deref(&it); icalcompiter_next(&it)) {
            const bool isMaster = !icalcomponent_get_first_property(todo, ICAL_RECURRENCEID_PROPERTY);
            if (object->todo && (!isMaster || object->isMaster))
                continue;
            object->todo = todo;
            object->calendar = calendar.get();
            object->isMaster = isMaster;
        }
    }
    if (!object->todo)
        return fail(QStringLiteral("the calendar object holds no task"));

    ZoneResolver zones;
    for (const ComponentPtr& calendar : object->calendars)
        zones.addCalendar(calendar.get());
    object->properties = collectProperties(object->todo);
    object->fields = readFields(object->calendar, object->properties, zones);
    if (object->fields.uid.trimmed().isEmpty())
        return fail(QStringLiteral("the task has no UID"));
    return true;
}

void remove(icalcomponent* todo, icalproperty*& slot)
{
    if (slot) {
        icalcomponent_remove_property(todo, slot);
        icalproperty_free(slot);
        slot = nullptr;
    }
}

// Removes every property of a kind (every X- property of a name for ICAL_X_PROPERTY).
void removeAll(icalcomponent* todo, icalproperty_kind kind, const char* xName = nullptr)
{
    std::vector<icalproperty*> found;
    for (icalproperty* p = icalcomponent_get_first_property(todo, kind); p;
         p = icalcomponent_get_next_property(todo, kind)) {
        const char* name = xName ? icalproperty_get_x_name(p) : nullptr;
        if (!xName || (name && qstricmp(name, xName) == 0))
            found.push_back(p);
    }
    for (icalproperty* p : found) {
        icalcomponent_remove_property(todo, p);
        icalproperty_free(p);
    }
}

void setTime(icalcomponent* todo, icalproperty*& slot, const QDateTime& time,
             icalproperty* (*make)(icaltimetype), void (*set)(icalproperty*, icaltimetype))
{
    const icaltimetype value = ical::utcValue(time);
    if (slot) {
        icalproperty_remove_parameter_by_kind(slot, ICAL_TZID_PARAMETER);
        icalproperty_remove_parameter_by_kind(slot, ICAL_VALUE_PARAMETER);
        set(slot, value);
    } else {
        slot = make(value);
        icalcomponent_add_property(todo, slot);
    }
}

void setStatus(icalcomponent* todo, icalproperty*& slot, icalproperty_status status)
{
    if (slot)
        icalproperty_set_status(slot, status);
    else
        icalcomponent_add_property(todo, slot = icalproperty_new_status(status));
}

// Writes `fields` into `todo`, changing only what differs from `old` (what readVTodo() reads from
// it); a new task (`isNew`) gets every property that has a value.
void applyFields(icalcomponent* todo, TodoProperties& p, const TaskFields& old, const TaskFields& fields,
                 const QDateTime& now, bool isNew)
{
    // Stamps first, so that a new task lists them at its head.
    if (isNew) {
        const QString uid = fields.uid.trimmed().isEmpty() ? QUuid::createUuid().toString(QUuid::WithoutBraces)
                                                           : fields.uid;
        icalcomponent_add_property(todo, p.uid = icalproperty_new_uid(uid.toUtf8().constData()));
    } else if (!fields.uid.trimmed().isEmpty() && fields.uid != old.uid) {
        icalproperty_set_uid(p.uid, fields.uid.toUtf8().constData());
    }
    setTime(todo, p.dtstamp, now, icalproperty_new_dtstamp, icalproperty_set_dtstamp);
    if (isNew)
        setTime(todo, p.created, fields.created.isValid() ? fields.created : now, icalproperty_new_created,
                icalproperty_set_created);
    else if (!sameSecond(fields.created, old.created)) {
        if (fields.created.isValid())
            setTime(todo, p.created, fields.created, icalproperty_new_created, icalproperty_set_created);
        else
            remove(todo, p.created);
    }
    setTime(todo, p.lastModified, now, icalproperty_new_lastmodified, icalproperty_set_lastmodified);
    if (p.sequence)
        icalproperty_set_sequence(p.sequence, icalproperty_get_sequence(p.sequence) + 1);

    const QString name = normalisedText(fields.name);
    if (isNew || name != old.name) {
        if (p.summary)
            icalproperty_set_summary(p.summary, name.toUtf8().constData());
        else
            icalcomponent_add_property(todo, p.summary = icalproperty_new_summary(name.toUtf8().constData()));
    }

    const QString notes = normalisedText(fields.notes);
    if (notes != old.notes) {
        if (notes.isEmpty())
            remove(todo, p.description);
        else if (p.description)
            icalproperty_set_description(p.description, notes.toUtf8().constData());
        else
            icalcomponent_add_property(todo, p.description = icalproperty_new_description(notes.toUtf8().constData()));
    }

    if (isNew ? fields.due.isValid() : !sameSecond(fields.due, old.due)) {
        remove(todo, p.duration); // DUE and DURATION cannot both be there
        if (!fields.due.isValid()) {
            remove(todo, p.due);
        } else {
            // Local midnight is a date (a day with no midnight starts later: its start).
            const QDateTime local = fields.due.toLocalTime();
            const QDateTime whole = QDateTime::fromSecsSinceEpoch(local.toSecsSinceEpoch(), Qt::LocalTime);
            const icaltimetype value = whole == local.date().startOfDay(Qt::LocalTime)
                ? ical::dateValue(local.date())
                : ical::utcValue(fields.due);
            if (p.due) {
                icalproperty_remove_parameter_by_kind(p.due, ICAL_TZID_PARAMETER);
                icalproperty_remove_parameter_by_kind(p.due, ICAL_VALUE_PARAMETER);
                icalproperty_set_due(p.due, value);
            } else {
                icalcomponent_add_property(todo, p.due = icalproperty_new_due(value));
            }
        }
    }

    auto setCompleted = [&](const QDateTime& at) {
        setTime(todo, p.completed, at, icalproperty_new_completed, icalproperty_set_completed);
    };
    if (isNew || fields.completed != old.completed) {
        if (fields.completed) {
            setStatus(todo, p.status, ICAL_STATUS_COMPLETED);
            setCompleted(fields.completedAt.isValid() ? fields.completedAt : now);
            if (p.percentComplete)
                icalproperty_set_percentcomplete(p.percentComplete, 100);
            else
                icalcomponent_add_property(todo, p.percentComplete = icalproperty_new_percentcomplete(100));
        } else {
            setStatus(todo, p.status, ICAL_STATUS_NEEDSACTION);
            remove(todo, p.completed);
            remove(todo, p.percentComplete);
        }
    } else if (!sameSecond(fields.completedAt, old.completedAt)) {
        // A completion time travels with a completed task only; taking it away from one without a
        // STATUS must not reopen it.
        if (fields.completedAt.isValid()) {
            if (fields.completed)
                setCompleted(fields.completedAt);
        } else {
            if (fields.completed && !p.status)
                setStatus(todo, p.status, ICAL_STATUS_COMPLETED);
            remove(todo, p.completed);
        }
    }

    if (fields.repeatRule.trimmed().isEmpty()) {
        if (!old.repeatRule.isEmpty()) {
            removeAll(todo, ICAL_RRULE_PROPERTY);
            p.rrule = nullptr;
        }
    } else {
        QString normalised;
        icalproperty* rule = newRRule(fields.repeatRule, &normalised);
        if (rule && (isNew || normalised != old.repeatRule)) {
            removeAll(todo, ICAL_RRULE_PROPERTY);
            icalcomponent_add_property(todo, p.rrule = rule);
        } else if (rule) {
            icalproperty_free(rule);
        }
        // A rule libical cannot read is not written; what the object had stays.
    }

    if (fields.sortOrder != old.sortOrder) {
        if (!fields.sortOrder) {
            removeAll(todo, ICAL_X_PROPERTY, kSortOrderName);
            p.sortOrder = nullptr;
        } else {
            const QByteArray value = QByteArray::number(*fields.sortOrder);
            if (p.sortOrder) {
                icalproperty_set_x(p.sortOrder, value.constData());
            } else {
                p.sortOrder = icalproperty_new_x(value.constData());
                icalproperty_set_x_name(p.sortOrder, kSortOrderName);
                icalcomponent_add_property(todo, p.sortOrder);
            }
        }
    }
}

ComponentPtr newCalendar()
{
    ComponentPtr calendar(icalcomponent_new(ICAL_VCALENDAR_COMPONENT));
    icalcomponent_add_property(calendar.get(), icalproperty_new_version("2.0"));
    icalcomponent_add_property(calendar.get(), icalproperty_new_prodid(kProductId));
    icalcomponent_add_property(calendar.get(), icalproperty_new_calscale("GREGORIAN"));
    return calendar;
}

icalcomponent* newTodo(const TaskFields& fields, const QDateTime& now)
{
    icalcomponent* todo = icalcomponent_new(ICAL_VTODO_COMPONENT);
    TodoProperties properties;
    applyFields(todo, properties, TaskFields(), fields, now, true);
    return todo;
}

bool isBlank(const QByteArray& text)
{
    return text.trimmed().isEmpty();
}

} // namespace

bool readVTodo(const QByteArray& ics, TaskFields* fields, QString* error)
{
    ical::ensureInitialised();
    CalendarObject object;
    if (!parseObject(ics, &object, error))
        return false;
    if (fields)
        *fields = object.fields;
    if (error)
        error->clear();
    return true;
}

QByteArray writeVTodo(const QByteArray& existingIcs, const TaskFields& fields)
{
    ical::ensureInitialised();
    const QDateTime now = nowUtc();
    if (!isBlank(existingIcs)) {
        CalendarObject object;
        if (parseObject(existingIcs, &object, nullptr)) {
            applyFields(object.todo, object.properties, object.fields, fields, now, false);
            QByteArray text;
            for (const ComponentPtr& calendar : object.calendars) {
                removeParseErrors(calendar.get());
                text += ical::toText(calendar.get());
            }
            return text;
        }
        // What cannot be read cannot be kept: the task is written anew.
    }
    ComponentPtr calendar = newCalendar();
    icalcomponent_add_component(calendar.get(), newTodo(fields, now));
    return ical::toText(calendar.get());
}

QList<TaskFields> readCalendarFile(const QByteArray& ics, QStringList* errors)
{
    ical::ensureInitialised();
    QList<TaskFields> tasks;
    QList<std::pair<int, QString>> problems; // by line, sorted at the end
    auto problem = [&problems](int line, const QString& text) {
        problems.append({line, line > 0 ? QStringLiteral("line %1: %2").arg(line).arg(text) : text});
    };
    const ics::Scan scan = ics::scan(ics);
    if (scan.blocks.isEmpty() && !scan.blank)
        problem(0, QStringLiteral("not an iCalendar file"));
    else if (scan.strayLine)
        problem(scan.strayLine, QStringLiteral("text outside a calendar is ignored"));

    struct Parsed
    {
        ComponentPtr calendar;
        const ics::Block* block;
    };
    std::vector<Parsed> parsed;
    for (const ics::Block& block : scan.blocks) {
        if (block.kind != "VCALENDAR") {
            problem(block.line, QStringLiteral("%1 outside a VCALENDAR is skipped").arg(printable(block.kind, 40)));
            continue;
        }
        if (block.malformedLine) {
            problem(block.malformedLine, QStringLiteral("%1; the calendar from line %2 on is skipped")
                                             .arg(printable(block.malformedText))
                                             .arg(block.line));
            continue;
        }
        ComponentPtr calendar = parseBlock(ics, block);
        if (!calendar) {
            problem(block.line, QStringLiteral("the calendar cannot be read and is skipped"));
            continue;
        }
        if (block.cutShort) {
            if (block.openChildKind == "VTODO")
                problem(block.openChildLine, QStringLiteral("the file is cut short in this task, which is skipped"));
            else
                problem(block.line, QStringLiteral("the file is cut short in this calendar"));
        }
        parsed.push_back(Parsed{std::move(calendar), &block});
    }

    ZoneResolver zones;
    QSet<QString> masterUids; // repeating tasks: their single occurrences are not tasks of their own
    for (const Parsed& p : parsed) {
        zones.addCalendar(p.calendar.get());
        for (icalcompiter it = icalcomponent_begin_component(p.calendar.get(), ICAL_VTODO_COMPONENT);
             icalcomponent* todo = icalcompiter_deref(&it); icalcompiter_next(&it)) {
            if (!icalcomponent_get_first_property(todo, ICAL_RECURRENCEID_PROPERTY)) {
                if (const char* uid = icalcomponent_get_uid(todo))
                    masterUids.insert(QString::fromUtf8(uid));
            }
        }
    }

    for (const Parsed& p : parsed) {
        int index = 0;
        for (icalcompiter it = icalcomponent_begin_component(p.calendar.get(), ICAL_VTODO_COMPONENT);
             icalcomponent* todo = icalcompiter_deref(&it); icalcompiter_next(&it), ++index) {
            const int line = index < p.block->todoLines.size() ? p.block->todoLines.at(index) : p.block->line;
            const TodoProperties properties = collectProperties(todo);
            TaskFields fields = readFields(p.calendar.get(), properties, zones);
            if (fields.uid.trimmed().isEmpty()) {
                problem(line, QStringLiteral("the task has no UID and is skipped"));
                continue;
            }
            if (properties.recurrenceId && masterUids.contains(fields.uid)) {
                problem(line, QStringLiteral("one occurrence of the repeating task \"%1\" is skipped").arg(printable(fields.name.toUtf8())));
                continue;
            }
            tasks.append(std::move(fields));
        }
    }
    if (errors) {
        std::stable_sort(problems.begin(), problems.end(),
                         [](const auto& a, const auto& b) { return a.first < b.first; });
        errors->clear();
        for (const auto& p : problems)
            errors->append(p.second);
    }
    return tasks;
}

QByteArray writeCalendarFile(const QList<TaskFields>& tasks)
{
    ical::ensureInitialised();
    const QDateTime now = nowUtc();
    ComponentPtr calendar = newCalendar();
    for (const TaskFields& fields : tasks)
        icalcomponent_add_component(calendar.get(), newTodo(fields, now));
    return ical::toText(calendar.get());
}

} // namespace sync
