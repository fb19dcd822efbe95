// Picture opening in the main window, measured against libjpeg-turbo's own decoder in the
// same run: open latency (click to painted picture area), peak memory, and scroll repaints.
//
//   bench_picture [work folder]          latency table and scroll repaint times
//   bench_picture --memory <picture>     (internal) opens one picture and reports peak RSS
#include "browser/mainm.h"
#include "browser/picturebox.h"
#include "common/appcontext.h"
#include "common/core/settingsstore.h"
#include "common/qtprompts.h"
#include "colorquantizer.h"
#include "gifwriter.h"
#include "pictures/pictureloader.h"
#include "platform/core/processenvironment.h"
#include "platform/screenmetrics.h"
#include "platform/core/volumelist.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QImageWriter>
#include <QLinearGradient>
#include <QPainter>
#include <QProcess>
#include <QScrollBar>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <vector>

using namespace orv;

namespace {

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[v.size() / 2];
}

QImage scenery(QSize size)
{
    QImage img(size, QImage::Format_RGB32);
    QPainter p(&img);
    QLinearGradient sky(0, 0, 0, size.height());
    sky.setColorAt(0, QColor(40, 90, 170));
    sky.setColorAt(1, QColor(250, 200, 120));
    p.fillRect(img.rect(), sky);
    p.end();
    // Grain like a camera's, so the JPEG compresses like a photograph (about 2 bits a pixel).
    quint32 seed = 12345;
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
    p.begin(&img);
    for (int i = 0; i < 4000; ++i) {
        const int x = (i * 7919) % size.width();
        const int y = (i * 104729) % size.height();
        p.setPen(QColor((i * 37) % 256, (i * 91) % 256, (i * 53) % 256));
        p.drawLine(x, y, x + (i % 300), y + (i % 170));
    }
    return img;
}

// Everything the main window needs for pictures, on the real services.
struct Host {
    QTemporaryDir dir;
    SettingsStore store{dir.filePath(QStringLiteral("config"))};
    QtPrompts prompts;
    QtScreenMetrics screen;
    StorageVolumeList volumes;
    RealProcessEnvironment process;
    QtPictureLoader pictures{1440.0 / screen.twipsPerPixelX(), 1440.0 / screen.twipsPerPixelY(),
                             256LL * 1024 * 1024, 384};
    AppContext ctx{store, prompts, PlatformServices{&screen, &volumes, nullptr, &process, &pictures}};
    MainM main{ctx};
    PictureBox& area = *main.findChild<PictureBox*>(QStringLiteral("Open"));

    Host() { main.show(); }

    // Paints the picture area the way the window system would ask it to, into a buffer.
    void paintArea()
    {
        QImage target(area.size(), QImage::Format_RGB32);
        area.render(&target);
    }

