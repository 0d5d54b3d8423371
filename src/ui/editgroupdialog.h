#pragma once

#include <QDialog>
#include <QMessageBox>

#include <functional>

class FancyLineEdit;
class SelectIconWidget;
class QLabel;
class QPushButton;

/// The modal dialog that names a group and picks its icon, for a new group or an existing one.
/// It only collects the two values; the caller reads them once the dialog was accepted.
class EditGroupDialog : public QDialog
{
    Q_OBJECT
public:
    /// Shows a critical message box and returns the button chosen.
    using MessageHook = std::function<QMessageBox::StandardButton(
        QWidget* parent, const QString& title, const QString& text, QMessageBox::StandardButtons buttons,
        QMessageBox::StandardButton defaultButton)>;

    /// For a new group: no name, no icon picked.
    explicit EditGroupDialog(QWidget* parent = nullptr);
    /// For an existing group: shows its name and selects its icon (the green star for an empty key).
    EditGroupDialog(const QString& name, const QString& iconKey, QWidget* parent = nullptr);

    /// The name exactly as typed, not trimmed.
    QString groupName() const;
    /// The key of the picked icon; empty when none was picked.
    QString iconKey() const;

    SelectIconWidget* iconChooser() const { return m_chooser; }
    FancyLineEdit* nameEdit() const { return m_nameEdit; }

    /// Replaces how message boxes are shown; an empty hook restores the real message box.
    static void setMessageHook(MessageHook hook);

public Q_SLOTS:
    /// Closes the dialog as accepted unless the name is blank, which is refused with a message.
    void accept() override;

    void _onTextEdited(const QString& groupNameText);
    void _onIconChanged(const QString& iconKeyName);
    void _onIconDoubleClicked(const QString& iconKeyName);

protected:
    void changeEvent(QEvent* event) override;

private:
    void buildUi();
    void _retranslate();
    QMessageBox::StandardButton showCritical(const QString& text, QMessageBox::StandardButtons buttons,
                                             QMessageBox::StandardButton defaultButton);

    SelectIconWidget* m_chooser = nullptr;
    QLabel* m_iconLabel = nullptr;
    QLabel* m_nameLabel = nullptr;
    QPushButton* m_okButton = nullptr;
    QPushButton* m_cancelButton = nullptr;
    bool m_newGroup = false;
    FancyLineEdit* m_nameEdit = nullptr;
    int m_emptyNameAttempts = 0;
    QString m_typedName;
    QString m_originalKey;
    QString m_shownKey;
};
