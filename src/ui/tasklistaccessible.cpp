#include "ui/tasklistaccessible.h"

#include "core/taskcore.h"
#include "store/taskstorage.h"
#include "ui/accessibletext.h"
#include "ui/groupname.h"
#include "ui/tasklistwidget.h"
#include "ui/taskwidget.h"
#include "widgets/accessiblenotifier.h"

#include <QAccessible>
#include <QDate>
#include <QWindow>

namespace {

TodoTask readTask(const TodoTask::Id& id)
{
    const auto storage = TaskCore::instance()->storage();
    return storage ? storage->task(id) : TodoTask();
}

QHash<const TaskListWidget*, TaskListAccessible*>& registry()
{
    static QHash<const TaskListWidget*, TaskListAccessible*> lists;
    return lists;
}

QRect toScreen(const QWidget* widget, const QRect& rect)
{
    return QRect(widget->mapToGlobal(rect.topLeft()), rect.size());
}

class TaskRowAccessible;

/// The check box at the start of a row, built or not.
class TaskCheckBoxAccessible : public QAccessibleInterface, public QAccessibleActionInterface
{
public:
    explicit TaskCheckBoxAccessible(TaskRowAccessible* row)
        : m_row(row)
    {
    }

    bool isValid() const override;
    QObject* object() const override { return nullptr; }
    QWindow* window() const override;
    QAccessibleInterface* childAt(int, int) const override { return nullptr; }
    QAccessibleInterface* parent() const override;
    QAccessibleInterface* child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface*) const override { return -1; }
    QString text(QAccessible::Text t) const override;
    void setText(QAccessible::Text, const QString&) override {}
    QRect rect() const override;
    QAccessible::Role role() const override { return QAccessible::CheckBox; }
    QAccessible::State state() const override;
    void* interface_cast(QAccessible::InterfaceType type) override
    {
        return type == QAccessible::ActionInterface ? static_cast<QAccessibleActionInterface*>(this) : nullptr;
    }

    QStringList actionNames() const override { return {toggleAction()}; }
    void doAction(const QString& actionName) override;
    QStringList keyBindingsForAction(const QString&) const override { return {}; }

private:
    TaskRowAccessible* m_row;
};

/// One row of the list: found by its task, wherever the task moves in the list.
class TaskRowAccessible : public QAccessibleInterface, public QAccessibleActionInterface
{
public:
    TaskRowAccessible(TaskListWidget* list, const TodoTask::Id& taskId, int index)
        : m_list(list)
        , m_taskId(taskId)
        , m_hint(index)
    {
    }
    ~TaskRowAccessible() override
    {
        if (m_checkBox)
            QAccessible::deleteAccessibleInterface(m_checkBox);
    }

    TaskListWidget* list() const { return m_list; }
    const TodoTask::Id& taskId() const { return m_taskId; }
    /// The row's index now; -1 once the list no longer shows the task.
    int index() const
    {
        if (m_gone || !m_list)
            return -1;
        if (m_list->taskIdAt(m_hint) != m_taskId)
            m_hint = m_list->indexOfTask(m_taskId);
        return m_hint;
    }
    /// Whether the remembered index still holds the task, without looking further.
    bool hintHolds() const { return m_list && m_list->taskIdAt(m_hint) == m_taskId; }
    void setHint(int index) { m_hint = index; }
    void setGone() { m_gone = true; }
    /// Announces what the store changed of the task.
    void announceChanges();

