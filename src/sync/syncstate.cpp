#include "sync/syncstate.h"

#include "platform/filesync.h"
#include "store/csafefileupdate.h"

#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace sync {

namespace {

QJsonValue timeValue(const QDateTime& time)
{
    return time.isValid() ? QJsonValue(double(time.toMSecsSinceEpoch())) : QJsonValue();
}

QDateTime timeOf(const QJsonValue& value)
{
    return value.isDouble() ? QDateTime::fromMSecsSinceEpoch(qint64(value.toDouble())) : QDateTime();
}

QJsonObject fieldsObject(const TaskFields& fields)
{
    QJsonObject object;
    object.insert(QStringLiteral("uid"), fields.uid);
    object.insert(QStringLiteral("name"), fields.name);
    object.insert(QStringLiteral("notes"), fields.notes);
    object.insert(QStringLiteral("due"), timeValue(fields.due));
    object.insert(QStringLiteral("completed"), fields.completed);
    object.insert(QStringLiteral("completedAt"), timeValue(fields.completedAt));
    object.insert(QStringLiteral("created"), timeValue(fields.created));
    if (!fields.repeatRule.isEmpty())
        object.insert(QStringLiteral("repeat"), fields.repeatRule);
    if (fields.sortOrder)
        object.insert(QStringLiteral("sort"), QString::number(*fields.sortOrder));
    return object;
}

TaskFields fieldsOf(const QJsonObject& object)
{
    TaskFields fields;
    fields.uid = object.value(QStringLiteral("uid")).toString();
    fields.name = object.value(QStringLiteral("name")).toString();
    fields.notes = object.value(QStringLiteral("notes")).toString();
    fields.due = timeOf(object.value(QStringLiteral("due")));
    fields.completed = object.value(QStringLiteral("completed")).toBool();
    fields.completedAt = timeOf(object.value(QStringLiteral("completedAt")));
    fields.created = timeOf(object.value(QStringLiteral("created")));
    fields.repeatRule = object.value(QStringLiteral("repeat")).toString();
    bool ok = false;
    const qint64 sort = object.value(QStringLiteral("sort")).toString().toLongLong(&ok);
    if (ok)
        fields.sortOrder = sort;
    return fields;
}

QString urlText(const QUrl& url)
{
    return url.toString(QUrl::FullyEncoded);
}

QUrl urlOf(const QJsonValue& value)
{
    return QUrl::fromEncoded(value.toString().toUtf8(), QUrl::StrictMode);
}

QByteArray bytesOf(const QJsonValue& value)
{
    return value.toString().toUtf8();
}

} // namespace

const PairedList* SyncState::listOfGroup(const FocusGroup::Id& group) const
{
    for (const PairedList& list : lists) {
        if (list.group == group)
            return &list;
    }
    return nullptr;
}

const PairedList* SyncState::listAt(const QUrl& url) const
{
    for (const PairedList& list : lists) {
        if (list.url == url)
            return &list;
    }
    return nullptr;
}

void SyncState::reset(const QUrl& newServer, const QString& newUser)
{
    *this = SyncState();
    server = newServer;
    user = newUser;
}

bool SyncState::load(const QString& path, QString* error)
{
    *this = SyncState();
    QFile file(path);
    if (!file.exists())
        return true;
    if (!file.open(QIODevice::ReadOnly)) {
        *error = file.errorString();
        return false;
    }
    QJsonParseError parseError;
    const QJsonDocument document = QJsonDocument::fromJson(file.readAll(), &parseError);
    if (parseError.error != QJsonParseError::NoError || !document.isObject()) {
        *error = parseError.errorString();
        return false;
    }
    const QJsonObject root = document.object();
    if (root.value(QStringLiteral("version")).toInt() != FormatVersion) {
        *error = QStringLiteral("unknown format version");
        return false;
    }
    server = urlOf(root.value(QStringLiteral("server")));
    user = root.value(QStringLiteral("user")).toString();
    home = urlOf(root.value(QStringLiteral("home")));
    singleList = root.value(QStringLiteral("singleList")).toBool();
    for (const QJsonValue& value : root.value(QStringLiteral("lists")).toArray()) {
        const QJsonObject object = value.toObject();
        PairedList list;
        list.group = QUuid::fromString(object.value(QStringLiteral("group")).toString());
        list.url = urlOf(object.value(QStringLiteral("url")));
        list.name = object.value(QStringLiteral("name")).toString();
        list.syncToken = bytesOf(object.value(QStringLiteral("token")));
        if (!list.group.isNull() && list.url.isValid())
            lists.append(list);
    }
    for (const QJsonValue& value : root.value(QStringLiteral("ignored")).toArray())
        ignoredLists.insert(urlOf(value));
    for (const QJsonValue& value : root.value(QStringLiteral("localGroups")).toArray())
        localGroups.insert(QUuid::fromString(value.toString()));
    const QJsonObject taskObjects = root.value(QStringLiteral("tasks")).toObject();
    tasks.reserve(taskObjects.size());
    for (auto it = taskObjects.constBegin(); it != taskObjects.constEnd(); ++it) {
        const TodoTask::Id id = QUuid::fromString(it.key());
        const QJsonObject object = it.value().toObject();
        SyncedTask task;
        task.list = urlOf(object.value(QStringLiteral("list")));
        task.url = urlOf(object.value(QStringLiteral("url")));
        task.etag = bytesOf(object.value(QStringLiteral("etag")));
        task.ics = bytesOf(object.value(QStringLiteral("ics")));
        task.agreed = fieldsOf(object.value(QStringLiteral("agreed")).toObject());
        task.deleted = object.value(QStringLiteral("deleted")).toBool();
        if (!id.isNull() && task.url.isValid())
            tasks.insert(id, task);
    }
    // Earlier versions agreed on repeat rules the database never held: left as they are, the
    // first pass would take the missing rules for deletions and remove them on the server.
    // Forgetting them and reading those tasks again brings the server's rules into the database.
    if (!root.value(QStringLiteral("repeatRulesHere")).toBool()) {
        QSet<QUrl> reread;
        for (SyncedTask& task : tasks) {
            if (task.deleted || task.agreed.repeatRule.isEmpty())
                continue;
            task.agreed.repeatRule.clear();
            task.etag.clear();
            reread.insert(task.list);
        }
        for (PairedList& list : lists) {
            if (reread.contains(list.url))
                list.syncToken.clear();
        }
    }
    for (const QJsonValue& value : root.value(QStringLiteral("pendingDeletes")).toArray()) {
        const QJsonObject object = value.toObject();
        pendingDeletes.append({urlOf(object.value(QStringLiteral("url"))), bytesOf(object.value(QStringLiteral("etag")))});
    }
    return true;
}

