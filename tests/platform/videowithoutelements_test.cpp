// Qt's player crashes while it is being made when GStreamer has none of the elements it builds
// on. With no plug-ins at all a video is refused instead, and the program goes on.
#include <QDir>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

struct ChildRun {
    QProcess::ExitStatus status;
    int code;
    QString out;
};

ChildRun playInChild(const QProcessEnvironment& env)
{
    QProcess child;
    child.setProcessEnvironment(env);
    child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    child.start(QStringLiteral(ORVANE_VIDEO_CHILD),
                {qEnvironmentVariable("ORVANE_SAMPLES") + QStringLiteral("/clip.avi")});
    EXPECT_TRUE(child.waitForFinished(60000));
    return {child.exitStatus(), child.exitCode(), QString::fromLocal8Bit(child.readAllStandardOutput()).trimmed()};
}

} // namespace

TEST(VideoWithoutGStreamerElements, IsRefusedWithoutACrash)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString empty = dir.filePath(QStringLiteral("plugins"));
    ASSERT_TRUE(QDir().mkpath(empty));
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("GST_PLUGIN_SYSTEM_PATH_1_0"), empty);
    env.insert(QStringLiteral("GST_PLUGIN_PATH_1_0"), empty);
    env.insert(QStringLiteral("GST_REGISTRY_1_0"), dir.filePath(QStringLiteral("registry.bin")));
    const ChildRun bare = playInChild(env);
    EXPECT_EQ(bare.status, QProcess::NormalExit) << "the player crashed";
    EXPECT_EQ(bare.code, 0);
    EXPECT_EQ(bare.out, QStringLiteral("refused"));

    // With the system's plug-ins the same video is taken.
    env.insert(QStringLiteral("GST_REGISTRY_1_0"), dir.filePath(QStringLiteral("full.bin")));
    env.remove(QStringLiteral("GST_PLUGIN_SYSTEM_PATH_1_0"));
    env.remove(QStringLiteral("GST_PLUGIN_PATH_1_0"));
    const ChildRun full = playInChild(env);
    EXPECT_EQ(full.status, QProcess::NormalExit);
    EXPECT_EQ(full.out, QStringLiteral("taken"));
}
