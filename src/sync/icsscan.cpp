#include "sync/icsscan.h"

#include <QByteArrayView>

#include <libical/ical.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <unordered_set>

namespace sync::ics {

namespace {

// The property names libical 3.0 knows, upper case; built once, read only afterwards.
const std::unordered_set<std::string>& knownPropertyNames()
{
    static const std::unordered_set<std::string> names = [] {
        std::unordered_set<std::string> set;
        // The kinds are numbered below 200 (ICAL_NO_PROPERTY is 100, the highest is 125).
        for (int kind = 1; kind < 200; ++kind) {
            if (kind == ICAL_NO_PROPERTY || kind == ICAL_X_PROPERTY)
                continue;
            if (const char* name = icalproperty_kind_to_string(static_cast<icalproperty_kind>(kind))) {
                std::string upper(name);
                std::transform(upper.begin(), upper.end(), upper.begin(),
                               [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
                set.insert(upper);
            }
        }
        return set;
    }();
    return names;
}

bool isNameChar(char c)
{
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-';
}

// Whether libical 3.0 would drop a property of this (well-formed) name: it keeps the names it
// knows (in any case) and those starting with "X-" (in upper case only).
bool libicalDropsName(QByteArrayView name)
{
    if (name.isEmpty() || !std::all_of(name.begin(), name.end(), isNameChar))
        return false; // not a name at all: libical reports the line, nothing to keep
    if (name.startsWith("X-"))
        return false;
    std::string upper(name.data(), size_t(name.size()));
    std::transform(upper.begin(), upper.end(), upper.begin(),
                   [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    return knownPropertyNames().count(upper) == 0;
}

QByteArray trimmedUpper(QByteArrayView value)
{
    return value.trimmed().toByteArray().toUpper();
}

bool isBlank(QByteArrayView line)
{
    return std::all_of(line.begin(), line.end(), [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; });
}

} // namespace

Scan scan(const QByteArray& text)
{
    Scan result;
    const char* data = text.constData();
    const qsizetype size = text.size();
    qsizetype pos = 0;
    if (size >= 3 && std::memcmp(data, "\xEF\xBB\xBF", 3) == 0)
        pos = 3;

    QList<QByteArray> stack;         // the open components, outermost first
    Block block;                     // the top-level component being read
    qsizetype childBegin = -1;       // offset of the latest component opened directly in it
    QByteArray childKind;
    int childLine = 0;
    int lineNumber = 0;
    int lastLine = 0;                // last non-blank logical line

    while (pos < size) {
        const qsizetype lineBegin = pos;
        const int firstLine = ++lineNumber;
        auto physicalLine = [&](qsizetype from, qsizetype* next) {
            const char* newline = static_cast<const char*>(std::memchr(data + from, '\n', size_t(size - from)));
            qsizetype end = newline ? newline - data : size;
            *next = newline ? end + 1 : size;
            if (end > from && data[end - 1] == '\r')
                --end;
            return QByteArrayView(data + from, end - from);
        };
        qsizetype next = 0;
        const QByteArrayView first = physicalLine(pos, &next);
        pos = next;
        // Continuation lines (folding) belong to this logical line.
        bool folded = false;
        const qsizetype continuationBegin = pos;
        while (pos < size && (data[pos] == ' ' || data[pos] == '\t')) {
            folded = true;
            physicalLine(pos, &next);
            pos = next;
            ++lineNumber;
        }
        auto unfolded = [&]() {
            QByteArray line = first.toByteArray();
            qsizetype at = continuationBegin;
            while (at < pos) {
                qsizetype after = 0;
                const QByteArrayView part = physicalLine(at, &after);
                line += part.sliced(1);
                at = after;
            }
            return line;
        };

        if (isBlank(QByteArrayView(data + lineBegin, pos - lineBegin)))
            continue;
        result.blank = false;
        lastLine = firstLine;

        // The name ends at the first ':' or ';'. A name cut by folding is rare enough to unfold.
        QByteArray unfoldedLine;
        QByteArrayView line = first;
        auto separator = [](QByteArrayView view) {
            for (qsizetype i = 0; i < view.size(); ++i) {
                if (view[i] == ':' || view[i] == ';')
                    return i;
            }
            return qsizetype(-1);
        };
        qsizetype nameEnd = separator(line);
        if (nameEnd < 0 && folded) {
            unfoldedLine = unfolded();
            line = unfoldedLine;
            nameEnd = separator(line);
        }
        const QByteArrayView name = nameEnd < 0 ? line : line.first(nameEnd);
        const bool isBegin = name.compare("BEGIN", Qt::CaseInsensitive) == 0;
        const bool isEnd = !isBegin && name.compare("END", Qt::CaseInsensitive) == 0;

        if (isBegin || isEnd) {
            if (folded && unfoldedLine.isEmpty()) {
                unfoldedLine = unfolded();
                line = unfoldedLine;
            }
            const qsizetype colon = line.indexOf(':');
            const QByteArray kind = colon < 0 ? QByteArray() : trimmedUpper(line.sliced(colon + 1));
            if (isBegin) {
                if (stack.isEmpty()) {
                    block = Block();
                    block.begin = lineBegin;
                    block.line = firstLine;
                    block.kind = kind;
                    childBegin = -1;
                } else if (stack.size() == 1) {
                    childBegin = lineBegin;
                    childKind = kind;
                    childLine = firstLine;
                    if (kind == "VTODO")
                        block.todoLines.append(firstLine);
                }
                stack.append(kind);
            } else if (stack.isEmpty()) {
                if (!result.strayLine)
                    result.strayLine = firstLine;
            } else {
                if (stack.last() != kind) {
                    if (!block.malformedLine) {
                        block.malformedLine = firstLine;
                        block.malformedText = "END:" + kind + " where END:" + stack.last() + " belongs";
                    }
                    // Recover as well as can be: close up to the component named, if one is open.
                    if (!stack.contains(kind))
                        continue;
                    while (stack.last() != kind)
                        stack.removeLast();
                }
                stack.removeLast();
                if (stack.isEmpty()) {
                    block.end = pos;
                    result.blocks.append(block);
                }
            }
            continue;
        }

        if (stack.isEmpty()) {
            if (!result.strayLine)
                result.strayLine = firstLine;
            continue;
        }
        if (nameEnd >= 0 && name.data() == first.data() && libicalDropsName(name))
            block.unknownNames.append(UnknownName{lineBegin});
    }

    if (!stack.isEmpty()) {
        block.cutShort = true;
        block.end = size;
        if (stack.size() >= 2) {
            block.openChildBegin = childBegin;
            block.openChildKind = childKind;
            block.openChildLine = childLine;
        }
        // An END mangled on the very last line is the cut, not a mistake of the writer.
        if (block.malformedLine == lastLine) {
            block.malformedLine = 0;
            block.malformedText.clear();
        }
        result.blocks.append(block);
    }
    return result;
}

QByteArray blockText(const QByteArray& text, const Block& block)
{
    qsizetype end = block.end;
    if (block.cutShort && block.openChildBegin >= 0)
        end = block.openChildBegin;
    QByteArray out;
    out.reserve(end - block.begin + 32 + block.unknownNames.size() * qsizetype(sizeof(kUnknownNameMarker)));
    qsizetype at = block.begin;
    for (const UnknownName& name : block.unknownNames) {
        if (name.offset >= end)
            break;
        out.append(text.constData() + at, name.offset - at);
        out.append(kUnknownNameMarker);
        at = name.offset;
    }
    out.append(text.constData() + at, end - at);
    if (block.cutShort) {
        // Close what is complete. When the text ends inside a property of the block itself, that
        // property is taken as far as it goes, as libical would.
        if (!out.endsWith('\n'))
            out.append("\r\n");
        out.append("END:" + block.kind + "\r\n");
    }
    return out;
}

} // namespace sync::ics
