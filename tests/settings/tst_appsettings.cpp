#include "support/testenv.h"
#include "install/installoptions.h"
#include "platform/autostart.h"
#include "settings/appsettings.h"
#include "settings/languagemanager.h"
#include "settings/runonstartup.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QLocale>
#include <QRandomGenerator>
#include <QSettings>
#include <QTemporaryDir>

namespace {

QString execLine(const QString& program)
{
    return QStringLiteral("\nExec=") + program + QLatin1Char('\n');
}

// What the settings file holds (the date format is never written), in this order.
const QStringList kFields{"compact", "frame", "width", "open", "autostart", "notify", "language", "version",
                          "server", "user", "interval"};
QVariantList snapshot(const AppSettings* s)
{
    return {s->compactView(), s->mainWindowFrame(), s->groupPanelWidth(), s->openWindowOnStartup(),
            s->runOnSystemStartup(), s->showNotifications(), s->uiLanguage(), s->version(),
            s->syncServer(), s->syncUser(), s->syncIntervalMinutes()};
}

} // namespace

class TstAppSettings : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    int m_fileCount = 0;

    QString newPath(const QByteArray& contents = QByteArray())
    {
        const QString path = m_dir.filePath(QStringLiteral("settings-%1.ini").arg(++m_fileCount));
        if (!contents.isNull())
            testenv::writeBytes(path, contents);
        return path;
    }

