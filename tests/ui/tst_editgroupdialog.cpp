#include "ui/editgroupdialog.h"
#include "ui/selecticonwidget.h"
#include "support/testenv.h"
#include "widgets/fancylineedit.h"
#include "widgets/focusiconcatalogue.h"

#include <QApplication>
#include <QPushButton>

#include <memory>

namespace {

struct Message
{
    QString title;
    QString text;
    QMessageBox::StandardButtons buttons;
    QMessageBox::StandardButton defaultButton;
};

const QString kFirstMessage = QStringLiteral("Please enter a group name to continue...");
const QString kSecondMessage = QStringLiteral("Ok, now we all know that you're funny! Wanna play a real game?");

SelectIconWidget* chooserOf(EditGroupDialog& dialog) { return dialog.findChild<SelectIconWidget*>(QStringLiteral("iconChooser")); }
FancyLineEdit* nameEditOf(EditGroupDialog& dialog) { return dialog.findChild<FancyLineEdit*>(QStringLiteral("groupNameEdit")); }

QPoint itemCentre(SelectIconWidget* chooser, const QString& key)
{
    QListWidgetItem* item = chooser->item(chooser->iconKeys().indexOf(key));
    chooser->scrollToItem(item);
    QApplication::processEvents();
    return chooser->visualItemRect(item).center();
}

void clickIcon(EditGroupDialog& dialog, const QString& key)
{
    SelectIconWidget* chooser = chooserOf(dialog);
    QTest::mouseClick(chooser->viewport(), Qt::LeftButton, Qt::NoModifier, itemCentre(chooser, key));
}

// What a real double-click delivers: a click, then the double-click event and its release.
void doubleClickIcon(EditGroupDialog& dialog, const QString& key)
{
    SelectIconWidget* chooser = chooserOf(dialog);
    const QPoint at = itemCentre(chooser, key);
    QTest::mouseClick(chooser->viewport(), Qt::LeftButton, Qt::NoModifier, at);
    QTest::mouseDClick(chooser->viewport(), Qt::LeftButton, Qt::NoModifier, at);
    QTest::mouseRelease(chooser->viewport(), Qt::LeftButton, Qt::NoModifier, at);
}

void eraseName(EditGroupDialog& dialog)
{
    FancyLineEdit* edit = nameEditOf(dialog);
    edit->end(false);
    while (!edit->text().isEmpty())
        QTest::keyClick(edit, Qt::Key_Backspace);
}

void clickOk(EditGroupDialog& dialog) { QTest::mouseClick(dialog.findChild<QPushButton*>(QStringLiteral("okButton")), Qt::LeftButton); }

} // namespace

class TstEditGroupDialog : public QObject
{
    Q_OBJECT

private:
    QList<Message> m_messages;

private Q_SLOTS:
    void init()
    {
        m_messages.clear();
        EditGroupDialog::setMessageHook([this](QWidget*, const QString& title, const QString& text,
                                               QMessageBox::StandardButtons buttons, QMessageBox::StandardButton defaultButton) {
            m_messages.append(Message{title, text, buttons, defaultButton});
            return defaultButton == QMessageBox::NoButton ? QMessageBox::Ok : defaultButton;
        });
    }

    void cleanup() { EditGroupDialog::setMessageHook({}); }

    // Every icon is in view in the dialog as it opens, names uncut.
    void everyIconIsInView()
    {
        EditGroupDialog dialog;
        QVERIFY(testenv::showActive(&dialog));
        SelectIconWidget* chooser = chooserOf(dialog);
        const QRect view = chooser->viewport()->rect();
        for (int row = 0; row < chooser->count(); ++row)
            QVERIFY2(view.contains(chooser->visualItemRect(chooser->item(row))), qPrintable(chooser->item(row)->text()));
    }

    void initialValues_data()
    {
        QTest::addColumn<bool>("existing");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("shownKey");
        QTest::addColumn<QString>("expectedKey");
        QTest::newRow("new group") << false << QString() << QStringLiteral("New group") << QString() << QString();
        // A group without a key shows the yellow star; OK keeps its key as it was.
        QTest::newRow("empty key") << true << QString() << QStringLiteral("Group properties") << QStringLiteral("star_yellow") << QString();
        QTest::newRow("money") << true << QStringLiteral("money") << QStringLiteral("Group properties")
                               << QStringLiteral("money") << QStringLiteral("money");
        QTest::newRow("unknown key") << true << QStringLiteral("nonexistent") << QStringLiteral("Group properties")
                                     << QString() << QStringLiteral("nonexistent");
    }

    void initialValues()
    {
        QFETCH(bool, existing);
        QFETCH(QString, key);
        QFETCH(QString, title);
        QFETCH(QString, shownKey);
        QFETCH(QString, expectedKey);
        const std::unique_ptr<EditGroupDialog> dialog(existing ? new EditGroupDialog(QStringLiteral("Work"), key)
                                                               : new EditGroupDialog);
        QCOMPARE(dialog->windowTitle(), title);
        QCOMPARE(dialog->groupName(), existing ? QStringLiteral("Work") : QString());
        QCOMPARE(dialog->iconChooser()->currentIcon(), shownKey);
        QCOMPARE(dialog->iconKey(), expectedKey);
        QVERIFY(!(dialog->windowFlags() & Qt::WindowContextHelpButtonHint));
        QCOMPARE(dialog->minimumSize(), dialog->maximumSize());
    }

