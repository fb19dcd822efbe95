// The editor's rules without its window: how each list command moves the count and the
// unsaved-changes state, the mode switches, the interval prompt, open and save.
#include "slideshow/core/showeditor.h"

#include <QBuffer>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <csignal>

#include <sys/resource.h>
#include <unistd.h>

using namespace orv;

namespace {

const QString kPics = QStringLiteral("/home/ann/Pictures");

// An editor holding a saved show of the given entries.
ShowEditorState savedShow(const QStringList& names)
{
    ShowEditorState e;
    e.addAll(kPics, names);
    QTemporaryDir dir;
    EXPECT_TRUE(e.save(dir.filePath(QStringLiteral("s.sli"))).saved);
    return e;
}

bool openBytes(ShowEditorState& e, const QByteArray& bytes)
{
    QBuffer in;
    in.setData(bytes);
    in.open(QIODevice::ReadOnly);
    return e.open(in);
}

} // namespace

TEST(ShowEditorState, AddBuildsPathsAndKeepsDuplicatesInOrder)
{
    ShowEditorState e;
    e.add(QStringLiteral("/"), {QStringLiteral("Beach.jpg")});
    e.add(kPics, {QStringLiteral("beach.JPG"), QStringLiteral("Dune.bmp")});
    e.add(kPics + QStringLiteral("/"), {QStringLiteral("Dune.bmp")});
    EXPECT_EQ(e.entries(), (QStringList{QStringLiteral("/Beach.jpg"), kPics + QStringLiteral("/beach.JPG"),
                                        kPics + QStringLiteral("/Dune.bmp"), kPics + QStringLiteral("/Dune.bmp")}));
    EXPECT_EQ(e.chosenCount(), 4);
    EXPECT_FALSE(e.showSaved());
    EXPECT_TRUE(e.asksBeforeClosing());
}

TEST(ShowEditorState, AddWithNothingSelectedMarksOnlyANonEmptyShow)
{
    ShowEditorState fresh;
    fresh.add(kPics, {});
    EXPECT_TRUE(fresh.showSaved());

    ShowEditorState e = savedShow({QStringLiteral("a.jpg")});
    ASSERT_TRUE(e.showSaved());
    e.add(kPics, {});
    EXPECT_EQ(e.chosenCount(), 1);
    EXPECT_FALSE(e.showSaved());

    // Add All from an empty folder changes nothing at all.
    ShowEditorState f = savedShow({QStringLiteral("a.jpg")});
    f.addAll(kPics, {});
    EXPECT_TRUE(f.showSaved());
}

TEST(ShowEditorState, RemoveTakesEverySelectedEntry)
{
    ShowEditorState e = savedShow({QStringLiteral("a.jpg"), QStringLiteral("b.jpg"), QStringLiteral("c.jpg"),
                                   QStringLiteral("d.jpg"), QStringLiteral("a.jpg")});
    e.remove({2, 1, 99, -1});
    EXPECT_EQ(e.entries(), (QStringList{kPics + QStringLiteral("/a.jpg"), kPics + QStringLiteral("/d.jpg"),
                                        kPics + QStringLiteral("/a.jpg")}));
    EXPECT_EQ(e.chosenCount(), 3);
    EXPECT_FALSE(e.showSaved());

    // Removing the last entries leaves the state as it was: an empty show asks nothing.
    ShowEditorState g = savedShow({QStringLiteral("a.jpg"), QStringLiteral("b.jpg")});
    g.remove({0, 1});
    EXPECT_EQ(g.chosenCount(), 0);
    EXPECT_TRUE(g.showSaved());
}

TEST(ShowEditorState, RemoveAllMarksChangeButClosingDoesNotAsk)
{
    ShowEditorState e = savedShow({QStringLiteral("a.jpg")});
    e.removeAll();
    EXPECT_EQ(e.chosenCount(), 0);
    EXPECT_FALSE(e.showSaved());
    EXPECT_FALSE(e.asksBeforeClosing());

    ShowEditorState empty;
    empty.removeAll();
    EXPECT_TRUE(empty.showSaved());
}

