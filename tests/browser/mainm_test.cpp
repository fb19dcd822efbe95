// The main window's start-up side and folder navigation, on fakes and real temporary folders.
#include "startedprogram.h"
#include "eventually.h"

#include "browsing/core/folderentries.h"
#include "browsing/drivelistbox.h"
#include "browser/picturebox.h"

#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QMenuBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <gtest/gtest.h>

using namespace orv;
using namespace orv::test;

namespace {

void touch(const QString& path)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly)) << path.toStdString();
}

QString mkdir(const QTemporaryDir& dir, const QString& rel)
{
    QDir(dir.path()).mkpath(rel);
    return QDir(dir.path()).filePath(rel);
}

} // namespace

// A file on the command line: the folder list moves to its folder and the dispatcher gets it
// before the splash is dismissed. A path split by a shell, or relative, names the same file.
TEST(CommandLine, FileMovesFolderListAndIsDispatched)
{
    for (int variant = 0; variant < 3; ++variant) {
        AppHost h;
        const QString folder = mkdir(h.dir, QStringLiteral("My Pictures"));
        const QString file = folder + QStringLiteral("/beach day.JPG");
        touch(file);
        if (variant == 0)
            h.process.args = {file};
        else if (variant == 1)
            h.process.args = {folder + QStringLiteral("/beach"), QStringLiteral("day.JPG")};
        else
            h.process.args = {QStringLiteral("My Pictures/beach day.JPG")};
        h.prompts.expectMessage(PromptAnswer::Ok);  // the empty file is no picture
        h.app->Main();
        MainM& m = *h.app->findMainM();
        EXPECT_EQ(folderList(m).path(), folder) << variant;
        EXPECT_EQ(fileList(m).folder(), folder);
        EXPECT_EQ(m.currentFile(), file);
        EXPECT_FALSE(m.openedFromCommandLine());
        EXPECT_EQ(statusPanels(m).panelText(1), file);
        EXPECT_FALSE(m.isVisible());
        ASSERT_EQ(h.prompts.asked().size(), 1);
        EXPECT_EQ(h.prompts.asked()[0].title, QStringLiteral("Read Error"));
    }
}

// A command line whose folder cannot be entered (gone, or quoted) leaves the program running
// at its start folder; a picture that is not there is reported by the dispatcher, nothing else.
TEST(CommandLine, BadFoldersFallBack)
{
    // Each with whether it names a picture to report.
    const QList<QPair<QString, bool>> bad = {{QStringLiteral("/no/such/folder/pic.jpg"), true},
                                             {QStringLiteral("\"/no such/x.jpg\""), true},
                                             {QStringLiteral("/"), false},
                                             {QStringLiteral("\n"), false}};
    for (const auto& [arg, reported] : bad) {
        AppHost h;
        h.write(QStringLiteral("Infos"), QStringLiteral("Version"), QStringLiteral("172"));
        h.write(QStringLiteral("Lang"), QStringLiteral("Lang"), QStringLiteral("English"));
        h.write(QStringLiteral("Settings"), QStringLiteral("DefaultDir"), h.dir.path());
        h.process.args = {arg};
        if (reported)
            h.prompts.expectMessage(PromptAnswer::Ok);
        h.app->Main();
        MainM& m = *h.app->findMainM();
        EXPECT_TRUE(canEnterFolder(folderList(m).path())) << arg.toStdString();
        EXPECT_FALSE(m.openedFromCommandLine());
        ASSERT_EQ(h.prompts.asked().size(), reported ? 1 : 0) << arg.toStdString();
        for (const auto& q : h.prompts.asked())
            EXPECT_EQ(q.icon, PromptIcon::Critical) << arg.toStdString();  // the read error
    }
}

// A quoted path that exists once its quotes are removed opens that path.
TEST(CommandLine, QuotedPath)
{
    AppHost h;
    const QString folder = mkdir(h.dir, QStringLiteral("q"));
    touch(folder + QStringLiteral("/a.bmp"));
    h.process.args = {QLatin1Char('"') + folder + QStringLiteral("/a.bmp\"")};
    h.prompts.expectMessage(PromptAnswer::Ok);  // the empty file is no picture
    h.app->Main();
    EXPECT_EQ(folderList(*h.app->findMainM()).path(), folder);
    EXPECT_EQ(h.app->findMainM()->currentFile(), folder + QStringLiteral("/a.bmp"));
}

