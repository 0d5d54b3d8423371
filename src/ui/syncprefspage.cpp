#include "ui/syncprefspage.h"

#include "base/specialfolder.h"
#include "core/taskcore.h"
#include "settings/appsettings.h"
#include "store/taskstorage.h"
#include "sync/syncaccount.h"
#include "sync/syncservice.h"
#include "ui/groupname.h"
#include "ui/syncaccountchange.h"
#include "widgets/colorscheme.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
#include <QSpinBox>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {

constexpr int MinIntervalMinutes = 1;
constexpr int MaxIntervalMinutes = 240;

QString listName(const sync::PairedList& list)
{
    QString name = list.name;
    if (name.isEmpty()) {
        const QStringList segments = list.url.path().split(QLatin1Char('/'), Qt::SkipEmptyParts);
        name = segments.isEmpty() ? list.url.host() : segments.last();
    }
    return QStringLiteral("%1 (%2)").arg(name, list.url.host());
}

} // namespace

SyncPrefsPage::SyncPrefsPage(sync::SyncService* service, QWidget* parent)
    : QWidget(parent)
    , m_service(service)
{
    setObjectName(QStringLiteral("syncPage"));
    auto* layout = new QVBoxLayout(this);
    auto* form = new QFormLayout;
    form->setFieldGrowthPolicy(QFormLayout::AllNonFixedFieldsGrow);
    layout->addLayout(form);

    const auto addField = [this, form](QLabel** label, QLineEdit** field, QLabel** error, const char* name) {
        *label = new QLabel(this);
        *field = new QLineEdit(this);
        (*field)->setObjectName(QLatin1String(name));
        (*label)->setBuddy(*field);
        form->addRow(*label, *field);
        *error = _errorLabel((QByteArray(name) + "Error").constData());
        form->addRow(QString(), *error);
    };
    addField(&m_serverLabel, &m_server, &m_serverError, "serverEdit");
    m_server->setMinimumWidth(fontMetrics().averageCharWidth() * 44);
    addField(&m_userLabel, &m_user, &m_userError, "userEdit");
    addField(&m_passwordLabel, &m_password, &m_passwordError, "passwordEdit");
    m_password->setEchoMode(QLineEdit::Password);

    m_intervalLabel = new QLabel(this);
    m_interval = new QSpinBox(this);
    m_interval->setObjectName(QStringLiteral("intervalSpin"));
    m_interval->setRange(MinIntervalMinutes, MaxIntervalMinutes);
    m_intervalLabel->setBuddy(m_interval);
    auto* intervalRow = new QHBoxLayout;
    intervalRow->addWidget(m_interval);
    intervalRow->addStretch();
    form->addRow(m_intervalLabel, intervalRow);

    auto* statusRow = new QHBoxLayout;
    auto* statusText = new QVBoxLayout;
    m_status = new QLabel(this);
    m_status->setObjectName(QStringLiteral("syncStatus"));
    m_status->setWordWrap(true);
    m_status->setTextFormat(Qt::PlainText);
    m_counts = new QLabel(this);
    m_counts->setObjectName(QStringLiteral("syncCounts"));
    m_counts->setWordWrap(true);
    m_counts->setTextFormat(Qt::PlainText);
    statusText->addWidget(m_status);
    statusText->addWidget(m_counts);
    m_syncNow = new QPushButton(this);
    m_syncNow->setObjectName(QStringLiteral("syncNowButton"));
    m_syncNow->setAutoDefault(false);
    statusRow->addLayout(statusText, 1);
    statusRow->addWidget(m_syncNow, 0, Qt::AlignTop);
    layout->addSpacing(6);
    layout->addLayout(statusRow);

    m_pairsLabel = new QLabel(this);
    m_pairs = new QTreeWidget(this);
    m_pairs->setObjectName(QStringLiteral("pairList"));
    m_pairs->setColumnCount(2);
    m_pairs->setRootIsDecorated(false);
    m_pairs->setSelectionMode(QAbstractItemView::NoSelection);
    m_pairs->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_pairs->setTextElideMode(Qt::ElideMiddle);
    m_pairs->header()->setSectionResizeMode(QHeaderView::Stretch);
    m_pairs->setMinimumHeight(fontMetrics().height() * 5);
    m_pairsLabel->setBuddy(m_pairs);
    m_noPairs = new QLabel(this);
    m_noPairs->setObjectName(QStringLiteral("noPairs"));
    m_noPairs->setWordWrap(true);
    layout->addSpacing(6);
    layout->addWidget(m_pairsLabel);
    layout->addWidget(m_pairs, 1);
    layout->addWidget(m_noPairs);

    setTabOrder(m_server, m_user);
    setTabOrder(m_user, m_password);
    setTabOrder(m_password, m_interval);
    setTabOrder(m_interval, m_syncNow);
    setTabOrder(m_syncNow, m_pairs);

    connect(m_syncNow, &QPushButton::clicked, this, &SyncPrefsPage::_onSyncNow);
    // A correction clears the complaint about the field.
    connect(m_server, &QLineEdit::textEdited, m_serverError, &QWidget::hide);
    connect(m_user, &QLineEdit::textEdited, m_userError, &QWidget::hide);
    connect(m_password, &QLineEdit::textEdited, m_passwordError, &QWidget::hide);
    connect(m_interval, qOverload<int>(&QSpinBox::valueChanged), this, &SyncPrefsPage::_updateSuffix);
    // Until the user edits a field, the page follows the account in effect (it may change
    // while the page is open: the password prompt, the command line).
    const auto edited = [this] {
        if (!m_loading)
            m_edited = true;
    };
    for (QLineEdit* field : {m_server, m_user, m_password})
        connect(field, &QLineEdit::textChanged, this, edited);
    connect(m_interval, qOverload<int>(&QSpinBox::valueChanged), this, edited);
    if (m_service) {
        connect(m_service, &sync::SyncService::statusChanged, this, &SyncPrefsPage::_updateStatus);
        connect(m_service, &sync::SyncService::passFinished, this, &SyncPrefsPage::_updateStatus);
    }
    _loadAccount();
    retranslateUi();
}

