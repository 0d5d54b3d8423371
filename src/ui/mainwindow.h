#pragma once

#include "store/focusgroup.h"

#include <QDialog>
#include <QPointer>

class FancySplitter;
class FocusGroupListWidget;
#include <QPropertyAnimation>
class TaskListWidget;
class Toolbar;

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
    /// Compact hides the group panel; immediate skips the animation.
    void setView(bool compact, bool immediate);
    void updateViewAction();
    /// The tray icon, told about language changes; may be null.
    void setTrayIcon(QObject* trayIcon) { m_trayIcon = trayIcon; }
    /// Lets the window close for good (the program is quitting) instead of hiding.
    void setQuitting(bool quitting) { m_quitting = quitting; }

    FocusGroupListWidget* groupPanel() const { return m_groupPanel; }
    TaskListWidget* taskList() const { return m_taskList; }
    FancySplitter* splitter() const { return m_splitter; }
    QWidget* rightPane() const { return m_rightPane; }
    Toolbar* toolbar() const { return m_toolbar; }
    /// The view switch running now, or null.
    QPropertyAnimation* viewAnimation() const { return m_animation; }

    /// The frame of a window shown for the first time: 800 x 450, centred on the screen.
    static QRect defaultFrame(const QRect& screen);

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

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    void reject() override;

private:
    FancySplitter* m_splitter = nullptr;
    FocusGroupListWidget* m_groupPanel = nullptr;
    QWidget* m_rightPane = nullptr;
    TaskListWidget* m_taskList = nullptr;
    Toolbar* m_toolbar = nullptr;
    QPointer<QObject> m_trayIcon;
    QPointer<QPropertyAnimation> m_animation;
    bool m_quitting = false;
};
