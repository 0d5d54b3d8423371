#include "support/testenv.h"
#include "app/identity.h"
#include "app/specialfolder.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>

Q_DECLARE_METATYPE(Version)

namespace {

/// Sets an environment variable for the lifetime of the object, then puts the old value back.
class EnvOverride
{
public:
    EnvOverride(const char* name, const QByteArray& value)
        : m_name(name)
        , m_had(qEnvironmentVariableIsSet(name))
        , m_old(qgetenv(name))
    {
        qputenv(name, value);
    }
    ~EnvOverride()
    {
        if (m_had)
            qputenv(m_name, m_old);
        else
            qunsetenv(m_name);
    }

private:
    const char* m_name;
    bool m_had;
    QByteArray m_old;
};

QString dataHome()
{
    return qEnvironmentVariable("XDG_DATA_HOME") + QLatin1Char('/');
}

} // namespace

class TstIdentity : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void version_fromString_data();
    void version_fromString();
    void version_defaultIsInvalid();
    void version_toString();
    void version_lessThan_data();
    void version_lessThan();
    void programVersion_is0_2_642();
    void availableVersion_startsInvalidAndRoundTrips();
    void identity_values();
    void identity_addressesAgree();
    void folderPath_data();
    void folderPath();
    void folderPath_endsWithSlash();
    void userDataFolder_followsAbsoluteDataHome();
    void userDataFolder_ignoresRelativeDataHome();
    void fileAccessors_createUserDataFolder();
    void ensureFolderFor_makesParents_data();
    void ensureFolderFor_makesParents();
};

void TstIdentity::version_fromString_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("major");
    QTest::addColumn<int>("minor");
    QTest::addColumn<int>("build");
    QTest::addColumn<bool>("valid");

    QTest::newRow("major.minor") << QStringLiteral("1.2") << 1 << 2 << 0 << true;
    QTest::newRow("empty part skipped") << QStringLiteral("1..2") << 1 << 2 << 0 << true;
    QTest::newRow("full") << QStringLiteral("0.2.642") << 0 << 2 << 642 << true;
    QTest::newRow("major only") << QStringLiteral("7") << 7 << 0 << 0 << true;
    QTest::newRow("letters") << QStringLiteral("1.a.3") << -1 << -1 << -1 << false;
    QTest::newRow("four parts") << QStringLiteral("1.2.3.4") << -1 << -1 << -1 << false;
    QTest::newRow("empty") << QString() << -1 << -1 << -1 << false;
    QTest::newRow("dot only") << QStringLiteral(".") << -1 << -1 << -1 << false;
    QTest::newRow("negative major") << QStringLiteral("-1.2.3") << -1 << 2 << 3 << false;
}

void TstIdentity::version_fromString()
{
    QFETCH(QString, text);
    QFETCH(int, major);
    QFETCH(int, minor);
    QFETCH(int, build);
    QFETCH(bool, valid);

    const Version version = Version::fromString(text);
    QCOMPARE(version.major(), major);
    QCOMPARE(version.minor(), minor);
    QCOMPARE(version.build(), build);
    QCOMPARE(version.isValid(), valid);
}

void TstIdentity::version_defaultIsInvalid()
{
    const Version version;
    QVERIFY(!version.isValid());
    QCOMPARE(version, Version(-1, -1, -1));
}

void TstIdentity::version_toString()
{
    QCOMPARE(Version(0, 2, 642).toString(), QStringLiteral("0.2.642"));
    QCOMPARE(Version::fromString(QStringLiteral("3")).toString(), QStringLiteral("3.0.0"));
}

void TstIdentity::version_lessThan_data()
{
    QTest::addColumn<Version>("left");
    QTest::addColumn<Version>("right");
    QTest::addColumn<bool>("less");

    QTest::newRow("older build") << Version(0, 2, 642) << Version(0, 2, 700) << true;
    QTest::newRow("older minor") << Version(0, 2, 642) << Version(0, 3, 0) << true;
    QTest::newRow("same") << Version(0, 2, 642) << Version(0, 2, 642) << false;
    QTest::newRow("newer major") << Version(1, 0, 0) << Version(0, 9, 9) << false;
    QTest::newRow("older major") << Version(0, 9, 9) << Version(1, 0, 0) << true;
}

void TstIdentity::version_lessThan()
{
    QFETCH(Version, left);
    QFETCH(Version, right);
    QFETCH(bool, less);
    QCOMPARE(left < right, less);
}

void TstIdentity::programVersion_is0_2_642()
{
    QCOMPARE(programVersion(), Version(0, 2, 642));
    QCOMPARE(programVersion().toString(), QStringLiteral("0.2.642"));
}

void TstIdentity::availableVersion_startsInvalidAndRoundTrips()
{
    QVERIFY(!availableVersion().isValid());
    setAvailableVersion(Version(0, 3, 1));
    QCOMPARE(availableVersion(), Version(0, 3, 1));
    setAvailableVersion(Version());
    QVERIFY(!availableVersion().isValid());
}

void TstIdentity::identity_values()
{
    QCOMPARE(productName(), QStringLiteral("Mirevo"));
    QCOMPARE(companyName(), QStringLiteral("Velbrook"));
    QCOMPARE(productFolderName(), QStringLiteral("Mirevo"));
    QCOMPARE(installationId(), QStringLiteral("C8F31CA0-0667-467c-B205-B0A0291603E6"));
    QCOMPARE(singleInstanceId(), QStringLiteral("FAC47CC7-8B64-42cd-87FA-6D4A0C5149BF"));
    QVERIFY(applicationId().endsWith(QStringLiteral(".linux")));
}

