// The editor's windows on offscreen Qt with scripted dialogs: the frame's start-up and close,
// its menus and toolbar, the document windows' commands and the find dialog.
#include "common/appcontext.h"
#include "common/art.h"
#include "common/core/settingsstore.h"
#include "controls.h"
#include "editor/frmfind.h"
#include "editor/frmmdi.h"
#include "editor/frmnotepad.h"
#include "editor/textbox.h"
#include "editor/texteditor.h"
#include "editor/toolbarbutton.h"
#include "editortestfiles.h"
#include "eventually.h"
#include "fakeplatform.h"
#include "scriptedprompts.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QFontDatabase>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>
#include <memory>

using namespace Qt::StringLiterals;
using namespace orv;
using namespace orv::test;

namespace {

// The editor on its own: a store in a private folder, scripted dialogs, a 1280 x 1024 screen at
// 15 twips per pixel.
struct Editor {
    QTemporaryDir dir;
    SettingsStore store{dir.filePath(u"config"_s)};
    ScriptedPrompts prompts;
    FakeScreenMetrics screen;
    FakeProcessEnvironment process;
    std::unique_ptr<AppContext> ctx;
    std::unique_ptr<TextEditor> editor;

    Editor()
    {
        process.exeFolder = dir.filePath(u"bin"_s);
        ctx = std::make_unique<AppContext>(store, prompts, PlatformServices{&screen, nullptr, nullptr, &process});
        editor = std::make_unique<TextEditor>(*ctx);
    }
    ~Editor() { editor.reset(); }

    frmMDI& frame(const QString& pending = QString())
    {
        editor->show(pending);
        return *editor->frame();
    }
    // The program ended and started again on the same store.
    void restart()
    {
        editor.reset();
        editor = std::make_unique<TextEditor>(*ctx);
    }
    QString setting(const QString& key) const { return store.read(AppContext::AppName, u"Settings"_s, key); }
    QString file(const QString& name, const QByteArray& bytes)
    {
        const QString path = dir.filePath(name);
        EXPECT_TRUE(putBytes(path, bytes));
        return path;
    }
};

frmNotePad& doc(frmMDI& f, int slot)
{
    frmNotePad* d = f.document(slot);
    if (!d)
        throw std::logic_error("no document " + std::to_string(slot));
    return *d;
}

QAction& act(const QObject& owner, const char* name) { return control<QAction>(owner, name); }

// The frame's own menus, not those of its documents.
QMenu& frameMenu(const frmMDI& f, const char* name)
{
    QMenu* m = f.findChild<QMenu*>(QLatin1String(name), Qt::FindDirectChildrenOnly);
    if (!m)
        throw std::logic_error(std::string("no frame menu ") + name);
    return *m;
}

QStringList menuBarCaptions(frmMDI& f)
{
    QStringList captions;
    for (const QAction* a : f.menuBar()->actions())
        captions.append(a->text());
    return captions;
}

void mouse(QWidget* w, QEvent::Type type, QPointF at, Qt::MouseButton button, Qt::MouseButtons held)
{
    QMouseEvent e(type, at, w->mapToGlobal(at), button, held, Qt::NoModifier);
    QCoreApplication::sendEvent(w, &e);
}

void select(frmNotePad& d, int start, int length)
{
    QTextCursor c = d.text().textCursor();
    c.setPosition(start);
    c.setPosition(start + length, QTextCursor::KeepAnchor);
    d.text().setTextCursor(c);
}

TextRange selection(frmNotePad& d)
{
    const QTextCursor c = d.text().textCursor();
    return {c.selectionStart(), c.selectionEnd() - c.selectionStart()};
}

} // namespace

