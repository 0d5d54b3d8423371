// The task list's mouse clicks and keys: what a click, a Shift or Ctrl click, a double click and
// each key do to the selection, the editor and the tasks.

#include "ui/tasklistwidget.h"

#include "store/taskstorage.h"
#include "ui/userstep.h"

#include <QKeyEvent>
#include <QMouseEvent>

// Mouse

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

// Keys

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
            const auto storage = _store();
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
