// The media services load their library at first use; without it, sound is silent and video
// refused.
#include "platform/mediaservices.h"
#include "eventually.h"

#include <QTest>
#include <gtest/gtest.h>

using namespace orv;

TEST(LazyMediaServices, MissingLibraryIsSilentOrRefused)
{
    LazyMediaServices m(QStringLiteral("/no/such/folder"));
    m.sound().play(QStringLiteral("/no/such.wav"));
    // Video cannot play: the dispatcher is told.
    EXPECT_FALSE(m.media().play(qEnvironmentVariable("ORVANE_SAMPLES") + QStringLiteral("/clip.avi"), true));
    m.sound().stop();
    m.audio().stop(AudioOutput::WaveSlot);
    EXPECT_FALSE(m.audio().isPlaying(AudioOutput::WaveSlot));
    EXPECT_GT(m.audio().sampleRate(), 0);
}

TEST(LazyMediaServices, LoadsTheLibraryAndPlays)
{
    LazyMediaServices m(QStringLiteral(ORVANE_MEDIA_LIBRARY_DIR));
    EXPECT_FALSE(m.audio().isPlaying(AudioOutput::WaveSlot));  // nothing loaded by asking
    m.sound().play(qEnvironmentVariable("ORVANE_SAMPLES") + QStringLiteral("/chime.wav"));
    ASSERT_EVENTUALLY_WITHIN(m.audio().isPlaying(AudioOutput::WaveSlot), 3000);
    m.sound().stop();
    ASSERT_EVENTUALLY_WITHIN(!m.audio().isPlaying(AudioOutput::WaveSlot), 3000);
}
