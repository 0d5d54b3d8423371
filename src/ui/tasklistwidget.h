#pragma once

#include "store/focusgroup.h"
#include "store/taskfinder.h"
#include "ui/accessibleevents.h"
#include "ui/grouphintwidget.h"
#include "ui/taskwidget.h"

#include <QHash>
#include <QList>
#include <QPointer>
#include <QScrollArea>
#include <QSet>

#include <memory>

class DueTasks;
class DueTasksView;
class QVBoxLayout;
class TaskStorage;
struct DragGroup;

/// The tasks of one group as a list of rows: selecting with mouse and keys, editing in place,
/// creating, deleting, cleaning up, reordering by dragging and dragging tasks out to groups.
/// Every task is a plain record (id, selected); row widgets exist only for the rows in or near
/// the view and for the row whose editor is open, and scrolling reuses them. Closed rows share
/// one height, so every position is arithmetic.
class TaskListWidget : public QScrollArea
{
    Q_OBJECT
public:
    explicit TaskListWidget(const FocusGroup::Id& groupId, QWidget* parent = nullptr);

    /// Shows another group, or a view (DueTasks::viewId) as found tasks are shown; nothing
    /// happens when it is already shown.
    void setGroup(const FocusGroup::Id& groupId);
    /// Before a view is shown: what the views show (the list's own, made on first use, unless
    /// set).
    void setDueTasks(DueTasks* dueTasks);
    FocusGroup::Id group() const { return m_groupId; }
    /// Shows found tasks, each with the name of its group, instead of a group: rows that stay
    /// keep their selection. setGroup() ends it.
    void showFound(const QList<FoundTask>& found);
    bool isShowingFound() const { return m_showingFound; }
    QList<TodoTask::Id> selectedTaskIds() const;
    /// Selects the rows of these tasks; `current` becomes the current row and is shown.
    void selectTasks(const QList<TodoTask::Id>& taskIds, const TodoTask::Id& current);
    /// Selects the rows of the tasks the list shows (after the store's latest changes), the
    /// first one current and in view.
    void showTasks(const QList<TodoTask::Id>& taskIds);
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
    /// The key of the open row's edit session (see StoreStep).
    const QString& editStepKey() const { return m_editKey; }
    /// Scrolls the row at `index` into view.
    void ensureIndexVisible(int index);

    /// The index of the row under a point of the viewport, -1 for none (gaps included).
    int rowAt(const QPoint& point) const;
    int rowCount() const { return static_cast<int>(m_records.size()); }
    /// The widget showing the row at `index`; null while the row is out of view.
    TaskWidget* row(int index) const;
    TodoTask::Id taskIdAt(int index) const;
    /// The index of a task's row, -1 when the list does not show the task.
    int indexOfTask(const TodoTask::Id& taskId) const { return _indexOf(taskId); }
    /// The rectangle of the row at `index` in the viewport, whether its widget is built or not.
    QRect rowRect(int index) const;
    /// The name of the group a found task is in; empty while a group is shown.
    QString groupNameAt(int index) const;
    /// Completes or reopens the task of a row, as a click on its check box would.
    void setRowCompleted(int index, bool done);
    bool isRowSelected(int index) const;
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
    bool viewportEvent(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
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
    void _onStoreTaskChanged(const TodoTask::Id& taskId);
    void _showViewRows();

private:
    // The space around the rows and between them: every source file of the list places rows by it.
    static constexpr int Margin = 7;
    static constexpr int Spacing = 1;

    struct RowRecord
    {
        TodoTask::Id id;
        bool selected = false;
        /// The group the row's task is in: the shown group, or for a found task its own.
        FocusGroup::Id group;
    };

    void _clear();
    void _resync();
    /// Makes `target` (kept within the rows) the current row and shows it; with `extend` the
    /// selection grows instead of being replaced.
    void _moveCurrentTo(int target, bool extend);
    int _rowsPerPage() const;
    void _updateFocusMark();
    void _appendRecord(const TodoTask::Id& taskId);
    void rebuildRows();
    void updateHint();
    void updateDropIndicator(const QPoint& point);
    void addPredefinedTask(const QString& name, const QString& notes);
    /// Drops the records of these tasks and their widgets; the current row follows its task.
    void _removeTasks(const QSet<TodoTask::Id>& taskIds);
    void _setRowSelected(int index, bool selected);
    void _selectionChanged();
    void _startDrag();
    void _connectStore();
    static std::shared_ptr<TaskStorage> _store();
    std::shared_ptr<TaskStorage> _storeWithEditorClosed();
    void _readGroupNames();
    DueTasks* _dueTasks();
    std::shared_ptr<DragGroup> _acceptedDrag(const QMimeData* mime) const;
    int _indexOf(const TodoTask::Id& taskId) const;

    // Geometry, in the content's coordinates.
    int _closedHeight();
    int _rowTop(int index) const;
    int _rowHeight(int index) const;
    int _rowWidth() const;
    int _contentHeight() const;
    /// The row at `y`: -1 in a gap or margin when `exact`, else the nearest row.
    int _indexAtY(int y, bool exact) const;
    /// Places the widgets of the rows in view, reusing those that left it, and sizes the
    /// content.
    void _layoutRows();
    TaskWidget* _widgetFor(int index);
    TaskWidget* _takeSpareWidget(const TodoTask::Id& taskId);
    void _releaseWidget(TaskWidget* widget);
    void _dropWidget(TaskWidget* widget);
    /// Drops every row widget, spare ones too (the open editor's stays with `keepOpenEditor`).
    void _dropWidgets(bool keepOpenEditor);
    void _removeHint();
    /// Shows these rows instead: rows that stay keep their selection and widgets, the current
    /// row and the open editor follow their tasks.
    void _replaceRecords(const QList<FoundTask>& rows);

    FocusGroup::Id m_groupId;
    FocusGroup m_group;
    QList<RowRecord> m_records;
    int m_selectedCount = 0;
    int m_current = -1;
    QHash<TodoTask::Id, TaskWidget*> m_live;
    /// While found tasks show: the shown name of every group.
    QHash<FocusGroup::Id, QString> m_groupNames;
    QList<TaskWidget*> m_spare;
    QPointer<TaskWidget> m_editedRow;
    int m_editedIndex = -1;
    // Joins the edits of one open row into one step of the undo history; a new task's creation
    // takes the key of the row it opens.
    QString m_editKey;
    QString m_pendingEditKey;
    int m_closedHeight = 0;
    bool m_returnConsumed = false;
    bool m_mayDrag = false;
    bool m_dragging = false;
    bool m_resyncQueued = false;
    bool m_showingFound = false;
    int m_layoutDepth = 0;
    QPoint m_pressPos;
    int m_dropIndex = -1;
    bool m_dropBefore = true;
    QPointer<GroupHintWidget> m_hint;
    QPointer<DueTasks> m_dueTasks;
    /// While a view shows.
    QPointer<DueTasksView> m_view;
    QWidget* m_content = nullptr;
    QVBoxLayout* m_layout = nullptr;
    ListAccessibleEvents m_accessibleEvents;
};
