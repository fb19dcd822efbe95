#include "artwork.h"

#include "common/core/version.h"

#include <QBuffer>
#include <QFont>
#include <QFontMetricsF>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <QSvgGenerator>

#include <cmath>
#include <numbers>

namespace orv {

namespace {

// One palette for everything.
const QColor night(0x14, 0x20, 0x3d);
const QColor navy(0x1b, 0x2a, 0x4a);
const QColor deepTeal(0x0f, 0x4c, 0x5c);
const QColor teal(0x2b, 0x7a, 0x8c);
const QColor amber(0xf2, 0xa5, 0x41);
const QColor gold(0xff, 0xd2, 0x7a);
const QColor coral(0xe4, 0x57, 0x2e);
const QColor cream(0xfd, 0xf6, 0xe3);

QImage transparentCanvas(QSize size)
{
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    return image;
}

QFont sans(double pixelSize, bool bold)
{
    QFont f(QStringLiteral("DejaVu Sans"));
    f.setPixelSize(int(std::lround(pixelSize)));
    f.setBold(bold);
    return f;
}

void duskSky(QPainter& p, const QRectF& r, Qt::Orientation along)
{
    QLinearGradient sky = along == Qt::Vertical ? QLinearGradient(r.topLeft(), r.bottomLeft())
                                                : QLinearGradient(r.topLeft(), r.topRight());
    sky.setColorAt(0.0, night);
    sky.setColorAt(0.55, QColor(0x1f, 0x4a, 0x66));
    sky.setColorAt(1.0, QColor(0x3f, 0x7f, 0x8c));
    p.fillRect(r, sky);
}

QPainterPath hills(double width, double bottom, double base, double amplitude, double cycles, double phase)
{
    QPainterPath path;
    path.moveTo(0, bottom);
    for (double x = 0; x <= width + 2; x += 2) {
        const double t = x / width;
        path.lineTo(x, base - amplitude * (0.6 * std::sin(2 * std::numbers::pi * cycles * t + phase)
                                           + 0.4 * std::sin(2 * std::numbers::pi * cycles * 2.3 * t + phase * 1.7)));
    }
    path.lineTo(width + 2, bottom);
    path.closeSubpath();
    return path;
}

// The icon on a 256-unit grid, scaled to `size`; `size` also picks the small variant.
void paintIcon(QPainter& p, int size)
{
    p.setRenderHint(QPainter::Antialiasing);
    const bool small = size < 40;
    p.scale(size / 256.0, size / 256.0);

    // Folder: back with its tab, then the front leaf.
    QPainterPath back;
    back.moveTo(20, 60);
    back.quadTo(20, 40, 40, 40);
    back.lineTo(96, 40);
    back.quadTo(106, 40, 112, 48);
    back.lineTo(122, 60);
    back.lineTo(216, 60);
    back.quadTo(236, 60, 236, 80);
    back.lineTo(236, 196);
    back.lineTo(20, 196);
    back.closeSubpath();
    QLinearGradient backFill(0, 40, 0, 200);
    backFill.setColorAt(0, QColor(0xe8, 0x95, 0x2f));
    backFill.setColorAt(1, QColor(0xc7, 0x74, 0x1f));
    // At small sizes a one-pixel edge keeps the folder apart from any background.
    const QPen edge(QColor(0xa8, 0x5e, 0x18), 256.0 / size);
    p.setPen(small ? edge : QPen(Qt::NoPen));
    p.setBrush(backFill);
    p.drawPath(back);

    const QRectF front(20, 84, 216, 136);
    QLinearGradient frontFill(0, front.top(), 0, front.bottom());
    frontFill.setColorAt(0, gold);
    frontFill.setColorAt(1, amber);
    p.setBrush(frontFill);
    p.drawRoundedRect(front, 18, 18);
    p.setPen(Qt::NoPen);
    if (!small) {
        p.setBrush(QColor(255, 255, 255, 70));
        p.drawRoundedRect(QRectF(front.left() + 10, front.top() + 8, front.width() - 20, 6), 3, 3);
    }

    // The lens: a dark rim, a teal glass with an iris, a catch light.
    const QPointF centre = small ? QPointF(166, 164) : QPointF(156, 156);
    const double rim = small ? 72 : 76;
    if (!small) {
        p.setBrush(QColor(0, 0, 0, 50));
        p.drawEllipse(centre + QPointF(4, 6), rim, rim);
    }
    p.setBrush(navy);
    p.drawEllipse(centre, rim, rim);
    const double glass = rim - (small ? 22 : 16);
    QRadialGradient glassFill(centre - QPointF(glass * 0.3, glass * 0.35), glass * 1.3);
    glassFill.setColorAt(0, QColor(0x5f, 0xc3, 0xd0));
    glassFill.setColorAt(0.55, teal);
    glassFill.setColorAt(1, deepTeal);
    p.setBrush(glassFill);
    p.drawEllipse(centre, glass, glass);
    p.setBrush(night);
    const double pupil = glass * (small ? 0.42 : 0.38);
    p.drawEllipse(centre, pupil, pupil);
    if (!small) {
        p.setPen(QPen(QColor(0x9d, 0xe0, 0xe6, 110), 3));
        p.setBrush(Qt::NoBrush);
        p.drawEllipse(centre, glass * 0.7, glass * 0.7);
        p.setPen(Qt::NoPen);
    }
    p.setBrush(QColor(255, 255, 255, 225));
    p.drawEllipse(QPointF(centre.x() - glass * 0.38, centre.y() - glass * 0.4), glass * 0.2, glass * 0.15);
    if (!small) {
        p.setBrush(QColor(255, 255, 255, 120));
        p.drawEllipse(QPointF(centre.x() + glass * 0.3, centre.y() + glass * 0.32), glass * 0.08, glass * 0.08);
    }
}

} // namespace

QImage Artwork::icon(int size)
{
    QImage image = transparentCanvas(QSize(size, size));
    QPainter p(&image);
    paintIcon(p, size);
    p.end();
    return image.convertToFormat(QImage::Format_ARGB32);
}

QByteArray Artwork::iconSvg()
{
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    QSvgGenerator svg;
    svg.setOutputDevice(&buffer);
    svg.setSize(QSize(256, 256));
    svg.setViewBox(QRect(0, 0, 256, 256));
    svg.setTitle(ProgramName);
    svg.setDescription(QStringLiteral("A lens over a folder"));
    QPainter p(&svg);
    paintIcon(p, 256);
    p.end();
    return buffer.data();
}

QImage Artwork::banner(QSize size, const QString& name, const QString& version)
{
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    const double w = size.width();
    const double h = size.height();
    duskSky(p, QRectF(0, 0, w, h), Qt::Vertical);

    // A low sun behind the hills on the right.
    const QPointF sun(w * 0.83, h * 0.74);
    QRadialGradient glow(sun, w * 0.32);
    glow.setColorAt(0, QColor(255, 196, 120, 150));
    glow.setColorAt(0.35, QColor(242, 140, 80, 60));
    glow.setColorAt(1, QColor(242, 140, 80, 0));
    p.fillRect(QRectF(0, 0, w, h), glow);
    QRadialGradient disc(sun, h * 0.17);
    disc.setColorAt(0, QColor(0xff, 0xf1, 0xc9));
    disc.setColorAt(0.8, gold);
    disc.setColorAt(1, amber);
    p.setPen(Qt::NoPen);
    p.setBrush(disc);
    p.drawEllipse(sun, h * 0.17, h * 0.17);

    p.setBrush(QColor(0x2a, 0x5f, 0x73));
    p.drawPath(hills(w, h + 1, h * 0.8, h * 0.07, 1.4, 0.9));
    p.setBrush(QColor(0x18, 0x3e, 0x55));
    p.drawPath(hills(w, h + 1, h * 0.88, h * 0.05, 1.1, 2.6));
    p.setBrush(QColor(0x10, 0x28, 0x3c));
    p.drawPath(hills(w, h + 1, h * 0.96, h * 0.03, 2.2, 0.3));

    const double iconSize = h * 0.42;
    const QImage mark = icon(int(std::lround(iconSize)));
    p.drawImage(QPointF(w * 0.045, h * 0.17), mark);

    const double textLeft = w * 0.045 + iconSize + w * 0.03;
    const QFont title = sans(h * 0.215, true);
    p.setFont(title);
    const QFontMetricsF tm(title);
    const double baseline = h * 0.17 + iconSize * 0.5 + tm.ascent() * 0.38;
    p.setPen(QColor(0, 0, 0, 90));
    p.drawText(QPointF(textLeft + 1.5, baseline + 2), name);
    p.setPen(cream);
    p.drawText(QPointF(textLeft, baseline), name);

    const QFont tagline = sans(h * 0.088, false);
    p.setFont(tagline);
    p.setPen(QColor(0xcf, 0xe6, 0xec));
    p.drawText(QPointF(textLeft + 1, baseline + QFontMetricsF(tagline).height() * 1.35),
               QStringLiteral("pictures · sounds · modules · text"));

    const QFont small = sans(h * 0.08, true);
    p.setFont(small);
    p.setPen(amber);
    const QFontMetricsF sm(small);
    p.drawText(QPointF(w - sm.horizontalAdvance(version) - w * 0.03, h * 0.06 + sm.ascent()), version);
    p.end();
    return image.convertToFormat(QImage::Format_ARGB32);
}

QImage Artwork::verticalBanner(QSize size, const QString& name)
{
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    const double w = size.width();
    const double h = size.height();
    QLinearGradient sky(0, 0, 0, h);
    sky.setColorAt(0.0, QColor(0x3f, 0x7f, 0x8c));
    sky.setColorAt(0.45, QColor(0x1f, 0x4a, 0x66));
    sky.setColorAt(1.0, night);
    p.fillRect(QRectF(0, 0, w, h), sky);

    const QPointF sun(w / 2, w * 0.62);
    QRadialGradient glow(sun, w * 1.6);
    glow.setColorAt(0, QColor(255, 196, 120, 140));
    glow.setColorAt(1, QColor(242, 140, 80, 0));
    p.fillRect(QRectF(0, 0, w, w * 2.5), glow);
    p.setPen(Qt::NoPen);
    p.setBrush(gold);
    p.drawEllipse(sun, w * 0.24, w * 0.24);

    const QFont nameFont = sans(w * 0.58, true);
    p.setFont(nameFont);
    const QFontMetricsF fm(nameFont);
    p.translate(w / 2 + (fm.ascent() - fm.descent()) / 2, h - w * 0.4);
    p.rotate(-90);
    p.setPen(QColor(0, 0, 0, 90));
    p.drawText(QPointF(1, 1), name);
    p.setPen(cream);
    p.drawText(QPointF(0, 0), name);
    p.end();
    return image.convertToFormat(QImage::Format_ARGB32);
}

QImage Artwork::speaker(int size)
{
    QImage image = transparentCanvas(QSize(size, size));
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(size / 48.0, size / 48.0);
    QPainterPath body;
    body.moveTo(5, 18);
    body.lineTo(13, 18);
    body.lineTo(24, 8);
    body.lineTo(24, 40);
    body.lineTo(13, 30);
    body.lineTo(5, 30);
    body.closeSubpath();
    QLinearGradient fill(0, 8, 0, 40);
    fill.setColorAt(0, QColor(0x2c, 0x40, 0x6b));
    fill.setColorAt(1, navy);
    p.setPen(QPen(night, 1.2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(fill);
    p.drawPath(body);
    p.setBrush(Qt::NoBrush);
    const double radii[] = {6.5, 12.0, 17.5};
    const QColor waves[] = {teal, teal, QColor(0x4f, 0xa3, 0xb3)};
    for (int i = 0; i < 3; ++i) {
        p.setPen(QPen(waves[i], 3.2, Qt::SolidLine, Qt::RoundCap));
        const double r = radii[i];
        p.drawArc(QRectF(24 - r, 24 - r, 2 * r, 2 * r), -50 * 16, 100 * 16);
    }
    p.end();
    return image.convertToFormat(QImage::Format_ARGB32);
}

QImage Artwork::filmStrip(int size)
{
    QImage image = transparentCanvas(QSize(size, size));
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(size / 48.0, size / 48.0);
    p.translate(24, 24);
    p.rotate(-12);
    const QRectF strip(-21, -14, 42, 28);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0, 0, 0, 50));
    p.drawRoundedRect(strip.translated(1, 1.5), 3, 3);
    p.setBrush(QColor(0x22, 0x26, 0x33));
    p.drawRoundedRect(strip, 3, 3);
    p.setBrush(cream);
    for (int i = 0; i < 7; ++i) {
        const double x = strip.left() + 2.5 + i * 5.6;
        p.drawRoundedRect(QRectF(x, strip.top() + 1.8, 3, 2.6), 0.8, 0.8);
        p.drawRoundedRect(QRectF(x, strip.bottom() - 4.4, 3, 2.6), 0.8, 0.8);
    }
    // Three frames of a tiny sunset, the sun sinking from frame to frame.
    for (int i = 0; i < 3; ++i) {
        const QRectF frame(strip.left() + 2 + i * 13.2, strip.top() + 6.2, 11.8, 15.6);
        QLinearGradient sky(0, frame.top(), 0, frame.bottom());
        sky.setColorAt(0, QColor(0x3f, 0x7f, 0x8c));
        sky.setColorAt(1, QColor(0xf6, 0xc0, 0x7a));
        p.setBrush(sky);
        p.drawRect(frame);
        p.setBrush(coral);
        p.drawEllipse(QPointF(frame.center().x(), frame.top() + 5.5 + i * 2.2), 2.6, 2.6);
        p.setBrush(deepTeal);
        p.drawRect(QRectF(frame.left(), frame.bottom() - 4.5, frame.width(), 4.5));
    }
    p.end();
    return image.convertToFormat(QImage::Format_ARGB32);
}

QImage Artwork::note(int size)
{
    QImage image = transparentCanvas(QSize(size, size));
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(size / 32.0, size / 32.0);
    QRadialGradient badge(QPointF(12, 10), 20);
    badge.setColorAt(0, QColor(0x3a, 0x93, 0xa5));
    badge.setColorAt(1, deepTeal);
    p.setPen(Qt::NoPen);
    p.setBrush(badge);
    p.drawEllipse(QPointF(16, 16), 15, 15);

    p.setBrush(cream);
    const auto head = [&p](QPointF at) {
        p.save();
        p.translate(at);
        p.rotate(-22);
        p.drawEllipse(QPointF(0, 0), 3.6, 2.7);
        p.restore();
    };
    head(QPointF(10.2, 22.2));
    head(QPointF(20.8, 20.2));
    p.setPen(QPen(cream, 1.8, Qt::SolidLine, Qt::FlatCap));
    p.drawLine(QPointF(13.2, 21.4), QPointF(13.2, 9.4));
    p.drawLine(QPointF(23.8, 19.4), QPointF(23.8, 7.4));
    p.setPen(Qt::NoPen);
    QPainterPath beam;
    beam.moveTo(12.3, 8.6);
    beam.lineTo(24.7, 6.2);
    beam.lineTo(24.7, 9.6);
    beam.lineTo(12.3, 12.0);
    beam.closeSubpath();
    p.drawPath(beam);
    p.end();
    return image.convertToFormat(QImage::Format_ARGB32);
}

} // namespace orv

