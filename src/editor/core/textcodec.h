#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringView>
#include <optional>

namespace orv {

// Strict UTF-8: no overlong forms, no encoded surrogates, nothing above U+10FFFF, no cut
// sequence at the end. Text that passes decodes and re-encodes to the same bytes.
bool isValidUtf8(QByteArrayView bytes);

// Windows-1252 with the five bytes it leaves undefined (81 8D 8F 90 9D) mapped to the C1
// controls of the same value, so every byte string decodes and encodes back unchanged.
QString decodeWindows1252(QByteArrayView bytes);
// nullopt when the text holds a character that has no Windows-1252 byte.
std::optional<QByteArray> encodeWindows1252(QStringView text);

} // namespace orv
