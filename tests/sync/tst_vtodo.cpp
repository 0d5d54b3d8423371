#include "support/testenv.h"
#include "sync/vtodo.h"

#include <QCoreApplication>

#include <algorithm>
#include <functional>

using sync::TaskFields;
using Lines = QList<QByteArray>;

namespace sync {
char* toString(const TaskFields& f)
{
    auto time = [](const QDateTime& t) { return t.isValid() ? t.toUTC().toString(Qt::ISODate) : QStringLiteral("-"); };
    return QTest::toString(QStringList{f.uid, f.name, f.notes, time(f.due), f.completed ? QStringLiteral("done") : QStringLiteral("open"),
                                       time(f.completedAt), time(f.created), time(f.lastModified), f.repeatRule,
                                       f.sortOrder ? QString::number(*f.sortOrder) : QStringLiteral("-")}
                               .join(QLatin1String(" | ")));
}
} // namespace sync

namespace {

// Fixtures are written with LF; objects on the wire use CRLF.
QByteArray ics(QByteArray text)
{
    return text.replace("\n", "\r\n");
}

QByteArray calendarWith(const QByteArray& inner)
{
    return ics("BEGIN:VCALENDAR\nVERSION:2.0\nPRODID:-//Test//Test//EN\n" + inner + "END:VCALENDAR\n");
}

QByteArray todoWith(const QByteArray& properties, const QByteArray& before = QByteArray())
{
    return calendarWith(before + "BEGIN:VTODO\n" + properties + "END:VTODO\n");
}

// TZOFFSETTO comes first on purpose: the order of the two is free.
QByteArray onset(const char* kind, const char* start, const char* from, const char* to, const char* more = "")
{
    return QByteArray("BEGIN:") + kind + "\nDTSTART:" + start + "\nTZOFFSETTO:" + to + "\nTZOFFSETFROM:" + from + "\n"
        + more + "END:" + kind + "\n";
}

QByteArray zone(const QByteArray& tzid, const QByteArray& onsets)
{
    return "BEGIN:VTIMEZONE\nTZID:" + tzid + "\n" + onsets + "END:VTIMEZONE\n";
}

QByteArray fixedZone(const QByteArray& tzid, const char* offset)
{
    return zone(tzid, onset("STANDARD", "19700101T000000", offset, offset));
}

const QByteArray kNewYork = zone("America/New_York",
    onset("DAYLIGHT", "19700308T020000", "-0500", "-0400", "RRULE:FREQ=YEARLY;BYMONTH=3;BYDAY=2SU\n")
    + onset("STANDARD", "19701101T020000", "-0400", "-0500", "RRULE:FREQ=YEARLY;BYMONTH=11;BYDAY=1SU\n"));
// The rules as libical writes them, so that a copy written back compares line by line.
const QByteArray kBerlin = zone("Europe/Berlin",
    onset("DAYLIGHT", "19700329T020000", "+0100", "+0200", "RRULE:FREQ=YEARLY;BYDAY=-1SU;BYMONTH=3\n")
    + onset("STANDARD", "19701025T030000", "+0200", "+0100", "RRULE:FREQ=YEARLY;BYDAY=-1SU;BYMONTH=10\n"));
// As Outlook writes it: a Windows name, onsets from 1601.
const QByteArray kOutlook = zone("W. Europe Standard Time",
    onset("STANDARD", "16010101T030000", "+0200", "+0100", "RRULE:FREQ=YEARLY;INTERVAL=1;BYDAY=-1SU;BYMONTH=10\n")
    + onset("DAYLIGHT", "16010101T020000", "+0100", "+0200", "RRULE:FREQ=YEARLY;INTERVAL=1;BYDAY=-1SU;BYMONTH=3\n"));
// New York's rules written with BYSETPOS, which libical itself has to expand.
const QByteArray kSetPosZone = zone("Setpos Zone",
    onset("STANDARD", "19701101T020000", "-0400", "-0500", "RRULE:FREQ=YEARLY;BYMONTH=11;BYDAY=SU;BYSETPOS=1\n")
    + onset("DAYLIGHT", "19700308T020000", "-0500", "-0400", "RRULE:FREQ=YEARLY;BYMONTH=3;BYDAY=SU;BYSETPOS=2\n"));
// Onsets by DTSTART and RDATE only: summer time from June to September.
const QByteArray kRdateZone = zone("Rdate Zone", onset("STANDARD", "20000101T000000", "+0100", "+0100")
    + onset("DAYLIGHT", "20260601T000000", "+0100", "+0200", "RDATE:20270601T000000\n")
    + onset("STANDARD", "20260901T000000", "+0200", "+0100", "RDATE:20270901T000000\n"));

QDateTime utc(int y, int mo, int d, int h = 0, int mi = 0, int s = 0)
{
    return QDateTime(QDate(y, mo, d), QTime(h, mi, s), Qt::UTC);
}

// The tests run in Lisbon time (see testenv): UTC in winter, UTC+1 in summer.
QDateTime local(int y, int mo, int d, int h = 0, int mi = 0, int s = 0)
{
    return QDateTime(QDate(y, mo, d), QTime(h, mi, s), Qt::LocalTime);
}

TaskFields task(const QString& uid, const QString& name, const std::function<void(TaskFields&)>& set = {})
{
    TaskFields f;
    f.uid = uid;
    f.name = name;
    if (set)
        set(f);
    return f;
}

// Every field, as the object kEverything holds it.
const TaskFields kEverythingFields = task(QStringLiteral("full-1"), QStringLiteral("Report"), [](TaskFields& f) {
    f.notes = QStringLiteral("Two\nlines");
    f.due = utc(2027, 1, 15, 9, 30);
    f.completed = true;
    f.completedAt = utc(2027, 1, 16, 10);
    f.created = utc(2026, 1, 1, 8);
    f.lastModified = utc(2026, 1, 2, 9);
    f.repeatRule = QStringLiteral("FREQ=WEEKLY;INTERVAL=2;BYDAY=MO,TH");
    f.sortOrder = -42;
});
const QByteArray kEverything = todoWith(
    "UID:full-1\nDTSTAMP:20260102T090000Z\nSUMMARY:Report\nDESCRIPTION:Two\\nlines\nDUE:20270115T093000Z\n"
    "STATUS:COMPLETED\nCOMPLETED:20270116T100000Z\nPERCENT-COMPLETE:100\nCREATED:20260101T080000Z\n"
    "LAST-MODIFIED:20260102T090000Z\nRRULE:FREQ=WEEKLY;INTERVAL=2;BYDAY=MO,TH\nX-APPLE-SORT-ORDER:-42\n");

// The logical lines of iCalendar text (folding undone).
Lines linesOf(QByteArray text)
{
    text.replace("\r\n ", "").replace("\r\n\t", "").replace("\r\n", "\n");
    Lines lines = text.split('\n');
    lines.removeAll(QByteArray());
    return lines;
}

bool isRecent(const QDateTime& time)
{
    return time.isValid() && qAbs(time.secsTo(QDateTime::currentDateTimeUtc())) <= 5;
}

TaskFields read(const QByteArray& text)
{
    TaskFields fields;
    sync::readVTodo(text, &fields, nullptr);
    return fields;
}

// Two calendars in one file, each with its own "Office" zone; a VTODO without UID on line 21.
const QByteArray kMixedFile =
    calendarWith(fixedZone("Office", "+0300") + "BEGIN:VEVENT\nUID:event\nDTSTART:20270101T100000Z\nEND:VEVENT\n" // 1-15
                 "BEGIN:VTODO\nUID:a1\nSUMMARY:First\nDUE;TZID=Office:20270115T120000\nEND:VTODO\n"             // 16-20
                 "BEGIN:VTODO\nSUMMARY:No uid\nEND:VTODO\nBEGIN:VTODO\nUID:a2\nSUMMARY:Second\nEND:VTODO\n")    // 21-28
    + calendarWith(fixedZone("Office", "-0500") + "BEGIN:VTODO\nUID:b1\nSUMMARY:Third\n"                       // 29-42
                   "DUE;TZID=Office:20270115T120000\nDESCRIPTION:The cut falls inside this task\nEND:VTODO\n"); // 43-46

// A task written by another client, with much the mapping does not know, written as libical
// writes it.
const QByteArray kRichObject = calendarWith(
    kBerlin
    + "BEGIN:VEVENT\nUID:event-1\nDTSTAMP:20240101T000000Z\nDTSTART:20270101T100000Z\nSUMMARY:An event\nEND:VEVENT\n"
      "BEGIN:VTODO\nUID:task-1\nDTSTAMP:20250101T000000Z\nSEQUENCE:3\nCREATED:20250101T000000Z\n"
      "SUMMARY;LANGUAGE=de:Alt\nDESCRIPTION:Some notes\nDUE;TZID=Europe/Berlin:20270115T090000\n"
      "STATUS:IN-PROCESS\nPERCENT-COMPLETE:40\nPRIORITY:1\nCATEGORIES:Work\nCLASS:PRIVATE\n"
      "ATTACH;FMTTYPE=text/plain:https://example.com/a.txt\nRELATED-TO;RELTYPE=PARENT:parent-uid\n"
      "X-MOZ-GENERATION:7\nX-CUSTOM;X-PARAM=yes:some value\nx-lower;X-P=1:kept\nCONCEPT:https://example.com/concept\n"
      "LOCATION:Office\nGEO:38.700000;-9.100000\nURL:https://example.com/task\n"
      "BEGIN:VALARM\nACTION:DISPLAY\nTRIGGER;RELATED=END:-PT15M\nDESCRIPTION:Reminder\nX-WR-ALARMUID:alarm-1\n"
      "END:VALARM\nEND:VTODO\n");

} // namespace

