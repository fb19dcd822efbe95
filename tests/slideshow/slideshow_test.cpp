// The slide-show editor window on the whole program with scripted dialogs: the lists and the
// commands bound to the show, the twin menu items, the interval and colour prompts, Open and
// Save, Play, and the close question, also when the main window ends the program.
#include "apphost.h"
#include "controls.h"

#include "browser/mainm.h"
#include "browsing/core/folderbrowser.h"
#include "browsing/filelistview.h"
#include "slideshow/showpic.h"
#include "slideshow/slideshow.h"

#include <QAction>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QImage>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

QT_BEGIN_NAMESPACE
inline void PrintTo(const QString& s, std::ostream* os) { *os << '"' << s.toStdString() << '"'; }
QT_END_NAMESPACE

using namespace orv;
using namespace orv::test;

namespace {

// The program started, the editor opened with F1's menu entry, and a folder of pictures and
// sounds shown in its file list.
struct Editor {
    AppHost h;
    Slideshow* s = nullptr;
    QString folder;

    Editor()
    {
        h.app->Main();
        control<QAction>(*h.app->findMainM(), "mnuSlide").trigger();
        s = h.app->findSlideshow();
        folder = h.dir.filePath(QStringLiteral("pics"));
        QDir().mkpath(folder);
        for (const char* name : {"b.bmp", "a.jpg", "c, d.bmp", "notes.txt"})
            writePicture(folder + QLatin1Char('/') + QLatin1String(name));
        QFile wave(folder + QStringLiteral("/z.WAV"));
        wave.open(QIODevice::WriteOnly);
        wave.write("RIFF");
        h.prompts.clear();
        s->browser().enter(folder);
        EXPECT_TRUE(QTest::qWaitFor([&] { return files().count() == 4; }));
    }

    static void writePicture(const QString& path)
    {
        QImage img(8, 6, QImage::Format_RGB32);
        img.fill(Qt::red);
        img.save(path, path.endsWith(QLatin1String(".jpg")) ? "JPG" : "BMP");
    }

    FileListView& files() { return control<FileListView>(*s, "lstFiles"); }
    QListWidget& chosen() { return control<QListWidget>(*s, "lstChosen"); }
    QAction& item(const char* name) { return control<QAction>(*s, name); }
    QString path(const char* name) const { return folder + QLatin1Char('/') + QLatin1String(name); }

    void selectFiles(std::initializer_list<int> rows)
    {
        files().clearSelection();
        for (int row : rows)
            files().selectionModel()->select(files().model()->index(row, 0), QItemSelectionModel::Select);
    }
    void selectChosen(std::initializer_list<int> rows)
    {
        chosen().clearSelection();
        for (int row : rows)
            chosen().item(row)->setSelected(true);
    }
    QStringList chosenEntries()
    {
        QStringList out;
        for (int i = 0; i < chosen().count(); ++i)
            out.append(chosen().item(i)->text());
        return out;
    }
    // The checked state of each item with its twin; a difference fails the test.
    bool checked(const char* name, const char* twin)
    {
        EXPECT_EQ(item(name).isChecked(), item(twin).isChecked()) << name << " and " << twin << " differ";
        return item(name).isChecked();
    }
};

} // namespace

// The menu bar shows its captions in full and the client area keeps its designed size below it.
TEST(SlideshowEditor, MenuBarIsTallEnoughForItsCaptions)
{
    Editor e;
    const auto& bar = control<QMenuBar>(*e.s, "menuBar");
    EXPECT_GE(bar.height(), bar.fontMetrics().height());
    EXPECT_EQ(bar.height(), bar.sizeHint().height());
    const auto& client = control<QWidget>(*e.s, "client");
    EXPECT_EQ(client.size(), QSize(440, 380));
    EXPECT_EQ(client.y(), bar.height());
    EXPECT_EQ(e.s->height(), bar.height() + 380);
    EXPECT_EQ(e.s->windowTitle(), e.h.ctx->text(73));
    EXPECT_EQ(e.item("key").text(), e.h.ctx->text(69));
}

