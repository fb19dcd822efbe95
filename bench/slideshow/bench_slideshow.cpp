// The slide-show player's step time, measured against libjpeg-turbo's own decoder in the same
// run: from a key press to the next slide painted, with the next picture read ahead and with
// keys coming faster than it can be read, and peak memory through a show of large JPEGs.
//
//   bench_slideshow [work folder]        step times and peak memory
//   bench_slideshow --memory <folder>    (internal) plays the 24 MP show, reports peak RSS
#include "realservices.h"
#include "common/appcontext.h"
#include "common/core/settingsstore.h"
#include "common/qtprompts.h"
#include "pictures/pictureloader.h"
#include "pictures/picturepreloader.h"
#include "platform/core/processenvironment.h"
#include "platform/core/volumelist.h"
#include "platform/screenmetrics.h"
#include "slideshow/showpic.h"
#include "slideshow/slideshowsource.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QImageWriter>
#include <QKeyEvent>
#include <QLinearGradient>
#include <QPainter>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>
#include <algorithm>
#include <cstdio>
#include <vector>

using namespace orv;
using orv::bench::peakKb;

namespace {

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[v.size() / 2];
}

// A photograph-like picture: a gradient with grain, so the JPEG compresses like a camera's.
QImage scenery(QSize size, int seedBase)
{
    QImage img(size, QImage::Format_RGB32);
    QPainter p(&img);
    QLinearGradient sky(0, 0, size.width(), size.height());
    sky.setColorAt(0, QColor(40 + seedBase * 30, 90, 170));
    sky.setColorAt(1, QColor(250, 200, 120 - seedBase * 20));
    p.fillRect(img.rect(), sky);
    p.end();
    quint32 seed = 12345u + quint32(seedBase);
    for (int y = 0; y < size.height(); ++y) {
        QRgb* row = reinterpret_cast<QRgb*>(img.scanLine(y));
        for (int x = 0; x < size.width(); ++x) {
            seed = seed * 1664525u + 1013904223u;
            const int n = int(seed >> 27) - 16;
            const QRgb c = row[x];
            row[x] = qRgb(std::clamp(qRed(c) + n, 0, 255), std::clamp(qGreen(c) + n, 0, 255),
                          std::clamp(qBlue(c) + n, 0, 255));
        }
    }
    return img;
}

struct Show final : SlideShowSource {
    QStringList entries;
    ShowView showView() const override { return ShowView{entries, true, true, QStringLiteral("Slide Show is playing ")}; }
    ShowSettings showSettings() const override { return ShowSettings{}; }
    quint32 captionColour() const override { return 0; }
};

// The player on the real picture loader, as the program builds it.
struct Host : orv::bench::RealServices {
    Showpic* player = nullptr;
    Show show;

    explicit Host(QStringList entries)
    {
        show.entries = std::move(entries);
        player = new Showpic(ctx);
        player->setAttribute(Qt::WA_DeleteOnClose, false);
        player->Form_Load();
        player->playShow(show);
    }
    ~Host() { delete player; }

    void paint()
    {
        QImage target(player->size(), QImage::Format_RGB32);
        player->render(&target);
    }
    QString next() const { return show.entries.at(player->slideIndex()); }
    bool nextIsReady() const { return player->lookAheadCache()->held().contains(next()); }
    void waitForLookAhead()
    {
        while (!nextIsReady()) {
            QCoreApplication::processEvents();
            QThread::msleep(1);
        }
    }
    // From the key press to the slide painted; wholeMs gets the time until every row of it is
    // decoded (and painted once more).
    double stepMs(double* wholeMs)
    {
        QElapsedTimer t;
        t.start();
        QKeyEvent press(QEvent::KeyPress, Qt::Key_Space, Qt::NoModifier, QStringLiteral(" "));
        QCoreApplication::sendEvent(player, &press);
        paint();
        const double painted = t.nsecsElapsed() / 1e6;
        while (!player->slideComplete()) {
            QCoreApplication::processEvents();
            QThread::usleep(200);
        }
        paint();
        *wholeMs = t.nsecsElapsed() / 1e6;
        return painted;
    }
};

double djpegMs(const QString& path)
{
    QElapsedTimer t;
    t.start();
    QProcess::execute(QStringLiteral("djpeg"), {QStringLiteral("-outfile"), QStringLiteral("/dev/null"), path});
    return t.nsecsElapsed() / 1e6;
}