class TstVTodo : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void readsFieldsAndDueInItsZone_data();
    void readsFieldsAndDueInItsZone();
    void writesFieldsThatReadBack_data();
    void writesFieldsThatReadBack();
    void newObjectHasStampsAndNoEmptyProperties();
    void replacesOnlyWhatChanged_data();
    void replacesOnlyWhatChanged();
    void refusesBadInputWithReason_data();
    void refusesBadInputWithReason();
    void calendarFileSkipsWhatItCannotRead_data();
    void calendarFileSkipsWhatItCannotRead();
};

void TstVTodo::readsFieldsAndDueInItsZone_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<TaskFields>("expected");

    QTest::newRow("all fields") << kEverything << kEverythingFields;
    // The DESCRIPTION is folded in the middle of the two bytes of the é.
    QTest::newRow("escaped and folded text")
        << todoWith("UID:t\nSUMMARY:Milk\\, eggs\\; bread \\\\ done\\nline two \xE2\x9C\x93\n"
                    "DESCRIPTION:Caf\xC3\n \xA9 \xF0\x9F\x98\x80 \xE6\x97\xA5\xE6\x9C\xAC\n")
        << task(QStringLiteral("t"), QStringLiteral("Milk, eggs; bread \\ done\nline two \u2713"),
                [](TaskFields& f) { f.notes = QStringLiteral("Caf\u00e9 \U0001F600 \u65E5\u672C"); });

    auto todo = [](const QByteArray& properties) { return todoWith("UID:u\nSUMMARY:U\n" + properties); };
    auto with = [](const std::function<void(TaskFields&)>& set) { return task(QStringLiteral("u"), QStringLiteral("U"), set); };
    const TaskFields plain = with({});
    QTest::newRow("completed, no time") << todo("STATUS:COMPLETED\n") << with([](TaskFields& f) { f.completed = true; });
    QTest::newRow("completed time, no status") << todo("COMPLETED:20270101T100000Z\n") << with([](TaskFields& f) {
        f.completed = true;
        f.completedAt = utc(2027, 1, 1, 10);
    });
    QTest::newRow("cancelled") << todo("STATUS:CANCELLED\nCOMPLETED:20270101T100000Z\n")
                               << with([](TaskFields& f) { f.completedAt = utc(2027, 1, 1, 10); });
    QTest::newRow("sort order, large") << todo("X-APPLE-SORT-ORDER:9007199254740993\n")
                                       << with([](TaskFields& f) { f.sortOrder = Q_INT64_C(9007199254740993); });
    QTest::newRow("unreadable lines around") << todo("this line has no colon\nDTSTART:garbage\n") << plain;
    QTest::newRow("the master, not the occurrence")
        << calendarWith("BEGIN:VTODO\nUID:u\nRECURRENCE-ID:20270108T090000Z\nSUMMARY:Moved\nEND:VTODO\n"
                        "BEGIN:VTODO\nUID:u\nSUMMARY:U\nEND:VTODO\n")
        << plain;
    QTest::newRow("occurrences only: the first")
        << calendarWith("BEGIN:VTODO\nUID:u\nRECURRENCE-ID:20270108T090000Z\nSUMMARY:U\nEND:VTODO\n"
                        "BEGIN:VTODO\nUID:u\nRECURRENCE-ID:20270115T090000Z\nSUMMARY:Later\nEND:VTODO\n")
        << plain;
    QTest::newRow("byte order mark") << QByteArray("\xEF\xBB\xBF") + todo(QByteArray()) << plain;

    auto due = [&](const char* name, const QByteArray& lines, const QDateTime& at, const QByteArray& zones = QByteArray()) {
        QTest::newRow(name) << todoWith("UID:u\nSUMMARY:U\n" + lines + "\n", zones) << with([&](TaskFields& f) { f.due = at; });
    };
    due("date", "DUE;VALUE=DATE:20270720", local(2027, 7, 20));
    due("utc", "DUE:20270720T083000Z", utc(2027, 7, 20, 8, 30));
    due("floating", "DUE:20270720T083000", local(2027, 7, 20, 8, 30));
    due("tzid, own vtimezone", "DUE;TZID=My Office Zone:20270720T120000", utc(2027, 7, 20, 9), fixedZone("My Office Zone", "+0300"));
    // The last Sunday of March 2028 is the 26th.
    due("tzid, vtimezone, last sunday", "DUE;TZID=Europe/Berlin:20280330T120000", utc(2028, 3, 30, 10), kBerlin);
    due("tzid, outlook vtimezone", "DUE;TZID=\"W. Europe Standard Time\":20270720T120000", utc(2027, 7, 20, 10), kOutlook);
    due("tzid, vtimezone with rdates", "DUE;TZID=Rdate Zone:20270715T120000", utc(2027, 7, 15, 10), kRdateZone);
    due("tzid, vtimezone libical expands", "DUE;TZID=Setpos Zone:20270720T120000", utc(2027, 7, 20, 16), kSetPosZone);
    due("tzid without vtimezone", "DUE;TZID=Europe/Berlin:20270720T120000", utc(2027, 7, 20, 10));
    due("tzid windows name", "DUE;TZID=Eastern Standard Time:20270115T120000", utc(2027, 1, 15, 17));
    due("tzid unknown: floating", "DUE;TZID=Nowhere/Land:20270720T120000", local(2027, 7, 20, 12));
    due("tzid path is no file name", "DUE;TZID=../../../../dev/zero:20270720T120000", local(2027, 7, 20, 12));
    due("impossible time: none", "DUE:20270115T126100Z", QDateTime());
    // New York 2027-03-14 02:30 does not exist: the offset before the change (EST) makes it 07:30Z.
    // 2027-11-07 01:30 happens twice: the first (EDT) is 05:30Z.
    due("dst gap", "DUE;TZID=America/New_York:20270314T023000", utc(2027, 3, 14, 7, 30), kNewYork);
    due("dst twice", "DUE;TZID=America/New_York:20271107T013000", utc(2027, 11, 7, 5, 30), kNewYork);
    // Lisbon: 2027-03-28 01:00 becomes 02:00.
    due("floating in the local gap", "DUE:20270328T013000", utc(2027, 3, 28, 1, 30));
    // Across Berlin's change to summer time: a day is a day on the wall clock, 24 hours are exact.
    due("dtstart and a day", "DTSTART;TZID=Europe/Berlin:20270327T120000\nDURATION:P1D", utc(2027, 3, 28, 10), kBerlin);
    due("dtstart and 24 hours", "DTSTART;TZID=Europe/Berlin:20270327T120000\nDURATION:PT24H", utc(2027, 3, 28, 11), kBerlin);
    due("date and days", "DTSTART;VALUE=DATE:20270327\nDURATION:P2D", local(2027, 3, 29));
}

