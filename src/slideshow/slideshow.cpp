#include "slideshow/slideshow.h"

#include "browsing/core/folderbrowser.h"
#include "browsing/drivelistbox.h"
#include "browsing/filelistview.h"
#include "browsing/folderlistview.h"
#include "common/appcontext.h"
#include "common/twipslayout.h"
#include "platform/core/processenvironment.h"
#include "platform/screenmetrics.h"
#include "platform/windowplacement.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QVBoxLayout>

namespace orv {

namespace {

QAction* entry(QMenu* menu, const char* name, bool checkable = false, bool checked = false)
{
    QAction* a = menu->addAction(QString());
    a->setObjectName(QLatin1String(name));
    a->setCheckable(checkable);
    a->setChecked(checked);
    return a;
}

const QList<FileFilter> kShowFilter = {{QStringLiteral("Slideshow (*.sli)"), {QStringLiteral("*.sli")}}};

// The busy pointer while a show file is read or written.
class BusyPointer {
public:
    BusyPointer() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~BusyPointer() { QApplication::restoreOverrideCursor(); }
    BusyPointer(const BusyPointer&) = delete;
    BusyPointer& operator=(const BusyPointer&) = delete;
};

} // namespace

Slideshow::Slideshow(AppContext& ctx, QWidget* parent) : QWidget(parent, Qt::Window), ctx_(ctx)
{
    setObjectName(QStringLiteral("Slideshow"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowFlags(Qt::Window | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowCloseButtonHint
                   | Qt::WindowMinimizeButtonHint | Qt::WindowTitleHint);
    const ScreenMetrics& screen = *ctx_.services().screen;
    const TwipsLayout L(screen.twipsPerPixelX(), screen.twipsPerPixelY());

    menuBar_ = new QMenuBar(this);
    menuBar_->setObjectName(QStringLiteral("menuBar"));
    File_ = menuBar_->addMenu(QString());
    File_->setObjectName(QStringLiteral("File"));
    Open_ = entry(File_, "Open");
    Open_->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_O));
    Save_ = entry(File_, "Save");
    Save_->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_S));
    File_->addSeparator()->setObjectName(QStringLiteral("mnublank"));
    Quit_ = entry(File_, "Quit");
    Quit_->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_X));

    SlideControl_ = menuBar_->addMenu(QString());
    SlideControl_->setObjectName(QStringLiteral("SlideControl"));
    Play_ = entry(SlideControl_, "Play");
    Play_->setShortcut(Qt::Key_F5);
    SlideControl_->addSeparator()->setObjectName(QStringLiteral("blank1"));
    key_ = entry(SlideControl_, "key", true, true);
    timer_ = entry(SlideControl_, "timer", true, false);
    looppic_ = entry(SlideControl_, "looppic", true, true);
    SlideControl_->addSeparator()->setObjectName(QStringLiteral("blnk5"));
    mnuCursor_ = entry(SlideControl_, "mnuCursor", true, true);
    mnuFilename_ = entry(SlideControl_, "mnuFilename", true, true);
    SlideControl_->addSeparator()->setObjectName(QStringLiteral("blnk4"));
    mnuColor_ = entry(SlideControl_, "mnuColor");
    Info_ = menuBar_->addAction(QString());
    Info_->setObjectName(QStringLiteral("Info"));

    MainAdd_ = new QMenu(QStringLiteral("Add"), this);
    MainAdd_->setObjectName(QStringLiteral("MainAdd"));
    add_ = entry(MainAdd_, "add");
    Addall_ = entry(MainAdd_, "Addall");

    SlideRemoveControl_ = new QMenu(QStringLiteral("Remove"), this);
    SlideRemoveControl_->setObjectName(QStringLiteral("SlideRemoveControl"));
    Playr_ = entry(SlideRemoveControl_, "Playr");
    SlideRemoveControl_->addSeparator()->setObjectName(QStringLiteral("blnk3"));
    keypress_ = entry(SlideRemoveControl_, "keypress", true, true);
    timerwait_ = entry(SlideRemoveControl_, "timerwait", true, false);
    looppicture_ = entry(SlideRemoveControl_, "looppicture", true, true);
    SlideRemoveControl_->addSeparator()->setObjectName(QStringLiteral("blnk2"));
    mnuCursorPop_ = entry(SlideRemoveControl_, "mnuCursorPop", true, true);
    mnuShowf_ = entry(SlideRemoveControl_, "mnuShowf", true, true);
    SlideRemoveControl_->addSeparator()->setObjectName(QStringLiteral("blnk6"));
    Remove_ = entry(SlideRemoveControl_, "Remove");
    Removeall_ = entry(SlideRemoveControl_, "Removeall");

    Diskmnu_ = new QMenu(QStringLiteral("Disk"), this);
    Diskmnu_->setObjectName(QStringLiteral("Diskmnu"));
    Root_ = entry(Diskmnu_, "Root");
    Previous_ = entry(Diskmnu_, "Previous");

    // The menu bar takes the height its captions need once they are applied; the layout keeps
    // the client area at its designed size below it, so the window follows the bar.
    client_ = new QWidget(this);
    client_->setObjectName(QStringLiteral("client"));
    client_->setFixedSize(L.size(6600, 5700));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->setMenuBar(menuBar_);
    layout->addWidget(client_);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    browser_ = new FolderBrowser(*ctx_.services().volumes, *ctx_.services().process, this);
    browser_->setPattern(QStringLiteral("*.wav;*.bmp;*.jpg;*.gif;*.wmf;*.emf;*.ico;*.dib;*.cur"));
    drvChoose_ = new DriveListBox(*browser_, client_);
    drvChoose_->setObjectName(QStringLiteral("drvChoose"));
    L.place(drvChoose_, 120, 120, 3135, 315);
    dirDrive_ = new FolderListView(*browser_, client_);
    dirDrive_->setObjectName(QStringLiteral("dirDrive"));
    L.place(dirDrive_, 120, 600, 3150, 2730);
    lstFiles_ = new FileListView(client_);
    lstFiles_->setObjectName(QStringLiteral("lstFiles"));
    lstFiles_->follow(*browser_);
    lstFiles_->setSelectionMode(QAbstractItemView::ExtendedSelection);
    L.place(lstFiles_, 3345, 120, 3120, 3015);
    lstChosen_ = new QListWidget(client_);
    lstChosen_->setObjectName(QStringLiteral("lstChosen"));
    lstChosen_->setSelectionMode(QAbstractItemView::ExtendedSelection);
    lstChosen_->setUniformItemSizes(true);
    L.place(lstChosen_, 120, 3435, 6375, 2205);
    dirDrive_->setAccessibleName(QStringLiteral("Folders"));
    lstFiles_->setAccessibleName(QStringLiteral("Files"));
    lstChosen_->setAccessibleName(QStringLiteral("Slides"));

    // Right-button presses open the pop-ups without touching the selection the commands use.
    lstChosen_->viewport()->installEventFilter(this);
    client_->installEventFilter(this);

    connect(Open_, &QAction::triggered, this, &Slideshow::Open_Click);
    connect(Save_, &QAction::triggered, this, &Slideshow::Save_Click);
    connect(Quit_, &QAction::triggered, this, &QWidget::close);
    connect(Play_, &QAction::triggered, this, &Slideshow::Play_Click);
    connect(Playr_, &QAction::triggered, this, &Slideshow::Play_Click);
    connect(key_, &QAction::triggered, this, &Slideshow::key_Click);
    connect(keypress_, &QAction::triggered, this, &Slideshow::key_Click);
    connect(timer_, &QAction::triggered, this, &Slideshow::timer_Click);
    connect(timerwait_, &QAction::triggered, this, &Slideshow::timer_Click);
    connect(looppic_, &QAction::triggered, this, &Slideshow::looppic_Click);
    connect(looppicture_, &QAction::triggered, this, &Slideshow::looppic_Click);
    connect(mnuCursor_, &QAction::triggered, this, &Slideshow::mnuCursor_Click);
    connect(mnuCursorPop_, &QAction::triggered, this, &Slideshow::mnuCursor_Click);
    connect(mnuFilename_, &QAction::triggered, this, &Slideshow::mnuFilename_Click);
    connect(mnuShowf_, &QAction::triggered, this, &Slideshow::mnuFilename_Click);
    connect(mnuColor_, &QAction::triggered, this, &Slideshow::mnuColor_Click);
    connect(Info_, &QAction::triggered, this, &Slideshow::Info_Click);
    connect(add_, &QAction::triggered, this, &Slideshow::add_Click);
    connect(Addall_, &QAction::triggered, this, &Slideshow::Addall_Click);
    connect(Remove_, &QAction::triggered, this, &Slideshow::Remove_Click);
    connect(Removeall_, &QAction::triggered, this, &Slideshow::Removeall_Click);
    connect(Root_, &QAction::triggered, this, &Slideshow::Root_Click);
    connect(Previous_, &QAction::triggered, this, &Slideshow::Previous_Click);

    connect(drvChoose_, &DriveListBox::driveChanged, this, &Slideshow::drvChoose_Change);
    connect(dirDrive_, &FolderListView::enterPressed, this, [this] { dirDrive_->openHighlighted(); });
    connect(dirDrive_, &FolderListView::rightButtonPressed, this, [this](QPoint p) { Diskmnu_->popup(p); });
    connect(lstFiles_, &FileListView::rightButtonPressed, this, [this](QPoint p) { MainAdd_->popup(p); });
    connect(lstFiles_, &QAbstractItemView::doubleClicked, this, &Slideshow::add_Click);
    connect(lstChosen_, &QListWidget::itemDoubleClicked, this, &Slideshow::Remove_Click);

    texts_ = {
        {File_, 63}, {Open_, 64}, {Save_, 65}, {Quit_, 66}, {SlideControl_, 67}, {Play_, 68}, {Playr_, 68},
        {key_, 69}, {keypress_, 69}, {timer_, 70}, {timerwait_, 70}, {looppic_, 71}, {looppicture_, 71},
        {Info_, 72}, {Root_, 24}, {Previous_, 25},
        {[this](const QString& title) { setWindowTitle(title); }, 73},
        {add_, 74}, {Addall_, 75}, {Remove_, 76}, {Removeall_, 77}, {mnuFilename_, 91}, {mnuShowf_, 91},
        {mnuColor_, 92}, {mnuCursor_, 93}, {mnuCursorPop_, 93},
    };
}

