#include "store/repeatrule.h"
#include "support/testenv.h"

#include <QTest>

class TstRepeatRule : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void parseKeepsTheSupportedPart_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("canonical"); // empty: invalid

        QTest::newRow("daily") << "FREQ=DAILY" << "FREQ=DAILY";
        QTest::newRow("interval one left out") << "FREQ=DAILY;INTERVAL=1" << "FREQ=DAILY";
        QTest::newRow("parts in any order") << "BYDAY=FR,MO;INTERVAL=2;FREQ=WEEKLY" << "FREQ=WEEKLY;INTERVAL=2;BYDAY=MO,FR";
        QTest::newRow("last day") << "FREQ=MONTHLY;BYMONTHDAY=-1" << "FREQ=MONTHLY;BYMONTHDAY=-1";
        QTest::newRow("yearly") << "FREQ=YEARLY;INTERVAL=3" << "FREQ=YEARLY;INTERVAL=3";
        QTest::newRow("count") << "FREQ=DAILY;COUNT=3" << "";
        QTest::newRow("until") << "FREQ=WEEKLY;UNTIL=20270101T000000Z" << "";
        QTest::newRow("bysetpos") << "FREQ=MONTHLY;BYDAY=MO;BYSETPOS=1" << "";
        QTest::newRow("numbered weekday") << "FREQ=WEEKLY;BYDAY=1MO" << "";
        QTest::newRow("byday on a daily rule") << "FREQ=DAILY;BYDAY=MO" << "";
        QTest::newRow("two month days") << "FREQ=MONTHLY;BYMONTHDAY=1,15" << "";
        QTest::newRow("month day 32") << "FREQ=MONTHLY;BYMONTHDAY=32" << "";
        QTest::newRow("interval zero") << "FREQ=DAILY;INTERVAL=0" << "";
        QTest::newRow("hourly") << "FREQ=HOURLY" << "";
        QTest::newRow("no frequency") << "INTERVAL=2" << "";
        QTest::newRow("empty") << "" << "";
    }
    void parseKeepsTheSupportedPart()
    {
        QFETCH(QString, text);
        QFETCH(QString, canonical);
        const RepeatRule rule = RepeatRule::parse(text);
        QCOMPARE(rule.isValid(), !canonical.isEmpty());
        QCOMPARE(rule.toText(), canonical);
    }

    void monthlyRuleKeepsTheFirstDueDay()
    {
        const RepeatRule rule = RepeatRule::startingOn(RepeatRule::Monthly, 1, QDate(2027, 1, 31));
        QCOMPARE(rule.toText(), QStringLiteral("FREQ=MONTHLY;BYMONTHDAY=31"));
        QCOMPARE(rule.next(QDate(2027, 2, 28), QDate(2027, 2, 28)), QDate(2027, 3, 31));
    }

    void nextOccurrence_data()
    {
        QTest::addColumn<QString>("rule");
        QTest::addColumn<QDate>("after");
        QTest::addColumn<QDate>("today");
        QTest::addColumn<QDate>("next");

        const QDate d(2027, 3, 10); // a Wednesday
        QTest::newRow("daily on time") << "FREQ=DAILY" << d << d << QDate(2027, 3, 11);
        QTest::newRow("completed early") << "FREQ=DAILY;INTERVAL=3" << d << d.addDays(-5) << QDate(2027, 3, 13);
        QTest::newRow("daily overdue keeps the cadence") << "FREQ=DAILY;INTERVAL=3" << d << d.addDays(7) << QDate(2027, 3, 19);
        QTest::newRow("weekly") << "FREQ=WEEKLY" << d << d << QDate(2027, 3, 17);
        QTest::newRow("weekdays later this week") << "FREQ=WEEKLY;BYDAY=MO,WE,FR" << d << d << QDate(2027, 3, 12);
        QTest::newRow("weekdays into next week") << "FREQ=WEEKLY;BYDAY=MO,WE" << d << d << QDate(2027, 3, 15);
        QTest::newRow("every other week") << "FREQ=WEEKLY;INTERVAL=2;BYDAY=MO,WE" << d << d << QDate(2027, 3, 22);
        QTest::newRow("weekly long overdue") << "FREQ=WEEKLY;BYDAY=TU" << d << QDate(2027, 6, 1) << QDate(2027, 6, 8);
        QTest::newRow("31st to February") << "FREQ=MONTHLY;BYMONTHDAY=31" << QDate(2027, 1, 31) << QDate(2027, 1, 31) << QDate(2027, 2, 28);
        QTest::newRow("31st to leap February") << "FREQ=MONTHLY;BYMONTHDAY=31" << QDate(2028, 1, 31) << QDate(2028, 1, 31) << QDate(2028, 2, 29);
        QTest::newRow("31st to April") << "FREQ=MONTHLY;BYMONTHDAY=31" << QDate(2027, 3, 31) << QDate(2027, 3, 31) << QDate(2027, 4, 30);
        QTest::newRow("day of the due date") << "FREQ=MONTHLY" << QDate(2027, 1, 15) << QDate(2027, 1, 15) << QDate(2027, 2, 15);
        QTest::newRow("last day") << "FREQ=MONTHLY;BYMONTHDAY=-1" << QDate(2027, 2, 28) << QDate(2027, 2, 28) << QDate(2027, 3, 31);
        QTest::newRow("quarterly overdue") << "FREQ=MONTHLY;INTERVAL=3;BYMONTHDAY=5" << QDate(2027, 1, 5) << QDate(2027, 8, 1) << QDate(2027, 10, 5);
        QTest::newRow("yearly leap day") << "FREQ=YEARLY" << QDate(2028, 2, 29) << QDate(2028, 2, 29) << QDate(2029, 2, 28);
        QTest::newRow("yearly overdue") << "FREQ=YEARLY" << QDate(2020, 5, 1) << QDate(2027, 5, 1) << QDate(2028, 5, 1);
        QTest::newRow("invalid rule") << "FREQ=DAILY;COUNT=2" << d << d << QDate();
    }
    void nextOccurrence()
    {
        QFETCH(QString, rule);
        QFETCH(QDate, after);
        QFETCH(QDate, today);
        QFETCH(QDate, next);
        QCOMPARE(RepeatRule::parse(rule).next(after, today), next);
    }

    // Europe/Lisbon: 29 March 2026 has 23 hours, 25 October 2026 has 25.
    void dueTimeKeepsItsWallClockTime_data()
    {
        QTest::addColumn<QDateTime>("due");
        QTest::addColumn<QDateTime>("next");
        QTest::newRow("spring") << QDateTime(QDate(2026, 3, 28), QTime(9, 30)) << QDateTime(QDate(2026, 3, 29), QTime(9, 30));
        QTest::newRow("autumn") << QDateTime(QDate(2026, 10, 24), QTime(23, 30)) << QDateTime(QDate(2026, 10, 25), QTime(23, 30));
        QTest::newRow("date only") << QDateTime(QDate(2026, 3, 29), QTime(0, 0)) << QDateTime(QDate(2026, 3, 30), QTime(0, 0));
        QTest::newRow("date only, autumn") << QDateTime(QDate(2026, 10, 25), QTime(0, 0)) << QDateTime(QDate(2026, 10, 26), QTime(0, 0));
    }
    void dueTimeKeepsItsWallClockTime()
    {
        QFETCH(QDateTime, due);
        QFETCH(QDateTime, next);
        QCOMPARE(RepeatRule::parse(QStringLiteral("FREQ=DAILY")).nextDue(due, due.date()), next);
        QCOMPARE(next.time(), due.time());
    }
};

MRV_TEST_GUILESS_MAIN(TstRepeatRule)
#include "tst_repeatrule.moc"
