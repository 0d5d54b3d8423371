#include "store/taskstorage.h"
#include "support/radicaleserver.h"
#include "support/testenv.h"
#include "sync/syncservice.h"
#include "sync/syncstate.h"

#include <QFile>
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

    /// A new service over the same database and state file, as after a restart.
    void restart(const QUrl& server, const QString& user, const QString& password)
    {
        service = std::make_unique<SyncService>(store, sync::SyncState::pathBeside(store->path()));
        service->setAccount(server, user, password);
    }

    SyncOutcome sync()
    {
        QSignalSpy done(service.get(), &SyncService::passFinished);
        service->syncNow();
        return done.wait(60000) ? done.first().first().value<SyncOutcome>() : SyncOutcome();
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
    QJsonObject phone(std::initializer_list<const char*> words)
    {
        QStringList arguments{QStringLiteral(MRV_SYNC_SCRIPTS "/phone.py"), QStringLiteral("--url"),
                              m_server->url().toString(), QStringLiteral("--user"), m_server->user(),
                              QStringLiteral("--password"), m_server->password()};
        for (const char* word : words)
            arguments << QString::fromUtf8(word);
        QProcess process;
        process.start(QStringLiteral("/usr/bin/python3"), arguments);
        if (!process.waitForFinished(60000) || process.exitCode() != 0)
            qWarning().noquote() << "phone" << arguments << process.readAllStandardError();
        return QJsonDocument::fromJson(process.readAllStandardOutput()).object();
    }

    /// Every task on the server by summary: its list and fields as the phone sees them.
    QHash<QString, QJsonObject> serverTasks()
    {
        QHash<QString, QJsonObject> tasks;
        for (const QJsonValue& list : phone({"dump"}).value(QStringLiteral("lists")).toArray()) {
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
        phone({"mklist", "Shopping"});
        phone({"create", "Shopping", "--uid", "phone-1", "--summary", "Milk", "--extra"});
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

    void changesTravelBetweenComputers_data()
    {
        QTest::addColumn<int>("change");
        QTest::newRow("notes, non-ASCII, several lines") << 1;
        QTest::newRow("complete") << 4;
        QTest::newRow("delete: the Trash there") << 5;
        QTest::newRow("move to another group") << 6;
        QTest::newRow("reorder") << 7;
        QTest::newRow("repeat weekly") << 8;
    }

    void changesTravelBetweenComputers()
    {
        QFETCH(int, change);
        auto laptop = device();
        auto desktop = device();
        const FocusGroup::Id work = laptop->store->addGroup(QStringLiteral("Work"), QStringLiteral("star_yellow"));
        const TodoTask::Id a = laptop->add(FocusGroup::inboxId(), QStringLiteral("A"));
        laptop->add(FocusGroup::inboxId(), QStringLiteral("B"));
        laptop->add(FocusGroup::inboxId(), QStringLiteral("C"));
        QCOMPARE(laptop->sync().result, SyncOutcome::Synced);
        QCOMPARE(desktop->sync().result, SyncOutcome::Synced);

        TaskStorage& store = *laptop->store;
        switch (change) {
        case 1: store.setTaskNotes(a, QStringLiteral("Olá, мир 🌍\nsecond line; with, commas")); break;
        case 4: store.setTaskCompleted(a, true, QDateTime(QDate(2027, 1, 5), QTime(10, 0, 7))); break;
        case 5: store.removeTask(FocusGroup::inboxId(), a, false); break;
        case 6: store.moveTasks(FocusGroup::inboxId(), work, {a}); break;
        case 8: store.setTaskRepeat(a, QStringLiteral("FREQ=WEEKLY;BYDAY=MO,TH")); break;
        default: store.reorderTasks(FocusGroup::inboxId(), store.group(FocusGroup::inboxId()).taskIds().last(), false, {a}); break;
        }
        const SyncOutcome sent = laptop->sync();
        QCOMPARE(sent.result, SyncOutcome::Synced);
        QCOMPARE(sent.sent, 1);
        QCOMPARE(desktop->sync().result, SyncOutcome::Synced);

        for (const FocusGroup::Id& group : {FocusGroup::inboxId(), FocusGroup::trashId()})
            QCOMPARE(desktop->names(group), laptop->names(group));
        QCOMPARE(desktop->names(desktop->groupNamed(QStringLiteral("Work"))), laptop->names(work));
        const TodoTask there = desktop->store->task(a);
        const TodoTask here = store.task(a);
        QCOMPARE(there.name(), here.name());
        QCOMPARE(there.notes(), here.notes());
        QCOMPARE(there.due(), here.due());
        QCOMPARE(there.completed(), here.completed());
        QCOMPARE(there.completedAt(), here.completedAt());
        QCOMPARE(there.repeatRule(), here.repeatRule());
        // Nothing more to send either way.
        QCOMPARE(desktop->sync().sent, 0);
        QCOMPARE(laptop->sync().received, 0);
        const auto server = serverTasks();
        QCOMPARE(server.size(), change == 5 ? 2 : 3);
        if (change == 8) {
            QCOMPARE(server.value(QStringLiteral("A")).value(QStringLiteral("rrule")).toString(),
                     QStringLiteral("FREQ=WEEKLY;BYDAY=MO,TH"));
            QCOMPARE(store.task(a).repeatRule(), QStringLiteral("FREQ=WEEKLY;BYDAY=MO,TH"));
        }
    }

    void conflictsKeepEveryEdit()
    {
        auto laptop = device();
        auto desktop = device();
        const TodoTask::Id id = laptop->add(FocusGroup::inboxId(), QStringLiteral("Plan trip"), QStringLiteral("Lisbon"));
        laptop->sync();
        desktop->sync();
        desktop->store->setTaskNotes(id, QStringLiteral("Porto"));
        desktop->store->setTaskName(id, QStringLiteral("Plan the trip"));
        QCOMPARE(desktop->sync().result, SyncOutcome::Synced);
        QTest::qWait(1100); // the laptop's edit is the newer one, by the second the server keeps
        laptop->store->setTaskNotes(id, QStringLiteral("Lisbon and Sintra"));
        laptop->store->setTaskDue(id, QDateTime(QDate(2027, 5, 1), QTime(0, 0)));
        const SyncOutcome merged = laptop->sync();
        QCOMPARE(merged.conflicts, 1);
        const TodoTask task = laptop->store->task(id);
        QCOMPARE(task.name(), QStringLiteral("Plan the trip"));
        QVERIFY2(task.notes().startsWith(QStringLiteral("Lisbon and Sintra\n\n———")), qPrintable(task.notes()));
        QVERIFY(task.notes().endsWith(QStringLiteral("\nPorto")));
        desktop->sync();
        QCOMPARE(desktop->store->task(id).notes(), task.notes());
        QCOMPARE(desktop->store->task(id).due(), task.due());

        // An edit wins over a delete elsewhere.
        desktop->store->removeTask(FocusGroup::inboxId(), id, false);
        QCOMPARE(desktop->sync().result, SyncOutcome::Synced);
        laptop->store->setTaskNotes(id, QStringLiteral("still needed"));
        QCOMPARE(laptop->sync().result, SyncOutcome::Synced);
        QCOMPARE(laptop->names(FocusGroup::inboxId()), QStringList{QStringLiteral("Plan the trip")});
        desktop->sync();
        QCOMPARE(desktop->names(FocusGroup::inboxId()), QStringList{QStringLiteral("Plan the trip")});
        QCOMPARE(desktop->names(FocusGroup::trashId()), QStringList());
        QCOMPARE(desktop->store->task(id).notes(), QStringLiteral("still needed"));

        // Deleted there without an edit here: to the Trash, never further.
        desktop->store->removeTask(FocusGroup::inboxId(), id, false);
        desktop->sync();
        laptop->sync();
        QCOMPARE(laptop->names(FocusGroup::trashId()), QStringList{QStringLiteral("Plan the trip")});
    }

    void otherClientsPropertiesAndEditsSurvive()
    {
        phone({"mklist", "Inbox"});
        phone({"create", "Inbox", "--uid", "phone-7", "--summary", "Water plants", "--due", "2027-04-01",
               "--extra"});
        auto laptop = device();
        QCOMPARE(laptop->sync().result, SyncOutcome::Synced);
        const TodoTask task = laptop->store->task(laptop->store->group(FocusGroup::inboxId()).taskIds().value(0));
        QCOMPARE(task.name(), QStringLiteral("Water plants"));
        QCOMPARE(task.due(), QDateTime(QDate(2027, 4, 1), QTime(0, 0)));
        laptop->store->setTaskName(task.id(), QStringLiteral("Water the plants"));
        laptop->sync();
        QJsonObject there = serverTasks().value(QStringLiteral("Water the plants"));
        QVERIFY2(there.value(QStringLiteral("extra")).toBool(), qPrintable(QJsonDocument(there).toJson()));
        QCOMPARE(there.value(QStringLiteral("uid")).toString(), QStringLiteral("phone-7"));
        QCOMPARE(there.value(QStringLiteral("due")).toString(), QStringLiteral("2027-04-01"));

        phone({"edit", "phone-7", "--complete"});
        laptop->sync();
        QVERIFY(laptop->store->task(task.id()).completed());

        // Deleted here and restored from the Trash: back with its UID and the phone's properties.
        laptop->store->removeTask(FocusGroup::inboxId(), task.id(), false);
        laptop->sync();
        QVERIFY(serverTasks().isEmpty());
        laptop->store->moveTasks(FocusGroup::trashId(), FocusGroup::inboxId(), {task.id()});
        laptop->sync();
        there = serverTasks().value(QStringLiteral("Water the plants"));
        QCOMPARE(there.value(QStringLiteral("uid")).toString(), QStringLiteral("phone-7"));
        QVERIFY(there.value(QStringLiteral("extra")).toBool());
    }

    void listRemovedFromTheServerStaysHereOnly()
    {
        auto laptop = device();
        const FocusGroup::Id work = laptop->store->addGroup(QStringLiteral("Work"), QString());
        laptop->add(work, QStringLiteral("Report"));
        QCOMPARE(laptop->sync().result, SyncOutcome::Synced);
        phone({"rmlist", "Work"});
        QCOMPARE(laptop->sync().result, SyncOutcome::Synced);
        QCOMPARE(laptop->sync().result, SyncOutcome::Synced);
        QVERIFY(!laptop->store->group(work).id().isNull());
        QStringList lists;
        for (const QJsonValue& list : phone({"dump"}).value(QStringLiteral("lists")).toArray())
            lists << list.toObject().value(QStringLiteral("name")).toString();
        QCOMPARE(lists, QStringList{QStringLiteral("Inbox")});
    }

    void sentAgainAfterALostAnswerIsOneTask()
    {
        auto laptop = device();
        laptop->add(FocusGroup::inboxId(), QStringLiteral("Once"));
        const QString state = sync::SyncState::pathBeside(laptop->store->path());
        QVERIFY(laptop->sync().result == SyncOutcome::Synced);
        // As if the program died before it recorded the server's answer.
        laptop->service.reset();
        QFile::remove(state);
        QFile::remove(state + QStringLiteral(".bak"));
        laptop->restart(m_server->userUrl(), m_server->user(), m_server->password());
        QCOMPARE(laptop->sync().result, SyncOutcome::Synced);
        laptop->sync();
        QCOMPARE(serverTasks().size(), 1);
        QCOMPARE(laptop->names(FocusGroup::inboxId()), QStringList{QStringLiteral("Once")});
    }

    // A database and state left by a version that kept no repeat rules: the rules come back
    // from the server instead of being removed there.
    void rulesAnEarlierVersionAgreedOnComeFromTheServer()
    {
        auto laptop = device();
        const TodoTask::Id a = laptop->add(FocusGroup::inboxId(), QStringLiteral("A"));
        laptop->store->setTaskRepeat(a, QStringLiteral("FREQ=WEEKLY;BYDAY=MO"));
        QCOMPARE(laptop->sync().result, SyncOutcome::Synced);
        laptop->service.reset();
        const TodoTask task = laptop->store->task(a);
        laptop->store->updateTask(TodoTask(a, task.name(), task.notes(), task.completed(), task.due(),
                                           task.created(), task.completedAt(), task.deletedAt(),
                                           task.modified()));
        const QString statePath = sync::SyncState::pathBeside(laptop->store->path());
        QJsonObject state = QJsonDocument::fromJson(testenv::readBytes(statePath)).object();
        QVERIFY(state.contains(QStringLiteral("repeatRulesHere")));
        state.remove(QStringLiteral("repeatRulesHere"));
        QVERIFY(testenv::writeBytes(statePath, QJsonDocument(state).toJson()));
        laptop->restart(m_server->userUrl(), m_server->user(), m_server->password());
        QCOMPARE(laptop->sync().sent, 0);
        QCOMPARE(laptop->store->task(a).repeatRule(), QStringLiteral("FREQ=WEEKLY;BYDAY=MO"));
        QCOMPARE(serverTasks().value(QStringLiteral("A")).value(QStringLiteral("rrule")).toString(),
                 QStringLiteral("FREQ=WEEKLY;BYDAY=MO"));
    }

    void failedPassesKeepTheChanges()
    {
        auto laptop = device(QStringLiteral("wrong"));
        laptop->add(FocusGroup::inboxId(), QStringLiteral("Private"));
        QSignalSpy asked(laptop->service.get(), &SyncService::passwordRefused);
        QCOMPARE(laptop->sync().result, SyncOutcome::AuthFailed);
        QCOMPARE(asked.size(), 1);
        QCOMPARE(laptop->service->status(), SyncService::Status::NeedsAttention);
        laptop->service->setPassword(m_server->password());
        m_server->stop();
        QCOMPARE(laptop->sync().result, SyncOutcome::Offline);
        QCOMPARE(laptop->service->status(), SyncService::Status::Offline);
        QVERIFY(m_server->restart());
        QCOMPARE(laptop->sync().result, SyncOutcome::Synced);
        QCOMPARE(laptop->names(FocusGroup::inboxId()), QStringList{QStringLiteral("Private")});
        QVERIFY(serverTasks().contains(QStringLiteral("Private")));
    }

    // A pass ends after the account changed: its outcome must not mark the new account.
    void aPassForAnAccountLeftBehindChangesNothing()
    {
        auto laptop = device(QStringLiteral("wrong"));
        QSignalSpy asked(laptop->service.get(), &SyncService::passwordRefused);
        QSignalSpy done(laptop->service.get(), &SyncService::passFinished);
        laptop->service->syncNow();
        laptop->service->setAccount(QUrl(), QString(), QString());
        QVERIFY(done.wait(60000));
        QCOMPARE(asked.size(), 0);
        QCOMPARE(laptop->service->status(), SyncService::Status::Off);
    }
};

MRV_TEST_GUILESS_MAIN(TestSyncService)
#include "tst_syncservice.moc"
