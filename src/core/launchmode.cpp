#include "core/launchmode.h"

LaunchMode parseLaunchMode(const QStringList& arguments)
{
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        if (arguments.at(i) == QLatin1String("--install"))
            return LaunchMode::Install;
        if (arguments.at(i) == QLatin1String("--uninstall"))
            return LaunchMode::Uninstall;
    }
    return LaunchMode::TaskManager;
}
