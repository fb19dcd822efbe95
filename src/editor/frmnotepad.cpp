#include "editor/frmnotepad.h"

#include "editor/core/editing.h"
#include "editor/frmmdi.h"
#include "editor/textbox.h"
#include "editor/texteditor.h"

#include <QAction>
#include <QCloseEvent>
#include <QDateTime>
#include <QFontDatabase>
#include <QLocale>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QPointer>
#include <QTextCursor>

namespace orv {

namespace {

// Menu captions may hold '&' of their own (a path); it must not turn into a mnemonic.
QString literalCaption(QString text) { return text.replace(u'&', QStringLiteral("&&")); }

} // namespace

frmNotePad::frmNotePad(frmMDI& frame, int slotNumber)
    : QWidget(nullptr), frame_(frame), tag_(QString::number(slotNumber))
{
    setObjectName(QStringLiteral("frmNotePad"));
    setWindowTitle(QStringLiteral("Untitled"));
    // Inside the frame it is no window, so screen readers take its name from here.
    setAccessibleName(windowTitle());
    Text1_ = new TextBox(this);
    Text1_->setObjectName(QStringLiteral("Text1"));
    Text1_->setAccessibleName(QStringLiteral("Text"));
    QFont font = QFontDatabase::systemFont(QFontDatabase::GeneralFont);
    font.setPointSizeF(8.25);
    font.setBold(true);
    Text1_->setFont(font);
    setFocusProxy(Text1_);
    buildMenus();

    connect(Text1_, &QPlainTextEdit::textChanged, this, [this] { frame_.documents().textChanged(slot()); });
    // Text1_GotFocus
    connect(Text1_, &TextBox::gotFocus, this, [this] { frame_.editor().raiseFindDialog(); });
}

QAction* frmNotePad::entry(QMenu* menu, const char* name, const QString& caption, const QKeySequence& key)
{
    QAction* a = menu->addAction(caption);
    a->setObjectName(QLatin1String(name));
    a->setShortcut(key);
    return a;
}

void frmNotePad::buildMenus()
{
    mnuFile_ = new QMenu(QStringLiteral("&File"), this);
    mnuFile_->setObjectName(QStringLiteral("mnuFile"));
    connect(entry(mnuFile_, "mnuFNew", QStringLiteral("&New"), QKeySequence(Qt::CTRL | Qt::Key_N)),
            &QAction::triggered, this, &frmNotePad::mnuFNew_Click);
    connect(entry(mnuFile_, "mnuFOpen", QStringLiteral("&Open..."), QKeySequence(Qt::CTRL | Qt::Key_O)),
            &QAction::triggered, this, &frmNotePad::mnuFOpen_Click);
    connect(entry(mnuFile_, "mnuFClose", QStringLiteral("&Close"), QKeySequence(Qt::CTRL | Qt::Key_D)),
            &QAction::triggered, this, &frmNotePad::mnuFClose_Click);
    connect(entry(mnuFile_, "mnuFSave", QStringLiteral("&Save"), QKeySequence(Qt::CTRL | Qt::Key_S)),
            &QAction::triggered, this, &frmNotePad::mnuFSave_Click);
    connect(entry(mnuFile_, "mnuFSaveAs", QStringLiteral("Save &As...")), &QAction::triggered, this,
            &frmNotePad::mnuFSaveAs_Click);
    mnuFile_->addSeparator()->setObjectName(QStringLiteral("mnuFSep"));
    connect(entry(mnuFile_, "mnuFExit", QStringLiteral("E&xit"), QKeySequence(Qt::CTRL | Qt::Key_Q)),
            &QAction::triggered, this, &frmNotePad::mnuFExit_Click);
    mnuRecentFile_[0] = mnuFile_->addSeparator();
    mnuRecentFile_[0]->setObjectName(QStringLiteral("mnuRecentFile0"));
    mnuRecentFile_[0]->setVisible(false);
    for (int k = 1; k <= 4; ++k) {
        QAction* a = mnuFile_->addAction(QStringLiteral("RecentFile%1").arg(k));
        a->setObjectName(QStringLiteral("mnuRecentFile%1").arg(k));
        a->setVisible(false);
        connect(a, &QAction::triggered, this, [this, k] { mnuRecentFile_Click(k); });
        mnuRecentFile_[size_t(k)] = a;
    }
    connect(mnuFile_, &QMenu::aboutToShow, this, &frmNotePad::fillWindowList);

    mnuEdit_ = new QMenu(QStringLiteral("&Edit"), this);
    mnuEdit_->setObjectName(QStringLiteral("mnuEdit"));
    connect(entry(mnuEdit_, "mnuECut", QStringLiteral("Cu&t"), QKeySequence(Qt::CTRL | Qt::Key_X)),
            &QAction::triggered, this, &frmNotePad::mnuECut_Click);
    connect(entry(mnuEdit_, "mnuECopy", QStringLiteral("&Copy"), QKeySequence(Qt::CTRL | Qt::Key_C)),
            &QAction::triggered, this, &frmNotePad::mnuECopy_Click);
    connect(entry(mnuEdit_, "mnuEPaste", QStringLiteral("&Paste"), QKeySequence(Qt::CTRL | Qt::Key_V)),
            &QAction::triggered, this, &frmNotePad::mnuEPaste_Click);
    connect(entry(mnuEdit_, "mnuEDelete", QStringLiteral("De&lete"), QKeySequence(Qt::Key_Delete)),
            &QAction::triggered, this, &frmNotePad::mnuEDelete_Click);
    mnuEdit_->addSeparator()->setObjectName(QStringLiteral("mnuESep1"));
    connect(entry(mnuEdit_, "mnuESelectAll", QStringLiteral("Select &All"), QKeySequence(Qt::CTRL | Qt::Key_A)),
            &QAction::triggered, this, &frmNotePad::mnuESelectAll_Click);
    connect(entry(mnuEdit_, "mnuETime", QStringLiteral("Time/&Date"), QKeySequence(Qt::Key_F5)),
            &QAction::triggered, this, &frmNotePad::mnuETime_Click);

    mnuSearch_ = new QMenu(QStringLiteral("&Search"), this);
    mnuSearch_->setObjectName(QStringLiteral("mnuSearch"));
    connect(entry(mnuSearch_, "mnuSFind", QStringLiteral("&Find")), &QAction::triggered, this,
            &frmNotePad::mnuSFind_Click);
    connect(entry(mnuSearch_, "mnuSFindNext", QStringLiteral("Find &Next"), QKeySequence(Qt::Key_F3)),
            &QAction::triggered, this, &frmNotePad::mnuSFindNext_Click);

    mnuOptions_ = new QMenu(QStringLiteral("&Options"), this);
    mnuOptions_->setObjectName(QStringLiteral("mnuOptions"));
    mnuOToolbar_ = entry(mnuOptions_, "mnuOToolbar", QStringLiteral("&Toolbar"));
    mnuOToolbar_->setCheckable(true);
    connect(mnuOToolbar_, &QAction::triggered, this, &frmNotePad::mnuOToolbar_Click);
    connect(mnuOptions_, &QMenu::aboutToShow, this, &frmNotePad::mnuOptions_Click);
    mnuFont_ = mnuOptions_->addMenu(QStringLiteral("&Font"));
    mnuFont_->setObjectName(QStringLiteral("mnuFont"));
    QAction* first = mnuFont_->addAction(QStringLiteral("FontName"));
    first->setObjectName(QStringLiteral("mnuFontName0"));
    connect(first, &QAction::triggered, this, [this] { mnuFontName_Click(0); });
    connect(mnuFont_, &QMenu::aboutToShow, this, &frmNotePad::fillFontMenu);

    mnuWindow_ = new QMenu(QStringLiteral("&Window"), this);
    mnuWindow_->setObjectName(QStringLiteral("mnuWindow"));
    connect(entry(mnuWindow_, "mnuWCascade", QStringLiteral("&Cascade")), &QAction::triggered, &frame_,
            &frmMDI::cascade);
    connect(entry(mnuWindow_, "mnuWTile", QStringLiteral("&Tile")), &QAction::triggered, &frame_,
            &frmMDI::tileHorizontally);
    connect(entry(mnuWindow_, "mnuWArrange", QStringLiteral("&Arrange Icons")), &QAction::triggered, &frame_,
            &frmMDI::arrangeIcons);

    mnuAbout_ = new QAction(QStringLiteral("&About"), this);
    mnuAbout_->setObjectName(QStringLiteral("mnuAbout"));
    connect(mnuAbout_, &QAction::triggered, this, &frmNotePad::mnuAbout_Click);

    QList<QKeySequence> keys;
    for (QMenu* menu : {mnuFile_, mnuEdit_, mnuSearch_}) {
        for (const QAction* a : menu->actions()) {
            if (!a->shortcut().isEmpty())
                keys.append(a->shortcut());
        }
    }
    Text1_->setMenuShortcuts(keys);
    Text1_->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(Text1_, &QWidget::customContextMenuRequested, this,
            [this](QPoint at) { mnuEdit_->popup(Text1_->mapToGlobal(at)); });
}

QList<QAction*> frmNotePad::menuBarEntries() const
{
    return {mnuFile_->menuAction(), mnuEdit_->menuAction(), mnuSearch_->menuAction(), mnuOptions_->menuAction(),
            mnuWindow_->menuAction(), mnuAbout_};
}

void frmNotePad::showRecentMenu(const RecentMenu& menu)
{
    mnuRecentFile_[0]->setVisible(menu.separatorVisible);
    for (size_t k = 1; k <= 4; ++k) {
        mnuRecentFile_[k]->setText(literalCaption(menu.captions[k - 1]));
        mnuRecentFile_[k]->setVisible(menu.visible[k - 1]);
    }
}

void frmNotePad::fillFontMenu()
{
    if (mnuFont_->actions().size() > 1)
        return;
    const QStringList families = QFontDatabase::families();
    if (families.isEmpty())
        return;
    mnuFont_->actions().first()->setText(literalCaption(families.first()));
    for (int i = 1; i < families.size(); ++i) {
        QAction* a = mnuFont_->addAction(literalCaption(families[i]));
        a->setObjectName(QStringLiteral("mnuFontName%1").arg(i));
        connect(a, &QAction::triggered, this, [this, i] { mnuFontName_Click(i); });
    }
}

void frmNotePad::fillWindowList()
{
    for (QAction* a : std::as_const(windowList_))
        delete a;
    windowList_.clear();
    const QList<frmNotePad*> documents = frame_.documentWindows();
    if (documents.isEmpty())
        return;
    windowList_.append(mnuFile_->addSeparator());
    const frmNotePad* active = frame_.activeDocument();
    int n = 0;
    for (frmNotePad* document : documents) {
        ++n;
        QAction* a = mnuFile_->addAction(QStringLiteral("&%1 %2").arg(n).arg(literalCaption(document->windowTitle())));
        a->setObjectName(QStringLiteral("windowList%1").arg(n));
        a->setCheckable(true);
        a->setChecked(document == active);
        QPointer<frmNotePad> target(document);
        connect(a, &QAction::triggered, this, [this, target] {
            if (target)
                frame_.activate(target);
        });
        windowList_.append(a);
    }
}

void frmNotePad::mnuFNew_Click() { frame_.mnuFNew_Click(); }

void frmNotePad::mnuFOpen_Click() { frame_.mnuFOpen_Click(); }

void frmNotePad::mnuFClose_Click()
{
    if (auto* sub = qobject_cast<QMdiSubWindow*>(parentWidget()))
        sub->close();
}

void frmNotePad::mnuFSave_Click() { frame_.documents().save(slot()); }

void frmNotePad::mnuFSaveAs_Click() { frame_.documents().saveAs(slot()); }

void frmNotePad::mnuFExit_Click() { frame_.mnuFExit_Click(); }

void frmNotePad::mnuRecentFile_Click(int index) { frame_.mnuRecentFile_Click(slot(), index); }

void frmNotePad::mnuECut_Click() { frame_.CutSelection(); }

void frmNotePad::mnuECopy_Click() { frame_.CopySelection(); }

void frmNotePad::mnuEPaste_Click() { frame_.PasteClipboard(); }

void frmNotePad::mnuEDelete_Click()
{
    QTextCursor cursor = Text1_->textCursor();
    const TextRange selection{cursor.selectionStart(), cursor.selectionEnd() - cursor.selectionStart()};
    const auto range = deleteRange(Text1_->text(), selection);
    if (!range)
        return;
    cursor.setPosition(int(range->start));
    cursor.setPosition(int(range->start + range->length), QTextCursor::KeepAnchor);
    cursor.removeSelectedText();
    Text1_->setTextCursor(cursor);
}

void frmNotePad::mnuESelectAll_Click()
{
    if (frmNotePad* active = frame_.activeDocument())
        active->Text1_->selectAll();
}

void frmNotePad::mnuETime_Click()
{
    QTextCursor cursor = Text1_->textCursor();
    cursor.insertText(timeDateText(QDateTime::currentDateTime(), QLocale::system()));
    Text1_->setTextCursor(cursor);
}

void frmNotePad::mnuSFind_Click()
{
    frame_.editor().showFindDialog(frame_.editor().search().openedFromMenu(Text1_->selectedText()));
}

void frmNotePad::mnuSFindNext_Click()
{
    if (frame_.editor().search().findNextOpensDialog()) {
        mnuSFind_Click();
        return;
    }
    frame_.documents().SearchDocument(slot(), frame_.editor().search());
}

void frmNotePad::mnuOptions_Click() { frame_.mnuOptions_Click(mnuOToolbar_); }

void frmNotePad::mnuOToolbar_Click() { frame_.ToggleToolbar(mnuOToolbar_); }

void frmNotePad::mnuFontName_Click(int index)
{
    const QList<QAction*> items = mnuFont_->actions();
    if (index < 0 || index >= items.size())
        return;
    QFont font = Text1_->font();
    font.setFamily(items[index]->text().replace(QStringLiteral("&&"), QStringLiteral("&")));
    Text1_->setFont(font);
}

void frmNotePad::mnuAbout_Click() { frame_.showAbout(); }

void frmNotePad::closeEvent(QCloseEvent* e)
{
    if (!frame_.documents().queryClose(slot())) {
        e->ignore();
        return;
    }
    e->accept();
    frame_.documentWindowClosed(slot());
}

void frmNotePad::resizeEvent(QResizeEvent* e)
{
    QWidget::resizeEvent(e);
    if (isMinimized() || height() == 0)
        return;
    // Kept from painting while its size changes, and shown whole again afterwards.
    Text1_->setUpdatesEnabled(false);
    Text1_->setGeometry(0, 0, width(), height());
    Text1_->setUpdatesEnabled(true);
}

} // namespace orv
