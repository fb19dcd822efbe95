// The AVI writer makes files a strict RIFF reader accepts: headers that describe the movi list,
// index entries that point at their chunks, frames that decode as JPEG and sound that comes
// back sample for sample.
#include "aviwriter.h"

#include <QBuffer>
#include <QFile>
#include <QImage>
#include <QtEndian>

#include <gtest/gtest.h>

#include <map>
#include <vector>

using namespace orv;

namespace {

quint32 le32(const QByteArray& b, qsizetype at)
{
    return qFromLittleEndian<quint32>(b.constData() + at);
}

struct Chunk {
    QByteArray id;   // a LIST by its type
    qsizetype at;    // where its header starts in the file
    QByteArray data;
};

// Every chunk of the file, depth first, keyed by path ("hdrl/strl/strh"); fails on a chunk
// that overruns its parent, sits at an odd offset or leaves bytes over.
struct Avi {
    std::multimap<QByteArray, Chunk> chunks;
    std::vector<Chunk> movi;
    qsizetype moviAt = -1;   // where the "movi" type field is

    bool read(const QByteArray& file, qsizetype from, qsizetype to, const QByteArray& path)
    {
        while (from < to) {
            if (from + 8 > to || from % 2 != 0)
                return false;
            const QByteArray id = file.mid(from, 4);
            const qsizetype size = le32(file, from + 4);
            if (size > to - from - 8)
                return false;
            if (id == "LIST") {
                const QByteArray type = file.mid(from + 8, 4);
                if (type == "movi")
                    moviAt = from + 8;
                if (!read(file, from + 12, from + 8 + size, path + type + '/'))
                    return false;
            } else {
                const Chunk c {id, from, file.mid(from + 8, size)};
                chunks.emplace(path + id, c);
                if (path == "movi/")
                    movi.push_back(c);
            }
            from += 8 + size + (size % 2);
        }
        return from == to;
    }
    const QByteArray& operator[](const char* path) const { return chunks.find(path)->second.data; }
};

Avi parse(const QByteArray& file)
{
    Avi avi;
    const bool ok = file.startsWith("RIFF") && file.mid(8, 4) == "AVI " && le32(file, 4) == quint32(file.size() - 8)
        && avi.read(file, 12, file.size(), {}) && avi.chunks.count("hdrl/avih") == 1 && avi.moviAt > 0
        && avi.chunks.count("idx1") == 1;
    EXPECT_TRUE(ok);
    if (!ok)
        avi.chunks.clear();
    return avi;
}

QImage solid(QColor colour, QSize size = QSize(64, 48))
{
    QImage image(size, QImage::Format_RGB32);
    image.fill(colour);
    return image;
}

} // namespace