void TstVTodo::readsFieldsAndDueInItsZone()
{
    QFETCH(QByteArray, text);
    QFETCH(TaskFields, expected);
    TaskFields fields;
    QString error = QStringLiteral("stale");
    QVERIFY2(sync::readVTodo(text, &fields, &error), qPrintable(error));
    QVERIFY(error.isEmpty());
    QCOMPARE(fields, expected);
    for (const QDateTime& time : {fields.due, fields.completedAt, fields.created, fields.lastModified}) {
        if (time.isValid())
            QCOMPARE(time.timeSpec(), Qt::LocalTime);
    }
}

void TstVTodo::writesFieldsThatReadBack_data()
{
    QTest::addColumn<TaskFields>("fields");

    QTest::newRow("empty name") << task(QStringLiteral("r-1"), QString());
    QTest::newRow("all fields") << kEverythingFields;
    QTest::newRow("hard text, due date") << task(QStringLiteral("r-3@example.com"), QStringLiteral("Commas, semicolons; \\ \"quotes\"\ttab"),
        [](TaskFields& f) {
            f.notes = QStringLiteral("Line one\nLine two, with \\n not a newline; \u00e9\u00e8 \U0001F600 \u4E2D\u6587\n\n"
                                     "A long line that libical has to fold because it is far longer than seventy-five octets, "
                                     "\u00e9\u00e9\u00e9\u00e9\u00e9\u00e9\u00e9\U0001F600\U0001F600\U0001F600\U0001F600 end\n");
            f.due = local(2027, 7, 20);
        });
    QTest::newRow("open, repeating, due at a time that happens twice") << task(QStringLiteral("r-4"), QStringLiteral("Open"), [](TaskFields& f) {
        f.due = local(2027, 10, 31, 1, 30);
        f.created = local(2020, 1, 1, 1, 1, 1);
        f.sortOrder = 0;
        f.repeatRule = QStringLiteral("FREQ=MONTHLY;UNTIL=20271231T235959Z;BYMONTHDAY=-1");
    });
}

