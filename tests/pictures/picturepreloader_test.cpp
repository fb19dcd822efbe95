// The look-ahead decoder: pictures known by path and file time (a changed file is read again),
// decoding stopped when the wanted pictures change, and never more pictures held than asked.
#include "pictures/picturepreloader.h"

#include <QDateTime>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

#include <condition_variable>
#include <mutex>

using namespace orv;

namespace {

// Makes pictures of a size told by the file name's length, and can hold a decoding until the
// test lets it go or the preloader stops it.
class GatedLoader final : public PictureLoader {
public:
    PictureResult load(const QString& path) override { return loadWhole(path, {}); }

    PictureResult loadWhole(const QString& path, std::stop_token stop) override
    {
        std::unique_lock lock(mutex_);
        started_.append(path);
        ++inside_;
        changed_.notify_all();
        const std::stop_callback onStop(stop, [this] {
            const std::lock_guard l(mutex_);
            changed_.notify_all();
        });
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
