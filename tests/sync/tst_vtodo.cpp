#include "support/testenv.h"
#include "sync/vtodo.h"

#include <QCoreApplication>

#include <algorithm>
#include <atomic>
#include <thread>
#include <vector>

using sync::TaskFields;


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

const QByteArray kNewYork =
    "BEGIN:VTIMEZONE\nTZID:America/New_York\n"
    "BEGIN:DAYLIGHT\nTZOFFSETFROM:-0500\nTZOFFSETTO:-0400\nTZNAME:EDT\nDTSTART:19700308T020000\n"
    "RRULE:FREQ=YEARLY;BYMONTH=3;BYDAY=2SU\nEND:DAYLIGHT\n"
    "BEGIN:STANDARD\nTZOFFSETFROM:-0400\nTZOFFSETTO:-0500\nTZNAME:EST\nDTSTART:19701101T020000\n"
    "RRULE:FREQ=YEARLY;BYMONTH=11;BYDAY=1SU\nEND:STANDARD\nEND:VTIMEZONE\n";

const QByteArray kBerlin =
    "BEGIN:VTIMEZONE\nTZID:Europe/Berlin\n"
    "BEGIN:DAYLIGHT\nTZOFFSETFROM:+0100\nTZOFFSETTO:+0200\nTZNAME:CEST\nDTSTART:19700329T020000\n"
    "RRULE:FREQ=YEARLY;BYMONTH=3;BYDAY=-1SU\nEND:DAYLIGHT\n"
    "BEGIN:STANDARD\nTZOFFSETFROM:+0200\nTZOFFSETTO:+0100\nTZNAME:CET\nDTSTART:19701025T030000\n"
    "RRULE:FREQ=YEARLY;BYMONTH=10;BYDAY=-1SU\nEND:STANDARD\nEND:VTIMEZONE\n";

// As Outlook writes it: a Windows name, onsets from 1601.
const QByteArray kOutlook =
    "BEGIN:VTIMEZONE\nTZID:W. Europe Standard Time\n"
    "BEGIN:STANDARD\nDTSTART:16010101T030000\nTZOFFSETFROM:+0200\nTZOFFSETTO:+0100\n"
    "RRULE:FREQ=YEARLY;INTERVAL=1;BYDAY=-1SU;BYMONTH=10\nEND:STANDARD\n"
    "BEGIN:DAYLIGHT\nDTSTART:16010101T020000\nTZOFFSETFROM:+0100\nTZOFFSETTO:+0200\n"
    "RRULE:FREQ=YEARLY;INTERVAL=1;BYDAY=-1SU;BYMONTH=3\nEND:DAYLIGHT\nEND:VTIMEZONE\n";

QByteArray fixedZone(const QByteArray& name, const QByteArray& offset)
{
    return "BEGIN:VTIMEZONE\nTZID:" + name + "\nBEGIN:STANDARD\nDTSTART:19700101T000000\nTZOFFSETFROM:" + offset
        + "\nTZOFFSETTO:" + offset + "\nEND:STANDARD\nEND:VTIMEZONE\n";
}

// New York's rules written with BYSETPOS, which libical itself has to expand.
const QByteArray kSetPosZone =
    "BEGIN:VTIMEZONE\nTZID:Setpos Zone\n"
    "BEGIN:STANDARD\nDTSTART:19701101T020000\nTZOFFSETFROM:-0400\nTZOFFSETTO:-0500\n"
    "RRULE:FREQ=YEARLY;BYMONTH=11;BYDAY=SU;BYSETPOS=1\nEND:STANDARD\n"
    "BEGIN:DAYLIGHT\nDTSTART:19700308T020000\nTZOFFSETFROM:-0500\nTZOFFSETTO:-0400\n"
    "RRULE:FREQ=YEARLY;BYMONTH=3;BYDAY=SU;BYSETPOS=2\nEND:DAYLIGHT\nEND:VTIMEZONE\n";

// Onsets by DTSTART and RDATE only: summer time from June to September.
const QByteArray kRdateZone =
    "BEGIN:VTIMEZONE\nTZID:Rdate Zone\n"
    "BEGIN:STANDARD\nDTSTART:20000101T000000\nTZOFFSETFROM:+0100\nTZOFFSETTO:+0100\nEND:STANDARD\n"
    "BEGIN:DAYLIGHT\nDTSTART:20260601T000000\nRDATE:20270601T000000\nTZOFFSETFROM:+0100\nTZOFFSETTO:+0200\n"
    "END:DAYLIGHT\n"
    "BEGIN:STANDARD\nDTSTART:20260901T000000\nRDATE:20270901T000000\nTZOFFSETFROM:+0200\nTZOFFSETTO:+0100\n"
    "END:STANDARD\nEND:VTIMEZONE\n";

QDateTime utc(int y, int mo, int d, int h = 0, int mi = 0, int s = 0)
{
    return QDateTime(QDate(y, mo, d), QTime(h, mi, s), Qt::UTC);
}

QDateTime local(int y, int mo, int d, int h = 0, int mi = 0, int s = 0)
{
    return QDateTime(QDate(y, mo, d), QTime(h, mi, s), Qt::LocalTime);
}

TaskFields task(const QString& uid, const QString& name)
{
    TaskFields f;
    f.uid = uid;
    f.name = name;
    return f;
}

QString describe(const TaskFields& f)
{
    auto time = [](const QDateTime& t) { return t.isValid() ? t.toUTC().toString(Qt::ISODate) : QStringLiteral("-"); };
    return QStringList{QStringLiteral("uid=") + f.uid,
                       QStringLiteral("name=") + f.name,
                       QStringLiteral("notes=") + f.notes,
                       QStringLiteral("due=") + time(f.due),
                       QStringLiteral("completed=") + (f.completed ? QStringLiteral("yes") : QStringLiteral("no")),
                       QStringLiteral("completedAt=") + time(f.completedAt),
                       QStringLiteral("created=") + time(f.created),
                       QStringLiteral("lastModified=") + time(f.lastModified),
                       QStringLiteral("rule=") + f.repeatRule,
                       QStringLiteral("sort=") + (f.sortOrder ? QString::number(*f.sortOrder) : QStringLiteral("-"))}
        .join(QLatin1String(" | "));
}

// The logical lines of iCalendar text (folding undone).
QList<QByteArray> linesOf(QByteArray text)
{
    text.replace("\r\n ", "").replace("\r\n\t", "");
    QList<QByteArray> lines = text.split('\n');
    for (QByteArray& line : lines) {
        if (line.endsWith('\r'))
            line.chop(1);
    }
    lines.removeAll(QByteArray());
    return lines;
}

bool isRecent(const QDateTime& time)
{
    return time.isValid() && qAbs(time.secsTo(QDateTime::currentDateTimeUtc())) <= 5;
}

} // namespace

class TstVTodo : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void timeZoneIsPinned();
    void read_data();
    void read();
    void roundTrip_data();
    void roundTrip();
    void newObject();
    void dueFormat_data();
    void dueFormat();
    void keepsWhatItDoesNotMap_data();
    void keepsWhatItDoesNotMap();
    void changesOnlyWhatChanged_data();
    void changesOnlyWhatChanged();
    void badInput_data();
    void badInput();
    void cutAnywhere();
    void calendarFileRoundTrip();
    void calendarFileMixed();
    void calendarFileCutShort();
    void calendarFileOddities();
    void threads();
};

