// Wave decoding: every encoding reads back as the tone written, at the asked rate and folded
// to stereo, whatever the block size; what is not a readable sound is refused or ends early.
#include "platform/wavedecoder.h"

#include "wavefixtures.h"
#include "support/rawname.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <sys/stat.h>

using namespace orv;
using orv::test::Tone;

namespace {

std::vector<float> decodeAll(WaveDecoder& decoder, int block = 4096)
{
    std::vector<float> all;
    std::vector<float> buffer(std::size_t(block) * 2);
    int got = block;
    while (got == block) {
        got = decoder.read(buffer.data(), block);
        all.insert(all.end(), buffer.begin(), buffer.begin() + got * 2);
    }
    return all;
}

orv::test::Heard decodeTone(const Tone& tone, int outputRate)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("t.wav"));
    WaveDecoder decoder;
    EXPECT_TRUE(orv::test::writeTone(path, tone));
    EXPECT_TRUE(decoder.open(path, outputRate));
    return orv::test::listen(decodeAll(decoder));
}

} // namespace

TEST(WaveDecoder, EveryEncodingDecodesToTheTone)
{
    const std::pair<int, float> encodings[] = {
        {SF_FORMAT_PCM_U8, 0.02f},    {SF_FORMAT_PCM_16, 0.01f},    {SF_FORMAT_PCM_24, 0.01f},
        {SF_FORMAT_PCM_32, 0.01f},    {SF_FORMAT_FLOAT, 0.01f},     {SF_FORMAT_IMA_ADPCM, 0.06f},
        {SF_FORMAT_MS_ADPCM, 0.06f},  {SF_FORMAT_ULAW, 0.03f},      {SF_FORMAT_ALAW, 0.03f}};
    for (const auto& [encoding, tolerance] : encodings) {
        Tone tone;
        tone.encoding = encoding;
        const orv::test::Heard heard = decodeTone(tone, 48000);
        // 0.25 s at 48 kHz; ADPCM pads its last block.
        EXPECT_GE(heard.frames, 11998u) << std::hex << encoding;
        EXPECT_LE(heard.frames, 14200u) << std::hex << encoding;
        EXPECT_NEAR(heard.peakLeft, 0.5f, tolerance) << std::hex << encoding;
        EXPECT_FLOAT_EQ(heard.peakLeft, heard.peakRight) << std::hex << encoding;
        EXPECT_NEAR(heard.crossings, 500, 4) << std::hex << encoding;
    }
}

TEST(WaveDecoder, RateConversionKeepsPitchLengthAndBlockEdgesClean)
{
    for (const int rate : {8000, 11025, 44100, 48000, 96000}) {
        Tone tone;
        tone.rate = rate;
        tone.frequency = 440.0;
        tone.seconds = 0.5;
        const orv::test::Heard heard = decodeTone(tone, 48000);
        EXPECT_NEAR(double(heard.frames), 24000.0, 6.0) << rate;
        EXPECT_NEAR(heard.crossings, 440, 3) << rate;
        EXPECT_NEAR(heard.peakLeft, 0.5f, 0.02f) << rate;
    }

    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("t.wav"));
    Tone tone;
    tone.rate = 44100;
    tone.channels = 2;
    ASSERT_TRUE(orv::test::writeTone(path, tone));
    WaveDecoder whole;
    ASSERT_TRUE(whole.open(path, 48000));
    const std::vector<float> reference = decodeAll(whole, 1 << 16);
    for (const int block : {1, 7, 4097}) {
        WaveDecoder pieces;
        ASSERT_TRUE(pieces.open(path, 48000));
        EXPECT_TRUE(decodeAll(pieces, block) == reference) << "read " << block << " frames at a time";
    }
}

TEST(WaveDecoder, ChannelsFoldToTheirSides)
{
    struct Layout {
        int channels;
        unsigned voiced;
        bool left, right;
    };
    const Layout layouts[] = {
        {2, 0b01, true, false},      {2, 0b10, false, true},      // front left, front right
        {6, 0b000100, true, true},   {6, 0b001000, false, false}, // 5.1 centre, LFE
        {6, 0b010000, true, false},  {4, 0b1000, false, true},    // 5.1 back left, quad back right
    };
    for (const Layout& l : layouts) {
        Tone tone;
        tone.channels = l.channels;
        tone.voiced = l.voiced;
        const orv::test::Heard heard = decodeTone(tone, 22050);
        EXPECT_EQ(heard.peakLeft > 0.05f, l.left) << l.channels << " " << l.voiced;
        EXPECT_EQ(heard.peakRight > 0.05f, l.right) << l.channels << " " << l.voiced;
        EXPECT_LE(std::max(heard.peakLeft, heard.peakRight), 0.501f);
    }
}

TEST(WaveDecoder, PipesAreRefusedAndCutDataEndsEarly)
{
    QTemporaryDir dir;
    // A pipe nobody writes to would block the reader for ever.
    const QString fifo = dir.filePath(QStringLiteral("pipe.wav"));
    ASSERT_EQ(mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    WaveDecoder decoder;
    EXPECT_FALSE(decoder.open(fifo, 48000));
    EXPECT_FALSE(decoder.open(dir.path(), 48000));
    EXPECT_EQ(decoder.read(nullptr, 16), 0);

    const QString path = dir.filePath(QStringLiteral("cut.wav"));
    Tone tone;
    tone.seconds = 1.0;
    ASSERT_TRUE(orv::test::writeTone(path, tone));
    ASSERT_TRUE(QFile::resize(path, QFileInfo(path).size() / 2));
    ASSERT_TRUE(decoder.open(path, 22050));
    const std::size_t frames = decodeAll(decoder).size() / 2;
    EXPECT_GT(frames, 10000u);
    EXPECT_LT(frames, 12000u);
}

TEST(WaveDecoder, NameThatIsNotUtf8Opens)
{
    QTemporaryDir dir;
    const QString plain = dir.filePath(QStringLiteral("tone.wav"));
    ASSERT_TRUE(orv::test::writeTone(plain, Tone()));
    const QString path = orv::test::copyRawNamed(plain, dir.path(), orv::test::notUtf8Name("wav"));
    ASSERT_FALSE(path.isEmpty());
    WaveDecoder decoder;
    ASSERT_TRUE(decoder.open(path, 22050));
    EXPECT_GT(orv::test::listen(decodeAll(decoder)).peakLeft, 0.1f);
    ::unlink(orv::encodeFileName(path).constData());
}
