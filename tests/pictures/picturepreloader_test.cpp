// The look-ahead decoder: pictures known by path and file time (a changed file is read again),
// decoding stopped when the wanted pictures change, and never more pictures held than asked.
#include "pictures/picturepreloader.h"

#include <QDateTime>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

#include <QImageWriter>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <thread>

using namespace orv;

namespace {

// Makes pictures of a size told by the file name's length, and can hold a decoding until the
// test lets it go or the preloader stops it.
class GatedLoader final : public PictureLoader {
public:
    PictureResult load(const QString& path) override { return loadWhole(path, {}); }

    PictureResult loadWhole(const QString& path, std::stop_token stop) override
    {
        // Outside the lock: a stop requested already runs the callback at once.
        const std::stop_callback onStop(stop, [this] {
            const std::lock_guard l(mutex_);
            changed_.notify_all();
        });
        std::unique_lock lock(mutex_);
        started_.append(path);
        ++inside_;
        changed_.notify_all();
        changed_.wait(lock, [&] { return open_ || stop.stop_requested(); });
        --inside_;
        if (stop.stop_requested()) {
            stopped_.append(path);
            PictureResult r;
            r.error = QStringLiteral("cancelled");
            return r;
        }
        PictureResult r;
        r.picture.image = QImage(int(path.size()), 1, QImage::Format_RGB32);
        return r;
    }

    void setOpen(bool open)
    {
        const std::lock_guard lock(mutex_);
        open_ = open;
        changed_.notify_all();
    }
    QStringList started() const
    {
        const std::lock_guard lock(mutex_);
        return started_;
    }
    QStringList stopped() const
    {
        const std::lock_guard lock(mutex_);
        return stopped_;
    }
    int inside() const
    {
        const std::lock_guard lock(mutex_);
        return inside_;
    }

private:
    mutable std::mutex mutex_;
    std::condition_variable changed_;
    bool open_ = true;
    int inside_ = 0;
    QStringList started_;
    QStringList stopped_;
};

// The rest of a picture that the test finishes by hand. It reports on the thread it lives in,
// which is the preloader's once handed over.
class HeldBackRest final : public PictureCompletion {
public:
    HeldBackRest(std::atomic<int>& alive, std::function<void()> onDrop) : alive_(alive), onDrop_(std::move(onDrop))
    {
        ++alive_;
    }
    ~HeldBackRest() override
    {
        onDrop_();
        --alive_;
    }
    int rowsReady() const override { return done_ ? 2 : 1; }
    bool isDone() const override { return done_; }
    void waitUntilDone() override {}
    void finish()
    {
        done_ = true;
        Q_EMIT progressed();
    }

private:
    std::atomic<int>& alive_;
    std::function<void()> onDrop_;
    std::atomic<bool> done_{false};
};

// Hands out two-row pictures with their first row in and the second held back.
class PartLoader final : public PictureLoader {
public:
    PictureResult load(const QString& path) override { return loadAhead(path, {}); }
    PictureResult loadAhead(const QString& path, std::stop_token) override
    {
        const std::lock_guard lock(mutex_);
        started_.append(path);
        mostAliveAtStart = std::max(mostAliveAtStart.load(), alive.load());
        startedOne_.notify_all();
        PictureResult r;
        r.picture.image = QImage(int(path.size()), 2, QImage::Format_RGB32);
        r.picture.completion = std::make_shared<HeldBackRest>(alive, [this, path] {
            lingerOnDrop();
            const std::lock_guard l(mutex_);
            gone_.append(path);
        });
        return r;
    }
    QStringList started() const
    {
        const std::lock_guard lock(mutex_);
        return started_;
    }
    // Pictures whose decoding has been dropped.
    QStringList gone() const
    {
        const std::lock_guard lock(mutex_);
        return gone_;
    }
    std::atomic<int> alive{0};
    // Pictures that were still there when a decoding began.
    std::atomic<int> mostAliveAtStart{0};

private:
    // A dropped picture takes its time to go (as a decoding thread does to stop): long enough
    // for a decoding begun too early to show.
    void lingerOnDrop()
    {
        std::unique_lock lock(mutex_);
        const qsizetype before = started_.size();
        startedOne_.wait_for(lock, std::chrono::milliseconds(200), [&] { return started_.size() != before; });
    }

