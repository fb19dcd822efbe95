#include "gdicanvas.h"

#include "fontmatch.h"
#include "gdigeometry.h"
#include "pictures/core/codepages.h"

#include <QFontMetricsF>

#include <cmath>
#include <numbers>

namespace orv {

using namespace gdi;

namespace {

// The nearest font we have to what the metafile names: its face or fontconfig's substitute
// for it when installed, else a generic family guessed from its pitch and family bits or its
// name. Symbol fonts are drawn as the Unicode characters they show, in a generic family; the
// font machinery finds the glyphs it lacks in another installed font.
QFont fontFor(const GdiFont& f, double emPixels, SymbolFont symbols)
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
    if (symbols == SymbolFont::Symbol || symbols == SymbolFont::MtExtra) {
        serif();
    } else if (symbols == SymbolFont::Wingdings) {
        // Pictographs are found in sans-serif families.
    } else if (family == 1) {
        serif();
    } else if (family == 3 || fixedPitch) {
        mono();
    } else if (family == 4) {
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
    // A mapped symbol font's own glyphs sit at other codes than the characters drawn.
    const bool mapped = symbols == SymbolFont::Symbol || symbols == SymbolFont::Wingdings || symbols == SymbolFont::MtExtra;
    if (!f.face.isEmpty() && !mapped) {
        const QString installed = installedFamily(f.face);
        if (!installed.isEmpty())
            families.append(installed);
    }
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

// Letters that take their shape or their order from their neighbours: right-to-left lines,
// joined scripts, combining marks. Drawn one by one at their advances they would come out
// isolated and in the wrong order.
bool needsShaping(const QString& text)
{
    for (const char32_t u : text.toUcs4()) {
        switch (QChar::direction(u)) {
        case QChar::DirR: case QChar::DirAL: case QChar::DirAN: case QChar::DirRLE: case QChar::DirRLO: case QChar::DirRLI:
            return true;
        default:
            break;
        }
        switch (QChar::script(u)) {
        case QChar::Script_Common: case QChar::Script_Latin: case QChar::Script_Greek: case QChar::Script_Cyrillic:
        case QChar::Script_Armenian: case QChar::Script_Georgian: case QChar::Script_Han: case QChar::Script_Hiragana:
        case QChar::Script_Katakana: case QChar::Script_Hangul: case QChar::Script_Bopomofo: case QChar::Script_Unknown:
            break;
        default:
            return true;
        }
    }
    return false;
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
    const SymbolFont symbols = symbolFontFor(f.face, f.charset);
    // What each unit of the text draws: a surrogate pair is one character at its first unit's
    // place, and a symbol font's codes become the characters they show.
    QStringList pieces;
    pieces.reserve(textIn.size());
    for (qsizetype i = 0; i < textIn.size(); ++i) {
        if (textIn[i].isHighSurrogate() && i + 1 < textIn.size() && textIn[i + 1].isLowSurrogate()) {
            pieces.append(textIn.mid(i, 2));
            pieces.append(QString());
            ++i;
        } else {
            pieces.append(symbols == SymbolFont::None ? QString(textIn[i]) : symbolChar(textIn[i].unicode(), symbols));
        }
    }
    const QString text = pieces.join(QString());
    // Text that needs shaping or reordering is laid out as a whole; its advances give its width.
    const bool oneByOne = !advances.isEmpty() && !needsShaping(text);

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
        const QFontMetricsF probe(fontFor(f, 256, symbols));
        const double cell = probe.ascent() + probe.descent();
        if (cell > 0)
            em *= 256 / cell;
    }
    QFont font = fontFor(f, em, symbols);
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
        positions.reserve(pieces.size());
        double x = 0;
        double y = 0;
        for (qsizetype i = 0; i < pieces.size(); ++i) {
            positions.append(QPointF(x, std::clamp(y, -1e6, 1e6)));
            const QPointF a = i < advances.size() ? advances[i] : QPointF();
            x += a.x() * xScale;
            // Vertical advances count upwards along the line, as a font's do.
            y -= a.y() * yScale;
        }
        width = x;
        if (!oneByOne) {
            // The whole line in the width its advances give it.
            const double natural = QFontMetricsF(font).horizontalAdvance(text);
            if (natural > 0 && std::isfinite(width) && std::abs(width) > 0 && std::abs(std::abs(width) / natural - 1) > 0.02) {
                const int stretch = font.stretch() > 0 ? font.stretch() : 100;
                font.setStretch(std::clamp(int(std::lround(stretch * std::abs(width) / natural)), 25, 4000));
            }
            positions.clear();
        }
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
    // The escapement turns the baseline counter-clockwise as seen in logical space: a mapping
    // that turns y up turns it the other way on the picture, as charts' upward axis titles
    // written with 2700 in such a mapping show.
    const double theta = double(f.escapement) / 10 * std::numbers::pi / 180;
    const double dirX = std::cos(theta) * m.m11() - std::sin(theta) * m.m21();
    const double dirY = std::cos(theta) * m.m12() - std::sin(theta) * m.m22();
    double angle = std::atan2(dirY, dirX) * 180 / std::numbers::pi;
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
            for (qsizetype i = 0; i < pieces.size(); ++i)
                glyphs.addText(positions[i] + QPointF(x0, baseline), font, pieces[i]);
        }
        return local.map(glyphs);
    };
    if (m_inPath) {
        addToPath(outlines(), true);
        return;
    }

    if (m_suppressed || !charge(local.mapRect(QRectF(x0, baseline - metrics.ascent(), width, metrics.ascent() + metrics.descent()))))
        return;
    applyClip();
    m_painter.save();
    if (clipPath)
        m_painter.setClipPath(*clipPath, Qt::IntersectClip);
    m_painter.setTransform(local * m_toSurface);
    m_painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
    m_painter.setRenderHint(QPainter::Antialiasing);
    // The character cells' background is filled here when the mode asks for it; the painter's
    // own opaque mode, left over from a hatched fill, would paint every glyph as a solid block.
    m_painter.setBackgroundMode(Qt::TransparentMode);
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
        for (qsizetype i = 0; i < pieces.size(); ++i) {
            if (!pieces[i].isEmpty())
                m_painter.drawText(positions[i] + QPointF(x0, baseline), pieces[i]);
        }
    }
    m_painter.restore();
}

} // namespace orv
