// The task list: making it, the group or view it shows, the hint of an empty group, and
// following changes made elsewhere. The rest of the class: its records and their selection
// (tasklistrows.cpp), the virtual layout of row widgets (tasklistlayout.cpp), editing
// (tasklistedit.cpp), drag and drop (tasklistdrag.cpp), mouse clicks and keys (tasklistkeys.cpp).

#include "ui/tasklistwidget.h"

#include "base/identity.h"
#include "core/duetasks.h"
#include "core/taskcore.h"
#include "store/taskstorage.h"
#include "ui/duetasksview.h"
#include "ui/groupname.h"
#include "ui/tasklistaccessible.h"
#include "ui/userstep.h"
#include "ui/viewaccessibility.h"
#include "widgets/fancyscrollbar.h"
#include "widgets/focusiconcatalogue.h"

#include <QScrollBar>
#include <QVBoxLayout>

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
    if (const auto storage = _store()) {
        connect(storage.get(), &TaskStorage::groupChanged, this, &TaskListWidget::_onStoreGroupChanged,
                Qt::QueuedConnection);
        connect(storage.get(), &TaskStorage::taskChanged, this, &TaskListWidget::_onStoreTaskChanged,
                Qt::QueuedConnection);
    }
}

std::shared_ptr<TaskStorage> TaskListWidget::_store()
{
    return TaskCore::instance()->storage();
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
    if (const auto storage = _store())
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
        if (const auto storage = _store())
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
    if (const auto storage = _store())
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
    if (const auto storage = _store()) {
        m_groupNames.clear();
        for (const FocusGroup::Id& groupId : storage->groupIds())
            m_groupNames.insert(groupId, shownGroupName(storage->group(groupId)));
    }
}

// The hint of an empty group

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
    const auto storage = _store();
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
    const auto storage = _store();
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
