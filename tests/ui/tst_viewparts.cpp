#include "store/focusgroup.h"
#include "support/testenv.h"
#include "ui/countwidget.h"
#include "ui/duelabel.h"
#include "ui/grouphintwidget.h"
#include "ui/startupmessages.h"
#include "widgets/colorscheme.h"

#include <QApplication>
#include <QDateTime>
#include <QLayout>
#include <QSignalSpy>
#include <QWidget>

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

    // Only the Inbox's card offers the starter tasks; its card grows for its long text.
    void inboxCardAsksForStarterTasks()
    {
        for (const QUuid& id : {FocusGroup::trashId(), FocusGroup::completedId(), QUuid::createUuid()})
            QVERIFY(!GroupHintWidget::hintText(id).contains(QLatin1String("href=inboxheadstart")));
        GroupHintWidget hint(QIcon(), GroupHintWidget::hintText(FocusGroup::inboxId()));
        QSignalSpy spy(&hint, &GroupHintWidget::headStart);
        Q_EMIT hint.textLabel()->linkActivated(QStringLiteral("inboxheadstart"));
        QCOMPARE(spy.size(), 1);
        QCOMPARE(spy.at(0).at(0).toString(), QStringLiteral("inboxheadstart"));
        QVERIFY(hint.height() >= hint.layout()->totalHeightForWidth(300));
        QVERIFY(hint.textLabel()->geometry().bottom() < hint.height() - 20);
        const GroupHintWidget shortHint(QIcon(), GroupHintWidget::hintText(FocusGroup::completedId()));
        QCOMPARE(shortHint.size(), QSize(300, 180));
    }

    void counterSegmentsPaintTheirColours()
    {
        CountWidget empty(0); // at least one counter, and counts out of range are ignored
        empty.setCount(5, 3);
        empty.setCount(-1, 3);
        QVERIFY(empty.visibleCounters().isEmpty());
        QCOMPARE(empty.minimumSizeHint(), QSize(0, 0));

        const QColor colors[3] = {schemeColor(ColorScheme::DueNow), schemeColor(ColorScheme::DueSoon),
                                  schemeColor(ColorScheme::DueLater)};
        CountWidget counter(3);
        for (int i = 0; i < 3; ++i) {
            counter.setColor(i, colors[i]);
            counter.setTextColor(i, schemeColor(ColorScheme::Text));
            counter.setCount(i, 7);
        }
        counter.resize(counter.minimumSizeHint());
        counter.show();
        const QImage image = counter.grab().toImage();
        const QList<QRect> segments = counter.segmentRects();
        QCOMPARE(segments.size(), 3);
        for (int i = 0; i < 3; ++i) {
            // Beside the number, inside the segment.
            const QPoint probe(segments.at(i).left() + 2, segments.at(i).center().y());
            QCOMPARE(image.pixelColor(i == 0 ? probe + QPoint(2, 0) : probe), colors[i]);
        }
        // The middle segment is square: its corner is filled; the outer ends are rounded.
        QCOMPARE(image.pixelColor(segments.at(1).topLeft()), colors[1]);
        QVERIFY(image.pixelColor(segments.at(0).topLeft()) != colors[0]);
        QVERIFY(image.pixelColor(segments.at(2).topRight()) != colors[2]);
    }

    // As wide as its text and as tall as any other one-line label of its font, so a row keeps
    // its height.
    void dueLabelTakesTheRoomOfItsText_data()
    {
        QTest::addColumn<QString>("text");
        QTest::newRow("word") << QStringLiteral("Tomorrow");
        QTest::newRow("Cyrillic") << QStringLiteral("Воскресенье");
        QTest::newRow("empty") << QString();
    }

    void dueLabelTakesTheRoomOfItsText()
    {
        QFETCH(QString, text);
        DueLabel label;
        label.setText(text);
        QVERIFY(qAbs(label.sizeHint().width() - label.fontMetrics().horizontalAdvance(text)) <= 1);
        QCOMPARE(label.minimumSizeHint(), label.sizeHint());
        const QLabel other(text.isEmpty() ? QStringLiteral("x") : text);
        QCOMPARE(label.sizeHint().height(), other.sizeHint().height());
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
        const int width = reused.sizeHint().width();
        reused.setFont(bigger);
        fresh.setFont(bigger);
        QVERIFY(reused.sizeHint().width() > width);
        QCOMPARE(rendered(reused), rendered(fresh));
    }
};

MRV_TEST_WIDGETS_MAIN(TstViewParts)
#include "tst_viewparts.moc"
