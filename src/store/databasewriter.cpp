#include "store/databasewriter.h"

#include "store/tasksnapshot.h"

#include <QIODevice>
#include <QXmlStreamWriter>

namespace {

bool isXmlChar(char32_t c)
{
    return c == 0x9 || c == 0xA || c == 0xD || (c >= 0x20 && c <= 0xD7FF) || (c >= 0xE000 && c <= 0xFFFD)
        || (c >= 0x10000 && c <= 0x10FFFF);
}

// Characters XML 1.0 cannot carry at all (most control characters, lone surrogates) are
// dropped: one pasted control character must never make the whole database unreadable.
QString xmlSafe(const QString& text)
{
    bool clean = true;
    for (QChar c : text) {
        const char16_t u = c.unicode();
        if ((u < 0x20 && u != 0x9 && u != 0xA && u != 0xD) || c.isSurrogate() || u >= 0xFFFE) {
            clean = false;
            break;
        }
    }
    if (clean)
        return text;
    QString result;
    result.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c.isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate()) {
            result += c;
            result += text.at(++i);
        } else if (!c.isSurrogate() && isXmlChar(c.unicode())) {
            result += c;
        }
    }
    return result;
}

// Element text keeps carriage returns as character references; written raw, the reader
// would turn CR LF and lone CR into LF.
void writeTextElement(QXmlStreamWriter& writer, QLatin1String name, const QString& text)
{
    writer.writeStartElement(name);
    const QString safe = xmlSafe(text);
    qsizetype start = 0;
    for (;;) {
        const qsizetype cr = safe.indexOf(QLatin1Char('\r'), start);
        if (cr < 0) {
            if (start < safe.size())
                writer.writeCharacters(safe.mid(start));
            break;
        }
        if (cr > start)
            writer.writeCharacters(safe.mid(start, cr - start));
        writer.writeEntityReference(QStringLiteral("#13"));
        start = cr + 1;
    }
    writer.writeEndElement();
}

QString timeText(const QDateTime& time)
{
    return QString::number(time.toMSecsSinceEpoch());
}

} // namespace

bool writeDatabase(QIODevice* device, const TaskSnapshot& snapshot)
{
    if (!device)
        return false;
    QXmlStreamWriter writer(device);
    writer.setAutoFormatting(false);
    writer.writeStartDocument();
    writer.writeStartElement(QLatin1String("taskdb"));
    writer.writeAttribute(QLatin1String("version"), QStringLiteral("1"));

    writer.writeStartElement(QLatin1String("groups"));
    for (const FocusGroup& group : snapshot.groups) {
        writer.writeStartElement(QLatin1String("g"));
        // Attribute values get their tabs and line breaks escaped by the writer.
        writer.writeAttribute(QLatin1String("name"), xmlSafe(group.name()));
        writer.writeAttribute(QLatin1String("id"), group.id().toString());
        if (!group.iconKey().isEmpty())
            writeTextElement(writer, QLatin1String("icon"), group.iconKey());
        for (const QUuid& taskId : group.taskIds())
            writer.writeTextElement(QLatin1String("tid"), taskId.toString());
        writer.writeEndElement();
    }
    writer.writeEndElement();

    writer.writeStartElement(QLatin1String("todos"));
    for (const TodoTask& task : snapshot.tasks) {
        writer.writeStartElement(QLatin1String("t"));
        writer.writeTextElement(QLatin1String("id"), task.id().toString());
        if (!task.name().isEmpty())
            writeTextElement(writer, QLatin1String("name"), task.name());
        if (!task.notes().isEmpty())
            writeTextElement(writer, QLatin1String("notes"), task.notes());
        writer.writeTextElement(QLatin1String("completed"), task.completed() ? QStringLiteral("yes") : QStringLiteral("no"));
        if (task.due().isValid())
            writer.writeTextElement(QLatin1String("due"), timeText(task.due()));
        if (task.created().isValid())
            writer.writeTextElement(QLatin1String("tcrt"), timeText(task.created()));
        if (task.completedAt().isValid())
            writer.writeTextElement(QLatin1String("tcmpl"), timeText(task.completedAt()));
        if (task.deletedAt().isValid())
            writer.writeTextElement(QLatin1String("tdel"), timeText(task.deletedAt()));
        writer.writeEndElement();
    }
    writer.writeEndElement();

    writer.writeEndElement();
    writer.writeEndDocument();
    return !writer.hasError();
}