void TstVTodo::timeZoneIsPinned()
{
    // The expectations below are written for Lisbon: UTC in winter, UTC+1 in summer.
    QCOMPARE(local(2027, 1, 15, 12).offsetFromUtc(), 0);
    QCOMPARE(local(2027, 7, 15, 12).offsetFromUtc(), 3600);
}

void TstVTodo::read_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<TaskFields>("expected");

    QTest::newRow("minimal") << todoWith("UID:a\nSUMMARY:Buy milk\n") << task(QStringLiteral("a"), QStringLiteral("Buy milk"));
    {
        TaskFields f = task(QStringLiteral("full-1"), QStringLiteral("Report"));
        f.notes = QStringLiteral("Two\nlines");
        f.due = utc(2027, 1, 15, 9, 30);
        f.completed = true;
        f.completedAt = utc(2027, 1, 16, 10);
        f.created = utc(2026, 1, 1, 8);
        f.lastModified = utc(2026, 1, 2, 9);
        f.repeatRule = QStringLiteral("FREQ=WEEKLY;INTERVAL=2;BYDAY=MO,TH");
        f.sortOrder = -42;
        QTest::newRow("all fields")
            << todoWith("UID:full-1\nDTSTAMP:20260102T090000Z\nSUMMARY:Report\nDESCRIPTION:Two\\nlines\n"
                        "DUE:20270115T093000Z\nSTATUS:COMPLETED\nCOMPLETED:20270116T100000Z\nPERCENT-COMPLETE:100\n"
                        "CREATED:20260101T080000Z\nLAST-MODIFIED:20260102T090000Z\n"
                        "RRULE:FREQ=WEEKLY;INTERVAL=2;BYDAY=MO,TH\nX-APPLE-SORT-ORDER:-42\n")
            << f;
    }
    {
        TaskFields f = task(QStringLiteral("t"), QStringLiteral("Milk, eggs; bread \\ done\nline two \u2713"));
        f.notes = QStringLiteral("Caf\u00e9 \U0001F600 \u65E5\u672C");
        // The DESCRIPTION is folded in the middle of the two bytes of the é.
        QTest::newRow("escaped and folded text")
            << todoWith("UID:t\nSUMMARY:Milk\\, eggs\\; bread \\\\ done\\nline two \xE2\x9C\x93\n"
                        "DESCRIPTION:Caf\xC3\n \xA9 \xF0\x9F\x98\x80 \xE6\x97\xA5\xE6\x9C\xAC\n")
            << f;
    }
    auto withDue = [](const QDateTime& due) {
        TaskFields f = task(QStringLiteral("d"), QStringLiteral("Due"));
        f.due = due;
        return f;
    };
    QTest::newRow("date") << todoWith("UID:d\nSUMMARY:Due\nDUE;VALUE=DATE:20270320\n") << withDue(local(2027, 3, 20));
    QTest::newRow("date in summer") << todoWith("UID:d\nSUMMARY:Due\nDUE;VALUE=DATE:20270720\n")
                                    << withDue(local(2027, 7, 20));
    QTest::newRow("utc") << todoWith("UID:d\nSUMMARY:Due\nDUE:20270720T083000Z\n") << withDue(utc(2027, 7, 20, 8, 30));
    QTest::newRow("floating") << todoWith("UID:d\nSUMMARY:Due\nDUE:20270720T083000\n")
                              << withDue(local(2027, 7, 20, 8, 30));
    QTest::newRow("tzid, custom vtimezone")
        << todoWith("UID:d\nSUMMARY:Due\nDUE;TZID=My Office Zone:20270720T120000\n", fixedZone("My Office Zone", "+0300"))
        << withDue(utc(2027, 7, 20, 9));
    QTest::newRow("tzid, outlook vtimezone, winter")
        << todoWith("UID:d\nSUMMARY:Due\nDUE;TZID=\"W. Europe Standard Time\":20270115T120000\n", kOutlook)
        << withDue(utc(2027, 1, 15, 11));
    QTest::newRow("tzid, outlook vtimezone, summer")
        << todoWith("UID:d\nSUMMARY:Due\nDUE;TZID=\"W. Europe Standard Time\":20270720T120000\n", kOutlook)
        << withDue(utc(2027, 7, 20, 10));
    QTest::newRow("tzid, vtimezone wins over the name")
        << todoWith("UID:d\nSUMMARY:Due\nDUE;TZID=Europe/Berlin:20270720T120000\n", fixedZone("Europe/Berlin", "+0500"))
        << withDue(utc(2027, 7, 20, 7));
    QTest::newRow("tzid, vtimezone with rdates")
        << todoWith("UID:d\nSUMMARY:Due\nDUE;TZID=Rdate Zone:20270715T120000\n", kRdateZone)
        << withDue(utc(2027, 7, 15, 10));
    QTest::newRow("tzid, vtimezone with rdates, after")
        << todoWith("UID:d\nSUMMARY:Due\nDUE;TZID=Rdate Zone:20271015T120000\n", kRdateZone)
        << withDue(utc(2027, 10, 15, 11));
    QTest::newRow("tzid, vtimezone libical expands")
        << todoWith("UID:d\nSUMMARY:Due\nDUE;TZID=Setpos Zone:20270720T120000\n", kSetPosZone)
        << withDue(utc(2027, 7, 20, 16));
    QTest::newRow("tzid without vtimezone") << todoWith("UID:d\nSUMMARY:Due\nDUE;TZID=Europe/Berlin:20270720T120000\n")
                                            << withDue(utc(2027, 7, 20, 10));
    QTest::newRow("tzid without vtimezone, winter")
        << todoWith("UID:d\nSUMMARY:Due\nDUE;TZID=America/New_York:20270115T120000\n") << withDue(utc(2027, 1, 15, 17));
    QTest::newRow("tzid with vendor prefix")
        << todoWith("UID:d\nSUMMARY:Due\nDUE;TZID=/mozilla.org/20050126_1/America/New_York:20270115T120000\n")
        << withDue(utc(2027, 1, 15, 17));
    QTest::newRow("tzid windows name") << todoWith("UID:d\nSUMMARY:Due\nDUE;TZID=Eastern Standard Time:20270115T120000\n")
                                       << withDue(utc(2027, 1, 15, 17));
    QTest::newRow("tzid unknown: floating")
        << todoWith("UID:d\nSUMMARY:Due\nDUE;TZID=Nowhere/Land:20270720T120000\n") << withDue(local(2027, 7, 20, 12));
    QTest::newRow("tzid path is no file name")
        << todoWith("UID:d\nSUMMARY:Due\nDUE;TZID=../../../../dev/zero:20270720T120000\n")
        << withDue(local(2027, 7, 20, 12));

    // America/New_York 2027-03-14 02:30 does not exist: the offset before the change (EST) makes
    // it 07:30Z, i.e. 03:30 EDT. 2027-11-07 01:30 happens twice: the first (EDT) is 05:30Z.
    QTest::newRow("dst gap, vtimezone")
        << todoWith("UID:d\nSUMMARY:Due\nDUE;TZID=America/New_York:20270314T023000\n", kNewYork)
        << withDue(utc(2027, 3, 14, 7, 30));
    QTest::newRow("dst gap, iana") << todoWith("UID:d\nSUMMARY:Due\nDUE;TZID=America/New_York:20270314T023000\n")
                                   << withDue(utc(2027, 3, 14, 7, 30));
    QTest::newRow("dst gap, libical expands")
        << todoWith("UID:d\nSUMMARY:Due\nDUE;TZID=Setpos Zone:20270314T023000\n", kSetPosZone)
        << withDue(utc(2027, 3, 14, 7, 30));
    QTest::newRow("dst twice, vtimezone")
        << todoWith("UID:d\nSUMMARY:Due\nDUE;TZID=America/New_York:20271107T013000\n", kNewYork)
        << withDue(utc(2027, 11, 7, 5, 30));
    QTest::newRow("dst twice, iana") << todoWith("UID:d\nSUMMARY:Due\nDUE;TZID=America/New_York:20271107T013000\n")
                                     << withDue(utc(2027, 11, 7, 5, 30));
    QTest::newRow("dst twice, libical expands")
        << todoWith("UID:d\nSUMMARY:Due\nDUE;TZID=Setpos Zone:20271107T013000\n", kSetPosZone)
        << withDue(utc(2027, 11, 7, 5, 30));
    QTest::newRow("dst just after the gap")
        << todoWith("UID:d\nSUMMARY:Due\nDUE;TZID=America/New_York:20270314T033000\n", kNewYork)
        << withDue(utc(2027, 3, 14, 7, 30));
    // Lisbon: 2027-03-28 01:00 becomes 02:00; 2027-10-31 02:00 becomes 01:00.
    QTest::newRow("floating in the local gap") << todoWith("UID:d\nSUMMARY:Due\nDUE:20270328T013000\n")
                                               << withDue(utc(2027, 3, 28, 1, 30));
    QTest::newRow("floating twice locally") << todoWith("UID:d\nSUMMARY:Due\nDUE:20271031T013000\n")
                                            << withDue(utc(2027, 10, 31, 0, 30));
    QTest::newRow("dtstart and duration")
        << todoWith("UID:d\nSUMMARY:Due\nDTSTART:20270110T090000Z\nDURATION:PT2H\n") << withDue(utc(2027, 1, 10, 11));
    // Across Berlin's change to summer time: a day is a day on the wall clock, 24 hours are exact.
    QTest::newRow("dtstart and a day")
        << todoWith("UID:d\nSUMMARY:Due\nDTSTART;TZID=Europe/Berlin:20270327T120000\nDURATION:P1D\n", kBerlin)
        << withDue(utc(2027, 3, 28, 10));
    QTest::newRow("dtstart and 24 hours")
        << todoWith("UID:d\nSUMMARY:Due\nDTSTART;TZID=Europe/Berlin:20270327T120000\nDURATION:PT24H\n", kBerlin)
        << withDue(utc(2027, 3, 28, 11));
    QTest::newRow("date and days") << todoWith("UID:d\nSUMMARY:Due\nDTSTART;VALUE=DATE:20270327\nDURATION:P2D\n")
                                   << withDue(local(2027, 3, 29));

    auto status = [](bool completed, const QDateTime& at) {
        TaskFields f = task(QStringLiteral("s"), QStringLiteral("S"));
        f.completed = completed;
        f.completedAt = at;
        return f;
    };
    QTest::newRow("completed, no time") << todoWith("UID:s\nSUMMARY:S\nSTATUS:COMPLETED\n") << status(true, QDateTime());
    QTest::newRow("completed time, no status") << todoWith("UID:s\nSUMMARY:S\nCOMPLETED:20270101T100000Z\n")
                                               << status(true, utc(2027, 1, 1, 10));
    QTest::newRow("cancelled") << todoWith("UID:s\nSUMMARY:S\nSTATUS:CANCELLED\nCOMPLETED:20270101T100000Z\n")
                               << status(false, utc(2027, 1, 1, 10));
    QTest::newRow("in process") << todoWith("UID:s\nSUMMARY:S\nSTATUS:IN-PROCESS\nPERCENT-COMPLETE:50\n")
                                << status(false, QDateTime());
    QTest::newRow("needs action") << todoWith("UID:s\nSUMMARY:S\nSTATUS:NEEDS-ACTION\n") << status(false, QDateTime());

    auto sorted = [](std::optional<qint64> order) {
        TaskFields f = task(QStringLiteral("o"), QStringLiteral("O"));
        f.sortOrder = order;
        return f;
    };
    QTest::newRow("sort order") << todoWith("UID:o\nSUMMARY:O\nX-APPLE-SORT-ORDER:604800000\n") << sorted(604800000);
    QTest::newRow("sort order, large") << todoWith("UID:o\nSUMMARY:O\nX-APPLE-SORT-ORDER:9007199254740993\n")
                                       << sorted(Q_INT64_C(9007199254740993));
    QTest::newRow("sort order, not a number") << todoWith("UID:o\nSUMMARY:O\nX-APPLE-SORT-ORDER:first\n")
                                              << sorted(std::nullopt);
    QTest::newRow("sort order, fraction") << todoWith("UID:o\nSUMMARY:O\nX-APPLE-SORT-ORDER:1.5\n") << sorted(std::nullopt);

    QTest::newRow("the master, not the occurrence")
        << calendarWith("BEGIN:VTODO\nUID:r\nRECURRENCE-ID:20270108T090000Z\nSUMMARY:Moved\nEND:VTODO\n"
                        "BEGIN:VTODO\nUID:r\nSUMMARY:Weekly\nEND:VTODO\n")
        << task(QStringLiteral("r"), QStringLiteral("Weekly"));
    QTest::newRow("lower case names") << todoWith("uid:lc\nsummary:Lower\n") << task(QStringLiteral("lc"), QStringLiteral("Lower"));
    QTest::newRow("lf line ends") << QByteArray("BEGIN:VCALENDAR\nVERSION:2.0\nBEGIN:VTODO\nUID:lf\nSUMMARY:LF\nEND:VTODO\nEND:VCALENDAR\n")
                                  << task(QStringLiteral("lf"), QStringLiteral("LF"));
    QTest::newRow("byte order mark") << QByteArray("\xEF\xBB\xBF") + todoWith("UID:bom\nSUMMARY:BOM\n")
                                     << task(QStringLiteral("bom"), QStringLiteral("BOM"));
    QTest::newRow("unreadable lines around") << todoWith("UID:u\nSUMMARY:U\nthis line has no colon\nDTSTART:garbage\n")
                                             << task(QStringLiteral("u"), QStringLiteral("U"));
}

