#pragma once

#include <QDateTime>
#include <QMetaType>
#include <QPointer>
#include <QString>
#include <QUuid>

class TaskStorage;

/// A task as a value copy. The setters change the copy and write the same change through to
/// the store the copy came from (`TaskStorage::task`), by id.
class TodoTask
{
public:
    using Id = QUuid;

    TodoTask() = default;
    TodoTask(const Id& id, const QString& name, const QString& notes, bool completed,
             const QDateTime& due, const QDateTime& created,
             const QDateTime& completedAt = QDateTime(), const QDateTime& deletedAt = QDateTime(),
             const QDateTime& modified = QDateTime(), const QString& repeatRule = QString());

    /// Builds a record from the texts of the database file: ids in braced form, times as
    /// milliseconds since the epoch, completed as "yes". An invalid creation time becomes now.
    static TodoTask fromTexts(const QString& id, const QString& name, const QString& notes,
                              const QString& completed, const QString& due, const QString& created,
                              const QString& completedAt, const QString& deletedAt,
                              const QString& modified = QString(), const QString& repeatRule = QString());

    const Id& id() const { return m_id; }
    const QString& name() const { return m_name; }
    const QString& notes() const { return m_notes; }
    bool completed() const { return m_completed; }
    const QDateTime& due() const { return m_due; }
    const QDateTime& created() const { return m_created; }
    const QDateTime& completedAt() const { return m_completedAt; }
    const QDateTime& deletedAt() const { return m_deletedAt; }
    /// The RRULE value the task repeats by (see RepeatRule), empty when it does not repeat.
    const QString& repeatRule() const { return m_repeatRule; }
    /// When the name, notes, due date, completion or repeat rule last changed here; invalid
    /// when unknown (a record from before such times were kept).
    const QDateTime& modified() const { return m_modified; }

    /// No name, no notes and no due date.
    bool isEmpty() const;
    /// Calendar days from today to the due date (negative when past), INT_MAX without one.
    int daysToDue() const;
    /// The trimmed name, with the trimmed notes in parentheses when there are any.
    QString displayText() const;
    /// Cleared, with a fresh id and the creation time now.
    void initNew();
    /// Null id, empty texts, not completed, no times.
    void clear();

    void setName(const QString& name);
    void setNotes(const QString& notes);
    void setDue(const QDateTime& due);
    void setRepeat(const QString& rule);
    /// Completing stamps the completion time now; un-completing clears it.
    void setCompleted(bool completed);

    bool operator==(const TodoTask& other) const;
    bool operator!=(const TodoTask& other) const { return !(*this == other); }

private:
    friend class TaskStorage;

    Id m_id;
    QString m_name;
    QString m_notes;
    bool m_completed = false;
    QDateTime m_due;
    QDateTime m_created;
    QDateTime m_completedAt;
    QDateTime m_deletedAt;
    QDateTime m_modified;
    QString m_repeatRule;
    QPointer<TaskStorage> m_storage;
};

Q_DECLARE_METATYPE(TodoTask)
