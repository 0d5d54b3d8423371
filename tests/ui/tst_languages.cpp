// Interface languages: the list and lookup of the language manager, a live switch seen in the
// open windows, and the preferences dialog that drives it.

#include "base/specialfolder.h"
#include "core/taskcore.h"
#include "platform/autostart.h"
#include "settings/appsettings.h"
#include "settings/languagemanager.h"
#include "support/testenv.h"
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
    QTemporaryDir m_dir;

private Q_SLOTS:
    void initTestCase()
    {
        QCOMPARE(TaskCore::instance()->init(m_dir.filePath(QStringLiteral("tasks.xml")), 3600000), 0);
    }

    void init()
    {
        AppSettings::settings()->resetToDefaults();
        QVERIFY(languageManager()->setLanguage(QStringLiteral("en_US")));
        QFile::remove(settingsFilePath());
    }

    void cleanupTestCase()
    {
        LanguageManager::destroy();
        TaskCore::destroy();
    }

    // The test carries a "de" translation of its own besides the program's two. Each language
    // is offered by its own name.
    void lookup_data()
    {
        QTest::addColumn<QString>("locale");
        QTest::addColumn<QString>("file");
        QTest::addColumn<bool>("switches");
        QTest::newRow("carried") << "ru_RU" << ":/Language/ru_RU/translation" << true;
        QTest::newRow("language folder") << "de_AT" << ":/Language/de/translation" << true;
        QTest::newRow("no language folder") << "ru_UA" << "" << false;
        QTest::newRow("any English") << "en_GB" << "" << true;
    }

    void lookup()
    {
        QFETCH(QString, locale);
        QFETCH(QString, file);
        QFETCH(bool, switches);
        QCOMPARE(languageManager()->availableLanguages(), QStringList({"en_US", "de", "pt_PT", "ru_RU"}));
        QCOMPARE(LanguageManager::displayName(QStringLiteral("ru_RU")), QStringLiteral("Русский"));
        QCOMPARE(LanguageManager::translationFile(locale), file);
        QCOMPARE(languageManager()->isLanguageAvailable(locale), !file.isEmpty());
        QVERIFY(languageManager()->setLanguage(QStringLiteral("de")));
        QCOMPARE(languageManager()->setLanguage(locale), switches);
        QCOMPARE(languageManager()->currentLanguage(), switches ? locale : QStringLiteral("de"));
        // Only an installed translation translates; English removes them all.
        const bool english = locale.startsWith(QLatin1String("en"));
        QCOMPARE(translated("TrayIcon", "Exit") == QLatin1String("Exit"), switches && english);
    }

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
