#include "ui/startupmessages.h"
#include "support/testenv.h"

#include <QApplication>
#include <QDateTime>

class TstStartupMessages : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void loadFailureTexts_data()
    {
        QTest::addColumn<int>("result");
        QTest::addColumn<QString>("expected");
        QTest::newRow("newer file") << 1
                                    << QStringLiteral("<p>The task database was created with a newer version of Mirevo application.</p>"
                                                      "<p>Please visit <a href=\"http://velbrook.example/mirevo\">velbrook.example/mirevo</a>"
                                                      " to upgrade your installation.</p>");
        const QString unreadable = QStringLiteral(
            "<p>Task database failed to load for some reason. Mirevo can not continue to avoid further database corruption.</p>"
            "<p>Please visit <a href=\"http://velbrook.example/mirevo\">velbrook.example/mirevo</a> and request help.</p>");
        QTest::newRow("bad version") << 2 << unreadable;
        QTest::newRow("damaged") << 3 << unreadable;
    }

    void loadFailureTexts()
    {
        QFETCH(int, result);
        QFETCH(QString, expected);
        QCOMPARE(databaseLoadFailureText(result), expected);
    }

    void instanceRunningTexts()
    {
        QCOMPARE(instanceRunningTitle(true), QStringLiteral("Mirevo installation"));
        QCOMPARE(instanceRunningTitle(false), QStringLiteral("Mirevo uninstallation"));
        QCOMPARE(instanceRunningText(), QStringLiteral("Please close all Mirevo windows, exit from tray icon and try again."));
    }

    void backupQuestionCountsTasks()
    {
        const QDateTime when(QDate(2026, 12, 5), QTime(18, 30));
        // The system's (here the C locale's) order of day and month, not the interface's (US).
        QCOMPARE(backupQuestionText(when, 1),
                 QStringLiteral("The task database is damaged. Start with the backup from 5 Dec 2026 18:30:00 (1 task)?"));
        QVERIFY(backupQuestionText(when, 12).endsWith(QStringLiteral("(12 tasks)?")));
    }
};

MRV_TEST_WIDGETS_MAIN(TstStartupMessages)
#include "tst_startupmessages.moc"
