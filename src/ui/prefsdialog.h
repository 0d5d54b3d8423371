#pragma once

#include "widgets/localizeddialog.h"

#include <QPointer>
#include <QStringList>

class QCheckBox;
class QComboBox;
class QLabel;
class QPushButton;
class QTabWidget;
class SyncPrefsPage;

namespace sync {
class SyncService;
}

/// The pages of the preferences.
enum class PrefsPage { General, Sync };

/// The preferences: start with the session, open the window at start, and the interface
/// language, which take effect at once (the settings file is written when the dialog goes
/// away after a change); with a sync service, the sync account, which OK puts into effect.
class PrefsDialog : public LocalizedDialog
{
    Q_OBJECT
public:
    explicit PrefsDialog(QWidget* parent = nullptr, sync::SyncService* syncService = nullptr);
    ~PrefsDialog() override;

    void retranslateUi() override;
    bool isChanged() const { return m_changed; }
    /// Turns to `page` (the General page when there is no such page).
    void showPage(PrefsPage page);
    /// Puts the sync page into effect and closes; stays open when a field is not valid.
    void accept() override;

protected:
    bool event(QEvent* event) override;

private Q_SLOTS:
    void _onLanguageChanged(int languageIdx);
    void _notificationsStateChanged(int state);
    void _runAtStartupStateChanged(int state);
    void _openWindowStateChanged(int state);

private:
    void _fitSize();

    bool m_changed = false;
    QStringList m_languages;
    QPointer<QTabWidget> m_tabs;
    QPointer<QCheckBox> m_notifications;
    QPointer<QCheckBox> m_runAtStartup;
    QPointer<QCheckBox> m_openWindow;
    QPointer<QLabel> m_languageLabel;
    QPointer<QComboBox> m_languageCombo;
    QPointer<QPushButton> m_okButton;
    QPointer<SyncPrefsPage> m_syncPage;
};
