#include "app/capturedtask.h"
#include "app/log.h"
#include "app/peermessagehandler.h"
#include "app/singleinstancepeer.h"
#include "app/taskcore.h"
#include "store/focusgroup.h"
#include "store/taskstorage.h"
#include "support/testenv.h"

#include <QApplication>
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
        QTest::addColumn<bool>("accepted");
        const CapturedTask plain{QStringLiteral("Call the plumber"), QStringLiteral("Leak\nunder the sink"),
                                 QDate(2024, 6, 1), QUuid::createUuid()};
        const CapturedTask long_{QStringLiteral("Read 😀"), QString(200000, QChar(0x044f)), QDate(), QUuid()};
        const QString ready = QStringLiteral("ready");
        QTest::newRow("task") << plain.toMessage() << plain << false << QString() << ready << true;
        QTest::newRow("task while loading: added and confirmed after")
            << plain.toMessage() << plain << false << QString() << QStringLiteral("loading") << true;
        QTest::newRow("task handed over twice: added once")
            << plain.toMessage() << plain << false << QString() << QStringLiteral("twice") << true;
        QTest::newRow("task while a question is open: refused")
            << plain.toMessage() << CapturedTask() << false << QStringLiteral("was refused") << QStringLiteral("refusing")
            << false;
        QTest::newRow("task with long notes") << long_.toMessage() << long_ << false << QString() << ready << true;
        QTest::newRow("show") << QStringLiteral("show") << CapturedTask() << true << QString() << ready << true;
        QTest::newRow("malformed task") << QStringLiteral("add-task:e30=") << CapturedTask() << false
                                        << QStringLiteral("Malformed task message ignored") << ready << false;
        QTest::newRow("unknown") << QStringLiteral("open\nsesame") << CapturedTask() << false
                                 << QStringLiteral("Unknown message ignored: open?sesame") << ready << false;
    }

    void messageOfALaterStart()
    {
        QFETCH(QString, message);
        QFETCH(CapturedTask, added);
        QFETCH(bool, shown);
        QFETCH(QString, logged);
        QFETCH(QString, state);
        QFETCH(bool, accepted);
        const QString logPath = m_dir.filePath(QStringLiteral("%1.log").arg(QTest::currentDataTag()));
        QVERIFY(Log::instance()->open(logPath));
        const QString databasePath = m_dir.filePath(QStringLiteral("%1.xml").arg(QTest::currentDataTag()));
        QCOMPARE(TaskCore::instance()->init(databasePath, 3600000), 0);
        const auto storage = TaskCore::instance()->storage();
        const TodoTask::Id existing = storage->createTask(FocusGroup::inboxId());

        const QString id = QStringLiteral("test-%1").arg(QUuid::createUuid().toString(QUuid::Id128));
        const QString lockPath = databasePath + QStringLiteral(".lock");
        SingleInstancePeer running(id, lockPath);
        auto* handler = new PeerMessageHandler(&running);
        if (state == QLatin1String("refusing"))
            handler->refuseTasks();
        else if (state != QLatin1String("loading"))
            handler->setTasksLoaded();
        QWidget window;
        running.setActivationWindow(&window, false);
        SingleInstancePeer later(id, lockPath);
        bool delivered = false;
        QThread* sender = QThread::create([&] {
            delivered = later.sendMessage(message, 5000);
            if (state == QLatin1String("twice"))
                delivered = delivered && later.sendMessage(message, 5000);
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
        QCOMPARE(delivered, accepted);

        QCOMPARE(window.isVisible(), shown);
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
