#include "support/radicaleserver.h"

#include <QDeadlineTimer>
#include <QFile>
#include <QHostAddress>
#include <QStandardPaths>
#include <QTcpServer>
#include <QTcpSocket>

#include <signal.h>
#include <sys/prctl.h>

namespace {

const int startTimeoutMs = 15000;
const int stopTimeoutMs = 3000;

QString radicaleProgram()
{
    return QStandardPaths::findExecutable(QStringLiteral("radicale"));
}

bool fail(QString* error, const QString& reason)
{
    if (error)
        *error = reason;
    return false;
}

} // namespace

RadicaleServer::~RadicaleServer()
{
    _end(false);
}

bool RadicaleServer::available()
{
    return !radicaleProgram().isEmpty();
}

bool RadicaleServer::start(QString* error)
{
    if (!m_dir.isValid())
        return fail(error, QStringLiteral("no temporary folder: %1").arg(m_dir.errorString()));
    // The port is free when probed but may be taken before Radicale binds it: try a few.
    for (int attempt = 0; attempt < 5; ++attempt) {
        QTcpServer probe;
        if (!probe.listen(QHostAddress::LocalHost, 0))
            return fail(error, QStringLiteral("no free port on 127.0.0.1"));
        m_port = probe.serverPort();
        probe.close();
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
    return _launch(error) == Launch::Ready;
}

void RadicaleServer::stop()
{
    _end(true);
}

void RadicaleServer::_end(bool gently)
{
    if (m_process && m_process->state() != QProcess::NotRunning) {
        if (gently)
            m_process->terminate();
        if (!gently || !m_process->waitForFinished(stopTimeoutMs)) {
            m_process->kill();
            m_process->waitForFinished(stopTimeoutMs);
        }
    }
    m_process.reset();
}

QUrl RadicaleServer::url() const
{
    return QUrl(QStringLiteral("http://127.0.0.1:%1/").arg(m_port));
}

QUrl RadicaleServer::userUrl() const
{
    return url().resolved(QUrl(user() + QLatin1Char('/')));
}

QByteArray RadicaleServer::_output() const
{
    QFile log(m_dir.filePath(QStringLiteral("radicale.log")));
    return log.open(QIODevice::ReadOnly) ? log.readAll() : QByteArray();
}

bool RadicaleServer::_writeFiles(QString* error)
{
    const QString usersPath = m_dir.filePath(QStringLiteral("users"));
    const QString config = QStringLiteral("[server]\nhosts = 127.0.0.1:%1\nssl = False\n"
                                          "[encoding]\nrequest = utf-8\nstock = utf-8\n"
                                          "[auth]\ntype = htpasswd\nhtpasswd_filename = %2\n"
                                          "htpasswd_encryption = plain\ndelay = 0\n"
                                          "[rights]\ntype = owner_only\n"
                                          "[storage]\nfilesystem_folder = %3\n"
                                          "[web]\ntype = none\n"
                                          "[logging]\nlevel = warning\n")
                               .arg(m_port)
                               .arg(usersPath, m_dir.filePath(QStringLiteral("collections")));
    const QByteArray users = QStringLiteral("%1:%2\n").arg(user(), password()).toUtf8();
    QFile configFile(m_dir.filePath(QStringLiteral("config")));
    QFile usersFile(usersPath);
    if (!configFile.open(QIODevice::WriteOnly | QIODevice::Truncate) || configFile.write(config.toUtf8()) < 0
        || !usersFile.open(QIODevice::WriteOnly | QIODevice::Truncate) || usersFile.write(users) < 0)
        return fail(error, QStringLiteral("cannot write the Radicale configuration in %1").arg(m_dir.path()));
    return true;
}

RadicaleServer::Launch RadicaleServer::_launch(QString* error)
{
    const QString program = radicaleProgram();
    if (program.isEmpty()) {
        fail(error, QStringLiteral("radicale is not installed"));
        return Launch::Failed;
    }
    const QString logPath = m_dir.filePath(QStringLiteral("radicale.log"));
    const qint64 logStart = QFile(logPath).size();
    m_process = std::make_unique<QProcess>();
    m_process->setProcessChannelMode(QProcess::MergedChannels);
    // A file rather than a pipe: nobody has to drain it while a test blocks.
    m_process->setStandardOutputFile(logPath, QIODevice::Append);
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
        fail(error, QStringLiteral("radicale did not start: %1").arg(m_process->errorString()));
        m_process.reset();
        return Launch::Failed;
    }

    const QDeadlineTimer deadline(startTimeoutMs);
    while (!deadline.hasExpired()) {
        if (m_process->waitForFinished(50)) {
            const QByteArray log = _output().mid(logStart);
            m_process.reset();
            if (log.contains("Address already in use"))
                return Launch::PortTaken;
            fail(error, QStringLiteral("radicale ended at start:\n%1").arg(QString::fromUtf8(log)));
            return Launch::Failed;
        }
        if (_answers())
            return Launch::Ready;
    }
    _end(false);
    fail(error, QStringLiteral("radicale did not answer on port %1 within %2 ms:\n%3")
                    .arg(m_port)
                    .arg(startTimeoutMs)
                    .arg(QString::fromUtf8(_output().mid(logStart))));
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
