#pragma once

#include <QChar>
#include <QString>

namespace orv {

// 8-bit text in the code page a font's character set names (Windows-1252 for ANSI and anything
// unknown, the codes themselves for SYMBOL_CHARSET); trailing NULs are dropped.
QString decodeCodePage(const char* data, qsizetype size, quint8 charset);

// Fonts whose characters are not letters: their codes name symbols, which symbolChar() gives
// as the Unicode characters they show.
enum class SymbolFont { None, Symbol, Wingdings, MtExtra, Other };

// Which symbol font a face and character set name, if any. SYMBOL_CHARSET (2) marks one.
SymbolFont symbolFontFor(const QString& face, quint8 charset);

// What one code of a symbol font shows: Greek, mathematics, arrows, pictographs. Codes come as
// 8-bit values or in the private-use range U+F020..U+F0FF where Unicode writers put them. A code
// the font's table lacks, and every code of an unknown symbol font, is returned as it was.
QString symbolChar(char16_t code, SymbolFont font);

// Glyph indices as text, for the fonts whose first glyphs follow the standard Macintosh order
// (Arial, Times New Roman, Courier New and the other core fonts), where glyphs 3..97 are the
// characters from the space to the tilde. A null string when the font is not one of them or a
// glyph lies outside that range: its text cannot be recovered without the font itself.
QString standardOrderGlyphText(const QString& glyphs, const QString& face);

} // namespace orv
