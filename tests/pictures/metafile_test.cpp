// Metafiles render at their natural size with their lines, fills, text and bitmaps, and bad
// files give an error instead of a crash, a hang or a huge allocation.

#include "pictures/metafile.h"

#include "bmpwriter.h"
#include "emfwriter.h"
#include "wmfwriter.h"

#include <QDir>
#include <QFile>
#include <QtEndian>

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <utility>
#include <vector>

namespace {

using orv::EmfWriter;
using orv::LogFont;
using orv::renderMetafile;
using orv::WmfWriter;

constexpr int PS_SOLID = 0;
constexpr int PS_NULL = 5;
constexpr int BS_SOLID = 0;
constexpr quint32 NULL_PEN = 0x80000008;
constexpr quint32 BLACK_BRUSH = 0x80000004;
constexpr int TRANSPARENT = 1;
constexpr int TA_CENTER = 6;
constexpr int TA_BASELINE = 24;

QString sampleFolder()
{
    const QString folder = qEnvironmentVariable("ORVANE_SAMPLES");
    return folder.isEmpty() ? QString::fromUtf8(ORVANE_BUILD_SAMPLES) : folder;
}

QByteArray readSample(const char* name)
{
    QFile file(QDir(sampleFolder()).filePath(QString::fromUtf8(name)));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QImage render(const QByteArray& data, double dpi = 96)
{
    const orv::RenderedMetafile m = renderMetafile(data, dpi, dpi);
    EXPECT_TRUE(m.error.isEmpty()) << m.error.toStdString();
    EXPECT_FALSE(m.image.isNull());
    return m.image;
}

// Close enough to survive antialiasing and the odd rounding of a scaled fill.
::testing::AssertionResult colourNear(const QImage& image, int x, int y, QColor expected, int tolerance = 24)
{
    const QColor c = image.pixelColor(x, y);
    if (std::abs(c.red() - expected.red()) <= tolerance && std::abs(c.green() - expected.green()) <= tolerance
        && std::abs(c.blue() - expected.blue()) <= tolerance)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "pixel " << x << "," << y << " is " << c.name().toStdString() << ", expected "
                                         << expected.name().toStdString();
}

// Pixels in the box whose colour is within tolerance of the given one.
int countNear(const QImage& image, const QRect& box, QColor colour, int tolerance = 60)
{
    int n = 0;
    for (int y = box.top(); y <= box.bottom(); ++y) {
        for (int x = box.left(); x <= box.right(); ++x) {
            const QColor c = image.pixelColor(x, y);
            if (std::abs(c.red() - colour.red()) <= tolerance && std::abs(c.green() - colour.green()) <= tolerance
                && std::abs(c.blue() - colour.blue()) <= tolerance)
                ++n;
        }
    }
    return n;
}

QRect darkBounds(const QImage& image)
{
    QRect bounds;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (qGray(image.pixel(x, y)) < 100)
                bounds = bounds.united(QRect(x, y, 1, 1));
        }
    }
    return bounds;
}

// A placeable WMF of one inch square at 1000 units, so 96 DPI gives 96 pixels for 1000 units.
WmfWriter inchWmf()
{
    WmfWriter w(QRect(0, 0, 1000, 1000), 1000);
    w.setWindowOrg(QPoint(0, 0));
    w.setWindowExt(QSize(1000, 1000));
    return w;
}

// An EMF of one inch square on a 96 DPI reference device: logical units are picture pixels.
EmfWriter inchEmf()
{
    return EmfWriter(QRect(0, 0, 2540, 2540));
}

void fillWith(EmfWriter& w, const QColor& colour)
{
    w.selectObject(NULL_PEN);
    w.selectObject(w.createBrush(BS_SOLID, colour));
}

void fillWith(WmfWriter& w, const QColor& colour)
{
    w.selectObject(w.createPen(PS_NULL, 0, Qt::black));
    w.selectObject(w.createBrush(BS_SOLID, colour));
}

quint32 nextRandom(quint32& state)
{
    state ^= state << 13;
    state ^= state >> 17;
    state ^= state << 5;
    return state;
}

void expectConsistent(const orv::RenderedMetafile& m, const char* what)
{
    if (m.image.isNull())
        EXPECT_FALSE(m.error.isEmpty()) << what;
    else
        EXPECT_TRUE(m.error.isEmpty()) << what << ": " << m.error.toStdString();
}

void expectRefused(const QByteArray& data, const char* what)
{
    const orv::RenderedMetafile m = renderMetafile(data, 96, 96, 4 * 1024 * 1024);
    EXPECT_TRUE(m.image.isNull()) << what;
    EXPECT_FALSE(m.error.isEmpty()) << what;
}

// ---------------------------------------------------------------------------------------------

TEST(MetafileDetection, RecognisesAllThreeKindsAndNothingElse)
{
    EXPECT_TRUE(orv::looksLikeMetafile(inchWmf().finish()));
    EXPECT_TRUE(orv::looksLikeMetafile(WmfWriter().finish()));
    EXPECT_TRUE(orv::looksLikeMetafile(inchEmf().finish()));
    EXPECT_FALSE(orv::looksLikeMetafile(QByteArray("BM\x36\x00\x00\x00", 6)));
    EXPECT_FALSE(orv::looksLikeMetafile(QByteArray("\x89PNG\r\n\x1a\n")));
    EXPECT_FALSE(orv::looksLikeMetafile(QByteArray()));
    EXPECT_FALSE(orv::looksLikeMetafile(QByteArray("\x01\x00", 2)));
}

TEST(MetafileSize, PlaceableHeaderGivesHimetricAndPixels)
{
    WmfWriter twips(QRect(0, 0, 2880, 1440), 1440);   // 2 × 1 inch
    const QByteArray file = twips.finish();
    const orv::RenderedMetafile at96 = renderMetafile(file, 96, 96);
    EXPECT_EQ(at96.himetric, QSize(5080, 2540));
    EXPECT_EQ(at96.image.size(), QSize(192, 96));
    EXPECT_EQ(renderMetafile(file, 120, 144).image.size(), QSize(240, 144));

    WmfWriter odd(QRect(-100, 50, 333, 200), 576);   // 333 / 576 inch = 1468.4 HIMETRIC, 55.5 pixels
    const orv::RenderedMetafile m = renderMetafile(odd.finish(), 96, 96);
    EXPECT_EQ(m.himetric, QSize(1468, 882));
    EXPECT_EQ(m.image.size(), QSize(56, 33));
}

TEST(MetafileSize, PlainWmfIsSizedByItsWindowInScreenPixels)
{
    // Anisotropic and MM_TEXT windows count pixels of a 96 dpi screen: 324 × 252 of them.
    for (const int mode : {0, 8}) {
        WmfWriter w;
        if (mode)
            w.setMapMode(mode);
        w.setWindowOrg(QPoint(100, 100));
        w.setWindowExt(QSize(324, -252));
        fillWith(w, Qt::red);
        w.rectangle(QRect(100, 100 - 252, 162, 252));   // the left half, y up
        const orv::RenderedMetafile m = renderMetafile(w.finish(), 96, 96);
        EXPECT_EQ(m.himetric, QSize(8573, 6668)) << mode;
        ASSERT_EQ(m.image.size(), QSize(324, 252)) << mode;
        EXPECT_TRUE(colourNear(m.image, 80, 126, Qt::red)) << mode;
        EXPECT_TRUE(colourNear(m.image, 240, 126, Qt::white)) << mode;
        EXPECT_EQ(renderMetafile(w.finish(), 192, 192).image.size(), QSize(648, 504)) << mode;
    }
}

TEST(MetafileSize, PlainWmfInAFixedModeTakesItsBoundsInThatModesUnits)
{
    // MM_LOENGLISH counts hundredths of an inch with y up; the window it sets is ignored.
    WmfWriter w;
    w.setMapMode(4);
    w.setWindowExt(QSize(5000, 5000));
    fillWith(w, Qt::blue);
    w.rectangle(QRect(0, -100, 200, 100));
    fillWith(w, Qt::red);
    w.rectangle(QRect(0, -100, 100, 50));   // the lower left quarter
    const orv::RenderedMetafile m = renderMetafile(w.finish(), 96, 96);
    EXPECT_EQ(m.himetric, QSize(5080, 2540));
    ASSERT_EQ(m.image.size(), QSize(192, 96));
    EXPECT_TRUE(colourNear(m.image, 40, 70, Qt::red));
    EXPECT_TRUE(colourNear(m.image, 40, 25, Qt::blue));
    EXPECT_TRUE(colourNear(m.image, 150, 70, Qt::blue));
}

TEST(MetafileSize, PlainWmfOfTextAloneIsSizedByItsLines)
{
    // No window, no shape: six lines of 20-unit text, one under the other.
    WmfWriter w;
    LogFont font;
    font.height = 20;
    font.face = QStringLiteral("DejaVu Sans");
    w.selectObject(w.createFont(font));
    for (int line = 0; line < 6; ++line)
        w.textOut(QPoint(0, 20 * line), QByteArrayLiteral("I am a string"));
    const orv::RenderedMetafile m = renderMetafile(w.finish(), 96, 96);
    ASSERT_TRUE(m.error.isEmpty()) << m.error.toStdString();
    EXPECT_NEAR(m.image.height(), 120, 3);
    EXPECT_GT(m.image.width(), 100);
    EXPECT_LT(m.image.width(), 220);
    // The last line is inside the picture.
    EXPECT_GT(countNear(m.image, QRect(0, 100, m.image.width(), 20), Qt::black, 100), 40);
}

