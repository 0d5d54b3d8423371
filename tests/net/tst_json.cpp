#include "support/testenv.h"
#include "net/json.h"

#include <QDateTime>
#include <QUrl>

#include <limits>

using net::parseJson;
using net::serializeJson;

// Stands in for any registered value type that has no JSON form.
struct Swatch
{
    int red = 0;
};
Q_DECLARE_METATYPE(Swatch)

namespace {

QVariant swatch() { return QVariant::fromValue(Swatch{200}); }
QVariant list(const QVariantList& items) { return QVariant(items); }
QVariant map(const QVariantMap& members) { return QVariant(members); }
QVariant u64(qulonglong value) { return QVariant(value); }
QVariant str(const QString& text) { return QVariant(text); }

// QVariant's operator== equates numbers of different types, so types are compared at every level.
void compareTree(const QVariant& actual, const QVariant& expected)
{
    QCOMPARE(actual.typeId(), expected.typeId());
    if (expected.typeId() == QMetaType::QVariantMap) {
        const QVariantMap a = actual.toMap();
        const QVariantMap e = expected.toMap();
        QCOMPARE(a.keys(), e.keys());
        for (auto it = e.cbegin(); it != e.cend() && !QTest::currentTestFailed(); ++it)
            compareTree(a.value(it.key()), it.value());
    } else if (expected.typeId() == QMetaType::QVariantList) {
        const QVariantList a = actual.toList();
        const QVariantList e = expected.toList();
        QCOMPARE(a.size(), e.size());
        for (qsizetype i = 0; i < e.size() && !QTest::currentTestFailed(); ++i)
            compareTree(a.at(i), e.at(i));
    } else {
        QCOMPARE(actual, expected);
    }
}

} // namespace

class TstJson : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void parse_data();
    void parse();
    void parse_failsOnExcessiveNesting();
    void serialize_data();
    void serialize();
    void roundTrip_preservesNestedStructuresAndTypes();
};

void TstJson::parse_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QVariant>("expected");
    QTest::addColumn<bool>("ok");

    // Numbers keep the narrowest fitting type.
    QTest::newRow("12 unsigned") << QStringLiteral("12") << u64(12) << true;
    QTest::newRow("-12 signed") << QStringLiteral("-12") << QVariant(qlonglong(-12)) << true;
    QTest::newRow("largest unsigned") << QStringLiteral("18446744073709551615")
                                      << u64(std::numeric_limits<qulonglong>::max()) << true;
    QTest::newRow("huge is double") << QStringLiteral("18446744073709551616")
                                    << QVariant(18446744073709551616.0) << true;
    QTest::newRow("huge negative is double") << QStringLiteral("-9223372036854775809")
                                             << QVariant(-9223372036854775809.0) << true;
    QTest::newRow("1e5") << QStringLiteral("1e5") << QVariant(100000.0) << true;
    QTest::newRow("malformed double is zero") << QStringLiteral("1.2.3") << QVariant(0.0) << true;
    QTest::newRow("null") << QStringLiteral("null") << QVariant() << true;
    // Strings.
    QTest::newRow("simple escapes") << QStringLiteral(R"("\"\\\/\b\f\n\r\t")")
                                    << str(QStringLiteral("\"\\/\b\f\n\r\t")) << true;
    QTest::newRow("surrogate pair") << QStringLiteral(R"("\ud83D\uDE00")") << str(QStringLiteral("😀")) << true;
    QTest::newRow("raw text kept") << QStringLiteral("\"a\x01\tПривет 😀\"")
                                   << str(QStringLiteral("a\x01\tПривет 😀")) << true;
    // Containers with loose commas; a repeated name keeps the last value.
    QTest::newRow("optional commas") << QStringLiteral("[,1,,2 3,]") << list({u64(1), u64(2), u64(3)}) << true;
    QTest::newRow("repeated name keeps last") << QStringLiteral(R"({"a":1,"a":2})")
                                              << map({{QStringLiteral("a"), u64(2)}}) << true;
    // Text after the first value is ignored.
    QTest::newRow("second number ignored") << QStringLiteral("1 2") << u64(1) << true;
    // A null QString is fine, an empty one is not.
    QTest::newRow("null text") << QString() << QVariant() << true;
    QTest::newRow("empty text") << QStringLiteral("") << QVariant() << false;
    // Errors replace the broken level with an empty value of its kind.
    QTest::newRow("closing bracket") << QStringLiteral("]") << QVariant() << false;
    QTest::newRow("truncated true") << QStringLiteral("tru") << QVariant() << false;
    QTest::newRow("unterminated string") << QStringLiteral("\"abc") << QVariant() << false;
    QTest::newRow("\\u cut short") << QStringLiteral("\"\\u41") << QVariant() << false;
    QTest::newRow("missing colon") << QStringLiteral(R"({"a" 1})") << map({}) << false;
    QTest::newRow("unterminated array") << QStringLiteral("[1,2") << list({}) << false;
    QTest::newRow("broken inner object") << QStringLiteral(R"([{"a"}])") << list({}) << false;
}

