// Times filling the file list from a folder of N files against `find DIR -maxdepth 1 | sort`,
// and the longest pause of the UI thread while the list fills.
// Usage: bench_filelist [COUNT [PATTERN [FOLDER]]]
//   COUNT: 1k, 10k, 100k (default) or 1M; PATTERN defaults to "All Supported Files".
#include "browser/core/filterpatterns.h"
#include "browsing/filelistview.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QProcess>
#include <QScrollBar>
#include <QTimer>

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdio>
#include <thread>
#include <vector>

#include <ctime>

#include <dirent.h>
#include <fcntl.h>
#include <unistd.h>

namespace {

constexpr int kRuns = 5;
constexpr double kStallTargetMs = 50.0;

// "1k", "10k", "100k", "1M" or a plain number; 0 when unreadable.
int parseCount(const QString& text)
{
    QString t = text.trimmed();
    int scale = 1;
    if (t.endsWith(QLatin1Char('k'), Qt::CaseInsensitive)) {
        scale = 1000;
        t.chop(1);
    } else if (t.endsWith(QLatin1Char('M'))) {
        scale = 1000000;
        t.chop(1);
    }
    bool ok = false;
    const int n = t.toInt(&ok);
    return ok && n > 0 && n <= 10000000 / scale ? n * scale : 0;
}

int countEntries(const QString& folder)
{
    DIR* dir = ::opendir(QFile::encodeName(folder).constData());
    if (!dir)
        return -1;
    int count = 0;
    while (const dirent* entry = ::readdir(dir)) {
        const QByteArray name(entry->d_name);
        if (name != "." && name != "..")
            ++count;
    }
    ::closedir(dir);
    return count;
}

// About a third of the names carry an extension of the "All Supported Files" pattern, in
// mixed letter case; the rest look like an ordinary download folder.
bool populate(const QString& folder, int files)
{
    static const std::array<const char*, 33> extensions = {
        ".jpg", ".JPG", ".txt", ".wav", ".bmp", ".Gif", ".htm", ".html", ".mod", ".exe", ".ico",
        ".png", ".pdf", ".doc", ".zip", ".c",   ".h",   ".o",    ".cpp", ".json", ".log", ".dat",
        ".tmp", ".mp3", ".ogg", ".xml", ".csv", ".md",  ".py",   ".sh",  ".tar",  ".gz", ".jpeg"};
    static const std::array<const char*, 8> words = {"holiday", "Report", "scan", "IMG", "track", "notes",
                                                     "backup", "draft"};
    if (!QDir().mkpath(folder))
        return false;
    const QByteArray base = QFile::encodeName(folder) + '/';
    quint32 seed = 12345;
    for (int i = 0; i < files; ++i) {
        seed = seed * 1664525u + 1013904223u;
        const QByteArray name = QByteArray(words[(seed >> 8) % words.size()]) + '_' +
                                QByteArray::number((seed >> 4) % 1000000) + '_' + QByteArray::number(i) +
                                extensions[(seed >> 16) % extensions.size()];
        const int fd = ::open((base + name).constData(), O_CREAT | O_EXCL | O_WRONLY | O_CLOEXEC, 0644);
        if (fd < 0)
            return false;
        ::close(fd);
    }
    return true;
}

QString loadAverage()
{
    QFile f(QStringLiteral("/proc/loadavg"));
    return f.open(QIODevice::ReadOnly) ? QString::fromLatin1(f.readLine()) : QStringLiteral("?\n");
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// Seconds for `find DIR -maxdepth 1 | sort`; the folder goes in as "$1", never into the script.
double timeFindSort(const QString& folder)
{
    QProcess process;
    process.setStandardOutputFile(QProcess::nullDevice());
    QElapsedTimer clock;
    clock.start();
    process.start(QStringLiteral("/bin/sh"),
                  {QStringLiteral("-c"), QStringLiteral("find \"$1\" -maxdepth 1 | sort >/dev/null"),
                   QStringLiteral("sh"), folder});
    process.waitForFinished(-1);
    const double seconds = double(clock.nsecsElapsed()) / 1e9;
    if (process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0)
        std::fprintf(stderr, "find | sort failed\n");
    return seconds;
}

struct Fill
{
    double seconds = 0;
    double laidOutSeconds = 0;
    double maxStallMs = 0;
    double maxWorkMs = 0;
    int count = 0;
};

// CPU time of the calling thread: on a loaded machine a gap on the wall clock can be another
// process's turn, while this counts only what the UI thread itself did.
qint64 threadCpuNs()
{
    timespec ts{};
    ::clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return qint64(ts.tv_sec) * 1000000000 + ts.tv_nsec;
}

// The listing thread frees the list a fill replaced after it has delivered the new one; waits
// (at most 10 s) until the whole process has been idle for 100 ms, so that `find | sort` never
// shares the machine with that.
void waitUntilIdle()
{
    const auto processCpuNs = [] {
        timespec ts{};
        ::clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
        return qint64(ts.tv_sec) * 1000000000 + ts.tv_nsec;
    };
    for (int i = 0; i < 100; ++i) {
        const qint64 before = processCpuNs();
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        if (processCpuNs() - before < 5000000)
            return;
    }
}

// From setFolder() to loaded(), while a 5 ms timer records the longest gap between its ticks,
// on the wall clock and in the UI thread's CPU time. The watch goes on until the layout of the
// rows has reached the last one (the scroll range is final) and 300 ms beyond, so the layout
// and paint of the new rows count too.
Fill timeFill(orv::FileListView& view, const QString& folder)
{
    Fill fill;
    QElapsedTimer clock;
    QTimer ticker;
    ticker.setTimerType(Qt::PreciseTimer);
    ticker.setInterval(5);
    qint64 lastTick = 0;
    qint64 lastCpu = threadCpuNs();
    QEventLoop loop;
    bool loaded = false;
    bool settled = false;
    QScrollBar* bar = view.verticalScrollBar();
    const int visibleRows = std::max(1, view.viewport()->height() / std::max(1, view.sizeHintForRow(0)));
    QObject::connect(&ticker, &QTimer::timeout, [&] {
        const qint64 now = clock.nsecsElapsed();
        const qint64 cpu = threadCpuNs();
        fill.maxStallMs = std::max(fill.maxStallMs, double(now - lastTick) / 1e6);
        fill.maxWorkMs = std::max(fill.maxWorkMs, double(cpu - lastCpu) / 1e6);
        lastTick = now;
        lastCpu = cpu;
        if (loaded && !settled && bar->maximum() + visibleRows + 2 >= view.count()) {
            settled = true;
            fill.laidOutSeconds = double(now) / 1e9;
            QTimer::singleShot(300, &loop, &QEventLoop::quit);
        }
    });

    const QMetaObject::Connection done = QObject::connect(&view, &orv::FileListView::loaded, &loop, [&] {
        fill.seconds = double(clock.nsecsElapsed()) / 1e9;
        loaded = true;
    });
    clock.start();
    lastCpu = threadCpuNs();
    ticker.start();
    view.setFolder(folder);
    loop.exec();
    ticker.stop();
    QObject::disconnect(done);
    fill.count = view.count();
    return fill;
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const QStringList args = QApplication::arguments();
    const QString countText = args.size() > 1 ? args.at(1) : QStringLiteral("100k");
    const int fileCount = parseCount(countText);
    if (fileCount == 0) {
        std::fprintf(stderr, "usage: bench_filelist [COUNT [PATTERN [FOLDER]]], COUNT like 1k, 10k, 100k, 1M\n");
        return 2;
    }
    const QString folder =
        QDir(args.size() > 3 ? args.at(3)
                             : QDir::tempPath() + QStringLiteral("/orvane-bench-filelist-") + QString::number(fileCount))
            .absolutePath();

    const int existing = countEntries(folder);
    if (existing < 0) {
        std::printf("creating %d files in %s ...\n", fileCount, qPrintable(folder));
        if (!populate(folder, fileCount)) {
            std::fprintf(stderr, "could not create the files in %s\n", qPrintable(folder));
            return 2;
        }
    } else if (existing != fileCount) {
        std::fprintf(stderr, "%s holds %d entries, not %d: remove it or name another folder\n",
                     qPrintable(folder), existing, fileCount);
        return 2;
    }

    orv::FileListView view;
    view.resize(320, 600);
    const QString pattern = args.size() > 2 ? args.at(2) : orv::FilterPatterns[0];
    view.setPattern(pattern);
    view.show();
    QApplication::processEvents();

    // One untimed pass each so both start from a warm directory cache.
    timeFindSort(folder);
    waitUntilIdle();
    timeFill(view, folder);

    std::vector<double> findTimes;
    std::vector<double> fillTimes;
    std::vector<double> laidOutTimes;
    double maxStallMs = 0;
    double maxWorkMs = 0;
    int listed = 0;
    for (int run = 0; run < kRuns; ++run) {
        waitUntilIdle();
        findTimes.push_back(timeFindSort(folder));
        const Fill fill = timeFill(view, folder);
        fillTimes.push_back(fill.seconds);
        laidOutTimes.push_back(fill.laidOutSeconds);
        maxStallMs = std::max(maxStallMs, fill.maxStallMs);
        maxWorkMs = std::max(maxWorkMs, fill.maxWorkMs);
        listed = fill.count;
    }

    const double findMedian = median(findTimes);
    const double fillMedian = median(fillTimes);
    const double ratio = fillMedian / findMedian;
    // Every file for "*", about a third of them for the default pattern.
    const double kRatioTarget = pattern == QLatin1String("*") ? 1.0 : 0.5;
    const bool ratioOk = ratio <= kRatioTarget;
    const bool stallOk = maxStallMs <= kStallTargetMs;
    const bool workOk = maxWorkMs <= kStallTargetMs;
    std::printf("folder: %s (%d files, %d listed by %s)\n", qPrintable(folder), fileCount, listed,
                args.size() > 2 ? qPrintable(pattern) : "\"All Supported Files\"");
    std::printf("load average: %s", qPrintable(loadAverage()));
    std::printf("%-28s %12s %12s\n", "median of 5", "measured", "target");
    std::printf("%-28s %10.3f s %12s\n", "find DIR -maxdepth 1 | sort", findMedian, "");
    std::printf("%-28s %10.3f s %12s\n", "FileListView fill", fillMedian, "");
    std::printf("%-28s %10.3f s %12s\n", "  ... laid out to the end", median(laidOutTimes), "");
    std::printf("%-28s %11.2fx %9s%.1fx  %s\n", "ratio fill / find", ratio, "<= ", kRatioTarget,
                ratioOk ? "ok" : "MISSED");
    std::printf("%-28s %9.1f ms %9s%.0f ms  %s\n", "longest UI-thread gap (wall)", maxStallMs, "<= ", kStallTargetMs,
                stallOk ? "ok" : "MISSED");
    std::printf("%-28s %9.1f ms %9s%.0f ms  %s\n", "  ... of it UI-thread CPU", maxWorkMs, "<= ", kStallTargetMs,
                workOk ? "ok" : "MISSED");
    return ratioOk && stallOk ? 0 : 1;
}
