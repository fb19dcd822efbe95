// Module playback cost: how much faster than real time the plug-in's decoder renders the sample
// module and a generated 32-channel module, and what whole playback (decoding thread plus the
// audio callback, on SDL's dummy driver, which keeps real time) costs the process per second.
//
//   bench_modplug [seconds of playback per module, default 4]
//   bench_modplug --write-wide FILE   writes the 32-channel module for the whole-program run
#include "modulefixtures.h"

#include "modplug/moduledecoder.h"
#include "modplug/modulestream.h"
#include "platform/sdlaudiooutput.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QThread>

#include <sys/resource.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <vector>

using namespace orv;

namespace {

constexpr int Rate = 48000;
constexpr double TargetPercent = 2.0;

double threadCpuSeconds()
{
    timespec ts {};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return double(ts.tv_sec) + double(ts.tv_nsec) * 1e-9;
}

double processCpuSeconds()
{
    rusage u {};
    getrusage(RUSAGE_SELF, &u);
    return double(u.ru_utime.tv_sec + u.ru_stime.tv_sec) + double(u.ru_utime.tv_usec + u.ru_stime.tv_usec) * 1e-6;
}

std::unique_ptr<ModuleDecoder> load(const QByteArray& bytes)
{
    auto d = std::make_unique<ModuleDecoder>();
    std::vector<std::byte> raw(std::size_t(bytes.size()));
    std::memcpy(raw.data(), bytes.constData(), raw.size());
    if (!d->loadBytes(std::move(raw)))
        return nullptr;
    d->setLooping(true);
    return d;
}

// Real-time factor of the decoder alone: 60 s of looping song, median of three.
double realTimeFactor(const QByteArray& module)
{
    std::vector<double> factors;
    std::vector<float> block(1024 * 2);
    for (int run = 0; run < 3; ++run) {
        auto d = load(module);
        if (!d)
            return 0;
        const double start = threadCpuSeconds();
        for (int frames = 0; frames < 60 * Rate; frames += 1024)
            d->render(Rate, block.data(), 1024);
        factors.push_back(60.0 / std::max(1e-9, threadCpuSeconds() - start));
    }
    std::sort(factors.begin(), factors.end());
    return factors[1];
}

// Percent of one core the whole process spends while the module plays for `seconds`.
double playbackPercent(const QByteArray& module, double seconds)
{
    qputenv("SDL_AUDIODRIVER", "dummy");
    SdlAudioOutput output;
    auto d = load(module);
    if (!d || output.sampleRate() <= 0)
        return -1;
    // As long as the playing itself: CPU time is counted in scheduler ticks.
    const double idleStart = processCpuSeconds();
    QThread::msleep(static_cast<unsigned long>(seconds * 1000));
    const double idlePerSecond = (processCpuSeconds() - idleStart) / seconds;
    output.start(std::make_shared<ModuleStream>(std::move(d), output.sampleRate()), AudioOutput::ModuleSlot);
    QElapsedTimer wall;
    wall.start();
    const double start = processCpuSeconds();
    QThread::msleep(static_cast<unsigned long>(seconds * 1000));
    const double used = processCpuSeconds() - start;
    const double elapsed = double(wall.nsecsElapsed()) * 1e-9;
    output.stop(AudioOutput::ModuleSlot);
    // The dummy device's own clock thread runs without music too; what playing adds is the cost.
    return 100.0 * (used / elapsed - idlePerSecond);
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    if (argc == 3 && std::strcmp(argv[1], "--write-wide") == 0)
        return orv::test::writeAll(QString::fromLocal8Bit(argv[2]), orv::test::wideModule(32)) ? 0 : 2;
    const double seconds = argc > 1 ? std::max(1.0, std::atof(argv[1])) : 4.0;
    const QByteArray tune = orv::test::readAll(orv::test::tunePath());
    const QByteArray wide = orv::test::wideModule(32);
    if (tune.isEmpty() || wide.isEmpty()) {
        std::fprintf(stderr, "cannot read %s or make the 32-channel module\n", qPrintable(orv::test::tunePath()));
        return 2;
    }
    bool met = true;
    std::printf("%-22s %12s %14s %16s\n", "module", "real-time x", "decode %core", "playback %core");
    for (const auto& [name, bytes] : {std::pair{"tune.mod (4 ch)", tune}, std::pair{"generated (32 ch)", wide}}) {
        const double factor = realTimeFactor(bytes);
        const double decodePercent = factor > 0 ? 100.0 / factor : 100.0;
        const double playPercent = playbackPercent(bytes, seconds);
        std::printf("%-22s %12.0f %14.3f %16.2f\n", name, factor, decodePercent, playPercent);
        met = met && decodePercent < TargetPercent && playPercent >= 0 && playPercent < TargetPercent;
    }
    std::printf("target: playback under %.0f%% of one core: %s\n", TargetPercent, met ? "met" : "MISSED");
    return met ? 0 : 1;
}
