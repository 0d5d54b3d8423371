#pragma once

#include <QProcess>
#include <QString>
#include <QTemporaryDir>
#include <QUrl>

#include <memory>

/// A real CalDAV server for tests: Radicale on 127.0.0.1, a free port, its own temporary
/// storage folder and a users file (plain passwords). Ended when the object goes.
class RadicaleServer
{
public:
    RadicaleServer() = default;
    ~RadicaleServer();

    /// Whether the radicale program is installed.
    static bool available();

    /// Starts the server and waits until it answers. False with the reason in `error`.
    bool start(QString* error = nullptr);
    /// Ends it (SIGTERM, then SIGKILL) and waits; the storage is kept.
    void stop();
    /// Starts it again, after start(), on the same port with the same storage.
    bool restart(QString* error = nullptr);

    /// "http://127.0.0.1:<port>/"
    QUrl url() const;
    /// The user's principal collection, "http://127.0.0.1:<port>/<user>/"
    QUrl userUrl() const;
    QString user() const { return QStringLiteral("alice"); }
    QString password() const { return QStringLiteral("secret"); }

private:
    enum class Launch { Ready, PortTaken, Failed };
    Launch _launch(QString* error);
    bool _writeFiles(QString* error);
    bool _answers() const;
    void _end(bool gently);
    QByteArray _output() const;

    quint16 m_port = 0;
    QTemporaryDir m_dir;
    std::unique_ptr<QProcess> m_process;
};
