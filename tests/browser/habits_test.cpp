// What users bring from other viewers: the wheel over the picture, files dropped on the window,
// F11, tool tips, printing with nowhere to print, and files handed over by their type.
#include "startedprogram.h"

#include "app/frmlang.h"
#include "app/intro.h"
#include "browser/picturebox.h"
#include "slideshow/showpic.h"

#include <QAbstractButton>
#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QMimeData>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>
#include <QUrl>
#include <QWheelEvent>
#include <gtest/gtest.h>

using namespace orv;
using namespace orv::test;

namespace {

void turnWheel(QWidget& w, QPoint angle, Qt::KeyboardModifiers mods = Qt::NoModifier)
{
    const QPointF at(10, 10);
    QWheelEvent e(at, w.mapToGlobal(at), QPoint(), angle, Qt::NoButton, mods, Qt::NoScrollPhase, false);
    QApplication::sendEvent(&w, &e);
}

bool drop(MainM& m, const QList<QUrl>& urls)
{
    QMimeData data;
    data.setUrls(urls);
    const QPoint at(m.width() - 5, 5);
    QDragEnterEvent enter(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&m, &enter);
    if (!enter.isAccepted())
        return false;
    QDropEvent dropped(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&m, &dropped);
    return dropped.isAccepted();
}

} // namespace

// A notch down moves the vertical bar by its small step times the lines per notch, as its own
// arrow would; Shift turns the wheel across; a bar that is off (the picture fits) stays put.
TEST(Habits, WheelScrollsThePictureThroughItsScrollBars)
{
    StartedProgram b;
    b.click(QStringLiteral("sunset.bmp"));
    MainM& m = *b.m;
    auto& open = control<PictureBox>(m, "Open");
    auto& down = control<QScrollBar>(m, "vscrPic");
    auto& across = control<QScrollBar>(m, "hscrPic");
    const int lines = QApplication::wheelScrollLines();

    turnWheel(open, QPoint(0, -120));
    EXPECT_EQ(down.value(), lines * down.singleStep());
    EXPECT_EQ(across.value(), 0);
    EXPECT_EQ(open.offset().y(), qRound(down.value() / 15.0));  // the bars' Change handler ran
    turnWheel(open, QPoint(0, 120));
    EXPECT_EQ(down.value(), 0);

    turnWheel(open, QPoint(0, -120), Qt::ShiftModifier);
    EXPECT_EQ(across.value(), lines * across.singleStep());
    EXPECT_EQ(down.value(), 0);
    EXPECT_EQ(open.offset().x(), qRound(across.value() / 15.0));
    // A tilting wheel or a touchpad turns across by itself.
    turnWheel(open, QPoint(120, 0));
    EXPECT_EQ(across.value(), 0);

    // Far past the end stops at the end.
    for (int i = 0; i < 200; ++i)
        turnWheel(open, QPoint(0, -120));
    EXPECT_EQ(down.value(), down.maximum());

    b.click(QStringLiteral("small.gif"));
    turnWheel(open, QPoint(0, -120));
    EXPECT_EQ(down.value(), 0);
    EXPECT_EQ(open.offset(), QPoint(0, 0));
}

// A dropped file opens as a file named on the command line: its folder shown, the dispatcher
// run. A dropped folder is shown. Addresses that are no local file are not taken.
TEST(Habits, DroppedFilesAndFolders)
{
    QTemporaryDir other;
    QDir(other.path()).mkpath(QStringLiteral("Sub folder"));
    const QString picture = other.filePath(QStringLiteral("Sub folder/copy #1.gif"));
    ASSERT_TRUE(QFile::copy(samplesDir() + QStringLiteral("/small.gif"), picture));
    StartedProgram b;
    MainM& m = *b.m;

    EXPECT_TRUE(drop(m, {QUrl::fromLocalFile(picture)}));
    EXPECT_EQ(m.browser().folder(), other.filePath(QStringLiteral("Sub folder")));
    EXPECT_EQ(m.currentFile(), picture);
    EXPECT_TRUE(control<PictureBox>(m, "Open").hasPicture());
    EXPECT_FALSE(m.openedFromCommandLine());
    EXPECT_TRUE(b.h.prompts.asked().isEmpty());

    EXPECT_TRUE(drop(m, {QUrl::fromLocalFile(samplesDir())}));
    EXPECT_EQ(m.browser().folder(), samplesDir());
    EXPECT_EQ(m.currentFile(), picture);  // a folder is shown, not opened

    EXPECT_FALSE(drop(m, {QUrl(QStringLiteral("https://example.org/a.gif"))}));
    EXPECT_EQ(m.browser().folder(), samplesDir());

    // A dropped sound plays as a clicked one does.
    EXPECT_TRUE(drop(m, {QUrl(QStringLiteral("https://example.org/a.gif")),
                         QUrl::fromLocalFile(samplesDir() + QStringLiteral("/chime.wav"))}));
    EXPECT_EQ(b.h.sound.played, QStringList{samplesDir() + QStringLiteral("/chime.wav")});
}

