#pragma once

// A small HTTP and HTTPS server for tests, on 127.0.0.1, run by the test's event loop.

#include <QByteArray>
#include <QList>
#include <QPair>
#include <QSslCertificate>
#include <QSslKey>
#include <QTcpServer>
#include <QUrl>

namespace testhttp {

struct ReceivedRequest
{
    QByteArray requestLine;
    QList<QPair<QByteArray, QByteArray>> headers;
    QByteArray body;

    QList<QByteArray> values(const QByteArray& name) const;
};

/// `contentLength` -1 sends no Content-Length, -2 the body's true size, else that number.
QByteArray httpResponse(int status, const QByteArray& body, qint64 contentLength = -2);

/// Makes a self-signed certificate for 127.0.0.1 with the openssl tool, its files in `folder`;
/// false when the tool is missing or failed.
bool makeCertificate(const QString& folder, const QString& name, QSslCertificate* certificate, QSslKey* key);

/// Answers each request with the next canned response (the last one repeats); TLS when it has
/// a certificate.
class ScriptedServer : public QTcpServer
{
    Q_OBJECT

public:
    QList<QByteArray> responses;
    bool silent = false;   // never answer
    bool keepOpen = false; // do not close after answering
    QSslCertificate certificate;
    QSslKey key;
    int connections = 0;
    QList<ReceivedRequest> requests;

    bool start() { return listen(QHostAddress::LocalHost); }
    QUrl url(const QString& pathAndQuery) const;

protected:
    void incomingConnection(qintptr descriptor) override;
};

} // namespace testhttp
