#include "ui/focusgroupwidget.h"

#include "ui/calendarimport.h"
#include "ui/groupname.h"

#include "core/taskcore.h"
#include "store/taskstorage.h"
#include "ui/dragregistry.h"
#include "ui/userstep.h"
#include "widgets/accessiblenotifier.h"
#include "widgets/colorscheme.h"
#include "widgets/focusiconcatalogue.h"

#include <QAccessible>
#include <QDragEnterEvent>
#include <QHBoxLayout>
#include <QMimeData>
#include <QPainter>

#include <algorithm>
#include <climits>

namespace {

std::shared_ptr<TaskStorage> store()
{
    return TaskCore::instance()->storage();
}

} // namespace

FocusGroupWidget::FocusGroupWidget(const FocusGroup::Id& groupId, QWidget* parent)
    : QWidget(parent)
    , m_groupId(groupId)
{
    if (const auto storage = store()) {
        m_group = storage->group(groupId);
        connect(storage.get(), &TaskStorage::groupChanged, this, &FocusGroupWidget::_onGroupChanged);
        connect(storage.get(), &TaskStorage::taskChanged, this, &FocusGroupWidget::_onTaskChanged);
    }
    setAcceptDrops(true);
    _build();
}

FocusGroupWidget::FocusGroupWidget(DueTasks::View view, DueTasks* dueTasks, QWidget* parent)
    : QWidget(parent)
    , m_groupId(DueTasks::viewId(view))
    , m_group(viewAsGroup(view))
    , m_isView(true)
    , m_view(view)
{
    _build();
    setDueTasks(dueTasks);
}

void FocusGroupWidget::setDueTasks(DueTasks* dueTasks)
{
    if (!m_isView || dueTasks == m_dueTasks)
        return;
    if (m_dueTasks)
        disconnect(m_dueTasks, nullptr, this, nullptr);
    m_dueTasks = dueTasks;
    if (dueTasks)
        connect(dueTasks, &DueTasks::changed, this, &FocusGroupWidget::updateCounts);
    updateCounts();
}

void FocusGroupWidget::_build()
{
    setObjectName(m_isView ? QStringLiteral("viewRow") : QStringLiteral("groupRow"));
    setAttribute(Qt::WA_Hover);

    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(3, 3, 3, 4);
    layout->setSpacing(5);
    m_icon = new QLabel(this);
    m_icon->setObjectName(QStringLiteral("groupIcon"));
    m_icon->setFixedSize(20, 20);
    m_name = new QLabel(this);
    m_name->setObjectName(QStringLiteral("groupName"));
    m_name->setTextFormat(Qt::PlainText);
    setSchemeColor(m_name, QPalette::WindowText, ColorScheme::Text);
    m_name->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
    // The name gets the room the counters leave: cut again whenever that changes.
    m_name->installEventFilter(this);
    m_counter = new CountWidget(3, this);
    m_counter->setObjectName(QStringLiteral("groupCounter"));
    followScheme(m_counter, [counter = m_counter] {
        const QColor counterText = schemeColor(ColorScheme::Text).lighter(150);
        const ColorScheme::Role fills[3] = {ColorScheme::DueNow, ColorScheme::DueSoon, ColorScheme::DueLater};
        for (int i = 0; i < 3; ++i) {
            counter->setColor(i, schemeColor(fills[i]));
            counter->setTextColor(i, counterText);
        }
    });
    layout->addWidget(m_icon);
    layout->addWidget(m_name, 1);
    layout->addWidget(m_counter, 0, Qt::AlignVCenter);

    _updateIcon();
    _elideName();
    updateCounts();
}

