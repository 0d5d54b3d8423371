#pragma once

#include <QString>

namespace gallery {

/// The date entry and its calendar popup: today, a chosen day, a hovered day.
bool calendarSheet(const QString& folder);

} // namespace gallery
