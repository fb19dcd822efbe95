#include "editor/frmmdi.h"

#include "common/appcontext.h"
#include "common/art.h"
#include "common/core/prompts.h"
#include "common/core/settingsstore.h"
#include "common/twipslayout.h"
#include "editor/frmnotepad.h"
#include "editor/textbox.h"
#include "editor/texteditor.h"
#include "editor/toolbarbutton.h"
#include "platform/core/processenvironment.h"
#include "platform/screenmetrics.h"
#include "platform/windowplacement.h"

#include <QAction>
#include <QClipboard>
#include <QCloseEvent>
#include <QGuiApplication>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QStyle>
#include <QTimer>
#include <QTextCursor>
#include <QVBoxLayout>
#include <QWindow>

#include <algorithm>
#include <cmath>

namespace orv {

namespace {

const QString kSettings = QStringLiteral("Settings");
const QString kWidth = QStringLiteral("Width");
const QString kHeight = QStringLiteral("Height");
const QString kCopyright = QStringLiteral("Copyright (C) 2026 the Orvane Viewer developers");
const QString kContact = QStringLiteral("hello@orvane-viewer.org");

// The toolbar strip's height and its buttons' size, in twips.
constexpr double kToolbarHeight = 405;
constexpr double kButtonWidth = 345;
constexpr double kButtonHeight = 330;

QString literalCaption(QString text) { return text.replace(u'&', QStringLiteral("&&")); }

// A size as the store keeps it: the text of a single-precision number.
QString sizeText(double twips) { return QString::number(float(twips), 'g', 7); }

} // namespace

frmMDI::frmMDI(AppContext& ctx, TextEditor& editor)
    : ctx_(ctx), editor_(editor), docs_(ctx.store(), ctx.prompts(), *this, AppContext::AppName)
{
    setObjectName(QStringLiteral("frmMDI"));
    setWindowTitle(EditorDocuments::FrameCaption);
    setWindowIcon(programIcon());
    setAttribute(Qt::WA_DeleteOnClose);

    auto* centre = new QWidget(this);
    auto* column = new QVBoxLayout(centre);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    buildToolbar();
    column->addWidget(picToolbar_);
    mdiArea_ = new QMdiArea(centre);
    mdiArea_->setObjectName(QStringLiteral("mdiArea"));
    mdiArea_->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    mdiArea_->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    column->addWidget(mdiArea_, 1);
    setCentralWidget(centre);
    buildMenus();
    connect(mdiArea_, &QMdiArea::subWindowActivated, this, [this](QMdiSubWindow*) { updateMenuBar(); });
}

frmMDI::~frmMDI()
{
    // The documents go while the frame they report to is still whole.
    disconnect(mdiArea_, nullptr, this, nullptr);
    delete mdiArea_;
    while (busy_ > 0) {
        QGuiApplication::restoreOverrideCursor();
        --busy_;
    }
}

void frmMDI::buildMenus()
{
    mnuFile_ = new QMenu(QStringLiteral("&File"), this);
    mnuFile_->setObjectName(QStringLiteral("mnuFile"));
    QAction* mnuFNew = mnuFile_->addAction(QStringLiteral("&New"));
    mnuFNew->setObjectName(QStringLiteral("mnuFNew"));
    mnuFNew->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_N));
    connect(mnuFNew, &QAction::triggered, this, &frmMDI::mnuFNew_Click);
    QAction* mnuFOpen = mnuFile_->addAction(QStringLiteral("&Open"));
    mnuFOpen->setObjectName(QStringLiteral("mnuFOpen"));
    mnuFOpen->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_O));
    connect(mnuFOpen, &QAction::triggered, this, &frmMDI::mnuFOpen_Click);
    QAction* mnuFExit = mnuFile_->addAction(QStringLiteral("E&xit"));
    mnuFExit->setObjectName(QStringLiteral("mnuFExit"));
    mnuFExit->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q));
    connect(mnuFExit, &QAction::triggered, this, &frmMDI::mnuFExit_Click);
    mnuFile_->addSeparator()->setObjectName(QStringLiteral("mnuSeparator"));
    mnuRecentFile_[0] = mnuFile_->addSeparator();
    mnuRecentFile_[0]->setObjectName(QStringLiteral("mnuRecentFile0"));
    mnuRecentFile_[0]->setVisible(false);
    for (int k = 1; k <= 4; ++k) {
        QAction* a = mnuFile_->addAction(QStringLiteral("RecentFile%1").arg(k));
        a->setObjectName(QStringLiteral("mnuRecentFile%1").arg(k));
        a->setVisible(false);
        connect(a, &QAction::triggered, this, [this, k] { mnuRecentFile_Click(0, k); });
        mnuRecentFile_[size_t(k)] = a;
    }

    mnuOptions_ = new QMenu(QStringLiteral("&Options"), this);
    mnuOptions_->setObjectName(QStringLiteral("mnuOptions"));
    mnuOToolbar_ = mnuOptions_->addAction(QStringLiteral("&Toolbar"));
    mnuOToolbar_->setObjectName(QStringLiteral("mnuOToolbar"));
    mnuOToolbar_->setCheckable(true);
    mnuOToolbar_->setChecked(true);
    connect(mnuOToolbar_, &QAction::triggered, this, [this] { ToggleToolbar(mnuOToolbar_); });
    connect(mnuOptions_, &QMenu::aboutToShow, this, [this] { mnuOptions_Click(mnuOToolbar_); });
    updateMenuBar();
}

