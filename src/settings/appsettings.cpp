#include "settings/appsettings.h"

#include "base/identity.h"
#include "base/log.h"
#include "base/specialfolder.h"
#include "install/installoptions.h"
#include "settings/runonstartup.h"

#include <QLocale>
#include <QSettings>

namespace {

AppSettings*& instancePointer()
{
    static AppSettings* settings = nullptr;
    return settings;
}

const QString kCompactView = QStringLiteral("general.compact_view");
const QString kFrame = QStringLiteral("general.main_window_frame");
const QString kPanelWidth = QStringLiteral("general.group_panel_width");
const QString kOpenWindow = QStringLiteral("general.open_window_on_startup");
const QString kRunOnStartup = QStringLiteral("general.run_on_system_startup");
const QString kNotifications = QStringLiteral("general.show_notifications");
const QString kLanguage = QStringLiteral("general.ui_language");
const QString kVersion = QStringLiteral("version");
const QString kSyncServer = QStringLiteral("sync.server");
const QString kSyncUser = QStringLiteral("sync.user");
const QString kSyncInterval = QStringLiteral("sync.interval_minutes");

} // namespace

AppSettings::AppSettings()
{
    resetToDefaults();
}

AppSettings* AppSettings::settings()
{
    AppSettings*& settings = instancePointer();
    if (!settings)
        settings = new AppSettings;
    return settings;
}

void AppSettings::destroy()
{
    delete instancePointer();
    instancePointer() = nullptr;
}

bool AppSettings::exists()
{
    return instancePointer() != nullptr;
}

QString AppSettings::settingsFilePath()
{
    return ::settingsFilePath();
}

void AppSettings::resetToDefaults()
{
    m_compactView = false;
    m_mainWindowFrame = QRect();
    m_groupPanelWidth = DefaultGroupPanelWidth;
    m_openWindowOnStartup = true;
    m_runOnSystemStartup = true;
    m_showNotifications = true;
    m_dateFormat = QLocale::system().dateFormat(QLocale::ShortFormat);
    m_uiLanguage.clear();
    m_version.clear();
    m_syncServer = QUrl();
    m_syncUser.clear();
    m_syncIntervalMinutes = DefaultSyncIntervalMinutes;
}

bool AppSettings::load(const QString& path)
{
    QSettings file(path, QSettings::IniFormat);
    // Keys of the older file layout only serve as defaults for their successors.
    const bool oldCompact = file.value(QStringLiteral("CompactView"), false).toBool();
    const QRect oldFrame = file.value(QStringLiteral("WindowRect"), QRect()).toRect();
    bool ok = false;
    int oldWidth = file.value(QStringLiteral("GroupPanelWidth"), DefaultGroupPanelWidth).toInt(&ok);
    if (!ok)
        oldWidth = DefaultGroupPanelWidth;

    m_compactView = file.value(kCompactView, oldCompact).toBool();
    m_mainWindowFrame = file.value(kFrame, oldFrame).toRect();
    m_groupPanelWidth = file.value(kPanelWidth, oldWidth).toInt(&ok);
    if (!ok)
        m_groupPanelWidth = oldWidth;
    m_openWindowOnStartup = file.value(kOpenWindow, true).toBool();
    m_runOnSystemStartup = file.value(kRunOnStartup, true).toBool();
    m_showNotifications = file.value(kNotifications, true).toBool();
    m_uiLanguage = file.value(kLanguage, QStringLiteral("en_US")).toString();
    m_version = file.value(kVersion, QString()).toString();
    m_syncServer = QUrl(file.value(kSyncServer, QString()).toString(), QUrl::StrictMode);
    m_syncUser = file.value(kSyncUser, QString()).toString();
    m_syncIntervalMinutes = file.value(kSyncInterval, DefaultSyncIntervalMinutes).toInt(&ok);
    if (!ok || m_syncIntervalMinutes < 1)
        m_syncIntervalMinutes = DefaultSyncIntervalMinutes;
    return true;
}

bool AppSettings::save(const QString& path) const
{
    if (!ensureFolderFor(path))
        return false;
    QSettings file(path, QSettings::IniFormat);
    file.setValue(kCompactView, m_compactView);
    file.setValue(kFrame, m_mainWindowFrame);
    file.setValue(kPanelWidth, m_groupPanelWidth);
    file.setValue(kOpenWindow, m_openWindowOnStartup);
    file.setValue(kRunOnStartup, m_runOnSystemStartup);
    file.setValue(kNotifications, m_showNotifications);
    file.setValue(kLanguage, m_uiLanguage);
    file.setValue(kVersion, programVersion().toString());
    if (m_syncServer.isValid() && !m_syncServer.isEmpty()) {
        file.setValue(kSyncServer, m_syncServer.toString(QUrl::RemoveUserInfo | QUrl::FullyEncoded));
        file.setValue(kSyncUser, m_syncUser);
    } else {
        file.remove(kSyncServer);
        file.remove(kSyncUser);
    }
    file.setValue(kSyncInterval, m_syncIntervalMinutes);
    file.sync();
    if (file.status() != QSettings::NoError) {
        MRV_WARNING("AppSettings::save", QStringLiteral("Failed to write settings to ") + path);
        return false;
    }
    return true;
}

bool AppSettings::needsRunOnStartupSync() const
{
    if (m_version.isEmpty())
        return true;
    const Version stored = Version::fromString(m_version);
    return !stored.isValid() || stored < programVersion();
}

void AppSettings::syncRunOnStartup()
{
    syncRunOnStartup(install::InstallPaths::forThisUser());
}

void AppSettings::syncRunOnStartup(const install::InstallPaths& paths)
{
    if (!needsRunOnStartupSync() || !paths.runsInstalledCopy())
        return;
    setRunOnStartup(paths.installedProgram(), m_runOnSystemStartup);
}
