#pragma once

#include <QByteArray>
#include <QList>
#include <QSet>
#include <QString>
#include <QStringList>
#include <QUrl>

namespace sync::davxml {

inline constexpr QLatin1String DavNs("DAV:");
inline constexpr QLatin1String CalDavNs("urn:ietf:params:xml:ns:caldav");
inline constexpr QLatin1String CalendarServerNs("http://calendarserver.org/ns/");

/// One property of a 2xx propstat, reduced to what the client reads of properties.
struct Property
{
    QString ns;
    QString name;
    QString text;            ///< the element's own text (not that of its children)
    QList<QUrl> hrefs;       ///< DAV:href elements inside it, resolved and normalised
    QSet<QString> contained; ///< every element inside it as "namespace name"
    QStringList components;  ///< the name attributes of CalDAV comp elements inside it

    bool contains(QLatin1String ns, QLatin1String name) const;
};

struct Response
{
    QUrl url;        ///< the first href, resolved and normalised
    int status = -1; ///< the response's own status (removed or missing members), -1 when none
    QList<Property> properties;

    const Property* property(QLatin1String ns, QLatin1String name) const;
    /// The text of a property, trimmed; empty when it is missing.
    QString text(QLatin1String ns, QLatin1String name) const;
};

struct Multistatus
{
    QList<Response> responses;
    QByteArray syncToken; ///< DAV:sync-token of a sync-collection report
};

/// Reads a DAV:multistatus body; hrefs are resolved against `base`. False with a reason for
/// the log in `error` when the body is not well-formed or not a multistatus.
bool parseMultistatus(const QByteArray& body, const QUrl& base, Multistatus* result, QString* error);

/// The form of a URL that the client hands out: lower-case scheme and host, no default port,
/// no user info or fragment, an empty path made "/", and each path segment percent-encoded in
/// one way (decoded, then everything but unreserved characters and sub-delimiters, ":" and "@"
/// encoded with upper-case hex). Two spellings of the same server path give equal URLs.
QUrl normalizedUrl(const QUrl& url);

} // namespace sync::davxml
