// The full-screen player on a show given by a stand-in editor: the walk through the entries
// with and without loop, the modes and the input table, the timer, the caption and its colour,
// the pointer, sounds, and entries that cannot be shown.
#include "apphost.h"
#include "controls.h"
#include "eventually.h"
#include "hostilemetafiles.h"
#include "metafilesamples.h"
#include "poolgate.h"

#include "pictures/picturepreloader.h"
#include "slideshow/showpic.h"
#include "slideshow/slideshowsource.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QLabel>
#include <QTest>
#include <QThreadPool>
#include <QTimer>
#include <gtest/gtest.h>

QT_BEGIN_NAMESPACE
inline void PrintTo(const QString& s, std::ostream* os) { *os << '"' << s.toStdString() << '"'; }
QT_END_NAMESPACE

using namespace orv;
using namespace orv::test;

namespace {

class FakeEditor final : public QObject, public SlideShowSource {
public:
    QStringList entries;
    ShowSettings settings;
    quint32 colour = 0;
    ShowView showView() const override
    {
        return ShowView{entries, settings.loop, settings.showFileName, QStringLiteral("Slide Show is playing ")};
    }
    ShowSettings showSettings() const override { return settings; }
    quint32 captionColour() const override { return colour; }
};

struct Player {
    AppHost h;
    FakeEditor editor;
    QPointer<Showpic> p;

    QString picture(const QString& name, QSize size = {40, 30}, QColor colour = Qt::blue)
    {
        QImage img(size, QImage::Format_RGB32);
        img.fill(colour);
        const QString path = h.dir.filePath(name);
        img.save(path, "BMP");
        return path;
    }
    QString file(const QString& name, const QByteArray& bytes)
    {
        const QString path = h.dir.filePath(name);
        QFile f(path);
        f.open(QIODevice::WriteOnly);
        f.write(bytes);
        return path;
    }
    void play()
    {
        p = &h.app->showpic();
        p->playShow(editor);
    }
    QString caption() const { return p ? control<QLabel>(*p, "lblShowFilename").text() : QStringLiteral("<closed>"); }
    QString captionAt(int i) const
    {
        return QStringLiteral("Slide Show is playing ") + editor.entries.at(i - 1) + QLatin1Char(' ') + QString::number(i)
               + QLatin1Char('/') + QString::number(editor.entries.size());
    }
    bool closed() const { return p.isNull() || !p->isVisible(); }
    QImage screen() const { return p->grab().toImage(); }
};

} // namespace

// Key mode without loop: 1/3, 2/3, 3/3, then the next key closes; with loop it starts again.
// The picture is centred by the divisors and drawn on black.
TEST(Showpic, KeysWalkTheShowAndLoopStartsAgain)
{
    for (bool loop : {false, true}) {
        Player t;
        t.editor.entries = {t.picture(QStringLiteral("one.bmp")), t.picture(QStringLiteral("two.bmp")),
                            t.picture(QStringLiteral("three.bmp"))};
        t.editor.settings.loop = loop;
        t.play();
        EXPECT_EQ(t.caption(), t.captionAt(1));
        EXPECT_TRUE(t.p->isVisible());
        QTest::keyClick(t.p, Qt::Key_Space);
        EXPECT_EQ(t.caption(), t.captionAt(2));
        QTest::mouseClick(t.p, Qt::LeftButton);
        EXPECT_EQ(t.caption(), t.captionAt(3));
        QTest::mouseClick(t.p, Qt::MiddleButton);
        EXPECT_EQ(t.caption(), t.captionAt(3));
        QTest::keyClick(t.p, Qt::Key_A);
        if (loop) {
            EXPECT_EQ(t.caption(), t.captionAt(1));
            QTest::mouseClick(t.p, Qt::RightButton);
        }
        EXPECT_TRUE(QTest::qWaitFor([&] { return t.closed(); }));
    }
}

