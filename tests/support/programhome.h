#pragma once

#include "core/instancelock.h"
#include "support/testenv.h"

#include <QDir>
#include <QLocalSocket>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

namespace testenv {

/// A temporary HOME for the real program: its data and runtime folders, the environment that
/// points the program at them, and the program started or run in it.
class ProgramHome
{
public:
    struct Run
    {
        int code = -1; // -1: crashed or did not end
        QString out;
        QString err;
    };

    ProgramHome()
    {
        QDir().mkpath(runtimeFolder());
        QFile::setPermissions(runtimeFolder(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }

    QString path() const { return m_dir.path(); }
    QString dataFolder() const { return path() + QStringLiteral("/data/Velbrook/Mirevo/User Data/"); }
    QString databasePath() const { return dataFolder() + QStringLiteral("database.xml"); }
    QString runtimeFolder() const { return path() + QStringLiteral("/runtime"); }

    /// `extra` values replace the usual ones; an empty value removes the variable.
    QProcessEnvironment environment(const QProcessEnvironment& extra = QProcessEnvironment()) const
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("HOME"), path());
        env.insert(QStringLiteral("XDG_CONFIG_HOME"), path() + QStringLiteral("/config"));
        env.insert(QStringLiteral("XDG_DATA_HOME"), path() + QStringLiteral("/data"));
        env.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtimeFolder());
        for (const QString& name : extra.keys()) {
            if (extra.value(name).isEmpty())
                env.remove(name);
            else
                env.insert(name, extra.value(name));
        }
        return env;
    }

    /// The program as a desktop starts it (on the offscreen platform unless `extra` says else).
    std::unique_ptr<QProcess> start(const QStringList& arguments = QStringList(),
                                    QProcessEnvironment extra = QProcessEnvironment()) const
    {
        if (!extra.contains(QStringLiteral("QT_QPA_PLATFORM")))
            extra.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        auto process = std::make_unique<QProcess>();
        process->setProcessEnvironment(environment(extra));
        process->setProcessChannelMode(QProcess::ForwardedErrorChannel);
        process->start(programPath(), arguments);
        process->waitForStarted(10000);
        return process;
    }

    /// Ends a started program with SIGTERM: its exit status, -1 when it crashed or did not end.
    static int stop(QProcess& process)
    {
        process.terminate();
        if (!process.waitForFinished(15000) || process.exitStatus() != QProcess::NormalExit)
            return -1;
        return process.exitCode();
    }

    /// The program run from a command line without a display, to its end.
    Run run(const QStringList& arguments, QProcessEnvironment extra = QProcessEnvironment()) const
    {
        for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
            extra.insert(QString::fromLatin1(name), QString());
        QProcess process;
        process.setProcessEnvironment(environment(extra));
        process.start(programPath(), arguments);
        Run result;
        if (!process.waitForFinished(15000) || process.exitStatus() != QProcess::NormalExit)
            return result;
        result.code = process.exitCode();
        result.out = QString::fromUtf8(process.readAllStandardOutput());
        result.err = QString::fromUtf8(process.readAllStandardError());
        return result;
    }

    /// The program's record in the database lock.
    InstanceLock::Owner owner() const { return InstanceLock(InstanceLock::pathFor(databasePath())).owner(); }

    /// The first instance is ready once it answers on the socket its lock names. Probing must
    /// not take the lock itself, or the program would hand over to the probe.
    bool waitUntilRunning(QProcess& process) const
    {
        for (int i = 0; i < 400 && process.state() == QProcess::Running; ++i) {
            QLocalSocket socket;
            socket.connectToServer(owner().m_channel);
            if (socket.waitForConnected(100))
                return true;
            QTest::qWait(25);
        }
        return false;
    }

private:
    QTemporaryDir m_dir;
};

} // namespace testenv
