#include "base/identity.h"
#include "base/specialfolder.h"
#include "support/testenv.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>


class TstIdentity : public QObject
{
    Q_OBJECT

private Q_SLOTS:
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
        QCOMPARE(fallback,
                 qEnvironmentVariable("HOME") + QStringLiteral("/.local/share/Velbrook/Mirevo/User Data/"));
    }
};

MRV_TEST_GUILESS_MAIN(TstIdentity)
#include "tst_identity.moc"
