// Video: a path plays in a window of its own, sized to the video or on the whole screen, that
// Escape or closing stops; the path is never run or split; media without a picture plays with
// no window, and what cannot play does nothing; keys other than Escape pass on to the window the
// user works in, and the full screen gives the keys back at its end.
#include "platform/qtmediacontrol.h"
#include "platform/videowindow.h"
#include "support/rawname.h"
#include "support/samplesdir.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QListWidget>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QtTest/QTest>

#include <gtest/gtest.h>

using namespace orv;

// Leak checks: Qt 6.4 never frees the raster backing store of a video window drawn without a
// GPU (as here, offscreen), GStreamer's PulseAudio probe keeps its context and GLib keeps what
// its start-up allocates. Full stacks are needed to tell those apart from our own allocations.
extern "C" const char* __asan_default_options()
{
    return "fast_unwind_on_malloc=0";
}

extern "C" const char* __lsan_default_suppressions()
{
    return "leak:QVideoWindow::event\nleak:QPlatformMediaIntegration::instance\nleak:_dl_init\n";
}

namespace {

constexpr int LoadWait = 15000;

QString sample(const char* name)
{
    return QDir(orv::test::samplesDir()).filePath(QString::fromLatin1(name));
}

int visibleVideos()
{
    const QWidgetList windows = QApplication::topLevelWidgets();
    return int(std::count_if(windows.begin(), windows.end(),
                             [](QWidget* w) { return qobject_cast<VideoWindow*>(w) && w->isVisible(); }));
}

// Plays the path and waits until its video shows or is given up; null when given up.
QPointer<VideoWindow> playAndWait(QtMediaControl& media, const QString& path, bool fullScreen = false)
{
    media.play(path, fullScreen);
    QPointer<VideoWindow> video = media.current();
    EXPECT_TRUE(QTest::qWaitFor([&] { return !media.current() || video->isVisible(); }, LoadWait));
    return media.current() ? video : nullptr;
}

} // namespace

TEST(QtMediaControl, PlaysAVideoInItsOwnWindowUntilEscape)
{
    QtMediaControl media;
    QPointer<VideoWindow> video = playAndWait(media, sample("clip.avi"));
    ASSERT_TRUE(video) << "the player gave up on the sample";
    EXPECT_EQ(video->windowTitle(), QStringLiteral("clip.avi"));
    EXPECT_EQ(video->size(), QSize(320, 240));
    EXPECT_FALSE(video->isFullScreen());
    EXPECT_TRUE(QTest::qWaitFor([&] { return video->hasShownFrame(); }, LoadWait));

    QPointer<QMediaPlayer> player = video->player();
    QTest::keyClick(video, Qt::Key_Escape);
    ASSERT_TRUE(player);
    EXPECT_EQ(player->playbackState(), QMediaPlayer::StoppedState);
    EXPECT_EQ(media.current(), nullptr);
    EXPECT_FALSE(video->isVisible());
    // The player goes with the video; the window stays for the next one.
    EXPECT_TRUE(QTest::qWaitFor([&] { return !player; }, LoadWait));
}

TEST(QtMediaControl, FullScreenAndClosingTheWindow)
{
    QtMediaControl media;
    QPointer<VideoWindow> video = playAndWait(media, sample("clip.avi"), true);
    ASSERT_TRUE(video);
    EXPECT_TRUE(video->isFullScreen());
    video->close();
    EXPECT_TRUE(QTest::qWaitFor([&] { return !media.current(); }, LoadWait));
}

TEST(QtMediaControl, ASecondPlayReplacesTheFirstAndNamesAreNotRun)
{
    QTemporaryDir dir;
    const QString before = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(dir.path()));
    const QString odd = dir.filePath(QStringLiteral("it's \"odd\"; $(touch ran) `touch ran`.avi"));
    ASSERT_TRUE(QFile::copy(sample("clip.avi"), odd));

    QtMediaControl media;
    media.play(sample("clip.avi"), false);
    ASSERT_TRUE(media.current());
    QPointer<QMediaPlayer> first = media.current()->player();
    QPointer<VideoWindow> second = playAndWait(media, odd);
    ASSERT_TRUE(second);
    EXPECT_TRUE(QTest::qWaitFor([&] { return !first; }, LoadWait));
    EXPECT_EQ(second->windowTitle(), QFileInfo(odd).fileName());
    EXPECT_EQ(visibleVideos(), 1);
    EXPECT_FALSE(QFile::exists(dir.filePath(QStringLiteral("ran"))));
    QDir::setCurrent(before);
}

