#include "palette/core/palettereaders.h"

#include "common/core/filenames.h"

#include <QBuffer>
#include <QFile>
#include <QIODevice>

#include <algorithm>
#include <cmath>
#include <optional>

namespace orv {

namespace {

constexpr qint64 kBitsPerPixelOffset = 28;
constexpr qint64 kColourTableOffset = 54;
constexpr qint64 kBitmapBytesUsed = kColourTableOffset + 4 * kPaletteSize; // 1078

// Opens only regular files: a FIFO or a device chosen in the dialog would block or never end,
// and such a path reads as empty like a missing one.
bool openRegularFile(QFile& f, const QString& path)
{
    return openForReading(f, path).isEmpty();
}

// Reads up to n bytes, padding what the device does not have with zeros.
QByteArray readPadded(QIODevice& in, qint64 n)
{
    QByteArray bytes;
    bytes.reserve(n);
    char buf[512];
    while (bytes.size() < n) {
        const qint64 got = in.read(buf, std::min<qint64>(sizeof buf, n - bytes.size()));
        if (got <= 0)
            break;
        bytes.append(buf, got);
    }
    bytes.append(n - bytes.size(), '\0');
    return bytes;
}

quint8 byteAt(const QByteArray& b, qint64 i) { return static_cast<quint8>(b.at(i)); }

// Splits a JASC file into its items, reading one character at a time so that nothing but the
// current item is ever held.
class JascItems {
public:
    explicit JascItems(QIODevice& in) : in_(in) {}

    // The next line, without its line end (CR LF, LF or CR). Only `keep` characters are kept:
    // a longer line cannot equal what it is compared with, and is reported one character longer.
    QString line(qsizetype keep)
    {
        QString text;
        char c = 0;
        while (in_.getChar(&c)) {
            if (c == '\n')
                break;
            if (c == '\r') {
                char next = 0;
                if (in_.getChar(&next) && next != '\n')
                    in_.ungetChar(next);
                break;
            }
            if (text.size() <= keep)
                text.append(QLatin1Char(c));
        }
        return text;
    }

    // The next colour value, or nothing at the end or at an item that is not a 16-bit signed
    // whole number (an optional sign, then digits only).
    std::optional<qint16> number()
    {
        char c = 0;
        do {
            if (!in_.getChar(&c))
                return std::nullopt;
        } while (isSeparator(c));
        bool negative = false;
        if (c == '-' || c == '+') {
            negative = c == '-';
            if (!in_.getChar(&c) || isSeparator(c))
                return std::nullopt;
        }
        long value = 0;
        bool ok = true;
        for (;;) {
            if (c < '0' || c > '9')
                ok = false;
            else if (value <= 32768)
                value = value * 10 + (c - '0');
            if (!in_.getChar(&c) || isSeparator(c))
                break;
        }
        if (negative)
            value = -value;
        if (!ok || value < -32768 || value > 32767)
            return std::nullopt;
        return static_cast<qint16>(value);
    }

private:
    static bool isSeparator(char c) { return c == ' ' || c == '\t' || c == ',' || c == '\r' || c == '\n'; }
    QIODevice& in_;
};

} // namespace

PaletteRead readBitmapPalette(QIODevice& in)
{
    PaletteRead r;
    const QByteArray b = readPadded(in, kBitmapBytesUsed);
    const int bitsPerPixel = byteAt(b, kBitsPerPixelOffset) | (byteAt(b, kBitsPerPixelOffset + 1) << 8);
    if (bitsPerPixel != 8) {
        r.refusal = kNotAn8BitBitmap;
        return r;
    }
    r.entries.reserve(kPaletteSize);
    for (int i = 0; i < kPaletteSize; ++i) {
        const qint64 at = kColourTableOffset + 4 * i;
        r.entries.append({byteAt(b, at + 2), byteAt(b, at + 1), byteAt(b, at)});
    }
    return r;
}

PaletteRead MakeBMP256(const QString& path)
{
    QFile f;
    if (!openRegularFile(f, path)) {
        QByteArray none;
        QBuffer empty(&none);
        empty.open(QIODevice::ReadOnly);
        return readBitmapPalette(empty);
    }
    return readBitmapPalette(f);
}

PaletteRead readJascPalette(QIODevice& in)
{
    PaletteRead r;
    JascItems items(in);
    const QString header = QStringLiteral("JASC-PAL");
    if (items.line(header.size()) != header) {
        r.refusal = kNotAJascPalette;
        return r;
    }
    items.line(0); // version, not checked
    const QString count = QStringLiteral("256");
    if (items.line(count.size()) != count) {
        r.refusal = kNotA256ColourJasc;
        return r;
    }
    r.entries.reserve(kPaletteSize);
    for (int i = 0; i < kPaletteSize; ++i) {
        const std::optional<qint16> red = items.number();
        const std::optional<qint16> green = red ? items.number() : std::nullopt;
        const std::optional<qint16> blue = green ? items.number() : std::nullopt;
        if (!blue)
            break;
        r.entries.append({*red, *green, *blue});
    }
    return r;
}

PaletteRead MakeJASC(const QString& path)
{
    QFile f;
    if (!openRegularFile(f, path)) {
        QByteArray none;
        QBuffer empty(&none);
        empty.open(QIODevice::ReadOnly);
        return readJascPalette(empty);
    }
    return readJascPalette(f);
}

PaletteKind paletteKindOf(const QString& path)
{
    const QString tail = path.right(3).toUpper();
    if (tail == QLatin1String("BMP") || tail == QLatin1String("DIB"))
        return PaletteKind::Bitmap;
    if (tail == QLatin1String("PAL"))
        return PaletteKind::Jasc;
    return PaletteKind::None;
}

QList<FileFilter> paletteFileFilters()
{
    return {{QStringLiteral("Bitmap files (*.dib, *.bmp)"), {QStringLiteral("*.bmp"), QStringLiteral("*.dib")}},
            {QStringLiteral("Jasc Palette Files (*.pal)"), {QStringLiteral("*.pal")}}};
}

QString entryText(const PaletteEntry& e)
{
    return QStringLiteral("%1,%2,%3").arg(e.red).arg(e.green).arg(e.blue);
}

int paintedLevel(int value) { return std::clamp(value, 0, 255); }

EntryParts splitEntryText(const QString& text)
{
    EntryParts p;
    const qsizetype first = text.indexOf(QLatin1Char(','));
    const qsizetype second = first < 0 ? -1 : text.indexOf(QLatin1Char(','), first + 1);
    p.red = first < 0 ? text : text.left(first);
    if (first >= 0)
        p.green = second < 0 ? text.mid(first + 1) : text.mid(first + 1, second - first - 1);
    if (second >= 0)
        p.blue = text.mid(second + 1);
    p.redLevel = paintedLevel(p.red.trimmed().toInt());
    p.greenLevel = paintedLevel(p.green.trimmed().toInt());
    p.blueLevel = paintedLevel(p.blue.trimmed().toInt());
    return p;
}

int hoverIndexAt(double yTwips)
{
    return static_cast<int>(std::floor(yTwips / kStripeTwips));
}

int stripeAt(double yTwips, int count)
{
    if (yTwips < kStripTopTwips)
        return -1;
    const int i = hoverIndexAt(yTwips);
    return i < std::min(count, kPaletteSize) ? i : -1;
}

} // namespace orv