TEST(MetafileSize, PlainWmfWithoutWindowTakesItsDrawingsBounds)
{
    // No window: MM_TEXT pixels of a 96 DPI screen, from the lines drawn.
    WmfWriter w;
    w.moveTo(QPoint(10, 20));
    w.lineTo(QPoint(110, 70));
    w.lineTo(QPoint(60, 220));
    const orv::RenderedMetafile m = renderMetafile(w.finish(), 96, 96);
    EXPECT_EQ(m.image.size(), QSize(100, 200));
    EXPECT_EQ(m.himetric, QSize(2646, 5292));
}

TEST(MetafileSize, EmfFrameGivesTheSizeWhateverTheReferenceDevice)
{
    EmfWriter screen(QRect(0, 0, 5080, 2540));
    const orv::RenderedMetafile m = renderMetafile(screen.finish(), 96, 96);
    EXPECT_EQ(m.himetric, QSize(5080, 2540));
    EXPECT_EQ(m.image.size(), QSize(192, 96));

    // A 300 DPI printer as reference: device units are its pixels, the picture is still 2 × 1 inch,
    // and a rectangle over the left half of the frame in device units covers the left half.
    EmfWriter printer(QRect(0, 0, 5080, 2540), QSize(2480, 3508), QSize(209973, 297011));
    fillWith(printer, Qt::red);
    printer.rectangle(QRect(0, 0, 300, 300));
    const QImage image = render(printer.finish());
    ASSERT_EQ(image.size(), QSize(192, 96));
    EXPECT_TRUE(colourNear(image, 80, 50, Qt::red));
    EXPECT_TRUE(colourNear(image, 110, 50, Qt::white));
}

// ---------------------------------------------------------------------------------------------

TEST(MetafileSamples, DrawingShowsItsFillsLinesTextAndPhoto)
{
    const QByteArray file = readSample("drawing.wmf");
    ASSERT_FALSE(file.isEmpty()) << "no drawing.wmf in " << sampleFolder().toStdString();
    const orv::RenderedMetafile m = renderMetafile(file, 96, 96);
    ASSERT_TRUE(m.error.isEmpty()) << m.error.toStdString();
    EXPECT_EQ(m.himetric, QSize(8001, 6001));
    ASSERT_EQ(m.image.size(), QSize(302, 227));
    const QImage& image = m.image;
    // Pixels are twips / 15 at 96 DPI.
    EXPECT_TRUE(colourNear(image, 195, 110, QColor(0xff, 0xf6, 0xe0)));   // paper
    EXPECT_TRUE(colourNear(image, 113, 27, QColor(0xcf, 0xe8, 0xff)));    // sky
    EXPECT_TRUE(colourNear(image, 156, 36, QColor(0xff, 0xc8, 0x3d)));    // sun
    EXPECT_TRUE(colourNear(image, 60, 43, QColor(0xff, 0xd5, 0x4f)));     // the star's centre, filled by winding
    EXPECT_TRUE(colourNear(image, 66, 126, QColor(0x4c, 0xaf, 0x50)));    // hills
    EXPECT_TRUE(colourNear(image, 63, 170, QColor(0xe5, 0x39, 0x35)));    // pie: upper right quarter red
    EXPECT_TRUE(colourNear(image, 36, 196, QColor(0x1e, 0x88, 0xe5)));    // the rest blue
    EXPECT_TRUE(colourNear(image, 263, 170, QColor(0x00, 0x96, 0x88)));   // PatBlt swatch
    EXPECT_TRUE(colourNear(image, 193, 153, QColor(0x00, 0x89, 0x7b), 40)); // the top of the arc's thick pen
    // The hills never leave the clipped panel, which ends at 140 px.
    EXPECT_TRUE(colourNear(image, 66, 145, QColor(0xff, 0xf6, 0xe0)));
    // The photo: sky at the top, grass at the bottom.
    const QColor sky = image.pixelColor(206, 20);
    EXPECT_GT(sky.blue(), sky.red() + 40);
    const QColor grass = image.pixelColor(246, 78);
    EXPECT_GT(grass.green(), grass.red() + 30);
    EXPECT_GT(grass.green(), grass.blue() + 30);
    // Text: the dark blue title and the red caption.
    EXPECT_GT(countNear(image, QRect(200, 90, 90, 24), QColor(0x1a, 0x23, 0x7e)), 60);
    EXPECT_GT(countNear(image, QRect(205, 118, 85, 32), QColor(0xc6, 0x28, 0x28)), 30);
}

TEST(MetafileSamples, ChartShowsItsBarsAxesTextAndLogo)
{
    const QByteArray file = readSample("chart.emf");
    ASSERT_FALSE(file.isEmpty()) << "no chart.emf in " << sampleFolder().toStdString();
    const orv::RenderedMetafile m = renderMetafile(file, 96, 96);
    ASSERT_TRUE(m.error.isEmpty()) << m.error.toStdString();
    EXPECT_EQ(m.himetric, QSize(10000, 7000));
    ASSERT_EQ(m.image.size(), QSize(378, 265));
    const QImage& image = m.image;
    // Logical units are 0.01 mm, 0.0378 pixels each.
    EXPECT_TRUE(colourNear(image, 85, 204, QColor(0x42, 0xa5, 0xf5)));    // Q1 bar
    EXPECT_TRUE(colourNear(image, 160, 160, QColor(0x66, 0xbb, 0x6a)));   // Q2 bar
    EXPECT_TRUE(colourNear(image, 311, 189, QColor(0xef, 0x53, 0x50)));   // Q4 bar
    EXPECT_TRUE(colourNear(image, 189, 246, QColor(0xfa, 0xfa, 0xfa)));   // page
    EXPECT_LT(qGray(image.pixel(117, 219)), 80);                          // the x axis between two bars
    EXPECT_TRUE(colourNear(image, 24, 20, QColor(0xfb, 0x8c, 0x00), 40)); // the logo's orange centre
    const QColor hatch = image.pixelColor(236, 170);                      // Q3: orange hatch on light orange
    EXPECT_GT(hatch.red(), 200);
    EXPECT_LT(hatch.blue(), 200);
    EXPECT_GT(countNear(image, QRect(140, 8, 130, 20), QColor(0x26, 0x32, 0x38)), 80);   // title
    // The axis title reads upwards: its text is taller than it is wide.
    const QImage left = image.copy(QRect(8, 90, 16, 120));
    const QRect text = darkBounds(left);
    EXPECT_GT(text.height(), 2 * text.width());
}

// ---------------------------------------------------------------------------------------------

TEST(MetafileMapping, WindowWithNegativeHeightTurnsYUp)
{
    WmfWriter w = inchWmf();
    w.setWindowOrg(QPoint(0, 1000));
    w.setWindowExt(QSize(1000, -1000));
    fillWith(w, Qt::red);
    w.rectangle(QRect(0, 0, 1000, 300));   // the bottom 30 %
    const QImage image = render(w.finish());
    EXPECT_TRUE(colourNear(image, 48, 90, Qt::red));
    EXPECT_TRUE(colourNear(image, 48, 20, Qt::white));
}

TEST(MetafileMapping, IsotropicKeepsUnitsSquare)
{
    EmfWriter w = inchEmf();
    w.setMapMode(7);
    w.setWindowExt(QSize(100, 100));
    w.setViewportExt(QSize(96, 48));
    fillWith(w, Qt::blue);
    w.rectangle(QRect(0, 0, 100, 100));
    const QImage image = render(w.finish());
    EXPECT_TRUE(colourNear(image, 40, 40, Qt::blue));
    EXPECT_TRUE(colourNear(image, 70, 20, Qt::white));
    EXPECT_TRUE(colourNear(image, 20, 70, Qt::white));
}

TEST(MetafileMapping, FixedModesUseTheReferenceDeviceResolution)
{
    EmfWriter w(QRect(0, 0, 5080, 5080));
    w.setMapMode(2);   // MM_LOMETRIC: 0.1 mm, y up
    fillWith(w, Qt::darkGreen);
    w.rectangle(QRect(0, -254, 254, 254));   // one inch square below the origin
    const QImage image = render(w.finish());
    EXPECT_TRUE(colourNear(image, 90, 90, Qt::darkGreen));
    EXPECT_TRUE(colourNear(image, 100, 100, Qt::white));
}

TEST(MetafileMapping, WorldTransformMovesAndSaveDcRestoresIt)
{
    EmfWriter w = inchEmf();
    fillWith(w, Qt::red);
    w.saveDC();
    w.modifyWorldTransform(QTransform::fromTranslate(50, 0), 2);
    w.rectangle(QRect(0, 0, 40, 40));
    w.restoreDC(-1);
    w.rectangle(QRect(0, 50, 40, 40));
    const QImage image = render(w.finish());
    EXPECT_TRUE(colourNear(image, 70, 20, Qt::red));
    EXPECT_TRUE(colourNear(image, 20, 20, Qt::white));
    EXPECT_TRUE(colourNear(image, 20, 70, Qt::red));
}

TEST(MetafileMapping, PieKeepsItsScreenDirectionWhenYIsFlipped)
{
    WmfWriter w = inchWmf();
    w.setWindowOrg(QPoint(0, 1000));
    w.setWindowExt(QSize(1000, -1000));
    fillWith(w, Qt::red);
    // From three o'clock to twelve o'clock, twelve being up on the page.
    w.pie(QRect(0, 0, 1000, 1000), QPoint(1000, 500), QPoint(500, 1000));
    const QImage image = render(w.finish());
    EXPECT_TRUE(colourNear(image, 70, 25, Qt::red));
    EXPECT_TRUE(colourNear(image, 25, 70, Qt::white));
}

// ---------------------------------------------------------------------------------------------

