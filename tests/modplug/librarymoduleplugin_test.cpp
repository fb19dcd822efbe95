// The module plug-in library as the program uses it: loaded from a folder, its instances play
// into the shared audio output's module slot, draw in the window they are given (and only while
// there is something to show), stop and go when told, never sound for a bad file, and a missing
// library fails every call.
#include "modulefixtures.h"

#include "platform/librarymoduleplugin.h"
#include "platform/sdlaudiooutput.h"
#include "platform/wavefixtures.h"
#include "support/rawname.h"

#include <QImage>
#include <QPaintEvent>
#include <QSet>
#include <QTemporaryDir>
#include <QTimer>
#include <QWidget>
#include <QtTest/QTest>

#include <algorithm>

#include <gtest/gtest.h>

using namespace orv;
using namespace orv::test;

namespace {

const QString kPluginDir = QStringLiteral(ORVANE_MODPLUG_DIR);

QWidget* playerWindow()
{
    auto* w = new QWidget;
    w->resize(244, 48);
    return w;
}

// Starts `path` the way the program does and returns the handle.
quint32 start(LibraryModulePlugin& plugin, QWidget* window, const QString& path, bool loop = true)
{
    quint32 handle = 0;
    EXPECT_TRUE(plugin.createEx(loop ? QStringLiteral("loop|true") : QStringLiteral("loop|false"), handle));
    EXPECT_NE(handle, 0u);
    EXPECT_TRUE(plugin.setWindow(handle, window));
    EXPECT_TRUE(plugin.load(handle, path));
    EXPECT_TRUE(plugin.play(handle));
    return handle;
}

// Plays `path` for half a second of device output, then stops it; returns what the device got
// while it played and, separately, after the stop.
std::pair<Heard, Heard> playAndStop(const QString& path)
{
    DiskAudio disk;
    qint64 stoppedAt = 0;
    {
        SdlAudioOutput output;
        LibraryModulePlugin plugin(output, kPluginDir);
        std::unique_ptr<QWidget> window(playerWindow());
        window->show();
        const quint32 handle = start(plugin, window.get(), path);
        EXPECT_TRUE(output.isPlaying(AudioOutput::ModuleSlot));
        const qint64 halfSecond = output.sampleRate() * 8 / 2;
        EXPECT_TRUE(QTest::qWaitFor([&] { return disk.bytesWritten() > halfSecond; }, 5000));

        // The display is a child of the window and draws more than a blank area.
        EXPECT_EQ(window->findChildren<QWidget*>().size(), 1);
        const QImage shot = window->grab().toImage();
        QSet<QRgb> colours;
        for (int y = 0; y < shot.height(); ++y)
            for (int x = 0; x < shot.width(); ++x)
                colours.insert(shot.pixel(x, y));
        EXPECT_GT(colours.size(), 4);

        plugin.stop(handle);
        EXPECT_FALSE(output.isPlaying(AudioOutput::ModuleSlot));
        stoppedAt = disk.bytesWritten();
        EXPECT_TRUE(QTest::qWaitFor([&] { return disk.bytesWritten() > stoppedAt + halfSecond; }, 5000));
        plugin.destroy(handle);
        EXPECT_TRUE(window->findChildren<QWidget*>().isEmpty());
    }
    const std::vector<float> out = disk.samples();
    // Slack for the device buffer that was being mixed when Stop came (2048 frames) and the
    // driver's file buffer.
    const std::size_t cut = std::min(out.size(), std::size_t(stoppedAt / 4 + 2 * 4096));
    return {listen({out.begin(), out.begin() + std::ptrdiff_t(cut)}), listen({out.begin() + std::ptrdiff_t(cut), out.end()})};
}

// The regions of the paint events a widget receives.
class PaintLog final : public QObject {
public:
    explicit PaintLog(QWidget* widget) { widget->installEventFilter(this); }
    int count() const { return int(regions.size()); }
    std::vector<QRegion> regions;

protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::Paint)
            regions.push_back(static_cast<QPaintEvent*>(event)->region());
        return false;
    }
};

// Waits until the device has played `bytes` more: time passing as the program sees it.
bool devicePlays(const DiskAudio& disk, qint64 bytes)
{
    const qint64 from = disk.bytesWritten();
    return QTest::qWaitFor([&] { return disk.bytesWritten() > from + bytes; }, 5000);
}

} // namespace

