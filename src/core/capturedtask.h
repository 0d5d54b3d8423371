#pragma once

#include "store/todotask.h"

#include <QDate>
#include <QMetaType>
#include <QString>
#include <QUuid>

class TaskStorage;

/// A task given on the command line (`mirevo --add`), on its way to the Inbox: added to the
/// store directly, or handed to the running instance as a message.
struct CapturedTask
{
    QString m_name;
    QString m_notes;
    /// Invalid for a task without a due date.
    QDate m_due;
    /// Names this capture, so the running instance adds it once however often it is handed over.
    QUuid m_id;

    /// True for a name that shows nothing: only blanks, line breaks and control characters.
    static bool isBlankName(const QString& name);

    /// The message a later start hands to the running instance: "add-task:" followed by the
    /// task as a UTF-8 JSON object ("name", "notes", "due" as "yyyy-MM-dd", "id") in base64, so that
    /// any text, line breaks and NUL included, travels as one line of plain ASCII.
    QString toMessage() const;
    /// Whether `message` has the prefix of a task message, well-formed or not.
    static bool isTaskMessage(const QString& message);
    /// Reads a message made by toMessage(). False, with the reason in `*error`, for anything
    /// else: another prefix, bad base64 or JSON, a field that is unknown or not a string, a
    /// blank name, an id that is not a UUID, a due date that is not a real "yyyy-MM-dd" day.
    static bool fromMessage(const QString& message, CapturedTask* task, QString* error);

    /// A day written "yyyy-MM-dd" with ASCII digits, nothing before or after; invalid for
    /// anything else and for days that do not exist.
    static QDate dayFromText(const QString& text);

    /// Adds the task at the end of the Inbox and returns its id. The due date is the day at
    /// midnight local time, as the date field of a task row stores a picked day.
    TodoTask::Id addToInbox(TaskStorage& storage) const;

    bool operator==(const CapturedTask& other) const;
    bool operator!=(const CapturedTask& other) const { return !(*this == other); }
};

Q_DECLARE_METATYPE(CapturedTask)