// First run: 80 % of the screen's width and two thirds of its height, stored at once, centred;
// document 1; the program's folder made current. A restart after a resize reopens at the new
// size, centred again; a stored size that is no number counts as missing.
TEST(EditorFrame, StartsAtTheStoredSizeCentredWithDocumentOne)
{
    Editor e;
    frmMDI& f = e.frame();
    EXPECT_EQ(e.setting(u"Width"_s), u"15360"_s);
    EXPECT_EQ(e.setting(u"Height"_s), u"10240"_s);
    EXPECT_EQ(f.frameGeometry().size(), QSize(1024, 683));
    EXPECT_EQ(f.pos(), QPoint(128, 170));
    EXPECT_EQ(f.windowTitle(), u"Vellum Pad"_s);
    EXPECT_EQ(e.process.currentFolderCalls, QStringList{e.process.exeFolder});
    ASSERT_EQ(f.documentWindows().size(), 1);
    EXPECT_EQ(f.activeDocument(), f.document(1));
    EXPECT_EQ(doc(f, 1).windowTitle(), u"Untitled"_s);
    EXPECT_EQ(doc(f, 1).text().font().pointSizeF(), 8.25);
    EXPECT_TRUE(doc(f, 1).text().font().bold());

    // The outer size is kept, with the window manager's frame.
    f.resize(900, 600);
    const QSize outer = f.frameGeometry().size();
    f.close();
    EXPECT_EQ(e.editor->frame(), nullptr);
    EXPECT_EQ(e.setting(u"Width"_s), QString::number(outer.width() * 15));
    EXPECT_EQ(e.setting(u"Height"_s), QString::number(outer.height() * 15));
    e.restart();
    frmMDI& again = e.frame();
    EXPECT_EQ(again.frameGeometry().size(), outer);
    EXPECT_EQ(again.pos(), QPoint((1280 - outer.width()) / 2, (1024 - outer.height()) / 2));
    again.close();

    e.store.write(AppContext::AppName, u"Settings"_s, u"Width"_s, u"wide"_s);
    e.restart();
    frmMDI& third = e.frame();
    EXPECT_EQ(third.frameGeometry().width(), 1024);
    EXPECT_EQ(e.setting(u"Width"_s), u"15360"_s);
    // Closed minimized: the size it has as a normal window is kept, not the icon's.
    third.resize(800, 500);
    const int normalWidth = third.frameGeometry().width();
    third.showMinimized();
    third.close();
    EXPECT_EQ(e.setting(u"Width"_s), QString::number(normalWidth * 15));
}

// The frame shows the active document's menus, its own while no document is open; captions
// and shortcuts as the user knows them.
TEST(EditorFrame, MenusOfTheFrameAndOfTheDocuments)
{
    Editor e;
    frmMDI& f = e.frame();
    EXPECT_EQ(menuBarCaptions(f), (QStringList{u"&File"_s, u"&Edit"_s, u"&Search"_s, u"&Options"_s, u"&Window"_s, u"&About"_s}));
    const std::pair<const char*, std::pair<QString, QString>> entries[] = {
        {"mnuFNew", {u"&New"_s, u"Ctrl+N"_s}},          {"mnuFOpen", {u"&Open..."_s, u"Ctrl+O"_s}},
        {"mnuFClose", {u"&Close"_s, u"Ctrl+D"_s}},      {"mnuFSave", {u"&Save"_s, u"Ctrl+S"_s}},
        {"mnuFSaveAs", {u"Save &As..."_s, QString()}},  {"mnuFExit", {u"E&xit"_s, u"Ctrl+Q"_s}},
        {"mnuECut", {u"Cu&t"_s, u"Ctrl+X"_s}},          {"mnuECopy", {u"&Copy"_s, u"Ctrl+C"_s}},
        {"mnuEPaste", {u"&Paste"_s, u"Ctrl+V"_s}},      {"mnuEDelete", {u"De&lete"_s, u"Del"_s}},
        {"mnuESelectAll", {u"Select &All"_s, u"Ctrl+A"_s}}, {"mnuETime", {u"Time/&Date"_s, u"F5"_s}},
        {"mnuSFind", {u"&Find"_s, QString()}},          {"mnuSFindNext", {u"Find &Next"_s, u"F3"_s}},
        {"mnuOToolbar", {u"&Toolbar"_s, QString()}},    {"mnuWCascade", {u"&Cascade"_s, QString()}},
        {"mnuWTile", {u"&Tile"_s, QString()}},          {"mnuWArrange", {u"&Arrange Icons"_s, QString()}}};
    for (const auto& [name, expected] : entries) {
        const QAction& a = act(doc(f, 1), name);
        EXPECT_EQ(a.text(), expected.first) << name;
        EXPECT_EQ(a.shortcut().toString(), expected.second) << name;
    }
    EXPECT_EQ(control<QMenu>(doc(f, 1), "mnuFont").title(), u"&Font"_s);

    doc(f, 1).mnuFClose_Click();
    EXPECT_TRUE(f.documentWindows().isEmpty());
    EXPECT_EQ(menuBarCaptions(f), (QStringList{u"&File"_s, u"&Options"_s}));
    QMenu& file = frameMenu(f, "mnuFile");
    EXPECT_EQ(act(file, "mnuFOpen").text(), u"&Open"_s);
    EXPECT_EQ(act(file, "mnuFExit").shortcut().toString(), u"Ctrl+Q"_s);
    act(file, "mnuFNew").trigger();
    EXPECT_EQ(f.activeDocument()->windowTitle(), u"Untitled:1"_s);
    EXPECT_EQ(menuBarCaptions(f).size(), 6);
}