void TstVTodo::writesFieldsThatReadBack()
{
    QFETCH(TaskFields, fields);
    const QByteArray text = sync::writeVTodo(QByteArray(), fields);
    const TaskFields back = read(text);
    QVERIFY(isRecent(back.lastModified));
    TaskFields expected = fields;
    expected.lastModified = back.lastModified;
    if (!fields.created.isValid()) {
        QVERIFY(isRecent(back.created));
        expected.created = back.created;
    }
    QCOMPARE(back, expected);

    // Written again over itself unchanged, it reads the same.
    TaskFields again = read(sync::writeVTodo(text, back));
    again.lastModified = back.lastModified;
    QCOMPARE(again, back);

    // And so in a calendar file, after another task.
    QStringList errors{QStringLiteral("stale")};
    const QList<TaskFields> file = sync::readCalendarFile(sync::writeCalendarFile({task(QStringLiteral("x"), QString()), fields}), &errors);
    QCOMPARE(errors, QStringList());
    QCOMPARE(file.size(), 2);
    expected.lastModified = file.last().lastModified;
    expected.created = fields.created.isValid() ? fields.created : file.last().created;
    QCOMPARE(file.last(), expected);
}

void TstVTodo::newObjectHasStampsAndNoEmptyProperties()
{
    TaskFields f = task(QString(), QStringLiteral("No uid yet"));
    f.completed = true;
    f.notes = QStringLiteral("a\r\nb\rc");
    const QByteArray text = sync::writeVTodo(QByteArray(), f);
    QVERIFY(text.contains("\r\nDTSTAMP:") && !text.contains(":\r\n"));
    const TaskFields back = read(text);
    QVERIFY(!back.uid.isEmpty() && isRecent(back.created) && isRecent(back.lastModified));
    // A completion without a time is stamped now; line breaks become LF.
    QVERIFY(back.completed && isRecent(back.completedAt));
    QCOMPARE(back.notes, QStringLiteral("a\nb\nc"));
}

