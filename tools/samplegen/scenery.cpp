#include "scenery.h"

#include <QFont>
#include <QFontMetricsF>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

#include <algorithm>
#include <cmath>
#include <numbers>

namespace orv {

namespace {

constexpr double tau = 2.0 * std::numbers::pi;

// Fixed-seed generator: scattered details land in the same places on every run.
class Scatter
{
public:
    explicit Scatter(quint32 seed)
        : state_(seed)
    {
    }
    double next()   // [0, 1)
    {
        state_ ^= state_ << 13;
        state_ ^= state_ >> 17;
        state_ ^= state_ << 5;
        return double(state_) / 4294967296.0;
    }
    double between(double lo, double hi) { return lo + (hi - lo) * next(); }

private:
    quint32 state_;
};

struct Wave
{
    double cycles;   // across the full width
    double amplitude;
    double phase;
};

// A hill or mountain line: the height above baseY at x, a sum of gentle waves.
double ridgeHeight(double x, double width, std::initializer_list<Wave> waves)
{
    double y = 0.0;
    for (const Wave& w : waves)
        y += w.amplitude * std::sin(tau * w.cycles * x / width + w.phase);
    return y;
}

QPainterPath ridge(double width, double bottom, double baseY, std::initializer_list<Wave> waves)
{
    QPainterPath path;
    path.moveTo(0, bottom);
    for (double x = 0; x <= width + 4; x += 4)
        path.lineTo(x, baseY - ridgeHeight(x, width, waves));
    path.lineTo(width + 4, bottom);
    path.closeSubpath();
    return path;
}

QImage canvas(QSize size)
{
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::black);
    return image;
}

QFont font(const QString& family, int pixelSize, bool bold = false)
{
    QFont f(family);
    f.setPixelSize(pixelSize);
    f.setBold(bold);
    f.setHintingPreference(QFont::PreferNoHinting);
    return f;
}

void pineTree(QPainter& p, QPointF foot, double height, const QColor& colour)
{
    const double trunk = height * 0.06;
    p.setPen(Qt::NoPen);
    p.setBrush(colour);
    p.drawRect(QRectF(foot.x() - trunk / 2, foot.y() - height * 0.15, trunk, height * 0.15));
    for (int tier = 0; tier < 4; ++tier) {
        const double top = foot.y() - height + tier * height * 0.2;
        const double halfWidth = height * (0.14 + 0.07 * tier);
        QPainterPath t;
        t.moveTo(foot.x(), top);
        t.lineTo(foot.x() + halfWidth, top + height * 0.32);
        t.lineTo(foot.x() - halfWidth, top + height * 0.32);
        t.closeSubpath();
        p.drawPath(t);
    }
}

void bird(QPainter& p, QPointF at, double span, const QColor& colour)
{
    QPainterPath b;
    b.moveTo(at.x() - span, at.y() - span * 0.2);
    b.quadTo(at.x() - span * 0.45, at.y() - span * 0.55, at.x(), at.y());
    b.quadTo(at.x() + span * 0.45, at.y() - span * 0.55, at.x() + span, at.y() - span * 0.2);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(colour, std::max(1.0, span * 0.18), Qt::SolidLine, Qt::RoundCap));
    p.drawPath(b);
}

void cloud(QPainter& p, QPointF centre, double scale, double alpha = 1.0)
{
    struct Puff { double dx, dy, r; };
    static constexpr Puff puffs[] = {
        {-1.0, 0.15, 0.55}, {-0.45, -0.2, 0.75}, {0.25, -0.35, 0.85}, {0.95, -0.05, 0.6}, {1.45, 0.2, 0.4},
        {-1.4, 0.3, 0.35}, {0.1, 0.2, 0.7},
    };
    p.setPen(Qt::NoPen);
    for (int layer = 0; layer < 2; ++layer) {
        const QColor base = layer == 0 ? QColor(196, 212, 228) : QColor(255, 255, 255);
        for (const Puff& puff : puffs) {
            const QPointF c(centre.x() + puff.dx * scale, centre.y() + puff.dy * scale + (layer == 0 ? scale * 0.12 : 0));
            const double r = puff.r * scale;
            QRadialGradient g(c, r);
            QColor inner = base;
            inner.setAlphaF(float(alpha * (layer == 0 ? 0.85 : 0.95)));
            QColor outer = base;
            outer.setAlphaF(0.0f);
            g.setColorAt(0.0, inner);
            g.setColorAt(0.7, inner);
            g.setColorAt(1.0, outer);
            p.setBrush(g);
            p.drawEllipse(c, r, r * 0.8);
        }
    }
}

