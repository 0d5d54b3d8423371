// The installer's worker against folders of the test's own: a whole install, a failure rolled
// back (its steps show which links the options asked for), installing from the installed copy,
// and uninstalling.

#include "install/installworker.h"
#include "support/testenv.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTemporaryDir>

using install::InstallOptions;
using install::InstallPaths;
using install::InstallWorker;

namespace {

struct Run
{
    QList<QList<QVariant>> progress;
    bool finished = false;
    bool result = false;
};

Run runWorker(bool install, const InstallOptions& options, const InstallPaths& paths)
{
    InstallWorker worker(install, options, paths);
    QSignalSpy progress(&worker, &InstallWorker::installProgress);
    QSignalSpy finished(&worker, &InstallWorker::installFinished);
    worker.start();
    worker.wait();
    Run run;
    run.progress = progress;
    run.finished = finished.size() == 1;
    run.result = run.finished && finished.at(0).at(0).toBool();
    return run;
}

/// The value of a key of a desktop entry file, with the string escapes undone.
QString entryValue(const QString& path, const QString& key)
{
    const QStringList lines = testenv::readFile(path).split(QLatin1Char('\n'));
    for (const QString& line : lines) {
        if (!line.startsWith(key + QLatin1Char('=')))
            continue;
        QString value = line.mid(key.size() + 1);
        value.replace(QLatin1String("\\s"), QLatin1String(" ")).replace(QLatin1String("\\\\"), QLatin1String("\\"));
        return value;
    }
    return QString();
}

} // namespace

class TstInstallWorker : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<QTemporaryDir> m_dir;
    InstallPaths m_paths;

    QString path(const QString& name) const { return m_dir->filePath(name); }

