#pragma once

#include <QImage>
#include <QString>

#include "pictures/pictureloader.h"

#include <memory>
#include <stop_token>

namespace orv {

// JPEG pictures decoded by libjpeg-turbo straight into the pixels the picture area paints
// (32-bit, no intermediate copy), which is as fast as the library's own command-line decoder.
// EXIF orientation is applied. Errors (corrupt, truncated before any row, too large) give a
// null image and a reason; a file cut short after some rows keeps the rows it has, grey below.
struct DecodedJpeg {
    QImage image;
    QString error;
    // Set when rows past firstRows are still being decoded in the background.
    std::shared_ptr<PictureCompletion> completion;
};

// Decodes the first firstRows rows before returning (all of them when firstRows <= 0) and, for
// a picture with more, hands the rest to a worker thread: the picture area can paint its top
// part at once. Pictures that must be turned (EXIF) are decoded whole. A stop request ends
// the decoding early with an error.
DecodedJpeg decodeJpeg(const QString& path, qint64 maxPixels, int firstRows = 0, std::stop_token stop = {});

} // namespace orv