void sailboat(QPainter& p, QPointF waterline, double scale, const QColor& hull, const QColor& sail)
{
    p.save();
    p.translate(waterline);
    p.scale(scale, scale);
    p.setPen(Qt::NoPen);
    // Reflection first so the hull covers its top.
    QColor shadow = hull.darker(130);
    shadow.setAlpha(110);
    QColor gone = shadow;
    gone.setAlpha(0);
    QLinearGradient reflection(0, 0, 0, 26);
    reflection.setColorAt(0, shadow);
    reflection.setColorAt(1, gone);
    p.setBrush(reflection);
    p.drawRect(QRectF(-46, 0, 92, 26));

    QPainterPath body;
    body.moveTo(-62, -16);
    body.lineTo(62, -16);
    body.quadTo(52, 2, 40, 4);
    body.lineTo(-44, 4);
    body.quadTo(-56, 0, -62, -16);
    p.setBrush(hull);
    p.drawPath(body);
    p.setBrush(QColor(255, 255, 255, 200));
    p.drawRect(QRectF(-56, -12, 110, 2.5));

    p.setPen(QPen(QColor(70, 50, 40), 2.5));
    p.drawLine(QPointF(0, -16), QPointF(0, -150));
    p.setPen(Qt::NoPen);
    QLinearGradient cloth(0, -150, 60, -20);
    cloth.setColorAt(0, sail);
    cloth.setColorAt(1, sail.darker(112));
    p.setBrush(cloth);
    QPainterPath main;
    main.moveTo(3, -146);
    main.quadTo(40, -80, 58, -24);
    main.lineTo(3, -24);
    main.closeSubpath();
    p.drawPath(main);
    QPainterPath jib;
    jib.moveTo(-3, -136);
    jib.quadTo(-30, -80, -52, -24);
    jib.lineTo(-3, -24);
    jib.closeSubpath();
    p.setBrush(sail.darker(106));
    p.drawPath(jib);
    p.restore();
}

void house(QPainter& p, QRectF body, const QColor& wall, const QColor& roof)
{
    p.setPen(Qt::NoPen);
    p.setBrush(wall);
    p.drawRect(body);
    QPainterPath top;
    top.moveTo(body.left() - body.width() * 0.1, body.top());
    top.lineTo(body.center().x(), body.top() - body.height() * 0.55);
    top.lineTo(body.right() + body.width() * 0.1, body.top());
    top.closeSubpath();
    p.setBrush(roof);
    p.drawPath(top);
    p.setBrush(QColor(60, 70, 90));
    const double ww = body.width() * 0.2;
    p.drawRect(QRectF(body.left() + body.width() * 0.18, body.top() + body.height() * 0.25, ww, ww * 1.2));
    p.drawRect(QRectF(body.right() - body.width() * 0.18 - ww, body.top() + body.height() * 0.25, ww, ww * 1.2));
    p.setBrush(wall.darker(150));
    p.drawRect(QRectF(body.center().x() - ww / 2, body.bottom() - ww * 1.7, ww, ww * 1.7));
}

QImage finish(QImage& image)
{
    return image.convertToFormat(QImage::Format_RGB32);
}

} // namespace

void Scenery::caption(QImage& image, const QString& text)
{
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    const QFont f = font(QStringLiteral("DejaVu Sans"), std::max(10, image.height() / 42));
    p.setFont(f);
    const QFontMetricsF fm(f);
    const double pad = fm.height() * 0.45;
    const QRectF box(pad, image.height() - fm.height() - 3 * pad, fm.horizontalAdvance(text) + 2 * pad,
                     fm.height() + pad);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0, 0, 0, 110));
    p.drawRoundedRect(box, pad, pad);
    p.setPen(QColor(255, 255, 255, 235));
    p.drawText(box, Qt::AlignCenter, text);
}

