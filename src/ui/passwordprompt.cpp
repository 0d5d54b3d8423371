#include "ui/passwordprompt.h"

#include "base/identity.h"
#include "sync/syncservice.h"
#include "ui/syncaccountchange.h"
#include "widgets/dialogframe.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

QPointer<PasswordPrompt> s_openPrompt;

} // namespace

PasswordPrompt::PasswordPrompt(QWidget* parent, sync::SyncService* service, Reason reason)
    : LocalizedDialog(parent, dialogWindowFlags())
    , m_service(service)
    , m_reason(reason)
{
    setObjectName(QStringLiteral("passwordPrompt"));
    setWindowModality(parent ? Qt::WindowModal : Qt::NonModal);
    setAttribute(Qt::WA_DeleteOnClose);

    const DialogFrame frame = buildDialogFrame(this);
    auto* layout = new QVBoxLayout(frame.content);
    layout->setContentsMargins(16, 16, 16, 16);
    layout->setSpacing(8);
    m_question = new QLabel(frame.content);
    m_question->setObjectName(QStringLiteral("passwordQuestion"));
    m_question->setTextFormat(Qt::PlainText);
    m_question->setWordWrap(true);
    m_password = new QLineEdit(frame.content);
    m_password->setObjectName(QStringLiteral("passwordEdit"));
    m_password->setEchoMode(QLineEdit::Password);
    m_password->setMinimumWidth(260);
    m_question->setBuddy(m_password);
    layout->addWidget(m_question);
    layout->addWidget(m_password);

    frame.buttons->addStretch();
    m_okButton = addDialogButton(this, frame.buttons, "okButton", true);
    m_cancelButton = addDialogButton(this, frame.buttons, "cancelButton");
    connect(m_okButton, &QPushButton::clicked, this, &PasswordPrompt::accept);
    connect(m_cancelButton, &QPushButton::clicked, this, &PasswordPrompt::reject);
    connect(m_password, &QLineEdit::textChanged, this, &PasswordPrompt::_updateButtons);
    retranslateUi();
    _updateButtons();
    m_password->setFocus();
}

PasswordPrompt::~PasswordPrompt()
{
    if (s_openPrompt == this)
        s_openPrompt = nullptr;
}

PasswordPrompt* PasswordPrompt::ask(QWidget* parent, sync::SyncService* service, Reason reason)
{
    if (!service || !service->isConfigured())
        return nullptr;
    if (PasswordPrompt* open = s_openPrompt) {
        open->raise();
        open->activateWindow();
        return open;
    }
    auto* prompt = new PasswordPrompt(parent, service, reason);
    s_openPrompt = prompt;
    prompt->open();
    return prompt;
}

PasswordPrompt* PasswordPrompt::openPrompt()
{
    return s_openPrompt;
}

void PasswordPrompt::retranslateUi()
{
    setWindowTitle(tr("%1 Sync").arg(productName()));
    const QString user = m_service ? m_service->user() : QString();
    const QString host = m_service ? m_service->server().host() : QString();
    m_question->setText(m_reason == Refused
                            ? tr("The server refused the password for %1 at %2. Enter it again:").arg(user, host)
                            : tr("Enter the password for %1 at %2:").arg(user, host));
    m_okButton->setText(tr("OK"));
    m_cancelButton->setText(tr("Cancel"));
    m_password->setAccessibleName(tr("Password"));
}

void PasswordPrompt::accept()
{
    if (m_password->text().isEmpty())
        return;
    if (m_service)
        SyncAccountChange::apply(parentWidget(), m_service, m_service->server(), m_service->user(), m_password->text());
    m_password->clear();
    LocalizedDialog::accept();
}

void PasswordPrompt::_updateButtons()
{
    m_okButton->setEnabled(!m_password->text().isEmpty());
}
