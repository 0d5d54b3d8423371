// Interface languages switched live in the open windows from the preferences dialog, and the
// dialog's start-up box.

#include "base/specialfolder.h"
#include "core/taskcore.h"
#include "platform/autostart.h"
#include "settings/appsettings.h"
#include "settings/languagemanager.h"
#include "support/testenv.h"
#include "support/uitestkit.h"
#include "ui/focusgrouplistwidget.h"
#include "ui/focusgroupwidget.h"
#include "ui/mainwindow.h"
#include "ui/prefsdialog.h"
#include "ui/toolbaractions.h"
#include "ui/trayicon.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QMenu>
#include <QTemporaryDir>

namespace {

QString translated(const char* context, const char* text)
{
    return QCoreApplication::translate(context, text);
}

} // namespace

class TstLanguages : public QObject
{
    Q_OBJECT

private:
    uitest::TempStore m_store;

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(m_store.ready());
    }

    void init()
    {
        AppSettings::settings()->resetToDefaults();
        QVERIFY(languageManager()->setLanguage(QStringLiteral("en_US")));
        QFile::remove(settingsFilePath());
    }

    void cleanupTestCase() { LanguageManager::destroy(); }

    // The order of day and month stays the system's in every language. The toolkit's own texts
    // (the buttons of message boxes) speak the language.
    void switchingChangesTheOpenWindows()
    {
        MainWindow window;
        TrayIcon tray(&window, nullptr);
        window.setTrayIcon(&tray);
        PrefsDialog prefs(&window);
        window.show();
        prefs.show();
        auto* combo = prefs.findChild<QComboBox*>(QStringLiteral("languageCombo"));
        QLabel* inbox = window.groupPanel()->rowOf(FocusGroup::inboxId())->nameLabel();
        QAction* exit = tray.menu()->findChild<QAction*>(QStringLiteral("exitAction"));
        const auto texts = [&] {
            return QStringList{newTaskAction()->text(), exit->text(), prefs.windowTitle(), inbox->text()};
        };
        const QStringList english = texts();

        combo->setCurrentIndex(combo->findData(QStringLiteral("ru_RU")));
        QCoreApplication::processEvents();
        QCOMPARE(texts(), QStringList({translated("QObject", "New"), translated("TrayIcon", "Exit"),
                                       translated("PrefsDialog", "%1 Preferences").arg(QStringLiteral("Mirevo")),
                                       translated("FocusGroup", "Inbox")}));
        for (int i = 0; i < english.size(); ++i)
            QVERIFY2(texts().at(i) != english.at(i), qPrintable(english.at(i)));
        QCOMPARE(AppSettings::settings()->uiLanguage(), QStringLiteral("ru_RU"));
        QCOMPARE(AppSettings::settings()->dateFormat(), QLocale::system().dateFormat(QLocale::ShortFormat));
        QVERIFY(QLocale::system().dateFormat(QLocale::ShortFormat) != QLocale(QLocale::Russian).dateFormat(QLocale::ShortFormat));
        QVERIFY(translated("QPlatformTheme", "Cancel") != QLatin1String("Cancel"));

        combo->setCurrentIndex(combo->findData(QStringLiteral("en_US")));
        QCoreApplication::processEvents();
        QCOMPARE(texts(), english);
        QCOMPARE(AppSettings::settings()->uiLanguage(), QStringLiteral("en_US"));
        QCOMPARE(translated("QPlatformTheme", "Cancel"), QStringLiteral("Cancel"));
    }

    // The box writes the start-up entry at once, with a picture that exists, and removes it.
    void runAtStartupWritesTheEntryAtOnce()
    {
        AppSettings::settings()->setRunOnSystemStartup(false);
        QFile::remove(platform::autostartEntryPath());
        PrefsDialog prefs;
        auto* box = prefs.findChild<QCheckBox*>(QStringLiteral("runAtStartupCheck"));
        box->click();
        const QString entry = testenv::readFile(platform::autostartEntryPath());
        const QString icon = entry.section(QStringLiteral("\nIcon="), 1).section(QLatin1Char('\n'), 0, 0);
        QCOMPARE(icon, iconFilePath());
        QVERIFY(QFile(icon).size() > 1000);
        box->click();
        QVERIFY(!QFile::exists(platform::autostartEntryPath()));
    }
};

MRV_TEST_WIDGETS_MAIN(TstLanguages)

#include "tst_languages.moc"
