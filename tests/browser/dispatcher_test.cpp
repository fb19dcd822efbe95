// The file-opening dispatcher and the picture area, on the real picture loader and fakes for
// everything the system would do.
#include "startedprogram.h"

#include "app/core/commandline.h"
#include "common/core/filenames.h"
#include "support/rawname.h"
#include "eventually.h"

#include "browser/picturebox.h"
#include "pictures/picturepreloader.h"
#include "editor/frmmdi.h"
#include "editor/frmnotepad.h"
#include "editor/textbox.h"
#include "pictures/metafile.h"
#include "slideshow/showpic.h"
#include "wmfwriter.h"

#include <QAction>
#include <QComboBox>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>
#include <gtest/gtest.h>

using namespace orv;
using namespace orv::test;

namespace {

const QString kReadError = QStringLiteral("This file can't be read !\rBad file type or file doesn't exist");

using Browser = StartedProgram;

QString writeFile(const QTemporaryDir& dir, const QString& name, const QByteArray& bytes)
{
    const QString path = dir.filePath(name);
    QFile f(path);
    f.open(QIODevice::WriteOnly);
    f.write(bytes);
    return path;
}

} // namespace

// A picture larger than the area gets its scroll bars from the worked example's arithmetic.
TEST(Dispatcher, ShowsPictureAndSetsUpScrollBars)
{
    Browser b;
    b.click(QStringLiteral("sunset.bmp"));
    MainM& m = *b.m;
    EXPECT_TRUE(control<PictureBox>(m, "Open").hasPicture());
    EXPECT_EQ(control<PictureBox>(m, "Open").image().size(), QSize(800, 600));
    EXPECT_TRUE(control<QPushButton>(m, "btnFull").isEnabled());
    EXPECT_TRUE(control<QScrollBar>(m, "hscrPic").isEnabled());
    EXPECT_EQ(control<QScrollBar>(m, "hscrPic").maximum(), 7760);
    EXPECT_EQ(control<QScrollBar>(m, "hscrPic").pageStep(), 1552);
    EXPECT_EQ(control<QScrollBar>(m, "hscrPic").singleStep(), 155);
    EXPECT_EQ(control<QScrollBar>(m, "vscrPic").maximum(), 4496);
    EXPECT_EQ(control<QScrollBar>(m, "vscrPic").pageStep(), 899);
    EXPECT_EQ(control<QScrollBar>(m, "vscrPic").singleStep(), 90);
    EXPECT_EQ(m.currentFile(), orv::test::samplesDir() + QStringLiteral("/sunset.bmp"));
    EXPECT_EQ(statusPanels(m).panelText(1), m.currentFile());
    EXPECT_EQ(b.h.prompts.asked().size(), 0);

    // Scrolling moves the picture by the bars' values in twips (15 per pixel here).
    control<QScrollBar>(m, "hscrPic").setValue(1500);
    control<QScrollBar>(m, "vscrPic").setValue(300);
    EXPECT_EQ(control<PictureBox>(m, "Open").offset(), QPoint(100, 20));

    // A small picture next: both bars off at 0, drawn unshifted.
    b.click(QStringLiteral("small.gif"));
    EXPECT_FALSE(control<QScrollBar>(m, "hscrPic").isEnabled());
    EXPECT_EQ(control<QScrollBar>(m, "hscrPic").value(), 0);
    EXPECT_EQ(control<PictureBox>(m, "Open").offset(), QPoint(0, 0));
}

// Every way a picture can fail ends in the one read-error message and an empty area.
TEST(Dispatcher, BadPicturesShowTheReadError)
{
    QTemporaryDir dir;
    QFile::copy(orv::test::samplesDir() + QStringLiteral("/small.gif"), dir.filePath(QStringLiteral("good.gif")));
    writeFile(dir, QStringLiteral("corrupt.bmp"), QByteArray("BM not really a bitmap"));
    writeFile(dir, QStringLiteral("empty.jpg"), QByteArray());
    writeFile(dir, QStringLiteral("notes.jpg"), QByteArray("plain text\n"));
    writeFile(dir, QStringLiteral("gone.gif"), QByteArray("GIF89a"));
    Browser b(dir.path());
    QFile::remove(dir.filePath(QStringLiteral("gone.gif")));  // deleted between listing and click

    for (const char* name : {"corrupt.bmp", "empty.jpg", "notes.jpg", "gone.gif"}) {
        b.click(QStringLiteral("good.gif"));
        ASSERT_TRUE(control<PictureBox>(*b.m, "Open").hasPicture());
        b.h.prompts.clear();
        b.h.prompts.expectMessage(PromptAnswer::Ok);
        b.click(QLatin1String(name));
        ASSERT_EQ(b.h.prompts.asked().size(), 1) << name;
        const auto& q = b.h.prompts.asked().front();
        EXPECT_EQ(q.text, kReadError);
        EXPECT_EQ(q.title, QStringLiteral("Read Error"));
        EXPECT_EQ(q.icon, PromptIcon::Critical);
        EXPECT_FALSE(control<PictureBox>(*b.m, "Open").hasPicture()) << name;  // the old picture is gone
        EXPECT_FALSE(b.m->openedFromCommandLine());
    }
}

