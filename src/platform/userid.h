#pragma once

#include <QString>

namespace platform {

/// The numeric id of the user running the program, as decimal text.
QString currentUserId();

} // namespace platform
