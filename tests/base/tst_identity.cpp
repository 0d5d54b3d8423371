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
    void version_fromString_data()
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
        QTest::newRow("negative major") << QStringLiteral("-1.2.3") << Version(-1, 2, 3) << false;
    }

    void version_fromString()
    {
        QFETCH(QString, text);
        QFETCH(Version, expected);
        QFETCH(bool, valid);
        const Version version = Version::fromString(text);
        QCOMPARE(version, expected);
        QCOMPARE(version.isValid(), valid);
    }

    void folderPath_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<QString>("expected");

        const QString data = qEnvironmentVariable("XDG_DATA_HOME") + QLatin1Char('/');
        QTest::newRow("ProgramFolder")
            << int(ProgramFolder) << data + QStringLiteral("Velbrook/Mirevo/Application/");
        QTest::newRow("UserDataFolder")
            << int(UserDataFolder) << data + QStringLiteral("Velbrook/Mirevo/User Data/");
    }

    void folderPath()
    {
        QFETCH(int, kind);
        QFETCH(QString, expected);
        QCOMPARE(specialFolder(kind), expected);
        QCOMPARE(::folderPath(kind, false), expected);
    }

    // The files live in the user data folder under XDG_DATA_HOME, made when first asked for.
    void userDataFolder_followsDataHome()
    {
        QTemporaryDir root;
        {
            const QString fresh = root.path() + QStringLiteral("/fresh account");
            EnvOverride env("XDG_DATA_HOME", QFile::encodeName(fresh));
            const QString folder = fresh + QStringLiteral("/Velbrook/Mirevo/User Data");
            QCOMPARE(::folderPath(UserDataFolder, false), folder + QLatin1Char('/'));
            QVERIFY(!QFileInfo::exists(folder));
            const QString log = logFilePath();
            QVERIFY(QFileInfo(folder).isDir());
            QCOMPARE(log, folder + QStringLiteral("/log.txt"));
            QVERIFY(!QFileInfo::exists(log));
            QCOMPARE(databaseFilePath(), folder + QStringLiteral("/database.xml"));
            QCOMPARE(settingsFilePath(), folder + QStringLiteral("/settings.ini"));
        }
        // A relative value is ignored.
        EnvOverride env("XDG_DATA_HOME", "relative/share");
        QCOMPARE(::folderPath(UserDataFolder, false),
                 testenv::homePath() + QStringLiteral("/.local/share/Velbrook/Mirevo/User Data/"));
    }
};

MRV_TEST_GUILESS_MAIN(TstIdentity)
#include "tst_identity.moc"
