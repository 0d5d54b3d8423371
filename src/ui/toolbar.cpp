#include "ui/toolbar.h"

#include "ui/syncstatusmark.h"
#include "ui/toolbaractions.h"
#include "widgets/colorscheme.h"
#include "widgets/fancytoolbtn.h"

#include <QAction>
#include <QEvent>
#include <QKeySequence>
#include <QMenu>
#include <QPainter>

namespace {

QWidget* spacer(QWidget* parent)
{
    auto* widget = new QWidget(parent);
    widget->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    return widget;
}

} // namespace

Toolbar::Toolbar(QWidget* parent)
    : QToolBar(parent)
{
    setObjectName(QStringLiteral("toolbar"));
    setAutoFillBackground(false);
    setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    setFloatable(false);
    setMovable(false);
    m_firstButton = _addButton(newTaskAction(), "newTaskButton");
    _addButton(editTaskAction(), "editTaskButton");
    addWidget(spacer(this));
    _addButton(cleanupAction(), "cleanupButton");
    addWidget(spacer(this));
    // Qualified: QToolBar has a toggleViewAction() of its own.
    _addButton(::toggleViewAction(), "toggleViewButton")->setMinimumWidth(60);
    _addButton(findTasksAction(), "findButton");

    m_syncMark = new SyncStatusMark(this);
    QAction* markAction = addWidget(m_syncMark);
    markAction->setVisible(false);
    connect(m_syncMark, &SyncStatusMark::wantedChanged, markAction, &QAction::setVisible);

    m_menuButton = new FancyToolBtn(this);
    m_menuButton->setObjectName(QStringLiteral("programMenuButton"));
    m_menuButton->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    m_menuButton->setIcon(QIcon(QStringLiteral(":/icons/toolbar_menu")));
    m_menuButton->setPopupMode(QToolButton::InstantPopup);
    m_menuButton->setFocusPolicy(Qt::TabFocus);
    m_menuButtonAction = addWidget(m_menuButton);
    m_menuButtonAction->setVisible(false);
    _retranslate();
}

void Toolbar::setProgramMenu(QMenu* menu)
{
    m_menuButton->setMenu(menu);
    m_menuButtonAction->setVisible(menu != nullptr);
}

void Toolbar::_retranslate()
{
    m_menuButton->setText(tr("Menu"));
    m_menuButton->setToolTip(tr("Program menu (%1)").arg(QKeySequence(Qt::Key_F10).toString(QKeySequence::NativeText)));
    setAccessibleName(tr("Commands"));
}

void Toolbar::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::LanguageChange)
        _retranslate();
    QToolBar::changeEvent(event);
}

FancyToolBtn* Toolbar::_addButton(QAction* action, const char* name)
{
    auto* button = new FancyToolBtn(this);
    button->setObjectName(QLatin1String(name));
    button->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    button->setDefaultAction(action);
    button->setFocusPolicy(Qt::TabFocus);
    addWidget(button);
    return button;
}

void Toolbar::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), schemeColor(ColorScheme::ToolbarBackground));
    painter.setPen(schemeColor(ColorScheme::Outline));
    painter.drawLine(rect().topLeft(), rect().topRight());
}
