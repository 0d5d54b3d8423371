#include "ui/grouppanelaccessible.h"

#include "ui/accessibletext.h"
#include "ui/countwidget.h"
#include "ui/focusgrouplistwidget.h"
#include "ui/focusgroupwidget.h"
#include "ui/groupname.h"

GroupPanelAccessible::GroupPanelAccessible(FocusGroupListWidget* panel)
    : QAccessibleWidget(panel, QAccessible::List)
{
}

FocusGroupListWidget* GroupPanelAccessible::panel() const
{
    return static_cast<FocusGroupListWidget*>(widget());
}

int GroupPanelAccessible::childCount() const
{
    return static_cast<int>(panel()->rowsInOrder().size());
}

QAccessibleInterface* GroupPanelAccessible::child(int index) const
{
    const QList<FocusGroupWidget*> rows = panel()->rowsInOrder();
    return index >= 0 && index < rows.size() ? QAccessible::queryAccessibleInterface(rows.at(index)) : nullptr;
}

int GroupPanelAccessible::indexOfChild(const QAccessibleInterface* child) const
{
    auto* row = child ? qobject_cast<FocusGroupWidget*>(child->object()) : nullptr;
    return row ? static_cast<int>(panel()->rowsInOrder().indexOf(row)) : -1;
}

QAccessibleInterface* GroupPanelAccessible::childAt(int x, int y) const
{
    FocusGroupWidget* row = panel()->rowAtPoint(panel()->viewport()->mapFromGlobal(QPoint(x, y)));
    return row ? QAccessible::queryAccessibleInterface(row) : nullptr;
}

QAccessibleInterface* GroupPanelAccessible::focusChild() const
{
    if (panel()->hasFocus()) {
        if (FocusGroupWidget* row = panel()->rowOf(panel()->currentGroup()))
            return QAccessible::queryAccessibleInterface(row);
    }
    return QAccessibleWidget::focusChild();
}

QString GroupPanelAccessible::text(QAccessible::Text t) const
{
    if (t == QAccessible::Name && panel()->accessibleName().isEmpty())
        return AccessibleText::groupPanel();
    return QAccessibleWidget::text(t);
}

GroupRowAccessible::GroupRowAccessible(FocusGroupWidget* row)
    : QAccessibleWidget(row, QAccessible::ListItem)
{
}

FocusGroupWidget* GroupRowAccessible::row() const
{
    return static_cast<FocusGroupWidget*>(widget());
}

FocusGroupListWidget* GroupRowAccessible::panel() const
{
    for (QWidget* w = row()->parentWidget(); w; w = w->parentWidget()) {
        if (auto* panel = qobject_cast<FocusGroupListWidget*>(w))
            return panel;
    }
    return nullptr;
}

QAccessibleInterface* GroupRowAccessible::parent() const
{
    // The panel's content and view are no part of the list.
    if (FocusGroupListWidget* list = panel())
        return QAccessible::queryAccessibleInterface(list);
    return QAccessibleWidget::parent();
}

QString GroupRowAccessible::text(QAccessible::Text t) const
{
    if (t != QAccessible::Name)
        return QAccessibleWidget::text(t);
    const CountWidget* counter = row()->counter();
    if (row()->isView())
        return AccessibleText::viewName(shownGroupName(row()->group()),
                                        counter->count(0) + counter->count(1) + counter->count(2));
    return AccessibleText::groupName(shownGroupName(row()->group()), counter->count(0), counter->count(1),
                                     counter->count(2));
}

QAccessible::State GroupRowAccessible::state() const
{
    QAccessible::State state = QAccessibleWidget::state();
    FocusGroupListWidget* list = panel();
    state.selectable = true;
    state.selected = row()->isSelected();
    state.focusable = true;
    state.focused = list && list->hasFocus() && row()->isSelected();
    return state;
}

QStringList GroupRowAccessible::actionNames() const
{
    return {setFocusAction()};
}

void GroupRowAccessible::doAction(const QString& actionName)
{
    FocusGroupListWidget* list = panel();
    if (actionName != setFocusAction() || !list)
        return;
    list->setFocus(Qt::OtherFocusReason);
    list->selectGroup(row()->groupId());
}
