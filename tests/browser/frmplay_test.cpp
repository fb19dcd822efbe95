// The module-player window and the plug-in call sequence, on a recording plug-in: the order and
// parameter of the calls, one window and one icon for any number of starts with only the newest
// instance alive, closing stops and releases it, the tray double-click restores the window, and
// a missing plug-in is the dispatcher's read error; the file list keeps the keys when a module
// starts.
#include "startedprogram.h"

#include "app/intro.h"
#include "browser/frmplay.h"

#include <QApplication>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

using namespace orv;
using namespace orv::test;

namespace {

QString tune() { return QDir(orv::test::samplesDir()).filePath(QStringLiteral("tune.mod")); }

// A started program with its browser in the sample folder.
struct Program : StartedProgram {
    int playerIconsAdded() const
    {
        int n = 0;
        for (const auto& c : h.tray.calls)
            n += c.add && c.owner == h.app->findPlayer() ? 1 : 0;
        return n;
    }
};

} // namespace

// A click on a module makes the four calls in order with "loop|true" and shows the window,
// centred, with its caption, size and tray icon; nothing is asked.
TEST(frmPlay, ClickOnModuleStartsItInTheWindow)
{
    Program p;
    p.click(QStringLiteral("tune.mod"));
    EXPECT_EQ(p.h.modules.calls, QStringList({QStringLiteral("CreateEx loop|true = 1"), QStringLiteral("SetWindow 1"),
                                               QStringLiteral("Load 1 ") + tune(), QStringLiteral("Play 1")}));
    EXPECT_EQ(p.h.ctx->modPlayerHandle(), 1u);
    EXPECT_EQ(p.h.ctx->modFilePath(), tune());
    frmPlay* w = p.h.app->findPlayer();
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(p.h.modules.windows.value(1), w);
    EXPECT_TRUE(w->isVisible());
    EXPECT_EQ(w->windowTitle(), QStringLiteral("Module player"));
    EXPECT_EQ(w->size(), QSize(244, 48));  // 3660 x 720 twips at 15 per pixel
    EXPECT_EQ(w->pos(), QPoint((1280 - 244) / 2, (1024 - 48) / 2));
    EXPECT_FALSE(w->windowIcon().isNull());
    EXPECT_EQ(p.h.tray.icons.value(w), QStringLiteral("Module Player"));
    EXPECT_TRUE(p.h.prompts.asked().isEmpty());
}

// A second module keeps the window and its one icon; the first instance is stopped and
// released before the new one is made, so only the new one is alive.
TEST(frmPlay, SecondModuleReplacesTheFirstInTheSameWindow)
{
    Program p;
    const QString other = QStringLiteral("/music/other song.s3m");
    ASSERT_TRUE(p.h.app->playModule(tune()));
    frmPlay* w = p.h.app->findPlayer();
    p.h.modules.calls.clear();
    ASSERT_TRUE(p.h.app->playModule(other));
    EXPECT_EQ(p.h.app->findPlayer(), w);
    EXPECT_EQ(p.playerIconsAdded(), 1);
    EXPECT_EQ(p.h.modules.calls,
              QStringList({QStringLiteral("Stop 1"), QStringLiteral("Destroy 1"), QStringLiteral("CreateEx loop|true = 2"),
                           QStringLiteral("SetWindow 2"), QStringLiteral("Load 2 ") + other, QStringLiteral("Play 2")}));
    EXPECT_EQ(p.h.modules.alive, QList<quint32>({2}));
    EXPECT_EQ(p.h.ctx->modFilePath(), other);
}

// Closing the window stops and releases the instance, removes the icon and forgets the window;
// the next module makes both again.
TEST(frmPlay, ClosingStopsTheModuleAndTheNextStartBuildsAfresh)
{
    Program p;
    ASSERT_TRUE(p.h.app->playModule(tune()));
    QPointer<frmPlay> w = p.h.app->findPlayer();
    w->close();
    EXPECT_EQ(p.h.modules.calls.mid(4), QStringList({QStringLiteral("Stop 1"), QStringLiteral("Destroy 1")}));
    EXPECT_TRUE(p.h.modules.alive.isEmpty());
    EXPECT_FALSE(p.h.tray.has(w));
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(w.isNull());
    EXPECT_EQ(p.h.app->findPlayer(), nullptr);

    ASSERT_TRUE(p.h.app->playModule(tune()));
    frmPlay* again = p.h.app->findPlayer();
    ASSERT_NE(again, nullptr);
    EXPECT_TRUE(p.h.tray.has(again));
    // The closed window's instance is gone already: nothing is stopped twice.
    EXPECT_EQ(p.h.modules.calls.mid(6, 1), QStringList({QStringLiteral("CreateEx loop|true = 2")}));
}

