#include "common/core/settingsstore.h"
#include "editor/core/documents.h"
#include "editor/core/textfile.h"
#include "editortestfiles.h"
#include "scriptedprompts.h"

#include <QDir>
#include <QMap>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <csignal>
#include <sys/resource.h>

using namespace Qt::StringLiterals;
using namespace orv;
using orv::test::fileBytes;
using orv::test::putBytes;
using orv::test::ScriptedPrompts;

namespace {

const QString kApp = u"Orvane Viewer"_s;

// The frame and its document windows as the rules see them. Setting a text reports a change,
// as the real text box's change signal does.
class FakeWindows final : public EditorWindows {
public:
    struct Window {
        QString caption;
        QString text;
        TextRange selection;
        bool shown = false;
        RecentMenu menu;
    };

    EditorDocuments* docs = nullptr;
    QMap<int, Window> windows;
    RecentMenu frameMenu;
    int frameMenuShown = 0;
    bool editingButtons = false;
    int busy = 0;
    int busyTimes = 0;
    int active = 0;

    void createDocumentWindow(int slot) override
    {
        EXPECT_FALSE(windows.contains(slot)) << "slot " << slot << " already has a window";
        windows[slot] = Window();
    }
    void setDocumentCaption(int slot, const QString& caption) override { windows[slot].caption = caption; }
    void setDocumentText(int slot, const QString& text) override
    {
        windows[slot].text = text;
        docs->textChanged(slot);
    }
    QString documentText(int slot) const override { return windows.value(slot).text; }
    qsizetype selectionStart(int slot) const override { return windows.value(slot).selection.start; }
    void selectText(int slot, TextRange range) override { windows[slot].selection = range; }
    void showDocumentWindow(int slot) override
    {
        windows[slot].shown = true;
        active = slot;
    }
    void setEditingButtonsVisible(bool visible) override { editingButtons = visible; }
    void showRecentMenu(int window, const RecentMenu& menu) override
    {
        if (window == 0) {
            frameMenu = menu;
            ++frameMenuShown;
        } else {
            windows[window].menu = menu;
        }
    }
    void setBusy(bool on) override
    {
        busy += on ? 1 : -1;
        busyTimes += on ? 1 : 0;
    }

    void type(int slot, const QString& s)
    {
        windows[slot].text += s;
        docs->textChanged(slot);
    }
    // A document window's close: the question, then the unload.
    bool close(int slot)
    {
        if (!docs->queryClose(slot))
            return false;
        windows.remove(slot);
        docs->documentClosed(slot);
        return true;
    }
};

class EditorDocumentsTest : public ::testing::Test {
protected:
    EditorDocumentsTest() : store_(dir_.path() + u"/config"_s), docs_(store_, prompts_, windows_, kApp)
    {
        windows_.docs = &docs_;
    }
    void TearDown() override
    {
        EXPECT_TRUE(prompts_.allAnswered()) << "a scripted answer was never asked for";
        EXPECT_EQ(windows_.busy, 0) << "busy pointer left on";
        dir_.setAutoRemove(!HasFailure());
    }

    QString file(const QString& name, const QByteArray& bytes)
    {
        const QString path = dir_.path() + u"/files/"_s + name;
        EXPECT_TRUE(putBytes(path, bytes));
        return path;
    }
    QString folder() const { return dir_.path() + u"/files"_s; }
    QString recent(int i) const { return store_.read(kApp, u"Recent Files"_s, u"RecentFile%1"_s.arg(i)); }
    QStringList recentList() const
    {
        QStringList list;
        for (const auto& pair : store_.listSection(kApp, u"Recent Files"_s))
            list.append(pair.second);
        return list;
    }
    QByteArray storeBytes() const { return fileBytes(store_.filePath(kApp)); }
    const ScriptedPrompts::Asked& lastAsked() const { return prompts_.asked().back(); }
    int open(const QString& path)
    {
        prompts_.expectInput(path);
        return docs_.OpenWithDialog();
    }
    const DocumentState& doc(int slot) const { return docs_.documents()[slot]; }

