#pragma once

#include "widgets/localizeddialog.h"

#include <QPointer>
#include <QStringList>

class QCheckBox;
class QComboBox;
class QLabel;
class QPushButton;
class QTabWidget;

/// The preferences: start with the session, open the window at start, and the interface
/// language. Every change takes effect at once; the settings file is written when the dialog
/// goes away after a change.
class PrefsDialog : public LocalizedDialog
{
    Q_OBJECT
public:
    explicit PrefsDialog(QWidget* parent = nullptr);
    ~PrefsDialog() override;

    void retranslateUi() override;
    bool isChanged() const { return m_changed; }

private Q_SLOTS:
    void _onLanguageChanged(int languageIdx);
    void _notificationsStateChanged(int state);
    void _runAtStartupStateChanged(int state);
    void _openWindowStateChanged(int state);

private:
    bool m_changed = false;
    QStringList m_languages;
    QPointer<QTabWidget> m_tabs;
    QPointer<QCheckBox> m_notifications;
    QPointer<QCheckBox> m_runAtStartup;
    QPointer<QCheckBox> m_openWindow;
    QPointer<QLabel> m_languageLabel;
    QPointer<QComboBox> m_languageCombo;
    QPointer<QPushButton> m_okButton;
};