// Qt keeps for good what a video output allocates to draw without a GPU: a window of its own per
// video grew the program by the size of the picture with every video in a long run. One window
// serves every video, in a window or on the whole screen, each shown as the first was.
TEST(QtMediaControl, EveryVideoPlaysInTheSameWindow)
{
    QtMediaControl media;
    QPointer<VideoWindow> first = playAndWait(media, sample("clip.avi"));
    ASSERT_TRUE(first);
    const qsizetype topLevels = QApplication::topLevelWidgets().size();
    for (const bool fullScreen : {true, false, false, true, false}) {
        QPointer<QMediaPlayer> before = media.current() ? media.current()->player() : nullptr;
        QPointer<VideoWindow> video = playAndWait(media, sample("clip.avi"), fullScreen);
        ASSERT_TRUE(video);
        EXPECT_EQ(video, first);
        EXPECT_EQ(video->isFullScreen(), fullScreen);
        if (!fullScreen) {
            EXPECT_EQ(video->size(), QSize(320, 240));
        }
        EXPECT_EQ(video->windowTitle(), QStringLiteral("clip.avi"));
        EXPECT_TRUE(QTest::qWaitFor([&] { return video->hasShownFrame(); }, LoadWait));
        EXPECT_TRUE(QTest::qWaitFor([&] { return !before; }, LoadWait));
        if (fullScreen)
            QTest::keyClick(video, Qt::Key_Escape);
        EXPECT_EQ(visibleVideos(), fullScreen ? 0 : 1);
    }
    EXPECT_EQ(QApplication::topLevelWidgets().size(), topLevels);
    EXPECT_EQ(media.window(), first);
}

TEST(QtMediaControl, WhatCannotPlayShowsNoWindow)
{
    QTemporaryDir dir;
    QtMediaControl media;
    for (const QString& path : {dir.filePath(QStringLiteral("missing.avi")), dir.path(), QString()}) {
        media.play(path, false);
        EXPECT_EQ(media.current(), nullptr) << path.toStdString();
    }
    QFile junk(dir.filePath(QStringLiteral("junk.avi")));
    ASSERT_TRUE(junk.open(QIODevice::WriteOnly) && junk.write(QByteArray(20000, '\x33')) == 20000);
    junk.close();
    EXPECT_FALSE(playAndWait(media, junk.fileName()));
    EXPECT_EQ(visibleVideos(), 0);
}

// A picture stream no decoder reads (or none at all) leaves the sound playing, with no window.
TEST(QtMediaControl, SoundWithoutPicturePlaysWithoutAWindow)
{
    QTemporaryDir dir;
    QFile in(sample("clip.avi"));
    ASSERT_TRUE(in.open(QIODevice::ReadOnly));
    QFile out(dir.filePath(QStringLiteral("nocodec.avi")));
    ASSERT_TRUE(out.open(QIODevice::WriteOnly));
    out.write(in.readAll().replace("MJPG", "QQQQ"));
    out.close();

    for (const QString& file : {out.fileName(), sample("chime.wav")}) {
        QtMediaControl media;
        media.play(file, false);
        QPointer<VideoWindow> video = media.current();
        ASSERT_TRUE(QTest::qWaitFor([&] { return !media.current() || video->player()->mediaStatus() >= QMediaPlayer::BufferedMedia; },
                                    LoadWait));
        ASSERT_TRUE(media.current()) << file.toStdString() << ": given up instead of playing the sound";
        EXPECT_FALSE(video->player()->hasVideo());
        EXPECT_TRUE(video->player()->hasAudio());
        EXPECT_EQ(video->player()->error(), QMediaPlayer::NoError);
        EXPECT_EQ(visibleVideos(), 0);
    }
}

TEST(QtMediaControl, NameThatIsNotUtf8Plays)
{
    QTemporaryDir dir;
    const QString path = orv::test::copyRawNamed(sample("clip.avi"), dir.path(), orv::test::notUtf8Name("avi"));
    ASSERT_FALSE(path.isEmpty());
    QtMediaControl media;
    QPointer<VideoWindow> video = playAndWait(media, path);
    ASSERT_TRUE(video) << "the player gave up on the file";
    EXPECT_TRUE(QTest::qWaitFor([&] { return video->hasShownFrame(); }, LoadWait));
    video->close();
    EXPECT_TRUE(QTest::qWaitFor([&] { return !media.current(); }, LoadWait));
    ::unlink(orv::encodeFileName(path).constData());
}

