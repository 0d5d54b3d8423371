#include "store/focusgroup.h"
#include "support/testenv.h"
#include "ui/countwidget.h"
#include "ui/duelabel.h"
#include "ui/grouphintwidget.h"
#include "ui/startupmessages.h"

#include <QDateTime>
#include <QSignalSpy>

namespace {

/// The label as it paints, on a white ground.
QImage rendered(DueLabel& label)
{
    label.resize(label.sizeHint());
    QImage image(label.size(), QImage::Format_ARGB32);
    image.fill(Qt::white);
    label.render(&image, QPoint(), QRegion(), QWidget::DrawChildren);
    return image;
}

} // namespace

// The small pieces of the window: the backup question of a start, the hint cards of empty
// groups, the counters and the due date label.
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

    void counterIgnoresCountsOutOfRange()
    {
        CountWidget empty(0);
        empty.setCount(5, 3);
        empty.setCount(-1, 3);
        QVERIFY(empty.visibleCounters().isEmpty());
    }

    // A label given another text or font paints as one made with them.
    void dueLabelPaintsWhatItHoldsNow()
    {
        DueLabel reused;
        reused.setText(QStringLiteral("Tomorrow"));
        const QImage before = rendered(reused);
        reused.setText(QStringLiteral("Wednesday"));
        DueLabel fresh;
        fresh.setText(QStringLiteral("Wednesday"));
        QCOMPARE(rendered(reused), rendered(fresh));
        QVERIFY(rendered(reused) != before);

        QFont bigger = reused.font();
        bigger.setPointSizeF(bigger.pointSizeF() * 2);
        reused.setFont(bigger);
        fresh.setFont(bigger);
        QCOMPARE(rendered(reused), rendered(fresh));
    }
};

MRV_TEST_WIDGETS_MAIN(TstViewParts)
#include "tst_viewparts.moc"
