// The install wizard driven through its buttons, offscreen, installing into
// folders of the test's own.

#include "install/installoptions.h"
#include "settings/appsettings.h"
#include "support/testenv.h"
#include "ui/installwizard.h"
#include "ui/questionbox.h"

#include <QCheckBox>
#include <QDir>
#include <QPushButton>
#include <QTemporaryDir>

class TstInstallWizard : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    install::InstallPaths m_paths;
    QStringList m_asked; // the licence ("licence" when it names the company) and the questions
    QStringList m_messages;

private Q_SLOTS:
    void initTestCase()
    {
        m_paths.sourceProgram = m_dir.filePath(QStringLiteral("build/mirevo"));
        m_paths.iconSource = m_dir.filePath(QStringLiteral("build/mark.png"));
        QDir().mkpath(m_dir.filePath(QStringLiteral("build")));
        QVERIFY(testenv::writeBytes(m_paths.sourceProgram, "program"));
        QVERIFY(testenv::writeBytes(m_paths.iconSource, "picture"));
        m_paths.installFolder = m_dir.filePath(QStringLiteral("Mirevo/Application/"));
        m_paths.userDataFolder = m_dir.filePath(QStringLiteral("Mirevo/User Data/"));
        m_paths.startMenuFolder = m_dir.filePath(QStringLiteral("applications/"));
        m_paths.desktopFolder = m_dir.filePath(QStringLiteral("Desktop/"));
        m_paths.autostartEntry = m_dir.filePath(QStringLiteral("autostart/Mirevo.desktop"));
        setLicenceHook([this](QWidget*, const QString& html) {
            m_asked << (html.contains(QLatin1String("Velbrook")) ? QStringLiteral("licence") : QStringLiteral("?"));
            return true;
        });
        setWizardMessageHook([this](QWidget*, QMessageBox::Icon, const QString&, const QString& text) { m_messages << text; });
        QuestionBox::setHook([this](QWidget*, const QString&, const QString& text, QMessageBox::StandardButtons,
                                    QMessageBox::StandardButton defaultButton) {
            m_asked << text;
            return defaultButton;
        });
    }

    void init()
    {
        m_asked.clear();
        m_messages.clear();
    }

    void installWithoutLinks_data()
    {
        QTest::addColumn<bool>("runOnStartup");
        QTest::newRow("run on system startup") << true;
        QTest::newRow("not on system startup") << false;
    }

    void installWithoutLinks()
    {
        QFETCH(bool, runOnStartup);
        AppSettings::settings()->setRunOnSystemStartup(runOnStartup);
        QFile::remove(m_paths.autostartEntry);
        InstallWizard wizard(m_paths);
        wizard.show();
        QTest::mouseClick(wizard.nextButton(), Qt::LeftButton);
        wizard.findChild<QCheckBox*>(QStringLiteral("startMenuCheck"))->setChecked(false);
        wizard.findChild<QCheckBox*>(QStringLiteral("desktopCheck"))->setChecked(false);
        QTest::mouseClick(wizard.nextButton(), Qt::LeftButton);
        QCOMPARE(wizard.currentPageId(), 3);
        QVERIFY(!wizard.nextButton()->isEnabled() && !wizard.cancelButton()->isEnabled());
        QTRY_VERIFY(!wizard.isVisible());
        QVERIFY(wizard.installSucceeded());
        QCOMPARE(wizard.result(), int(QDialog::Accepted));
        QCOMPARE(m_asked, QStringList{QStringLiteral("licence")});
        QCOMPARE(m_messages, QStringList{QStringLiteral("Mirevo was successfully installed!")});
        QVERIFY(QFile::exists(m_paths.installedProgram()));
        QVERIFY(!QFile::exists(m_paths.startMenuEntry()) && !QFile::exists(m_paths.desktopEntry()));
        QCOMPARE(QFile::exists(m_paths.autostartEntry), runOnStartup);
    }

};

MRV_TEST_WIDGETS_MAIN(TstInstallWizard)

#include "tst_installwizard.moc"