// The bundled module reaches the device on both sides, and Stop silences it.
TEST(LibraryModulePlugin, SampleModulePlaysAndStopSilences)
{
    const auto [playing, afterStop] = playAndStop(tunePath());
    EXPECT_GT(playing.peakLeft, 0.02f);
    EXPECT_GT(playing.peakRight, 0.02f);
    EXPECT_EQ(afterStop.peakLeft, 0.0f);
    EXPECT_EQ(afterStop.peakRight, 0.0f);
}

// A zip-packed module plays like the plain one.
TEST(LibraryModulePlugin, PackedModulePlays)
{
    QTemporaryDir dir;
    const QString mdz = dir.filePath(QStringLiteral("tune.mdz"));
    ASSERT_TRUE(writeAll(mdz, zipOf({{"tune.mod", readAll(tunePath())}})));
    EXPECT_GT(playAndStop(mdz).first.peakLeft, 0.02f);
}

// A newer instance owns the module slot: stopping or destroying an older one leaves it playing.
TEST(LibraryModulePlugin, OlderInstanceCannotCutOffTheNewer)
{
    SdlAudioOutput output;
    LibraryModulePlugin plugin(output, kPluginDir);
    std::unique_ptr<QWidget> window(playerWindow());
    const quint32 first = start(plugin, window.get(), tunePath());
    const quint32 second = start(plugin, window.get(), tunePath());
    EXPECT_NE(first, second);
    plugin.stop(first);
    plugin.destroy(first);
    EXPECT_TRUE(output.isPlaying(AudioOutput::ModuleSlot));
    plugin.destroy(second);
    EXPECT_FALSE(output.isPlaying(AudioOutput::ModuleSlot));
    // Calls for handles that are gone, or never were, do nothing.
    EXPECT_TRUE(plugin.play(first));
    EXPECT_TRUE(plugin.stop(12345));
    EXPECT_FALSE(output.isPlaying(AudioOutput::ModuleSlot));
}

// What is not a playable module starts nothing, and a Play without a window or load does neither.
TEST(LibraryModulePlugin, BadFilesNeverSound)
{
    QTemporaryDir dir;
    const QByteArray tune = readAll(tunePath());
    const std::vector<std::pair<const char*, QByteArray>> cases = {
        {"empty.mod", {}},
        {"cut.mod", tune.left(600)},
        {"garbage.xm", QByteArray(3000, '\x55')},
        {"not-a-zip.mdz", QByteArray("PK\x03\x04 not really", 15)},
        {"words.itz", zipOf({{"song.it", "no module here"}})},
    };
    SdlAudioOutput output;
    LibraryModulePlugin plugin(output, kPluginDir);
    std::unique_ptr<QWidget> window(playerWindow());
    for (const auto& [name, bytes] : cases) {
        const QString path = dir.filePath(QString::fromLatin1(name));
        ASSERT_TRUE(writeAll(path, bytes));
        const quint32 handle = start(plugin, window.get(), path);
        EXPECT_FALSE(output.isPlaying(AudioOutput::ModuleSlot)) << name;
        plugin.stop(handle);
        plugin.destroy(handle);
    }
    quint32 bare = 0;
    ASSERT_TRUE(plugin.createEx(QStringLiteral("loop|true"), bare));
    plugin.load(bare, tunePath());
    plugin.play(bare);
    EXPECT_FALSE(output.isPlaying(AudioOutput::ModuleSlot));
    plugin.destroy(bare);
}

// Without the library every call fails, so the program can report it.
TEST(LibraryModulePlugin, MissingLibraryFailsEveryCall)
{
    QTemporaryDir empty;
    SdlAudioOutput output;
    LibraryModulePlugin plugin(output, empty.path());
    quint32 handle = 7;
    EXPECT_FALSE(plugin.createEx(QStringLiteral("loop|true"), handle));
    EXPECT_EQ(handle, 7u);
    EXPECT_FALSE(plugin.setWindow(1, nullptr));
    EXPECT_FALSE(plugin.load(1, tunePath()));
    EXPECT_FALSE(plugin.play(1));
    EXPECT_FALSE(plugin.stop(1));
    EXPECT_FALSE(plugin.destroy(1));
}

// The program ending mid-song: its windows go first, then the plug-in and the output, with
// nothing left running or allocated.
TEST(LibraryModulePlugin, ProgramEndWhilePlayingReleasesEverything)
{
    SdlAudioOutput output;
    {
        LibraryModulePlugin plugin(output, kPluginDir);
        auto* window = playerWindow();
        window->show();
        start(plugin, window, tunePath());
        delete window;
        EXPECT_TRUE(output.isPlaying(AudioOutput::ModuleSlot));
    }
    EXPECT_FALSE(output.isPlaying(AudioOutput::ModuleSlot));
}

