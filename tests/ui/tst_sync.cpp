#include "base/specialfolder.h"
#include "core/taskcore.h"
#include "settings/appsettings.h"
#include "support/httptestserver.h"
#include "support/testenv.h"
#include "support/uitestkit.h"
#include "sync/secretstore.h"
#include "sync/syncservice.h"
#include "ui/mainwindow.h"
#include "ui/passwordprompt.h"
#include "ui/prefsdialog.h"
#include "ui/syncaccountchange.h"
#include "ui/syncstatusmark.h"
#include "ui/toolbar.h"
#include "ui/toolbaractions.h"
#include "ui/trayicon.h"

#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTabWidget>
#include <QTcpServer>

#include <memory>

namespace {

sync::SyncService* service()
{
    return TaskCore::instance()->syncService();
}

template <typename T>
T* child(QWidget* dialog, const char* name)
{
    return dialog->findChild<T*>(QLatin1String(name));
}

void fill(QWidget* dialog, const QString& server, const QString& user, const QString& password)
{
    child<QLineEdit>(dialog, "serverEdit")->setText(server);
    child<QLineEdit>(dialog, "userEdit")->setText(user);
    child<QLineEdit>(dialog, "passwordEdit")->setText(password);
}

} // namespace

// The sync account in Preferences, and the sync mark and password question of the main window.
class TstSync : public QObject
{
    Q_OBJECT

    uitest::TempStore m_store;
    QStringList m_notices;
    QUrl m_server;
    std::unique_ptr<MainWindow> m_window; // shown, with a tray icon and the sync service
    std::unique_ptr<TrayIcon> m_tray;

