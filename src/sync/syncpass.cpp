#include "sync/syncpass.h"

#include "base/log.h"
#include "store/tasksnapshot.h"
#include "store/taskstorage.h"
#include "sync/listorder.h"
#include "sync/taskconversion.h"
#include "sync/taskmerge.h"

#include <QElapsedTimer>

#include <optional>

namespace sync {

namespace {

const QString DefaultIcon = QStringLiteral("star_yellow");

QUrl objectUrl(const QUrl& list, const QString& uid)
{
    QString name = uid;
    name.replace(QLatin1Char('/'), QLatin1Char('_'));
    return DavClient::normalizedUrl(
        list.resolved(QUrl(QString::fromLatin1(QUrl::toPercentEncoding(name + QStringLiteral(".ics"))))));
}

TaskFields serverFields(const SyncedTask& record)
{
    TaskFields fields;
    QString error;
    if (!readVTodo(record.ics, &fields, &error))
        return record.agreed;
    cutToSeconds(&fields);
    return fields;
}

} // namespace

struct SyncPass::LocalView
{
    TaskSnapshot snapshot;
    QList<FocusGroup::Id> pairedGroups;
    QHash<TodoTask::Id, FocusGroup::Id> syncGroup;   // the first paired group that lists the task
    QSet<TodoTask::Id> listed;                      // listed in a group other than the Trash
    QSet<TodoTask::Id> inTrash;
    QHash<FocusGroup::Id, QList<TodoTask::Id>> order; // each paired group's synced tasks in order
    ListOrder::Keys keys;                            // their sort keys as the local order gives them
};

struct SyncPass::Plan
{
    struct Change
    {
        TodoTask::Id id;
        TaskFields before;   // the local fields the change was planned on
        TodoTask after;
        SyncedTask fallback; // the record to keep when the user changed the task meanwhile
    };
    struct Insert
    {
        FocusGroup::Id group;
        TodoTask task;
    };
    struct Move
    {
        TodoTask::Id id;
        FocusGroup::Id from;
        FocusGroup::Id to;
    };
    struct Send
    {
        TodoTask::Id id;
        DavWrite write;
        SyncedTask record; // recorded once the server took the write (not for deletes)
        bool forget = false; // a delete: the record is buried
        bool stale = false;  // deletes a copy a move left behind: no record changes
        PendingDelete oldPlace; // a move: the old object, deleted once the new one is there
    };