// Only the double-click on the player's icon restores the window, visible or not.
TEST(frmPlay, TrayDoubleClickRestoresTheWindow)
{
    Program p;
    ASSERT_TRUE(p.h.app->playModule(tune()));
    frmPlay* w = p.h.app->findPlayer();
    w->setWindowState(Qt::WindowMinimized);
    for (const TrayMessage ignored :
         {TrayMessage::LeftButtonUp, TrayMessage::RightButtonUp, TrayMessage::MiddleButtonUp}) {
        p.h.tray.send(w, ignored);
        EXPECT_TRUE(w->windowState() & Qt::WindowMinimized) << int(ignored);
    }
    p.h.tray.send(w, TrayMessage::LeftDoubleClick);
    EXPECT_FALSE(w->windowState() & Qt::WindowMinimized);

    w->hide();
    w->setWindowState(Qt::WindowMaximized);
    p.h.tray.send(w, TrayMessage::LeftDoubleClick);
    EXPECT_EQ(w->windowState(), Qt::WindowNoState);
}

// Without the plug-in library the click ends in the read error; the window and its icon exist.
TEST(frmPlay, MissingPluginIsTheReadError)
{
    Program p;
    p.h.modules.missing = true;
    p.h.prompts.expectMessage(PromptAnswer::Ok);
    p.click(QStringLiteral("tune.mod"));
    ASSERT_EQ(p.h.prompts.asked().size(), 1);
    EXPECT_EQ(p.h.prompts.asked().front().text,
              QStringLiteral("This file can't be read !\rBad file type or file doesn't exist"));
    ASSERT_NE(p.h.app->findPlayer(), nullptr);
    EXPECT_TRUE(p.h.tray.has(p.h.app->findPlayer()));
    EXPECT_TRUE(p.h.modules.calls.isEmpty());
}

// The program ending with a module playing makes no plug-in call: the music ends with it.
TEST(frmPlay, ProgramEndMakesNoPluginCall)
{
    Program p;
    ASSERT_TRUE(p.h.app->playModule(tune()));
    const QStringList before = p.h.modules.calls;
    p.h.app.reset();
    EXPECT_EQ(p.h.modules.calls, before);
}

// Stepping through the list with the Down key goes on past a module: its window comes to the
// front, but the keys stay with the list, so the next key opens the next file (here one that
// cannot be read) and the one after it; keys that reach the player go on to the list.
TEST(frmPlay, TheFileListKeepsTheKeysWhenAModuleStarts)
{
    QTemporaryDir dir;
    const QDir samples(samplesDir());
    ASSERT_TRUE(QFile::copy(samples.filePath(QStringLiteral("sunset.bmp")), dir.filePath(QStringLiteral("a.bmp"))));
    ASSERT_TRUE(QFile::copy(samples.filePath(QStringLiteral("tune.mod")), dir.filePath(QStringLiteral("b.mod"))));
    QFile in(samples.filePath(QStringLiteral("sunset.bmp")));
    QFile cut(dir.filePath(QStringLiteral("c.bmp")));
    ASSERT_TRUE(in.open(QIODevice::ReadOnly) && cut.open(QIODevice::WriteOnly));
    cut.write(in.read(64));
    cut.close();
    ASSERT_TRUE(QFile::copy(samples.filePath(QStringLiteral("sunset.bmp")), dir.filePath(QStringLiteral("d.bmp"))));

    StartedProgram p(dir.path());
    QTest::mouseClick(p.h.app->findIntro(), Qt::LeftButton);
    ASSERT_TRUE(QTest::qWaitForWindowActive(p.m));
    FileListView& list = fileList(*p.m);
    list.setFocus();
    p.click(QStringLiteral("a.bmp"));
    // A key goes where the keyboard's would: to the focus of the active window.
    const auto down = [] {
        QWidget* keys = QApplication::focusWidget();
        ASSERT_NE(keys, nullptr);
        QTest::keyClick(keys, Qt::Key_Down);
        QCoreApplication::processEvents();
    };

    down();
    const frmPlay* player = p.h.app->findPlayer();
    ASSERT_NE(player, nullptr);
    EXPECT_TRUE(player->isVisible());
    EXPECT_EQ(p.h.modules.calls.value(2), QStringLiteral("Load 1 ") + p.m->currentFile());
    EXPECT_EQ(QApplication::activeWindow(), p.m);
    EXPECT_EQ(QApplication::focusWidget(), &list);

    p.h.prompts.expectMessage(PromptAnswer::Ok);
    down();
    EXPECT_EQ(list.currentIndex().row(), 2);
    ASSERT_EQ(p.h.prompts.asked().size(), 1);
    EXPECT_EQ(p.h.prompts.asked().front().title, QStringLiteral("Read Error"));
    down();
    EXPECT_EQ(list.currentIndex().row(), 3);
    EXPECT_TRUE(p.m->currentFile().endsWith(QStringLiteral("D.BMP"), Qt::CaseInsensitive));
    EXPECT_TRUE(player->isVisible());

    // A window manager that focuses every new window gives the player the keys: they go on to
    // the list all the same.
    p.h.prompts.expectMessage(PromptAnswer::Ok);
    QTest::keyClick(const_cast<frmPlay*>(player), Qt::Key_Up);
    EXPECT_TRUE(QTest::qWaitFor([&] { return list.currentIndex().row() == 2; }));
}