// The file list shows pictures and waves only, sorted; Add takes the selected ones in list
// order, Add All every listed one, duplicates kept; Remove takes adjacent selections whole.
TEST(SlideshowEditor, AddAndRemoveKeepListAndCountTogether)
{
    Editor e;
    EXPECT_EQ(e.files().names(), (QStringList{QStringLiteral("a.jpg"), QStringLiteral("b.bmp"),
                                              QStringLiteral("c, d.bmp"), QStringLiteral("z.WAV")}));
    // Nothing selected on an empty show changes nothing.
    e.selectFiles({});
    e.item("add").trigger();
    EXPECT_TRUE(e.s->show().showSaved());

    e.selectFiles({2, 0});
    e.item("add").trigger();
    e.item("Addall").trigger();
    EXPECT_EQ(e.chosenEntries(), (QStringList{e.path("a.jpg"), e.path("c, d.bmp"), e.path("a.jpg"), e.path("b.bmp"),
                                              e.path("c, d.bmp"), e.path("z.WAV")}));
    EXPECT_EQ(e.s->show().chosenCount(), 6);
    EXPECT_FALSE(e.s->show().showSaved());

    e.selectChosen({1, 2, 3});
    e.item("Remove").trigger();
    EXPECT_EQ(e.chosenEntries(), (QStringList{e.path("a.jpg"), e.path("c, d.bmp"), e.path("z.WAV")}));
    EXPECT_EQ(e.s->show().entries(), e.chosenEntries());

    // A double click in the chosen list removes what is selected there.
    e.selectChosen({0});
    const QRect r = e.chosen().visualItemRect(e.chosen().item(0));
    QTest::mouseClick(e.chosen().viewport(), Qt::LeftButton, {}, r.center());
    QTest::mouseDClick(e.chosen().viewport(), Qt::LeftButton, {}, r.center());
    EXPECT_EQ(e.chosenEntries(), (QStringList{e.path("c, d.bmp"), e.path("z.WAV")}));

    e.item("Removeall").trigger();
    EXPECT_EQ(e.chosen().count(), 0);
    EXPECT_EQ(e.s->show().chosenCount(), 0);
    // An emptied show has nothing to lose: closing does not ask.
    EXPECT_TRUE(e.s->close());
}

// Each setting shows the same in the main menu and in the pop-up, whichever of the two is
// chosen; key and timer swap, and only switching timer mode on asks for the interval.
TEST(SlideshowEditor, TwinItemsStayEqualAndTimerAsksForTheInterval)
{
    Editor e;
    EXPECT_TRUE(e.checked("key", "keypress"));
    EXPECT_FALSE(e.checked("timer", "timerwait"));

    e.h.prompts.expectInput(QStringLiteral("2.5"));
    e.item("timerwait").trigger();
    ASSERT_EQ(e.h.prompts.asked().size(), 1);
    EXPECT_EQ(e.h.prompts.asked()[0].text, e.h.ctx->text(85));
    EXPECT_EQ(e.h.prompts.asked()[0].title, e.h.ctx->text(86));
    EXPECT_FALSE(e.checked("key", "keypress"));
    EXPECT_TRUE(e.checked("timer", "timerwait"));
    EXPECT_EQ(e.s->show().settings().interval, SlideInterval::fromMilliseconds(2500));

    // Switching back by the timer item asks nothing; key mode on again.
    e.item("timer").trigger();
    EXPECT_TRUE(e.checked("key", "keypress"));
    // key while key mode is on switches to timer mode without asking; the interval stays.
    e.item("key").trigger();
    EXPECT_TRUE(e.checked("timer", "timerwait"));
    EXPECT_EQ(e.s->show().settings().interval, SlideInterval::fromMilliseconds(2500));
    e.item("keypress").trigger();

    // Refused answers show text 84 and keep the interval; Cancel takes 5 seconds.
    for (const char* refused : {"0", "-3", "soon"}) {
        e.h.prompts.clear();
        e.h.prompts.expectInput(QString::fromLatin1(refused));
        e.h.prompts.expectMessage(PromptAnswer::Ok);
        e.item("timer").trigger();
        EXPECT_EQ(e.h.prompts.asked().at(1).text, e.h.ctx->text(84)) << refused;
        EXPECT_EQ(e.s->show().settings().interval, SlideInterval::fromMilliseconds(2500)) << refused;
        e.item("timer").trigger();
    }
    e.h.prompts.expectInput(std::nullopt);
    e.item("timer").trigger();
    EXPECT_EQ(e.s->show().settings().interval, SlideInterval::fromMilliseconds(5000));

    for (auto [a, b] : {std::pair{"looppic", "looppicture"}, std::pair{"mnuCursor", "mnuCursorPop"},
                        std::pair{"mnuFilename", "mnuShowf"}}) {
        e.item(a).trigger();
        EXPECT_FALSE(e.checked(a, b));
        e.item(b).trigger();
        EXPECT_TRUE(e.checked(a, b));
        e.item(b).trigger();
    }
    const ShowSettings& s = e.s->show().settings();
    EXPECT_FALSE(s.loop);
    EXPECT_FALSE(s.showPointer);
    EXPECT_FALSE(s.showFileName);
    // Settings alone are no unsaved change.
    EXPECT_TRUE(e.s->show().showSaved());
}

