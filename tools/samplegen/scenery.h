#pragma once

#include <QImage>
#include <QSize>

namespace orv {

// The pictures inside the sample files, painted from code so every run gives the same pixels.
// Each returns an opaque RGB32 picture of the asked size; captions name the file they go into.
class Scenery
{
public:
    static QImage sunset(QSize size);
    static QImage harbour(QSize size);
    static QImage beach(QSize size);
    static QImage shapes(QSize size);
    static QImage scannedPage(QSize size);
    // A small framed landscape, used for the sample icon at any size from 16 pixels up.
    static QImage landscapeIcon(int size);
    // An arrow pointer whose tip is at (1, 1).
    static QImage arrowPointer(int size);

private:
    // Text in the corner saying what the picture is, readable on light and dark parts.
    static void caption(QImage& image, const QString& text);
};

} // namespace orv
