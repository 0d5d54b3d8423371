#include "support/radicaleserver.h"

#include <QDeadlineTimer>
#include <QFile>
#include <QHostAddress>
#include <QStandardPaths>
#include <QTcpServer>
#include <QTcpSocket>
#include <QThread>

#include <signal.h>
#include <sys/prctl.h>

namespace {

const int startTimeoutMs = 15000;
const int stopTimeoutMs = 3000;

QString radicaleProgram()
{
    return QStandardPaths::findExecutable(QStringLiteral("radicale"));
}

quint16 freePort()
{
    QTcpServer probe;
    if (!probe.listen(QHostAddress::LocalHost, 0))
        return 0;
    return probe.serverPort();
}

} // namespace

RadicaleServer::RadicaleServer(const QString& user, const QString& password)
    : m_user(user)
    , m_password(password)
{
}

RadicaleServer::~RadicaleServer()
{
    kill();
}

bool RadicaleServer::available()
{
    return !radicaleProgram().isEmpty();
}

bool RadicaleServer::start(QString* error)
{
    if (isRunning())
        return true;
    if (!m_dir.isValid()) {
        if (error)
            *error = QStringLiteral("no temporary folder: %1").arg(m_dir.errorString());
        return false;
    }
    // The port is free when probed but may be taken before Radicale binds it: try a few.
    for (int attempt = 0; attempt < 5; ++attempt) {
        m_port = freePort();
        if (m_port == 0) {
            if (error)
                *error = QStringLiteral("no free port on 127.0.0.1");
            return false;
        }
        if (!_writeFiles(error))
            return false;
        const Launch result = _launch(error);
        if (result != Launch::PortTaken)
            return result == Launch::Ready;
    }
    return false;
}

bool RadicaleServer::restart(QString* error)
{
    stop();
    if (m_port == 0)
        return start(error);
    return _launch(error) == Launch::Ready;
}

void RadicaleServer::stop()
{
    if (!m_process)
        return;
    if (m_process->state() != QProcess::NotRunning) {
        m_process->terminate();
        if (!m_process->waitForFinished(stopTimeoutMs)) {
            m_process->kill();
            m_process->waitForFinished(stopTimeoutMs);
        }
    }
    m_process.reset();
}

void RadicaleServer::kill()
{
    if (!m_process)
        return;
    if (m_process->state() != QProcess::NotRunning) {
        m_process->kill();
        m_process->waitForFinished(stopTimeoutMs);
    }
    m_process.reset();
}

bool RadicaleServer::isRunning() const
{
    return m_process && m_process->state() == QProcess::Running;
}

QUrl RadicaleServer::url() const
{
    QUrl url;
    url.setScheme(QStringLiteral("http"));
    url.setHost(QStringLiteral("127.0.0.1"));
    url.setPort(m_port);
    url.setPath(QStringLiteral("/"));
    return url;
}

QUrl RadicaleServer::userUrl() const
{
    QUrl url = this->url();
    url.setPath(QStringLiteral("/%1/").arg(m_user));
    return url;
}

QString RadicaleServer::storagePath() const
{
    return m_dir.filePath(QStringLiteral("collections"));
}

QByteArray RadicaleServer::output() const
{
    QFile log(_logPath());
    if (!log.open(QIODevice::ReadOnly))
        return {};
    return log.readAll();
}

QString RadicaleServer::_logPath() const
{
    return m_dir.filePath(QStringLiteral("radicale.log"));
}

