// Rule: the folder browser only ever stands in a folder that can be entered; every refused
// move leaves it where it was, and every fallback ends in a folder that exists.
#include "browsing/core/folderbrowser.h"
#include "fakeplatform.h"

#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace orv;
using namespace orv::test;

namespace {

// A browser on fakes, with a volume "vol" and a folder tree under a temporary folder.
struct Browsing {
    QTemporaryDir dir;
    FakeVolumeList volumes;
    FakeProcessEnvironment process;
    FolderBrowser browser{volumes, process};
    QString vol;

    Browsing()
    {
        vol = make(QStringLiteral("vol"));
        volumes.list.append({vol, QStringLiteral("vol"), true});
        process.current = dir.path();
        process.launch = dir.path();
        process.exeFolder = make(QStringLiteral("vol/opt/bin"));
    }

    QString make(const QString& rel) const
    {
        QDir(dir.path()).mkpath(rel);
        return QDir(dir.path()).filePath(rel);
    }
};

} // namespace

TEST(FolderBrowser, EntersOnlyFoldersThatCanBeEntered)
{
    Browsing b;
    QSignalSpy changed(&b.browser, &FolderBrowser::folderChanged);
    const QString deep = b.make(QStringLiteral("vol/a/b"));
    EXPECT_TRUE(b.browser.folder().isEmpty());

    ASSERT_TRUE(b.browser.enter(deep + QStringLiteral("/../b/./")));
    EXPECT_EQ(b.browser.folder(), deep);
    EXPECT_EQ(b.browser.drive(), b.vol);
    ASSERT_EQ(changed.count(), 1);
    EXPECT_EQ(changed.at(0).at(0).toString(), deep);

    QFile(deep + QStringLiteral("/file.txt")).open(QIODevice::WriteOnly);
    for (const QString& bad : {deep + QStringLiteral("/missing"), deep + QStringLiteral("/file.txt")})
        EXPECT_FALSE(b.browser.enter(bad)) << bad.toStdString();
    EXPECT_EQ(b.browser.folder(), deep);
    EXPECT_EQ(changed.count(), 1);

    // Entering the folder shown announces it again, so the lists re-read it.
    ASSERT_TRUE(b.browser.enter(deep));
    EXPECT_EQ(changed.count(), 2);
}

TEST(FolderBrowser, ParentStopsAtTheVolumeRootAndRootGoesThere)
{
    Browsing b;
    const QString deep = b.make(QStringLiteral("vol/games/save"));
    ASSERT_TRUE(b.browser.enter(deep));
    b.browser.enterParent();
    EXPECT_EQ(b.browser.folder(), b.vol + QStringLiteral("/games"));
    b.browser.enterParent();
    EXPECT_EQ(b.browser.folder(), b.vol);
    b.browser.enterParent();
    EXPECT_EQ(b.browser.folder(), b.vol);

    ASSERT_TRUE(b.browser.enter(deep));
    b.browser.enterRoot();
    EXPECT_EQ(b.browser.folder(), b.vol);

    // Outside any declared volume the drive is "/", which has no parent.
    ASSERT_TRUE(b.browser.enter(b.dir.path()));
    EXPECT_EQ(b.browser.drive(), QStringLiteral("/"));
    b.browser.enterRoot();
    EXPECT_EQ(b.browser.folder(), QStringLiteral("/"));
    b.browser.enterParent();
    EXPECT_EQ(b.browser.folder(), QStringLiteral("/"));
}

// A drive opens at the process's folder when that is on it, else at its root; a drive that is
// not available changes nothing and names the process's drive as the way back.
TEST(FolderBrowser, DrivesAndTheirFallback)
{
    Browsing b;
    const QString usb = b.make(QStringLiteral("usb"));
    b.volumes.list.append({usb, QStringLiteral("usb"), true});
    const QString inVol = b.make(QStringLiteral("vol/work"));
    ASSERT_TRUE(b.browser.enter(usb));

    b.process.current = inVol;
    ASSERT_TRUE(b.browser.enterDrive(b.vol));
    EXPECT_EQ(b.browser.folder(), inVol);
    ASSERT_TRUE(b.browser.enterDrive(usb));
    EXPECT_EQ(b.browser.folder(), usb);

    b.volumes.notReady.insert(usb);
    ASSERT_TRUE(b.browser.enterDrive(b.vol));
    EXPECT_FALSE(b.browser.enterDrive(usb));
    EXPECT_EQ(b.browser.folder(), inVol);
    EXPECT_EQ(b.browser.fallbackDrive(usb), b.vol);

    // The way back is no way when it is the failed drive itself or is gone too.
    EXPECT_TRUE(b.browser.fallbackDrive(b.vol).isEmpty());
    b.volumes.notReady.insert(b.vol);
    EXPECT_TRUE(b.browser.fallbackDrive(usb).isEmpty());
}

