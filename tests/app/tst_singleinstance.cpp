#include "app/singleinstancepeer.h"
#include "core/launchmode.h"
#include "platform/privatefolder.h"
#include "support/testenv.h"

#include <QApplication>
#include <QLocalSocket>
#include <QTemporaryDir>
#include <QThread>

#include <memory>
#include <vector>

#include <sys/stat.h>
#include <unistd.h>

class TstSingleInstance : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    QString m_id;
    QString m_lockPath;

    static QByteArray frame(const QByteArray& message)
    {
        QByteArray bytes;
        QDataStream(&bytes, QIODevice::WriteOnly) << static_cast<qint32>(message.size());
        return bytes + message;
    }

private Q_SLOTS:
    void launchModeIsTheFirstSwitchAfterTheProgram()
    {
        QCOMPARE(parseLaunchMode({"mirevo", "-x", "--uninstall", "--install"}), LaunchMode::Uninstall);
        QCOMPARE(parseLaunchMode({"--install"}), LaunchMode::TaskManager);
    }

    void init()
    {
        m_id = QStringLiteral("test-%1").arg(QUuid::createUuid().toString(QUuid::Id128));
        m_lockPath = m_dir.filePath(m_id + QStringLiteral(".lock"));
    }

    // A running instance that takes a message but does not answer in time, or that does not
    // listen to messages at all (the answers of one that does: the message handler's tests). A
    // peer never delivers to itself, and once the first peer goes, the lock is free.
    void laterStartWithoutAnAnswer_data()
    {
        QTest::addColumn<bool>("listening");
        QTest::addColumn<int>("delivery");
        QTest::newRow("no answer in time") << true << int(SingleInstancePeer::Delivery::NoAnswer);
        QTest::newRow("nobody listens to messages") << false << int(SingleInstancePeer::Delivery::Refused);
    }

    void laterStartWithoutAnAnswer()
    {
        QFETCH(bool, listening);
        QFETCH(int, delivery);
        {
            SingleInstancePeer first(m_id, m_lockPath);
            QVERIFY(!first.isRunning());
            SingleInstancePeer second(m_id, m_lockPath);
            QVERIFY(second.isRunning());
            QStringList received;
            if (listening)
                connect(&first, &SingleInstancePeer::messageReceived, this,
                        [&](const QString& text) { received << text; });
            // The sender blocks, so the receiver's event loop runs here while a worker sends.
            SingleInstancePeer::Delivery delivered = SingleInstancePeer::Delivery::NotDelivered;
            QThread* sender = QThread::create(
                [&] { delivered = second.deliver(QStringLiteral("show ✓"), listening ? 300 : 5000); });
            sender->start();
            QTRY_VERIFY_WITH_TIMEOUT(sender->isFinished(), 15000);
            delete sender;
            QCOMPARE(int(delivered), delivery);
            QCOMPARE(received, listening ? QStringList{QStringLiteral("show ✓")} : QStringList());
            QCOMPARE(first.deliver(QStringLiteral("to myself"), 100),
                     SingleInstancePeer::Delivery::NotDelivered);
        }
        SingleInstancePeer next(m_id, m_lockPath);
        QVERIFY(!next.isRunning());
    }

    // The socket lives where only the user can reach it, never in a folder others prepared.
    void channelIsInAPrivateFolder_data()
    {
        QTest::addColumn<QString>("runtimeMode");
        QTest::addColumn<bool>("inRuntime");
        QTest::newRow("private runtime folder") << QStringLiteral("0700") << true;
        QTest::newRow("no runtime folder") << QString() << false;
        QTest::newRow("runtime folder open to others") << QStringLiteral("0777") << false;
        QTest::newRow("runtime folder of another user") << QStringLiteral("other") << false;
    }

    void channelIsInAPrivateFolder()
    {
        QFETCH(QString, runtimeMode);
        QFETCH(bool, inRuntime);
        const QString runtime = m_dir.filePath(m_id + QStringLiteral("-runtime"));
        QVERIFY(QDir().mkpath(runtime));
        const QByteArray saved = qgetenv("XDG_RUNTIME_DIR");
        if (runtimeMode.isEmpty())
            qunsetenv("XDG_RUNTIME_DIR");
        else
            qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtime));
        ::chmod(QFile::encodeName(runtime).constData(), runtimeMode == QLatin1String("0777") ? 0777 : 0700);
        if (runtimeMode == QLatin1String("other") && ::chown(QFile::encodeName(runtime).constData(), ::geteuid() + 1, ::getegid()) != 0)
            QSKIP("needs to give a folder to another user");
        // The program's own folder is tightened to the user alone, whatever it was.
        const QString own = m_dir.filePath(QStringLiteral("runtime"));
        QDir().mkpath(own);
        ::chmod(QFile::encodeName(own).constData(), 0755);
        const QString channel = SingleInstancePeer::channelFor(m_id, m_lockPath);
        qputenv("XDG_RUNTIME_DIR", saved);
        QCOMPARE(QFileInfo(channel).absolutePath(), inRuntime ? runtime : own);
        QVERIFY(platform::isPrivateFolder(QFileInfo(channel).absolutePath()));
        SingleInstancePeer first(m_id, m_lockPath);
        QVERIFY(QFileInfo::exists(first.serverName()));
    }

    // Connections are served in full, one message after another, and never held for long.
    void connectionLimits_data()
    {
        QTest::addColumn<QByteArray>("sent");
        QTest::addColumn<QByteArray>("answers");
        QTest::addColumn<bool>("closed");
        QTest::newRow("three messages in one write") << frame("a") + frame("b") + frame("c") << QByteArray("AAA") << false;
        QTest::newRow("half-sent") << frame("never ends").left(8) << QByteArray() << true;
        QTest::newRow("too long") << QByteArray::fromHex("7fffffff") << QByteArray() << true;
    }

    void connectionLimits()
    {
        QFETCH(QByteArray, sent);
        QFETCH(QByteArray, answers);
        QFETCH(bool, closed);
        SingleInstancePeer first(m_id, m_lockPath);
        first.setConnectionTimeoutMs(300);
        QStringList received;
        connect(&first, &SingleInstancePeer::messageReceived, this, [&](const QString& message, quint64 ticket) {
            received << message;
            first.answer(ticket, SingleInstancePeer::Answer::Accepted);
        });
        QLocalSocket socket;
        socket.connectToServer(first.serverName());
        QVERIFY(socket.waitForConnected(2000));
        socket.write(sent);
        QTRY_COMPARE(socket.bytesAvailable(), qint64(answers.size()));
        QCOMPARE(socket.readAll(), answers);
        QCOMPARE(received.size(), answers.size());
        QTRY_COMPARE_WITH_TIMEOUT(socket.state() == QLocalSocket::UnconnectedState, closed, 3000);
        QTRY_COMPARE(first.connectionCount(), closed ? 0 : 1);
    }

    void connectionsAtOnceAreCapped()
    {
        SingleInstancePeer first(m_id, m_lockPath);
        std::vector<std::unique_ptr<QLocalSocket>> sockets;
        for (int i = 0; i < SingleInstancePeer::MaxConnections + 3; ++i) {
            sockets.push_back(std::make_unique<QLocalSocket>());
            sockets.back()->connectToServer(first.serverName());
            QVERIFY(sockets.back()->waitForConnected(2000));
        }
        QTRY_COMPARE(first.connectionCount(), SingleInstancePeer::MaxConnections);
        // The ones beyond the cap are told to come back later.
        QTRY_COMPARE(sockets.back()->peek(1), QByteArray("B"));
    }
};

MRV_TEST_WIDGETS_MAIN(TstSingleInstance)
#include "tst_singleinstance.moc"
