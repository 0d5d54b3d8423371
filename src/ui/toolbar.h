#pragma once

#include <QPointer>
#include <QToolBar>

class FancyToolBtn;
class QMenu;
class SyncStatusMark;

/// The command bar under the task list: New, Edit, Cleanup, the view switch, Find, the sync
/// state and the program's menu.
class Toolbar : public QToolBar
{
    Q_OBJECT
public:
    explicit Toolbar(QWidget* parent = nullptr);

    /// The program's menu (the tray icon's) on the button at the right end, there whenever
    /// there is such a menu: the keyboard reaches every command from the window (F10).
    void setProgramMenu(QMenu* menu);
    FancyToolBtn* programMenuButton() const { return m_menuButton; }
    FancyToolBtn* firstButton() const { return m_firstButton; }
    /// The sync state, before the menu button; there only while sync is on.
    SyncStatusMark* syncMark() const { return m_syncMark; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    FancyToolBtn* _addButton(QAction* action, const char* name);
    void _retranslate();

    FancyToolBtn* m_menuButton = nullptr;
    FancyToolBtn* m_firstButton = nullptr;
    SyncStatusMark* m_syncMark = nullptr;
    QAction* m_menuButtonAction = nullptr;
};
