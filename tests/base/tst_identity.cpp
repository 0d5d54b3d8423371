#include "base/identity.h"
#include "base/specialfolder.h"
#include "support/testenv.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>

Q_DECLARE_METATYPE(Version)


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
        QTest::newRow("empty part skipped") << QStringLiteral("1..2") << Version(1, 2, 0) << true;
        QTest::newRow("letters") << QStringLiteral("1.a.3") << Version() << false;
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

    // The files live in the user data folder under XDG_DATA_HOME, made when first asked for.
    void userDataFolder_followsDataHome()
    {
        QTemporaryDir root;
        const QByteArray saved = qgetenv("XDG_DATA_HOME");
        const QString fresh = root.path() + QStringLiteral("/fresh account");
        qputenv("XDG_DATA_HOME", QFile::encodeName(fresh));
        const QString folder = fresh + QStringLiteral("/Velbrook/Mirevo/User Data");
        QCOMPARE(::folderPath(UserDataFolder, false), folder + QLatin1Char('/'));
        QVERIFY(!QFileInfo::exists(folder));
        const QString log = logFilePath();
        QVERIFY(QFileInfo(folder).isDir());
        QCOMPARE(log, folder + QStringLiteral("/log.txt"));
        QVERIFY(!QFileInfo::exists(log));
        QCOMPARE(databaseFilePath(), folder + QStringLiteral("/database.xml"));
        QCOMPARE(settingsFilePath(), folder + QStringLiteral("/settings.ini"));
        // A relative value is ignored.
        qputenv("XDG_DATA_HOME", "relative/share");
        const QString fallback = ::folderPath(UserDataFolder, false);
        qputenv("XDG_DATA_HOME", saved);
        QCOMPARE(fallback, testenv::homePath() + QStringLiteral("/.local/share/Velbrook/Mirevo/User Data/"));
    }
};

MRV_TEST_GUILESS_MAIN(TstIdentity)
#include "tst_identity.moc"