    QTemporaryDir dir_;
    SettingsStore store_;
    ScriptedPrompts prompts_;
    FakeWindows windows_;
    EditorDocuments docs_;
};

void expectMessage(const ScriptedPrompts::Asked& asked, const QString& text)
{
    EXPECT_EQ(asked.kind, u"message"_s);
    EXPECT_EQ(asked.text, text);
    EXPECT_EQ(asked.title, kApp);
    EXPECT_EQ(asked.icon, PromptIcon::None);
    EXPECT_EQ(asked.buttons, PromptButtons::Ok);
}

} // namespace

TEST_F(EditorDocumentsTest, SlotsAreReusedLowestFirstAndCaptionedByTheirNumber)
{
    docs_.frameLoaded(QString());
    ASSERT_EQ(windows_.windows.keys(), QList<int>{1});
    EXPECT_EQ(windows_.windows[1].caption, u"Untitled"_s);
    EXPECT_TRUE(windows_.windows[1].shown);
    EXPECT_FALSE(doc(1).modified);

    EXPECT_EQ(docs_.NewDocument(), 2);
    EXPECT_EQ(windows_.windows[2].caption, u"Untitled:2"_s);
    EXPECT_EQ(windows_.active, 2);
    ASSERT_TRUE(windows_.close(2));
    EXPECT_EQ(docs_.NewDocument(), 2);
    EXPECT_EQ(windows_.windows[2].caption, u"Untitled:2"_s);
    EXPECT_EQ(docs_.NewDocument(), 3);
    ASSERT_TRUE(windows_.close(3));
    ASSERT_TRUE(windows_.close(1));
    EXPECT_EQ(docs_.NewDocument(), 1);
    EXPECT_EQ(windows_.windows[1].caption, u"Untitled:1"_s);
    // A file takes the lowest free slot too; its caption is its path as it is.
    const QString path = file(u"Read Me.TXT"_s, "hello\n");
    EXPECT_EQ(open(path), 3);
    EXPECT_EQ(windows_.windows[3].caption, path);
    EXPECT_EQ(docs_.documents().size(), 3);
    EXPECT_EQ(docs_.documents().openSlots(), (QList<int>{1, 2, 3}));
}

TEST_F(EditorDocumentsTest, ModifiedFollowsChangesReadsWritesAndNew)
{
    docs_.frameLoaded(QString());
    windows_.type(1, u"draft"_s);
    EXPECT_TRUE(doc(1).modified);
    // Closed unsaved: the slot keeps its mark, the next document in it starts clean.
    prompts_.expectMessage(PromptAnswer::No);
    ASSERT_TRUE(windows_.close(1));
    EXPECT_EQ(docs_.NewDocument(), 1);
    EXPECT_FALSE(doc(1).modified);
    EXPECT_TRUE(windows_.close(1));  // asks nothing

    const QString path = file(u"a.txt"_s, "text\n");
    const int slot = open(path);
    EXPECT_EQ(windows_.windows[slot].text, u"text\n"_s);
    EXPECT_FALSE(doc(slot).modified);
    windows_.type(slot, u"more"_s);
    EXPECT_TRUE(doc(slot).modified);
    EXPECT_TRUE(docs_.save(slot));
    EXPECT_FALSE(doc(slot).modified);
    EXPECT_EQ(fileBytes(path), "text\nmore\n");
    EXPECT_GE(windows_.busyTimes, 2);
}

TEST_F(EditorDocumentsTest, EditingButtonsShowExactlyWhileADocumentIsOpen)
{
    docs_.frameLoaded(QString());
    EXPECT_TRUE(windows_.editingButtons);
    ASSERT_TRUE(windows_.close(1));
    EXPECT_FALSE(windows_.editingButtons);

    // An unreadable choice: the message, the path remembered, still no document.
    const QString missing = folder() + u"/gone.txt"_s;
    prompts_.expectInput(missing);
    prompts_.expectMessage(PromptAnswer::Ok);
    EXPECT_EQ(docs_.OpenWithDialog(), 0);
    expectMessage(lastAsked(), u"Can't open file: "_s + missing);
    EXPECT_TRUE(windows_.windows.isEmpty());
    EXPECT_FALSE(windows_.editingButtons);
    EXPECT_EQ(recent(1), missing);

    docs_.NewDocument();
    EXPECT_TRUE(windows_.editingButtons);
}

