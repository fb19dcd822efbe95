#include "gdicanvas.h"

#include "gdigeometry.h"
#include "pictures/core/codepages.h"

#include <QFontMetricsF>

#include <cmath>
#include <numbers>

namespace orv {

using namespace gdi;

namespace {

// The nearest font we have to what the metafile names: its face when installed, else a
// generic family guessed from its pitch and family bits or its name.
QFont fontFor(const GdiFont& f, double emPixels)
{
    const QString face = f.face.toLower();
    const int family = f.pitchAndFamily >> 4;
    const bool fixedPitch = (f.pitchAndFamily & 3) == 1;
    QFont::StyleHint hint = QFont::SansSerif;
    QString generic = QStringLiteral("sans-serif");
    auto serif = [&] {
        hint = QFont::Serif;
        generic = QStringLiteral("serif");
    };
    auto mono = [&] {
        hint = QFont::Monospace;
        generic = QStringLiteral("monospace");
    };
    if (family == 1)
        serif();
    else if (family == 3 || fixedPitch)
        mono();
    else if (family == 4) {
        hint = QFont::Cursive;
        generic = QStringLiteral("cursive");
    } else if (family == 0) {
        if (face.contains(QLatin1String("courier")) || face.contains(QLatin1String("mono")) || face.contains(QLatin1String("consol")))
            mono();
        else if (!face.contains(QLatin1String("sans"))
                 && (face.contains(QLatin1String("times")) || face.contains(QLatin1String("roman"))
                     || face.contains(QLatin1String("serif")) || face.contains(QLatin1String("georgia"))
                     || face.contains(QLatin1String("garamond")) || face.contains(QLatin1String("book"))))
            serif();
    }
    QStringList families;
    if (!f.face.isEmpty() && face != QLatin1String("symbol"))
        families.append(f.face);
    families.append(generic);
    QFont font;
    font.setFamilies(families);
    font.setStyleHint(hint);
    font.setPixelSize(std::max(1, int(std::lround(emPixels))));
    font.setWeight(QFont::Weight(f.weight <= 0 ? 400 : std::clamp(f.weight, 1, 1000)));
    font.setItalic(f.italic);
    font.setUnderline(f.underline);
    font.setStrikeOut(f.strikeOut);
    return font;
}

} // namespace

void GdiCanvas::textOut(QPointF reference, const QString& textIn, const QList<QPointF>& advances, quint32 options,
                        const std::optional<QRectF>& box)
{
    const QTransform m = logicalToImage();
    if (!usable(m))
        return;
    std::optional<QPainterPath> clipPath;
    if (box && !m_inPath) {
        QPainterPath r;
        r.addRect(box->normalized());
        const QPainterPath mapped = m.map(r);
        if (options & ETO_OPAQUE)
            fillImagePath(mapped, QBrush(m_state.bkColour), RasterOp());
        if (options & ETO_CLIPPED)
            clipPath = mapped;
    }
    if (textIn.isEmpty())
        return;

    const GdiFont& f = m_state.font;
    QString text = textIn;
    if (f.face.compare(QLatin1String("symbol"), Qt::CaseInsensitive) == 0) {
        for (QChar& c : text)
            c = symbolFontChar(c.unicode());
    }

    const double xScale = std::hypot(m.m11(), m.m12());
    const double yScale = std::hypot(m.m21(), m.m22());
    double em = f.height == 0 ? deviceUnitsPerInch().height() / 6 * std::hypot(deviceToImage().m21(), deviceToImage().m22())
                              : std::abs(double(f.height)) * yScale;
    if (!(em >= 0.5) || !std::isfinite(em))
        return;
    // A glyph many times the picture's size shows nothing but costs seconds to rasterise.
    em = std::min({em, 4.0 * std::max(imageRect().width(), imageRect().height()), 20000.0});
    if (f.height > 0) {
        // A positive height is the whole cell, ascent plus descent.
        const QFontMetricsF probe(fontFor(f, 256));
        const double cell = probe.ascent() + probe.descent();
        if (cell > 0)
            em *= 256 / cell;
    }
    QFont font = fontFor(f, em);
    if (f.width != 0) {
        const double natural = QFontMetricsF(font).averageCharWidth();
        const double wanted = std::abs(double(f.width)) * xScale;
        if (natural > 0 && std::isfinite(wanted))
            font.setStretch(std::clamp(int(std::lround(100 * wanted / natural)), 1, 4000));
    }
    const QFontMetricsF metrics(font);

    // Layout along the baseline in picture pixels, x to the right, y down.
    QList<QPointF> positions;
    double width = 0;
    if (!advances.isEmpty()) {
        positions.reserve(text.size());
        double x = 0;
        double y = 0;
        const double ySign = m.m22() >= 0 ? 1 : -1;
        for (qsizetype i = 0; i < text.size(); ++i) {
            positions.append(QPointF(x, std::clamp(y, -1e6, 1e6)));
            const QPointF a = i < advances.size() ? advances[i] : QPointF();
            x += a.x() * xScale;
            y += a.y() * yScale * ySign;
        }
        width = x;
    } else {
        const double extra = m_state.textCharExtra * xScale;
        if (extra != 0 && std::isfinite(extra))
            font.setLetterSpacing(QFont::AbsoluteSpacing, std::clamp(extra, -1e4, 1e4));
        width = QFontMetricsF(font).horizontalAdvance(text);
    }
    if (!std::isfinite(width))
        return;

    const quint32 align = m_state.textAlign;
    double x0 = 0;
    if ((align & TA_HORIZONTAL_MASK) == TA_CENTER)
        x0 = -width / 2;
    else if ((align & TA_HORIZONTAL_MASK) == TA_RIGHT)
        x0 = -width;
    double baseline = metrics.ascent();
    if ((align & TA_VERTICAL_MASK) == TA_BASELINE)
        baseline = 0;
    else if ((align & TA_VERTICAL_MASK) == TA_BOTTOM)
        baseline = -metrics.descent();

    const bool updateCp = align & TA_UPDATECP;
    const QPointF origin = m.map(updateCp ? m_state.position : reference);
    double angle = -double(f.escapement) / 10;
    if (advancedGraphics())
        angle += std::atan2(m.m12(), m.m11()) * 180 / std::numbers::pi;
    // Text positions end up in the font engine's fixed point, which holds a few million pixels.
    constexpr double textLimit = 4e6;
    if (!std::isfinite(angle) || !(std::abs(origin.x()) < textLimit) || !(std::abs(origin.y()) < textLimit)
        || !(std::abs(width) < textLimit))
        return;
    QTransform local;
    local.translate(origin.x(), origin.y());
    local.rotate(angle);

    if (updateCp && (align & TA_HORIZONTAL_MASK) != TA_CENTER) {
        const double logicalWidth = width / xScale * (m.m11() >= 0 ? 1 : -1);
        m_state.position.rx() += (align & TA_HORIZONTAL_MASK) == TA_RIGHT ? -logicalWidth : logicalWidth;
    }

    const auto outlines = [&] {
        QPainterPath glyphs;
        if (positions.isEmpty()) {
            glyphs.addText(QPointF(x0, baseline), font, text);
        } else {
            for (qsizetype i = 0; i < text.size(); ++i)
                glyphs.addText(positions[i] + QPointF(x0, baseline), font, QString(text[i]));
        }
        return local.map(glyphs);
    };
    if (m_inPath) {
        addToPath(outlines(), true);
        return;
    }

    if (!charge(local.mapRect(QRectF(x0, baseline - metrics.ascent(), width, metrics.ascent() + metrics.descent()))))
        return;
    applyClip();
    m_painter.save();
    if (clipPath)
        m_painter.setClipPath(*clipPath, Qt::IntersectClip);
    m_painter.setTransform(local * m_toSurface);
    m_painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
    m_painter.setRenderHint(QPainter::Antialiasing);
    if (m_state.opaqueBackground && !(options & ETO_OPAQUE))
        m_painter.fillRect(QRectF(x0, baseline - metrics.ascent(), width, metrics.ascent() + metrics.descent()), m_state.bkColour);
    // The painter keeps a bitmap of every glyph it draws at its full size, always for a colour
    // font: at a few thousand pixels a glyph that is gigabytes. Large glyphs go as outlines.
    constexpr double kLargestGlyphBitmap = 1024;
    if (em * std::max(1.0, font.stretch() / 100.0) > kLargestGlyphBitmap) {
        m_painter.setTransform(m_toSurface);
        drawWithinReach(outlines(), QBrush(m_state.textColour), QPen(Qt::NoPen), true);
        m_painter.restore();
        return;
    }
    m_painter.setFont(font);
    m_painter.setPen(m_state.textColour);
    if (positions.isEmpty()) {
        m_painter.drawText(QPointF(x0, baseline), text);
    } else {
        for (qsizetype i = 0; i < text.size(); ++i) {
            // A surrogate pair is one character drawn at its first unit's position.
            if (text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
                m_painter.drawText(positions[i] + QPointF(x0, baseline), text.mid(i, 2));
                ++i;
            } else {
                m_painter.drawText(positions[i] + QPointF(x0, baseline), QString(text[i]));
            }
        }
    }
    m_painter.restore();
}

} // namespace orv
