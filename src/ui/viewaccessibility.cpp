#include "ui/viewaccessibility.h"

#include "ui/focusgrouplistwidget.h"
#include "ui/focusgroupwidget.h"
#include "ui/grouppanelaccessible.h"
#include "ui/tasklistaccessible.h"
#include "ui/tasklistwidget.h"

#include <QAccessible>

namespace {

QAccessibleInterface* viewAccessible(const QString& className, QObject* object)
{
    if (className == QLatin1String("TaskListWidget")) {
        if (auto* list = qobject_cast<TaskListWidget*>(object))
            return new TaskListAccessible(list);
    } else if (className == QLatin1String("FocusGroupListWidget")) {
        if (auto* panel = qobject_cast<FocusGroupListWidget*>(object))
            return new GroupPanelAccessible(panel);
    } else if (className == QLatin1String("FocusGroupWidget")) {
        if (auto* row = qobject_cast<FocusGroupWidget*>(object))
            return new GroupRowAccessible(row);
    }
    return nullptr;
}

} // namespace

void installViewAccessibility()
{
    static bool installed = false;
    if (installed)
        return;
    installed = true;
    QAccessible::installFactory(viewAccessible);
}
