#include "ui/focusgrouplistwidget.h"

#include "ui/groupname.h"

#include "base/identity.h"
#include "core/duetasks.h"
#include "core/taskcore.h"
#include "store/taskstorage.h"
#include "ui/countwidget.h"
#include "ui/dragregistry.h"
#include "ui/editgroupdialog.h"
#include "ui/exportdialog.h"
#include "ui/questionbox.h"
#include "ui/userstep.h"
#include "ui/viewaccessibility.h"
#include "widgets/accessiblenotifier.h"
#include "widgets/colorscheme.h"
#include "widgets/fancyscrollbar.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QDrag>
#include <QMenu>
#include <QMimeData>
#include <QPainter>
#include <QScrollBar>
#include <QVBoxLayout>

namespace {

std::shared_ptr<TaskStorage> store()
{
    return TaskCore::instance()->storage();
}

} // namespace

FocusGroupListWidget::FocusGroupListWidget(QWidget* parent)
    : QScrollArea(parent)
    , m_accessibleEvents(this, [this] { return _focusedIndex(); }, true)
{
    installViewAccessibility();
    setObjectName(QStringLiteral("groupPanel"));
    // Reached with Tab; a click shows the group and hands the keys to its task list.
    setFocusPolicy(Qt::TabFocus);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAutoFillBackground(false);
    setFrameStyle(QFrame::NoFrame);
    setAcceptDrops(true);
    viewport()->setAcceptDrops(true);
    setMouseTracking(true);
    viewport()->setMouseTracking(true);
    viewport()->setAutoFillBackground(false);
    setHorizontalScrollBar(new FancyScrollbar(Qt::Horizontal, this));
    setVerticalScrollBar(new FancyScrollbar(Qt::Vertical, this));
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);

    m_content = new QWidget;
    m_content->setObjectName(QStringLiteral("groupPanelContent"));
    QPalette palette = m_content->palette();
    palette.setColor(QPalette::AlternateBase, Qt::transparent);
    m_content->setPalette(palette);
    m_content->setBackgroundRole(QPalette::AlternateBase);
    m_content->setAutoFillBackground(false);
    m_outer = new QVBoxLayout(m_content);
    m_outer->setContentsMargins(15, 7, 15, 7);
    m_outer->setSpacing(0);
    if (const auto storage = store())
        m_dueTasks = new DueTasks(storage, DueTasks::Clock(), this);
    for (DueTasks::View view : {DueTasks::Today, DueTasks::Upcoming}) {
        auto* row = new FocusGroupWidget(view, m_dueTasks, m_content);
        m_rows.append(row);
        m_outer->addWidget(row);
    }
    m_outer->addSpacing(10);
    m_outer->addWidget(addGroupRow(FocusGroup::inboxId()));
    m_userLayout = new QVBoxLayout;
    m_userLayout->setContentsMargins(0, 10, 0, 10);
    m_userLayout->setSpacing(0);
    m_outer->addLayout(m_userLayout);
    if (const auto storage = store()) {
        for (const FocusGroup::Id& id : storage->groupIds()) {
            if (FocusGroup::isUserGroup(id))
                m_userLayout->addWidget(addGroupRow(id));
        }
    }
    m_outer->addStretch(1);
    m_outer->addWidget(addGroupRow(FocusGroup::completedId()));
    m_outer->addWidget(addGroupRow(FocusGroup::trashId()));
    setWidgetResizable(true);
    setWidget(m_content);
    selectGroup(FocusGroup::inboxId());
}

FocusGroupWidget* FocusGroupListWidget::addGroupRow(const FocusGroup::Id& groupId)
{
    if (groupId.isNull())
        return nullptr;
    auto* row = new FocusGroupWidget(groupId, m_content);
    m_rows.append(row);
    return row;
}

bool FocusGroupListWidget::isUserRow(const FocusGroupWidget* row)
{
    return row && !row->isView() && FocusGroup::isUserGroup(row->groupId());
}

