#include "ui/tasklistwidget.h"

#include "base/identity.h"
#include "core/duetasks.h"
#include "core/taskcore.h"
#include "store/taskstorage.h"
#include "ui/dragregistry.h"
#include "ui/duetasksview.h"
#include "ui/groupname.h"
#include "ui/tasklistaccessible.h"
#include "ui/toolbaractions.h"
#include "ui/userstep.h"
#include "ui/viewaccessibility.h"
#include "widgets/colorscheme.h"
#include "widgets/fancyscrollbar.h"
#include "widgets/focusiconcatalogue.h"

#include <QAction>
#include <QApplication>
#include <QDrag>
#include <QHash>
#include <QMimeData>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QScrollBar>
#include <QUuid>
#include <QVBoxLayout>

#include <utility>

namespace {

std::shared_ptr<TaskStorage> store()
{
    return TaskCore::instance()->storage();
}

constexpr int Margin = 7;
constexpr int Spacing = 1;
/// Rows built beyond each edge of the view, so that a small scroll rebinds nothing.
constexpr int Overscan = 4;
/// Row widgets kept hidden for reuse when the view holds fewer rows than before.
constexpr int SpareRows = 8;

} // namespace

TaskListWidget::TaskListWidget(const FocusGroup::Id& groupId, QWidget* parent)
    : QScrollArea(parent)
    , m_accessibleEvents(this, [this] { return hasFocus() && !m_editedRow ? m_current : -1; }, false)
{
    installViewAccessibility();
    setObjectName(QStringLiteral("taskList"));
    setAcceptDrops(true);
    viewport()->setAcceptDrops(true);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAutoFillBackground(false);
    setFrameStyle(QFrame::NoFrame);
    setFocusPolicy(Qt::StrongFocus);
    setHorizontalScrollBar(new FancyScrollbar(Qt::Horizontal, this));
    setVerticalScrollBar(new FancyScrollbar(Qt::Vertical, this));
    // Rows are as wide as the view: the list never scrolls sideways.
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setMouseTracking(true);
    viewport()->setMouseTracking(true);

    m_content = new QWidget;
    m_content->setObjectName(QStringLiteral("taskListContent"));
    QPalette palette = m_content->palette();
    palette.setColor(QPalette::AlternateBase, Qt::transparent);
    m_content->setPalette(palette);
    m_content->setBackgroundRole(QPalette::AlternateBase);
    m_content->setAutoFillBackground(false);
    // The layout holds only the hint of an empty group; rows are placed by the list itself.
    m_layout = new QVBoxLayout(m_content);
    m_layout->setContentsMargins(Margin, Margin, Margin, Margin);
    m_layout->setSpacing(Spacing);
    m_layout->addStretch(1);
    setWidgetResizable(false);
    setWidget(m_content);
    viewport()->setAutoFillBackground(false);
    connect(verticalScrollBar(), &QScrollBar::valueChanged, this, &TaskListWidget::_layoutRows);

    _connectStore();
    setGroup(groupId);
}

void TaskListWidget::_connectStore()
{
    // Queued: the list's own changes have updated its rows by the time the signal arrives, so
    // only changes made elsewhere (another view, an emptied Trash) lead to a resync.
    if (const auto storage = store()) {
        connect(storage.get(), &TaskStorage::groupChanged, this, &TaskListWidget::_onStoreGroupChanged,
                Qt::QueuedConnection);
        connect(storage.get(), &TaskStorage::taskChanged, this, &TaskListWidget::_onStoreTaskChanged,
                Qt::QueuedConnection);
    }
}

// Records and row widgets

TaskWidget* TaskListWidget::row(int index) const
{
    if (index < 0 || index >= m_records.size())
        return nullptr;
    return m_live.value(m_records.at(index).id);
}

TodoTask::Id TaskListWidget::taskIdAt(int index) const
{
    return index >= 0 && index < m_records.size() ? m_records.at(index).id : TodoTask::Id();
}

QRect TaskListWidget::rowRect(int index) const
{
    if (index < 0 || index >= m_records.size())
        return QRect();
    return QRect(Margin, _rowTop(index) - verticalScrollBar()->value(), _rowWidth(), _rowHeight(index));
}

QString TaskListWidget::groupNameAt(int index) const
{
    if (!m_showingFound || index < 0 || index >= m_records.size())
        return QString();
    return m_groupNames.value(m_records.at(index).group);
}

void TaskListWidget::setRowCompleted(int index, bool done)
{
    if (index < 0 || index >= m_records.size())
        return;
    const TodoTask::Id id = m_records.at(index).id;
    UserStep step(done ? tr("Complete") : tr("Reopen"));
    if (TaskWidget* widget = m_live.value(id)) {
        widget->setCompleted(done);
    } else if (const auto storage = store()) {
        TodoTask task = storage->task(id);
        task.setCompleted(done);
    }
}

bool TaskListWidget::isRowSelected(int index) const
{
    return index >= 0 && index < m_records.size() && m_records.at(index).selected;
}

int TaskListWidget::_indexOf(const TodoTask::Id& taskId) const
{
    for (int i = 0; i < m_records.size(); ++i) {
        if (m_records.at(i).id == taskId)
            return i;
    }
    return -1;
}

TaskWidget* TaskListWidget::_takeSpareWidget(const TodoTask::Id& taskId)
{
    TaskWidget* widget = nullptr;
    if (!m_spare.isEmpty()) {
        widget = m_spare.takeLast();
        widget->bind(taskId);
    } else {
        widget = new TaskWidget(taskId, this, m_content);
        widget->installEventFilter(this);
    }
    m_live.insert(taskId, widget);
    return widget;
}

void TaskListWidget::_releaseWidget(TaskWidget* widget)
{
    m_live.remove(widget->taskId());
    if (m_spare.size() >= SpareRows) {
        _dropWidget(widget);
        return;
    }
    widget->hide();
    m_spare.append(widget);
}

