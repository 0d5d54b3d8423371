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

    // Only the Inbox's card offers the starter tasks (what its link does, the task list's test shows).
    void inboxCardAsksForStarterTasks()
    {
        const QUuid inbox = FocusGroup::inboxId();
        for (const QUuid& id : {inbox, FocusGroup::trashId(), FocusGroup::completedId(), QUuid::createUuid()})
            QCOMPARE(GroupHintWidget::hintText(id).contains(QLatin1String("href=inboxheadstart")), id == inbox);
    }
};

MRV_TEST_WIDGETS_MAIN(TstViewParts)
#include "tst_viewparts.moc"
