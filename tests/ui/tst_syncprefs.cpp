#include "app/specialfolder.h"
#include "app/taskcore.h"
#include "settings/appsettings.h"
#include "store/taskstorage.h"
#include "support/radicaleserver.h"
#include "support/testenv.h"
#include "sync/syncservice.h"
#include "ui/passwordprompt.h"
#include "ui/prefsdialog.h"
#include "ui/syncaccountchange.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QSpinBox>
#include <QTabWidget>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QTreeWidget>

namespace {

sync::SyncService* service()
{
    return TaskCore::instance()->syncService();
}

template <typename T>
T* child(QWidget* dialog, const char* name)
{
    T* found = dialog->findChild<T*>(QLatin1String(name));
    if (!found)
        qWarning("no %s", name);
    return found;
}

/// An address on this computer where nothing listens: passes end at once, offline.
QUrl deadServer()
{
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost);
    return QUrl(QStringLiteral("http://127.0.0.1:%1/").arg(probe.serverPort()));
}

void fill(QWidget* dialog, const QString& server, const QString& user, const QString& password)
{
    child<QLineEdit>(dialog, "serverEdit")->setText(server);
    child<QLineEdit>(dialog, "userEdit")->setText(user);
    child<QLineEdit>(dialog, "passwordEdit")->setText(password);
}

} // namespace

class TstSyncPrefs : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    QStringList m_notices;
    QUrl m_server;

    /// Sets up an account through the dialog, as a user does.
    void setUpAccount(const QUrl& server, const QString& user, const QString& password)
    {
        PrefsDialog prefs(nullptr, service());
        fill(&prefs, server.toString(), user, password);
        prefs.accept();
        QCOMPARE(prefs.result(), int(QDialog::Accepted));
        QTRY_VERIFY(service()->hasPassword());
    }