TEST(MetafileClipping, IntersectExcludeAndRestore)
{
    EmfWriter w = inchEmf();
    fillWith(w, Qt::black);
    w.saveDC();
    w.intersectClipRect(QRect(0, 0, 48, 96));
    w.excludeClipRect(QRect(10, 10, 20, 20));
    w.rectangle(QRect(0, 0, 96, 96));
    w.restoreDC(-1);
    w.rectangle(QRect(70, 70, 20, 20));
    const QImage image = render(w.finish());
    EXPECT_TRUE(colourNear(image, 40, 50, Qt::black));
    EXPECT_TRUE(colourNear(image, 60, 50, Qt::white));   // outside the intersection
    EXPECT_TRUE(colourNear(image, 20, 20, Qt::white));   // in the excluded hole
    EXPECT_TRUE(colourNear(image, 80, 80, Qt::black));   // drawn after the clip was restored
}

TEST(MetafileClipping, SelectedRegionLimitsDrawing)
{
    EmfWriter w = inchEmf();
    // EXTSELECTCLIPRGN with RGN_COPY and one rectangle in device units.
    QByteArray region;
    for (quint32 v : {32u, 1u, 1u, 16u, 0u, 0u, 40u, 96u, 0u, 0u, 40u, 96u}) {
        const quint32 le = qToLittleEndian(v);
        region.append(reinterpret_cast<const char*>(&le), 4);
    }
    QByteArray params;
    for (quint32 v : {quint32(region.size()), 5u}) {
        const quint32 le = qToLittleEndian(v);
        params.append(reinterpret_cast<const char*>(&le), 4);
    }
    w.record(75, params + region);
    fillWith(w, Qt::blue);
    w.rectangle(QRect(0, 0, 96, 96));
    const QImage image = render(w.finish());
    EXPECT_TRUE(colourNear(image, 20, 50, Qt::blue));
    EXPECT_TRUE(colourNear(image, 60, 50, Qt::white));
}

// ---------------------------------------------------------------------------------------------

TEST(MetafileDrawing, XorPenUndoesItselfAndPatBltInverts)
{
    auto xorred = [](int times) {
        WmfWriter w = inchWmf();
        w.setRop2(7);   // R2_XORPEN
        fillWith(w, Qt::red);
        for (int i = 0; i < times; ++i)
            w.rectangle(QRect(0, 0, 1000, 1000));
        return render(w.finish());
    };
    EXPECT_TRUE(colourNear(xorred(1), 48, 48, Qt::cyan, 2));
    EXPECT_TRUE(colourNear(xorred(2), 48, 48, Qt::white, 2));

    WmfWriter inverted = inchWmf();
    inverted.patBlt(QRect(0, 0, 500, 1000), 0x00550009);   // DSTINVERT
    const QImage image = render(inverted.finish());
    EXPECT_TRUE(colourNear(image, 20, 48, Qt::black, 2));
    EXPECT_TRUE(colourNear(image, 70, 48, Qt::white, 2));
}

TEST(MetafileDrawing, StockObjectsAndPathsFill)
{
    EmfWriter w = inchEmf();
    w.selectObject(NULL_PEN);
    w.selectObject(BLACK_BRUSH);
    w.beginPath();
    w.moveTo(QPoint(10, 10));
    w.polylineTo16(QPolygon({QPoint(86, 10), QPoint(86, 40)}));
    w.polyBezierTo16(QPolygon({QPoint(60, 50), QPoint(40, 30), QPoint(10, 40)}));
    w.closeFigure();
    w.endPath();
    w.fillPath();
    const QImage image = render(w.finish());
    EXPECT_TRUE(colourNear(image, 48, 20, Qt::black));
    EXPECT_TRUE(colourNear(image, 48, 70, Qt::white));
}

TEST(MetafileDrawing, BitmapRowsKeepTheirOrientation)
{
    QImage picture(2, 2, QImage::Format_RGB32);
    picture.setPixel(0, 0, qRgb(255, 0, 0));
    picture.setPixel(1, 0, qRgb(255, 0, 0));
    picture.setPixel(0, 1, qRgb(0, 0, 255));
    picture.setPixel(1, 1, qRgb(0, 0, 255));
    EmfWriter emf = inchEmf();
    emf.stretchDIBits(QRect(0, 0, 96, 96), picture);
    const QImage a = render(emf.finish());
    EXPECT_TRUE(colourNear(a, 48, 10, Qt::red));
    EXPECT_TRUE(colourNear(a, 48, 85, Qt::blue));
    WmfWriter wmf = inchWmf();
    wmf.stretchDib(QRect(0, 0, 1000, 1000), picture);
    const QImage b = render(wmf.finish());
    EXPECT_TRUE(colourNear(b, 48, 10, Qt::red));
    EXPECT_TRUE(colourNear(b, 48, 85, Qt::blue));

    // STRETCHDIB counts its source rows from the bottom, DIBSTRETCHBLT from the top: row 0 of
    // each is a different colour.
    const QByteArray dib = orv::BmpWriter::encodeRgb24(picture).mid(14);
    WmfWriter bottomRow = inchWmf();
    bottomRow.stretchDib(QRect(0, 0, 1000, 1000), dib, QRect(0, 0, 2, 1));
    EXPECT_TRUE(colourNear(render(bottomRow.finish()), 48, 48, Qt::blue));
    WmfWriter topRow = inchWmf();
    QByteArray params;
    for (int v : {0x0020, 0x00CC, 1, 2, 0, 0, 1000, 1000, 0, 0})   // SRCCOPY; source 2 × 1 at 0, 0; dest
        params.append(char(v & 0xff)).append(char(v >> 8));
    topRow.record(0x0B41, params + dib);
    EXPECT_TRUE(colourNear(render(topRow.finish()), 48, 48, Qt::red));
}

TEST(MetafileDrawing, TextIsAlignedOnItsReferencePoint)
{
    WmfWriter w = inchWmf();
    LogFont font;
    font.height = -300;
    font.weight = 700;
    font.face = QStringLiteral("DejaVu Sans");
    w.selectObject(w.createFont(font));
    w.setBkMode(TRANSPARENT);
    w.setTextAlign(TA_CENTER | TA_BASELINE);
    w.textOut(QPoint(500, 600), QByteArrayLiteral("HOH"));
    const QImage image = render(w.finish());
    const QRect text = darkBounds(image);
    ASSERT_FALSE(text.isEmpty());
    EXPECT_NEAR(text.center().x(), 48, 3);
    EXPECT_NEAR(text.bottom(), 57, 2);                     // the baseline at 600 units
    EXPECT_NEAR(text.height(), 21, 4);                     // capitals of a 29-pixel font
}

TEST(MetafileDrawing, OpaqueTextBoxAndAdvances)
{
    EmfWriter w = inchEmf();
    LogFont font;
    font.height = -20;
    w.selectObject(w.createFont(font));
    w.setBkColor(Qt::yellow);
    w.extTextOut(QPoint(10, 10), QStringLiteral("iiii"), 2, QRect(0, 60, 96, 36), {20, 20, 20, 20});
    const QImage image = render(w.finish());
    EXPECT_TRUE(colourNear(image, 48, 80, Qt::yellow));
    // Four narrow letters spread over 60 pixels by their advances.
    const QRect text = darkBounds(image.copy(0, 0, 96, 50));
    EXPECT_GE(text.width(), 55);
}

// ---------------------------------------------------------------------------------------------

TEST(MetafileErrors, EmptyRandomAndForeignBytesAreRefused)
{
    expectRefused(QByteArray(), "empty");
    expectRefused(QByteArray(3, '\0'), "three zero bytes");
    quint32 seed = 0x1234567u;
    for (int i = 0; i < 60; ++i) {
        QByteArray bytes(int(nextRandom(seed) % 4096), '\0');
        for (char& c : bytes)
            c = char(nextRandom(seed));
        expectRefused(bytes, "random bytes");
    }
}

TEST(MetafileErrors, WellFramedRecordsWithRandomContentsNeverCrash)
{
    // Every record type we know, framed correctly but filled with noise, then a proper end.
    const quint16 wmfFunctions[] = {0x0035, 0x0037, 0x0102, 0x0103, 0x0104, 0x0106, 0x0107, 0x0108, 0x0127, 0x012A,
                                    0x012B, 0x012C, 0x012D, 0x012E, 0x0142, 0x01F0, 0x01F9, 0x0201, 0x0209, 0x020B,
                                    0x020C, 0x020D, 0x020E, 0x020F, 0x0211, 0x0213, 0x0214, 0x0220, 0x0228, 0x0234,
                                    0x02FA, 0x02FB, 0x02FC, 0x0324, 0x0325, 0x0410, 0x0412, 0x0415, 0x0416, 0x0418,
                                    0x041B, 0x041F, 0x0429, 0x0521, 0x0538, 0x061C, 0x061D, 0x0626, 0x06FF, 0x0817,
                                    0x081A, 0x0830, 0x0922, 0x0940, 0x0A32, 0x0B23, 0x0B41, 0x0D33, 0x0F43, 0x00F7, 0x001E};
    quint32 seed = 0xc0ffeeu;
    auto noise = [&seed](int bytes) {
        QByteArray b(bytes, '\0');
        for (char& c : b) {
            // Mostly small numbers, as real parameters are, with the odd wild one.
            const quint32 r = nextRandom(seed);
            c = char(r % 5 == 0 ? r >> 8 : r % 3 == 0 ? 0 : r % 40);
        }
        return b;
    };
    for (int i = 0; i < 400; ++i) {
        WmfWriter wmf = inchWmf();
        for (int k = 0; k < 2; ++k)
            wmf.createBrush(BS_SOLID, Qt::red);
        EmfWriter emf = inchEmf();
        for (int k = 0; k < 2; ++k)
            emf.createBrush(BS_SOLID, Qt::red);
        const int records = 1 + int(nextRandom(seed) % 5);
        for (int r = 0; r < records; ++r) {
            const int bytes = int(nextRandom(seed) % 96) * 2;
            wmf.record(wmfFunctions[nextRandom(seed) % std::size(wmfFunctions)], noise(bytes));
            emf.record(2 + nextRandom(seed) % 120, noise(bytes * 2));
        }
        expectConsistent(renderMetafile(wmf.finish(), 96, 96, 1 << 20), "wmf records of noise");
        expectConsistent(renderMetafile(emf.finish(), 96, 96, 1 << 20), "emf records of noise");
    }
}

