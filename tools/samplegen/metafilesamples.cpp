#include "metafilesamples.h"

#include "emfpluswriter.h"
#include "emfwriter.h"
#include "wmfwriter.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

#include <cmath>
#include <numbers>

namespace orv {

namespace {

// GDI values the drawings use.
constexpr int PS_SOLID = 0;
constexpr int PS_DASH = 1;
constexpr int PS_DOT = 2;
constexpr int PS_NULL = 5;
constexpr quint32 PS_GEOMETRIC = 0x10000;
constexpr quint32 PS_ENDCAP_FLAT = 0x200;
constexpr int BS_SOLID = 0;
constexpr int BS_NULL = 1;
constexpr int BS_HATCHED = 2;
constexpr int HS_DIAGCROSS = 5;
constexpr int TRANSPARENT = 1;
constexpr int OPAQUE = 2;
constexpr int WINDING = 2;
constexpr int MM_ANISOTROPIC = 8;
constexpr int TA_TOP = 0;
constexpr int TA_RIGHT = 2;
constexpr int TA_CENTER = 6;
constexpr int TA_BOTTOM = 8;
constexpr int TA_BASELINE = 24;
constexpr quint32 NULL_BRUSH = 0x80000005;
constexpr quint32 NULL_PEN = 0x80000008;
constexpr quint32 PATCOPY = 0x00F00021;
constexpr quint8 FF_ROMAN = 0x10;
constexpr quint8 FF_SWISS = 0x20;

// A small landscape photo: sky above 60 %, a sun, two hills and a red-roofed hut.
QImage photo(QSize size)
{
    QImage image(size, QImage::Format_RGB32);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    const double w = size.width();
    const double h = size.height();
    QLinearGradient sky(0, 0, 0, h * 0.6);
    sky.setColorAt(0, QColor(0x3d, 0x86, 0xd6));
    sky.setColorAt(1, QColor(0xbf, 0xe3, 0xf7));
    p.fillRect(QRectF(0, 0, w, h * 0.62), sky);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0xff, 0xe0, 0x82));
    p.drawEllipse(QPointF(w * 0.78, h * 0.22), h * 0.1, h * 0.1);
    QPainterPath back(QPointF(0, h));
    back.lineTo(0, h * 0.55);
    back.quadTo(w * 0.35, h * 0.38, w * 0.7, h * 0.6);
    back.lineTo(w, h * 0.52);
    back.lineTo(w, h);
    p.setBrush(QColor(0x5c, 0xae, 0x5a));
    p.drawPath(back);
    QPainterPath front(QPointF(0, h));
    front.lineTo(0, h * 0.78);
    front.quadTo(w * 0.5, h * 0.62, w, h * 0.8);
    front.lineTo(w, h);
    p.setBrush(QColor(0x2f, 0x7d, 0x3a));
    p.drawPath(front);
    p.setBrush(QColor(0xf5, 0xf0, 0xe1));
    p.drawRect(QRectF(w * 0.2, h * 0.6, w * 0.12, h * 0.1));
    p.setBrush(QColor(0xc6, 0x28, 0x28));
    p.drawPolygon(QPolygonF({QPointF(w * 0.18, h * 0.61), QPointF(w * 0.26, h * 0.5), QPointF(w * 0.34, h * 0.61)}));
    return image;
}

// A round teal badge with an orange centre on white.
QImage logo(int size)
{
    QImage image(size, size, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    const QPointF c(size / 2.0, size / 2.0);
    QRadialGradient teal(c, size * 0.45);
    teal.setColorAt(0, QColor(0x26, 0xa6, 0x9a));
    teal.setColorAt(1, QColor(0x00, 0x69, 0x5c));
    p.setPen(Qt::NoPen);
    p.setBrush(teal);
    p.drawEllipse(c, size * 0.45, size * 0.45);
    p.setBrush(QColor(0xfb, 0x8c, 0x00));
    p.drawEllipse(c, size * 0.18, size * 0.18);
    return image;
}

QPolygon star(QPoint centre, int radius)
{
    // A pentagram drawn in one stroke; the winding fill fills its centre too.
    QPolygon points;
    for (int i = 0; i < 5; ++i) {
        const double a = -std::numbers::pi / 2 + i * 4 * std::numbers::pi / 5;
        points.append(centre + QPoint(int(std::lround(radius * std::cos(a))), int(std::lround(radius * std::sin(a)))));
    }
    return points;
}

} // namespace

