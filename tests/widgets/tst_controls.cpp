// The small controls (check box, edits, splitter, scroll bar, link label) and the pictures of
// groups and of the program.

#include "store/focusgroup.h"
#include "support/testenv.h"
#include "widgets/colorscheme.h"
#include "widgets/fancycheckbox.h"
#include "widgets/fancylineedit.h"
#include "widgets/fancyscrollbar.h"
#include "widgets/fancysplitter.h"
#include "widgets/focusiconcatalogue.h"
#include "widgets/hintededit.h"
#include "widgets/linklabel.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QSignalSpy>

#include <memory>

namespace {

QColor pixelAt(QWidget& widget, const QPoint& point)
{
    return widget.grab().toImage().pixelColor(point);
}

/// A 400 by 300 splitter whose first pane is `firstWidth` wide.
std::unique_ptr<FancySplitter> splitter(int firstWidth, QWidget* first, QWidget* second)
{
    auto splitter = std::make_unique<FancySplitter>(Qt::Horizontal);
    splitter->addWidget(first);
    splitter->addWidget(second);
    splitter->resize(400, 300);
    splitter->show();
    splitter->setFirstWidth(firstWidth);
    return splitter;
}

QImage picture(const QIcon& icon, int size = 20)
{
    return icon.pixmap(QSize(size, size)).toImage().convertToFormat(QImage::Format_ARGB32);
}

QImage resource(const QString& name)
{
    return QImage(QStringLiteral(":/icons_focus/") + name).convertToFormat(QImage::Format_ARGB32);
}

} // namespace