    bool isValid() const override { return m_list && !m_gone; }
    QObject* object() const override { return nullptr; }
    QWindow* window() const override { return m_list ? m_list->window()->windowHandle() : nullptr; }
    QAccessibleInterface* childAt(int x, int y) const override
    {
        QAccessibleInterface* box = child(0);
        return box && box->rect().contains(x, y) ? box : nullptr;
    }
    QAccessibleInterface* parent() const override { return QAccessible::queryAccessibleInterface(m_list); }
    QAccessibleInterface* child(int index) const override
    {
        if (index != 0 || !isValid())
            return nullptr;
        if (!m_checkBox)
            m_checkBox = QAccessible::registerAccessibleInterface(
                new TaskCheckBoxAccessible(const_cast<TaskRowAccessible*>(this)));
        return QAccessible::accessibleInterface(m_checkBox);
    }
    int childCount() const override { return isValid() ? 1 : 0; }
    int indexOfChild(const QAccessibleInterface* child) const override
    {
        return m_checkBox && child == QAccessible::accessibleInterface(m_checkBox) ? 0 : -1;
    }
    QString text(QAccessible::Text t) const override
    {
        const int row = index();
        if (row < 0)
            return QString();
        switch (t) {
        case QAccessible::Name:
            m_toldName = AccessibleText::taskName(readTask(m_taskId), QDate::currentDate(), m_list->groupNameAt(row));
            return m_toldName;
        case QAccessible::Description:
            return AccessibleText::taskDescription(readTask(m_taskId));
        default:
            return QString();
        }
    }
    void setText(QAccessible::Text, const QString&) override {}
    QRect rect() const override
    {
        const int row = index();
        return row < 0 ? QRect() : toScreen(m_list->viewport(), m_list->rowRect(row));
    }
    QAccessible::Role role() const override { return QAccessible::ListItem; }
    QAccessible::State state() const override
    {
        QAccessible::State state;
        const int row = index();
        if (row < 0) {
            state.invalid = true;
            return state;
        }
        state.selectable = true;
        state.selected = m_list->isRowSelected(row);
        state.focusable = true;
        state.focused = m_list->hasFocus() && !m_list->editedRow() && m_list->currentIndex() == row;
        state.checkable = true;
        state.checked = readTask(m_taskId).completed();
        state.invisible = !m_list->isVisible();
        state.offscreen = !m_list->viewport()->rect().intersects(m_list->rowRect(row));
        return state;
    }
    void* interface_cast(QAccessible::InterfaceType type) override
    {
        return type == QAccessible::ActionInterface ? static_cast<QAccessibleActionInterface*>(this) : nullptr;
    }

    QStringList actionNames() const override { return {toggleAction(), setFocusAction()}; }
    void doAction(const QString& actionName) override
    {
        const int row = index();
        if (row < 0)
            return;
        if (actionName == toggleAction()) {
            m_list->setRowCompleted(row, !readTask(m_taskId).completed());
        } else if (actionName == setFocusAction()) {
            m_list->setFocus(Qt::OtherFocusReason);
            m_list->selectTasks({m_taskId}, m_taskId);
        }
    }
    QStringList keyBindingsForAction(const QString&) const override { return {}; }

private:
    QPointer<TaskListWidget> m_list;
    TodoTask::Id m_taskId;
    mutable int m_hint;
    bool m_gone = false;
    mutable QAccessible::Id m_checkBox = 0;
    mutable QString m_toldName;
};

bool TaskCheckBoxAccessible::isValid() const
{
    return m_row->isValid();
}

QWindow* TaskCheckBoxAccessible::window() const
{
    return m_row->window();
}

QAccessibleInterface* TaskCheckBoxAccessible::parent() const
{
    return m_row;
}

QString TaskCheckBoxAccessible::text(QAccessible::Text t) const
{
    return t == QAccessible::Name ? AccessibleText::completedCheckBox() : QString();
}

QRect TaskCheckBoxAccessible::rect() const
{
    const int row = m_row->index();
    if (row < 0)
        return QRect();
    // Out of view the row has no widget: the whole row stands for its box.
    const TaskWidget* widget = m_row->list()->row(row);
    const QWidget* box = widget && !widget->isEditing() ? widget->viewCheckbox() : nullptr;
    return box ? toScreen(box, box->rect()) : m_row->rect();
}

QAccessible::State TaskCheckBoxAccessible::state() const
{
    const QAccessible::State rowState = m_row->state();
    QAccessible::State state;
    state.invalid = rowState.invalid;
    state.checkable = true;
    state.checked = rowState.checked;
    state.invisible = rowState.invisible;
    state.offscreen = rowState.offscreen;
    return state;
}

void TaskCheckBoxAccessible::doAction(const QString& actionName)
{
    if (actionName == toggleAction())
        m_row->doAction(toggleAction());
}

void TaskRowAccessible::announceChanges()
{
    if (!isValid())
        return;
    // Typing in the editor changes the task at every key: only a name that changed is told.
    const QString told = m_toldName;
    if (text(QAccessible::Name) != told) {
        QAccessibleEvent event(this, QAccessible::NameChanged);
        AccessibleNotifier::notify(&event);
    }
    QAccessibleEvent description(this, QAccessible::DescriptionChanged);
    AccessibleNotifier::notify(&description);
    QAccessible::State checked;
    checked.checked = true;
    QAccessibleStateChangeEvent state(this, checked);
    AccessibleNotifier::notify(&state);
}

} // namespace

TaskListAccessible::TaskListAccessible(TaskListWidget* list)
    : QAccessibleWidget(list, QAccessible::List)
    , m_list(list)
{
    registry().insert(list, this);
}

