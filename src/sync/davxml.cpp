#include "sync/davxml.h"

#include <QXmlStreamReader>

namespace sync::davxml {

namespace {

QString qualified(QStringView ns, QStringView name)
{
    return ns.toString() + QLatin1Char(' ') + name.toString();
}

bool isElement(const QXmlStreamReader& xml, QLatin1String ns, QLatin1String name)
{
    return xml.namespaceUri() == ns && xml.name() == name;
}

QUrl resolvedHref(const QUrl& base, const QString& href)
{
    const QString trimmed = href.trimmed();
    if (trimmed.isEmpty())
        return QUrl();
    const QUrl reference = QUrl::fromEncoded(trimmed.toUtf8(), QUrl::TolerantMode);
    if (!reference.isValid())
        return QUrl();
    return normalizedUrl(base.resolved(reference));
}

/// "HTTP/1.1 404 Not Found" gives 404.
int statusOf(const QString& line)
{
    const QStringList words = line.simplified().split(QLatin1Char(' '));
    bool ok = false;
    const int status = words.value(1).toInt(&ok);
    return ok ? status : -1;
}

Property readProperty(QXmlStreamReader& xml, const QUrl& base)
{
    Property property;
    property.ns = xml.namespaceUri().toString();
    property.name = xml.name().toString();
    int depth = 1;
    while (depth > 0 && !xml.atEnd()) {
        switch (xml.readNext()) {
        case QXmlStreamReader::StartElement:
            property.contained.insert(qualified(xml.namespaceUri(), xml.name()));
            if (isElement(xml, CalDavNs, QLatin1String("comp")))
                property.components.append(xml.attributes().value(QLatin1String("name")).toString().toUpper());
            if (isElement(xml, DavNs, QLatin1String("href"))) {
                const QUrl url = resolvedHref(base, xml.readElementText(QXmlStreamReader::SkipChildElements));
                if (url.isValid())
                    property.hrefs.append(url);
            } else {
                ++depth;
            }
            break;
        case QXmlStreamReader::EndElement:
            --depth;
            break;
        case QXmlStreamReader::Characters:
            if (depth == 1)
                property.text += xml.text();
            break;
        default:
            break;
        }
    }
    return property;
}

void readPropstat(QXmlStreamReader& xml, const QUrl& base, Response* response)
{
    QList<Property> properties;
    int status = -1;
    while (xml.readNextStartElement()) {
        if (isElement(xml, DavNs, QLatin1String("prop"))) {
            while (xml.readNextStartElement())
                properties.append(readProperty(xml, base));
        } else if (isElement(xml, DavNs, QLatin1String("status"))) {
            status = statusOf(xml.readElementText(QXmlStreamReader::SkipChildElements));
        } else {
            xml.skipCurrentElement();
        }
    }
    // Properties the server does not have come in a 404 propstat: they are missing.
    if (status >= 200 && status < 300)
        response->properties += properties;
}

Response readResponse(QXmlStreamReader& xml, const QUrl& base)
{
    Response response;
    while (xml.readNextStartElement()) {
        if (isElement(xml, DavNs, QLatin1String("href"))) {
            const QUrl url = resolvedHref(base, xml.readElementText(QXmlStreamReader::SkipChildElements));
            if (response.url.isEmpty())
                response.url = url;
        } else if (isElement(xml, DavNs, QLatin1String("status"))) {
            response.status = statusOf(xml.readElementText(QXmlStreamReader::SkipChildElements));
        } else if (isElement(xml, DavNs, QLatin1String("propstat"))) {
            readPropstat(xml, base, &response);
        } else {
            xml.skipCurrentElement();
        }
    }
    return response;
}

} // namespace

bool Property::contains(QLatin1String ns, QLatin1String name) const
{
    return contained.contains(qualified(QString(ns), QString(name)));
}

const Property* Response::property(QLatin1String ns, QLatin1String name) const
{
    for (const Property& property : properties) {
        if (property.ns == ns && property.name == name)
            return &property;
    }
    return nullptr;
}

QString Response::text(QLatin1String ns, QLatin1String name) const
{
    const Property* found = property(ns, name);
    return found ? found->text.trimmed() : QString();
}

bool parseMultistatus(const QByteArray& body, const QUrl& base, Multistatus* result, QString* error)
{
    QXmlStreamReader xml(body);
    *result = Multistatus();
    if (!xml.readNextStartElement() || !isElement(xml, DavNs, QLatin1String("multistatus"))) {
        *error = xml.hasError() ? xml.errorString() : QStringLiteral("the root element is not DAV:multistatus");
        return false;
    }
    while (xml.readNextStartElement()) {
        if (isElement(xml, DavNs, QLatin1String("response"))) {
            Response response = readResponse(xml, base);
            if (response.url.isValid())
                result->responses.append(response);
        } else if (isElement(xml, DavNs, QLatin1String("sync-token"))) {
            result->syncToken = xml.readElementText(QXmlStreamReader::SkipChildElements).trimmed().toUtf8();
        } else {
            xml.skipCurrentElement();
        }
    }
    // Whatever follows the root must still be well-formed.
    while (!xml.atEnd())
        xml.readNext();
    if (xml.hasError()) {
        *error = QStringLiteral("%1 at line %2").arg(xml.errorString()).arg(xml.lineNumber());
        return false;
    }
    return true;
}

QUrl normalizedUrl(const QUrl& url)
{
    QUrl normal;
    const QString scheme = url.scheme().toLower();
    normal.setScheme(scheme);
    normal.setHost(url.host().toLower());
    const int defaultPort = scheme == QLatin1String("https") ? 443 : scheme == QLatin1String("http") ? 80 : -1;
    if (url.port() != defaultPort)
        normal.setPort(url.port());

    QList<QByteArray> segments = url.path(QUrl::FullyEncoded).toLatin1().split('/');
    for (QByteArray& segment : segments)
        segment = QByteArray::fromPercentEncoding(segment).toPercentEncoding("!$&'()*+,;=:@");
    QByteArray path = segments.join('/');
    if (path.isEmpty())
        path = "/";
    normal.setPath(QString::fromLatin1(path), QUrl::StrictMode);
    if (url.hasQuery())
        normal.setQuery(url.query(QUrl::FullyEncoded), QUrl::StrictMode);
    return normal;
}

} // namespace sync::davxml
