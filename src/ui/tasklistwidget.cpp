#include "ui/tasklistwidget.h"

#include "app/identity.h"
#include "app/taskcore.h"
#include "store/taskstorage.h"
#include "ui/dragregistry.h"
#include "ui/toolbaractions.h"
#include "widgets/colorscheme.h"
#include "widgets/focusiconcatalogue.h"
#include "widgets/fancyscrollbar.h"

#include <QAction>
#include <QApplication>
#include <QDrag>
#include <QHash>
#include <QMimeData>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QScrollBar>
#include <QVBoxLayout>

namespace {

std::shared_ptr<TaskStorage> store()
{
    return TaskCore::instance()->storage();
}

} // namespace

TaskListWidget::TaskListWidget(const FocusGroup::Id& groupId, QWidget* parent)
    : QScrollArea(parent)
{
    setObjectName(QStringLiteral("taskList"));
    setAcceptDrops(true);
    viewport()->setAcceptDrops(true);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAutoFillBackground(false);
    setFrameStyle(QFrame::NoFrame);
    setFocusPolicy(Qt::StrongFocus);
    setHorizontalScrollBar(new FancyScrollbar(Qt::Horizontal, this));
    setVerticalScrollBar(new FancyScrollbar(Qt::Vertical, this));
    setMouseTracking(true);
    viewport()->setMouseTracking(true);

    m_content = new QWidget;
    m_content->setObjectName(QStringLiteral("taskListContent"));
    QPalette palette = m_content->palette();
    palette.setColor(QPalette::AlternateBase, Qt::transparent);
    m_content->setPalette(palette);
    m_content->setBackgroundRole(QPalette::AlternateBase);
    m_content->setAutoFillBackground(false);
    m_layout = new QVBoxLayout(m_content);
    m_layout->setContentsMargins(7, 7, 7, 7);
    m_layout->setSpacing(1);
    m_layout->addStretch(1);
    setWidgetResizable(true);
    setWidget(m_content);
    viewport()->setAutoFillBackground(false);

    _connectStore();
    setGroup(groupId);
}

void TaskListWidget::_connectStore()
{
    // Queued: the list's own changes have updated its rows by the time the signal arrives, so
    // only changes made elsewhere (another view, an emptied Trash) lead to a resync.
    if (const auto storage = store())
        connect(storage.get(), &TaskStorage::groupChanged, this, &TaskListWidget::_onStoreGroupChanged,
                Qt::QueuedConnection);
}

void TaskListWidget::_clear()
{
    m_group = FocusGroup();
    m_groupId = FocusGroup::Id();
    m_selected.clear();
    m_current = -1;
    m_editedRow = nullptr;
    for (QWidget* block : std::as_const(m_blocks)) {
        m_layout->removeWidget(block);
        block->hide();
        block->deleteLater();
    }
    m_blocks.clear();
    m_rows.clear();
    m_dropIndex = -1;
    _selectionChanged();
}

void TaskListWidget::setGroup(const FocusGroup::Id& groupId)
{
    if (groupId == m_groupId && !m_groupId.isNull())
        return;
    _clear();
    m_groupId = groupId;
    if (const auto storage = store())
        m_group = storage->group(groupId);
    if (m_hint) {
        m_layout->removeWidget(m_hint);
        m_hint->hide();
        m_hint->deleteLater();
        m_hint = nullptr;
    }
    rebuildRows();
    updateHint();
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
    // Rows added to a visible parent are shown one by one, each a new layout pass: quadratic
    // for a large group. Under a hidden parent they all show with it, in one pass.
    const bool visible = m_content->isVisible();
    if (visible)
        m_content->hide();
    // Every new widget posts events, and posting scans the whole queue: delivering them in
    // batches keeps the queue short and the build linear.
    m_building = true;
    int count = 0;
    for (const TodoTask::Id& id : m_group.taskIds()) {
        addRow(id, false);
        if (++count % 64 == 0)
            QCoreApplication::sendPostedEvents();
    }
    m_building = false;
    // Given its full height before it shows, the layout places the rows where they belong,
    // and only those in sight are painted. Squeezed into the old height, every row would
    // overlap the view and be painted with all the others.
    // The width is the one left once the vertical scroll bar shows: resizing every visible row
    // when it appears would repaint them all.
    const int height = m_content->sizeHint().height();
    int width = viewport()->width();
    if (height > viewport()->height() && !verticalScrollBar()->isVisible())
        width -= verticalScrollBar()->sizeHint().width();
    m_content->resize(width, qMax(viewport()->height(), height));
    if (visible)
        m_content->show();
}