// Save writes through the dialog with the show filter; a restarted program opens the file
// and gets the same entries and settings. A refused file empties the list and says so.
TEST(SlideshowEditor, SaveThenOpenAfterRestart)
{
    Editor e;
    e.item("Addall").trigger();
    e.item("looppic").trigger();
    e.h.prompts.expectInput(QStringLiteral("3"));
    e.item("timer").trigger();
    const QString file = e.h.dir.filePath(QStringLiteral("my show.sli"));
    e.h.prompts.clear();
    e.h.prompts.expectInput(file);
    e.item("Save").trigger();
    ASSERT_EQ(e.h.prompts.asked().size(), 1);
    EXPECT_EQ(e.h.prompts.asked()[0].kind, QStringLiteral("save"));
    EXPECT_TRUE(e.s->show().showSaved());
    QFile f(file);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QByteArray bytes = f.readAll();
    EXPECT_TRUE(bytes.startsWith("[Orv Slide Show Data File]\r\n[Settings]\r\nFalse\r\nTrue\r\n 3000 \r\nFalse\r\n"));
    EXPECT_TRUE(bytes.contains("\"" + e.path("c, d.bmp").toUtf8() + "\"\r\n"));
    EXPECT_TRUE(e.s->close());

    e.h.restart();
    e.h.app->Main();
    e.h.app->showSlideShowEditor();
    Slideshow& s = *e.h.app->findSlideshow();
    e.h.prompts.clear();
    e.h.prompts.expectInput(file);
    control<QAction>(s, "Open").trigger();
    const QStringList expected{e.path("a.jpg"), e.path("b.bmp"), e.path("c, d.bmp"), e.path("z.WAV")};
    EXPECT_EQ(s.show().entries(), expected);
    EXPECT_EQ(control<QListWidget>(s, "lstChosen").count(), 4);
    EXPECT_TRUE(control<QAction>(s, "timerwait").isChecked());
    EXPECT_FALSE(control<QAction>(s, "keypress").isChecked());
    EXPECT_FALSE(control<QAction>(s, "looppicture").isChecked());

    const QString bad = e.h.dir.filePath(QStringLiteral("bad.sli"));
    QFile b(bad);
    ASSERT_TRUE(b.open(QIODevice::WriteOnly));
    b.write("[orv slide show data file]\r\n");
    b.close();
    e.h.prompts.expectInput(bad);
    e.h.prompts.expectMessage(PromptAnswer::Ok);
    control<QAction>(s, "Open").trigger();
    EXPECT_EQ(e.h.prompts.asked().last().text, e.h.ctx->text(80));
    EXPECT_EQ(e.h.prompts.asked().last().title, e.h.ctx->text(81));
    EXPECT_EQ(e.h.prompts.asked().last().icon, PromptIcon::Critical);
    EXPECT_EQ(control<QListWidget>(s, "lstChosen").count(), 0);
    // Cancelling the open dialog changes nothing.
    e.h.prompts.expectInput(std::nullopt);
    control<QAction>(s, "Open").trigger();
}

// A save that fails is reported and the show stays unsaved; an empty show is not saved and
// not played, each with its message.
TEST(SlideshowEditor, FailedSaveIsReportedAndEmptyShowRefused)
{
    Editor e;
    e.h.prompts.expectMessage(PromptAnswer::Ok);
    e.item("Save").trigger();
    EXPECT_EQ(e.h.prompts.asked().last().text, e.h.ctx->text(83));
    e.h.prompts.expectMessage(PromptAnswer::Ok);
    e.item("Playr").trigger();
    EXPECT_EQ(e.h.prompts.asked().last().text, e.h.ctx->text(82));
    EXPECT_EQ(e.h.prompts.asked().last().title, e.h.ctx->text(83));
    EXPECT_EQ(e.h.prompts.asked().last().icon, PromptIcon::Exclamation);

    e.item("Addall").trigger();
    e.h.prompts.clear();
    e.h.prompts.expectInput(e.h.dir.filePath(QStringLiteral("no such folder/show.sli")));
    e.h.prompts.expectMessage(PromptAnswer::Ok);
    e.item("Save").trigger();
    EXPECT_EQ(e.h.prompts.asked().last().icon, PromptIcon::Critical);
    EXPECT_TRUE(e.h.prompts.asked().last().text.contains(QStringLiteral("show.sli")));
    EXPECT_FALSE(e.s->show().showSaved());
}

