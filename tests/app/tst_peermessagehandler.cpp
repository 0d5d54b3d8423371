#include "app/peermessagehandler.h"
#include "app/singleinstancepeer.h"
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
using Delivery = SingleInstancePeer::Delivery;

class TstPeerMessageHandler : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;

private Q_SLOTS:
    void cleanup() { TaskCore::destroy(); }

    void messageOfALaterStart_data()
    {
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("added"); // the task's name in the Inbox, empty for none
        QTest::addColumn<bool>("shown");
        QTest::addColumn<QString>("state");
        QTest::addColumn<Delivery>("delivery");
        const CapturedTask task{QStringLiteral("Call the plumber"), QStringLiteral("Leak\nunder the sink"),
                                QDate(2024, 6, 1), QUuid::createUuid()};
        const QString plain = task.toMessage();
        const QString name = task.m_name;
        QTest::newRow("task the disk cannot take: taken, not written yet")
            << plain << name << false << "unwritable" << Delivery::Pending;
        QTest::newRow("task while loading: added and confirmed after")
            << plain << name << false << "loading" << Delivery::Accepted;
        QTest::newRow("task handed over twice: added once")
            << plain << name << false << "twice" << Delivery::Accepted;
        QTest::newRow("task while a question is open: refused")
            << plain << QString() << false << "refusing" << Delivery::Refused;
        QTest::newRow("show with an activation token")
            << "show:launcher-token" << QString() << true << "ready" << Delivery::Accepted;
        QTest::newRow("malformed task")
            << "add-task:e30=" << QString() << false << "ready" << Delivery::Refused;
        QTest::newRow("unknown") << "open\nsesame" << QString() << false << "ready" << Delivery::Refused;
    }

    void messageOfALaterStart()
    {
        QFETCH(QString, message);
        QFETCH(QString, added);
        QFETCH(bool, shown);
        QFETCH(QString, state);
        QFETCH(Delivery, delivery);
        // A folder that is a file takes no database, whoever writes it.
        const QString folder = m_dir.filePath(QTest::currentDataTag());
        QVERIFY(QDir().mkpath(folder));
        if (state == QLatin1String("unwritable"))
            QVERIFY(testenv::writeBytes(m_dir.filePath(QStringLiteral("a file")), "x"));
        const QString databasePath = state == QLatin1String("unwritable")
            ? m_dir.filePath(QStringLiteral("a file/tasks.xml"))
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
        Delivery delivered = Delivery::NotDelivered;
        QThread* sender = QThread::create([&] {
            delivered = later.deliver(message, 5000);
            if (state == QLatin1String("twice") && delivered == Delivery::Accepted)
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
        QCOMPARE(delivered, delivery);
        // Confirmed means written.
        if (delivery == Delivery::Accepted && !added.isEmpty())
            QVERIFY(testenv::readFile(databasePath).contains(added));

        QCOMPARE(window.isVisible(), shown);
        if (message.startsWith(QLatin1String("show:")))
            QCOMPARE(qEnvironmentVariable("XDG_ACTIVATION_TOKEN"), message.mid(5));
        const QList<TodoTask::Id> inbox = storage->group(FocusGroup::inboxId()).taskIds();
        QCOMPARE(inbox.size(), added.isEmpty() ? 1 : 2);
        QCOMPARE(inbox.first(), existing);
        QCOMPARE(storage->task(inbox.last()).name(), added);
    }
};

MRV_TEST_WIDGETS_MAIN(TstPeerMessageHandler)
#include "tst_peermessagehandler.moc"
