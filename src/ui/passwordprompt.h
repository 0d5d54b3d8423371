#pragma once

#include "sync/syncservice.h"
#include "widgets/localizeddialog.h"

#include <QPointer>

class QLabel;
class QLineEdit;
class QPushButton;

/// Asks for the sync password again: modal to the main window only, never to the whole
/// desktop. OK keeps the password for the account and syncs; Cancel leaves sync waiting for
/// the user (the status mark says so). At most one is open at a time.
class PasswordPrompt : public LocalizedDialog
{
    Q_OBJECT
public:
    enum Reason {
        Refused, ///< the server refused the password it was given
        Missing, ///< there is no password for the account
    };

    PasswordPrompt(QWidget* parent, sync::SyncService* service, Reason reason);
    ~PasswordPrompt() override;

    /// Opens the prompt for the account of `service` and returns at once; when one is open it
    /// is only brought to the front.
    static PasswordPrompt* ask(QWidget* parent, sync::SyncService* service, Reason reason);
    /// The open prompt, if any.
    static PasswordPrompt* openPrompt();

    void retranslateUi() override;
    void accept() override;

private:
    void _updateButtons();

    QPointer<sync::SyncService> m_service;
    Reason m_reason;
    QLabel* m_question = nullptr;
    QLineEdit* m_password = nullptr;
    QPushButton* m_okButton = nullptr;
    QPushButton* m_cancelButton = nullptr;
};