QByteArray MetafileSamples::drawing()
{
    WmfWriter w(QRect(0, 0, 4536, 3402), 1440);
    w.setWindowOrg(QPoint(0, 0));
    w.setWindowExt(QSize(4536, 3402));
    w.setMapMode(MM_ANISOTROPIC);
    w.setBkMode(TRANSPARENT);
    w.setPolyFillMode(WINDING);
    const int palette = w.createPalette({qRgb(0xff, 0xf6, 0xe0), qRgb(0xcf, 0xe8, 0xff), qRgb(0x4c, 0xaf, 0x50)});
    w.selectPalette(palette);

    // Paper and its border.
    int pen = w.createPen(PS_NULL, 0, Qt::black);
    int brush = w.createBrush(BS_SOLID, QColor(0xff, 0xf6, 0xe0));
    w.selectObject(pen);
    w.selectObject(brush);
    w.rectangle(QRect(0, 0, 4536, 3402));
    w.deleteObject(brush);
    brush = w.createBrush(BS_NULL, Qt::black);
    w.selectObject(brush);
    w.deleteObject(pen);
    pen = w.createPen(PS_SOLID, 30, QColor(0x8d, 0x6e, 0x63));
    w.selectObject(pen);
    w.rectangle(QRect(45, 45, 4446, 3312));

    // The sky panel: fill, then sun, star and hills clipped to it, then its outline on top.
    const QRect panel(150, 150, 2700, 1950);
    const int nullPen = w.createPen(PS_NULL, 0, Qt::black);
    w.selectObject(nullPen);
    const int skyBrush = w.createBrush(BS_SOLID, QColor(0xcf, 0xe8, 0xff));
    w.selectObject(skyBrush);
    w.roundRect(panel, QSize(200, 200));
    w.saveDC();
    w.intersectClipRect(panel.adjusted(15, 15, -15, -15));
    const int sunPen = w.createPen(PS_SOLID, 20, QColor(0xe0, 0x7b, 0x00));
    const int sunBrush = w.createBrush(BS_SOLID, QColor(0xff, 0xc8, 0x3d));
    w.selectObject(sunPen);
    w.selectObject(sunBrush);
    w.ellipse(QRect(2100, 300, 500, 500));
    const int starPen = w.createPen(PS_SOLID, 15, QColor(0x8d, 0x6e, 0x63));
    const int starBrush = w.createBrush(BS_SOLID, QColor(0xff, 0xd5, 0x4f));
    w.selectObject(starPen);
    w.selectObject(starBrush);
    w.polygon(star(QPoint(900, 650), 350));
    const int hillPen = w.createPen(PS_SOLID, 15, QColor(0x2e, 0x7d, 0x32));
    const int hillBrush = w.createBrush(BS_SOLID, QColor(0x4c, 0xaf, 0x50));
    w.selectObject(hillPen);
    w.selectObject(hillBrush);
    w.polygon(QPolygon({QPoint(100, 2200), QPoint(100, 1500), QPoint(700, 1150), QPoint(1200, 1450), QPoint(1700, 1050),
                        QPoint(2300, 1500), QPoint(2900, 1300), QPoint(2900, 2200)}));
    w.restoreDC(-1);
    const int panelPen = w.createPen(PS_SOLID, 25, QColor(0x1e, 0x3a, 0x8a));
    w.selectObject(panelPen);
    w.selectObject(brush);
    w.roundRect(panel, QSize(200, 200));
    for (int object : {sunPen, sunBrush, starPen, starBrush, hillPen, hillBrush, skyBrush})
        w.deleteObject(object);

    // A pie in two slices: the upper right quarter red, the rest blue.
    const QRect pieBox(250, 2250, 1000, 1000);
    const int pieBrushRed = w.createBrush(BS_SOLID, QColor(0xe5, 0x39, 0x35));
    const int piePen = w.createPen(PS_SOLID, 15, Qt::white);
    w.selectObject(piePen);
    w.selectObject(pieBrushRed);
    w.pie(pieBox, QPoint(1250, 2750), QPoint(750, 2250));
    const int pieBrushBlue = w.createBrush(BS_SOLID, QColor(0x1e, 0x88, 0xe5));
    w.selectObject(pieBrushBlue);
    w.pie(pieBox, QPoint(750, 2250), QPoint(1250, 2750));
    w.deleteObject(pieBrushRed);
    w.deleteObject(pieBrushBlue);

    // A cross-hatched chord on a lilac background.
    const int hatch = w.createBrush(BS_HATCHED, QColor(0x6a, 0x1b, 0x9a), HS_DIAGCROSS);
    const int chordPen = w.createPen(PS_SOLID, 20, QColor(0x6a, 0x1b, 0x9a));
    w.selectObject(hatch);
    w.selectObject(chordPen);
    w.setBkMode(OPAQUE);
    w.setBkColor(QColor(0xf3, 0xe5, 0xf5));
    w.chord(QRect(1400, 2300, 900, 900), QPoint(2300, 2300), QPoint(1400, 3200));
    w.setBkMode(TRANSPARENT);
    w.deleteObject(hatch);

    // A thick teal arc and a dashed zigzag under it.
    const int arcPen = w.createPen(PS_SOLID, 45, QColor(0x00, 0x89, 0x7b));
    w.selectObject(arcPen);
    w.arc(QRect(2450, 2300, 900, 900), QPoint(3350, 2750), QPoint(2450, 2750));
    const int dashPen = w.createPen(PS_DASH, 0, QColor(0x37, 0x47, 0x4f));
    w.selectObject(dashPen);
    w.polyline(QPolygon({QPoint(2450, 3250), QPoint(2650, 3050), QPoint(2850, 3250), QPoint(3050, 3050), QPoint(3250, 3250)}));
    w.deleteObject(arcPen);

    // Swatches painted with PatBlt, and a row of single pixels.
    const int swatch = w.createBrush(BS_SOLID, QColor(0x00, 0x96, 0x88));
    w.selectObject(swatch);
    w.patBlt(QRect(3550, 2400, 800, 300), PATCOPY);
    w.deleteObject(swatch);
    for (int i = 0; i < 12; ++i)
        w.setPixel(QPoint(3560 + i * 60, 2850), QColor(0xd8, 0x1b, 0x60));

    // The photo in a thin frame.
    const QRect photoBox(3000, 200, 1400, 1050);
    w.stretchDib(photoBox, photo(QSize(64, 48)));
    const int framePen = w.createPen(PS_SOLID, 15, QColor(0x42, 0x42, 0x42));
    w.selectObject(framePen);
    w.selectObject(brush);
    w.rectangle(photoBox);

    // Title in a bold serif, caption in an italic sans-serif.
    LogFont title;
    title.height = -330;
    title.weight = 700;
    title.pitchAndFamily = FF_ROMAN | 2;
    title.face = QStringLiteral("Times New Roman");
    const int titleFont = w.createFont(title);
    w.selectObject(titleFont);
    w.setTextColor(QColor(0x1a, 0x23, 0x7e));
    w.setTextAlign(TA_BASELINE);
    w.textOut(QPoint(3000, 1650), QByteArrayLiteral("Orvane"));
    LogFont caption;
    caption.height = -210;
    caption.italic = true;
    caption.pitchAndFamily = FF_SWISS | 2;
    caption.face = QStringLiteral("Arial");
    const int captionFont = w.createFont(caption);
    w.selectObject(captionFont);
    w.setTextColor(QColor(0xc6, 0x28, 0x28));
    w.setTextAlign(TA_CENTER | TA_TOP);
    w.extTextOut(QPoint(3700, 1800), QByteArrayLiteral("Metafile"), 0, {}, {180, 120, 75, 120, 75, 55, 55, 120});
    // "8 × 6 cm" in the file's code page: the times sign is 0xD7.
    w.extTextOut(QPoint(3700, 2030), QByteArrayLiteral("8 \xd7 6 cm"));
    for (int object : {titleFont, captionFont, framePen, dashPen, chordPen, piePen, panelPen, nullPen, pen, brush, palette})
        w.deleteObject(object);
    return w.finish();
}

