#include "ui/prefsdialog.h"

#include "base/identity.h"
#include "base/specialfolder.h"
#include "settings/appsettings.h"
#include "settings/languagemanager.h"
#include "settings/runonstartup.h"
#include "ui/syncprefspage.h"
#include "ui/trayicon.h"
#include "widgets/dialogframe.h"
#include "widgets/focusiconcatalogue.h"

#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

namespace {

QCheckBox* checkBox(QWidget* parent, bool checked, bool visible, const char* name)
{
    auto* box = new QCheckBox(parent);
    box->setObjectName(QLatin1String(name));
    box->setChecked(checked);
    box->setVisible(visible);
    return box;
}

} // namespace

PrefsDialog::PrefsDialog(QWidget* parent, sync::SyncService* syncService)
    : LocalizedDialog(parent, dialogWindowFlags())
    , m_languages(languageManager()->availableLanguages())
{
    setObjectName(QStringLiteral("prefsDialog"));
    // Modal to the main window only, so that the tray menu stays usable (Exit among others).
    setWindowModality(Qt::WindowModal);
    const AppSettings* settings = AppSettings::settings();

    const DialogFrame frame = buildDialogFrame(this);
    auto* contentLayout = new QVBoxLayout(frame.content);
    contentLayout->setContentsMargins(12, 12, 12, 12);
    m_tabs = new QTabWidget(frame.content);
    m_tabs->setObjectName(QStringLiteral("prefsTabs"));
    m_tabs->setIconSize(QSize(24, 24));
    contentLayout->addWidget(m_tabs, 1);

    auto* page = new QWidget(m_tabs);
    page->setObjectName(QStringLiteral("generalPage"));
    page->setMinimumSize(300, 200);
    auto* pageLayout = new QVBoxLayout(page);
    m_notifications = checkBox(page, settings->showNotifications(), notificationsSupported(TrayIcon::hostAvailable()),
                               "notificationsCheck");
    m_runAtStartup = checkBox(page, settings->runOnSystemStartup(), isRunOnStartupSupported(), "runAtStartupCheck");
    m_openWindow = checkBox(page, settings->openWindowOnStartup(), true, "openWindowCheck");
    pageLayout->addWidget(m_notifications);
    pageLayout->addWidget(m_runAtStartup);
    pageLayout->addWidget(m_openWindow);
    pageLayout->addSpacing(10);
    m_languageLabel = new QLabel(page);
    m_languageLabel->setObjectName(QStringLiteral("languageLabel"));
    pageLayout->addWidget(m_languageLabel);
    m_languageCombo = new QComboBox(page);
    m_languageCombo->setObjectName(QStringLiteral("languageCombo"));
    m_languageCombo->setEditable(false);
    m_languageLabel->setBuddy(m_languageCombo);
    const QString current = languageManager()->currentLanguage();
    for (const QString& language : qAsConst(m_languages)) {
        m_languageCombo->addItem(LanguageManager::displayName(language), language);
        if (language == current)
            m_languageCombo->setCurrentIndex(m_languageCombo->count() - 1);
    }
    pageLayout->addWidget(m_languageCombo);
    pageLayout->addStretch();
    m_tabs->addTab(page, focusIconByKey(QStringLiteral("inbox")), QString());
    if (syncService) {
        m_syncPage = new SyncPrefsPage(syncService, m_tabs);
        m_tabs->addTab(m_syncPage, focusIconByKey(QStringLiteral("internet")), QString());
    }

    connect(m_notifications, &QCheckBox::stateChanged, this, &PrefsDialog::_notificationsStateChanged);
    connect(m_runAtStartup, &QCheckBox::stateChanged, this, &PrefsDialog::_runAtStartupStateChanged);
    connect(m_openWindow, &QCheckBox::stateChanged, this, &PrefsDialog::_openWindowStateChanged);
    connect(m_languageCombo, qOverload<int>(&QComboBox::currentIndexChanged), this, &PrefsDialog::_onLanguageChanged);

    frame.buttons->addStretch();
    m_okButton = addDialogButton(this, frame.buttons, "okButton", true);
    connect(m_okButton, &QPushButton::clicked, this, &QDialog::accept);

    retranslateUi();
}

PrefsDialog::~PrefsDialog()
{
    if (m_changed)
        AppSettings::settings()->save(settingsFilePath());
}

void PrefsDialog::retranslateUi()
{
    setWindowTitle(tr("%1 Preferences").arg(productName()));
    m_tabs->setTabText(0, tr("General"));
    m_notifications->setText(tr("Show notifications"));
    m_runAtStartup->setText(tr("Run on system startup"));
    m_openWindow->setText(tr("Open window on startup"));
    m_languageLabel->setText(tr("Language"));
    m_okButton->setText(tr("OK"));
    if (m_syncPage) {
        m_tabs->setTabText(m_tabs->indexOf(m_syncPage), tr("Sync"));
        m_syncPage->retranslateUi();
    }
    // Longer texts in another language must still fit.
    _fitSize();
}

void PrefsDialog::_fitSize()
{
    // Wrapped lines (a complaint beside a field, the sync status) need the height they take
    // at the dialog's width, which the minimum size does not count.
    QSize fitting = minimumSizeHint();
    if (layout()->hasHeightForWidth())
        fitting.setHeight(qMax(fitting.height(), layout()->totalHeightForWidth(fitting.width())));
    if (size() != fitting || minimumSize() != fitting || maximumSize() != fitting)
        setFixedSize(fitting);
}

void PrefsDialog::showPage(PrefsPage page)
{
    m_tabs->setCurrentIndex(page == PrefsPage::Sync && m_syncPage ? m_tabs->indexOf(m_syncPage) : 0);
}

void PrefsDialog::accept()
{
    if (m_syncPage && m_syncPage->isChanged() && !m_syncPage->apply()) {
        m_tabs->setCurrentWidget(m_syncPage);
        return;
    }
    LocalizedDialog::accept();
}

bool PrefsDialog::event(QEvent* event)
{
    const bool handled = LocalizedDialog::event(event);
    // A complaint beside a field of the sync page makes the page taller: the fixed size follows.
    if (event->type() == QEvent::LayoutRequest)
        _fitSize();
    return handled;
}

void PrefsDialog::_onLanguageChanged(int languageIdx)
{
    if (languageIdx < 0 || languageIdx >= m_languages.size())
        return;
    m_changed = true;
    if (languageManager()->setLanguage(m_languages.at(languageIdx)))
        languageManager()->storeCurrentLanguage();
}

void PrefsDialog::_notificationsStateChanged(int state)
{
    m_changed = true;
    AppSettings::settings()->setShowNotifications(state == Qt::Checked);
}

void PrefsDialog::_runAtStartupStateChanged(int state)
{
    m_changed = true;
    const bool on = state == Qt::Checked;
    AppSettings::settings()->setRunOnSystemStartup(on);
    setRunOnStartup(on);
}

void PrefsDialog::_openWindowStateChanged(int state)
{
    m_changed = true;
    AppSettings::settings()->setOpenWindowOnStartup(state == Qt::Checked);
}
