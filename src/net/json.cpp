#include "net/json.h"

#include <QByteArrayList>
#include <QStringList>
#include <QVariantHash>
#include <QVariantList>
#include <QVariantMap>

#include <cmath>

namespace net {

namespace {

// Far deeper than any document we exchange, yet shallow enough that hostile input cannot
// exhaust the stack of the calling thread.
constexpr int MaxDepth = 1000;

enum class Token {
    None,
    ObjectOpen,
    ObjectClose,
    ArrayOpen,
    ArrayClose,
    Colon,
    Comma,
    String,
    Number,
    True,
    False,
    Null,
};

bool isBlank(QChar c)
{
    return c == u' ' || c == u'\t' || c == u'\n' || c == u'\r';
}

bool isDigit(QChar c)
{
    return c >= u'0' && c <= u'9';
}

bool isNumberChar(QChar c)
{
    return isDigit(c) || c == u'+' || c == u'-' || c == u'.' || c == u'e' || c == u'E';
}

bool isAllDigits(QStringView text)
{
    if (text.isEmpty())
        return false;
    for (QChar c : text) {
        if (!isDigit(c))
            return false;
    }
    return true;
}

// Written by hand because QStringView::toUShort(base 16) also takes signs and a "0x" prefix.
char16_t hexCodeUnit(QStringView digits)
{
    char16_t value = 0;
    for (QChar c : digits) {
        const char16_t u = c.unicode();
        int digit = 0;
        if (u >= u'0' && u <= u'9')
            digit = u - u'0';
        else if (u >= u'a' && u <= u'f')
            digit = u - u'a' + 10;
        else if (u >= u'A' && u <= u'F')
            digit = u - u'A' + 10;
        else
            return 0;
        value = char16_t(value * 16 + digit);
    }
    return value;
}

class Reader
{
public:
    explicit Reader(const QString& text)
        : m_text(text)
    {
    }

    bool ok() const { return m_ok; }

    QVariant readValue(int depth)
    {
        switch (lookAhead()) {
        case Token::ObjectOpen:
            return readObject(depth + 1);
        case Token::ArrayOpen:
            return readArray(depth + 1);
        case Token::String:
            return readString();
        case Token::Number:
            return readNumber();
        case Token::True:
            take();
            return QVariant(true);
        case Token::False:
            take();
            return QVariant(false);
        case Token::Null:
            take();
            return QVariant();
        default:
            m_ok = false;
            return QVariant();
        }
    }

private:
    Token lookAhead() const
    {
        qsizetype pos = m_pos;
        return scan(pos);
    }

    Token take() { return scan(m_pos); }

    // String and number tokens only advance by their first character; their readers start
    // again from the token itself.
    Token scan(qsizetype& pos) const
    {
        const qsizetype size = m_text.size();
        while (pos < size && isBlank(m_text.at(pos)))
            ++pos;
        if (pos >= size)
            return Token::None;
        const QChar c = m_text.at(pos);
        if (c == u'-' || isDigit(c)) {
            ++pos;
            return Token::Number;
        }
        switch (c.unicode()) {
        case u'{':
            ++pos;
            return Token::ObjectOpen;
        case u'}':
            ++pos;
            return Token::ObjectClose;
        case u'[':
            ++pos;
            return Token::ArrayOpen;
        case u']':
            ++pos;
            return Token::ArrayClose;
        case u':':
            ++pos;
            return Token::Colon;
        case u',':
            ++pos;
            return Token::Comma;
        case u'"':
            ++pos;
            return Token::String;
        case u't':
            return keyword(pos, QLatin1String("true"), Token::True);
        case u'f':
            return keyword(pos, QLatin1String("false"), Token::False);
        case u'n':
            return keyword(pos, QLatin1String("null"), Token::Null);
        default:
            return Token::None;
        }
    }

    Token keyword(qsizetype& pos, QLatin1String word, Token token) const
    {
        if (m_text.size() - pos < word.size() || QStringView(m_text).mid(pos, word.size()) != word)
            return Token::None;
        pos += word.size();
        return token;
    }

    void skipBlanks()
    {
        while (m_pos < m_text.size() && isBlank(m_text.at(m_pos)))
            ++m_pos;
    }

    QVariant fail(const QVariant& replacement = QVariant())
    {
        m_ok = false;
        return replacement;
    }

