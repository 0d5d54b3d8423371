#include "support/testenv.h"
#include "widgets/colorscheme.h"
#include "widgets/fancycheckbox.h"
#include "widgets/fancylineedit.h"
#include "widgets/fancyscrollbar.h"
#include "widgets/fancysplitter.h"
#include "widgets/hintededit.h"
#include "widgets/linklabel.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QSignalSpy>

namespace {

QColor pixelAt(QWidget& widget, const QPoint& point)
{
    return widget.grab().toImage().pixelColor(point);
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

    void checkboxPixmapKeys_data()
    {
        QTest::addColumn<bool>("checked");
        QTest::addColumn<int>("idleKey");
        QTest::addColumn<int>("pressedKey");
        QTest::newRow("unchecked") << false << 0 << 1;
        QTest::newRow("checked") << true << 2 << 3;
    }

    void checkboxPixmapKeys()
    {
        QFETCH(bool, checked);
        QFETCH(int, idleKey);
        QFETCH(int, pressedKey);
        FancyCheckbox box;
        for (int key = 0; key < 4; ++key) {
            QPixmap pixmap(16, 16);
            pixmap.fill(QColor::fromHsv(key * 80, 255, 255));
            box.setPixmap(key, pixmap);
        }
        box.setChecked(checked);
        box.show();
        box.setAttribute(Qt::WA_UnderMouse, true);
        QCOMPARE(box.currentKey(), idleKey);
        QTest::mousePress(&box, Qt::LeftButton, {}, QPoint(8, 8));
        QCOMPARE(box.currentKey(), pressedKey);
        QCOMPARE(pixelAt(box, QPoint(8, 8)), box.pixmap(pressedKey).toImage().pixelColor(8, 8));
        // Released outside: no toggle, back to the plain picture of the state.
        QTest::mouseRelease(&box, Qt::LeftButton, {}, QPoint(40, 40));
        QCOMPARE(box.isChecked(), checked);
        QCOMPARE(box.currentKey(), idleKey);
        QCOMPARE(pixelAt(box, QPoint(8, 8)), box.pixmap(idleKey).toImage().pixelColor(8, 8));
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
        QVERIFY(edit->hasFocus());
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

    void hintShowsOnlyWhileEmptyAndUnfocused_data()
    {
        QTest::addColumn<QString>("initial");
        QTest::addColumn<bool>("hintShown");
        QTest::newRow("empty shows the hint") << QString() << true;
        QTest::newRow("text hides it") << QStringLiteral("Paint") << false;
    }

    void hintShowsOnlyWhileEmptyAndUnfocused()
    {
        QFETCH(QString, initial);
        QFETCH(bool, hintShown);
        QWidget window;
        auto* other = new QLineEdit(&window);
        auto* edit = new HintedEditT<FancyLineEdit>(initial, QStringLiteral("Task name"), &window);
        QVERIFY(testenv::showActive(&window));
        other->setFocus();
        QCOMPARE(edit->isHintShown(), hintShown);
        // The hint is a placeholder, never text a reader or a screen reader could take for the
        // user's; the field is named by it.
        QCOMPARE(edit->text(), initial);
        QCOMPARE(edit->placeholderText(), hintShown ? QStringLiteral("Task name") : QString());
        QCOMPARE(edit->accessibleName(), QStringLiteral("Task name"));
        QCOMPARE(edit->userText(), initial);

        edit->setFocus();
        QVERIFY(!edit->isHintShown());
        QCOMPARE(edit->text(), initial);
        QCOMPARE(edit->placeholderText(), QString());
        other->setFocus();
        QCOMPARE(edit->isHintShown(), hintShown);
    }

    void typedTextIsKeptAndTheHintNeverReadBack()
    {
        QWidget window;
        auto* other = new QLineEdit(&window);
        auto* edit = new HintedEditT<FancyLineEdit>(QString(), QStringLiteral("Task name"), &window);
        QVERIFY(testenv::showActive(&window));
        edit->setFocus();
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
        FancySplitter splitter(Qt::Horizontal);
        auto* first = new QWidget;
        auto* second = new QWidget;
        splitter.addWidget(first);
        splitter.addWidget(second);
        splitter.resize(400, 300);
        splitter.show();
        splitter.setFirstWidth(firstWidth);
        QCOMPARE(first->isVisible(), firstVisible);
        QCOMPARE(splitter.handle()->isVisible(), handleVisible);
        QCOMPARE(second->isVisible(), secondVisible);
        if (firstVisible)
            QCOMPARE(first->geometry(), QRect(0, 0, firstWidth, 300));
        if (handleVisible)
            QCOMPARE(splitter.handle()->geometry(), QRect(firstWidth, 0, 1, 300));
        if (secondVisible) {
            const int left = firstWidth > 0 ? firstWidth + 1 : 0;
            QCOMPARE(second->geometry(), QRect(left, 0, 400 - left, 300));
        }
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
        FancySplitter splitter(Qt::Horizontal);
        auto* first = new QWidget;
        auto* second = new QWidget;
        first->setMinimumWidth(100);
        second->setMinimumWidth(150);
        splitter.addWidget(first);
        splitter.addWidget(second);
        splitter.resize(400, 300);
        splitter.show();
        splitter.setFirstWidth(150);
        QTest::mousePress(&splitter, Qt::LeftButton, {}, QPoint(150, 100));
        QMouseEvent move(QEvent::MouseMove, QPointF(dragTo, 100), splitter.mapToGlobal(QPointF(dragTo, 100)),
                         Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(&splitter, &move);
        QTest::mouseRelease(&splitter, Qt::LeftButton, {}, QPoint(qBound(0, dragTo, 399), 100));
        QCOMPARE(splitter.firstWidth(), expected);
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
        const QRect handle = bar.handleRect();
        QCOMPARE(image.pixelColor(handle.center()), schemeColor(ColorScheme::Outline));
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
};

MRV_TEST_WIDGETS_MAIN(TstControls)
#include "tst_controls.moc"
