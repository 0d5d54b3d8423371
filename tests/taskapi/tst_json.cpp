#include "support/testenv.h"
#include "taskapi/json.h"

#include <QDateTime>
#include <QUrl>

#include <limits>

using taskapi::parseJson;
using taskapi::serializeJson;

// Stands in for any registered value type that has no JSON form.
struct Swatch
{
    int red = 0;
};
Q_DECLARE_METATYPE(Swatch)

namespace {

QVariant swatch()
{
    return QVariant::fromValue(Swatch{200});
}

QVariant list(const QVariantList& items)
{
    return QVariant(items);
}

QVariant map(const QVariantMap& members)
{
    return QVariant(members);
}

QVariant u64(qulonglong value)
{
    return QVariant(value);
}

// QVariant's operator== equates numbers of different types, so types are compared level by
// level as well.
void compareTree(const QVariant& actual, const QVariant& expected)
{
    QCOMPARE(actual.typeId(), expected.typeId());
    if (expected.typeId() == QMetaType::QVariantMap) {
        const QVariantMap actualMap = actual.toMap();
        const QVariantMap expectedMap = expected.toMap();
        QCOMPARE(actualMap.keys(), expectedMap.keys());
        for (auto it = expectedMap.cbegin(); it != expectedMap.cend(); ++it) {
            compareTree(actualMap.value(it.key()), it.value());
            if (QTest::currentTestFailed())
                return;
        }
    } else if (expected.typeId() == QMetaType::QVariantList) {
        const QVariantList actualList = actual.toList();
        const QVariantList expectedList = expected.toList();
        QCOMPARE(actualList.size(), expectedList.size());
        for (qsizetype i = 0; i < expectedList.size(); ++i) {
            compareTree(actualList.at(i), expectedList.at(i));
            if (QTest::currentTestFailed())
                return;
        }
    } else {
        QCOMPARE(actual, expected);
    }
}

} // namespace

class TstJson : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void parse_readsScalarsWithTheirTypes_data();
    void parse_readsScalarsWithTheirTypes();
    void parse_decodesStringEscapes_data();
    void parse_decodesStringEscapes();
    void parse_readsContainersWithLooseSeparators_data();
    void parse_readsContainersWithLooseSeparators();
    void parse_ignoresTextAfterFirstValue_data();
    void parse_ignoresTextAfterFirstValue();
    void parse_failsOnMalformedTextAndReplacesTheBrokenLevel_data();
    void parse_failsOnMalformedTextAndReplacesTheBrokenLevel();
    void parse_nullTextIsInvalidButOk();
    void parse_failsOnExcessiveNesting();
    void okFlag_isResetToTrueOnSuccess();
    void serialize_writesExactText_data();
    void serialize_writesExactText();
    void serialize_hashWritesEveryMember();
    void serialize_failsWithNullResultForUnwritableValues_data();
    void serialize_failsWithNullResultForUnwritableValues();
    void roundTrip_preservesStrings_data();
    void roundTrip_preservesStrings();
    void roundTrip_preservesNestedStructuresAndTypes();
};

void TstJson::parse_readsScalarsWithTheirTypes_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QVariant>("expected");

    QTest::newRow("integer is unsigned") << QStringLiteral("12") << u64(12);
    QTest::newRow("zero") << QStringLiteral("0") << u64(0);
    QTest::newRow("negative integer is signed") << QStringLiteral("-12") << QVariant(qlonglong(-12));
    QTest::newRow("largest unsigned") << QStringLiteral("18446744073709551615")
                                      << u64(std::numeric_limits<qulonglong>::max());
    QTest::newRow("smallest signed") << QStringLiteral("-9223372036854775808")
                                     << QVariant(std::numeric_limits<qlonglong>::min());
    QTest::newRow("above unsigned range is double")
        << QStringLiteral("18446744073709551616") << QVariant(18446744073709551616.0);
    QTest::newRow("below signed range is double")
        << QStringLiteral("-9223372036854775809") << QVariant(-9223372036854775809.0);
    QTest::newRow("fraction") << QStringLiteral("1.5") << QVariant(1.5);
    QTest::newRow("negative fraction") << QStringLiteral("-0.25") << QVariant(-0.25);
    QTest::newRow("exponent makes a double") << QStringLiteral("1e5") << QVariant(100000.0);
    QTest::newRow("fraction and exponent") << QStringLiteral("1.0e5") << QVariant(100000.0);
    QTest::newRow("upper-case exponent") << QStringLiteral("2E-2") << QVariant(0.02);
    QTest::newRow("malformed double is zero") << QStringLiteral("1.2.3") << QVariant(0.0);
    QTest::newRow("overflowing double is zero") << QStringLiteral("1e400") << QVariant(0.0);
    QTest::newRow("lone minus is zero") << QStringLiteral("-") << QVariant(qlonglong(0));
    QTest::newRow("sign inside integer is zero") << QStringLiteral("1-2") << u64(0);
    QTest::newRow("true") << QStringLiteral("true") << QVariant(true);
    QTest::newRow("false") << QStringLiteral("false") << QVariant(false);
    QTest::newRow("null") << QStringLiteral("null") << QVariant();
    QTest::newRow("string") << QStringLiteral("\"abc\"") << QVariant(QStringLiteral("abc"));
    QTest::newRow("empty string") << QStringLiteral("\"\"") << QVariant(QStringLiteral(""));
    QTest::newRow("leading blanks") << QStringLiteral(" \t\r\n 7") << u64(7);
}

