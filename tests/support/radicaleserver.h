#pragma once

#include <QProcess>
#include <QString>
#include <QTemporaryDir>
#include <QUrl>

#include <memory>

/// A real CalDAV server for tests: Radicale on 127.0.0.1, a free port, its own temporary
/// storage folder and a users file (plain passwords). Stopped when the object goes.
class RadicaleServer
{
public:
    explicit RadicaleServer(const QString& user = QStringLiteral("alice"),
                            const QString& password = QStringLiteral("secret"));
    ~RadicaleServer();

    /// Whether the radicale program is installed.
    static bool available();

    /// Starts the server and waits until it answers. False with the reason in `error`.
    bool start(QString* error = nullptr);
    /// Ends it (SIGTERM, then SIGKILL) and waits; the storage is kept.
    void stop();
    /// Ends it at once with SIGKILL; the storage is kept.
    void kill();
    /// Starts it again on the same port with the same storage.
    bool restart(QString* error = nullptr);
    bool isRunning() const;

    /// "http://127.0.0.1:<port>/"
    QUrl url() const;
    /// The user's principal collection, "http://127.0.0.1:<port>/<user>/"
    QUrl userUrl() const;
    quint16 port() const { return m_port; }
    QString user() const { return m_user; }
    QString password() const { return m_password; }
    /// The folder Radicale keeps its collections in.
    QString storagePath() const;
    /// What the server wrote to stdout and stderr so far (for failure messages).
    QByteArray output() const;

private:
    enum class Launch { Ready, PortTaken, Failed };
    Launch _launch(QString* error);
    bool _writeFiles(QString* error);
    bool _answers() const;
    QString _logPath() const;

    QString m_user;
    QString m_password;
    quint16 m_port = 0;
    QTemporaryDir m_dir;
    std::unique_ptr<QProcess> m_process;
};
