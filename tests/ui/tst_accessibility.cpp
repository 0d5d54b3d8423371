#include "support/testenv.h"
#include "ui/accessibletext.h"

#include <QApplication>

class TstAccessibility : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void dueDateInWords_data()
    {
        QTest::addColumn<QDateTime>("due");
        QTest::addColumn<bool>("completed");
        QTest::addColumn<QString>("words");

        // Wednesday, 13 March 2024; dates in the short format of the tests' system locale (C).
        const auto day = [](int d, int hour = 0) { return QDateTime(QDate(2024, 3, d), QTime(hour, 0)); };
        QTest::newRow("none") << QDateTime() << false << QString();
        QTest::newRow("today, early") << day(13) << false << "due today";
        QTest::newRow("today, late") << day(13, 23) << false << "due today";
        QTest::newRow("tomorrow") << day(14) << false << "due tomorrow";
        QTest::newRow("in two days") << day(15) << false << "due Friday";
        QTest::newRow("in six days") << day(19) << false << "due Tuesday";
        QTest::newRow("in a week") << day(20) << false << "due 20 Mar 2024";
        QTest::newRow("next year") << QDateTime(QDate(2025, 1, 2), QTime()) << false << "due 2 Jan 2025";
        QTest::newRow("yesterday") << day(12) << false << "overdue since 12 Mar 2024";
        QTest::newRow("last month") << QDateTime(QDate(2024, 2, 29), QTime()) << false << "overdue since 29 Feb 2024";
        QTest::newRow("yesterday, completed") << day(12) << true << "due 12 Mar 2024";
        QTest::newRow("tomorrow, completed") << day(14) << true << "due tomorrow";
    }

    void dueDateInWords()
    {
        QFETCH(QDateTime, due);
        QFETCH(bool, completed);
        QFETCH(QString, words);
        QCOMPARE(AccessibleText::due(due, QDate(2024, 3, 13), completed), words);
    }
};

MRV_TEST_WIDGETS_MAIN(TstAccessibility)

#include "tst_accessibility.moc"
