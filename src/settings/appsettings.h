#pragma once

#include <QRect>
#include <QString>
#include <QUrl>

namespace install {
struct InstallPaths;
}

/// The user's preferences and remembered window state, kept in "settings.ini".
/// One process-wide object, used on the user-interface thread only.
class AppSettings
{
public:
    static constexpr int DefaultGroupPanelWidth = 190;
    static constexpr int DefaultSyncIntervalMinutes = 5;

    /// The process-wide settings, created with the defaults on first use.
    static AppSettings* settings();
    static void destroy();
    static bool exists();

    /// Reads every key; missing keys (or a missing or damaged file) give their defaults.
    /// Always true.
    bool load(const QString& path);
    /// Writes the preferences and the running program's version. False when the file could
    /// not be written.
    bool save(const QString& path) const;
    void resetToDefaults();
    /// After a first run or an upgrade, re-applies the choice to start with the session. Only
    /// the installed copy does: the entry always starts the installed copy, and a copy in a
    /// build or download folder writes one only when the user turns the option on.
    void syncRunOnStartup();
    void syncRunOnStartup(const install::InstallPaths& paths);
    static QString settingsFilePath();

    bool compactView() const { return m_compactView; }
    void setCompactView(bool on) { m_compactView = on; }
    QRect mainWindowFrame() const { return m_mainWindowFrame; }
    void setMainWindowFrame(const QRect& frame) { m_mainWindowFrame = frame; }
    int groupPanelWidth() const { return m_groupPanelWidth; }
    void setGroupPanelWidth(int width) { m_groupPanelWidth = width; }
    bool openWindowOnStartup() const { return m_openWindowOnStartup; }
    void setOpenWindowOnStartup(bool on) { m_openWindowOnStartup = on; }
    bool runOnSystemStartup() const { return m_runOnSystemStartup; }
    void setRunOnSystemStartup(bool on) { m_runOnSystemStartup = on; }
    bool showNotifications() const { return m_showNotifications; }
    void setShowNotifications(bool on) { m_showNotifications = on; }
    QString dateFormat() const { return m_dateFormat; }
    void setDateFormat(const QString& format) { m_dateFormat = format; }
    QString uiLanguage() const { return m_uiLanguage; }
    void setUiLanguage(const QString& language) { m_uiLanguage = language; }
    /// The CalDAV account tasks sync with (empty: sync is off) and its user name. The
    /// password is kept in the desktop's secret store, never here.
    QUrl syncServer() const { return m_syncServer; }
    void setSyncServer(const QUrl& server) { m_syncServer = server; }
    QString syncUser() const { return m_syncUser; }
    void setSyncUser(const QString& user) { m_syncUser = user; }
    int syncIntervalMinutes() const { return m_syncIntervalMinutes; }
    void setSyncIntervalMinutes(int minutes) { m_syncIntervalMinutes = minutes; }
    /// The version text stored by the last writer of the file.
    QString version() const { return m_version; }
    void setVersion(const QString& version) { m_version = version; }

    /// Whether `syncRunOnStartup` must apply the start-with-the-session choice.
    bool needsRunOnStartupSync() const;

private:
    AppSettings();

    bool m_compactView = false;
    QRect m_mainWindowFrame;
    int m_groupPanelWidth = DefaultGroupPanelWidth;
    bool m_openWindowOnStartup = true;
    bool m_runOnSystemStartup = true;
    bool m_showNotifications = true;
    QString m_dateFormat;
    QString m_uiLanguage;
    QString m_version;
    QUrl m_syncServer;
    QString m_syncUser;
    int m_syncIntervalMinutes = DefaultSyncIntervalMinutes;
};