// Closing the frame asks about each changed document in turn; Cancel keeps the frame and every
// document and stores nothing; a document answered Yes writes its own text to its own file.
TEST(EditorFrame, ClosingAsksEveryChangedDocumentInTurn)
{
    Editor e;
    const QString path = e.file(u"notes.txt"_s, "notes\n");
    frmMDI& f = e.frame(path);
    doc(f, 1).text().insertPlainText(u"first"_s);
    doc(f, 2).text().moveCursor(QTextCursor::End);
    doc(f, 2).text().insertPlainText(u"more"_s);
    f.activate(f.document(1));
    const QString widthBefore = e.setting(u"Width"_s);
    f.resize(700, 500);
    const int outerWidth = f.frameGeometry().width();

    e.prompts.expectMessage(PromptAnswer::No);
    e.prompts.expectMessage(PromptAnswer::Cancel);
    EXPECT_FALSE(f.close());
    ASSERT_EQ(e.prompts.asked().size(), 2);
    EXPECT_EQ(e.prompts.asked()[0].text, u"The text in [Untitled] has changed.\n\rDo you want to save the changes?"_s);
    EXPECT_EQ(e.prompts.asked()[0].title, u"Vellum Pad"_s);
    EXPECT_EQ(e.prompts.asked()[0].icon, PromptIcon::Exclamation);
    EXPECT_EQ(e.prompts.asked()[0].buttons, PromptButtons::YesNoCancel);
    EXPECT_EQ(e.prompts.asked()[1].text, u"The text in ["_s + path + u"] has changed.\n\rDo you want to save the changes?"_s);
    EXPECT_EQ(f.documentWindows().size(), 2);
    EXPECT_EQ(e.setting(u"Width"_s), widthBefore);

    e.prompts.clear();
    e.prompts.expectMessage(PromptAnswer::No);
    e.prompts.expectMessage(PromptAnswer::Yes);
    EXPECT_TRUE(f.close());
    EXPECT_EQ(fileBytes(path), "notes\nmore\n");
    EXPECT_EQ(e.setting(u"Width"_s), QString::number(outerWidth * 15));
}

// The program's end asks the same questions first; Cancel keeps everything. The answers are
// not kept: the program may still go on, and the frame's own close asks again.
TEST(EditorFrame, AnswersTheProgramsCloseQuery)
{
    Editor e;
    EXPECT_TRUE(e.editor->queryClose());  // never opened
    frmMDI& f = e.frame();
    EXPECT_TRUE(e.editor->queryClose());  // nothing changed
    doc(f, 1).text().insertPlainText(u"x"_s);
    f.resize(600, 400);
    const QString width = e.setting(u"Width"_s);
    e.prompts.expectMessage(PromptAnswer::Cancel);
    EXPECT_FALSE(e.editor->queryClose());
    EXPECT_EQ(f.documentWindows().size(), 1);
    EXPECT_EQ(e.setting(u"Width"_s), width);
    e.prompts.expectMessage(PromptAnswer::No);
    EXPECT_TRUE(e.editor->queryClose());
    EXPECT_EQ(e.setting(u"Width"_s), QString::number(f.frameGeometry().width() * 15));
    e.prompts.expectMessage(PromptAnswer::No);
    EXPECT_TRUE(f.close());
}

// A file handed over opens beside "Untitled" when the editor was closed, and in a further
// window when it was open; the frame comes to the front either way.
TEST(EditorFrame, HandedOverFilesOpenInNewDocumentWindows)
{
    Editor e;
    const QString a = e.file(u"a.txt"_s, "alpha\r\n");
    const QString b = e.file(u"b & c.txt"_s, "beta");
    frmMDI& f = e.frame(a);
    ASSERT_EQ(f.documentWindows().size(), 2);
    EXPECT_EQ(doc(f, 1).windowTitle(), u"Untitled"_s);
    EXPECT_EQ(f.activeDocument(), f.document(2));
    EXPECT_EQ(doc(f, 2).text().text(), u"alpha\n"_s);
    f.showMinimized();
    e.editor->openInEditor(b);
    EXPECT_EQ(e.editor->frame(), &f);
    EXPECT_FALSE(f.isMinimized());
    EXPECT_EQ(f.activeDocument()->windowTitle(), b);
    EXPECT_EQ(doc(f, 3).parentWidget()->windowTitle(), b);
    e.editor->show();
    EXPECT_EQ(f.documentWindows().size(), 3);
    // Menus show the path as it is, '&' included.
    EXPECT_EQ(act(doc(f, 3), "mnuRecentFile1").text(), e.dir.path() + u"/b && c.txt"_s);
    EXPECT_EQ(act(frameMenu(f, "mnuFile"), "mnuRecentFile2").text(), a);
}