bool RadicaleServer::_writeFiles(QString* error)
{
    const QString usersPath = m_dir.filePath(QStringLiteral("users"));
    const QString config = QStringLiteral(
                               "[server]\n"
                               "hosts = 127.0.0.1:%1\n"
                               "ssl = False\n"
                               "[encoding]\n"
                               "request = utf-8\n"
                               "stock = utf-8\n"
                               "[auth]\n"
                               "type = htpasswd\n"
                               "htpasswd_filename = %2\n"
                               "htpasswd_encryption = plain\n"
                               "delay = 0\n"
                               "[rights]\n"
                               "type = owner_only\n"
                               "[storage]\n"
                               "filesystem_folder = %3\n"
                               "[web]\n"
                               "type = none\n"
                               "[logging]\n"
                               "level = warning\n")
                               .arg(m_port)
                               .arg(usersPath, storagePath());
    const QByteArray users = QStringLiteral("%1:%2\n").arg(m_user, m_password).toUtf8();
    QFile configFile(m_dir.filePath(QStringLiteral("config")));
    QFile usersFile(usersPath);
    if (!configFile.open(QIODevice::WriteOnly | QIODevice::Truncate) || configFile.write(config.toUtf8()) < 0
        || !usersFile.open(QIODevice::WriteOnly | QIODevice::Truncate) || usersFile.write(users) < 0) {
        if (error)
            *error = QStringLiteral("cannot write the Radicale configuration in %1").arg(m_dir.path());
        return false;
    }
    return true;
}

RadicaleServer::Launch RadicaleServer::_launch(QString* error)
{
    const QString program = radicaleProgram();
    if (program.isEmpty()) {
        if (error)
            *error = QStringLiteral("radicale is not installed");
        return Launch::Failed;
    }
    const qint64 logStart = QFile(_logPath()).size();
    m_process = std::make_unique<QProcess>();
    m_process->setProcessChannelMode(QProcess::MergedChannels);
    // A file rather than a pipe: nobody has to drain it while a test blocks.
    m_process->setStandardOutputFile(_logPath(), QIODevice::Append);
    m_process->setStandardInputFile(QProcess::nullDevice());
    // The explicit --config replaces /etc/radicale/config and ~/.config/radicale/config;
    // RADICALE_CONFIG points at ours too, so nothing else is ever read.
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    const QString configPath = m_dir.filePath(QStringLiteral("config"));
    environment.insert(QStringLiteral("RADICALE_CONFIG"), configPath);
    m_process->setProcessEnvironment(environment);
    // Should the test crash, the kernel ends Radicale with it.
    m_process->setChildProcessModifier([] { ::prctl(PR_SET_PDEATHSIG, SIGKILL); });
    m_process->start(program, {QStringLiteral("--config"), configPath});
    if (!m_process->waitForStarted(startTimeoutMs)) {
        if (error)
            *error = QStringLiteral("radicale did not start: %1").arg(m_process->errorString());
        m_process.reset();
        return Launch::Failed;
    }

    const QDeadlineTimer deadline(startTimeoutMs);
    while (!deadline.hasExpired()) {
        if (m_process->waitForFinished(50)) {
            const QByteArray log = output().mid(logStart);
            m_process.reset();
            if (log.contains("Address already in use"))
                return Launch::PortTaken;
            if (error)
                *error = QStringLiteral("radicale ended at start:\n%1").arg(QString::fromUtf8(log));
            return Launch::Failed;
        }
        if (_answers())
            return Launch::Ready;
    }
    kill();
    if (error)
        *error = QStringLiteral("radicale did not answer on port %1 within %2 ms:\n%3")
                     .arg(m_port)
                     .arg(startTimeoutMs)
                     .arg(QString::fromUtf8(output().mid(logStart)));
    return Launch::Failed;
}

bool RadicaleServer::_answers() const
{
    QTcpSocket socket;
    socket.connectToHost(QHostAddress::LocalHost, m_port);
    if (!socket.waitForConnected(500))
        return false;
    socket.write("OPTIONS / HTTP/1.1\r\nHost: 127.0.0.1\r\nConnection: close\r\n\r\n");
    QByteArray answer;
    while (answer.size() < 5 && socket.waitForReadyRead(1000))
        answer += socket.readAll();
    return answer.startsWith("HTTP/");
}
