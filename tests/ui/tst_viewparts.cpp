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

// The small pieces of the window: the messages of a start, the hint cards of empty groups, the
// counters and the due date label.
class TstViewParts : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void texts_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("holds");
        QTest::addColumn<QString>("lacks");
        const QString link = QStringLiteral("<a href=inboxheadstart>click here</a>");
        const QString help = QStringLiteral("<p>Please visit <a href=\"http://velbrook.example/mirevo\">velbrook.example/mirevo</a>");
        QTest::newRow("newer database") << databaseLoadFailureText(1)
                                        << "<p>The task database was created with a newer version of Mirevo application.</p>" + help
                                               + " to upgrade your installation.</p>"
                                        << "";
        const QString unreadable = "<p>Task database failed to load for some reason. Mirevo can not continue to avoid further "
                                   "database corruption.</p>" + help + " and request help.</p>";
        QTest::newRow("bad version") << databaseLoadFailureText(2) << unreadable << "";
        QTest::newRow("damaged") << databaseLoadFailureText(3) << unreadable << "";
        QTest::newRow("installing while running") << instanceRunningTitle(true) << "Mirevo installation" << "un";
        QTest::newRow("uninstalling while running") << instanceRunningTitle(false) << "Mirevo uninstallation" << "";
        QTest::newRow("running") << instanceRunningText() << "Please close all Mirevo windows, exit from tray icon and try again." << "";
        // The system's (here the C locale's) order of day and month, not the interface's (US).
        const QDateTime when(QDate(2026, 12, 5), QTime(18, 30));
        QTest::newRow("backup question") << backupQuestionText(when, 1)
                                         << "The task database is damaged. Start with the backup from 5 Dec 2026 18:30:00 (1 task)?" << "";
        QTest::newRow("backup question, tasks") << backupQuestionText(when, 12) << "(12 tasks)?" << "";
        QTest::newRow("Inbox hint") << GroupHintWidget::hintText(FocusGroup::inboxId()) << "This is Inbox, a default group" << "";
        QTest::newRow("Inbox hint's link") << GroupHintWidget::hintText(FocusGroup::inboxId()) << link << "";
        QTest::newRow("Trash hint") << GroupHintWidget::hintText(FocusGroup::trashId())
                                    << "If you delete a task from Trash - it's gone..." << link;
        QTest::newRow("Completed hint") << GroupHintWidget::hintText(FocusGroup::completedId()) << "completed by you and logged." << link;
        QTest::newRow("user group hint") << GroupHintWidget::hintText(QUuid::createUuid()) << "This is your custom group." << link;
    }

    void texts()
    {
        QFETCH(QString, text);
        QFETCH(QString, holds);
        QFETCH(QString, lacks);
        QVERIFY2(text.contains(holds), qPrintable(text));
        QVERIFY2(lacks.isEmpty() || !text.contains(lacks), qPrintable(text));
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


    void takesTheRoomOfItsText_data()
    {
        QTest::addColumn<QString>("text");
        QTest::newRow("word") << QStringLiteral("Tomorrow");
        QTest::newRow("date") << QStringLiteral("14.01.2030");
        QTest::newRow("Cyrillic") << QStringLiteral("Воскресенье");
        QTest::newRow("empty") << QString();
    }

    void takesTheRoomOfItsText()
    {
        QFETCH(QString, text);
        DueLabel label;
        label.setText(text);
        const int advance = label.fontMetrics().horizontalAdvance(text);
        QVERIFY2(qAbs(label.sizeHint().width() - advance) <= 1, qPrintable(QString::number(label.sizeHint().width())));
        QCOMPARE(label.minimumSizeHint(), label.sizeHint());
        // As tall as any other one-line label of its font, so a row keeps its height.
        QLabel other(text.isEmpty() ? QStringLiteral("x") : text);
        QCOMPARE(label.sizeHint().height(), other.sizeHint().height());
    }

    // A label given another text or font paints as one made with them.
    void paintsWhatItHoldsNow()
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