TEST(ShowEditorState, ModeItemsSwapAndOnlyTimerAsksForTheInterval)
{
    ShowEditorState e = savedShow({QStringLiteral("a.jpg")});
    EXPECT_TRUE(e.toggleTimerMode());
    EXPECT_FALSE(e.settings().advanceOnKey);
    EXPECT_TRUE(e.settings().advanceOnTimer);
    // Timer again: back to key mode, no question.
    EXPECT_FALSE(e.toggleTimerMode());
    EXPECT_TRUE(e.settings().advanceOnKey);
    EXPECT_FALSE(e.settings().advanceOnTimer);
    // Key while key mode is on switches to timer mode without asking; the interval stays.
    e.toggleKeyMode();
    EXPECT_TRUE(e.settings().advanceOnTimer);
    EXPECT_EQ(e.settings().interval, SlideInterval());
    // Both on (possible through a file): one switch turns both off.
    ShowSettings both;
    both.advanceOnTimer = true;
    e.setSettings(both);
    e.toggleKeyMode();
    EXPECT_FALSE(e.settings().advanceOnKey || e.settings().advanceOnTimer);
    // Play settings never count as unsaved changes.
    e.toggleLoop();
    e.togglePointer();
    e.toggleFileName();
    EXPECT_FALSE(e.settings().loop || e.settings().showPointer || e.settings().showFileName);
    EXPECT_TRUE(e.showSaved());
}

TEST(IntervalPrompt, SecondsBecomeMilliseconds)
{
    const QLocale en(QLocale::English, QLocale::UnitedStates);
    EXPECT_EQ(intervalFromAnswer(QStringLiteral("2.5"), en).interval.milliseconds(), 2500);
    EXPECT_EQ(intervalFromAnswer(QStringLiteral("0.5"), en).interval.milliseconds(), 500);
    EXPECT_EQ(intervalFromAnswer(QStringLiteral(" 12 "), en).interval.milliseconds(), 12000);
    // Cancel and an empty answer take 5 seconds.
    EXPECT_EQ(intervalFromAnswer(std::nullopt, en).interval, SlideInterval::fromMilliseconds(5000));
    EXPECT_EQ(intervalFromAnswer(QString(), en).interval, SlideInterval::fromMilliseconds(5000));
    // The user's own decimal comma, and the decimal point that works everywhere.
    const QLocale fr(QLocale::French, QLocale::France);
    EXPECT_EQ(intervalFromAnswer(QStringLiteral("2,5"), fr).interval.milliseconds(), 2500);
    EXPECT_EQ(intervalFromAnswer(QStringLiteral("2.5"), fr).interval.milliseconds(), 2500);
}

TEST(IntervalPrompt, ZeroNegativeAndWordsAreRefusedAndTheOldIntervalStays)
{
    const QLocale en(QLocale::English, QLocale::UnitedStates);
    ShowEditorState e;
    ASSERT_TRUE(e.answerInterval(QStringLiteral("3"), en));
    for (const char* bad : {"0", "-2", "two", "1e400", "inf", "nan", "3 s"}) {
        EXPECT_FALSE(e.answerInterval(QString::fromLatin1(bad), en)) << bad;
        EXPECT_EQ(e.settings().interval, SlideInterval::fromMilliseconds(3000)) << bad;
    }
}

