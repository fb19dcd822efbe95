#include "colorquantizer.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <unordered_map>
#include <vector>

namespace orv {

namespace {

struct ColorCount
{
    quint32 rgb;
    quint32 count;
};

int channel(quint32 rgb, int c)
{
    return int((rgb >> (16 - 8 * c)) & 0xff);
}

// A run of entries [begin, end) of one median-cut box.
struct Box
{
    std::size_t begin;
    std::size_t end;
    std::array<int, 3> lo {255, 255, 255};
    std::array<int, 3> hi {0, 0, 0};
    quint64 population = 0;

    void measure(const std::vector<ColorCount>& entries)
    {
        lo = {255, 255, 255};
        hi = {0, 0, 0};
        population = 0;
        for (std::size_t i = begin; i < end; ++i) {
            for (int c = 0; c < 3; ++c) {
                lo[c] = std::min(lo[c], channel(entries[i].rgb, c));
                hi[c] = std::max(hi[c], channel(entries[i].rgb, c));
            }
            population += entries[i].count;
        }
    }

    int longestAxis() const
    {
        int axis = 0;
        for (int c = 1; c < 3; ++c) {
            if (hi[c] - lo[c] > hi[axis] - lo[axis])
                axis = c;
        }
        return axis;
    }

    // Wide boxes holding many pixels are split first: that is where the eye sees banding.
    double score() const
    {
        if (end - begin < 2)
            return 0.0;
        const int range = hi[longestAxis()] - lo[longestAxis()];
        return double(range) * std::sqrt(double(population));
    }
};

std::vector<ColorCount> histogram(const QImage& rgb32)
{
    std::vector<quint32> all;
    all.reserve(std::size_t(rgb32.width()) * std::size_t(rgb32.height()));
    for (int y = 0; y < rgb32.height(); ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(rgb32.constScanLine(y));
        for (int x = 0; x < rgb32.width(); ++x)
            all.push_back(line[x] & 0xffffffu);
    }
    std::sort(all.begin(), all.end());
    std::vector<ColorCount> entries;
    for (const quint32 rgb : all) {
        if (!entries.empty() && entries.back().rgb == rgb)
            ++entries.back().count;
        else
            entries.push_back({rgb, 1});
    }
    return entries;
}

QRgb average(const std::vector<ColorCount>& entries, const Box& box)
{
    std::array<quint64, 3> sum {0, 0, 0};
    for (std::size_t i = box.begin; i < box.end; ++i) {
        for (int c = 0; c < 3; ++c)
            sum[c] += quint64(channel(entries[i].rgb, c)) * entries[i].count;
    }
    const quint64 n = std::max<quint64>(box.population, 1);
    return qRgb(int((sum[0] + n / 2) / n), int((sum[1] + n / 2) / n), int((sum[2] + n / 2) / n));
}

// Nearest palette colour, exact colours first, the rest through a lazily filled 6-bit cube.
class NearestColor
{
public:
    explicit NearestColor(const QList<QRgb>& palette)
        : palette_(palette)
        , cube_(std::size_t(1) << 18, -1)
    {
        for (int i = 0; i < palette.size(); ++i)
            exact_.emplace(palette[i] & 0xffffffu, i);
    }

    int find(int r, int g, int b)
    {
        const auto exact = exact_.find(quint32((r << 16) | (g << 8) | b));
        if (exact != exact_.end())
            return exact->second;
        const std::size_t cell = std::size_t(((r >> 2) << 12) | ((g >> 2) << 6) | (b >> 2));
        if (cube_[cell] < 0)
            cube_[cell] = std::int16_t(search((r & ~3) + 2, (g & ~3) + 2, (b & ~3) + 2));
        return cube_[cell];
    }

private:
    int search(int r, int g, int b) const
    {
        int best = 0;
        int bestDistance = INT32_MAX;
        for (int i = 0; i < palette_.size(); ++i) {
            const int dr = qRed(palette_[i]) - r;
            const int dg = qGreen(palette_[i]) - g;
            const int db = qBlue(palette_[i]) - b;
            // Weighted towards green the way the eye is.
            const int distance = 2 * dr * dr + 4 * dg * dg + 3 * db * db;
            if (distance < bestDistance) {
                bestDistance = distance;
                best = i;
            }
        }
        return best;
    }

