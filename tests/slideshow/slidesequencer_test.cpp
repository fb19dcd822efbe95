// The player without its window: the walk through a show, its modes, the input table, the
// sound test on entry names, placement, and entries whose files cannot be read.
#include "slideshow/core/slidesequencer.h"

#include <QSet>
#include <gtest/gtest.h>

#include <limits>

using namespace orv;

namespace {

const QString kCaption = QStringLiteral("Slide Show is playing ");

ShowView show(const QStringList& entries, bool loop)
{
    ShowView v;
    v.entries = entries;
    v.loop = loop;
    v.captionText = kCaption;
    return v;
}

const QStringList kThree{QStringLiteral("/p/a.jpg"), QStringLiteral("/p/b.bmp"), QStringLiteral("/p/c.gif")};

// A sequencer whose entries can all be shown except those named in `unreadable`; it records
// every entry it was asked to prepare.
struct Player {
    QSet<QString> unreadable;
    QStringList prepared;
    SlideSequencer seq{[this](int, const QString& entry, SlideKind) {
        prepared.append(entry);
        return !unreadable.contains(entry);
    }};
};

// The captions of successive steps until the show ends (at most `limit` steps).
QStringList walk(Player& p, const ShowView& v, int limit)
{
    QStringList captions;
    p.seq.start();
    for (int i = 0; i < limit; ++i) {
        const SlideStep s = p.seq.ShowNext(v);
        if (s.ended) {
            captions.append(QStringLiteral("end"));
            break;
        }
        captions.append(s.caption.value_or(QStringLiteral("-")));
    }
    return captions;
}

} // namespace

TEST(SlideSequencer, ThreePicturesWithoutLoopEndAfterTheLast)
{
    Player p;
    EXPECT_EQ(walk(p, show(kThree, false), 10),
              (QStringList{kCaption + QStringLiteral("/p/a.jpg 1/3"), kCaption + QStringLiteral("/p/b.bmp 2/3"),
                           kCaption + QStringLiteral("/p/c.gif 3/3"), QStringLiteral("end")}));
}

TEST(SlideSequencer, ThreePicturesWithLoopStartAgain)
{
    Player p;
    const QStringList c = walk(p, show(kThree, true), 5);
    ASSERT_EQ(c.size(), 5);
    EXPECT_EQ(c.at(3), kCaption + QStringLiteral("/p/a.jpg 1/3"));
    EXPECT_EQ(c.at(4), kCaption + QStringLiteral("/p/b.bmp 2/3"));
    EXPECT_EQ(p.seq.slideLast(), 2);
    EXPECT_EQ(p.seq.slideIndex(), 2);
}

TEST(SlideSequencer, StepNamesTheEntryItsKindAndPlace)
{
    Player p;
    ShowView v = show({QStringLiteral("/p/Tune.WAV"), QStringLiteral("/p/pic.jpg")}, false);
    v.showFileName = false;
    p.seq.start();
    const SlideStep s = p.seq.ShowNext(v);
    EXPECT_FALSE(s.ended);
    EXPECT_EQ(s.entry, QStringLiteral("/p/Tune.WAV"));
    EXPECT_EQ(s.kind, SlideKind::Wave);
    EXPECT_EQ(s.index, 0);
    EXPECT_EQ(s.count, 2);
    EXPECT_EQ(s.caption, std::nullopt);
}

TEST(SlideSequencer, EmptyEntryOrEmptyShowEnds)
{
    Player p;
    EXPECT_EQ(walk(p, show({QStringLiteral("/p/a.jpg"), QString(), QStringLiteral("/p/c.jpg")}, true), 5),
              (QStringList{kCaption + QStringLiteral("/p/a.jpg 1/3"), QStringLiteral("end")}));
    EXPECT_EQ(walk(p, show({}, true), 5), QStringList{QStringLiteral("end")});
}

TEST(SlideSequencer, UnreadableEntryIsSkippedAndStillCounted)
{
    Player p;
    p.unreadable = {QStringLiteral("/p/b.bmp")};
    EXPECT_EQ(walk(p, show(kThree, false), 10),
              (QStringList{kCaption + QStringLiteral("/p/a.jpg 1/3"), kCaption + QStringLiteral("/p/c.gif 3/3"),
                           QStringLiteral("end")}));
    // With loop the walk goes round it; the unreadable last entry leads back to the first.
    Player q;
    q.unreadable = {QStringLiteral("/p/c.gif")};
    EXPECT_EQ(walk(q, show(kThree, true), 3),
              (QStringList{kCaption + QStringLiteral("/p/a.jpg 1/3"), kCaption + QStringLiteral("/p/b.bmp 2/3"),
                           kCaption + QStringLiteral("/p/a.jpg 1/3")}));
}

TEST(SlideSequencer, ShowWithNothingReadableEndsInsteadOfSpinning)
{
    Player p;
    p.unreadable = QSet<QString>(kThree.begin(), kThree.end());
    EXPECT_EQ(walk(p, show(kThree, true), 5), QStringList{QStringLiteral("end")});
    EXPECT_EQ(p.prepared, kThree);

    // A looping show whose files all vanish while it runs ends at the next step.
    Player q;
    q.seq.start();
    ASSERT_FALSE(q.seq.ShowNext(show(kThree, true)).ended);
    q.unreadable = QSet<QString>(kThree.begin(), kThree.end());
    EXPECT_TRUE(q.seq.ShowNext(show(kThree, true)).ended);
}