// A picture from the command line is shown before the splash is dismissed.
TEST(Dispatcher, CommandLinePicture)
{
    AppHost h;
    h.process.args = {orv::test::samplesDir() + QStringLiteral("/Photos with spaces/beach day.jpg")};
    h.app->Main();
    MainM& m = *h.app->findMainM();
    EXPECT_TRUE(control<PictureBox>(m, "Open").hasPicture());
    EXPECT_FALSE(m.openedFromCommandLine());
    EXPECT_FALSE(m.isVisible());
}

// A picture whose folder and name are not UTF-8, named on the command line as the shell hands
// over its bytes: shown, and its folder listed with it.
TEST(Dispatcher, CommandLinePictureNamedInBytes)
{
    AppHost h;
    const QString folder = orv::test::makeRawNamedFolder(h.dir.path(), "f\xeate");
    ASSERT_FALSE(folder.isEmpty());
    const QByteArray rawName = orv::test::notUtf8Name("bmp");
    const QString path = orv::test::copyRawNamed(orv::test::samplesDir() + QStringLiteral("/sunset.bmp"), folder, rawName);
    ASSERT_FALSE(path.isEmpty());
    const QByteArray argument = orv::encodeFileName(path);
    const char* argv[] = {"orvane-viewer", argument.constData()};
    h.process.args = orv::argumentsAfterProgram(2, argv);
    h.app->Main();
    MainM& m = *h.app->findMainM();
    EXPECT_TRUE(h.prompts.asked().isEmpty());
    EXPECT_TRUE(control<PictureBox>(m, "Open").hasPicture());
    EXPECT_EQ(m.currentFile(), path);
    EXPECT_EQ(folderList(m).path(), folder);
    ASSERT_EVENTUALLY(!fileList(m).isLoading() && fileList(m).count() > 0);
    EXPECT_EQ(fileList(m).names(), QStringList{orv::decodeFileName(rawName)});
}

// A .emf is listed but matches no row: only the status bar changes.
TEST(Dispatcher, UnknownTailOnlyUpdatesStatus)
{
    QTemporaryDir dir;
    QFile::copy(orv::test::samplesDir() + QStringLiteral("/small.gif"), dir.filePath(QStringLiteral("a.gif")));
    writeFile(dir, QStringLiteral("chart.emf"), QByteArray("whatever"));
    Browser b(dir.path());
    b.click(QStringLiteral("a.gif"));
    b.click(QStringLiteral("chart.emf"));
    EXPECT_TRUE(control<PictureBox>(*b.m, "Open").hasPicture());
    EXPECT_EQ(b.m->currentFile(), dir.filePath(QStringLiteral("chart.emf")));
    EXPECT_EQ(statusPanels(*b.m).panelText(1), dir.filePath(QStringLiteral("chart.emf")));
    EXPECT_EQ(b.h.prompts.asked().size(), 0);
}

