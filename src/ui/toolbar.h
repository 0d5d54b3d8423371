#pragma once

#include <QToolBar>

class FancyToolBtn;

/// The command bar under the task list: New, Edit, Cleanup and the view switch.
class Toolbar : public QToolBar
{
    Q_OBJECT
public:
    explicit Toolbar(QWidget* parent = nullptr);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    FancyToolBtn* _addButton(QAction* action, const char* name);
};
