#pragma once

#include "base/identity.h"
#include "core/instancelock.h"
#include "support/testenv.h"

#include <QDir>
#include <QLocalSocket>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

namespace testenv {

/// A temporary HOME for the real program: its data and runtime folders, the environment that
/// points the program at them, and whether a started program runs.
class ProgramHome
{
public:
    ProgramHome()
    {
        QDir().mkpath(runtimeFolder());
        QFile::setPermissions(runtimeFolder(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }

    QString path() const { return m_dir.path(); }
    QString filePath(const QString& name) const { return m_dir.filePath(name); }
    QString dataFolder() const { return path() + QStringLiteral("/data/Velbrook/Mirevo/User Data/"); }
    QString databasePath() const { return dataFolder() + QStringLiteral("database.xml"); }
    QString runtimeFolder() const { return path() + QStringLiteral("/runtime"); }

    QProcessEnvironment environment() const
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("HOME"), path());
        env.insert(QStringLiteral("XDG_CONFIG_HOME"), path() + QStringLiteral("/config"));
        env.insert(QStringLiteral("XDG_DATA_HOME"), path() + QStringLiteral("/data"));
        env.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtimeFolder());
        return env;
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
