#pragma once

#include "sync/syncservice.h"
#include <QPointer>
#include <QUrl>
#include <QWidget>

class QLabel;
class QLineEdit;
class QPushButton;
class QSpinBox;
class QTreeWidget;

/// The Sync page of the preferences: the account (server address, user name, password), the
/// interval, "Sync now", how the last sync went and which groups sync with which server lists.
/// The password is never shown back: an empty field keeps the stored one.
class SyncPrefsPage : public QWidget
{
    Q_OBJECT
public:
    SyncPrefsPage(sync::SyncService* service, QWidget* parent = nullptr);

    /// Whether the fields differ from the account and interval in effect.
    bool isChanged() const;
    /// Puts the fields into effect (the account is kept and synced asynchronously; warnings
    /// come in a message box over the main window). False, with the reason beside the field,
    /// when a field is not valid: nothing changed then.
    bool apply();
    void retranslateUi();

private Q_SLOTS:
    void _onSyncNow();
    void _updateStatus();
    void _updateSuffix();

private:
    void _loadAccount();
    bool _validate(QUrl* server);
    void _showError(QLineEdit* field, QLabel* error, const QString& text);
    void _fillPairs();
    QLabel* _errorLabel(const char* name);

    QPointer<sync::SyncService> m_service;
    QLabel* m_serverLabel = nullptr;
    QLineEdit* m_server = nullptr;
    QLabel* m_serverError = nullptr;
    QLabel* m_userLabel = nullptr;
    QLineEdit* m_user = nullptr;
    QLabel* m_userError = nullptr;
    QLabel* m_passwordLabel = nullptr;
    QLineEdit* m_password = nullptr;
    QLabel* m_passwordError = nullptr;
    QLabel* m_intervalLabel = nullptr;
    QSpinBox* m_interval = nullptr;
    QLabel* m_status = nullptr;
    QLabel* m_counts = nullptr;
    QPushButton* m_syncNow = nullptr;
    QLabel* m_pairsLabel = nullptr;
    QTreeWidget* m_pairs = nullptr;
    QLabel* m_noPairs = nullptr;
    bool m_loading = false;
    bool m_edited = false;
};
