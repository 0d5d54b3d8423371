#include "platform/localtime.h"

#include <QFileInfo>

#include <ctime>

namespace platform {

void pinLocalTimeZone(const QString& zoneFile)
{
    if (!qEnvironmentVariableIsEmpty("TZ") || !QFileInfo::exists(zoneFile))
        return;
    qputenv("TZ", QByteArray(":") + QFile::encodeName(zoneFile));
    tzset();
}

} // namespace platform
