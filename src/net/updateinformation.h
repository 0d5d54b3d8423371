#pragma once

#include "base/version.h"

#include <QHash>
#include <QMetaType>
#include <QString>
#include <QUrl>

/// One entry of the update server's answer: a version of one application and where to get it.
struct UpdateEntry
{
    QString id;
    Version version;
    QUrl url;

    /// An entry counts when it names an application, a valid version and a valid address.
    bool isValid() const;
};

/// The result of one update check, copied by value and sent through queued connections.
class UpdateInformation
{
public:
    /// Reads the server's JSON answer: an object whose "updates" list holds entries with the
    /// texts "id", "version" and "url". Anything else, and every invalid entry, is ignored, so
    /// a broken answer gives the empty result.
    static UpdateInformation fromResponse(const QString& text);

    /// Stores a valid entry under its id, replacing an earlier one with the same id; an
    /// invalid entry is ignored.
    void store(const UpdateEntry& entry);

    /// True once at least one valid entry has been stored.
    bool available = false;
    QHash<QString, UpdateEntry> entries;
};

Q_DECLARE_METATYPE(UpdateInformation)
