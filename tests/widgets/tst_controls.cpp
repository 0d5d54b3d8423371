// The controls of the widget folder: the due date field with its calendar, the pictures of
// groups and the splitter.

#include "settings/appsettings.h"
#include "store/focusgroup.h"
#include "support/testenv.h"
#include "widgets/calendarpopup.h"
#include "widgets/datewidget.h"
#include "widgets/fancysplitter.h"
#include "widgets/fancylineedit.h"
#include "widgets/focusiconcatalogue.h"
#include "widgets/hintededit.h"

namespace {

const QString Format = QStringLiteral("dd.MM.yyyy");
const QDate Start(2010, 3, 15);

} // namespace

class TstControls : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void init() { AppSettings::settings()->setDateFormat(Format); }

    // `value` is the due date after typing (the start date when the text is no date); Return
    // then shows it in full as `shown`, always with four-digit years.
    void typedDateIsReported_data()
    {
        QTest::addColumn<QString>("format");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QDate>("value");
        QTest::addColumn<QString>("shown");
        const QDate march5(2010, 3, 5);
        QTest::newRow("short parts") << Format << "5.3.2010" << march5 << "05.03.2010";
        QTest::newRow("surrounding spaces") << Format << "  5.3.2010 " << march5 << "05.03.2010";
        QTest::newRow("two-digit year") << Format << "5.3.10" << Start << "";
        QTest::newRow("no such day") << Format << "31.2.2010" << Start << "";
        QTest::newRow("cleared: no due date") << Format << "" << QDate() << "";
        QTest::newRow("Portuguese") << "dd/MM/yy" << "5/3/2010" << march5 << "05/03/2010";
        QTest::newRow("US English") << "M/d/yy" << "3/5/2010" << march5 << "3/5/2010";
    }

    void typedDateIsReported()
    {
        QFETCH(QString, format);
        QFETCH(QString, typed);
        QFETCH(QDate, value);
        QFETCH(QString, shown);
        AppSettings::settings()->setDateFormat(format);
        DateWidget widget(QDateTime(Start, QTime(0, 0)));
        widget.setPopupVisible(true);
        QSignalSpy changes(&widget, &DateWidget::valueChanged);
        // The field's text replaced as typed; an empty text is a Backspace.
        widget.edit()->selectAll();
        if (typed.isEmpty())
            QTest::keyClick(widget.edit(), Qt::Key_Backspace);
        QTest::keyClicks(widget.edit(), typed);
        QCOMPARE(widget.edit()->text(), typed);
        QCOMPARE(changes.isEmpty(), value == Start);
        if (!changes.isEmpty())
            QCOMPARE(changes.last().at(0).toDateTime().date(), value);
        QCOMPARE(widget.value().date(), value);
        // Without a due date the open calendar goes back to today.
        QCOMPARE(widget.popup()->dateTime().date(), value.isValid() ? value : QDate::currentDate());
        QTest::keyClick(widget.edit(), Qt::Key_Return);
        if (!shown.isEmpty())
            QCOMPARE(widget.edit()->selectedText(), shown);
    }

    // One row for each way of moving the chosen day; Left alone stays with the text.
    void keysMoveTheChosenDay_data()
    {
        QTest::addColumn<QDate>("start");
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("modifiers");
        QTest::addColumn<QDate>("chosen");
        const int none = Qt::NoModifier;
        const QDate march31(2010, 3, 31);
        QTest::newRow("Down on the keypad") << Start << int(Qt::Key_Down) << int(Qt::KeypadModifier) << QDate(2010, 3, 22);
        QTest::newRow("Up: into February") << QDate(2010, 3, 3) << int(Qt::Key_Up) << none << QDate(2010, 2, 24);
        QTest::newRow("Page Down: to a shorter month's end") << march31 << int(Qt::Key_PageDown) << none << QDate(2010, 4, 30);
        QTest::newRow("Page Up: into the last year") << QDate(2010, 1, 15) << int(Qt::Key_PageUp) << none << QDate(2009, 12, 15);
        QTest::newRow("Alt+Left: into the last year") << QDate(2010, 1, 1) << int(Qt::Key_Left) << int(Qt::AltModifier)
                                                      << QDate(2009, 12, 31);
        QTest::newRow("Left: the text cursor") << Start << int(Qt::Key_Left) << none << Start;
    }

    void keysMoveTheChosenDay()
    {
        QFETCH(QDate, start);
        QFETCH(int, key);
        QFETCH(int, modifiers);
        QFETCH(QDate, chosen);
        DateWidget widget(QDateTime(start, QTime(0, 0)));
        widget.setPopupVisible(true);
        widget.edit()->setCursorPosition(5);
        QSignalSpy changes(&widget, &DateWidget::valueChanged);

        QTest::keyClick(widget.edit(), Qt::Key(key), Qt::KeyboardModifiers(modifiers));
        QCOMPARE(changes.size(), chosen == start ? 0 : 1);
        QCOMPARE(widget.value().date(), chosen);
        QVERIFY(widget.popup() && widget.popup()->isVisible());
        QCOMPARE(widget.popup()->dateTime().date(), chosen);
        // The field shows a new day selected, as after a click; a text key moved the cursor.
        if (chosen != start)
            QCOMPARE(widget.edit()->selectedText(), chosen.toString(Format));
        else
            QVERIFY(widget.edit()->cursorPosition() < 5);
    }

    // The picture a group shows; an empty `expected` is no picture.
    void groupIconRule_data()
    {
        QTest::addColumn<QUuid>("group");
        QTest::addColumn<QString>("key");
        QTest::addColumn<bool>("empty");
        QTest::addColumn<QString>("expected");
        const QUuid user = QUuid::createUuid();
        const QUuid trash = FocusGroup::trashId();
        QTest::newRow("user group without key") << user << QString() << true << "star_yellow_20";
        QTest::newRow("user group with unknown key") << user << "Money" << true << "star_yellow_20";
        QTest::newRow("user group with key") << user << "money" << true << "money_20";
        QTest::newRow("Inbox") << FocusGroup::inboxId() << QString() << false << "inbox_20";
        QTest::newRow("empty Trash") << trash << QString() << true << "trash_empty_20";
        QTest::newRow("full Trash") << trash << QString() << false << "trash_full_20";
        QTest::newRow("stored key wins over Trash") << trash << "party" << false << "party_20";
        QTest::newRow("no group") << QUuid() << "money" << true << "";
    }

    void groupIconRule()
    {
        QFETCH(QUuid, group);
        QFETCH(QString, key);
        QFETCH(bool, empty);
        QFETCH(QString, expected);
        const QIcon icon = focusGroupIcon(group, key, empty);
        QCOMPARE(icon.isNull(), expected.isEmpty());
        if (icon.isNull())
            return;
        const auto argb = QImage::Format_ARGB32;
        QCOMPARE(icon.pixmap(QSize(20, 20)).toImage().convertToFormat(argb),
                 QImage(QStringLiteral(":/icons_focus/") + expected).convertToFormat(argb));
    }

    // A 300-px splitter, panes at least 40 and 60 px wide: the handle's drag stops there.
    void splitterDragKeepsThePanes_data()
    {
        QTest::addColumn<int>("dragTo");
        QTest::addColumn<int>("firstWidth");
        QTest::newRow("between") << 150 << 150;
        QTest::newRow("past the left") << 5 << 40;
        QTest::newRow("past the right") << 290 << 300 - 1 - 60;
    }

    void splitterDragKeepsThePanes()
    {
        QFETCH(int, dragTo);
        QFETCH(int, firstWidth);
        FancySplitter splitter(Qt::Horizontal);
        auto* first = new QWidget;
        auto* second = new QWidget;
        first->setMinimumWidth(40);
        second->setMinimumWidth(60);
        splitter.addWidget(first);
        splitter.addWidget(second);
        splitter.resize(300, 100);
        splitter.setFirstWidth(100);
        splitter.show();
        QTest::mousePress(&splitter, Qt::LeftButton, {}, QPoint(100, 50));
        QMouseEvent move(QEvent::MouseMove, QPointF(dragTo, 50), splitter.mapToGlobal(QPointF(dragTo, 50)),
                         Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(&splitter, &move);
        QCOMPARE(splitter.firstWidth(), firstWidth);
        QCOMPARE(second->geometry().right(), 299);
    }
};

MRV_TEST_WIDGETS_MAIN(TstControls)
#include "tst_controls.moc"
