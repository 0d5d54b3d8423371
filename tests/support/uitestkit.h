#pragma once

// Pieces shared by the tests of the task views.

#include "support/testenv.h"
#include "ui/dragregistry.h"
#include "ui/tasklistwidget.h"

#include <QCoreApplication>
#include <QMimeData>
#include <QVBoxLayout>
#include <QWidget>

#include <memory>

namespace uitest {

/// A drag as the task list or the group panel starts it, registered for the object's life.
class FakeDrag
{
public:
    FakeDrag(const FocusGroup::Id& groupId, const QList<TodoTask::Id>& taskIds = {}, int kind = DragGroup::Tasks,
             bool copy = false)
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