void TaskListWidget::_dropWidgets(bool keepOpenEditor)
{
    const QList<TaskWidget*> widgets = m_live.values() + m_spare;
    for (TaskWidget* widget : widgets) {
        if (!keepOpenEditor || widget != m_editedRow)
            _dropWidget(widget);
    }
}

void TaskListWidget::_dropWidget(TaskWidget* widget)
{
    m_live.remove(widget->taskId());
    m_spare.removeOne(widget);
    if (widget == m_editedRow) {
        m_editedRow = nullptr;
        m_editedIndex = -1;
    }
    widget->removeEventFilter(this);
    widget->hide();
    widget->deleteLater();
}

TaskWidget* TaskListWidget::_widgetFor(int index)
{
    if (index < 0 || index >= m_records.size())
        return nullptr;
    const RowRecord& record = m_records.at(index);
    TaskWidget* widget = m_live.value(record.id);
    if (!widget) {
        widget = _takeSpareWidget(record.id);
        widget->setGroupName(m_showingFound ? m_groupNames.value(record.group) : QString());
        widget->setSelected(record.selected);
        widget->setFocusMarked(hasFocus() && !m_editedRow && index == m_current);
        widget->setGeometry(Margin, _rowTop(index), _rowWidth(), _closedHeight());
        widget->show();
    }
    return widget;
}

// Geometry

int TaskListWidget::_closedHeight()
{
    if (m_closedHeight <= 0) {
        // Every closed row has the height of an empty one.
        TaskWidget* probe = m_spare.isEmpty() ? nullptr : m_spare.constLast();
        if (!probe) {
            probe = new TaskWidget(TodoTask::Id(), this, m_content);
            probe->installEventFilter(this);
            probe->hide();
            m_spare.append(probe);
        }
        m_closedHeight = probe->isEditing() ? 0 : probe->height();
    }
    return m_closedHeight;
}

int TaskListWidget::_rowHeight(int index) const
{
    return index == m_editedIndex && m_editedRow ? m_editedRow->height() : m_closedHeight;
}

int TaskListWidget::_rowTop(int index) const
{
    int top = Margin + index * (m_closedHeight + Spacing);
    if (m_editedRow && m_editedIndex >= 0 && index > m_editedIndex)
        top += m_editedRow->height() - m_closedHeight;
    return top;
}

int TaskListWidget::_rowWidth() const
{
    return qMax(0, viewport()->width() - 2 * Margin);
}

int TaskListWidget::_contentHeight() const
{
    const int count = static_cast<int>(m_records.size());
    if (count == 0)
        return 0;
    return _rowTop(count - 1) + _rowHeight(count - 1) + Margin;
}

int TaskListWidget::_indexAtY(int y, bool exact) const
{
    const int count = static_cast<int>(m_records.size());
    if (count == 0 || m_closedHeight <= 0)
        return -1;
    const int pitch = m_closedHeight + Spacing;
    int offset = y - Margin;
    if (offset < 0)
        return exact ? -1 : 0;
    if (m_editedRow && m_editedIndex >= 0 && offset >= m_editedIndex * pitch) {
        const int editedHeight = m_editedRow->height();
        const int editedEnd = m_editedIndex * pitch + editedHeight;
        if (offset < editedEnd)
            return m_editedIndex;
        if (offset < editedEnd + Spacing)
            return exact ? -1 : m_editedIndex;
        offset -= editedHeight - m_closedHeight;
    }
    const int index = offset / pitch;
    if (index >= count)
        return exact ? -1 : count - 1;
    if (exact && offset - index * pitch >= m_closedHeight)
        return -1;
    return index;
}

void TaskListWidget::_layoutRows()
{
    // Resizing the content may show or hide the scroll bar, which resizes the view and asks
    // for another pass: the outer pass repeats instead of nesting.
    if (m_layoutDepth > 0) {
        ++m_layoutDepth;
        return;
    }
    for (int pass = 0; pass < 3; ++pass) {
        m_layoutDepth = 1;
        const int count = static_cast<int>(m_records.size());
        const int contentHeight = count > 0 ? _contentHeight() : 0;
        const QSize size(viewport()->width(), qMax(viewport()->height(), contentHeight));
        if (m_content->size() != size)
            m_content->resize(size);

        QList<int> wanted;
        if (count > 0 && _closedHeight() > 0) {
            const int top = verticalScrollBar()->value();
            const int first = qMax(0, _indexAtY(top, false) - Overscan);
            const int last = qMin(count - 1, _indexAtY(top + viewport()->height(), false) + Overscan);
            for (int i = first; i <= last; ++i)
                wanted.append(i);
            if (m_editedRow && m_editedIndex >= 0 && (m_editedIndex < first || m_editedIndex > last))
                wanted.append(m_editedIndex);
        }
        QSet<TodoTask::Id> wantedIds;
        for (int i : std::as_const(wanted))
            wantedIds.insert(m_records.at(i).id);
        const QList<TaskWidget*> live = m_live.values();
        for (TaskWidget* widget : live) {
            if (!wantedIds.contains(widget->taskId()))
                _releaseWidget(widget);
        }
        const int width = _rowWidth();
        for (int i : std::as_const(wanted))
            _widgetFor(i)->setGeometry(Margin, _rowTop(i), width, _rowHeight(i));
        // An empty list keeps no rows in reserve.
        if (count == 0) {
            while (!m_spare.isEmpty())
                _dropWidget(m_spare.constLast());
        }
        const bool again = m_layoutDepth > 1;
        m_layoutDepth = 0;
        if (!again)
            break;
    }
}

bool TaskListWidget::viewportEvent(QEvent* event)
{
    const bool result = QScrollArea::viewportEvent(event);
    if (event->type() == QEvent::Resize)
        _layoutRows();
    return result;
}