// The display repaints only what moves while the music plays, and not at all while its window
// is minimised or hidden or once the music has stopped and the meters have fallen; it picks up
// again when the window comes back.
TEST(LibraryModulePlugin, DisplayPaintsOnlyWhileThereIsSomethingToSee)
{
    DiskAudio disk;
    SdlAudioOutput output;
    LibraryModulePlugin plugin(output, kPluginDir);
    std::unique_ptr<QWidget> window(playerWindow());
    window->show();
    const quint32 handle = start(plugin, window.get(), tunePath());
    const QList<QWidget*> views = window->findChildren<QWidget*>();
    ASSERT_EQ(views.size(), 1);
    const auto* frames = views[0]->findChild<QTimer*>(QStringLiteral("frames"));
    ASSERT_NE(frames, nullptr);
    PaintLog paints(views[0]);
    const qint64 halfSecond = output.sampleRate() * 8 / 2;

    // Frames come; once the title is up they repaint the trace, meters and clock, not the title.
    ASSERT_TRUE(QTest::qWaitFor([&] { return paints.count() >= 8; }, 5000));
    const QPoint inTitle(8, 4);
    EXPECT_TRUE(std::none_of(paints.regions.end() - 4, paints.regions.end(),
                             [&](const QRegion& r) { return r.contains(inTitle); }));

    for (const bool minimise : {true, false}) {
        SCOPED_TRACE(minimise ? "minimised" : "hidden");
        if (minimise)
            window->showMinimized();
        else
            window->hide();
        QCoreApplication::processEvents();
        const int resting = paints.count();
        EXPECT_FALSE(frames->isActive());
        ASSERT_TRUE(devicePlays(disk, halfSecond));
        EXPECT_EQ(paints.count(), resting);
        window->showNormal();
        EXPECT_TRUE(QTest::qWaitFor([&] { return paints.count() >= resting + 3; }, 5000));
    }

    // Stopped: the meters fall back, then nothing ticks or paints any more.
    plugin.stop(handle);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !frames->isActive(); }, 5000));
    QCoreApplication::processEvents();
    const int stopped = paints.count();
    ASSERT_TRUE(devicePlays(disk, halfSecond));
    EXPECT_EQ(paints.count(), stopped);

    // Played again, it comes back to life.
    plugin.play(handle);
    EXPECT_TRUE(frames->isActive());
    EXPECT_TRUE(QTest::qWaitFor([&] { return paints.count() >= stopped + 3; }, 5000));
    plugin.destroy(handle);
}

// A song that is not repeated ends on its own: the output slot empties and the display comes to
// rest still showing the song.
TEST(LibraryModulePlugin, DisplayRestsWhenTheSongEnds)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("one row.mod"));
    ASSERT_TRUE(writeAll(path, oneRowModule()));
    DiskAudio disk;
    SdlAudioOutput output;
    LibraryModulePlugin plugin(output, kPluginDir);
    std::unique_ptr<QWidget> window(playerWindow());
    window->show();
    const quint32 handle = start(plugin, window.get(), path, false);
    const QList<QWidget*> views = window->findChildren<QWidget*>();
    ASSERT_EQ(views.size(), 1);
    const auto* frames = views[0]->findChild<QTimer*>(QStringLiteral("frames"));
    ASSERT_NE(frames, nullptr);
    EXPECT_TRUE(QTest::qWaitFor([&] { return !output.isPlaying(AudioOutput::ModuleSlot); }, 5000));
    EXPECT_TRUE(QTest::qWaitFor([&] { return !frames->isActive(); }, 5000));

    const QImage shot = window->grab().toImage();
    QSet<QRgb> colours;
    for (int y = 0; y < shot.height(); ++y)
        for (int x = 0; x < shot.width(); ++x)
            colours.insert(shot.pixel(x, y));
    EXPECT_GT(colours.size(), 4);
    plugin.destroy(handle);
}

// A module whose name is not valid UTF-8 plays.
TEST(LibraryModulePlugin, NameThatIsNotUtf8Plays)
{
    QTemporaryDir dir;
    const QString path = orv::test::copyRawNamed(tunePath(), dir.path(), orv::test::notUtf8Name("mod"));
    ASSERT_FALSE(path.isEmpty());
    EXPECT_GT(playAndStop(path).first.peakLeft, 0.02f);
    ::unlink(orv::encodeFileName(path).constData());
}