void FocusGroupListWidget::setDueTasks(DueTasks* dueTasks)
{
    if (dueTasks == m_dueTasks)
        return;
    if (m_dueTasks && m_dueTasks->parent() == this)
        m_dueTasks->deleteLater();
    m_dueTasks = dueTasks;
    for (FocusGroupWidget* row : std::as_const(m_rows))
        row->setDueTasks(dueTasks);
}

int FocusGroupListWidget::widthForFixedGroups() const
{
    const FocusGroupWidget* inbox = rowOf(FocusGroup::inboxId());
    CountWidget counters(3);
    counters.setFont(inbox->counter()->font());
    counters.setCount(0, 99);
    counters.setCount(1, 99);
    const int counterWidth = counters.sizeHint().width();
    int widest = 0;
    for (const FocusGroup::Id& id : {DueTasks::viewId(DueTasks::Today), DueTasks::viewId(DueTasks::Upcoming),
                                     FocusGroup::inboxId(), FocusGroup::completedId(), FocusGroup::trashId()})
        widest = qMax(widest, rowOf(id)->widthForWholeName(counterWidth));
    const QMargins margins = m_outer->contentsMargins();
    return margins.left() + widest + margins.right() + 2 * frameWidth();
}

FocusGroupWidget* FocusGroupListWidget::rowOf(const FocusGroup::Id& groupId) const
{
    for (FocusGroupWidget* row : m_rows) {
        if (row->groupId() == groupId)
            return row;
    }
    return nullptr;
}

QList<FocusGroupWidget*> FocusGroupListWidget::rowsInOrder() const
{
    // The layouts hold the display order, also before they have placed a new row.
    QList<FocusGroupWidget*> ordered;
    for (int i = 0; i < m_outer->count(); ++i) {
        QLayoutItem* item = m_outer->itemAt(i);
        if (item->layout() == m_userLayout) {
            for (int k = 0; k < m_userLayout->count(); ++k) {
                if (auto* row = qobject_cast<FocusGroupWidget*>(m_userLayout->itemAt(k)->widget()))
                    ordered.append(row);
            }
        } else if (auto* row = qobject_cast<FocusGroupWidget*>(item->widget())) {
            ordered.append(row);
        }
    }
    return ordered;
}

int FocusGroupListWidget::_focusedIndex() const
{
    return hasFocus() ? static_cast<int>(rowsInOrder().indexOf(rowOf(m_currentId))) : -1;
}

FocusGroupWidget* FocusGroupListWidget::rowAtPoint(const QPoint& point) const
{
    const QPoint p = point + QPoint(horizontalScrollBar()->value(), verticalScrollBar()->value());
    for (FocusGroupWidget* row : m_rows) {
        if (row->geometry().contains(p))
            return row;
    }
    return nullptr;
}

void FocusGroupListWidget::selectGroup(const FocusGroup::Id& groupId)
{
    if (groupId.isNull() || groupId == m_currentId)
        return;
    if (AccessibleNotifier::isListening()) {
        const QList<FocusGroupWidget*> ordered = rowsInOrder();
        const qsizetype before = ordered.indexOf(rowOf(m_currentId));
        if (before >= 0)
            m_accessibleEvents.noteSelected(static_cast<int>(before), false);
        const qsizetype after = ordered.indexOf(rowOf(groupId));
        if (after >= 0)
            m_accessibleEvents.noteSelected(static_cast<int>(after), true);
    }
    m_currentId = groupId;
    m_current = -1;
    FocusGroupWidget* selected = nullptr;
    for (int i = 0; i < m_rows.size(); ++i) {
        FocusGroupWidget* row = m_rows.at(i);
        row->setSelected(row->groupId() == groupId);
        if (row->groupId() == groupId) {
            m_current = i;
            selected = row;
        }
    }
    _updateFocusMark();
    m_accessibleEvents.flush();
    if (selected)
        ensureGroupVisible(selected);
    Q_EMIT activated(groupId);
}

