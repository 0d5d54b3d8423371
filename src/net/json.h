#pragma once

#include <QByteArray>
#include <QString>
#include <QVariant>

namespace net {

/// Reads JSON text into variants: objects become QVariantMap, arrays QVariantList, strings
/// QString, integers qulonglong (qlonglong when negative), other numbers double, true/false
/// bool and null an invalid QVariant. Text after the first value is ignored. On malformed
/// input *ok becomes false and the broken level reads as an empty map, empty list or invalid
/// QVariant. A null QString gives an invalid QVariant with *ok true.
QVariant parseJson(const QString& text, bool* ok);
QVariant parseJson(const QString& text);

/// Writes variants (maps, hashes, lists, strings, numbers, bools, invalid as null, and
/// anything convertible to an integer or a string) as UTF-8 JSON text. When some value has no
/// JSON form (NaN, infinity, an unknown type) *ok becomes false and the result is null.
QByteArray serializeJson(const QVariant& data, bool* ok);
QByteArray serializeJson(const QVariant& data);

} // namespace net
