#pragma once

#include <QByteArray>
#include <QIODevice>

namespace orv {

// True when the bytes start with a JPEG marker.
bool looksLikeJpeg(const QByteArray& head);

// Qt's bitmap reader accepts a file that ends before its pixels and hands back whatever the
// allocation held; an uncompressed bitmap must hold all its rows. Anything that is not an
// uncompressed bitmap file passes: its reader decides. Reads the head without consuming it.
bool bitmapIsComplete(QIODevice& file);

} // namespace orv