// The desktop hands files over by their type: a JPEG named .jpeg or .jpe opens as a .jpg does.
// The browser's own list never shows those names, so its clicks are unchanged.
TEST(Habits, HandedOverFilesOpenByTheirKind)
{
    QTemporaryDir dir;
    for (const char* name : {"photo.jpeg", "photo.JPE"}) {
        const QString path = dir.filePath(QLatin1String(name));
        ASSERT_TRUE(QFile::copy(samplesDir() + QStringLiteral("/harbour.jpg"), path));
        AppHost h;
        h.process.args = {path};
        h.app->Main();
        EXPECT_TRUE(control<PictureBox>(*h.app->findMainM(), "Open").hasPicture()) << name;
        EXPECT_TRUE(h.prompts.asked().isEmpty()) << name;
    }
}

// F11 opens the full-screen view of the picture, as the "F" button does, and nothing without one.
TEST(Habits, F11OpensTheFullScreenView)
{
    StartedProgram b;
    QTest::mouseClick(b.h.app->findIntro(), Qt::LeftButton);
    ASSERT_TRUE(QTest::qWaitForWindowActive(b.m));
    QTest::keyClick(b.m, Qt::Key_F11);
    EXPECT_FALSE(b.h.app->findShowpic());

    b.click(QStringLiteral("sunset.bmp"));
    QTest::keyClick(b.m, Qt::Key_F11);
    Showpic* view = b.h.app->findShowpic();
    ASSERT_TRUE(view);
    EXPECT_TRUE(view->isVisible());
    EXPECT_EQ(view->windowTitle(), b.m->currentFile() + QStringLiteral(" [Full Screen]"));
    EXPECT_TRUE(b.h.ctx->singlePictureMode());
    view->close();
}

// The small buttons tell what they do, and the file-type box its whole entry, in the language
// chosen.
TEST(Habits, ToolTipsFollowTheLanguage)
{
    StartedProgram b;
    MainM& m = *b.m;
    EXPECT_EQ(control<QPushButton>(m, "btnFull").toolTip(), QStringLiteral("Activate full screen mode"));
    EXPECT_EQ(control<QPushButton>(m, "btnPrev").toolTip(), QStringLiteral("Previous directory"));
    EXPECT_EQ(control<QPushButton>(m, "btnRoot").toolTip(), QStringLiteral("Root"));
    EXPECT_EQ(control<QPushButton>(m, "btnFull").accessibleName(), QStringLiteral("Activate full screen mode"));
    auto& types = control<QComboBox>(m, "cmbFiles");
    EXPECT_EQ(types.toolTip(), QStringLiteral("All Supported Files"));
    types.setCurrentIndex(6);
    EXPECT_EQ(types.toolTip(), QStringLiteral("Pictures Files"));

    b.h.write(QStringLiteral("Lang"), QStringLiteral("Lang"), QStringLiteral("English"));
    b.h.app->findOptions()->findChild<QAbstractButton*>(QStringLiteral("optFrench"))->click();
    b.h.app->SetLanguage(false);
    EXPECT_EQ(control<QPushButton>(m, "btnPrev").toolTip(), QStringLiteral("R\u00e9pertoire pr\u00e9c\u00e9dent"));
    EXPECT_EQ(control<QPushButton>(m, "btnPrev").accessibleName(), QStringLiteral("R\u00e9pertoire pr\u00e9c\u00e9dent"));
    EXPECT_EQ(types.toolTip(), QStringLiteral("Images"));
}

// Printing with no printer set up says so, in the language chosen; a page that fails says so
// too; a printed page says nothing.
TEST(Habits, PrintingTellsWhenNothingWasPrinted)
{
    StartedProgram b;
    b.click(QStringLiteral("sunset.bmp"));
    b.h.printer.outcome = PrintOutcome::NoPrinter;
    b.h.prompts.expectMessage(PromptAnswer::Ok);
    control<QAction>(*b.m, "GoPrint").trigger();
    ASSERT_EQ(b.h.prompts.asked().size(), 1);
    EXPECT_TRUE(b.h.prompts.asked()[0].text.startsWith(QStringLiteral("No printer is set up.")));
    EXPECT_EQ(b.h.prompts.asked()[0].icon, PromptIcon::Exclamation);

    b.h.prompts.clear();
    b.h.printer.outcome = PrintOutcome::Failed;
    b.h.app->options().findChild<QAbstractButton*>(QStringLiteral("optFrench"))->click();
    b.h.app->SetLanguage(false);
    b.h.prompts.expectMessage(PromptAnswer::Ok);
    control<QAction>(*b.m, "GoPrint").trigger();
    ASSERT_EQ(b.h.prompts.asked().size(), 1);
    EXPECT_EQ(b.h.prompts.asked()[0].text, QStringLiteral("L'image n'a pas pu \u00eatre imprim\u00e9e."));

    b.h.prompts.clear();
    b.h.printer.outcome = PrintOutcome::Printed;
    control<QAction>(*b.m, "GoPrint").trigger();
    EXPECT_TRUE(b.h.prompts.asked().isEmpty());
    EXPECT_EQ(b.h.printer.printed.size(), 1);
}
