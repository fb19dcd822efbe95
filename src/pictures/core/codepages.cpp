#include "codepages.h"

#include <QStringDecoder>

#include <array>

namespace orv {

QString decodeCodePage(const char* data, qsizetype size, quint8 charset)
{
    while (size > 0 && data[size - 1] == '\0')
        --size;
    const char* name = nullptr;
    switch (charset) {
    case 77: name = "macintosh"; break;
    case 128: name = "Shift_JIS"; break;
    case 129: name = "windows-949"; break;
    case 134: name = "GBK"; break;
    case 136: name = "Big5"; break;
    case 161: name = "windows-1253"; break;
    case 162: name = "windows-1254"; break;
    case 163: name = "windows-1258"; break;
    case 177: name = "windows-1255"; break;
    case 178: name = "windows-1256"; break;
    case 186: name = "windows-1257"; break;
    case 204: name = "windows-1251"; break;
    case 222: name = "windows-874"; break;
    case 238: name = "windows-1250"; break;
    case 255: name = "IBM437"; break;
    default: break;
    }
    if (name) {
        QStringDecoder decoder(name);
        if (decoder.isValid())
            return decoder(QByteArrayView(data, size));
    }
    // Windows-1252, which fills Latin-1's control range with punctuation.
    static constexpr std::array<char16_t, 32> high {
        0x20ac, 0x81, 0x201a, 0x0192, 0x201e, 0x2026, 0x2020, 0x2021, 0x02c6, 0x2030, 0x0160, 0x2039, 0x0152, 0x8d, 0x017d, 0x8f,
        0x90, 0x2018, 0x2019, 0x201c, 0x201d, 0x2022, 0x2013, 0x2014, 0x02dc, 0x2122, 0x0161, 0x203a, 0x0153, 0x9d, 0x017e, 0x0178};
    QString text(size, Qt::Uninitialized);
    for (qsizetype i = 0; i < size; ++i) {
        const auto c = quint8(data[i]);
        text[i] = QChar(c >= 0x80 && c < 0xa0 ? high[c - 0x80] : char16_t(c));
    }
    return text;
}

QChar symbolFontChar(char16_t c)
{
    static constexpr char16_t upper[] = u"\u0391\u0392\u03a7\u0394\u0395\u03a6\u0393\u0397\u0399\u03d1\u039a\u039b\u039c"
                                        u"\u039d\u039f\u03a0\u0398\u03a1\u03a3\u03a4\u03a5\u03c2\u03a9\u039e\u03a8\u0396";
    static constexpr char16_t lower[] = u"\u03b1\u03b2\u03c7\u03b4\u03b5\u03c6\u03b3\u03b7\u03b9\u03d5\u03ba\u03bb\u03bc"
                                        u"\u03bd\u03bf\u03c0\u03b8\u03c1\u03c3\u03c4\u03c5\u03d6\u03c9\u03be\u03c8\u03b6";
    if (c >= u'A' && c <= u'Z')
        return QChar(upper[c - u'A']);
    if (c >= u'a' && c <= u'z')
        return QChar(lower[c - u'a']);
    return QChar(c);
}

} // namespace orv