void TaskListWidget::addRow(const TodoTask::Id& taskId, bool openEditor)
{
    if (taskId.isNull())
        return;
    QWidget* block = m_blocks.isEmpty() ? nullptr : m_blocks.last();
    if (!block || block->layout()->count() >= BlockRows)
        block = _appendBlock();
    auto* row = new TaskWidget(taskId, this, block);
    // Until the layout places it, a new row would sit over the visible rows and be repainted
    // with all of them: out of sight it costs nothing.
    row->move(-100000, -100000);
    m_rows.append(row);
    static_cast<QVBoxLayout*>(block->layout())->addWidget(row);
    if (openEditor)
        setEditing(static_cast<int>(m_rows.size()) - 1);
}

QWidget* TaskListWidget::_appendBlock()
{
    auto* block = new QWidget(m_content);
    block->setObjectName(QStringLiteral("taskBlock"));
    auto* layout = new QVBoxLayout(block);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(m_layout->spacing());
    m_blocks.append(block);
    m_layout->insertWidget(m_layout->count() - 1, block);
    return block;
}

void TaskListWidget::_removeBlock(QWidget* block)
{
    m_blocks.removeOne(block);
    m_layout->removeWidget(block);
    block->hide();
    block->deleteLater();
}

TaskWidget* TaskListWidget::_makeRow(const TodoTask::Id& taskId)
{
    auto* row = new TaskWidget(taskId, this, m_content);
    row->move(-100000, -100000);
    return row;
}

void TaskListWidget::_placeRows()
{
    // Puts m_rows into the blocks in order, BlockRows to a block, moving only what is out of
    // place.
    const int count = static_cast<int>(m_rows.size());
    const int needed = (count + BlockRows - 1) / BlockRows;
    while (m_blocks.size() < needed)
        _appendBlock();
    for (int b = 0; b < needed; ++b) {
        QWidget* block = m_blocks.at(b);
        auto* layout = static_cast<QVBoxLayout*>(block->layout());
        for (int i = 0; i < BlockRows && b * BlockRows + i < count; ++i) {
            TaskWidget* row = m_rows.at(b * BlockRows + i);
            QLayoutItem* item = layout->itemAt(i);
            if (item && item->widget() == row)
                continue;
            if (QWidget* holder = row->parentWidget()) {
                if (holder->layout())
                    holder->layout()->removeWidget(row);
            }
            layout->insertWidget(i, row);
            if (block->isVisible())
                row->show();
        }
    }
    while (m_blocks.size() > needed)
        _removeBlock(m_blocks.last());
}

QRect TaskListWidget::_rowRect(const TaskWidget* row) const
{
    return QRect(row->mapTo(m_content, QPoint(0, 0)), row->size());
}

void TaskListWidget::_removeRow(TaskWidget* row)
{
    m_selected.remove(row);
    const qsizetype index = m_rows.indexOf(row);
    if (index >= 0) {
        m_rows.removeAt(index);
        if (m_current >= m_rows.size())
            m_current = static_cast<int>(m_rows.size()) - 1;
    }
    if (m_editedRow == row)
        m_editedRow = nullptr;
    QWidget* block = row->parentWidget();
    if (block && block->layout())
        block->layout()->removeWidget(row);
    row->hide();
    row->deleteLater();
    if (block && m_blocks.contains(block) && block->layout()->count() == 0)
        _removeBlock(block);
}

QList<int> TaskListWidget::selectedIndexes() const
{
    QList<int> indexes;
    for (int i = 0; i < m_rows.size(); ++i) {
        if (m_selected.contains(m_rows.at(i)))
            indexes.append(i);
    }
    return indexes;
}

