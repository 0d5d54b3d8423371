#pragma once

#include "store/focusgroup.h"
#include "store/todotask.h"
#include "ui/accessibleevents.h"
#include "ui/focusgroupwidget.h"

#include <QList>
#include <QPointer>
#include <QScrollArea>

#include <QMenu>
class DueTasks;
class QVBoxLayout;

/// The group panel: the Today and Upcoming views at the top, then Inbox, the user's groups,
/// Completed and Trash at the bottom. Selecting a row shows its group or view; the panel adds,
/// edits, removes and reorders groups, empties the Trash and starts the export.
class FocusGroupListWidget : public QScrollArea
{
    Q_OBJECT
public:
    explicit FocusGroupListWidget(QWidget* parent = nullptr);

    void selectGroup(const FocusGroup::Id& groupId);
    /// Makes the rows of the user groups afresh from the store (after an undo); the selected
    /// group stays selected while it exists, else the Inbox is.
    void rebuildUserRows();
    FocusGroup::Id currentGroup() const { return m_currentId; }
    /// The row of a group, or null.
    FocusGroupWidget* rowOf(const FocusGroup::Id& groupId) const;
    /// The rows in display order.
    QList<FocusGroupWidget*> rowsInOrder() const;
    /// The row under a point of the viewport, or null.
    FocusGroupWidget* rowAtPoint(const QPoint& point) const;
    /// Builds the context menu for a point of the viewport, as a right click there would.
    QMenu* buildContextMenu(const QPoint& point);
    QMenu* contextMenu() const { return m_menu; }
    /// The panel width at which Inbox, Completed and Trash show their whole names beside two
    /// two-digit counters, as a busy day gives them, in the interface's language.
    int widthForFixedGroups() const;
    /// What the rows of the views count (the panel's own unless set).
    DueTasks* dueTasks() const { return m_dueTasks; }
    void setDueTasks(DueTasks* dueTasks);

Q_SIGNALS:
    /// The selected group changed.
    void activated(const FocusGroup::Id& groupId);
    /// A group's name or icon was edited.
    void changed(const FocusGroup::Id& groupId);
    /// Return was pressed on the selected group: its tasks are wanted.
    void opened(const FocusGroup::Id& groupId);

public Q_SLOTS:
    void _onHighlightGroups(const TodoTask::Id& taskId);

private Q_SLOTS:
    void _onAddGroup();
    void _onEditGroup();
    void _onRemoveGroup();
    void _onEmptyTrash();
    void _onExport();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    FocusGroupWidget* addGroupRow(const FocusGroup::Id& groupId);
    /// A row of a group of the user's (not a view): it can be edited, removed and moved.
    static bool isUserRow(const FocusGroupWidget* row);
    void ensureGroupVisible(FocusGroupWidget* row);
    void _startDrag(FocusGroupWidget* row);
    void _updateFocusMark();
    void _showKeyboardMenu();
    /// The display index of the selected row while the panel has the keyboard, else -1.
    int _focusedIndex() const;

    QList<FocusGroupWidget*> m_rows;
    int m_current = -1;
    FocusGroup::Id m_currentId;
    QPointer<FocusGroupWidget> m_contextRow;
    QPointer<QMenu> m_menu;
    bool m_mayDrag = false;
    bool m_dragging = false;
    QPoint m_pressPos;
    QWidget* m_content = nullptr;
    QVBoxLayout* m_outer = nullptr;
    QVBoxLayout* m_userLayout = nullptr;
    ListAccessibleEvents m_accessibleEvents;
    QPointer<DueTasks> m_dueTasks;
};