TEST(MetafileErrors, TruncatedFilesAreRefused)
{
    for (const char* name : {"drawing.wmf", "chart.emf"}) {
        const QByteArray file = readSample(name);
        ASSERT_FALSE(file.isEmpty()) << name;
        QList<qsizetype> lengths;
        for (qsizetype n = 0; n < 120; ++n)
            lengths.append(n);
        for (qsizetype n = 120; n < file.size(); n += 97)
            lengths.append(n);
        for (qsizetype n = file.size() - 12; n < file.size(); ++n)
            lengths.append(n);
        for (qsizetype n : lengths)
            expectRefused(file.left(n), name);
    }
}

TEST(MetafileErrors, ImpossibleRecordSizesAreRefused)
{
    const QByteArray wmf = inchWmf().finish();   // first record at byte 40
    auto patchedWmf = [&wmf](quint32 words) {
        QByteArray copy = wmf;
        qToLittleEndian(words, copy.data() + 40);
        return copy;
    };
    expectRefused(patchedWmf(0), "wmf record of size 0");
    expectRefused(patchedWmf(2), "wmf record shorter than its header");
    expectRefused(patchedWmf(0x7fffffff), "wmf record larger than the file");
    QByteArray longEof = wmf;
    qToLittleEndian<quint32>(4, longEof.data() + longEof.size() - 6);
    expectRefused(longEof, "end record running past the file");

    EmfWriter e = inchEmf();
    e.saveDC();
    const QByteArray emf = e.finish();   // SAVEDC at byte 108
    auto patchedEmf = [&emf](quint32 size) {
        QByteArray copy = emf;
        qToLittleEndian(size, copy.data() + 112);
        return copy;
    };
    expectRefused(patchedEmf(0), "emf record of size 0");
    expectRefused(patchedEmf(6), "emf record shorter than its header");
    expectRefused(patchedEmf(10), "emf record size not a multiple of four");
    expectRefused(patchedEmf(0xfffffff0u), "emf record larger than the file");
    QByteArray header = emf;
    qToLittleEndian<quint32>(0xfffffff0u, header.data() + 4);
    expectRefused(header, "emf header larger than the file");
}

TEST(MetafileErrors, RecordsTooShortForTheirContentsAreRefused)
{
    WmfWriter polygon = inchWmf();
    QByteArray params;
    params.append("\x40\x00\x01\x00\x02\x00", 6);   // claims 64 points, holds one
    polygon.record(0x0324, params);
    expectRefused(polygon.finish(), "polygon with too few points");

    EmfWriter text = inchEmf();
    text.extTextOut(QPoint(10, 10), QStringLiteral("abc"));
    QByteArray file = text.finish();
    qToLittleEndian<quint32>(0x10000, file.data() + 108 + 48);   // offString far outside the record
    expectRefused(file, "text whose string lies outside its record");
}

TEST(MetafileErrors, ObjectIndicesOutOfRangeAreRefused)
{
    WmfWriter wmfSelect = inchWmf();
    wmfSelect.createBrush(BS_SOLID, Qt::red);
    wmfSelect.selectObject(7);
    expectRefused(wmfSelect.finish(), "wmf selects object 7 of 1");
    WmfWriter wmfDelete = inchWmf();
    wmfDelete.deleteObject(300);
    expectRefused(wmfDelete.finish(), "wmf deletes object 300 of 0");

    EmfWriter emfSelect = inchEmf();
    emfSelect.createBrush(BS_SOLID, Qt::red);
    emfSelect.selectObject(50);
    expectRefused(emfSelect.finish(), "emf selects object 50 of 2");
    EmfWriter emfCreate = inchEmf();
    QByteArray brush(16, '\0');   // a brush created at index 0, the metafile's own handle
    emfCreate.record(39, brush);
    expectRefused(emfCreate.finish(), "emf creates object 0");

    // An unused slot inside the table is no error: the selection simply does not change.
    WmfWriter unused = inchWmf();
    const int red = unused.createBrush(BS_SOLID, Qt::red);
    unused.deleteObject(red);
    unused.selectObject(red);
    unused.rectangle(QRect(0, 0, 1000, 1000));
    EXPECT_TRUE(colourNear(render(unused.finish()), 48, 48, Qt::white));
}

TEST(MetafileErrors, GiganticPicturesAreRefusedBeforeAllocating)
{
    EmfWriter huge(QRect(0, 0, 2645834, 2645834));   // 100000 × 100000 pixels at 96 DPI
    const orv::RenderedMetafile emf = renderMetafile(huge.finish(), 96, 96);
    EXPECT_TRUE(emf.image.isNull());
    EXPECT_FALSE(emf.error.isEmpty());

    WmfWriter wide(QRect(0, 0, 32000, 32000), 1);   // 32000 inches a side
    expectRefused(wide.finish(), "placeable frame of 32000 inches");

    const orv::RenderedMetafile limited = renderMetafile(readSample("drawing.wmf"), 96, 96, 1000);
    EXPECT_TRUE(limited.image.isNull());
    EXPECT_FALSE(limited.error.isEmpty());
    EXPECT_FALSE(renderMetafile(readSample("chart.emf"), 0, 96).error.isEmpty());
}

TEST(MetafileErrors, BrokenBitmapsAndWildValuesAreDrawnAround)
{
    // A bitmap header claiming a billion pixels, and one without its pixels: both left out.
    WmfWriter w = inchWmf();
    fillWith(w, Qt::green);
    w.rectangle(QRect(0, 0, 1000, 500));
    QByteArray dib(40, '\0');
    qToLittleEndian<quint32>(40, dib.data());
    qToLittleEndian<qint32>(1000000, dib.data() + 4);
    qToLittleEndian<qint32>(1000, dib.data() + 8);
    qToLittleEndian<quint16>(1, dib.data() + 12);
    qToLittleEndian<quint16>(24, dib.data() + 14);
    QByteArray params(22, '\0');
    qToLittleEndian<quint32>(0x00CC0020, params.data());
    qToLittleEndian<qint16>(1000, params.data() + 14);   // destination height
    qToLittleEndian<qint16>(1000, params.data() + 16);   // destination width
    w.record(0x0F43, params + dib);
    qToLittleEndian<qint32>(20, dib.data() + 4);
    w.record(0x0F43, params + dib);
    // Saving far beyond any sane depth and restoring nonsense.
    for (int i = 0; i < 5000; ++i)
        w.saveDC();
    w.restoreDC(-32768);
    w.restoreDC(32767);
    const QImage image = render(w.finish());
    EXPECT_TRUE(colourNear(image, 48, 20, Qt::green));
    EXPECT_TRUE(colourNear(image, 48, 80, Qt::white));

    // A world transform of infinities and extents of zero are ignored.
    EmfWriter e = inchEmf();
    e.setWorldTransform(QTransform(qInf(), 0, 0, 1, 0, 0));
    e.setMapMode(8);
    e.setWindowExt(QSize(0, 0));
    e.setViewportExt(QSize(1, 0));
    fillWith(e, Qt::blue);
    e.rectangle(QRect(0, 0, 48, 96));
    e.polyline16(QPolygon({QPoint(-32768, -32768), QPoint(32767, 32767)}));
    const QImage wild = render(e.finish());
    EXPECT_TRUE(colourNear(wild, 20, 50, Qt::blue));
}

TEST(MetafileErrors, MutatedSamplesNeverCrash)
{
    for (const char* name : {"drawing.wmf", "chart.emf"}) {
        const QByteArray file = readSample(name);
        ASSERT_FALSE(file.isEmpty()) << name;
        quint32 seed = 0x9e3779b9u;
        for (int i = 0; i < 150; ++i) {
            QByteArray copy = file;
            const int flips = 1 + int(nextRandom(seed) % 8);
            for (int f = 0; f < flips; ++f) {
                const qsizetype at = qsizetype(nextRandom(seed) % quint32(copy.size()));
                copy[at] = char(nextRandom(seed));
            }
            expectConsistent(renderMetafile(copy, 96, 96, 4 * 1024 * 1024), name);
        }
    }
}

// ---------------------------------------------------------------------------------------------
// Hand-made bitmaps

void put16(QByteArray& b, quint32 v)
{
    b.append(char(v & 0xff));
    b.append(char((v >> 8) & 0xff));
}

void put32(QByteArray& b, quint32 v)
{
    put16(b, v & 0xffff);
    put16(b, v >> 16);
}

// A BITMAPINFOHEADER followed by the colour table (or bit-field masks) given.
QByteArray infoHeader(int width, int height, int bpp, quint32 compression, const QList<quint32>& table = {})
{
    QByteArray b;
    for (quint32 v : {40u, quint32(width), quint32(height)})
        put32(b, v);
    put16(b, 1);
    put16(b, quint32(bpp));
    for (quint32 v : {compression, 0u, 0u, 0u, compression == 3 ? 0u : quint32(table.size()), 0u})
        put32(b, v);
    for (quint32 v : table)
        put32(b, v);
    return b;
}

constexpr quint32 bgrRed = 0xff0000;
constexpr quint32 bgrGreen = 0x00ff00;
constexpr quint32 bgrBlue = 0x0000ff;
constexpr quint32 bgrYellow = 0xffff00;

