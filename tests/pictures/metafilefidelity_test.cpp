// Metafiles as drawing programs really write them: text over earlier fills, symbol fonts,
// right-to-left lines, pattern brushes, banded bitmaps, shaded triangles, brush origins, and the
// mapping records every file leans on. Each case once drew wrongly.

#include "metafilechecks.h"

#include "bmpwriter.h"
#include "bytewriter.h"

#include <QtEndian>

namespace {

using namespace orv::test;
using orv::ByteWriter;
using orv::EmfWriter;
using orv::LogFont;
using orv::WmfWriter;

constexpr int PS_NULL = 5;
constexpr int BS_SOLID = 0;
constexpr int BS_HATCHED = 2;
constexpr int TRANSPARENT = 1;
constexpr int OPAQUE = 2;

template <typename Writer>
void fillWith(Writer& w, const QColor& colour)
{
    w.selectObject(w.createPen(PS_NULL, 0, Qt::black));
    w.selectObject(w.createBrush(BS_SOLID, colour));
}

LogFont font(const QString& face, int height, quint8 charset = 0)
{
    LogFont f;
    f.height = height;
    f.face = face;
    f.charset = charset;
    return f;
}

// ---------------------------------------------------------------------------------------------
// Text

TEST(MetafileTextFidelity, GlyphsAfterAnOpaqueFillAreNotSolidBlocks)
{
    // Charts fill their panels with the background mode opaque and the background colour black,
    // then switch to transparent text.
    WmfWriter w = inchWmf();
    w.setBkMode(OPAQUE);
    w.setBkColor(Qt::black);
    fillWith(w, Qt::blue);
    w.rectangle(QRect(0, 800, 1000, 200));
    w.setBkMode(TRANSPARENT);
    w.setBkColor(Qt::white);
    w.selectObject(w.createFont(font(QStringLiteral("DejaVu Sans"), -300)));
    w.textOut(QPoint(50, 50), QByteArrayLiteral("HIH"));
    const QImage image = renderAt96(w.finish());
    const QRect text = darkArea(image.copy(0, 0, 96, 70));
    ASSERT_FALSE(text.isEmpty());
    // Letters leave most of their box white; a block fills it.
    EXPECT_LT(darkPixels(image, text), text.width() * text.height() * 6 / 10);
    EXPECT_TRUE(near(image, 48, 90, Qt::blue));
}

TEST(MetafileTextFidelity, OpaqueModeFillsTheCellsAndOpaqueBoxesOnlyTheirBox)
{
    EmfWriter w = inchEmf();
    w.selectObject(w.createFont(font(QStringLiteral("DejaVu Sans"), -20)));
    w.setBkMode(OPAQUE);
    w.setBkColor(Qt::yellow);
    w.extTextOut(QPoint(10, 10), QStringLiteral("    "));
    w.setBkMode(TRANSPARENT);
    w.setBkColor(Qt::cyan);
    w.extTextOut(QPoint(10, 60), QStringLiteral("    "), 2, QRect(0, 50, 96, 40));
    const QImage image = renderAt96(w.finish());
    EXPECT_TRUE(near(image, 16, 20, Qt::yellow));     // inside the first line's cells
    EXPECT_TRUE(near(image, 80, 20, Qt::white));      // past its end
    EXPECT_TRUE(near(image, 80, 70, Qt::cyan));       // the whole opaque box
    EXPECT_TRUE(near(image, 80, 45, Qt::white));      // above it
}

// The same glyph from a symbol font's code as from its Unicode character.
QImage wmfText(const QByteArray& text, const QString& face, quint8 charset, quint8 pitchAndFamily = 0)
{
    WmfWriter w = inchWmf();
    LogFont f = font(face, -250, charset);
    f.pitchAndFamily = pitchAndFamily;
    w.selectObject(w.createFont(f));
    w.setBkMode(TRANSPARENT);
    w.textOut(QPoint(125, 250), text);
    return renderAt96(w.finish());
}

QImage emfText(const QString& text, const QString& face, quint8 charset = 0, quint8 pitchAndFamily = 0)
{
    EmfWriter w = inchEmf();
    LogFont f = font(face, -24, charset);
    f.pitchAndFamily = pitchAndFamily;
    w.selectObject(w.createFont(f));
    w.setBkMode(TRANSPARENT);
    w.extTextOut(QPoint(12, 24), text);
    return renderAt96(w.finish());
}

TEST(MetafileTextFidelity, SymbolFontsShowTheirSymbols)
{
    struct Case
    {
        const char* code;
        QString face;
        char16_t unicode;
        quint8 family;   // pitch and family: 0x12 roman, 0x22 swiss
    };
    const Case cases[] = {
        {"a", QStringLiteral("Symbol"), u'\u03b1', 0x12},      // Greek alpha
        {"\xb4", QStringLiteral("Symbol"), u'\u00d7', 0x12},   // multiplication sign
        {"\xae", QStringLiteral("Symbol"), u'\u2192', 0x12},   // arrow
        {"\xe9", QStringLiteral("Symbol"), u'\u23a1', 0x12},   // the top of a tall bracket
        {"\xfc", QStringLiteral("Wingdings"), u'\u2714', 0x22}, // check mark
        {"\xa8", QStringLiteral("Wingdings"), u'\u25fb', 0x22},
    };
    for (const Case& c : cases) {
        const QImage expected = emfText(QString(QChar(c.unicode)), {}, 0, c.family);
        ASSERT_FALSE(darkArea(expected).isEmpty()) << c.code;
        EXPECT_EQ(wmfText(c.code, c.face, 2, c.family), expected) << "code " << int(quint8(c.code[0]));
        // EMF writers put the codes in the private-use range.
        EXPECT_EQ(emfText(QString(QChar(0xf000 + quint8(c.code[0]))), c.face, 2, c.family), expected)
            << "code " << int(quint8(c.code[0]));
    }
}

TEST(MetafileTextFidelity, GlyphIndicesOfTheCoreFontsReadAsText)
{
    // Printed pages store glyph indices; in the core fonts glyph 43 is "H" and 76 is "i".
    const QString glyphs = QString(QChar(43)) + QChar(76);
    const QImage expected = emfText(QStringLiteral("Hi"), QStringLiteral("Courier New"));
    ASSERT_FALSE(darkArea(expected).isEmpty());
    auto indices = [&glyphs](const QString& face) {
        EmfWriter w = inchEmf();
        w.selectObject(w.createFont(font(face, -24)));
        w.setBkMode(TRANSPARENT);
        w.extTextOut(QPoint(12, 24), glyphs, 0x10);   // ETO_GLYPH_INDEX
        return renderAt96(w.finish());
    };
    EXPECT_EQ(indices(QStringLiteral("Courier New")), expected);
    // Another font's glyph order is unknown: nothing rather than the wrong letters.
    EXPECT_TRUE(darkArea(indices(QStringLiteral("Calibri"))).isEmpty());
}

TEST(MetafileTextFidelity, EscapementTurnsWithAMappingThatTurnsYUp)
{
    // Chart programs write upward axis titles at 2700 tenths of a degree in a y-up window.
    EmfWriter w = inchEmf();
    w.setMapMode(8);
    w.setWindowOrg(QPoint(0, 1000));
    w.setWindowExt(QSize(1000, -1000));
    w.setViewportExt(QSize(96, 96));
    LogFont f = font(QStringLiteral("DejaVu Sans"), -150);
    f.escapement = 2700;
    w.selectObject(w.createFont(f));
    w.setBkMode(TRANSPARENT);
    w.extTextOut(QPoint(500, 200), QStringLiteral("HHHH"));   // 19 pixels above the bottom
    const QRect text = darkArea(renderAt96(w.finish()));
    ASSERT_FALSE(text.isEmpty());
    EXPECT_GT(text.height(), 2 * text.width());
    EXPECT_LE(text.bottom(), 78);   // it reads upwards from its reference point
    EXPECT_LT(text.top(), 40);
}

TEST(MetafileTextFidelity, RightToLeftLinesKeepTheirOrder)
{
    // Alef, wide, then four thin vavs: read right to left, the alef is the rightmost letter.
    EmfWriter w = inchEmf();
    w.selectObject(w.createFont(font(QStringLiteral("DejaVu Sans"), -24)));
    w.setBkMode(TRANSPARENT);
    w.extTextOut(QPoint(8, 20), QStringLiteral("\u05d0\u05d5\u05d5\u05d5\u05d5"), 0, {}, {14, 14, 14, 14, 14});
    const QImage image = renderAt96(w.finish());
    // The letters as runs of inked columns: the alef's is the widest, and it must come last.
    QList<int> runs;
    bool inRun = false;
    for (int x = 0; x < image.width(); ++x) {
        const bool inked = darkPixels(image, QRect(x, 0, 1, 50)) > 0;
        if (inked && !inRun)
            runs.append(0);
        if (inked)
            ++runs.last();
        inRun = inked;
    }
    ASSERT_EQ(runs.size(), 5);
    EXPECT_EQ(std::max_element(runs.begin(), runs.end()) - runs.begin(), 4);
}

TEST(MetafileTextFidelity, VerticalAdvancesRaiseTheNextLetterInWmfsToo)
{
    // EXTTEXTOUT with ETO_PDY carries an x, y pair for every character.
    auto rendered = [](int rise) {
        WmfWriter w = inchWmf();
        w.selectObject(w.createFont(font(QStringLiteral("DejaVu Sans"), -250)));
        w.setBkMode(TRANSPARENT);
        w.setTextAlign(24);   // TA_BASELINE
        QByteArray params;
        for (int v : {600, 100, 2, 0x2000})   // y, x, two characters, ETO_PDY
            params.append(char(v & 0xff)).append(char((v >> 8) & 0xff));
        params.append("hi");
        for (int v : {200, rise, 200, 0})
            params.append(char(v & 0xff)).append(char((v >> 8) & 0xff));
        w.record(0x0A32, params);
        return renderAt96(w.finish());
    };
    const QImage flat = rendered(0);
    const QImage raised = rendered(100);   // 100 units, 9.6 pixels
    const QRect iFlat = darkArea(flat.copy(27, 0, 69, 96));
    const QRect iRaised = darkArea(raised.copy(27, 0, 69, 96));
    ASSERT_FALSE(iFlat.isEmpty());
    ASSERT_FALSE(iRaised.isEmpty());
    EXPECT_NEAR(iFlat.top() - iRaised.top(), 10, 2);
    EXPECT_NEAR(iFlat.left(), iRaised.left(), 1);
    EXPECT_EQ(darkArea(flat.copy(0, 0, 27, 96)), darkArea(raised.copy(0, 0, 27, 96)));   // the h stays
}

// ---------------------------------------------------------------------------------------------
// Brushes

// A packed 8 × 8 one-bit DIB: a checkerboard of 4-pixel squares, table black and white.
QByteArray checkerDib()
{
    ByteWriter b;
    for (quint32 v : {40u, 8u, 8u})
        b.le32(v);
    b.le16(1);
    b.le16(1);
    for (quint32 v : {0u, 32u, 0u, 0u, 2u, 0u, 0x000000u, 0xffffffu})
        b.le32(v);
    for (int row = 0; row < 8; ++row)
        b.le32(row < 4 ? 0x0f : 0xf0);
    return b.take();
}

TEST(MetafileBrushFidelity, DibPatternBrushInPatternStyleTilesItsBitmap)
{
    WmfWriter w = inchWmf();
    w.setTextColor(Qt::red);
    w.setBkColor(Qt::blue);
    ByteWriter params;
    params.le16(3);   // BS_PATTERN
    params.le16(0);
    params.bytes(checkerDib());
    w.record(0x0142, params.take());
    w.selectObject(0);
    w.selectObject(w.createPen(PS_NULL, 0, Qt::black));
    w.rectangle(QRect(0, 0, 1000, 1000));
    const QImage image = renderAt96(w.finish());
    // A monochrome pattern shows the text and background colours, not a black block.
    int red = 0;
    int blue = 0;
    for (int y = 10; y < 90; ++y) {
        for (int x = 10; x < 90; ++x) {
            const QColor c = image.pixelColor(x, y);
            red += c.red() > 200 && c.blue() < 60;
            blue += c.blue() > 200 && c.red() < 60;
        }
    }
    EXPECT_GT(red, 2000);
    EXPECT_GT(blue, 2000);
}

TEST(MetafileBrushFidelity, PatternBrushWhoseBitsCannotBeReadPaintsNothing)
{
    // CREATEPATTERNBRUSH: a BITMAP16 header claiming 8 × 8 one-bit pixels, 18 reserved bytes,
    // and a pixel format no bitmap has.
    WmfWriter w = inchWmf();
    fillWith(w, Qt::green);
    w.rectangle(QRect(0, 0, 1000, 1000));
    ByteWriter params;
    for (int v : {0, 8, 8, 2})
        params.le16(v);
    params.u8(1);
    params.u8(7);   // seven bits a pixel
    params.zeros(4 + 18);
    params.zeros(16);
    w.record(0x01F9, params.take());
    w.selectObject(2);
    w.rectangle(QRect(0, 0, 500, 1000));
    const QImage image = renderAt96(w.finish());
    EXPECT_TRUE(near(image, 20, 48, Qt::green));
}

TEST(MetafileBrushFidelity, BrushOriginShiftsHatches)
{
    auto firstLine = [](int originY) {
        EmfWriter w = inchEmf();
        w.setBkMode(TRANSPARENT);
        w.selectObject(0x80000008);   // NULL_PEN
        w.selectObject(w.createBrush(BS_HATCHED, Qt::black, 0));   // HS_HORIZONTAL
        ByteWriter origin;
        origin.le32(0);
        origin.le32(quint32(originY));
        w.record(13, origin.take());   // EMR_SETBRUSHORGEX
        w.rectangle(QRect(0, 0, 96, 96));
        const QImage image = renderAt96(w.finish());
        for (int y = 16; y < 32; ++y) {
            if (qGray(image.pixel(48, y)) < 100)
                return y;
        }
        return -1;
    };
    const int plain = firstLine(0);
    ASSERT_GE(plain, 0);
    EXPECT_EQ(firstLine(3), plain + 3 >= 24 ? plain - 5 : plain + 3);
}

// ---------------------------------------------------------------------------------------------
// Records that are cut short are refused, not read with zeros.

TEST(MetafileRecordFidelity, ShortRegionAndPolygonRecordsAreRefused)
{
    // A region of two scans carrying one.
    WmfWriter region = inchWmf();
    ByteWriter r;
    for (int v : {0, 6, 0, 0, 0, 2, 1, 0, 0, 100, 100})   // chain, type, count, size, scans, max, bounds
        r.le16(v);
    for (int v : {2, 0, 50, 0, 100, 2})                    // one scan of one run
        r.le16(v);
    region.record(0x06FF, r.take());
    EXPECT_TRUE(refused(region.finish()));

    // FILLREGION naming its region but not its brush, with a brush in slot 0... and the region
    // in slot 1, so an index read as zero would find a brush.
    WmfWriter fill = inchWmf();
    fill.createBrush(BS_SOLID, Qt::red);
    ByteWriter rect;
    for (int v : {0, 6, 0, 0, 0, 0, 0, 0, 0, 100, 100})
        rect.le16(v);
    fill.record(0x06FF, rect.take());
    ByteWriter onlyRegion;
    onlyRegion.le16(1);
    fill.record(0x0228, onlyRegion.take());
    EXPECT_TRUE(refused(fill.finish()));

    for (quint16 function : {quint16(0x0324), quint16(0x0325), quint16(0x0538)}) {   // POLYGON, POLYLINE, POLYPOLYGON
        WmfWriter empty = inchWmf();
        empty.record(function, {});
        EXPECT_TRUE(refused(empty.finish())) << function;
    }
}

TEST(MetafileRecordFidelity, EmfObjectsBeyondTheHeadersCountStillPlay)
{
    // The header counts one handle, the metafile's own; the file creates its brush at 9.
    EmfWriter w = inchEmf();
    ByteWriter brush;
    for (quint32 v : {9u, 0u, 0x0000ffu, 0u})   // index, BS_SOLID, red, hatch
        brush.le32(v);
    w.record(39, brush.take());
    w.selectObject(9);
    w.selectObject(0x80000008);   // NULL_PEN
    w.rectangle(QRect(0, 0, 96, 96));
    EXPECT_TRUE(near(renderAt96(w.finish()), 48, 48, Qt::red));
}

TEST(MetafileRecordFidelity, RegionsWithTheTwoByteObjectCountWindowsWrites)
{
    // A region header of 20 bytes, its size counting the whole object: the left half.
    QByteArray region;
    ByteWriter r;
    for (int v : {0, 6, 0, 50, 1, 2, 0, 0, 500, 1000})   // chain, type, count, size, scans, max, bounds
        r.le16(quint32(v));
    for (int v : {2, 0, 1000, 0, 500, 2})               // one scan, one run
        r.le16(quint32(v));
    ASSERT_EQ(r.size(), 32);
    region = r.take();
    region.append(QByteArray(18, '\0'));                // padding the size says is part of it
    ByteWriter sized;
    sized.bytes(region.left(6));
    sized.le16(quint32(region.size()));
    sized.bytes(region.mid(8));
    WmfWriter w = inchWmf();
    fillWith(w, Qt::red);                                // objects 0 and 1
    w.record(0x06FF, sized.take());                      // object 2, unknown to the writer
    ByteWriter select;
    select.le16(2);
    w.record(0x012C, select.take());                     // SELECTCLIPREGION
    w.rectangle(QRect(0, 0, 1000, 1000));
    const QImage image = renderAt96(w.finish());
    EXPECT_TRUE(near(image, 20, 48, Qt::red));
    EXPECT_TRUE(near(image, 70, 48, Qt::white));
}

// ---------------------------------------------------------------------------------------------
// Bitmaps

// A 2 × 4 24-bit DIB's header, and its rows from the bottom: red, green, blue, yellow.
QByteArray bandInfo()
{
    ByteWriter b;
    for (quint32 v : {40u, 2u, 4u})
        b.le32(v);
    b.le16(1);
    b.le16(24);
    for (quint32 v : {0u, 32u, 0u, 0u, 0u, 0u})
        b.le32(v);
    return b.take();
}

QByteArray bandRows(int first, int count)
{
    const QColor rows[] = {Qt::red, Qt::green, Qt::blue, Qt::yellow};
    ByteWriter b;
    for (int row = first; row < first + count; ++row) {
        for (int x = 0; x < 2; ++x) {
            b.u8(quint32(rows[row].blue()));
            b.u8(quint32(rows[row].green()));
            b.u8(quint32(rows[row].red()));
        }
        b.zeros(2);
    }
    return b.take();
}

TEST(MetafileBitmapFidelity, SetDiBitsToDeviceDrawsItsBandOfScanLines)
{
    // The upper two rows of the bitmap arrive as a band (start scan 2, two scans), drawn
    // 24 times their size.
    const QByteArray info = bandInfo();
    const QByteArray bits = bandRows(2, 2);
    EmfWriter emf = inchEmf();
    emf.setWorldTransform(QTransform::fromScale(24, 24));
    ByteWriter e;
    for (quint32 v : {0u, 0u, 0u, 0u})   // bounds
        e.le32(v);
    for (quint32 v : {0u, 0u, 0u, 0u, 2u, 4u})   // dest x, y; source x, y, width, height
        e.le32(v);
    e.le32(76);
    e.le32(quint32(info.size()));
    e.le32(76 + quint32(info.size()));
    e.le32(quint32(bits.size()));
    for (quint32 v : {0u, 2u, 2u})   // usage, start scan, scans
        e.le32(v);
    e.bytes(info);
    e.bytes(bits);
    emf.record(80, e.take());   // EMR_SETDIBITSTODEVICE
    const QImage a = renderAt96(emf.finish());
    EXPECT_TRUE(near(a, 24, 12, Qt::yellow));
    EXPECT_TRUE(near(a, 24, 36, Qt::blue));
    EXPECT_TRUE(near(a, 24, 60, Qt::white));
    EXPECT_TRUE(near(a, 24, 84, Qt::white));

    WmfWriter wmf(QRect(0, 0, 48, 96), 48);   // two units a pixel... at 96 dpi one unit is 2 pixels
    wmf.setWindowOrg(QPoint(0, 0));
    wmf.setWindowExt(QSize(2, 4));
    ByteWriter m;
    for (int v : {0, 2, 2, 0, 0, 4, 2, 0, 0})   // usage, scans, start scan, source y, x, height, width, dest y, x
        m.le16(v);
    m.bytes(info);
    m.bytes(bits);
    wmf.record(0x0D33, m.take());
    const QImage b = renderAt96(wmf.finish());
    ASSERT_EQ(b.size(), QSize(96, 192));
    EXPECT_TRUE(near(b, 48, 24, Qt::yellow));
    EXPECT_TRUE(near(b, 48, 72, Qt::blue));
    EXPECT_TRUE(near(b, 48, 120, Qt::white));
}

TEST(MetafileBitmapFidelity, GradientTrianglesShadeFromTheirCorners)
{
    EmfWriter w = inchEmf();
    ByteWriter g;
    for (quint32 v : {0u, 0u, 96u, 96u})   // bounds
        g.le32(v);
    for (quint32 v : {3u, 1u, 2u})         // vertices, triangles, GRADIENT_FILL_TRIANGLE
        g.le32(v);
    const struct { int x, y; QColor c; } corners[] = {{0, 0, Qt::red}, {96, 0, Qt::green}, {0, 96, Qt::blue}};
    for (const auto& v : corners) {
        g.le32(quint32(v.x));
        g.le32(quint32(v.y));
        g.le16(quint32(v.c.red()) << 8);
        g.le16(quint32(v.c.green()) << 8);
        g.le16(quint32(v.c.blue()) << 8);
        g.le16(0);
    }
    for (quint32 v : {0u, 1u, 2u})
        g.le32(v);
    w.record(118, g.take());   // EMR_GRADIENTFILL
    const QImage image = renderAt96(w.finish());
    EXPECT_TRUE(near(image, 3, 3, Qt::red, 40));
    EXPECT_TRUE(near(image, 90, 3, Qt::green, 40));
    EXPECT_TRUE(near(image, 3, 90, Qt::blue, 40));
    EXPECT_TRUE(near(image, 47, 2, QColor(128, 128, 0), 30));   // half way along the top edge
    EXPECT_TRUE(near(image, 80, 80, Qt::white));                // outside the triangle
}

// ---------------------------------------------------------------------------------------------
// Mapping and shapes no sample exercises

TEST(MetafileMappingFidelity, EveryFixedModeHasItsUnit)
{
    struct Mode
    {
        int mode;
        int halfInch;
    };
    // MM_LOMETRIC 0.1 mm, MM_HIMETRIC 0.01 mm, MM_LOENGLISH 0.01", MM_HIENGLISH 0.001", MM_TWIPS.
    for (const Mode m : {Mode {2, 127}, Mode {3, 1270}, Mode {4, 50}, Mode {5, 500}, Mode {6, 720}}) {
        EmfWriter w = inchEmf();
        w.setMapMode(m.mode);
        fillWith(w, Qt::darkGreen);
        w.rectangle(QRect(0, -m.halfInch, m.halfInch, m.halfInch));   // half an inch square, y up
        const QImage image = renderAt96(w.finish());
        EXPECT_TRUE(near(image, 44, 44, Qt::darkGreen)) << "mode " << m.mode;
        EXPECT_TRUE(near(image, 52, 44, Qt::white)) << "mode " << m.mode;
        EXPECT_TRUE(near(image, 44, 52, Qt::white)) << "mode " << m.mode;
    }
}

TEST(MetafileMappingFidelity, WmfScaleRecordsScaleEachAxisByItsOwnFraction)
{
    // META_SCALEWINDOWEXT and META_SCALEVIEWPORTEXT store y denominator, y numerator,
    // x denominator, x numerator. Both make a 1000 × 250 rectangle half an inch square.
    auto scaled = [](quint16 function, std::initializer_list<int> params) {
        WmfWriter w = inchWmf();
        ByteWriter b;
        for (int v : params)
            b.le16(quint32(v));
        w.record(function, b.take());
        fillWith(w, Qt::red);
        w.rectangle(QRect(0, 0, 1000, 250));
        return renderAt96(w.finish());
    };
    for (const QImage& image : {scaled(0x0410, {2, 1, 1, 2}), scaled(0x0412, {1, 2, 2, 1})}) {
        EXPECT_TRUE(near(image, 44, 44, Qt::red));
        EXPECT_TRUE(near(image, 52, 44, Qt::white));
        EXPECT_TRUE(near(image, 44, 52, Qt::white));
    }
}

TEST(MetafileShapeFidelity, EmfPolygonFillModeDecidesNestedShapes)
{
    // Two squares drawn the same way round: alternate leaves the inner one empty, winding fills it.
    auto nested = [](int mode) {
        EmfWriter w = inchEmf();
        w.setPolyFillMode(mode);
        fillWith(w, Qt::black);
        w.polyPolygon16({QPolygon({QPoint(8, 8), QPoint(88, 8), QPoint(88, 88), QPoint(8, 88)}),
                         QPolygon({QPoint(28, 28), QPoint(68, 28), QPoint(68, 68), QPoint(28, 68)})});
        return renderAt96(w.finish());
    };
    const QImage alternate = nested(1);
    const QImage winding = nested(2);
    EXPECT_TRUE(near(alternate, 48, 48, Qt::white));
    EXPECT_TRUE(near(alternate, 18, 48, Qt::black));
    EXPECT_TRUE(near(winding, 48, 48, Qt::black));
    EXPECT_TRUE(near(winding, 18, 48, Qt::black));
}

TEST(MetafileShapeFidelity, EmfRoundRectCornersKeepTheirWidthAndHeight)
{
    // Corners 60 wide and 20 high: the top left corner is a flat quarter ellipse.
    EmfWriter w = inchEmf();
    fillWith(w, Qt::black);
    w.roundRect(QRect(0, 0, 96, 96), QSize(60, 20));
    const QImage image = renderAt96(w.finish());
    EXPECT_TRUE(near(image, 3, 9, Qt::black, 60));    // inside a 30 × 10 quarter ellipse
    EXPECT_TRUE(near(image, 10, 1, Qt::white, 60));   // outside it, inside a 10 × 30 one
    EXPECT_TRUE(near(image, 48, 1, Qt::black, 60));   // the straight top edge
    EXPECT_TRUE(near(image, 1, 48, Qt::black, 60));   // the straight left edge
}

} // namespace