    QList<QRgb> palette_;
    std::unordered_map<quint32, int> exact_;
    std::vector<std::int16_t> cube_;
};

} // namespace

QList<QRgb> ColorQuantizer::medianCut(const QImage& image, int maxColors)
{
    if (image.isNull() || maxColors < 1)
        return {};
    maxColors = std::min(maxColors, 256);
    std::vector<ColorCount> entries = histogram(image.convertToFormat(QImage::Format_RGB32));

    QList<QRgb> palette;
    if (entries.size() <= std::size_t(maxColors)) {
        for (const ColorCount& entry : entries)
            palette.append(0xff000000u | entry.rgb);
        return palette;
    }

    std::vector<Box> boxes;
    boxes.push_back(Box {0, entries.size()});
    boxes.back().measure(entries);
    while (boxes.size() < std::size_t(maxColors)) {
        std::size_t pick = 0;
        for (std::size_t i = 1; i < boxes.size(); ++i) {
            if (boxes[i].score() > boxes[pick].score())
                pick = i;
        }
        Box box = boxes[pick];
        if (box.score() <= 0.0)
            break;
        const int axis = box.longestAxis();
        std::sort(entries.begin() + std::ptrdiff_t(box.begin), entries.begin() + std::ptrdiff_t(box.end),
                  [axis](const ColorCount& a, const ColorCount& b) {
                      const int ca = channel(a.rgb, axis);
                      const int cb = channel(b.rgb, axis);
                      return ca != cb ? ca < cb : a.rgb < b.rgb;
                  });
        // Split at the weighted median, keeping both halves non-empty.
        quint64 running = 0;
        std::size_t cut = box.begin + 1;
        for (std::size_t i = box.begin; i < box.end - 1; ++i) {
            running += entries[i].count;
            cut = i + 1;
            if (running * 2 >= box.population)
                break;
        }
        Box low {box.begin, cut};
        Box high {cut, box.end};
        low.measure(entries);
        high.measure(entries);
        boxes[pick] = low;
        boxes.push_back(high);
    }

    for (const Box& box : boxes)
        palette.append(average(entries, box));
    return palette;
}

IndexedImage ColorQuantizer::map(const QImage& image, const QList<QRgb>& palette, double ditherStrength)
{
    IndexedImage out;
    if (image.isNull() || palette.isEmpty() || palette.size() > 256)
        return out;
    const QImage src = image.convertToFormat(QImage::Format_RGB32);
    const int w = src.width();
    const int h = src.height();
    out.width = w;
    out.height = h;
    out.palette = palette;
    out.pixels.resize(qsizetype(w) * h);

    const float strength = float(std::clamp(ditherStrength, 0.0, 1.0));
    NearestColor nearest(palette);
    // Error rows carry one pixel of margin at each end so the kernel never leaves the buffer.
    std::vector<std::array<float, 3>> current(std::size_t(w) + 2, {0, 0, 0});
    std::vector<std::array<float, 3>> next(std::size_t(w) + 2, {0, 0, 0});

    for (int y = 0; y < h; ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(src.constScanLine(y));
        const bool leftToRight = (y % 2) == 0;   // serpentine order avoids diagonal streaks
        const int dir = leftToRight ? 1 : -1;
        for (int i = 0; i < w; ++i) {
            const int x = leftToRight ? i : w - 1 - i;
            const std::size_t e = std::size_t(x) + 1;
            std::array<int, 3> want {};
            for (int c = 0; c < 3; ++c) {
                const float value = float(channel(line[x], c)) + current[e][c];
                want[c] = std::clamp(int(std::lround(value)), 0, 255);
            }
            const int index = nearest.find(want[0], want[1], want[2]);
            out.pixels[qsizetype(y) * w + x] = char(index);
            if (strength <= 0.0f)
                continue;
            const QRgb got = palette[index];
            const std::array<int, 3> have {qRed(got), qGreen(got), qBlue(got)};
            for (int c = 0; c < 3; ++c) {
                const float err = float(want[c] - have[c]) * strength;
                current[std::size_t(std::ptrdiff_t(e) + dir)][c] += err * 7.0f / 16.0f;
                next[std::size_t(std::ptrdiff_t(e) - dir)][c] += err * 3.0f / 16.0f;
                next[e][c] += err * 5.0f / 16.0f;
                next[std::size_t(std::ptrdiff_t(e) + dir)][c] += err * 1.0f / 16.0f;
            }
        }
        std::swap(current, next);
        std::fill(next.begin(), next.end(), std::array<float, 3> {0, 0, 0});
    }
    return out;
}

IndexedImage ColorQuantizer::quantize(const QImage& image, int maxColors, double ditherStrength)
{
    if (image.isNull() || maxColors < 2)
        return {};
    return map(image, medianCut(image, maxColors), ditherStrength);
}

} // namespace orv