QImage Scenery::sunset(QSize size)
{
    QImage image = canvas(size);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    const double w = size.width();
    const double h = size.height();
    const double horizon = h * 0.64;

    QLinearGradient sky(0, 0, 0, horizon);
    sky.setColorAt(0.00, QColor(0x1b, 0x16, 0x40));
    sky.setColorAt(0.35, QColor(0x4a, 0x2a, 0x6b));
    sky.setColorAt(0.68, QColor(0xc2, 0x45, 0x6b));
    sky.setColorAt(0.88, QColor(0xf0, 0x8a, 0x4b));
    sky.setColorAt(1.00, QColor(0xff, 0xd2, 0x7a));
    p.fillRect(QRectF(0, 0, w, horizon + 1), sky);

    Scatter stars(7);
    p.setPen(Qt::NoPen);
    for (int i = 0; i < 70; ++i) {
        const QPointF at(stars.between(0, w), stars.between(0, horizon * 0.35));
        p.setBrush(QColor(255, 255, 240, int(stars.between(60, 200) * (1.0 - at.y() / (horizon * 0.35)))));
        const double r = stars.between(0.5, 1.3);
        p.drawEllipse(at, r, r);
    }

    const QPointF sun(w * 0.6, horizon - h * 0.09);
    const double sunRadius = w * 0.065;
    QRadialGradient glow(sun, w * 0.45);
    glow.setColorAt(0.0, QColor(255, 220, 150, 170));
    glow.setColorAt(0.25, QColor(255, 170, 110, 80));
    glow.setColorAt(1.0, QColor(255, 120, 90, 0));
    p.fillRect(QRectF(0, 0, w, horizon), glow);
    QRadialGradient disc(sun, sunRadius);
    disc.setColorAt(0.0, QColor(0xff, 0xfb, 0xe6));
    disc.setColorAt(0.7, QColor(0xff, 0xe0, 0x8a));
    disc.setColorAt(1.0, QColor(0xff, 0xb8, 0x5c));
    p.setBrush(disc);
    p.drawEllipse(sun, sunRadius, sunRadius);

    Scatter streaks(11);
    for (int i = 0; i < 9; ++i) {
        const double y = horizon * streaks.between(0.32, 0.86);
        const double len = w * streaks.between(0.12, 0.32);
        const double x = streaks.between(-0.1 * w, w - len * 0.6);
        const double t = y / horizon;
        const QColor tint(int(150 + 100 * t), int(80 + 60 * t), int(140 - 30 * t));
        QLinearGradient fade(x, 0, x + len, 0);
        QColor clear = tint;
        clear.setAlpha(0);
        QColor solid = tint;
        solid.setAlpha(120);
        fade.setColorAt(0, clear);
        fade.setColorAt(0.3, solid);
        fade.setColorAt(0.75, solid);
        fade.setColorAt(1, clear);
        p.setBrush(fade);
        p.drawEllipse(QRectF(x, y, len, h * 0.014));
    }

    p.setBrush(QColor(0x8a, 0x40, 0x6e, 210));
    p.drawPath(ridge(w, horizon + 1, horizon - h * 0.03, {{1.3, h * 0.05, 0.5}, {3.7, h * 0.03, 1.1}, {9.1, h * 0.01, 0.0}}));
    p.setBrush(QColor(0x5b, 0x2a, 0x5a));
    p.drawPath(ridge(w, horizon + 1, horizon + h * 0.01, {{0.8, h * 0.035, 2.0}, {2.9, h * 0.02, 0.3}, {7.3, h * 0.008, 1.7}}));

    QLinearGradient sea(0, horizon, 0, h);
    sea.setColorAt(0, QColor(0x7a, 0x3c, 0x6a));
    sea.setColorAt(1, QColor(0x1f, 0x12, 0x30));
    p.fillRect(QRectF(0, horizon, w, h - horizon), sea);

    Scatter shimmer(23);
    for (double y = horizon + 2; y < h; y += 3.0) {
        const double depth = (y - horizon) / (h - horizon);
        const double half = sunRadius * (0.5 + 1.6 * depth) * shimmer.between(0.4, 1.0);
        const double offset = shimmer.between(-0.3, 0.3) * sunRadius;
        p.setBrush(QColor(255, int(200 - 60 * depth), int(120 - 40 * depth), int(200 * (1.0 - depth * 0.8))));
        p.drawRoundedRect(QRectF(sun.x() + offset - half, y, 2 * half, 1.6), 0.8, 0.8);
    }

    const QColor dark(0x16, 0x0c, 0x20);
    QPainterPath shore;
    shore.moveTo(0, h);
    shore.lineTo(0, h * 0.78);
    shore.cubicTo(w * 0.12, h * 0.76, w * 0.25, h * 0.86, w * 0.42, h * 0.9);
    shore.cubicTo(w * 0.5, h * 0.93, w * 0.55, h * 0.97, w * 0.6, h);
    shore.closeSubpath();
    p.setBrush(dark);
    p.drawPath(shore);
    const struct { double x, y, height; } trees[] = {
        {0.03, 0.80, 0.26}, {0.08, 0.79, 0.34}, {0.13, 0.80, 0.22}, {0.18, 0.82, 0.28}, {0.24, 0.85, 0.18}, {0.31, 0.88, 0.13},
    };
    for (const auto& t : trees)
        pineTree(p, QPointF(w * t.x, h * t.y), h * t.height, dark);

    const QColor birdColour(0x2a, 0x14, 0x30);
    bird(p, QPointF(w * 0.70, h * 0.30), w * 0.018, birdColour);
    bird(p, QPointF(w * 0.74, h * 0.27), w * 0.013, birdColour);
    bird(p, QPointF(w * 0.67, h * 0.255), w * 0.011, birdColour);
    p.end();

    caption(image, QStringLiteral("sunset.bmp · %1 × %2").arg(size.width()).arg(size.height()));
    return finish(image);
}