int TaskListWidget::rowAt(const QPoint& point) const
{
    const QPoint p = point + QPoint(horizontalScrollBar()->value(), verticalScrollBar()->value());
    int offset = 0;
    for (QWidget* block : m_blocks) {
        const int rows = block->layout()->count();
        if (block->geometry().contains(p)) {
            const QPoint inBlock = p - block->pos();
            for (int i = 0; i < rows; ++i) {
                if (block->layout()->itemAt(i)->widget()->geometry().contains(inBlock))
                    return offset + i;
            }
            return -1;
        }
        offset += rows;
    }
    return -1;
}

void TaskListWidget::_updateFocusMark()
{
    TaskWidget* marked = hasFocus() && !m_editedRow ? row(m_current) : nullptr;
    if (m_focusMarked && m_focusMarked != marked)
        m_focusMarked->setFocusMarked(false);
    m_focusMarked = marked;
    if (marked)
        marked->setFocusMarked(true);
}

void TaskListWidget::focusInEvent(QFocusEvent* event)
{
    QScrollArea::focusInEvent(event);
    _updateFocusMark();
}

void TaskListWidget::focusOutEvent(QFocusEvent* event)
{
    QScrollArea::focusOutEvent(event);
    _updateFocusMark();
}

void TaskListWidget::_selectionChanged()
{
    _updateFocusMark();
    editTaskAction()->setEnabled(m_current >= 0);
}

void TaskListWidget::select(int index)
{
    if (index < 0 || index >= m_rows.size())
        return;
    m_current = index;
    TaskWidget* row = m_rows.at(index);
    if (!m_selected.contains(row)) {
        m_selected.insert(row);
        row->setSelected(true);
    }
    _selectionChanged();
}

void TaskListWidget::clearSelection()
{
    for (TaskWidget* row : std::as_const(m_selected))
        row->setSelected(false);
    m_selected.clear();
    m_current = -1;
    _selectionChanged();
}

void TaskListWidget::setEditing(int index)
{
    if (index != -1 && (index < 0 || index >= m_rows.size()))
        return;
    TaskWidget* row = index == -1 ? nullptr : m_rows.at(index);
    if (row == m_editedRow)
        return;
    if (m_editedRow)
        finishEditing(m_editedRow, false);
    m_editedRow = row;
    if (!row)
        return;
    // Closing the other editor may have dropped an empty new row above this one.
    index = static_cast<int>(m_rows.indexOf(row));
    clearSelection();
    select(index);
    row->setEditMode(true);
    ensureRowVisible(row);
}

void TaskListWidget::finishEditing(TaskWidget* row, bool byReturn)
{
    if (!m_editedRow)
        return;
    TaskWidget* open = m_editedRow;
    Q_UNUSED(row);
    open->setEditMode(false);
    m_editedRow = nullptr;
    m_returnConsumed = byReturn;
    if (open->createdByNew()) {
        open->setCreatedByNew(false);
        if (open->task().isEmpty()) {
            // Created by New and left empty: gone for good, without a trip through Trash.
            const TodoTask::Id taskId = open->taskId();
            _removeRow(open);
            m_group.removeTask(taskId, true);
            // No row is current any more: Return and Edit must not open another one.
            clearSelection();
        }
        updateHint();
    }
    setFocus();
}

void TaskListWidget::ensureRowVisible(TaskWidget* row)
{
    QPointer<TaskWidget> guard(row);
    QCoreApplication::processEvents();
    // A row's new height travels up through its block and the content before the rows below
    // it move: settle every level before looking at geometry.
    for (int level = 0; level < 3; ++level)
        QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
    if (guard)
        ensureWidgetVisible(guard, m_layout->contentsMargins().left(), m_layout->contentsMargins().bottom());
}

void TaskListWidget::newTask()
{
    if (m_groupId.isNull())
        return;
    const auto storage = store();
    if (!storage)
        return;
    const TodoTask::Id id = storage->createTask(m_groupId);
    if (id.isNull())
        return;
    m_group = storage->group(m_groupId);
    updateHint();
    addRow(id, true);
    if (TaskWidget* last = m_rows.isEmpty() ? nullptr : m_rows.last()) {
        last->setCreatedByNew(true);
        ensureRowVisible(last);
    }
}

void TaskListWidget::editSelected()
{
    if (m_current >= 0 && m_current < m_rows.size())
        setEditing(m_current);
}

