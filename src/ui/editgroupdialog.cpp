#include "ui/editgroupdialog.h"

#include "ui/accessibility.h"
#include "ui/selecticonwidget.h"
#include "widgets/dialogframe.h"
#include "widgets/fancylineedit.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

const int kAttemptsBeforeJoke = 10;

EditGroupDialog::MessageHook& messageHook()
{
    static EditGroupDialog::MessageHook hook;
    return hook;
}

} // namespace

EditGroupDialog::EditGroupDialog(QWidget* parent)
    : QDialog(parent)
    , m_newGroup(true)
{
    buildUi();
}

EditGroupDialog::EditGroupDialog(const QString& name, const QString& iconKey, QWidget* parent)
    : QDialog(parent)
    , m_typedName(name)
{
    buildUi();
    m_nameEdit->setText(name);
    // The icon the group shows is preselected: a group without a key shows the yellow star.
    m_originalKey = iconKey;
    m_chooser->setCurrentIcon(iconKey.isEmpty() ? QStringLiteral("star_yellow") : iconKey);
    m_shownKey = m_chooser->currentIcon();
}

void EditGroupDialog::buildUi()
{
    setWindowFlags(dialogWindowFlags());

    const DialogFrame frame = buildDialogFrame(this);
    QWidget* content = frame.content;
    auto* contentLayout = new QVBoxLayout(content);
    contentLayout->setContentsMargins(25, 20, 25, 30);

    auto* iconLabel = m_iconLabel = new QLabel(content);
    iconLabel->setTextFormat(Qt::RichText);
    m_chooser = new SelectIconWidget(content);
    m_chooser->setObjectName(QStringLiteral("iconChooser"));
    auto* nameLabel = m_nameLabel = new QLabel(content);
    nameLabel->setTextFormat(Qt::RichText);
    m_nameEdit = new FancyLineEdit(content);
    m_nameEdit->setObjectName(QStringLiteral("groupNameEdit"));
    m_nameEdit->setMinimumWidth(300);
    iconLabel->setBuddy(m_chooser);
    nameLabel->setBuddy(m_nameEdit);

    contentLayout->addWidget(iconLabel);
    contentLayout->addWidget(m_chooser);
    contentLayout->addSpacing(10);
    contentLayout->addWidget(nameLabel);
    contentLayout->addWidget(m_nameEdit);

    QHBoxLayout* buttons = frame.buttons;
    buttons->setContentsMargins(25, 10, 25, 10);
    buttons->addStretch();
    auto* okButton = m_okButton = new QPushButton(this);
    okButton->setObjectName(QStringLiteral("okButton"));
    okButton->setDefault(true);
    auto* cancelButton = m_cancelButton = new QPushButton(this);
    cancelButton->setObjectName(QStringLiteral("cancelButton"));
    buttons->addWidget(okButton);
    buttons->addWidget(cancelButton);

    connect(okButton, &QPushButton::clicked, this, &EditGroupDialog::accept);
    connect(cancelButton, &QPushButton::clicked, this, &EditGroupDialog::reject);
    connect(m_nameEdit, &QLineEdit::textEdited, this, &EditGroupDialog::_onTextEdited);
    connect(m_chooser, &SelectIconWidget::iconChanged, this, &EditGroupDialog::_onIconChanged);
    connect(m_chooser, &SelectIconWidget::iconDoubleClicked, this, &EditGroupDialog::_onIconDoubleClicked);

    m_nameEdit->setFocus();
    _retranslate();
}

void EditGroupDialog::_retranslate()
{
    setWindowTitle(m_newGroup ? tr("New group") : tr("Group properties"));
    m_iconLabel->setText(tr("<strong>Icon selection</strong>"));
    m_nameLabel->setText(tr("<strong>Group name</strong>"));
    nameByLabel(m_chooser, m_iconLabel);
    nameByLabel(m_nameEdit, m_nameLabel);
    m_okButton->setText(tr("OK"));
    m_cancelButton->setText(tr("Cancel"));
    setFixedSize(minimumSizeHint());
}

void EditGroupDialog::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::LanguageChange)
        _retranslate();
    QDialog::changeEvent(event);
}

QString EditGroupDialog::groupName() const
{
    return m_nameEdit->text();
}

QString EditGroupDialog::iconKey() const
{
    // The key stays as it was unless another icon was picked.
    const QString current = m_chooser->currentIcon();
    return current == m_shownKey ? m_originalKey : current;
}

void EditGroupDialog::setMessageHook(MessageHook hook)
{
    messageHook() = std::move(hook);
}

QMessageBox::StandardButton EditGroupDialog::showCritical(const QString& text, QMessageBox::StandardButtons buttons,
                                                          QMessageBox::StandardButton defaultButton)
{
    if (messageHook())
        return messageHook()(this, windowTitle(), text, buttons, defaultButton);
    return QMessageBox::critical(this, windowTitle(), text, buttons, defaultButton);
}

void EditGroupDialog::accept()
{
    if (!m_nameEdit->text().trimmed().isEmpty()) {
        QDialog::accept();
        return;
    }
    ++m_emptyNameAttempts;
    if (m_emptyNameAttempts < kAttemptsBeforeJoke) {
        showCritical(tr("Please enter a group name to continue..."), QMessageBox::Ok, QMessageBox::NoButton);
    } else {
        m_emptyNameAttempts = 0;
        showCritical(tr("Ok, now we all know that you're funny! Wanna play a real game?"),
                     QMessageBox::Yes | QMessageBox::No, QMessageBox::Yes);
    }
    m_nameEdit->setFocus();
}

void EditGroupDialog::_onTextEdited(const QString& groupNameText)
{
    m_typedName = groupNameText;
}

void EditGroupDialog::_onIconChanged(const QString& iconKeyName)
{
    if (m_typedName.isEmpty())
        m_nameEdit->setText(m_chooser->iconName(iconKeyName));
}

void EditGroupDialog::_onIconDoubleClicked(const QString& iconKeyName)
{
    _onIconChanged(iconKeyName);
    accept();
}