void TstVTodo::read()
{
    QFETCH(QByteArray, text);
    QFETCH(TaskFields, expected);
    TaskFields fields;
    QString error;
    QVERIFY2(sync::readVTodo(text, &fields, &error), qPrintable(error));
    QVERIFY(error.isEmpty());
    QCOMPARE(describe(fields), describe(expected));
    QVERIFY(fields == expected);
    for (const QDateTime& time : {fields.due, fields.completedAt, fields.created, fields.lastModified}) {
        if (time.isValid())
            QCOMPARE(time.timeSpec(), Qt::LocalTime);
    }
}

void TstVTodo::roundTrip_data()
{
    QTest::addColumn<TaskFields>("fields");

    QTest::newRow("name only") << task(QStringLiteral("r-1"), QStringLiteral("Call mum"));
    QTest::newRow("empty name") << task(QStringLiteral("r-2"), QString());
    {
        TaskFields f = task(QStringLiteral("r-3"), QStringLiteral("Everything"));
        f.notes = QStringLiteral("Some notes\nover lines");
        f.due = local(2027, 2, 3, 14, 15);
        f.completed = true;
        f.completedAt = local(2027, 2, 4, 8, 0, 1);
        f.created = local(2026, 11, 30, 22, 10, 5);
        f.repeatRule = QStringLiteral("FREQ=WEEKLY;INTERVAL=2;BYDAY=MO,TH");
        f.sortOrder = 123456789012LL;
        QTest::newRow("all fields") << f;
    }
    {
        TaskFields f = task(QStringLiteral("r-4"), QStringLiteral("Commas, semicolons; backslash \\ \"quotes\"\ttab"));
        f.notes = QStringLiteral("Line one\nLine two, with \\n not a newline; \u00e9\u00e8\u00ea \U0001F600\U0001F680 \u4E2D\u6587\n\n"
                                 "A long line that libical has to fold because it is far longer than seventy-five octets, "
                                 "\u00e9\u00e9\u00e9\u00e9\u00e9\u00e9\u00e9\u00e9\u00e9\u00e9\u00e9\u00e9\u00e9\u00e9"
                                 "\U0001F600\U0001F600\U0001F600\U0001F600\U0001F600\U0001F600\U0001F600 end\n");
        QTest::newRow("hard text") << f;
    }
    {
        TaskFields f = task(QStringLiteral("r-5@example.com"), QStringLiteral("Date"));
        f.due = local(2027, 3, 20);
        QTest::newRow("due date") << f;
        f.due = local(2027, 7, 20);
        QTest::newRow("due date in summer") << f;
        f.due = local(2027, 7, 20, 0, 0, 1);
        QTest::newRow("due a second after midnight") << f;
        f.due = local(2027, 10, 31, 1, 30);
        QTest::newRow("due at a time that happens twice") << f;
    }
    {
        TaskFields f = task(QStringLiteral("r-6"), QStringLiteral("Open"));
        f.created = local(2020, 1, 1, 1, 1, 1);
        f.sortOrder = -1;
        f.repeatRule = QStringLiteral("FREQ=MONTHLY;UNTIL=20271231T235959Z;BYMONTHDAY=-1");
        QTest::newRow("open, repeating") << f;
        f.sortOrder = 0;
        f.repeatRule = QStringLiteral("FREQ=DAILY;COUNT=5");
        QTest::newRow("sort order zero") << f;
    }
}