private Q_SLOTS:
    void initTestCase()
    {
        QCOMPARE(TaskCore::instance()->init(m_dir.filePath(QStringLiteral("tasks.xml")), 3600000), 0);
        service()->setTransferTimeoutMs(5000);
        SyncAccountChange::setNotice([this](QWidget*, const QString& text) { m_notices << text; });
        m_server = deadServer();
    }

    void cleanupTestCase() { TaskCore::destroy(); }

    void init()
    {
        AppSettings::settings()->resetToDefaults();
        QFile::remove(settingsFilePath());
        QTRY_VERIFY(!service()->isSyncing());
        service()->setAccount(QUrl(), QString(), QString());
        m_notices.clear();
    }

    void cleanup()
    {
        if (PasswordPrompt* prompt = PasswordPrompt::openPrompt())
            delete prompt;
    }

    void fieldsAreChecked_data()
    {
        QTest::addColumn<QString>("server");
        QTest::addColumn<QString>("user");
        QTest::addColumn<QString>("password");
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("error");
        QTest::newRow("not an address") << "exa mple.org" << "ana" << "pw" << "serverEdit" << "\"exa mple.org\" is not a server address.";
        QTest::newRow("plain http elsewhere") << "http://example.org/dav/" << "ana" << "pw" << "serverEdit"
                                              << "Plain http is only for a server on this computer: use https.";
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
        QCOMPARE(edit->accessibleDescription(), error);
        QVERIFY(edit->hasFocus());
        // The whole complaint fits: the dialog grew for it.
        QTRY_VERIFY(complaint->height() >= complaint->heightForWidth(complaint->width()));
        QVERIFY(AppSettings::settings()->syncServer().isEmpty());
        QVERIFY(!service()->isConfigured());
        QTest::keyClick(edit, Qt::Key_A);
        QVERIFY(!complaint->isVisible());
    }

    void applyingKeepsServerAndUserButNeverThePassword()
    {
        PrefsDialog prefs(nullptr, service());
        fill(&prefs, m_server.toString(), QStringLiteral("ana"), QStringLiteral("pässwörd-s3cret"));
        child<QSpinBox>(&prefs, "intervalSpin")->setValue(12);
        prefs.accept();
        QCOMPARE(prefs.result(), int(QDialog::Accepted));
        // No secret store in the tests: the password lasts for the session, and the user is told.
        QTRY_COMPARE(m_notices.size(), 1);
        QVERIFY2(m_notices.constFirst().contains(QLatin1String("not stored")), qPrintable(m_notices.constFirst()));
        QCOMPARE(service()->server(), m_server);
        QCOMPARE(service()->user(), QStringLiteral("ana"));
        QVERIFY(service()->hasPassword());
        // And the first pass went: nothing listens there.
        QTRY_COMPARE(service()->status(), sync::SyncService::Status::Offline);
        const QString file = testenv::readFile(settingsFilePath());
        QVERIFY2(file.contains(QLatin1String("127.0.0.1")), qPrintable(file));
        QVERIFY2(file.contains(QLatin1String("ana")), qPrintable(file));
        QVERIFY2(file.contains(QLatin1String("12")), qPrintable(file));
        QVERIFY2(!file.contains(QLatin1String("s3cret")) && !file.contains(QLatin1String("ss")), qPrintable(file));
    }

    void anEmptyPasswordFieldKeepsThePassword()
    {
        setUpAccount(m_server, QStringLiteral("ana"), QStringLiteral("pw"));
        const int notices = m_notices.size();
        {
            PrefsDialog prefs(nullptr, service());
            auto* password = child<QLineEdit>(&prefs, "passwordEdit");
            QVERIFY(password->text().isEmpty());
            QCOMPARE(password->echoMode(), QLineEdit::Password);
            QCOMPARE(password->placeholderText(), QStringLiteral("Stored: leave empty to keep it"));
            QCOMPARE(child<QLineEdit>(&prefs, "serverEdit")->text(), m_server.toString());
            QCOMPARE(child<QLineEdit>(&prefs, "userEdit")->text(), QStringLiteral("ana"));
            child<QSpinBox>(&prefs, "intervalSpin")->setValue(7);
            prefs.accept();
            QCOMPARE(prefs.result(), int(QDialog::Accepted));
        }
        QCOMPARE(AppSettings::settings()->syncIntervalMinutes(), 7);
        QVERIFY(testenv::readFile(settingsFilePath()).contains(QLatin1String("interval_minutes=7")));
        QVERIFY(service()->hasPassword());
        QCOMPARE(m_notices.size(), notices);

        // Another user name: the password of the account moves with it, where a secret store
        // keeps it; here there is none, so the user is asked.
        PrefsDialog prefs(nullptr, service());
        child<QLineEdit>(&prefs, "userEdit")->setText(QStringLiteral("bea"));
        prefs.accept();
        QCOMPARE(prefs.result(), int(QDialog::Accepted));
        QTRY_VERIFY(PasswordPrompt::openPrompt());
        QCOMPARE(service()->user(), QStringLiteral("bea"));
        QCOMPARE(child<QLabel>(PasswordPrompt::openPrompt(), "passwordQuestion")->text(),
                 QStringLiteral("Enter the password for bea at 127.0.0.1:"));
    }

    void anUntouchedPageFollowsAnAccountSetUpElsewhere()
    {
        PrefsDialog prefs(nullptr, service());
        setUpAccount(m_server, QStringLiteral("ana"), QStringLiteral("pw"));
        QCOMPARE(child<QLineEdit>(&prefs, "serverEdit")->text(), m_server.toString());
        QCOMPARE(child<QLineEdit>(&prefs, "userEdit")->text(), QStringLiteral("ana"));
        prefs.accept();
        QCOMPARE(prefs.result(), int(QDialog::Accepted));
        QCOMPARE(service()->server(), m_server);
        QCOMPARE(AppSettings::settings()->syncServer(), m_server);
    }

    void clearingTheAddressTurnsSyncOff()
    {
        setUpAccount(m_server, QStringLiteral("ana"), QStringLiteral("pw"));
        PrefsDialog prefs(nullptr, service());
        child<QLineEdit>(&prefs, "serverEdit")->clear();
        prefs.accept();
        QCOMPARE(prefs.result(), int(QDialog::Accepted));
        QCOMPARE(service()->status(), sync::SyncService::Status::Off);
        QVERIFY(AppSettings::settings()->syncServer().isEmpty());
        QVERIFY(!testenv::readFile(settingsFilePath()).contains(QLatin1String("127.0.0.1")));
        QVERIFY(!child<QPushButton>(&prefs, "syncNowButton")->isEnabled());
    }

    void syncNowNeedsAnAccountAndWaitsForThePass()
    {
        PrefsDialog prefs(nullptr, service());
        auto* button = child<QPushButton>(&prefs, "syncNowButton");
        QVERIFY(!button->isEnabled());
        QCOMPARE(child<QLabel>(&prefs, "syncStatus")->text(), QStringLiteral("Sync is off"));
        service()->setAccount(m_server, QStringLiteral("ana"), QStringLiteral("pw"));
        QVERIFY(button->isEnabled());
        QCOMPARE(child<QLabel>(&prefs, "syncStatus")->text(), QStringLiteral("Sync starts soon"));
        button->click();
        QVERIFY(service()->isSyncing());
        QVERIFY(!button->isEnabled());
        QTRY_VERIFY(button->isEnabled());
        QVERIFY(child<QLabel>(&prefs, "syncStatus")->text().startsWith(QLatin1String("Offline")));
    }

    void showsTheLastSyncAndTheLists()
    {
        if (!RadicaleServer::available())
            QSKIP("radicale is not installed");
        RadicaleServer radicale;
        QString error;
        QVERIFY2(radicale.start(&error), qPrintable(error));
        const FocusGroup::Id work = TaskCore::instance()->storage()->addGroup(QStringLiteral("Работа"), QString());
        PrefsDialog prefs(nullptr, service());
        prefs.showPage(PrefsPage::Sync);
        QVERIFY(testenv::showActive(&prefs));
        QVERIFY(!child<QLabel>(&prefs, "noPairs")->isVisible());
        QSignalSpy finished(service(), &sync::SyncService::passFinished);
        setUpAccount(radicale.url(), radicale.user(), radicale.password());
        QVERIFY(child<QLabel>(&prefs, "noPairs")->isVisible());
        QTRY_VERIFY2_WITH_TIMEOUT(!finished.isEmpty(), qPrintable(service()->statusText()), 30000);
        QCOMPARE(service()->status(), sync::SyncService::Status::Synced);
        QVERIFY(child<QLabel>(&prefs, "syncStatus")->text().startsWith(QLatin1String("Synced at ")));
        QCOMPARE(child<QLabel>(&prefs, "syncCounts")->text(),
                 QStringLiteral("Received 0, sent 0, conflicts 0, skipped objects 0"));
        auto* pairs = child<QTreeWidget>(&prefs, "pairList");
        QStringList rows;
        for (int i = 0; i < pairs->topLevelItemCount(); ++i)
            rows << pairs->topLevelItem(i)->text(0) + QLatin1String(" -> ") + pairs->topLevelItem(i)->text(1);
        QVERIFY2(rows.contains(QStringLiteral("Работа -> Работа (127.0.0.1)")), qPrintable(rows.join(QLatin1Char('|'))));
        QVERIFY(!child<QLabel>(&prefs, "noPairs")->isVisible());
        TaskCore::instance()->storage()->removeGroup(work);
    }
};

MRV_TEST_WIDGETS_MAIN(TstSyncPrefs)
#include "tst_syncprefs.moc"
