#include "net/updateinformation.h"

#include "net/json.h"

#include <QVariantList>
#include <QVariantMap>

bool UpdateEntry::isValid() const
{
    return !id.isEmpty() && version.isValid() && url.isValid();
}

UpdateInformation UpdateInformation::fromResponse(const QString& text)
{
    UpdateInformation info;
    bool ok = false;
    const QVariant document = net::parseJson(text, &ok);
    if (!ok || document.typeId() != QMetaType::QVariantMap)
        return info;
    const QVariant updates = document.toMap().value(QStringLiteral("updates"));
    if (updates.typeId() != QMetaType::QVariantList)
        return info;
    const QVariantList items = updates.toList();
    for (const QVariant& item : items) {
        if (item.typeId() != QMetaType::QVariantMap)
            continue;
        const QVariantMap members = item.toMap();
        UpdateEntry entry;
        entry.id = members.value(QStringLiteral("id")).toString();
        entry.version = Version::fromString(members.value(QStringLiteral("version")).toString());
        entry.url = QUrl(members.value(QStringLiteral("url")).toString());
        info.store(entry);
    }
    return info;
}

void UpdateInformation::store(const UpdateEntry& entry)
{
    if (!entry.isValid())
        return;
    entries.insert(entry.id, entry);
    available = true;
}
