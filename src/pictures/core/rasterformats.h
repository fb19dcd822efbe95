#pragma once

#include <QByteArray>
#include <QIODevice>
#include <QRect>
#include <QSize>

#include <optional>

namespace orv {

// True when the bytes start with a JPEG marker.
bool looksLikeJpeg(const QByteArray& head);

// Qt's bitmap reader accepts a file that ends before its pixels and hands back whatever the
// allocation held; an uncompressed bitmap must hold all its rows. Anything that is not an
// uncompressed bitmap file passes: its reader decides. Reads the head without consuming it.
bool bitmapIsComplete(QIODevice& file);

// Whether the bytes start like a bitmap: a "BM" file header, or the size of an info header
// (OS/2, Windows, V4, V5) as a headerless clipboard-style DIB starts.
bool looksLikeBitmapFile(const QByteArray& head);
bool looksLikeHeaderlessDib(const QByteArray& head);

// A GIF's logical screen and where on it the first frame lies, read from the file's blocks
// without consuming them; nullopt for anything that is not a readable GIF.
struct GifLayout
{
    QSize screen;
    QRect firstFrame;
};
std::optional<GifLayout> gifLayout(QIODevice& file);

} // namespace orv
