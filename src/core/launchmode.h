#pragma once

#include <QStringList>

/// What the program was started for.
enum class LaunchMode { TaskManager = 0, Install = 1, Uninstall = 2 };

/// Looks at the arguments after the program path, in order, and stops at the first
/// "--install" or "--uninstall" (exact, case-sensitive). Anything else is ignored.
LaunchMode parseLaunchMode(const QStringList& arguments);
