// Menus, tray icon and its message numbers, the options dialog's storage rules, the About box
// and the web-site label.
#include "startedprogram.h"
#include "eventually.h"

#include "app/frmlang.h"
#include "app/intro.h"
#include "editor/frmmdi.h"
#include "palette/palform.h"
#include "slideshow/slideshow.h"

#include <QAction>
#include <QFile>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <gtest/gtest.h>

using namespace orv;
using namespace orv::test;

namespace {

QStringList captions(const QList<QAction*>& actions)
{
    QStringList out;
    for (const QAction* a : actions)
        out << (a->isSeparator() ? QStringLiteral("-") : a->text());
    return out;
}

QByteArray storeBytes(const AppHost& h)
{
    QFile f(h.store->filePath(AppContext::AppName));
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

} // namespace

// The menu bar and the tray menu in both languages; the tray menu has exactly six entries.
TEST(Menus, CaptionsInBothLanguages)
{
    AppHost h;
    h.app->Main();
    MainM& m = *h.app->findMainM();
    EXPECT_EQ(captions(m.menuBar()->actions()), (QStringList{QStringLiteral("&Quit"), QStringLiteral("&Modules"),
                                                             QStringLiteral("&Options"), QStringLiteral("&About...")}));
    EXPECT_EQ(captions(control<QMenu>(m, "mnuModules").actions()),
              (QStringList{QStringLiteral("&Slide Show"), QStringLiteral("&Text Editor"),
                           QStringLiteral("&Palette Viewer"), QStringLiteral("-"), QStringLiteral("&Control Panel")}));
    EXPECT_EQ(captions(control<QMenu>(m, "mnuTray").actions()),
              (QStringList{QStringLiteral("&Slide Show"), QStringLiteral("&Text Editor"),
                           QStringLiteral("&Palette Viewer"), QStringLiteral("-"), QStringLiteral("&Maximize"),
                           QStringLiteral("&Quit")}));

    control<QRadioButton>(*h.app->findOptions(), "optFrench").setChecked(true);
    h.app->findOptions()->btnSet_Click();
    EXPECT_EQ(captions(m.menuBar()->actions()), (QStringList{QStringLiteral("&Quitter"), QStringLiteral("&Modules"),
                                                             QStringLiteral("&Options"), QStringLiteral("&A propos...")}));
    EXPECT_EQ(captions(control<QMenu>(m, "mnuTray").actions()),
              (QStringList{QStringLiteral("&Diaporama"), QStringLiteral("&Editeur"), QStringLiteral("&Palettes"),
                           QStringLiteral("-"), QStringLiteral("&Maximiser"), QStringLiteral("&Quitter")}));
    EXPECT_EQ(control<QAction>(m, "mnuControl").text(), QStringLiteral("Panneau de &Configuration"));
}

// F1 to F4 are the shortcuts of the Modules entries; the tools open modeless, once each.
TEST(Menus, ShortcutsAndTools)
{
    AppHost h;
    h.app->Main();
    MainM& m = *h.app->findMainM();
    EXPECT_EQ(control<QAction>(m, "mnuSlide").shortcut(), QKeySequence(Qt::Key_F1));
    EXPECT_EQ(control<QAction>(m, "mnuText").shortcut(), QKeySequence(Qt::Key_F2));
    EXPECT_EQ(control<QAction>(m, "mnuPalView").shortcut(), QKeySequence(Qt::Key_F3));
    EXPECT_EQ(control<QAction>(m, "mnuControl").shortcut(), QKeySequence(Qt::Key_F4));

    QTest::mouseClick(h.app->findIntro(), Qt::LeftButton);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&m));
    QTest::keyClick(&m, Qt::Key_F1);
    EXPECT_TRUE(h.app->findSlideshow()->isVisible());
    QTest::keyClick(&m, Qt::Key_F3);
    EXPECT_TRUE(h.app->findPalForm()->isVisible());
    // F2 and both Text Editor entries show the one editor frame, with its first document.
    QTest::keyClick(&m, Qt::Key_F2);
    frmMDI* editor = h.app->textEditor().frame();
    ASSERT_NE(editor, nullptr);
    EXPECT_TRUE(editor->isVisible());
    EXPECT_EQ(editor->documentWindows().size(), 1);
    control<QAction>(m, "mnuTrayEditor").trigger();
    control<QAction>(m, "mnuText").trigger();
    EXPECT_EQ(h.app->textEditor().frame(), editor);
    EXPECT_EQ(editor->documentWindows().size(), 1);
    editor->close();
    EXPECT_EQ(h.app->textEditor().frame(), nullptr);
    control<QAction>(m, "mnuTrayEditor").trigger();
    ASSERT_NE(h.app->textEditor().frame(), nullptr);
    EXPECT_TRUE(h.app->textEditor().frame()->isVisible());
    QTest::keyClick(&m, Qt::Key_F4);
    ASSERT_EQ(h.desktop.calls.size(), 1);
    EXPECT_EQ(h.desktop.calls[0].kind, RecordingDesktopLauncher::Kind::Settings);

    // Opening the slide-show editor twice from the tray shows the one window.
    Slideshow* first = h.app->findSlideshow();
    control<QAction>(m, "mnuTraySlide").trigger();
    control<QAction>(m, "mnuTraySlide").trigger();
    EXPECT_EQ(h.app->findSlideshow(), first);
    control<QAction>(m, "mnuOptions").trigger();
    EXPECT_TRUE(h.app->findOptions()->isVisible());
}

