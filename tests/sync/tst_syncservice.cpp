#include "store/taskstorage.h"
#include "store/tasksnapshot.h"
#include "support/radicaleserver.h"
#include "support/testenv.h"
#include "sync/syncservice.h"
#include "sync/syncstate.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QSignalSpy>
#include <QTemporaryDir>

#include <memory>

using sync::SyncOutcome;
using sync::SyncService;

namespace {

/// One computer with Mirevo: its own database, sync state and service.
struct Device
{
    QTemporaryDir dir;
    std::shared_ptr<TaskStorage> store;
    std::unique_ptr<SyncService> service;

    Device(const QUrl& server, const QString& user, const QString& password)
    {
        store = std::make_shared<TaskStorage>(dir.filePath(QStringLiteral("database.xml")), 50);
        store->init();
        service = std::make_unique<SyncService>(store, sync::SyncState::pathBeside(store->path()));
        service->setAccount(server, user, password);
        service->setTransferTimeoutMs(5000);
    }

    SyncOutcome sync()
    {
        QSignalSpy done(service.get(), &SyncService::passFinished);
        service->syncNow();
        if (!done.wait(60000))
        {
            SyncOutcome none;
            none.result = SyncOutcome::Aborted;
            none.message = QStringLiteral("no answer");
            return none;
        }
        return done.first().first().value<SyncOutcome>();
    }

    TodoTask::Id add(const FocusGroup::Id& group, const QString& name, const QString& notes = QString())
    {
        const TodoTask::Id id = store->createTask(group);
        store->setTaskName(id, name);
        if (!notes.isEmpty())
            store->setTaskNotes(id, notes);
        return id;
    }

    FocusGroup::Id groupNamed(const QString& name) const
    {
        for (const FocusGroup::Id& id : store->groupIds()) {
            if (store->group(id).name() == name)
                return id;
        }
        return FocusGroup::Id();
    }

    /// The names of the tasks a group lists, in order.
    QStringList names(const FocusGroup::Id& group) const
    {
        QStringList names;
        store->visitTasks(store->group(group).taskIds(), [&](const TodoTask& task) { names << task.name(); });
        return names;
    }

    TodoTask taskNamed(const QString& name) const
    {
        TaskSnapshot all;
        all.byId = true;
        store->snapshot(all);
        for (const TodoTask& task : all.tasksById) {
            if (task.name() == name)
                return task;
        }
        return TodoTask();
    }
};

} // namespace

class TestSyncService : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<RadicaleServer> m_server;

    std::unique_ptr<Device> device(const QString& password = QString())
    {
        return std::make_unique<Device>(m_server->userUrl(), m_server->user(),
                                        password.isEmpty() ? m_server->password() : password);
    }

    /// Runs the phone (another CalDAV client) and returns its JSON answer.
    QJsonObject phone(const QStringList& arguments)
    {
        QProcess process;
        process.start(QStringLiteral("/usr/bin/python3"),
                      QStringList{QStringLiteral(MRV_SYNC_SCRIPTS "/phone.py"), QStringLiteral("--url"),
                                  m_server->url().toString(), QStringLiteral("--user"), m_server->user(),
                                  QStringLiteral("--password"), m_server->password()}
                          + arguments);
        if (!process.waitForFinished(60000) || process.exitCode() != 0)
            qWarning().noquote() << "phone" << arguments << process.readAllStandardError();
        return QJsonDocument::fromJson(process.readAllStandardOutput()).object();
    }

    /// Every task on the server by summary: its list and fields as the phone sees them.
    QHash<QString, QJsonObject> serverTasks()
    {
        QHash<QString, QJsonObject> tasks;
        for (const QJsonValue& list : phone({QStringLiteral("dump")}).value(QStringLiteral("lists")).toArray()) {
            for (const QJsonValue& todo : list.toObject().value(QStringLiteral("todos")).toArray()) {
                QJsonObject object = todo.toObject();
                object.insert(QStringLiteral("list"), list.toObject().value(QStringLiteral("name")));
                tasks.insert(object.value(QStringLiteral("summary")).toString(), object);
            }
        }
        return tasks;
    }

private Q_SLOTS:
    void init()
    {
        if (!RadicaleServer::available())
            QSKIP("radicale is not installed");
        m_server = std::make_unique<RadicaleServer>();
        QString error;
        QVERIFY2(m_server->start(&error), qPrintable(error));
    }

    void cleanup() { m_server.reset(); }

    void firstSyncJoinsBothSides()
    {
        phone({QStringLiteral("mklist"), QStringLiteral("Shopping")});
        phone({QStringLiteral("create"), QStringLiteral("Shopping"), QStringLiteral("--uid"), QStringLiteral("phone-1"),
               QStringLiteral("--summary"), QStringLiteral("Milk"), QStringLiteral("--extra")});
        auto laptop = device();
        laptop->add(FocusGroup::inboxId(), QStringLiteral("Call Ana"), QStringLiteral("about Friday"));
        const FocusGroup::Id work = laptop->store->addGroup(QStringLiteral("Work"), QStringLiteral("star_yellow"));
        laptop->add(work, QStringLiteral("Report"));

        QCOMPARE(laptop->sync().result, SyncOutcome::Synced);
        QCOMPARE(laptop->names(laptop->groupNamed(QStringLiteral("Shopping"))), QStringList{QStringLiteral("Milk")});
        const auto server = serverTasks();
        QCOMPARE(server.value(QStringLiteral("Call Ana")).value(QStringLiteral("list")).toString(), QStringLiteral("Inbox"));
        QCOMPARE(server.value(QStringLiteral("Call Ana")).value(QStringLiteral("description")).toString(),
                 QStringLiteral("about Friday"));
        QCOMPARE(server.value(QStringLiteral("Report")).value(QStringLiteral("list")).toString(), QStringLiteral("Work"));
        QCOMPARE(server.size(), 3);

        // A second computer joins: it gets everything, and nothing doubles.
        auto desktop = device();
        QCOMPARE(desktop->sync().result, SyncOutcome::Synced);
        QCOMPARE(desktop->names(FocusGroup::inboxId()), QStringList{QStringLiteral("Call Ana")});
        QCOMPARE(desktop->names(desktop->groupNamed(QStringLiteral("Work"))), QStringList{QStringLiteral("Report")});
        QCOMPARE(laptop->sync().result, SyncOutcome::Synced);
        QCOMPARE(serverTasks().size(), 3);
        QCOMPARE(laptop->store->groupIds().size(), desktop->store->groupIds().size());
    }
};

MRV_TEST_GUILESS_MAIN(TestSyncService)
#include "tst_syncservice.moc"
