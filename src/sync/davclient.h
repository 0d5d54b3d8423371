#pragma once

#include <QByteArray>
#include <QCoreApplication>
#include <QList>
#include <QMutex>
#include <QString>
#include <QUrl>

#include <atomic>
#include <functional>
#include <memory>

class QNetworkAccessManager;
class QNetworkReply;

namespace sync {

namespace davxml {
struct Multistatus;
}

/// Why a request failed. `message` is a sentence for the user, in the program's voice.
struct DavError
{
    enum Kind {
        None,
        Network,          ///< no connection, connection refused or cut, answer cut mid-body
        Timeout,          ///< the server made no progress for the transfer time-out
        Tls,              ///< certificate not trusted or otherwise invalid
        Insecure,         ///< plain HTTP to a host that is not this machine
        Auth,             ///< 401: user name or password refused
        Forbidden,        ///< 403
        NotFound,         ///< 404 or 410
        Precondition,     ///< 412: If-Match / If-None-Match failed
        InvalidSyncToken, ///< the sync-collection report refused the token (403/409 valid-sync-token)
        Server,           ///< any other status that is not a success
        BadAnswer,        ///< malformed XML, wrong content type, missing parts
        TooManyRedirects,
        TooLarge,
        Aborted,
    };
    Kind kind = None;
    int status = -1; ///< HTTP status when there was one
    QString message;
    bool ok() const { return kind == None; }
};

/// A task list (calendar collection) on the server.
struct DavCollection
{
    QUrl url;                        ///< the collection, path ending in "/"
    QString displayName;             ///< DAV:displayname, may be empty
    bool holdsTasks = false;         ///< a calendar whose supported components include VTODO
                                     ///< (or that names none)
    bool supportsSyncCollection = false; ///< DAV:sync-collection among the supported reports
    QByteArray syncToken;            ///< DAV:sync-token, empty when none
    QByteArray ctag;                 ///< CS:getctag, empty when none
};

/// One calendar object resource: where it is and its entity tag; `ics` when it was fetched.
struct DavObject
{
    QUrl url; ///< in the form of DavClient::normalizedUrl(): the same object gives an equal URL
    QByteArray etag;
    QByteArray ics;
};

/// What changed in a collection since a sync token.
struct DavChanges
{
    QByteArray newToken;
    QList<DavObject> changed; ///< new or changed objects (url and etag; no ics)
    QList<QUrl> removed;      ///< objects gone since the token
};

/// The answer to a write (PUT or DELETE).
struct DavWriteResult
{
    DavError error;
    QByteArray etag; ///< the new entity tag after a PUT, empty when the server would not tell
};

/// One write in a batch.
struct DavWrite
{
    enum Method { Put, Delete };
    Method method = Put;
    QUrl url;
    QByteArray ics;     ///< body of a PUT
    QByteArray ifMatch; ///< entity tag the object must still have; empty: for a PUT, the object
                        ///< must not exist yet (If-None-Match: *), for a DELETE, no condition
};

/// A blocking WebDAV/CalDAV client for one account, used on one worker thread (never the
/// user-interface thread): each call sends its requests with a QNetworkAccessManager of its
/// thread and waits in a local event loop. HTTPS is always verified (with the program's trusted
/// authorities); plain HTTP is refused unless the host is this machine (loopback). Every call
/// sends the user name and password (Basic) and fails with DavError::Auth on 401.
class DavClient
{
    Q_DECLARE_TR_FUNCTIONS(DavClient)
public:
    /// `transferTimeoutMs`: a request that makes no progress for that long fails (Timeout).
    DavClient(const QString& user, const QString& password, int transferTimeoutMs = 30000);
    ~DavClient();

    /// Finds the task lists from what a user typed: a collection URL (just that collection, when
    /// it holds tasks; its siblings are not searched), a calendar home, or a host, through
    /// /.well-known/caldav, the current user principal and its calendar-home-set. `home` is the
    /// calendar home where new lists are made (for a collection URL: its parent).
    DavError discover(const QUrl& start, QUrl* home, QList<DavCollection>* lists);
    /// The calendars directly in `home` that hold tasks.
    DavError listCollections(const QUrl& home, QList<DavCollection>* lists);
    /// The properties of one collection (sync token, ctag, name).
    DavError collectionInfo(const QUrl& collection, DavCollection* info);
    /// MKCALENDAR of a task list (VTODO only) with a display name.
    DavError makeCalendar(const QUrl& url, const QString& displayName);

    /// The sync-collection report since `token` (empty: everything). InvalidSyncToken when the
    /// server refuses the token: the caller compares entity tags instead.
    DavError syncCollection(const QUrl& collection, const QByteArray& token, DavChanges* changes);
    /// Every VTODO object of the collection with its entity tag (no ics).
    DavError listObjects(const QUrl& collection, QList<DavObject>* objects);
    /// The objects at `urls` with ics and entity tag (calendar-multiget, in batches). Objects
    /// the server no longer has are left out; the order of the answer is the server's.
    DavError fetchObjects(const QUrl& collection, const QList<QUrl>& urls, QList<DavObject>* objects);

    /// Sends the writes, up to `parallel` at a time; one result per write, in order. A PUT whose
    /// answer carries no ETag asks for it (PROPFIND getetag) before it counts as done; when that
    /// question fails, the result carries its error although the PUT was made.
    QList<DavWriteResult> write(const QList<DavWrite>& writes, int parallel = 4);

    /// Callable from any thread: requests in flight end at once (Aborted), later ones fail.
    void abort();
    bool aborted() const { return m_aborted; }

    /// Requests sent since the client was made, each redirect followed counting as one (for the
    /// benchmarks).
    int requestCount() const { return m_requests; }

    /// Whether a request may be sent to `url`: https, or http to a loopback host.
    static bool isAllowed(const QUrl& url);

    /// The form of every URL the client returns: lower-case scheme and host, no default port,
    /// no user info or fragment, and the path percent-encoded one way whatever the server's
    /// spelling. URLs made elsewhere compare equal to the client's once normalised.
    static QUrl normalizedUrl(const QUrl& url);

    /// Answers bigger than this fail with TooLarge.
    static constexpr qint64 MaxAnswerBytes = 256 * 1024 * 1024;
    static constexpr int MaxRedirects = 5;
    /// Objects asked for in one calendar-multiget.
    static constexpr int MultigetBatch = 100;

private:
    Q_DISABLE_COPY(DavClient)

    class Exchange;
    struct Request;
    struct Answer;

    /// Runs `jobs` jobs, at most `parallel` at a time. A job is a chain of exchanges: `next`
    /// gives the first one (previous is null) and each following one, null when it is done.
    void _run(int jobs, int parallel,
              const std::function<std::unique_ptr<Exchange>(int job, Exchange* previous)>& next);
    Answer _send(const Request& request);
    /// The multistatus of a successful answer that is XML.
    static DavError _readMultistatus(const Answer& answer, davxml::Multistatus* result);
    QNetworkAccessManager* _manager();
    void _track(QNetworkReply* reply);
    void _untrack(QNetworkReply* reply);

    QString m_user;
    QString m_password;
    int m_transferTimeoutMs;
    std::atomic<bool> m_aborted{false};
    int m_requests = 0;
    QNetworkAccessManager* m_manager = nullptr;
    /// The replies in flight, for abort() from another thread.
    QMutex m_inFlightLock;
    QList<QNetworkReply*> m_inFlight;
};

} // namespace sync