private Q_SLOTS:
    void init()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        // A home folder whose path has a space and a quote, as some have.
        const QString home = path(QStringLiteral("Ann's home"));
        QDir().mkpath(home + QStringLiteral("/build"));
        m_paths.sourceProgram = home + QStringLiteral("/build/mirevo");
        m_paths.iconSource = home + QStringLiteral("/build/mark.png");
        QVERIFY(testenv::writeBytes(m_paths.sourceProgram, "#!/bin/sh\necho mirevo\n"));
        QVERIFY(testenv::writeBytes(m_paths.iconSource, QByteArray(2048, 'p')));
        m_paths.installFolder = home + QStringLiteral("/.local/share/Velbrook/Mirevo/Application/");
        m_paths.userDataFolder = home + QStringLiteral("/.local/share/Velbrook/Mirevo/User Data/");
        m_paths.startMenuFolder = home + QStringLiteral("/.local/share/applications/");
        m_paths.desktopFolder = home + QStringLiteral("/Desktop/");
        m_paths.autostartEntry = home + QStringLiteral("/.config/autostart/Mirevo.desktop");
    }

    void installWritesTheProgramAndValidEntries()
    {
        const Run run = runWorker(true, InstallOptions(), m_paths);
        QVERIFY(run.result);
        QCOMPARE(run.progress.last(), (QList<QVariant>{1, 1, QStringLiteral("Done.")}));

        QCOMPARE(testenv::readBytes(m_paths.installedProgram()), testenv::readBytes(m_paths.sourceProgram));
        QVERIFY(QFileInfo(m_paths.installedProgram()).isExecutable());
        QVERIFY(QFileInfo(m_paths.desktopEntry()).isExecutable());
        QVERIFY(!QFileInfo(m_paths.startMenuEntry()).isExecutable());
        // Every entry starts the installed copy, not the one the installation ran from.
        const QStringList entries{m_paths.startMenuEntry(), m_paths.desktopEntry(), m_paths.uninstallEntry(),
                                  m_paths.autostartEntry};
        for (const QString& entry : entries) {
            const QString exec = entryValue(entry, QStringLiteral("Exec"));
            QCOMPARE(QProcess::splitCommand(exec).value(0), m_paths.installedProgram());
            QCOMPARE(entryValue(entry, QStringLiteral("Icon")), m_paths.installedIcon());
        }
        QVERIFY(entryValue(m_paths.uninstallEntry(), QStringLiteral("Exec")).endsWith(QStringLiteral(" --uninstall")));

        const QString validator = QStandardPaths::findExecutable(QStringLiteral("desktop-file-validate"));
        if (validator.isEmpty())
            QSKIP("desktop-file-validate is missing (Debian package desktop-file-utils)");
        for (const QString& entry : entries) {
            QProcess validate;
            validate.start(validator, {entry});
            QVERIFY(validate.waitForFinished(20000));
            const QByteArray complaints = validate.readAllStandardOutput() + validate.readAllStandardError();
            QVERIFY2(validate.exitCode() == 0 && complaints.isEmpty(), complaints.constData());
        }
    }

    void aFailureRollsBackNewestFirst()
    {
        // The last step fails: the menu folder cannot be made, a file stands in its place.
        const QString inTheWay = m_paths.startMenuFolder.chopped(1);
        QVERIFY(QDir().mkpath(QFileInfo(inTheWay).path()));
        QVERIFY(testenv::writeBytes(inTheWay, "in the way"));
        const QByteArray oldAutostart = "[Desktop Entry]\nExec=/opt/old/mirevo\n";
        QVERIFY(QDir().mkpath(QFileInfo(m_paths.autostartEntry).absolutePath()));
        QVERIFY(testenv::writeBytes(m_paths.autostartEntry, oldAutostart));
        const Run run = runWorker(true, InstallOptions{false, true, false, true}, m_paths);
        QVERIFY(run.finished);
        QVERIFY(!run.result);
        const QString back = QStringLiteral("Rolling back...");
        QCOMPARE(run.progress.mid(5), (QList<QList<QVariant>>{{1, 4, back}, {2, 4, back}, {3, 4, back}, {4, 4, back},
                                                            {1, 1, QStringLiteral("Installation failed.")}}));
        for (const QString& written : {m_paths.installedProgram(), m_paths.installedIcon(), m_paths.desktopEntry()})
            QVERIFY2(!QFile::exists(written), qPrintable(written));
        // The entry the installation replaced is back.
        QCOMPARE(testenv::readBytes(m_paths.autostartEntry), oldAutostart);
    }

    void installingFromTheInstalledCopyKeepsIt_data()
    {
        QTest::addColumn<bool>("throughLink");
        QTest::addColumn<bool>("fails");
        QTest::newRow("same path") << false << false;
        QTest::newRow("through a symbolic link") << true << false;
        QTest::newRow("failed and rolled back") << false << true;
    }

    void installingFromTheInstalledCopyKeepsIt()
    {
        QFETCH(bool, throughLink);
        QFETCH(bool, fails);
        QVERIFY(runWorker(true, InstallOptions(), m_paths).result);
        const QByteArray program = testenv::readBytes(m_paths.installedProgram());
        InstallPaths again = m_paths;
        again.sourceProgram = m_paths.installedProgram();
        if (throughLink) {
            again.sourceProgram = path(QStringLiteral("mirevo"));
            QVERIFY(QFile::link(m_paths.installedProgram(), again.sourceProgram));
        }
        if (fails) {
            QVERIFY(testenv::writeBytes(path(QStringLiteral("in the way")), "file"));
            again.desktopFolder = path(QStringLiteral("in the way/"));
        }
        QCOMPARE(runWorker(true, InstallOptions(), again).result, !fails);
        QCOMPARE(testenv::readBytes(m_paths.installedProgram()), program);
        QVERIFY(QFileInfo(m_paths.installedProgram()).isExecutable());
    }

    void uninstallRemovesWhatWasInstalled_data()
    {
        QTest::addColumn<bool>("removeData");
        QTest::newRow("user data kept") << false;
        QTest::newRow("user data removed") << true;
    }

    void uninstallRemovesWhatWasInstalled()
    {
        QFETCH(bool, removeData);
        QVERIFY(runWorker(true, InstallOptions(), m_paths).result);
        QVERIFY(QDir().mkpath(m_paths.userDataFolder + QStringLiteral("attachments")));
        QVERIFY(testenv::writeBytes(m_paths.userDataFolder + QStringLiteral("database.xml"), "tasks"));

        const Run run = runWorker(false, InstallOptions{true, true, removeData}, m_paths);
        QVERIFY(run.result);
        for (const QString& written : {m_paths.installedProgram(), m_paths.installedIcon(), m_paths.startMenuEntry(),
                                       m_paths.desktopEntry(), m_paths.uninstallEntry(), m_paths.autostartEntry})
            QVERIFY2(!QFile::exists(written), qPrintable(written));
        QVERIFY(!QDir(m_paths.installFolder).exists());
        // Files of the user data go only when asked; folders of the user's stay either way.
        QCOMPARE(QFile::exists(m_paths.userDataFolder + QStringLiteral("database.xml")), !removeData);
        QVERIFY(QDir(m_paths.userDataFolder + QStringLiteral("attachments")).exists());
    }
};

MRV_TEST_GUILESS_MAIN(TstInstallWorker)

#include "tst_installworker.moc"