// A frame closed and made again, as at each text the browser hands over once the user has closed
// the editor, shows the same icons: icons of its own would each leave their scaled copies in
// Qt's pixmap cache, and a long session would grow with every text read.
TEST(EditorFrame, FramesMadeAgainShareTheirIcons)
{
    Editor e;
    const QString path = e.file(u"a.txt"_s, "alpha");
    const auto iconsOfAFrame = [&] {
        frmMDI& f = e.frame(path);
        EXPECT_FALSE(f.windowIcon().isNull());
        EXPECT_FALSE(doc(f, 2).parentWidget()->windowIcon().isNull());
        const std::pair<qint64, qint64> keys{f.windowIcon().cacheKey(),
                                             doc(f, 2).parentWidget()->windowIcon().cacheKey()};
        EXPECT_TRUE(f.close());
        EXPECT_EQ(e.editor->frame(), nullptr);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        return keys;
    };
    const auto first = iconsOfAFrame();
    EXPECT_EQ(iconsOfAFrame(), first);
}

// Recent files survive a restart: the frame's and a new document's File menus list them, most
// recent first, and an entry opens its file without the Open dialog.
TEST(EditorFrame, RecentFilesAfterARestart)
{
    Editor e;
    const QString one = e.file(u"one.txt"_s, "1");
    const QString two = e.file(u"two.txt"_s, "2");
    frmMDI& f = e.frame();
    for (const QString& path : {one, two}) {
        e.prompts.expectInput(path);
        act(doc(f, 1), "mnuFOpen").trigger();
    }
    ASSERT_TRUE(f.close());
    e.restart();
    frmMDI& g = e.frame();
    for (QObject* menu : {static_cast<QObject*>(&frameMenu(g, "mnuFile")), static_cast<QObject*>(&doc(g, 1))}) {
        EXPECT_TRUE(act(*menu, "mnuRecentFile0").isVisible());
        EXPECT_EQ(act(*menu, "mnuRecentFile1").text(), two);
        EXPECT_EQ(act(*menu, "mnuRecentFile2").text(), one);
        EXPECT_TRUE(act(*menu, "mnuRecentFile2").isVisible());
        EXPECT_FALSE(act(*menu, "mnuRecentFile3").isVisible());
    }
    act(doc(g, 1), "mnuRecentFile2").trigger();
    EXPECT_EQ(g.activeDocument()->windowTitle(), one);
    EXPECT_EQ(g.activeDocument()->text().text(), u"1"_s);
    // A new document shows the list at once.
    act(doc(g, 1), "mnuFNew").trigger();
    EXPECT_EQ(act(*g.activeDocument(), "mnuRecentFile1").text(), two);
    EXPECT_TRUE(act(*g.activeDocument(), "mnuRecentFile1").isVisible());
}

// The five picture buttons at their places; Cut, Copy and Paste exactly while a document is
// open; the Toolbar entries of every Options menu follow whether the strip is shown.
TEST(EditorToolbar, ButtonsAndTheToolbarEntry)
{
    Editor e;
    frmMDI& f = e.frame();
    QWidget& strip = control<QWidget>(f, "picToolbar");
    EXPECT_EQ(strip.height(), 27);
    const std::pair<const char*, int> buttons[] = {{"imgFileNewButton", 0}, {"imgFileOpenButton", 24},
                                                   {"imgCutButton", 56}, {"imgCopyButton", 80}, {"imgPasteButton", 104}};
    for (const auto& [name, left] : buttons) {
        const auto& b = control<ToolbarButton>(f, name);
        EXPECT_EQ(b.geometry(), QRect(left, 0, 23, 22)) << name;
        EXPECT_TRUE(b.isVisibleTo(&f)) << name;
        EXPECT_EQ(b.picture(), b.upPicture()) << name;
    }
    EXPECT_EQ(control<ToolbarButton>(f, "imgCopyButton").upPicture(), artImage("toolbar-copy-up"));
    doc(f, 1).mnuFClose_Click();
    EXPECT_FALSE(control<ToolbarButton>(f, "imgCutButton").isVisibleTo(&f));
    EXPECT_FALSE(control<ToolbarButton>(f, "imgPasteButton").isVisibleTo(&f));
    EXPECT_TRUE(control<ToolbarButton>(f, "imgFileOpenButton").isVisibleTo(&f));
    auto& newButton = control<ToolbarButton>(f, "imgFileNewButton");
    mouse(&newButton, QEvent::MouseButtonPress, QPointF(5, 5), Qt::LeftButton, Qt::LeftButton);
    mouse(&newButton, QEvent::MouseButtonRelease, QPointF(5, 5), Qt::LeftButton, Qt::NoButton);
    ASSERT_EQ(f.documentWindows().size(), 1);
    EXPECT_TRUE(control<ToolbarButton>(f, "imgCutButton").isVisibleTo(&f));

    // Hidden from a document's menu; the frame's entry, seen after the last document closed,
    // is unchecked too, and the area below takes the strip's room.
    const int areaHeight = f.area().height();
    QAction& docEntry = act(*f.activeDocument(), "mnuOToolbar");
    Q_EMIT control<QMenu>(*f.activeDocument(), "mnuOptions").aboutToShow();
    EXPECT_TRUE(docEntry.isChecked());
    docEntry.trigger();
    EXPECT_TRUE(strip.isHidden());
    ASSERT_EVENTUALLY_EQ(f.area().height(), areaHeight + 27);
    f.activeDocument()->mnuFClose_Click();
    QMenu& options = frameMenu(f, "mnuOptions");
    Q_EMIT options.aboutToShow();
    EXPECT_FALSE(act(options, "mnuOToolbar").isChecked());
    act(options, "mnuOToolbar").trigger();
    EXPECT_FALSE(strip.isHidden());
    // Shown again at every load.
    act(options, "mnuOToolbar").trigger();
    f.close();
    EXPECT_FALSE(control<QWidget>(e.frame(), "picToolbar").isHidden());
}

