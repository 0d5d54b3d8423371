#include "support/httptestserver.h"

#include "support/testenv.h"

#include <QProcess>
#include <QSslSocket>

#include <memory>

namespace testhttp {

QList<QByteArray> ReceivedRequest::values(const QByteArray& name) const
{
    QList<QByteArray> found;
    for (const auto& header : headers) {
        if (header.first.compare(name, Qt::CaseInsensitive) == 0)
            found.append(header.second);
    }
    return found;
}

namespace {

// False while the request is incomplete.
bool parseRequest(const QByteArray& raw, ReceivedRequest* request)
{
    const int end = raw.indexOf("\r\n\r\n");
    if (end < 0)
        return false;
    const QList<QByteArray> lines = raw.left(end).split('\n');
    request->requestLine = lines.value(0).trimmed();
    request->headers.clear();
    qint64 length = 0;
    for (int i = 1; i < lines.size(); ++i) {
        const QByteArray line = lines.at(i).trimmed();
        const int colon = line.indexOf(':');
        if (colon <= 0)
            continue;
        request->headers.append({line.left(colon).trimmed(), line.mid(colon + 1).trimmed()});
        if (request->headers.last().first.compare("Content-Length", Qt::CaseInsensitive) == 0)
            length = request->headers.last().second.toLongLong();
    }
    if (raw.size() - (end + 4) < length)
        return false;
    request->body = raw.mid(end + 4);
    return true;
}

} // namespace

QByteArray httpResponse(int status, const QByteArray& body, qint64 contentLength)
{
    QByteArray head = "HTTP/1.1 " + QByteArray::number(status) + " Status\r\n"
                      "Content-Type: text/plain\r\nConnection: close\r\n";
    if (contentLength == -2)
        contentLength = body.size();
    if (contentLength >= 0)
        head += "Content-Length: " + QByteArray::number(contentLength) + "\r\n";
    return head + "\r\n" + body;
}

bool makeCertificate(const QString& folder, const QString& name, QSslCertificate* certificate, QSslKey* key)
{
    const QString keyPath = folder + QLatin1Char('/') + name + QStringLiteral("-key.pem");
    const QString certificatePath = folder + QLatin1Char('/') + name + QStringLiteral("-cert.pem");
    QProcess openssl;
    openssl.start(QStringLiteral("openssl"),
                  QStringList{"req", "-x509", "-newkey", "ec", "-pkeyopt", "ec_paramgen_curve:prime256v1", "-nodes",
                              "-subj", "/CN=127.0.0.1", "-addext", "subjectAltName=IP:127.0.0.1", "-days", "2",
                              "-keyout", keyPath, "-out", certificatePath});
    if (!openssl.waitForFinished(20000) || openssl.exitStatus() != QProcess::NormalExit || openssl.exitCode() != 0)
        return false;
    *certificate = QSslCertificate(testenv::readBytes(certificatePath), QSsl::Pem);
    *key = QSslKey(testenv::readBytes(keyPath), QSsl::Ec, QSsl::Pem);
    return !certificate->isNull() && !key->isNull();
}

QUrl ScriptedServer::url(const QString& pathAndQuery) const
{
    return QUrl(QStringLiteral("%1://127.0.0.1:%2%3")
                    .arg(certificate.isNull() ? QStringLiteral("http") : QStringLiteral("https"))
                    .arg(serverPort())
                    .arg(pathAndQuery));
}

void ScriptedServer::incomingConnection(qintptr descriptor)
{
    auto* socket = new QSslSocket(this);
    if (!socket->setSocketDescriptor(descriptor)) {
        delete socket;
        return;
    }
    ++connections;
    auto received = std::make_shared<QByteArray>();
    auto answered = std::make_shared<bool>(false);
    QObject::connect(socket, &QSslSocket::readyRead, this, [this, socket, received, answered] {
        received->append(socket->readAll());
        ReceivedRequest request;
        if (*answered || !parseRequest(*received, &request))
            return;
        *answered = true;
        requests.append(request);
        if (silent)
            return;
        socket->write(responses.isEmpty()
                          ? httpResponse(200, "ok")
                          : responses.value(qMin<qsizetype>(requests.size() - 1, responses.size() - 1)));
        if (!keepOpen)
            socket->disconnectFromHost();
    });
    QObject::connect(socket, &QSslSocket::disconnected, socket, &QObject::deleteLater);
    if (!certificate.isNull()) {
        socket->setLocalCertificate(certificate);
        socket->setPrivateKey(key);
        socket->startServerEncryption();
    }
}

} // namespace testhttp