// Draws the bitmap over the whole one-inch EMF.
QImage blitted(const QByteArray& info, const QByteArray& bits, QSize size, quint32 rop = 0x00CC0020, int usage = 0,
               const QList<QRgb>& palette = {})
{
    EmfWriter w = inchEmf();
    if (!palette.isEmpty())
        w.selectPalette(w.createPalette(palette));
    w.stretchDIBits(QRect(0, 0, 96, 96), info, bits, QRect(QPoint(0, 0), size), rop, usage);
    return render(w.finish());
}

// Quadrant centres of a 2 × 2 bitmap drawn over 96 × 96 pixels.
void expectQuadrants(const QImage& image, QColor topLeft, QColor topRight, QColor bottomLeft, QColor bottomRight)
{
    EXPECT_TRUE(colourNear(image, 24, 24, topLeft));
    EXPECT_TRUE(colourNear(image, 72, 24, topRight));
    EXPECT_TRUE(colourNear(image, 24, 72, bottomLeft));
    EXPECT_TRUE(colourNear(image, 72, 72, bottomRight));
}

TEST(MetafileBitmaps, IndexedDepthsReadTheirColourTables)
{
    // Rows are stored bottom-up: the first row of bits is the bottom one.
    const QByteArray one = infoHeader(2, 2, 1, 0, {bgrRed, bgrBlue});
    expectQuadrants(blitted(one, QByteArray("\x40\0\0\0\x80\0\0\0", 8), QSize(2, 2)), Qt::blue, Qt::red, Qt::red, Qt::blue);
    const QByteArray four = infoHeader(2, 2, 4, 0, {bgrRed, bgrGreen, bgrBlue, bgrYellow});
    expectQuadrants(blitted(four, QByteArray("\x23\0\0\0\x01\0\0\0", 8), QSize(2, 2)), Qt::red, Qt::green, Qt::blue, Qt::yellow);
    const QByteArray eight = infoHeader(2, 2, 8, 0, {bgrRed, bgrGreen, bgrBlue, bgrYellow});
    expectQuadrants(blitted(eight, QByteArray("\x02\x03\0\0\x00\x01\0\0", 8), QSize(2, 2)), Qt::red, Qt::green, Qt::blue, Qt::yellow);
}

TEST(MetafileBitmaps, DirectColourDepthsAndTopDownRows)
{
    QByteArray rgb555;
    for (quint32 v : {0x001fu, 0x7fffu, 0x7c00u, 0x03e0u})   // bottom: blue, white; top: red, green
        put16(rgb555, v);
    expectQuadrants(blitted(infoHeader(2, 2, 16, 0), rgb555, QSize(2, 2)), Qt::red, Qt::green, Qt::blue, Qt::white);

    QByteArray rgb565;
    for (quint32 v : {0x001fu, 0x0000u, 0xf800u, 0x07e0u})
        put16(rgb565, v);
    expectQuadrants(blitted(infoHeader(2, 2, 16, 3, {0xf800, 0x07e0, 0x001f}), rgb565, QSize(2, 2)), Qt::red, Qt::green,
                    Qt::blue, Qt::black);

    // 32 bits with an alpha byte of zero still paint: plain DIBs have no alpha.
    QByteArray rgb32;
    for (quint32 v : {bgrBlue, bgrYellow, bgrRed, bgrGreen})
        put32(rgb32, v);
    expectQuadrants(blitted(infoHeader(2, 2, 32, 0), rgb32, QSize(2, 2)), Qt::red, Qt::green, Qt::blue, Qt::yellow);

    // A negative height stores the top row first.
    const QByteArray topDown("\x00\x00\xff\x00\xff\x00\x00\x00\xff\x00\x00\xff\xff\xff\x00\x00", 16);
    expectQuadrants(blitted(infoHeader(2, -2, 24, 0), topDown, QSize(2, 2)), Qt::red, Qt::green, Qt::blue, Qt::white);
}

TEST(MetafileBitmaps, RunLengthEncodedRows)
{
    // 4 × 2: the bottom row one run of blue, the top row red, green, blue, yellow spelt out.
    const QList<quint32> table {bgrRed, bgrGreen, bgrBlue, bgrYellow};
    const QByteArray rle8("\x04\x02\x00\x00\x00\x04\x00\x01\x02\x03\x00\x01", 12);
    const QImage a = blitted(infoHeader(4, 2, 8, 1, table), rle8, QSize(4, 2));
    for (int x : {12, 36, 60, 84})
        EXPECT_TRUE(colourNear(a, x, 72, Qt::blue));
    EXPECT_TRUE(colourNear(a, 12, 24, Qt::red));
    EXPECT_TRUE(colourNear(a, 36, 24, Qt::green));
    EXPECT_TRUE(colourNear(a, 84, 24, Qt::yellow));
    // RLE4: a run alternating green and blue, then four nibbles spelt out.
    QList<quint32> table16 = table;
    while (table16.size() < 16)
        table16.append(0);
    const QByteArray rle4("\x04\x12\x00\x00\x00\x04\x01\x23\x00\x01", 10);
    const QImage b = blitted(infoHeader(4, 2, 4, 2, table16), rle4, QSize(4, 2));
    EXPECT_TRUE(colourNear(b, 12, 72, Qt::green));
    EXPECT_TRUE(colourNear(b, 36, 72, Qt::blue));
    EXPECT_TRUE(colourNear(b, 12, 24, Qt::red));
    EXPECT_TRUE(colourNear(b, 84, 24, Qt::yellow));
}

TEST(MetafileBitmaps, PaletteIndexTablesUseTheSelectedPalette)
{
    QByteArray info = infoHeader(2, 2, 8, 0);
    qToLittleEndian<quint32>(4, info.data() + 32);
    for (quint32 index : {3u, 2u, 1u, 0u})
        put16(info, index);
    const QImage image = blitted(info, QByteArray("\x02\x03\0\0\x00\x01\0\0", 8), QSize(2, 2), 0x00CC0020, 1,
                                 {qRgb(255, 0, 0), qRgb(0, 255, 0), qRgb(0, 0, 255), qRgb(255, 255, 0)});
    expectQuadrants(image, Qt::yellow, Qt::blue, Qt::green, Qt::red);
}

TEST(MetafileBitmaps, RasterOperationsCombineWithThePicture)
{
    // A white and a black pixel blitted over grey, or over a brush.
    auto blit = [](quint32 rop, const QColor& brush) {
        EmfWriter w = inchEmf();
        fillWith(w, QColor(0x80, 0x80, 0x80));
        w.rectangle(QRect(0, 0, 96, 96));
        w.selectObject(w.createBrush(BS_SOLID, brush));
        QImage pair(2, 1, QImage::Format_RGB32);
        pair.setPixel(0, 0, qRgb(255, 255, 255));
        pair.setPixel(1, 0, qRgb(0, 0, 0));
        w.stretchDIBits(QRect(0, 0, 96, 96), pair, rop);
        return render(w.finish());
    };
    auto expectPair = [](const QImage& image, QColor left, QColor right, const char* what) {
        EXPECT_TRUE(colourNear(image, 24, 48, left, 2)) << what;
        EXPECT_TRUE(colourNear(image, 72, 48, right, 2)) << what;
    };
    const QColor grey(0x80, 0x80, 0x80);
    expectPair(blit(0x008800C6, Qt::red), grey, Qt::black, "SRCAND");
    expectPair(blit(0x00EE0086, Qt::red), Qt::white, grey, "SRCPAINT");
    expectPair(blit(0x00660046, Qt::red), QColor(0x7f, 0x7f, 0x7f), grey, "SRCINVERT");
    expectPair(blit(0x00330008, Qt::red), Qt::black, Qt::white, "NOTSRCCOPY");
    expectPair(blit(0x00C000CA, Qt::red), Qt::red, Qt::black, "MERGECOPY");
    expectPair(blit(0x00E20746, Qt::green), Qt::green, grey, "brush through the white of a mask");
    expectPair(blit(0x00000042, Qt::green), Qt::black, Qt::black, "BLACKNESS");
}

TEST(MetafileBitmaps, GradientAlphaAndTransparentBlits)
{
    EmfWriter gradient = inchEmf();
    QByteArray params;
    for (quint32 v : {0u, 0u, quint32(-1), quint32(-1), 2u, 1u, 0u})   // bounds, two vertices, one rectangle, horizontal
        put32(params, v);
    for (quint32 v : {0u, 0u})
        put32(params, v);
    for (quint32 v : {0xff00u, 0u, 0u, 0u})
        put16(params, v);
    for (quint32 v : {96u, 96u})
        put32(params, v);
    for (quint32 v : {0u, 0u, 0xff00u, 0u})
        put16(params, v);
    for (quint32 v : {0u, 1u})
        put32(params, v);
    gradient.record(118, params);
    const QImage g = render(gradient.finish());
    EXPECT_TRUE(colourNear(g, 1, 48, Qt::red, 10));
    EXPECT_TRUE(colourNear(g, 94, 48, Qt::blue, 10));
    EXPECT_TRUE(colourNear(g, 48, 48, QColor(0x80, 0, 0x80), 16));

    // ALPHABLEND and TRANSPARENTBLT share STRETCHBLT's layout.
    auto blend = [](quint32 type, quint32 ropOrBlend, const QList<quint32>& pixels) {
        EmfWriter w = inchEmf();
        fillWith(w, Qt::blue);
        w.rectangle(QRect(0, 48, 96, 48));
        const QByteArray info = infoHeader(int(pixels.size()), 1, 32, 0);
        QByteArray bits;
        for (quint32 p : pixels)
            put32(bits, p);
        QByteArray fields;
        for (quint32 v : {0u, 0u, quint32(-1), quint32(-1), 0u, 0u, 96u, 96u, ropOrBlend, 0u, 0u})
            put32(fields, v);
        for (quint32 v : {0x3f800000u, 0u, 0u, 0x3f800000u, 0u, 0u, 0u, 0u})   // identity source transform, colour, usage
            put32(fields, v);
        for (quint32 v : {108u, quint32(info.size()), quint32(108 + info.size()), quint32(bits.size()), quint32(pixels.size()), 1u})
            put32(fields, v);
        w.record(type, fields + info + bits);
        return render(w.finish());
    };
    const QImage half = blend(114, 0x00800000, {bgrRed});   // half of a red pixel over white, then blue
    EXPECT_TRUE(colourNear(half, 48, 20, QColor(255, 127, 127), 8));
    EXPECT_TRUE(colourNear(half, 48, 70, QColor(127, 0, 127), 8));
    const QImage keyed = blend(116, 0x00ffffff, {bgrRed, 0xffffff});   // white is the transparent colour
    EXPECT_TRUE(colourNear(keyed, 24, 70, Qt::red, 8));
    EXPECT_TRUE(colourNear(keyed, 72, 70, Qt::blue, 8));
    EXPECT_TRUE(colourNear(keyed, 72, 20, Qt::white, 8));
}