int FocusGroupWidget::widthForWholeName(int counterWidth) const
{
    const QMargins margins = layout()->contentsMargins();
    const int spacing = static_cast<QHBoxLayout*>(layout())->spacing();
    QString name = shownGroupName(m_group);
    name.replace(QLatin1Char('\n'), QLatin1Char(' '));
    name.replace(QLatin1Char('\r'), QLatin1Char(' '));
    return margins.left() + m_icon->width() + spacing + m_name->fontMetrics().horizontalAdvance(name) + spacing
        + counterWidth + margins.right();
}

void FocusGroupWidget::_setFlag(int flag, bool on)
{
    const int flags = on ? (m_flags | flag) : (m_flags & ~flag);
    if (flags == m_flags)
        return;
    m_flags = flags;
    update();
}

void FocusGroupWidget::setSelected(bool selected)
{
    _setFlag(Selected, selected);
}

void FocusGroupWidget::setFocusMarked(bool marked)
{
    _setFlag(FocusMarked, marked);
}

void FocusGroupWidget::setHighlighted(bool highlighted)
{
    _setFlag(Highlighted, highlighted);
}

void FocusGroupWidget::setGroupInfo(const QString& name, const QString& iconKey)
{
    m_group.setName(name);
    if (iconKey != m_group.iconKey()) {
        m_group.setIcon(iconKey);
        _updateIcon();
    }
    _elideName();
    _announceName();
}

void FocusGroupWidget::_updateIcon()
{
    const QIcon icon = !m_isView ? focusGroupIcon(m_groupId, m_group.iconKey(), m_group.taskIds().isEmpty())
        : m_view == DueTasks::Today ? QIcon(QStringLiteral(":/icons_focus/today_20"))
                                    : QIcon(QStringLiteral(":/icons_focus/upcoming_20"));
    m_icon->setPixmap(icon.pixmap(QSize(20, 20)));
}

void FocusGroupWidget::_elideName()
{
    // Names are one line; the label shows as much as its width allows, cut with an ellipsis.
    QString name = shownGroupName(m_group);
    name.replace(QLatin1Char('\n'), QLatin1Char(' '));
    name.replace(QLatin1Char('\r'), QLatin1Char(' '));
    const QString shown = m_name->fontMetrics().elidedText(name, Qt::ElideRight, qMax(0, m_name->width()));
    m_name->setText(shown);
    m_name->setToolTip(shown == name ? QString() : name);
}

namespace {

/// Where the counters' days begin: tomorrow and four days from now, local time. A task due
/// before the first is due now, before the second due soon: the thresholds of the row colours.
struct CountDays
{
    QDateTime tomorrow;
    QDateTime inFourDays;
    CountDays()
    {
        const QDate today = QDate::currentDate();
        tomorrow = today.addDays(1).startOfDay();
        inFourDays = today.addDays(4).startOfDay();
    }
};

/// The counter a task adds to: 0 due now, 1 due soon, 2 any other open task; -1 for none.
int countKind(const TodoTask& task, const CountDays& days)
{
    if (task.id().isNull() || task.completed())
        return -1;
    if (!task.due().isValid())
        return 2;
    return task.due() < days.tomorrow ? 0 : task.due() < days.inFourDays ? 1 : 2;
}

} // namespace

void FocusGroupWidget::updateCounts()
{
    std::fill(std::begin(m_counts), std::end(m_counts), 0);
    if (m_isView) {
        // In the colour of the group rows' counters of tasks due now, and due soon.
        m_counts[m_view == DueTasks::Today ? 0 : 1] = m_dueTasks ? m_dueTasks->count(m_view) : 0;
        _showCounts();
        return;
    }
    m_kinds.fill(char(-1), m_group.taskIds().size());
    if (const auto storage = store()) {
        const CountDays days;
        const FocusGroup::TaskIdList& ids = m_group.taskIds();
        qsizetype index = 0;
        storage->visitTasks(ids, [this, &days, &ids, &index](const TodoTask& task) {
            // Absent tasks are skipped: find the place of this one.
            while (ids.at(index) != task.id())
                ++index;
            const int kind = countKind(task, days);
            m_kinds[index++] = char(kind);
            if (kind >= 0)
                ++m_counts[kind];
        });
    }
    _showCounts();
}

