#include "ui/euladialog.h"

#include "base/identity.h"
#include "widgets/colorscheme.h"
#include "widgets/dialogframe.h"
#include "widgets/fancyscrollbar.h"

#include <QFile>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QTextEdit>
#include <QVBoxLayout>

EulaDialog::EulaDialog(QWidget* parent, const QString& html, bool acceptRejectMode)
    : LocalizedDialog(parent, dialogWindowFlags())
    , m_acceptRejectMode(acceptRejectMode)
{
    setObjectName(QStringLiteral("eulaDialog"));
    const DialogFrame frame = buildDialogFrame(this);
    auto* layout = new QVBoxLayout(frame.content);
    layout->setContentsMargins(12, 12, 12, 12);
    layout->setSpacing(8);

    m_hint = new QLabel(frame.content);
    m_hint->setObjectName(QStringLiteral("eulaHint"));
    m_hint->setWordWrap(true);
    m_view = new QTextEdit(frame.content);
    m_view->setObjectName(QStringLiteral("eulaText"));
    m_view->setReadOnly(true);
    m_view->setAcceptRichText(true);
    m_view->setWordWrapMode(QTextOption::WordWrap);
    setSchemeColor(m_view, QPalette::Base, ColorScheme::DialogBackground);
    setSchemeColor(m_view, QPalette::Text, ColorScheme::EditText);
    m_view->setHorizontalScrollBar(new FancyScrollbar(Qt::Horizontal, m_view));
    m_view->setVerticalScrollBar(new FancyScrollbar(Qt::Vertical, m_view));
    m_view->setHtml(html);
    layout->addWidget(m_hint);
    layout->addWidget(m_view, 1);

    frame.buttons->addStretch();
    if (acceptRejectMode) {
        m_acceptButton = addDialogButton(this, frame.buttons, "acceptButton");
        m_rejectButton = addDialogButton(this, frame.buttons, "rejectButton", true);
        connect(m_acceptButton, &QPushButton::clicked, this, &QDialog::accept);
        connect(m_rejectButton, &QPushButton::clicked, this, &QDialog::reject);
    } else {
        m_okButton = addDialogButton(this, frame.buttons, "okButton", true);
        connect(m_okButton, &QPushButton::clicked, this, &QDialog::accept);
    }
    retranslateUi();
    setFixedSize(490, 410);
}

void EulaDialog::retranslateUi()
{
    setWindowTitle(tr("%1 License Agreement").arg(productName()));
    m_hint->setText(tr("Scroll down to read the rest of the license agreement."));
    if (m_acceptRejectMode) {
        m_acceptButton->setText(tr("Accept"));
        m_rejectButton->setText(tr("Reject"));
    } else {
        m_okButton->setText(tr("OK"));
    }
}

QString EulaDialog::licenseText(const QString& resource)
{
    QFile file(resource);
    if (!file.open(QIODevice::ReadOnly))
        return tr("Unable to read a license file. Please, report this issue.");
    QString text = QString::fromUtf8(file.readAll());
    text.replace(QLatin1String("_APP_"), productName());
    text.replace(QLatin1String("_COMP_"), companyName());
    return text;
}
