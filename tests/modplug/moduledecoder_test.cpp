// The plug-in's decoder, driven faster than real time: modules and packed modules give sound,
// looping outlasts the song, and any file that is not a playable module gives none, quickly
// and within the size bound.
#include "modulefixtures.h"

#include "modplug/modulearchive.h"
#include "modplug/moduledecoder.h"
#include "modplug/modulestream.h"

#include <QTemporaryDir>

#include <sys/stat.h>

#include <gtest/gtest.h>
#include <chrono>
#include <thread>

#include <algorithm>
#include <cmath>
#include <cstring>

using namespace orv;
using namespace orv::test;

namespace {

constexpr int Rate = 48000;

std::vector<std::byte> bytesOf(const QByteArray& a)
{
    std::vector<std::byte> out(std::size_t(a.size()));
    std::memcpy(out.data(), a.constData(), out.size());
    return out;
}

struct Rendered {
    std::size_t frames = 0;
    float peak = 0.0f;        // over everything rendered
    float peakAfter = 0.0f;   // over what came after `after` seconds
};

Rendered renderFor(ModuleDecoder& d, double seconds, double after = 0.0)
{
    Rendered r;
    std::vector<float> block(4096 * 2);
    const std::size_t want = std::size_t(seconds * Rate);
    while (r.frames < want) {
        const int got = d.render(Rate, block.data(), 4096);
        for (int i = 0; i < got * 2; ++i) {
            const float v = std::fabs(block[std::size_t(i)]);
            r.peak = std::max(r.peak, v);
            if (double(r.frames) + i / 2 >= after * Rate)
                r.peakAfter = std::max(r.peakAfter, v);
        }
        r.frames += std::size_t(got);
        if (got < 4096)
            break;
    }
    return r;
}

} // namespace

// The bundled module and the same module packed as .mdz both decode to sound, with title and format.
TEST(ModuleDecoder, SampleModuleAndItsPackedFormSound)
{
    const QByteArray tune = readAll(tunePath());
    ASSERT_FALSE(tune.isEmpty());
    ModuleDecoder plain;
    ASSERT_TRUE(plain.loadFile(tunePath().toStdString()));
    EXPECT_FALSE(plain.format().empty());
    EXPECT_EQ(plain.channels(), 4);
    EXPECT_GT(plain.durationSeconds(), 1.0);
    EXPECT_GT(renderFor(plain, 2.0).peak, 0.05f);

    QTemporaryDir dir;
    const QString mdz = dir.filePath(QStringLiteral("tune.mdz"));
    ASSERT_TRUE(writeAll(mdz, zipOf({{"readme.txt", "not a module"}, {"tune.mod", tune}})));
    ModuleDecoder packed;
    ASSERT_TRUE(packed.loadFile(mdz.toStdString()));
    EXPECT_EQ(packed.title(), plain.title());
    EXPECT_GT(renderFor(packed, 2.0).peak, 0.05f);

    // A member without a module's name is still found by its content.
    ModuleDecoder unnamed;
    EXPECT_TRUE(unnamed.loadBytes(bytesOf(zipOf({{"song.bin", tune}}))));
}

// Looping keeps the song going past its end; without it the song ends at its length.
TEST(ModuleDecoder, LoopingRendersPastTheSongsEnd)
{
    ModuleDecoder once;
    ASSERT_TRUE(once.loadFile(tunePath().toStdString()));
    const double length = once.durationSeconds();
    const Rendered single = renderFor(once, length + 5.0);
    EXPECT_NEAR(double(single.frames) / Rate, length, 0.5);

    ModuleDecoder looped;
    ASSERT_TRUE(looped.loadFile(tunePath().toStdString()));
    looped.setLooping(true);
    const Rendered twice = renderFor(looped, 2 * length + 1.0, length + 0.5);
    EXPECT_GE(twice.frames, std::size_t((2 * length + 1.0) * Rate));
    EXPECT_GT(twice.peakAfter, 0.05f);
}

// The bigger layouts made by the generator decode too (32 channels is the format's maximum).
TEST(ModuleDecoder, ThirtyTwoChannelModuleSounds)
{
    ModuleDecoder d;
    ASSERT_TRUE(d.loadBytes(bytesOf(wideModule(32))));
    EXPECT_EQ(d.channels(), 32);
    EXPECT_GT(renderFor(d, 1.0).peak, 0.05f);
}