void TstJson::parse_readsScalarsWithTheirTypes()
{
    QFETCH(QString, text);
    QFETCH(QVariant, expected);
    bool ok = false;
    const QVariant value = parseJson(text, &ok);
    QVERIFY(ok);
    compareTree(value, expected);
}

void TstJson::parse_decodesStringEscapes_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("expected");

    QTest::newRow("quote") << QStringLiteral(R"("a\"b")") << QStringLiteral("a\"b");
    QTest::newRow("backslash") << QStringLiteral(R"("a\\b")") << QStringLiteral("a\\b");
    QTest::newRow("slash") << QStringLiteral(R"("a\/b")") << QStringLiteral("a/b");
    QTest::newRow("control letters") << QStringLiteral(R"("\b\f\n\r\t")")
                                     << QStringLiteral("\b\f\n\r\t");
    QTest::newRow("unicode escape") << QStringLiteral(R"("\u0041")") << QStringLiteral("A");
    QTest::newRow("lower-case hex") << QStringLiteral(R"("\u00e9")") << QStringLiteral("é");
    QTest::newRow("surrogate pair") << QStringLiteral(R"("\ud83D\uDE00")") << QStringLiteral("😀");
    QTest::newRow("non-hex digits give code unit 0")
        << QStringLiteral(R"("a\uZZZZb")") << QStringLiteral("a") + QChar(0) + QStringLiteral("b");
    QTest::newRow("prefixed hex gives code unit 0")
        << QStringLiteral(R"("\u0x41")") << QString(QChar(0));
    QTest::newRow("unknown escape is dropped") << QStringLiteral(R"("a\qb")") << QStringLiteral("ab");
    QTest::newRow("raw control characters kept") << QStringLiteral("\"a\x01\tb\"")
                                                 << QStringLiteral("a\x01\tb");
    QTest::newRow("raw non-ASCII kept") << QStringLiteral("\"Привет 😀\"")
                                        << QStringLiteral("Привет 😀");
}

void TstJson::parse_decodesStringEscapes()
{
    QFETCH(QString, text);
    QFETCH(QString, expected);
    bool ok = false;
    const QVariant value = parseJson(text, &ok);
    QVERIFY(ok);
    QCOMPARE(value.typeId(), QMetaType::QString);
    QCOMPARE(value.toString(), expected);
}

void TstJson::parse_readsContainersWithLooseSeparators_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QVariant>("expected");

    QTest::newRow("empty array") << QStringLiteral("[ ]") << list({});
    QTest::newRow("empty object") << QStringLiteral("{}") << map({});
    QTest::newRow("repeated and trailing commas") << QStringLiteral("[1,,2,]") << list({u64(1), u64(2)});
    QTest::newRow("leading comma") << QStringLiteral("[,1]") << list({u64(1)});
    QTest::newRow("no comma in array") << QStringLiteral("[1 2]") << list({u64(1), u64(2)});
    QTest::newRow("no comma in object") << QStringLiteral(R"({"a":1 "b":2})")
                                        << map({{QStringLiteral("a"), u64(1)}, {QStringLiteral("b"), u64(2)}});
    QTest::newRow("commas around members") << QStringLiteral(R"({,"a":1,,})")
                                           << map({{QStringLiteral("a"), u64(1)}});
    QTest::newRow("repeated name keeps last value") << QStringLiteral(R"({"a":1,"a":2})")
                                                    << map({{QStringLiteral("a"), u64(2)}});
    QTest::newRow("nested")
        << QStringLiteral(" { \"a\" : [ true , null , { \"b\" : \"c\" } ] , \"d\" : -1.5 } ")
        << map({{QStringLiteral("a"),
                 list({true, QVariant(), map({{QStringLiteral("b"), QStringLiteral("c")}})})},
                {QStringLiteral("d"), -1.5}});
}

