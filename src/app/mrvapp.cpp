#include "app/mrvapp.h"

#include "base/identity.h"
#include "base/log.h"
#include "base/specialfolder.h"
#include "core/instancelock.h"
#include "core/taskcore.h"
#include "net/usermetrics.h"
#include "settings/appsettings.h"
#include "store/taskstorage.h"

#include <QSessionManager>

MrvApp::MrvApp(int& argc, char** argv, std::unique_ptr<InstanceLock> lock)
    : SingleApplication(singleInstanceId(), std::move(lock), argc, argv)
{
    connect(this, &QGuiApplication::commitDataRequest, this, &MrvApp::commitData, Qt::DirectConnection);
}

void MrvApp::commitData(QSessionManager& manager)
{
    MRV_DEBUG("MrvApp::commitData", QStringLiteral("in"));
    if (UserMetrics::exists())
        UserMetrics::instance()->save(metricsFilePath());
    if (AppSettings::exists())
        AppSettings::settings()->save(settingsFilePath());
    if (TaskCore::exists()) {
        if (const auto storage = TaskCore::instance()->storage())
            storage->commitDataRequest(manager);
    }
    MRV_DEBUG("MrvApp::commitData", QStringLiteral("out"));
    if (Log::exists())
        Log::instance()->flush();
}