// ---------------------------------------------------------------------------------------------

TEST(MetafileBrushes, HatchBackgroundFollowsTheBackgroundMode)
{
    auto hatched = [](int mode) {
        WmfWriter w = inchWmf();
        fillWith(w, Qt::blue);
        w.rectangle(QRect(0, 0, 1000, 1000));
        w.selectObject(w.createBrush(2, Qt::red, 4));   // HS_CROSS
        w.setBkMode(mode);
        w.setBkColor(Qt::yellow);
        w.rectangle(QRect(0, 0, 1000, 1000));
        return render(w.finish());
    };
    const QRect inside(10, 10, 76, 76);
    const QImage opaque = hatched(2);
    EXPECT_GT(countNear(opaque, inside, Qt::red, 40), 300);
    EXPECT_GT(countNear(opaque, inside, Qt::yellow, 40), 3000);
    EXPECT_EQ(countNear(opaque, inside, Qt::blue, 40), 0);
    const QImage transparent = hatched(TRANSPARENT);
    EXPECT_GT(countNear(transparent, inside, Qt::blue, 40), 3000);
    EXPECT_EQ(countNear(transparent, inside, Qt::yellow, 40), 0);
}

TEST(MetafileBrushes, PatternBrushesTileTheirBitmap)
{
    QImage checker(8, 8, QImage::Format_RGB32);
    for (int y = 0; y < 8; ++y) {
        for (int x = 0; x < 8; ++x)
            checker.setPixel(x, y, ((x / 4) + (y / 4)) % 2 ? qRgb(0, 128, 0) : qRgb(255, 255, 0));
    }
    WmfWriter wmf = inchWmf();
    wmf.selectObject(wmf.createPen(PS_NULL, 0, Qt::black));
    wmf.selectObject(wmf.createPatternBrush(checker));
    wmf.ellipse(QRect(0, 0, 1000, 1000));
    EmfWriter emf = inchEmf();
    emf.selectObject(NULL_PEN);
    emf.selectObject(emf.createPatternBrush(checker));
    emf.ellipse(QRect(0, 0, 96, 96));
    for (const QImage& image : {render(wmf.finish()), render(emf.finish())}) {
        const int green = countNear(image, QRect(24, 24, 48, 48), QColor(0, 128, 0), 20);
        const int yellow = countNear(image, QRect(24, 24, 48, 48), Qt::yellow, 20);
        EXPECT_NEAR(green, 48 * 48 / 2, 100);
        EXPECT_NEAR(yellow, 48 * 48 / 2, 100);
        EXPECT_TRUE(colourNear(image, 2, 2, Qt::white));
    }
}

// ---------------------------------------------------------------------------------------------
// Text: the same glyph must come out of an 8-bit code page as out of UTF-16.

QRect wmfTextBounds(const QByteArray& text, quint8 charset, const QString& face, quint8 pitchAndFamily = 0)
{
    WmfWriter w = inchWmf();
    LogFont font;
    font.height = -250;   // 24 pixels
    font.charset = charset;
    font.face = face;
    font.pitchAndFamily = pitchAndFamily;
    w.selectObject(w.createFont(font));
    w.setBkMode(TRANSPARENT);
    w.textOut(QPoint(125, 250), text);   // 12, 24 pixels
    return darkBounds(render(w.finish()));
}

QRect emfTextBounds(const QString& text, const QString& face, quint8 pitchAndFamily = 0)
{
    EmfWriter w = inchEmf();
    LogFont font;
    font.height = -24;
    font.face = face;
    font.pitchAndFamily = pitchAndFamily;
    w.selectObject(w.createFont(font));
    w.setBkMode(TRANSPARENT);
    w.extTextOut(QPoint(12, 24), text);
    return darkBounds(render(w.finish()));
}

TEST(MetafileText, CodePagesDecodeLikeUnicode)
{
    const QString sans = QStringLiteral("DejaVu Sans");
    const QRect euro = emfTextBounds(QStringLiteral("\u20ac"), sans);
    ASSERT_FALSE(euro.isEmpty());
    EXPECT_EQ(wmfTextBounds("\x80", 0, sans), euro);                                   // Windows-1252
    const QRect zhe = emfTextBounds(QStringLiteral("\u0416"), sans);
    ASSERT_FALSE(zhe.isEmpty());
    EXPECT_EQ(wmfTextBounds("\xc6", 204, sans), zhe);                                  // Windows-1251
    EXPECT_EQ(wmfTextBounds("a", 2, QStringLiteral("Symbol"), 0x12), emfTextBounds(QStringLiteral("\u03b1"), {}, 0x12));
}

TEST(MetafileText, PositiveHeightIsTheWholeCell)
{
    auto capitalHeight = [](int height) {
        EmfWriter w = inchEmf();
        LogFont font;
        font.height = height;
        font.face = QStringLiteral("DejaVu Sans");
        w.selectObject(w.createFont(font));
        w.extTextOut(QPoint(5, 5), QStringLiteral("H"));
        return darkBounds(render(w.finish())).height();
    };
    const int em = capitalHeight(-40);
    const int cell = capitalHeight(40);
    EXPECT_LT(cell, em);
    EXPECT_NEAR(double(cell) / em, 0.86, 0.06);
}

TEST(MetafileText, UpdateCpContinuesWhereTheLastTextEnded)
{
    auto bounds = [](bool split) {
        WmfWriter w = inchWmf();
        LogFont font;
        font.height = -200;
        font.face = QStringLiteral("DejaVu Sans");
        w.selectObject(w.createFont(font));
        w.setTextAlign(1 | TA_BASELINE);   // TA_UPDATECP
        w.moveTo(QPoint(50, 500));
        if (split) {
            w.textOut(QPoint(0, 0), QByteArrayLiteral("HH"));
            w.textOut(QPoint(0, 0), QByteArrayLiteral("HH"));
        } else {
            w.textOut(QPoint(0, 0), QByteArrayLiteral("HHHH"));
        }
        return darkBounds(render(w.finish()));
    };
    const QRect whole = bounds(false);
    const QRect split = bounds(true);
    EXPECT_NEAR(split.left(), whole.left(), 1);
    EXPECT_NEAR(split.right(), whole.right(), 2);
}

TEST(MetafileText, ClippedTextAndWorldRotation)
{
    LogFont font;
    font.height = -30;
    font.face = QStringLiteral("DejaVu Sans");
    EmfWriter clipped = inchEmf();
    clipped.selectObject(clipped.createFont(font));
    clipped.extTextOut(QPoint(4, 30), QStringLiteral("HHHHH"), 4, QRect(0, 0, 40, 96));   // ETO_CLIPPED
    const QRect c = darkBounds(render(clipped.finish()));
    EXPECT_LE(c.right(), 40);
    EXPECT_GT(c.width(), 30);

    EmfWriter rotated = inchEmf();
    rotated.selectObject(rotated.createFont(font));
    rotated.setWorldTransform(QTransform(0, 1, -1, 0, 60, 5));   // a quarter turn, clockwise on screen
    rotated.extTextOut(QPoint(0, 0), QStringLiteral("HHH"));
    const QRect r = darkBounds(render(rotated.finish()));
    EXPECT_GT(r.height(), 2 * r.width());
}

// ---------------------------------------------------------------------------------------------

TEST(MetafileShapes, PolyFillModeDecidesNestedShapes)
{
    auto nested = [](int mode) {
        WmfWriter w = inchWmf();
        fillWith(w, Qt::black);
        w.setPolyFillMode(mode);
        const QPolygon outer({QPoint(0, 0), QPoint(1000, 0), QPoint(1000, 1000), QPoint(0, 1000)});
        const QPolygon inner({QPoint(300, 300), QPoint(700, 300), QPoint(700, 700), QPoint(300, 700)});
        w.polyPolygon({outer, inner});
        return render(w.finish());
    };
    EXPECT_TRUE(colourNear(nested(1), 48, 48, Qt::white));   // alternate: a hole
    EXPECT_TRUE(colourNear(nested(2), 48, 48, Qt::black));   // winding: filled
    EXPECT_TRUE(colourNear(nested(1), 10, 10, Qt::black));
}