QLabel* SyncPrefsPage::_errorLabel(const char* name)
{
    auto* label = new QLabel(this);
    label->setObjectName(QLatin1String(name));
    label->setWordWrap(true);
    label->setTextFormat(Qt::PlainText);
    label->setMargin(3);
    label->setAutoFillBackground(true);
    setSchemeColor(label, QPalette::Window, ColorScheme::DueNow);
    setSchemeColor(label, QPalette::WindowText, ColorScheme::RowText);
    label->hide();
    return label;
}

void SyncPrefsPage::_loadAccount()
{
    const AppSettings* settings = AppSettings::settings();
    m_loading = true;
    m_server->setText(settings->syncServer().toString());
    m_user->setText(settings->syncUser());
    m_password->clear();
    m_password->setPlaceholderText(settings->syncServer().isEmpty() ? QString() : tr("Stored: leave empty to keep it"));
    m_interval->setValue(qBound(MinIntervalMinutes, settings->syncIntervalMinutes(), MaxIntervalMinutes));
    m_loading = false;
    m_edited = false;
    for (QLabel* error : {m_serverError, m_userError, m_passwordError})
        error->hide();
}

void SyncPrefsPage::retranslateUi()
{
    m_serverLabel->setText(tr("&Server address:"));
    m_server->setPlaceholderText(tr("example.org or https://example.org/dav/tasks/"));
    m_server->setToolTip(tr("The address of a task list, or just the server's name. Empty: sync is off."));
    m_userLabel->setText(tr("&User name:"));
    m_passwordLabel->setText(tr("&Password:"));
    m_password->setPlaceholderText(AppSettings::settings()->syncServer().isEmpty() ? QString()
                                                                                   : tr("Stored: leave empty to keep it"));
    m_intervalLabel->setText(tr("Sync &every:"));
    _updateSuffix();
    m_syncNow->setText(tr("Sync &now"));
    m_pairsLabel->setText(tr("&Groups and the server lists they sync with:"));
    m_pairs->setHeaderLabels({tr("Group"), tr("Server list")});
    m_noPairs->setText(tr("No group syncs with a server list yet: the first sync pairs them."));
    _updateStatus();
}

bool SyncPrefsPage::isChanged() const
{
    if (!m_edited)
        return false;
    const AppSettings* settings = AppSettings::settings();
    if (m_interval->value() != settings->syncIntervalMinutes() || !m_password->text().isEmpty()
        || m_user->text().trimmed() != settings->syncUser())
        return true;
    const QString typed = m_server->text().trimmed();
    if (typed.isEmpty() || settings->syncServer().isEmpty())
        return typed.isEmpty() != settings->syncServer().isEmpty();
    QString error;
    return sync::SyncAccount::fromUserInput(typed, &error) != settings->syncServer();
}