TEST_F(EditorDocumentsTest, OpenRefusesMoreThan65000BytesOnDisk)
{
    docs_.frameLoaded(QString());
    const QString fits = file(u"fits.txt"_s, QByteArray(64999, 'x') + "\n");
    const QString over = file(u"over.txt"_s, QByteArray(65000, 'x') + "\n");
    EXPECT_EQ(open(fits), 2);
    EXPECT_EQ(windows_.windows[2].text.size(), 65000);
    const QByteArray before = storeBytes();
    prompts_.expectInput(over);
    prompts_.expectMessage(PromptAnswer::Ok);
    EXPECT_EQ(docs_.OpenWithDialog(), 0);
    expectMessage(lastAsked(), u"The file is too large to open."_s);
    EXPECT_EQ(windows_.windows.size(), 2);
    EXPECT_EQ(storeBytes(), before);
    // Handed over from the browser: the same limit, and no dialog.
    prompts_.expectMessage(PromptAnswer::Ok);
    EXPECT_EQ(docs_.OpenWithDialog(over), 0);
    expectMessage(lastAsked(), u"The file is too large to open."_s);
    // The Open dialog cancelled: nothing at all.
    prompts_.expectInput(QString());
    EXPECT_EQ(docs_.OpenWithDialog(), 0);
    EXPECT_EQ(lastAsked().kind, u"open"_s);
    EXPECT_EQ(storeBytes(), before);

    // A recent entry is opened without the size test.
    ASSERT_TRUE(putBytes(fits, QByteArray(70000, 'y')));
    EXPECT_EQ(docs_.openRecentEntry(0, 1), 3);
    EXPECT_EQ(windows_.windows[3].text.size(), 70000);
}

TEST_F(EditorDocumentsTest, HandedOverFileOpensBesideTheFirstDocument)
{
    const QString path = file(u"readme.txt"_s, "Read me\r\n");
    docs_.frameLoaded(path);
    EXPECT_EQ(windows_.windows.keys(), (QList<int>{1, 2}));
    EXPECT_EQ(windows_.windows[1].caption, u"Untitled"_s);
    EXPECT_EQ(windows_.windows[2].caption, path);
    EXPECT_EQ(windows_.active, 2);
    EXPECT_EQ(recent(1), path);
    EXPECT_TRUE(prompts_.asked().isEmpty());
    // With the frame open already: a further window.
    EXPECT_EQ(docs_.OpenWithDialog(path), 3);
}

TEST_F(EditorDocumentsTest, RecentListKeepsFourWithoutReorderingAndTellsLetterCaseApart)
{
    docs_.frameLoaded(QString());
    QStringList paths;
    for (int i = 1; i <= 5; ++i)
        paths.append(file(u"file%1.txt"_s.arg(i), "x\n"));
    for (const QString& p : paths)
        open(p);
    const QStringList four = {paths[4], paths[3], paths[2], paths[1]};
    EXPECT_EQ(recentList(), four);
    EXPECT_EQ(QStringList(windows_.frameMenu.captions.cbegin(), windows_.frameMenu.captions.cend()), four);
    for (const int slot : docs_.documents().openSlots())
        EXPECT_EQ(windows_.windows[slot].menu, windows_.frameMenu) << "slot " << slot;

    // Opened again: the list keeps its order and the store is not rewritten.
    const QByteArray before = storeBytes();
    open(paths[2]);
    EXPECT_EQ(recentList(), four);
    EXPECT_EQ(storeBytes(), before);

    // Another file, as far as this system is concerned.
    const QString upper = file(u"FILE3.txt"_s, "X\n");
    open(upper);
    EXPECT_EQ(recentList(), (QStringList{upper, paths[4], paths[3], paths[2]}));
}

TEST_F(EditorDocumentsTest, RecentMenusStayAsDesignedUntilTheListHasAPath)
{
    docs_.frameLoaded(QString());
    EXPECT_EQ(windows_.frameMenuShown, 0);
    EXPECT_EQ(docs_.recentMenu(0), RecentMenu());
    // Never-filled entries compare with their design captions.
    EXPECT_TRUE(docs_.IsRecentFile(u"RecentFile2"_s));
    EXPECT_FALSE(docs_.IsRecentFile(u"recentfile2"_s));

    const QString a = file(u"a.txt"_s, "a\n");
    open(a);
    const RecentMenu& menu = docs_.recentMenu(0);
    EXPECT_TRUE(menu.separatorVisible);
    EXPECT_EQ(menu.captions[0], a);
    EXPECT_TRUE(menu.visible[0]);
    EXPECT_FALSE(menu.visible[1]);
    EXPECT_EQ(menu.captions[1], u"RecentFile2"_s);
    EXPECT_TRUE(docs_.IsRecentFile(u"RecentFile3"_s));

    // A new document shows the entries at once.
    const int slot = docs_.NewDocument();
    EXPECT_EQ(windows_.windows[slot].menu, menu);
    EXPECT_EQ(docs_.recentMenu(slot), menu);
}