QByteArray MetafileSamples::chart()
{
    EmfWriter w(QRect(0, 0, 10000, 7000), QSize(1920, 1080), QSize(508000, 285750),
                QStringLiteral("Orvane samplegen") + QChar(0) + QStringLiteral("Quarterly sales"));
    w.gdiComment(QByteArrayLiteral("ORVN chart 1"));
    w.setMapMode(MM_ANISOTROPIC);
    w.setWindowExt(QSize(10000, 7000));
    w.setViewportExt(QSize(378, 265));
    w.setBkMode(TRANSPARENT);

    // Page and border.
    quint32 brush = w.createBrush(BS_SOLID, QColor(0xfa, 0xfa, 0xfa));
    w.selectObject(NULL_PEN);
    w.selectObject(brush);
    w.rectangle(QRect(0, 0, 10000, 7000));
    const quint32 borderPen = w.createPen(PS_SOLID, 20, QColor(0xb0, 0xbe, 0xc5));
    w.selectObject(borderPen);
    w.selectObject(NULL_BRUSH);
    w.rectangle(QRect(40, 40, 9920, 6920));
    w.deleteObject(brush);

    // Logo and title.
    w.stretchDIBits(QRect(300, 200, 700, 700), logo(32));
    LogFont titleFont;
    titleFont.height = -450;
    titleFont.weight = 700;
    titleFont.pitchAndFamily = FF_SWISS | 2;
    titleFont.face = QStringLiteral("Arial");
    const quint32 title = w.createFont(titleFont);
    w.selectObject(title);
    w.setTextColor(QColor(0x26, 0x32, 0x38));
    w.setTextAlign(TA_CENTER | TA_TOP);
    w.extTextOut(QPoint(5400, 250), QStringLiteral("Quarterly sales"));

    // Grid and value labels.
    const int left = 1200;
    const int right = 9500;
    const int top = 1100;
    const int bottom = 5800;
    const quint32 gridPen = w.createPen(PS_DOT, 0, QColor(0x90, 0xa4, 0xae));
    w.selectObject(gridPen);
    LogFont labelFont;
    labelFont.height = -280;
    labelFont.pitchAndFamily = FF_SWISS | 2;
    labelFont.face = QStringLiteral("Arial");
    const quint32 labels = w.createFont(labelFont);
    w.selectObject(labels);
    w.setTextColor(QColor(0x45, 0x5a, 0x64));
    w.setTextAlign(TA_RIGHT | TA_BASELINE);
    for (int k = 0; k <= 4; ++k) {
        const int y = bottom - k * (bottom - top) / 4;
        if (k > 0) {
            w.moveTo(QPoint(left, y));
            w.lineTo(QPoint(right, y));
        }
        w.extTextOut(QPoint(left - 100, y + 100), QString::number(k * 25));
    }

    // Bars: solid blue, green and red, the third cross-hatched orange on a light background.
    const int values[] = {45, 70, 55, 90};
    const QColor colours[] = {QColor(0x42, 0xa5, 0xf5), QColor(0x66, 0xbb, 0x6a), QColor(0xef, 0x6c, 0x00), QColor(0xef, 0x53, 0x50)};
    const quint32 barPen = w.createPen(PS_SOLID, 15, QColor(0x37, 0x47, 0x4f));
    w.selectObject(barPen);
    QPolygon trend;
    for (int i = 0; i < 4; ++i) {
        const int x = 1600 + i * 2000;
        const int height = values[i] * (bottom - top) / 100;
        const bool hatched = i == 2;
        brush = hatched ? w.createBrush(BS_HATCHED, colours[i], HS_DIAGCROSS) : w.createBrush(BS_SOLID, colours[i]);
        w.selectObject(brush);
        if (hatched) {
            w.setBkMode(OPAQUE);
            w.setBkColor(QColor(0xff, 0xe0, 0xb2));
        }
        w.rectangle(QRect(x, bottom - height, 1300, height));
        if (hatched)
            w.setBkMode(TRANSPARENT);
        w.deleteObject(brush);
        trend.append(QPoint(x + 650, bottom - height));
    }

    // Category labels, spaced by the writer's own advances.
    LogFont categoryFont = labelFont;
    categoryFont.height = -300;
    categoryFont.weight = 700;
    const quint32 categories = w.createFont(categoryFont);
    w.selectObject(categories);
    w.setTextColor(QColor(0x26, 0x32, 0x38));
    w.setTextAlign(TA_CENTER | TA_TOP);
    for (int i = 0; i < 4; ++i)
        w.extTextOut(QPoint(2250 + i * 2000, 5900), QStringLiteral("Q%1").arg(i + 1), 0, {}, {230, 170});

    // The trend: a thick red polyline with round markers.
    const quint32 trendPen = w.extCreatePen(PS_GEOMETRIC | PS_SOLID, 40, QColor(0xc6, 0x28, 0x28));
    w.selectObject(trendPen);
    w.polyline16(trend);
    brush = w.createBrush(BS_SOLID, Qt::white);
    w.selectObject(brush);
    for (const QPoint& p : trend)
        w.ellipse(QRect(p.x() - 80, p.y() - 80, 160, 160));

    // The forecast: a dashed bezier path, clipped to the plot area.
    w.saveDC();
    w.intersectClipRect(QRect(left, top, right - left, bottom - top));
    const quint32 forecastPen = w.extCreatePen(PS_GEOMETRIC | PS_DASH | PS_ENDCAP_FLAT, 30, QColor(0x7b, 0x1f, 0xa2));
    w.selectObject(forecastPen);
    w.beginPath();
    w.moveTo(trend.last());
    w.polyBezierTo16(QPolygon({QPoint(8800, 1200), QPoint(9300, 1500), QPoint(9900, 900)}));
    w.endPath();
    w.strokePath();
    w.restoreDC(-1);

    // The legend, drawn about its own origin and moved into place by the world transform.
    w.saveDC();
    w.modifyWorldTransform(QTransform::fromTranslate(1500, 1250), 2);
    const quint32 legendBrush = w.createBrush(BS_SOLID, QColor(0xc6, 0x28, 0x28));
    w.selectObject(trendPen);
    w.selectObject(legendBrush);
    w.beginPath();
    w.moveTo(QPoint(0, 150));
    w.polyBezierTo16(QPolygon({QPoint(0, -50), QPoint(300, -50), QPoint(300, 150), QPoint(300, 350), QPoint(0, 350), QPoint(0, 150)}));
    w.closeFigure();
    w.endPath();
    w.strokeAndFillPath();
    w.selectObject(forecastPen);
    w.moveTo(QPoint(0, 600));
    w.lineTo(QPoint(300, 600));
    w.selectObject(labels);
    w.setTextAlign(TA_BASELINE);
    w.setTextColor(QColor(0x26, 0x32, 0x38));
    w.extTextOut(QPoint(420, 250), QStringLiteral("Trend"));
    w.extTextOut(QPoint(420, 700), QStringLiteral("Forecast"));
    w.restoreDC(-1);
    w.deleteObject(legendBrush);

    // Axes on top of everything.
    const quint32 axisPen = w.createPen(PS_SOLID, 50, Qt::black);
    w.selectObject(axisPen);
    w.moveTo(QPoint(left, top));
    w.lineTo(QPoint(left, bottom));
    w.lineTo(QPoint(right, bottom));

    // The axis title, turned a quarter to read upwards, and an italic serif footnote.
    LogFont axisFont = labelFont;
    axisFont.height = -300;
    axisFont.escapement = 900;
    const quint32 axisTitle = w.createFont(axisFont);
    w.selectObject(axisTitle);
    w.setTextAlign(TA_CENTER | TA_BASELINE);
    w.extTextOut(QPoint(500, 3450), QStringLiteral("Sales (k\u20ac)"));
    LogFont noteFont;
    noteFont.height = -220;
    noteFont.italic = true;
    noteFont.pitchAndFamily = FF_ROMAN | 2;
    noteFont.face = QStringLiteral("Times New Roman");
    const quint32 note = w.createFont(noteFont);
    w.selectObject(note);
    w.setTextColor(QColor(0x60, 0x7d, 0x8b));
    w.setTextAlign(TA_RIGHT | TA_BOTTOM);
    w.extTextOut(QPoint(9500, 6850), QStringLiteral("Source: Orvane sample data"));

    w.selectObject(0x80000007);   // BLACK_PEN
    w.selectObject(0x80000000);   // WHITE_BRUSH
    w.selectObject(0x8000000D);   // SYSTEM_FONT
    for (quint32 object : {title, gridPen, labels, barPen, categories, trendPen, brush, forecastPen, axisPen, axisTitle, note, borderPen})
        w.deleteObject(object);
    return w.finish();
}

