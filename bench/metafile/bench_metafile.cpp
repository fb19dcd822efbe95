// Opening metafiles that cost far more to draw than their size suggests: the longest the UI
// thread stalls while the main window's picture area opens one, how long until its visible
// part is painted, and the peak memory of a process that shows it.
//
//   bench_metafile [runs [work folder [file...]]]   the table (medians of runs, default 5), for
//                                                 the files named, else all
//   bench_metafile --memory <file>          (internal) opens one file, prints peak RSS in KB
#include "realservices.h"
#include "browser/mainm.h"
#include "browser/picturebox.h"
#include "common/appcontext.h"
#include "common/core/settingsstore.h"
#include "common/qtprompts.h"
#include "hostilemetafiles.h"
#include "metafilesamples.h"
#include "pictures/pictureloader.h"
#include "platform/core/processenvironment.h"
#include "platform/core/volumelist.h"
#include "platform/screenmetrics.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <functional>
#include <vector>

using namespace orv;
using orv::bench::peakKb;

namespace {

constexpr double kStallTargetMs = 100;

struct Stats {
    double min = 0, median = 0, max = 0;
};

Stats stats(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    if (v.empty())
        return {};
    return {v.front(), v[v.size() / 2], v.back()};
}

// The main window on the real services, as the program builds it.
struct Host : orv::bench::RealServices {
    MainM main{ctx};
    PictureBox& area = *main.findChild<PictureBox*>(QStringLiteral("Open"));

    Host() { main.show(); }

    // The picture area shows every pixel of its visible part.
    bool painted() const { return area.hasPicture() && area.showsAll(); }
};

qint64 threadCpuNs()
{
    timespec ts {};
    ::clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return qint64(ts.tv_sec) * 1000000000 + ts.tv_nsec;
}

struct Open {
    double stallMs = 0;    // longest gap between ticks of a 5 ms timer on the UI thread
    double stallCpuMs = 0; // the UI thread's own CPU time in that gap: on a loaded machine the
                           // wall-clock gap can be other processes' turn
    double paintedMs = 0;  // from the click until the visible part is painted
};

// The click comes from the event loop, as a user's would, while a 5 ms timer records the
// longest gap between its ticks; the watch goes on for 300 ms after the visible part is painted.
Open open(Host& host, const QString& path)
{
    host.area.clearPicture();
    QCoreApplication::processEvents();
    Open result;
    QElapsedTimer clock;
    QTimer ticker;
    ticker.setTimerType(Qt::PreciseTimer);
    ticker.setInterval(5);
    qint64 lastTick = 0;
    qint64 lastCpu = threadCpuNs();
    QObject::connect(&ticker, &QTimer::timeout, [&] {
        const qint64 now = clock.nsecsElapsed();
        const qint64 cpu = threadCpuNs();
        result.stallMs = std::max(result.stallMs, double(now - lastTick) / 1e6);
        result.stallCpuMs = std::max(result.stallCpuMs, double(cpu - lastCpu) / 1e6);
        lastTick = now;
        lastCpu = cpu;
    });
    std::shared_ptr<PendingPicture> pending;
    QTimer poll;
    poll.setInterval(1);
    QEventLoop loop;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        host.area.repaint();
        if (!host.painted() && (!pending || !pending->isDone() || pending->result().ok()) && clock.elapsed() < 600000)
            return;
        poll.stop();
        result.paintedMs = double(clock.nsecsElapsed()) / 1e6;
        QTimer::singleShot(300, &loop, &QEventLoop::quit);
    });
    clock.start();
    ticker.start();
    // What the main window's show-picture action does; the browser hands EMF to the slide show
    // only, so this goes straight to the loader and the picture area. A plain WMF still being
    // sized shows once that is done.
    const auto show = [&](const PictureResult& r) {
        if (r.ok())
            host.area.setPicture(r.picture);
        else
            std::fprintf(stderr, "%s: %s\n", qPrintable(path), qPrintable(r.error));
    };
    QTimer::singleShot(0, &host.main, [&] {
        const PictureResult r = host.pictures.load(path);
        if (r.isPending()) {
            pending = r.pending;
            QObject::connect(pending.get(), &PendingPicture::finished, &host.main, [&] { show(pending->result()); });
        } else {
            show(r);
        }
        poll.start();
    });
    loop.exec();
    return result;
}