void FocusGroupListWidget::ensureGroupVisible(FocusGroupWidget* row)
{
    QPointer<FocusGroupWidget> guard(row);
    QCoreApplication::processEvents();
    if (guard)
        ensureWidgetVisible(guard, 15, 7);
}

void FocusGroupListWidget::rebuildUserRows()
{
    const FocusGroup::Id selected = m_currentId;
    m_currentId = FocusGroup::Id();
    for (qsizetype i = m_rows.size() - 1; i >= 0; --i) {
        FocusGroupWidget* row = m_rows.at(i);
        if (!isUserRow(row))
            continue;
        m_rows.removeAt(i);
        m_userLayout->removeWidget(row);
        row->hide();
        row->deleteLater();
    }
    if (const auto storage = store()) {
        for (const FocusGroup::Id& id : storage->groupIds()) {
            if (FocusGroup::isUserGroup(id))
                m_userLayout->addWidget(addGroupRow(id));
        }
    }
    selectGroup(rowOf(selected) ? selected : FocusGroup::inboxId());
}

void FocusGroupListWidget::paintEvent(QPaintEvent*)
{
    QPainter painter(viewport());
    painter.fillRect(viewport()->rect(), schemeColor(ColorScheme::Panel));
}

void FocusGroupListWidget::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton) {
        m_mayDrag = true;
        m_pressPos = event->position().toPoint();
    }
    if (FocusGroupWidget* row = rowAtPoint(event->position().toPoint()))
        selectGroup(row->groupId());
}

void FocusGroupListWidget::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton)
        m_mayDrag = false;
}

void FocusGroupListWidget::mouseDoubleClickEvent(QMouseEvent* event)
{
    FocusGroupWidget* row = rowAtPoint(event->position().toPoint());
    if (!row)
        _onAddGroup();
    else if (isUserRow(row))
        _onEditGroup();
}

void FocusGroupListWidget::mouseMoveEvent(QMouseEvent* event)
{
    if (!m_mayDrag || m_dragging)
        return;
    FocusGroupWidget* row = rowAtPoint(m_pressPos);
    if (!isUserRow(row))
        return;
    if ((event->position().toPoint() - m_pressPos).manhattanLength() < QApplication::startDragDistance())
        return;
    _startDrag(row);
}

void FocusGroupListWidget::_startDrag(FocusGroupWidget* row)
{
    auto data = std::make_shared<DragGroup>();
    data->kind = DragGroup::Group;
    data->groupId = row->groupId();
    DragRegistry* registry = DragRegistry::instance();
    const int id = registry->registerDrag(data);
    auto* mime = new QMimeData;
    mime->setData(QLatin1String(DragRegistry::MimeType), DragRegistry::payload(id));

    const qreal ratio = row->devicePixelRatioF();
    QPixmap pixmap(row->size() * ratio);
    pixmap.setDevicePixelRatio(ratio);
    pixmap.fill(Qt::transparent);
    {
        QPainter painter(&pixmap);
        painter.setOpacity(0.6);
        row->render(&painter, QPoint(), QRegion(), QWidget::DrawWindowBackground | QWidget::DrawChildren);
    }
    auto* drag = new QDrag(this);
    drag->setMimeData(mime);
    drag->setPixmap(pixmap);
    // Below and to the right of the pointer, like a dragged task: the row under it stays visible.
    drag->setHotSpot(QPoint(-16, -12));

    m_dragging = true;
    const Qt::DropAction action = drag->exec(Qt::MoveAction);
    m_dragging = false;
    m_mayDrag = false;
    if (action == Qt::MoveAction)
        rebuildUserRows();
    registry->unregisterDrag(id);
}

