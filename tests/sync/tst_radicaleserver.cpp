#include "support/radicaleserver.h"
#include "support/testenv.h"

#include <QNetworkAccessManager>
#include <QNetworkReply>

class TestRadicaleServer : public QObject
{
    Q_OBJECT

private:
    int _status(const QByteArray& method, const QUrl& url, const QByteArray& depth = {})
    {
        QNetworkRequest request(url);
        request.setRawHeader("Authorization", "Basic " + QByteArray("alice:secret").toBase64());
        if (!depth.isEmpty())
            request.setRawHeader("Depth", depth);
        std::unique_ptr<QNetworkReply> reply(m_network.sendCustomRequest(request, method));
        if (!QTest::qWaitFor([&] { return reply->isFinished(); }, 10000))
            return -1;
        return reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    }

    QNetworkAccessManager m_network;

private Q_SLOTS:
    void initTestCase()
    {
        if (!RadicaleServer::available())
            QSKIP("radicale is not installed");
    }

    void restartKeepsPortAndCollections()
    {
        RadicaleServer server;
        QString error;
        QVERIFY2(server.start(&error), qPrintable(error));
        const quint16 port = server.port();
        QUrl list = server.userUrl();
        list.setPath(list.path() + QStringLiteral("tasks/"));
        QCOMPARE(_status("MKCALENDAR", list), 201);

        server.kill();
        QVERIFY(!server.isRunning());
        QVERIFY2(server.restart(&error), qPrintable(error));
        QCOMPARE(server.port(), port);
        QCOMPARE(_status("PROPFIND", list, "0"), 207);

        server.stop();
        QVERIFY(!server.isRunning());
        QCOMPARE(_status("PROPFIND", list, "0"), 0);
    }
};

MRV_TEST_GUILESS_MAIN(TestRadicaleServer)
#include "tst_radicaleserver.moc"
