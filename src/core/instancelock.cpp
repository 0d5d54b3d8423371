#include "core/instancelock.h"

#include "platform/filelock.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QList>
#include <QThread>
#include <QUrl>

namespace {

const QByteArray kMagic("mirevo-instance 1");

QByteArray roleName(InstanceLock::Role role)
{
    switch (role) {
    case InstanceLock::Program: return QByteArrayLiteral("program");
    case InstanceLock::Capture: return QByteArrayLiteral("capture");
    case InstanceLock::Unknown: break;
    }
    return QByteArray();
}

} // namespace

QString InstanceLock::pathFor(const QString& databasePath)
{
    return databasePath + QStringLiteral(".lock");
}

InstanceLock::InstanceLock(const QString& path)
    : m_path(path)
    , m_lock(std::make_unique<platform::FileLock>(path))
{
}

InstanceLock::~InstanceLock() = default;

bool InstanceLock::tryLock(Role role, const QString& channel)
{
    if (!m_lock->tryLock())
        return false;
    // The record ends with a line of its own: a reader that sees no end reads again.
    QByteArray record = kMagic + '\n';
    record += "role " + roleName(role) + '\n';
    record += "pid " + QByteArray::number(QCoreApplication::applicationPid()) + '\n';
    record += "channel " + QUrl::toPercentEncoding(channel, "/") + '\n';
    record += "end\n";
    m_lock->writeRecord(record);
    return true;
}

bool InstanceLock::lockOrWait(Role role, const QString& channel, int timeoutMs, Owner* owner,
                              const std::function<void()>& whileWaiting)
{
    const QDeadlineTimer deadline(timeoutMs);
    int programSeen = 0;
    for (;;) {
        if (tryLock(role, channel))
            return true;
        const Owner holder = this->owner();
        if (owner)
            *owner = holder;
        // A record read in the instant between a new owner's lock and its record may still be
        // the previous owner's: a program counts once it is seen twice.
        programSeen = holder.m_role == Program ? programSeen + 1 : 0;
        if (programSeen >= 2 || deadline.hasExpired())
            return false;
        if (whileWaiting)
            whileWaiting();
        QThread::msleep(programSeen ? 5 : 20);
    }
}

bool InstanceLock::isLocked() const
{
    return m_lock->isLocked();
}

void InstanceLock::unlock()
{
    m_lock->unlock();
}

InstanceLock::Owner InstanceLock::owner() const
{
    Owner owner;
    const QList<QByteArray> lines = platform::FileLock::readRecord(m_path).split('\n');
    if (lines.size() < 2 || lines.first() != kMagic || !lines.contains(QByteArrayLiteral("end")))
        return owner;
    for (const QByteArray& line : lines) {
        const int space = line.indexOf(' ');
        const QByteArray key = line.left(space);
        const QByteArray value = space < 0 ? QByteArray() : line.mid(space + 1);
        if (key == "role")
            owner.m_role = value == roleName(Program) ? Program : value == roleName(Capture) ? Capture : Unknown;
        else if (key == "pid")
            owner.m_pid = value.toLongLong();
        else if (key == "channel")
            owner.m_channel = QUrl::fromPercentEncoding(value);
    }
    return owner;
}

QString InstanceLock::errorString() const
{
    return m_lock->errorString();
}