void TstVTodo::replacesOnlyWhatChanged_data()
{
    QTest::addColumn<QByteArray>("existing");
    QTest::addColumn<TaskFields>("fields");
    QTest::addColumn<Lines>("removed");
    QTest::addColumn<Lines>("added");

    auto row = [](const char* name, const QByteArray& existing, const std::function<void(TaskFields&)>& change,
                  const Lines& removed, const Lines& added) {
        TaskFields fields = read(existing);
        change(fields);
        QTest::newRow(name) << existing << fields << removed << added;
    };
    const auto rename = [](TaskFields& f) { f.name = QStringLiteral("Neu"); };
    const auto complete = [](TaskFields& f) {
        f.completed = true;
        f.completedAt = utc(2027, 1, 16, 12);
    };
    const auto dueMoved = [](TaskFields& f) { f.due = local(2027, 2, 1, 10); };
    const QByteArray rich = kRichObject;
    const QByteArray due = "DUE;TZID=Europe/Berlin:20270115T090000";
    row("nothing", rich, [](TaskFields&) {}, {}, {});
    row("rename", rich, rename, {"SUMMARY;LANGUAGE=de:Alt"}, {"SUMMARY;LANGUAGE=de:Neu"});
    row("notes cleared", rich, [](TaskFields& f) { f.notes.clear(); }, {"DESCRIPTION:Some notes"}, {});
    row("due moved", rich, dueMoved, {due}, {"DUE:20270201T100000Z"});
    row("due to a date", rich, [](TaskFields& f) { f.due = local(2027, 2, 1); }, {due}, {"DUE;VALUE=DATE:20270201"});
    row("due cleared", rich, [](TaskFields& f) { f.due = QDateTime(); }, {due}, {});
    row("completed", rich, complete, {"STATUS:IN-PROCESS", "PERCENT-COMPLETE:40"},
        {"STATUS:COMPLETED", "COMPLETED:20270116T120000Z", "PERCENT-COMPLETE:100"});
    row("sort order", rich, [](TaskFields& f) { f.sortOrder = 12; }, {}, {"X-APPLE-SORT-ORDER:12"});

    row("what reads the same stays", todoWith("UID:c\nSUMMARY:Old\nSTATUS:CANCELLED\nDUE:20270719T230000Z\nX-APPLE-SORT-ORDER:first\n"),
        rename, {"SUMMARY:Old"}, {"SUMMARY:Neu"});
    row("a completion without status stays", todoWith("UID:c\nSUMMARY:Old\nCOMPLETED:20270101T100000Z\nDTSTART:20270110T090000Z\nDURATION:PT2H\n"),
        rename, {"SUMMARY:Old"}, {"SUMMARY:Neu"});
    row("the duration goes when the due moves", todoWith("UID:c\nSUMMARY:Old\nDTSTART:20270110T090000Z\nDURATION:PT2H\n"),
        dueMoved, {"DURATION:PT2H"}, {"DUE:20270201T100000Z"});
    row("sort order replaced", todoWith("UID:c\nSUMMARY:Old\nX-APPLE-SORT-ORDER:5\n"), [](TaskFields& f) { f.sortOrder = 12; },
        {"X-APPLE-SORT-ORDER:5"}, {"X-APPLE-SORT-ORDER:12"});
    row("sort order removed", todoWith("UID:c\nSUMMARY:Old\nX-APPLE-SORT-ORDER:5\n"), [](TaskFields& f) { f.sortOrder.reset(); },
        {"X-APPLE-SORT-ORDER:5"}, {});
    row("rule replaced", todoWith("UID:c\nSUMMARY:Old\nRRULE:FREQ=WEEKLY\n"),
        [](TaskFields& f) { f.repeatRule = QStringLiteral("FREQ=DAILY;COUNT=3"); }, {"RRULE:FREQ=WEEKLY"}, {"RRULE:FREQ=DAILY;COUNT=3"});
    row("reopened", todoWith("UID:c\nSUMMARY:Old\nSTATUS:COMPLETED\nCOMPLETED:20270101T100000Z\nPERCENT-COMPLETE:100\n"),
        [](TaskFields& f) { f = task(f.uid, f.name); }, {"STATUS:COMPLETED", "COMPLETED:20270101T100000Z", "PERCENT-COMPLETE:100"},
        {"STATUS:NEEDS-ACTION"});
    row("a broken line is not sent back", todoWith("UID:c\nSUMMARY:Old\nthis line has no colon\nBAD NAME:x\nREFID;X-P=2:ref-1\n"),
        rename, {"SUMMARY:Old", "this line has no colon", "BAD NAME:x"}, {"SUMMARY:Neu"});
}

