#pragma once

#include "core/duetasks.h"
#include "store/focusgroup.h"
#include "store/todotask.h"
#include "ui/countwidget.h"

#include <QByteArray>
#include <QLabel>
#include <QPointer>
#include <QWidget>

class QMimeData;

/// One row of the group panel: the group's icon, its name cut to fit, and the counters of
/// its open tasks. Tasks dropped on it move there (with Shift: are listed there too); a group
/// dropped on it takes its place; iCalendar files dropped on it are imported into its group.
/// A row may show a view (Today, Upcoming) instead: its one counter is the view's number of
/// tasks, and it takes no drops.
class FocusGroupWidget : public QWidget
{
    Q_OBJECT
public:
    enum Flag { Selected = 1, DragOver = 4, Hovered = 8, Highlighted = 16, FocusMarked = 32 };

    explicit FocusGroupWidget(const FocusGroup::Id& groupId, QWidget* parent = nullptr);
    /// The row of a view, counting the tasks `dueTasks` has for it.
    FocusGroupWidget(DueTasks::View view, DueTasks* dueTasks, QWidget* parent = nullptr);

    bool isView() const { return m_isView; }
    /// For the row of a view: where its count comes from.
    void setDueTasks(DueTasks* dueTasks);

    const FocusGroup::Id& groupId() const { return m_groupId; }
    const FocusGroup& group() const { return m_group; }
    int flags() const { return m_flags; }

    void setSelected(bool selected);
    bool isSelected() const { return m_flags & Selected; }
    void setHighlighted(bool highlighted);
    bool isHighlighted() const { return m_flags & Highlighted; }
    /// Marks the row as the keyboard's current one while the panel has the focus.
    void setFocusMarked(bool marked);
    /// Renames the group and changes its icon in the store.
    void setGroupInfo(const QString& name, const QString& iconKey);
    void updateCounts();

    QLabel* nameLabel() const { return m_name; }
    QLabel* iconLabel() const { return m_icon; }
    CountWidget* counter() const { return m_counter; }
    /// The width the row needs to show the group's whole name beside counters as wide as
    /// counterWidth.
    int widthForWholeName(int counterWidth) const;
    /// The fill of the row as painted now; invalid when nothing is painted behind it.
    QColor backgroundColor() const;

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    bool event(QEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dragLeaveEvent(QDragLeaveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private Q_SLOTS:
    void _onGroupChanged(const FocusGroup::Id& groupId);
    void _onTaskChanged(const TodoTask::Id& taskId);

private:
    void _build();
    void _showCounts();
    void _announceName();
    void _setFlag(int flag, bool on);
    void _updateIcon();
    void _elideName();
    bool _accepts(const QMimeData* mime) const;
    Qt::DropAction _dropAction(const QMimeData* mime) const;

    FocusGroup::Id m_groupId;
    FocusGroup m_group;
    int m_flags = 0;
    QPointer<QLabel> m_icon;
    QPointer<QLabel> m_name;
    QPointer<CountWidget> m_counter;
    /// What each task of the group counts as, in the group's order (0 due now, 1 due soon,
    /// 2 other; -1 not counted), so that a change to one task updates the counts without a
    /// pass over all.
    QByteArray m_kinds;
    int m_counts[3] = {0, 0, 0};
    bool m_isView = false;
    DueTasks::View m_view = DueTasks::Today;
    QPointer<DueTasks> m_dueTasks;
};