TEST(Showpic, PictureIsPlacedByTheDivisorsOnBlack)
{
    Player t;
    t.editor.entries = {t.picture(QStringLiteral("one.bmp"), {400, 300}, Qt::blue)};
    t.editor.settings.showFileName = false;
    t.play();
    const QImage shot = t.screen();
    ASSERT_EQ(shot.size(), QSize(1280, 1024));
    // x = (1280 - 0.99655 * 400) / 2 = 440.7, y = (1024 - 1.03758 * 300) / 2 = 356.4.
    const QPoint at = slideTopLeft({1280, 1024}, 15, 15, himetricForPixels({400, 300}, 96, 96));
    EXPECT_NEAR(at.x(), 441, 1);
    EXPECT_NEAR(at.y(), 356, 1);
    EXPECT_EQ(shot.pixelColor(at), QColor(Qt::blue));
    EXPECT_EQ(shot.pixelColor(at - QPoint(1, 1)), QColor(Qt::black));
    EXPECT_EQ(shot.pixelColor(at + QPoint(399, 299)), QColor(Qt::blue));
    EXPECT_EQ(shot.pixelColor(at + QPoint(400, 300)), QColor(Qt::black));
    EXPECT_TRUE(t.caption().isEmpty());
}

// Timer mode: the timer gets the interval, ticks advance and keys and left clicks do not.
// Timer wins when both modes are chosen.
TEST(Showpic, TimerModeAdvancesOnTicksOnly)
{
    Player t;
    t.editor.entries = {t.picture(QStringLiteral("one.bmp")), t.picture(QStringLiteral("two.bmp"))};
    t.editor.settings.advanceOnTimer = true;
    t.editor.settings.interval = SlideInterval::fromText(QStringLiteral("2000.5"));
    t.play();
    EXPECT_EQ(t.p->timeChange().interval(), 2000);  // halves to even
    EXPECT_TRUE(t.p->timeChange().isActive());
    QTest::keyClick(t.p, Qt::Key_Space);
    QTest::mouseClick(t.p, Qt::LeftButton);
    EXPECT_EQ(t.caption(), t.captionAt(1));
    QTest::keyClick(t.p, Qt::Key_Escape);
    EXPECT_TRUE(QTest::qWaitFor([&] { return t.closed(); }));

    Player fast;
    fast.editor.entries = {fast.picture(QStringLiteral("one.bmp")), fast.picture(QStringLiteral("two.bmp"))};
    fast.editor.settings.advanceOnTimer = true;
    fast.editor.settings.loop = false;
    fast.editor.settings.interval = SlideInterval::fromMilliseconds(100);
    fast.play();
    EXPECT_TRUE(QTest::qWaitFor([&] { return fast.caption() == fast.captionAt(2); })) << fast.caption().toStdString();
    EXPECT_TRUE(QTest::qWaitFor([&] { return fast.closed(); }));
}

// With neither mode the first entry stays: keys, clicks and ticks do nothing, Escape ends it.
// An interval that is no positive number leaves the timer at 5000 ms.
TEST(Showpic, NeitherModeOnlyEnds)
{
    Player t;
    t.editor.entries = {t.picture(QStringLiteral("one.bmp")), t.picture(QStringLiteral("two.bmp"))};
    t.editor.settings.advanceOnKey = false;
    t.editor.settings.interval = SlideInterval::fromText(QStringLiteral("-4"));
    t.play();
    EXPECT_EQ(t.p->timeChange().interval(), 5000);
    QTest::keyClick(t.p, Qt::Key_Space);
    QTest::mouseClick(t.p, Qt::LeftButton);
    EXPECT_EQ(t.caption(), t.captionAt(1));
    QTest::keyClick(t.p, Qt::Key_Escape);
    EXPECT_TRUE(QTest::qWaitFor([&] { return t.closed(); }));
}