TEST(IntervalPrompt, ProposesTheIntervalInSeconds)
{
    const QLocale en(QLocale::English, QLocale::UnitedStates);
    const QLocale fr(QLocale::French, QLocale::France);
    EXPECT_EQ(intervalPromptText(SlideInterval(), en), QStringLiteral("5"));
    EXPECT_EQ(intervalPromptText(SlideInterval::fromMilliseconds(2500), en), QStringLiteral("2.5"));
    EXPECT_EQ(intervalPromptText(SlideInterval::fromMilliseconds(2500), fr), QStringLiteral("2,5"));
    EXPECT_EQ(intervalPromptText(SlideInterval::fromMilliseconds(1234567), en), QStringLiteral("1234.567"));
    EXPECT_EQ(intervalPromptText(SlideInterval::fromText(QStringLiteral("7000")), en), QStringLiteral("7"));
    EXPECT_EQ(intervalPromptText(SlideInterval::fromText(QStringLiteral("soon")), en), QStringLiteral("5"));
    // What it proposes is taken back unchanged.
    const SlideInterval odd = SlideInterval::fromMilliseconds(1234.5);
    EXPECT_EQ(intervalFromAnswer(intervalPromptText(odd, fr), fr).interval, odd);
}

TEST(ShowEditorState, OpenReplacesTheShowButKeepsTheUnsavedState)
{
    ShowEditorState e;
    e.add(kPics, {QStringLiteral("x.jpg")});
    ASSERT_FALSE(e.showSaved());
    ASSERT_TRUE(openBytes(e, "[Orv Slide Show Data File]\r\n[Settings]\r\nFalse\r\nTrue\r\n 2000 \r\nFalse\r\nTrue\r\nTrue\r\n"
                             "[Files]\r\n/a/1.jpg\r\n/a/2.jpg\r\n"));
    EXPECT_EQ(e.entries(), (QStringList{QStringLiteral("/a/1.jpg"), QStringLiteral("/a/2.jpg")}));
    EXPECT_EQ(e.chosenCount(), 2);
    EXPECT_TRUE(e.settings().advanceOnTimer);
    EXPECT_FALSE(e.settings().loop);
    EXPECT_FALSE(e.showSaved());
    EXPECT_TRUE(e.asksBeforeClosing());
}

TEST(ShowEditorState, RefusedOpenLeavesAnEmptyListAndTheSettings)
{
    ShowEditorState e = savedShow({QStringLiteral("a.jpg"), QStringLiteral("b.jpg")});
    e.toggleLoop();
    const ShowSettings before = e.settings();
    EXPECT_FALSE(openBytes(e, "[orv slide show data file]\r\n[Settings]\r\nFalse\r\n"));
    EXPECT_EQ(e.chosenCount(), 0);
    EXPECT_EQ(e.settings(), before);
    EXPECT_TRUE(e.showSaved());
    EXPECT_FALSE(e.open(QStringLiteral("/nonexistent/show.sli")));
}

TEST(ShowEditorState, SaveMarksSavedOnlyWhenTheFileWasWritten)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    ShowEditorState e;
    e.add(kPics, {QStringLiteral("a.jpg")});
    EXPECT_FALSE(e.save(dir.filePath(QStringLiteral("missing/s.sli"))).saved);
    EXPECT_FALSE(e.showSaved());
    EXPECT_TRUE(e.asksBeforeClosing());

    const QString path = dir.filePath(QStringLiteral("s.sli"));
    ASSERT_TRUE(e.save(path).saved);
    EXPECT_TRUE(e.showSaved());

    // A full disk (a file-size limit here) fails the next save: the file keeps the saved
    // show and the change stays unsaved, with a message naming the file.
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QByteArray saved = f.readAll();
    f.close();
    QStringList many;
    for (int i = 0; i < 300; ++i)
        many.append(QStringLiteral("holiday %1.jpg").arg(i));
    e.addAll(kPics, many);
    rlimit limit{};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &limit), 0);
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit tight = limit;
    tight.rlim_cur = 1024;
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &tight), 0);
    const ShowSave full = e.save(path);
    ::setrlimit(RLIMIT_FSIZE, &limit);
    std::signal(SIGXFSZ, oldHandler);
    EXPECT_FALSE(full.saved);
    EXPECT_TRUE(full.message(path).contains(path));
    EXPECT_FALSE(e.showSaved());
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), saved);
    f.close();
    ASSERT_TRUE(e.save(path).saved);
    ShowEditorState reopened;
    ASSERT_TRUE(reopened.open(path));
    EXPECT_EQ(reopened.entries(), e.entries());
}
