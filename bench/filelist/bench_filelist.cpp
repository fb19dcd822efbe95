// Times filling the file list from a folder of 100,000 files against `find DIR -maxdepth 1 | sort`,
// and the longest pause of the UI thread while the list fills.
// Usage: bench_filelist [FOLDER [PATTERN]]  (PATTERN defaults to "All Supported Files")
#include "browser/core/filterpatterns.h"
#include "browsing/filelistview.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QProcess>
#include <QTimer>

#include <algorithm>
#include <array>
#include <cstdio>
#include <vector>

#include <dirent.h>
#include <fcntl.h>
#include <unistd.h>

namespace {

constexpr int kFiles = 100000;
constexpr int kRuns = 5;
constexpr double kRatioTarget = 1.5;
constexpr double kStallTargetMs = 100.0;

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
bool populate(const QString& folder)
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
    for (int i = 0; i < kFiles; ++i) {
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
    double maxStallMs = 0;
    int count = 0;
};

// From setFolder() to loaded(), while a 5 ms timer records the longest gap between its ticks.
// The watch goes on for a while after loaded() so the layout and paint of the new rows count too.
Fill timeFill(orv::FileListView& view, const QString& folder)
{
    Fill fill;
    QElapsedTimer clock;
    QTimer ticker;
    ticker.setTimerType(Qt::PreciseTimer);
    ticker.setInterval(5);
    qint64 lastTick = 0;
    QObject::connect(&ticker, &QTimer::timeout, [&] {
        const qint64 now = clock.nsecsElapsed();
        fill.maxStallMs = std::max(fill.maxStallMs, double(now - lastTick) / 1e6);
        lastTick = now;
    });

    QEventLoop loop;
    const QMetaObject::Connection done = QObject::connect(&view, &orv::FileListView::loaded, &loop, [&] {
        fill.seconds = double(clock.nsecsElapsed()) / 1e9;
        QTimer::singleShot(300, &loop, &QEventLoop::quit);
    });
    clock.start();
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
    const QString folder = QDir(args.size() > 1 ? args.at(1)
                                                : QDir::tempPath() + QStringLiteral("/orvane-bench-filelist-100k"))
                               .absolutePath();

    const int existing = countEntries(folder);
    if (existing < 0) {
        std::printf("creating %d files in %s ...\n", kFiles, qPrintable(folder));
        if (!populate(folder)) {
            std::fprintf(stderr, "could not create the files in %s\n", qPrintable(folder));
            return 2;
        }
    } else if (existing != kFiles) {
        std::fprintf(stderr, "%s holds %d entries, not %d: remove it or name another folder\n",
                     qPrintable(folder), existing, kFiles);
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
    timeFill(view, folder);

    std::vector<double> findTimes;
    std::vector<double> fillTimes;
    double maxStallMs = 0;
    int listed = 0;
    for (int run = 0; run < kRuns; ++run) {
        findTimes.push_back(timeFindSort(folder));
        const Fill fill = timeFill(view, folder);
        fillTimes.push_back(fill.seconds);
        maxStallMs = std::max(maxStallMs, fill.maxStallMs);
        listed = fill.count;
    }

    const double findMedian = median(findTimes);
    const double fillMedian = median(fillTimes);
    const double ratio = fillMedian / findMedian;
    const bool ratioOk = ratio <= kRatioTarget;
    const bool stallOk = maxStallMs <= kStallTargetMs;
    std::printf("folder: %s (%d files, %d listed by %s)\n", qPrintable(folder), kFiles, listed,
                args.size() > 2 ? qPrintable(pattern) : "\"All Supported Files\"");
    std::printf("%-28s %12s %12s\n", "median of 5", "measured", "target");
    std::printf("%-28s %10.3f s %12s\n", "find DIR -maxdepth 1 | sort", findMedian, "");
    std::printf("%-28s %10.3f s %12s\n", "FileListView fill", fillMedian, "");
    std::printf("%-28s %11.2fx %9s%.1fx  %s\n", "ratio fill / find", ratio, "<= ", kRatioTarget,
                ratioOk ? "ok" : "MISSED");
    std::printf("%-28s %9.1f ms %9s%.0f ms  %s\n", "max UI-thread stall", maxStallMs, "<= ", kStallTargetMs,
                stallOk ? "ok" : "MISSED");
    return ratioOk && stallOk ? 0 : 1;
}
