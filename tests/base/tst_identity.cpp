#include "base/identity.h"
#include "base/specialfolder.h"
#include "support/testenv.h"

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
        : m_name(name), m_had(qEnvironmentVariableIsSet(name)), m_old(qgetenv(name))
    {
        qputenv(name, value);
    }
    ~EnvOverride() { m_had ? qputenv(m_name, m_old) : qunsetenv(m_name); }

private:
    const char* m_name;
    bool m_had;
    QByteArray m_old;
};

} // namespace

class TstIdentity : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void version_fromString_data();
    void version_fromString();
    void version_lessThan_data();
    void version_lessThan();
    void availableVersion_roundTrips();
    void folderPath_data();
    void folderPath();
    void userDataFolder_followsDataHome();
    void fileAccessors_createUserDataFolder();
    void ensureFolderFor_makesParents();
};

void TstIdentity::version_fromString_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<Version>("expected");
    QTest::addColumn<bool>("valid");

    QTest::newRow("full") << QStringLiteral("0.2.642") << Version(0, 2, 642) << true;
    QTest::newRow("major.minor") << QStringLiteral("1.2") << Version(1, 2, 0) << true;
    QTest::newRow("empty part skipped") << QStringLiteral("1..2") << Version(1, 2, 0) << true;
    QTest::newRow("major only") << QStringLiteral("7") << Version(7, 0, 0) << true;
    QTest::newRow("letters") << QStringLiteral("1.a.3") << Version() << false;
    QTest::newRow("four parts") << QStringLiteral("1.2.3.4") << Version() << false;
    QTest::newRow("empty") << QString() << Version() << false;
    QTest::newRow("dot only") << QStringLiteral(".") << Version() << false;
    QTest::newRow("negative major") << QStringLiteral("-1.2.3") << Version(-1, 2, 3) << false;
}

void TstIdentity::version_fromString()
{
    QFETCH(QString, text);
    QFETCH(Version, expected);
    QFETCH(bool, valid);
    const Version version = Version::fromString(text);
    QCOMPARE(version, expected);
    QCOMPARE(version.isValid(), valid);
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

void TstIdentity::availableVersion_roundTrips()
{
    QVERIFY(!availableVersion().isValid());
    QCOMPARE(programVersion().toString(), QStringLiteral("0.2.642"));
    setAvailableVersion(Version(0, 3, 1));
    QCOMPARE(availableVersion(), Version(0, 3, 1));
    setAvailableVersion(Version());
    QVERIFY(!availableVersion().isValid());
}

void TstIdentity::folderPath_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("expected");

    const QString config = qEnvironmentVariable("XDG_CONFIG_HOME") + QLatin1Char('/');
    const QString data = qEnvironmentVariable("XDG_DATA_HOME") + QLatin1Char('/');
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

void TstIdentity::userDataFolder_followsDataHome()
{
    QTemporaryDir other;
    QVERIFY(other.isValid());
    {
        EnvOverride env("XDG_DATA_HOME", QFile::encodeName(other.path()));
        QCOMPARE(::folderPath(UserDataFolder, false), other.path() + QStringLiteral("/Velbrook/Mirevo/User Data/"));
    }
    // A relative value is ignored.
    EnvOverride env("XDG_DATA_HOME", "relative/share");
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

    const QString log = logFilePath();
    QVERIFY(QFileInfo(folder).isDir());
    QCOMPARE(log, folder + QStringLiteral("/log.txt"));
    QVERIFY(!QFileInfo::exists(log));
    QCOMPARE(databaseFilePath(), folder + QStringLiteral("/database.xml"));
    QCOMPARE(settingsFilePath(), folder + QStringLiteral("/settings.ini"));
}

void TstIdentity::ensureFolderFor_makesParents()
{
    QTemporaryDir root;
    QVERIFY(root.isValid());
    QVERIFY(ensureFolderFor(root.filePath(QStringLiteral("a/b/c/file.txt"))));
    QVERIFY(QFileInfo(root.filePath(QStringLiteral("a/b/c"))).isDir());
    QVERIFY(!QFileInfo::exists(root.filePath(QStringLiteral("a/b/c/file.txt"))));
    QVERIFY(ensureFolderFor(root.filePath(QStringLiteral("a/b/d/"))));
    QVERIFY(QFileInfo(root.filePath(QStringLiteral("a/b/d"))).isDir());
    QVERIFY(ensureFolderFor(root.filePath(QStringLiteral("a/b/d/"))));
}

MRV_TEST_GUILESS_MAIN(TstIdentity)
#include "tst_identity.moc"
