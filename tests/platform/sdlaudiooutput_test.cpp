// The shared audio output: slots mix and clip at full scale, a stream that ends leaves its slot
// idle, streams are released on the caller's thread, and with no usable driver it runs silent.
#include "platform/sdlaudiooutput.h"

#include "wavefixtures.h"

#include <QtTest/QTest>

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

using namespace orv;

namespace {

// A constant level for a number of frames, then the end; notes the thread that destroys it.
class LevelStream final : public AudioStream {
public:
    LevelStream(float level, int frames, std::thread::id* destroyedOn = nullptr)
        : level_(level), left_(frames), destroyedOn_(destroyedOn)
    {
    }
    ~LevelStream() override
    {
        if (destroyedOn_)
            *destroyedOn_ = std::this_thread::get_id();
    }
    int render(float* out, int frames) override
    {
        const int n = std::min(frames, left_.load());
        std::fill(out, out + n * 2, level_);
        left_ -= n;
        return n;
    }

private:
    float level_;
    std::atomic<int> left_;
    std::thread::id* destroyedOn_;
};

} // namespace

TEST(SdlAudioOutput, SlotsMixClipAndEndOnTheirOwn)
{
    orv::test::DiskAudio disk;
    {
        SdlAudioOutput output;
        ASSERT_EQ(output.driverName(), QStringLiteral("disk"));
        const int rate = output.sampleRate();
        EXPECT_TRUE(rate == 48000 || rate == 44100) << rate;
        const auto idle = [&](int slot) { return QTest::qWaitFor([&] { return !output.isPlaying(slot); }, 3000); };
        output.start(std::make_shared<LevelStream>(0.25f, rate / 5), AudioOutput::WaveSlot);
        output.start(std::make_shared<LevelStream>(0.5f, rate / 2), AudioOutput::ModuleSlot);
        EXPECT_TRUE(output.isPlaying(AudioOutput::WaveSlot));
        ASSERT_TRUE(idle(AudioOutput::WaveSlot));
        EXPECT_TRUE(output.isPlaying(AudioOutput::ModuleSlot));
        ASSERT_TRUE(idle(AudioOutput::ModuleSlot));
        output.start(std::make_shared<LevelStream>(0.75f, rate / 10), AudioOutput::WaveSlot);
        output.start(std::make_shared<LevelStream>(0.75f, rate / 10), AudioOutput::ModuleSlot);
        ASSERT_TRUE(idle(AudioOutput::ModuleSlot));
        output.start(std::make_shared<LevelStream>(1.0f, 10), 2);   // no such slot
        EXPECT_FALSE(output.isPlaying(2));
    }
    const std::vector<float> out = disk.samples();
    const auto count = [&](float level) { return std::count(out.begin(), out.end(), level); };
    EXPECT_GT(count(0.75f), 0);   // both slots
    EXPECT_GT(count(0.5f), 0);    // the module slot alone
    EXPECT_GT(count(1.0f), 0);    // 1.5 held at full scale
    EXPECT_EQ(std::count_if(out.begin(), out.end(), [](float s) { return std::fabs(s) > 1.0f; }), 0);
}

TEST(SdlAudioOutput, StreamsAreReleasedOnTheCallersThread)
{
    orv::test::DiskAudio disk;
    SdlAudioOutput output;
    std::thread::id replaced, ended, stopped;
    output.start(std::make_shared<LevelStream>(0.1f, 1 << 30, &replaced), AudioOutput::WaveSlot);
    output.start(std::make_shared<LevelStream>(0.1f, 100, &ended), AudioOutput::WaveSlot);
    EXPECT_EQ(replaced, std::this_thread::get_id());
    // A stream that ended is kept until its slot is used again, so the callback never frees it.
    ASSERT_TRUE(QTest::qWaitFor([&] { return !output.isPlaying(AudioOutput::WaveSlot); }, 3000));
    EXPECT_EQ(ended, std::thread::id());
    output.start(std::make_shared<LevelStream>(0.1f, 1 << 30, &stopped), AudioOutput::WaveSlot);
    EXPECT_EQ(ended, std::this_thread::get_id());
    output.stop(AudioOutput::WaveSlot);
    EXPECT_EQ(stopped, std::this_thread::get_id());
    EXPECT_FALSE(output.isPlaying(AudioOutput::WaveSlot));
}

TEST(SdlAudioOutput, NoUsableDriverFallsBackToDummy)
{
    qputenv("SDL_AUDIODRIVER", "no-such-driver");
    {
        SdlAudioOutput output;
        EXPECT_EQ(output.driverName(), QStringLiteral("dummy"));
        output.start(std::make_shared<LevelStream>(0.5f, 2000), AudioOutput::ModuleSlot);
        EXPECT_TRUE(QTest::qWaitFor([&] { return !output.isPlaying(AudioOutput::ModuleSlot); }, 3000));
    }
    // The fallback must not stick: the next output asks for the chosen driver again.
    orv::test::DiskAudio disk;
    EXPECT_EQ(SdlAudioOutput().driverName(), QStringLiteral("disk"));
}