void TstVTodo::roundTrip()
{
    QFETCH(TaskFields, fields);
    const QByteArray text = sync::writeVTodo(QByteArray(), fields);
    TaskFields back;
    QString error;
    QVERIFY2(sync::readVTodo(text, &back, &error), qPrintable(error));
    QVERIFY(isRecent(back.lastModified));
    TaskFields expected = fields;
    expected.lastModified = back.lastModified;
    if (!fields.created.isValid()) {
        QVERIFY(isRecent(back.created));
        expected.created = back.created;
    }
    QCOMPARE(describe(back), describe(expected));

    // Written again over itself unchanged, it reads the same.
    const QByteArray again = sync::writeVTodo(text, back);
    TaskFields backAgain;
    QVERIFY(sync::readVTodo(again, &backAgain, &error));
    backAgain.lastModified = back.lastModified;
    QCOMPARE(describe(backAgain), describe(back));
}

void TstVTodo::newObject()
{
    TaskFields f;
    f.name = QStringLiteral("No uid yet");
    const QByteArray text = sync::writeVTodo(QByteArray(), f);
    const QList<QByteArray> lines = linesOf(text);
    QCOMPARE(lines.first(), QByteArray("BEGIN:VCALENDAR"));
    QCOMPARE(lines.last(), QByteArray("END:VCALENDAR"));
    QVERIFY(lines.contains("VERSION:2.0"));
    QVERIFY(lines.contains("PRODID:-//Mirevo//Mirevo//EN"));
    QCOMPARE(lines.count("BEGIN:VTODO"), 1);
    QVERIFY(lines.contains("SUMMARY:No uid yet"));
    QVERIFY(lines.contains("STATUS:NEEDS-ACTION"));
    for (const char* name : {"UID:", "DTSTAMP:", "CREATED:", "LAST-MODIFIED:"}) {
        QCOMPARE(int(std::count_if(lines.begin(), lines.end(), [name](const QByteArray& l) { return l.startsWith(name); })), 1);
    }
    for (const char* name : {"DESCRIPTION", "DUE", "COMPLETED", "PERCENT-COMPLETE", "RRULE", "X-APPLE-SORT-ORDER", "SEQUENCE"}) {
        QVERIFY2(std::none_of(lines.begin(), lines.end(),
                              [name](const QByteArray& l) { return l.startsWith(name + QByteArray(":")) || l.startsWith(name + QByteArray(";")); }),
                 name);
    }
    TaskFields back;
    QString error;
    QVERIFY(sync::readVTodo(text, &back, &error));
    QVERIFY(!back.uid.isEmpty());
    QVERIFY(text.contains("\r\n"));
    QVERIFY(!text.contains("X-LIC"));

    // A completion without a time is stamped now; line breaks become LF.
    f.completed = true;
    f.notes = QStringLiteral("a\r\nb\rc");
    QVERIFY(sync::readVTodo(sync::writeVTodo(QByteArray(), f), &back, &error));
    QVERIFY(back.completed);
    QVERIFY(isRecent(back.completedAt));
    QCOMPARE(back.notes, QStringLiteral("a\nb\nc"));
    QVERIFY(linesOf(sync::writeVTodo(QByteArray(), f)).contains("PERCENT-COMPLETE:100"));
}

void TstVTodo::dueFormat_data()
{
    QTest::addColumn<QDateTime>("due");
    QTest::addColumn<QByteArray>("line");
    QTest::newRow("local midnight, winter") << local(2027, 1, 15) << QByteArray("DUE;VALUE=DATE:20270115");
    QTest::newRow("local midnight, summer") << local(2027, 7, 20) << QByteArray("DUE;VALUE=DATE:20270720");
    QTest::newRow("utc time at local midnight") << utc(2027, 7, 19, 23) << QByteArray("DUE;VALUE=DATE:20270720");
    QTest::newRow("a time, winter") << local(2027, 1, 15, 9, 30) << QByteArray("DUE:20270115T093000Z");
    QTest::newRow("a time, summer") << local(2027, 7, 20, 9, 30) << QByteArray("DUE:20270720T083000Z");
    QTest::newRow("milliseconds dropped") << local(2027, 7, 20, 9, 30).addMSecs(999) << QByteArray("DUE:20270720T083000Z");
    QTest::newRow("another zone") << QDateTime(QDate(2027, 1, 15), QTime(12, 0), QTimeZone("Asia/Tokyo"))
                                  << QByteArray("DUE:20270115T030000Z");
}