bool TaskListWidget::eventFilter(QObject* watched, QEvent* event)
{
    // The open editor grows and shrinks with its notes: the rows below follow.
    if (event->type() == QEvent::Resize && watched == m_editedRow)
        _layoutRows();
    return QScrollArea::eventFilter(watched, event);
}

void TaskListWidget::ensureIndexVisible(int index)
{
    if (index < 0 || index >= m_records.size())
        return;
    _layoutRows();
    const int top = _rowTop(index);
    const int bottom = top + _rowHeight(index);
    QScrollBar* bar = verticalScrollBar();
    // The content may have grown since the scroll bar last heard of it.
    bar->setMaximum(qMax(bar->maximum(), m_content->height() - viewport()->height()));
    const int height = viewport()->height();
    if (bottom + Margin > bar->value() + height)
        bar->setValue(bottom + Margin - height);
    if (top - Margin < bar->value())
        bar->setValue(top - Margin);
    _layoutRows();
}

// Groups

void TaskListWidget::_clear()
{
    m_showingFound = false;
    if (m_view) {
        m_view->disconnect(this);
        m_view->deleteLater();
        m_view = nullptr;
    }
    m_group = FocusGroup();
    m_groupId = FocusGroup::Id();
    m_editedRow = nullptr;
    m_editedIndex = -1;
    _dropWidgets(false);
    _removeHint();
    m_records.clear();
    m_selectedCount = 0;
    m_current = -1;
    m_dropIndex = -1;
    TaskListAccessible::rowsRemoved(this);
    verticalScrollBar()->setValue(0);
    _selectionChanged();
}

void TaskListWidget::setGroup(const FocusGroup::Id& groupId)
{
    if (groupId == m_groupId && !m_groupId.isNull())
        return;
    _clear();
    m_groupId = groupId;
    DueTasks::View view;
    if (DueTasks::isView(groupId, &view)) {
        m_showingFound = true;
        m_view = new DueTasksView(_dueTasks(), view, this);
        connect(m_view, &DueTasksView::rowsChanged, this, &TaskListWidget::_showViewRows);
        _showViewRows();
        return;
    }
    if (const auto storage = store())
        m_group = storage->group(groupId);
    rebuildRows();
    updateHint();
}

void TaskListWidget::setDueTasks(DueTasks* dueTasks)
{
    m_dueTasks = dueTasks;
}

DueTasks* TaskListWidget::_dueTasks()
{
    if (!m_dueTasks) {
        if (const auto storage = store())
            m_dueTasks = new DueTasks(storage, DueTasks::Clock(), this);
    }
    return m_dueTasks;
}

void TaskListWidget::_showViewRows()
{
    if (!m_view)
        return;
    _readGroupNames();
    _replaceRecords(m_view->rows());
}

void TaskListWidget::refreshGroupInfo()
{
    if (const auto storage = store())
        m_group = storage->group(m_groupId);
    if (m_hint)
        m_hint->setIcon(focusGroupIcon(m_group.id(), m_group.iconKey(), m_group.taskIds().isEmpty()));
}

void TaskListWidget::rebuildRows()
{
    if (m_groupId.isNull())
        return;
    m_records.clear();
    m_records.reserve(m_group.taskIds().size());
    for (const TodoTask::Id& id : m_group.taskIds()) {
        if (!id.isNull())
            m_records.append(RowRecord{id, false, m_groupId});
    }
    _layoutRows();
}

void TaskListWidget::showFound(const QList<FoundTask>& found)
{
    if (!m_showingFound || m_view) {
        _clear();
        m_showingFound = true;
    }
    _readGroupNames();
    _replaceRecords(found);
}

void TaskListWidget::_readGroupNames()
{
    if (const auto storage = store()) {
        m_groupNames.clear();
        for (const FocusGroup::Id& groupId : storage->groupIds())
            m_groupNames.insert(groupId, shownGroupName(storage->group(groupId)));
    }
}

void TaskListWidget::_replaceRecords(const QList<FoundTask>& rows)
{
    // Rows that stay keep their selection and their widgets; an open editor stays open.
    const QList<TodoTask::Id> selectedIds = selectedTaskIds();
    const QSet<TodoTask::Id> selected(selectedIds.cbegin(), selectedIds.cend());
    const TodoTask::Id currentId = taskIdAt(m_current);
    const TodoTask::Id editedId = m_editedRow ? m_editedRow->taskId() : TodoTask::Id();
    QHash<TodoTask::Id, FocusGroup::Id> groupOf;
    groupOf.reserve(rows.size());
    for (const FoundTask& row : rows)
        groupOf.insert(row.taskId, row.groupId);
    const QList<TaskWidget*> live = m_live.values();
    for (TaskWidget* widget : live) {
        if (!groupOf.contains(widget->taskId()))
            _dropWidget(widget);
        else if (m_showingFound)
            widget->setGroupName(m_groupNames.value(groupOf.value(widget->taskId())));
    }
    m_records.clear();
    m_records.reserve(rows.size());
    m_selectedCount = 0;
    for (const FoundTask& row : rows) {
        const bool isSelected = selected.contains(row.taskId);
        m_records.append(RowRecord{row.taskId, isSelected, row.groupId});
        m_selectedCount += isSelected ? 1 : 0;
    }
    m_current = currentId.isNull() ? -1 : _indexOf(currentId);
    m_editedIndex = m_editedRow ? _indexOf(editedId) : -1;
    TaskListAccessible::rowsRemoved(this);
    _layoutRows();
    _selectionChanged();
}

QList<TodoTask::Id> TaskListWidget::selectedTaskIds() const
{
    QList<TodoTask::Id> ids;
    for (int index : selectedIndexes())
        ids.append(m_records.at(index).id);
    return ids;
}

