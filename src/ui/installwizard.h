#pragma once

#include "install/installoptions.h"
#include "ui/fancywizard.h"

#include <QMessageBox>

#include <functional>
#include <memory>

class QCheckBox;
class QLabel;
class QProgressBar;

namespace install {
class InstallWorker;
}

/// Welcome: what is about to be installed.
class WelcomePage : public BaseWizardPage
{
    Q_OBJECT
public:
    explicit WelcomePage(QWidget* parent = nullptr);
    QString headerText() const override;

protected:
    void changeEvent(QEvent* event) override;

private:
    void _retranslate();
    QLabel* m_text = nullptr;
};

/// Which entries the installation writes.
class InstallOptionsPage : public BaseWizardPage
{
    Q_OBJECT
public:
    explicit InstallOptionsPage(QWidget* parent = nullptr);
    QString headerText() const override;
    QCheckBox* startMenuBox() const { return m_startMenu; }
    QCheckBox* desktopBox() const { return m_desktop; }

protected:
    void changeEvent(QEvent* event) override;

private:
    void _retranslate();
    QCheckBox* m_startMenu = nullptr;
    QCheckBox* m_desktop = nullptr;
};

/// Whether uninstalling removes the user's data too.
class UninstallOptionsPage : public BaseWizardPage
{
    Q_OBJECT
public:
    explicit UninstallOptionsPage(QWidget* parent = nullptr);
    QString headerText() const override;
    QCheckBox* removeDataBox() const { return m_removeData; }

protected:
    void changeEvent(QEvent* event) override;

private:
    QCheckBox* m_removeData = nullptr;
};

/// Follows the worker: the current step and a progress bar.
class InstallProgressPage : public BaseWizardPage
{
    Q_OBJECT
public:
    InstallProgressPage(bool install, QWidget* parent = nullptr);
    QString headerText() const override;
    QLabel* stepLabel() const { return m_step; }
    QProgressBar* progressBar() const { return m_bar; }

public Q_SLOTS:
    void setProgress(int step, int totalSteps, const QString& stepMessage);

private:
    const bool m_install;
    QLabel* m_step = nullptr;
    QProgressBar* m_bar = nullptr;
};

/// Shows a message box of the wizards; tests replace it so that nothing blocks.
using WizardMessageHook = std::function<void(QWidget* parent, QMessageBox::Icon icon, const QString& title,
                                             const QString& text)>;
void setWizardMessageHook(WizardMessageHook hook);
/// Shows the licence to accept; tests replace it. True when accepted.
using LicenceHook = std::function<bool(QWidget* parent, const QString& html)>;
void setLicenceHook(LicenceHook hook);

/// Welcome, the licence to accept, the options, then the installation with its progress.
class InstallWizard : public FancyWizard
{
    Q_OBJECT
public:
    explicit InstallWizard(const install::InstallPaths& paths = install::InstallPaths::forThisUser(),
                           QWidget* parent = nullptr);
    ~InstallWizard() override;

    bool installSucceeded() const { return m_installSucceeded; }

public Q_SLOTS:
    void reject() override;

protected:
    void pageChanged(int id) override;
    void goNext() override;
    void goBack() override;
    void retranslateUi() override;

private Q_SLOTS:
    void _onInstallFinished(bool res);

private:
    const install::InstallPaths m_paths;
    std::unique_ptr<install::InstallWorker> m_worker;
    bool m_installSucceeded = false;
};

/// The option to remove the user data, then the uninstallation with its progress.
class UninstallWizard : public FancyWizard
{
    Q_OBJECT
public:
    explicit UninstallWizard(const install::InstallPaths& paths = install::InstallPaths::forThisUser(),
                             QWidget* parent = nullptr);
    ~UninstallWizard() override;

protected:
    void pageChanged(int id) override;
    void goNext() override;
    void retranslateUi() override;

private Q_SLOTS:
    void _onUninstallFinished(bool res);

private:
    const install::InstallPaths m_paths;
    std::unique_ptr<install::InstallWorker> m_worker;
};

/// Runs the install wizard; 0 when the program was installed, 1 otherwise.
int runInstallWizard(QWidget* parent);
/// Runs the uninstall wizard; always 0.
int runUninstallWizard(QWidget* parent);
