#include "editor/texteditor.h"

#include "common/appcontext.h"
#include "common/twipslayout.h"
#include "editor/frmfind.h"
#include "editor/frmmdi.h"
#include "editor/frmnotepad.h"
#include "platform/windowplacement.h"

namespace orv {

TextEditor::TextEditor(AppContext& ctx) : ctx_(ctx) {}

TextEditor::~TextEditor()
{
    // The program is ending: the windows go without their close handlers.
    delete find_.data();
    delete frame_.data();
}

frmMDI* TextEditor::frame() const { return frame_.data(); }

frmFind* TextEditor::findDialog() const { return find_.data(); }

void TextEditor::show(const QString& pendingFile)
{
    if (frame_) {
        frame_->bringToFront(pendingFile);
        return;
    }
    auto* frame = new frmMDI(ctx_, *this);
    frame_ = frame;
    // A closed frame is gone for the editor at once, before Qt deletes it.
    connect(frame, &frmMDI::unloaded, this, [this, frame] {
        if (frame_ == frame)
            frame_.clear();
    });
    frame->MDIForm_Load(pendingFile);
}

bool TextEditor::queryClose()
{
    return !frame_ || frame_->mayClose();
}

void TextEditor::showFindDialog(const QString& boxText)
{
    if (!find_) {
        auto* dialog = new frmFind(*this, search_);
        find_ = dialog;
        dialog->Form_Load();
    }
    find_->setSearchText(boxText);
    find_->show();
    orv::bringToFront(find_, *ctx_.services().screen);
}

void TextEditor::raiseFindDialog()
{
    if (find_ && find_->isVisible())
        find_->raise();
}

void TextEditor::findInActiveDocument()
{
    if (!frame_)
        return;
    if (frmNotePad* document = frame_->activeDocument())
        frame_->documents().SearchDocument(document->slot(), search_);
}

} // namespace orv