void TaskListWidget::selectTasks(const QList<TodoTask::Id>& taskIds, const TodoTask::Id& current)
{
    const QSet<TodoTask::Id> wanted(taskIds.cbegin(), taskIds.cend());
    for (int i = 0; i < m_records.size(); ++i)
        _setRowSelected(i, wanted.contains(m_records.at(i).id));
    m_current = current.isNull() ? -1 : _indexOf(current);
    _selectionChanged();
    if (m_current >= 0)
        ensureIndexVisible(m_current);
}

void TaskListWidget::showTasks(const QList<TodoTask::Id>& taskIds)
{
    // The rows of a change just made, not those of the store's queued signals.
    if (m_view && _dueTasks())
        _dueTasks()->refresh();
    else if (!m_showingFound)
        _resync();
    const auto shown = std::find_if(taskIds.cbegin(), taskIds.cend(), [this](const TodoTask::Id& id) { return _indexOf(id) >= 0; });
    selectTasks(taskIds, shown == taskIds.cend() ? TodoTask::Id() : *shown);
}

void TaskListWidget::_appendRecord(const TodoTask::Id& taskId)
{
    if (taskId.isNull())
        return;
    // A view's new task is in the Inbox.
    m_records.append(RowRecord{taskId, false, m_view ? FocusGroup::inboxId() : m_groupId});
    _layoutRows();
}

void TaskListWidget::_removeTasks(const QSet<TodoTask::Id>& taskIds)
{
    if (taskIds.isEmpty())
        return;
    const TodoTask::Id currentId = taskIdAt(m_current);
    const TodoTask::Id editedId = m_editedRow ? m_editedRow->taskId() : TodoTask::Id();
    QList<RowRecord> kept;
    kept.reserve(m_records.size());
    m_selectedCount = 0;
    for (const RowRecord& record : std::as_const(m_records)) {
        if (taskIds.contains(record.id))
            continue;
        kept.append(record);
        m_selectedCount += record.selected ? 1 : 0;
    }
    m_records = kept;
    for (const TodoTask::Id& id : taskIds) {
        if (TaskWidget* widget = m_live.value(id))
            _dropWidget(widget);
    }
    m_current = currentId.isNull() ? -1 : _indexOf(currentId);
    m_editedIndex = m_editedRow ? _indexOf(editedId) : -1;
    TaskListAccessible::rowsRemoved(this);
    _layoutRows();
}

// Selection

QList<int> TaskListWidget::selectedIndexes() const
{
    QList<int> indexes;
    if (m_selectedCount == 0)
        return indexes;
    for (int i = 0; i < m_records.size(); ++i) {
        if (m_records.at(i).selected)
            indexes.append(i);
    }
    return indexes;
}

int TaskListWidget::rowAt(const QPoint& point) const
{
    const QPoint p = point + QPoint(horizontalScrollBar()->value(), verticalScrollBar()->value());
    if (p.x() < Margin || p.x() >= Margin + _rowWidth())
        return -1;
    return _indexAtY(p.y(), true);
}

void TaskListWidget::_setRowSelected(int index, bool selected)
{
    RowRecord& record = m_records[index];
    if (record.selected == selected)
        return;
    record.selected = selected;
    m_selectedCount += selected ? 1 : -1;
    m_accessibleEvents.noteSelected(index, selected);
    if (TaskWidget* widget = m_live.value(record.id))
        widget->setSelected(selected);
}

void TaskListWidget::_updateFocusMark()
{
    const TodoTask::Id marked = hasFocus() && !m_editedRow ? taskIdAt(m_current) : TodoTask::Id();
    for (TaskWidget* widget : std::as_const(m_live))
        widget->setFocusMarked(!marked.isNull() && widget->taskId() == marked);
}

void TaskListWidget::focusInEvent(QFocusEvent* event)
{
    QScrollArea::focusInEvent(event);
    _updateFocusMark();
    m_accessibleEvents.focusIn();
}

void TaskListWidget::focusOutEvent(QFocusEvent* event)
{
    QScrollArea::focusOutEvent(event);
    _updateFocusMark();
    m_accessibleEvents.forgetFocus();
}

void TaskListWidget::_selectionChanged()
{
    _updateFocusMark();
    editTaskAction()->setEnabled(m_current >= 0);
    m_accessibleEvents.flush();
}

void TaskListWidget::select(int index)
{
    if (index < 0 || index >= m_records.size())
        return;
    m_current = index;
    _setRowSelected(index, true);
    _selectionChanged();
}

void TaskListWidget::clearSelection()
{
    if (m_selectedCount > 0) {
        for (int i = 0; i < m_records.size(); ++i)
            _setRowSelected(i, false);
    }
    m_current = -1;
    _selectionChanged();
}

// Editing

void TaskListWidget::setEditing(int index)
{
    if (index != -1 && (index < 0 || index >= m_records.size()))
        return;
    const TodoTask::Id taskId = taskIdAt(index);
    if (m_editedRow && m_editedRow->taskId() == taskId)
        return;
    if (m_editedRow)
        finishEditing(m_editedRow, false);
    if (taskId.isNull())
        return;
    // Closing the other editor may have dropped an empty new row above this one.
    index = _indexOf(taskId);
    if (index < 0)
        return;
    clearSelection();
    select(index);
    m_editKey = m_pendingEditKey.isEmpty() ? QUuid::createUuid().toString() : std::exchange(m_pendingEditKey, QString());
    TaskWidget* widget = _widgetFor(index);
    m_editedRow = widget;
    m_editedIndex = index;
    _updateFocusMark();
    widget->setEditMode(true);
    ensureIndexVisible(index);
}

