#include "support/testenv.h"
#include "platform/autostart.h"
#include "settings/appsettings.h"

#include <QCoreApplication>
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
    QCOMPARE(s->dateFormat(), QLocale().dateFormat(QLocale::ShortFormat));
}

} // namespace

class TstAppSettings : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    int m_fileCount = 0;

    // Every test uses a file of its own: QSettings caches parsed files by name.
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
    void save_writesKnownKeysAndProgramVersion();
    void roundTrip_keepsEveryField();
    void damagedFile_loadsAsDefaults_data();
    void damagedFile_loadsAsDefaults();
    void syncRunOnStartup_appliesOnlyAfterFirstRunOrUpgrade_data();
    void syncRunOnStartup_appliesOnlyAfterFirstRunOrUpgrade();
    void syncRunOnStartup_offRemovesExistingEntry();
    void settings_isProcessWide();
};

void TstAppSettings::defaults_withoutFile()
{
    AppSettings* s = AppSettings::settings();
    verifyDefaults(s, QString());

    const QString missing = newPath();
    QVERIFY(s->load(missing));
    verifyDefaults(s, QStringLiteral("en_US"));
    QVERIFY(!QFileInfo::exists(missing));

    s->resetToDefaults();
    QCOMPARE(s->uiLanguage(), QString());
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
    QCOMPARE(saved.value(QStringLiteral("general.compact_view")), QStringLiteral("true"));
    QCOMPARE(saved.value(QStringLiteral("general.main_window_frame")), QStringLiteral("@Rect(10 20 300 400)"));
    QCOMPARE(saved.value(QStringLiteral("general.group_panel_width")), QStringLiteral("250"));
    QCOMPARE(saved.value(QStringLiteral("CompactView")), QStringLiteral("true"));
    QCOMPARE(saved.value(QStringLiteral("WindowRect")), QStringLiteral("@Rect(10 20 300 400)"));
    QCOMPARE(saved.value(QStringLiteral("GroupPanelWidth")), QStringLiteral("250"));
}

void TstAppSettings::newKeys_winOverOldKeys_data()
{
    QTest::addColumn<QByteArray>("ini");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QVariant>("expected");

    QTest::newRow("compact view") << QByteArray("CompactView=true\ngeneral.compact_view=false\n")
                                  << QStringLiteral("compactView") << QVariant(false);
    QTest::newRow("compact view, new key first") << QByteArray("general.compact_view=true\nCompactView=false\n")
                                                 << QStringLiteral("compactView") << QVariant(true);
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

void TstAppSettings::save_writesKnownKeysAndProgramVersion()
{
    const QString path = newPath("version=0.1.5\n");
    AppSettings* s = AppSettings::settings();
    QVERIFY(s->load(path));
    QCOMPARE(s->version(), QStringLiteral("0.1.5"));
    s->setDateFormat(QStringLiteral("dd.MM.yyyy"));

    QVERIFY(s->save(path));
    const QMap<QString, QString> saved = iniValues(path);
    const QStringList expectedKeys = {
        QStringLiteral("general.compact_view"),
        QStringLiteral("general.group_panel_width"),
        QStringLiteral("general.main_window_frame"),
        QStringLiteral("general.open_window_on_startup"),
        QStringLiteral("general.run_on_system_startup"),
        QStringLiteral("general.show_notifications"),
        QStringLiteral("general.ui_language"),
        QStringLiteral("version"),
    };
    QCOMPARE(saved.keys(), expectedKeys);
    QCOMPARE(saved.value(QStringLiteral("version")), QStringLiteral("0.2.642"));
    QVERIFY(!testenv::readFile(path).contains(QStringLiteral("date"), Qt::CaseInsensitive));
    QVERIFY(!testenv::readFile(path).contains(QStringLiteral("dd.MM.yyyy")));
}

void TstAppSettings::roundTrip_keepsEveryField()
{
    const QString path = newPath();
    AppSettings* s = AppSettings::settings();
    s->setCompactView(true);
    s->setMainWindowFrame(QRect(15, 25, 640, 480));
    s->setGroupPanelWidth(321);
    s->setOpenWindowOnStartup(false);
    s->setRunOnSystemStartup(false);
    s->setShowNotifications(false);
    s->setUiLanguage(QStringLiteral("pt_PT"));
    s->setVersion(QStringLiteral("0.1.0"));
    QVERIFY(s->save(path));

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
    QTest::newRow("binary junk") << QByteArray("\x00\xff\xfe[\x80\x81\x01]\x02\x03\x00\x9c\xe2\x82", 14);
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
    QTest::addColumn<bool>("applies");
    QTest::newRow("first run") << QString() << true;
    QTest::newRow("unreadable version") << QStringLiteral("abc") << true;
    QTest::newRow("older version") << QStringLiteral("0.2.600") << true;
    QTest::newRow("same version") << QStringLiteral("0.2.642") << false;
    QTest::newRow("newer version") << QStringLiteral("0.3.0") << false;
}

void TstAppSettings::syncRunOnStartup_appliesOnlyAfterFirstRunOrUpgrade()
{
    QFETCH(QString, storedVersion);
    QFETCH(bool, applies);
    const QString entry = platform::autostartEntryPath();
    QVERIFY(!QFileInfo::exists(entry));

    AppSettings* s = AppSettings::settings();
    s->setVersion(storedVersion);
    s->setRunOnSystemStartup(true);
    QCOMPARE(s->needsRunOnStartupSync(), applies);
    s->syncRunOnStartup();
    QCOMPARE(QFileInfo::exists(entry), applies);
    if (applies)
        QVERIFY(testenv::readFile(entry).contains(QCoreApplication::applicationFilePath()));
}

void TstAppSettings::syncRunOnStartup_offRemovesExistingEntry()
{
    const QString entry = platform::autostartEntryPath();
    AppSettings* s = AppSettings::settings();
    s->setRunOnSystemStartup(false);

    QVERIFY(platform::setRunOnStartup(QStringLiteral("/usr/bin/mirevo"), true));
    s->setVersion(QStringLiteral("0.2.642"));
    s->syncRunOnStartup();
    QVERIFY(QFileInfo::exists(entry));

    s->setVersion(QStringLiteral("0.2.600"));
    s->syncRunOnStartup();
    QVERIFY(!QFileInfo::exists(entry));
}

void TstAppSettings::settings_isProcessWide()
{
    QVERIFY(!AppSettings::exists());
    AppSettings* s = AppSettings::settings();
    QVERIFY(AppSettings::exists());
    QCOMPARE(AppSettings::settings(), s);
    s->setGroupPanelWidth(400);
    s->setCompactView(true);
    QCOMPARE(AppSettings::settings()->groupPanelWidth(), 400);

    AppSettings::destroy();
    QVERIFY(!AppSettings::exists());
    verifyDefaults(AppSettings::settings(), QString());
}

MRV_TEST_GUILESS_MAIN(TstAppSettings)
#include "tst_appsettings.moc"
