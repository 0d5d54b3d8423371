// The task check box and the pictures of groups.

#include "store/focusgroup.h"
#include "support/testenv.h"
#include "widgets/fancycheckbox.h"
#include "widgets/focusiconcatalogue.h"

#include <QSignalSpy>

namespace {

QImage picture(const QIcon& icon)
{
    return icon.pixmap(QSize(20, 20)).toImage().convertToFormat(QImage::Format_ARGB32);
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
        // Released outside: no toggle.
        QTest::mousePress(&box, Qt::LeftButton, {}, QPoint(8, 8));
        QTest::mouseRelease(&box, Qt::LeftButton, {}, QPoint(40, 40));
        QVERIFY(box.isChecked());
        box.setChecked(true);
        box.setChecked(false);
        QCOMPARE(spy.size(), 2);
        QCOMPARE(spy.at(0).at(0).toInt(), 1);
        QCOMPARE(spy.at(1).at(0).toInt(), 0);
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
        if (!icon.isNull())
            QCOMPARE(picture(icon), resource(expected));
    }

};

MRV_TEST_WIDGETS_MAIN(TstControls)
#include "tst_controls.moc"
