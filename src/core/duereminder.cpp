#include "core/duereminder.h"

#include "core/daytimer.h"
#include "core/duerule.h"
#include "store/taskstorage.h"

#include <QCoreApplication>
#include <QTimer>

#include <algorithm>

namespace {

struct DueTask
{
    TodoTask::Id id;
    QString name;
    QDate due;
};

// English has no message file: its plural forms come from the source texts, which mark them
// "task(s)". A translation never carries the mark.
QString counted(const char* text, int n)
{
    QString result = DueReminder::tr(text, nullptr, n);
    if (result == QString::fromLatin1(text).replace(QLatin1String("%n"), QString::number(n)))
        result.replace(QLatin1String("(s)"), n == 1 ? QString() : QStringLiteral("s"));
    return result;
}

QString listedName(const TodoTask& task)
{
    const QString name = task.name().simplified();
    return name.isEmpty() ? QCoreApplication::translate("TaskWidget", "<Unnamed task>") : name;
}

} // namespace

DueReminder::DueReminder(std::weak_ptr<TaskStorage> storage, Clock clock, int quietMs, QObject* parent)
    : QObject(parent)
    , m_storage(std::move(storage))
    , m_clock(std::move(clock))
{
    m_changeTimer = new QTimer(this);
    m_changeTimer->setSingleShot(true);
    m_changeTimer->setInterval(quietMs);
    connect(m_changeTimer, &QTimer::timeout, this, &DueReminder::check);
    // In the first minute of each day.
    m_dayTimer = new DayTimer([this] { return _now(); }, 60000, this);
    connect(m_dayTimer, &DayTimer::newDay, this, &DueReminder::check);
}

DueReminder::~DueReminder() = default;

void DueReminder::start()
{
    if (const std::shared_ptr<TaskStorage> storage = m_storage.lock()) {
        // Every change starts the quiet time again: a burst of edits is looked at once, after it.
        const auto changed = [this] { m_changeTimer->start(); };
        connect(storage.get(), &TaskStorage::taskChanged, this, changed);
        connect(storage.get(), &TaskStorage::groupChanged, this, changed);
    }
    m_changeTimer->start(std::min(StartDelayMs, m_changeTimer->interval()));
    m_dayTimer->start();
}

QDateTime DueReminder::nextDayCheck() const
{
    return m_dayTimer->next();
}

QDateTime DueReminder::_now() const
{
    return m_clock ? m_clock() : QDateTime::currentDateTime();
}

void DueReminder::check()
{
    const std::shared_ptr<TaskStorage> storage = m_storage.lock();
    if (!storage)
        return;
    const QDate today = _now().date();
    if (today != m_day) {
        m_day = today;
        m_announced.clear();
    }
    if (m_enabled && !m_enabled())
        return;
    if (m_busy && m_busy()) {
        m_changeTimer->start(m_changeTimer->interval());
        return;
    }

    QList<DueTask> fresh;
    for (const FoundTask& found : DueRule(today).collect(*storage).dueByToday) {
        if (m_announced.contains(found.taskId))
            continue;
        const TodoTask task = storage->task(found.taskId);
        fresh.append(DueTask{found.taskId, listedName(task), task.due().date()});
    }
    if (fresh.isEmpty())
        return;

    // The longest overdue first, as the Today view lists them.
    int overdue = 0;
    QStringList names;
    for (const DueTask& task : qAsConst(fresh)) {
        m_announced.insert(task.id);
        if (task.due < today)
            ++overdue;
        if (names.size() < ListedTasks)
            names << task.name;
    }
    Q_EMIT remind(titleText(int(fresh.size()) - overdue, overdue), bodyText(names, int(fresh.size())), fresh.first().id);
}

QString DueReminder::titleText(int dueToday, int overdue)
{
    const char* dueTodayText = QT_TR_N_NOOP("%n task(s) due today");
    if (overdue <= 0)
        return counted(dueTodayText, dueToday);
    if (dueToday <= 0)
        return counted(QT_TR_N_NOOP("%n task(s) overdue"), overdue);
    return tr("%1, %2", "tasks due today, tasks overdue")
        .arg(counted(dueTodayText, dueToday), counted(QT_TR_N_NOOP("%n overdue"), overdue));
}

QString DueReminder::bodyText(const QStringList& names, int total)
{
    QStringList lines = names;
    if (total > names.size())
        lines << tr("and %n more", nullptr, total - int(names.size()));
    return lines.join(QLatin1Char('\n'));
}

FocusGroup::Id groupListingTask(const TaskStorage& storage, const TodoTask::Id& taskId)
{
    for (const FocusGroup::Id& groupId : groupsInPanelOrder(storage)) {
        if (storage.group(groupId).contains(taskId))
            return groupId;
    }
    return FocusGroup::inboxId();
}
