// The installer's worker against folders of the test's own: the job list, a whole install,
// a failure rolled back, and uninstalling.

#include "install/installjob.h"
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
    for (const QList<QVariant>& report : progress)
        run.progress << report;
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

/// The program an Exec value starts, by the Desktop Entry rules for quoted arguments.
QString execProgram(const QString& exec)
{
    if (!exec.startsWith(QLatin1Char('"')))
        return exec.section(QLatin1Char(' '), 0, 0);
    QString program;
    for (int i = 1; i < exec.size() && exec.at(i) != QLatin1Char('"'); ++i) {
        if (exec.at(i) == QLatin1Char('\\') && i + 1 < exec.size())
            ++i;
        program += exec.at(i);
    }
    return program;
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
    }

    void jobList_data()
    {
        QTest::addColumn<bool>("install");
        QTest::addColumn<bool>("menu");
        QTest::addColumn<bool>("desktop");
        QTest::addColumn<bool>("removeData");
        QTest::addColumn<QStringList>("messages");
        const QString files = QStringLiteral("Installing files...");
        const QString links = QStringLiteral("Creating links...");
        const QString keys = QStringLiteral("Creating uninstall keys...");
        QTest::newRow("all links") << true << true << true << false << QStringList{files, files, links, links, keys};
        QTest::newRow("no links") << true << false << false << false << QStringList{files, files, keys};
        QTest::newRow("install ignores removing data") << true << true << false << true
                                                       << QStringList{files, files, links, keys};
        QTest::newRow("uninstall with the data")
            << false << true << true << true
            << QStringList{files, files, links, links, QStringLiteral("Removing user data..."), keys};
    }

    void jobList()
    {
        QFETCH(bool, install);
        QFETCH(bool, menu);
        QFETCH(bool, desktop);
        QFETCH(bool, removeData);
        QFETCH(QStringList, messages);
        InstallWorker worker(install, InstallOptions{menu, desktop, removeData}, m_paths);
        QStringList shown;
        for (const auto& job : worker.jobs())
            shown << job->message;
        QCOMPARE(shown, messages);
    }

    void installWritesTheProgramAndValidEntries()
    {
        const Run run = runWorker(true, InstallOptions(), m_paths);
        QVERIFY(run.result);
        QCOMPARE(run.progress.size(), 6);
        QCOMPARE(run.progress.at(4), (QList<QVariant>{5, 5, QStringLiteral("Creating uninstall keys...")}));
        QCOMPARE(run.progress.last(), (QList<QVariant>{1, 1, QStringLiteral("Done.")}));

        QCOMPARE(testenv::readBytes(m_paths.installedProgram()), testenv::readBytes(m_paths.sourceProgram));
        QVERIFY(QFileInfo(m_paths.installedProgram()).isExecutable());
        QVERIFY(QFileInfo(m_paths.desktopEntry()).isExecutable());
        QVERIFY(!QFileInfo(m_paths.startMenuEntry()).isExecutable());
        // Every entry starts the installed copy, not the one the installation ran from.
        for (const QString& entry : {m_paths.startMenuEntry(), m_paths.desktopEntry(), m_paths.uninstallEntry()}) {
            QCOMPARE(execProgram(entryValue(entry, QStringLiteral("Exec"))), m_paths.installedProgram());
            QCOMPARE(entryValue(entry, QStringLiteral("Icon")), m_paths.installedIcon());
        }
        QCOMPARE(entryValue(m_paths.uninstallEntry(), QStringLiteral("Name")), QStringLiteral("Uninstall Mirevo"));
        QVERIFY(entryValue(m_paths.uninstallEntry(), QStringLiteral("Exec")).endsWith(QStringLiteral(" --uninstall")));
        QCOMPARE(entryValue(m_paths.uninstallEntry(), QStringLiteral("X-Mirevo-Publisher")), QStringLiteral("Velbrook"));

        const QString validator = QStandardPaths::findExecutable(QStringLiteral("desktop-file-validate"));
        if (validator.isEmpty())
            QSKIP("desktop-file-validate is missing (Debian package desktop-file-utils)");
        for (const QString& entry : {m_paths.startMenuEntry(), m_paths.desktopEntry(), m_paths.uninstallEntry()}) {
            QProcess validate;
            validate.start(validator, {entry});
            QVERIFY(validate.waitForFinished(20000));
            const QByteArray complaints = validate.readAllStandardOutput() + validate.readAllStandardError();
            QVERIFY2(validate.exitCode() == 0 && complaints.isEmpty(), complaints.constData());
        }
    }

    void aFailureRollsBackNewestFirst()
    {
        // The desktop folder cannot be made: a file stands in its place.
        QVERIFY(testenv::writeBytes(m_paths.desktopFolder.chopped(1), "in the way"));
        const Run run = runWorker(true, InstallOptions(), m_paths);
        QVERIFY(run.finished);
        QVERIFY(!run.result);
        const QString back = QStringLiteral("Rolling back...");
        QCOMPARE(run.progress.mid(4), (QList<QList<QVariant>>{{1, 3, back}, {2, 3, back}, {3, 3, back},
                                                            {1, 1, QStringLiteral("Installation failed.")}}));
        for (const QString& written : {m_paths.installedProgram(), m_paths.installedIcon(), m_paths.startMenuEntry(),
                                       m_paths.uninstallEntry()})
            QVERIFY2(!QFile::exists(written), qPrintable(written));
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
        QCOMPARE(run.progress.first().at(2).toString(), QStringLiteral("Creating uninstall keys..."));
        QCOMPARE(run.progress.last(), (QList<QVariant>{1, 1, QStringLiteral("Done.")}));
        for (const QString& written : {m_paths.installedProgram(), m_paths.installedIcon(), m_paths.startMenuEntry(),
                                       m_paths.desktopEntry(), m_paths.uninstallEntry()})
            QVERIFY2(!QFile::exists(written), qPrintable(written));
        QVERIFY(!QDir(m_paths.installFolder).exists());
        // Files of the user data go only when asked; folders of the user's stay either way.
        QCOMPARE(QFile::exists(m_paths.userDataFolder + QStringLiteral("database.xml")), !removeData);
        QVERIFY(QDir(m_paths.userDataFolder + QStringLiteral("attachments")).exists());

        // Nothing installed any more: still "Done.".
        QVERIFY(runWorker(false, InstallOptions(), m_paths).result);
    }
};

MRV_TEST_GUILESS_MAIN(TstInstallWorker)

#include "tst_installworker.moc"
