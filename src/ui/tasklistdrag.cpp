// The task list's drag and drop: dragging selected rows out (to groups or other programs), and
// reordering them by dropping them between rows, with the marker painted in the gap.

#include "ui/tasklistwidget.h"

#include "store/taskstorage.h"
#include "ui/dragregistry.h"
#include "ui/userstep.h"
#include "widgets/colorscheme.h"

#include <QApplication>
#include <QDrag>
#include <QMimeData>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QScrollBar>

// Dragging rows out

void TaskListWidget::mouseMoveEvent(QMouseEvent* event)
{
    if (!m_mayDrag || m_dragging || m_selectedCount == 0)
        return;
    if ((event->position().toPoint() - m_pressPos).manhattanLength() < QApplication::startDragDistance())
        return;
    _startDrag();
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
    const auto storage = _store();
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

// Dropping rows in

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
