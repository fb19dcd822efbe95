// Wave sounds through the real output: real samples reach the device, play() returns while the
// sound still plays, a new sound replaces the old, and what cannot be played is silent.
#include "platform/sdlaudiooutput.h"
#include "support/samplesdir.h"
#include "platform/sdlsoundplayer.h"

#include "wavefixtures.h"

#include <QDir>
#include <QtTest/QTest>

#include <gtest/gtest.h>

#include <sys/stat.h>

using namespace orv;
using orv::test::Tone;

namespace {

// Plays each file in turn, each to its end, and returns what reached the device.
std::vector<float> play(const QStringList& paths)
{
    orv::test::DiskAudio disk;
    {
        SdlAudioOutput output;
        SdlSoundPlayer player(output);
        for (const QString& path : paths) {
            player.play(path);
            EXPECT_TRUE(QTest::qWaitFor([&] { return !output.isPlaying(AudioOutput::WaveSlot); }, 3000))
                << path.toStdString();
        }
    }
    return disk.samples();
}

} // namespace

TEST(SdlSoundPlayer, BundledChimeReachesTheDevice)
{
    const orv::test::Heard heard = orv::test::listen(play({QDir(orv::test::samplesDir()).filePath(QStringLiteral("chime.wav"))}));
    EXPECT_GT(heard.peakLeft, 0.2f);
    EXPECT_GT(heard.peakRight, 0.2f);
    EXPECT_GT(heard.frames, 60000u);   // 1.5 s
}

TEST(SdlSoundPlayer, CompressedEncodingsPlay)
{
    QTemporaryDir dir;
    QStringList paths;
    for (const int encoding : {SF_FORMAT_PCM_16, SF_FORMAT_FLOAT, SF_FORMAT_IMA_ADPCM, SF_FORMAT_ULAW}) {
        paths.append(dir.filePath(QStringLiteral("%1.wav").arg(encoding)));
        Tone tone;
        tone.encoding = encoding;
        tone.seconds = 0.2;
        ASSERT_TRUE(orv::test::writeTone(paths.last(), tone));
    }
    const orv::test::Heard heard = orv::test::listen(play(paths));
    EXPECT_NEAR(heard.peakLeft, 0.5f, 0.06f);
    EXPECT_NEAR(heard.crossings, 4 * 400, 20);   // four times 1 kHz for 0.2 s
}

TEST(SdlSoundPlayer, PlayReturnsAtOnceAndANewSoundReplacesTheOld)
{
    orv::test::DiskAudio disk;
    QTemporaryDir dir;
    const QString longer = dir.filePath(QStringLiteral("long.wav"));
    const QString shorter = dir.filePath(QStringLiteral("short.wav"));
    Tone tone;
    tone.seconds = 20.0;
    tone.rate = 8000;
    ASSERT_TRUE(orv::test::writeTone(longer, tone));
    tone.seconds = 0.2;
    ASSERT_TRUE(orv::test::writeTone(shorter, tone));
    qint64 atEnd = 0;
    {
        SdlAudioOutput output;
        SdlSoundPlayer player(output);
        const qint64 fifthOfASecond = output.sampleRate() * 8 / 5;
        player.play(longer);
        // Still playing once play() is back: it did not sit through twenty seconds of sound.
        EXPECT_TRUE(output.isPlaying(AudioOutput::WaveSlot));
        ASSERT_TRUE(QTest::qWaitFor([&] { return disk.bytesWritten() > fifthOfASecond; }, 3000));
        player.play(shorter);
        ASSERT_TRUE(QTest::qWaitFor([&] { return !output.isPlaying(AudioOutput::WaveSlot); }, 3000));
        // Let the device run on: nothing of the first sound may come back.
        atEnd = disk.bytesWritten();
        ASSERT_TRUE(QTest::qWaitFor([&] { return disk.bytesWritten() > atEnd + fifthOfASecond; }, 3000));
        player.play(longer);
        player.stop();
        EXPECT_FALSE(output.isPlaying(AudioOutput::WaveSlot));
    }
    const std::vector<float> out = disk.samples();
    ASSERT_GT(out.size(), std::size_t(atEnd / 4 + 4096));
    EXPECT_GT(orv::test::listen(out).peakLeft, 0.4f);
    // A few kilobytes of slack for the driver's file buffer.
    EXPECT_EQ(orv::test::listen({out.begin() + atEnd / 4 + 4096, out.end()}).peakLeft, 0.0f);
}

TEST(SdlSoundPlayer, UnplayableFilesAreSilent)
{
    QTemporaryDir dir;
    const QString good = dir.filePath(QStringLiteral("good.wav"));
    ASSERT_TRUE(orv::test::writeTone(good, Tone()));
    QFile goodFile(good);
    ASSERT_TRUE(goodFile.open(QIODevice::ReadOnly));
    const QByteArray bytes = goodFile.readAll();
    const auto write = [&](const char* name, const QByteArray& content) {
        QFile f(dir.filePath(QString::fromLatin1(name)));
        EXPECT_TRUE(f.open(QIODevice::WriteOnly) && f.write(content) == content.size());
        return f.fileName();
    };
    const QString fifo = dir.filePath(QStringLiteral("pipe.wav"));
    ASSERT_EQ(mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    const std::vector<float> out =
        play({dir.filePath(QStringLiteral("missing.wav")), write("empty.wav", {}), write("cut-header.wav", bytes.left(30)),
              write("noise.wav", QByteArray(5000, '\x7f')), fifo, dir.path(), QString()});
    EXPECT_EQ(orv::test::listen(out).peakLeft, 0.0f);
}