void frmMDI::buildToolbar()
{
    const ScreenMetrics& screen = *ctx_.services().screen;
    const TwipsLayout L(screen.twipsPerPixelX(), screen.twipsPerPixelY());
    picToolbar_ = new QWidget(this);
    picToolbar_->setObjectName(QStringLiteral("picToolbar"));
    picToolbar_->setFixedHeight(L.y(kToolbarHeight));
    picToolbar_->setAutoFillBackground(true);
    picToolbar_->setBackgroundRole(QPalette::Button);
    const auto button = [&](const char* name, double left, const char* art, void (frmMDI::*command)()) {
        auto* b = new ToolbarButton(artImage((QByteArray("toolbar-") + art + "-up").constData()),
                                    artImage((QByteArray("toolbar-") + art + "-down").constData()), picToolbar_);
        b->setObjectName(QLatin1String(name));
        L.place(b, left, 0, kButtonWidth, kButtonHeight);
        connect(b, &ToolbarButton::clicked, this, command);
        return b;
    };
    imgFileNewButton_ = button("imgFileNewButton", 0, "new", &frmMDI::mnuFNew_Click);
    imgFileOpenButton_ = button("imgFileOpenButton", 360, "open", &frmMDI::mnuFOpen_Click);
    imgCutButton_ = button("imgCutButton", 840, "cut", &frmMDI::CutSelection);
    imgCopyButton_ = button("imgCopyButton", 1200, "copy", &frmMDI::CopySelection);
    imgPasteButton_ = button("imgPasteButton", 1560, "paste", &frmMDI::PasteClipboard);
}

// ---- start-up and shutdown ----

void frmMDI::MDIForm_Load(const QString& pendingFile)
{
    SettingsStore& store = ctx_.store();
    const ScreenMetrics& screen = *ctx_.services().screen;
    const auto stored = [&](const QString& key, double firstRun) {
        const QString text = store.read(AppContext::AppName, kSettings, key);
        bool ok = false;
        const float value = text.toFloat(&ok);
        // Not a size (a number no window has, or no number at all): as on a first run.
        if (text.isEmpty() || !ok || !std::isfinite(value) || value <= 0) {
            store.write(AppContext::AppName, kSettings, key, sizeText(firstRun));
            return firstRun;
        }
        return double(value);
    };
    const double width = stored(kWidth, screen.screenWidthTwips() / 1.25);
    const double height = stored(kHeight, screen.screenHeightTwips() / 1.5);
    const QSize pixels = screen.screenPixels();
    outerSize_ = QSize(std::clamp(int(std::lround(width / screen.twipsPerPixelX())), 200, std::max(200, pixels.width())),
                       std::clamp(int(std::lround(height / screen.twipsPerPixelY())), 150, std::max(150, pixels.height())));
    outerSizeSettled_ = false;
    placeOnScreen();
    picToolbar_->show();
    show();
    if (windowHandle()->frameMargins().isNull())
        windowHandle()->installEventFilter(this);
    else
        placeOnScreen();
    ProcessEnvironment& process = *ctx_.services().process;
    process.setCurrentFolder(process.executableFolder());
    editor_.search().searchDirection = SearchDirection::Down;
    docs_.frameLoaded(pendingFile);
}

void frmMDI::placeOnScreen()
{
    const QMargins m = windowHandle() ? windowHandle()->frameMargins() : QMargins();
    if (!m.isNull())
        outerSizeSettled_ = true;
    resize(outerSize_.width() - m.left() - m.right(), outerSize_.height() - m.top() - m.bottom());
    // Centred, kept on the screen's usable area; a Wayland compositor places windows itself.
    const ScreenMetrics& screen = *ctx_.services().screen;
    if (screen.mayPlaceWindows())
        move(centredPosition(screen.screenPixels(), screen.availablePixels(), outerSize_));
}