    mutable std::mutex mutex_;
    std::condition_variable startedOne_;
    QStringList started_;
    QStringList gone_;
};

HeldBackRest* restOf(const PictureResult& r)
{
    return dynamic_cast<HeldBackRest*>(r.picture.completion.get());
}

QString writeJpeg(const QTemporaryDir& dir, const QString& name, QSize size, int seed)
{
    QImage img(size, QImage::Format_RGB32);
    for (int y = 0; y < size.height(); ++y)
        for (int x = 0; x < size.width(); ++x)
            img.setPixel(x, y, qRgb((x * seed) & 255, (y * 3) & 255, ((x + y) * 5) & 255));
    const QString path = dir.filePath(name);
    QImageWriter w(path, "jpeg");
    EXPECT_TRUE(w.write(img));
    return path;
}

void writeImage(const QString& path, QSize size)
{
    QImage img(size, QImage::Format_RGB32);
    img.fill(Qt::darkCyan);
    ASSERT_TRUE(img.save(path, "BMP"));
}

// The paths need not exist for the gated loader, but the key needs a file.
QString touch(const QTemporaryDir& dir, const QString& name)
{
    const QString path = dir.filePath(name);
    QFile f(path);
    f.open(QIODevice::WriteOnly);
    f.write("x");
    return path;
}

bool waitHeld(const PicturePreloader& p, const QString& path)
{
    return QTest::qWaitFor([&] { return p.held().contains(path); }, 5000);
}

} // namespace

TEST(PicturePreloader, ChangedFileIsReadAgainNeverShownStale)
{
    QTemporaryDir dir;
    const QString a = dir.filePath(QStringLiteral("a.bmp"));
    writeImage(a, QSize(40, 30));
    QtPictureLoader loader(96, 96);
    PicturePreloader pre(loader, 3);

    EXPECT_FALSE(pre.take(a).has_value());  // nothing decoded before it is wanted
    pre.want({a});
    ASSERT_TRUE(waitHeld(pre, a));
    std::optional<PictureResult> r = pre.take(a);
    ASSERT_TRUE(r && r->ok());
    EXPECT_EQ(r->picture.image.size(), QSize(40, 30));
    EXPECT_FALSE(r->picture.completion);
    EXPECT_TRUE(pre.take(a).has_value());  // still held while wanted

    // Same path, new contents and time: the held picture is refused and read again.
    writeImage(a, QSize(20, 10));
    QFile f(a);
    ASSERT_TRUE(f.open(QIODevice::ReadWrite));
    ASSERT_TRUE(f.setFileTime(QDateTime::currentDateTime().addSecs(60), QFileDevice::FileModificationTime));
    f.close();
    EXPECT_FALSE(pre.take(a).has_value());
    ASSERT_TRUE(QTest::qWaitFor([&] { return pre.take(a).has_value(); }, 5000));
    EXPECT_EQ(pre.take(a)->picture.image.size(), QSize(20, 10));

    // A deleted file is never handed out.
    QFile::remove(a);
    EXPECT_FALSE(pre.take(a).has_value());
}

TEST(PicturePreloader, RefusedPictureIsHeldWithItsError)
{
    QTemporaryDir dir;
    const QString bad = dir.filePath(QStringLiteral("bad.bmp"));
    QFile f(bad);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("BM not really");
    f.close();
    QtPictureLoader loader(96, 96);
    PicturePreloader pre(loader, 2);
    pre.want({bad});
    ASSERT_TRUE(waitHeld(pre, bad));
    const std::optional<PictureResult> r = pre.take(bad);
    ASSERT_TRUE(r.has_value());
    EXPECT_FALSE(r->ok());
    EXPECT_FALSE(r->error.isEmpty());
}

TEST(PicturePreloader, JumpStopsDecodingNoLongerWanted)
{
    QTemporaryDir dir;
    const QString a = touch(dir, QStringLiteral("a"));
    const QString b = touch(dir, QStringLiteral("bb"));
    GatedLoader loader;
    loader.setOpen(false);
    PicturePreloader pre(loader, 2);

    pre.want({a});
    ASSERT_TRUE(QTest::qWaitFor([&] { return loader.inside() == 1; }, 5000));
    pre.want({b});  // the selection jumped
    ASSERT_TRUE(QTest::qWaitFor([&] { return loader.stopped() == QStringList{a}; }, 5000));
    loader.setOpen(true);
    ASSERT_TRUE(waitHeld(pre, b));
    EXPECT_EQ(pre.held(), QStringList{b});
    EXPECT_EQ(pre.take(b)->picture.image.width(), int(b.size()));

    // Clearing drops what is held and stops what runs.
    loader.setOpen(false);
    pre.want({a, b});
    ASSERT_TRUE(QTest::qWaitFor([&] { return loader.inside() == 1; }, 5000));
    pre.clear();
    ASSERT_TRUE(QTest::qWaitFor([&] { return loader.stopped().size() == 2; }, 5000));
    EXPECT_TRUE(pre.held().isEmpty());
}

