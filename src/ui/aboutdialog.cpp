#include "ui/aboutdialog.h"

#include "base/identity.h"
#include "ui/clockwidget.h"
#include "ui/euladialog.h"
#include "widgets/dialogframe.h"
#include "widgets/linklabel.h"

#include <QCloseEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

QPointer<AboutDialog>& openDialog()
{
    static QPointer<AboutDialog> dialog;
    return dialog;
}

AboutDialog::EulaHook& eulaHook()
{
    static AboutDialog::EulaHook hook;
    return hook;
}

QLabel* textLabel(QLabel* label, int pointSize, const char* name)
{
    label->setObjectName(QLatin1String(name));
    QFont font = label->font();
    font.setPointSize(pointSize);
    label->setFont(font);
    return label;
}

bool newerVersionSeen()
{
    const Version available = availableVersion();
    return available.isValid() && programVersion() < available;
}

} // namespace

AboutDialog::AboutDialog(QWidget* parent)
    : LocalizedDialog(parent, dialogWindowFlags())
{
    setObjectName(QStringLiteral("aboutDialog"));
    // Modal to the main window only, so that the tray menu stays usable (Exit among others).
    setWindowModality(Qt::WindowModal);

    const DialogFrame frame = buildDialogFrame(this);
    auto* row = new QHBoxLayout(frame.content);
    row->setContentsMargins(0, 0, 0, 0);
    auto* column = new QVBoxLayout;
    column->setContentsMargins(15, 25, 15, 25);
    row->addLayout(column, 1);
    m_clock = new ClockWidget(frame.content);
    row->addWidget(m_clock, 0, Qt::AlignVCenter);
    row->addSpacing(10);

    column->addWidget(textLabel(new QLabel(productName(), frame.content), 20, "productLabel"));
    column->addWidget(textLabel(new QLabel(programVersion().toString(), frame.content), 10, "versionLabel"));
    column->addSpacing(20);
    m_legal = textLabel(new QLabel(frame.content), 10, "legalLabel");
    column->addWidget(m_legal);
    m_qtNotice = new LinkLabel(frame.content);
    m_qtNotice->setObjectName(QStringLiteral("qtNotice"));
    m_eulaNotice = new LinkLabel(frame.content);
    m_eulaNotice->setObjectName(QStringLiteral("eulaNotice"));
    for (LinkLabel* label : {m_qtNotice.data(), m_eulaNotice.data()}) {
        label->setTextFormat(Qt::RichText);
        connect(label, &QLabel::linkActivated, this, &AboutDialog::_onLinkClicked);
    }
    column->addWidget(m_qtNotice);
    column->addSpacing(10);
    column->addWidget(m_eulaNotice);
    column->addSpacing(10);
    m_webSite = new QLabel(frame.content);
    m_webSite->setObjectName(QStringLiteral("webSiteLabel"));
    m_webSite->setTextFormat(Qt::RichText);
    m_webSite->setOpenExternalLinks(true);
    column->addWidget(m_webSite);
    column->addSpacing(20);
    column->addStretch();

    if (newerVersionSeen()) {
        m_updateNotice = new LinkLabel(this);
        m_updateNotice->setObjectName(QStringLiteral("updateNotice"));
        m_updateNotice->setTextFormat(Qt::RichText);
        m_updateNotice->setOpenExternalLinks(true);
        frame.buttons->addWidget(m_updateNotice);
    }
    frame.buttons->addStretch();
    m_okButton = addDialogButton(this, frame.buttons, "okButton", true);
    connect(m_okButton, &QPushButton::clicked, this, &QDialog::accept);

    retranslateUi();
}

void AboutDialog::retranslateUi()
{
    setWindowTitle(tr("About %1").arg(productName()));
    m_legal->setText(tr("Copyright © 2026 %1. All rights reserved.").arg(companyName()));
    m_qtNotice->setText(tr("%1 uses <a href=aboutqt>Qt library</a> under GNU LGPL 2.1.").arg(productName()));
    m_eulaNotice->setText(tr("<a href=eula>End-user license agreement</a> used by %1.").arg(productName()));
    m_webSite->setText(tr("%1 web-site <a href=%2>%3</a>.").arg(productName(), webSiteUrl(), webSiteWithoutScheme()));
    if (m_updateNotice)
        m_updateNotice->setText(tr("Update to %1 is available! <a href=\"%2\">Download...</a>")
                                    .arg(availableVersion().toString(), webSiteUrl()));
    m_okButton->setText(tr("OK"));
    // Texts of another language may be longer.
    setFixedSize(minimumSizeHint());
}

void AboutDialog::setEulaHook(EulaHook hook)
{
    eulaHook() = std::move(hook);
}

void AboutDialog::_onLinkClicked(const QString& link)
{
    ++m_nestedDialogs;
    if (link == QLatin1String("aboutqt")) {
        QMessageBox::aboutQt(this, tr("About Qt Library"));
    } else if (link == QLatin1String("eula")) {
        const QString html = EulaDialog::licenseText();
        if (eulaHook()) {
            eulaHook()(this, html);
        } else {
            EulaDialog dialog(this, html, false);
            dialog.exec();
        }
    }
    if (--m_nestedDialogs == 0 && m_releasePending)
        deleteLater();
}

void AboutDialog::_release()
{
    if (openDialog() == this)
        openDialog() = nullptr;
    // A deferred deletion posted inside a nested event loop runs inside that loop.
    if (m_nestedDialogs > 0)
        m_releasePending = true;
    else
        deleteLater();
}

void AboutDialog::closeEvent(QCloseEvent* event)
{
    event->accept();
    _release();
}

void AboutDialog::hideEvent(QHideEvent* event)
{
    event->accept();
    _release();
}

void showAboutDialog(QWidget* parent)
{
    if (AboutDialog* open = openDialog()) {
        open->raise();
        open->activateWindow();
        return;
    }
    auto* dialog = new AboutDialog(parent);
    openDialog() = dialog;
    dialog->show();
}

AboutDialog* openAboutDialog()
{
    return openDialog();
}
