// The pictures of groups.

#include "store/focusgroup.h"
#include "support/testenv.h"
#include "widgets/focusiconcatalogue.h"

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