// Without a stored start folder the browser starts at the root of the volume that holds the
// program; a stored one that has vanished falls back the same way.
TEST(StartFolder, DefaultsToProgramVolumeRoot)
{
    for (bool vanished : {false, true}) {
        AppHost h;
        const QString vol = mkdir(h.dir, QStringLiteral("vol"));
        h.volumes.list.append({vol, QStringLiteral("vol"), true});
        h.process.exeFolder = mkdir(h.dir, QStringLiteral("vol/opt/bin"));
        if (vanished) {
            h.write(QStringLiteral("Infos"), QStringLiteral("Version"), QStringLiteral("172"));
            h.write(QStringLiteral("Lang"), QStringLiteral("Lang"), QStringLiteral("English"));
            h.write(QStringLiteral("Settings"), QStringLiteral("DefaultDir"), vol + QStringLiteral("/gone"));
        }
        h.app->Main();
        EXPECT_EQ(folderList(*h.app->findMainM()).path(), vol) << vanished;
        EXPECT_EQ(h.process.current, vol);
    }
}

// ".." stops at a volume root; "/" goes to the root of the current volume; both refill the
// file list and show the folder in panel 1.
TEST(Navigation, ParentAndRoot)
{
    AppHost h;
    const QString vol = mkdir(h.dir, QStringLiteral("vol"));
    const QString deep = mkdir(h.dir, QStringLiteral("vol/games/save"));
    h.volumes.list.append({vol, QStringLiteral("vol"), true});
    h.app->Main();
    MainM& m = *h.app->findMainM();
    ASSERT_TRUE(m.browser().enter(deep));
    EXPECT_EQ(fileList(m).folder(), deep);
    control<QPushButton>(m, "btnPrev").click();
    EXPECT_EQ(folderList(m).path(), vol + QStringLiteral("/games"));
    EXPECT_EQ(statusPanels(m).panelText(1), vol + QStringLiteral("/games"));
    ASSERT_TRUE(m.browser().enter(deep));
    control<QPushButton>(m, "btnRoot").click();
    EXPECT_EQ(folderList(m).path(), vol);
    control<QPushButton>(m, "btnPrev").click();
    EXPECT_EQ(folderList(m).path(), vol);
    control<QAction>(m, "Previous").trigger();
    EXPECT_EQ(folderList(m).path(), vol);
    ASSERT_TRUE(m.browser().enter(QStringLiteral("/")));
    control<QPushButton>(m, "btnPrev").click();
    EXPECT_EQ(folderList(m).path(), QStringLiteral("/"));
}

// Enter on a highlighted folder opens it; a folder that vanished meanwhile is not entered.
TEST(Navigation, EnterOpensHighlighted)
{
    AppHost h;
    const QString base = mkdir(h.dir, QStringLiteral("base"));
    mkdir(h.dir, QStringLiteral("base/alpha"));
    mkdir(h.dir, QStringLiteral("base/beta"));
    h.app->Main();
    MainM& m = *h.app->findMainM();
    ASSERT_TRUE(m.browser().enter(base));
    const int last = folderList(m).count() - 1;
    folderList(m).setCurrentRow(last);
    EXPECT_EQ(folderList(m).highlightedPath(), base + QStringLiteral("/beta"));
    QTest::keyClick(&folderList(m), Qt::Key_Return);
    EXPECT_EQ(folderList(m).path(), base + QStringLiteral("/beta"));

    ASSERT_TRUE(m.browser().enter(base));
    folderList(m).setCurrentRow(folderList(m).count() - 2);
    QDir(base + QStringLiteral("/alpha")).removeRecursively();
    QTest::keyClick(&folderList(m), Qt::Key_Return);
    EXPECT_EQ(folderList(m).path(), base);
}

// An unavailable drive shows text 78 and returns to the drive of the process's folder.
TEST(Navigation, DriveNotAvailable)
{
    AppHost h;
    const QString usb = mkdir(h.dir, QStringLiteral("usb"));
    h.volumes.list.append({usb, QStringLiteral("usb"), true});
    h.volumes.notReady.insert(usb);
    h.app->Main();
    MainM& m = *h.app->findMainM();
    h.prompts.clear();
    h.prompts.expectMessage(PromptAnswer::Ok);
    control<DriveListBox>(m, "drvChoose").setDrive(usb);
    ASSERT_EQ(h.prompts.asked().size(), 1);
    const auto& q = h.prompts.asked().front();
    EXPECT_EQ(q.text, QStringLiteral("An error has occured\rSelected drive is not available"));
    EXPECT_EQ(q.title, QStringLiteral("Orvane Viewer"));
    EXPECT_EQ(q.icon, PromptIcon::Critical);
    EXPECT_EQ(control<DriveListBox>(m, "drvChoose").drive(), QStringLiteral("/"));
    EXPECT_EQ(folderList(m).path(), h.process.current);

    // A drive that is there moves the lists to it.
    h.volumes.notReady.clear();
    control<DriveListBox>(m, "drvChoose").setDrive(usb);
    EXPECT_EQ(folderList(m).path(), usb);
}

