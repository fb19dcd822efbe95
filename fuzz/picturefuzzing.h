#pragma once

#include <QByteArray>
#include <QString>

// What each picture fuzz target does with one input, shared with the tests that replay the
// committed corpus. Each returns an empty string when everything held, or what went wrong; a
// crash, a sanitizer report or a hang is found by running it at all.
namespace orv::fuzzing {

// What one metafile input cost, summed over the parts rendered.
struct MetafileCost {
    double work = 0;         // painted on the parts
    double counted = 0;      // painted on the whole picture, as the budget counts it
    double rasterised = 0;   // length of the edges handed to the painter
    double dashPeriods = 0;  // dash periods strokes were cut into
    qint64 bitmapPixels = 0;
    qint64 records = 0;
};

// The render budget a metafile check uses: the program's own, or a 64th of it for fuzzing (and
// the work at most 64 megapixels), where inputs the program's budget allows seconds for would
// leave time for few others.
enum class MetafileBudget { Program, Fuzzing };

// Opens a WMF or EMF at 96 dpi and renders two parts of it (the top-left 256 × 256 pixels and
// 96 × 96 in the middle): a refusal comes with a reason; both parts agree on the error and on
// the record they stopped at, come out at their size and stay within the render budget.
QString checkMetafile(const QByteArray& bytes, MetafileCost* cost = nullptr,
                      MetafileBudget budget = MetafileBudget::Program);

// A device-independent bitmap as metafiles embed and decode it (a bitmap file's 14-byte header,
// when there is one, skipped), within a screen-sized picture's budget: what it claims matches
// what it decodes to, with or without alpha; its colour table is read as colours or as palette
// indices by the last byte's lowest bit.
QString checkDib(const QByteArray& bytes);

// A picture file through the loader, its kind told by its first bytes (bitmap, icon, cursor,
// GIF, JPEG): a refusal comes with a reason, a picture within the pixel limit and with the
// HIMETRIC size of its pixels, a JPEG finished in the background as much as in the foreground.
QString checkPictureFile(const QByteArray& bytes);

} // namespace orv::fuzzing
