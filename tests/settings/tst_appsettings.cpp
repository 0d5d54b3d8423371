#include "support/testenv.h"
#include "install/installoptions.h"
#include "platform/autostart.h"
#include "settings/appsettings.h"
#include "settings/runonstartup.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QLocale>
#include <QRandomGenerator>
#include <QTemporaryDir>

namespace {

/// The "key=value" lines of an INI file, section headers left out.
QMap<QString, QString> iniValues(const QString& path)
{
    QMap<QString, QString> values;
    const QStringList lines = testenv::readFile(path).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    for (const QString& line : lines) {
        const qsizetype equals = line.indexOf(QLatin1Char('='));
        if (line.startsWith(QLatin1Char('[')) || equals < 0)
            continue;
        values.insert(line.left(equals).trimmed(), line.mid(equals + 1).trimmed());
    }
    return values;
}

QVariant field(const AppSettings* settings, const QString& name)
{
    if (name == QLatin1String("compactView"))
        return settings->compactView();
    if (name == QLatin1String("mainWindowFrame"))
        return settings->mainWindowFrame();
    if (name == QLatin1String("groupPanelWidth"))
        return settings->groupPanelWidth();
    return QVariant();
}

QString execLine(const QString& program)
{
    return QStringLiteral("\nExec=") + program + QLatin1Char('\n');
}

void verifyDefaults(const AppSettings* s, const QString& language)
{
    QCOMPARE(s->compactView(), false);
    QVERIFY(s->mainWindowFrame().isNull());
    QCOMPARE(s->groupPanelWidth(), 190);
    QCOMPARE(s->openWindowOnStartup(), true);
    QCOMPARE(s->runOnSystemStartup(), true);
    QCOMPARE(s->showNotifications(), true);
    QCOMPARE(s->uiLanguage(), language);
    QCOMPARE(s->version(), QString());
    QCOMPARE(s->dateFormat(), QLocale::system().dateFormat(QLocale::ShortFormat));
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

    void defaults_withoutFile();
    void oldKeys_areReadAndKeptOnSave();
    void newKeys_winOverOldKeys_data();
    void newKeys_winOverOldKeys();
    void save_roundTripsAndWritesProgramVersion();
    void damagedFile_loadsAsDefaults_data();
    void damagedFile_loadsAsDefaults();
    void syncRunOnStartup_appliesOnlyAfterFirstRunOrUpgrade_data();
    void syncRunOnStartup_appliesOnlyAfterFirstRunOrUpgrade();
    void runOnStartupOption_startsTheInstalledCopyWhenThereIsOne_data();
    void runOnStartupOption_startsTheInstalledCopyWhenThereIsOne();
};

void TstAppSettings::defaults_withoutFile()
{
    AppSettings* s = AppSettings::settings();
    verifyDefaults(s, QString());
    const QString missing = newPath();
    QVERIFY(s->load(missing));
    verifyDefaults(s, QStringLiteral("en_US"));
    QVERIFY(!QFileInfo::exists(missing));
    QVERIFY(AppSettings::settingsFilePath().endsWith(QStringLiteral("/Velbrook/Mirevo/User Data/settings.ini")));
}

void TstAppSettings::oldKeys_areReadAndKeptOnSave()
{
    const QString path = newPath("[General]\n"
                                 "CompactView=true\n"
                                 "WindowRect=@Rect(10 20 300 400)\n"
                                 "GroupPanelWidth=250\n");
    AppSettings* s = AppSettings::settings();
    QVERIFY(s->load(path));
    QCOMPARE(s->compactView(), true);
    QCOMPARE(s->mainWindowFrame(), QRect(10, 20, 300, 400));
    QCOMPARE(s->groupPanelWidth(), 250);

    QVERIFY(s->save(path));
    const QMap<QString, QString> saved = iniValues(path);
    const QString rect = QStringLiteral("@Rect(10 20 300 400)");
    QCOMPARE(saved.value(QStringLiteral("general.compact_view")), QStringLiteral("true"));
    QCOMPARE(saved.value(QStringLiteral("general.main_window_frame")), rect);
    QCOMPARE(saved.value(QStringLiteral("general.group_panel_width")), QStringLiteral("250"));
    QCOMPARE(saved.value(QStringLiteral("CompactView")), QStringLiteral("true"));
    QCOMPARE(saved.value(QStringLiteral("WindowRect")), rect);
    QCOMPARE(saved.value(QStringLiteral("GroupPanelWidth")), QStringLiteral("250"));
}

void TstAppSettings::newKeys_winOverOldKeys_data()
{
    QTest::addColumn<QByteArray>("ini");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QVariant>("expected");

    QTest::newRow("compact view") << QByteArray("CompactView=true\ngeneral.compact_view=false\n")
                                  << QStringLiteral("compactView") << QVariant(false);
    QTest::newRow("window frame")
        << QByteArray("WindowRect=@Rect(1 2 3 4)\ngeneral.main_window_frame=@Rect(5 6 70 80)\n")
        << QStringLiteral("mainWindowFrame") << QVariant(QRect(5, 6, 70, 80));
    QTest::newRow("group panel width") << QByteArray("GroupPanelWidth=250\ngeneral.group_panel_width=300\n")
                                       << QStringLiteral("groupPanelWidth") << QVariant(300);
    QTest::newRow("unreadable width falls back to old key")
        << QByteArray("GroupPanelWidth=250\ngeneral.group_panel_width=wide\n") << QStringLiteral("groupPanelWidth")
        << QVariant(250);
}

void TstAppSettings::newKeys_winOverOldKeys()
{
    QFETCH(QByteArray, ini);
    QFETCH(QString, name);
    QFETCH(QVariant, expected);
    AppSettings* s = AppSettings::settings();
    QVERIFY(s->load(newPath("[General]\n" + ini)));
    QCOMPARE(field(s, name), expected);
}

void TstAppSettings::save_roundTripsAndWritesProgramVersion()
{
    const QString path = newPath("version=0.1.5\n");
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
    QVERIFY(s->save(path));

    // The date format is never written; "version" is always the running program's.
    const QString text = testenv::readFile(path);
    QVERIFY(!text.contains(QStringLiteral("date"), Qt::CaseInsensitive));
    QCOMPARE(iniValues(path).value(QStringLiteral("version")), QStringLiteral("0.2.642"));

    AppSettings::destroy();
    s = AppSettings::settings();
    QVERIFY(s->load(path));
    QCOMPARE(s->compactView(), true);
    QCOMPARE(s->mainWindowFrame(), QRect(15, 25, 640, 480));
    QCOMPARE(s->groupPanelWidth(), 321);
    QCOMPARE(s->openWindowOnStartup(), false);
    QCOMPARE(s->runOnSystemStartup(), false);
    QCOMPARE(s->showNotifications(), false);
    QCOMPARE(s->uiLanguage(), QStringLiteral("pt_PT"));
    QCOMPARE(s->version(), QStringLiteral("0.2.642"));
}

void TstAppSettings::damagedFile_loadsAsDefaults_data()
{
    QTest::addColumn<QByteArray>("contents");
    QByteArray noise(4096, Qt::Uninitialized);
    QRandomGenerator generator(20240305);
    for (char& byte : noise)
        byte = char(generator.bounded(256));
    QTest::newRow("random bytes") << noise;
    QTest::newRow("unreadable values") << QByteArray("[General]\nGroupPanelWidth=abc\ngeneral.group_panel_width=\n");
}

void TstAppSettings::damagedFile_loadsAsDefaults()
{
    QFETCH(QByteArray, contents);
    AppSettings* s = AppSettings::settings();
    QVERIFY(s->load(newPath(contents)));
    verifyDefaults(s, QStringLiteral("en_US"));
}

void TstAppSettings::syncRunOnStartup_appliesOnlyAfterFirstRunOrUpgrade_data()
{
    QTest::addColumn<QString>("storedVersion");
    QTest::addColumn<bool>("enabled");
    QTest::addColumn<bool>("applies");
    QTest::addColumn<bool>("installedCopy");
    QTest::newRow("first run") << QString() << true << true << true;
    QTest::newRow("unreadable version") << QStringLiteral("abc") << true << true << true;
    QTest::newRow("older version") << QStringLiteral("0.2.600") << true << true << true;
    QTest::newRow("same version") << QStringLiteral("0.2.642") << true << false << true;
    QTest::newRow("newer version") << QStringLiteral("0.3.0") << true << false << true;
    QTest::newRow("off, same version") << QStringLiteral("0.2.642") << false << false << true;
    QTest::newRow("off, older version") << QStringLiteral("0.2.600") << false << true << true;
    // A copy in a build or download folder leaves the entry alone, whatever the version says.
    QTest::newRow("first run, not installed") << QString() << true << true << false;
    QTest::newRow("off, older version, not installed") << QStringLiteral("0.2.600") << false << true << false;
}

void TstAppSettings::syncRunOnStartup_appliesOnlyAfterFirstRunOrUpgrade()
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
    paths.sourceProgram = installedCopy ? paths.installedProgram() : m_dir.filePath(QStringLiteral("build-mirevo"));
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

void TstAppSettings::runOnStartupOption_startsTheInstalledCopyWhenThereIsOne_data()
{
    QTest::addColumn<bool>("installed");
    QTest::newRow("installed copy") << true;
    QTest::newRow("no installed copy") << false;
}

void TstAppSettings::runOnStartupOption_startsTheInstalledCopyWhenThereIsOne()
{
    QFETCH(bool, installed);
    const QString installedProgram = install::InstallPaths::forThisUser().installedProgram();
    QFile::remove(installedProgram);
    if (installed) {
        QVERIFY(QDir().mkpath(QFileInfo(installedProgram).absolutePath()));
        QVERIFY(testenv::writeBytes(installedProgram, "program"));
        QVERIFY(QFile::setPermissions(installedProgram, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
    }
    QVERIFY(setRunOnStartup(true));
    const QString program = installed ? installedProgram : QCoreApplication::applicationFilePath();
    QVERIFY(testenv::readFile(platform::autostartEntryPath()).contains(execLine(program)));
    QVERIFY(setRunOnStartup(false));
    QVERIFY(!QFileInfo::exists(platform::autostartEntryPath()));
    QFile::remove(installedProgram);
}

MRV_TEST_GUILESS_MAIN(TstAppSettings)
#include "tst_appsettings.moc"
