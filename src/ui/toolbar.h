#pragma once

#include <QPointer>
#include <QToolBar>

class FancyToolBtn;
class QMenu;

/// The command bar under the task list: New, Edit, Cleanup and the view switch.
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

protected:
    void paintEvent(QPaintEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    FancyToolBtn* _addButton(QAction* action, const char* name);
    void _retranslate();

    FancyToolBtn* m_menuButton = nullptr;
    FancyToolBtn* m_firstButton = nullptr;
    QAction* m_menuButtonAction = nullptr;
};
