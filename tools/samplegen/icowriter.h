#pragma once

#include <QByteArray>
#include <QImage>
#include <QList>
#include <QPoint>

namespace orv {

// Windows icon (.ico) and cursor (.cur) files: one directory, then one picture per size.
// Pictures are stored as 32-bit BMP with an AND mask (what every reader knows) or as PNG
// (what large sizes use). Sizes run from 1 to 256 pixels a side.
class IcoWriter
{
public:
    enum class Kind { Icon = 1, Cursor = 2 };
    enum class Payload { Bmp, Png };

    struct Entry
    {
        QImage image;
        QPoint hotspot;                 // cursors only: the pixel that points
        Payload payload = Payload::Bmp;
    };

    // Returns the whole file, or an empty array when there is no entry, more than 255 of them,
    // or a picture is null or larger than 256 pixels a side.
    static QByteArray encode(const QList<Entry>& entries, Kind kind);
};

} // namespace orv