void FocusGroupWidget::_showCounts()
{
    bool changed = false;
    for (int i = 0; i < 3; ++i) {
        changed = changed || m_counter->count(i) != m_counts[i];
        m_counter->setCount(i, m_counts[i]);
    }
    m_counter->updateGeometry();
    m_counter->update();
    // The counts are part of the row's accessible name.
    if (changed)
        _announceName();
}

void FocusGroupWidget::_announceName()
{
    if (!AccessibleNotifier::isListening())
        return;
    QAccessibleEvent event(this, QAccessible::NameChanged);
    AccessibleNotifier::notify(&event);
}

void FocusGroupWidget::_onGroupChanged(const FocusGroup::Id& groupId)
{
    if (m_groupId.isNull() || groupId != m_groupId)
        return;
    const auto storage = store();
    if (!storage)
        return;
    const bool wasEmpty = m_group.taskIds().isEmpty();
    m_group = storage->group(m_groupId);
    // The Trash shows whether it holds anything.
    if (wasEmpty != m_group.taskIds().isEmpty())
        _updateIcon();
    updateCounts();
}

void FocusGroupWidget::_onTaskChanged(const TodoTask::Id& taskId)
{
    const auto storage = store();
    const qsizetype index = taskId.isNull() ? -1 : m_group.taskIds().indexOf(taskId);
    if (!storage || index < 0 || index >= m_kinds.size())
        return;
    // Only this task's share of the counts can have changed (typing a name changes none).
    const int kind = countKind(storage->task(taskId), CountDays());
    const int old = static_cast<signed char>(m_kinds.at(index));
    if (kind == old)
        return;
    if (old >= 0)
        --m_counts[old];
    if (kind >= 0)
        ++m_counts[kind];
    m_kinds[index] = char(kind);
    _showCounts();
}

QColor FocusGroupWidget::backgroundColor() const
{
    if (m_flags & Highlighted)
        return schemeColor(ColorScheme::GroupRowHighlight);
    if (m_flags & Selected)
        return schemeColor(ColorScheme::SelectedGroupRow);
    if (m_flags & (Hovered | DragOver))
        return schemeColor(ColorScheme::Panel);
    return QColor();
}

void FocusGroupWidget::paintEvent(QPaintEvent*)
{
    const QColor fill = backgroundColor();
    if (!fill.isValid())
        return;
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    QColor pen;
    if (m_flags & Highlighted) {
        painter.setOpacity(0.6);
        pen = schemeColor(ColorScheme::HighlightOutline);
    } else {
        pen = (m_flags & DragOver) ? schemeColor(ColorScheme::GroupRowDropOutline)
                                   : schemeColor(ColorScheme::GroupRowOutline);
    }
    painter.setPen(QPen(pen, 1, Qt::SolidLine, Qt::SquareCap, Qt::BevelJoin));
    painter.setBrush(fill);
    // Half-pixel inset keeps the one-pixel outline crisp.
    painter.drawRoundedRect(QRectF(rect()).adjusted(1.5, 1.5, -1.5, -2.5), 5, 5);
    if (m_flags & FocusMarked)
        drawFocusMark(painter, QRectF(rect()).adjusted(0, 0, 0, -1), 5);
}

bool FocusGroupWidget::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_name && event->type() == QEvent::Resize)
        _elideName();
    return QWidget::eventFilter(watched, event);
}

void FocusGroupWidget::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    _elideName();
}

bool FocusGroupWidget::event(QEvent* event)
{
    switch (event->type()) {
    case QEvent::HoverEnter:
        _setFlag(Hovered, true);
        break;
    case QEvent::HoverLeave:
        _setFlag(Hovered, false);
        break;
    case QEvent::FontChange:
    case QEvent::LanguageChange:
        _elideName();
        break;
    default:
        break;
    }
    return QWidget::event(event);
}

