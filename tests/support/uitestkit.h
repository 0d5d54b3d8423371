#pragma once

// Pieces shared by the tests of the task views.

#include "core/taskcore.h"
#include "store/taskstorage.h"
#include "support/testenv.h"
#include "ui/dragregistry.h"
#include "ui/tasklistwidget.h"

#include <QCoreApplication>
#include <QMimeData>
#include <QTemporaryDir>
#include <QVBoxLayout>
#include <QWidget>

#include <memory>

namespace uitest {

/// The task store of the tests: TaskCore's, on a database in a temporary folder that lives as
/// long as this object. initTestCase checks ready().
class TempStore
{
public:
    TempStore()
        : m_ready(m_dir.isValid()
                  && TaskCore::instance()->init(m_dir.filePath(QStringLiteral("tasks.xml")), 3600000) == 0)
    {
    }
    ~TempStore() { TaskCore::destroy(); }
    bool ready() const { return m_ready; }

private:
    QTemporaryDir m_dir;
    bool m_ready;
};

inline std::shared_ptr<TaskStorage> store() { return TaskCore::instance()->storage(); }

/// Names T0, T1, ... up to `count` of them.
inline QStringList numbered(int count)
{
    QStringList names;
    for (int i = 0; i < count; ++i)
        names << QStringLiteral("T%1").arg(i);
    return names;
}

/// A new task of the group, written "name|notes", with = in front for a completed one.
inline TodoTask::Id addTask(const FocusGroup::Id& groupId, QString task)
{
    const bool completed = task.startsWith(QLatin1Char('='));
    if (completed)
        task.remove(0, 1);
    const TodoTask::Id id = store()->createTask(groupId);
    store()->setTaskName(id, task.section(QLatin1Char('|'), 0, 0));
    store()->setTaskNotes(id, task.section(QLatin1Char('|'), 1));
    store()->setTaskCompleted(id, completed, QDateTime::currentDateTime());
    return id;
}

/// A fresh group of the user's holding one task per name (written as addTask takes it), in order.
inline FocusGroup::Id makeGroup(const QStringList& names, QList<TodoTask::Id>* ids = nullptr,
                                QString groupName = {})
{
    static int counter = 0;
    if (groupName.isEmpty())
        groupName = QStringLiteral("Group %1").arg(++counter);
    const FocusGroup::Id groupId = store()->addGroup(groupName, QString());
    for (const QString& name : names) {
        const TodoTask::Id id = addTask(groupId, name);
        if (ids)
            ids->append(id);
    }
    return groupId;
}

/// The names of a group's tasks in order, between spaces: _ for no name, * after a completed one.
inline QString namesIn(const FocusGroup::Id& groupId)
{
    QStringList names;
    const QList<TodoTask::Id> ids = store()->group(groupId).taskIds();
    for (const TodoTask::Id& id : ids) {
        const TodoTask task = store()->task(id);
        const QString name = task.name().isEmpty() ? QStringLiteral("_") : task.name();
        names << name + (task.completed() ? QStringLiteral("*") : QString());
    }
    return names.join(QLatin1Char(' '));
}

/// No group of the user's, and the fixed groups empty.
inline void clearStore()
{
    for (const FocusGroup::Id& id : store()->groupIds()) {
        if (FocusGroup::isUserGroup(id))
            store()->removeGroup(id);
        else
            store()->removeTasks(id, store()->group(id).taskIds(), true);
    }
    store()->emptyTrash();
}

/// A drag as the task list or the group panel starts it, registered for the object's life.
class FakeDrag
{
public:
    FakeDrag(const FocusGroup::Id& groupId, const QList<TodoTask::Id>& taskIds = {},
             int kind = DragGroup::Tasks, bool copy = false)
        : data(std::make_shared<DragGroup>())
    {
        data->kind = kind;
        data->copy = copy;
        if (kind == DragGroup::Tasks)
            data->tasks[groupId] = taskIds;
        else
            data->groupId = groupId;
        id = DragRegistry::instance()->registerDrag(data);
        mime.setData(QLatin1String(DragRegistry::MimeType), DragRegistry::payload(id));
    }
    ~FakeDrag() { DragRegistry::instance()->unregisterDrag(id); }

    std::shared_ptr<DragGroup> data;
    int id = -1;
    QMimeData mime;
};

/// Sends a drag's event to `target` at `point`; whether the target took it.
template <typename Event>
bool sendDrag(QWidget* target, const QPoint& point, const QMimeData* mime)
{
    Event event(point, Qt::MoveAction | Qt::CopyAction, mime, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(target, &event);
    return event.isAccepted();
}

/// A window holding one task list of a fixed size.
class ListWindow
{
public:
    explicit ListWindow(const FocusGroup::Id& groupId)
    {
        auto* layout = new QVBoxLayout(&window);
        layout->setContentsMargins(0, 0, 0, 0);
        list = new TaskListWidget(groupId, &window);
        list->setFixedSize(400, 600);
        layout->addWidget(list);
    }

    bool show()
    {
        const bool active = testenv::showActive(&window);
        QCoreApplication::processEvents();
        return active;
    }

    QWidget window;
    TaskListWidget* list = nullptr;
};

} // namespace uitest