namespace orv {

namespace {

// A sheet of paper with its top-right corner folded over.
void page(QPainter& p, const QRectF& r, double fold)
{
    QPainterPath sheet;
    sheet.moveTo(r.left(), r.top());
    sheet.lineTo(r.right() - fold, r.top());
    sheet.lineTo(r.right(), r.top() + fold);
    sheet.lineTo(r.right(), r.bottom());
    sheet.lineTo(r.left(), r.bottom());
    sheet.closeSubpath();
    p.setPen(QPen(navy, 1));
    p.setBrush(Qt::white);
    p.drawPath(sheet);
    QPainterPath corner;
    corner.moveTo(r.right() - fold, r.top());
    corner.lineTo(r.right() - fold, r.top() + fold);
    corner.lineTo(r.right(), r.top() + fold);
    p.setBrush(QColor(0xd8, 0xe2, 0xea));
    p.drawPath(corner);
}

// Text lines on a page.
void lines(QPainter& p, double left, double right, double top, int count)
{
    p.setPen(QPen(teal, 1));
    for (int i = 0; i < count; ++i)
        p.drawLine(QPointF(left, top + 2 * i), QPointF(right - (i % 2 ? 2 : 0), top + 2 * i));
}

} // namespace

QImage Artwork::textDocument(int size)
{
    QImage image = transparentCanvas(QSize(size, size));
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(size / 16.0, size / 16.0);
    p.translate(0.5, 0.5);
    page(p, QRectF(2, 0.5, 11, 14), 4);
    lines(p, 4, 11, 6, 4);
    p.end();
    return image.convertToFormat(QImage::Format_ARGB32);
}

QImage Artwork::toolbarButton(ToolbarSymbol symbol, bool pressed)
{
    QImage image(23, 22, QImage::Format_ARGB32_Premultiplied);
    const QColor face(0xc8, 0xcc, 0xd0);
    image.fill(face);
    QPainter p(&image);
    const QColor light(Qt::white), shadow(0x80, 0x86, 0x8c), dark(0x20, 0x24, 0x28);
    // Raised: light above and left, dark below and right; pressed: the other way round.
    p.setPen(pressed ? dark : light);
    p.drawLine(0, 0, 21, 0);
    p.drawLine(0, 0, 0, 20);
    p.setPen(pressed ? shadow : face);
    p.drawLine(1, 1, 20, 1);
    p.drawLine(1, 1, 1, 19);
    p.setPen(pressed ? light : dark);
    p.drawLine(0, 21, 22, 21);
    p.drawLine(22, 0, 22, 21);
    p.setPen(pressed ? face : shadow);
    p.drawLine(1, 20, 21, 20);
    p.drawLine(21, 1, 21, 20);

    p.setRenderHint(QPainter::Antialiasing);
    p.translate(pressed ? 1.5 : 0.5, pressed ? 1.5 : 0.5);
    switch (symbol) {
    case ToolbarSymbol::New:
        page(p, QRectF(6, 3, 10, 14), 4);
        break;
    case ToolbarSymbol::Open: {
        p.setPen(QPen(QColor(0x8a, 0x52, 0x14), 1));
        p.setBrush(amber);
        QPainterPath back;
        back.moveTo(3, 6);
        back.lineTo(8, 6);
        back.lineTo(9.5, 8);
        back.lineTo(16, 8);
        back.lineTo(16, 16);
        back.lineTo(3, 16);
        back.closeSubpath();
        p.drawPath(back);
        p.setBrush(gold);
        QPainterPath front;
        front.moveTo(3, 16);
        front.lineTo(6, 10);
        front.lineTo(19, 10);
        front.lineTo(16, 16);
        front.closeSubpath();
        p.drawPath(front);
        // The arrow of opening.
        p.setPen(QPen(teal, 1.4, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.setBrush(Qt::NoBrush);
        QPainterPath arrow;
        arrow.moveTo(11, 5);
        arrow.quadTo(14, 1.5, 17.5, 4.5);
        p.drawPath(arrow);
        p.drawLine(QPointF(17.5, 4.5), QPointF(17.8, 2.2));
        p.drawLine(QPointF(17.5, 4.5), QPointF(15.2, 4.6));
        break;
    }
    case ToolbarSymbol::Cut:
        // Open scissors: two blades crossing, two rings below.
        p.setPen(QPen(QColor(0x5a, 0x62, 0x6c), 1.5, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(7, 3), QPointF(12.5, 12));
        p.drawLine(QPointF(15, 3), QPointF(9.5, 12));
        p.setPen(QPen(coral, 1.6));
        p.setBrush(Qt::NoBrush);
        p.drawEllipse(QPointF(8, 15), 2.6, 2.6);
        p.drawEllipse(QPointF(14, 15), 2.6, 2.6);
        p.setPen(Qt::NoPen);
        p.setBrush(navy);
        p.drawEllipse(QPointF(11, 10.5), 0.9, 0.9);
        break;
    case ToolbarSymbol::Copy:
        page(p, QRectF(3, 2, 9, 11), 3);
        lines(p, 5, 10, 6, 3);
        page(p, QRectF(9, 7, 9, 11), 3);
        lines(p, 11, 16, 11, 3);
        break;
    case ToolbarSymbol::Paste: {
        p.setPen(QPen(QColor(0x6b, 0x3e, 0x12), 1));
        p.setBrush(QColor(0xc7, 0x74, 0x1f));
        p.drawRoundedRect(QRectF(3, 3, 12, 15), 1.5, 1.5);
        p.setBrush(QColor(0x9a, 0xa4, 0xae));
        p.setPen(QPen(navy, 1));
        p.drawRoundedRect(QRectF(6, 1.5, 6, 3), 1, 1);
        page(p, QRectF(9, 7, 9, 11), 3);
        lines(p, 11, 16, 11, 3);
        break;
    }
    }
    p.end();
    return image.convertToFormat(QImage::Format_ARGB32);
}

} // namespace orv