bool SyncState::save(const QString& path, QString* error) const
{
    QJsonObject root;
    root.insert(QStringLiteral("version"), FormatVersion);
    root.insert(QStringLiteral("repeatRulesHere"), true);
    root.insert(QStringLiteral("server"), urlText(server));
    root.insert(QStringLiteral("user"), user);
    root.insert(QStringLiteral("home"), urlText(home));
    root.insert(QStringLiteral("singleList"), singleList);
    QJsonArray listArray;
    for (const PairedList& list : lists) {
        QJsonObject object;
        object.insert(QStringLiteral("group"), list.group.toString());
        object.insert(QStringLiteral("url"), urlText(list.url));
        object.insert(QStringLiteral("name"), list.name);
        object.insert(QStringLiteral("token"), QString::fromUtf8(list.syncToken));
        listArray.append(object);
    }
    root.insert(QStringLiteral("lists"), listArray);
    QJsonArray ignored;
    for (const QUrl& url : ignoredLists)
        ignored.append(urlText(url));
    root.insert(QStringLiteral("ignored"), ignored);
    QJsonArray local;
    for (const FocusGroup::Id& id : localGroups)
        local.append(id.toString());
    root.insert(QStringLiteral("localGroups"), local);
    QJsonObject taskObjects;
    for (auto it = tasks.constBegin(); it != tasks.constEnd(); ++it) {
        QJsonObject object;
        object.insert(QStringLiteral("list"), urlText(it->list));
        object.insert(QStringLiteral("url"), urlText(it->url));
        object.insert(QStringLiteral("etag"), QString::fromUtf8(it->etag));
        object.insert(QStringLiteral("ics"), QString::fromUtf8(it->ics));
        object.insert(QStringLiteral("agreed"), fieldsObject(it->agreed));
        if (it->deleted)
            object.insert(QStringLiteral("deleted"), true);
        taskObjects.insert(it.key().toString(), object);
    }
    root.insert(QStringLiteral("tasks"), taskObjects);
    QJsonArray deletes;
    for (const PendingDelete& pending : pendingDeletes) {
        QJsonObject object;
        object.insert(QStringLiteral("url"), urlText(pending.url));
        object.insert(QStringLiteral("etag"), QString::fromUtf8(pending.etag));
        deletes.append(object);
    }
    root.insert(QStringLiteral("pendingDeletes"), deletes);

    const QByteArray bytes = QJsonDocument(root).toJson(QJsonDocument::Compact);
    CSafeFileUpdate update(path);
    QFile file;
    if (!update.open(file)) {
        *error = update.errorString();
        return false;
    }
    if (file.write(bytes) != bytes.size() || !file.flush()) {
        *error = file.errorString();
        file.close();
        QFile::remove(update.newFileName());
        return false;
    }
    file.close();
    if (!update.commit()) {
        *error = update.errorString();
        QFile::remove(update.newFileName());
        return false;
    }
    return true;
}

QString SyncState::pathBeside(const QString& databasePath)
{
    return QFileInfo(databasePath).absolutePath() + QStringLiteral("/sync.json");
}

TodoTask::Id taskIdOfUid(const QString& uid)
{
    const QUuid id = QUuid::fromString(uid.trimmed());
    if (!id.isNull())
        return id;
    static const QUuid ns = QUuid::fromString(QStringLiteral("{6b7d2d2e-3b1f-4b8e-9f0d-2a5c7e1d9a41}"));
    return QUuid::createUuidV5(ns, uid);
}

QString uidOfTask(const TodoTask::Id& id)
{
    return id.toString(QUuid::WithoutBraces);
}

} // namespace sync