void TaskListWidget::finishEditing(TaskWidget* row, bool byReturn)
{
    Q_UNUSED(row);
    if (!m_editedRow)
        return;
    TaskWidget* open = m_editedRow;
    open->setEditMode(false);
    m_editedRow = nullptr;
    m_editedIndex = -1;
    m_returnConsumed = byReturn;
    if (open->createdByNew()) {
        open->setCreatedByNew(false);
        UserStep step(tr("New task"), m_editKey);
        if (m_view ? DueTasksView::discardIfBlank(open->task()) : open->task().isEmpty()) {
            // Created by New and left empty: gone for good, without a trip through Trash.
            const TodoTask::Id taskId = open->taskId();
            _removeTasks({taskId});
            if (!m_view)
                m_group.removeTask(taskId, true);
            // No row is current any more: Return and Edit must not open another one.
            clearSelection();
        }
        updateHint();
    }
    _layoutRows();
    setFocus();
    _updateFocusMark();
    if (m_view)
        m_view->editingFinished();
}

void TaskListWidget::newTask()
{
    if (m_groupId.isNull())
        return;
    const auto storage = store();
    if (!storage)
        return;
    if (m_editedRow)
        finishEditing(m_editedRow, false);
    m_pendingEditKey = QUuid::createUuid().toString();
    TodoTask::Id id;
    {
        UserStep step(tr("New task"), m_pendingEditKey);
        id = m_view ? m_view->createTask() : storage->createTask(m_groupId);
    }
    if (id.isNull())
        return;
    m_group = storage->group(m_groupId);
    updateHint();
    _appendRecord(id);
    setEditing(static_cast<int>(m_records.size()) - 1);
    if (m_editedRow && m_editedRow->taskId() == id)
        m_editedRow->setCreatedByNew(true);
}

void TaskListWidget::editSelected()
{
    if (m_current >= 0 && m_current < m_records.size())
        setEditing(m_current);
}

void TaskListWidget::cleanup()
{
    if (m_records.isEmpty() || m_showingFound)
        return;
    const auto storage = store();
    if (!storage)
        return;
    if (m_editedRow)
        finishEditing(m_editedRow, false);
    UserStep step(tr("Cleanup"));
    // Completed tasks reach Completed in the order they had here; empty ones go to Trash.
    QList<TodoTask::Id> done;
    QList<TodoTask::Id> empty;
    for (const RowRecord& record : std::as_const(m_records)) {
        const TodoTask task = storage->task(record.id);
        if (task.completed())
            done.append(record.id);
        else if (task.isEmpty())
            empty.append(record.id);
    }
    if (!done.isEmpty())
        m_group.moveTasksTo(done, FocusGroup::completedId());
    if (!empty.isEmpty())
        m_group.removeTasks(empty, false);
    QSet<TodoTask::Id> gone(done.cbegin(), done.cend());
    for (const TodoTask::Id& id : std::as_const(empty))
        gone.insert(id);
    _removeTasks(gone);
    _selectionChanged();
    updateHint();
}

void TaskListWidget::deleteSelected()
{
    // Each task leaves the group its row stands for: found tasks their own groups.
    QList<TodoTask::Id> ids;
    QHash<FocusGroup::Id, QList<TodoTask::Id>> byGroup;
    for (int index : selectedIndexes()) {
        const RowRecord& record = m_records.at(index);
        ids.append(record.id);
        byGroup[record.group].append(record.id);
    }
    UserStep step(tr("Delete"));
    if (!m_showingFound) {
        if (!ids.isEmpty())
            m_group.removeTasks(ids, false);
    } else if (const auto storage = store()) {
        for (auto it = byGroup.cbegin(); it != byGroup.cend(); ++it)
            storage->removeTasks(it.key(), it.value(), false);
    }
    _removeTasks(QSet<TodoTask::Id>(ids.cbegin(), ids.cend()));
    clearSelection();
    updateHint();
}

void TaskListWidget::updateHint()
{
    if (m_showingFound)
        return;
    if (m_group.taskIds().isEmpty() && !m_hint) {
        if (m_groupId.isNull())
            return;
        m_hint = new GroupHintWidget(focusGroupIcon(m_group.id(), m_group.iconKey(), true),
                                     GroupHintWidget::hintText(m_groupId), m_content);
        connect(m_hint, &GroupHintWidget::headStart, this, &TaskListWidget::_onHeadStart, Qt::QueuedConnection);
        m_layout->insertWidget(0, m_hint, 2, Qt::AlignCenter);
        m_hint->show();
    } else if (!m_group.taskIds().isEmpty()) {
        _removeHint();
    }
}

void TaskListWidget::_removeHint()
{
    if (!m_hint)
        return;
    m_hint->hide();
    m_layout->removeWidget(m_hint);
    m_hint->deleteLater();
    m_hint = nullptr;
}

void TaskListWidget::addPredefinedTask(const QString& name, const QString& notes)
{
    const auto storage = store();
    if (!storage)
        return;
    const TodoTask::Id id = storage->createTask(m_groupId);
    if (id.isNull())
        return;
    m_group = storage->group(m_groupId);
    TodoTask task = storage->task(id);
    task.setName(name);
    task.setNotes(notes);
    _appendRecord(id);
}

void TaskListWidget::_onHeadStart(const QString&)
{
    if (m_groupId != FocusGroup::inboxId())
        return;
    UserStep step(tr("Add examples"));
    addPredefinedTask(tr("Submit your ideas on features, any likes and dislikes"),
                      tr("Visit %1 to submit ideas").arg(webSiteUrl()));
    addPredefinedTask(tr("Create a focus group"),
                      tr("Right-click anywhere on the left panel and select \"Add group\" menu."));
    addPredefinedTask(tr("Support the team and development"),
                      tr("Visit %1 and make a donation to support the team if you like the software.").arg(donateUrl()));
    addPredefinedTask(tr("Have a coffee :)"), QString());
    updateHint();
    ensureIndexVisible(static_cast<int>(m_records.size()) - 1);
}

// Changes made elsewhere

