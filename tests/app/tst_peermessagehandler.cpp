#include "app/peermessagehandler.h"
#include "app/singleinstancepeer.h"
#include "base/log.h"
#include "core/capturedtask.h"
#include "core/taskcore.h"
#include "store/focusgroup.h"
#include "store/taskstorage.h"
#include "support/testenv.h"

#include <QApplication>
#include <QDir>
#include <QTemporaryDir>
#include <QThread>
#include <QWidget>

// The running instance as main() sets it up: a hidden window that messages do not activate by
// themselves, the handler on the peer, the store of the core object. A later start sends.
class TstPeerMessageHandler : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;

private Q_SLOTS:
    void cleanup()
    {
        TaskCore::destroy();
        Log::destroy();
    }

    void messageOfALaterStart_data()
    {
        QTest::addColumn<QString>("message");
        QTest::addColumn<CapturedTask>("added");
        QTest::addColumn<bool>("shown");
        QTest::addColumn<QString>("logged");
        QTest::addColumn<QString>("state");
        QTest::addColumn<int>("delivery");
        const CapturedTask plain{QStringLiteral("Call the plumber"), QStringLiteral("Leak\nunder the sink"),
                                 QDate(2024, 6, 1), QUuid::createUuid()};
        const QString ready = QStringLiteral("ready");
        const int accepted = int(SingleInstancePeer::Delivery::Accepted);
        const int refused = int(SingleInstancePeer::Delivery::Refused);
        QTest::newRow("task the disk cannot take: taken, not written yet")
            << plain.toMessage() << plain << false << QStringLiteral("Not a directory") << QStringLiteral("unwritable")
            << int(SingleInstancePeer::Delivery::Pending);
        QTest::newRow("task") << plain.toMessage() << plain << false << QString() << ready << accepted;
        QTest::newRow("task while loading: added and confirmed after")
            << plain.toMessage() << plain << false << QString() << QStringLiteral("loading") << accepted;
        QTest::newRow("task handed over twice: added once")
            << plain.toMessage() << plain << false << QString() << QStringLiteral("twice") << accepted;
        QTest::newRow("task while a question is open: refused")
            << plain.toMessage() << CapturedTask() << false << QStringLiteral("was refused") << QStringLiteral("refusing")
            << refused;
        QTest::newRow("show") << QStringLiteral("show") << CapturedTask() << true << QString() << ready << accepted;
        QTest::newRow("show with an activation token")
            << QStringLiteral("show:launcher-token") << CapturedTask() << true << QString() << ready << accepted;
        QTest::newRow("malformed task") << QStringLiteral("add-task:e30=") << CapturedTask() << false
                                        << QStringLiteral("Malformed task message ignored") << ready << refused;
        QTest::newRow("unknown") << QStringLiteral("open\nsesame") << CapturedTask() << false
                                 << QStringLiteral("Unknown message ignored: open?sesame") << ready << refused;
    }

    void messageOfALaterStart()
    {
        QFETCH(QString, message);
        QFETCH(CapturedTask, added);
        QFETCH(bool, shown);
        QFETCH(QString, logged);
        QFETCH(QString, state);
        QFETCH(int, delivery);
        const QString logPath = m_dir.filePath(QStringLiteral("%1.log").arg(QTest::currentDataTag()));
        QVERIFY(Log::instance()->open(logPath));
        // A folder that is a file takes no database, whoever writes it.
        const QString folder = m_dir.filePath(QTest::currentDataTag());
        QVERIFY(QDir().mkpath(folder));
        if (state == QLatin1String("unwritable"))
            QVERIFY(testenv::writeBytes(m_dir.filePath(QStringLiteral("a file")), "x"));
        const QString databasePath = state == QLatin1String("unwritable") ? m_dir.filePath(QStringLiteral("a file/tasks.xml"))
                                                                          : folder + QStringLiteral("/tasks.xml");
        QCOMPARE(TaskCore::instance()->init(databasePath, 3600000), 0);
        const auto storage = TaskCore::instance()->storage();
        const TodoTask::Id existing = storage->createTask(FocusGroup::inboxId());

        const QString id = QStringLiteral("test-%1").arg(QUuid::createUuid().toString(QUuid::Id128));
        const QString lockPath = folder + QStringLiteral("/tasks.xml.lock");
        SingleInstancePeer running(id, lockPath);
        auto* handler = new PeerMessageHandler(&running);
        if (state == QLatin1String("refusing"))
            handler->refuseTasks();
        else if (state != QLatin1String("loading"))
            handler->setTasksLoaded();
        QWidget window;
        running.setActivationWindow(&window, false);
        SingleInstancePeer later(id, lockPath);
        SingleInstancePeer::Delivery delivered = SingleInstancePeer::Delivery::NotDelivered;
        QThread* sender = QThread::create([&] {
            delivered = later.deliver(message, 5000);
            if (state == QLatin1String("twice") && delivered == SingleInstancePeer::Delivery::Accepted)
                delivered = later.deliver(message, 5000);
        });
        sender->start();
        if (state == QLatin1String("loading")) {
            // Not confirmed before the task is in the store.
            QTest::qWait(300);
            QVERIFY(!sender->isFinished());
            QCOMPARE(storage->group(FocusGroup::inboxId()).taskIds().size(), 1);
            handler->setTasksLoaded();
        }
        QTRY_VERIFY_WITH_TIMEOUT(sender->isFinished(), 10000);
        delete sender;
        QCOMPARE(int(delivered), delivery);
        // Confirmed means written.
        if (delivery == int(SingleInstancePeer::Delivery::Accepted) && !added.m_name.isEmpty())
            QVERIFY(testenv::readFile(databasePath).contains(added.m_name.left(8)));

        QCOMPARE(window.isVisible(), shown);
        if (message.startsWith(QLatin1String("show:")))
            QCOMPARE(qEnvironmentVariable("XDG_ACTIVATION_TOKEN"), message.mid(5));
        const QList<TodoTask::Id> inbox = storage->group(FocusGroup::inboxId()).taskIds();
        QCOMPARE(inbox.size(), added.m_name.isEmpty() ? 1 : 2);
        QCOMPARE(inbox.first(), existing);
        if (!added.m_name.isEmpty()) {
            const TodoTask task = storage->task(inbox.last());
            QCOMPARE(task.name(), added.m_name);
            QCOMPARE(task.notes(), added.m_notes);
            QCOMPARE(task.due().date(), added.m_due);
        }
        Log::instance()->flush();
        const QString log = testenv::readFile(logPath);
        QVERIFY2(logged.isEmpty() ? log.isEmpty() : log.contains(logged), qPrintable(log));
    }
};

MRV_TEST_WIDGETS_MAIN(TstPeerMessageHandler)
#include "tst_peermessagehandler.moc"