TaskListAccessible::~TaskListAccessible()
{
    for (auto it = registry().begin(); it != registry().end(); ++it) {
        if (it.value() == this) {
            registry().erase(it);
            break;
        }
    }
    for (const QAccessible::Id id : std::as_const(m_items))
        QAccessible::deleteAccessibleInterface(id);
}

TaskListWidget* TaskListAccessible::list() const
{
    return m_list;
}

void TaskListAccessible::rowsRemoved(TaskListWidget* list)
{
    if (TaskListAccessible* accessible = registry().value(list))
        accessible->_dropGoneItems();
}

void TaskListAccessible::taskChanged(TaskListWidget* list, const TodoTask::Id& taskId)
{
    TaskListAccessible* accessible = registry().value(list);
    if (!accessible || !AccessibleNotifier::isListening())
        return;
    const QAccessible::Id id = accessible->m_items.value(taskId);
    if (auto* item = static_cast<TaskRowAccessible*>(id ? QAccessible::accessibleInterface(id) : nullptr))
        item->announceChanges();
}

void TaskListAccessible::_dropGoneItems()
{
    if (m_items.isEmpty() || !m_list)
        return;
    QList<TaskRowAccessible*> moved;
    for (auto it = m_items.begin(); it != m_items.end();) {
        auto* item = static_cast<TaskRowAccessible*>(QAccessible::accessibleInterface(it.value()));
        if (!item) {
            it = m_items.erase(it);
            continue;
        }
        if (!item->hintHolds())
            moved.append(item);
        ++it;
    }
    if (moved.isEmpty())
        return;
    // Finding a few rows is cheaper than indexing a long list; many at once share one index.
    QHash<TodoTask::Id, int> indexes;
    if (moved.size() > 2) {
        const int count = m_list->rowCount();
        indexes.reserve(count);
        for (int i = 0; i < count; ++i)
            indexes.insert(m_list->taskIdAt(i), i);
    }
    for (TaskRowAccessible* item : std::as_const(moved)) {
        const int index = moved.size() > 2 ? indexes.value(item->taskId(), -1) : m_list->indexOfTask(item->taskId());
        if (index >= 0) {
            item->setHint(index);
            continue;
        }
        if (AccessibleNotifier::isListening()) {
            QAccessibleEvent event(item, QAccessible::ObjectDestroyed);
            AccessibleNotifier::notify(&event);
        }
        item->setGone();
        QAccessible::deleteAccessibleInterface(m_items.take(item->taskId()));
    }
}

int TaskListAccessible::childCount() const
{
    return m_list ? m_list->rowCount() : 0;
}

QAccessibleInterface* TaskListAccessible::child(int index) const
{
    if (!m_list)
        return nullptr;
    const TodoTask::Id taskId = m_list->taskIdAt(index);
    if (taskId.isNull())
        return nullptr;
    const QAccessible::Id id = m_items.value(taskId);
    if (auto* item = static_cast<TaskRowAccessible*>(id ? QAccessible::accessibleInterface(id) : nullptr)) {
        item->setHint(index);
        return item;
    }
    auto* item = new TaskRowAccessible(m_list, taskId, index);
    m_items.insert(taskId, QAccessible::registerAccessibleInterface(item));
    return item;
}

int TaskListAccessible::indexOfChild(const QAccessibleInterface* child) const
{
    const auto* item = dynamic_cast<const TaskRowAccessible*>(child);
    return item && m_list && item->list() == m_list ? item->index() : -1;
}

QAccessibleInterface* TaskListAccessible::childAt(int x, int y) const
{
    if (!m_list)
        return nullptr;
    return child(m_list->rowAt(m_list->viewport()->mapFromGlobal(QPoint(x, y))));
}

QAccessibleInterface* TaskListAccessible::focusChild() const
{
    if (m_list && m_list->hasFocus() && m_list->currentIndex() >= 0)
        return child(m_list->currentIndex());
    return QAccessibleWidget::focusChild();
}

QString TaskListAccessible::text(QAccessible::Text t) const
{
    if (t != QAccessible::Name || !m_list || !m_list->accessibleName().isEmpty())
        return QAccessibleWidget::text(t);
    if (m_list->isShowingFound())
        return AccessibleText::foundTasks();
    const auto storage = TaskCore::instance()->storage();
    return storage ? shownGroupName(storage->group(m_list->group())) : QString();
}

QAccessible::State TaskListAccessible::state() const
{
    QAccessible::State state = QAccessibleWidget::state();
    state.multiSelectable = true;
    state.extSelectable = true;
    return state;
}