void TstVTodo::dueFormat()
{
    QFETCH(QDateTime, due);
    QFETCH(QByteArray, line);
    TaskFields f = task(QStringLiteral("due"), QStringLiteral("Due"));
    f.due = due;
    const QByteArray text = sync::writeVTodo(QByteArray(), f);
    QVERIFY2(linesOf(text).contains(line), text.constData());
    // The same change made to an existing object.
    const QByteArray existing = todoWith("UID:due\nSUMMARY:Due\nDUE;TZID=Europe/Berlin:20270115T090000\n", kBerlin);
    QVERIFY(linesOf(sync::writeVTodo(existing, f)).contains(line));
}

namespace {

// A task written by another client, with much the mapping does not know.
const QByteArray kRichObject = calendarWith(
    kBerlin
    + "BEGIN:VEVENT\nUID:event-1\nDTSTAMP:20240101T000000Z\nDTSTART:20270101T100000Z\nSUMMARY:An event\nEND:VEVENT\n"
      "BEGIN:VTODO\nUID:task-1\nDTSTAMP:20250101T000000Z\nSEQUENCE:3\nCREATED:20250101T000000Z\n"
      "SUMMARY;LANGUAGE=de:Alt\nDESCRIPTION:Some notes\nDUE;TZID=Europe/Berlin:20270115T090000\n"
      "STATUS:IN-PROCESS\nPERCENT-COMPLETE:40\nPRIORITY:1\nCATEGORIES:Work\nCLASS:PRIVATE\n"
      "ATTACH;FMTTYPE=text/plain:https://example.com/a.txt\nRELATED-TO;RELTYPE=PARENT:parent-uid\n"
      "X-MOZ-GENERATION:7\nX-CUSTOM;X-PARAM=yes:some value\nCONCEPT:https://example.com/concept\n"
      "LOCATION:Office\nGEO:38.7;-9.1\nURL:https://example.com/task\n"
      "BEGIN:VALARM\nACTION:DISPLAY\nTRIGGER;RELATED=END:-PT15M\nDESCRIPTION:Reminder\nX-WR-ALARMUID:alarm-1\n"
      "END:VALARM\nEND:VTODO\n");

// The lines of kRichObject every write must keep as they are.
const QList<QByteArray> kKeptLines = {
    "PRODID:-//Test//Test//EN", "BEGIN:VTIMEZONE", "TZID:Europe/Berlin", "TZNAME:CEST", "DTSTART:19700329T020000",
    "TZOFFSETFROM:+0100", "TZOFFSETTO:+0200", "END:VTIMEZONE",
    "BEGIN:VEVENT", "UID:event-1", "DTSTAMP:20240101T000000Z", "DTSTART:20270101T100000Z", "SUMMARY:An event", "END:VEVENT",
    "PRIORITY:1", "CATEGORIES:Work", "CLASS:PRIVATE", "ATTACH;FMTTYPE=text/plain:https://example.com/a.txt",
    "RELATED-TO;RELTYPE=PARENT:parent-uid", "X-MOZ-GENERATION:7", "X-CUSTOM;X-PARAM=yes:some value",
    "CONCEPT:https://example.com/concept", "LOCATION:Office", "GEO:38.700000;-9.100000", "URL:https://example.com/task",
    "BEGIN:VALARM", "ACTION:DISPLAY", "TRIGGER;RELATED=END:-PT15M", "DESCRIPTION:Reminder", "X-WR-ALARMUID:alarm-1",
    "END:VALARM"};

enum Change { Rename, EditNotes, ClearNotes, MoveDue, DueToDate, ClearDue, Complete, Repeat, SortOrder, NoChange };

void applyChange(TaskFields& f, int change)
{
    switch (change) {
    case Rename: f.name = QStringLiteral("Neu"); break;
    case EditNotes: f.notes = QStringLiteral("Other notes, with a comma"); break;
    case ClearNotes: f.notes.clear(); break;
    case MoveDue: f.due = local(2027, 2, 1, 10); break;
    case DueToDate: f.due = local(2027, 2, 1); break;
    case ClearDue: f.due = QDateTime(); break;
    case Complete:
        f.completed = true;
        f.completedAt = utc(2027, 1, 16, 12);
        break;
    case Repeat: f.repeatRule = QStringLiteral("FREQ=DAILY;COUNT=3"); break;
    case SortOrder: f.sortOrder = 12; break;
    default: break;
    }
}

} // namespace

void TstVTodo::keepsWhatItDoesNotMap_data()
{
    QTest::addColumn<int>("change");
    QTest::addColumn<QList<QByteArray>>("removed");
    QTest::addColumn<QList<QByteArray>>("added");
    using L = QList<QByteArray>;
    QTest::newRow("nothing") << int(NoChange) << L{} << L{};
    QTest::newRow("rename") << int(Rename) << L{"SUMMARY;LANGUAGE=de:Alt"} << L{"SUMMARY;LANGUAGE=de:Neu"};
    QTest::newRow("notes") << int(EditNotes) << L{"DESCRIPTION:Some notes"} << L{"DESCRIPTION:Other notes\\, with a comma"};
    QTest::newRow("notes cleared") << int(ClearNotes) << L{"DESCRIPTION:Some notes"} << L{};
    QTest::newRow("due moved") << int(MoveDue) << L{"DUE;TZID=Europe/Berlin:20270115T090000"} << L{"DUE:20270201T100000Z"};
    QTest::newRow("due to a date") << int(DueToDate) << L{"DUE;TZID=Europe/Berlin:20270115T090000"}
                                   << L{"DUE;VALUE=DATE:20270201"};
    QTest::newRow("due cleared") << int(ClearDue) << L{"DUE;TZID=Europe/Berlin:20270115T090000"} << L{};
    QTest::newRow("completed") << int(Complete) << L{"STATUS:IN-PROCESS", "PERCENT-COMPLETE:40"}
                               << L{"STATUS:COMPLETED", "COMPLETED:20270116T120000Z", "PERCENT-COMPLETE:100"};
    QTest::newRow("repeat") << int(Repeat) << L{} << L{"RRULE:FREQ=DAILY;COUNT=3"};
    QTest::newRow("sort order") << int(SortOrder) << L{} << L{"X-APPLE-SORT-ORDER:12"};
}