    SyncStatusMark* mark() const { return m_window->toolbar()->syncMark(); }

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(m_store.ready());
        service()->setTransferTimeoutMs(5000);
        SyncAccountChange::setNotice([this](QWidget*, const QString& text) { m_notices << text; });
        TrayIcon::setAvailabilityProbe([] { return true; });
        // An address on this computer where nothing listens: passes end at once, offline.
        QTcpServer probe;
        probe.listen(QHostAddress::LocalHost);
        m_server = QUrl(QStringLiteral("http://127.0.0.1:%1/").arg(probe.serverPort()));
    }

    void init()
    {
        AppSettings::settings()->resetToDefaults();
        QFile::remove(settingsFilePath());
        QTRY_VERIFY(!service()->isSyncing());
        service()->setAccount(QUrl(), QString(), QString());
        m_notices.clear();
        m_window = std::make_unique<MainWindow>();
        m_tray = std::make_unique<TrayIcon>(m_window.get(), nullptr);
        m_window->setTrayIcon(m_tray.get());
        m_window->setSyncService(service());
        QVERIFY(testenv::showActive(m_window.get()));
    }

    void cleanup()
    {
        if (PasswordPrompt* prompt = PasswordPrompt::openPrompt())
            delete prompt;
        m_tray.reset();
        m_window.reset();
    }

    void fieldsAreChecked_data()
    {
        QTest::addColumn<QString>("server");
        QTest::addColumn<QString>("user");
        QTest::addColumn<QString>("password");
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("error");
        QTest::newRow("not an address") << "exa mple.org" << "ana" << "pw" << "serverEdit" << "\"exa mple.org\" is not a server address.";
        QTest::newRow("no user name") << "example.org" << " " << "pw" << "userEdit" << "Enter your user name on the server.";
        QTest::newRow("no password") << "example.org" << "ana" << "" << "passwordEdit" << "Enter your password on the server.";
    }

    void fieldsAreChecked()
    {
        QFETCH(QString, server);
        QFETCH(QString, user);
        QFETCH(QString, password);
        QFETCH(QString, field);
        QFETCH(QString, error);
        PrefsDialog prefs(nullptr, service());
        QVERIFY(testenv::showActive(&prefs));
        fill(&prefs, server, user, password);
        child<QTabWidget>(&prefs, "prefsTabs")->setCurrentIndex(0);
        QTest::mouseClick(child<QPushButton>(&prefs, "okButton"), Qt::LeftButton);
        QVERIFY(prefs.isVisible());
        QCOMPARE(child<QTabWidget>(&prefs, "prefsTabs")->currentWidget()->objectName(), QStringLiteral("syncPage"));
        auto* complaint = child<QLabel>(&prefs, qPrintable(field + QLatin1String("Error")));
        QVERIFY(complaint->isVisible());
        QCOMPARE(complaint->text(), error);
        auto* edit = child<QLineEdit>(&prefs, qPrintable(field));
        QVERIFY(edit->hasFocus());
        QVERIFY(AppSettings::settings()->syncServer().isEmpty());
        QVERIFY(!service()->isConfigured());
    }

    // No secret store in the tests: the password lasts for the session, the user is told, and it
    // is never written.
    void anAccountKeepsServerAndUserButNeverThePassword()
    {
        QVERIFY(!mark()->isVisible() && !syncNowAction()->isEnabled());
        PrefsDialog prefs(nullptr, service());
        fill(&prefs, m_server.toString(), QStringLiteral("ana"), QStringLiteral("pässwörd-s3cret"));
        prefs.accept();
        QCOMPARE(prefs.result(), int(QDialog::Accepted));
        QVERIFY(service()->hasPassword());
        QTRY_COMPARE(m_notices.size(), 1);
        QVERIFY2(m_notices.constLast().contains(QLatin1String("not stored")), qPrintable(m_notices.constLast()));
        QCOMPARE(service()->server(), m_server);
        QCOMPARE(service()->user(), QStringLiteral("ana"));
        QTRY_COMPARE(service()->status(), sync::SyncService::Status::Offline); // the first pass went
        // Which fields the settings file keeps is the account's rule; here: it is the program's file.
        const QString file = testenv::readFile(settingsFilePath());
        QVERIFY2(file.contains(QLatin1String("127.0.0.1")), qPrintable(file));
        QVERIFY2(!file.contains(QLatin1String("s3cret")) && !file.contains(QLatin1String("ss")), qPrintable(file));

        // An empty password field keeps the password.
        PrefsDialog again(nullptr, service());
        auto* password = child<QLineEdit>(&again, "passwordEdit");
        QVERIFY(password->text().isEmpty());
        QCOMPARE(password->echoMode(), QLineEdit::Password);
        again.accept();
        QVERIFY(service()->hasPassword());
        QCOMPARE(m_notices.size(), 1);

        // Clearing the address turns sync off, between passes.
        QTRY_VERIFY(!service()->isSyncing());
        PrefsDialog off(nullptr, service());
        child<QLineEdit>(&off, "serverEdit")->clear();
        off.accept();
        QCOMPARE(service()->status(), sync::SyncService::Status::Off);
        QTRY_VERIFY(!mark()->isVisible() && !syncNowAction()->isEnabled());
    }

    // The state of sync as the window's mark shows it (without an account, none). Return on the
    // mark (as a click) opens the sync page when the user must act, else it starts a pass.
    void status_data()
    {
        QTest::addColumn<QString>("password");
        QTest::addColumn<bool>("passFirst");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("words");
        QTest::newRow("waiting") << "pw" << false << "Sync soon" << "Sync starts soon";
        QTest::newRow("offline") << "pw" << true << "Offline" << "Offline";
        QTest::newRow("no password") << "" << false << "Check sync" << "Sync needs the password";
    }

    void status()
    {
        QFETCH(QString, password);
        QFETCH(bool, passFirst);
        QFETCH(QString, text);
        QFETCH(QString, words);
        service()->setAccount(m_server, QStringLiteral("ana"), password);
        if (passFirst) {
            service()->syncNow();
            QCOMPARE(mark()->text(), QStringLiteral("Syncing…"));
            QTRY_VERIFY(!service()->isSyncing());
        }
        QTRY_VERIFY(mark()->isVisible());
        QVERIFY(syncNowAction()->isEnabled());
        QCOMPARE(mark()->text(), text);
        QVERIFY2(mark()->toolTip().startsWith(words), qPrintable(mark()->toolTip()));

        const bool opensPreferences = password.isEmpty();
        QString page;
        QSignalSpy passes(service(), &sync::SyncService::passFinished);
        QTimer::singleShot(0, m_tray.get(), [&] {
            if (PrefsDialog* prefs = m_tray->preferencesDialog()) {
                page = prefs->findChild<QTabWidget*>(QStringLiteral("prefsTabs"))->currentWidget()->objectName();
                prefs->reject();
            }
        });
        mark()->setFocus(Qt::TabFocusReason);
        QTest::keyClick(mark(), Qt::Key_Return);
        QCoreApplication::processEvents();
        QCOMPARE(page, opensPreferences ? QStringLiteral("syncPage") : QString());
        // A pass started here may end at once.
        QCOMPARE(!passes.isEmpty() || passes.wait(opensPreferences ? 300 : 10000), !opensPreferences);
    }

    void aRefusedPasswordIsAskedForAgain()
    {
        testhttp::ScriptedServer server;
        server.responses = {testhttp::httpResponse(401, "Unauthorized")};
        QVERIFY(server.start());
        service()->setAccount(server.url(QStringLiteral("/dav/")), QStringLiteral("Оля"), QStringLiteral("wrong"));
        service()->syncNow();
        QTRY_VERIFY(PasswordPrompt::openPrompt());
        QPointer<PasswordPrompt> prompt = PasswordPrompt::openPrompt();
        QCOMPARE(prompt->findChild<QLabel*>(QStringLiteral("passwordQuestion"))->text(),
                 QStringLiteral("The server refused the password for Оля at 127.0.0.1. Enter it again:"));
        QVERIFY(!prompt->findChild<QPushButton*>(QStringLiteral("okButton"))->isEnabled());

        prompt->findChild<QPushButton*>(QStringLiteral("cancelButton"))->click();
        QTRY_VERIFY(prompt.isNull());
        QCOMPARE(service()->status(), sync::SyncService::Status::NeedsAttention);
        QCOMPARE(mark()->text(), QStringLiteral("Check sync"));
        // The user asks for a sync: the question comes back.
        syncNowAction()->trigger();
        QTRY_VERIFY(PasswordPrompt::openPrompt());
    }

    // Sync turned off before the secret store answered for the account before: no notice,
    // question or account comes back.
    void anAccountTurnedOffAtOnceLeavesNothingBehind_data()
    {
        QTest::addColumn<bool>("keepPassword");
        QTest::newRow("new password") << false;
        QTest::newRow("password kept from the account before") << true;
    }

    void anAccountTurnedOffAtOnceLeavesNothingBehind()
    {
        QFETCH(bool, keepPassword);
        if (keepPassword) { // an account set before, whose password the secret store is asked for
            AppSettings::settings()->setSyncServer(m_server);
            AppSettings::settings()->setSyncUser(QStringLiteral("ana"));
        }
        SyncAccountChange::apply(m_window.get(), service(), m_server, QStringLiteral("bo"), QStringLiteral("pw"),
                                 keepPassword);
        SyncAccountChange::apply(m_window.get(), service(), QUrl(), QString(), QString());
        bool settled = false; // the secret store answers in order
        sync::SecretStore::remove(QStringLiteral("none"), this, [&](bool, const QString&) { settled = true; });
        QTRY_VERIFY(settled);
        QVERIFY2(m_notices.isEmpty(), qPrintable(m_notices.join(QLatin1Char('\n'))));
        QVERIFY(!PasswordPrompt::openPrompt());
        QCOMPARE(service()->status(), sync::SyncService::Status::Off);
        QVERIFY(AppSettings::settings()->syncServer().isEmpty());
    }
};

MRV_TEST_WIDGETS_MAIN(TstSync)
#include "tst_sync.moc"