TEST(AviWriter, HeadersIndexFramesAndSoundAgree)
{
    const QList<QColor> colours {Qt::red, Qt::green, Qt::blue, Qt::yellow};
    AviWriter writer(QSize(64, 48), 10, 2, 8000);
    std::vector<std::int16_t> sound;
    for (int f = 0; f < colours.size(); ++f) {
        // Uneven sound per frame, and none with one frame.
        std::vector<std::int16_t> part(std::size_t(f == 2 ? 0 : 2 * (800 + f)));
        for (std::size_t i = 0; i < part.size(); ++i)
            part[i] = std::int16_t(int(sound.size() + i) * 37 - 30000);
        ASSERT_TRUE(writer.addFrame(solid(colours[f]), part)) << writer.errorString().toStdString();
        sound.insert(sound.end(), part.begin(), part.end());
    }
    const QByteArray file = writer.finish();
    const Avi avi = parse(file);
    ASSERT_FALSE(avi.chunks.empty());

    const QByteArray& avih = avi["hdrl/avih"];
    EXPECT_EQ(le32(avih, 0), 100000u);                         // microseconds per frame
    EXPECT_TRUE(le32(avih, 12) & 0x10);                        // has an index
    EXPECT_EQ(le32(avih, 16), 4u);                             // frames
    EXPECT_EQ(le32(avih, 24), 2u);                             // streams
    EXPECT_EQ(QSize(le32(avih, 32), le32(avih, 36)), QSize(64, 48));
    auto strh = avi.chunks.equal_range("hdrl/strl/strh");
    auto strf = avi.chunks.equal_range("hdrl/strl/strf");
    ASSERT_EQ(std::distance(strh.first, strh.second), 2);
    const QByteArray& video = strh.first->second.data;
    const QByteArray& audio = std::next(strh.first)->second.data;
    EXPECT_EQ(video.left(8), "vidsMJPG");
    EXPECT_EQ(le32(video, 24) / le32(video, 20), 10u);         // rate / scale
    EXPECT_EQ(le32(video, 32), 4u);
    EXPECT_EQ(strf.first->second.data.mid(16, 4), "MJPG");
    EXPECT_EQ(audio.left(4), "auds");
    EXPECT_EQ(le32(audio, 24) / le32(audio, 20), 8000u);       // blocks per second
    EXPECT_EQ(le32(audio, 32), sound.size() / 2);              // length in blocks
    EXPECT_EQ(std::next(strf.first)->second.data.left(16).toHex(), "01000200401f0000007d000004001000");

    int frame = 0;
    QByteArray pcm;
    for (const Chunk& c : avi.movi) {
        if (c.id == "00dc") {
            const QImage image = QImage::fromData(c.data, "JPEG");
            ASSERT_EQ(image.size(), QSize(64, 48)) << "frame " << frame;
            const QColor seen = image.pixelColor(32, 24);
            EXPECT_LE(std::abs(seen.red() - colours[frame].red()) + std::abs(seen.green() - colours[frame].green())
                          + std::abs(seen.blue() - colours[frame].blue()),
                      16)
                << "frame " << frame;
            ++frame;
        } else {
            ASSERT_EQ(c.id, "01wb");
            pcm += c.data;
        }
    }
    EXPECT_EQ(frame, 4);
    EXPECT_EQ(pcm, QByteArray(reinterpret_cast<const char*>(sound.data()), qsizetype(sound.size() * 2)));

    const QByteArray& index = avi["idx1"];
    ASSERT_EQ(index.size(), qsizetype(avi.movi.size() * 16));
    for (std::size_t i = 0; i < avi.movi.size(); ++i) {
        const qsizetype entry = qsizetype(i) * 16;
        EXPECT_EQ(index.mid(entry, 4), avi.movi[i].id);
        EXPECT_TRUE(le32(index, entry + 4) & 0x10);            // a key frame
        EXPECT_EQ(avi.moviAt + le32(index, entry + 8), avi.movi[i].at) << i;
        EXPECT_EQ(le32(index, entry + 12), quint32(avi.movi[i].data.size())) << i;
    }
}

TEST(AviWriter, SilentFilesHaveOneStreamAndBadInputIsRefused)
{
    AviWriter silent(QSize(33, 17), 25);
    ASSERT_TRUE(silent.addFrame(solid(Qt::gray, QSize(33, 17))));
    const Avi avi = parse(silent.finish());
    ASSERT_FALSE(avi.chunks.empty());
    EXPECT_EQ(avi.chunks.count("hdrl/strl/strh"), 1u);
    ASSERT_EQ(avi.movi.size(), 1u);

    const std::vector<std::int16_t> three(3);
    const auto refused = [&](AviWriter writer, QSize size, std::span<const std::int16_t> sound = {}) {
        return !writer.addFrame(solid(Qt::red, size), sound) && !writer.errorString().isEmpty()
            && writer.finish().isEmpty();
    };
    const QSize s(16, 16);
    EXPECT_TRUE(refused(AviWriter(s, 15, 2, 8000), QSize(16, 15)));          // another size
    EXPECT_TRUE(refused(AviWriter(s, 15, 2, 8000), s, three));               // half a sample frame
    EXPECT_TRUE(refused(AviWriter(s, 15), s, three));                        // sound without a sound stream
    EXPECT_TRUE(refused(AviWriter(QSize(0, 16), 15), s));
    EXPECT_TRUE(refused(AviWriter(s, 0), s));
    EXPECT_TRUE(refused(AviWriter(s, 15, 9, 8000), s));
    EXPECT_TRUE(refused(AviWriter(s, 15, 1, 0), s));
    EXPECT_TRUE(AviWriter(s, 15).finish().isEmpty());                        // no frames
}