// Huge pictures load with no message and scroll to their far edges.
TEST(PictureArea, HugePicturesScrollToTheirEdges)
{
    QTemporaryDir dir;
    for (const QSize size : {QSize(6000, 4000), QSize(20000, 300)}) {
        QImage img(size, QImage::Format_RGB32);
        img.fill(Qt::darkGreen);
        img.setPixel(size.width() - 1, size.height() - 1, qRgb(255, 0, 0));
        const QString name = QStringLiteral("big%1.bmp").arg(size.width());
        ASSERT_TRUE(img.save(dir.filePath(name), "BMP"));
    }
    Browser b(dir.path());
    for (const char* name : {"big6000.bmp", "big20000.bmp"}) {
        b.click(QLatin1String(name));
        ASSERT_TRUE(control<PictureBox>(*b.m, "Open").hasPicture()) << name;
        EXPECT_EQ(b.h.prompts.asked().size(), 0) << name;
        control<QScrollBar>(*b.m, "hscrPic").setValue(control<QScrollBar>(*b.m, "hscrPic").maximum());
        if (control<QScrollBar>(*b.m, "vscrPic").isEnabled())
            control<QScrollBar>(*b.m, "vscrPic").setValue(control<QScrollBar>(*b.m, "vscrPic").maximum());
        const QSize img = control<PictureBox>(*b.m, "Open").image().size();
        const QSize box = control<PictureBox>(*b.m, "Open").contentsRect().size();
        // At the far edge the last column (and row, when it scrolls) is inside the box.
        EXPECT_GE(control<PictureBox>(*b.m, "Open").offset().x() + box.width(), img.width()) << name;
        if (control<QScrollBar>(*b.m, "vscrPic").isEnabled()) {
            EXPECT_GE(control<PictureBox>(*b.m, "Open").offset().y() + box.height(), img.height()) << name;
        }
    }
}

// Full screen: the shared window comes up with the caption and the placement arithmetic,
// and any character key or a left or right click closes it again.
TEST(PictureArea, FullScreenView)
{
    Browser b;
    b.h.screen.size = QSize(640, 480);
    b.m->btnFull_Click();
    EXPECT_FALSE(b.h.app->findShowpic());  // nothing loaded: nothing happens

    b.click(QStringLiteral("harbour.jpg"));
    b.m->btnFull_Click();
    Showpic* view = b.h.app->findShowpic();
    ASSERT_TRUE(view);
    EXPECT_TRUE(b.h.ctx->singlePictureMode());
    EXPECT_EQ(view->windowTitle(), b.m->currentFile() + QStringLiteral(" [Full Screen]"));
    const QSize himetric = control<PictureBox>(*b.m, "Open").himetric();
    EXPECT_EQ(b.m->fullScreenX(), int(std::nearbyint((view->width() * 15 - himetric.width() / 1.77) / 2)));
    EXPECT_EQ(b.m->fullScreenY(), int(std::nearbyint((view->height() * 15 - himetric.height() / 1.7) / 2)));

    QTest::mouseClick(view, Qt::MiddleButton);
    EXPECT_TRUE(b.h.app->findShowpic());
    QTest::keyClick(view, Qt::Key_Q);
    ASSERT_EVENTUALLY(!b.h.app->findShowpic());
    EXPECT_FALSE(b.h.ctx->singlePictureMode());

    for (Qt::MouseButton button : {Qt::LeftButton, Qt::RightButton}) {
        b.m->btnFull_Click();
        ASSERT_TRUE(b.h.app->findShowpic());
        QTest::mouseClick(b.h.app->findShowpic(), button);
        ASSERT_EVENTUALLY(!b.h.app->findShowpic());
    }
    b.m->btnFull_Click();
    QTest::keyClick(b.h.app->findShowpic(), Qt::Key_Escape);
    ASSERT_EVENTUALLY(!b.h.app->findShowpic());
}

// Printing sends the picture at natural size; set-up reaches the printer dialog.
TEST(PictureArea, PrintAndSetup)
{
    Browser b;
    b.m->GoPrint_Click();
    EXPECT_TRUE(b.h.printer.printed.isEmpty());
    b.click(QStringLiteral("sunset.bmp"));
    control<QAction>(*b.m, "GoPrint").trigger();
    ASSERT_EQ(b.h.printer.printed.size(), 1);
    EXPECT_EQ(b.h.printer.printed.front(), QSize(800, 600));
    control<QAction>(*b.m, "printerSetup").trigger();
    EXPECT_EQ(b.h.printer.setups, 1);
}

