#include "ui/viewaccessibility.h"

#include "ui/tasklistaccessible.h"
#include "ui/tasklistwidget.h"

#include <QAccessible>

namespace {

QAccessibleInterface* viewAccessible(const QString& className, QObject* object)
{
    if (className == QLatin1String("TaskListWidget")) {
        if (auto* list = qobject_cast<TaskListWidget*>(object))
            return new TaskListAccessible(list);
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