void TaskListWidget::_onStoreGroupChanged(const FocusGroup::Id& groupId)
{
    if (groupId != m_groupId || m_groupId.isNull() || m_resyncQueued)
        return;
    // A burst of changes (thousands of tasks removed one by one) leads to one resync.
    m_resyncQueued = true;
    QMetaObject::invokeMethod(this, &TaskListWidget::_resync, Qt::QueuedConnection);
}

void TaskListWidget::_resync()
{
    m_resyncQueued = false;
    if (m_groupId.isNull())
        return;
    if (m_dragging) {
        _onStoreGroupChanged(m_groupId);
        return;
    }
    const auto storage = store();
    if (!storage)
        return;
    const FocusGroup fresh = storage->group(m_groupId);
    m_group = fresh;
    const FocusGroup::TaskIdList& ids = fresh.taskIds();
    bool same = ids.size() == m_records.size();
    for (int i = 0; same && i < ids.size(); ++i)
        same = ids.at(i) == m_records.at(i).id;
    if (same)
        return;

    // Another view changed this group: the rows follow the store's order.
    QList<FoundTask> rows;
    rows.reserve(ids.size());
    for (const TodoTask::Id& id : ids)
        rows.append(FoundTask{id, m_groupId});
    _replaceRecords(rows);
    updateHint();
}

void TaskListWidget::_onStoreTaskChanged(const TodoTask::Id& taskId)
{
    TaskListAccessible::taskChanged(this, taskId);
    // A row in view shows what another view changed; the open editor is left alone.
    TaskWidget* widget = m_live.value(taskId);
    if (!widget || widget == m_editedRow)
        return;
    const bool selected = widget->isSelected();
    widget->bind(taskId);
    widget->setSelected(selected);
    _updateFocusMark();
}

// Painting and input

void TaskListWidget::paintEvent(QPaintEvent*)
{
    QPainter painter(viewport());
    painter.fillRect(viewport()->rect(), schemeColor(ColorScheme::ListBackground));
    if (m_dropIndex < 0 || m_dropIndex >= m_records.size())
        return;
    const int scroll = verticalScrollBar()->value();
    // Half a pixel down and right: the one-pixel line then covers whole pixels and stays crisp.
    const int y = m_dropBefore ? _rowTop(m_dropIndex) : _rowTop(m_dropIndex) + _rowHeight(m_dropIndex) + 2;
    const QPointF p = QPointF(Margin, y - scroll) + QPointF(0.5, 0.5);
    painter.setRenderHint(QPainter::Antialiasing);
    const QColor accent = schemeColor(ColorScheme::Accent);
    painter.setPen(QPen(accent, 1, Qt::SolidLine, Qt::SquareCap, Qt::BevelJoin));
    painter.setBrush(accent);
    QPainterPath path;
    path.moveTo(p + QPointF(1, -1));
    path.lineTo(path.currentPosition() + QPointF(-5, -3));
    path.lineTo(path.currentPosition() + QPointF(0, 6));
    path.lineTo(path.currentPosition() + QPointF(5, -3));
    path.lineTo(p + QPointF(_rowWidth() - 1, -1));
    path.lineTo(path.currentPosition() + QPointF(5, -3));
    path.lineTo(path.currentPosition() + QPointF(0, 6));
    path.lineTo(path.currentPosition() + QPointF(-5, -3));
    painter.drawPath(path);
}

void TaskListWidget::mousePressEvent(QMouseEvent* event)
{
    const QPoint point = event->position().toPoint();
    if (event->button() == Qt::LeftButton) {
        m_mayDrag = !m_editedRow;
        m_pressPos = point;
    }
    const TodoTask::Id pressed = taskIdAt(rowAt(point));
    const bool onOpenRow = m_editedRow && m_editedRow->taskId() == pressed;
    setEditing(-1);
    // Closing the editor may have dropped an empty new row: find the pressed row again.
    const int i = pressed.isNull() ? -1 : _indexOf(pressed);
    const Qt::KeyboardModifiers mods = event->modifiers();
    const bool ctrl = mods & Qt::ControlModifier;
    const bool shift = mods & Qt::ShiftModifier;
    if (i < 0) {
        if (!ctrl && !shift)
            clearSelection();
        return;
    }
    if (!ctrl && !shift && !m_records.at(i).selected)
        clearSelection();
    if (shift) {
        if (m_current < 0) {
            select(i);
        } else {
            const int anchor = m_current;
            for (int k = 0; k < m_records.size(); ++k)
                _setRowSelected(k, k >= qMin(anchor, i) && k <= qMax(anchor, i));
            m_current = anchor;
            _selectionChanged();
        }
    } else if (!onOpenRow) {
        select(i);
    }
}

void TaskListWidget::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton)
        m_mayDrag = false;
    const Qt::KeyboardModifiers mods = event->modifiers();
    if (mods & (Qt::ControlModifier | Qt::ShiftModifier))
        return;
    const int i = rowAt(event->position().toPoint());
    if (i >= 0 && !(m_editedRow && m_editedIndex == i)) {
        clearSelection();
        select(i);
    }
}

void TaskListWidget::mouseDoubleClickEvent(QMouseEvent* event)
{
    clearSelection();
    const int i = rowAt(event->position().toPoint());
    if (i >= 0) {
        setEditing(i);
        select(i);
    } else {
        newTask();
    }
}

void TaskListWidget::mouseMoveEvent(QMouseEvent* event)
{
    if (!m_mayDrag || m_dragging || m_selectedCount == 0)
        return;
    if ((event->position().toPoint() - m_pressPos).manhattanLength() < QApplication::startDragDistance())
        return;
    _startDrag();
}

void TaskListWidget::_moveCurrentTo(int target, bool extend)
{
    if (m_editedRow || m_records.isEmpty())
        return;
    target = qBound(0, target, static_cast<int>(m_records.size()) - 1);
    if (!extend)
        clearSelection();
    // Extending selects every row between the current one and the target.
    if (extend && m_current >= 0) {
        const int step = target > m_current ? 1 : -1;
        for (int i = m_current; i != target; i += step)
            _setRowSelected(i, true);
    }
    select(target);
    ensureIndexVisible(target);
}

