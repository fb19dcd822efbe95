// EMF+ pictures: the GDI+ records in an EMF's comments draw, and the EMF records beside them
// draw only where the EMF+ records cannot stand alone.

#include "metafilechecks.h"

#include "emfpluswriter.h"
#include "support/samplesdir.h"

#include <QDir>
#include <QFile>

#include <QPainterPath>

namespace {

using namespace orv::test;
using orv::EmfPlusWriter;
using orv::EmfWriter;

constexpr quint32 NULL_PEN = 0x80000008;

// A one-inch EMF on a 96 dpi screen whose EMF+ part starts with its header: one EMF+ pixel is
// one picture pixel.
EmfWriter plusFile(EmfPlusWriter& plus, bool dual)
{
    EmfWriter w = inchEmf();
    plus.header(dual);
    w.gdiComment(plus.take());
    return w;
}

// The EMF stand-in for a drawing: a square of the given colour over the whole picture.
void fallback(EmfWriter& w, const QColor& colour)
{
    w.selectObject(NULL_PEN);
    w.selectObject(w.createBrush(0, colour));
    w.rectangle(QRect(0, 0, 96, 96));
}

QByteArray finished(EmfWriter& w, EmfPlusWriter& plus)
{
    plus.endOfFile();
    w.gdiComment(plus.take());
    return w.finish();
}

TEST(EmfPlus, ShapesDrawInTheirColoursAtTheirPlaces)
{
    EmfPlusWriter plus;
    EmfWriter w = plusFile(plus, false);
    plus.solidBrush(0, Qt::blue);
    plus.pen(1, 4, Qt::red);
    plus.fillRects(EmfPlusWriter::colour(Qt::green), {QRectF(0, 0, 48, 48)});
    plus.fillEllipse(EmfPlusWriter::object(0), QRectF(48, 0, 48, 48));
    plus.fillPie(EmfPlusWriter::colour(Qt::magenta), QRectF(0, 48, 48, 48), 0, 90);   // lower right quarter
    plus.fillPolygon(EmfPlusWriter::colour(Qt::cyan), QPolygonF({QPointF(48, 48), QPointF(96, 48), QPointF(96, 96)}));
    plus.drawLines(1, QPolygonF({QPointF(50, 90), QPointF(94, 90)}));
    w.gdiComment(plus.take());
    const QImage image = renderAt96(finished(w, plus));
    EXPECT_TRUE(near(image, 20, 20, Qt::green));
    EXPECT_TRUE(near(image, 72, 24, Qt::blue));
    EXPECT_TRUE(near(image, 50, 2, Qt::white));        // outside the ellipse, in its box's corner
    EXPECT_TRUE(near(image, 30, 78, Qt::magenta));     // the pie's quarter: 0 to 90 degrees clockwise
    EXPECT_TRUE(near(image, 18, 78, Qt::white));       // the quarter beside it
    EXPECT_TRUE(near(image, 90, 60, Qt::cyan));
    EXPECT_TRUE(near(image, 60, 80, Qt::white));       // the triangle's other side
    EXPECT_TRUE(near(image, 72, 90, Qt::red));
}

TEST(EmfPlus, DualFilesLeaveTheirEmfStandInsOut)
{
    EmfPlusWriter plus;
    EmfWriter w = plusFile(plus, true);
    plus.fillRects(EmfPlusWriter::colour(Qt::green), {QRectF(0, 0, 96, 96)});
    w.gdiComment(plus.take());
    fallback(w, Qt::magenta);
    EXPECT_TRUE(near(renderAt96(finished(w, plus)), 48, 48, Qt::green));
}

TEST(EmfPlus, DualFilesUseTheirEmfWhereTheEmfPlusCannotStandAlone)
{
    // The second drawing names a brush the table does not hold: its EMF stand-in draws instead.
    EmfPlusWriter plus;
    EmfWriter w = plusFile(plus, true);
    plus.fillRects(EmfPlusWriter::colour(Qt::green), {QRectF(0, 0, 48, 96)});
    w.gdiComment(plus.take());
    w.selectObject(NULL_PEN);
    w.selectObject(w.createBrush(0, Qt::magenta));
    w.rectangle(QRect(0, 0, 48, 96));
    plus.fillRects(EmfPlusWriter::object(7), {QRectF(48, 0, 48, 96)});
    w.gdiComment(plus.take());
    w.selectObject(w.createBrush(0, Qt::yellow));
    w.rectangle(QRect(48, 0, 48, 96));
    const QImage image = renderAt96(finished(w, plus));
    EXPECT_TRUE(near(image, 20, 48, Qt::green));
    EXPECT_TRUE(near(image, 70, 48, Qt::yellow));
}

TEST(EmfPlus, EmfRecordsAfterGetDcDrawInEmfPlusOnlyFiles)
{
    EmfPlusWriter plus;
    EmfWriter w = plusFile(plus, false);
    plus.fillRects(EmfPlusWriter::colour(Qt::green), {QRectF(0, 0, 96, 96)});
    w.gdiComment(plus.take());
    fallback(w, Qt::magenta);   // not a stand-in: this file has none, and no GetDC asked for it
    plus.getDC();
    w.gdiComment(plus.take());
    w.selectObject(w.createBrush(0, Qt::blue));
    w.rectangle(QRect(0, 0, 48, 96));
    const QImage image = renderAt96(finished(w, plus));
    EXPECT_TRUE(near(image, 70, 48, Qt::green));
    EXPECT_TRUE(near(image, 20, 48, Qt::blue));
}

TEST(EmfPlus, GradientAndHatchBrushes)
{
    EmfPlusWriter plus;
    EmfWriter w = plusFile(plus, false);
    plus.linearGradientBrush(0, QRectF(0, 0, 96, 48), Qt::red, Qt::blue);
    plus.fillRects(EmfPlusWriter::object(0), {QRectF(0, 0, 96, 32)});
    plus.pathGradientBrush(1, QPolygonF({QPointF(0, 32), QPointF(96, 32), QPointF(96, 64), QPointF(0, 64)}), QPointF(48, 48),
                           Qt::yellow, Qt::black);
    plus.fillRects(EmfPlusWriter::object(1), {QRectF(0, 32, 96, 32)});
    plus.hatchBrush(2, 4, Qt::black, Qt::green);   // a cross hatch on green
    plus.fillRects(EmfPlusWriter::object(2), {QRectF(0, 64, 96, 32)});
    w.gdiComment(plus.take());
    const QImage image = renderAt96(finished(w, plus));
    EXPECT_TRUE(near(image, 3, 16, Qt::red, 40));
    EXPECT_TRUE(near(image, 92, 16, Qt::blue, 40));
    EXPECT_TRUE(near(image, 48, 48, Qt::yellow, 40));   // the path gradient's centre
    EXPECT_LT(qGray(image.pixel(1, 33)), 60);            // its boundary
    int green = 0;
    int black = 0;
    for (int y = 66; y < 94; ++y) {
        for (int x = 2; x < 94; ++x) {
            const QColor c = image.pixelColor(x, y);
            green += c.green() > 200 && c.red() < 60;
            black += qGray(c.rgb()) < 60;
        }
    }
    EXPECT_GT(green, 1000);
    EXPECT_GT(black, 300);
}

TEST(EmfPlus, TransformsContainersAndClipping)
{
    EmfPlusWriter plus;
    EmfWriter w = plusFile(plus, false);
    plus.save(1);
    plus.setWorldTransform(QTransform::fromTranslate(48, 0));
    plus.fillRects(EmfPlusWriter::colour(Qt::red), {QRectF(0, 0, 48, 48)});       // lands on the right
    plus.restore(1);
    plus.setPageTransform(EmfPlusWriter::Inch, 0.25);                              // a quarter inch a unit
    plus.fillRects(EmfPlusWriter::colour(Qt::blue), {QRectF(0, 2, 1, 1)});        // 24 pixels from y 48
    plus.setPageTransform(EmfPlusWriter::Pixel, 1);
    plus.setClipRect(QRectF(48, 48, 48, 48), 0);
    plus.fillRects(EmfPlusWriter::colour(Qt::green), {QRectF(0, 0, 96, 96)});     // only the clipped corner
    w.gdiComment(plus.take());
    const QImage image = renderAt96(finished(w, plus));
    EXPECT_TRUE(near(image, 72, 24, Qt::red));
    EXPECT_TRUE(near(image, 24, 24, Qt::white));
    EXPECT_TRUE(near(image, 12, 60, Qt::blue));
    EXPECT_TRUE(near(image, 36, 60, Qt::white));
    EXPECT_TRUE(near(image, 72, 72, Qt::green));
}

TEST(EmfPlus, PathsPensAndArrowCaps)
{
    EmfPlusWriter plus;
    EmfWriter w = plusFile(plus, false);
    QPainterPath square;
    square.addRect(QRectF(8, 8, 32, 32));
    plus.path(0, square);
    plus.fillPath(EmfPlusWriter::colour(Qt::red), 0);
    plus.pen(1, 3, Qt::black, 0, 0, 0x14);   // an arrow anchor at the end
    plus.drawLines(1, QPolygonF({QPointF(50, 80), QPointF(90, 80)}));
    plus.pen(2, 2, Qt::blue, 2);             // dotted
    plus.drawLines(2, QPolygonF({QPointF(50, 20), QPointF(90, 20)}));
    w.gdiComment(plus.take());
    const QImage image = renderAt96(finished(w, plus));
    EXPECT_TRUE(near(image, 24, 24, Qt::red));
    EXPECT_TRUE(near(image, 24, 60, Qt::white));
    // The arrow head is wider than the line before it.
    EXPECT_GE(darkPixels(image, QRect(86, 70, 1, 20)), darkPixels(image, QRect(62, 70, 1, 20)) + 3);
    // A dotted line leaves gaps.
    int blue = 0;
    for (int x = 52; x < 88; ++x)
        blue += image.pixelColor(x, 20).blue() > 150 && image.pixelColor(x, 20).red() < 150;
    EXPECT_GT(blue, 8);
    EXPECT_LT(blue, 30);
}

TEST(EmfPlus, TextAndImages)
{
    EmfPlusWriter plus;
    EmfWriter w = plusFile(plus, false);
    plus.font(0, 16, EmfPlusWriter::Pixel, QStringLiteral("DejaVu Sans"), 1);
    plus.stringFormat(1, 1, 1);   // centred both ways
    plus.drawString(0, EmfPlusWriter::colour(Qt::black), 1, QStringLiteral("HIH"), QRectF(0, 0, 96, 48));
    QImage pixels(2, 2, QImage::Format_ARGB32);
    pixels.setPixel(0, 0, qRgb(255, 0, 0));
    pixels.setPixel(1, 0, qRgb(0, 255, 0));
    pixels.setPixel(0, 1, qRgb(0, 0, 255));
    pixels.setPixel(1, 1, qRgba(0, 0, 0, 0));   // transparent
    plus.bitmap(2, pixels);
    plus.drawImage(2, QRectF(0, 0, 2, 2), QRectF(0, 48, 48, 48));
    // A whole EMF as an image: a yellow square.
    EmfWriter inner = inchEmf();
    inner.selectObject(NULL_PEN);
    inner.selectObject(inner.createBrush(0, Qt::yellow));
    inner.rectangle(QRect(0, 0, 96, 96));
    plus.metafile(3, inner.finish());
    plus.drawImage(3, QRectF(0, 0, 96, 96), QRectF(48, 48, 48, 48));
    w.gdiComment(plus.take());
    const QImage image = renderAt96(finished(w, plus));
    const QRect text = darkArea(image.copy(0, 0, 96, 48));
    ASSERT_FALSE(text.isEmpty());
    EXPECT_NEAR(text.center().x(), 48, 3);
    EXPECT_NEAR(text.center().y(), 24, 4);
    EXPECT_LT(darkPixels(image, text), text.width() * text.height() * 6 / 10);   // letters, not a block
    EXPECT_TRUE(near(image, 12, 60, Qt::red, 40));
    EXPECT_TRUE(near(image, 36, 60, Qt::green, 40));
    EXPECT_TRUE(near(image, 12, 84, Qt::blue, 40));
    EXPECT_TRUE(near(image, 36, 84, Qt::white, 40));
    EXPECT_TRUE(near(image, 72, 72, Qt::yellow));
}

TEST(EmfPlus, ObjectsInSeveralRecordsAreJoined)
{
    // A solid brush split over two object records, each starting with the whole size.
    EmfPlusWriter plus;
    EmfWriter w = plusFile(plus, false);
    QByteArray brush;
    for (quint32 v : {0xDBC01002u, 0u, 0xff00ff00u}) {
        for (int i = 0; i < 4; ++i)
            brush.append(char((v >> (8 * i)) & 0xff));
    }
    QByteArray comment("EMF+", 4);
    auto part = [&comment](quint16 flags, const QByteArray& bytes) {
        QByteArray data;
        for (quint32 v : {12u}) {   // the whole object's size
            for (int i = 0; i < 4; ++i)
                data.append(char((v >> (8 * i)) & 0xff));
        }
        data.append(bytes);
        for (quint32 v : {quint32(0x4008 | (flags << 16)), quint32(12 + data.size()), quint32(data.size())}) {
            for (int i = 0; i < 4; ++i)
                comment.append(char((v >> (8 * i)) & 0xff));
        }
        comment.append(data);
    };
    part(0x8105, brush.left(8));
    part(0x0105, brush.mid(8));
    w.gdiComment(comment);
    plus.fillRects(EmfPlusWriter::object(5), {QRectF(0, 0, 96, 96)});
    w.gdiComment(plus.take());
    EXPECT_TRUE(near(renderAt96(finished(w, plus)), 48, 48, Qt::green));
}

TEST(EmfPlus, TheDiagramSampleShowsItsGradients)
{
    QFile file(QDir(orv::test::samplesDir()).filePath(QStringLiteral("diagram.emf")));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const orv::RenderedMetafile m = orv::renderMetafile(file.readAll(), 96, 96);
    ASSERT_TRUE(m.error.isEmpty()) << m.error.toStdString();
    ASSERT_EQ(m.image.size(), QSize(302, 189));
    // Its EMF stand-ins are flat; the EMF+ boxes run light to dark.
    EXPECT_TRUE(near(m.image, 22, 30, QColor(0xff, 0xe0, 0x82), 30));   // Read, left
    EXPECT_TRUE(near(m.image, 106, 30, QColor(0xff, 0x8f, 0x00), 30));  // Read, right
    EXPECT_TRUE(near(m.image, 196, 60, QColor(0x81, 0xd4, 0xfa), 30));  // Decide, left
    EXPECT_TRUE(near(m.image, 265, 145, Qt::white, 40));                 // the dot's centre
    EXPECT_TRUE(near(m.image, 265, 168, QColor(0xff, 0xb3, 0x00), 50));  // its edge
    EXPECT_TRUE(near(m.image, 5, 180, QColor(0xee, 0xf3, 0xf8), 8));     // paper
}

quint32 nextRandom(quint32& state)
{
    state ^= state << 13;
    state ^= state >> 17;
    state ^= state << 5;
    return state;
}

TEST(EmfPlus, RecordsOfNoiseNeverCrash)
{
    // Every EMF+ record type, framed correctly but filled with noise; the EMF around it plays.
    quint32 seed = 0x5eedu;
    for (int round = 0; round < 300; ++round) {
        EmfPlusWriter plus;
        EmfWriter w = plusFile(plus, round % 2);
        QByteArray comment("EMF+", 4);
        const int records = 1 + int(nextRandom(seed) % 6);
        for (int r = 0; r < records; ++r) {
            const quint16 type = quint16(0x4008 + nextRandom(seed) % 0x33);
            const quint16 flags = quint16(nextRandom(seed));
            QByteArray data(int(nextRandom(seed) % 80) * 4, '\0');
            for (char& c : data) {
                const quint32 v = nextRandom(seed);
                c = char(v % 3 ? v % 7 : v >> 8);
            }
            for (quint32 v : {quint32(type | (flags << 16)), quint32(12 + data.size()), quint32(data.size())}) {
                for (int i = 0; i < 4; ++i)
                    comment.append(char((v >> (8 * i)) & 0xff));
            }
            comment.append(data);
        }
        w.gdiComment(comment);
        fallback(w, Qt::magenta);
        const orv::RenderedMetafile m = orv::renderMetafile(finished(w, plus), 96, 96, 1 << 20);
        EXPECT_FALSE(m.image.isNull()) << m.error.toStdString();
    }
}

} // namespace