QImage Scenery::harbour(QSize size)
{
    QImage image = canvas(size);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    const double w = size.width();
    const double h = size.height();
    const double horizon = h * 0.56;
    const double quay = h * 0.87;

    QLinearGradient sky(0, 0, 0, horizon);
    sky.setColorAt(0, QColor(0x4f, 0x9d, 0xd6));
    sky.setColorAt(1, QColor(0xdc, 0xef, 0xf9));
    p.fillRect(QRectF(0, 0, w, horizon + 1), sky);
    QRadialGradient sunGlow(QPointF(w * 0.14, h * 0.12), w * 0.3);
    sunGlow.setColorAt(0, QColor(255, 253, 235, 230));
    sunGlow.setColorAt(0.12, QColor(255, 248, 210, 180));
    sunGlow.setColorAt(1, QColor(255, 248, 210, 0));
    p.fillRect(QRectF(0, 0, w, horizon), sunGlow);

    cloud(p, QPointF(w * 0.36, h * 0.13), w * 0.05);
    cloud(p, QPointF(w * 0.72, h * 0.08), w * 0.065);
    cloud(p, QPointF(w * 0.9, h * 0.25), w * 0.035, 0.85);
    cloud(p, QPointF(w * 0.55, h * 0.3), w * 0.028, 0.8);

    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0x9c, 0xbc, 0xc4));
    p.drawPath(ridge(w, horizon + 1, horizon, {{1.1, h * 0.04, 1.9}, {3.3, h * 0.015, 0.2}}));

    // The town sits on a green headland to the right.
    const auto hillY = [&](double x) { return horizon - h * 0.02 - std::max(0.0, (x - w * 0.5) / (w * 0.5)) * h * 0.2 - ridgeHeight(x, w, {{4.1, h * 0.01, 0.7}}); };
    QPainterPath hill;
    hill.moveTo(w * 0.45, horizon + 1);
    for (double x = w * 0.45; x <= w + 4; x += 4)
        hill.lineTo(x, hillY(x));
    hill.lineTo(w + 4, horizon + 1);
    hill.closeSubpath();
    QLinearGradient grass(0, horizon - h * 0.25, 0, horizon);
    grass.setColorAt(0, QColor(0x7d, 0xa8, 0x5c));
    grass.setColorAt(1, QColor(0x4e, 0x7d, 0x45));
    p.setBrush(grass);
    p.drawPath(hill);
    const QColor walls[] = {QColor(0xe7, 0x6f, 0x51), QColor(0xf4, 0xa2, 0x61), QColor(0xe9, 0xc4, 0x6a),
                            QColor(0xfe, 0xfa, 0xe0), QColor(0x2a, 0x9d, 0x8f), QColor(0xf2, 0xe8, 0xcf)};
    const QColor roofs[] = {QColor(0x8c, 0x3b, 0x2e), QColor(0x5b, 0x46, 0x36), QColor(0x6d, 0x2e, 0x46)};
    for (int i = 0; i < 11; ++i) {
        const double x = w * (0.6 + i * 0.036);
        const double bw = w * (0.026 + 0.006 * (i % 3));
        const double bh = h * (0.032 + 0.01 * ((i * 7) % 3));
        const double foot = hillY(x + bw / 2) + h * 0.012;
        house(p, QRectF(x, foot - bh, bw, bh), walls[i % 6], roofs[i % 3]);
    }

    // Lighthouse on its rocks at the harbour mouth.
    const double lx = w * 0.14;
    QPainterPath rocks;
    rocks.moveTo(w * 0.04, horizon + h * 0.03);
    rocks.quadTo(w * 0.07, horizon - h * 0.03, lx - w * 0.02, horizon - h * 0.035);
    rocks.quadTo(lx + w * 0.05, horizon - h * 0.04, w * 0.24, horizon + h * 0.03);
    rocks.closeSubpath();
    p.setBrush(QColor(0x6b, 0x5e, 0x55));
    p.drawPath(rocks);
    const double towerBase = horizon - h * 0.03;
    const double towerTop = horizon - h * 0.28;
    QPainterPath tower;
    tower.moveTo(lx - w * 0.025, towerBase);
    tower.lineTo(lx - w * 0.016, towerTop);
    tower.lineTo(lx + w * 0.016, towerTop);
    tower.lineTo(lx + w * 0.025, towerBase);
    tower.closeSubpath();
    p.setBrush(QColor(0xf8, 0xf4, 0xec));
    p.drawPath(tower);
    p.save();
    p.setClipPath(tower);
    p.setBrush(QColor(0xd6, 0x3a, 0x3a));
    for (int band = 0; band < 4; ++band) {
        const double y = towerTop + (towerBase - towerTop) * (0.12 + band * 0.25);
        p.drawRect(QRectF(lx - w * 0.04, y, w * 0.08, (towerBase - towerTop) * 0.12));
    }
    QLinearGradient shade(lx - w * 0.025, 0, lx + w * 0.025, 0);
    shade.setColorAt(0, QColor(0, 0, 0, 0));
    shade.setColorAt(1, QColor(0, 0, 0, 50));
    p.fillRect(QRectF(lx - w * 0.03, towerTop, w * 0.06, towerBase - towerTop), shade);
    p.restore();
    p.setBrush(QColor(0x33, 0x33, 0x3d));
    p.drawRect(QRectF(lx - w * 0.022, towerTop - h * 0.006, w * 0.044, h * 0.008));
    p.setBrush(QColor(0xff, 0xe9, 0x9a));
    p.drawRect(QRectF(lx - w * 0.011, towerTop - h * 0.036, w * 0.022, h * 0.03));
    QPainterPath cap;
    cap.moveTo(lx - w * 0.016, towerTop - h * 0.036);
    cap.lineTo(lx, towerTop - h * 0.06);
    cap.lineTo(lx + w * 0.016, towerTop - h * 0.036);
    cap.closeSubpath();
    p.setBrush(QColor(0xb0, 0x2e, 0x2e));
    p.drawPath(cap);

    QLinearGradient sea(0, horizon, 0, quay);
    sea.setColorAt(0, QColor(0x4a, 0x9c, 0xc8));
    sea.setColorAt(1, QColor(0x17, 0x58, 0x85));
    p.fillRect(QRectF(0, horizon, w, quay - horizon), sea);
    Scatter glints(5);
    p.setBrush(Qt::NoBrush);
    for (int i = 0; i < 260; ++i) {
        const double depth = std::pow(glints.next(), 1.4);
        const double y = horizon + 4 + depth * (quay - horizon - 8);
        const double x = glints.between(0, w);
        const double len = w * (0.006 + 0.02 * depth);
        p.setPen(QPen(QColor(255, 255, 255, int(60 + 80 * depth)), 1.0 + depth * 1.5, Qt::SolidLine, Qt::RoundCap));
        QPainterPath arc;
        arc.moveTo(x - len, y);
        arc.quadTo(x, y - len * 0.25, x + len, y);
        p.drawPath(arc);
    }

    sailboat(p, QPointF(w * 0.33, horizon + h * 0.07), w * 0.0009, QColor(0x2b, 0x3a, 0x67), QColor(0xfb, 0xf7, 0xee));
    sailboat(p, QPointF(w * 0.56, horizon + h * 0.14), w * 0.0014, QColor(0xc0, 0x39, 0x2b), QColor(0xff, 0xfd, 0xf5));
    sailboat(p, QPointF(w * 0.8, horizon + h * 0.23), w * 0.002, QColor(0x1d, 0x6a, 0x5a), QColor(0xf6, 0xe7, 0xc8));

    // Stone quay along the bottom.
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0x8c, 0x80, 0x72));
    p.drawRect(QRectF(0, quay, w, h - quay));
    p.setBrush(QColor(0xb3, 0xa6, 0x94));
    p.drawRect(QRectF(0, quay, w, h * 0.018));
    p.setPen(QPen(QColor(0x6e, 0x63, 0x57), 1.5));
    const double row = (h - quay) / 3;
    for (int r = 0; r < 3; ++r) {
        const double y = quay + h * 0.018 + r * row;
        p.drawLine(QPointF(0, y), QPointF(w, y));
        for (double x = (r % 2) * w * 0.04; x < w; x += w * 0.08)
            p.drawLine(QPointF(x, y), QPointF(x, y + row));
    }
    p.setPen(Qt::NoPen);
    for (int i = 0; i < 4; ++i) {
        const double x = w * (0.2 + 0.22 * i);
        p.setBrush(QColor(0x2f, 0x2f, 0x35));
        p.drawRoundedRect(QRectF(x, quay - h * 0.03, w * 0.018, h * 0.036), w * 0.006, w * 0.006);
    }

    const QColor gull(0x3a, 0x44, 0x55);
    bird(p, QPointF(w * 0.47, h * 0.2), w * 0.014, gull);
    bird(p, QPointF(w * 0.5, h * 0.24), w * 0.01, gull);
    bird(p, QPointF(w * 0.62, h * 0.18), w * 0.012, gull);
    p.end();

    caption(image, QStringLiteral("harbour.jpg · %1 × %2").arg(size.width()).arg(size.height()));
    return finish(image);
}

