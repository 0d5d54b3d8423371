#include "store/focusgroup.h"
#include "support/testenv.h"
#include "widgets/focusiconcatalogue.h"

#include <QApplication>

namespace {

// The picture an icon shows at 20 px, for telling icons apart.
QImage picture(const QIcon& icon, int size = 20)
{
    return icon.pixmap(QSize(size, size)).toImage().convertToFormat(QImage::Format_ARGB32);
}

QImage resource(const QString& name)
{
    return QImage(QStringLiteral(":/icons_focus/") + name).convertToFormat(QImage::Format_ARGB32);
}

} // namespace

class TstFocusIcons : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void catalogueHoldsTheFifteenKeys()
    {
        const FocusIconMap catalogue = focusIconCatalogue();
        QCOMPARE(catalogue.size(), 15);
        QCOMPARE(FocusIconCatalogue::keys().size(), 15);
        for (const QString& key : FocusIconCatalogue::keys()) {
            QVERIFY2(catalogue.contains(key), qPrintable(key));
            const QList<QSize> sizes = catalogue.value(key).icon.availableSizes();
            QVERIFY2(sizes.contains(QSize(20, 20)) && sizes.contains(QSize(48, 48)), qPrintable(key));
        }
        QCOMPARE(catalogue.value(QStringLiteral("completed2")).displayName, QStringLiteral("To Check"));
        QCOMPARE(catalogue.value(QStringLiteral("mobile")).displayName, QStringLiteral("Calls"));
    }

    void everyPictureExistsAtItsSize_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QSize>("size");
        const QStringList keys = FocusIconCatalogue::keys() << QStringLiteral("trash_full");
        for (const QString& key : keys) {
            for (int size : {20, 48})
                QTest::addRow("%s_%d", qPrintable(key), size) << QStringLiteral(":/icons_focus/%1_%2").arg(key).arg(size) << QSize(size, size);
        }
        const QList<QPair<int, QStringList>> others = {
            {16, {"icons/one_16", "icons/one_16_black", "icons/one_16_white", "icons/edit_note", "icons/edit_duedate", "calendar/icon_reset_16",
                  "calendar/icon_next_month_16", "calendar/icon_prev_month_16", "icons_checkbox/checkbox_flat-N",
                  "icons_checkbox/checkbox_flat-P", "icons_checkbox/checkbox_done-N", "icons_checkbox/checkbox_done-P"}},
            {24, {"icons/toolbar_new", "icons/toolbar_edit", "icons/toolbar_cleanup", "icons/view_normal", "icons/view_compact"}},
            {256, {"icons/one_256", "about/one_noarrows", "about/arrow_hour", "about/arrow_minute"}}};
        for (const auto& [size, names] : others) {
            for (const QString& name : names)
                QTest::newRow(qPrintable(name)) << QStringLiteral(":/") + name << QSize(size, size);
        }
    }

    void everyPictureExistsAtItsSize()
    {
        QFETCH(QString, path);
        QFETCH(QSize, size);
        const QImage image(path);
        QVERIFY2(!image.isNull(), qPrintable(path));
        QCOMPARE(image.size(), size);
        QVERIFY(image.hasAlphaChannel());
    }

    void groupIconRule_data()
    {
        QTest::addColumn<QUuid>("group");
        QTest::addColumn<QString>("key");
        QTest::addColumn<bool>("empty");
        QTest::addColumn<QString>("expected");
        const QUuid user = QUuid::createUuid();
        QTest::newRow("user group without key") << user << QString() << true << QStringLiteral("star_yellow_20");
        QTest::newRow("user group with unknown key") << user << "Money" << true << "star_yellow_20";
        QTest::newRow("user group with key") << user << "money" << true << "money_20";
        QTest::newRow("Inbox") << FocusGroup::inboxId() << QString() << false << QStringLiteral("inbox_20");
        QTest::newRow("Completed") << FocusGroup::completedId() << QString() << false << QStringLiteral("completed_20");
        QTest::newRow("empty Trash") << FocusGroup::trashId() << QString() << true << QStringLiteral("trash_empty_20");
        QTest::newRow("full Trash") << FocusGroup::trashId() << QString() << false << QStringLiteral("trash_full_20");
        QTest::newRow("stored key wins over Trash") << FocusGroup::trashId() << "party" << false << "party_20";
        QTest::newRow("trash_empty key on a full group") << user << "trash_empty" << false << "trash_empty_20";
    }

    void groupIconRule()
    {
        QFETCH(QUuid, group);
        QFETCH(QString, key);
        QFETCH(bool, empty);
        QFETCH(QString, expected);
        QCOMPARE(picture(focusGroupIcon(group, key, empty)), resource(expected));
    }

    void nullIdsAndUnknownKeysGiveNullIcons()
    {
        QVERIFY(focusGroupIcon(QUuid(), QStringLiteral("money"), true).isNull());
        QVERIFY(focusIconByKey(QString()).isNull() && focusIconByKey(QStringLiteral("nope")).isNull());
        QVERIFY(!focusIconByKey(QStringLiteral("inbox")).isNull());
        QVERIFY(resource(QStringLiteral("trash_empty_20")) != resource(QStringLiteral("trash_full_20")));
        QVERIFY(!calendarIcon(CalendarReset).isNull() && !calendarIcon(CalendarNextMonth).isNull() && !calendarIcon(CalendarPrevMonth).isNull());
        QVERIFY(calendarIcon(3).isNull());
    }

    void applicationIconSizes_data()
    {
        QTest::addColumn<int>("size");
        QTest::addColumn<QList<QSize>>("sizes");
        QTest::newRow("all") << 0 << QList<QSize>{QSize(16, 16), QSize(32, 32), QSize(48, 48), QSize(256, 256)};
        QTest::newRow("48") << 48 << QList<QSize>{QSize(48, 48)};
        QTest::newRow("20 is not a size") << 20 << QList<QSize>{};
    }

    void applicationIconSizes()
    {
        QFETCH(int, size);
        QFETCH(QList<QSize>, sizes);
        const QIcon icon = applicationIcon(size);
        QCOMPARE(icon.availableSizes(), sizes);
        QCOMPARE(icon.isNull(), sizes.isEmpty());
    }

    void smallIconVariants()
    {
        const QImage plain = picture(applicationIcon(16), 16);
        QVERIFY(picture(applicationIcon(16, QStringLiteral("_black")), 16) != plain);
        QCOMPARE(picture(applicationIcon(16, QStringLiteral("_purple")), 16), plain);
        QCOMPARE(picture(trayIcon(), 16), plain);
    }

};

MRV_TEST_WIDGETS_MAIN(TstFocusIcons)
#include "tst_focusicons.moc"