// The full screen takes the keys from the window that had them, and gives them back when the
// video ends by itself (one cut short, as a damaged file is): otherwise no window would have
// them and the user could not step on through the files with the keyboard.
TEST(QtMediaControl, FullScreenGivesTheKeysBackAtItsEnd)
{
    QWidget list;
    list.resize(200, 100);
    list.show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&list));

    QTemporaryDir dir;
    QFile in(sample("clip.avi"));
    ASSERT_TRUE(in.open(QIODevice::ReadOnly));
    QFile half(dir.filePath(QStringLiteral("half.avi")));
    ASSERT_TRUE(half.open(QIODevice::WriteOnly));
    half.write(in.read(in.size() / 2));
    half.close();
    QtMediaControl media;
    QPointer<VideoWindow> video = playAndWait(media, half.fileName(), true);
    ASSERT_TRUE(video);
    EXPECT_TRUE(QTest::qWaitFor([&] { return QApplication::activeWindow() == video; }, LoadWait));
    ASSERT_TRUE(QTest::qWaitFor([&] { return !media.current(); }, LoadWait));
    EXPECT_TRUE(QTest::qWaitFor([&] { return QApplication::activeWindow() == &list; }, LoadWait));
}

// A window manager that focuses every new window gives a video in a window the keys: all but
// Escape go on to the window the user works in (its focus widget), so the list steps on.
TEST(QtMediaControl, KeysPassOnFromAVideoInAWindow)
{
    QWidget main;
    auto* list = new QListWidget(&main);
    list->addItems({QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c")});
    list->setCurrentRow(0);
    main.show();
    list->setFocus();
    QtMediaControl media;
    media.passKeysTo(&main);
    QPointer<VideoWindow> video = playAndWait(media, sample("clip.avi"));
    ASSERT_TRUE(video);
    QTest::keyClick(video, Qt::Key_Down);
    EXPECT_TRUE(QTest::qWaitFor([&] { return list->currentRow() == 1; }));
    EXPECT_TRUE(media.current());
    QTest::keyClick(video, Qt::Key_Escape);
    EXPECT_TRUE(QTest::qWaitFor([&] { return !media.current(); }, LoadWait));
    EXPECT_EQ(list->currentRow(), 1);
}

// A video that loads while a question is open shows only once the question has gone: under it,
// blocked by it, it took the keys a window manager gives every new window, so the question could
// not be answered from the keyboard and the keys then went nowhere. One stopped meanwhile never
// shows.
TEST(QtMediaControl, AVideoWaitsForTheOpenQuestion)
{
    QWidget main;
    main.show();
    QMessageBox question(QMessageBox::Question, QStringLiteral("Movie"), QStringLiteral("?"),
                         QMessageBox::Yes | QMessageBox::No, &main);
    question.setWindowModality(Qt::ApplicationModal);
    const auto loaded = [](QtMediaControl& media) {
        return QTest::qWaitFor([&] {
            return !media.current() || (media.current()->player()->hasVideo()
                                        && media.current()->player()->position() > 0);
        }, LoadWait);
    };

    QtMediaControl media;
    question.show();
    media.play(sample("clip.avi"), false);
    QPointer<VideoWindow> video = media.current();
    ASSERT_TRUE(video);
    ASSERT_TRUE(loaded(media));
    ASSERT_TRUE(media.current()) << "the player gave up on the sample";
    QCoreApplication::processEvents();
    EXPECT_FALSE(video->isVisible());
    question.hide();
    EXPECT_TRUE(QTest::qWaitFor([&] { return video->isVisible(); }, LoadWait));
    EXPECT_EQ(video->size(), QSize(320, 240));

    question.show();
    media.play(sample("clip.avi"), false);
    EXPECT_FALSE(video->isVisible());
    ASSERT_TRUE(loaded(media));
    video->close();
    ASSERT_FALSE(media.current());
    question.hide();
    QCoreApplication::processEvents();
    EXPECT_FALSE(video->isVisible());
}