// Pressed on Copy, dragged off (raised), back (pressed), released over it: one copy. Released
// off it: nothing, raised. The left column counts as off, the top row as on; moves with
// another button held change nothing.
TEST(EditorToolbar, DraggingOffAButtonCancelsItsCommand)
{
    Editor e;
    frmMDI& f = e.frame();
    doc(f, 1).text().setPlainText(u"copy me"_s);
    select(doc(f, 1), 0, 4);
    auto& copy = control<ToolbarButton>(f, "imgCopyButton");
    QGuiApplication::clipboard()->setText(u"before"_s);
    const auto look = [&copy] { return copy.picture() == copy.downPicture() ? "pressed" : "raised"; };
    const auto move = [&copy](QPointF at, Qt::MouseButtons held = Qt::LeftButton) {
        mouse(&copy, QEvent::MouseMove, at, Qt::NoButton, held);
    };

    mouse(&copy, QEvent::MouseButtonPress, QPointF(10, 10), Qt::LeftButton, Qt::LeftButton);
    EXPECT_STREQ(look(), "pressed");
    move(QPointF(40, 10));
    EXPECT_STREQ(look(), "raised");
    move(QPointF(10, 10));
    EXPECT_STREQ(look(), "pressed");
    move(QPointF(0, 10));
    EXPECT_STREQ(look(), "raised");
    move(QPointF(10, 0));
    EXPECT_STREQ(look(), "pressed");
    move(QPointF(23, 22));
    EXPECT_STREQ(look(), "pressed");
    move(QPointF(10, -1));
    EXPECT_STREQ(look(), "raised");
    move(QPointF(10, 10), Qt::RightButton);
    EXPECT_STREQ(look(), "raised");
    move(QPointF(10, 10));
    mouse(&copy, QEvent::MouseButtonRelease, QPointF(10, 10), Qt::LeftButton, Qt::NoButton);
    EXPECT_STREQ(look(), "raised");
    EXPECT_EQ(QGuiApplication::clipboard()->text(), u"copy"_s);

    QGuiApplication::clipboard()->setText(u"before"_s);
    mouse(&copy, QEvent::MouseButtonPress, QPointF(10, 10), Qt::LeftButton, Qt::LeftButton);
    move(QPointF(60, 40));
    mouse(&copy, QEvent::MouseButtonRelease, QPointF(60, 40), Qt::LeftButton, Qt::NoButton);
    EXPECT_STREQ(look(), "raised");
    EXPECT_EQ(QGuiApplication::clipboard()->text(), u"before"_s);
    // The right button presses the look but runs nothing.
    mouse(&copy, QEvent::MouseButtonPress, QPointF(10, 10), Qt::RightButton, Qt::RightButton);
    EXPECT_STREQ(look(), "pressed");
    mouse(&copy, QEvent::MouseButtonRelease, QPointF(10, 10), Qt::RightButton, Qt::NoButton);
    EXPECT_STREQ(look(), "raised");
    EXPECT_EQ(QGuiApplication::clipboard()->text(), u"before"_s);
}

