#pragma once

#include <QString>

namespace gallery {

/// Every window and menu of the program in each interface language, one PNG each, in
/// FOLDER/windows/<language>/, at the screen scale the program runs with; the English ones
/// again under a dark palette in FOLDER/windows/dark/.
bool windowsGallery(const QString& folder);

} // namespace gallery