QStringList copies(const QString& work, const QString& stem, const QString& suffix)
{
    QStringList paths;
    for (int i = 0; i < 4; ++i)
        paths.append(QStringLiteral("%1/%2-%3.%4").arg(work, stem).arg(i).arg(suffix));
    return paths;
}

struct Timing {
    double aheadPainted, aheadWhole, rushedPainted, rushedWhole, djpeg, ratio;
};

// Steps through the show; djpeg runs on the same file just before each rushed step, so a busy
// machine weighs on both sides of each ratio alike.
Timing timeShow(const QStringList& entries, int steps)
{
    Host host(entries);
    std::vector<double> aheadPainted, aheadWhole, rushedPainted, rushedWhole, dj, ratio;
    double whole = 0;
    host.waitForLookAhead();
    host.stepMs(&whole);  // warm-up
    for (int i = 0; i < steps; ++i) {
        host.waitForLookAhead();
        aheadPainted.push_back(host.stepMs(&whole));
        aheadWhole.push_back(whole);
        const bool jpeg = host.next().endsWith(QLatin1String(".jpg"));
        const double d = jpeg ? djpegMs(host.next()) : 0;
        // The next key at once: the look-ahead has only just started.
        rushedPainted.push_back(host.stepMs(&whole));
        rushedWhole.push_back(whole);
        dj.push_back(d);
        ratio.push_back(d > 0 ? whole / d : 0);
    }
    return {median(aheadPainted), median(aheadWhole), median(rushedPainted), median(rushedWhole), median(dj),
            median(ratio)};
}

int memoryRun(const QString& work)
{
    Host host(copies(work, QStringLiteral("24mp"), QStringLiteral("jpg")));
    double whole = 0;
    for (int i = 0; i < 8; ++i) {
        host.waitForLookAhead();
        host.stepMs(&whole);
    }
    std::printf("%ld\n", peakKb());
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    if (argc >= 3 && QByteArray(argv[1]) == "--memory")
        return memoryRun(QString::fromLocal8Bit(argv[2]));

    const QString work = argc >= 2 ? QString::fromLocal8Bit(argv[1]) : QDir::temp().filePath(QStringLiteral("orvane-bench-slideshow"));
    QDir().mkpath(work);
    const QStringList jpegs = copies(work, QStringLiteral("24mp"), QStringLiteral("jpg"));
    const QStringList bmps = copies(work, QStringLiteral("800x600"), QStringLiteral("bmp"));
    for (int i = 0; i < 4; ++i) {
        if (!QFile::exists(jpegs[i])) {
            std::printf("making %s ...\n", qPrintable(jpegs[i]));
            QImageWriter w(jpegs[i], "jpg");
            w.setQuality(90);
            w.write(scenery(QSize(6000, 4000), i));
        }
        if (!QFile::exists(bmps[i]))
            scenery(QSize(800, 600), i).save(bmps[i], "BMP");
    }

    constexpr int steps = 7;
    djpegMs(jpegs[0]);
    const Timing jpg = timeShow(jpegs, steps);
    const Timing bmp = timeShow(bmps, steps);

    std::printf("key press to slide painted, median of %d steps (ms):\n", steps);
    std::printf("  djpeg 24 MP JPEG to /dev/null             %8.1f\n", jpg.djpeg);
    std::printf("  24 MP JPEG, read ahead                    %8.1f   (target <= 16 ms)\n", jpg.aheadPainted);
    std::printf("  24 MP JPEG, keys faster than decoding     %8.1f   first rows; whole %.1f, %.2fx djpeg (target <= 1.25x)\n",
                jpg.rushedPainted, jpg.rushedWhole, jpg.ratio);
    std::printf("  800x600 BMP, read ahead                   %8.1f   (target <= 16 ms)\n", bmp.aheadPainted);
    std::printf("  800x600 BMP, keys faster than decoding    %8.1f\n", bmp.rushedWhole);

    QProcess mem;
    mem.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--memory"), work});
    mem.waitForFinished(300000);
    const long peak = mem.readAllStandardOutput().trimmed().toLong();
    const double decodedMb = 6000.0 * 4000 * 4 / 1048576.0;
    const double limitMb = 2 * decodedMb + 80;
    std::printf("peak RSS (VmHWM) through a show of 24 MP JPEGs: %.1f MB (2 decoded pictures + 80 MB = %.1f MB)\n",
                peak / 1024.0, limitMb);
    const bool ok = jpg.aheadPainted <= 16 && bmp.aheadPainted <= 16 && jpg.ratio <= 1.25
                    && peak / 1024.0 <= limitMb;
    return ok ? 0 : 1;
}
