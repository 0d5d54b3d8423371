#include "store/focusgroup.h"
#include "support/testenv.h"
#include "ui/grouphintwidget.h"
#include "ui/startupmessages.h"

#include <QDateTime>
#include <QSignalSpy>

// The small pieces of the window: the backup question of a start and the hint cards of empty
// groups.
class TstViewParts : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // The system's (here the C locale's) order of day and month, not the interface's (US).
    void backupQuestionGivesTheTimeAndTheTasks()
    {
        const QDateTime when(QDate(2026, 12, 5), QTime(18, 30));
        QCOMPARE(backupQuestionText(when, 1), QStringLiteral("The task database is damaged. Start with the backup "
                                                             "from 5 Dec 2026 18:30:00 (1 task)?"));
        QVERIFY(backupQuestionText(when, 12).endsWith(QLatin1String("(12 tasks)?")));
    }

    // Only the Inbox's card offers the starter tasks.
    void inboxCardAsksForStarterTasks()
    {
        for (const QUuid& id : {FocusGroup::trashId(), FocusGroup::completedId(), QUuid::createUuid()})
            QVERIFY(!GroupHintWidget::hintText(id).contains(QLatin1String("href=inboxheadstart")));
        GroupHintWidget hint(QIcon(), GroupHintWidget::hintText(FocusGroup::inboxId()));
        QSignalSpy spy(&hint, &GroupHintWidget::headStart);
        Q_EMIT hint.textLabel()->linkActivated(QStringLiteral("inboxheadstart"));
        QCOMPARE(spy.size(), 1);
        QCOMPARE(spy.at(0).at(0).toString(), QStringLiteral("inboxheadstart"));
    }
};

MRV_TEST_WIDGETS_MAIN(TstViewParts)
#include "tst_viewparts.moc"
