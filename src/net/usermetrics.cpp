#include "net/usermetrics.h"

#include "base/log.h"
#include "store/basicxmlreader.h"
#include "store/csafefileupdate.h"

#include <QFile>
#include <QMutexLocker>
#include <QUuid>
#include <QXmlStreamWriter>

namespace {

QMutex& instanceLock()
{
    static QMutex lock;
    return lock;
}

UserMetrics*& instancePointer()
{
    static UserMetrics* pointer = nullptr;
    return pointer;
}

const QLatin1String MetricsElement("metrics");
const QLatin1String IdElement("id");

} // namespace

UserMetrics* UserMetrics::instance()
{
    QMutexLocker locker(&instanceLock());
    UserMetrics*& pointer = instancePointer();
    if (!pointer)
        pointer = new UserMetrics;
    return pointer;
}

void UserMetrics::destroy()
{
    UserMetrics* object = nullptr;
    {
        QMutexLocker locker(&instanceLock());
        std::swap(object, instancePointer());
    }
    delete object;
}

bool UserMetrics::exists()
{
    QMutexLocker locker(&instanceLock());
    return instancePointer() != nullptr;
}

QString UserMetrics::createId()
{
    const QUuid uuid = QUuid::createUuid();
    if (uuid.isNull())
        return QString();
    return uuid.toString(QUuid::WithoutBraces);
}

QString UserMetrics::id()
{
    QMutexLocker locker(&m_lock);
    if (m_id.isEmpty())
        m_id = createId();
    return m_id;
}

QString UserMetrics::storedId() const
{
    QMutexLocker locker(&m_lock);
    return m_id;
}

bool UserMetrics::load(const QString& path)
{
    QMutexLocker locker(&m_lock);
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;

    BasicXmlReader xml;
    xml.setDevice(&file);
    while (!xml.atEnd() && !xml.hasError()) {
        if (xml.readNext() != QXmlStreamReader::StartElement)
            continue;
        if (xml.name() != MetricsElement) {
            // Not ours: its whole content is passed over.
            xml.skipCurrentElement();
            continue;
        }
        QString id;
        while (xml.readNextStartElement()) {
            if (xml.name() == IdElement)
                xml.readText(id);
            else
                xml.skipCurrentElement();
        }
        if (!xml.hasError())
            m_id = id;
    }
    return !xml.hasError();
}

void UserMetrics::save(const QString& path)
{
    QMutexLocker locker(&m_lock);
    CSafeFileUpdate update(path);
    QFile file;
    if (!update.open(file)) {
        MRV_CRITICAL("UserMetrics::save", QStringLiteral("Cannot open temporary file ") + update.newFileName()
                                              + QStringLiteral(": ") + update.errorString());
        return;
    }

    QXmlStreamWriter writer(&file);
    writer.setAutoFormatting(false);
    writer.writeStartDocument();
    writer.writeStartElement(MetricsElement);
    writer.writeTextElement(IdElement, m_id);
    writer.writeEndElement();
    writer.writeEndDocument();
    file.close();
    if (writer.hasError() || file.error() != QFileDevice::NoError) {
        MRV_CRITICAL("UserMetrics::save", QStringLiteral("Cannot write temporary file ") + update.newFileName());
        file.remove();
        return;
    }

    if (!update.commit()) {
        MRV_CRITICAL("UserMetrics::save", QStringLiteral("Safe file update failed. Updating ") + path
                                              + QStringLiteral(" from ") + update.newFileName() + QStringLiteral(": ")
                                              + update.errorString());
    }
}