    QVariant readObject(int depth)
    {
        take();
        if (depth > MaxDepth)
            return fail(QVariantMap());
        QVariantMap members;
        for (;;) {
            const Token next = lookAhead();
            if (next == Token::None)
                return fail(QVariantMap());
            if (next == Token::Comma) {
                take();
                continue;
            }
            if (next == Token::ObjectClose) {
                take();
                return members;
            }
            const QString name = readString().toString();
            if (!m_ok)
                return QVariantMap();
            if (take() != Token::Colon)
                return fail(QVariantMap());
            const QVariant value = readValue(depth);
            if (!m_ok)
                return QVariantMap();
            members.insert(name, value);
        }
    }

    QVariant readArray(int depth)
    {
        take();
        if (depth > MaxDepth)
            return fail(QVariantList());
        QVariantList items;
        for (;;) {
            const Token next = lookAhead();
            if (next == Token::None)
                return fail(QVariantList());
            if (next == Token::Comma) {
                take();
                continue;
            }
            if (next == Token::ArrayClose) {
                take();
                return items;
            }
            const QVariant value = readValue(depth);
            if (!m_ok)
                return QVariantList();
            items.append(value);
        }
    }

    QVariant readString()
    {
        skipBlanks();
        const qsizetype size = m_text.size();
        if (m_pos >= size)
            return fail();
        ++m_pos; // the opening quote
        QString out = QStringLiteral("");
        while (m_pos < size) {
            const QChar c = m_text.at(m_pos++);
            if (c == u'"')
                return out;
            if (c != u'\\') {
                out.append(c);
                continue;
            }
            if (m_pos >= size)
                break;
            const QChar escaped = m_text.at(m_pos++);
            switch (escaped.unicode()) {
            case u'"':
            case u'\\':
            case u'/':
                out.append(escaped);
                break;
            case u'b':
                out.append(QChar(u'\b'));
                break;
            case u'f':
                out.append(QChar(u'\f'));
                break;
            case u'n':
                out.append(QChar(u'\n'));
                break;
            case u'r':
                out.append(QChar(u'\r'));
                break;
            case u't':
                out.append(QChar(u'\t'));
                break;
            case u'u':
                if (size - m_pos < 4)
                    return fail();
                out.append(QChar(hexCodeUnit(QStringView(m_text).mid(m_pos, 4))));
                m_pos += 4;
                break;
            default:
                break; // unknown escapes are dropped
            }
        }
        return fail();
    }

    // Badly shaped numbers such as "1-2" read as 0 without failing the document.
    QVariant readNumber()
    {
        skipBlanks();
        const qsizetype start = m_pos;
        while (m_pos < m_text.size() && isNumberChar(m_text.at(m_pos)))
            ++m_pos;
        const QStringView run = QStringView(m_text).mid(start, m_pos - start);
        bool converted = false;
        if (run.contains(u'.') || run.contains(u'e') || run.contains(u'E')) {
            const double value = run.toDouble(&converted);
            return QVariant(converted ? value : 0.0);
        }
        if (run.startsWith(u'-')) {
            const qlonglong value = run.toLongLong(&converted);
            if (converted || !isAllDigits(run.mid(1)))
                return QVariant(value);
        } else {
            const qulonglong value = run.toULongLong(&converted);
            if (converted || !isAllDigits(run))
                return QVariant(value);
        }
        // A well-formed integer beyond 64 bits keeps its magnitude as a double rather than 0.
        const double value = run.toDouble(&converted);
        return QVariant(converted ? value : 0.0);
    }

    const QString& m_text;
    qsizetype m_pos = 0;
    bool m_ok = true;
};

void appendUnicodeEscape(QString& out, char16_t unit)
{
    constexpr char hexDigits[] = "0123456789ABCDEF";
    out.append(QLatin1String("\\u"));
    for (int shift = 12; shift >= 0; shift -= 4)
        out.append(QLatin1Char(hexDigits[(unit >> shift) & 0xF]));
}

/// Quotes text as a JSON string; control characters are always escaped so that the result
/// is valid JSON, the slash and non-ASCII characters are kept as they are. A surrogate without
/// its partner cannot be encoded as UTF-8: it is written as an escape, so reading the text
/// back gives the same string.
QString escapeJsonString(const QString& text)
{
    QString out;
    out.reserve(text.size() + 2);
    out.append(QLatin1Char('"'));
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c.isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate()) {
            out.append(c);
            out.append(text.at(++i));
            continue;
        }
        if (c.isSurrogate()) {
            appendUnicodeEscape(out, c.unicode());
            continue;
        }
        switch (c.unicode()) {
        case u'\\':
            out.append(QLatin1String("\\\\"));
            break;
        case u'"':
            out.append(QLatin1String("\\\""));
            break;
        case u'\b':
            out.append(QLatin1String("\\b"));
            break;
        case u'\f':
            out.append(QLatin1String("\\f"));
            break;
        case u'\n':
            out.append(QLatin1String("\\n"));
            break;
        case u'\r':
            out.append(QLatin1String("\\r"));
            break;
        case u'\t':
            out.append(QLatin1String("\\t"));
            break;
        default:
            if (c.unicode() < 0x20) {
                appendUnicodeEscape(out, c.unicode());
            } else {
                out.append(c);
            }
        }
    }
    out.append(QLatin1Char('"'));
    return out;
}