int memoryRun(const QString& path)
{
    Host host;
    open(host, path);
    std::printf("%ld\n", peakKb());
    return host.area.hasPicture() ? 0 : 1;
}

double memoryMb(const QString& path)
{
    QProcess p;
    p.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--memory"), path});
    p.waitForFinished(600000);
    return p.readAllStandardOutput().trimmed().toLong() / 1024.0;
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    if (argc >= 3 && QByteArray(argv[1]) == "--memory")
        return memoryRun(QString::fromLocal8Bit(argv[2]));

    const int runs = argc >= 2 ? std::max(1, QByteArray(argv[1]).toInt()) : 5;
    const QString work = argc >= 3 ? QString::fromLocal8Bit(argv[2]) : QDir::temp().filePath(QStringLiteral("orvane-bench-metafile"));
    QDir().mkpath(work);
    struct File {
        const char* name;
        std::function<QByteArray()> make;
        qint64 bytes = 0;
    };
    std::vector<File> files = {
        {"drawing.wmf", [] { return MetafileSamples::drawing(); }},
        {"rle-bomb-466.wmf", [] { return HostileMetafiles::runLengthBombWmf(5); }},
        {"rle-bomb-2.5k.wmf", [] { return HostileMetafiles::runLengthBombWmf(29); }},
        {"rle-bomb-830.emf", [] { return HostileMetafiles::runLengthBombEmf(5); }},
        {"huge-frame.emf", [] { return HostileMetafiles::hugeFrameEmf(); }},
        {"huge-frame.wmf", [] { return HostileMetafiles::hugeFrameWmf(); }},
        // Honest files of millions of small records; the plain WMF is sized by walking them all.
        {"many-records-80M.wmf", [] { return HostileMetafiles::manyRecordsWmf(80LL * 1000 * 1000); }},
        {"many-records-80M.emf", [] { return HostileMetafiles::manyRecordsEmf(80LL * 1000 * 1000); }},
    };
    QStringList only;
    for (int i = 3; i < argc; ++i)
        only.append(QString::fromLocal8Bit(argv[i]));
    std::erase_if(files, [&](const File& f) { return !only.isEmpty() && !only.contains(QLatin1String(f.name)); });
    for (File& f : files) {
        const QByteArray bytes = f.make();
        f.bytes = bytes.size();
        QFile out(work + QLatin1Char('/') + QLatin1String(f.name));
        if (!out.open(QIODevice::WriteOnly) || out.write(bytes) != bytes.size()) {
            std::fprintf(stderr, "cannot write %s\n", qPrintable(out.fileName()));
            return 2;
        }
    }

    std::printf("%-20s %8s   %-24s %-10s %-24s %-10s\n", "file", "bytes", "UI stall ms (min med max)",
                "UI CPU ms", "painted ms (min med max)", "peak MB");
    bool ok = true;
    Host host;
    for (const File& f : files) {
        const QString path = work + QLatin1Char('/') + QLatin1String(f.name);
        std::vector<double> stall, stallCpu, painted;
        for (int i = 0; i < runs; ++i) {
            const Open o = open(host, path);
            stall.push_back(o.stallMs);
            stallCpu.push_back(o.stallCpuMs);
            painted.push_back(o.paintedMs);
        }
        std::vector<double> memory;
        for (int i = 0; i < std::min(runs, 3); ++i)
            memory.push_back(memoryMb(path));
        const Stats s = stats(stall);
        const Stats c = stats(stallCpu);
        const Stats p = stats(painted);
        const Stats m = stats(memory);
        std::printf("%-20s %8lld   %6.0f %6.0f %6.0f     %6.0f     %7.0f %7.0f %7.0f    %6.0f\n", f.name,
                    static_cast<long long>(f.bytes), s.min, s.median, s.max, c.median, p.min, p.median, p.max,
                    m.median);
        std::fflush(stdout);
        ok = ok && s.median <= kStallTargetMs;
    }
    std::printf("target: UI stall <= %.0f ms for every file\n", kStallTargetMs);
    return ok ? 0 : 1;
}