TEST_F(EditorDocumentsTest, RecentEntryOfAVanishedFileLeavesTheList)
{
    docs_.frameLoaded(QString());
    const QString a = file(u"a.txt"_s, "a\n");
    const QString b = file(u"b.txt"_s, "b\n");
    open(a);
    const int slot = open(b);
    ASSERT_TRUE(QFile::remove(a));
    const QByteArray before = storeBytes();
    prompts_.expectMessage(PromptAnswer::Ok);
    EXPECT_EQ(docs_.openRecentEntry(slot, 2), 0);
    expectMessage(lastAsked(), u"Can't open file: "_s + a);
    EXPECT_EQ(storeBytes(), before);
    EXPECT_EQ(docs_.openRecentEntry(0, 1), 4);
    EXPECT_EQ(windows_.windows[4].caption, b);
    EXPECT_EQ(recentList(), (QStringList{b, a}));
}

TEST_F(EditorDocumentsTest, SaveAsProposesANameAndCancelLeavesTheStoreByteForByte)
{
    docs_.frameLoaded(QString());
    for (int i = 1; i <= 3; ++i)
        open(file(u"f%1.txt"_s.arg(i), "x\n"));
    const QByteArray before = storeBytes();
    ASSERT_FALSE(before.isEmpty());

    prompts_.expectInput(QString());
    EXPECT_FALSE(docs_.saveAs(1));
    EXPECT_EQ(lastAsked().kind, u"save"_s);
    EXPECT_EQ(lastAsked().text, u"Untitled.txt"_s);
    EXPECT_EQ(storeBytes(), before);

    prompts_.expectInput(QString());
    EXPECT_FALSE(docs_.saveAs(2));
    EXPECT_EQ(lastAsked().text, windows_.windows[2].caption);
    EXPECT_EQ(storeBytes(), before);

    // Save of an untitled document proposes nothing and leaves the list alone.
    const QString target = folder() + u"/New Name.txt"_s;
    windows_.type(1, u"first line"_s);
    prompts_.expectInput(target);
    EXPECT_TRUE(docs_.save(1));
    EXPECT_EQ(prompts_.asked().back().text, QString());
    EXPECT_EQ(fileBytes(target), "first line\n");
    EXPECT_EQ(windows_.windows[1].caption, target);
    EXPECT_EQ(storeBytes(), before);

    // Save As remembers the name.
    const QString copy = folder() + u"/copy.txt"_s;
    prompts_.expectInput(copy);
    EXPECT_TRUE(docs_.saveAs(1));
    EXPECT_EQ(lastAsked().text, target);
    EXPECT_EQ(recent(1), copy);
}

TEST_F(EditorDocumentsTest, UnchangedFileSavesByteForByte)
{
    docs_.frameLoaded(QString());
    const QByteArray bytes = "Cr\xE8me br\xFBl\xE9" "e\r\n\x93quoted\x94\r\nlast line";
    const QString path = file(u"Menu Carte.TXT"_s, bytes);
    const int slot = open(path);
    EXPECT_EQ(windows_.windows[slot].text, u"Crème brûlée\n“quoted”\nlast line"_s);
    EXPECT_TRUE(docs_.save(slot));
    EXPECT_EQ(fileBytes(path), bytes);
    EXPECT_EQ(windows_.windows[slot].caption, path);

    // A character Windows-1252 lacks: saved as UTF-8, and the user is told.
    windows_.type(slot, u" Ω"_s);
    prompts_.expectMessage(PromptAnswer::Ok);
    EXPECT_TRUE(docs_.save(slot));
    EXPECT_EQ(fileBytes(path), QByteArray("Crème brûlée\r\n“quoted”\r\nlast line Ω"));
    EXPECT_EQ(lastAsked().icon, PromptIcon::Information);
    EXPECT_TRUE(lastAsked().text.contains(u"UTF-8"_s));
    EXPECT_EQ(doc(slot).format.encoding, TextEncoding::Utf8);
}

