#pragma once

#include "store/focusgroup.h"
#include "sync/syncservice.h"

#include <QDialog>
#include <QPointer>

#include <QPropertyAnimation>

enum class PrefsPage;
class FancySplitter;
class FindBar;
class FocusGroupListWidget;
class TaskListWidget;
class StatusNote;
class Toolbar;
class TrayIcon;
class UndoCommands;
class WriteFailureBar;

/// The program's window: the group panel, and the task list with the toolbar under it. It
/// hides instead of closing (the program lives on in the tray) and remembers its frame, its
/// view (normal or compact) and the panel's width.
class MainWindow : public QDialog
{
    Q_OBJECT
public:
    explicit MainWindow(QWidget* parent = nullptr);
    ~MainWindow() override;

    void showWindow();
    /// Brings the window to the front (un-minimised) showing the group, or the Inbox when the
    /// group is gone.
    void showGroup(const FocusGroup::Id& groupId);
    /// Compact hides the group panel; immediate skips the animation.
    void setView(bool compact, bool immediate);
    void updateViewAction();
    /// The tray icon, told about language changes; may be null. While no tray host shows it,
    /// closing the window minimises it and the toolbar offers the tray's menu.
    void setTrayIcon(TrayIcon* trayIcon);
    TrayIcon* trayIcon() const;
    /// Whether the window can hide into a tray icon; without one, closing only minimises it.
    void setTrayAvailable(bool available);
    bool isTrayAvailable() const { return m_trayAvailable; }
    /// Ends the program in order (the event loop returns; start-up code saves everything),
    /// also from inside a dialog's loop.
    void quitProgram();
    bool isQuitting() const { return m_quitting; }

    /// Says in the window that changes cannot be written, and why; an empty reason: they can.
    void setWriteFailure(const QString& reason);
    WriteFailureBar* writeFailureBar() const { return m_writeFailureBar; }

    /// The sync the window shows and starts (the status mark, "Sync now", the password
    /// prompt); null: sync is not offered.
    void setSyncService(sync::SyncService* service);
    sync::SyncService* syncService() const;
    /// Opens the preferences on `page` (through the tray icon's, so that there is only one).
    void openPreferences(PrefsPage page);

    FocusGroupListWidget* groupPanel() const { return m_groupPanel; }
    TaskListWidget* taskList() const { return m_taskList; }
    FindBar* findBar() const { return m_findBar; }
    FancySplitter* splitter() const { return m_splitter; }
    QWidget* rightPane() const { return m_rightPane; }
    Toolbar* toolbar() const { return m_toolbar; }
    StatusNote* statusNote() const { return m_statusNote; }
    UndoCommands* undoCommands() const { return m_undoCommands; }
    /// The view switch running now, or null.
    QPropertyAnimation* viewAnimation() const { return m_animation; }

    /// The frame of a window shown for the first time: 800 x 450, centred on the screen.
    static QRect defaultFrame(const QRect& screen);

    /// Whether the window system is Wayland, where a program neither learns nor sets its
    /// window's position and cannot bring back a minimised window. Tests may pretend.
    static bool isWayland();
    static void setWaylandForTests(bool wayland);

Q_SIGNALS:
    /// Emitted after every move of the window.
    void widgetMoved();

private Q_SLOTS:
    void _onNewTask();
    void _onEditTask();
    void _onCleanup();
    void _onSwitchView();
    void _onGroupSelected(const FocusGroup::Id& groupId);
    void _onGroupChanged(const FocusGroup::Id& groupId);
    void _onSetViewAnimationFinished();
    void _onSyncNow();
    void _onSyncMarkClicked();
    void _onImportCalendar();
    void _onPasswordRefused();
    void _updateSyncAction();

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    void reject() override;

private:
    void _fitDefaultPanelWidth();
    void _fitMinimumSize();
    void _nameParts();

    FancySplitter* m_splitter = nullptr;
    FocusGroupListWidget* m_groupPanel = nullptr;
    QWidget* m_rightPane = nullptr;
    TaskListWidget* m_taskList = nullptr;
    FindBar* m_findBar = nullptr;
    Toolbar* m_toolbar = nullptr;
    WriteFailureBar* m_writeFailureBar = nullptr;
    StatusNote* m_statusNote = nullptr;
    UndoCommands* m_undoCommands = nullptr;
    /// Hides the window, or minimises it when there is no tray; true when it was hidden.
    bool _hideOrMinimize();

    QPointer<TrayIcon> m_trayIcon;
    QPointer<sync::SyncService> m_sync;
    // A declined password prompt comes back only when the user asks for a sync again.
    bool m_askForPassword = true;
    QPointer<QPropertyAnimation> m_animation;
    bool m_quitting = false;
    bool m_trayAvailable = true;
};
