#pragma once

#include <QString>

namespace orv {

// The seed files of the picture fuzz targets (fuzz/), which the tests replay: small metafiles
// using every kind of record, bitmaps of every depth and compression, icons, cursors, GIFs and
// JPEGs, and inputs found slow or harmful, marked ".slow." when they must stay within a fixed
// rendering budget. Written by orvane-samplegen --picture-corpus <folder>.
class PictureCorpus
{
public:
    // False when a file cannot be written.
    static bool write(const QString& folder);
};

} // namespace orv