// The close question: Cancel keeps the window, No closes it, Yes saves first; a Yes whose save
// does not happen keeps the window and the show.
TEST(SlideshowEditor, CloseAsksForAnUnsavedShow)
{
    Editor e;
    e.item("Addall").trigger();
    e.h.prompts.expectMessage(PromptAnswer::Cancel);
    EXPECT_FALSE(e.s->close());
    EXPECT_EQ(e.h.prompts.asked().last().text, e.h.ctx->text(79));
    EXPECT_EQ(e.h.prompts.asked().last().buttons, PromptButtons::YesNoCancel);

    e.h.prompts.expectMessage(PromptAnswer::Yes);
    e.h.prompts.expectInput(std::nullopt);
    EXPECT_FALSE(e.s->close());
    EXPECT_EQ(e.s->show().chosenCount(), 4);

    const QString file = e.h.dir.filePath(QStringLiteral("kept.sli"));
    e.h.prompts.expectMessage(PromptAnswer::Yes);
    e.h.prompts.expectInput(file);
    QPointer<Slideshow> window = e.s;
    EXPECT_TRUE(e.s->close());
    EXPECT_TRUE(QFile::exists(file));
    EXPECT_TRUE(QTest::qWaitFor([&] { return window.isNull(); }));
}

// Closing the main window, or Quit, asks the editor's question; Cancel keeps the program.
TEST(SlideshowEditor, EndingTheProgramAsksTheEditor)
{
    Editor e;
    e.item("Addall").trigger();
    e.h.prompts.expectMessage(PromptAnswer::Cancel);
    EXPECT_FALSE(e.h.app->mayEndProgram());
    EXPECT_EQ(e.h.prompts.asked().last().text, e.h.ctx->text(79));
    e.h.prompts.expectMessage(PromptAnswer::No);
    EXPECT_TRUE(e.h.app->mayEndProgram());
}

// Play starts the player full screen on the first entry; the colour chosen reaches it.
TEST(SlideshowEditor, PlayStartsTheShowWithTheChosenColour)
{
    Editor e;
    e.h.prompts.expectColour(0xFF8000);
    e.item("mnuColor").trigger();
    e.h.prompts.expectColour(std::nullopt);  // Cancel keeps the colour
    e.item("mnuColor").trigger();
    EXPECT_EQ(e.s->captionColour(), 0xFF8000u);
    e.item("Addall").trigger();
    e.item("Play").trigger();
    Showpic* p = e.h.app->findShowpic();
    ASSERT_TRUE(p);
    const auto& caption = control<QLabel>(*p, "lblShowFilename");
    EXPECT_EQ(caption.text(), e.h.ctx->text(90) + e.path("a.jpg") + QStringLiteral(" 1/4"));
    EXPECT_EQ(caption.palette().color(QPalette::WindowText), QColor(0xFF, 0x80, 0x00));
    QTest::keyClick(p, Qt::Key_Escape);
    EXPECT_TRUE(QTest::qWaitFor([&] { return !e.h.app->findShowpic(); }));

    e.h.prompts.expectMessage(PromptAnswer::Ok);
    e.item("Info").trigger();
    EXPECT_EQ(e.h.prompts.asked().last().text, e.h.ctx->text(62));
    EXPECT_EQ(e.h.prompts.asked().last().title, e.h.ctx->text(6).mid(1));
}

// The main window's single picture takes the editor's pointer choice while the editor is
// open, and the normal arrow without it.
TEST(SlideshowEditor, SinglePictureTakesTheEditorsPointerChoice)
{
    Editor e;
    e.item("mnuCursorPop").trigger();
    auto* view = dynamic_cast<Showpic*>(&e.h.app->fullScreenView());
    ASSERT_TRUE(view);
    EXPECT_EQ(view->cursor().shape(), Qt::BlankCursor);
    view->close();
    EXPECT_TRUE(QTest::qWaitFor([&] { return !e.h.app->findShowpic(); }));
    e.s->close();
    EXPECT_TRUE(QTest::qWaitFor([&] { return !e.h.app->findSlideshow(); }));
    EXPECT_EQ(e.h.app->showpic().cursor().shape(), Qt::ArrowCursor);
}