bool FocusGroupWidget::_accepts(const QMimeData* mime) const
{
    if (m_isView)
        return false;
    const auto data = DragRegistry::instance()->findDrag(mime);
    if (!data)
        return CalendarImport::takesFiles(m_groupId) && !CalendarImport::calendarFiles(mime).isEmpty();
    if (data->kind == DragGroup::Group)
        return FocusGroup::isUserGroup(m_groupId) && data->groupId != m_groupId;
    if (data->kind != DragGroup::Tasks)
        return false;
    for (auto it = data->tasks.constBegin(); it != data->tasks.constEnd(); ++it) {
        if (it.key() == m_groupId)
            return false;
        for (const TodoTask::Id& id : it.value()) {
            if (m_group.contains(id))
                return false;
        }
    }
    return true;
}

Qt::DropAction FocusGroupWidget::_dropAction(const QMimeData* mime) const
{
    // A copy (Shift held when the drag started) shows the copy cursor where it lists tasks.
    const auto data = DragRegistry::instance()->findDrag(mime);
    if (!data)
        return Qt::CopyAction; // a file: it stays where it is
    const bool copy = data->kind == DragGroup::Tasks && data->copy && m_groupId != FocusGroup::trashId()
        && m_groupId != FocusGroup::completedId();
    return copy ? Qt::CopyAction : Qt::MoveAction;
}

void FocusGroupWidget::dragEnterEvent(QDragEnterEvent* event)
{
    if (!_accepts(event->mimeData())) {
        event->ignore();
        return;
    }
    event->setDropAction(_dropAction(event->mimeData()));
    event->accept();
    _setFlag(DragOver, true);
}

void FocusGroupWidget::dragMoveEvent(QDragMoveEvent* event)
{
    if (!(m_flags & DragOver)) {
        event->ignore();
        return;
    }
    event->setDropAction(_dropAction(event->mimeData()));
    event->accept();
}

void FocusGroupWidget::dragLeaveEvent(QDragLeaveEvent*)
{
    _setFlag(DragOver, false);
}

void FocusGroupWidget::dropEvent(QDropEvent* event)
{
    _setFlag(DragOver, false);
    // Checked again: the store may have changed since the drag entered.
    if (!_accepts(event->mimeData())) {
        event->ignore();
        return;
    }
    const auto data = DragRegistry::instance()->findDrag(event->mimeData());
    const auto storage = store();
    if (!storage)
        return;
    if (!data) {
        event->setDropAction(Qt::CopyAction);
        event->accept();
        // After the drop has ended: the file manager must not wait for the report.
        QWidget* window = this->window();
        const QStringList paths = CalendarImport::calendarFiles(event->mimeData());
        QMetaObject::invokeMethod(
            window, [window, groupId = m_groupId, paths] { CalendarImport::importFiles(window, groupId, paths); },
            Qt::QueuedConnection);
        return;
    }
    if (data->kind == DragGroup::Tasks) {
        const bool copy = data->copy && m_groupId != FocusGroup::trashId() && m_groupId != FocusGroup::completedId();
        data->resultAction = copy ? 1 : DragGroup::Moved;
        UserStep step(copy ? tr("Copy to group") : tr("Move to group"));
        for (auto it = data->tasks.constBegin(); it != data->tasks.constEnd(); ++it) {
            if (copy)
                storage->addTasksToGroup(m_groupId, it.value());
            else
                storage->moveTasks(it.key(), m_groupId, it.value());
        }
    } else {
        UserStep step(tr("Move group"));
        storage->placeGroupAt(m_groupId, data->groupId);
    }
    event->setDropAction(data->resultAction == DragGroup::Moved || data->kind != DragGroup::Tasks ? Qt::MoveAction
                                                                                                   : Qt::CopyAction);
    event->accept();
}