int TaskListWidget::_rowsPerPage() const
{
    const int pitch = m_closedHeight + Spacing;
    return m_closedHeight > 0 ? qMax(1, viewport()->height() / pitch) : 1;
}

void TaskListWidget::keyPressEvent(QKeyEvent* event)
{
    const bool shift = event->modifiers() & Qt::ShiftModifier;
    const int last = static_cast<int>(m_records.size()) - 1;
    switch (event->key()) {
    case Qt::Key_Down:
        if (m_current < last)
            _moveCurrentTo(m_current + 1, shift);
        return;
    case Qt::Key_Up:
        if (m_current != 0)
            _moveCurrentTo(m_current < 0 ? last : m_current - 1, shift);
        return;
    case Qt::Key_Home:
        _moveCurrentTo(0, shift);
        return;
    case Qt::Key_End:
        _moveCurrentTo(last, shift);
        return;
    case Qt::Key_PageDown:
        _moveCurrentTo(m_current + _rowsPerPage(), shift);
        return;
    case Qt::Key_PageUp:
        _moveCurrentTo(m_current < 0 ? 0 : m_current - _rowsPerPage(), shift);
        return;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (m_current >= 0 && !m_editedRow && !m_returnConsumed) {
            if (shift)
                newTask();
            else
                setEditing(m_current);
        }
        m_returnConsumed = false;
        return;
    case Qt::Key_Escape:
        if (m_editedRow) {
            finishEditing(m_editedRow, false);
            return;
        }
        break;
    case Qt::Key_Delete:
        if (!m_editedRow && m_selectedCount > 0)
            deleteSelected();
        return;
    case Qt::Key_Space:
        // Completes the selected tasks, or reopens them when the current one is completed.
        if (!m_editedRow && m_current >= 0) {
            const auto storage = store();
            if (!storage)
                return;
            const bool done = !storage->task(taskIdAt(m_current)).completed();
            UserStep step(done ? tr("Complete") : tr("Reopen"));
            for (int i = 0; i < m_records.size(); ++i) {
                if (m_records.at(i).selected)
                    setRowCompleted(i, done);
            }
        }
        return;
    case Qt::Key_A:
        if (event->modifiers() & Qt::ControlModifier) {
            for (int i = 0; i < m_records.size(); ++i)
                _setRowSelected(i, true);
            _selectionChanged();
            return;
        }
        break;
    default:
        break;
    }
    QScrollArea::keyPressEvent(event);
}

QString TaskListWidget::dragText(const QList<TodoTask>& tasks)
{
    QStringList lines;
    for (const TodoTask& task : tasks)
        lines << task.displayText();
    return lines.join(QLatin1Char('\n'));
}

QPixmap TaskListWidget::dragPixmap(const QList<TaskWidget*>& rows)
{
    if (rows.isEmpty())
        return QPixmap();
    QSize size;
    if (rows.size() < 4) {
        int height = 0;
        for (TaskWidget* row : rows)
            height += row->height();
        size = QSize(rows.first()->width(), height + static_cast<int>(rows.size()) - 1);
    } else {
        size = rows.first()->size() + QSize(20, 20);
    }
    const qreal ratio = rows.first()->devicePixelRatioF();
    QPixmap pixmap(size * ratio);
    pixmap.setDevicePixelRatio(ratio);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setOpacity(0.6);
    auto draw = [&](TaskWidget* row, const QPoint& at) {
        row->render(&painter, at, QRegion(), QWidget::DrawWindowBackground | QWidget::DrawChildren);
    };
    if (rows.size() < 4) {
        int y = 0;
        for (TaskWidget* row : rows) {
            draw(row, QPoint(0, y));
            y += row->height() + 1;
        }
    } else {
        draw(rows.last(), QPoint(20, 20));
        draw(rows.at(1), QPoint(10, 10));
        draw(rows.first(), QPoint(0, 0));
    }
    return pixmap;
}

void TaskListWidget::_startDrag()
{
    const auto storage = store();
    if (!storage)
        return;
    auto data = std::make_shared<DragGroup>();
    data->kind = DragGroup::Tasks;
    QList<int> draggedIndexes;
    QList<TodoTask> tasks;
    for (int i = 0; i < m_records.size(); ++i) {
        if (!m_records.at(i).selected)
            continue;
        draggedIndexes.append(i);
        tasks.append(storage->task(m_records.at(i).id));
        data->tasks[m_records.at(i).group].append(m_records.at(i).id);
    }
    if (draggedIndexes.isEmpty())
        return;
    // Tasks are listed in another group too (Shift) unless they come from Trash or Completed.
    data->copy = (QApplication::keyboardModifiers() & Qt::ShiftModifier)
        && !data->tasks.contains(FocusGroup::trashId()) && !data->tasks.contains(FocusGroup::completedId());

    // The picture shows at most three rows: those out of view are drawn by stand-ins.
    QList<int> pictured = draggedIndexes;
    if (pictured.size() >= 4)
        pictured = {draggedIndexes.at(0), draggedIndexes.at(1), draggedIndexes.at(1), draggedIndexes.last()};
    QList<TaskWidget*> rows;
    QList<TaskWidget*> standIns;
    for (int index : std::as_const(pictured)) {
        TaskWidget* widget = row(index);
        if (!widget) {
            widget = new TaskWidget(m_records.at(index).id, this, m_content);
            widget->setSelected(true);
            widget->setGeometry(-10 * _rowWidth() - 100, 0, _rowWidth(), _closedHeight());
            widget->show();
            standIns.append(widget);
        }
        rows.append(widget);
    }
    const QPixmap pixmap = dragPixmap(rows);
    qDeleteAll(standIns);

    DragRegistry* registry = DragRegistry::instance();
    const int id = registry->registerDrag(data);
    auto* mime = new QMimeData;
    mime->setText(dragText(tasks));
    mime->setData(QLatin1String(DragRegistry::MimeType), DragRegistry::payload(id));

    auto* drag = new QDrag(this);
    drag->setMimeData(mime);
    drag->setPixmap(pixmap);
    // The picture hangs below and to the right of the pointer, so the row or group under the
    // pointer stays in sight.
    drag->setHotSpot(QPoint(-16, -12));

    m_dragging = true;
    for (const TodoTask& task : std::as_const(tasks))
        Q_EMIT highlightGroups(task.id());
    const Qt::DropAction action =
        drag->exec(Qt::MoveAction | Qt::CopyAction, data->copy ? Qt::CopyAction : Qt::MoveAction);
    // Found tasks follow the store's announcements instead: the search runs again.
    if (action == Qt::MoveAction && data->resultAction == DragGroup::Moved && !m_showingFound) {
        const QList<TodoTask::Id>& moved = data->tasks.value(m_groupId);
        _removeTasks(QSet<TodoTask::Id>(moved.cbegin(), moved.cend()));
        m_group = storage->group(m_groupId);
        clearSelection();
        updateHint();
    }
    Q_EMIT highlightGroups(TodoTask::Id());
    m_dragging = false;
    m_mayDrag = false;
    registry->unregisterDrag(id);
}

