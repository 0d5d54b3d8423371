#include "store/todotask.h"

#include "store/taskstorage.h"

#include <climits>

namespace {

QDateTime timeFromText(const QString& text)
{
    if (text.isEmpty())
        return QDateTime();
    bool ok = false;
    const qint64 ms = text.toLongLong(&ok, 10);
    return ok ? QDateTime::fromMSecsSinceEpoch(ms) : QDateTime();
}

} // namespace

TodoTask::TodoTask(const Id& id, const QString& name, const QString& notes, bool completed,
                   const QDateTime& due, const QDateTime& created, const QDateTime& completedAt,
                   const QDateTime& deletedAt, const QDateTime& modified, const QString& repeatRule)
    : m_id(id)
    , m_name(name)
    , m_notes(notes)
    , m_completed(completed)
    , m_due(due)
    , m_created(created)
    , m_completedAt(completedAt)
    , m_deletedAt(deletedAt)
    , m_modified(modified)
    , m_repeatRule(repeatRule)
{
}

TodoTask TodoTask::fromTexts(const QString& id, const QString& name, const QString& notes,
                             const QString& completed, const QString& due, const QString& created,
                             const QString& completedAt, const QString& deletedAt,
                             const QString& modified, const QString& repeatRule)
{
    TodoTask task(QUuid::fromString(id), name, notes, completed == QLatin1String("yes"),
                  timeFromText(due), timeFromText(created), timeFromText(completedAt),
                  timeFromText(deletedAt), timeFromText(modified), repeatRule);
    if (!task.m_created.isValid())
        task.m_created = QDateTime::currentDateTime();
    return task;
}

bool TodoTask::isEmpty() const
{
    return m_name.isEmpty() && m_notes.isEmpty() && !m_due.isValid();
}

int TodoTask::daysToDue() const
{
    if (!m_due.isValid())
        return INT_MAX;
    return static_cast<int>(QDate::currentDate().daysTo(m_due.date()));
}

QString TodoTask::displayText() const
{
    const QString name = m_name.trimmed();
    const QString notes = m_notes.trimmed();
    if (notes.isEmpty())
        return name;
    return name + QStringLiteral(" (") + notes + QLatin1Char(')');
}

void TodoTask::initNew()
{
    clear();
    m_id = QUuid::createUuid();
    m_created = QDateTime::currentDateTime();
}

void TodoTask::clear()
{
    m_id = Id();
    m_name.clear();
    m_notes.clear();
    m_completed = false;
    m_due = QDateTime();
    m_created = QDateTime();
    m_completedAt = QDateTime();
    m_deletedAt = QDateTime();
    m_modified = QDateTime();
    m_repeatRule.clear();
}

void TodoTask::setName(const QString& name)
{
    if (name == m_name)
        return;
    m_name = name;
    if (m_storage)
        m_storage->setTaskName(m_id, name);
}

void TodoTask::setNotes(const QString& notes)
{
    if (notes == m_notes)
        return;
    m_notes = notes;
    if (m_storage)
        m_storage->setTaskNotes(m_id, notes);
}

void TodoTask::setDue(const QDateTime& due)
{
    if (due == m_due && due.isValid() == m_due.isValid())
        return;
    m_due = due;
    if (m_storage)
        m_storage->setTaskDue(m_id, due);
}

void TodoTask::setRepeat(const QString& rule)
{
    if (rule == m_repeatRule)
        return;
    m_repeatRule = rule;
    if (m_storage)
        m_storage->setTaskRepeat(m_id, rule);
}

void TodoTask::setCompleted(bool completed)
{
    if (completed == m_completed)
        return;
    m_completed = completed;
    m_completedAt = completed ? QDateTime::currentDateTime() : QDateTime();
    if (m_storage)
        m_storage->setTaskCompleted(m_id, completed, m_completedAt);
}

bool TodoTask::operator==(const TodoTask& other) const
{
    return m_id == other.m_id && m_name == other.m_name && m_notes == other.m_notes
        && m_completed == other.m_completed && m_due == other.m_due && m_created == other.m_created
        && m_completedAt == other.m_completedAt && m_deletedAt == other.m_deletedAt
        && m_modified == other.m_modified && m_repeatRule == other.m_repeatRule;
}