void TaskListWidget::cleanup()
{
    if (m_rows.isEmpty())
        return;
    if (m_editedRow)
        finishEditing(m_editedRow, false);
    // Completed tasks reach Completed in the order they had here.
    QList<TaskWidget*> done;
    for (TaskWidget* row : std::as_const(m_rows)) {
        if (row->task().completed())
            done.append(row);
    }
    for (TaskWidget* row : std::as_const(done))
        m_group.moveTaskTo(row->taskId(), FocusGroup::completedId());
    for (qsizetype i = m_rows.size() - 1; i >= 0; --i) {
        TaskWidget* row = m_rows.at(i);
        if (done.contains(row)) {
            _removeRow(row);
        } else if (row->task().isEmpty()) {
            m_group.removeTask(row->taskId(), false);
            _removeRow(row);
        }
    }
    _selectionChanged();
    updateHint();
}

void TaskListWidget::deleteSelected()
{
    const QList<int> indexes = selectedIndexes();
    for (int index : indexes) {
        TaskWidget* row = m_rows.at(index);
        m_group.removeTask(row->taskId(), false);
    }
    for (qsizetype i = indexes.size() - 1; i >= 0; --i)
        _removeRow(m_rows.at(indexes.at(i)));
    clearSelection();
    updateHint();
}

void TaskListWidget::updateHint()
{
    if (m_group.taskIds().isEmpty() && !m_hint) {
        if (m_groupId.isNull())
            return;
        m_hint = new GroupHintWidget(focusGroupIcon(m_group.id(), m_group.iconKey(), true),
                                     GroupHintWidget::hintText(m_groupId), m_content);
        connect(m_hint, &GroupHintWidget::headStart, this, &TaskListWidget::_onHeadStart, Qt::QueuedConnection);
        m_layout->insertWidget(0, m_hint, 2, Qt::AlignCenter);
        m_hint->show();
    } else if (!m_group.taskIds().isEmpty() && m_hint) {
        m_hint->hide();
        m_layout->removeWidget(m_hint);
        m_hint->deleteLater();
        m_hint = nullptr;
    }
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
    addRow(id, false);
}

void TaskListWidget::_onHeadStart(const QString&)
{
    if (m_groupId != FocusGroup::inboxId())
        return;
    addPredefinedTask(tr("Submit your ideas on features, any likes and dislikes"),
                      tr("Visit %1 to submit ideas").arg(webSiteUrl()));
    addPredefinedTask(tr("Create a focus group"),
                      tr("Right-click anywhere on the left panel and select \"Add group\" menu."));
    addPredefinedTask(tr("Support the team and development"),
                      tr("Visit %1 and make a donation to support the team if you like the software.").arg(donateUrl()));
    addPredefinedTask(tr("Have a coffee :)"), QString());
    updateHint();
    if (!m_rows.isEmpty())
        ensureRowVisible(m_rows.last());
}

void TaskListWidget::_onStoreGroupChanged(const FocusGroup::Id& groupId)
{
    if (groupId != m_groupId || m_groupId.isNull() || m_dragging || m_building)
        return;
    const auto storage = store();
    if (!storage)
        return;
    const FocusGroup fresh = storage->group(m_groupId);
    QList<TodoTask::Id> shown;
    shown.reserve(m_rows.size());
    for (TaskWidget* row : std::as_const(m_rows))
        shown.append(row->taskId());
    m_group = fresh;
    if (shown == fresh.taskIds())
        return;

    // Another view changed this group: keep the rows whose tasks stayed (an open editor
    // too), drop the others, add rows for new tasks, in the store's order.
    QHash<TodoTask::Id, TaskWidget*> byId;
    for (TaskWidget* row : std::as_const(m_rows))
        byId.insert(row->taskId(), row);
    TaskWidget* currentRow = row(m_current);
    QList<TaskWidget*> ordered;
    for (const TodoTask::Id& id : fresh.taskIds()) {
        TaskWidget* row = byId.take(id);
        if (!row)
            row = _makeRow(id);
        ordered.append(row);
    }
    for (TaskWidget* gone : std::as_const(byId))
        _removeRow(gone);
    m_rows = ordered;
    _placeRows();
    m_current = currentRow ? static_cast<int>(m_rows.indexOf(currentRow)) : -1;
    _selectionChanged();
    updateHint();
}