TEST(PicturePreloader, HoldsNoMoreThanItsCapacity)
{
    QTemporaryDir dir;
    QStringList paths;
    for (int i = 1; i <= 5; ++i)
        paths.append(touch(dir, QString(i, QLatin1Char('p'))));
    GatedLoader loader;
    PicturePreloader pre(loader, 2);

    pre.want(paths);
    ASSERT_TRUE(waitHeld(pre, paths[1]));
    ASSERT_TRUE(waitHeld(pre, paths[0]));
    QTest::qWait(50);
    EXPECT_EQ(loader.started(), (QStringList{paths[0], paths[1]}));  // only the first two wanted
    EXPECT_EQ(pre.held().size(), 2);

    // Stepping on: the one left behind goes, the new one is decoded, one is never decoded twice.
    pre.want({paths[1], paths[2]});
    ASSERT_TRUE(waitHeld(pre, paths[2]));
    EXPECT_EQ(pre.held().size(), 2);
    EXPECT_FALSE(pre.held().contains(paths[0]));
    EXPECT_EQ(loader.started().count(paths[1]), 1);

    // A picture the caller decoded counts too, and the least wanted makes room for it.
    pre.want({paths[3], paths[1], paths[2]});
    QImage shown(7, 7, QImage::Format_RGB32);
    Picture pic;
    pic.image = shown;
    pre.add(paths[3], pic);
    EXPECT_EQ(pre.take(paths[3])->picture.image.size(), QSize(7, 7));
    EXPECT_LE(pre.held().size(), 2);
    EXPECT_TRUE(pre.held().contains(paths[1]));
    QTest::qWait(50);
    // The worker may have begun it before the caller's copy came; it is never decoded again.
    EXPECT_LE(loader.started().count(paths[3]), 1);
    EXPECT_LE(pre.held().size(), 2);
}

TEST(PicturePreloader, ReadyIsSignalledOnItsOwnThread)
{
    QTemporaryDir dir;
    const QString a = touch(dir, QStringLiteral("a"));
    GatedLoader loader;
    PicturePreloader pre(loader, 1);
    QString seen;
    Qt::HANDLE thread = nullptr;
    QObject::connect(&pre, &PicturePreloader::ready, [&](const QString& p) {
        seen = p;
        thread = QThread::currentThreadId();
    });
    pre.want({a});
    ASSERT_TRUE(QTest::qWaitFor([&] { return !seen.isEmpty(); }, 5000));
    EXPECT_EQ(seen, a);
    EXPECT_EQ(thread, QThread::currentThreadId());
}

// A step that comes while the picture beside it is still being decoded takes that decoding over:
// the rows in so far are shown, the rest keep coming, and the picture is decoded once. The next
// picture waits until it is whole.
TEST(PicturePreloader, StepTakesOverADecodingUnderWay)
{
    QTemporaryDir dir;
    const QString a = touch(dir, QStringLiteral("a"));
    const QString b = touch(dir, QStringLiteral("bb"));
    const QString c = touch(dir, QStringLiteral("ccc"));
    PartLoader loader;
    PicturePreloader pre(loader, 3);

    pre.want({a, b});
    ASSERT_TRUE(waitHeld(pre, a));
    QTest::qWait(50);
    EXPECT_EQ(loader.started(), QStringList{a});  // one decoding at a time

    // The step to a: shown as it is, with its rest still on its way.
    const std::optional<PictureResult> shown = pre.take(a);
    ASSERT_TRUE(shown && shown->ok());
    HeldBackRest* rest = restOf(*shown);
    ASSERT_NE(rest, nullptr);
    EXPECT_FALSE(rest->isDone());
    EXPECT_EQ(rest->thread(), pre.thread());  // its reports reach whoever shows it
    int reports = 0;
    QObject::connect(rest, &PictureCompletion::progressed, [&] { ++reports; });

    // Its neighbours are wanted now; a is not decoded again, c waits until a is whole.
    pre.want({a, b, c});
    QTest::qWait(50);
    EXPECT_EQ(loader.started(), QStringList{a});
    rest->finish();
    EXPECT_EQ(reports, 1);
    ASSERT_TRUE(waitHeld(pre, b));
    restOf(*pre.take(b))->finish();
    ASSERT_TRUE(waitHeld(pre, c));
    EXPECT_EQ(loader.started(), (QStringList{a, b, c}));
    EXPECT_EQ(pre.take(a)->picture.completion.get(), rest);
}