// Tray messages: a double-click restores a visible main window, the right button pops up the
// tray menu, the left button does nothing.
TEST(Tray, Messages)
{
    AppHost h;
    h.app->Main();
    MainM& m = *h.app->findMainM();
    EXPECT_EQ(h.tray.icons.value(&m), QStringLiteral("Orvane Viewer"));

    // Hidden behind the splash: a double-click does nothing.
    h.tray.send(&m, TrayMessage::LeftDoubleClick);
    EXPECT_FALSE(m.isVisible());

    QTest::keyClick(h.app->findIntro(), Qt::Key_Return);
    ASSERT_TRUE(m.isVisible());
    for (Qt::WindowState state : {Qt::WindowMinimized, Qt::WindowMaximized}) {
        m.setWindowState(state);
        h.tray.send(&m, TrayMessage::LeftDoubleClick);
        EXPECT_FALSE(m.windowState() & (Qt::WindowMinimized | Qt::WindowMaximized)) << int(state);
    }
    m.setWindowState(Qt::WindowMaximized);
    for (TrayMessage ignored : {TrayMessage::LeftButtonUp, TrayMessage::MiddleButtonUp})
        h.tray.send(&m, ignored);
    EXPECT_TRUE(m.windowState() & Qt::WindowMaximized);

    h.tray.send(&m, TrayMessage::RightButtonUp);
    ASSERT_EVENTUALLY(control<QMenu>(m, "mnuTray").isVisible());
    control<QMenu>(m, "mnuTray").close();
    h.tray.send(&m, TrayMessage::LeftButtonUp);
    EXPECT_FALSE(control<QMenu>(m, "mnuTray").isVisible());

    // Quit from the tray removes the icon.
    control<QAction>(m, "mnuTrayQuit").trigger();
    EXPECT_FALSE(h.tray.has(&m));
    ASSERT_FALSE(h.tray.calls.isEmpty());
    EXPECT_FALSE(h.tray.calls.back().add);
}

