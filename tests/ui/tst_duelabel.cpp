#include "support/testenv.h"

#include "ui/duelabel.h"

#include <QApplication>
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

class TstDueLabel : public QObject
{
    Q_OBJECT

private Q_SLOTS:
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

MRV_TEST_WIDGETS_MAIN(TstDueLabel)
#include "tst_duelabel.moc"
