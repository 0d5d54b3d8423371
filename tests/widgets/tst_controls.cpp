// The pictures of groups.

#include "store/focusgroup.h"
#include "support/testenv.h"
#include "widgets/focusiconcatalogue.h"

class TstControls : public QObject
{
    Q_OBJECT

private Q_SLOTS:
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

};

MRV_TEST_WIDGETS_MAIN(TstControls)
#include "tst_controls.moc"
