#pragma once

#include <QtGlobal>

namespace platform {

/// The most memory the process has held resident so far, in KiB; -1 when unknown.
qint64 peakResidentKib();

} // namespace platform
