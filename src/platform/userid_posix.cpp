#include "platform/userid.h"

#include <unistd.h>

namespace platform {

QString currentUserId()
{
    return QString::number(static_cast<qulonglong>(::getuid()));
}

} // namespace platform
