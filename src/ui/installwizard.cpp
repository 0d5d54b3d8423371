#include "ui/installwizard.h"

#include "base/identity.h"
#include "install/installworker.h"
#include "settings/appsettings.h"
#include "ui/euladialog.h"
#include "ui/questionbox.h"

#include <QCheckBox>
#include <QEvent>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

enum InstallPage { Welcome = 0, Options = 2, InstallProgress = 3 };
enum UninstallPage { UninstallOptions = 0, UninstallProgress = 1 };

WizardMessageHook& messageHook()
{
    static WizardMessageHook hook;
    return hook;
}

LicenceHook& licenceHook()
{
    static LicenceHook hook;
    return hook;
}

void showMessage(QWidget* parent, QMessageBox::Icon icon, const QString& title, const QString& text)
{
    if (messageHook()) {
        messageHook()(parent, icon, title, text);
        return;
    }
    QMessageBox box(icon, title, text, QMessageBox::Ok, parent);
    box.exec();
}

bool licenceAccepted(QWidget* parent)
{
    const QString html = EulaDialog::licenseText();
    if (licenceHook())
        return licenceHook()(parent, html);
    EulaDialog dialog(parent, html, true);
    return dialog.exec() > 0;
}

QCheckBox* checkBox(QWidget* parent, QVBoxLayout* layout, bool checked, const char* name)
{
    auto* box = new QCheckBox(parent);
    box->setObjectName(QLatin1String(name));
    box->setChecked(checked);
    layout->addWidget(box);
    return box;
}

// Back everywhere but on the first page; Next and Cancel off while the worker runs.
void showButtonsFor(FancyWizard* wizard, int id, int firstId, int progressId)
{
    wizard->backButton()->setVisible(id != firstId);
    wizard->nextButton()->setEnabled(id != progressId);
    wizard->cancelButton()->setEnabled(id != progressId);
}

// Starts the worker with its progress shown on the page `progressId` and its outcome sent to
// `finished`.
template <typename Wizard>
std::unique_ptr<install::InstallWorker> startWorker(Wizard* wizard, bool install, const install::InstallOptions& options,
                                                    const install::InstallPaths& paths, int progressId,
                                                    void (Wizard::*finished)(bool))
{
    auto worker = std::make_unique<install::InstallWorker>(install, options, paths);
    auto* progress = static_cast<InstallProgressPage*>(wizard->pageWidget(progressId));
    QObject::connect(worker.get(), &install::InstallWorker::installProgress, progress,
                     &InstallProgressPage::setProgress, Qt::QueuedConnection);
    QObject::connect(worker.get(), &install::InstallWorker::installFinished, wizard, finished, Qt::QueuedConnection);
    wizard->setCurrentPage(progressId);
    worker->start(QThread::InheritPriority);
    return worker;
}

} // namespace

void setWizardMessageHook(WizardMessageHook hook)
{
    messageHook() = std::move(hook);
}

void setLicenceHook(LicenceHook hook)
{
    licenceHook() = std::move(hook);
}

WelcomePage::WelcomePage(QWidget* parent)
    : BaseWizardPage(parent)
{
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    m_text = new QLabel(this);
    m_text->setObjectName(QStringLiteral("welcomeText"));
    m_text->setTextFormat(Qt::RichText);
    m_text->setWordWrap(true);
    m_text->setOpenExternalLinks(true);
    layout->addWidget(m_text);
    layout->addStretch();
    _retranslate();
}

QString WelcomePage::headerText() const
{
    return heading(tr("Welcome"), tr("Welcome to %1 installation wizard.").arg(productName()));
}

void WelcomePage::_retranslate()
{
    m_text->setText(tr("<p>You are about to install %1.</p><p>%1 is a simple task manager that keeps your tasks in "
                       "focus groups, so that you see what matters now and nothing else.</p><p>Visit "
                       "<a href=\"%2\">%3</a> for more information.</p>")
                        .arg(productName(), webSiteUrl(), webSiteWithoutScheme()));
}

void WelcomePage::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::LanguageChange)
        _retranslate();
    BaseWizardPage::changeEvent(event);
}

InstallOptionsPage::InstallOptionsPage(QWidget* parent)
    : BaseWizardPage(parent)
{
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    m_startMenu = checkBox(this, layout, true, "startMenuCheck");
    m_desktop = checkBox(this, layout, true, "desktopCheck");
    layout->addStretch();
    _retranslate();
}

QString InstallOptionsPage::headerText() const
{
    return heading(tr("Installation options"), tr("Set installation options and continue."));
}

void InstallOptionsPage::_retranslate()
{
    m_startMenu->setText(tr("Start menu items"));
    m_desktop->setText(tr("Desktop icon"));
}

void InstallOptionsPage::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::LanguageChange)
        _retranslate();
    BaseWizardPage::changeEvent(event);
}

UninstallOptionsPage::UninstallOptionsPage(QWidget* parent)
    : BaseWizardPage(parent)
{
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    m_removeData = checkBox(this, layout, false, "removeDataCheck");
    m_removeData->setText(tr("Remove user data"));
    layout->addStretch();
}

QString UninstallOptionsPage::headerText() const
{
    return heading(tr("Uninstall options"), tr("Set uninstall options and continue."));
}

void UninstallOptionsPage::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::LanguageChange)
        m_removeData->setText(tr("Remove user data"));
    BaseWizardPage::changeEvent(event);
}