QImage Scenery::beach(QSize size)
{
    QImage image = canvas(size);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    const double w = size.width();
    const double h = size.height();
    const double horizon = h * 0.45;
    const double shoreline = h * 0.63;

    QLinearGradient sky(0, 0, 0, horizon);
    sky.setColorAt(0, QColor(0x2f, 0x9b, 0xdb));
    sky.setColorAt(1, QColor(0xc4, 0xea, 0xfa));
    p.fillRect(QRectF(0, 0, w, horizon + 1), sky);
    const QPointF sun(w * 0.82, h * 0.15);
    QRadialGradient glow(sun, w * 0.22);
    glow.setColorAt(0, QColor(255, 250, 220, 220));
    glow.setColorAt(0.3, QColor(255, 245, 200, 90));
    glow.setColorAt(1, QColor(255, 245, 200, 0));
    p.fillRect(QRectF(0, 0, w, horizon), glow);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0xff, 0xf4, 0xc2));
    p.drawEllipse(sun, w * 0.05, w * 0.05);
    cloud(p, QPointF(w * 0.3, h * 0.14), w * 0.045);
    cloud(p, QPointF(w * 0.55, h * 0.26), w * 0.03, 0.9);

    QLinearGradient sea(0, horizon, 0, shoreline);
    sea.setColorAt(0, QColor(0x12, 0x8f, 0xb5));
    sea.setColorAt(1, QColor(0x3c, 0xcf, 0xcf));
    p.fillRect(QRectF(0, horizon, w, shoreline - horizon + 2), sea);
    Scatter sparkle(3);
    for (int i = 0; i < 90; ++i) {
        const double depth = sparkle.next();
        p.setBrush(QColor(255, 255, 255, int(70 + 90 * depth)));
        p.drawRoundedRect(QRectF(sparkle.between(0, w), horizon + 3 + depth * (shoreline - horizon - 10),
                                 w * (0.01 + 0.025 * depth), 1.5 + depth), 1, 1);
    }
    sailboat(p, QPointF(w * 0.42, horizon + h * 0.03), w * 0.0006, QColor(0xe7, 0x6f, 0x51), QColor(255, 255, 255));

    QPainterPath sand;
    sand.moveTo(0, h);
    sand.lineTo(0, shoreline);
    for (double x = 0; x <= w + 4; x += 4)
        sand.lineTo(x, shoreline + ridgeHeight(x, w, {{2.2, h * 0.012, 0.4}, {5.3, h * 0.006, 1.3}}));
    sand.lineTo(w + 4, h);
    sand.closeSubpath();
    QPainterPath foam;
    for (double x = -4; x <= w + 4; x += 4) {
        const QPointF pt(x, shoreline - h * 0.004 + ridgeHeight(x, w, {{2.2, h * 0.012, 0.4}, {5.3, h * 0.006, 1.3}}));
        if (x < 0)
            foam.moveTo(pt);
        else
            foam.lineTo(pt);
    }
    p.setPen(QPen(QColor(255, 255, 255, 110), h * 0.03, Qt::SolidLine, Qt::RoundCap));
    p.drawPath(foam.translated(0, -h * 0.012));
    QLinearGradient sandFill(0, shoreline, 0, h);
    sandFill.setColorAt(0, QColor(0xf3, 0xd9, 0x9f));
    sandFill.setColorAt(1, QColor(0xe8, 0xbf, 0x7a));
    p.setPen(Qt::NoPen);
    p.setBrush(sandFill);
    p.drawPath(sand);
    p.setPen(QPen(QColor(255, 255, 255, 235), h * 0.01, Qt::SolidLine, Qt::RoundCap));
    p.setBrush(Qt::NoBrush);
    p.drawPath(foam);
    p.setPen(Qt::NoPen);
    Scatter grains(9);
    for (int i = 0; i < 400; ++i) {
        p.setBrush(QColor(0xb8, 0x8e, 0x52, int(grains.between(40, 110))));
        const double r = grains.between(0.6, 1.6);
        p.drawEllipse(QPointF(grains.between(0, w), grains.between(shoreline + h * 0.03, h)), r, r);
    }

    // Palm tree leaning in from the left.
    const QPointF trunkFoot(w * 0.1, h * 0.97);
    const QPointF crown(w * 0.22, h * 0.3);
    // The trunk is one tapered outline with growth rings across it.
    const auto trunkAt = [&](double t) {
        return QPointF(trunkFoot.x() + (crown.x() - trunkFoot.x()) * (t + 0.25 * std::sin(t * 3.0)),
                       trunkFoot.y() + (crown.y() - trunkFoot.y()) * t);
    };
    const auto trunkHalf = [&](double t) { return w * (0.022 - 0.011 * t); };
    QPainterPath trunk;
    constexpr int steps = 40;
    for (int i = 0; i <= steps; ++i) {
        const double t = double(i) / steps;
        const QPointF c = trunkAt(t);
        if (i == 0)
            trunk.moveTo(c.x() - trunkHalf(t), c.y());
        else
            trunk.lineTo(c.x() - trunkHalf(t), c.y());
    }
    for (int i = steps; i >= 0; --i) {
        const double t = double(i) / steps;
        const QPointF c = trunkAt(t);
        trunk.lineTo(c.x() + trunkHalf(t), c.y());
    }
    trunk.closeSubpath();
    QLinearGradient bark(trunkFoot.x() - w * 0.03, 0, trunkFoot.x() + w * 0.06, 0);
    bark.setColorAt(0, QColor(0xa6, 0x7c, 0x52));
    bark.setColorAt(1, QColor(0x7a, 0x55, 0x34));
    p.setBrush(bark);
    p.drawPath(trunk);
    p.save();
    p.setClipPath(trunk);
    p.setPen(QPen(QColor(0x5e, 0x40, 0x26, 150), std::max(1.0, w * 0.0025)));
    for (int ring = 1; ring < 18; ++ring) {
        const double t = ring / 18.0;
        const QPointF c = trunkAt(t);
        const double half = trunkHalf(t) * 1.2;
        QPainterPath arc;
        arc.moveTo(c.x() - half, c.y() - half * 0.15);
        arc.quadTo(c.x(), c.y() + half * 0.35, c.x() + half, c.y() - half * 0.15);
        p.drawPath(arc);
    }
    p.restore();
    p.setPen(Qt::NoPen);
    const struct { double angle, length; } leaves[] = {
        {-170, 0.2}, {-140, 0.17}, {-100, 0.12}, {-55, 0.16}, {-20, 0.21}, {15, 0.17}, {160, 0.16}, {60, 0.12},
    };
    for (const auto& leaf : leaves) {
        p.save();
        p.translate(crown);
        p.rotate(leaf.angle);
        const double len = w * leaf.length;
        QPainterPath blade;
        blade.moveTo(0, 0);
        blade.quadTo(len * 0.5, -len * 0.22, len, len * 0.18);
        blade.quadTo(len * 0.5, len * 0.02, 0, 0);
        QLinearGradient green(0, 0, len, 0);
        green.setColorAt(0, QColor(0x1e, 0x6b, 0x3a));
        green.setColorAt(1, QColor(0x4c, 0xb0, 0x5c));
        p.setBrush(green);
        p.drawPath(blade);
        p.restore();
    }
    p.setBrush(QColor(0x5a, 0x3b, 0x22));
    p.drawEllipse(QPointF(crown.x() - w * 0.008, crown.y() + h * 0.02), w * 0.011, w * 0.011);
    p.drawEllipse(QPointF(crown.x() + w * 0.012, crown.y() + h * 0.025), w * 0.011, w * 0.011);

    // Towel, umbrella and ball.
    p.save();
    p.translate(w * 0.62, h * 0.86);
    p.rotate(-8);
    const double towelW = w * 0.2;
    const double towelH = h * 0.075;
    for (int s = 0; s < 6; ++s) {
        p.setBrush(s % 2 ? QColor(0xf1, 0xfa, 0xee) : QColor(0x45, 0x7b, 0x9d));
        p.drawRect(QRectF(-towelW / 2 + s * towelW / 6, -towelH / 2, towelW / 6 + 0.5, towelH));
    }
    p.restore();
    const QPointF tip(w * 0.66, h * 0.55);
    p.setPen(QPen(QColor(0x6d, 0x4c, 0x2f), w * 0.006, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(tip, QPointF(w * 0.68, h * 0.88));
    p.setPen(Qt::NoPen);
    const double span = w * 0.16;
    for (int s = 0; s < 6; ++s) {
        const double a0 = std::numbers::pi + s * std::numbers::pi / 6;
        const double a1 = a0 + std::numbers::pi / 6;
        QPainterPath panel;
        panel.moveTo(tip);
        panel.lineTo(tip.x() + span * std::cos(a0), tip.y() + span * 0.55 * std::sin(a0) + h * 0.06);
        panel.quadTo(tip.x() + span * std::cos((a0 + a1) / 2) * 1.02,
                     tip.y() + span * 0.55 * std::sin((a0 + a1) / 2) + h * 0.045,
                     tip.x() + span * std::cos(a1), tip.y() + span * 0.55 * std::sin(a1) + h * 0.06);
        panel.closeSubpath();
        p.setBrush(s % 2 ? QColor(0xff, 0xfb, 0xf2) : QColor(0xe6, 0x39, 0x46));
        p.drawPath(panel);
    }
    const QPointF ball(w * 0.84, h * 0.9);
    const double br = w * 0.03;
    const QColor ballColours[] = {QColor(0xe6, 0x39, 0x46), QColor(0xff, 0xff, 0xff), QColor(0x1d, 0x7f, 0xc4),
                                  QColor(0xff, 0xd1, 0x66)};
    for (int s = 0; s < 4; ++s) {
        p.setBrush(ballColours[s]);
        p.drawPie(QRectF(ball.x() - br, ball.y() - br, 2 * br, 2 * br), s * 90 * 16 + 20 * 16, 90 * 16);
    }
    QRadialGradient shine(ball - QPointF(br * 0.35, br * 0.35), br * 1.3);
    shine.setColorAt(0, QColor(255, 255, 255, 120));
    shine.setColorAt(1, QColor(0, 0, 0, 60));
    p.setBrush(shine);
    p.drawEllipse(ball, br, br);
    p.end();

    caption(image, QStringLiteral("beach day.jpg · %1 × %2").arg(size.width()).arg(size.height()));
    return finish(image);
}

QImage Scenery::shapes(QSize size)
{
    QImage image = canvas(size);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    const double w = size.width();
    const double h = size.height();
    p.scale(w / 200.0, h / 150.0);

    QLinearGradient back(0, 0, 200, 150);
    back.setColorAt(0, QColor(0xfe, 0xf6, 0xe4));
    back.setColorAt(1, QColor(0xcf, 0xe6, 0xfb));
    p.fillRect(QRectF(0, 0, 200, 150), back);

    const auto withShadow = [&p](const QPainterPath& path, const QColor& fill) {
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(30, 40, 70, 55));
        p.drawPath(path.translated(3, 4));
        QLinearGradient g(path.boundingRect().topLeft(), path.boundingRect().bottomRight());
        g.setColorAt(0, fill.lighter(125));
        g.setColorAt(1, fill.darker(115));
        p.setBrush(g);
        p.setPen(QPen(fill.darker(150), 1.5));
        p.drawPath(path);
    };

    QPainterPath circle;
    circle.addEllipse(QPointF(48, 52), 30, 30);
    withShadow(circle, QColor(0xe6, 0x39, 0x46));
    QPainterPath square;
    square.addRoundedRect(QRectF(96, 20, 56, 56), 10, 10);
    withShadow(square, QColor(0x1d, 0x7f, 0xc4));
    QPainterPath triangle;
    triangle.moveTo(40, 96);
    triangle.lineTo(74, 138);
    triangle.lineTo(6, 138);
    triangle.closeSubpath();
    withShadow(triangle, QColor(0x2a, 0x9d, 0x8f));
    QPainterPath star;
    for (int i = 0; i < 10; ++i) {
        const double r = i % 2 ? 12.0 : 28.0;
        const double a = -std::numbers::pi / 2 + i * std::numbers::pi / 5;
        const QPointF pt(118 + r * std::cos(a), 108 + r * std::sin(a));
        if (i == 0)
            star.moveTo(pt);
        else
            star.lineTo(pt);
    }
    star.closeSubpath();
    withShadow(star, QColor(0xf4, 0xb9, 0x42));

    p.setPen(QColor(0x1d, 0x35, 0x57));
    p.setFont(font(QStringLiteral("DejaVu Sans"), 22, true));
    p.drawText(QRectF(150, 110, 46, 36), Qt::AlignRight | Qt::AlignBottom, QStringLiteral("GIF"));
    p.setFont(font(QStringLiteral("DejaVu Sans"), 9));
    p.drawText(QRectF(150, 96, 46, 16), Qt::AlignRight | Qt::AlignBottom, QStringLiteral("small.gif"));
    p.end();
    return finish(image);
}

