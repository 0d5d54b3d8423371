#include "core/taskcore.h"
#include "settings/appsettings.h"
#include "support/httptestserver.h"
#include "support/radicaleserver.h"
#include "support/testenv.h"
#include "sync/syncservice.h"
#include "ui/mainwindow.h"
#include "ui/passwordprompt.h"
#include "ui/prefsdialog.h"
#include "ui/syncaccountchange.h"
#include "ui/syncstatusmark.h"
#include "ui/toolbar.h"
#include "ui/toolbaractions.h"
#include "ui/trayicon.h"

#include <QAccessible>
#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
#include <QSignalSpy>
#include <QTabWidget>
#include <QTcpServer>
#include <QTemporaryDir>

namespace {

sync::SyncService* service()
{
    return TaskCore::instance()->syncService();
}

QUrl deadServer()
{
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost);
    return QUrl(QStringLiteral("http://127.0.0.1:%1/").arg(probe.serverPort()));
}

} // namespace

class TstSyncStatusMark : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    QStringList m_notices;

private Q_SLOTS:
    void initTestCase()
    {
        QCOMPARE(TaskCore::instance()->init(m_dir.filePath(QStringLiteral("tasks.xml")), 3600000), 0);
        service()->setTransferTimeoutMs(5000);
        SyncAccountChange::setNotice([this](QWidget*, const QString& text) { m_notices << text; });
        TrayIcon::setAvailabilityProbe([] { return true; });
    }

    void cleanupTestCase() { TaskCore::destroy(); }

    void init()
    {
        AppSettings::settings()->resetToDefaults();
        QTRY_VERIFY(!service()->isSyncing());
        service()->setAccount(QUrl(), QString(), QString());
        m_notices.clear();
    }

    void cleanup()
    {
        if (PasswordPrompt* prompt = PasswordPrompt::openPrompt())
            delete prompt;
    }

    void markFollowsTheService()
    {
        MainWindow window;
        QVERIFY(testenv::showActive(&window));
        SyncStatusMark* mark = window.toolbar()->syncMark();
        QVERIFY(!mark->isVisible());
        window.setSyncService(service());
        QVERIFY(!mark->isVisible());

        service()->setAccount(deadServer(), QStringLiteral("ana"), QStringLiteral("pw"));
        QTRY_VERIFY(mark->isVisible());
        QCOMPARE(mark->text(), QStringLiteral("Sync soon"));
        QCOMPARE(mark->toolTip(), QStringLiteral("Sync starts soon"));
        QCOMPARE(mark->accessibleName(), mark->toolTip());
        QCOMPARE(mark->look(), SyncStatusMark::Look::Waiting);
        // The window cannot be made so narrow that the mark pushes buttons out of the toolbar.
        QVERIFY(window.minimumWidth() > window.toolbar()->minimumSizeHint().width());

        service()->syncNow();
        QCOMPARE(mark->text(), QStringLiteral("Syncing…"));
        QTRY_COMPARE(mark->text(), QStringLiteral("Offline"));
        QCOMPARE(mark->toolTip(), service()->statusText());
        QVERIFY(mark->toolTip().startsWith(QLatin1String("Offline")));
        QCOMPARE(QAccessible::queryAccessibleInterface(mark)->text(QAccessible::Name), service()->statusText());

        service()->setAccount(deadServer(), QStringLiteral("ana"), QString());
        QCOMPARE(mark->text(), QStringLiteral("Check sync"));
        QCOMPARE(mark->toolTip(), QStringLiteral("Sync needs the password"));

        service()->setAccount(QUrl(), QString(), QString());
        QTRY_VERIFY(!mark->isVisible());
        window.setSyncService(nullptr);
        service()->setAccount(deadServer(), QStringLiteral("ana"), QStringLiteral("pw"));
        QVERIFY(!mark->isVisible());
    }

    void aFinishedPassShowsItsTime()
    {
        if (!RadicaleServer::available())
            QSKIP("radicale is not installed");
        RadicaleServer radicale;
        QString error;
        QVERIFY2(radicale.start(&error), qPrintable(error));
        MainWindow window;
        window.setSyncService(service());
        service()->setAccount(radicale.url(), radicale.user(), radicale.password());
        QSignalSpy finished(service(), &sync::SyncService::passFinished);
        service()->syncNow();
        QTRY_VERIFY_WITH_TIMEOUT(!finished.isEmpty(), 30000);
        SyncStatusMark* mark = window.toolbar()->syncMark();
        QCOMPARE(mark->look(), SyncStatusMark::Look::Synced);
        QCOMPARE(mark->text(),
                 QStringLiteral("Synced ") + QLocale().toString(service()->lastSynced().time(), QLocale::ShortFormat));
        QCOMPARE(mark->toolTip(), service()->statusText());
        QVERIFY(mark->toolTip().startsWith(QLatin1String("Synced at ")));
    }

    void syncNowIsInTheMenuWithItsShortcut()
    {
        MainWindow window;
        window.setSyncService(service());
        QVERIFY(testenv::showActive(&window));
        QAction* action = syncNowAction();
        QCOMPARE(action->text(), QStringLiteral("Sync now"));
        QCOMPARE(action->toolTip(), QStringLiteral("Exchange the changes with the server now (F5)"));
        QVERIFY(!action->isEnabled());
        QTest::keyClick(&window, Qt::Key_F5);
        QCOMPARE(service()->status(), sync::SyncService::Status::Off);

        service()->setAccount(deadServer(), QStringLiteral("ana"), QStringLiteral("pw"));
        QVERIFY(action->isEnabled());
        QTest::keyClick(&window, Qt::Key_F5);
        QVERIFY(service()->isSyncing());
        QTRY_COMPARE(service()->status(), sync::SyncService::Status::Offline);
    }

    void clickingTheMark_data()
    {
        QTest::addColumn<QString>("password");
        QTest::addColumn<bool>("byKeyboard");
        QTest::addColumn<bool>("opensPreferences");
        QTest::newRow("waiting, click") << "pw" << false << false;
        QTest::newRow("waiting, Return") << "pw" << true << false;
        QTest::newRow("needs attention, click") << "" << false << true;
        QTest::newRow("needs attention, Return") << "" << true << true;
    }

    void clickingTheMark()
    {
        QFETCH(QString, password);
        QFETCH(bool, byKeyboard);
        QFETCH(bool, opensPreferences);
        MainWindow window;
        TrayIcon tray(&window, nullptr);
        window.setTrayIcon(&tray);
        window.setSyncService(service());
        service()->setAccount(deadServer(), QStringLiteral("ana"), password);
        QVERIFY(testenv::showActive(&window));
        SyncStatusMark* mark = window.toolbar()->syncMark();
        QString page;
        QSignalSpy passes(service(), &sync::SyncService::passFinished);
        QTimer::singleShot(0, &tray, [&] {
            if (PrefsDialog* prefs = tray.preferencesDialog()) {
                page = prefs->findChild<QTabWidget*>(QStringLiteral("prefsTabs"))->currentWidget()->objectName();
                prefs->reject();
            }
        });
        if (byKeyboard) {
            mark->setFocus(Qt::TabFocusReason);
            QTest::keyClick(mark, Qt::Key_Return);
        } else {
            QTest::mouseClick(mark, Qt::LeftButton);
        }
        QCoreApplication::processEvents();
        QCOMPARE(page, opensPreferences ? QStringLiteral("syncPage") : QString());
        // A click on a mark that needs no attention starts a pass (which may end at once here).
        QCOMPARE(!passes.isEmpty() || passes.wait(opensPreferences ? 300 : 10000), !opensPreferences);
    }

    void aRefusedPasswordIsAskedForAgain()
    {
        testhttp::ScriptedServer server;
        server.responses = {testhttp::httpResponse(401, "Unauthorized")};
        QVERIFY(server.start());
        MainWindow window;
        window.setSyncService(service());
        QVERIFY(testenv::showActive(&window));
        service()->setAccount(server.url(QStringLiteral("/dav/")), QStringLiteral("Оля"), QStringLiteral("wrong"));
        service()->syncNow();
        QTRY_VERIFY(PasswordPrompt::openPrompt());
        QPointer<PasswordPrompt> prompt = PasswordPrompt::openPrompt();
        QCOMPARE(prompt->findChild<QLabel*>(QStringLiteral("passwordQuestion"))->text(),
                 QStringLiteral("The server refused the password for Оля at 127.0.0.1. Enter it again:"));
        QCOMPARE(prompt->windowModality(), Qt::WindowModal);
        QCOMPARE(prompt->parentWidget(), &window);
        auto* edit = prompt->findChild<QLineEdit*>(QStringLiteral("passwordEdit"));
        QCOMPARE(edit->echoMode(), QLineEdit::Password);
        QVERIFY(!prompt->findChild<QPushButton*>(QStringLiteral("okButton"))->isEnabled());

        prompt->findChild<QPushButton*>(QStringLiteral("cancelButton"))->click();
        QTRY_VERIFY(prompt.isNull());
        QCOMPARE(service()->status(), sync::SyncService::Status::NeedsAttention);
        QCOMPARE(window.toolbar()->syncMark()->text(), QStringLiteral("Check sync"));
        // A pass of its own (the interval) is refused too: the declined question is not asked again.
        QSignalSpy refused(service(), &sync::SyncService::passwordRefused);
        service()->syncNow();
        QTRY_COMPARE(refused.size(), 1);
        QCoreApplication::processEvents();
        QVERIFY(!PasswordPrompt::openPrompt());

        // The user asks for a sync: the question comes back, and the new password is used.
        syncNowAction()->trigger();
        QTRY_VERIFY(PasswordPrompt::openPrompt());
        prompt = PasswordPrompt::openPrompt();
        testenv::typeText(prompt->findChild<QLineEdit*>(QStringLiteral("passwordEdit")), QStringLiteral("правильный"));
        const int requests = server.requests.size();
        prompt->findChild<QPushButton*>(QStringLiteral("okButton"))->click();
        QTRY_VERIFY(prompt.isNull());
        QTRY_VERIFY(server.requests.size() > requests);
        const QByteArray credentials = QByteArray("Оля:правильный").toBase64();
        QVERIFY(server.requests.last().values("Authorization").contains("Basic " + credentials));
        QTRY_COMPARE(m_notices.size(), 1);
        QCOMPARE(service()->user(), QStringLiteral("Оля"));
        QVERIFY(AppSettings::settings()->syncServer() == server.url(QStringLiteral("/dav/")));
    }
};

MRV_TEST_WIDGETS_MAIN(TstSyncStatusMark)
#include "tst_syncstatusmark.moc"
