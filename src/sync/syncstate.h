#pragma once

#include "store/focusgroup.h"
#include "store/todotask.h"
#include "sync/vtodo.h"

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QSet>
#include <QString>
#include <QUrl>

namespace sync {

/// A group and the server task list it syncs with.
struct PairedList
{
    FocusGroup::Id group;
    QUrl url;
    QString name;        ///< the list's display name when it was last seen
    QByteArray syncToken;///< where the last complete pass left the list; empty: compare tags
};

/// What this computer and the server last agreed on for one task.
struct SyncedTask
{
    QUrl list;        ///< the task list it lives in
    QUrl url;         ///< its calendar object
    QByteArray etag;  ///< the object's entity tag when last seen
    QByteArray ics;   ///< the object as last seen (properties Mirevo does not use live here)
    TaskFields agreed;///< the fields both sides last agreed on: the base of every merge
    bool deleted = false; ///< deleted on the server; kept for its UID and other clients'
                          ///< properties, should the task come back from the Trash
};

/// An object to delete on the server once it can be reached (the old place of a moved task).
struct PendingDelete
{
    QUrl url;
    QByteArray etag;
};

/// Everything sync remembers between passes, kept in "sync.json" beside the database and
/// replaced as safely as the database. It is only ever written after the database holds
/// every change that it records as agreed, so that after a crash a difference between the two
/// is always a change still to send, never one to undo.
struct SyncState
{
    static constexpr int FormatVersion = 1;

    QUrl server;      ///< the account the state belongs to
    QString user;
    QUrl home;        ///< where new task lists are made
    bool singleList = false; ///< the account is one task list, not a calendar home
    QList<PairedList> lists;
    QSet<QUrl> ignoredLists; ///< server lists not synced (their group was removed here)
    QSet<FocusGroup::Id> localGroups; ///< groups kept on this computer only
    QHash<TodoTask::Id, SyncedTask> tasks;
    QList<PendingDelete> pendingDeletes;

    const PairedList* listOfGroup(const FocusGroup::Id& group) const;
    const PairedList* listAt(const QUrl& url) const;
    /// Forgets everything but the account (a new account starts with a union).
    void reset(const QUrl& server, const QString& user);

    /// Reads the file; a missing file is an empty state. False, with the reason, for a file
    /// that cannot be read or parsed (the caller starts over with a union: nothing is lost).
    bool load(const QString& path, QString* error);
    /// Writes the file safely (new file, fsync, rename). False with the reason otherwise.
    bool save(const QString& path, QString* error) const;

    /// The file name beside `databasePath`.
    static QString pathBeside(const QString& databasePath);
};

/// The task id of a calendar object's UID: the UID itself when it is a UUID (Mirevo's own
/// tasks), otherwise a name-based UUID of it, the same on every computer.
TodoTask::Id taskIdOfUid(const QString& uid);
/// The UID Mirevo gives its own task: the id without braces.
QString uidOfTask(const TodoTask::Id& id);

} // namespace sync