    void acceptChecksName_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<bool>("accepted");
        QTest::newRow("nothing") << QString() << false;
        QTest::newRow("no-break space") << QStringLiteral("\u00a0 ") << false;
        QTest::newRow("padded") << QStringLiteral("  Errands ") << true;
    }

    void acceptChecksName()
    {
        QFETCH(QString, typed);
        QFETCH(bool, accepted);
        EditGroupDialog dialog;
        QVERIFY(testenv::showActive(&dialog));
        testenv::typeText(nameEditOf(dialog), typed);
        clickOk(dialog);
        QCOMPARE(dialog.groupName(), typed);
        QCOMPARE(dialog.result(), int(accepted ? QDialog::Accepted : QDialog::Rejected));
        QCOMPARE(dialog.isVisible(), !accepted);
        QCOMPARE(m_messages.size(), accepted ? 0 : 1);
        if (!accepted) {
            QCOMPARE(m_messages.at(0).title, QStringLiteral("New group"));
            QCOMPARE(m_messages.at(0).text, kFirstMessage);
            QCOMPARE(m_messages.at(0).buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
            QCOMPARE(QApplication::focusWidget(), nameEditOf(dialog));
        } else {
            QCOMPARE(dialog.iconKey(), QString()); // no icon was picked
        }
    }

    void iconClicksFillName()
    {
        EditGroupDialog dialog;
        QVERIFY(testenv::showActive(&dialog));
        QSignalSpy changed(chooserOf(dialog), &SelectIconWidget::iconChanged);
        clickIcon(dialog, QStringLiteral("home"));
        QCOMPARE(dialog.groupName(), QStringLiteral("Home"));
        clickIcon(dialog, QStringLiteral("money"));
        QCOMPARE(dialog.groupName(), QStringLiteral("Money"));
        QCOMPARE(dialog.iconKey(), QStringLiteral("money"));
        QCOMPARE(changed.count(), 2);
        QCOMPARE(changed.at(1).at(0).toString(), QStringLiteral("money"));

        nameEditOf(dialog)->selectAll();
        testenv::typeText(nameEditOf(dialog), QStringLiteral("Errands"));
        clickIcon(dialog, QStringLiteral("home"));
        QCOMPARE(dialog.groupName(), QStringLiteral("Errands")); // a typed name wins

        eraseName(dialog);
        clickIcon(dialog, QStringLiteral("internet"));
        QCOMPARE(dialog.groupName(), QStringLiteral("Internet")); // erased: filling again
    }

    void propertiesKeepName()
    {
        EditGroupDialog dialog(QStringLiteral("Work"), QStringLiteral("home"));
        QVERIFY(testenv::showActive(&dialog));
        clickIcon(dialog, QStringLiteral("party"));
        QCOMPARE(dialog.groupName(), QStringLiteral("Work"));
        QCOMPARE(dialog.iconKey(), QStringLiteral("party"));
    }

    void doubleClickFillsAndAccepts()
    {
        EditGroupDialog dialog;
        QVERIFY(testenv::showActive(&dialog));
        QStringList order;
        connect(chooserOf(dialog), &SelectIconWidget::iconChanged, this, [&order](const QString& key) { order << QStringLiteral("changed ") + key; });
        connect(chooserOf(dialog), &SelectIconWidget::iconDoubleClicked, this, [&order](const QString& key) { order << QStringLiteral("double ") + key; });
        doubleClickIcon(dialog, QStringLiteral("party"));
        QCOMPARE(dialog.groupName(), QStringLiteral("Party Time"));
        QCOMPARE(dialog.iconKey(), QStringLiteral("party"));
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QVERIFY(m_messages.isEmpty());
        QVERIFY(order.size() >= 2);
        QCOMPARE(order.mid(order.size() - 2), QStringList({QStringLiteral("changed party"), QStringLiteral("double party")}));
    }

    void tenthEmptyAttemptRestartsCount()
    {
        EditGroupDialog dialog(QStringLiteral("Work"), QStringLiteral("home"));
        QVERIFY(testenv::showActive(&dialog));
        eraseName(dialog);
        for (int attempt = 0; attempt < 21; ++attempt)
            clickOk(dialog);
        QCOMPARE(m_messages.size(), 21);
        for (int i = 0; i < m_messages.size(); ++i) {
            const bool joke = (i + 1) % 10 == 0;
            QCOMPARE(m_messages.at(i).title, QStringLiteral("Group properties"));
            QCOMPARE(m_messages.at(i).text, joke ? kSecondMessage : kFirstMessage);
            QCOMPARE(m_messages.at(i).buttons, joke ? QMessageBox::Yes | QMessageBox::No : QMessageBox::StandardButtons(QMessageBox::Ok));
            if (joke)
                QCOMPARE(m_messages.at(i).defaultButton, QMessageBox::Yes);
        }
        QVERIFY(dialog.isVisible());
        QCOMPARE(QApplication::focusWidget(), nameEditOf(dialog));
    }

    void keyboardMovesWithoutSignal()
    {
        EditGroupDialog dialog(QStringLiteral("Work"), QStringLiteral("star"));
        QVERIFY(testenv::showActive(&dialog));
        SelectIconWidget* chooser = chooserOf(dialog);
        chooser->setFocus();
        QSignalSpy changed(chooser, &SelectIconWidget::iconChanged);
        QTest::keyClick(chooser, Qt::Key_Right);
        QTest::keyClick(chooser, Qt::Key_Right);
        QCOMPARE(chooser->currentIcon(), QStringLiteral("star_green"));
        QTest::keyClick(chooser, Qt::Key_End);
        QCOMPARE(chooser->currentIcon(), QStringLiteral("money"));
        QCOMPARE(changed.count(), 0);
        QCOMPARE(dialog.groupName(), QStringLiteral("Work"));
    }
};

MRV_TEST_WIDGETS_MAIN(TstEditGroupDialog)
#include "tst_editgroupdialog.moc"