void FocusGroupListWidget::keyPressEvent(QKeyEvent* event)
{
    const QList<FocusGroupWidget*> rows = rowsInOrder();
    const int current = static_cast<int>(rows.indexOf(rowOf(m_currentId)));
    int target = -1;
    switch (event->key()) {
    case Qt::Key_Up:
        target = qMax(0, current - 1);
        break;
    case Qt::Key_Down:
        target = current + 1;
        break;
    case Qt::Key_Home:
        target = 0;
        break;
    case Qt::Key_End:
        target = static_cast<int>(rows.size()) - 1;
        break;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        Q_EMIT opened(m_currentId);
        return;
    case Qt::Key_Menu:
        _showKeyboardMenu();
        return;
    case Qt::Key_F10:
        if (event->modifiers() & Qt::ShiftModifier) {
            _showKeyboardMenu();
            return;
        }
        [[fallthrough]];
    default:
        event->ignore();
        return;
    }
    if (target >= 0 && target < rows.size())
        selectGroup(rows.at(target)->groupId());
}

void FocusGroupListWidget::_updateFocusMark()
{
    for (FocusGroupWidget* row : std::as_const(m_rows))
        row->setFocusMarked(hasFocus() && row->groupId() == m_currentId);
}

void FocusGroupListWidget::focusInEvent(QFocusEvent* event)
{
    QScrollArea::focusInEvent(event);
    _updateFocusMark();
    m_accessibleEvents.focusIn();
}

void FocusGroupListWidget::focusOutEvent(QFocusEvent* event)
{
    QScrollArea::focusOutEvent(event);
    _updateFocusMark();
    m_accessibleEvents.forgetFocus();
}

QMenu* FocusGroupListWidget::buildContextMenu(const QPoint& point)
{
    if (m_menu)
        m_menu->deleteLater();
    m_contextRow = rowAtPoint(point);
    // A view is no group: its menu is that of the panel's empty space.
    if (m_contextRow && m_contextRow->isView())
        m_contextRow = nullptr;
    m_menu = new QMenu(this);
    m_menu->setObjectName(QStringLiteral("groupMenu"));
    QAction* edit = m_menu->addAction(tr("Edit"), this, &FocusGroupListWidget::_onEditGroup);
    QFont bold = edit->font();
    bold.setBold(true);
    edit->setFont(bold);
    edit->setObjectName(QStringLiteral("editGroupAction"));
    QAction* add = m_menu->addAction(tr("Add group"), this, &FocusGroupListWidget::_onAddGroup);
    add->setObjectName(QStringLiteral("addGroupAction"));
    QAction* empty = m_menu->addAction(tr("Empty"), this, &FocusGroupListWidget::_onEmptyTrash);
    empty->setObjectName(QStringLiteral("emptyTrashAction"));
    m_menu->addSeparator();
    QAction* remove = m_menu->addAction(tr("Remove"), this, &FocusGroupListWidget::_onRemoveGroup);
    remove->setObjectName(QStringLiteral("removeGroupAction"));
    m_menu->addSeparator();
    QAction* exportAction = m_menu->addAction(tr("Export..."), this, &FocusGroupListWidget::_onExport);
    exportAction->setObjectName(QStringLiteral("exportAction"));

    const FocusGroup::Id id = m_contextRow ? m_contextRow->groupId() : FocusGroup::Id();
    const bool user = m_contextRow && FocusGroup::isUserGroup(id);
    const bool trash = id == FocusGroup::trashId();
    const bool completed = id == FocusGroup::completedId();
    edit->setVisible(user);
    add->setVisible(!trash && !completed);
    empty->setVisible(trash);
    remove->setVisible(user);
    exportAction->setVisible(true);
    if (trash) {
        empty->setText(tr("Empty %1").arg(shownGroupName(m_contextRow->group())));
        empty->setEnabled(!m_contextRow->group().taskIds().isEmpty());
    }
    return m_menu;
}

