#include "renderbudget.h"

#include <algorithm>

namespace orv {

namespace {

constexpr qint64 kMegapixel = 1024 * 1024;

} // namespace

RenderBudget::Limits RenderBudget::limitsFor(QSize picture, qint64 fileBytes)
{
    const qint64 area = std::max<qint64>(qint64(std::max(picture.width(), 0)) * std::max(picture.height(), 0), 1);
    const qint64 bytes = std::max<qint64>(fileBytes, 0);
    Limits l;
    l.work = 1024.0 * double(std::max(area, kMegapixel)) + 256.0 * double(bytes);
    l.freeBitmapPixels = std::clamp(4 * area, 4 * kMegapixel, 16 * kMegapixel);
    l.bitmapPixels = 16 * kMegapixel + 4 * std::min(area, 4 * kMegapixel) + 8 * bytes;
    return l;
}

RenderBudget::RenderBudget(const Limits& limits, const std::atomic<bool>* cancel)
    : m_limits(limits)
    , m_cancel(cancel)
{
}

bool RenderBudget::nextRecord()
{
    if (stopped() || !walk(1))
        return false;
    ++m_records;
    return true;
}

bool RenderBudget::walk(qint64 records)
{
    if (m_stopped)
        return false;
    const double work = kRecordWork * double(std::max<qint64>(records, 0));
    if (work > m_limits.work - m_work) {
        m_stopped = true;
        return false;
    }
    m_work += work;
    m_surfaceWork += work;
    return true;
}

bool RenderBudget::paint(double pixels, double onSurface)
{
    if (m_stopped)
        return false;
    if (!(pixels > 0))
        return true;
    if (m_work + pixels > m_limits.work) {
        m_stopped = true;
        return false;
    }
    m_work += pixels;
    m_surfaceWork += std::max(onSurface, 0.0);
    return true;
}

bool RenderBudget::dash(double periods)
{
    if (!(periods >= 0) || periods > kDashPeriods - m_dashPeriods)
        return false;
    m_dashPeriods += periods;
    return true;
}

bool RenderBudget::bitmap(qint64 pixels, qint64 bytes, bool compressed)
{
    if (m_stopped)
        return false;
    if (pixels <= 0)
        return true;
    if (compressed && pixels > m_limits.freeBitmapPixels && pixels / kPixelsPerCompressedByte > std::max<qint64>(bytes, 0)) {
        ++m_bitmapsLeftOut;
        return false;
    }
    if (pixels > m_limits.bitmapPixels - m_bitmapPixels) {
        m_stopped = true;
        return false;
    }
    m_bitmapPixels += pixels;
    return true;
}

DibReader::Result decodeWithin(RenderBudget& budget, bool shown, ByteReader info, ByteReader bits, bool paletteIndices,
                               const QList<QRgb>& palette, bool keepAlpha, quint32 startScan, quint32 scanCount)
{
    const std::optional<DibReader::Claim> claim = DibReader::claim(info, bits, startScan, scanCount);
    if (!claim || !budget.bitmap(claim->pixels, bits.size(), claim->compressed) || !shown)
        return {};
    if (scanCount)
        return DibReader::decodeBand(info, bits, paletteIndices, palette, startScan, scanCount);
    return DibReader::decode(info, bits, paletteIndices, palette, keepAlpha);
}

DibReader::Result decodePackedWithin(RenderBudget& budget, bool shown, ByteReader packed, bool paletteIndices,
                                     const QList<QRgb>& palette)
{
    const qint64 size = DibReader::infoSize(packed, paletteIndices);
    if (size < 0)
        return {};
    return decodeWithin(budget, shown, packed.range(0, size), packed.range(size, packed.size() - size), paletteIndices,
                        palette);
}

} // namespace orv
