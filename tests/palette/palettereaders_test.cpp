// The palette readers: what each file gives, entry by entry, and what each refusal says.
#include "palette/core/palettereaders.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtEndian>
#include <gtest/gtest.h>

using namespace orv;

namespace {

struct Rgb {
    int r, g, b;
};

// A bitmap with a 40-byte information header, the given bits per pixel and colour table
// (stored blue, green, red, reserved) and some pixel bytes after it.
QByteArray bitmap(int bitsPerPixel, const QList<Rgb>& table, QByteArray pixels = QByteArray(16, '\x5a'))
{
    QByteArray b(54, '\0');
    b[0] = 'B';
    b[1] = 'M';
    qToLittleEndian<quint16>(1, b.data() + 26);
    qToLittleEndian<quint16>(static_cast<quint16>(bitsPerPixel), b.data() + 28);
    qToLittleEndian<quint32>(40, b.data() + 14);
    qToLittleEndian<quint32>(static_cast<quint32>(table.size()), b.data() + 46);
    for (const Rgb& c : table) {
        b.append(static_cast<char>(c.b));
        b.append(static_cast<char>(c.g));
        b.append(static_cast<char>(c.r));
        b.append('\x7f');
    }
    return b + pixels;
}

QList<Rgb> greyRamp()
{
    QList<Rgb> t;
    for (int i = 0; i < 256; ++i)
        t.append({i, i, i});
    return t;
}

QByteArray jasc(const QByteArray& body, const QByteArray& count = "256", const QByteArray& header = "JASC-PAL")
{
    return header + "\r\n0100\r\n" + count + "\r\n" + body;
}

PaletteRead readBitmap(const QByteArray& bytes)
{
    QBuffer in;
    in.setData(bytes);
    in.open(QIODevice::ReadOnly);
    return readBitmapPalette(in);
}

PaletteRead readJasc(const QByteArray& bytes)
{
    QBuffer in;
    in.setData(bytes);
    in.open(QIODevice::ReadOnly);
    return readJascPalette(in);
}

QStringList texts(const PaletteRead& r)
{
    QStringList out;
    for (const PaletteEntry& e : r.entries)
        out << entryText(e);
    return out;
}

// 256 triples (i, 2i mod 256, 255 - i), one per line.
QList<QByteArray> tripleLines()
{
    QList<QByteArray> lines;
    for (int i = 0; i < 256; ++i)
        lines << QByteArray::number(i) + ' ' + QByteArray::number(2 * i % 256) + ' ' + QByteArray::number(255 - i);
    return lines;
}

} // namespace

// A table with black at 0 and white at 255 reads in order, red/green/blue from blue/green/red.
TEST(BitmapReader, ReadsTheTableInOrder)
{
    QList<Rgb> table = greyRamp();
    table[1] = {255, 128, 0};
    const PaletteRead r = readBitmap(bitmap(8, table));
    ASSERT_FALSE(r.refused());
    ASSERT_EQ(r.entries.size(), 256);
    const QStringList t = texts(r);
    EXPECT_EQ(t.first(), QStringLiteral("0,0,0"));
    EXPECT_EQ(t[1], QStringLiteral("255,128,0"));
    EXPECT_EQ(t.last(), QStringLiteral("255,255,255"));
}

// Any bit count but 8 is refused with text 87 and delivers nothing; nothing else is checked.
TEST(BitmapReader, RefusesAnyBitCountButEight)
{
    for (int bits : {0, 1, 4, 16, 24, 32, 0x108}) {
        const PaletteRead r = readBitmap(bitmap(bits, greyRamp()));
        EXPECT_EQ(r.refusal, 87) << bits;
        EXPECT_TRUE(r.entries.isEmpty()) << bits;
    }
    QByteArray onlyBitCount(30, '\0');
    onlyBitCount[28] = 8;
    const PaletteRead r = readBitmap(onlyBitCount);
    EXPECT_FALSE(r.refused());
    EXPECT_EQ(r.entries.size(), 256);
    EXPECT_EQ(r.entries.count(PaletteEntry{}), 256);
}