void TstVTodo::replacesOnlyWhatChanged()
{
    QFETCH(QByteArray, existing);
    QFETCH(TaskFields, fields);
    QFETCH(Lines, removed);
    QFETCH(Lines, added);
    const QByteArray text = sync::writeVTodo(existing, fields);
    const Lines lines = linesOf(text);
    const Lines original = linesOf(existing);

    // Against the original, exactly the lines of the change differ, and the stamps.
    auto isStamp = [](const QByteArray& line) {
        return line.startsWith("DTSTAMP:") || line.startsWith("LAST-MODIFIED:") || line.startsWith("SEQUENCE:");
    };
    Lines gone, came;
    std::copy_if(original.begin(), original.end(), std::back_inserter(gone),
                 [&](const QByteArray& l) { return !lines.contains(l) && !isStamp(l); });
    std::copy_if(lines.begin(), lines.end(), std::back_inserter(came),
                 [&](const QByteArray& l) { return !original.contains(l) && !isStamp(l); });
    for (Lines* list : {&gone, &came, &removed, &added})
        std::sort(list->begin(), list->end());
    QCOMPARE(gone, removed);
    QCOMPARE(came, added);
    QCOMPARE(text.contains("SEQUENCE:"), existing.contains("SEQUENCE:"));
    QCOMPARE(lines.contains("SEQUENCE:4"), existing.contains("SEQUENCE:3"));
    QVERIFY(!lines.contains("DTSTAMP:20250101T000000Z"));

    TaskFields after = read(text);
    QVERIFY(isRecent(after.lastModified));
    after.lastModified = fields.lastModified;
    QCOMPARE(after, fields);
}

