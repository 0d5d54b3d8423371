#pragma once

#include "store/focusgroup.h"
#include "ui/grouphintwidget.h"
#include "ui/taskwidget.h"

#include <QList>
#include <QPointer>
#include <QScrollArea>
#include <QSet>

#include <memory>

class QVBoxLayout;
struct DragGroup;

/// The tasks of one group as a stack of rows: selecting with mouse and keys, editing in place,
/// creating, deleting, cleaning up, reordering by dragging and dragging tasks out to groups.
class TaskListWidget : public QScrollArea
{
    Q_OBJECT
public:
    explicit TaskListWidget(const FocusGroup::Id& groupId, QWidget* parent = nullptr);

    /// Shows another group; nothing happens when it is already shown.
    void setGroup(const FocusGroup::Id& groupId);
    FocusGroup::Id group() const { return m_groupId; }
    /// Re-reads the group record; a shown hint gets the group's current icon.
    void refreshGroupInfo();

    void newTask();
    void editSelected();
    void cleanup();
    void deleteSelected();

    void select(int index);
    void clearSelection();
    void setEditing(int index);
    void finishEditing(TaskWidget* row, bool byReturn);
    void ensureRowVisible(TaskWidget* row);

    /// The index of the row under a point of the viewport, -1 for none (gaps included).
    int rowAt(const QPoint& point) const;
    int rowCount() const { return static_cast<int>(m_rows.size()); }
    TaskWidget* row(int index) const { return index >= 0 && index < m_rows.size() ? m_rows.at(index) : nullptr; }
    int currentIndex() const { return m_current; }
    QList<int> selectedIndexes() const;
    TaskWidget* editedRow() const { return m_editedRow; }
    GroupHintWidget* hint() const { return m_hint; }
    /// The drop marker: the row index (-1 for none) and whether it marks the place before it.
    int dropIndex() const { return m_dropIndex; }
    bool dropBefore() const { return m_dropBefore; }

    /// The picture dragged along with rows: stacked for four rows or more.
    static QPixmap dragPixmap(const QList<TaskWidget*>& rows);
    /// The text of dragged tasks: one line per task.
    static QString dragText(const QList<TodoTask>& tasks);

Q_SIGNALS:
    /// Once per dragged task as a drag starts, then once with a null id when it ends.
    void highlightGroups(const TodoTask::Id& taskId);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dragLeaveEvent(QDragLeaveEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    void changeEvent(QEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private Q_SLOTS:
    void _onHeadStart(const QString& href);
    void _onStoreGroupChanged(const FocusGroup::Id& groupId);

private:
    void _clear();
    /// Makes `target` (kept within the rows) the current row and shows it; with `extend` the
    /// selection grows instead of being replaced.
    void _moveCurrentTo(int target, bool extend);
    int _rowsPerPage() const;
    void _updateFocusMark();
    void addRow(const TodoTask::Id& taskId, bool openEditor);
    void rebuildRows();
    void updateHint();
    void updateDropIndicator(const QPoint& point);
    void addPredefinedTask(const QString& name, const QString& notes);
    void _removeRow(TaskWidget* row);
    TaskWidget* _makeRow(const TodoTask::Id& taskId);
    QWidget* _appendBlock();
    void _removeBlock(QWidget* block);
    void _placeRows();
    QRect _rowRect(const TaskWidget* row) const;
    void _selectionChanged();
    void _startDrag();
    void _connectStore();
    std::shared_ptr<DragGroup> _acceptedDrag(const QMimeData* mime) const;

    FocusGroup::Id m_groupId;
    FocusGroup m_group;
    QList<TaskWidget*> m_rows;
    QSet<TaskWidget*> m_selected;
    int m_current = -1;
    QPointer<TaskWidget> m_editedRow;
    QPointer<TaskWidget> m_focusMarked;
    bool m_returnConsumed = false;
    bool m_mayDrag = false;
    bool m_dragging = false;
    bool m_building = false;
    QPoint m_pressPos;
    int m_dropIndex = -1;
    bool m_dropBefore = true;
    QPointer<GroupHintWidget> m_hint;
    QWidget* m_content = nullptr;
    QVBoxLayout* m_layout = nullptr;
    /// Rows live in blocks of at most BlockRows, in order: the toolkit's cost of painting and
    /// laying out a widget grows with its number of siblings, so thousands of rows side by side
    /// would make a large group slow to show.
    QList<QWidget*> m_blocks;
    static constexpr int BlockRows = 64;
};