TEST(FolderBrowser, FallbacksEndInAFolderThatExists)
{
    Browsing b;
    const QString gone = b.dir.filePath(QStringLiteral("gone"));
    b.browser.enterOrFallback(gone);
    EXPECT_EQ(b.browser.folder(), b.dir.path());  // the process's folder

    b.process.current = gone;
    b.browser.enterOrFallback(gone);
    EXPECT_EQ(b.browser.folder(), b.vol);  // the program's volume root

    b.volumes.list = {{QStringLiteral("/"), QStringLiteral("/"), true}, {gone, QStringLiteral("gone"), true}};
    b.process.exeFolder = gone + QStringLiteral("/bin");
    b.browser.enterOrFallback(gone);
    EXPECT_EQ(b.browser.folder(), QStringLiteral("/"));
}

TEST(FolderBrowser, StartFolderBecomesTheProcessFolder)
{
    Browsing b;
    const QString stored = b.make(QStringLiteral("vol/pictures"));
    EXPECT_EQ(b.browser.makeStartFolderCurrent(stored), stored);
    EXPECT_EQ(b.process.current, stored);
    EXPECT_EQ(b.browser.makeStartFolderCurrent(QString()), b.vol);
    EXPECT_EQ(b.browser.makeStartFolderCurrent(stored + QStringLiteral("/gone")), b.vol);
    EXPECT_EQ(b.process.current, b.vol);

    b.process.exeFolder = b.dir.filePath(QStringLiteral("nowhere/bin"));
    b.volumes.list.append({b.dir.filePath(QStringLiteral("nowhere")), QStringLiteral("nowhere"), true});
    EXPECT_EQ(b.browser.makeStartFolderCurrent(stored + QStringLiteral("/gone")), QStringLiteral("/"));
    EXPECT_EQ(b.process.current, QStringLiteral("/"));
}

// The command line is one path however the shell split it; quotes around a path that does not
// exist quoted are dropped; a relative path is taken from the launch folder.
TEST(FolderBrowser, CommandLineIsOnePath)
{
    Browsing b;
    EXPECT_TRUE(b.browser.commandLinePath().isEmpty());
    b.process.args = {QStringLiteral("/pics/beach"), QStringLiteral("day.jpg")};
    EXPECT_EQ(b.browser.commandLinePath(), QStringLiteral("/pics/beach day.jpg"));
    b.process.args = {QStringLiteral("\"/pics/beach day.jpg\"")};
    EXPECT_EQ(b.browser.commandLinePath(), QStringLiteral("/pics/beach day.jpg"));
    b.process.args = {QStringLiteral("sub/a.jpg")};
    EXPECT_EQ(b.browser.commandLinePath(), b.dir.filePath(QStringLiteral("sub/a.jpg")));
    b.process.args = {QStringLiteral("\"sub/a b.jpg\"")};
    EXPECT_EQ(b.browser.commandLinePath(), b.dir.filePath(QStringLiteral("sub/a b.jpg")));
}

TEST(FolderBrowser, PatternChangeIsAnnounced)
{
    Browsing b;
    QSignalSpy changed(&b.browser, &FolderBrowser::patternChanged);
    b.browser.setPattern(QStringLiteral("*.jpg;*.gif"));
    EXPECT_EQ(b.browser.pattern(), QStringLiteral("*.jpg;*.gif"));
    ASSERT_EQ(changed.count(), 1);
    EXPECT_EQ(changed.at(0).at(0).toString(), QStringLiteral("*.jpg;*.gif"));
}