void SyncPrefsPage::_showError(QLineEdit* field, QLabel* error, const QString& text)
{
    error->setText(text);
    error->show();
    field->setAccessibleDescription(text);
    field->setFocus();
}

bool SyncPrefsPage::_validate(QUrl* server)
{
    const AppSettings* settings = AppSettings::settings();
    for (QLineEdit* field : {m_server, m_user, m_password})
        field->setAccessibleDescription(QString());
    if (m_server->text().trimmed().isEmpty()) {
        *server = QUrl();
        return true;
    }
    QString error;
    *server = sync::SyncAccount::fromUserInput(m_server->text(), &error);
    if (!server->isValid()) {
        _showError(m_server, m_serverError, error);
        return false;
    }
    if (m_user->text().trimmed().isEmpty()) {
        _showError(m_user, m_userError, tr("Enter your user name on the server."));
        return false;
    }
    if (m_password->text().isEmpty() && settings->syncServer().isEmpty()) {
        _showError(m_password, m_passwordError, tr("Enter your password on the server."));
        return false;
    }
    return true;
}

bool SyncPrefsPage::apply()
{
    QUrl server;
    if (!_validate(&server))
        return false;
    AppSettings* settings = AppSettings::settings();
    const QString user = m_user->text().trimmed();
    const bool accountChanged =
        server != settings->syncServer() || (!server.isEmpty() && (user != settings->syncUser() || !m_password->text().isEmpty()));
    if (m_interval->value() != settings->syncIntervalMinutes()) {
        settings->setSyncIntervalMinutes(m_interval->value());
        if (m_service)
            m_service->setIntervalMs(m_interval->value() * 60 * 1000);
        // The account change writes the settings file itself.
        if (!accountChanged)
            settings->save(settingsFilePath());
    }
    if (accountChanged && m_service) {
        SyncAccountChange::apply(window()->parentWidget() ? window()->parentWidget() : window(), m_service, server, user,
                                 m_password->text(), m_password->text().isEmpty());
    }
    // Shows what is in effect now: the address as it is kept, no password.
    _loadAccount();
    _updateStatus();
    return true;
}

void SyncPrefsPage::_updateSuffix()
{
    const int minutes = m_interval->value();
    // English needs its own singular, which the source language has no catalogue for.
    m_interval->setSuffix(minutes == 1 ? tr(" minute", "sync interval", minutes) : tr(" minutes", "sync interval", minutes));
}

void SyncPrefsPage::_onSyncNow()
{
    if (!m_service)
        return;
    if (isChanged())
        apply();
    else
        m_service->syncNow();
}

void SyncPrefsPage::_updateStatus()
{
    if (!m_edited)
        _loadAccount();
    const bool configured = m_service && m_service->isConfigured();
    m_syncNow->setEnabled(configured && !m_service->isSyncing());
    m_status->setText(m_service ? m_service->statusText() : tr("Sync is off"));
    QString counts;
    if (configured && m_service->status() == sync::SyncService::Status::Synced) {
        const sync::SyncOutcome& outcome = m_service->lastOutcome();
        counts = tr("Received %1, sent %2, conflicts %3, skipped objects %4")
                     .arg(outcome.received)
                     .arg(outcome.sent)
                     .arg(outcome.conflicts)
                     .arg(outcome.skipped);
    } else if (configured && m_service->lastSynced().isValid()) {
        counts = tr("Last synced: %1").arg(QLocale().toString(m_service->lastSynced(), QLocale::ShortFormat));
    }
    m_counts->setText(counts);
    m_counts->setVisible(!counts.isEmpty());
    _fillPairs();
}

void SyncPrefsPage::_fillPairs()
{
    m_pairs->clear();
    const auto storage = TaskCore::instance()->storage();
    if (m_service && storage) {
        for (const sync::PairedList& list : m_service->lastOutcome().lists) {
            if (!storage->groupIds().contains(list.group))
                continue;
            auto* item = new QTreeWidgetItem(m_pairs, {shownGroupName(storage->group(list.group)), listName(list)});
            item->setToolTip(1, list.url.toDisplayString());
        }
    }
    const bool any = m_pairs->topLevelItemCount() > 0;
    m_noPairs->setVisible(!any && m_service && m_service->isConfigured());
}