TEST(MetafileShapes, ArcsChordsAndRoundedCorners)
{
    EmfWriter w = inchEmf();
    w.selectObject(w.createPen(PS_SOLID, 3, Qt::black));
    w.selectObject(w.createBrush(BS_SOLID, Qt::red));
    w.roundRect(QRect(0, 0, 46, 46), QSize(30, 30));
    w.chord(QRect(50, 0, 46, 46), QPoint(96, 0), QPoint(50, 46));   // the upper left half
    w.arc(QRect(0, 50, 46, 46), QPoint(46, 73), QPoint(0, 73));     // the upper half
    const QImage image = render(w.finish());
    EXPECT_TRUE(colourNear(image, 1, 1, Qt::white));                // rounded away
    EXPECT_TRUE(colourNear(image, 23, 23, Qt::red));
    EXPECT_TRUE(colourNear(image, 62, 12, Qt::red));                // inside the chord
    EXPECT_TRUE(colourNear(image, 84, 34, Qt::white));              // the cut-off half
    EXPECT_LT(qGray(image.pixel(23, 50)), 80);                      // the arc's top
    EXPECT_TRUE(colourNear(image, 23, 93, Qt::white));              // no lower half, no fill
}

TEST(MetafileShapes, InsideFramePensStayWithinTheBox)
{
    auto framed = [](int style) {
        WmfWriter w = inchWmf();
        w.selectObject(w.createPen(style, 100, Qt::black));   // 9.6 pixels wide
        w.selectObject(w.createBrush(1, Qt::black));          // BS_NULL
        w.rectangle(QRect(200, 200, 600, 600));
        return render(w.finish());
    };
    EXPECT_LT(qGray(framed(PS_SOLID).pixel(79, 48)), 60);   // half the pen lies outside the box
    const QImage inside = framed(6);                          // PS_INSIDEFRAME
    EXPECT_GT(qGray(inside.pixel(79, 48)), 200);
    EXPECT_LT(qGray(inside.pixel(74, 48)), 60);
}

TEST(MetafileShapes, DashesOnlyOnThinPlainPens)
{
    auto line = [](int width) {
        WmfWriter w = inchWmf();
        w.selectObject(w.createPen(1, width, Qt::black));   // PS_DASH
        w.moveTo(QPoint(0, 500));
        w.lineTo(QPoint(1000, 500));
        return render(w.finish());
    };
    auto gaps = [](const QImage& image) {
        int changes = 0;
        for (int x = 1; x < image.width(); ++x)
            changes += (qGray(image.pixel(x, 48)) < 128) != (qGray(image.pixel(x - 1, 48)) < 128);
        return changes;
    };
    EXPECT_GE(gaps(line(0)), 6);    // 18 on, 6 off across 96 pixels
    EXPECT_LE(gaps(line(60)), 1);   // wider than a pixel: solid, as GDI draws it
}

TEST(MetafileShapes, ArcToMovesTheCurrentPosition)
{
    EmfWriter w = inchEmf();
    w.selectObject(w.createPen(PS_SOLID, 3, Qt::black));
    w.moveTo(QPoint(10, 80));
    QByteArray params;
    for (quint32 v : {20u, 20u, 76u, 76u, 76u, 48u, 48u, 20u})   // box, from three o'clock to twelve
        put32(params, v);
    w.record(55, params);   // EMR_ARCTO
    w.lineTo(QPoint(48, 2));
    const QImage image = render(w.finish());
    EXPECT_LT(qGray(image.pixel(48, 10)), 80);    // the line leaves from the arc's end
    EXPECT_LT(qGray(image.pixel(43, 63)), 128);   // the joining line from the old position
}

TEST(MetafileMapping, ViewportOriginAndAbsoluteRestore)
{
    EmfWriter w = inchEmf();
    w.selectObject(NULL_PEN);
    w.selectObject(w.createBrush(BS_SOLID, Qt::red));
    w.saveDC();                                     // level 1: red
    w.selectObject(w.createBrush(BS_SOLID, Qt::blue));
    w.setViewportOrg(QPoint(48, 0));
    w.saveDC();                                     // level 2: blue, shifted
    w.selectObject(w.createBrush(BS_SOLID, Qt::green));
    w.rectangle(QRect(0, 0, 20, 20));               // green at 48
    w.restoreDC(1);
    w.rectangle(QRect(0, 50, 20, 20));              // red, unshifted
    const QImage image = render(w.finish());
    EXPECT_TRUE(colourNear(image, 58, 10, Qt::green));
    EXPECT_TRUE(colourNear(image, 10, 10, Qt::white));
    EXPECT_TRUE(colourNear(image, 10, 60, Qt::red));
}

TEST(MetafileSize, EmfWithoutFrameFallsBackToItsBounds)
{
    QByteArray file = inchEmf().finish();
    for (int at = 24; at < 40; ++at)
        file[at] = 0;   // rclFrame
    const orv::RenderedMetafile m = renderMetafile(file, 96, 96);
    ASSERT_TRUE(m.error.isEmpty()) << m.error.toStdString();
    EXPECT_EQ(m.image.size(), QSize(96, 96));
    EXPECT_NEAR(m.himetric.width(), 2540, 2);
}

TEST(MetafileRegions, WmfRegionsClipAndFill)
{
    // A region object: two scans, the left and right quarters of the top half, then the bottom half
    // whole. It is filled green, then made the clip for a red rectangle over the right half.
    QByteArray region;
    for (int v : {0, 6, 0, 0, 0, 2, 0, 0, 0, 1000, 1000})   // chain, type, count, size, scans, max scan, bounds
        put16(region, quint32(v));
    for (int v : {4, 0, 500, 0, 250, 750, 1000, 4})
        put16(region, quint32(v));
    for (int v : {2, 500, 1000, 0, 1000, 2})
        put16(region, quint32(v));
    WmfWriter w = inchWmf();
    const int green = w.createBrush(BS_SOLID, Qt::green);   // object 0
    const int pen = w.createPen(PS_NULL, 0, Qt::black);     // object 1
    const int red = w.createBrush(BS_SOLID, Qt::red);       // object 2
    w.record(0x06FF, region);                               // object 3, unknown to the writer
    w.record(0x0228, QByteArray("\x03\x00", 2) + char(green) + '\0');   // FILLREGION
    w.record(0x012C, QByteArray("\x03\x00", 2));                          // SELECTCLIPREGION
    w.selectObject(pen);
    w.selectObject(red);
    w.rectangle(QRect(500, 0, 500, 1000));   // the right half
    const QImage image = render(w.finish());
    EXPECT_TRUE(colourNear(image, 10, 20, Qt::green));
    EXPECT_TRUE(colourNear(image, 60, 20, Qt::white));   // between the two top rectangles: clipped away
    EXPECT_TRUE(colourNear(image, 84, 20, Qt::red));
    EXPECT_TRUE(colourNear(image, 60, 70, Qt::red));
    EXPECT_TRUE(colourNear(image, 20, 70, Qt::green));
}


// ---------------------------------------------------------------------------------------------
// Records cut inside their fields

// The file with its last record before the end record shortened by bytes, the record's size
// adjusted to match, as a writer that lost the tail of a record would leave it.
QByteArray cutLastRecord(const QByteArray& file, bool wmf, int bytes)
{
    qsizetype pos = wmf ? (qFromLittleEndian<quint32>(file.constData()) == 0x9AC6CDD7u ? 40 : 18) : 0;
    qsizetype last = -1;
    while (pos + 8 <= file.size()) {
        const qsizetype size = wmf ? qsizetype(qFromLittleEndian<quint32>(file.constData() + pos)) * 2
                                   : qsizetype(qFromLittleEndian<quint32>(file.constData() + pos + 4));
        const quint32 type = wmf ? qFromLittleEndian<quint16>(file.constData() + pos + 4)
                                 : qFromLittleEndian<quint32>(file.constData() + pos);
        if (size <= 0 || type == (wmf ? 0u : 14u))
            break;
        last = pos;
        pos += size;
    }
    QByteArray cut = file;
    if (last < 0)
        return cut;
    if (wmf) {
        const quint32 words = qFromLittleEndian<quint32>(cut.constData() + last);
        qToLittleEndian<quint32>(words - quint32(bytes / 2), cut.data() + last);
        cut.remove(last + qsizetype(words) * 2 - bytes, bytes);
    } else {
        const quint32 size = qFromLittleEndian<quint32>(cut.constData() + last + 4);
        qToLittleEndian<quint32>(size - quint32(bytes), cut.data() + last + 4);
        cut.remove(last + qsizetype(size) - bytes, bytes);
    }
    return cut;
}

