// The task list's virtual layout: row widgets exist only for the rows in or near the view (and
// the open editor), are placed by arithmetic on one closed-row height and are reused as the
// view scrolls.

#include "ui/tasklistwidget.h"

#include <QEvent>
#include <QScrollBar>
#include <QSet>

namespace {

/// Rows built beyond each edge of the view, so that a small scroll rebinds nothing.
constexpr int Overscan = 4;
/// Row widgets kept hidden for reuse when the view holds fewer rows than before.
constexpr int SpareRows = 8;

} // namespace

// Row widgets

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

QRect TaskListWidget::rowRect(int index) const
{
    if (index < 0 || index >= m_records.size())
        return QRect();
    return QRect(Margin, _rowTop(index) - verticalScrollBar()->value(), _rowWidth(), _rowHeight(index));
}

int TaskListWidget::rowAt(const QPoint& point) const
{
    const QPoint p = point + QPoint(horizontalScrollBar()->value(), verticalScrollBar()->value());
    if (p.x() < Margin || p.x() >= Margin + _rowWidth())
        return -1;
    return _indexAtY(p.y(), true);
}

int TaskListWidget::_rowsPerPage() const
{
    const int pitch = m_closedHeight + Spacing;
    return m_closedHeight > 0 ? qMax(1, viewport()->height() / pitch) : 1;
}

// Placing the rows

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