// A table shorter than 256 entries goes on into the bytes after it; past the end of the file
// every byte reads as 0, and a file too short to hold the bit count is refused.
TEST(BitmapReader, ShortTablesAndShortFiles)
{
    const PaletteRead two = readBitmap(bitmap(8, {{1, 2, 3}, {4, 5, 6}}, QByteArray("\x10\x20\x30\x40\x50\x60\x70\x80")));
    ASSERT_EQ(two.entries.size(), 256);
    EXPECT_EQ(two.entries[1], (PaletteEntry{4, 5, 6}));
    EXPECT_EQ(two.entries[2], (PaletteEntry{0x30, 0x20, 0x10}));
    EXPECT_EQ(two.entries[3], (PaletteEntry{0x70, 0x60, 0x50}));
    EXPECT_EQ(two.entries[4], PaletteEntry{});

    // 600 bytes: entries 0 to 135 whole, entry 136 has its blue and green only.
    QList<Rgb> table;
    for (int i = 0; i < 256; ++i)
        table.append({200, 100, 50});
    const PaletteRead cut = readBitmap(bitmap(8, table).left(600));
    ASSERT_EQ(cut.entries.size(), 256);
    EXPECT_EQ(cut.entries[135], (PaletteEntry{200, 100, 50}));
    EXPECT_EQ(cut.entries[136], (PaletteEntry{0, 100, 50}));
    EXPECT_EQ(cut.entries[137], PaletteEntry{});
    EXPECT_EQ(cut.entries[255], PaletteEntry{});

    EXPECT_EQ(readBitmap(bitmap(8, table).left(28)).refusal, 87);
    EXPECT_EQ(readBitmap(QByteArray()).refusal, 87);
}

// A path that names no file, or a folder, reads as empty: text 87, and no file appears.
TEST(BitmapReader, PathWithoutAFileIsRefusedAndNotCreated)
{
    QTemporaryDir dir;
    const QString missing = dir.filePath(QStringLiteral("missing.bmp"));
    EXPECT_EQ(MakeBMP256(missing).refusal, 87);
    EXPECT_FALSE(QFile::exists(missing));
    EXPECT_EQ(MakeBMP256(dir.path()).refusal, 87);

    const QString good = dir.filePath(QStringLiteral("Sky.Dib"));
    QFile f(good);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bitmap(8, greyRamp()));
    f.close();
    EXPECT_EQ(MakeBMP256(good).entries.size(), 256);
}

// The three numbers of a triple may be laid out over the lines in any way, split by spaces,
// tabs, commas and any line end; the palette read is the same.
TEST(JascReader, TriplesOverAnyLines)
{
    const QList<QByteArray> lines = tripleLines();
    const PaletteRead perLine = readJasc(jasc(lines.join("\r\n") + "\r\n"));
    ASSERT_FALSE(perLine.refused());
    ASSERT_EQ(perLine.entries.size(), 256);
    EXPECT_EQ(perLine.entries[0], (PaletteEntry{0, 0, 255}));
    EXPECT_EQ(perLine.entries[200], (PaletteEntry{200, 144, 55}));

    QByteArray oneLine = lines.join(" ");
    QByteArray perNumber = lines.join("\n");
    perNumber.replace(' ', '\n');
    QByteArray mixed = lines.join(",\r");
    mixed.replace(' ', '\t');
    for (const QByteArray& body : {oneLine, perNumber, mixed, lines.join("\n") + "\n  \n\n"}) {
        const PaletteRead r = readJasc(jasc(body));
        EXPECT_FALSE(r.refused());
        EXPECT_EQ(r.entries, perLine.entries) << body.left(40).constData();
    }
    EXPECT_EQ(readJasc(jasc(lines.join("\n"))).entries, perLine.entries) << "header with CR LF, body with LF";
}

// The first line must be exactly "JASC-PAL" (88) and the third exactly "256" (89).
TEST(JascReader, HeaderChecks)
{
    const QByteArray body = tripleLines().join("\r\n");
    EXPECT_EQ(readJasc(jasc(body, "256", "jasc-pal")).refusal, 88);
    EXPECT_EQ(readJasc(jasc(body, "256", "JASC-PAL ")).refusal, 88);
    EXPECT_EQ(readJasc(jasc(body, "256", "JASC-PALETTE")).refusal, 88);
    EXPECT_EQ(readJasc(QByteArray()).refusal, 88);
    EXPECT_EQ(readJasc(jasc(body, "16")).refusal, 89);
    EXPECT_EQ(readJasc(jasc(body, "2560")).refusal, 89);
    EXPECT_EQ(readJasc("JASC-PAL\n0100\n").refusal, 89);
    EXPECT_EQ(readJasc("JASC-PAL\r0100\r256\r" + body).entries.size(), 256);
    EXPECT_TRUE(readJasc(jasc(body, "256", "JASC-PAL")).entries.size() == 256);
}

