#pragma once

#include <QString>

namespace platform {

/// The per-user folders the program asks the desktop for.
enum class ShellFolder {
    RoamingAppData, ///< settings that follow the user ($XDG_CONFIG_HOME)
    LocalAppData,   ///< data kept on this machine ($XDG_DATA_HOME)
    StartMenu,      ///< the applications menu ($XDG_DATA_HOME/applications)
    QuickLaunch,    ///< no equivalent here: always empty
    Desktop,        ///< the user's desktop folder
};

/// The folder's path with "/" separators, or an empty string when the desktop cannot say
/// (the caller then falls back to a folder of its own).
QString shellFolderPath(ShellFolder folder);

} // namespace platform