void TstJson::parse()
{
    QFETCH(QString, text);
    QFETCH(QVariant, expected);
    QFETCH(bool, ok);
    bool reported = !ok; // the flag must be set either way
    compareTree(parseJson(text, &reported), expected);
    QCOMPARE(reported, ok);
}

void TstJson::parse_failsOnExcessiveNesting()
{
    bool ok = true;
    parseJson(QString(100000, QLatin1Char('[')), &ok);
    QVERIFY(!ok);
    const QVariant deep = parseJson(QString(200, QLatin1Char('[')) + QString(200, QLatin1Char(']')), &ok);
    QVERIFY(ok);
    QCOMPARE(deep.typeId(), QMetaType::QVariantList);
}

void TstJson::serialize_data()
{
    QTest::addColumn<QVariant>("data");
    QTest::addColumn<QByteArray>("expected");

    QTest::newRow("invalid is null") << QVariant() << QByteArray("null");
    QTest::newRow("int") << QVariant(-7) << QByteArray("-7");
    QTest::newRow("largest qulonglong") << u64(std::numeric_limits<qulonglong>::max())
                                        << QByteArray("18446744073709551615");
    QTest::newRow("3.0") << QVariant(3.0) << QByteArray("3.0");
    QTest::newRow("1e+21") << QVariant(1e21) << QByteArray("1e+21");
    QTest::newRow("byte array") << QVariant(QByteArray("bytes")) << QByteArray(R"("bytes")");
    QTest::newRow("escapes") << str(QStringLiteral("\t\n\"\\\b\f\r/")) << QByteArray(R"("\t\n\"\\\b\f\r/")");
    QTest::newRow("\\u00XX") << str(QStringLiteral("\x01\x1f")) << QByteArray(R"("\u0001\u001F")");
    QTest::newRow("non-ASCII as UTF-8") << str(QStringLiteral("Привет 😀")) << QByteArray("\"Привет 😀\"");
    QTest::newRow("lone surrogates escaped") << str(QString(QChar(0xD800)) + QLatin1Char('a') + QChar(0xDC01))
                                             << QByteArray(R"("\uD800a\uDC01")");
    QTest::newRow("empty map") << map({}) << QByteArray("{  }");
    QTest::newRow("members in key order") << map({{QStringLiteral("b"), 1}, {QStringLiteral("a"), QStringLiteral("x")}})
                                          << QByteArray(R"({ "a" : "x", "b" : 1 })");
    QTest::newRow("single-member hash") << QVariant(QVariantHash{{QStringLiteral("k"), true}})
                                        << QByteArray(R"({ "k" : true })");
    QTest::newRow("string list") << QVariant(QStringList{QStringLiteral("a"), QStringLiteral("b")})
                                 << QByteArray(R"([ "a", "b" ])");
    QTest::newRow("nested") << list({1, list({2.5, QVariant()}), map({{QStringLiteral("x"), list({})}})})
                            << QByteArray(R"([ 1, [ 2.5, null ], { "x" : [  ] } ])");
    QTest::newRow("url") << QVariant(QUrl(QStringLiteral("https://example.org/a?b=c")))
                         << QByteArray(R"("https://example.org/a?b=c")");
    QTest::newRow("date-time") << QVariant(QDateTime(QDate(2024, 1, 2), QTime(3, 4, 5), Qt::UTC))
                               << QByteArray(R"("2024-01-02T03:04:05.000Z")");
    // Values without a JSON form are refused, however deep they are (a null result).
    const double nan = std::numeric_limits<double>::quiet_NaN();
    QTest::newRow("NaN") << QVariant(nan) << QByteArray();
    QTest::newRow("-infinity") << QVariant(-std::numeric_limits<double>::infinity()) << QByteArray();
    QTest::newRow("float NaN") << QVariant(std::numeric_limits<float>::quiet_NaN()) << QByteArray();
    QTest::newRow("NaN deep inside") << map({{QStringLiteral("a"), list({list({nan})})}}) << QByteArray();
    QTest::newRow("custom type in hash")
        << QVariant(QVariantHash{{QStringLiteral("a"), swatch()}}) << QByteArray();
}

void TstJson::serialize()
{
    QFETCH(QVariant, data);
    QFETCH(QByteArray, expected);
    bool ok = expected.isNull();
    QCOMPARE(serializeJson(data, &ok), expected);
    QCOMPARE(ok, !expected.isNull());
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
        {QStringLiteral("title"), QStringLiteral("Buy \"milk\"\n\\ \x01 Привет 😀")},
        // Two members that differ only in a lone surrogate stay two.
        {QString(QChar(0xD800)), u64(1)},
        {QStringLiteral("?"), u64(2)},
        {QStringLiteral("tasks"),
         list({map({{QStringLiteral("id"), u64(1)}, {QStringLiteral("tags"), list({})}}), map({}),
               list({list({true})})})},
    });
    bool ok = false;
    compareTree(parseJson(QString::fromUtf8(serializeJson(tree)), &ok), tree);
    QVERIFY(ok);
}

MRV_TEST_GUILESS_MAIN(TstJson)
#include "tst_json.moc"