bool frmMDI::eventFilter(QObject* watched, QEvent* e)
{
    // A document window has painted: the next one is made ready once the user sees this one.
    if (e->type() == QEvent::Paint && qobject_cast<QWidget*>(watched) && watched != this) {
        watched->removeEventFilter(this);
        QTimer::singleShot(0, this, &frmMDI::prepareSpareWindow);
        return false;
    }
    // The window manager's frame is known once it has framed the window, at the latest when
    // the window is first exposed: the stored size is the outer one, so the inner size follows.
    if (!outerSizeSettled_ && watched == windowHandle() && e->type() == QEvent::Expose
        && !windowHandle()->frameMargins().isNull())
        placeOnScreen();
    return QMainWindow::eventFilter(watched, e);
}

void frmMDI::bringToFront(const QString& pendingFile)
{
    if (isMinimized())
        showNormal();
    show();
    orv::bringToFront(this, *ctx_.services().screen);
    if (!pendingFile.isEmpty())
        docs_.OpenWithDialog(pendingFile);
}

QList<int> frmMDI::closingOrder() const
{
    QList<int> order;
    const QList<QMdiSubWindow*> stack = mdiArea_->subWindowList(QMdiArea::StackingOrder);
    for (auto it = stack.crbegin(); it != stack.crend(); ++it) {
        if (auto* document = qobject_cast<frmNotePad*>((*it)->widget()); document && windows_.value(document->slot()) == document)
            order.append(document->slot());
    }
    return order;
}

bool frmMDI::mayClose()
{
    // The program ends without closing its windows one by one, so nothing more is asked after
    // this; and as another window may still keep the program running, the answers are not
    // kept for a later close either.
    const bool agreed = docs_.queryCloseAll(closingOrder());
    docs_.closeAbandoned();
    if (agreed)
        MDIForm_Unload();
    return agreed;
}

void frmMDI::closeEvent(QCloseEvent* e)
{
    if (!docs_.queryCloseAll(closingOrder())) {
        e->ignore();
        return;
    }
    for (const int slot : closingOrder()) {
        if (QMdiSubWindow* sub = subWindow(slot))
            sub->close();
    }
    if (docs_.documents().HasOpenDocuments()) {
        docs_.closeAbandoned();
        e->ignore();
        return;
    }
    MDIForm_Unload();
    e->accept();
    Q_EMIT unloaded();
}

void frmMDI::MDIForm_Unload()
{
    const ScreenMetrics& screen = *ctx_.services().screen;
    // Closed while minimized (or maximized), it reopens at the size it had as a normal window;
    // an icon's size would make a frame too small to use.
    const QMargins m = windowHandle() ? windowHandle()->frameMargins() : QMargins();
    const QSize outer = isVisible() && windowState() == Qt::WindowNoState ? frameGeometry().size()
                                                                          : normalGeometry().size().grownBy(m);
    SettingsStore& store = ctx_.store();
    store.write(AppContext::AppName, kSettings, kWidth, sizeText(outer.width() * screen.twipsPerPixelX()));
    store.write(AppContext::AppName, kSettings, kHeight, sizeText(outer.height() * screen.twipsPerPixelY()));
}

// ---- documents ----

frmNotePad* frmMDI::document(int slot) const
{
    frmNotePad* document = windows_.value(slot);
    return document && docs_.documents().isOpen(slot) ? document : nullptr;
}

QMdiSubWindow* frmMDI::subWindow(int slot) const
{
    frmNotePad* d = document(slot);
    return d ? qobject_cast<QMdiSubWindow*>(d->parentWidget()) : nullptr;
}

frmNotePad* frmMDI::activeDocument() const
{
    const auto open = [this](QMdiSubWindow* sub) -> frmNotePad* {
        auto* d = sub ? qobject_cast<frmNotePad*>(sub->widget()) : nullptr;
        return d && document(d->slot()) == d ? d : nullptr;
    };
    if (frmNotePad* d = open(mdiArea_->currentSubWindow()))
        return d;
    const QList<QMdiSubWindow*> history = mdiArea_->subWindowList(QMdiArea::ActivationHistoryOrder);
    for (auto it = history.crbegin(); it != history.crend(); ++it) {
        if (frmNotePad* d = open(*it))
            return d;
    }
    return nullptr;
}