    // From the click to the painted picture area; completeMs gets the time until the whole
    // picture is decoded (the same for pictures that come whole).
    double openMs(const QString& path, double* completeMs = nullptr)
    {
        area.clearPicture();
        paintArea();
        QElapsedTimer t;
        t.start();
        main.dispatchFile(path);
        paintArea();
        const double painted = t.nsecsElapsed() / 1e6;
        (void)area.image();
        if (completeMs)
            *completeMs = t.nsecsElapsed() / 1e6;
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

int memoryRun(const QString& path)
{
    Host host;
    host.openMs(path);
    // VmHWM belongs to this process's own memory map; ru_maxrss would also count what the
    // parent held before the exec.
    long hwmKb = 0;
    QFile status(QStringLiteral("/proc/self/status"));
    if (status.open(QIODevice::ReadOnly)) {
        for (const QByteArray& line : status.readAll().split('\n'))
            if (line.startsWith("VmHWM:"))
                hwmKb = line.mid(6).trimmed().split(' ').value(0).toLong();
    }
    const QImage& img = host.area.image();
    std::printf("%ld %lld\n", hwmKb, static_cast<long long>(img.sizeInBytes()));
    return host.area.hasPicture() ? 0 : 1;
}

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    if (argc >= 3 && QByteArray(argv[1]) == "--memory")
        return memoryRun(QString::fromLocal8Bit(argv[2]));

    const QString work = argc >= 2 ? QString::fromLocal8Bit(argv[1]) : QDir::temp().filePath(QStringLiteral("orvane-bench-picture"));
    QDir().mkpath(work);
    const QString jpg = work + QStringLiteral("/24mp.jpg");
    const QString bmp = work + QStringLiteral("/800x600.bmp");
    const QString gif = work + QStringLiteral("/4000x3000.gif");
    const QString big = work + QStringLiteral("/6000x4000.bmp");
    if (!QFile::exists(jpg)) {
        std::printf("making test pictures in %s ...\n", qPrintable(work));
        const QImage img = scenery(QSize(6000, 4000));
        QImageWriter w(jpg, "jpg");
        w.setQuality(90);
        w.write(img);
        img.save(big, "BMP");
        scenery(QSize(800, 600)).save(bmp, "BMP");
        QFile g(gif);
        if (g.open(QIODevice::WriteOnly))
            g.write(GifWriter::encode(ColorQuantizer::quantize(scenery(QSize(4000, 3000)), 256, 0.0)));
    }

    Host host;
    constexpr int runs = 5;
    std::vector<double> dj, open24, whole24, open800, open4k;
    host.openMs(jpg);  // warm-up: plug-ins loaded, file in the page cache
    djpegMs(jpg);
    for (int i = 0; i < runs; ++i) {
        dj.push_back(djpegMs(jpg));
        double whole = 0;
        open24.push_back(host.openMs(jpg, &whole));
        whole24.push_back(whole);
        open800.push_back(host.openMs(bmp));
        open4k.push_back(host.openMs(gif));
    }
    const double ratio = median(open24) / median(dj);
    std::printf("open latency, median of %d (ms):\n", runs);
    std::printf("  djpeg 24 MP JPEG to /dev/null   %8.1f\n", median(dj));
    std::printf("  viewer 24 MP JPEG               %8.1f   ratio %.2fx (target <= 1.25x)\n", median(open24), ratio);
    std::printf("  viewer 24 MP JPEG, whole decoded %7.1f   ratio %.2fx\n", median(whole24), median(whole24) / median(dj));
    std::printf("  viewer 800x600 BMP              %8.1f\n", median(open800));
    std::printf("  viewer 4000x3000 GIF            %8.1f\n", median(open4k));

    // Scroll repaints over a 6000 x 4000 picture, stepping across the whole range.
    host.openMs(big);
    std::vector<double> scroll;
    QScrollBar* h = host.main.findChild<QScrollBar*>(QStringLiteral("hscrPic"));
    QScrollBar* v = host.main.findChild<QScrollBar*>(QStringLiteral("vscrPic"));
    for (int i = 1; i <= 60; ++i) {
        QElapsedTimer t;
        t.start();
        h->setValue(h->maximum() * i / 60);
        v->setValue(v->maximum() * (60 - i) / 60);
        host.paintArea();
        scroll.push_back(t.nsecsElapsed() / 1e6);
    }
    std::printf("scroll repaint, 6000x4000 BMP, median of 60: %.2f ms (target < 8 ms), at the far edge: h=%d/%d v=%d/%d\n",
                median(scroll), h->value(), h->maximum(), v->value(), v->maximum());

    // Peak memory in a fresh process that shows the 24 MP picture.
    QProcess mem;
    mem.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--memory"), jpg});
    mem.waitForFinished(120000);
    long maxRssKb = 0;
    long long decoded = 0;
    std::sscanf(mem.readAllStandardOutput().constData(), "%ld %lld", &maxRssKb, &decoded);
    const double limitMb = decoded * 1.3 / 1048576.0 + 80;
    std::printf("peak RSS (VmHWM) showing the 24 MP JPEG: %.1f MB (decoded %.1f MB; limit %.1f MB)\n", maxRssKb / 1024.0,
                decoded / 1048576.0, limitMb);
    const bool ok = ratio <= 1.25 && median(scroll) < 8 && maxRssKb / 1024.0 < limitMb;
    return ok ? 0 : 1;
}