QByteArray enclose(const char* open, const QByteArrayList& parts, const char* close)
{
    return QByteArray(open) + parts.join(", ") + close;
}

QByteArray writeValue(const QVariant& data);

QByteArray writeList(const QVariantList& items)
{
    QByteArrayList parts;
    parts.reserve(items.size());
    for (const QVariant& item : items) {
        const QByteArray part = writeValue(item);
        if (part.isNull())
            return QByteArray();
        parts.append(part);
    }
    return enclose("[ ", parts, " ]");
}

template <typename Members>
QByteArray writeObject(const Members& members)
{
    QByteArrayList parts;
    parts.reserve(members.size());
    for (auto it = members.cbegin(); it != members.cend(); ++it) {
        const QByteArray value = writeValue(it.value());
        if (value.isNull())
            return QByteArray();
        parts.append(escapeJsonString(it.key()).toUtf8() + " : " + value);
    }
    return enclose("{ ", parts, " }");
}

QByteArray writeDouble(double value)
{
    if (!std::isfinite(value))
        return QByteArray();
    QByteArray text = QByteArray::number(value, 'g', 20);
    // Keeps integral doubles recognisable as floating point when read back.
    if (!text.contains('.') && !text.contains('e'))
        text.append(".0");
    return text;
}

// canConvert alone is too generous (it says yes for types whose values then fail), so the
// conversion itself has to succeed.
template <typename T>
bool convertTo(const QVariant& data, T* out)
{
    return data.canConvert<T>()
           && QMetaType::convert(data.metaType(), data.constData(), QMetaType::fromType<T>(), out);
}

QByteArray writeValue(const QVariant& data)
{
    if (!data.isValid())
        return QByteArrayLiteral("null");
    switch (data.typeId()) {
    case QMetaType::QVariantList:
        return writeList(data.toList());
    case QMetaType::QStringList: {
        QVariantList items;
        const QStringList strings = data.toStringList();
        items.reserve(strings.size());
        for (const QString& s : strings)
            items.append(s);
        return writeList(items);
    }
    case QMetaType::QVariantHash:
        return writeObject(data.toHash());
    case QMetaType::QVariantMap:
        return writeObject(data.toMap());
    case QMetaType::QString:
    case QMetaType::QByteArray:
        return escapeJsonString(data.toString()).toUtf8();
    case QMetaType::Double:
    case QMetaType::Float:
        return writeDouble(data.toDouble());
    case QMetaType::Bool:
        return data.toBool() ? QByteArrayLiteral("true") : QByteArrayLiteral("false");
    case QMetaType::ULongLong:
    case QMetaType::ULong:
    case QMetaType::UInt:
    case QMetaType::UShort:
    case QMetaType::UChar:
        return QByteArray::number(data.toULongLong());
    case QMetaType::LongLong:
    case QMetaType::Long:
    case QMetaType::Int:
    case QMetaType::Short:
    case QMetaType::Char:
    case QMetaType::SChar:
        return QByteArray::number(data.toLongLong());
    default:
        break;
    }
    qlonglong longLong = 0;
    if (convertTo(data, &longLong))
        return QByteArray::number(longLong);
    long longValue = 0;
    if (convertTo(data, &longValue))
        return QByteArray::number(longValue);
    QString text;
    if (convertTo(data, &text))
        return escapeJsonString(text).toUtf8();
    return QByteArray();
}

} // namespace

QVariant parseJson(const QString& text, bool* ok)
{
    if (ok)
        *ok = true;
    if (text.isNull())
        return QVariant();
    Reader reader(text);
    const QVariant value = reader.readValue(0);
    if (ok)
        *ok = reader.ok();
    return value;
}

QVariant parseJson(const QString& text)
{
    return parseJson(text, nullptr);
}

QByteArray serializeJson(const QVariant& data, bool* ok)
{
    const QByteArray text = writeValue(data);
    if (ok)
        *ok = !text.isNull();
    return text;
}

QByteArray serializeJson(const QVariant& data)
{
    return serializeJson(data, nullptr);
}

} // namespace net