InstallProgressPage::InstallProgressPage(bool install, QWidget* parent)
    : BaseWizardPage(parent)
    , m_install(install)
{
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    m_step = new QLabel(this);
    m_step->setObjectName(QStringLiteral("stepLabel"));
    m_bar = new QProgressBar(this);
    m_bar->setObjectName(QStringLiteral("progressBar"));
    m_bar->setTextVisible(false);
    m_bar->setRange(0, 0);
    layout->addWidget(m_step);
    layout->addSpacing(10);
    layout->addWidget(m_bar);
    layout->addStretch();
}

QString InstallProgressPage::headerText() const
{
    return m_install
        ? heading(tr("Installation progress"), tr("%1 is being installed, wait for it to finish.").arg(productName()))
        : heading(tr("Uninstallation progress"), tr("%1 is being uninstalled, wait for it to finish.").arg(productName()));
}

void InstallProgressPage::setProgress(int step, int totalSteps, const QString& stepMessage)
{
    m_bar->setMaximum(totalSteps);
    m_bar->setValue(step);
    m_step->setText(stepMessage);
}

InstallWizard::InstallWizard(const install::InstallPaths& paths, QWidget* parent)
    : FancyWizard(parent)
    , m_paths(paths)
{
    setObjectName(QStringLiteral("installWizard"));
    addPage(Welcome, new WelcomePage(this));
    addPage(Options, new InstallOptionsPage(this));
    addPage(InstallProgress, new InstallProgressPage(true, this));
    setCurrentPage(Welcome);
    retranslateUi();
}

InstallWizard::~InstallWizard() = default;

void InstallWizard::retranslateUi()
{
    FancyWizard::retranslateUi();
    setWindowTitle(tr("Install %1").arg(productName()));
    fitSize();
}

void InstallWizard::pageChanged(int id)
{
    showButtonsFor(this, id, Welcome, InstallProgress);
}

void InstallWizard::goNext()
{
    if (currentPageId() == Welcome) {
        if (licenceAccepted(this))
            setCurrentPage(Options);
        else
            reject();
    } else if (currentPageId() == Options) {
        auto* options = static_cast<InstallOptionsPage*>(pageWidget(Options));
        install::InstallOptions chosen;
        chosen.m_createStartMenuItems = options->startMenuBox()->isChecked();
        chosen.m_createDesktopIcon = options->desktopBox()->isChecked();
        chosen.m_runOnSystemStartup = AppSettings::settings()->runOnSystemStartup();
        m_worker = startWorker(this, true, chosen, m_paths, InstallProgress, &InstallWizard::_onInstallFinished);
    }
}

void InstallWizard::goBack()
{
    if (currentPageId() == Options)
        setCurrentPage(Welcome);
}

void InstallWizard::reject()
{
    // The installation cannot be stopped once it runs.
    if (currentPageId() == InstallProgress)
        return;
    if (QuestionBox::ask(this, windowTitle(), tr("Do you really want to cancel the installation?"),
                         QMessageBox::Yes | QMessageBox::No, QMessageBox::No)
        == QMessageBox::Yes)
        QDialog::reject();
}

void InstallWizard::_onInstallFinished(bool res)
{
    m_installSucceeded = res;
    if (res)
        showMessage(this, QMessageBox::Information, windowTitle(),
                    tr("%1 was successfully installed!").arg(productName()));
    else
        showMessage(this, QMessageBox::Critical, windowTitle(), tr("Sorry! Installation failed for some reason."));
    accept();
}

UninstallWizard::UninstallWizard(const install::InstallPaths& paths, QWidget* parent)
    : FancyWizard(parent)
    , m_paths(paths)
{
    setObjectName(QStringLiteral("uninstallWizard"));
    addPage(UninstallOptions, new UninstallOptionsPage(this));
    addPage(UninstallProgress, new InstallProgressPage(false, this));
    setCurrentPage(UninstallOptions);
    retranslateUi();
}

UninstallWizard::~UninstallWizard() = default;

void UninstallWizard::retranslateUi()
{
    FancyWizard::retranslateUi();
    setWindowTitle(tr("Uninstall %1").arg(productName()));
    fitSize();
}

void UninstallWizard::pageChanged(int id)
{
    showButtonsFor(this, id, UninstallOptions, UninstallProgress);
}

void UninstallWizard::goNext()
{
    if (currentPageId() != UninstallOptions)
        return;
    install::InstallOptions chosen;
    chosen.m_removeUserData = static_cast<UninstallOptionsPage*>(pageWidget(UninstallOptions))->removeDataBox()->isChecked();
    m_worker = startWorker(this, false, chosen, m_paths, UninstallProgress, &UninstallWizard::_onUninstallFinished);
}

void UninstallWizard::_onUninstallFinished(bool)
{
    accept();
}

int runInstallWizard(QWidget* parent)
{
    // "Run on system startup" as the user left it; a first installation finds the default.
    AppSettings::settings()->load(AppSettings::settingsFilePath());
    InstallWizard wizard(install::InstallPaths::forThisUser(), parent);
    wizard.exec();
    return wizard.installSucceeded() ? 0 : 1;
}

int runUninstallWizard(QWidget* parent)
{
    UninstallWizard wizard(install::InstallPaths::forThisUser(), parent);
    wizard.exec();
    return 0;
}
