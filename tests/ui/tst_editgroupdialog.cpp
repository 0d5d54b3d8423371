#include "ui/editgroupdialog.h"
#include "ui/selecticonwidget.h"
#include "support/testenv.h"
#include "widgets/fancylineedit.h"

#include <QApplication>
#include <QPushButton>

#include <memory>

namespace {

QPoint itemCentre(SelectIconWidget* chooser, const QString& key)
{
    QListWidgetItem* item = chooser->item(chooser->iconKeys().indexOf(key));
    chooser->scrollToItem(item);
    QApplication::processEvents();
    return chooser->visualItemRect(item).center();
}

void clickIcon(EditGroupDialog& dialog, const QString& key)
{
    QTest::mouseClick(dialog.iconChooser()->viewport(), Qt::LeftButton, {}, itemCentre(dialog.iconChooser(), key));
}

/// A dialog for a new group (`name` null) or an existing one, shown and active.
std::unique_ptr<EditGroupDialog> shown(const QString& name = QString(), const QString& key = QString())
{
    auto dialog = name.isNull() ? std::make_unique<EditGroupDialog>()
                                : std::make_unique<EditGroupDialog>(name, key);
    if (!testenv::showActive(dialog.get()))
        qWarning("the dialog is not active");
    return dialog;
}

} // namespace

class TstEditGroupDialog : public QObject
{
    Q_OBJECT

private:
    QStringList m_messages; // "buttons|text" of each message shown

private Q_SLOTS:
    void init()
    {
        m_messages.clear();
        EditGroupDialog::setMessageHook([this](QWidget*, const QString&, const QString& text,
                                               QMessageBox::StandardButtons buttons,
                                               QMessageBox::StandardButton button) {
            m_messages << QString::number(int(buttons)) + QLatin1Char('|') + text;
            return button == QMessageBox::NoButton ? QMessageBox::Ok : button;
        });
    }

    void cleanup() { EditGroupDialog::setMessageHook({}); }

    // The icon the group shows is the one selected: a group without a key shows the yellow
    // star; OK keeps the key as it was. OK takes no name that is blank.
    void iconShownFirstAndNameChecked_data()
    {
        QTest::addColumn<QString>("key"); // null: a new group, else one named Work
        QTest::addColumn<QString>("shownKey");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<bool>("accepted");
        QTest::newRow("new group, nothing typed") << QString() << QString() << QString() << false;
        QTest::newRow("new group, no-break space") << QString() << QString() << QStringLiteral("\u00a0 ") << false;
        QTest::newRow("new group, padded") << QString() << QString() << QStringLiteral("  Errands ") << true;
        QTest::newRow("empty key") << "" << "star_yellow" << QString() << true;
        QTest::newRow("money") << "money" << "money" << QString() << true;
        QTest::newRow("unknown key") << "nonexistent" << QString() << QString() << true;
    }

    void iconShownFirstAndNameChecked()
    {
        QFETCH(QString, key);
        QFETCH(QString, shownKey);
        QFETCH(QString, typed);
        QFETCH(bool, accepted);
        const QString name = key.isNull() ? QString() : QStringLiteral("Work");
        const auto dialog = shown(name, key);
        QCOMPARE(dialog->iconChooser()->currentIcon(), shownKey);
        testenv::typeText(dialog->nameEdit(), typed);
        QTest::mouseClick(dialog->findChild<QPushButton*>(QStringLiteral("okButton")), Qt::LeftButton);
        QCOMPARE(dialog->groupName(), name + typed);
        QCOMPARE(dialog->iconKey(), key);
        QCOMPARE(dialog->result(), int(accepted ? QDialog::Accepted : QDialog::Rejected));
        QCOMPARE(m_messages.size(), accepted ? 0 : 1);
        if (!accepted)
            QCOMPARE(QApplication::focusWidget(), dialog->nameEdit());
    }

    // A click on an icon names a new group after it until the user types a name; a double
    // click also accepts.
    void iconClicksFillTheName()
    {
        const auto dialog = shown();
        QSignalSpy changed(dialog->iconChooser(), &SelectIconWidget::iconChanged);
        clickIcon(*dialog, QStringLiteral("home"));
        QCOMPARE(dialog->groupName(), QStringLiteral("Home"));
        clickIcon(*dialog, QStringLiteral("money"));
        QCOMPARE(dialog->groupName(), QStringLiteral("Money"));
        QCOMPARE(dialog->iconKey(), QStringLiteral("money"));
        QCOMPARE(changed.count(), 2);

        dialog->nameEdit()->selectAll();
        testenv::typeText(dialog->nameEdit(), QStringLiteral("Errands"));
        clickIcon(*dialog, QStringLiteral("home"));
        QCOMPARE(dialog->groupName(), QStringLiteral("Errands"));
        dialog->nameEdit()->selectAll();
        QTest::keyClick(dialog->nameEdit(), Qt::Key_Backspace);
        // What a real double click delivers: a click, then the double click event and its release.
        const QPoint at = itemCentre(dialog->iconChooser(), QStringLiteral("party"));
        QTest::mouseClick(dialog->iconChooser()->viewport(), Qt::LeftButton, {}, at);
        QTest::mouseDClick(dialog->iconChooser()->viewport(), Qt::LeftButton, {}, at);
        QTest::mouseRelease(dialog->iconChooser()->viewport(), Qt::LeftButton, {}, at);
        QCOMPARE(dialog->groupName(), QStringLiteral("Party Time"));
        QCOMPARE(dialog->iconKey(), QStringLiteral("party"));
        QCOMPARE(dialog->result(), int(QDialog::Accepted));
        QVERIFY(m_messages.isEmpty());
    }
};

MRV_TEST_WIDGETS_MAIN(TstEditGroupDialog)
#include "tst_editgroupdialog.moc"
