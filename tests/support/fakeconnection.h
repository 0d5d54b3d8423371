#pragma once

// An HTTP connection without a network, for the services that take a connection factory.

#include "net/httpconnection.h"

#include <QMutex>
#include <QUrl>
#include <QWaitCondition>

#include <functional>

namespace testhttp {

struct SentRequest
{
    QByteArray method;
    QUrl url;
    QByteArray body;
    net::HttpConnection::Headers headers;
};

struct Answer
{
    bool transferOk = true;
    int status = 200;
    QByteArray body;
    bool hang = false; // never answer: the transfer ends only when aborted
};

/// Hands every request to `respond` (on the caller's thread) and gives its answer back.
class FakeConnection : public net::HttpConnection
{
public:
    using Respond = std::function<Answer(const SentRequest&)>;
    explicit FakeConnection(Respond respond) : m_respond(std::move(respond)) {}

    bool connect(const QString&, quint16) override { return true; }
    bool disconnect() override { return true; }
    bool get(const QUrl& url, QByteArray* response, const Headers& headers) override
    {
        return exchange({"GET", url, QByteArray(), headers}, response);
    }
    bool post(const QUrl& url, const QByteArray& body, QByteArray* response, const Headers& headers) override
    {
        return exchange({"POST", url, body, headers}, response);
    }
    int statusCode() const override { return m_status; }
    qint64 contentLength() const override { return -1; }
    int read(QIODevice*, int) override { return -1; }
    QString userAgent() const override { return QString(); }
    void setUserAgent(const QString&) override {}
    void abort() override
    {
        QMutexLocker locker(&m_lock);
        m_aborted = true;
        m_abortedCondition.wakeAll();
    }

private:
    bool exchange(const SentRequest& request, QByteArray* response)
    {
        const Answer answer = m_respond(request);
        if (answer.hang) {
            QMutexLocker locker(&m_lock);
            if (!m_aborted)
                m_abortedCondition.wait(&m_lock, 60000);
            return false;
        }
        if (answer.transferOk) {
            m_status = answer.status;
            *response = answer.body;
        }
        return answer.transferOk;
    }

    Respond m_respond;
    int m_status = -1;
    QMutex m_lock;
    QWaitCondition m_abortedCondition;
    bool m_aborted = false;
};

} // namespace testhttp