// The selection jumps while a picture is being decoded ahead: that decoding is dropped (and with
// it stopped) unless it is shown, and the pictures now wanted are decoded.
TEST(PicturePreloader, JumpDropsADecodingUnderWay)
{
    QTemporaryDir dir;
    const QString a = touch(dir, QStringLiteral("a"));
    const QString b = touch(dir, QStringLiteral("bb"));
    const QString c = touch(dir, QStringLiteral("ccc"));
    PartLoader loader;
    std::optional<PictureResult> shown;
    {
        PicturePreloader pre(loader, 2);
        pre.want({a});
        ASSERT_TRUE(waitHeld(pre, a));
        EXPECT_EQ(loader.alive, 1);
        pre.want({b});
        EXPECT_EQ(loader.gone(), QStringList{a});  // nobody shows a: its decoding is gone
        ASSERT_TRUE(waitHeld(pre, b));

        // b is shown; jumping away from it keeps it decoding for the view, and c is decoded.
        shown = pre.take(b);
        ASSERT_TRUE(shown);
        pre.want({c});
        ASSERT_TRUE(waitHeld(pre, c));
        EXPECT_FALSE(restOf(*shown)->isDone());
        EXPECT_EQ(loader.alive, 2);
        EXPECT_EQ(loader.started(), (QStringList{a, b, c}));
    }
    EXPECT_EQ(loader.alive, 1);  // only the one still shown
}

// A step to the picture whose first rows are being read waits for them instead of reading it
// again.
TEST(PicturePreloader, TakeWaitsForFirstRowsBeingRead)
{
    QTemporaryDir dir;
    const QString a = touch(dir, QStringLiteral("a"));
    GatedLoader loader;
    loader.setOpen(false);
    PicturePreloader pre(loader, 2);
    pre.want({a});
    ASSERT_TRUE(QTest::qWaitFor([&] { return loader.inside() == 1; }, 5000));
    std::thread opener([&] { loader.setOpen(true); });
    const std::optional<PictureResult> r = pre.take(a);
    opener.join();
    ASSERT_TRUE(r && r->ok());
    EXPECT_EQ(loader.started(), QStringList{a});
    EXPECT_TRUE(loader.stopped().isEmpty());
}

// Real JPEGs: the picture taken while its rows still come fills in to the picture a whole
// decode gives, and its last report reaches this thread (the next picture waits for it).
TEST(PicturePreloader, JpegTakenOverFillsInWhole)
{
    QTemporaryDir dir;
    const QString a = writeJpeg(dir, QStringLiteral("a.jpg"), QSize(1200, 1600), 7);
    const QString b = writeJpeg(dir, QStringLiteral("b.jpg"), QSize(1200, 1600), 11);
    QtPictureLoader loader(96, 96, 256LL * 1024 * 1024, 16);
    PicturePreloader pre(loader, 2);
    pre.want({a, b});
    ASSERT_TRUE(waitHeld(pre, a));
    const std::optional<PictureResult> r = pre.take(a);
    ASSERT_TRUE(r && r->ok());
    EXPECT_GE(r->picture.rowsReady(), 16);
    ASSERT_TRUE(waitHeld(pre, b));
    ASSERT_TRUE(!r->picture.completion || r->picture.completion->isDone());
    EXPECT_EQ(r->picture.rowsReady(), 1600);
    EXPECT_EQ(r->picture.image, QtPictureLoader(96, 96).load(a).picture.image);
}

// Pictures dropped by a step count until they are gone: the next decoding never begins beside
// them, so no more than the capacity is ever held.
TEST(PicturePreloader, NewDecodingWaitsUntilDroppedPicturesAreGone)
{
    QTemporaryDir dir;
    const QString a = touch(dir, QStringLiteral("a"));
    const QString b = touch(dir, QStringLiteral("bb"));
    const QString c = touch(dir, QStringLiteral("ccc"));
    const QString d = touch(dir, QStringLiteral("dddd"));
    PartLoader loader;
    PicturePreloader pre(loader, 2);
    pre.want({a, b});
    ASSERT_TRUE(waitHeld(pre, a));
    restOf(*pre.take(a))->finish();
    ASSERT_TRUE(waitHeld(pre, b));
    restOf(*pre.take(b))->finish();
    pre.want({c, d});
    ASSERT_TRUE(waitHeld(pre, c));
    restOf(*pre.take(c))->finish();
    ASSERT_TRUE(waitHeld(pre, d));
    EXPECT_EQ(loader.alive, 2);
    EXPECT_LE(loader.mostAliveAtStart, 1);
}