void Slideshow::applyTexts()
{
    texts_.apply(ctx_);
    adjustSize();
}

void Slideshow::Form_Load()
{
    browser_->enterOrFallback(ctx_.services().process->currentFolder());
    browser_->enterRoot();
    show_.reset();
    captionColour_ = 0;
    showEntries();
    showState();
    ctx_.shell().ApplyLanguage(QStringLiteral("FrmSlide"));
    centreOnScreen(this, *ctx_.services().screen);
}

void Slideshow::message(const EditorMessage& m)
{
    ctx_.prompts().message(ctx_.text(m.text), m.title ? ctx_.text(m.title) : AppContext::AppName, m.icon, m.buttons);
}

void Slideshow::showEntries()
{
    lstChosen_->setUpdatesEnabled(false);
    lstChosen_->clear();
    lstChosen_->addItems(show_.entries());
    lstChosen_->setUpdatesEnabled(true);
}

void Slideshow::showState()
{
    const ShowSettings& s = show_.settings();
    const auto pair = [](QAction* a, QAction* b, bool on) {
        a->setChecked(on);
        b->setChecked(on);
    };
    pair(key_, keypress_, s.advanceOnKey);
    pair(timer_, timerwait_, s.advanceOnTimer);
    pair(looppic_, looppicture_, s.loop);
    pair(mnuCursor_, mnuCursorPop_, s.showPointer);
    pair(mnuFilename_, mnuShowf_, s.showFileName);
}

