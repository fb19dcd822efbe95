#pragma once

#include "editor/core/editing.h"
#include "editor/core/recentfiles.h"
#include "editor/core/textformat.h"
#include "common/core/prompts.h"

#include <QList>
#include <QString>

namespace orv {

class Prompts;
class SettingsStore;

// One slot of the document tables.
struct DocumentState {
    bool closed = false;
    // The text changed since the document was created, read or last written.
    bool modified = false;
    // The window caption: "Untitled", "Untitled:" + slot, or the file's path as it is.
    QString caption;
    // How the text goes back to disk.
    TextFormat format;
    // The recent-file entries of the document window's File menu.
    RecentMenu recentMenu;
};

// A caption whose first 8 characters are exactly "Untitled" names no file.
bool isUntitled(const QString& caption);

// The document windows' slots, numbered from 1. The table only grows; a closed slot is reused,
// lowest first, before it grows.
class DocumentStates {
public:
    // A single slot, 1, in use.
    void reset();
    // The first closed slot, marked in use; else a new last slot (unmodified, in use).
    int AllocateDocumentSlot();
    void close(int slot);
    bool HasOpenDocuments() const;
    bool isOpen(int slot) const;
    QList<int> openSlots() const;
    int size() const { return int(slots_.size()); }
    // slot 1 .. size()
    DocumentState& operator[](int slot) { return slots_[slot - 1]; }
    const DocumentState& operator[](int slot) const { return slots_[slot - 1]; }

private:
    QList<DocumentState> slots_;
};

// What the editor's windows do for the document rules; the frame implements it. Slots name the
// document windows; recent menus are named by window, 0 being the frame.
class EditorWindows {
public:
    virtual ~EditorWindows() = default;
    // An empty, hidden document window for the slot, its recent-file entries hidden.
    virtual void createDocumentWindow(int slot) = 0;
    virtual void setDocumentCaption(int slot, const QString& caption) = 0;
    // The text in its in-editor form (LF line breaks). The window's change signal may report
    // back through EditorDocuments::textChanged as it would for typing.
    virtual void setDocumentText(int slot, const QString& text) = 0;
    // The window's own text in its in-editor form (see editorTextFromDocument).
    virtual QString documentText(int slot) const = 0;
    virtual qsizetype selectionStart(int slot) const = 0;
    virtual void selectText(int slot, TextRange range) = 0;
    // Shows the window as the active document.
    virtual void showDocumentWindow(int slot) = 0;
    // The toolbar's Cut, Copy and Paste buttons.
    virtual void setEditingButtonsVisible(bool visible) = 0;
    virtual void showRecentMenu(int window, const RecentMenu& menu) = 0;
    // The busy pointer while a file is read or written.
    virtual void setBusy(bool busy) = 0;
};

// The rules of the editor's documents, files and recent files, driven by the frame and the
// document windows. Every dialog and message goes through Prompts; the windows only show.
class EditorDocuments {
public:
    static const QString FrameCaption;   // "Vellum Pad"
    // The Open and Save As dialogs' one filter: every file, with or without a dot.
    static const QList<orv::FileFilter> Filters;

    // application: the store's application name, also the title of the editor's messages.
    EditorDocuments(SettingsStore& store, Prompts& prompts, EditorWindows& windows, QString application);

    // The frame loaded: the tables hold document 1, "Untitled", shown; the recent menus are
    // refreshed; then a pending file (handed over by the browser) is opened.
    void frameLoaded(const QString& pendingFile);

    // New: an empty "Untitled:" + slot document. Returns its slot.
    int NewDocument();
    // Reads the whole file into a new document captioned with the path. On failure the
    // message is shown, no window is created and 0 is returned.
    int LoadFileIntoNewDocument(const QString& path);
    // Open: the pending file when there is one, else the file dialog; the size limit; the load;
    // the path remembered (also when the load failed). Returns the new slot, or 0.
    int OpenWithDialog(const QString& pendingFile = QString());
    // The Save As dialog starting with proposed; empty when cancelled.
    QString AskSaveName(const QString& proposed);
    // Writes the slot's own text to path; on success the caption becomes path and the document
    // is unmodified; on failure "Can't save file: " + path, CR, and the system's description
    // are shown and nothing changes.
    bool WriteDocumentFile(int slot, const QString& path);
    // Save and Save As of a document window; true when the text was written.
    bool save(int slot);
    bool saveAs(int slot);
    // The close question of a document window about to close; true when it may close. A save
    // that was chosen but did not happen keeps the document open.
    bool queryClose(int slot);
    // The frame is closing: every open document is asked in turn, in the given order of slots
    // (the open slots in ascending order when empty), and the first refusal stops the asking
    // and returns false. Documents that agreed are not asked again when their windows close,
    // unless the frame's closing was refused.
    bool queryCloseAll(const QList<int>& order = {});
    // The closing queryCloseAll agreed to did not go ahead (another window refused): every
    // document is asked again at its next close. A change to a document's text does the same
    // for that document.
    void closeAbandoned() { agreedToClose_.clear(); }
    // The document window closed.
    void documentClosed(int slot);
    // The document's text changed (typing, editing commands, paste, Time/Date).
    void textChanged(int slot);
    // A recent-file entry (1 to 4) of a window's File menu (0 the frame, else a slot) was chosen.
    int openRecentEntry(int window, int index);

    bool IsRecentFile(const QString& path) const;
    void PushRecentFile(const QString& path);
    void RememberRecentFile(const QString& path);
    void RefreshRecentMenus();

    // Find and Find Next on a document window: selects the match or shows "Cannot find ...".
    void SearchDocument(int slot, SearchState& state);

    const DocumentStates& documents() const { return documents_; }
    const RecentMenu& recentMenu(int window) const;

private:
    int createDocument();
    void message(const QString& text);

    SettingsStore& store_;
    Prompts& prompts_;
    EditorWindows& windows_;
    QString application_;
    RecentFiles recent_;
    DocumentStates documents_;
    RecentMenu frameMenu_;
    QList<int> agreedToClose_;
};

} // namespace orv