void TstIdentity::identity_addressesAgree()
{
    const QString site = webSiteUrl();
    const QString donate = donateUrl();
    QVERIFY(site.startsWith(QStringLiteral("http://")));
    QVERIFY(donate.startsWith(QStringLiteral("https://")));
    QVERIFY(donate.endsWith(QStringLiteral("/donate")));
    const QString siteWithoutScheme = site.mid(int(qstrlen("http://")));
    QVERIFY(!siteWithoutScheme.isEmpty());
    QVERIFY(donate.mid(int(qstrlen("https://"))).startsWith(siteWithoutScheme));
    QVERIFY(!apiHost().isEmpty());
    QVERIFY(!apiHost().contains(QStringLiteral("://")));
}

void TstIdentity::folderPath_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("expected");

    const QString config = qEnvironmentVariable("XDG_CONFIG_HOME") + QLatin1Char('/');
    const QString data = dataHome();
    QTest::newRow("AppData") << int(AppData) << config;
    QTest::newRow("LocalAppData") << int(LocalAppData) << data;
    QTest::newRow("ProgramFolder") << int(ProgramFolder) << data + QStringLiteral("Velbrook/Mirevo/Application/");
    QTest::newRow("UserDataFolder") << int(UserDataFolder) << data + QStringLiteral("Velbrook/Mirevo/User Data/");
    QTest::newRow("StartMenu") << int(StartMenu) << data + QStringLiteral("applications/");
    QTest::newRow("QuickLaunch") << int(QuickLaunch) << QString();
    QTest::newRow("unknown kind") << 42 << QString();
}

void TstIdentity::folderPath()
{
    QFETCH(int, kind);
    QFETCH(QString, expected);
    QCOMPARE(specialFolder(kind), expected);
    QCOMPARE(::folderPath(kind, false), expected);
}

void TstIdentity::folderPath_endsWithSlash()
{
    const QString desktop = ::folderPath(Desktop, false);
    QVERIFY(!desktop.isEmpty());
    QVERIFY(desktop.endsWith(QLatin1Char('/')));
    for (int kind = AppData; kind <= Desktop; ++kind) {
        const QString path = ::folderPath(kind, false);
        QVERIFY2(path.isEmpty() || path.endsWith(QLatin1Char('/')), qPrintable(path));
    }
}

void TstIdentity::userDataFolder_followsAbsoluteDataHome()
{
    QTemporaryDir other;
    QVERIFY(other.isValid());
    EnvOverride env("XDG_DATA_HOME", QFile::encodeName(other.path()));
    QCOMPARE(::folderPath(UserDataFolder, false), other.path() + QStringLiteral("/Velbrook/Mirevo/User Data/"));
}

void TstIdentity::userDataFolder_ignoresRelativeDataHome()
{
    EnvOverride env("XDG_DATA_HOME", "relative/share");
    QCOMPARE(specialFolder(LocalAppData), testenv::homePath() + QStringLiteral("/.local/share/"));
    QCOMPARE(::folderPath(UserDataFolder, false),
             testenv::homePath() + QStringLiteral("/.local/share/Velbrook/Mirevo/User Data/"));
}

void TstIdentity::fileAccessors_createUserDataFolder()
{
    QTemporaryDir root;
    QVERIFY(root.isValid());
    const QString fresh = root.path() + QStringLiteral("/fresh account");
    EnvOverride env("XDG_DATA_HOME", QFile::encodeName(fresh));
    const QString folder = fresh + QStringLiteral("/Velbrook/Mirevo/User Data");
    QVERIFY(!QFileInfo::exists(fresh));

    const QString log = logFilePath();
    QVERIFY(QFileInfo(folder).isDir());
    QCOMPARE(log, folder + QStringLiteral("/log.txt"));
    QVERIFY(!QFileInfo::exists(log));

    QVERIFY(databaseFilePath().endsWith(QStringLiteral("/database.xml")));
    QVERIFY(settingsFilePath().endsWith(QStringLiteral("/settings.ini")));
    QVERIFY(metricsFilePath().endsWith(QStringLiteral("/metrics.xml")));
    QVERIFY(databaseFilePath().startsWith(folder));
}

void TstIdentity::ensureFolderFor_makesParents_data()
{
    QTest::addColumn<QString>("relativePath");
    QTest::addColumn<QString>("expectedFolder");
    QTest::newRow("file path") << QStringLiteral("a/b/c/file.txt") << QStringLiteral("a/b/c");
    QTest::newRow("folder path") << QStringLiteral("a/b/d/") << QStringLiteral("a/b/d");
}

void TstIdentity::ensureFolderFor_makesParents()
{
    QFETCH(QString, relativePath);
    QFETCH(QString, expectedFolder);
    QTemporaryDir root;
    QVERIFY(root.isValid());

    QVERIFY(ensureFolderFor(root.filePath(relativePath)));
    QVERIFY(QFileInfo(root.filePath(expectedFolder)).isDir());
    // A file path makes its folder only, never a folder named after the file.
    QVERIFY(!QFileInfo::exists(root.filePath(QStringLiteral("a/b/c/file.txt"))));
    // Calling again on existing folders still succeeds.
    QVERIFY(ensureFolderFor(root.filePath(relativePath)));
}

MRV_TEST_GUILESS_MAIN(TstIdentity)
#include "tst_identity.moc"