std::shared_ptr<DragGroup> TaskListWidget::_acceptedDrag(const QMimeData* mime) const
{
    // Found tasks and views keep their own order.
    auto data = DragRegistry::instance()->findDrag(mime);
    if (!data || data->kind != DragGroup::Tasks || m_showingFound)
        return nullptr;
    return data;
}

void TaskListWidget::dragEnterEvent(QDragEnterEvent* event)
{
    dragMoveEvent(event);
}

void TaskListWidget::dragMoveEvent(QDragMoveEvent* event)
{
    // Enter and move share the rules: only this program's task drags, and the marker follows.
    if (!_acceptedDrag(event->mimeData())) {
        event->ignore();
        return;
    }
    updateDropIndicator(event->position().toPoint());
    event->acceptProposedAction();
}

void TaskListWidget::dragLeaveEvent(QDragLeaveEvent*)
{
    m_dropIndex = -1;
    viewport()->update();
}

void TaskListWidget::updateDropIndicator(const QPoint& point)
{
    const int i = rowAt(point);
    int index = m_dropIndex;
    bool before = m_dropBefore;
    if (i >= 0) {
        index = i;
        before = true;
    } else if (!m_records.isEmpty()) {
        const int last = static_cast<int>(m_records.size()) - 1;
        if (point.y() + verticalScrollBar()->value() >= _rowTop(last) + _rowHeight(last)) {
            index = last;
            before = false;
        }
    }
    if (index != m_dropIndex || before != m_dropBefore) {
        m_dropIndex = index;
        m_dropBefore = before;
        viewport()->update();
    }
}

void TaskListWidget::dropEvent(QDropEvent* event)
{
    const int index = m_dropIndex;
    const bool before = m_dropBefore;
    m_dropIndex = -1;
    viewport()->update();
    const auto data = _acceptedDrag(event->mimeData());
    // Rows only reorder within the group they were dragged from.
    if (!data || index < 0 || index >= m_records.size() || !data->tasks.contains(m_groupId)) {
        event->ignore();
        return;
    }
    int anchorIndex = index;
    if (m_records.at(anchorIndex).selected) {
        anchorIndex = -1;
        for (int k = index + 1; k < m_records.size() && anchorIndex < 0; ++k) {
            if (!m_records.at(k).selected)
                anchorIndex = k;
        }
        for (int k = index - 1; k >= 0 && anchorIndex < 0; --k) {
            if (!m_records.at(k).selected)
                anchorIndex = k;
        }
        if (anchorIndex < 0) {
            event->ignore();
            return;
        }
    }
    const TodoTask::Id anchorId = m_records.at(anchorIndex).id;
    const TodoTask::Id editedId = m_editedRow ? m_editedRow->taskId() : TodoTask::Id();
    QList<RowRecord> moved;
    QList<RowRecord> others;
    others.reserve(m_records.size());
    for (const RowRecord& record : std::as_const(m_records))
        (record.selected ? moved : others).append(record);
    int at = 0;
    while (others.at(at).id != anchorId)
        ++at;
    at += before ? 0 : 1;
    m_records = others.mid(0, at) + moved + others.mid(at);
    {
        UserStep step(tr("Reorder"));
        m_group.reorderTasks(anchorId, before, data->tasks.value(m_groupId));
    }
    m_current = moved.isEmpty() ? -1 : _indexOf(moved.last().id);
    m_editedIndex = m_editedRow ? _indexOf(editedId) : -1;
    _layoutRows();
    _selectionChanged();
    data->resultAction = DragGroup::Reordered;
    event->setDropAction(Qt::MoveAction);
    event->accept();
}

void TaskListWidget::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::LanguageChange && m_hint)
        m_hint->setHintText(GroupHintWidget::hintText(m_groupId));
    // Another font or style gives rows another height: they are made afresh.
    if (event->type() == QEvent::FontChange || event->type() == QEvent::StyleChange) {
        _dropWidgets(true);
        m_closedHeight = 0;
        _layoutRows();
    }
    // The fixed groups' names follow the language.
    if (event->type() == QEvent::LanguageChange && m_view) {
        _showViewRows();
    } else if (event->type() == QEvent::LanguageChange && m_showingFound) {
        QList<FoundTask> found;
        for (const RowRecord& record : std::as_const(m_records))
            found.append(FoundTask{record.id, record.group});
        showFound(found);
    }
    QScrollArea::changeEvent(event);
}