TEST_F(EditorDocumentsTest, CloseQuestionSavesThatDocumentsOwnText)
{
    docs_.frameLoaded(QString());
    const QString path = file(u"notes.txt"_s, "notes\n");
    const int named = open(path);
    windows_.type(1, u"untitled text"_s);
    windows_.type(named, u"added"_s);
    docs_.NewDocument();  // the active document is another one

    const qsizetype asked = prompts_.asked().size();
    prompts_.expectMessage(PromptAnswer::Yes);
    EXPECT_TRUE(windows_.close(named));
    const auto& question = prompts_.asked()[asked];
    EXPECT_EQ(question.text, u"The text in ["_s + path + u"] has changed.\n\rDo you want to save the changes?"_s);
    EXPECT_EQ(question.title, u"Vellum Pad"_s);
    EXPECT_EQ(question.icon, PromptIcon::Exclamation);
    EXPECT_EQ(question.buttons, PromptButtons::YesNoCancel);
    EXPECT_EQ(fileBytes(path), "notes\nadded\n");

    const QString saved = folder() + u"/saved.txt"_s;
    prompts_.expectMessage(PromptAnswer::Yes);
    prompts_.expectInput(saved);
    EXPECT_TRUE(windows_.close(1));
    EXPECT_EQ(prompts_.asked()[asked + 1].text, u"The text in [Untitled] has changed.\n\rDo you want to save the changes?"_s);
    EXPECT_EQ(lastAsked().kind, u"save"_s);
    EXPECT_EQ(lastAsked().text, u"untitled.txt"_s);
    EXPECT_EQ(fileBytes(saved), "untitled text\n");

    windows_.type(3, u"x"_s);
    prompts_.expectMessage(PromptAnswer::Cancel);
    EXPECT_FALSE(windows_.close(3));
    EXPECT_TRUE(windows_.windows.contains(3));
}

// A save the user chose that did not happen keeps the document open with its text.
TEST_F(EditorDocumentsTest, DocumentStaysOpenWhenItsSaveDidNotHappen)
{
    docs_.frameLoaded(QString());
    windows_.type(1, u"keep me"_s);
    prompts_.expectMessage(PromptAnswer::Yes);
    prompts_.expectInput(QString());  // Save As cancelled
    EXPECT_FALSE(windows_.close(1));
    EXPECT_TRUE(doc(1).modified);
    EXPECT_EQ(windows_.windows[1].text, u"keep me"_s);

    const QString locked = folder() + u"/locked"_s;
    const QString path = file(u"locked/notes.txt"_s, "precious\n");
    const int slot = open(path);
    windows_.type(slot, u"changed"_s);
    orv::test::ReadOnlyFolder readOnly(locked);
    if (!readOnly.active())
        GTEST_SKIP() << "cannot make a folder read-only here";
    prompts_.expectMessage(PromptAnswer::Yes);
    prompts_.expectMessage(PromptAnswer::Ok);
    EXPECT_FALSE(windows_.close(slot));
    const auto& failure = lastAsked();
    EXPECT_EQ(failure.title, kApp);
    EXPECT_EQ(failure.icon, PromptIcon::Exclamation);
    EXPECT_TRUE(failure.text.startsWith(u"Can't save file: "_s + path + u'\r')) << failure.text.toStdString();
    EXPECT_GT(failure.text.size(), path.size() + 18);
    EXPECT_EQ(fileBytes(path), "precious\n");
    EXPECT_TRUE(doc(slot).modified);
    EXPECT_EQ(windows_.windows[slot].caption, path);
    EXPECT_EQ(windows_.windows[slot].text, u"precious\nchanged"_s);
}

