#include "store/focusgroup.h"
#include "support/testenv.h"
#include "ui/countwidget.h"
#include "ui/grouphintwidget.h"
#include "widgets/colorscheme.h"

#include <QApplication>
#include <QLayout>
#include <QSignalSpy>

class TstHintsAndCounters : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void hintTexts_data()
    {
        QTest::addColumn<QUuid>("group");
        QTest::addColumn<QString>("fragment");
        QTest::addColumn<bool>("hasLink");
        QTest::newRow("Inbox") << FocusGroup::inboxId() << "This is Inbox, a default group" << true;
        QTest::newRow("Trash") << FocusGroup::trashId() << "If you delete a task from Trash - it's gone..." << false;
        QTest::newRow("Completed") << FocusGroup::completedId() << "completed by you and logged." << false;
        QTest::newRow("user group") << QUuid::createUuid() << "This is your custom group." << false;
    }

    void hintTexts()
    {
        QFETCH(QUuid, group);
        QFETCH(QString, fragment);
        QFETCH(bool, hasLink);
        const QString text = GroupHintWidget::hintText(group);
        QVERIFY(text.contains(fragment));
        QCOMPARE(text.contains(QLatin1String("<a href=inboxheadstart>click here</a>")), hasLink);
    }

    void inboxLinkAsksForStarterTasks()
    {
        GroupHintWidget hint(QIcon(), GroupHintWidget::hintText(FocusGroup::inboxId()));
        QSignalSpy spy(&hint, &GroupHintWidget::headStart);
        Q_EMIT hint.textLabel()->linkActivated(QStringLiteral("inboxheadstart"));
        QCOMPARE(spy.size(), 1);
        QCOMPARE(spy.at(0).at(0).toString(), QStringLiteral("inboxheadstart"));
    }

    void cardsAre300By180AndGrowForLongTexts()
    {
        GroupHintWidget shortHint(QIcon(), GroupHintWidget::hintText(FocusGroup::completedId()));
        QCOMPARE(shortHint.size(), QSize(300, 180));
        GroupHintWidget longHint(QIcon(), GroupHintWidget::hintText(FocusGroup::inboxId()));
        QVERIFY(longHint.height() >= longHint.layout()->totalHeightForWidth(300));
        QVERIFY(longHint.textLabel()->geometry().bottom() < longHint.height() - 20);
    }

    void hintCardPaintsItsColours()
    {
        QPixmap red(48, 48);
        red.fill(Qt::red);
        GroupHintWidget hint(QIcon(red), GroupHintWidget::hintText(FocusGroup::trashId()));
        hint.show();
        const QImage image = hint.grab().toImage();
        QCOMPARE(image.pixelColor(150, 170), schemeColor(ColorScheme::Panel));
        QCOMPARE(image.pixelColor(150, 1), schemeColor(ColorScheme::Outline));
        // The icon is faded to 40 %.
        const QImage icon = hint.iconLabel()->pixmap().toImage();
        QCOMPARE(qRound(icon.pixelColor(24, 24).alphaF() * 10), 4);
    }

    void outOfRangeCountersAreIgnored()
    {
        CountWidget counter(0); // at least one counter
        QCOMPARE(counter.counterCount(), 1);
        counter.setCount(5, 3);
        counter.setCount(-1, 3);
        QVERIFY(counter.visibleCounters().isEmpty());
        QCOMPARE(counter.minimumSizeHint(), QSize(0, 0));
    }

    void counterSegmentsPaintTheirColours()
    {
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

};

MRV_TEST_WIDGETS_MAIN(TstHintsAndCounters)
#include "tst_hintsandcounters.moc"
