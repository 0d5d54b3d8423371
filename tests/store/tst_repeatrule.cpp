#include "store/repeatrule.h"
#include "support/testenv.h"

#include <QTest>

class TstRepeatRule : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void parseKeepsWhatMirevoFollows_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("canonical"); // empty: invalid
        QTest::newRow("interval one left out") << "FREQ=DAILY;INTERVAL=1" << "FREQ=DAILY";
        QTest::newRow("any order") << "BYDAY=SU,MO;INTERVAL=2;FREQ=WEEKLY" << "FREQ=WEEKLY;INTERVAL=2;BYDAY=MO,SU";
        QTest::newRow("last day") << "FREQ=MONTHLY;BYMONTHDAY=-1" << "FREQ=MONTHLY;BYMONTHDAY=-1";
        QTest::newRow("count") << "FREQ=DAILY;COUNT=3" << "";
        QTest::newRow("numbered weekday") << "FREQ=WEEKLY;BYDAY=1MO" << "";
        QTest::newRow("weekdays of a daily rule") << "FREQ=DAILY;BYDAY=MO" << "";
        QTest::newRow("empty") << "" << "";
    }
    void parseKeepsWhatMirevoFollows()
    {
        QFETCH(QString, text);
        QFETCH(QString, canonical);
        QCOMPARE(RepeatRule::parse(text).toText(), canonical);
    }

    void nextOccurrence_data()
    {
        QTest::addColumn<QString>("rule");
        QTest::addColumn<QDate>("after");
        QTest::addColumn<QDate>("today");
        QTest::addColumn<QDate>("next");
        const QDate d(2027, 3, 10); // a Wednesday
        const auto row = [](const char* name, const char* rule, const QDate& after, const QDate& today,
                            const QDate& next) { QTest::newRow(name) << rule << after << today << next; };
        row("completed early", "FREQ=DAILY;INTERVAL=3", d, d.addDays(-5), d.addDays(3));
        row("overdue keeps the cadence", "FREQ=DAILY;INTERVAL=3", d, d.addDays(7), d.addDays(9));
        row("weekdays later this week", "FREQ=WEEKLY;BYDAY=MO,WE,FR", d, d, d.addDays(2));
        row("every other week", "FREQ=WEEKLY;INTERVAL=2;BYDAY=MO,WE", d, d, d.addDays(12));
        row("weekly long overdue", "FREQ=WEEKLY;BYDAY=TU", d, QDate(2027, 6, 1), QDate(2027, 6, 8));
        row("31st to February", "FREQ=MONTHLY;BYMONTHDAY=31", QDate(2027, 1, 31), QDate(2027, 1, 31),
            QDate(2027, 2, 28));
        row("last day", "FREQ=MONTHLY;BYMONTHDAY=-1", QDate(2027, 2, 28), QDate(2027, 2, 28), QDate(2027, 3, 31));
        row("leap day yearly", "FREQ=YEARLY", QDate(2028, 2, 29), QDate(2028, 2, 29), QDate(2029, 2, 28));
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
        QTest::newRow("spring, date only") << QDateTime(QDate(2026, 3, 29), QTime(0, 0))
                                           << QDateTime(QDate(2026, 3, 30), QTime(0, 0));
        QTest::newRow("autumn") << QDateTime(QDate(2026, 10, 24), QTime(23, 30))
                                << QDateTime(QDate(2026, 10, 25), QTime(23, 30));
    }
    void dueTimeKeepsItsWallClockTime()
    {
        QFETCH(QDateTime, due);
        QFETCH(QDateTime, next);
        QCOMPARE(RepeatRule::parse(QStringLiteral("FREQ=DAILY")).nextDue(due, due.date()), next);
    }
};

MRV_TEST_GUILESS_MAIN(TstRepeatRule)
#include "tst_repeatrule.moc"