QImage Scenery::scannedPage(QSize size)
{
    QImage image = canvas(size);
    image.fill(QColor(170, 170, 170));
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    const double w = size.width();
    const double h = size.height();
    // A scanned sheet is never quite straight.
    p.translate(w / 2, h / 2);
    p.rotate(-0.7);
    p.translate(-w / 2, -h / 2);
    const QRectF sheet(w * 0.03, h * 0.02, w * 0.96, h * 1.1);
    p.fillRect(sheet, QColor(246, 245, 240));

    const double margin = w * 0.08;
    const QRectF text(sheet.left() + margin, sheet.top() + h * 0.06, sheet.width() - 2 * margin, h);
    p.setPen(QColor(30, 30, 30));
    p.setFont(font(QStringLiteral("DejaVu Serif"), std::max(12, int(h * 0.06)), true));
    const QFontMetricsF titleMetrics(p.font());
    p.drawText(text, Qt::AlignLeft | Qt::AlignTop, QStringLiteral("Field notes, page 3"));
    double y = text.top() + titleMetrics.height() * 1.3;
    p.setPen(QPen(QColor(60, 60, 60), 1));
    p.drawLine(QPointF(text.left(), y - titleMetrics.height() * 0.2), QPointF(text.right(), y - titleMetrics.height() * 0.2));

    const double chartWidth = text.width() * 0.34;
    const QRectF body(text.left(), y, text.width() - chartWidth - margin * 0.4, h);
    p.setFont(font(QStringLiteral("DejaVu Serif"), std::max(9, int(h * 0.036))));
    p.setPen(QColor(45, 45, 45));
    const QString paragraph = QStringLiteral(
        "The tide came in an hour later than the tables said. We counted forty-two boats in the "
        "harbour before noon, most of them small sailing dinghies, and noted the wind turning "
        "from west to south-west as the afternoon went on.\n\n"
        "The chart on the right shows the boats counted each hour. The dip at two o'clock is "
        "the lunch break, not a change in the weather.");
    QRectF used;
    p.drawText(body, Qt::TextWordWrap | Qt::AlignLeft | Qt::AlignTop, paragraph, &used);

    const QRectF chart(body.right() + margin * 0.4, y + h * 0.02, chartWidth, h * 0.42);
    p.setPen(QPen(QColor(40, 40, 40), 1.2));
    p.setBrush(Qt::NoBrush);
    p.drawRect(chart);
    const int counts[] = {12, 19, 27, 33, 21, 38, 42};
    const double barWidth = chart.width() / 7.0;
    p.setPen(Qt::NoPen);
    for (int i = 0; i < 7; ++i) {
        const double bh = chart.height() * 0.85 * counts[i] / 42.0;
        p.setBrush(QColor(90 + 12 * i, 90 + 12 * i, 90 + 12 * i));
        p.drawRect(QRectF(chart.left() + i * barWidth + barWidth * 0.18, chart.bottom() - bh, barWidth * 0.64, bh));
    }
    p.setPen(QColor(50, 50, 50));
    p.setFont(font(QStringLiteral("DejaVu Sans"), std::max(8, int(h * 0.03))));
    p.drawText(QRectF(chart.left(), chart.bottom() + 2, chart.width(), h * 0.06), Qt::AlignHCenter | Qt::AlignTop,
               QStringLiteral("boats per hour"));

    p.setFont(font(QStringLiteral("DejaVu Serif"), std::max(9, int(h * 0.036)), false));
    p.setPen(QColor(45, 45, 45));
    const double below = std::max(used.bottom(), chart.bottom() + h * 0.08) + h * 0.04;
    p.drawText(QRectF(text.left(), below, text.width(), h * 0.3), Qt::TextWordWrap | Qt::AlignLeft | Qt::AlignTop,
               QStringLiteral("Next visit: bring the long lens and a dry bag for the notebook. The lighthouse "
                              "keeper says the evening light is best in late summer."));
    p.drawText(QRectF(sheet.left(), h * 0.9, sheet.width(), h * 0.06), Qt::AlignHCenter | Qt::AlignTop,
               QStringLiteral("\u2013 3 \u2013"));
    p.end();

    // Scanner grain.
    QImage out = image.convertToFormat(QImage::Format_RGB32);
    Scatter grain(17);
    for (int yy = 0; yy < out.height(); ++yy) {
        auto* line = reinterpret_cast<QRgb*>(out.scanLine(yy));
        for (int x = 0; x < out.width(); ++x) {
            const int g = std::clamp(qGray(line[x]) + int(grain.between(-4.0, 4.0)), 0, 255);
            line[x] = qRgb(g, g, g);
        }
    }
    return out;
}

