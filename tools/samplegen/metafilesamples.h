#pragma once

#include <QByteArray>

namespace orv {

// The metafile samples, drawn the way drawing programs export their pictures. Where
// things sit is part of the contract: tests/pictures/metafile_test.cpp checks colours there.
class MetafileSamples
{
public:
    // drawing.wmf: a placeable WMF of 4536 × 3402 twips (8 × 6 cm) on a cream background: a sky
    // panel with sun, star and hills, a pie, a hatched chord, an arc, a dashed line, a 24-bit
    // photo (STRETCHDIB) and text in a serif and a sans-serif font.
    static QByteArray drawing();
    // chart.emf: an EMF of 10 × 7 cm (logical units of 0.01 mm) with axes, grid, four bars,
    // a trend polyline, a bezier path, labels, rotated text and a logo (STRETCHDIBITS).
    static QByteArray chart();
    // diagram.emf: an EMF of 8 × 5 cm whose drawing is in EMF+ records (three rounded boxes
    // with gradients and labels, arrows between them, a glowing dot), with the plain EMF records
    // beside it that programs without EMF+ draw: boxes in flat colours.
    static QByteArray diagram();
};

} // namespace orv
