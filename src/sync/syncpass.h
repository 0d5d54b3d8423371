#pragma once

#include "store/focusgroup.h"
#include "store/todotask.h"
#include "sync/davclient.h"
#include "sync/syncstate.h"

#include <QCoreApplication>
#include <QHash>
#include <QList>
#include <QSet>
#include <QString>
#include <QUrl>

#include <functional>

class TaskStorage;

namespace sync {

/// How a pass ended, for the status mark and `mirevo --sync`.
struct SyncOutcome
{
    enum Result {
        Synced,      ///< everything was exchanged (some objects may have been skipped)
        Offline,     ///< the server could not be reached; nothing was lost, a later pass sends
        AuthFailed,  ///< the server refused the user name or password
        Failed,      ///< the server or this computer failed in another way (message says)
        Aborted,     ///< the program is ending
    };
    Result result = Synced;
    QString message;    ///< for the user; empty when all went well
    int received = 0;   ///< tasks changed here from the server
    int sent = 0;       ///< objects written to or deleted on the server
    int conflicts = 0;  ///< tasks changed on both sides
    int skipped = 0;    ///< server objects that could not be read
    int requests = 0;   ///< HTTP requests the pass made
    bool again = false; ///< the server changed during the pass: another pass should follow soon
    QList<PairedList> lists; ///< the groups and the server lists they sync with, after the pass
};

/// One exchange between the store and the account's task lists: find the lists and pair them
/// with groups, fetch what changed on the server, merge it with what changed here, apply the
/// result to the store (on the store's thread), write the database, record what both sides now
/// agree on, and send the local changes. Runs on a worker thread; every request blocks there.
class SyncPass
{
    Q_DECLARE_TR_FUNCTIONS(SyncPass)
public:
    /// Runs `call` on the store's thread and waits for it; false when the program is ending
    /// and it did not run.
    using StoreCall = std::function<bool(const std::function<void()>& call)>;
    /// Writes sent at once.
    static constexpr int BatchSize = 64;
    /// While sending, the state is saved at least this often.
    static constexpr int SaveEveryMs = 3000;

    SyncPass(TaskStorage* store, DavClient* dav, SyncState* state, const QString& statePath,
             StoreCall onStoreThread);

    /// With `pairOnly` the pass stops once the lists are found and paired with groups.
    SyncOutcome run(const QUrl& server, const QString& user, bool pairOnly = false);

private:
    struct RemoteObject
    {
        QUrl list;
        QUrl url;
        QByteArray etag;
        QByteArray ics;
        TaskFields fields;
    };
    struct LocalView;
    struct Plan;

    bool _fail(const DavError& error, SyncOutcome* outcome);
    bool _findLists(SyncOutcome* outcome, QList<DavCollection>* lists);
    bool _pairLists(const QList<DavCollection>& lists, SyncOutcome* outcome);
    bool _fetchChanges(const QList<DavCollection>& lists, SyncOutcome* outcome);
    void _readLocal(LocalView* view) const;
    void _plan(const LocalView& view, Plan* plan, SyncOutcome* outcome);
    bool _apply(const LocalView& view, Plan* plan, SyncOutcome* outcome);
    bool _send(Plan* plan, SyncOutcome* outcome);
    bool _sendPendingDeletes(SyncOutcome* outcome);
    bool _saveState(SyncOutcome* outcome);
    /// After store changes ran on the store's thread (`ran`): writes the database when
    /// `changed`; false, with `failure` or an abort in the outcome, otherwise.
    bool _written(bool ran, bool changed, const QString& failure, SyncOutcome* outcome);
    /// Keeps the record of a task deleted on the server, for its UID and properties.
    void _bury(const TodoTask::Id& id);
    /// The next pass lists `list` in full instead of asking for changes since its token.
    void _forgetToken(const QUrl& list);

    TaskStorage* m_store;
    DavClient* m_dav;
    SyncState* m_state;
    QString m_statePath;
    StoreCall m_onStoreThread;

    // Filled by _fetchChanges.
    QHash<TodoTask::Id, RemoteObject> m_changed;
    /// More objects of a task already in m_changed: copies a move left behind, here or elsewhere.
    QHash<TodoTask::Id, QList<RemoteObject>> m_extraCopies;
    QSet<QUrl> m_removed;
    QHash<QUrl, QByteArray> m_newTokens;
    QSet<QUrl> m_goneLists;
    bool m_stateChanged = false; ///< lists paired or dropped, or the account found, this pass
};

} // namespace sync