void TstVTodo::keepsWhatItDoesNotMap()
{
    QFETCH(int, change);
    QFETCH(QList<QByteArray>, removed);
    QFETCH(QList<QByteArray>, added);

    TaskFields before;
    QString error;
    QVERIFY2(sync::readVTodo(kRichObject, &before, &error), qPrintable(error));
    QCOMPARE(before.due, utc(2027, 1, 15, 8));
    TaskFields fields = before;
    applyChange(fields, change);
    const QByteArray text = sync::writeVTodo(kRichObject, fields);
    const QList<QByteArray> lines = linesOf(text);

    for (const QByteArray& line : kKeptLines)
        QVERIFY2(lines.contains(line), line.constData());
    QVERIFY(lines.contains("SEQUENCE:4"));
    QVERIFY(lines.contains("CREATED:20250101T000000Z"));
    QVERIFY(!lines.contains("DTSTAMP:20250101T000000Z")); // the task's stamp is renewed
    QVERIFY(!text.contains("X-LIC"));
    QVERIFY(!text.contains("X-MRV"));

    // Against the original, exactly the mapped lines of the change differ, plus the stamps, once
    // the lines libical writes differently (in the same meaning) are taken as it writes them.
    QList<QByteArray> original = linesOf(kRichObject);
    const QHash<QByteArray, QByteArray> libicalWrites{
        {"GEO:38.7;-9.1", "GEO:38.700000;-9.100000"},
        {"RRULE:FREQ=YEARLY;BYMONTH=3;BYDAY=-1SU", "RRULE:FREQ=YEARLY;BYDAY=-1SU;BYMONTH=3"},
        {"RRULE:FREQ=YEARLY;BYMONTH=10;BYDAY=-1SU", "RRULE:FREQ=YEARLY;BYDAY=-1SU;BYMONTH=10"}};
    for (QByteArray& line : original)
        line = libicalWrites.value(line, line);
    auto isStamp = [](const QByteArray& line) {
        return line.startsWith("DTSTAMP:") || line.startsWith("LAST-MODIFIED:") || line.startsWith("SEQUENCE:");
    };
    QList<QByteArray> gone, came;
    for (const QByteArray& line : original) {
        if (!lines.contains(line) && !isStamp(line))
            gone << line;
    }
    for (const QByteArray& line : lines) {
        if (!original.contains(line) && !isStamp(line))
            came << line;
    }
    std::sort(gone.begin(), gone.end());
    std::sort(came.begin(), came.end());
    std::sort(removed.begin(), removed.end());
    std::sort(added.begin(), added.end());
    QCOMPARE(gone, removed);
    QCOMPARE(came, added);

    TaskFields after;
    QVERIFY(sync::readVTodo(text, &after, &error));
    QVERIFY(isRecent(after.lastModified));
    after.lastModified = fields.lastModified;
    QCOMPARE(describe(after), describe(fields));
}

void TstVTodo::changesOnlyWhatChanged_data()
{
    QTest::addColumn<QByteArray>("existing");
    QTest::addColumn<int>("change");
    QTest::addColumn<QList<QByteArray>>("present");
    QTest::addColumn<QList<QByteArray>>("absent");
    using L = QList<QByteArray>;

    QTest::newRow("cancelled stays on rename")
        << todoWith("UID:c\nSUMMARY:Old\nSTATUS:CANCELLED\n") << int(Rename) << L{"STATUS:CANCELLED", "SUMMARY:Neu"} << L{};
    QTest::newRow("tzid due stays on notes edit")
        << todoWith("UID:c\nSUMMARY:Old\nDUE;TZID=Europe/Berlin:20270115T090000\n") << int(EditNotes)
        << L{"DUE;TZID=Europe/Berlin:20270115T090000", "DESCRIPTION:Other notes\\, with a comma"} << L{};
    QTest::newRow("utc due at local midnight stays a time")
        << todoWith("UID:c\nSUMMARY:Old\nDUE:20270719T230000Z\n") << int(Rename) << L{"DUE:20270719T230000Z"} << L{};
    QTest::newRow("completed time without status stays")
        << todoWith("UID:c\nSUMMARY:Old\nCOMPLETED:20270101T100000Z\n") << int(Rename) << L{"COMPLETED:20270101T100000Z"}
        << L{"STATUS:COMPLETED", "STATUS:NEEDS-ACTION"};
    QTest::newRow("duration stays on rename")
        << todoWith("UID:c\nSUMMARY:Old\nDTSTART:20270110T090000Z\nDURATION:PT2H\n") << int(Rename)
        << L{"DTSTART:20270110T090000Z", "DURATION:PT2H"} << L{};
    QTest::newRow("duration goes when the due moves")
        << todoWith("UID:c\nSUMMARY:Old\nDTSTART:20270110T090000Z\nDURATION:PT2H\n") << int(MoveDue)
        << L{"DTSTART:20270110T090000Z", "DUE:20270201T100000Z"} << L{"DURATION:PT2H"};
    QTest::newRow("a sort order that is no number stays")
        << todoWith("UID:c\nSUMMARY:Old\nX-APPLE-SORT-ORDER:first\n") << int(Rename) << L{"X-APPLE-SORT-ORDER:first"} << L{};
    QTest::newRow("sort order replaced")
        << todoWith("UID:c\nSUMMARY:Old\nX-APPLE-SORT-ORDER:5\n") << int(SortOrder) << L{"X-APPLE-SORT-ORDER:12"}
        << L{"X-APPLE-SORT-ORDER:5"};
    QTest::newRow("rule replaced")
        << todoWith("UID:c\nSUMMARY:Old\nRRULE:FREQ=WEEKLY\n") << int(Repeat) << L{"RRULE:FREQ=DAILY;COUNT=3"}
        << L{"RRULE:FREQ=WEEKLY"};
    QTest::newRow("no sequence, none added") << todoWith("UID:c\nSUMMARY:Old\n") << int(Rename) << L{"SUMMARY:Neu"} << L{};
    QTest::newRow("cancelled completed")
        << todoWith("UID:c\nSUMMARY:Old\nSTATUS:CANCELLED\n") << int(Complete)
        << L{"STATUS:COMPLETED", "COMPLETED:20270116T120000Z", "PERCENT-COMPLETE:100"} << L{"STATUS:CANCELLED"};
    QTest::newRow("a broken line is not sent back")
        << todoWith("UID:c\nSUMMARY:Old\nDTSTART:garbage\nthis line has no colon\nPRIORITY:2\n") << int(Rename)
        << L{"PRIORITY:2", "SUMMARY:Neu"} << L{};
    QTest::newRow("lower case x- name kept")
        << todoWith("UID:c\nSUMMARY:Old\nx-lower;X-P=1:kept\nREFID;X-P=2:ref-1\n")
        << int(Rename) << L{"x-lower;X-P=1:kept", "REFID;X-P=2:ref-1"} << L{};
}

void TstVTodo::changesOnlyWhatChanged()
{
    QFETCH(QByteArray, existing);
    QFETCH(int, change);
    QFETCH(QList<QByteArray>, present);
    QFETCH(QList<QByteArray>, absent);

    TaskFields fields;
    QString error;
    QVERIFY2(sync::readVTodo(existing, &fields, &error), qPrintable(error));
    const bool wasCompleted = fields.completed;
    applyChange(fields, change);
    const QByteArray text = sync::writeVTodo(existing, fields);
    const QList<QByteArray> lines = linesOf(text);
    for (const QByteArray& line : present)
        QVERIFY2(lines.contains(line), (line + "\n" + text).constData());
    for (const QByteArray& line : absent)
        QVERIFY2(!lines.contains(line), (line + "\n" + text).constData());
    QVERIFY(!text.contains("X-LIC"));
    QCOMPARE(text.contains("SEQUENCE:"), existing.contains("SEQUENCE:"));

    TaskFields after;
    QVERIFY(sync::readVTodo(text, &after, &error));
    after.lastModified = fields.lastModified;
    QCOMPARE(describe(after), describe(fields));
    if (change == Rename)
        QCOMPARE(after.completed, wasCompleted);
}