QImage Scenery::landscapeIcon(int size)
{
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    const double s = size;
    const double border = std::max(1.0, s / 24.0);
    const QRectF frame(border / 2, border / 2 + s * 0.06, s - border, s * 0.88 - border);
    const double radius = s * 0.14;

    QPainterPath clip;
    clip.addRoundedRect(frame, radius, radius);
    p.save();
    p.setClipPath(clip);
    QLinearGradient sky(0, frame.top(), 0, frame.bottom());
    sky.setColorAt(0, QColor(0x3d, 0x9b, 0xe0));
    sky.setColorAt(1, QColor(0xc3, 0xe7, 0xfa));
    p.fillRect(frame, sky);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0xff, 0xc8, 0x3d));
    p.drawEllipse(QPointF(s * 0.7, s * 0.33), s * 0.12, s * 0.12);
    QPainterPath back;
    back.moveTo(0, s);
    back.lineTo(0, s * 0.62);
    back.quadTo(s * 0.3, s * 0.4, s * 0.62, s * 0.66);
    back.lineTo(s, s * 0.56);
    back.lineTo(s, s);
    back.closeSubpath();
    p.setBrush(QColor(0x5c, 0xae, 0x5a));
    p.drawPath(back);
    QPainterPath front;
    front.moveTo(0, s);
    front.lineTo(0, s * 0.8);
    front.quadTo(s * 0.55, s * 0.6, s, s * 0.78);
    front.lineTo(s, s);
    front.closeSubpath();
    p.setBrush(QColor(0x2f, 0x7d, 0x3a));
    p.drawPath(front);
    p.restore();
    p.setPen(QPen(QColor(0x1d, 0x3e, 0x6e), border));
    p.setBrush(Qt::NoBrush);
    p.drawRoundedRect(frame, radius, radius);
    p.end();
    return image;
}

QImage Scenery::arrowPointer(int size)
{
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(size / 32.0, size / 32.0);
    QPainterPath arrow;
    arrow.moveTo(1.5, 1.5);
    arrow.lineTo(1.5, 23);
    arrow.lineTo(6.5, 18);
    arrow.lineTo(10.5, 27);
    arrow.lineTo(14, 25.5);
    arrow.lineTo(10, 16.5);
    arrow.lineTo(17, 16.5);
    arrow.closeSubpath();
    p.setPen(QPen(QColor(0, 0, 0, 70), 3, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawPath(arrow.translated(1, 1));
    p.setPen(QPen(Qt::black, 1.2, Qt::SolidLine, Qt::RoundCap, Qt::MiterJoin));
    p.setBrush(Qt::white);
    p.drawPath(arrow);
    p.end();
    return image;
}

} // namespace orv