// Reading stops at the first item that is not a 16-bit signed whole number, or at the end,
// keeping the whole triples read before it; after the 256th triple nothing is read.
TEST(JascReader, StopsAtTheFirstBadItem)
{
    QList<QByteArray> lines = tripleLines();
    EXPECT_EQ(readJasc(jasc(lines.mid(0, 10).join("\n"))).entries.size(), 10);
    EXPECT_EQ(readJasc(jasc(lines.mid(0, 10).join("\n") + "\n7 8")).entries.size(), 10);

    for (const char* bad : {"12 x4 5", "12 4 5x", "1.5 2 3", "12 32768 0", "-32769 0 0", "- 1 2", "0x10 0 0"}) {
        QList<QByteArray> l = lines;
        l[4] = bad;
        const PaletteRead r = readJasc(jasc(l.join("\n")));
        EXPECT_FALSE(r.refused()) << bad;
        EXPECT_EQ(r.entries.size(), 4) << bad;
    }

    lines[0] = "-32768 32767 +7";
    lines[1] = "0000000000000000000012 -0 00";
    lines.append("garbage after the palette");
    const PaletteRead r = readJasc(jasc(lines.join("\n")));
    ASSERT_EQ(r.entries.size(), 256);
    EXPECT_EQ(r.entries[0], (PaletteEntry{-32768, 32767, 7}));
    EXPECT_EQ(r.entries[1], (PaletteEntry{12, 0, 0}));
}

// A JASC path that names no file reads as empty: text 88, and no file appears.
TEST(JascReader, PathWithoutAFileIsRefusedAndNotCreated)
{
    QTemporaryDir dir;
    const QString missing = dir.filePath(QStringLiteral("missing.pal"));
    EXPECT_EQ(MakeJASC(missing).refusal, 88);
    EXPECT_FALSE(QFile::exists(missing));
}

// The reader is chosen by the last three characters of the path, in any letter case.
TEST(PaletteKind, ByTheLastThreeCharacters)
{
    EXPECT_EQ(paletteKindOf(QStringLiteral("/p/Sky.Dib")), PaletteKind::Bitmap);
    EXPECT_EQ(paletteKindOf(QStringLiteral("/p/photo.BMP")), PaletteKind::Bitmap);
    EXPECT_EQ(paletteKindOf(QStringLiteral("/p/sky.Pal")), PaletteKind::Jasc);
    EXPECT_EQ(paletteKindOf(QStringLiteral("/p/sky.bmp.bak")), PaletteKind::None);
    EXPECT_EQ(paletteKindOf(QStringLiteral("/p/readme.txt")), PaletteKind::None);
    EXPECT_EQ(paletteKindOf(QStringLiteral("al")), PaletteKind::None);
}

// The dialog's two entries read exactly as designed and offer the files each reader takes, in
// any letter case, and nothing else.
TEST(PaletteKind, DialogFilterMatchesTheReaders)
{
    const QList<FileFilter> filters = paletteFileFilters();
    ASSERT_EQ(filters.size(), 2);
    EXPECT_EQ(filters[0].label, QStringLiteral("Bitmap files (*.dib, *.bmp)"));
    EXPECT_EQ(filters[1].label, QStringLiteral("Jasc Palette Files (*.pal)"));
    const auto matches = [](const FileFilter& filter, const QString& name) {
        for (const QString& mask : filter.masks) {
            const QRegularExpression re(QRegularExpression::wildcardToRegularExpression(mask),
                                        QRegularExpression::CaseInsensitiveOption);
            if (re.match(name).hasMatch())
                return true;
        }
        return false;
    };
    for (const char* name : {"Sky.Dib", "a.bmp", "B.BMP", "scan.dib"}) {
        EXPECT_TRUE(matches(filters[0], QString::fromLatin1(name))) << name;
        EXPECT_EQ(paletteKindOf(QString::fromLatin1(name)), PaletteKind::Bitmap) << name;
    }
    for (const char* name : {"sky.bmp.bak", "a.pal", "bmp"})
        EXPECT_FALSE(matches(filters[0], QString::fromLatin1(name))) << name;
    EXPECT_TRUE(matches(filters[1], QStringLiteral("sky.PAL")));
    EXPECT_EQ(paletteKindOf(QStringLiteral("sky.PAL")), PaletteKind::Jasc);
    EXPECT_FALSE(matches(filters[1], QStringLiteral("sky.bmp")));
}
