#include "store/databasewriter.h"

#include "store/tasksnapshot.h"

#include <QIODevice>

namespace {

// Written by hand rather than with QXmlStreamWriter, which escapes one character at a time
// and hands every fragment to the device: five times slower on a large database.
class XmlOut
{
public:
    explicit XmlOut(QIODevice* device)
        : m_device(device)
    {
        m_buffer.reserve(ChunkSize + 4096);
    }

    void raw(const char* text) { m_buffer += text; }
    void raw(const QByteArray& text) { m_buffer += text; }

    void startElement(const char* name)
    {
        m_buffer += '<';
        m_buffer += name;
        m_buffer += '>';
    }

    void endElement(const char* name)
    {
        m_buffer += "</";
        m_buffer += name;
        m_buffer += '>';
        _flushIfFull();
    }

    void textElement(const char* name, const QString& text)
    {
        startElement(name);
        _escaped(text, false);
        endElement(name);
    }

    void textElement(const char* name, const QByteArray& text)
    {
        startElement(name);
        m_buffer += text;
        endElement(name);
    }

    void attribute(const char* name, const QString& value)
    {
        m_buffer += ' ';
        m_buffer += name;
        m_buffer += "=\"";
        _escaped(value, true);
        m_buffer += '"';
    }

    bool finish()
    {
        _flush();
        return m_ok;
    }

private:
    static constexpr qsizetype ChunkSize = 1 << 20;

    static bool isPlain(QStringView text, bool attribute)
    {
        for (QChar c : text) {
            const char16_t u = c.unicode();
            if (u < 0x20 || u == '&' || u == '<' || u == '>' || (attribute && u == '"') || (u >= 0xD800 && u <= 0xDFFF)
                || u >= 0xFFFE)
                return false;
        }
        return true;
    }

    // Characters XML 1.0 cannot carry at all (most control characters, lone surrogates,
    // U+FFFE and U+FFFF) are dropped: one pasted control character must never make the whole
    // database unreadable. Carriage returns, and in attributes tabs and line feeds, are
    // written as character references, because a reader normalises them when written raw.
    void _escaped(const QString& text, bool attribute)
    {
        if (isPlain(text, attribute)) {
            m_buffer += text.toUtf8();
            return;
        }
        QString out;
        out.reserve(text.size() + 16);
        for (qsizetype i = 0; i < text.size(); ++i) {
            const QChar c = text.at(i);
            const char16_t u = c.unicode();
            switch (u) {
            case '&': out += QLatin1String("&amp;"); continue;
            case '<': out += QLatin1String("&lt;"); continue;
            case '>': out += QLatin1String("&gt;"); continue;
            case '\r': out += QLatin1String("&#13;"); continue;
            case '"':
                out += attribute ? QLatin1String("&quot;") : QLatin1String("\"");
                continue;
            case '\t':
                out += attribute ? QLatin1String("&#9;") : QLatin1String("\t");
                continue;
            case '\n':
                out += attribute ? QLatin1String("&#10;") : QLatin1String("\n");
                continue;
            default:
                break;
            }
            if (c.isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate()) {
                out += c;
                out += text.at(++i);
            } else if (u >= 0x20 && !c.isSurrogate() && u < 0xFFFE) {
                out += c;
            }
        }
        m_buffer += out.toUtf8();
    }

    void _flushIfFull()
    {
        if (m_buffer.size() >= ChunkSize)
            _flush();
    }

    void _flush()
    {
        if (m_ok && !m_buffer.isEmpty())
            m_ok = m_device->write(m_buffer) == m_buffer.size();
        m_buffer.clear();
    }

    QIODevice* m_device;
    QByteArray m_buffer;
    bool m_ok = true;
};

QByteArray idText(const QUuid& id)
{
    return id.toByteArray(QUuid::WithBraces);
}

QByteArray timeText(const QDateTime& time)
{
    return QByteArray::number(time.toMSecsSinceEpoch());
}

} // namespace

bool writeDatabase(QIODevice* device, const TaskSnapshot& snapshot)
{
    if (!device)
        return false;
    XmlOut xml(device);
    xml.raw("<?xml version=\"1.0\" encoding=\"UTF-8\"?>");
    xml.raw("<taskdb version=\"1\">");

    xml.startElement("groups");
    for (const FocusGroup& group : snapshot.groups) {
        xml.raw("<g");
        xml.attribute("name", group.name());
        xml.attribute("id", group.id().toString());
        xml.raw(">");
        if (!group.iconKey().isEmpty())
            xml.textElement("icon", group.iconKey());
        for (const QUuid& taskId : group.taskIds())
            xml.textElement("tid", idText(taskId));
        xml.endElement("g");
    }
    xml.endElement("groups");

    xml.startElement("todos");
    for (const TodoTask& task : snapshot.tasks) {
        xml.startElement("t");
        xml.textElement("id", idText(task.id()));
        if (!task.name().isEmpty())
            xml.textElement("name", task.name());
        if (!task.notes().isEmpty())
            xml.textElement("notes", task.notes());
        xml.textElement("completed", task.completed() ? QByteArray("yes") : QByteArray("no"));
        if (task.due().isValid())
            xml.textElement("due", timeText(task.due()));
        if (task.created().isValid())
            xml.textElement("tcrt", timeText(task.created()));
        if (task.completedAt().isValid())
            xml.textElement("tcmpl", timeText(task.completedAt()));
        if (task.deletedAt().isValid())
            xml.textElement("tdel", timeText(task.deletedAt()));
        if (task.modified().isValid())
            xml.textElement("tmod", timeText(task.modified()));
        // A new element rather than a new version: earlier versions of Mirevo pass over it.
        if (!task.repeatRule().isEmpty())
            xml.textElement("repeat", task.repeatRule());
        xml.endElement("t");
    }
    xml.endElement("todos");

    xml.raw("</taskdb>\n");
    return xml.finish();
}