void TstJson::parse_readsContainersWithLooseSeparators()
{
    QFETCH(QString, text);
    QFETCH(QVariant, expected);
    bool ok = false;
    const QVariant value = parseJson(text, &ok);
    QVERIFY(ok);
    compareTree(value, expected);
}

void TstJson::parse_ignoresTextAfterFirstValue_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QVariant>("expected");

    QTest::newRow("second number") << QStringLiteral("1 2") << u64(1);
    QTest::newRow("stray bracket") << QStringLiteral("[1]]") << list({u64(1)});
    QTest::newRow("letters after keyword") << QStringLiteral("truex") << QVariant(true);
    QTest::newRow("garbage after string") << QStringLiteral("\"a\" junk")
                                          << QVariant(QStringLiteral("a"));
}

void TstJson::parse_ignoresTextAfterFirstValue()
{
    QFETCH(QString, text);
    QFETCH(QVariant, expected);
    bool ok = false;
    const QVariant value = parseJson(text, &ok);
    QVERIFY(ok);
    compareTree(value, expected);
}

void TstJson::parse_failsOnMalformedTextAndReplacesTheBrokenLevel_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QVariant>("expected");

    QTest::newRow("empty text") << QStringLiteral("") << QVariant();
    QTest::newRow("blanks only") << QStringLiteral(" \n\t") << QVariant();
    QTest::newRow("closing bracket") << QStringLiteral("]") << QVariant();
    QTest::newRow("colon") << QStringLiteral(":") << QVariant();
    QTest::newRow("unknown word") << QStringLiteral("yes") << QVariant();
    QTest::newRow("truncated true") << QStringLiteral("tru") << QVariant();
    QTest::newRow("truncated false") << QStringLiteral("fals") << QVariant();
    QTest::newRow("truncated null") << QStringLiteral("nul") << QVariant();
    QTest::newRow("capitalised keyword") << QStringLiteral("True") << QVariant();
    QTest::newRow("number without leading digit") << QStringLiteral(".5") << QVariant();
    QTest::newRow("unterminated string") << QStringLiteral("\"abc") << QVariant();
    QTest::newRow("backslash at end") << QStringLiteral("\"abc\\") << QVariant();
    QTest::newRow("unicode escape cut short") << QStringLiteral("\"\\u41") << QVariant();
    QTest::newRow("unquoted member name") << QStringLiteral("{a:1}") << map({});
    QTest::newRow("numeric member name") << QStringLiteral("{1:2}") << map({});
    QTest::newRow("missing colon") << QStringLiteral(R"({"a" 1})") << map({});
    QTest::newRow("missing member value") << QStringLiteral(R"({"a":})") << map({});
    QTest::newRow("unterminated object") << QStringLiteral(R"({"a":1)") << map({});
    QTest::newRow("unterminated array") << QStringLiteral("[1,2") << list({});
    QTest::newRow("mismatched close") << QStringLiteral("[1}") << list({});
    QTest::newRow("broken inner array") << QStringLiteral(R"({"a":[1,}})") << map({});
    QTest::newRow("broken inner object") << QStringLiteral(R"([{"a"}])") << list({});
}

void TstJson::parse_failsOnMalformedTextAndReplacesTheBrokenLevel()
{
    QFETCH(QString, text);
    QFETCH(QVariant, expected);
    bool ok = true;
    const QVariant value = parseJson(text, &ok);
    QVERIFY(!ok);
    compareTree(value, expected);
}

void TstJson::parse_nullTextIsInvalidButOk()
{
    bool ok = false;
    const QVariant value = parseJson(QString(), &ok);
    QVERIFY(ok);
    QVERIFY(!value.isValid());
}

void TstJson::parse_failsOnExcessiveNesting()
{
    bool ok = true;
    parseJson(QString(100000, QLatin1Char('[')), &ok);
    QVERIFY(!ok);

    const QVariant deep =
        parseJson(QString(200, QLatin1Char('[')) + QString(200, QLatin1Char(']')), &ok);
    QVERIFY(ok);
    QCOMPARE(deep.typeId(), QMetaType::QVariantList);
}