// Cut, Copy and Paste keep no-break spaces and line breaks; Paste of nothing removes the
// selection; Delete takes the selection or the character after the caret, nothing at the
// end; Time/Date replaces the selection and leaves the caret after it. Each change marks the
// document changed.
TEST(EditorDocument, EditingCommands)
{
    Editor e;
    frmMDI& f = e.frame();
    frmNotePad& d = doc(f, 1);
    const QString text = u"a\u00a0b\nline two"_s;
    d.text().setPlainText(text);
    EXPECT_TRUE(f.documents().documents()[1].modified);
    select(d, 0, 5);
    act(d, "mnuECopy").trigger();
    EXPECT_EQ(QGuiApplication::clipboard()->text(), u"a\u00a0b\nl"_s);
    act(d, "mnuECut").trigger();
    EXPECT_EQ(d.text().text(), u"ine two"_s);
    d.text().moveCursor(QTextCursor::End);
    act(d, "mnuEPaste").trigger();
    EXPECT_EQ(d.text().text(), u"ine twoa\u00a0b\nl"_s);
    select(d, 0, 0);
    act(d, "mnuECopy").trigger();
    EXPECT_EQ(QGuiApplication::clipboard()->text(), QString());
    select(d, 0, 4);
    act(d, "mnuEPaste").trigger();
    EXPECT_EQ(d.text().text(), u"twoa\u00a0b\nl"_s);

    select(d, 6, 0);
    act(d, "mnuEDelete").trigger();
    EXPECT_EQ(d.text().text(), u"twoa\u00a0bl"_s);
    select(d, 0, 3);
    act(d, "mnuEDelete").trigger();
    EXPECT_EQ(d.text().text(), u"a\u00a0bl"_s);
    d.text().moveCursor(QTextCursor::End);
    act(d, "mnuEDelete").trigger();
    EXPECT_EQ(d.text().text(), u"a\u00a0bl"_s);

    act(d, "mnuESelectAll").trigger();
    EXPECT_EQ(selection(d), (TextRange{0, 4}));
    // The keys of the menu entries run the entries, not the text box's own editing.
    f.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&f));
    QSignalSpy deleted(&act(d, "mnuEDelete"), &QAction::triggered);
    QSignalSpy copied(&act(d, "mnuECopy"), &QAction::triggered);
    select(d, 0, 1);
    QTest::keyClick(&d.text(), Qt::Key_C, Qt::ControlModifier);
    QTest::keyClick(&d.text(), Qt::Key_Delete);
    EXPECT_EQ(copied.size(), 1);
    EXPECT_EQ(deleted.size(), 1);
    EXPECT_EQ(d.text().text(), u"\u00a0bl"_s);
    QTest::keyClick(&d.text(), Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(d.text().text(), u"a\u00a0bl"_s);
    select(d, 1, 2);
    act(d, "mnuETime").trigger();
    const QString inserted = d.text().text().mid(1, d.text().text().size() - 2);
    EXPECT_EQ(d.text().text().front(), u'a');
    EXPECT_EQ(d.text().text().back(), u'l');
    EXPECT_TRUE(inserted.contains(u' ')) << inserted.toStdString();
    EXPECT_EQ(selection(d), (TextRange{1 + inserted.size(), 0}));
}