// Anything that is not a playable module loads as nothing and renders nothing.
TEST(ModuleDecoder, BadFilesGiveNoSound)
{
    const QByteArray tune = readAll(tunePath());
    QByteArray noise(40000, '\0');
    for (int i = 0; i < noise.size(); ++i)
        noise[i] = char((i * 7919 + 13) % 251);
    QTemporaryDir dir;
    const std::vector<std::pair<const char*, QByteArray>> cases = {
        {"empty.mod", {}},
        {"noise.mod", noise},
        {"cut-header.mod", tune.left(600)},
        {"text.s3m", QByteArray("just some text\n").repeated(100)},
        {"not-a-zip.mdz", QByteArray("PK\x03\x04", 4) + noise},
        {"text-inside.mdz", zipOf({{"tune.mod", "plain words, no music"}})},
        {"empty-zip.itz", zipOf({})},
        {"folder-only.mdz", zipOf({{"inner/", {}}})},
    };
    for (const auto& [name, bytes] : cases) {
        const QString path = dir.filePath(QString::fromLatin1(name));
        ASSERT_TRUE(writeAll(path, bytes)) << name;
        ModuleDecoder d;
        EXPECT_FALSE(d.loadFile(path.toStdString())) << name;
        std::vector<float> block(1024 * 2);
        EXPECT_EQ(d.render(Rate, block.data(), 1024), 0) << name;
    }
    ModuleDecoder other;
    EXPECT_FALSE(other.loadFile(dir.filePath(QStringLiteral("missing.mod")).toStdString()));
    EXPECT_FALSE(other.loadFile(dir.path().toStdString()));
    // A named pipe nobody writes to is refused at once instead of blocking the caller.
    const QString fifo = dir.filePath(QStringLiteral("pipe.mod"));
    ASSERT_EQ(mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    EXPECT_FALSE(other.loadFile(fifo.toStdString()));
    // A file past the bound is not read at all (sparse: no disk space used).
    QFile huge(dir.filePath(QStringLiteral("huge.mod")));
    ASSERT_TRUE(huge.open(QIODevice::WriteOnly) && huge.write(readAll(tunePath())) > 0
                && huge.resize(qint64(ModuleDecoder::MaxBytes) + 1));
    huge.close();
    EXPECT_FALSE(other.loadFile(huge.fileName().toStdString()));
}

// A packed member larger than the bound is refused, also when the archive understates its size.
TEST(ModuleArchive, ZipBombIsRefusedWithinTheBound)
{
    const std::size_t limit = 1u << 20;
    QByteArray zeros(8 << 20, '\0');
    std::memcpy(zeros.data(), readAll(tunePath()).constData(), 1084);  // a module's header in front
    QByteArray honest = zipOf({{"bomb.mod", zeros}});
    ASSERT_LT(honest.size(), 100000);
    EXPECT_TRUE(ModuleArchive::firstModule(bytesOf(honest), limit).empty());

    // Both headers claim 2000 bytes: only counting what comes out holds the bound.
    QByteArray lying = honest;
    for (const char* tag : {"PK\x03\x04", "PK\x01\x02"}) {
        const qsizetype at = lying.indexOf(QByteArray(tag, 4));
        ASSERT_GE(at, 0);
        const qsizetype sizeField = at + (tag[2] == 3 ? 22 : 24);
        const quint32 small = 2000;
        std::memcpy(lying.data() + sizeField, &small, 4);
    }
    EXPECT_TRUE(ModuleArchive::firstModule(bytesOf(lying), limit).empty());
    // Within the bound the same member is found.
    EXPECT_FALSE(ModuleArchive::firstModule(bytesOf(zipOf({{"tune.mod", readAll(tunePath())}})), limit).empty());
}

// The stream plays what the decoder renders, keeps levels for the display, and halt() silences it.
TEST(ModuleStream, PlaysAndHaltSilences)
{
    auto decoder = std::make_unique<ModuleDecoder>();
    ASSERT_TRUE(decoder->loadFile(tunePath().toStdString()));
    ModuleStream stream(std::move(decoder), Rate);
    std::vector<float> out(4096 * 2);
    float peak = 0.0f;
    // The decoding thread may not have started on a busy machine: silence until it has.
    for (int i = 0; i < 2000 && peak < 0.05f; ++i) {
        ASSERT_EQ(stream.render(out.data(), 4096), 4096);
        for (const float v : out)
            peak = std::max(peak, std::fabs(v));
        if (peak < 0.05f)
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    EXPECT_GT(peak, 0.05f);
    EXPECT_GT(stream.framesPlayed(), 0u);
    const std::array<float, 2> peaks = stream.takePeaks();
    EXPECT_GT(std::max(peaks[0], peaks[1]), 0.0f);
    std::vector<float> scope;
    stream.copyScope(scope);
    EXPECT_EQ(scope.size(), ModuleStream::ScopeFrames);
    EXPECT_FALSE(stream.ended());
    stream.halt();
    EXPECT_EQ(stream.render(out.data(), 4096), 0);
    EXPECT_TRUE(stream.ended());
}

// The decoding thread sleeps while the ring is full and is woken as the audio side drains it:
// a reader taking frames as fast as they come gets ten seconds of song, far more than the ring
// holds, and the song's end is reported once its last frame has been taken.
TEST(ModuleStream, DecodingKeepsUpUntilTheEnd)
{
    auto decoder = std::make_unique<ModuleDecoder>();
    ASSERT_TRUE(decoder->loadFile(tunePath().toStdString()));
    decoder->setLooping(true);
    ModuleStream looping(std::move(decoder), Rate);
    std::vector<float> out(4096 * 2);
    const std::size_t tenSeconds = std::size_t(10 * Rate);
    for (int waits = 0; looping.framesPlayed() < tenSeconds && waits < 20000;) {
        const std::size_t before = looping.framesPlayed();
        ASSERT_EQ(looping.render(out.data(), 4096), 4096);
        // Caught up with the decoder: give it a moment.
        if (looping.framesPlayed() - before < 4096) {
            ++waits;
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
    }
    EXPECT_GE(looping.framesPlayed(), tenSeconds);
    EXPECT_FALSE(looping.ended());

    auto once = std::make_unique<ModuleDecoder>();
    ASSERT_TRUE(once->loadBytes(bytesOf(oneRowModule())));
    ModuleStream shortSong(std::move(once), Rate);
    for (int calls = 0; !shortSong.ended() && calls < 20000; ++calls) {
        if (shortSong.render(out.data(), 4096) == 4096)
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    EXPECT_TRUE(shortSong.ended());
    EXPECT_GT(shortSong.framesPlayed(), 0u);
    EXPECT_LT(shortSong.framesPlayed(), std::size_t(Rate));
}