QList<frmNotePad*> frmMDI::documentWindows() const
{
    QList<frmNotePad*> list;
    for (QMdiSubWindow* sub : mdiArea_->subWindowList(QMdiArea::CreationOrder)) {
        auto* d = qobject_cast<frmNotePad*>(sub->widget());
        if (d && document(d->slot()) == d)
            list.append(d);
    }
    return list;
}

void frmMDI::activate(frmNotePad* document)
{
    if (auto* sub = qobject_cast<QMdiSubWindow*>(document->parentWidget())) {
        if (sub->isMinimized())
            sub->showNormal();
        mdiArea_->setActiveSubWindow(sub);
        document->text().setFocus();
    }
}

void frmMDI::documentWindowClosed(int slot)
{
    windows_.remove(slot);
    docs_.documentClosed(slot);
    updateMenuBar();
}

void frmMDI::updateMenuBar()
{
    const frmNotePad* active = activeDocument();
    const QList<QAction*> wanted = active ? active->menuBarEntries()
                                          : QList<QAction*>{mnuFile_->menuAction(), mnuOptions_->menuAction()};
    QMenuBar* bar = menuBar();
    if (bar->actions() == wanted)
        return;
    for (QAction* a : bar->actions())
        bar->removeAction(a);
    bar->addActions(wanted);
}

// ---- EditorWindows ----

QMdiSubWindow* frmMDI::makeDocumentWindow()
{
    auto* document = new frmNotePad(*this, 0);
    QMdiSubWindow* sub = mdiArea_->addSubWindow(document);
    sub->setAttribute(Qt::WA_DeleteOnClose);
    sub->setWindowIcon(artIcon("document-16"));
    sub->hide();
    return sub;
}

void frmMDI::prepareSpareWindow()
{
    if (!spare_ && mdiArea_)
        spare_ = makeDocumentWindow();
}

void frmMDI::createDocumentWindow(int slot)
{
    // The window made ready in idle time after the last one painted, when there is one.
    QMdiSubWindow* sub = spare_ ? spare_.data() : makeDocumentWindow();
    spare_.clear();
    auto* document = qobject_cast<frmNotePad*>(sub->widget());
    document->setSlot(slot);
    windows_.insert(slot, document);
    // Each new window a step down and right of the one before, three quarters of the area.
    const QSize area = mdiArea_->viewport()->size();
    const int step = sub->style()->pixelMetric(QStyle::PM_TitleBarHeight, nullptr, sub);
    const int n = int(documentWindows().size() - 1) % 8;
    sub->setGeometry(n * step, n * step, std::max(area.width() * 3 / 4, 200), std::max(area.height() * 3 / 4, 120));
}

void frmMDI::setDocumentCaption(int slot, const QString& caption)
{
    if (frmNotePad* d = windows_.value(slot)) {
        d->setWindowTitle(caption);
        d->setAccessibleName(caption);
        if (QWidget* sub = d->parentWidget())
            sub->setWindowTitle(caption);
    }
}

void frmMDI::setDocumentText(int slot, const QString& text)
{
    if (frmNotePad* d = windows_.value(slot))
        d->text().setPlainText(text);
}

QString frmMDI::documentText(int slot) const
{
    frmNotePad* d = windows_.value(slot);
    return d ? d->text().text() : QString();
}

qsizetype frmMDI::selectionStart(int slot) const
{
    frmNotePad* d = windows_.value(slot);
    return d ? d->text().textCursor().selectionStart() : 0;
}

void frmMDI::selectText(int slot, TextRange range)
{
    if (frmNotePad* d = windows_.value(slot)) {
        QTextCursor cursor = d->text().textCursor();
        cursor.setPosition(int(range.start));
        cursor.setPosition(int(range.start + range.length), QTextCursor::KeepAnchor);
        d->text().setTextCursor(cursor);
    }
}

void frmMDI::showDocumentWindow(int slot)
{
    frmNotePad* d = windows_.value(slot);
    if (!d)
        return;
    auto* sub = qobject_cast<QMdiSubWindow*>(d->parentWidget());
    sub->show();
    mdiArea_->setActiveSubWindow(sub);
    d->text().setFocus();
    updateMenuBar();
    if (!spare_)
        d->text().viewport()->installEventFilter(this);
}

void frmMDI::setEditingButtonsVisible(bool visible)
{
    imgCutButton_->setVisible(visible);
    imgCopyButton_->setVisible(visible);
    imgPasteButton_->setVisible(visible);
}

