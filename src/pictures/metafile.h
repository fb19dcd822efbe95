#pragma once

#include "pictures/core/wmffile.h"
#include "pictures/metafile/renderbudget.h"

#include <QByteArray>
#include <QImage>
#include <QRect>
#include <QSize>
#include <QString>

#include <atomic>
#include <memory>
#include <optional>
#include <stop_token>

namespace orv {

// What one render cost, counted: for tests and benchmarks.
struct RenderCost {
    double work = 0;          // pixels painted, of the whole picture: what the budget counts
    double surfaceWork = 0;   // pixels painted on the part rendered
    double rasterised = 0;    // length of the edges handed to the painter
    double dashPeriods = 0;   // dash periods strokes were cut into
    qint64 bitmapPixels = 0;  // pixels of bitmaps decoded
    qint64 records = 0;       // records played
    int bitmapsLeftOut = 0;   // compressed bitmaps claiming more than they could hold
    bool stopped = false;     // the budget ended the render before the end record
};

// A Windows metafile (WMF, placeable or not) or an enhanced metafile (EMF): its headers read
// once, its records drawn by our own renderer whenever a part of the picture is wanted, at
// natural size for the DPI it was opened with. Any part renders alike on any thread, within a
// budget that depends on the whole picture and the file only (RenderBudget).
class MetafileDocument {
public:
    // Null, with *error saying why, when the bytes are not a metafile we can size. A plain WMF
    // is sized by walking all its records, once: that walk gives up once stop is requested.
    static std::shared_ptr<const MetafileDocument> open(const QByteArray& data, double dpiX, double dpiY,
                                                        QString* error, std::stop_token stop = {});
    // True when open() walks every record to size the picture (a plain WMF), false when the
    // headers tell (a placeable WMF, an EMF) or the bytes are no metafile.
    static bool sizedByRecords(const QByteArray& head);

    // Natural size in pixels, and in hundredths of a millimetre.
    QSize size() const { return m_size; }
    QSize himetric() const { return m_himetric; }
    qint64 bytes() const { return m_data.size(); }

    struct Part {
        QImage image;  // the part on white; null on failure
        QString error; // a record the players refuse: the file is unusable
        RenderCost cost;
    };
    // Renders part (picture pixels, cut to the picture). cancel ends it at the next record.
    Part render(const QRect& part, const std::atomic<bool>* cancel = nullptr) const;
    // The same within other limits than the picture's own (RenderBudget::limitsFor): fuzzing
    // renders within far less, to try many more inputs.
    Part render(const QRect& part, const RenderBudget::Limits& limits, const std::atomic<bool>* cancel = nullptr) const;

private:
    MetafileDocument(const QByteArray& data, double dpiX, double dpiY);

    QByteArray m_data;
    std::optional<WmfFile::Framing> m_wmfFraming;   // what opening a WMF found, for every render
    double m_dpiX = 96;
    double m_dpiY = 96;
    QSize m_size;
    QSize m_himetric;
};

// The whole picture, rendered at once.
struct RenderedMetafile {
    QImage image;       // white background; null on failure
    QSize himetric;     // natural size in hundredths of a millimetre
    QString error;      // why it failed, empty on success
    RenderCost cost;
};

// True when the bytes start like a WMF (placeable or plain) or an EMF.
bool looksLikeMetafile(const QByteArray& head);

// Never throws and never crashes on bad input; sizes beyond maxPixels (width × height) are
// refused with an error instead of allocated.
RenderedMetafile renderMetafile(const QByteArray& data, double dpiX, double dpiY,
                                qint64 maxPixels = 256LL * 1024 * 1024);

} // namespace orv
