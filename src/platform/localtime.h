#pragma once

#include <QString>

namespace platform {

/// Names the system's local time zone file in TZ (":/etc/localtime") when TZ is unset, so that
/// converting a date to local time no longer looks the file up again on every call (tens of
/// thousands of file-system checks when a large database loads). The local time is the same;
/// a change of the system's time zone shows at the next start. Call first thing in main.
void pinLocalTimeZone(const QString& zoneFile = QStringLiteral("/etc/localtime"));

} // namespace platform