void TstJson::okFlag_isResetToTrueOnSuccess()
{
    bool ok = false;
    QCOMPARE(parseJson(QStringLiteral("[1]"), &ok), list({u64(1)}));
    QVERIFY(ok);
    ok = false;
    QCOMPARE(serializeJson(QVariant(1), &ok), QByteArray("1"));
    QVERIFY(ok);
}

void TstJson::serialize_writesExactText_data()
{
    QTest::addColumn<QVariant>("data");
    QTest::addColumn<QByteArray>("expected");

    QTest::newRow("invalid is null") << QVariant() << QByteArray("null");
    QTest::newRow("true") << QVariant(true) << QByteArray("true");
    QTest::newRow("false") << QVariant(false) << QByteArray("false");
    QTest::newRow("int") << QVariant(-7) << QByteArray("-7");
    QTest::newRow("smallest qlonglong") << QVariant(std::numeric_limits<qlonglong>::min())
                                        << QByteArray("-9223372036854775808");
    QTest::newRow("largest qulonglong") << u64(std::numeric_limits<qulonglong>::max())
                                        << QByteArray("18446744073709551615");
    QTest::newRow("uint") << QVariant(4000000000u) << QByteArray("4000000000");
    QTest::newRow("short") << QVariant::fromValue(short(-3)) << QByteArray("-3");
    QTest::newRow("uchar") << QVariant::fromValue(uchar(200)) << QByteArray("200");
    QTest::newRow("integral double") << QVariant(3.0) << QByteArray("3.0");
    QTest::newRow("negative integral double") << QVariant(-2.0) << QByteArray("-2.0");
    QTest::newRow("zero double") << QVariant(0.0) << QByteArray("0.0");
    QTest::newRow("fraction") << QVariant(0.5) << QByteArray("0.5");
    QTest::newRow("exponent form") << QVariant(1e21) << QByteArray("1e+21");
    QTest::newRow("float") << QVariant(0.25f) << QByteArray("0.25");
    QTest::newRow("string") << QVariant(QStringLiteral("x")) << QByteArray(R"("x")");
    QTest::newRow("empty string") << QVariant(QString()) << QByteArray(R"("")");
    QTest::newRow("byte array") << QVariant(QByteArray("bytes")) << QByteArray(R"("bytes")");
    QTest::newRow("tab, line feed, quote") << QVariant(QStringLiteral("a\tb\nc\"d"))
                                           << QByteArray(R"("a\tb\nc\"d")");
    QTest::newRow("backslash, backspace, form feed, return")
        << QVariant(QStringLiteral("\\\b\f\r")) << QByteArray(R"("\\\b\f\r")");
    QTest::newRow("slash not escaped") << QVariant(QStringLiteral("a/b")) << QByteArray(R"("a/b")");
    QTest::newRow("other control characters")
        << QVariant(QStringLiteral("\x01\x1f")) << QByteArray(R"("\u0001\u001F")");
    QTest::newRow("non-ASCII as UTF-8") << QVariant(QStringLiteral("Привет 😀"))
                                        << QByteArray("\"Привет 😀\"");
    QTest::newRow("empty list") << list({}) << QByteArray("[  ]");
    QTest::newRow("empty map") << map({}) << QByteArray("{  }");
    QTest::newRow("empty hash") << QVariant(QVariantHash()) << QByteArray("{  }");
    QTest::newRow("map") << map({{QStringLiteral("a"), 1}, {QStringLiteral("b"), QStringLiteral("x")}})
                         << QByteArray(R"({ "a" : 1, "b" : "x" })");
    QTest::newRow("map in key order")
        << map({{QStringLiteral("b"), 1}, {QStringLiteral("a"), 2}})
        << QByteArray(R"({ "a" : 2, "b" : 1 })");
    QTest::newRow("escaped member name") << map({{QStringLiteral("a\"b"), QVariant()}})
                                         << QByteArray(R"({ "a\"b" : null })");
    QTest::newRow("single-member hash")
        << QVariant(QVariantHash{{QStringLiteral("k"), true}}) << QByteArray(R"({ "k" : true })");
    QTest::newRow("string list") << QVariant(QStringList{QStringLiteral("a"), QStringLiteral("b")})
                                 << QByteArray(R"([ "a", "b" ])");
    QTest::newRow("nested")
        << list({1, list({2.5, QVariant()}), map({{QStringLiteral("x"), list({})}})})
        << QByteArray(R"([ 1, [ 2.5, null ], { "x" : [  ] } ])");
    QTest::newRow("url as text") << QVariant(QUrl(QStringLiteral("https://example.org/a?b=c")))
                                 << QByteArray(R"("https://example.org/a?b=c")");
    QTest::newRow("date-time as text")
        << QVariant(QDateTime(QDate(2024, 1, 2), QTime(3, 4, 5), Qt::UTC))
        << QByteArray(R"("2024-01-02T03:04:05.000Z")");
}