// Black leaves the caption green; another colour is used as chosen. The pointer follows the
// setting at every step.
TEST(Showpic, CaptionColourAndPointer)
{
    for (quint32 colour : {0x000000u, 0x3366FFu}) {
        Player t;
        t.editor.entries = {t.picture(QStringLiteral("one.bmp")), t.picture(QStringLiteral("two.bmp"))};
        t.editor.colour = colour;
        t.editor.settings.showPointer = false;
        t.play();
        const QColor expected = colour ? QColor(0x33, 0x66, 0xFF) : QColor(0, 255, 0);
        EXPECT_EQ(control<QLabel>(*t.p, "lblShowFilename").palette().color(QPalette::WindowText), expected);
        EXPECT_EQ(t.p->cursor().shape(), Qt::BlankCursor);
        t.editor.settings.showPointer = true;
        QTest::keyClick(t.p, Qt::Key_Space);
        EXPECT_EQ(t.p->cursor().shape(), Qt::ArrowCursor);
        // The caption's own pixels carry the colour.
        const QImage shot = t.screen();
        bool found = false;
        for (int y = 0; y < 20 && !found; ++y)
            for (int x = 0; x < 200 && !found; ++x)
                found = shot.pixelColor(x, y) == expected;
        EXPECT_TRUE(found) << std::hex << colour;
    }
}

// Entries ending in "wav" in any letter case, with or without a dot, play as sounds with the
// wave symbol on screen; a picture file of another case is still a picture.
TEST(Showpic, WavesPlayThroughTheSoundService)
{
    Player t;
    const QString upper = t.file(QStringLiteral("BEACH.WAV"), "RIFF");
    const QString mixed = t.file(QStringLiteral("Beach.Wav"), "RIFF");
    const QString nodot = t.picture(QStringLiteral("mywav"));
    t.editor.entries = {upper, mixed, nodot};
    t.play();
    QTest::keyClick(t.p, Qt::Key_Space);
    QTest::keyClick(t.p, Qt::Key_Space);
    EXPECT_EQ(t.h.sound.played, (QStringList{upper, mixed, nodot}));
    EXPECT_EQ(t.caption(), t.captionAt(3));
    // The 48-pixel symbol is centred; the middle of the screen is not black.
    EXPECT_NE(t.screen().pixelColor(640, 512), QColor(Qt::black));
}

// A missing or unreadable entry is skipped and still counted; a show with nothing it can show
// closes at once instead of spinning.
TEST(Showpic, UnreadableEntriesAreSkipped)
{
    Player t;
    const QString good = t.picture(QStringLiteral("good.bmp"));
    const QString corrupt = t.file(QStringLiteral("corrupt.jpg"), QByteArray("\xFF\xD8\xFF\xE0 not really", 15));
    const QString missing = t.h.dir.filePath(QStringLiteral("gone.bmp"));
    const QString missingWave = t.h.dir.filePath(QStringLiteral("gone.wav"));
    t.editor.entries = {good, corrupt, missing, missingWave, good};
    t.editor.settings.loop = false;
    t.play();
    EXPECT_EQ(t.caption(), t.captionAt(1));
    QTest::keyClick(t.p, Qt::Key_Space);
    EXPECT_EQ(t.caption(), t.captionAt(5));
    EXPECT_TRUE(t.h.sound.played.isEmpty());
    QTest::keyClick(t.p, Qt::Key_Space);
    EXPECT_TRUE(QTest::qWaitFor([&] { return t.closed(); }));

    Player none;
    none.editor.entries = {corrupt, missing};
    none.editor.settings.loop = true;
    none.play();
    EXPECT_TRUE(QTest::qWaitFor([&] { return none.closed(); }));
}

// The show ends when the editor it reads from goes.
TEST(Showpic, ShowEndsWhenTheEditorGoes)
{
    Player t;
    auto* editor = new FakeEditor;
    editor->entries = {t.picture(QStringLiteral("one.bmp")), t.picture(QStringLiteral("two.bmp"))};
    t.p = &t.h.app->showpic();
    t.p->playShow(*editor);
    delete editor;
    QTest::keyClick(t.p, Qt::Key_Space);
    EXPECT_TRUE(QTest::qWaitFor([&] { return t.closed(); }));
}

