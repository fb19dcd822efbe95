#pragma once

#include <QString>

namespace orv {

// The font description both metafile writers record (a LOGFONT). Heights follow GDI: negative
// for the character height, positive for the whole cell, in logical units.
struct LogFont
{
    int height = -12;
    int width = 0;
    int escapement = 0;      // tenths of a degree, counter-clockwise
    int weight = 400;        // 700 is bold
    bool italic = false;
    bool underline = false;
    quint8 charset = 0;      // ANSI
    quint8 pitchAndFamily = 0;
    QString face;
};

} // namespace orv
