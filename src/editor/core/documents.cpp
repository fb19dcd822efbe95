#include "editor/core/documents.h"

#include "common/core/prompts.h"
#include "editor/core/textfile.h"

namespace orv {

namespace {

const QString kUntitled = QStringLiteral("Untitled");

class BusyPointer {
public:
    explicit BusyPointer(EditorWindows& windows) : windows_(windows) { windows_.setBusy(true); }
    ~BusyPointer() { windows_.setBusy(false); }
    BusyPointer(const BusyPointer&) = delete;
    BusyPointer& operator=(const BusyPointer&) = delete;

private:
    EditorWindows& windows_;
};

} // namespace

bool isUntitled(const QString& caption) { return caption.startsWith(kUntitled); }

// ---- DocumentStates ----

void DocumentStates::reset() { slots_ = {DocumentState{}}; }

int DocumentStates::AllocateDocumentSlot()
{
    for (qsizetype i = 0; i < slots_.size(); ++i) {
        if (slots_[i].closed) {
            slots_[i].closed = false;
            return int(i + 1);
        }
    }
    slots_.append(DocumentState{});
    return int(slots_.size());
}

void DocumentStates::close(int slot)
{
    if (slot >= 1 && slot <= size())
        slots_[slot - 1].closed = true;
}

bool DocumentStates::HasOpenDocuments() const
{
    return std::any_of(slots_.cbegin(), slots_.cend(), [](const DocumentState& d) { return !d.closed; });
}

bool DocumentStates::isOpen(int slot) const { return slot >= 1 && slot <= size() && !slots_[slot - 1].closed; }

QList<int> DocumentStates::openSlots() const
{
    QList<int> open;
    for (int slot = 1; slot <= size(); ++slot) {
        if (isOpen(slot))
            open.append(slot);
    }
    return open;
}

// ---- EditorDocuments ----

const QString EditorDocuments::FrameCaption = QStringLiteral("Vellum Pad");
// Every file; "*.*" would hide names without a dot here.
const QList<FileFilter> EditorDocuments::Filters = {{QStringLiteral("All Files (*.*)"), {QStringLiteral("*")}}};

EditorDocuments::EditorDocuments(SettingsStore& store, Prompts& prompts, EditorWindows& windows,
                                 QString application)
    : store_(store), prompts_(prompts), windows_(windows), application_(std::move(application)),
      recent_(store_, application_)
{
}

void EditorDocuments::frameLoaded(const QString& pendingFile)
{
    documents_.reset();
    agreedToClose_.clear();
    frameMenu_ = RecentMenu();
    DocumentState& first = documents_[1];
    first.caption = kUntitled;
    windows_.createDocumentWindow(1);
    windows_.setDocumentCaption(1, first.caption);
    first.modified = false;
    windows_.showDocumentWindow(1);
    windows_.setEditingButtonsVisible(true);
    RefreshRecentMenus();
    if (!pendingFile.isEmpty())
        OpenWithDialog(pendingFile);
}

int EditorDocuments::createDocument()
{
    const int slot = documents_.AllocateDocumentSlot();
    DocumentState& d = documents_[slot];
    d.format = TextFormat();
    d.recentMenu = RecentMenu();
    windows_.createDocumentWindow(slot);
    return slot;
}

int EditorDocuments::NewDocument()
{
    const int slot = createDocument();
    DocumentState& d = documents_[slot];
    d.caption = kUntitled + u':' + QString::number(slot);
    windows_.setDocumentCaption(slot, d.caption);
    // The slot may have been left modified by the document that closed in it.
    d.modified = false;
    windows_.showDocumentWindow(slot);
    windows_.setEditingButtonsVisible(true);
    RefreshRecentMenus();
    return slot;
}

int EditorDocuments::LoadFileIntoNewDocument(const QString& path)
{
    TextFileRead read;
    {
        BusyPointer busy(windows_);
        read = readTextFile(path);
    }
    switch (read.status) {
    case TextFileRead::Status::Ok:
        break;
    case TextFileRead::Status::CannotOpen:
        message(QStringLiteral("Can't open file: ") + path);
        return 0;
    case TextFileRead::Status::TooLarge:
        message(QStringLiteral("The file is too large to open."));
        return 0;
    case TextFileRead::Status::ReadFailed:
        // Never part of a file shown as if it were whole: a later save would cut it short.
        message(QStringLiteral("Can't read file: ") + path + u'\r' + read.systemError);
        return 0;
    }

    int slot = 0;
    {
        BusyPointer busy(windows_);
        slot = createDocument();
        DocumentState& d = documents_[slot];
        d.caption = path;
        d.format = read.format;
        windows_.setDocumentCaption(slot, path);
        windows_.setDocumentText(slot, read.text);
        // After the text is in: setting it counts as a change.
        documents_[slot].modified = false;
        windows_.showDocumentWindow(slot);
    }
    windows_.setEditingButtonsVisible(true);
    return slot;
}

int EditorDocuments::OpenWithDialog(const QString& pendingFile)
{
    const QString path = !pendingFile.isEmpty()
        ? pendingFile
        : prompts_.openFileName(QStringLiteral("Open"), QString(), Filters);
    if (path.isEmpty())
        return 0;
    if (const auto size = fileSizeOnDisk(path); size && *size > kOpenSizeLimit) {
        message(QStringLiteral("The file is too large to open."));
        return 0;
    }
    const int slot = LoadFileIntoNewDocument(path);
    RememberRecentFile(path);
    return slot;
}

QString EditorDocuments::AskSaveName(const QString& proposed)
{
    return prompts_.saveFileName(QStringLiteral("Save As"), proposed, Filters);
}

bool EditorDocuments::WriteDocumentFile(int slot, const QString& path)
{
    if (!documents_.isOpen(slot))
        return false;
    const QString text = windows_.documentText(slot);
    TextFileWrite written;
    {
        BusyPointer busy(windows_);
        written = writeTextFile(path, text, documents_[slot].format);
    }
    if (!written.ok) {
        prompts_.message(QStringLiteral("Can't save file: ") + path + u'\r' + written.systemError, application_,
                         PromptIcon::Exclamation, PromptButtons::Ok);
        return false;
    }
    DocumentState& d = documents_[slot];
    d.format = written.format;
    d.caption = path;
    windows_.setDocumentCaption(slot, path);
    d.modified = false;
    if (written.switchedToUtf8) {
        prompts_.message(QStringLiteral("The text holds characters that Windows-1252 cannot represent, so ")
                             + path + QStringLiteral(" was saved as UTF-8."),
                         application_, PromptIcon::Information, PromptButtons::Ok);
    }
    return true;
}

bool EditorDocuments::save(int slot)
{
    if (!documents_.isOpen(slot))
        return false;
    const QString& caption = documents_[slot].caption;
    const QString name = isUntitled(caption) ? AskSaveName(QString()) : caption;
    return !name.isEmpty() && WriteDocumentFile(slot, name);
}

bool EditorDocuments::saveAs(int slot)
{
    if (!documents_.isOpen(slot))
        return false;
    const QString& caption = documents_[slot].caption;
    const QString name = AskSaveName(isUntitled(caption) ? QStringLiteral("Untitled.txt") : caption);
    if (name.isEmpty())
        return false;
    const bool written = WriteDocumentFile(slot, name);
    RememberRecentFile(name);
    return written;
}

bool EditorDocuments::queryClose(int slot)
{
    if (!documents_.isOpen(slot) || !documents_[slot].modified || agreedToClose_.contains(slot))
        return true;
    const QString caption = documents_[slot].caption;
    const QString question = QStringLiteral("The text in [") + caption + QStringLiteral("] has changed.")
        + QStringLiteral("\n\r") + QStringLiteral("Do you want to save the changes?");
    switch (prompts_.message(question, FrameCaption, PromptIcon::Exclamation, PromptButtons::YesNoCancel)) {
    case PromptAnswer::No:
        return true;
    case PromptAnswer::Yes: {
        const QString name = isUntitled(caption) ? AskSaveName(QStringLiteral("untitled.txt")) : caption;
        // A save the user asked for that did not happen keeps the document and its text.
        return !name.isEmpty() && WriteDocumentFile(slot, name);
    }
    default:
        return false;
    }
}

bool EditorDocuments::queryCloseAll(const QList<int>& order)
{
    agreedToClose_.clear();
    for (const int slot : order.isEmpty() ? documents_.openSlots() : order) {
        if (!documents_.isOpen(slot) || agreedToClose_.contains(slot))
            continue;
        if (!queryClose(slot)) {
            agreedToClose_.clear();
            return false;
        }
        agreedToClose_.append(slot);
    }
    return true;
}

void EditorDocuments::documentClosed(int slot)
{
    agreedToClose_.removeAll(slot);
    if (!documents_.isOpen(slot))
        return;
    documents_.close(slot);
    if (!documents_.HasOpenDocuments()) {
        windows_.setEditingButtonsVisible(false);
        RefreshRecentMenus();
    }
}

void EditorDocuments::textChanged(int slot)
{
    if (!documents_.isOpen(slot))
        return;
    documents_[slot].modified = true;
    agreedToClose_.removeAll(slot);
}

int EditorDocuments::openRecentEntry(int window, int index)
{
    if (index < 1 || index > RecentFiles::kCount || (window != 0 && !documents_.isOpen(window)))
        return 0;
    const QString path = recentMenu(window).captions[size_t(index - 1)];
    const int slot = LoadFileIntoNewDocument(path);
    RefreshRecentMenus();
    return slot;
}

bool EditorDocuments::IsRecentFile(const QString& path) const { return frameMenu_.holds(path); }

void EditorDocuments::PushRecentFile(const QString& path) { recent_.push(path); }

void EditorDocuments::RememberRecentFile(const QString& path)
{
    if (!IsRecentFile(path))
        PushRecentFile(path);
    RefreshRecentMenus();
}

void EditorDocuments::RefreshRecentMenus()
{
    if (recent_.first().isEmpty())
        return;
    const QStringList entries = recent_.entries();
    const QList<int> open = documents_.openSlots();
    for (int k = 1; k <= int(entries.size()); ++k) {
        frameMenu_.fill(k, entries[k - 1]);
        for (const int slot : open)
            documents_[slot].recentMenu.fill(k, entries[k - 1]);
    }
    windows_.showRecentMenu(0, frameMenu_);
    for (const int slot : open)
        windows_.showRecentMenu(slot, documents_[slot].recentMenu);
}

void EditorDocuments::SearchDocument(int slot, SearchState& state)
{
    // The find dialog may outlive the last document.
    if (!documents_.isOpen(slot))
        return;
    const SearchResult result = orv::SearchDocument(state, windows_.documentText(slot), windows_.selectionStart(slot));
    if (result.match)
        windows_.selectText(slot, *result.match);
    else
        message(result.message);
}

const RecentMenu& EditorDocuments::recentMenu(int window) const
{
    static const RecentMenu kNone;
    if (window == 0)
        return frameMenu_;
    return window >= 1 && window <= documents_.size() ? documents_[window].recentMenu : kNone;
}

void EditorDocuments::message(const QString& text)
{
    prompts_.message(text, application_, PromptIcon::None, PromptButtons::Ok);
}

} // namespace orv