void TstVTodo::badInput_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<QString>("reason");

    QByteArray binary;
    for (int i = 0; i < 512; ++i)
        binary.append(char((i * 37) & 0xff));
    const QByteArray whole = todoWith("UID:cut\nSUMMARY:A task that is cut\nDESCRIPTION:Notes\n");

    QTest::newRow("empty") << QByteArray() << QStringLiteral("empty");
    QTest::newRow("white space") << QByteArray(" \r\n\r\n\t") << QStringLiteral("empty");
    QTest::newRow("garbage") << QByteArray("hello world") << QStringLiteral("not an iCalendar");
    QTest::newRow("binary") << binary << QStringLiteral("not an iCalendar");
    QTest::newRow("html") << QByteArray("<html><body>502 Bad Gateway</body></html>") << QStringLiteral("not an iCalendar");
    QTest::newRow("json") << QByteArray("{\"error\": \"BEGIN:VCALENDAR\"}") << QStringLiteral("not an iCalendar");
    QTest::newRow("end alone") << QByteArray("END:VCALENDAR\r\n") << QStringLiteral("not an iCalendar");
    QTest::newRow("a bare vtodo") << ics("BEGIN:VTODO\nUID:x\nEND:VTODO\n") << QStringLiteral("not an iCalendar");
    QTest::newRow("begin alone") << QByteArray("BEGIN:VCALENDAR\r\n") << QStringLiteral("cut short");
    QTest::newRow("cut in half") << whole.left(whole.size() / 2) << QStringLiteral("cut short");
    QTest::newRow("cut before the end") << whole.left(whole.lastIndexOf("END:VCALENDAR")) << QStringLiteral("cut short");
    QTest::newRow("cut in the end") << whole.left(whole.lastIndexOf("END:VCALENDAR") + 8) << QStringLiteral("cut short");
    const QByteArray withAlarm = todoWith("UID:x\nBEGIN:VALARM\nACTION:DISPLAY\nTRIGGER:-PT5M\nEND:VALARM\n");
    QTest::newRow("cut in an alarm") << withAlarm.left(withAlarm.indexOf("END:VALARM")) << QStringLiteral("cut short");
    QTest::newRow("no task") << calendarWith(QByteArray()) << QStringLiteral("no task");
    QTest::newRow("an event only") << calendarWith("BEGIN:VEVENT\nUID:e\nDTSTART:20270101T100000Z\nEND:VEVENT\n")
                                   << QStringLiteral("no task");
    QTest::newRow("no uid") << todoWith("SUMMARY:Nameless\n") << QStringLiteral("no UID");
    QTest::newRow("empty uid") << todoWith("UID:\nSUMMARY:Nameless\n") << QStringLiteral("no UID");
    QTest::newRow("end closes the wrong component")
        << calendarWith("BEGIN:VTODO\nUID:x\nEND:VEVENT\nEND:VTODO\n") << QStringLiteral("malformed");
}

void TstVTodo::badInput()
{
    QFETCH(QByteArray, text);
    QFETCH(QString, reason);
    TaskFields fields = task(QStringLiteral("untouched"), QStringLiteral("Untouched"));
    QString error;
    QVERIFY(!sync::readVTodo(text, &fields, &error));
    QVERIFY2(error.contains(reason, Qt::CaseInsensitive), qPrintable(error));
    QVERIFY(!error.contains(QLatin1Char('\n')));
    QVERIFY(error.size() < 120);
    QCOMPARE(fields.uid, QStringLiteral("untouched"));
    QVERIFY(!sync::readVTodo(text, nullptr, nullptr));

    // Writing over it makes a new, readable object.
    const QByteArray written = sync::writeVTodo(text, task(QStringLiteral("fresh"), QStringLiteral("Fresh")));
    QVERIFY(sync::readVTodo(written, &fields, &error));
    QCOMPARE(fields.uid, QStringLiteral("fresh"));
}

void TstVTodo::cutAnywhere()
{
    const QByteArray whole = todoWith("UID:cut\nSUMMARY:A task cut anywhere\nDUE;TZID=America/New_York:20270115T120000\n"
                                      "BEGIN:VALARM\nACTION:DISPLAY\nTRIGGER:-PT5M\nEND:VALARM\n",
                                      kNewYork);
    const qsizetype complete = whole.lastIndexOf("END:VCALENDAR") + qsizetype(strlen("END:VCALENDAR"));
    for (qsizetype size = 0; size <= whole.size(); ++size) {
        TaskFields fields;
        QString error;
        const bool read = sync::readVTodo(whole.left(size), &fields, &error);
        if (read != (size >= complete))
            QFAIL(qPrintable(QStringLiteral("%1 bytes: %2").arg(size).arg(read ? QStringLiteral("read") : error)));
        if (read)
            QCOMPARE(fields.due, utc(2027, 1, 15, 17));
    }
}

void TstVTodo::calendarFileRoundTrip()
{
    QList<TaskFields> tasks;
    for (int i = 0; i < 5; ++i) {
        TaskFields f = task(QStringLiteral("file-%1").arg(i), QStringLiteral("Task %1, with; text").arg(i));
        f.notes = i % 2 ? QStringLiteral("Notes\n%1").arg(i) : QString();
        f.due = i % 3 ? local(2027, 1 + i, 10, i * 3) : QDateTime();
        f.completed = i == 4;
        f.completedAt = i == 4 ? local(2027, 1, 2, 3, 4, 5) : QDateTime();
        f.created = local(2026, 5, 1 + i, 12);
        f.repeatRule = i == 2 ? QStringLiteral("FREQ=YEARLY") : QString();
        if (i != 3)
            f.sortOrder = i * 10;
        tasks << f;
    }
    const QByteArray text = sync::writeCalendarFile(tasks);
    const QList<QByteArray> lines = linesOf(text);
    QCOMPARE(lines.count("BEGIN:VCALENDAR"), 1);
    QCOMPARE(lines.count("BEGIN:VTODO"), 5);
    QVERIFY(!text.contains("VTIMEZONE"));
    QStringList errors{QStringLiteral("stale")};
    const QList<TaskFields> back = sync::readCalendarFile(text, &errors);
    QCOMPARE(errors, QStringList());
    QCOMPARE(back.size(), tasks.size());
    for (int i = 0; i < tasks.size(); ++i) {
        TaskFields expected = tasks.at(i);
        expected.lastModified = back.at(i).lastModified;
        QVERIFY(isRecent(back.at(i).lastModified));
        QCOMPARE(describe(back.at(i)), describe(expected));
    }
    QCOMPARE(sync::writeCalendarFile({}).count("BEGIN:VTODO"), 0);
}