    QList<Change> changes;
    QList<Insert> inserts;
    QList<TodoTask::Id> toTrash;
    QHash<TodoTask::Id, TaskFields> trashBefore;
    QList<Move> moves;
    QSet<FocusGroup::Id> reorder;
    ListOrder::Keys mergedKeys;
    QHash<TodoTask::Id, SyncedTask> records;
    QSet<TodoTask::Id> bury;
    QList<Send> sends;
    QSet<TodoTask::Id> unchangedHere; // changes the user overtook: nothing is sent for them
};

SyncPass::SyncPass(TaskStorage* store, DavClient* dav, SyncState* state, const QString& statePath,
                   StoreCall onStoreThread)
    : m_store(store)
    , m_dav(dav)
    , m_state(state)
    , m_statePath(statePath)
    , m_onStoreThread(std::move(onStoreThread))
{
}

SyncOutcome SyncPass::run(const QUrl& server, const QString& user, bool pairOnly)
{
    SyncOutcome outcome;
    m_stateChanged = false;
    if (m_state->server != server || m_state->user != user) {
        MRV_INFO("SyncPass::run", QStringLiteral("A new account: the first sync joins both sides"));
        m_state->reset(server, user);
        m_stateChanged = true;
    }
    m_changed.clear();
    m_extraCopies.clear();
    m_removed.clear();
    m_newTokens.clear();
    m_goneLists.clear();

    QList<DavCollection> lists;
    if (!_findLists(&outcome, &lists) || !_sendPendingDeletes(&outcome) || !_pairLists(lists, &outcome))
        return outcome;
    if (pairOnly) {
        _saveState(&outcome);
        return outcome;
    }
    if (!_fetchChanges(lists, &outcome))
        return outcome;
    LocalView view;
    _readLocal(&view);
    Plan plan;
    _plan(view, &plan, &outcome);
    if (!_apply(view, &plan, &outcome) || !_send(&plan, &outcome))
        return outcome;
    _sendPendingDeletes(&outcome);
    return outcome;
}

bool SyncPass::_fail(const DavError& error, SyncOutcome* outcome)
{
    if (error.ok())
        return false;
    switch (error.kind) {
    case DavError::Aborted:
        outcome->result = SyncOutcome::Aborted;
        break;
    case DavError::Network:
    case DavError::Timeout:
        outcome->result = SyncOutcome::Offline;
        break;
    case DavError::Auth:
        outcome->result = SyncOutcome::AuthFailed;
        break;
    default:
        outcome->result = SyncOutcome::Failed;
        break;
    }
    outcome->message = error.message;
    MRV_WARNING("SyncPass", error.message);
    return true;
}

bool SyncPass::_findLists(SyncOutcome* outcome, QList<DavCollection>* lists)
{
    DavError error;
    if (m_state->home.isValid() && !m_state->singleList) {
        error = m_dav->listCollections(m_state->home, lists);
    } else if (m_state->home.isValid()) {
        DavCollection only;
        error = m_dav->collectionInfo(m_state->server, &only);
        lists->append(only);
    } else {
        QUrl home;
        error = m_dav->discover(m_state->server, &home, lists);
        if (error.ok()) {
            m_state->home = home;
            m_stateChanged = true;
            m_state->singleList =
                lists->size() == 1 && lists->first().url == DavClient::normalizedUrl(m_state->server);
        }
    }
    return !_fail(error, outcome);
}

bool SyncPass::_pairLists(const QList<DavCollection>& lists, SyncOutcome* outcome)
{
    QHash<QUrl, const DavCollection*> onServer;
    for (const DavCollection& list : lists)
        onServer.insert(list.url, &list);
    const QList<FocusGroup::Id> groups = m_store->groupIds();
    const QSet<FocusGroup::Id> groupSet(groups.cbegin(), groups.cend());

    // Pairs whose group or list is gone.
    for (int i = m_state->lists.size() - 1; i >= 0; --i) {
        const PairedList& pair = m_state->lists.at(i);
        if (!groupSet.contains(pair.group)) {
            MRV_INFO("SyncPass::_pairLists", QStringLiteral("The group of ") + pair.url.toString()
                                                 + QStringLiteral(" was removed: the list is no longer synced"));
            m_state->ignoredLists.insert(pair.url);
            m_state->lists.removeAt(i);
            m_stateChanged = true;
        } else if (!onServer.contains(pair.url)) {
            MRV_WARNING("SyncPass::_pairLists", QStringLiteral("The task list ") + pair.url.toString()
                                                    + QStringLiteral(" is gone from the server: its group stays here only"));
            m_goneLists.insert(pair.url);
            m_state->localGroups.insert(pair.group);
            m_state->lists.removeAt(i);
            m_stateChanged = true;
        }
    }

    // Groups without a list: a list of the same name, else a new one.
    for (const FocusGroup::Id& groupId : groups) {
        if (!(groupId == FocusGroup::inboxId() || FocusGroup::isUserGroup(groupId)))
            continue;
        if (m_state->listOfGroup(groupId) || m_state->localGroups.contains(groupId))
            continue;
        const QString name = m_store->group(groupId).name().trimmed();
        const DavCollection* match = nullptr;
        for (const DavCollection& list : lists) {
            if (!m_state->listAt(list.url) && !m_state->ignoredLists.contains(list.url)
                && list.displayName.trimmed().compare(name, Qt::CaseInsensitive) == 0) {
                match = &list;
                break;
            }
        }
        PairedList pair;
        pair.group = groupId;
        if (match) {
            pair.url = match->url;
            pair.name = match->displayName;
        } else if (m_state->singleList) {
            continue;
        } else {
            pair.url = DavClient::normalizedUrl(
                m_state->home.resolved(QUrl(QUuid::createUuid().toString(QUuid::WithoutBraces) + QLatin1Char('/'))));
            pair.name = name;
            if (_fail(m_dav->makeCalendar(pair.url, name), outcome))
                return false;
            MRV_INFO("SyncPass::_pairLists", QStringLiteral("Made the task list ") + pair.url.toString());
        }
        m_state->lists.append(pair);
        m_stateChanged = true;
    }

    // Lists without a group: a new group, on the disk before any record names it.
    QList<const DavCollection*> unpaired;
    for (const DavCollection& list : lists) {
        if (!m_state->listAt(list.url) && !m_state->ignoredLists.contains(list.url))
            unpaired.append(&list);
    }
    if (unpaired.isEmpty())
        return true;
    const bool ran = m_onStoreThread([&] {
        for (const DavCollection* list : qAsConst(unpaired)) {
            QString name = list->displayName.trimmed();
            if (name.isEmpty())
                name = QUrl::fromPercentEncoding(list->url.path().section(QLatin1Char('/'), -2, -2).toUtf8());
            m_state->lists.append(PairedList{m_store->addGroup(name, DefaultIcon), list->url, name, QByteArray()});
            m_stateChanged = true;
        }
    });
    return _written(ran, true, tr("The new groups could not be written to the database."), outcome);
}

bool SyncPass::_fetchChanges(const QList<DavCollection>& lists, SyncOutcome* outcome)
{
    QHash<QUrl, TodoTask::Id> recordAt;
    for (auto it = m_state->tasks.constBegin(); it != m_state->tasks.constEnd(); ++it)
        recordAt.insert(it->url, it.key());
    for (const QUrl& gone : qAsConst(m_goneLists)) {
        for (auto it = m_state->tasks.constBegin(); it != m_state->tasks.constEnd(); ++it) {
            if (it->list == gone && !it->deleted)
                m_removed.insert(it->url);
        }
    }

    for (const DavCollection& list : lists) {
        const PairedList* pair = m_state->listAt(list.url);
        if (!pair)
            continue;
        if (!pair->syncToken.isEmpty() && pair->syncToken == list.syncToken)
            continue; // nothing changed since the last pass
        DavChanges changes;
        DavError error = DavError{DavError::InvalidSyncToken, -1, QString()};
        if (list.supportsSyncCollection || !pair->syncToken.isEmpty())
            error = m_dav->syncCollection(list.url, pair->syncToken, &changes);
        bool complete = pair->syncToken.isEmpty();
        if (error.kind == DavError::InvalidSyncToken) {
            changes = DavChanges();
            error = m_dav->listObjects(list.url, &changes.changed);
            changes.newToken = list.syncToken;
            complete = true;
        }
        if (_fail(error, outcome))
            return false;
        if (complete) {
            // Everything the server holds was listed: what it no longer lists is gone.
            QSet<QUrl> present;
            for (const DavObject& object : qAsConst(changes.changed))
                present.insert(object.url);
            for (auto it = m_state->tasks.constBegin(); it != m_state->tasks.constEnd(); ++it) {
                if (it->list == list.url && !it->deleted && !present.contains(it->url))
                    m_removed.insert(it->url);
            }
        }
        for (const QUrl& url : qAsConst(changes.removed))
            m_removed.insert(url);

        QList<QUrl> toFetch;
        for (const DavObject& object : qAsConst(changes.changed)) {
            const auto known = recordAt.constFind(object.url);
            if (known != recordAt.constEnd() && m_state->tasks.value(known.value()).etag == object.etag)
                continue; // our own write, or unchanged
            toFetch.append(object.url);
        }
        QList<DavObject> fetched;
        if (!toFetch.isEmpty() && _fail(m_dav->fetchObjects(list.url, toFetch, &fetched), outcome))
            return false;
        for (const DavObject& object : qAsConst(fetched)) {
            RemoteObject remote{list.url, object.url, object.etag, object.ics, TaskFields()};
            QString why;
            if (!readVTodo(object.ics, &remote.fields, &why)) {
                ++outcome->skipped;
                MRV_WARNING("SyncPass::_fetchChanges", QStringLiteral("Skipped ") + object.url.toString() + QStringLiteral(": ") + why);
                continue;
            }
            cutToSeconds(&remote.fields);
            const TodoTask::Id id = taskIdOfUid(remote.fields.uid);
            m_removed.remove(object.url);
            const auto earlier = m_changed.find(id);
            if (earlier == m_changed.end()) {
                m_changed.insert(id, remote);
                continue;
            }
            // Two objects of one task: a move that stopped half-way, here or elsewhere. The one
            // the record knows stays; the other is merged into it and deleted.
            if (remote.url == m_state->tasks.value(id).url)
                std::swap(*earlier, remote);
            m_extraCopies[id].append(remote);
        }
        m_newTokens.insert(list.url, changes.newToken);
    }
    return true;
}

void SyncPass::_readLocal(LocalView* view) const
{
    view->snapshot.byId = true;
    m_store->snapshot(view->snapshot);
    const QList<FocusGroup::Id> groups = m_store->groupIds();
    for (const FocusGroup::Id& groupId : groups) {
        const FocusGroup group = view->snapshot.groupsById.value(groupId);
        if (groupId == FocusGroup::trashId()) {
            view->inTrash = QSet<TodoTask::Id>(group.taskIds().cbegin(), group.taskIds().cend());
            continue;
        }
        for (const TodoTask::Id& id : group.taskIds()) {
            if (view->snapshot.tasksById.contains(id))
                view->listed.insert(id);
        }
        if (!m_state->listOfGroup(groupId))
            continue;
        view->pairedGroups.append(groupId);
        QList<TodoTask::Id>& order = view->order[groupId];
        for (const TodoTask::Id& id : group.taskIds()) {
            if (view->snapshot.tasksById.contains(id) && !view->syncGroup.contains(id)) {
                view->syncGroup.insert(id, groupId);
                order.append(id);
            }
        }
    }
    for (const FocusGroup::Id& groupId : qAsConst(view->pairedGroups)) {
        const QUrl list = m_state->listOfGroup(groupId)->url;
        ListOrder::Keys agreed;
        for (const TodoTask::Id& id : view->order.value(groupId)) {
            const auto record = m_state->tasks.constFind(id);
            if (record != m_state->tasks.constEnd() && record->list == list && !record->deleted)
                agreed.insert(id, record->agreed.sortOrder);
        }
        const ListOrder::Keys keys = ListOrder::keysFor(view->order.value(groupId), agreed);
        for (auto it = keys.constBegin(); it != keys.constEnd(); ++it)
            view->keys.insert(it.key(), it.value());
    }
}

void SyncPass::_plan(const LocalView& view, Plan* plan, SyncOutcome* outcome)
{
    QSet<TodoTask::Id> ids;
    for (auto it = m_state->tasks.constBegin(); it != m_state->tasks.constEnd(); ++it)
        ids.insert(it.key());
    for (auto it = m_changed.constBegin(); it != m_changed.constEnd(); ++it)
        ids.insert(it.key());
    for (auto it = view.syncGroup.constBegin(); it != view.syncGroup.constEnd(); ++it)
        ids.insert(it.key());

    QHash<QUrl, FocusGroup::Id> groupOfList;
    for (const PairedList& pair : qAsConst(m_state->lists))
        groupOfList.insert(pair.url, pair.group);

    for (const TodoTask::Id& id : qAsConst(ids)) {
        const auto recordIt = m_state->tasks.constFind(id);
        const SyncedTask* known = recordIt != m_state->tasks.constEnd() ? &recordIt.value() : nullptr;
        const SyncedTask* record = known && !known->deleted ? known : nullptr;
        // A task deleted on the server keeps its UID and properties for when it comes back.
        const SyncedTask* buried = known && known->deleted ? known : nullptr;
        const auto changedIt = m_changed.constFind(id);
        RemoteObject combined;
        const RemoteObject* remote = nullptr;
        TaskFields serverNow; // the primary object's own fields, before copies were merged in
        if (changedIt != m_changed.constEnd()) {
            combined = changedIt.value();
            serverNow = combined.fields;
            remote = &combined;
        }
        const bool removedThere = record && !remote && m_removed.contains(record->url);
        const auto taskIt = view.snapshot.tasksById.constFind(id);
        const TodoTask* task = taskIt != view.snapshot.tasksById.constEnd() ? &taskIt.value() : nullptr;
        const FocusGroup::Id syncGroup = view.syncGroup.value(id);
        // Where the task belongs on the server now: its first paired group's list, or, for a
        // task only Completed (or a group kept here) lists, where it already is.
        QUrl wanted;
        if (!syncGroup.isNull())
            wanted = m_state->listOfGroup(syncGroup)->url;
        else if (task && record && view.listed.contains(id))
            wanted = record->list;
        const bool alive = task && wanted.isValid();
        const QString uid = record ? record->agreed.uid
            : remote               ? remote->fields.uid
            : buried               ? buried->agreed.uid
                                   : uidOfTask(id);
        const std::optional<qint64> key = view.keys.value(id, record ? record->agreed.sortOrder : std::nullopt);
        const TaskFields local = task ? fieldsOfTask(*task, uid, key) : TaskFields();

        const auto send = [&](DavWrite::Method method, const QUrl& url, const QByteArray& ifMatch,
                              const QByteArray& ics, const TaskFields& agreed, const QUrl& list) {
            Plan::Send item;
            item.id = id;
            item.write = DavWrite{method, url, method == DavWrite::Delete ? QByteArray() : ics, ifMatch};
            item.record = SyncedTask{list, url, QByteArray(), ics, agreed};
            item.forget = method == DavWrite::Delete;
            plan->sends.append(item);
            return &plan->sends.last();
        };
        // Deletes an object left behind by a move, unless it changed since it was seen.
        const auto dropCopy = [&](const QUrl& list, const QUrl& url, const QByteArray& etag) {
            Plan::Send item;
            item.id = id;
            item.write = DavWrite{DavWrite::Delete, url, QByteArray(), etag};
            item.record.list = list;
            item.stale = true;
            plan->sends.append(item);
        };
        const auto changeHere = [&](const TaskFields& merged, const SyncedTask& fallback) {
            TaskFields sameOrder = merged;
            sameOrder.sortOrder = local.sortOrder; // the order changes apart, group by group
            if (!task || sameContent(sameOrder, local))
                return;
            TodoTask after = taskWithFields(*task, merged);
            plan->changes.append(Plan::Change{id, local, after, fallback});
            ++outcome->received;
        };
        const auto insertHere = [&](const FocusGroup::Id& group, const TaskFields& fields) {
            plan->inserts.append(Plan::Insert{group, task ? taskWithFields(*task, fields) : taskFromFields(id, fields)});
            plan->reorder.insert(group);
            plan->mergedKeys.insert(id, fields.sortOrder);
            ++outcome->received;
        };

        if (remote) {
            for (const RemoteObject& copy : m_extraCopies.value(id)) {
                combined.fields = TaskMerge::merge(record ? &record->agreed : nullptr,
                                                   MergeSide{combined.fields, combined.fields.lastModified},
                                                   MergeSide{copy.fields, copy.fields.lastModified})
                                      .fields;
                combined.fields.lastModified = qMax(serverNow.lastModified, copy.fields.lastModified);
                dropCopy(copy.list, copy.url, copy.etag);
            }
            // The record's place still holds a copy when a move stopped before its delete.
            if (record && record->url != remote->url && !m_removed.contains(record->url))
                dropCopy(record->list, record->url, record->etag);
            const MergeSide there{remote->fields, remote->fields.lastModified};
            const FocusGroup::Id remoteGroup = groupOfList.value(remote->list);
            if (alive) {
                const TaskMerge::Result merged =
                    TaskMerge::merge(record ? &record->agreed : nullptr, MergeSide{local, task->modified()}, there);
                outcome->conflicts += merged.conflict ? 1 : 0;
                const SyncedTask agreedNow{remote->list, remote->url, remote->etag, remote->ics, merged.fields};
                TaskFields none;
                none.uid = remote->fields.uid;
                const SyncedTask fallback{remote->list, remote->url, remote->etag, remote->ics,
                                          record ? record->agreed : none};
                changeHere(merged.fields, fallback);
                if (merged.fields.sortOrder != key)
                    plan->reorder.insert(syncGroup.isNull() ? remoteGroup : syncGroup);
                plan->mergedKeys.insert(id, merged.fields.sortOrder);
                const bool movedHere = record && wanted != record->list;
                const bool movedThere = record && remote->list != record->list && !movedHere;
                if (movedThere) {
                    // Another device moved it: the group here follows (a task only Completed
                    // lists just follows in the record).
                    if (!syncGroup.isNull() && !remoteGroup.isNull()) {
                        plan->moves.append(Plan::Move{id, syncGroup, remoteGroup});
                        plan->reorder.insert(remoteGroup);
                    }
                } else if (wanted != remote->list) {
                    Plan::Send* item = send(DavWrite::Put, objectUrl(wanted, uid), QByteArray(),
                                            writeVTodo(remote->ics, merged.fields), merged.fields, wanted);
                    item->oldPlace = PendingDelete{remote->url, remote->etag};
                    plan->records.insert(id, fallback);
                    continue;
                }
                // What is still to send is not agreed until the server took it: should the write
                // fail, the record keeps the server's copy, and the next pass sends again.
                const bool push = !sameContent(merged.fields, serverNow);
                plan->records.insert(id, push ? SyncedTask{remote->list, remote->url, remote->etag, remote->ics, serverNow}
                                              : agreedNow);
                if (push)
                    send(DavWrite::Put, remote->url, remote->etag, writeVTodo(remote->ics, merged.fields), merged.fields,
                         remote->list);
            } else if (!remoteGroup.isNull()) {
                // Deleted here (or never here) but changed or made on the server: the edit wins
                // over the delete, and the task comes back from the Trash.
                TaskFields fields = remote->fields;
                if (task && record)
                    fields = TaskMerge::merge(&record->agreed, MergeSide{local, task->modified()}, there).fields;
                const bool push = !sameContent(fields, serverNow);
                if (push)
                    send(DavWrite::Put, remote->url, remote->etag, writeVTodo(remote->ics, fields), fields, remote->list);
                insertHere(remoteGroup, fields);
                plan->records.insert(id, SyncedTask{remote->list, remote->url, remote->etag, remote->ics,
                                                    push ? serverNow : fields});
            }
            continue;
        }

        if (removedThere) {
            plan->bury.insert(id);
            if (!alive)
                continue;
            if (!sameContent(local, record->agreed)) {
                // Changed here after another device deleted it: the edit wins, the task is made again.
                send(DavWrite::Put, objectUrl(wanted, uid), QByteArray(), writeVTodo(record->ics, local), local, wanted);
            } else {
                plan->toTrash.append(id);
                plan->trashBefore.insert(id, local);
                ++outcome->received;
            }
            continue;
        }

        if (record) {
            if (!alive) {
                send(DavWrite::Delete, record->url, record->etag, record->ics, record->agreed, record->list);
                continue;
            }
            const bool moved = wanted != record->list;
            if (sameContent(local, record->agreed) && !moved)
                continue;
            const TaskFields server = serverFields(*record);
            const TaskMerge::Result merged = TaskMerge::merge(&record->agreed, MergeSide{local, task->modified()},
                                                              MergeSide{server, server.lastModified});
            outcome->conflicts += merged.conflict ? 1 : 0;
            changeHere(merged.fields, *record);
            plan->mergedKeys.insert(id, merged.fields.sortOrder);
            if (moved) {
                Plan::Send* item = send(DavWrite::Put, objectUrl(wanted, uid), QByteArray(),
                                        writeVTodo(record->ics, merged.fields), merged.fields, wanted);
                item->oldPlace = PendingDelete{record->url, record->etag};
            } else if (!sameContent(merged.fields, server)) {
                send(DavWrite::Put, record->url, record->etag, writeVTodo(record->ics, merged.fields), merged.fields,
                     record->list);
            }
            continue;
        }

        if (alive && !syncGroup.isNull()) {
            // New here, or back from the Trash: made where it belongs, as it was where it was.
            const QUrl url = buried && buried->list == wanted ? buried->url : objectUrl(wanted, uid);
            send(DavWrite::Put, url, QByteArray(), writeVTodo(buried ? buried->ics : QByteArray(), local), local, wanted);
        }
    }
}

bool SyncPass::_apply(const LocalView& view, Plan* plan, SyncOutcome* outcome)
{
    const bool nothingHere = plan->changes.isEmpty() && plan->inserts.isEmpty() && plan->toTrash.isEmpty()
        && plan->moves.isEmpty() && plan->reorder.isEmpty();
    const bool ran = nothingHere || m_onStoreThread([&] {
        for (const Plan::Change& change : qAsConst(plan->changes)) {
            const TodoTask now = m_store->task(change.id);
            const TaskFields current = fieldsOfTask(now, change.before.uid, change.before.sortOrder);
            if (!sameContent(current, change.before)) {
                // The user changed the task during the pass: theirs stays, the next pass merges.
                plan->records.insert(change.id, change.fallback);
                plan->unchangedHere.insert(change.id);
                continue;
            }
            m_store->updateTask(change.after);
        }
        QHash<FocusGroup::Id, QList<TodoTask::Id>> trashFrom;
        for (const TodoTask::Id& id : qAsConst(plan->toTrash)) {
            const TodoTask now = m_store->task(id);
            const TaskFields& before = plan->trashBefore[id];
            if (!sameContent(fieldsOfTask(now, before.uid, before.sortOrder), before))
                continue; // changed meanwhile: it stays, and the next pass sends it again
            const FocusGroup::Id from = view.syncGroup.value(id, FocusGroup::completedId());
            trashFrom[from].append(id);
        }
        for (auto it = trashFrom.constBegin(); it != trashFrom.constEnd(); ++it)
            m_store->moveTasks(it.key(), FocusGroup::trashId(), it.value());
        QHash<FocusGroup::Id, QList<TodoTask>> inserts;
        QList<TodoTask::Id> outOfTrash;
        for (const Plan::Insert& insert : qAsConst(plan->inserts)) {
            inserts[insert.group].append(insert.task);
            outOfTrash.append(insert.task.id());
        }
        if (!outOfTrash.isEmpty())
            m_store->removeTasks(FocusGroup::trashId(), outOfTrash, true);
        for (auto it = inserts.constBegin(); it != inserts.constEnd(); ++it) {
            m_store->insertTasks(it.key(), it.value());
            for (const TodoTask& task : it.value())
                m_store->updateTask(task);
        }
        for (const Plan::Move& move : qAsConst(plan->moves))
            m_store->moveTasks(move.from, move.to, {move.id});
        for (const FocusGroup::Id& groupId : qAsConst(plan->reorder)) {
            const FocusGroup group = m_store->group(groupId);
            ListOrder::Keys keys;
            for (const TodoTask::Id& id : group.taskIds()) {
                if (plan->mergedKeys.contains(id))
                    keys.insert(id, plan->mergedKeys.value(id));
                else if (view.keys.contains(id) && view.syncGroup.value(id) == groupId)
                    keys.insert(id, view.keys.value(id));
            }
            m_store->setTaskOrder(groupId, ListOrder::orderOf(group.taskIds(), keys));
        }
    });
    // The database must hold what the state will call agreed before the state says so.
    if (!_written(ran, !nothingHere,
                  tr("The changes from the server could not be written to the database; they are fetched again next time."),
                  outcome))
        return false;
    bool changed = m_stateChanged || !plan->records.isEmpty() || !plan->bury.isEmpty();
    for (auto it = plan->records.constBegin(); it != plan->records.constEnd(); ++it)
        m_state->tasks.insert(it.key(), it.value());
    for (const TodoTask::Id& id : qAsConst(plan->bury))
        _bury(id);
    for (PairedList& pair : m_state->lists) {
        const auto token = m_newTokens.constFind(pair.url);
        if (token != m_newTokens.constEnd() && pair.syncToken != token.value()) {
            pair.syncToken = token.value();
            changed = true;
        }
    }
    // A pass that found nothing new leaves the file alone: it may be large.
    return !changed || _saveState(outcome);
}

bool SyncPass::_send(Plan* plan, SyncOutcome* outcome)
{
    QList<Plan::Send> sends;
    for (const Plan::Send& item : qAsConst(plan->sends)) {
        if (!plan->unchangedHere.contains(item.id))
            sends.append(item);
    }
    // What goes to the server is on the disk first, so that a crash right after cannot make the
    // older copy on the disk look like a newer change.
    if (!sends.isEmpty() && m_store->hasUnwrittenChanges() && !m_store->commitNow())
        MRV_WARNING("SyncPass::_send", QStringLiteral("The database could not be written before sending"));
    // The state is saved every few seconds, not after every batch: it grows with the tasks, and
    // what a crash loses from it is only sent again (and found there already), never doubled.
    QElapsedTimer sinceSave;
    sinceSave.start();
    for (int start = 0; start < sends.size(); start += BatchSize) {
        const QList<Plan::Send> batch = sends.mid(start, BatchSize);
        QList<DavWrite> writes;
        for (const Plan::Send& item : batch)
            writes.append(item.write);
        const QList<DavWriteResult> results = m_dav->write(writes);
        DavError failure;
        for (int i = 0; i < batch.size() && i < results.size(); ++i) {
            const Plan::Send& item = batch.at(i);
            const DavWriteResult& result = results.at(i);
            const bool gone = (item.forget || item.stale) && result.error.kind == DavError::NotFound;
            if (item.stale && (result.error.ok() || gone)) {
                ++outcome->sent;
            } else if (item.stale && result.error.kind == DavError::Precondition) {
                // The left-behind copy changed meanwhile: the next pass lists its list in full,
                // finds it again beside the task's object and merges it in.
                outcome->again = true;
                _forgetToken(item.record.list);
            } else if (result.error.ok() || gone) {
                ++outcome->sent;
                if (item.forget) {
                    _bury(item.id);
                    continue;
                }
                SyncedTask record = item.record;
                record.etag = result.etag;
                m_state->tasks.insert(item.id, record);
                if (item.oldPlace.url.isValid())
                    m_state->pendingDeletes.append(item.oldPlace);
            } else if (result.error.kind == DavError::Precondition || result.error.kind == DavError::NotFound) {
                // Changed on the server since it was read: the next pass merges and tries again.
                outcome->again = true;
                // It is there already (sent before an interruption): compare everything.
                if (item.write.ifMatch.isEmpty())
                    _forgetToken(item.record.list);
            } else if (failure.ok()) {
                failure = result.error;
            }
        }
        const bool last = start + BatchSize >= sends.size();
        if (last || !failure.ok() || sinceSave.elapsed() >= SaveEveryMs) {
            if (!_saveState(outcome))
                return false;
            sinceSave.restart();
        }
        if (_fail(failure, outcome))
            return false;
    }
    return true;
}

bool SyncPass::_written(bool ran, bool changed, const QString& failure, SyncOutcome* outcome)
{
    if (!ran) {
        outcome->result = SyncOutcome::Aborted;
        return false;
    }
    // Written from the sync thread, so the window does not wait for the disk.
    if (changed && !m_store->commitNow()) {
        outcome->result = SyncOutcome::Failed;
        outcome->message = failure;
        return false;
    }
    return true;
}

void SyncPass::_bury(const TodoTask::Id& id)
{
    const auto it = m_state->tasks.find(id);
    if (it == m_state->tasks.end())
        return;
    it->deleted = true;
    it->etag.clear();
}

void SyncPass::_forgetToken(const QUrl& list)
{
    for (PairedList& pair : m_state->lists) {
        if (pair.url == list)
            pair.syncToken.clear();
    }
}

bool SyncPass::_sendPendingDeletes(SyncOutcome* outcome)
{
    if (m_state->pendingDeletes.isEmpty())
        return true;
    QList<DavWrite> writes;
    for (const PendingDelete& pending : qAsConst(m_state->pendingDeletes))
        writes.append(DavWrite{DavWrite::Delete, pending.url, QByteArray(), pending.etag});
    const QList<DavWriteResult> results = m_dav->write(writes);
    QList<PendingDelete> left;
    DavError failure;
    for (int i = 0; i < writes.size(); ++i) {
        const DavError& error = i < results.size() ? results.at(i).error : DavError{DavError::Aborted, -1, QString()};
        // A copy changed since (Precondition) is left to the device that changed it.
        if (error.ok() || error.kind == DavError::NotFound || error.kind == DavError::Precondition)
            continue;
        left.append(m_state->pendingDeletes.at(i));
        if (failure.ok())
            failure = error;
    }
    m_state->pendingDeletes = left;
    if (!_saveState(outcome))
        return false;
    return !_fail(failure, outcome);
}

bool SyncPass::_saveState(SyncOutcome* outcome)
{
    QString error;
    if (m_state->save(m_statePath, &error))
        return true;
    outcome->result = SyncOutcome::Failed;
    outcome->message = tr("The sync state could not be written (%1).").arg(error);
    MRV_CRITICAL("SyncPass::_saveState", outcome->message);
    return false;
}

} // namespace sync