// The find dialog from the Search menu: Find disabled while its box is empty; the abcabc
// example down to its end; an upward search; Match Case; Cancel keeping the text for Find
// Next, the close box not; the direction and check box restored when it opens again.
TEST(EditorFind, FindDialogAndFindNext)
{
    Editor e;
    frmMDI& f = e.frame();
    frmNotePad& d = doc(f, 1);
    d.text().setPlainText(u"abcabc"_s);
    select(d, 0, 0);
    // Find Next with nothing to search for opens the dialog.
    act(d, "mnuSFindNext").trigger();
    frmFind* find = e.editor->findDialog();
    ASSERT_NE(find, nullptr);
    EXPECT_TRUE(find->isVisible());
    EXPECT_EQ(find->windowTitle(), u"Find"_s);
    auto& box = control<QPlainTextEdit>(*find, "Text1");
    auto& findButton = control<QPushButton>(*find, "cmdFind");
    EXPECT_FALSE(findButton.isEnabled());
    EXPECT_TRUE(control<QRadioButton>(*find, "optDirection1").isChecked());
    QTest::keyClicks(&box, u"abc"_s);
    EXPECT_TRUE(findButton.isEnabled());
    findButton.click();
    EXPECT_EQ(selection(d), (TextRange{0, 3}));
    act(d, "mnuSFindNext").trigger();
    EXPECT_EQ(selection(d), (TextRange{3, 3}));
    e.prompts.expectMessage(PromptAnswer::Ok);
    act(d, "mnuSFindNext").trigger();
    ASSERT_EQ(e.prompts.asked().size(), 1);
    EXPECT_EQ(e.prompts.asked()[0].text, u"Cannot find \"abc\""_s);
    EXPECT_EQ(e.prompts.asked()[0].title, u"Orvane Viewer"_s);
    EXPECT_EQ(selection(d), (TextRange{3, 3}));
    QTest::keyClick(&box, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(&box, Qt::Key_Backspace);
    EXPECT_FALSE(findButton.isEnabled());

    // Upward from the end, as typed: "ABC" with Match Case finds nothing in "abcabc".
    QTest::keyClicks(&box, u"ABC"_s);
    control<QRadioButton>(*find, "optDirection0").click();
    EXPECT_EQ(e.editor->search().searchDirection, SearchDirection::Up);
    select(d, 6, 0);
    findButton.click();
    EXPECT_EQ(selection(d), (TextRange{3, 3}));
    control<QCheckBox>(*find, "chkCase").click();
    EXPECT_TRUE(e.editor->search().searchMatchCase);
    e.prompts.expectMessage(PromptAnswer::Ok);
    findButton.click();
    EXPECT_EQ(e.prompts.asked().back().text, u"Cannot find \"ABC\""_s);

    // Cancel keeps the box's text; the next Find restores direction and check box.
    QTest::keyClick(&box, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(&box, u"cab"_s);
    control<QPushButton>(*find, "cmdcancel").click();
    ASSERT_EVENTUALLY(!e.editor->findDialog());
    EXPECT_EQ(e.editor->search().searchText, u"cab"_s);
    select(d, 0, 0);
    act(d, "mnuSFind").trigger();
    find = e.editor->findDialog();
    ASSERT_NE(find, nullptr);
    EXPECT_EQ(control<QPlainTextEdit>(*find, "Text1").toPlainText(), u"cab"_s);
    EXPECT_TRUE(control<QPushButton>(*find, "cmdFind").isEnabled());
    EXPECT_TRUE(control<QRadioButton>(*find, "optDirection0").isChecked());
    EXPECT_TRUE(control<QCheckBox>(*find, "chkCase").isChecked());
    control<QRadioButton>(*find, "optDirection1").click();
    QTest::keyClicks(&control<QPlainTextEdit>(*find, "Text1"), u"zzz"_s);
    find->close();
    ASSERT_EVENTUALLY(!e.editor->findDialog());
    EXPECT_EQ(e.editor->search().searchText, u"cab"_s);
    select(d, 0, 0);
    act(d, "mnuSFindNext").trigger();
    EXPECT_EQ(selection(d), (TextRange{2, 3}));
}

// A selection over two lines goes into the box whole and is found as one block; with no
// document open the dialog's Find does nothing.
TEST(EditorFind, SelectionOverTwoLines)
{
    Editor e;
    frmMDI& f = e.frame();
    frmNotePad& d = doc(f, 1);
    d.text().setPlainText(u"one\ntwo\none\ntwo"_s);
    select(d, 0, 7);
    act(d, "mnuSFind").trigger();
    frmFind& find = *e.editor->findDialog();
    EXPECT_EQ(find.searchText(), u"one\ntwo"_s);
    select(d, 1, 0);
    control<QPushButton>(find, "cmdFind").click();
    EXPECT_EQ(selection(d), (TextRange{8, 7}));
    e.prompts.expectMessage(PromptAnswer::No);
    d.mnuFClose_Click();
    EXPECT_TRUE(f.documentWindows().isEmpty());
    control<QPushButton>(find, "cmdFind").click();
    EXPECT_TRUE(find.isVisible());
}

// Window commands: Tile stacks the documents that are not minimized, each as wide as the
// area; a minimized document restored has its text box filling it again; the Font menu lists
// the screen's fonts and changes only the family; the File menu lists the open windows.
TEST(EditorDocument, WindowCommandsFontsAndResize)
{
    Editor e;
    frmMDI& f = e.frame();
    act(doc(f, 1), "mnuFNew").trigger();
    act(doc(f, 1), "mnuFNew").trigger();
    auto sub = [&f](int slot) { return qobject_cast<QMdiSubWindow*>(doc(f, slot).parentWidget()); };
    sub(2)->showMinimized();
    act(doc(f, 3), "mnuWTile").trigger();
    const QSize area = f.area().viewport()->size();
    EXPECT_EQ(sub(1)->geometry().topLeft(), QPoint(0, 0));
    EXPECT_EQ(sub(1)->width(), area.width());
    EXPECT_EQ(sub(3)->width(), area.width());
    EXPECT_EQ(sub(3)->y(), sub(1)->height());
    EXPECT_LE(sub(3)->geometry().bottom(), area.height() - sub(2)->height());
    act(doc(f, 3), "mnuWArrange").trigger();
    EXPECT_EQ(sub(2)->geometry().bottomLeft(), QPoint(0, area.height() - 1));
    sub(2)->showNormal();
    sub(2)->resize(333, 222);
    EXPECT_EQ(doc(f, 2).text().geometry(), QRect(QPoint(0, 0), doc(f, 2).size()));

    frmNotePad& d = doc(f, 3);
    f.activate(&d);
    QMenu& file = control<QMenu>(d, "mnuFile");
    Q_EMIT file.aboutToShow();
    EXPECT_EQ(act(d, "windowList1").text(), u"&1 Untitled"_s);
    EXPECT_EQ(act(d, "windowList3").text(), u"&3 Untitled:3"_s);
    EXPECT_TRUE(act(d, "windowList3").isChecked());
    EXPECT_FALSE(act(d, "windowList1").isChecked());
    act(d, "windowList1").trigger();
    EXPECT_EQ(f.activeDocument(), f.document(1));

    QMenu& fonts = control<QMenu>(d, "mnuFont");
    Q_EMIT fonts.aboutToShow();
    const QStringList families = QFontDatabase::families();
    ASSERT_FALSE(families.isEmpty());
    ASSERT_EQ(fonts.actions().size(), families.size());
    EXPECT_EQ(fonts.actions().first()->objectName(), u"mnuFontName0"_s);
    const int last = int(families.size() - 1);
    d.mnuFontName_Click(last);
    EXPECT_EQ(d.text().font().family(), families[last]);
    EXPECT_EQ(d.text().font().pointSizeF(), 8.25);
    EXPECT_TRUE(d.text().font().bold());
    EXPECT_FALSE(f.documents().documents()[3].modified);
    EXPECT_EQ(doc(f, 2).text().font().family(), doc(f, 1).text().font().family());
}

// The About box: four lines, its own title, the information icon.
TEST(EditorDocument, AboutBox)
{
    Editor e;
    frmMDI& f = e.frame();
    e.prompts.expectMessage(PromptAnswer::Ok);
    act(doc(f, 1), "mnuAbout").trigger();
    ASSERT_EQ(e.prompts.asked().size(), 1);
    const auto& about = e.prompts.asked()[0];
    EXPECT_EQ(about.title, u"About Vellum Pad..."_s);
    EXPECT_EQ(about.icon, PromptIcon::Information);
    EXPECT_EQ(about.buttons, PromptButtons::Ok);
    const QStringList lines = about.text.split(u'\r');
    ASSERT_EQ(lines.size(), 4);
    EXPECT_EQ(lines[0], u"Vellum Pad Module"_s);
    EXPECT_EQ(lines[3], AppContext::SiteAddress);
}

// Once a document has painted, the next document window is made ready out of sight: it is in
// no list, no arrangement shows it, closing the others leaves it hidden, and the next New
// uses it.
TEST(EditorDocument, TheWindowMadeReadyStaysOutOfSight)
{
    Editor e;
    frmMDI& f = e.frame();
    act(doc(f, 1), "mnuFNew").trigger();
    ASSERT_EVENTUALLY_EQ(f.area().subWindowList().size(), 3);
    QMdiSubWindow* spare = nullptr;
    for (QMdiSubWindow* sub : f.area().subWindowList()) {
        if (sub->isHidden())
            spare = sub;
    }
    ASSERT_NE(spare, nullptr);
    EXPECT_EQ(f.documentWindows().size(), 2);
    f.cascade();
    f.tileHorizontally();
    EXPECT_TRUE(spare->isHidden());
    Q_EMIT control<QMenu>(doc(f, 2), "mnuFile").aboutToShow();
    EXPECT_EQ(doc(f, 2).findChildren<QAction*>(QRegularExpression(u"^windowList"_s)).size(), 2);
    doc(f, 2).mnuFClose_Click();
    doc(f, 1).mnuFClose_Click();
    EXPECT_TRUE(spare->isHidden());
    EXPECT_EQ(menuBarCaptions(f), (QStringList{u"&File"_s, u"&Options"_s}));
    act(frameMenu(f, "mnuFile"), "mnuFNew").trigger();
    EXPECT_EQ(f.activeDocument()->parentWidget(), spare);
    EXPECT_TRUE(spare->isVisible());
    EXPECT_EQ(f.activeDocument()->windowTitle(), u"Untitled:1"_s);
}