TEST(MetafileErrors, RecordsCutInsideTheirFieldsAreRefusedNotReadAsZeros)
{
    // Each record as the writers make it plays; the same record one word (WMF) or one field (EMF)
    // short must refuse the file, not draw with the missing field taken as zero. (The WMF mode
    // records end in a spare word, so losing one costs them nothing.)
    const std::vector<std::pair<const char*, std::function<void(WmfWriter&)>>> wmfRecords = {
        {"SETMAPMODE", [](WmfWriter& w) { w.setMapMode(8); }},
        {"SETBKCOLOR", [](WmfWriter& w) { w.setBkColor(Qt::red); }},
        {"SETTEXTCOLOR", [](WmfWriter& w) { w.setTextColor(Qt::red); }},
        {"RESTOREDC", [](WmfWriter& w) { w.saveDC(); w.restoreDC(-1); }},
        {"SETWINDOWORG", [](WmfWriter& w) { w.setWindowOrg(QPoint(10, 10)); }},
        {"SETWINDOWEXT", [](WmfWriter& w) { w.setWindowExt(QSize(500, 500)); }},
        {"SETVIEWPORTORG", [](WmfWriter& w) { w.setViewportOrg(QPoint(10, 10)); }},
        {"SETVIEWPORTEXT", [](WmfWriter& w) { w.setViewportExt(QSize(500, 500)); }},
        {"INTERSECTCLIPRECT", [](WmfWriter& w) { w.intersectClipRect(QRect(0, 0, 500, 500)); }},
        {"EXCLUDECLIPRECT", [](WmfWriter& w) { w.excludeClipRect(QRect(0, 0, 500, 500)); }},
        {"CREATEPENINDIRECT", [](WmfWriter& w) { w.createPen(PS_SOLID, 10, Qt::red); }},
        {"CREATEBRUSHINDIRECT", [](WmfWriter& w) { w.createBrush(BS_SOLID, Qt::red); }},
        {"CREATEPALETTE", [](WmfWriter& w) { w.createPalette({qRgb(1, 2, 3), qRgb(4, 5, 6)}); }},
        {"SELECTOBJECT", [](WmfWriter& w) { w.selectObject(w.createBrush(BS_SOLID, Qt::red)); }},
        {"SELECTPALETTE", [](WmfWriter& w) { w.selectPalette(w.createPalette({qRgb(1, 2, 3)})); }},
        {"DELETEOBJECT", [](WmfWriter& w) { w.deleteObject(w.createBrush(BS_SOLID, Qt::red)); }},
        {"MOVETO", [](WmfWriter& w) { w.moveTo(QPoint(100, 100)); }},
        {"LINETO", [](WmfWriter& w) { w.lineTo(QPoint(100, 100)); }},
        {"RECTANGLE", [](WmfWriter& w) { w.rectangle(QRect(100, 100, 500, 500)); }},
        {"ROUNDRECT", [](WmfWriter& w) { w.roundRect(QRect(100, 100, 500, 500), QSize(50, 50)); }},
        {"ELLIPSE", [](WmfWriter& w) { w.ellipse(QRect(100, 100, 500, 500)); }},
        {"ARC", [](WmfWriter& w) { w.arc(QRect(100, 100, 500, 500), QPoint(0, 0), QPoint(1000, 0)); }},
        {"PIE", [](WmfWriter& w) { w.pie(QRect(100, 100, 500, 500), QPoint(0, 0), QPoint(1000, 0)); }},
        {"CHORD", [](WmfWriter& w) { w.chord(QRect(100, 100, 500, 500), QPoint(0, 0), QPoint(1000, 0)); }},
        {"SETPIXEL", [](WmfWriter& w) { w.setPixel(QPoint(100, 100), Qt::red); }},
        {"PATBLT", [](WmfWriter& w) { w.patBlt(QRect(100, 100, 500, 500), 0x00F00021); }},
        {"POLYGON", [](WmfWriter& w) { w.polygon(QPolygon({QPoint(0, 0), QPoint(500, 0), QPoint(0, 500)})); }},
        {"POLYLINE", [](WmfWriter& w) { w.polyline(QPolygon({QPoint(0, 0), QPoint(500, 0), QPoint(0, 500)})); }},
        {"POLYPOLYGON", [](WmfWriter& w) { w.polyPolygon({QPolygon({QPoint(0, 0), QPoint(500, 0), QPoint(0, 500)})}); }},
        {"TEXTOUT", [](WmfWriter& w) { w.textOut(QPoint(100, 500), QByteArray("Ag")); }},
        {"EXTTEXTOUT", [](WmfWriter& w) { w.extTextOut(QPoint(100, 500), QByteArray("Ag"), 2, QRect(0, 0, 500, 500)); }},
    };
    for (const auto& [name, add] : wmfRecords) {
        WmfWriter w = inchWmf();
        add(w);
        const QByteArray file = w.finish();
        const orv::RenderedMetafile whole = renderMetafile(file, 96, 96);
        EXPECT_TRUE(whole.error.isEmpty()) << name << ": " << whole.error.toStdString();
        expectRefused(cutLastRecord(file, true, 2), name);
    }

    const std::vector<std::pair<const char*, std::function<void(EmfWriter&)>>> emfRecords = {
        {"SETMAPMODE", [](EmfWriter& e) { e.setMapMode(8); }},
        {"SETWINDOWEXTEX", [](EmfWriter& e) { e.setWindowExt(QSize(50, 50)); }},
        {"SETWINDOWORGEX", [](EmfWriter& e) { e.setWindowOrg(QPoint(5, 5)); }},
        {"SETVIEWPORTEXTEX", [](EmfWriter& e) { e.setViewportExt(QSize(50, 50)); }},
        {"SETVIEWPORTORGEX", [](EmfWriter& e) { e.setViewportOrg(QPoint(5, 5)); }},
        {"SETWORLDTRANSFORM", [](EmfWriter& e) { e.setWorldTransform(QTransform(2, 0, 0, 2, 0, 0)); }},
        {"MODIFYWORLDTRANSFORM", [](EmfWriter& e) { e.modifyWorldTransform(QTransform(2, 0, 0, 2, 0, 0), 2); }},
        {"RESTOREDC", [](EmfWriter& e) { e.saveDC(); e.restoreDC(-1); }},
        {"SETBKMODE", [](EmfWriter& e) { e.setBkMode(1); }},
        {"SETBKCOLOR", [](EmfWriter& e) { e.setBkColor(Qt::red); }},
        {"SETTEXTCOLOR", [](EmfWriter& e) { e.setTextColor(Qt::red); }},
        {"SETTEXTALIGN", [](EmfWriter& e) { e.setTextAlign(TA_CENTER); }},
        {"SETPOLYFILLMODE", [](EmfWriter& e) { e.setPolyFillMode(2); }},
        {"INTERSECTCLIPRECT", [](EmfWriter& e) { e.intersectClipRect(QRect(0, 0, 50, 50)); }},
        {"EXCLUDECLIPRECT", [](EmfWriter& e) { e.excludeClipRect(QRect(0, 0, 50, 50)); }},
        {"CREATEPEN", [](EmfWriter& e) { e.createPen(PS_SOLID, 3, Qt::red); }},
        {"EXTCREATEPEN", [](EmfWriter& e) { e.extCreatePen(0x10000, 3, Qt::red); }},
        {"CREATEBRUSHINDIRECT", [](EmfWriter& e) { e.createBrush(BS_SOLID, Qt::red); }},
        {"EXTCREATEFONTINDIRECTW", [](EmfWriter& e) { e.createFont(LogFont()); }},
        {"CREATEPALETTE", [](EmfWriter& e) { e.createPalette({qRgb(1, 2, 3), qRgb(4, 5, 6)}); }},
        {"SELECTOBJECT", [](EmfWriter& e) { e.selectObject(e.createBrush(BS_SOLID, Qt::red)); }},
        {"SELECTPALETTE", [](EmfWriter& e) { e.selectPalette(e.createPalette({qRgb(1, 2, 3)})); }},
        {"DELETEOBJECT", [](EmfWriter& e) { e.deleteObject(e.createBrush(BS_SOLID, Qt::red)); }},
        {"MOVETOEX", [](EmfWriter& e) { e.moveTo(QPoint(10, 10)); }},
        {"LINETO", [](EmfWriter& e) { e.lineTo(QPoint(10, 10)); }},
        {"RECTANGLE", [](EmfWriter& e) { e.rectangle(QRect(10, 10, 50, 50)); }},
        {"ROUNDRECT", [](EmfWriter& e) { e.roundRect(QRect(10, 10, 50, 50), QSize(5, 5)); }},
        {"ELLIPSE", [](EmfWriter& e) { e.ellipse(QRect(10, 10, 50, 50)); }},
        {"ARC", [](EmfWriter& e) { e.arc(QRect(10, 10, 50, 50), QPoint(0, 0), QPoint(96, 0)); }},
        {"PIE", [](EmfWriter& e) { e.pie(QRect(10, 10, 50, 50), QPoint(0, 0), QPoint(96, 0)); }},
        {"CHORD", [](EmfWriter& e) { e.chord(QRect(10, 10, 50, 50), QPoint(0, 0), QPoint(96, 0)); }},
        {"POLYGON", [](EmfWriter& e) { e.polygon(QPolygon({QPoint(0, 0), QPoint(50, 0), QPoint(0, 50)})); }},
        {"POLYLINE16", [](EmfWriter& e) { e.polyline16(QPolygon({QPoint(0, 0), QPoint(50, 0), QPoint(0, 50)})); }},
        {"POLYBEZIER16", [](EmfWriter& e) { e.polyBezier16(QPolygon({QPoint(0, 0), QPoint(50, 0), QPoint(0, 50), QPoint(50, 50)})); }},
        {"POLYLINETO16", [](EmfWriter& e) { e.polylineTo16(QPolygon({QPoint(50, 0), QPoint(0, 50)})); }},
        {"POLYPOLYGON16", [](EmfWriter& e) { e.polyPolygon16({QPolygon({QPoint(0, 0), QPoint(50, 0), QPoint(0, 50)})}); }},
        {"EXTTEXTOUTW", [](EmfWriter& e) { e.extTextOut(QPoint(10, 50), QStringLiteral("Ag"), 2, QRect(0, 0, 50, 50), {8, 8}); }},
        {"STRETCHDIBITS", [](EmfWriter& e) {
             QImage image(4, 4, QImage::Format_RGB32);
             image.fill(Qt::red);
             e.stretchDIBits(QRect(10, 10, 40, 40), image);
         }},
    };
    for (const auto& [name, add] : emfRecords) {
        EmfWriter e = inchEmf();
        add(e);
        const QByteArray file = e.finish();
        const orv::RenderedMetafile whole = renderMetafile(file, 96, 96);
        EXPECT_TRUE(whole.error.isEmpty()) << name << ": " << whole.error.toStdString();
        expectRefused(cutLastRecord(file, false, 4), name);
    }
}

} // namespace