// The next picture is decoded ahead, beside the one on screen and nothing more; a file
// changed after it was read ahead is read again, never shown stale.
TEST(Showpic, NextPictureIsReadAheadAndAChangedFileReadAgain)
{
    Player t;
    t.editor.entries = {t.picture(QStringLiteral("one.bmp"), {40, 30}, Qt::blue),
                        t.picture(QStringLiteral("two.bmp"), {40, 30}, Qt::blue),
                        t.picture(QStringLiteral("three.bmp"), {40, 30}, Qt::blue)};
    t.editor.settings.showFileName = false;
    t.play();
    const PicturePreloader& cache = *t.p->lookAheadCache();
    const auto holds = [&](const QStringList& paths) {
        QStringList held = cache.held();
        held.sort();
        QStringList want = paths;
        want.sort();
        return held == want;
    };
    EXPECT_TRUE(QTest::qWaitFor([&] { return holds({t.editor.entries[0], t.editor.entries[1]}); }))
        << cache.held().join(QLatin1Char(' ')).toStdString();

    // Rewrite the second picture in red with a later time.
    t.picture(QStringLiteral("two.bmp"), {40, 30}, Qt::red);
    QFile two(t.editor.entries[1]);
    ASSERT_TRUE(two.open(QIODevice::ReadWrite));
    two.setFileTime(QDateTime::currentDateTime().addSecs(60), QFileDevice::FileModificationTime);
    two.close();
    QTest::keyClick(t.p, Qt::Key_Space);
    const QPoint at = slideTopLeft(t.p->size(), 15, 15, himetricForPixels({40, 30}, 96, 96));
    EXPECT_EQ(t.screen().pixelColor(at + QPoint(5, 5)), QColor(Qt::red));
    EXPECT_TRUE(QTest::qWaitFor([&] { return holds({t.editor.entries[1], t.editor.entries[2]}); }))
        << cache.held().join(QLatin1Char(' ')).toStdString();
}

// Metafile slides are drawn, not left black. A plain WMF, which is sized by walking all its
// records, does not hold up the step: the slide shows black and its picture follows.
TEST(Showpic, MetafileSlidesAreDrawnAndAPlainOneFollowsItsStep)
{
    Player t;
    t.editor.entries = {t.file(QStringLiteral("plot.wmf"), HostileMetafiles::manyRecordsWmf(400000)),
                        t.file(QStringLiteral("drawing.wmf"), MetafileSamples::drawing())};
    t.editor.settings.showFileName = false;
    // Share of the screen that is not black.
    const auto lit = [&] {
        const QImage shot = t.screen().convertToFormat(QImage::Format_RGB32);
        qint64 n = 0;
        for (int y = 0; y < shot.height(); y += 8)
            for (int x = 0; x < shot.width(); x += 8)
                n += qRgb(0, 0, 0) != (shot.pixel(x, y) | 0xff000000u);
        return double(n) / double((shot.width() / 8) * (shot.height() / 8));
    };
    {
        PoolGate gate;   // the plot cannot be sized before the step returns
        t.play();
        EXPECT_EQ(t.p->slideIndex(), 1);
        EXPECT_FALSE(t.p->slideComplete());
        EXPECT_EQ(lit(), 0.0);
    }
    ASSERT_EVENTUALLY(t.p->slideComplete());
    EXPECT_GT(lit(), 0.5);   // the plot covers more than the screen
    const QImage plot = t.screen();

    QTest::keyClick(t.p, Qt::Key_Space);
    ASSERT_EVENTUALLY(t.p->slideComplete());
    const double drawing = lit();
    EXPECT_GT(drawing, 0.05);
    EXPECT_LT(drawing, 0.5);
    EXPECT_NE(t.screen(), plot);
    QThreadPool::globalInstance()->waitForDone();
}