// A full disk (a file-size limit here) fails the save the same way: reported, the file as it
// was, the document still changed.
TEST_F(EditorDocumentsTest, SaveOntoAFullDiskIsReportedAndLosesNothing)
{
    docs_.frameLoaded(QString());
    const QString path = file(u"notes.txt"_s, "precious\n");
    const int slot = open(path);
    windows_.type(slot, QString(u'x').repeated(20000));
    rlimit saved{};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &saved), 0);
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit tight = saved;
    tight.rlim_cur = 4096;
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &tight), 0);
    prompts_.expectMessage(PromptAnswer::Ok);
    const bool written = docs_.save(slot);
    ::setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, oldHandler);
    EXPECT_FALSE(written);
    EXPECT_TRUE(lastAsked().text.startsWith(u"Can't save file: "_s + path + u'\r')) << lastAsked().text.toStdString();
    EXPECT_EQ(fileBytes(path), "precious\n");
    EXPECT_TRUE(doc(slot).modified);
    EXPECT_EQ(QDir(folder()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot), QStringList{u"notes.txt"_s});
}

TEST_F(EditorDocumentsTest, ReadFailureOpensNoPartialDocument)
{
    docs_.frameLoaded(QString());
    prompts_.expectMessage(PromptAnswer::Ok);
    EXPECT_EQ(docs_.LoadFileIntoNewDocument(u"/proc/self/mem"_s), 0);
    EXPECT_TRUE(lastAsked().text.startsWith(u"Can't read file: /proc/self/mem\r"_s));
    EXPECT_GT(lastAsked().text.size(), 33);
    EXPECT_EQ(windows_.windows.keys(), QList<int>{1});
}

TEST_F(EditorDocumentsTest, SearchSelectsOrReportsAndIgnoresClosedDocuments)
{
    docs_.frameLoaded(QString());
    windows_.type(1, u"abcabc"_s);
    SearchState state;
    state.searchText = u"bc"_s;
    state.openedFromMenu(QString());
    docs_.SearchDocument(1, state);
    EXPECT_EQ(windows_.windows[1].selection, (TextRange{1, 2}));
    docs_.SearchDocument(1, state);
    EXPECT_EQ(windows_.windows[1].selection, (TextRange{4, 2}));
    prompts_.expectMessage(PromptAnswer::Ok);
    docs_.SearchDocument(1, state);
    expectMessage(lastAsked(), u"Cannot find \"bc\""_s);
    prompts_.expectMessage(PromptAnswer::No);
    ASSERT_TRUE(windows_.close(1));
    docs_.SearchDocument(1, state);
    EXPECT_EQ(prompts_.asked().size(), 2);
}

// Closing the frame asks each changed document in turn; a Cancel keeps everything open, and a
// document that agreed is not asked a second time as its window closes.
TEST_F(EditorDocumentsTest, FrameCloseAsksEachChangedDocumentInTurn)
{
    docs_.frameLoaded(QString());
    docs_.NewDocument();
    docs_.NewDocument();
    windows_.type(1, u"one"_s);
    windows_.type(3, u"three"_s);

    prompts_.expectMessage(PromptAnswer::No);
    prompts_.expectMessage(PromptAnswer::Cancel);
    EXPECT_FALSE(docs_.queryCloseAll({3, 2, 1}));
    ASSERT_EQ(prompts_.asked().size(), 2);
    EXPECT_TRUE(prompts_.asked()[0].text.contains(u"[Untitled:3]"_s));
    EXPECT_TRUE(prompts_.asked()[1].text.contains(u"[Untitled]"_s));
    // Refused: document 3 is asked again on its own close.
    prompts_.expectMessage(PromptAnswer::Cancel);
    EXPECT_FALSE(windows_.close(3));

    // Agreed, but another window kept the program open: asked again next time.
    prompts_.expectMessage(PromptAnswer::No);
    prompts_.expectMessage(PromptAnswer::No);
    EXPECT_TRUE(docs_.queryCloseAll());
    docs_.closeAbandoned();
    prompts_.expectMessage(PromptAnswer::Cancel);
    EXPECT_FALSE(windows_.close(1));

    prompts_.expectMessage(PromptAnswer::No);
    prompts_.expectMessage(PromptAnswer::No);
    EXPECT_TRUE(docs_.queryCloseAll());
    EXPECT_EQ(prompts_.asked().size(), 8);
    for (const int slot : {1, 2, 3})
        EXPECT_TRUE(windows_.close(slot));
    EXPECT_EQ(prompts_.asked().size(), 8);
    EXPECT_FALSE(docs_.documents().HasOpenDocuments());
    EXPECT_FALSE(windows_.editingButtons);
}