void TstVTodo::refusesBadInputWithReason_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<QString>("reason");

    const QByteArray whole = todoWith("UID:cut\nSUMMARY:A task that is cut\nDESCRIPTION:Notes\n");
    QTest::newRow("white space") << QByteArray(" \r\n\r\n\t") << QStringLiteral("empty");
    QTest::newRow("garbage") << QByteArray("<html><body>502 Bad Gateway</body></html>") << QStringLiteral("not an iCalendar");
    QTest::newRow("a bare vtodo") << ics("BEGIN:VTODO\nUID:x\nEND:VTODO\n") << QStringLiteral("not an iCalendar");
    QTest::newRow("cut in half") << whole.left(whole.size() / 2) << QStringLiteral("cut short");
    QTest::newRow("cut in the end") << whole.left(whole.lastIndexOf("END:VCALENDAR") + 8) << QStringLiteral("cut short");
    QTest::newRow("no task") << calendarWith("BEGIN:VEVENT\nUID:e\nDTSTART:20270101T100000Z\nEND:VEVENT\n")
                             << QStringLiteral("no task");
    QTest::newRow("empty uid") << todoWith("UID:\nSUMMARY:Nameless\n") << QStringLiteral("no UID");
    QTest::newRow("end closes the wrong component")
        << calendarWith("BEGIN:VTODO\nUID:x\nEND:VEVENT\nEND:VTODO\n") << QStringLiteral("malformed (line 6: END:VEVENT");
}