TEST(SlideSequencer, UpcomingIndexFollowsTheWalk)
{
    Player p;
    const ShowView once = show(kThree, false);
    p.seq.start();
    EXPECT_EQ(p.seq.upcomingIndex(once), 0);
    p.seq.ShowNext(once);
    p.seq.ShowNext(once);
    EXPECT_EQ(p.seq.upcomingIndex(once), 2);
    p.seq.ShowNext(once);
    EXPECT_EQ(p.seq.upcomingIndex(once), std::nullopt);

    const ShowView looped = show(kThree, true);
    p.seq.start();
    for (int i = 0; i < 3; ++i)
        p.seq.ShowNext(looped);
    EXPECT_EQ(p.seq.upcomingIndex(looped), 0);
}

TEST(SlideKindOf, WavInAnyCaseWithOrWithoutADot)
{
    for (const char* wave : {"/p/BEACH.WAV", "/p/Beach.Wav", "/p/beach.wav", "/p/mywav", "wav"})
        EXPECT_EQ(slideKindOf(QString::fromLatin1(wave)), SlideKind::Wave) << wave;
    for (const char* picture : {"/p/beach.jpg", "/p/wav.jpg", "/p/beach.wave", "av", ""})
        EXPECT_EQ(slideKindOf(QString::fromLatin1(picture)), SlideKind::Picture) << picture;
}

TEST(PlayerModes, TimerWinsAndNeitherOnlyEnds)
{
    ShowSettings s;
    PlayerModes m = playerModes(s);
    EXPECT_TRUE(m.advanceOnKey);
    EXPECT_FALSE(m.advanceOnTimer);
    EXPECT_EQ(m.timerIntervalMs, 5000);

    s.advanceOnTimer = true;
    s.interval = SlideInterval::fromMilliseconds(2000);
    m = playerModes(s);
    EXPECT_FALSE(m.advanceOnKey);
    EXPECT_TRUE(m.advanceOnTimer);
    EXPECT_EQ(m.timerIntervalMs, 2000);

    s.advanceOnKey = false;
    s.interval = SlideInterval::fromText(QStringLiteral("2500.5"));
    EXPECT_EQ(playerModes(s).timerIntervalMs, 2500);
    // A file's interval that is no positive number leaves the timer at its own 5000.
    s.interval = SlideInterval::fromText(QStringLiteral("-3"));
    EXPECT_EQ(playerModes(s).timerIntervalMs, 5000);

    s.advanceOnTimer = false;
    m = playerModes(s);
    EXPECT_FALSE(m.advanceOnKey || m.advanceOnTimer);
}

TEST(PlayerInputTable, WhatEachEventDoes)
{
    const PlayerModes key{true, false, 5000};
    const PlayerModes timer{false, true, 2000};
    const PlayerModes neither{false, false, 5000};
    using I = PlayerInput;
    using A = PlayerAction;
    struct Row {
        I input;
        A onKey, onTimer, onNeither, single;
    };
    const Row table[] = {
        {I::Escape, A::Close, A::Close, A::Close, A::Close},
        {I::CharacterKey, A::Advance, A::Nothing, A::Nothing, A::Close},
        {I::RightButton, A::Close, A::Close, A::Close, A::Close},
        {I::LeftButton, A::Advance, A::Nothing, A::Nothing, A::Close},
        {I::MiddleButton, A::Nothing, A::Nothing, A::Nothing, A::Nothing},
        {I::Tick, A::Nothing, A::Advance, A::Nothing, A::Nothing},
    };
    for (const Row& r : table) {
        const int n = static_cast<int>(r.input);
        EXPECT_EQ(playerAction(r.input, false, key), r.onKey) << n;
        EXPECT_EQ(playerAction(r.input, false, timer), r.onTimer) << n;
        EXPECT_EQ(playerAction(r.input, false, neither), r.onNeither) << n;
        EXPECT_EQ(playerAction(r.input, true, key), r.single) << n;
        EXPECT_EQ(playerAction(r.input, true, timer), r.single) << n;
    }
    EXPECT_EQ(keyInput(QString(QChar(27))), PlayerInput::Escape);
    EXPECT_EQ(keyInput(QStringLiteral(" ")), PlayerInput::CharacterKey);
    EXPECT_EQ(keyInput(QStringLiteral("\r")), PlayerInput::CharacterKey);
    EXPECT_EQ(keyInput(QString()), std::nullopt);
}

TEST(SlidePlacement, DivisorsAcrossAndDown)
{
    // The 48-pixel wave symbol (1270 HIMETRIC at 96 DPI) on a 1280 x 1024 screen.
    const QSize screen(1280, 1024);
    EXPECT_EQ(slideOffsetTwips(screen, 15, 15, QSize(1270, 1270)), QPoint(9241, 7306));
    EXPECT_EQ(slideTopLeft(screen, 15, 15, QSize(1270, 1270)), QPoint(616, 487));
    // An 800 x 600 picture: about (screen - 0.99655 w) / 2 and (screen - 1.03758 h) / 2.
    EXPECT_EQ(slideTopLeft(screen, 15, 15, QSize(21167, 15875)), QPoint(241, 201));
    // Larger than the screen: cut on every side.
    const QPoint big = slideTopLeft(QSize(640, 480), 15, 15, QSize(52917, 39688));
    EXPECT_LT(big.x(), 0);
    EXPECT_LT(big.y(), 0);
}
