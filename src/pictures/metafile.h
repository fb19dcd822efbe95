#pragma once

#include <QByteArray>
#include <QImage>
#include <QSize>
#include <QString>

namespace orv {

// A Windows metafile (WMF, placeable or not) or an enhanced metafile (EMF) drawn by our own
// renderer onto a QImage at its natural size for the given screen DPI.
struct RenderedMetafile {
    QImage image;       // white background; null on failure
    QSize himetric;     // natural size in hundredths of a millimetre
    QString error;      // why it failed, empty on success
};

// True when the bytes start like a WMF (placeable or plain) or an EMF.
bool looksLikeMetafile(const QByteArray& head);

// Never throws and never crashes on bad input; sizes beyond maxPixels (width × height) are
// refused with an error instead of allocated.
RenderedMetafile renderMetafile(const QByteArray& data, double dpiX, double dpiY,
                                qint64 maxPixels = 256LL * 1024 * 1024);

} // namespace orv
