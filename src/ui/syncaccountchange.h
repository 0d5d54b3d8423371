#pragma once

#include <QCoreApplication>
#include <QString>
#include <QUrl>

#include <functional>

class QWidget;

namespace sync {
class SyncService;
}

/// Puts a sync account the user entered into effect: keeps it (settings and secret store),
/// tells the user in a message box what could not be kept, and syncs, or asks for the password
/// when there is none. The work ends after the call returns; the window may be gone by then.
class SyncAccountChange
{
    Q_DECLARE_TR_FUNCTIONS(SyncAccountChange)
public:
    /// Shows a warning to the user; tests replace it.
    using Notice = std::function<void(QWidget* parent, const QString& text)>;

    /// An empty `server` turns sync off. With `keepPassword` the password of the account kept
    /// now goes to the new one (the user left the field empty).
    static void apply(QWidget* window, sync::SyncService* service, const QUrl& server, const QString& user,
                      const QString& password, bool keepPassword = false);

    /// Shows `text` in a window-modal message box that does not wait for an answer.
    static void notify(QWidget* parent, const QString& text);
    /// Replaces the message box; an empty function restores it.
    static void setNotice(Notice notice);
};
