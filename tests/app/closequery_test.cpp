// Rule: the main window's close box and both Quit entries end the program only when every open
// window agrees to close; a window that answers No (its user chose Cancel) keeps the program
// and the main window as they are. Windows are asked in the registry's order, and the first No
// ends the asking.
#include "apphost.h"
#include "controls.h"

#include "app/intro.h"
#include "browser/mainm.h"
#include "editor/frmmdi.h"
#include "editor/frmnotepad.h"
#include "editor/textbox.h"
#include "common/closequery.h"

#include <QAction>
#include <QEventLoop>
#include <QTimer>
#include <QTest>
#include <gtest/gtest.h>

using namespace orv;
using namespace orv::test;

namespace {

// A window with unsaved work: it asks its own question, and Cancel means it may not close.
class UnsavedWindow final : public QWidget, public CloseQuery {
public:
    UnsavedWindow(Prompts& prompts, QString question, QStringList& log)
        : prompts_(prompts), question_(std::move(question)), log_(log)
    {
    }
    void Form_Load() {}
    bool mayClose() override
    {
        log_.append(question_);
        return prompts_.message(question_, QString(), PromptIcon::Question, PromptButtons::YesNoCancel)
               != PromptAnswer::Cancel;
    }

private:
    Prompts& prompts_;
    QString question_;
    QStringList& log_;
};

// The program started and its main window up, with two windows that have unsaved work.
struct Program {
    AppHost h;
    QStringList asked;
    WindowSlot<UnsavedWindow> first{h.app->windows()};
    WindowSlot<UnsavedWindow> second{h.app->windows()};
    MainM* m = nullptr;

    Program()
    {
        h.app->Main();
        m = h.app->findMainM();
        QTest::mouseClick(h.app->findIntro(), Qt::LeftButton);
        first.get([this] { return new UnsavedWindow(h.prompts, QStringLiteral("Save the show?"), asked); });
        second.get([this] { return new UnsavedWindow(h.prompts, QStringLiteral("Save the text?"), asked); });
        h.prompts.clear();
    }
    ~Program()
    {
        first.destroy();
        second.destroy();
    }

    // Runs `close` inside an event loop; true when the program ended the loop. (Once the
    // program has ended, Qt starts no further event loop in this process.)
    bool ends(const std::function<void()>& close)
    {
        QEventLoop loop;
        QTimer::singleShot(0, &loop, close);
        QTimer::singleShot(500, &loop, [&loop] { loop.exit(7); });
        return loop.exec() == 0;
    }
};

} // namespace

TEST(CloseQuery, CancelKeepsTheProgramRunningWhicheverWayItIsClosed)
{
    Program p;
    const std::function<void()> ways[] = {
        [&] { control<QAction>(*p.m, "mnuQuit").trigger(); },
        [&] { control<QAction>(*p.m, "mnuTrayQuit").trigger(); },
        [&] { p.m->close(); },
    };
    for (const auto& way : ways) {
        p.asked.clear();
        p.h.prompts.clear();
        p.h.prompts.expectMessage(PromptAnswer::Yes);
        p.h.prompts.expectMessage(PromptAnswer::Cancel);
        EXPECT_FALSE(p.ends(way));
        EXPECT_EQ(p.asked, (QStringList{QStringLiteral("Save the show?"), QStringLiteral("Save the text?")}));
        EXPECT_TRUE(p.m->isVisible());
        EXPECT_TRUE(p.h.tray.has(p.m));
        EXPECT_TRUE(p.h.prompts.allAnswered());
    }
}

TEST(CloseQuery, FirstNoStopsTheAsking)
{
    Program p;
    p.h.prompts.expectMessage(PromptAnswer::Cancel);
    EXPECT_FALSE(p.ends([&] { control<QAction>(*p.m, "mnuQuit").trigger(); }));
    EXPECT_EQ(p.asked, QStringList{QStringLiteral("Save the show?")});
    EXPECT_TRUE(p.m->isVisible());
}

TEST(CloseQuery, ProgramEndsWhenAllAgree)
{
    Program p;
    p.h.prompts.expectMessage(PromptAnswer::No);
    p.h.prompts.expectMessage(PromptAnswer::Yes);
    EXPECT_TRUE(p.ends([&] { control<QAction>(*p.m, "mnuTrayQuit").trigger(); }));
    EXPECT_EQ(p.asked.size(), 2);
    EXPECT_FALSE(p.h.tray.has(p.m));
}

// Windows that are closed are not asked: a window that no longer exists has nothing to lose.
TEST(CloseQuery, ClosedWindowsAreNotAsked)
{
    Program p;
    p.first.destroy();
    p.h.prompts.expectMessage(PromptAnswer::Yes);
    EXPECT_TRUE(p.m->close());
    EXPECT_EQ(p.asked, QStringList{QStringLiteral("Save the text?")});
    EXPECT_FALSE(p.h.tray.has(p.m));
}

// The editor's changed documents are asked about at Quit, with the editor's own question; Cancel
// keeps the program, the editor and the text, and No lets the program end without writing.
TEST(CloseQuery, EditorDocumentsAreAskedAtQuit)
{
    AppHost h;
    h.app->Main();
    MainM& m = *h.app->findMainM();
    QTest::mouseClick(h.app->findIntro(), Qt::LeftButton);
    control<QAction>(m, "mnuText").trigger();
    frmMDI* editor = h.app->textEditor().frame();
    ASSERT_NE(editor, nullptr);
    editor->documentWindows()[0]->text().insertPlainText(QStringLiteral("unsaved"));
    h.prompts.clear();

    // Run directly: an earlier test may have ended the program, after which no event loop runs.
    h.prompts.expectMessage(PromptAnswer::Cancel);
    control<QAction>(m, "mnuQuit").trigger();
    ASSERT_EQ(h.prompts.asked().size(), 1);
    EXPECT_EQ(h.prompts.asked()[0].text,
              QStringLiteral("The text in [Untitled] has changed.\n\rDo you want to save the changes?"));
    EXPECT_EQ(h.prompts.asked()[0].title, QStringLiteral("Vellum Pad"));
    ASSERT_EQ(h.app->textEditor().frame(), editor);
    EXPECT_EQ(editor->documentWindows()[0]->text().toPlainText(), QStringLiteral("unsaved"));
    EXPECT_TRUE(m.isVisible());
    EXPECT_TRUE(h.tray.has(&m));

    h.prompts.expectMessage(PromptAnswer::No);
    control<QAction>(m, "mnuTrayQuit").trigger();
    EXPECT_FALSE(h.tray.has(&m));  // the program ends
    EXPECT_EQ(h.prompts.asked().size(), 2);
    EXPECT_TRUE(h.prompts.allAnswered());
}