// Activation puts back the stored language; Cancel stores nothing at all.
TEST(Options, ActivationAndCancel)
{
    AppHost h;
    h.app->Main();
    frmLang* dlg = h.app->findOptions();
    control<QRadioButton>(*dlg, "optFrench").setChecked(true);
    control<QRadioButton>(*dlg, "optNo").setChecked(true);
    dlg->Form_Activate();  // the user went to another window and came back
    EXPECT_TRUE(control<QRadioButton>(*dlg, "optEnglish").isChecked());
    EXPECT_TRUE(control<QRadioButton>(*dlg, "optNo").isChecked());  // not touched by activation

    control<QRadioButton>(*dlg, "optFrench").setChecked(true);
    const QByteArray before = storeBytes(h);
    dlg->btnExit_Click();
    ASSERT_EVENTUALLY(!h.app->findOptions());
    EXPECT_EQ(storeBytes(h), before);
    EXPECT_EQ(h.read(QStringLiteral("Lang"), QStringLiteral("Lang")), QStringLiteral("English"));

    // Set with Yes stores the folder shown in the main window.
    h.app->showOptions();
    h.app->findOptions()->Form_Activate();
    h.app->findOptions()->btnSet_Click();
    EXPECT_EQ(h.read(QStringLiteral("Settings"), QStringLiteral("DefaultDir")), folderList(*h.app->findMainM()).path());
}

// The About box, line by line, in both languages.
TEST(About, LinesInBothLanguages)
{
    AppHost h;
    h.app->Main();
    h.prompts.expectMessage(PromptAnswer::Ok);
    h.app->showAbout();
    control<QRadioButton>(*h.app->findOptions(), "optFrench").setChecked(true);
    h.app->SetLanguage(false);
    h.prompts.expectMessage(PromptAnswer::Ok);
    h.app->showAbout();
    ASSERT_EQ(h.prompts.asked().size(), 2);
    const QStringList en = h.prompts.asked()[0].text.split(QLatin1Char('\r'));
    const QStringList fr = h.prompts.asked()[1].text.split(QLatin1Char('\r'));
    ASSERT_EQ(en.size(), 10);
    ASSERT_EQ(fr.size(), 10);
    EXPECT_EQ(en[2], QStringLiteral("    Supported file types:"));
    EXPECT_EQ(en[4], QStringLiteral("        .ico, .cur, .txt, .exe, .hlp, .avi"));
    EXPECT_EQ(en[5], QStringLiteral("        .mod, .mdz, .s3m, .xm, .itz, .it"));
    EXPECT_TRUE(en[6].isEmpty());
    for (int i : {7, 8, 9}) {
        EXPECT_TRUE(en[i].startsWith(QStringLiteral("    ")) && en[i].size() > 4) << i;
        EXPECT_EQ(fr[i], en[i]) << i;
    }
    EXPECT_EQ(fr[0], QStringLiteral("    Orvane Viewer est un visualiseur de fichiers multim\u00e9dia"));
    EXPECT_EQ(fr[2], QStringLiteral("    Types de fichiers support\u00e9s:"));
    for (int i : {3, 4, 5})
        EXPECT_EQ(fr[i], en[i]) << i;
    EXPECT_EQ(h.prompts.asked()[1].icon, PromptIcon::Information);
    EXPECT_FALSE(h.app->findIntro()->isVisible());
}

// The web-site label: red while held, blue again, status text 8, and a click opens the site.
TEST(About, WebSiteLabel)
{
    AppHost h;
    h.app->Main();
    MainM& m = *h.app->findMainM();
    QLabel& url = control<QLabel>(m, "lblURL");
    QTest::mousePress(&url, Qt::LeftButton);
    EXPECT_TRUE(url.styleSheet().contains(QStringLiteral("255,0,0")));
    QTest::mouseRelease(&url, Qt::LeftButton);
    EXPECT_TRUE(url.styleSheet().contains(QStringLiteral("0,0,255")));
    ASSERT_EQ(h.desktop.calls.size(), 1);
    EXPECT_EQ(h.desktop.calls[0].kind, RecordingDesktopLauncher::Kind::Document);
    EXPECT_EQ(h.desktop.calls[0].target, AppContext::SiteAddress);
    QMouseEvent move(QEvent::MouseMove, QPointF(3, 3), QPointF(3, 3), Qt::NoButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(&url, &move);
    EXPECT_EQ(statusPanels(m).panelText(1), QStringLiteral("Visit our site !"));
}