namespace {

// Two calendars in one file, each with its own "Office" zone; a VTODO without UID on line 21.
const QByteArray kMixedFile = ics(
    "BEGIN:VCALENDAR\nVERSION:2.0\nPRODID:-//A//A//EN\n"                                  // 1-3
    "BEGIN:VTIMEZONE\nTZID:Office\nBEGIN:STANDARD\nDTSTART:19700101T000000\n"              // 4-7
    "TZOFFSETFROM:+0300\nTZOFFSETTO:+0300\nEND:STANDARD\nEND:VTIMEZONE\n"                  // 8-11
    "BEGIN:VEVENT\nUID:event\nDTSTART:20270101T100000Z\nEND:VEVENT\n"                      // 12-15
    "BEGIN:VTODO\nUID:a1\nSUMMARY:First\nDUE;TZID=Office:20270115T120000\nEND:VTODO\n"     // 16-20
    "BEGIN:VTODO\nSUMMARY:No uid\nEND:VTODO\n"                                             // 21-23
    "BEGIN:VTODO\nUID:a2\nSUMMARY:Second\nEND:VTODO\n"                                     // 24-27
    "END:VCALENDAR\n"                                                                      // 28
    "BEGIN:VCALENDAR\nVERSION:2.0\nPRODID:-//B//B//EN\n"                                   // 29-31
    "BEGIN:VTIMEZONE\nTZID:Office\nBEGIN:STANDARD\nDTSTART:19700101T000000\n"              // 32-35
    "TZOFFSETFROM:-0500\nTZOFFSETTO:-0500\nEND:STANDARD\nEND:VTIMEZONE\n"                  // 36-39
    "BEGIN:VTODO\nUID:b1\nSUMMARY:Third\nDUE;TZID=Office:20270115T120000\n"                // 40-43
    "DESCRIPTION:A longer description so that the cut falls inside this task\nEND:VTODO\n" // 44-45
    "END:VCALENDAR\n");                                                                    // 46

} // namespace

void TstVTodo::calendarFileMixed()
{
    QStringList errors;
    const QList<TaskFields> tasks = sync::readCalendarFile(kMixedFile, &errors);
    QCOMPARE(tasks.size(), 3);
    QCOMPARE(tasks.at(0).uid, QStringLiteral("a1"));
    QCOMPARE(tasks.at(0).due, utc(2027, 1, 15, 9));
    QCOMPARE(tasks.at(1).uid, QStringLiteral("a2"));
    QCOMPARE(tasks.at(2).uid, QStringLiteral("b1"));
    QCOMPARE(tasks.at(2).due, utc(2027, 1, 15, 17));
    QCOMPARE(errors.size(), 1);
    QVERIFY2(errors.first().contains(QLatin1String("line 21")) && errors.first().contains(QLatin1String("UID")),
             qPrintable(errors.first()));
}

void TstVTodo::calendarFileCutShort()
{
    const QByteArray cut = kMixedFile.left(kMixedFile.indexOf("so that the cut"));
    QStringList errors;
    const QList<TaskFields> tasks = sync::readCalendarFile(cut, &errors);
    QCOMPARE(tasks.size(), 2);
    QCOMPARE(tasks.at(0).uid, QStringLiteral("a1"));
    QCOMPARE(tasks.at(1).uid, QStringLiteral("a2"));
    QCOMPARE(errors.size(), 2);
    QVERIFY(errors.at(0).contains(QLatin1String("UID")));
    QVERIFY2(errors.at(1).contains(QLatin1String("line 40")) && errors.at(1).contains(QLatin1String("cut short")),
             qPrintable(errors.at(1)));

    // Cut between two tasks: both complete ones are read.
    const QByteArray between = kMixedFile.left(kMixedFile.indexOf("BEGIN:VTODO\r\nSUMMARY:No uid"));
    QCOMPARE(sync::readCalendarFile(between, &errors).size(), 1);
    QCOMPARE(errors.size(), 1);
    QVERIFY(errors.first().contains(QLatin1String("cut short")));
}

void TstVTodo::calendarFileOddities()
{
    QStringList errors{QStringLiteral("stale")};
    QVERIFY(sync::readCalendarFile(QByteArray(), &errors).isEmpty());
    QVERIFY(errors.isEmpty());
    QVERIFY(sync::readCalendarFile("garbage, not a calendar", &errors).isEmpty());
    QCOMPARE(errors.size(), 1);
    QVERIFY(sync::readCalendarFile(QByteArray(), nullptr).isEmpty());

    // A repeating task with a moved occurrence is one task; text between calendars is reported.
    const QByteArray text = calendarWith("BEGIN:VTODO\nUID:r\nSUMMARY:Weekly\nRRULE:FREQ=WEEKLY\nEND:VTODO\n"
                                         "BEGIN:VTODO\nUID:r\nRECURRENCE-ID:20270108T090000Z\nSUMMARY:Moved\nEND:VTODO\n")
        + "stray text\r\n" + calendarWith("BEGIN:VTODO\nUID:q\nRECURRENCE-ID:20270108T090000Z\nSUMMARY:Alone\nEND:VTODO\n");
    const QList<TaskFields> tasks = sync::readCalendarFile(text, &errors);
    QCOMPARE(tasks.size(), 2);
    QCOMPARE(tasks.at(0).name, QStringLiteral("Weekly"));
    QCOMPARE(tasks.at(1).name, QStringLiteral("Alone"));
    QCOMPARE(errors.size(), 2); // in the order of their lines
    QVERIFY2(errors.at(0).contains(QLatin1String("occurrence")), qPrintable(errors.at(0)));
    QVERIFY2(errors.at(1).contains(QLatin1String("outside")), qPrintable(errors.at(1)));
}

void TstVTodo::threads()
{
    // The sync thread reads and writes while the interface thread reads and writes files.
    const QByteArray withZone = todoWith("UID:z\nSUMMARY:Zone\nDUE;TZID=America/New_York:20270314T023000\n", kNewYork);
    const QByteArray withName = todoWith("UID:n\nSUMMARY:Name\nDUE;TZID=Europe/Berlin:20270720T120000\n");
    std::atomic<int> failures{0};
    std::vector<std::thread> workers;
    for (int t = 0; t < 4; ++t) {
        workers.emplace_back([&, t] {
            for (int i = 0; i < 150; ++i) {
                TaskFields f;
                QString error;
                const QByteArray& text = (i + t) % 2 ? withZone : withName;
                if (!sync::readVTodo(text, &f, &error))
                    ++failures;
                else if (f.due != ((i + t) % 2 ? utc(2027, 3, 14, 7, 30) : utc(2027, 7, 20, 10)))
                    ++failures;
                f.name = QStringLiteral("Renamed %1").arg(i);
                TaskFields back;
                if (!sync::readVTodo(sync::writeVTodo(text, f), &back, &error) || back.name != f.name)
                    ++failures;
                QStringList errors;
                if (sync::readCalendarFile(kMixedFile, &errors).size() != 3)
                    ++failures;
            }
        });
    }
    for (std::thread& worker : workers)
        worker.join();
    QCOMPARE(failures.load(), 0);
}

MRV_TEST_GUILESS_MAIN(TstVTodo)

#include "tst_vtodo.moc"
