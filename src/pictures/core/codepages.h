#pragma once

#include <QChar>
#include <QString>

namespace orv {

// 8-bit text in the code page a font's character set names (Windows-1252 for ANSI and anything
// unknown); trailing NULs are dropped.
QString decodeCodePage(const char* data, qsizetype size, quint8 charset);

// What a character of the classic symbol font shows: its Greek letters sit at the Latin
// letters' codes. Other characters are themselves.
QChar symbolFontChar(char16_t c);

} // namespace orv