void frmMDI::showRecentMenu(int window, const RecentMenu& menu)
{
    if (window != 0) {
        if (frmNotePad* d = windows_.value(window))
            d->showRecentMenu(menu);
        return;
    }
    mnuRecentFile_[0]->setVisible(menu.separatorVisible);
    for (size_t k = 1; k <= 4; ++k) {
        mnuRecentFile_[k]->setText(literalCaption(menu.captions[k - 1]));
        mnuRecentFile_[k]->setVisible(menu.visible[k - 1]);
    }
}

void frmMDI::setBusy(bool busy)
{
    if (busy) {
        QGuiApplication::setOverrideCursor(Qt::WaitCursor);
        ++busy_;
    } else if (busy_ > 0) {
        QGuiApplication::restoreOverrideCursor();
        --busy_;
    }
}

// ---- commands ----

void frmMDI::mnuFNew_Click() { docs_.NewDocument(); }

void frmMDI::mnuFOpen_Click() { docs_.OpenWithDialog(); }

void frmMDI::mnuFExit_Click() { close(); }

void frmMDI::mnuRecentFile_Click(int window, int index) { docs_.openRecentEntry(window, index); }

bool frmMDI::toolbarShown() const { return !picToolbar_->isHidden(); }

void frmMDI::mnuOptions_Click(QAction* toolbarItem) { toolbarItem->setChecked(toolbarShown()); }

void frmMDI::ToggleToolbar(QAction* toolbarItem)
{
    // The entry has already flipped its own check mark.
    const bool shown = toolbarItem->isChecked();
    if (toolbarItem != mnuOToolbar_)
        mnuOToolbar_->setChecked(shown);
    picToolbar_->setVisible(shown);
}

void frmMDI::CopySelection()
{
    if (frmNotePad* d = activeDocument())
        QGuiApplication::clipboard()->setText(d->text().selectedText());
}

void frmMDI::CutSelection()
{
    frmNotePad* d = activeDocument();
    if (!d)
        return;
    CopySelection();
    QTextCursor cursor = d->text().textCursor();
    if (cursor.hasSelection()) {
        cursor.removeSelectedText();
        d->text().setTextCursor(cursor);
    }
}

void frmMDI::PasteClipboard()
{
    frmNotePad* d = activeDocument();
    if (!d)
        return;
    const QString text = QGuiApplication::clipboard()->text();
    QTextCursor cursor = d->text().textCursor();
    if (text.isEmpty() && !cursor.hasSelection())
        return;
    cursor.insertText(text);
    d->text().setTextCursor(cursor);
}

void frmMDI::cascade() { mdiArea_->cascadeSubWindows(); }

void frmMDI::tileHorizontally()
{
    QList<QMdiSubWindow*> shown;
    bool icons = false;
    int iconHeight = 0;
    for (QMdiSubWindow* sub : mdiArea_->subWindowList(QMdiArea::CreationOrder)) {
        if (sub->isHidden())
            continue;
        if (sub->isMinimized()) {
            icons = true;
            iconHeight = std::max(iconHeight, sub->height());
        } else {
            shown.append(sub);
        }
    }
    if (shown.isEmpty())
        return;
    const QSize area = mdiArea_->viewport()->size();
    // The row of icons at the bottom stays uncovered.
    const int height = std::max(area.height() - (icons ? iconHeight : 0), int(shown.size()));
    const int each = height / int(shown.size());
    for (int i = 0; i < shown.size(); ++i) {
        QMdiSubWindow* sub = shown[i];
        if (sub->isMaximized())
            sub->showNormal();
        const int top = i * each;
        sub->setGeometry(0, top, area.width(), i + 1 == shown.size() ? height - top : each);
    }
}

void frmMDI::arrangeIcons()
{
    const QSize area = mdiArea_->viewport()->size();
    int x = 0;
    int bottom = area.height();
    int rowHeight = 0;
    for (QMdiSubWindow* sub : mdiArea_->subWindowList(QMdiArea::CreationOrder)) {
        if (sub->isHidden() || !sub->isMinimized())
            continue;
        const QSize s = sub->size();
        if (x > 0 && x + s.width() > area.width()) {
            x = 0;
            bottom -= rowHeight;
            rowHeight = 0;
        }
        sub->move(x, bottom - s.height());
        x += s.width();
        rowHeight = std::max(rowHeight, s.height());
    }
}

void frmMDI::showAbout()
{
    const QString cr = QStringLiteral("\r");
    ctx_.prompts().message(QStringLiteral("Vellum Pad Module") + cr + kCopyright + cr + kContact + cr + AppContext::SiteAddress,
                           QStringLiteral("About Vellum Pad..."), PromptIcon::Information, PromptButtons::Ok);
}

} // namespace orv