QByteArray MetafileSamples::diagram()
{
    // GDI+ pixels of a 96 dpi screen, the EMF's device units too: 302 × 189 of them.
    EmfWriter w(QRect(0, 0, 8000, 5000), QSize(1920, 1080), QSize(508000, 285750),
                QStringLiteral("Orvane samplegen") + QChar(0) + QStringLiteral("Diagram"));
    EmfPlusWriter plus;
    plus.header(true);
    w.gdiComment(plus.take());
    plus.setPageTransform(EmfPlusWriter::Pixel, 1);

    const QColor paper(0xee, 0xf3, 0xf8);
    const QColor ink(0x26, 0x32, 0x38);
    struct Box
    {
        QRectF rect;
        QColor from;
        QColor to;
        QString label;
    };
    const Box boxes[] = {
        {QRectF(16, 24, 96, 44), QColor(0xff, 0xe0, 0x82), QColor(0xff, 0x8f, 0x00), QStringLiteral("Read")},
        {QRectF(190, 24, 96, 44), QColor(0x81, 0xd4, 0xfa), QColor(0x02, 0x77, 0xbd), QStringLiteral("Decide")},
        {QRectF(103, 124, 96, 44), QColor(0xa5, 0xd6, 0xa7), QColor(0x2e, 0x7d, 0x32), QStringLiteral("Draw")},
    };
    const QLineF arrows[] = {
        QLineF(112, 46, 186, 46), QLineF(238, 68, 190, 122), QLineF(103, 146, 60, 72),
    };

    // The EMF+ drawing: gradients, rounded boxes, arrow heads and antialiased text.
    plus.fillRects(EmfPlusWriter::colour(paper), {QRectF(0, 0, 302, 189)});
    plus.pen(0, 1.5, ink);
    plus.pen(1, 2, ink, 0, 0, 0x14);
    plus.font(2, 14, EmfPlusWriter::Pixel, QStringLiteral("Arial"), 1);
    plus.stringFormat(3, 1, 1);
    for (const Box& b : boxes) {
        QPainterPath outline;
        outline.addRoundedRect(b.rect, 10, 10);
        plus.path(4, outline);
        plus.linearGradientBrush(5, b.rect, b.from, b.to);
        plus.fillPath(EmfPlusWriter::object(5), 4);
        plus.drawPath(0, 4);
        plus.drawString(2, EmfPlusWriter::colour(ink), 3, b.label, b.rect);
    }
    for (const QLineF& a : arrows)
        plus.drawLines(1, QPolygonF({a.p1(), a.p2()}));
    // A glowing dot: a path gradient from a white centre to a golden edge.
    plus.pathGradientBrush(6, QPolygonF({QPointF(240, 120), QPointF(290, 120), QPointF(290, 170), QPointF(240, 170)}),
                           QPointF(265, 145), Qt::white, QColor(0xff, 0xb3, 0x00));
    plus.fillEllipse(EmfPlusWriter::object(6), QRectF(240, 120, 50, 50));
    w.gdiComment(plus.take());

    // The same drawing in plain EMF records, for programs that read no EMF+.
    const quint32 paperBrush = w.createBrush(BS_SOLID, paper);
    w.selectObject(NULL_PEN);
    w.selectObject(paperBrush);
    w.rectangle(QRect(0, 0, 302, 189));
    const quint32 pen = w.createPen(PS_SOLID, 2, ink);
    w.selectObject(pen);
    LogFont font;
    font.height = -14;
    font.weight = 700;
    font.pitchAndFamily = FF_SWISS | 2;
    font.face = QStringLiteral("Arial");
    const quint32 label = w.createFont(font);
    w.selectObject(label);
    w.setBkMode(TRANSPARENT);
    w.setTextColor(ink);
    w.setTextAlign(TA_CENTER | TA_BASELINE);
    for (const Box& b : boxes) {
        const quint32 fill = w.createBrush(BS_SOLID, b.to);
        w.selectObject(fill);
        w.roundRect(b.rect.toRect(), QSize(20, 20));
        w.extTextOut(QPoint(int(b.rect.center().x()), int(b.rect.center().y()) + 5), b.label);
        w.selectObject(paperBrush);
        w.deleteObject(fill);
    }
    const quint32 inkBrush = w.createBrush(BS_SOLID, ink);
    w.selectObject(inkBrush);
    for (const QLineF& a : arrows) {
        w.moveTo(a.p1().toPoint());
        w.lineTo(a.p2().toPoint());
        const QPointF d = (a.p2() - a.p1()) / a.length();
        const QPointF n(-d.y(), d.x());
        w.polygon(QPolygon({a.p2().toPoint(), (a.p2() - d * 8 + n * 4).toPoint(), (a.p2() - d * 8 - n * 4).toPoint()}));
    }
    const quint32 gold = w.createBrush(BS_SOLID, QColor(0xff, 0xb3, 0x00));
    w.selectObject(NULL_PEN);
    w.selectObject(gold);
    w.ellipse(QRect(240, 120, 50, 50));
    for (quint32 object : {paperBrush, pen, label, inkBrush, gold})
        w.deleteObject(object);

    plus.endOfFile();
    w.gdiComment(plus.take());
    return w.finish();
}

} // namespace orv