void TstVTodo::refusesBadInputWithReason()
{
    QFETCH(QByteArray, text);
    QFETCH(QString, reason);
    TaskFields fields = task(QStringLiteral("untouched"), QStringLiteral("Untouched"));
    QString error;
    QVERIFY(!sync::readVTodo(text, &fields, &error));
    QVERIFY2(error.contains(reason, Qt::CaseInsensitive), qPrintable(error));
    QVERIFY(!error.contains(QLatin1Char('\n')) && error.size() < 120);
    QCOMPARE(fields.uid, QStringLiteral("untouched"));
    QVERIFY(!sync::readVTodo(text, nullptr, nullptr));

    // Writing over it makes a new, readable object.
    QCOMPARE(read(sync::writeVTodo(text, task(QStringLiteral("fresh"), QString()))).uid, QStringLiteral("fresh"));
}

void TstVTodo::calendarFileSkipsWhatItCannotRead_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<QStringList>("tasks");
    QTest::addColumn<QStringList>("errors");

    const QString noUid = QStringLiteral("line 21: the task has no UID and is skipped");
    QTest::newRow("two calendars, each with its own zones")
        << kMixedFile << QStringList{"a1 2027-01-15T09:00:00Z", "a2", "b1 2027-01-15T17:00:00Z"} << QStringList{noUid};
    QTest::newRow("cut in a task") << kMixedFile.left(kMixedFile.indexOf("falls inside")) << QStringList{"a1 2027-01-15T09:00:00Z", "a2"}
                                   << QStringList{noUid, "line 40: the file is cut short in this task, which is skipped"};
    QTest::newRow("cut between tasks") << kMixedFile.left(kMixedFile.indexOf("BEGIN:VTODO\r\nSUMMARY:No uid"))
                                       << QStringList{"a1 2027-01-15T09:00:00Z"}
                                       << QStringList{"line 1: the file is cut short in this calendar"};
    QTest::newRow("empty") << QByteArray() << QStringList() << QStringList();
    QTest::newRow("not a calendar") << QByteArray("garbage, not a calendar") << QStringList() << QStringList{"not an iCalendar file"};
    QTest::newRow("a task outside a calendar, a calendar malformed")
        << ics("BEGIN:VTODO\nUID:x\nEND:VTODO\n") + calendarWith("BEGIN:VTODO\nUID:y\nEND:VTODO\nEND:VEVENT\n")
        << QStringList() << QStringList{"line 1: VTODO outside a VCALENDAR is skipped",
                                        "line 10: END:VEVENT where END:VCALENDAR belongs; the calendar from line 4 on is skipped"};
    // A repeating task with a moved occurrence is one task; text between calendars is reported.
    QTest::newRow("occurrences and stray text")
        << calendarWith("BEGIN:VTODO\nUID:r\nRRULE:FREQ=WEEKLY\nEND:VTODO\n"
                        "BEGIN:VTODO\nUID:r\nRECURRENCE-ID:20270108T090000Z\nSUMMARY:Moved\nEND:VTODO\n")
               + "stray text\r\n" + calendarWith("BEGIN:VTODO\nUID:q\nRECURRENCE-ID:20270108T090000Z\nEND:VTODO\n")
        << QStringList{"r", "q"}
        << QStringList{"line 8: one occurrence of the repeating task \"Moved\" is skipped", "line 14: text outside a calendar is ignored"};
}

void TstVTodo::calendarFileSkipsWhatItCannotRead()
{
    QFETCH(QByteArray, text);
    QFETCH(QStringList, tasks);
    QFETCH(QStringList, errors);
    QStringList found{QStringLiteral("stale")};
    QStringList read;
    for (const TaskFields& f : sync::readCalendarFile(text, &found))
        read << (f.due.isValid() ? f.uid + QLatin1Char(' ') + f.due.toUTC().toString(Qt::ISODate) : f.uid);
    QCOMPARE(read, tasks);
    QCOMPARE(found, errors);
    QCOMPARE(sync::readCalendarFile(text, nullptr).size(), tasks.size());
}

MRV_TEST_GUILESS_MAIN(TstVTodo)

#include "tst_vtodo.moc"
