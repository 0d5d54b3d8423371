#include "app/launchmode.h"
#include "app/singleinstancepeer.h"
#include "support/testenv.h"

#include <QApplication>
#include <QSignalSpy>
#include <QWidget>

class TstSingleInstance : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void launchMode_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("mode");
        QTest::newRow("no arguments") << QStringList{QStringLiteral("mirevo")} << 0;
        QTest::newRow("install") << QStringList{QStringLiteral("mirevo"), QStringLiteral("--install")} << 1;
        QTest::newRow("uninstall after others")
            << QStringList{QStringLiteral("mirevo"), QStringLiteral("-x"), QStringLiteral("--uninstall")} << 2;
        QTest::newRow("capitals are not the switch") << QStringList{QStringLiteral("mirevo"), QStringLiteral("--INSTALL")} << 0;
        QTest::newRow("first switch wins")
            << QStringList{QStringLiteral("mirevo"), QStringLiteral("--uninstall"), QStringLiteral("--install")} << 2;
        QTest::newRow("program path itself is not looked at") << QStringList{QStringLiteral("--install")} << 0;
    }

    void launchMode()
    {
        QFETCH(QStringList, arguments);
        QFETCH(int, mode);
        QCOMPARE(static_cast<int>(parseLaunchMode(arguments)), mode);
    }

    void firstPeerRunsAndLaterOnesHandOverTheirMessage()
    {
        const QString id = QStringLiteral("test-%1").arg(QUuid::createUuid().toString(QUuid::Id128));
        SingleInstancePeer first(id);
        QVERIFY(!first.isRunning());
        SingleInstancePeer second(id);
        QVERIFY(second.isRunning());
        QSignalSpy received(&first, &SingleInstancePeer::messageReceived);

        // The sender blocks, so the receiver needs an event loop of its own thread: run the
        // send from a worker while this thread keeps processing events.
        bool delivered = false;
        QThread* sender = QThread::create([&] { delivered = second.sendMessage(QStringLiteral("show ✓"), 5000); });
        sender->start();
        QTRY_VERIFY_WITH_TIMEOUT(sender->isFinished(), 10000);
        delete sender;
        QVERIFY(delivered);
        QCOMPARE(received.size(), 1);
        QCOMPARE(received.at(0).at(0).toString(), QStringLiteral("show ✓"));
        QVERIFY(!first.sendMessage(QStringLiteral("to myself"), 100));
    }

    void sendingWithNobodyListeningTimesOut()
    {
        const QString id = QStringLiteral("test-%1").arg(QUuid::createUuid().toString(QUuid::Id128));
        SingleInstancePeer first(id);
        SingleInstancePeer second(id);
        QElapsedTimer timer;
        timer.start();
        bool delivered = true;
        // The first peer's thread is busy (no event loop runs): nobody confirms.
        QThread* sender = QThread::create([&] { delivered = second.sendMessage(QStringLiteral("show"), 300); });
        sender->start();
        sender->wait();
        delete sender;
        QVERIFY(!delivered);
        QVERIFY(timer.elapsed() < 5000);
    }

    void lockIsFreedWhenTheFirstPeerGoes()
    {
        const QString id = QStringLiteral("test-%1").arg(QUuid::createUuid().toString(QUuid::Id128));
        {
            SingleInstancePeer first(id);
            QVERIFY(!first.isRunning());
        }
        SingleInstancePeer next(id);
        QVERIFY(!next.isRunning());
    }

    void messageActivatesTheWindow()
    {
        const QString id = QStringLiteral("test-%1").arg(QUuid::createUuid().toString(QUuid::Id128));
        SingleInstancePeer first(id);
        SingleInstancePeer second(id);
        QWidget window;
        window.showMinimized();
        window.hide();
        first.setActivationWindow(&window);
        QCOMPARE(first.activationWindow(), &window);
        QThread* sender = QThread::create([&] { second.sendMessage(QStringLiteral("show"), 5000); });
        sender->start();
        QTRY_VERIFY_WITH_TIMEOUT(sender->isFinished(), 10000);
        delete sender;
        QVERIFY(window.isVisible());
        QVERIFY(!(window.windowState() & Qt::WindowMinimized));
    }
};

MRV_TEST_WIDGETS_MAIN(TstSingleInstance)
#include "tst_singleinstance.moc"