void TaskListWidget::paintEvent(QPaintEvent*)
{
    QPainter painter(viewport());
    painter.fillRect(viewport()->rect(), Qt::white);
    TaskWidget* marked = row(m_dropIndex);
    if (!marked)
        return;
    const QPoint scroll(horizontalScrollBar()->value(), verticalScrollBar()->value());
    // Half a pixel down and right: the one-pixel line then covers whole pixels and stays crisp.
    const QPoint position = _rowRect(marked).topLeft();
    const QPointF p = QPointF((m_dropBefore ? position : position + QPoint(0, marked->height() + 2)) - scroll)
        + QPointF(0.5, 0.5);
    painter.setRenderHint(QPainter::Antialiasing);
    const QColor accent = schemeColor(ColorScheme::Accent);
    painter.setPen(QPen(accent, 1, Qt::SolidLine, Qt::SquareCap, Qt::BevelJoin));
    painter.setBrush(accent);
    QPainterPath path;
    path.moveTo(p + QPointF(1, -1));
    path.lineTo(path.currentPosition() + QPointF(-5, -3));
    path.lineTo(path.currentPosition() + QPointF(0, 6));
    path.lineTo(path.currentPosition() + QPointF(5, -3));
    path.lineTo(p + QPointF(marked->width() - 1, -1));
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
    TaskWidget* pressed = row(rowAt(point));
    setEditing(-1);
    // Closing the editor may have dropped an empty new row: find the pressed row again.
    const int i = pressed ? static_cast<int>(m_rows.indexOf(pressed)) : -1;
    const Qt::KeyboardModifiers mods = event->modifiers();
    const bool ctrl = mods & Qt::ControlModifier;
    const bool shift = mods & Qt::ShiftModifier;
    if (i < 0) {
        if (!ctrl && !shift)
            clearSelection();
        return;
    }
    if (!ctrl && !shift && !m_rows.at(i)->isSelected())
        clearSelection();
    if (shift) {
        if (m_current < 0) {
            select(i);
        } else {
            const int anchor = m_current;
            clearSelection();
            select(anchor);
            for (int k = anchor + 1; k <= i; ++k)
                select(k);
            for (int k = i; k <= anchor - 1; ++k)
                select(k);
            m_current = anchor;
            _selectionChanged();
        }
    } else if (m_rows.at(i) != m_editedRow) {
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
    if (i >= 0 && m_rows.at(i) != m_editedRow) {
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
    if (!m_mayDrag || m_dragging || m_selected.isEmpty())
        return;
    if ((event->position().toPoint() - m_pressPos).manhattanLength() < QApplication::startDragDistance())
        return;
    _startDrag();
}

void TaskListWidget::_moveCurrentTo(int target, bool extend)
{
    if (m_editedRow || m_rows.isEmpty())
        return;
    target = qBound(0, target, static_cast<int>(m_rows.size()) - 1);
    if (!extend)
        clearSelection();
    // Extending selects every row between the current one and the target.
    if (extend && m_current >= 0) {
        const int step = target > m_current ? 1 : -1;
        for (int i = m_current; i != target; i += step)
            select(i);
    }
    select(target);
    ensureRowVisible(m_rows.at(target));
}

int TaskListWidget::_rowsPerPage() const
{
    const int rowHeight = m_rows.isEmpty() ? 0 : m_rows.first()->height() + m_layout->spacing();
    return rowHeight > 0 ? qMax(1, viewport()->height() / rowHeight) : 1;
}

void TaskListWidget::keyPressEvent(QKeyEvent* event)
{
    const bool shift = event->modifiers() & Qt::ShiftModifier;
    const int last = static_cast<int>(m_rows.size()) - 1;
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
        if (!m_editedRow && !m_selected.isEmpty())
            deleteSelected();
        return;
    case Qt::Key_Space:
        // Completes the selected tasks, or reopens them when the current one is completed.
        if (!m_editedRow && row(m_current)) {
            const bool done = !row(m_current)->task().completed();
            for (TaskWidget* selected : std::as_const(m_rows)) {
                if (m_selected.contains(selected))
                    selected->setCompleted(done);
            }
        }
        return;
    case Qt::Key_A:
        if (event->modifiers() & Qt::ControlModifier) {
            for (TaskWidget* row : std::as_const(m_rows)) {
                m_selected.insert(row);
                row->setSelected(true);
            }
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
    QList<TaskWidget*> dragged;
    QList<TodoTask> tasks;
    for (TaskWidget* row : std::as_const(m_rows)) {
        if (!m_selected.contains(row))
            continue;
        dragged.append(row);
        tasks.append(storage->task(row->taskId()));
        data->tasks[m_groupId].append(row->taskId());
    }
    if (dragged.isEmpty())
        return;
    data->copy = (QApplication::keyboardModifiers() & Qt::ShiftModifier) && m_groupId != FocusGroup::trashId()
        && m_groupId != FocusGroup::completedId();

    DragRegistry* registry = DragRegistry::instance();
    const int id = registry->registerDrag(data);
    auto* mime = new QMimeData;
    mime->setText(dragText(tasks));
    mime->setData(QLatin1String(DragRegistry::MimeType), DragRegistry::payload(id));

    auto* drag = new QDrag(this);
    drag->setMimeData(mime);
    drag->setPixmap(dragPixmap(dragged));
    // The picture hangs below and to the right of the pointer, so the row or group under the
    // pointer stays in sight.
    drag->setHotSpot(QPoint(-16, -12));

    m_dragging = true;
    for (const TodoTask& task : std::as_const(tasks))
        Q_EMIT highlightGroups(task.id());
    const Qt::DropAction action =
        drag->exec(Qt::MoveAction | Qt::CopyAction, data->copy ? Qt::CopyAction : Qt::MoveAction);
    if (action == Qt::MoveAction && data->resultAction == DragGroup::Moved) {
        for (TaskWidget* row : std::as_const(dragged)) {
            if (m_rows.contains(row))
                _removeRow(row);
        }
        m_selected.clear();
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
    auto data = DragRegistry::instance()->findDrag(mime);
    if (!data || data->kind != DragGroup::Tasks)
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
    } else if (!m_rows.isEmpty()) {
        const QPoint content = point + QPoint(horizontalScrollBar()->value(), verticalScrollBar()->value());
        if (content.y() > _rowRect(m_rows.last()).bottom()) {
            index = static_cast<int>(m_rows.size()) - 1;
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
    if (!data || index < 0 || index >= m_rows.size() || !data->tasks.contains(m_groupId)) {
        event->ignore();
        return;
    }
    int anchorIndex = index;
    if (m_rows.at(anchorIndex)->isSelected()) {
        anchorIndex = -1;
        for (int k = index + 1; k < m_rows.size() && anchorIndex < 0; ++k) {
            if (!m_rows.at(k)->isSelected())
                anchorIndex = k;
        }
        for (int k = index - 1; k >= 0 && anchorIndex < 0; --k) {
            if (!m_rows.at(k)->isSelected())
                anchorIndex = k;
        }
        if (anchorIndex < 0) {
            event->ignore();
            return;
        }
    }
    TaskWidget* anchor = m_rows.at(anchorIndex);
    QList<TaskWidget*> moved;
    for (TaskWidget* row : std::as_const(m_rows)) {
        if (m_selected.contains(row))
            moved.append(row);
    }
    for (TaskWidget* row : std::as_const(moved))
        m_rows.removeOne(row);
    int at = static_cast<int>(m_rows.indexOf(anchor)) + (before ? 0 : 1);
    for (TaskWidget* row : std::as_const(moved))
        m_rows.insert(at++, row);
    _placeRows();
    m_group.reorderTasks(anchor->taskId(), before, data->tasks.value(m_groupId));
    m_current = m_selected.isEmpty() ? -1 : static_cast<int>(m_rows.indexOf(moved.last()));
    _selectionChanged();
    data->resultAction = DragGroup::Reordered;
    event->setDropAction(Qt::MoveAction);
    event->accept();
}

void TaskListWidget::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::LanguageChange && m_hint)
        m_hint->setHintText(GroupHintWidget::hintText(m_groupId));
    QScrollArea::changeEvent(event);
}