void FocusGroupListWidget::_showKeyboardMenu()
{
    // From the keyboard: the menu of the selected group, beside it.
    FocusGroupWidget* selected = rowOf(m_currentId);
    if (!selected)
        return;
    const QPoint point =
        selected->geometry().center() - QPoint(horizontalScrollBar()->value(), verticalScrollBar()->value());
    buildContextMenu(point)->popup(viewport()->mapToGlobal(point));
}

void FocusGroupListWidget::contextMenuEvent(QContextMenuEvent* event)
{
    if (event->reason() == QContextMenuEvent::Keyboard) {
        _showKeyboardMenu();
        return;
    }
    buildContextMenu(event->pos())->popup(event->globalPos());
}

void FocusGroupListWidget::_onAddGroup()
{
    EditGroupDialog dialog(this);
    if (dialog.exec() != QDialog::Accepted)
        return;
    const auto storage = store();
    if (!storage)
        return;
    FocusGroup::Id id;
    {
        UserStep step(tr("New group"));
        id = storage->addGroup(dialog.groupName(), dialog.iconKey());
    }
    m_userLayout->addWidget(addGroupRow(id));
    selectGroup(id);
}

void FocusGroupListWidget::_onEditGroup()
{
    FocusGroupWidget* row = rowOf(m_currentId);
    if (!isUserRow(row))
        return;
    EditGroupDialog dialog(row->group().name(), row->group().iconKey(), this);
    if (dialog.exec() != QDialog::Accepted)
        return;
    // The row may have gone while the dialog was open.
    row = rowOf(m_currentId);
    if (!row)
        return;
    {
        UserStep step(tr("Edit group"));
        row->setGroupInfo(dialog.groupName(), dialog.iconKey());
    }
    Q_EMIT changed(row->groupId());
}

void FocusGroupListWidget::_onRemoveGroup()
{
    const FocusGroup::Id id = m_currentId;
    if (!isUserRow(rowOf(id)))
        return;
    if (QuestionBox::ask(this, productName(), tr("Do you really want to remove the selected group?"),
                         QMessageBox::Yes | QMessageBox::No, QMessageBox::No)
        != QMessageBox::Yes)
        return;
    FocusGroupWidget* row = rowOf(id);
    if (!row)
        return;
    m_rows.removeOne(row);
    m_userLayout->removeWidget(row);
    row->hide();
    if (const auto storage = store()) {
        UserStep step(tr("Remove group"));
        storage->removeGroup(id);
    }
    selectGroup(FocusGroup::inboxId());
    row->deleteLater();
}

void FocusGroupListWidget::_onEmptyTrash()
{
    if (QuestionBox::ask(this, productName(),
                         tr("Once your tasks leave the trash group you can't get them back. Continue?"),
                         QMessageBox::Ok | QMessageBox::Cancel, QMessageBox::Cancel)
        != QMessageBox::Ok)
        return;
    if (const auto storage = store()) {
        UserStep step(tr("Empty Trash"));
        storage->emptyTrash();
    }
}

void FocusGroupListWidget::_onExport()
{
    const FocusGroup::Id id = m_contextRow ? m_contextRow->groupId() : FocusGroup::Id();
    m_contextRow = nullptr;
    showExportDialog(window(), id);
}

void FocusGroupListWidget::_onHighlightGroups(const TodoTask::Id& taskId)
{
    for (FocusGroupWidget* row : std::as_const(m_rows))
        row->setHighlighted(!taskId.isNull() && row->group().contains(taskId));
}

void FocusGroupListWidget::dragEnterEvent(QDragEnterEvent* event)
{
    const auto data = DragRegistry::instance()->findDrag(event->mimeData());
    if (data && data->kind == DragGroup::Group)
        event->acceptProposedAction();
    else
        event->ignore();
}

void FocusGroupListWidget::dragMoveEvent(QDragMoveEvent* event)
{
    event->ignore();
}

void FocusGroupListWidget::dropEvent(QDropEvent* event)
{
    event->ignore();
}