private Q_SLOTS:
    void init() { QFile::remove(platform::autostartEntryPath()); }
    void cleanup() { AppSettings::destroy(); }

    // A missing or damaged file gives the same settings as none at all.
    void unreadableFileLoadsAsDefaults_data()
    {
        QTest::addColumn<QByteArray>("contents");
        QByteArray noise(4096, Qt::Uninitialized);
        QRandomGenerator generator(20240305);
        for (char& byte : noise)
            byte = char(generator.bounded(256));
        QTest::newRow("no file") << QByteArray();
        QTest::newRow("random bytes") << noise;
        QTest::newRow("unreadable values")
            << QByteArray("[General]\nGroupPanelWidth=abc\ngeneral.group_panel_width=\n");
    }

    void unreadableFileLoadsAsDefaults()
    {
        QFETCH(QByteArray, contents);
        AppSettings* s = AppSettings::settings();
        QCOMPARE(s->dateFormat(), QLocale::system().dateFormat(QLocale::ShortFormat));
        s->setUiLanguage(QStringLiteral("en_US")); // the language when the file names none
        const QVariantList defaults = snapshot(s);
        const QString path = newPath(contents);
        QVERIFY(s->load(path));
        QCOMPARE(snapshot(s), defaults);
        QCOMPARE(QFileInfo::exists(path), !contents.isNull());
    }

    void valuesReadFromTheFile_data()
    {
        QTest::addColumn<QByteArray>("ini");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QVariant>("expected");
        const QRect frame(10, 20, 300, 400);
        QTest::newRow("compact, new key wins")
            << QByteArray("CompactView=true\ngeneral.compact_view=false") << "compact" << QVariant(false);
        QTest::newRow("frame, old key")
            << QByteArray("WindowRect=@Rect(10 20 300 400)") << "frame" << QVariant(frame);
        QTest::newRow("width, new key wins")
            << QByteArray("GroupPanelWidth=250\ngeneral.group_panel_width=300") << "width" << QVariant(300);
        QTest::newRow("unreadable width: the old key")
            << QByteArray("GroupPanelWidth=250\ngeneral.group_panel_width=wide") << "width" << QVariant(250);
        QTest::newRow("sync interval of a minute")
            << QByteArray("sync.interval_minutes=1") << "interval" << QVariant(1);
        QTest::newRow("interval below a minute")
            << QByteArray("sync.interval_minutes=0") << "interval" << QVariant(5);
        QTest::newRow("unreadable interval")
            << QByteArray("sync.interval_minutes=often") << "interval" << QVariant(5);
    }

    void valuesReadFromTheFile()
    {
        QFETCH(QByteArray, ini);
        QFETCH(QString, name);
        QFETCH(QVariant, expected);
        AppSettings* s = AppSettings::settings();
        QVERIFY(s->load(newPath("[General]\n" + ini + "\n")));
        QCOMPARE(snapshot(s).at(kFields.indexOf(name)), expected);
    }

    void saveRoundTripsAndWritesTheProgramVersion()
    {
        const QString path =
            newPath("version=0.1.5\nCompactView=false\nWindowRect=@Rect(1 2 3 4)\nGroupPanelWidth=250\n");
        AppSettings* s = AppSettings::settings();
        QVERIFY(s->load(path));
        QCOMPARE(s->version(), QStringLiteral("0.1.5"));
        s->setCompactView(true);
        s->setMainWindowFrame(QRect(15, 25, 640, 480));
        s->setGroupPanelWidth(321);
        s->setOpenWindowOnStartup(false);
        s->setRunOnSystemStartup(false);
        s->setShowNotifications(false);
        s->setUiLanguage(QStringLiteral("pt_PT"));
        s->setDateFormat(QStringLiteral("dd.MM.yyyy"));
        s->setSyncServer(QUrl(QStringLiteral("https://dav.example/tasks/")));
        s->setSyncUser(QStringLiteral("ana"));
        s->setSyncIntervalMinutes(42);
        QVERIFY(s->save(path));
        s->setVersion(QStringLiteral("0.2.642")); // the running program's
        const QVariantList saved = snapshot(s);
        AppSettings::destroy();
        s = AppSettings::settings();
        QVERIFY(s->load(path));
        QCOMPARE(snapshot(s), saved);

        // The keys of the older layout stay as they were, for an older version.
        QVERIFY(!testenv::readFile(path).contains(QStringLiteral("date"), Qt::CaseInsensitive));
        const QSettings file(path, QSettings::IniFormat);
        QCOMPARE(file.value(QStringLiteral("CompactView")).toBool(), false);
        QCOMPARE(file.value(QStringLiteral("WindowRect")).toRect(), QRect(1, 2, 3, 4));
        QCOMPARE(file.value(QStringLiteral("GroupPanelWidth")).toInt(), 250);
    }

    void syncRunOnStartup_appliesOnlyAfterFirstRunOrUpgrade_data()
    {
        QTest::addColumn<QString>("storedVersion");
        QTest::addColumn<bool>("enabled");
        QTest::addColumn<bool>("applies");
        QTest::addColumn<bool>("installedCopy");
        QTest::newRow("first run") << QString() << true << true << true;
        QTest::newRow("unreadable version") << QStringLiteral("abc") << true << true << true;
        QTest::newRow("older version") << QStringLiteral("0.2.600") << true << true << true;
        QTest::newRow("same version") << QStringLiteral("0.2.642") << true << false << true;
        QTest::newRow("off, same version") << QStringLiteral("0.2.642") << false << false << true;
        QTest::newRow("off, older version") << QStringLiteral("0.2.600") << false << true << true;
        // A copy in a build or download folder leaves the entry alone, whatever the version says.
        QTest::newRow("first run, not installed") << QString() << true << true << false;
        QTest::newRow("off, older version, not installed")
            << QStringLiteral("0.2.600") << false << true << false;
    }

    void syncRunOnStartup_appliesOnlyAfterFirstRunOrUpgrade()
    {
        QFETCH(QString, storedVersion);
        QFETCH(bool, enabled);
        QFETCH(bool, applies);
        QFETCH(bool, installedCopy);
        const QString entry = platform::autostartEntryPath();
        if (!enabled) // an entry left from before must be removed only when the rule applies
            QVERIFY(platform::setRunOnStartup(QStringLiteral("/usr/bin/mirevo"), true));
        install::InstallPaths paths;
        paths.installFolder = m_dir.filePath(QStringLiteral("Application/"));
        QVERIFY(QDir().mkpath(paths.installFolder));
        QVERIFY(testenv::writeBytes(paths.installedProgram(), "program"));
        paths.sourceProgram
            = installedCopy ? paths.installedProgram() : m_dir.filePath(QStringLiteral("build-mirevo"));
        QVERIFY(testenv::writeBytes(paths.sourceProgram, "program"));

        AppSettings* s = AppSettings::settings();
        s->setVersion(storedVersion);
        s->setRunOnSystemStartup(enabled);
        QCOMPARE(s->needsRunOnStartupSync(), applies);
        s->syncRunOnStartup(paths);
        const bool written = applies && installedCopy;
        QCOMPARE(QFileInfo::exists(entry), enabled == written);
        if (enabled && written)
            QVERIFY(testenv::readFile(entry).contains(execLine(paths.installedProgram())));
    }

    void runOnStartupOption_startsTheInstalledCopyWhenThereIsOne_data()
    {
        QTest::addColumn<bool>("installed");
        QTest::newRow("installed copy") << true;
        QTest::newRow("no installed copy") << false;
    }

    void runOnStartupOption_startsTheInstalledCopyWhenThereIsOne()
    {
        QFETCH(bool, installed);
        const QString installedProgram = install::InstallPaths::forThisUser().installedProgram();
        QFile::remove(installedProgram);
        if (installed) {
            QVERIFY(QDir().mkpath(QFileInfo(installedProgram).absolutePath()));
            QVERIFY(testenv::writeBytes(installedProgram, "program"));
            QVERIFY(QFile::setPermissions(installedProgram,
                                          QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
        }
        QVERIFY(setRunOnStartup(true));
        const QString program = installed ? installedProgram : QCoreApplication::applicationFilePath();
        QVERIFY(testenv::readFile(platform::autostartEntryPath()).contains(execLine(program)));
        QVERIFY(setRunOnStartup(false));
        QVERIFY(!QFileInfo::exists(platform::autostartEntryPath()));
        QFile::remove(installedProgram);
    }

    // Only English needs no translation; a language is shown by its own name.
    void languages_data()
    {
        QTest::addColumn<QString>("locale");
        QTest::addColumn<bool>("switches");
        QTest::addColumn<QString>("name");
        QTest::newRow("English") << "en_US" << true << "English";
        QTest::newRow("Russian") << "ru_RU" << true << "Русский";
        QTest::newRow("no translation") << "de_DE" << false << "Deutsch";
        QTest::newRow("no such language") << "xx_YY" << false << "";
    }

    void languages()
    {
        QFETCH(QString, locale);
        QFETCH(bool, switches);
        QFETCH(QString, name);
        QCOMPARE(languageManager()->setLanguage(locale), switches);
        QCOMPARE(languageManager()->currentLanguage() == locale, switches);
        QCOMPARE(LanguageManager::displayName(locale), name);
        LanguageManager::destroy();
    }
};

MRV_TEST_GUILESS_MAIN(TstAppSettings)
#include "tst_appsettings.moc"