// The file-type pop-up selects the same entry in the box, so the box names the pattern; a
// click on a file builds currentFile from the folder and shows it in panel 1.
TEST(FileTypes, PopupAndClick)
{
    AppHost h;
    const QString folder = mkdir(h.dir, QStringLiteral("mix"));
    for (const char* n : {"song.WAV", "clip.avi", "tune.xm", "pic.emf", "notes.txt"})
        touch(folder + QLatin1Char('/') + QLatin1String(n));
    h.app->Main();
    MainM& m = *h.app->findMainM();
    EXPECT_EQ(control<QComboBox>(m, "cmbFiles").currentIndex(), 0);
    ASSERT_TRUE(m.browser().enter(folder));
    ASSERT_EVENTUALLY(!fileList(m).isLoading());
    EXPECT_EQ(fileList(m).count(), 5);

    control<QAction>(m, "ppaudio").trigger();
    EXPECT_EQ(control<QComboBox>(m, "cmbFiles").currentIndex(), 1);
    ASSERT_EVENTUALLY(!fileList(m).isLoading());
    EXPECT_EQ(fileList(m).count(), 2);  // song.WAV, tune.xm; no .avi

    control<QAction>(m, "ppavi").trigger();
    EXPECT_EQ(control<QComboBox>(m, "cmbFiles").currentIndex(), 2);
    ASSERT_EVENTUALLY(!fileList(m).isLoading());
    ASSERT_EQ(fileList(m).count(), 1);
    fileList(m).setFocus();
    fileList(m).setCurrentIndex(fileList(m).model()->index(0, 0));
    h.prompts.expectMessage(PromptAnswer::No);  // not in full screen
    m.fileFilter_Click();
    ASSERT_EQ(h.prompts.asked().size(), 1);
    EXPECT_EQ(h.prompts.asked()[0].title, QStringLiteral("Movie"));
    EXPECT_EQ(m.currentFile(), folder + QStringLiteral("/clip.avi"));
    EXPECT_EQ(statusPanels(m).panelText(1), folder + QStringLiteral("/clip.avi"));
}

// Pointer moves over the buttons and the picture area write their texts into panel 1.
TEST(StatusBar, PointerTexts)
{
    AppHost h;
    h.app->Main();
    MainM& m = *h.app->findMainM();
    QTest::mouseMove(&control<QPushButton>(m, "btnPrev"));
    QMouseEvent move(QEvent::MouseMove, QPointF(2, 2), QPointF(2, 2), Qt::NoButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(&control<QPushButton>(m, "btnRoot"), &move);
    EXPECT_EQ(statusPanels(m).panelText(1), QStringLiteral("Root"));
    QApplication::sendEvent(&control<PictureBox>(m, "Open"), &move);
    EXPECT_EQ(statusPanels(m).panelText(1), QStringLiteral("No picture selected yet"));
    EXPECT_FALSE(statusPanels(m).panelText(2).isEmpty());
    EXPECT_FALSE(statusPanels(m).panelText(3).isEmpty());
}

// The designed layout: a client area of 10065 x 5160 twips (671 x 344 pixels at 15 twips a
// pixel) below the menu bar, the status bar in its bottom 315 twips, and "v1.7" readable in
// the version label's own 315 x 195 box, at most a point smaller than the other labels.
TEST(Layout, ClientAreaAndVersionLabel)
{
    AppHost h;
    h.app->Main();
    const MainM& m = *h.app->findMainM();
    EXPECT_EQ(m.width(), 671);
    EXPECT_EQ(m.height() - m.menuBar()->height(), 344);
    EXPECT_EQ(statusPanels(m).geometry(), QRect(0, m.height() - 21, 671, 21));

    const QLabel& version = control<QLabel>(m, "lblVersion");
    EXPECT_EQ(version.text(), QStringLiteral("v1.7"));
    EXPECT_EQ(version.geometry(), QRect(456, 304, 21, 13));
    const QFontMetrics fm(version.font());
    EXPECT_LE(fm.horizontalAdvance(version.text()), version.width());
    EXPECT_LE(fm.height(), version.height());
    EXPECT_GE(version.font().pointSizeF(), control<QLabel>(m, "lblCopyright").font().pointSizeF() - 1);
}