ShowView Slideshow::showView() const
{
    const ShowSettings& s = show_.settings();
    return ShowView{show_.entries(), s.loop, s.showFileName, ctx_.text(kPlayingCaptionText)};
}

void Slideshow::add_Click()
{
    show_.add(browser_->folder(), lstFiles_->selectedNames());
    showEntries();
}

void Slideshow::Addall_Click()
{
    show_.addAll(browser_->folder(), lstFiles_->names());
    showEntries();
}

void Slideshow::Remove_Click()
{
    QList<int> rows;
    for (const QModelIndex& index : lstChosen_->selectionModel()->selectedRows())
        rows.append(index.row());
    show_.remove(rows);
    showEntries();
}

void Slideshow::Removeall_Click()
{
    show_.removeAll();
    showEntries();
}

void Slideshow::key_Click()
{
    show_.toggleKeyMode();
    showState();
}

void Slideshow::timer_Click()
{
    const bool ask = show_.toggleTimerMode();
    showState();
    if (!ask)
        return;
    const QLocale locale;
    const std::optional<QString> answer = ctx_.prompts().input(
        ctx_.text(kIntervalPromptText), ctx_.text(kIntervalTitleText), intervalPromptText(show_.settings().interval, locale));
    if (!show_.answerInterval(answer, locale))
        message(kInvalidIntervalMessage);
}