class TstControls : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void checkboxReportsEachRealChange()
    {
        TaskCheckbox box;
        box.show();
        QSignalSpy spy(&box, &FancyCheckbox::stateChanged);
        QTest::mouseClick(&box, Qt::LeftButton, {}, QPoint(8, 8));
        QVERIFY(box.isChecked());
        box.setChecked(true);
        box.setChecked(false);
        QCOMPARE(spy.size(), 2);
        QCOMPARE(spy.at(0).at(0).toInt(), 1);
        QCOMPARE(spy.at(1).at(0).toInt(), 0);
    }

    // The pictures are 0 and 1 (idle and pressed) unchecked, 2 and 3 checked.
    void checkboxPaintsThePictureOfItsState_data()
    {
        QTest::addColumn<bool>("checked");
        QTest::newRow("unchecked") << false;
        QTest::newRow("checked") << true;
    }

    void checkboxPaintsThePictureOfItsState()
    {
        QFETCH(bool, checked);
        FancyCheckbox box;
        for (int key = 0; key < 4; ++key) {
            QPixmap pixmap(16, 16);
            pixmap.fill(QColor::fromHsv(key * 80, 255, 255));
            box.setPixmap(key, pixmap);
        }
        box.setChecked(checked);
        box.show();
        box.setAttribute(Qt::WA_UnderMouse, true);
        const int idle = checked ? 2 : 0;
        QCOMPARE(box.currentKey(), idle);
        QTest::mousePress(&box, Qt::LeftButton, {}, QPoint(8, 8));
        QCOMPARE(box.currentKey(), idle + 1);
        QCOMPARE(pixelAt(box, QPoint(8, 8)), box.pixmap(idle + 1).toImage().pixelColor(8, 8));
        // Released outside: no toggle, back to the plain picture of the state.
        QTest::mouseRelease(&box, Qt::LeftButton, {}, QPoint(40, 40));
        QCOMPARE(box.isChecked(), checked);
        QCOMPARE(pixelAt(box, QPoint(8, 8)), box.pixmap(idle).toImage().pixelColor(8, 8));
    }

    void lineEditSelectsAllOnMouseFocusOnce()
    {
        QWidget window;
        auto* other = new QLineEdit(&window);
        auto* edit = new FancyLineEdit(QStringLiteral("Buy milk"), &window);
        edit->move(0, 40);
        QVERIFY(testenv::showActive(&window));
        other->setFocus();
        QSignalSpy focus(edit, &FancyLineEdit::gotFocus);
        QTest::mouseClick(edit, Qt::LeftButton, {}, QPoint(5, edit->height() / 2));
        QCOMPARE(edit->selectedText(), QStringLiteral("Buy milk"));
        QCOMPARE(focus.size(), 1);
        QCOMPARE(focus.at(0).at(0).toBool(), true);
        // A second click places the caret where clicked.
        QTest::mouseClick(edit, Qt::LeftButton, {}, QPoint(5, edit->height() / 2));
        QVERIFY(!edit->hasSelectedText());
        other->setFocus();
        QCOMPARE(focus.size(), 2);
        QCOMPARE(focus.at(1).at(0).toBool(), false);
        edit->setFocus(Qt::TabFocusReason); // keyboard focus selects all too
        QCOMPARE(edit->selectedText(), QStringLiteral("Buy milk"));
    }

    // The hint is a placeholder, never text a reader or a screen reader could take for the
    // user's; the field is named by it. It shows only while the field is empty and unfocused.
    void hintShowsOnlyWhileEmptyAndUnfocused()
    {
        QWidget window;
        auto* other = new QLineEdit(&window);
        auto* edit = new HintedEditT<FancyLineEdit>(QString(), QStringLiteral("Task name"), &window);
        auto* filled = new HintedEditT<FancyLineEdit>(QStringLiteral("Paint"), edit->hintText(), &window);
        QVERIFY(testenv::showActive(&window));
        other->setFocus();
        QVERIFY(!filled->isHintShown());
        QCOMPARE(filled->placeholderText(), QString());
        QVERIFY(edit->isHintShown());
        QCOMPARE(edit->text(), QString());
        QCOMPARE(edit->placeholderText(), QStringLiteral("Task name"));
        QCOMPARE(edit->accessibleName(), QStringLiteral("Task name"));

        edit->setFocus();
        QVERIFY(!edit->isHintShown());
        QCOMPARE(edit->placeholderText(), QString());
        testenv::typeText(edit, QStringLiteral("Café ✓"));
        other->setFocus();
        QVERIFY(!edit->isHintShown());
        QCOMPARE(edit->userText(), QStringLiteral("Café ✓"));
        edit->setFocus();
        edit->selectAll();
        QTest::keyClick(edit, Qt::Key_Backspace);
        other->setFocus();
        QVERIFY(edit->isHintShown());
        QCOMPARE(edit->userText(), QString());
    }

    void splitterLayout_data()
    {
        QTest::addColumn<int>("firstWidth");
        QTest::addColumn<bool>("firstVisible");
        QTest::addColumn<bool>("handleVisible");
        QTest::addColumn<bool>("secondVisible");
        QTest::newRow("both panes") << 150 << true << true << true;
        QTest::newRow("no first pane") << 0 << false << false << true;
        QTest::newRow("first pane fills") << 400 << true << false << false;
    }

    void splitterLayout()
    {
        QFETCH(int, firstWidth);
        QFETCH(bool, firstVisible);
        QFETCH(bool, handleVisible);
        QFETCH(bool, secondVisible);
        auto* first = new QWidget;
        auto* second = new QWidget;
        const auto split = splitter(firstWidth, first, second);
        QCOMPARE(first->isVisible(), firstVisible);
        QCOMPARE(split->handle()->isVisible(), handleVisible);
        QCOMPARE(second->isVisible(), secondVisible);
        if (firstVisible)
            QCOMPARE(first->geometry(), QRect(0, 0, firstWidth, 300));
        if (handleVisible)
            QCOMPARE(split->handle()->geometry(), QRect(firstWidth, 0, 1, 300));
        const int left = firstWidth > 0 ? firstWidth + 1 : 0;
        if (secondVisible)
            QCOMPARE(second->geometry(), QRect(left, 0, 400 - left, 300));
    }

    void splitterDragIsClampedToMinimumWidths_data()
    {
        QTest::addColumn<int>("dragTo");
        QTest::addColumn<int>("expected");
        QTest::newRow("within") << 200 << 200;
        QTest::newRow("into the first minimum") << 60 << 100;
        QTest::newRow("past the right edge") << 900 << 250;
    }

    void splitterDragIsClampedToMinimumWidths()
    {
        QFETCH(int, dragTo);
        QFETCH(int, expected);
        auto* first = new QWidget;
        auto* second = new QWidget;
        first->setMinimumWidth(100);
        second->setMinimumWidth(150);
        const auto split = splitter(150, first, second);
        QTest::mousePress(split.get(), Qt::LeftButton, {}, QPoint(150, 100));
        QMouseEvent move(QEvent::MouseMove, QPointF(dragTo, 100), split->mapToGlobal(QPointF(dragTo, 100)),
                         Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(split.get(), &move);
        QTest::mouseRelease(split.get(), Qt::LeftButton, {}, QPoint(qBound(0, dragTo, 399), 100));
        QCOMPARE(split->firstWidth(), expected);
    }

    void scrollbarIsThinAndPaintsItsHandle()
    {
        FancyScrollbar bar(Qt::Vertical);
        bar.setRange(0, 100);
        bar.setPageStep(50);
        QCOMPARE(bar.sizeHint().width(), 10);
        bar.resize(10, 200);
        bar.show();
        const QImage image = bar.grab().toImage();
        QCOMPARE(image.pixelColor(bar.handleRect().center()), schemeColor(ColorScheme::Outline));
        QCOMPARE(image.pixelColor(0, 199), QColor(Qt::white));
    }

    void linkLabelPassesRightClicksOn()
    {
        LinkLabel label(QStringLiteral("text"));
        QContextMenuEvent event(QContextMenuEvent::Mouse, QPoint(1, 1), QPoint(1, 1));
        event.accept();
        QApplication::sendEvent(&label, &event);
        QVERIFY(!event.isAccepted());
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
        QTest::newRow("Completed") << FocusGroup::completedId() << QString() << false << "completed_20";
        QTest::newRow("empty Trash") << trash << QString() << true << "trash_empty_20";
        QTest::newRow("full Trash") << trash << QString() << false << "trash_full_20";
        QTest::newRow("stored key wins over Trash") << trash << "party" << false << "party_20";
        QTest::newRow("trash_empty key on a full group") << user << "trash_empty" << false << "trash_empty_20";
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
        if (!icon.isNull())
            QCOMPARE(picture(icon), resource(expected));
    }

    // Every group icon of the catalogue comes at both its sizes.
    void iconLookups()
    {
        const FocusIconMap catalogue = focusIconCatalogue();
        for (const QString& key : FocusIconCatalogue::keys()) {
            const QList<QSize> sizes = catalogue.value(key).icon.availableSizes();
            QVERIFY2(sizes.contains(QSize(20, 20)) && sizes.contains(QSize(48, 48)), qPrintable(key));
        }
        QVERIFY(focusIconByKey(QString()).isNull() && focusIconByKey(QStringLiteral("nope")).isNull());
        QCOMPARE(picture(focusIconByKey(QStringLiteral("inbox"))), resource(QStringLiteral("inbox_20")));
        QVERIFY(resource(QStringLiteral("trash_empty_20")) != resource(QStringLiteral("trash_full_20")));
        for (int kind : {CalendarReset, CalendarNextMonth, CalendarPrevMonth})
            QVERIFY(!calendarIcon(kind).isNull());
        QVERIFY(calendarIcon(3).isNull());
        const QList<QSize> all{QSize(16, 16), QSize(32, 32), QSize(48, 48), QSize(256, 256)};
        QCOMPARE(applicationIcon(0).availableSizes(), all);
        QCOMPARE(applicationIcon(48).availableSizes(), QList<QSize>{QSize(48, 48)});
        QVERIFY(applicationIcon(20).isNull());
        const QImage plain = picture(applicationIcon(16), 16);
        QVERIFY(picture(applicationIcon(16, QStringLiteral("_black")), 16) != plain);
        QCOMPARE(picture(applicationIcon(16, QStringLiteral("_purple")), 16), plain);
        QCOMPARE(picture(trayIcon(), 16), plain);
    }
};

MRV_TEST_WIDGETS_MAIN(TstControls)
#include "tst_controls.moc"
