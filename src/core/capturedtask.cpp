#include "core/capturedtask.h"

#include "store/focusgroup.h"
#include "store/taskstorage.h"

#include <QDateTime>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>

namespace {

const QLatin1String kPrefix("add-task:");
const QLatin1String kName("name");
const QLatin1String kNotes("notes");
const QLatin1String kDue("due");
const QLatin1String kId("id");

} // namespace

QString CapturedTask::toMessage() const
{
    QJsonObject object;
    object.insert(kName, m_name);
    if (!m_notes.isEmpty())
        object.insert(kNotes, m_notes);
    if (m_due.isValid())
        object.insert(kDue, m_due.toString(QStringLiteral("yyyy-MM-dd")));
    if (!m_id.isNull())
        object.insert(kId, m_id.toString(QUuid::WithoutBraces));
    const QByteArray json = QJsonDocument(object).toJson(QJsonDocument::Compact);
    return kPrefix + QString::fromLatin1(json.toBase64());
}

bool CapturedTask::isTaskMessage(const QString& message)
{
    return message.startsWith(kPrefix);
}

bool CapturedTask::fromMessage(const QString& message, CapturedTask* task, QString* error)
{
    const auto fail = [error](const QString& reason) {
        if (error)
            *error = reason;
        return false;
    };
    if (!isTaskMessage(message))
        return fail(QStringLiteral("not a task message"));
    const QStringView payload = QStringView(message).mid(kPrefix.size());
    for (const QChar c : payload) {
        if (c.unicode() > 0x7f)
            return fail(QStringLiteral("not base64"));
    }
    const QByteArray::FromBase64Result decoded = QByteArray::fromBase64Encoding(
        payload.toLatin1(), QByteArray::Base64Encoding | QByteArray::AbortOnBase64DecodingErrors);
    if (!decoded)
        return fail(QStringLiteral("not base64"));
    QJsonParseError parseError;
    const QJsonDocument document = QJsonDocument::fromJson(*decoded, &parseError);
    if (parseError.error != QJsonParseError::NoError || !document.isObject())
        return fail(QStringLiteral("not a JSON object"));
    const QJsonObject object = document.object();
    for (auto it = object.constBegin(); it != object.constEnd(); ++it) {
        if (it.key() != kName && it.key() != kNotes && it.key() != kDue && it.key() != kId)
            return fail(QStringLiteral("unknown field ") + it.key());
        if (!it.value().isString())
            return fail(QStringLiteral("field ") + it.key() + QStringLiteral(" is not a string"));
    }
    CapturedTask read;
    read.m_name = object.value(kName).toString();
    if (isBlankName(read.m_name))
        return fail(QStringLiteral("no name"));
    if (object.contains(kId)) {
        read.m_id = QUuid::fromString(object.value(kId).toString());
        if (read.m_id.isNull())
            return fail(QStringLiteral("bad id"));
    }
    read.m_notes = object.value(kNotes).toString();
    if (object.contains(kDue)) {
        read.m_due = dayFromText(object.value(kDue).toString());
        if (!read.m_due.isValid())
            return fail(QStringLiteral("bad due date"));
    }
    if (task)
        *task = read;
    return true;
}

bool CapturedTask::isBlankName(const QString& name)
{
    for (const QChar c : name) {
        const QChar::Category category = c.category();
        if (!c.isSpace() && category != QChar::Other_Control && category != QChar::Other_Format)
            return false;
    }
    return true;
}

TodoTask::Id CapturedTask::addToInbox(TaskStorage& storage) const
{
    const TodoTask::Id id = storage.createTask(FocusGroup::inboxId());
    storage.setTaskName(id, m_name);
    storage.setTaskNotes(id, m_notes);
    if (m_due.isValid())
        storage.setTaskDue(id, QDateTime(m_due, QTime(0, 0)));
    return id;
}

QDate CapturedTask::dayFromText(const QString& text)
{
    // Exactly so: Qt::ISODate would also take a time after the day.
    static const QRegularExpression pattern(QStringLiteral("^[0-9]{4}-[0-9]{2}-[0-9]{2}$"));
    if (!pattern.match(text).hasMatch())
        return QDate();
    return QDate::fromString(text, QStringLiteral("yyyy-MM-dd"));
}

bool CapturedTask::operator==(const CapturedTask& other) const
{
    return m_name == other.m_name && m_notes == other.m_notes && m_due == other.m_due && m_id == other.m_id;
}