void Slideshow::looppic_Click()
{
    show_.toggleLoop();
    showState();
}

void Slideshow::mnuCursor_Click()
{
    show_.togglePointer();
    showState();
}

void Slideshow::mnuFilename_Click()
{
    show_.toggleFileName();
    showState();
}

void Slideshow::mnuColor_Click()
{
    if (const std::optional<quint32> rgb = ctx_.prompts().colour(captionColour_))
        captionColour_ = *rgb & 0xFFFFFFu;
}

void Slideshow::Play_Click()
{
    if (!show_.canPlay()) {
        message(kNothingToPlayMessage);
        return;
    }
    ctx_.shell().playSlideShow();
}

void Slideshow::Info_Click()
{
    ctx_.prompts().message(ctx_.text(62), ctx_.text(6).mid(1), PromptIcon::Information, PromptButtons::Ok);
}

void Slideshow::Open_Click()
{
    const QString path = ctx_.prompts().openFileName(QString(), QString(), kShowFilter);
    if (path.isEmpty())
        return;
    bool valid = false;
    {
        const BusyPointer busy;
        valid = show_.open(path);
    }
    showEntries();
    showState();
    if (!valid)
        message(kNotAShowFileMessage);
}

void Slideshow::Save_Click()
{
    if (!show_.canSave()) {
        message(kNothingToSaveMessage);
        return;
    }
    saveShow();
}

bool Slideshow::saveShow()
{
    const QString path = ctx_.prompts().saveFileName(QString(), QString(), kShowFilter);
    if (path.isEmpty())
        return false;
    ShowSave result;
    {
        const BusyPointer busy;
        result = show_.save(path);
    }
    if (!result.saved)
        ctx_.prompts().message(result.message(path), AppContext::AppName, PromptIcon::Critical, PromptButtons::Ok);
    return result.saved;
}

bool Slideshow::mayClose()
{
    if (!show_.asksBeforeClosing())
        return true;
    switch (ctx_.prompts().message(ctx_.text(kSaveChangesMessage.text), AppContext::AppName, kSaveChangesMessage.icon,
                                   kSaveChangesMessage.buttons)) {
    case PromptAnswer::Yes:
        // A save that was asked for but did not happen keeps the window, so the show is not
        // lost after the user chose to keep it.
        return saveShow();
    case PromptAnswer::No:
        return true;
    default:
        return false;
    }
}

void Slideshow::closeEvent(QCloseEvent* e)
{
    if (!mayClose()) {
        e->ignore();
        return;
    }
    QWidget::closeEvent(e);
}

void Slideshow::Root_Click()
{
    browser_->enterRoot();
}

void Slideshow::Previous_Click()
{
    browser_->enterParent();
}

void Slideshow::drvChoose_Change()
{
    const QString drive = drvChoose_->drive();
    if (browser_->enterDrive(drive))
        return;
    ctx_.prompts().message(ctx_.text(FolderBrowser::DriveErrorText), AppContext::AppName, PromptIcon::Critical,
                           PromptButtons::Ok);
    const QString fallback = browser_->fallbackDrive(drive);
    if (!fallback.isEmpty()) {
        drvChoose_->setDrive(fallback);  // raises drvChoose_Change for the fallback drive
        return;
    }
    browser_->enter(QStringLiteral("/"));
}

bool Slideshow::eventFilter(QObject* watched, QEvent* e)
{
    if (e->type() == QEvent::MouseButtonPress && static_cast<QMouseEvent*>(e)->button() == Qt::RightButton) {
        const QPoint at = static_cast<QMouseEvent*>(e)->globalPosition().toPoint();
        if (watched == lstChosen_->viewport()) {
            SlideRemoveControl_->popup(at);
            return true;
        }
        if (watched == client_) {
            SlideControl_->popup(at);
            return true;
        }
    }
    if (e->type() == QEvent::ContextMenu && (watched == lstChosen_->viewport() || watched == client_))
        return true;
    return QWidget::eventFilter(watched, e);
}

} // namespace orv