void TstJson::serialize_writesExactText()
{
    QFETCH(QVariant, data);
    QFETCH(QByteArray, expected);
    bool ok = false;
    QCOMPARE(serializeJson(data, &ok), expected);
    QVERIFY(ok);
}

void TstJson::serialize_hashWritesEveryMember()
{
    const QVariantHash hash{{QStringLiteral("one"), 1}, {QStringLiteral("two"), 2}};
    bool ok = false;
    const QByteArray text = serializeJson(hash, &ok);
    QVERIFY(ok);
    QVERIFY(text == R"({ "one" : 1, "two" : 2 })" || text == R"({ "two" : 2, "one" : 1 })");
}

void TstJson::serialize_failsWithNullResultForUnwritableValues_data()
{
    QTest::addColumn<QVariant>("data");

    QTest::newRow("NaN") << QVariant(std::numeric_limits<double>::quiet_NaN());
    QTest::newRow("infinity") << QVariant(std::numeric_limits<double>::infinity());
    QTest::newRow("negative infinity") << QVariant(-std::numeric_limits<double>::infinity());
    QTest::newRow("float NaN") << QVariant(std::numeric_limits<float>::quiet_NaN());
    QTest::newRow("unknown type") << swatch();
    QTest::newRow("unknown type in list") << list({1, swatch()});
    QTest::newRow("unknown type in map") << map({{QStringLiteral("a"), 1}, {QStringLiteral("b"), swatch()}});
    QTest::newRow("unknown type in hash") << QVariant(QVariantHash{{QStringLiteral("a"), swatch()}});
    QTest::newRow("NaN deep inside")
        << map({{QStringLiteral("a"), list({list({std::numeric_limits<double>::quiet_NaN()})})}});
}

void TstJson::serialize_failsWithNullResultForUnwritableValues()
{
    QFETCH(QVariant, data);
    bool ok = true;
    QVERIFY(serializeJson(data, &ok).isNull());
    QVERIFY(!ok);
    QVERIFY(serializeJson(data).isNull());
}

void TstJson::roundTrip_preservesStrings_data()
{
    QTest::addColumn<QString>("text");

    QTest::newRow("empty") << QStringLiteral("");
    QTest::newRow("tab, line feed, quote") << QStringLiteral("a\tb\nc\"d");
    QTest::newRow("backslashes") << QStringLiteral("C:\\dir\\\\file");
    QTest::newRow("slashes") << QStringLiteral("/path/to/");
    QTest::newRow("control characters") << QStringLiteral("\x01x\x1f\b\f\r");
    QTest::newRow("Cyrillic and emoji") << QStringLiteral("Привет 😀");
}

void TstJson::roundTrip_preservesStrings()
{
    QFETCH(QString, text);
    bool ok = false;
    const QVariant back = parseJson(QString::fromUtf8(serializeJson(text)), &ok);
    QVERIFY(ok);
    QCOMPARE(back.typeId(), QMetaType::QString);
    QCOMPARE(back.toString(), text);
}

void TstJson::roundTrip_preservesNestedStructuresAndTypes()
{
    const QVariant tree = map({
        {QStringLiteral("count"), u64(3)},
        {QStringLiteral("delta"), QVariant(qlonglong(-5))},
        {QStringLiteral("ratio"), 2.5},
        {QStringLiteral("whole"), 3.0},
        {QStringLiteral("huge"), 1e21},
        {QStringLiteral("done"), false},
        {QStringLiteral("nothing"), QVariant()},
        {QStringLiteral("title"), QStringLiteral("Buy \"milk\"\n")},
        {QStringLiteral("tasks"),
         list({map({{QStringLiteral("id"), u64(1)}, {QStringLiteral("tags"), list({})}}),
               map({}),
               list({list({true})})})},
    });
    bool ok = false;
    const QVariant back = parseJson(QString::fromUtf8(serializeJson(tree)), &ok);
    QVERIFY(ok);
    compareTree(back, tree);
}

MRV_TEST_GUILESS_MAIN(TstJson)
#include "tst_json.moc"
