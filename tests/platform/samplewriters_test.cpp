// The sample writers make files that independent readers decode back to what was written.

#include "bmpwriter.h"
#include "colorquantizer.h"
#include "gifwriter.h"
#include "icowriter.h"
#include "modwriter.h"
#include "wavwriter.h"

#include <QBuffer>
#include <QImageReader>
#include <QtEndian>

#include <gtest/gtest.h>

#include <cmath>
#include <optional>
#include <vector>

namespace {

using orv::IndexedImage;

quint32 nextRandom(quint32& state)
{
    state ^= state << 13;
    state ^= state >> 17;
    state ^= state << 5;
    return state;
}

IndexedImage randomImage(int width, int height, int colours, quint32 seed)
{
    IndexedImage image;
    image.width = width;
    image.height = height;
    for (int i = 0; i < colours; ++i)
        image.palette.append(qRgb((i * 97) % 256, (i * 57 + 30) % 256, (i * 31 + 200) % 256));
    for (int i = 0; i < width * height; ++i)
        image.pixels.append(char(nextRandom(seed) % quint32(colours)));
    return image;
}

// Every pixel of a decoded picture must show the colour its index names.
void expectSamePixels(const QImage& decoded, const IndexedImage& image, const char* what)
{
    ASSERT_EQ(decoded.size(), QSize(image.width, image.height)) << what;
    for (int y = 0; y < image.height; ++y) {
        for (int x = 0; x < image.width; ++x) {
            ASSERT_EQ(decoded.pixel(x, y) & 0xffffffu, image.palette[image.at(x, y)] & 0xffffffu)
                << what << " at " << x << "," << y;
        }
    }
}

// A strict GIF LZW decoder: codes must widen exactly when the table asks for it and the stream
// must close with an end code read at the width then in force.
std::optional<QByteArray> strictLzwDecode(const QByteArray& data, int minCodeSize)
{
    const int clearCode = 1 << minCodeSize;
    const int endCode = clearCode + 1;
    std::vector<QByteArray> table;
    int codeSize = 0;
    const auto reset = [&] {
        table.assign(std::size_t(endCode + 1), QByteArray());
        for (int i = 0; i < clearCode; ++i)
            table[std::size_t(i)] = QByteArray(1, char(i));
        codeSize = minCodeSize + 1;
    };
    reset();
    const qint64 totalBits = qint64(data.size()) * 8;
    qint64 at = 0;
    int previous = -1;
    QByteArray out;
    bool started = false;
    while (at + codeSize <= totalBits) {
        int code = 0;
        for (int b = 0; b < codeSize; ++b, ++at)
            code |= ((static_cast<uchar>(data[at / 8]) >> (at % 8)) & 1) << b;
        if (code == clearCode) {
            reset();
            previous = -1;
            started = true;
            continue;
        }
        if (!started)
            return std::nullopt;   // streams open with a clear code
        if (code == endCode)
            return totalBits - at < 8 ? std::optional<QByteArray>(out) : std::nullopt;
        QByteArray entry;
        if (std::size_t(code) < table.size() && code != clearCode && code != endCode)
            entry = table[std::size_t(code)];
        else if (std::size_t(code) == table.size() && previous >= 0)
            entry = table[std::size_t(previous)] + table[std::size_t(previous)].left(1);
        else
            return std::nullopt;
        out += entry;
        if (previous >= 0 && table.size() < 4096)
            table.push_back(table[std::size_t(previous)] + entry.left(1));
        if (table.size() == (std::size_t(1) << codeSize) && codeSize < 12)
            ++codeSize;
        previous = code;
    }
    return std::nullopt;   // ran out of data before the end code
}

TEST(GifWriter, StreamsOfEveryLengthCloseAtTheRightCodeWidth)
{
    quint32 seed = 99;
    for (const int colours : {2, 4, 256}) {
        const int minCodeSize = colours == 256 ? 8 : 2;
        for (int length = 1; length < 1500; length += (length < 300 ? 1 : 37)) {
            QByteArray pixels;
            for (int i = 0; i < length; ++i)
                pixels.append(char(nextRandom(seed) % quint32(colours)));
            const auto decoded = strictLzwDecode(orv::GifWriter::compress(pixels, minCodeSize), minCodeSize);
            ASSERT_TRUE(decoded.has_value()) << colours << " colours, " << length << " pixels";
            ASSERT_EQ(*decoded, pixels) << colours << " colours, " << length << " pixels";
        }
    }
}

TEST(GifWriter, LargePicturesRoundTripThroughTableResets)
{
    // Noise fills the 4096-entry table many times over; flat areas make long strings.
    IndexedImage noisy = randomImage(300, 200, 256, 7);
    const QByteArray noisyGif = orv::GifWriter::encode(noisy);
    ASSERT_TRUE(strictLzwDecode(orv::GifWriter::compress(noisy.pixels, 8), 8).has_value());
    expectSamePixels(QImage::fromData(noisyGif, "gif"), noisy, "noise");

    IndexedImage flat = randomImage(640, 480, 3, 1);
    flat.pixels.fill(char(2));
    for (int x = 0; x < flat.width; ++x)
        flat.pixels[(x * 7) % flat.pixels.size()] = char(x % 2);
    expectSamePixels(QImage::fromData(orv::GifWriter::encode(flat), "gif"), flat, "flat");

    const IndexedImage dot = randomImage(1, 1, 2, 3);
    expectSamePixels(QImage::fromData(orv::GifWriter::encode(dot), "gif"), dot, "one pixel");
}

TEST(GifWriter, RefusesWhatAGifCannotHold)
{
    IndexedImage bad = randomImage(4, 4, 4, 5);
    bad.pixels[3] = char(9);   // index past the palette
    EXPECT_TRUE(orv::GifWriter::encode(bad).isEmpty());
    EXPECT_TRUE(orv::GifWriter::encode(randomImage(70000, 1, 2, 5)).isEmpty());
    EXPECT_TRUE(orv::GifWriter::compress(QByteArray(4, char(5)), 2).isEmpty());
}

TEST(BmpWriter, IndexedRowsArePaddedToFourBytes)
{
    for (int width = 1; width <= 6; ++width) {
        const IndexedImage image = randomImage(width, 3, 200, quint32(width));
        const QByteArray bmp = orv::BmpWriter::encodeIndexed8(image);
        const int stride = (width + 3) / 4 * 4;
        ASSERT_EQ(bmp.size(), 14 + 40 + 1024 + stride * 3) << width;
        const QImage decoded = QImage::fromData(bmp, "bmp");
        EXPECT_EQ(decoded.colorCount(), 256);
        expectSamePixels(decoded, image, "indexed bmp");
    }
}

TEST(BmpWriter, TrueColourRoundTripsAndRefusesEmptyPictures)
{
    QImage image(3, 2, QImage::Format_RGB32);
    const QRgb colours[] = {qRgb(255, 0, 0), qRgb(0, 255, 0), qRgb(0, 0, 255), qRgb(1, 2, 3), qRgb(250, 251, 252), qRgb(9, 99, 199)};
    for (int i = 0; i < 6; ++i)
        image.setPixel(i % 3, i / 3, colours[i]);
    const QImage decoded = QImage::fromData(orv::BmpWriter::encodeRgb24(image), "bmp");
    ASSERT_EQ(decoded.size(), image.size());
    for (int i = 0; i < 6; ++i)
        EXPECT_EQ(decoded.pixel(i % 3, i / 3) & 0xffffffu, colours[i] & 0xffffffu) << i;

    EXPECT_TRUE(orv::BmpWriter::encodeRgb24(QImage()).isEmpty());
    EXPECT_TRUE(orv::BmpWriter::encodeIndexed8(IndexedImage()).isEmpty());
}

TEST(ColorQuantizer, KeepsPicturesThatAlreadyFitExactly)
{
    QImage image(20, 10, QImage::Format_RGB32);
    for (int y = 0; y < 10; ++y) {
        for (int x = 0; x < 20; ++x)
            image.setPixel(x, y, qRgb(x * 12, y * 25, (x * y) % 256));
    }
    const IndexedImage indexed = orv::ColorQuantizer::quantize(image, 256, 1.0);
    ASSERT_TRUE(indexed.isValid());
    EXPECT_LE(indexed.palette.size(), 200);
    for (int y = 0; y < 10; ++y) {
        for (int x = 0; x < 20; ++x)
            ASSERT_EQ(indexed.palette[indexed.at(x, y)] & 0xffffffu, image.pixel(x, y) & 0xffffffu);
    }
}

// Mean distance between 8x8 block averages of a picture and of its indexed copy, inside area.
double blockError(const QImage& image, const IndexedImage& indexed, const QRect& area)
{
    double total = 0.0;
    int blocks = 0;
    for (int by = area.top(); by + 8 <= area.bottom() + 1; by += 8) {
        for (int bx = area.left(); bx + 8 <= area.right() + 1; bx += 8) {
            double diff[3] = {0, 0, 0};
            for (int y = by; y < by + 8; ++y) {
                for (int x = bx; x < bx + 8; ++x) {
                    const QRgb a = image.pixel(x, y);
                    const QRgb b = indexed.palette[indexed.at(x, y)];
                    diff[0] += qRed(a) - qRed(b);
                    diff[1] += qGreen(a) - qGreen(b);
                    diff[2] += qBlue(a) - qBlue(b);
                }
            }
            total += (std::fabs(diff[0]) + std::fabs(diff[1]) + std::fabs(diff[2])) / (3 * 64.0);
            ++blocks;
        }
    }
    return total / blocks;
}

TEST(ColorQuantizer, DitheringKeepsTheLocalAverageOfAGradient)
{
    QImage image(256, 64, QImage::Format_RGB32);
    for (int y = 0; y < 64; ++y) {
        for (int x = 0; x < 256; ++x)
            image.setPixel(x, y, qRgb(x, 64 + x / 2 + y, 200 - y * 2));
    }
    const IndexedImage plain = orv::ColorQuantizer::quantize(image, 16, 0.0);
    const IndexedImage dithered = orv::ColorQuantizer::quantize(image, 16, 1.0);
    ASSERT_TRUE(dithered.isValid());
    EXPECT_EQ(dithered.palette.size(), 16);
    // Median cut averages its boxes, so the extreme rows lie outside the palette; judge the middle.
    const QRect middle(8, 16, 240, 32);
    const double plainError = blockError(image, plain, middle);
    const double ditheredError = blockError(image, dithered, middle);
    EXPECT_LT(ditheredError, 2.5);
    EXPECT_LT(ditheredError, plainError / 3) << plainError;
    EXPECT_EQ(orv::ColorQuantizer::quantize(image, 16, 1.0).pixels, dithered.pixels);
}

TEST(IcoWriter, MixedPayloadsReadBackAtEverySize)
{
    QImage small(16, 16, QImage::Format_ARGB32);
    small.fill(qRgba(200, 40, 40, 255));
    small.setPixel(0, 0, qRgba(0, 0, 0, 0));
    QImage large(256, 256, QImage::Format_ARGB32);
    large.fill(qRgba(40, 40, 200, 255));
    const QByteArray ico = orv::IcoWriter::encode({{small, {}, orv::IcoWriter::Payload::Bmp},
                                                   {large, {}, orv::IcoWriter::Payload::Png}},
                                                  orv::IcoWriter::Kind::Icon);
    ASSERT_FALSE(ico.isEmpty());
    EXPECT_EQ(static_cast<uchar>(ico[6 + 16]), 0);   // 256 is stored as 0

    QBuffer buffer;
    buffer.setData(ico);
    QImageReader reader(&buffer, "ico");
    ASSERT_EQ(reader.imageCount(), 2);
    ASSERT_TRUE(reader.jumpToImage(0));
    const QImage first = reader.read();
    EXPECT_EQ(first.size(), QSize(16, 16));
    EXPECT_EQ(qAlpha(first.pixel(0, 0)), 0);
    EXPECT_EQ(first.pixel(5, 5), qRgba(200, 40, 40, 255));
    ASSERT_TRUE(reader.jumpToImage(1));
    const QImage second = reader.read();
    EXPECT_EQ(second.size(), QSize(256, 256));
    EXPECT_EQ(second.pixel(100, 100), qRgba(40, 40, 200, 255));

    EXPECT_TRUE(orv::IcoWriter::encode({{QImage(257, 16, QImage::Format_ARGB32), {}, {}}}, orv::IcoWriter::Kind::Icon).isEmpty());
    EXPECT_TRUE(orv::IcoWriter::encode({}, orv::IcoWriter::Kind::Cursor).isEmpty());
}

TEST(ModWriter, NotesAndTagsFollowTheProTrackerTables)
{
    EXPECT_EQ(orv::ModWriter::period("C-1"), 856);
    EXPECT_EQ(orv::ModWriter::period("C#2"), 404);
    EXPECT_EQ(orv::ModWriter::period("B-3"), 113);
    EXPECT_EQ(orv::ModWriter::period("C-4"), 0);
    EXPECT_EQ(orv::ModWriter::period("H-2"), 0);
    EXPECT_EQ(orv::ModWriter::period("C-"), 0);

    EXPECT_EQ(orv::ModWriter::tag(4, 64), QByteArrayLiteral("M.K."));
    EXPECT_EQ(orv::ModWriter::tag(4, 65), QByteArrayLiteral("M!K!"));
    EXPECT_EQ(orv::ModWriter::tag(6, 1), QByteArrayLiteral("6CHN"));
    EXPECT_EQ(orv::ModWriter::tag(32, 1), QByteArrayLiteral("32CH"));
    EXPECT_TRUE(orv::ModWriter::tag(33, 1).isEmpty());
}

TEST(ModWriter, WideSongsKeepTheirLayout)
{
    orv::ModSong song;
    song.title = "a title longer than twenty bytes";
    song.channels = 8;
    song.samples.push_back({"odd", std::vector<std::int8_t>(101, 5), 64, -1, 0, 0});
    song.addPattern();
    const int second = song.addPattern();
    song.cell(second, 2, 5) = {428, 17, 0xC, 0x20};
    song.order = {0, 1, 1};

    QString error;
    const QByteArray mod = orv::ModWriter::encode(song, &error);
    ASSERT_FALSE(mod.isEmpty()) << error.toStdString();
    EXPECT_EQ(mod.left(20), QByteArrayLiteral("a title longer than "));
    EXPECT_EQ(mod.mid(1080, 4), QByteArrayLiteral("8CHN"));
    EXPECT_EQ(qFromBigEndian<quint16>(mod.constData() + 42), 51);   // length in words, padded
    EXPECT_EQ(static_cast<uchar>(mod[44]), 0x0f);                   // finetune -1
    EXPECT_EQ(static_cast<uchar>(mod[950]), 3);
    ASSERT_EQ(mod.size(), 1084 + 2 * 64 * 8 * 4 + 102);
    const qsizetype cell = 1084 + 64 * 8 * 4 + (2 * 8 + 5) * 4;
    EXPECT_EQ(mod.mid(cell, 4), QByteArray::fromHex("11ac1c20"));
}

TEST(ModWriter, RefusesSongsThatCannotBeStored)
{
    const auto refused = [](const orv::ModSong& song) {
        QString error;
        const bool empty = orv::ModWriter::encode(song, &error).isEmpty();
        return empty && !error.isEmpty();
    };
    orv::ModSong song;
    song.addPattern();
    song.order = {1};
    EXPECT_TRUE(refused(song));   // order names a missing pattern
    song.order = {0};
    ASSERT_FALSE(refused(song));
    song.samples.push_back({"loud", std::vector<std::int8_t>(10), 65, 0, 0, 0});
    EXPECT_TRUE(refused(song));
    song.samples.back().volume = 64;
    song.samples.back().loopStart = 8;
    song.samples.back().loopLength = 4;
    EXPECT_TRUE(refused(song));   // loop past the end
    song.samples.back().loopStart = 0;
    song.cell(0, 0, 0).effect = 16;
    EXPECT_TRUE(refused(song));
    song.cell(0, 0, 0).effect = 0;
    song.channels = 33;
    EXPECT_TRUE(refused(song));
}

TEST(WavWriter, HeaderMatchesTheData)
{
    const std::vector<std::int16_t> mono {0, 1000, -1000, 32767, -32768};
    const QByteArray wav = orv::WavWriter::encodePcm16(mono, 1, 8000);
    ASSERT_EQ(wav.size(), 44 + 10);
    EXPECT_EQ(qFromLittleEndian<quint32>(wav.constData() + 4), 46u);
    EXPECT_EQ(qFromLittleEndian<quint16>(wav.constData() + 22), 1);
    EXPECT_EQ(qFromLittleEndian<quint32>(wav.constData() + 28), 16000u);
    EXPECT_EQ(qFromLittleEndian<qint16>(wav.constData() + 44 + 8), -32768);

    EXPECT_TRUE(orv::WavWriter::encodePcm16(mono, 2, 8000).isEmpty());   // half a frame
    EXPECT_TRUE(orv::WavWriter::encodePcm16(mono, 0, 8000).isEmpty());
    EXPECT_TRUE(orv::WavWriter::encodePcm16(mono, 1, 0).isEmpty());
}

} // namespace