namespace {

QByteArray readFile(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

} // namespace

// A metafile shows in the area as its parts are drawn; printing gets the part the page holds,
// full screen the part the screen shows, each as the whole picture has it.
TEST(PictureArea, MetafileShowsPrintsAndGoesFullScreen)
{
    Browser b;
    b.click(QStringLiteral("drawing.wmf"));
    ASSERT_TRUE(control<PictureBox>(*b.m, "Open").hasPicture());
    EXPECT_EQ(control<PictureBox>(*b.m, "Open").picture().size(), QSize(302, 227));
    EXPECT_TRUE(control<QPushButton>(*b.m, "btnFull").isEnabled());
    ASSERT_EVENTUALLY(control<PictureBox>(*b.m, "Open").showsAll());
    const QImage whole = renderMetafile(readFile(orv::test::samplesDir() + QStringLiteral("/drawing.wmf")), 96, 96).image;
    ASSERT_FALSE(whole.isNull());
    const QImage area = control<PictureBox>(*b.m, "Open").grab().toImage();
    const QPoint corner = control<PictureBox>(*b.m, "Open").contentsRect().topLeft();
    for (const QPoint at : {QPoint(40, 40), QPoint(150, 100), QPoint(250, 200)})
        EXPECT_EQ(area.pixel(corner + at), whole.pixel(at)) << at.x() << "," << at.y();

    b.h.printer.printable = QSize(100, 80);
    b.m->GoPrint_Click();
    ASSERT_EVENTUALLY_EQ(b.h.printer.printed.size(), 1);
    EXPECT_EQ(b.h.printer.printed.front(), QSize(100, 80));
    EXPECT_EQ(b.h.printer.pictures.front(), whole.copy(0, 0, 100, 80));

    b.m->btnFull_Click();
    Showpic* view = b.h.app->findShowpic();
    ASSERT_TRUE(view);
    const QPoint at(int(std::lround(b.m->fullScreenX() / 15.0)), int(std::lround(b.m->fullScreenY() / 15.0)));
    ASSERT_EVENTUALLY_EQ(view->grab().toImage().pixel(at + QPoint(150, 100)), whole.pixel(150, 100));
    EXPECT_EQ(view->grab().toImage().pixel(at + QPoint(40, 40)), whole.pixel(40, 40));
    QTest::keyClick(view, Qt::Key_Escape);
    ASSERT_EVENTUALLY(!b.h.app->findShowpic());
}

// A metafile whose records fail once it is on its way to the area ends in the read error, as if
// it had failed to load, with the area empty.
TEST(PictureArea, MetafileFailingWhileItIsDrawnShowsTheReadError)
{
    QTemporaryDir dir;
    WmfWriter w(QRect(0, 0, 1000, 1000), 1000);
    w.selectObject(w.createBrush(0, Qt::red));
    QByteArray polygon;
    for (int v : {200, 100, 0, 0, 200})   // a polygon of 200 points holding 2
        polygon.append(char(v)).append('\0');
    w.record(0x0324, polygon);
    writeFile(dir, QStringLiteral("bad.wmf"), w.finish());
    Browser b(dir.path());
    b.h.pictures = QtPictureLoader(96, 96, 256LL * 1024 * 1024, 0, 0);   // nothing waited for
    b.h.prompts.expectMessage(PromptAnswer::Ok);
    b.click(QStringLiteral("bad.wmf"));
    ASSERT_EVENTUALLY_EQ(b.h.prompts.asked().size(), 1);
    EXPECT_EQ(b.h.prompts.asked().front().text, kReadError);
    EXPECT_FALSE(control<PictureBox>(*b.m, "Open").hasPicture());
    EXPECT_FALSE(control<QPushButton>(*b.m, "btnFull").isEnabled());
}

// The status text over the picture area: text 11 while empty, the path once a picture shows.
TEST(PictureArea, StatusTextOverPicture)
{
    Browser b;
    QMouseEvent move(QEvent::MouseMove, QPointF(5, 5), QPointF(5, 5), Qt::NoButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(&control<PictureBox>(*b.m, "Open"), &move);
    EXPECT_EQ(statusPanels(*b.m).panelText(1), QStringLiteral("No picture selected yet"));
    b.click(QStringLiteral("small.gif"));
    QApplication::sendEvent(&control<PictureBox>(*b.m, "Open"), &move);
    EXPECT_EQ(statusPanels(*b.m).panelText(1), b.m->currentFile());
}

namespace {

// A folder of one file of each handed-over kind, plus a picture to start from.
struct HandOverFolder {
    QTemporaryDir dir;
    HandOverFolder()
    {
        QFile::copy(orv::test::samplesDir() + QStringLiteral("/small.gif"), dir.filePath(QStringLiteral("a.gif")));
        for (const char* n : {"chime.wav", "clip.avi", "setup.exe", "run me.bat", "guide.hlp", "page.htm",
                              "site.html", "notes.txt"})
            writeFile(dir, QLatin1String(n), QByteArray("x"));
    }
    QString path(const char* name) const { return dir.filePath(QLatin1String(name)); }
};

} // namespace

// A sound clears the area, shows the wave symbol, plays, and turns off what needs a picture.
TEST(Dispatcher, SoundReplacesThePicture)
{
    HandOverFolder f;
    Browser b(f.dir.path());
    b.click(QStringLiteral("a.gif"));
    b.click(QStringLiteral("chime.wav"));
    EXPECT_EQ(b.h.sound.played, QStringList{f.path("chime.wav")});
    EXPECT_TRUE(b.m->soundShown());
    EXPECT_FALSE(control<PictureBox>(*b.m, "Open").hasPicture());
    EXPECT_FALSE(control<QLabel>(*b.m, "imgWave").isHidden());
    EXPECT_FALSE(control<QPushButton>(*b.m, "btnFull").isEnabled());
    EXPECT_FALSE(control<QScrollBar>(*b.m, "hscrPic").isEnabled());
    b.m->btnFull_Click();
    b.m->GoPrint_Click();
    EXPECT_FALSE(b.h.app->findShowpic());
    EXPECT_TRUE(b.h.printer.printed.isEmpty());
    // The next dispatch hides the symbol and clears the flag.
    b.click(QStringLiteral("a.gif"));
    EXPECT_TRUE(control<QLabel>(*b.m, "imgWave").isHidden());
    EXPECT_FALSE(b.m->soundShown());
}

// A video asks about full screen and plays the path as it is, on the whole screen after Yes.
TEST(Dispatcher, VideoAsksAndSendsPlay)
{
    HandOverFolder f;
    Browser b(f.dir.path());
    b.h.prompts.expectMessage(PromptAnswer::Yes);
    b.click(QStringLiteral("clip.avi"));
    b.h.prompts.expectMessage(PromptAnswer::No);
    b.click(QStringLiteral("clip.avi"));
    using Played = RecordingMediaControl::Played;
    EXPECT_EQ(b.h.media.played, (QList<Played>{{f.path("clip.avi"), true}, {f.path("clip.avi"), false}}));
    ASSERT_EQ(b.h.prompts.asked().size(), 2);
    EXPECT_EQ(b.h.prompts.asked()[0].text, QStringLiteral("Play avi in full-screen mode ?"));
    EXPECT_EQ(b.h.prompts.asked()[0].title, QStringLiteral("Movie"));
    EXPECT_EQ(b.h.prompts.asked()[0].icon, PromptIcon::Information);
    EXPECT_FALSE(control<QLabel>(*b.m, "imgAvi").isHidden());
    EXPECT_FALSE(control<QPushButton>(*b.m, "btnFull").isEnabled());

    // A video that cannot be played at all is reported as unreadable.
    b.h.media.result = false;
    b.h.prompts.expectMessage(PromptAnswer::No);
    b.h.prompts.expectMessage(PromptAnswer::Ok);
    b.click(QStringLiteral("clip.avi"));
    ASSERT_EQ(b.h.prompts.asked().size(), 4);
    EXPECT_EQ(b.h.prompts.asked()[3].text, kReadError);
    EXPECT_EQ(b.h.prompts.asked()[3].title, QStringLiteral("Read Error"));
    EXPECT_EQ(b.h.prompts.asked()[3].icon, PromptIcon::Critical);
}

// Programs run only after Yes, with the typed parameters; the current file goes back.
TEST(Dispatcher, ProgramsAfterConfirmation)
{
    HandOverFolder f;
    Browser b(f.dir.path());
    b.click(QStringLiteral("a.gif"));
    const QString picture = b.m->currentFile();

    b.h.prompts.expectMessage(PromptAnswer::No);
    b.click(QStringLiteral("setup.exe"));
    EXPECT_TRUE(b.h.desktop.calls.isEmpty());
    EXPECT_EQ(b.m->currentFile(), picture);
    ASSERT_EQ(b.h.prompts.asked().size(), 1);
    EXPECT_EQ(b.h.prompts.asked()[0].text,
              QStringLiteral("Would you like to run the following application:\rsetup.exe"));
    EXPECT_EQ(b.h.prompts.asked()[0].title, QStringLiteral("Executable file is about to be launched"));
    EXPECT_EQ(b.h.prompts.asked()[0].icon, PromptIcon::Question);
    EXPECT_EQ(b.h.prompts.asked()[0].buttons, PromptButtons::YesNo);

    b.h.prompts.expectMessage(PromptAnswer::Yes);
    b.h.prompts.expectInput(QStringLiteral("--fast 'two words'"));
    b.click(QStringLiteral("run me.bat"));
    b.h.prompts.expectMessage(PromptAnswer::Yes);
    b.h.prompts.expectInput(std::nullopt);  // Cancel: run without parameters
    b.click(QStringLiteral("setup.exe"));
    ASSERT_EQ(b.h.desktop.calls.size(), 2);
    EXPECT_EQ(b.h.desktop.calls[0].target, f.path("run me.bat"));
    EXPECT_EQ(b.h.desktop.calls[0].parameters, QStringLiteral("--fast 'two words'"));
    EXPECT_EQ(b.h.desktop.calls[1].parameters, QString());
    EXPECT_EQ(b.h.prompts.asked()[2].text, QStringLiteral("In line parameters (blank for none):"));
    EXPECT_EQ(b.h.prompts.asked()[2].title, QStringLiteral("Parameters"));
    EXPECT_EQ(b.m->currentFile(), picture);

    // A program that cannot be started goes to the error path.
    b.h.desktop.result = false;
    b.h.prompts.clear();
    b.h.prompts.expectMessage(PromptAnswer::Yes);
    b.h.prompts.expectInput(QString());
    b.h.prompts.expectMessage(PromptAnswer::Ok);
    b.click(QStringLiteral("setup.exe"));
    ASSERT_EQ(b.h.prompts.asked().size(), 3);
    EXPECT_EQ(b.h.prompts.asked()[2].text, kReadError);
}

// Help files and web pages go to the desktop; .html only with entries 0 and 5.
TEST(Dispatcher, HandOverToTheDesktop)
{
    HandOverFolder f;
    Browser b(f.dir.path());
    b.click(QStringLiteral("a.gif"));
    const QString picture = b.m->currentFile();
    b.click(QStringLiteral("guide.hlp"));
    b.click(QStringLiteral("page.htm"));
    b.click(QStringLiteral("site.html"));
    ASSERT_EQ(b.h.desktop.calls.size(), 3);
    EXPECT_EQ(b.h.desktop.calls[0].kind, RecordingDesktopLauncher::Kind::Help);
    EXPECT_EQ(b.h.desktop.calls[0].target, f.path("guide.hlp"));
    EXPECT_EQ(b.h.desktop.calls[1].kind, RecordingDesktopLauncher::Kind::Document);
    EXPECT_EQ(b.h.desktop.calls[2].target, f.path("site.html"));
    EXPECT_EQ(b.m->currentFile(), picture);  // the picture area still describes its picture

    b.m->selectFileType(5);
    ASSERT_EVENTUALLY(!fileList(*b.m).isLoading());
    b.click(QStringLiteral("site.html"));
    EXPECT_EQ(b.h.desktop.calls.size(), 4);
    b.h.desktop.result = false;
    b.h.prompts.expectMessage(PromptAnswer::Ok);
    b.click(QStringLiteral("page.htm"));
    ASSERT_EQ(b.h.prompts.asked().size(), 1);
    EXPECT_EQ(b.h.prompts.asked()[0].text, kReadError);
}

// A text file opens in a document window of its own beside the editor's first, whether the
// editor was closed or already open; the path is shown as it is, letter case and all.
TEST(Dispatcher, TextFilesOpenInTheEditor)
{
    HandOverFolder f;
    writeFile(f.dir, QStringLiteral("Mixed Case.TXT"), QByteArray("caf\xe9\r\nline two\r\n"));
    Browser b(f.dir.path());
    b.click(QStringLiteral("Mixed Case.TXT"));
    frmMDI* editor = b.h.app->textEditor().frame();
    ASSERT_NE(editor, nullptr);
    EXPECT_TRUE(editor->isVisible());
    ASSERT_EQ(editor->documentWindows().size(), 2);
    frmNotePad* opened = editor->documentWindows()[1];
    EXPECT_EQ(opened->windowTitle(), f.path("Mixed Case.TXT"));
    EXPECT_EQ(opened->text().toPlainText(), QStringLiteral("caf\u00e9\nline two\n"));
    EXPECT_EQ(editor->activeDocument(), opened);
    EXPECT_EQ(b.h.prompts.asked().size(), 0);

    b.click(QStringLiteral("notes.txt"));
    EXPECT_EQ(b.h.app->textEditor().frame(), editor);
    ASSERT_EQ(editor->documentWindows().size(), 3);
    EXPECT_EQ(editor->documentWindows()[2]->windowTitle(), f.path("notes.txt"));
    EXPECT_EQ(b.h.read(QStringLiteral("Recent Files"), QStringLiteral("RecentFile1")), f.path("notes.txt"));
    EXPECT_EQ(b.h.read(QStringLiteral("Recent Files"), QStringLiteral("RecentFile2")), f.path("Mixed Case.TXT"));

    editor->close();
    ASSERT_EQ(b.h.app->textEditor().frame(), nullptr);
    b.click(QStringLiteral("notes.txt"));
    ASSERT_NE(b.h.app->textEditor().frame(), nullptr);
    EXPECT_EQ(b.h.app->textEditor().frame()->documentWindows().size(), 2);
    EXPECT_EQ(b.h.prompts.asked().size(), 0);
}

// Odd file names reach the services whole, as one path: nothing is split or interpreted.
TEST(Dispatcher, OddNamesPassWhole)
{
    QTemporaryDir dir;
    const QStringList names = {QStringLiteral("a b; rm -rf ~.avi"), QStringLiteral("$(touch x)`y`.wav"),
                               QStringLiteral("quote\"s 'n.htm"), QStringLiteral("new\nline.wav")};
    for (const QString& n : names)
        writeFile(dir, n, QByteArray("x"));
    Browser b(dir.path());
    b.h.prompts.expectMessage(PromptAnswer::No);
    for (const QString& n : names)
        b.click(n);
    ASSERT_EQ(b.h.media.played.size(), 1);
    EXPECT_EQ(b.h.media.played[0].path, dir.filePath(names[0]));
    EXPECT_EQ(b.h.sound.played, (QStringList{dir.filePath(names[1]), dir.filePath(names[3])}));
    ASSERT_EQ(b.h.desktop.calls.size(), 1);
    EXPECT_EQ(b.h.desktop.calls[0].target, dir.filePath(names[2]));
}

// The pictures beside the shown one are decoded ahead; a file changed since is read again.
TEST(Dispatcher, NeighbouringPicturesAreDecodedAhead)
{
    QTemporaryDir dir;
    const auto picture = [&](const char* name, QSize size) {
        QImage img(size, QImage::Format_RGB32);
        img.fill(Qt::darkGreen);
        img.save(dir.filePath(QLatin1String(name)), "BMP");
        return dir.filePath(QLatin1String(name));
    };
    const QString a = picture("a.bmp", QSize(30, 20));
    picture("b.bmp", QSize(40, 20));
    const QString c = picture("c.bmp", QSize(50, 20));
    writeFile(dir, QStringLiteral("d.txt"), QByteArray("text"));
    Browser b(dir.path());
    MainM& m = *b.m;

    b.click(QStringLiteral("b.bmp"));
    auto* ahead = m.findChild<PicturePreloader*>();
    ASSERT_NE(ahead, nullptr);
    ASSERT_TRUE(QTest::qWaitFor([&] { return ahead->held().size() == 3; }, 5000));
    EXPECT_TRUE(ahead->held().contains(a));
    EXPECT_TRUE(ahead->held().contains(c));

    // c changes on disk after it was decoded: the step shows the new contents.
    const QString newer = picture("c.bmp", QSize(60, 20));
    QFile f(newer);
    ASSERT_TRUE(f.open(QIODevice::ReadWrite));
    f.setFileTime(QDateTime::currentDateTime().addSecs(60), QFileDevice::FileModificationTime);
    f.close();
    b.click(QStringLiteral("c.bmp"));
    EXPECT_EQ(control<PictureBox>(m, "Open").image().size(), QSize(60, 20));

    // A text file beside it is not a picture to decode; a (held) step back shows b again.
    ASSERT_TRUE(QTest::qWaitFor([&] { return ahead->held().size() == 2; }, 5000));
    EXPECT_FALSE(ahead->held().contains(dir.filePath(QStringLiteral("d.txt"))));
    b.click(QStringLiteral("b.bmp"));
    EXPECT_EQ(control<PictureBox>(m, "Open").image().size(), QSize(40, 20));

    // Leaving the folder lets the pictures go.
    m.browser().enterParent();
    EXPECT_TRUE(ahead->held().isEmpty());
}
