#include "browser/mainm.h"

#include "browser/core/dispatchtable.h"
#include "browser/core/filterpatterns.h"
#include "browser/core/scrollsetup.h"
#include "browser/picturebox.h"
#include "browser/statuspanels.h"
#include "browsing/core/folderbrowser.h"
#include "browsing/drivelistbox.h"
#include "browsing/filelistview.h"
#include "browsing/folderlistview.h"
#include "common/appcontext.h"
#include "common/art.h"
#include "common/core/filenames.h"
#include "common/core/paths.h"
#include "common/core/prompts.h"
#include "common/core/settingsstore.h"
#include "common/core/version.h"
#include "common/fullscreenview.h"
#include "common/twipslayout.h"
#include "platform/core/processenvironment.h"
#include "platform/desktoplauncher.h"
#include "platform/mediacontrol.h"
#include "pictures/pictureloader.h"
#include "pictures/picturepreloader.h"
#include "pictures/vectorpicture.h"
#include "platform/printerservice.h"
#include "platform/screenmetrics.h"
#include "platform/soundplayer.h"
#include "platform/windowplacement.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QCursor>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QEvent>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QMouseEvent>
#include <QPushButton>
#include <QScrollBar>
#include <QTimer>
#include <QSignalBlocker>
#include <QUrl>
#include <QWheelEvent>
#include <cmath>
#include <utility>

namespace orv {

namespace {

QAction* addEntry(QMenu* menu, const QString& name, const QString& caption)
{
    QAction* a = menu->addAction(caption);
    a->setObjectName(name);
    return a;
}

} // namespace


MainM::MainM(AppContext& ctx, QWidget* parent) : QMainWindow(parent), ctx_(ctx)
{
    setObjectName(QStringLiteral("MainM"));
    setWindowTitle(ProgramName);
    buildMenus();
    buildControls();

    const auto panelTip = [this](int panel) {
        return [this, panel](const QString& tip) { StatusBar_->setPanelToolTip(panel, tip); };
    };
    const auto fileType = [this](int entry) {
        return [this, entry](const QString& text) { cmbFiles_->setItemText(entry, text); };
    };
    texts_ = {
        {mnuQuit_, 1}, {mnuSlide_, 2}, {mnuText_, 3}, {mnuTrayEditor_, 3}, {mnuTraySlide_, 2},
        {mnuTrayPal_, 4}, {mnuTrayQuit_, 1}, {mnuTrayMaxi_, 109}, {mnuPalView_, 4}, {mnuOptions_, 5},
        {mnuAbout_, 6},
        {panelTip(1), 12}, {panelTip(2), 13}, {panelTip(3), 14},
        {ppall_, 15}, {ppaudio_, 16}, {ppexe_, 17}, {pphlp_, 18}, {pphtml_, 19}, {pppic_, 20}, {pptxt_, 21},
        {printerSetup_, 22}, {GoPrint_, 23}, {Root_, 24}, {Previous_, 25},
        {fileType(0), 200}, {fileType(1), 201}, {fileType(2), 202}, {fileType(3), 203},
        {fileType(4), 204}, {fileType(5), 205}, {fileType(6), 206}, {fileType(7), 207},
        {mnuControl_, 61},
        // The small buttons' status texts serve as their tool tips and names as well.
        {[this](const QString& t) { btnFull_->setToolTip(t); btnFull_->setAccessibleName(t); }, 7},
        {[this](const QString& t) { btnPrev_->setToolTip(t); btnPrev_->setAccessibleName(t); }, 9},
        {[this](const QString& t) { btnRoot_->setToolTip(t); btnRoot_->setAccessibleName(t); }, 10},
    };
}

void MainM::applyTexts()
{
    texts_.apply(ctx_);
    cmbFiles_->setToolTip(cmbFiles_->currentText());
}

MainM::~MainM() = default;

void MainM::buildMenus()
{
    QMenuBar* bar = menuBar();
    mnuQuit_ = bar->addAction(QStringLiteral("&Quit"));
    mnuQuit_->setObjectName(QStringLiteral("mnuQuit"));
    mnuModules_ = bar->addMenu(QStringLiteral("&Modules"));
    mnuModules_->setObjectName(QStringLiteral("mnuModules"));
    mnuSlide_ = addEntry(mnuModules_, QStringLiteral("mnuSlide"), QStringLiteral("&Slide Show"));
    mnuSlide_->setShortcut(Qt::Key_F1);
    mnuText_ = addEntry(mnuModules_, QStringLiteral("mnuText"), QStringLiteral("&Text Editor"));
    mnuText_->setShortcut(Qt::Key_F2);
    mnuPalView_ = addEntry(mnuModules_, QStringLiteral("mnuPalView"), QStringLiteral("&Palette Viewer"));
    mnuPalView_->setShortcut(Qt::Key_F3);
    mnuModules_->addSeparator()->setObjectName(QStringLiteral("mnuBlank"));
    mnuControl_ = addEntry(mnuModules_, QStringLiteral("mnuControl"), QStringLiteral("&Control Panel"));
    mnuControl_->setShortcut(Qt::Key_F4);
    mnuOptions_ = bar->addAction(QStringLiteral("&Options"));
    mnuOptions_->setObjectName(QStringLiteral("mnuOptions"));
    mnuAbout_ = bar->addAction(QStringLiteral("&About..."));
    mnuAbout_->setObjectName(QStringLiteral("mnuAbout"));

    mnuTray_ = new QMenu(QStringLiteral("Tray"), this);
    mnuTray_->setObjectName(QStringLiteral("mnuTray"));
    mnuTraySlide_ = addEntry(mnuTray_, QStringLiteral("mnuTraySlide"), QStringLiteral("&Slide Show"));
    mnuTrayEditor_ = addEntry(mnuTray_, QStringLiteral("mnuTrayEditor"), QStringLiteral("&Text Editor"));
    mnuTrayPal_ = addEntry(mnuTray_, QStringLiteral("mnuTrayPal"), QStringLiteral("&Palette Viewer"));
    mnuTray_->addSeparator()->setObjectName(QStringLiteral("void"));
    mnuTrayMaxi_ = addEntry(mnuTray_, QStringLiteral("mnuTrayMaxi"), QStringLiteral("&Maximize"));
    mnuTrayQuit_ = addEntry(mnuTray_, QStringLiteral("mnuTrayQuit"), QStringLiteral("&Quit"));

    popupF_ = new QMenu(QStringLiteral("popupF"), this);
    popupF_->setObjectName(QStringLiteral("popupF"));
    const QString ppNames[] = {QStringLiteral("ppall"), QStringLiteral("ppaudio"), QStringLiteral("ppavi"),
                               QStringLiteral("ppexe"), QStringLiteral("pphlp"), QStringLiteral("pphtml"),
                               QStringLiteral("pppic"), QStringLiteral("pptxt")};
    const QString ppCaptions[] = {QStringLiteral("&All"), QStringLiteral("A&udio"), QStringLiteral("A&vi"),
                                  QStringLiteral("&Executable"), QStringLiteral("&Help"),
                                  QStringLiteral("HT&ML"), QStringLiteral("&Pictures"), QStringLiteral("&Text")};
    QAction** ppActions[] = {&ppall_, &ppaudio_, &ppavi_, &ppexe_, &pphlp_, &pphtml_, &pppic_, &pptxt_};
    for (int i = 0; i < 8; ++i) {
        *ppActions[i] = addEntry(popupF_, ppNames[i], ppCaptions[i]);
        connect(*ppActions[i], &QAction::triggered, this, [this, i] { selectFileType(i); });
    }

    EasyBrowse_ = new QMenu(QStringLiteral("EasyBrowse"), this);
    EasyBrowse_->setObjectName(QStringLiteral("EasyBrowse"));
    Root_ = addEntry(EasyBrowse_, QStringLiteral("Root"), QStringLiteral("&Root"));
    Previous_ = addEntry(EasyBrowse_, QStringLiteral("Previous"), QStringLiteral("&Previous"));
    connect(Root_, &QAction::triggered, this, &MainM::btnRoot_Click);
    connect(Previous_, &QAction::triggered, this, &MainM::btnPrev_Click);

    printMnu_ = new QMenu(QStringLiteral("printMnu"), this);
    printMnu_->setObjectName(QStringLiteral("printMnu"));
    printerSetup_ = addEntry(printMnu_, QStringLiteral("printerSetup"), QStringLiteral("&Setup..."));
    GoPrint_ = addEntry(printMnu_, QStringLiteral("GoPrint"), QStringLiteral("&Print"));

    // The key most viewers open their full-screen view with, beside the "F" button.
    auto* fullScreenKey = new QAction(this);
    fullScreenKey->setObjectName(QStringLiteral("fullScreenKey"));
    fullScreenKey->setShortcut(Qt::Key_F11);
    addAction(fullScreenKey);
    connect(fullScreenKey, &QAction::triggered, this, &MainM::btnFull_Click);
    // Ctrl+Q quits as the Quit entry does, through the other windows' close questions.
    auto* quitKey = new QAction(this);
    quitKey->setObjectName(QStringLiteral("quitKey"));
    quitKey->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q));
    addAction(quitKey);
    connect(quitKey, &QAction::triggered, this, &QWidget::close);

    connect(mnuQuit_, &QAction::triggered, this, &QWidget::close);
    connect(mnuTrayQuit_, &QAction::triggered, this, &QWidget::close);
    connect(mnuSlide_, &QAction::triggered, this, [this] { ctx_.shell().showSlideShowEditor(); });
    connect(mnuTraySlide_, &QAction::triggered, this, [this] { ctx_.shell().showSlideShowEditor(); });
    connect(mnuPalView_, &QAction::triggered, this, [this] { ctx_.shell().showPaletteViewer(); });
    connect(mnuText_, &QAction::triggered, this, [this] { ctx_.shell().showTextEditor(); });
    connect(mnuTrayEditor_, &QAction::triggered, this, [this] { ctx_.shell().showTextEditor(); });
    connect(mnuTrayPal_, &QAction::triggered, this, [this] { ctx_.shell().showPaletteViewer(); });
    connect(mnuOptions_, &QAction::triggered, this, [this] { ctx_.shell().showOptions(); });
    connect(mnuAbout_, &QAction::triggered, this, [this] { ctx_.shell().showAbout(); });
    connect(mnuControl_, &QAction::triggered, this, &MainM::mnuControl_Click);
    connect(mnuTrayMaxi_, &QAction::triggered, this, [this] {
        setWindowState(windowState() & ~(Qt::WindowMinimized | Qt::WindowMaximized));
        if (isVisible())
            bringToFront(this, *ctx_.services().screen);
    });
}

void MainM::buildControls()
{
    const ScreenMetrics& screen = *ctx_.services().screen;
    const TwipsLayout L(screen.twipsPerPixelX(), screen.twipsPerPixelY());

    auto* client = new QWidget(this);
    client->setObjectName(QStringLiteral("client"));
    // The status bar takes the bottom 315 twips of the designed 10065 x 5160 client area.
    client->setFixedSize(L.size(10065, 4845));
    setCentralWidget(client);
    QFont small = client->font();
    small.setPointSizeF(8.0);
    client->setFont(small);

    Open_ = new PictureBox(client);
    Open_->setObjectName(QStringLiteral("Open"));
    Open_->setMouseTracking(true);
    Open_->installEventFilter(this);
    L.place(Open_, 0, 0, 4335, 4575);

    imgAvi_ = new QLabel(Open_);
    imgAvi_->setObjectName(QStringLiteral("imgAvi"));
    imgAvi_->setPixmap(QPixmap::fromImage(artImage("video")));
    L.place(imgAvi_, 1920, 1800, 720, 720);
    imgAvi_->hide();
    imgWave_ = new QLabel(Open_);
    imgWave_->setObjectName(QStringLiteral("imgWave"));
    imgWave_->setPixmap(QPixmap::fromImage(artImage("wave")));
    L.place(imgWave_, 1920, 1800, 720, 720);
    imgWave_->hide();

    vscrPic_ = new QScrollBar(Qt::Vertical, client);
    vscrPic_->setObjectName(QStringLiteral("vscrPic"));
    L.place(vscrPic_, 4320, 0, 255, 4575);
    hscrPic_ = new QScrollBar(Qt::Horizontal, client);
    hscrPic_->setObjectName(QStringLiteral("hscrPic"));
    L.place(hscrPic_, 0, 4560, 4335, 255);
    // No picture yet: nothing to scroll.
    for (QScrollBar* bar : {vscrPic_, hscrPic_}) {
        bar->setRange(0, 0);
        bar->setEnabled(false);
    }

    btnFull_ = new QPushButton(QStringLiteral("F"), client);
    btnFull_->setObjectName(QStringLiteral("btnFull"));
    L.place(btnFull_, 4320, 4560, 255, 255);
    btnFull_->setEnabled(false);

    ProcessEnvironment& proc = *ctx_.services().process;
    browser_ = new FolderBrowser(*ctx_.services().volumes, proc, this);
    browser_->setPattern(FilterPatterns[0]);
    dirDrive_ = new FolderListView(*browser_, client);
    dirDrive_->setObjectName(QStringLiteral("dirDrive"));
    L.place(dirDrive_, 4680, 0, 2535, 3855);

    drvChoose_ = new DriveListBox(*browser_, client);
    drvChoose_->setObjectName(QStringLiteral("drvChoose"));
    L.place(drvChoose_, 4680, 4080, 1815, 315);

    btnPrev_ = new QPushButton(QStringLiteral(".."), client);
    btnPrev_->setObjectName(QStringLiteral("btnPrev"));
    L.place(btnPrev_, 6600, 4110, 255, 255);
    btnRoot_ = new QPushButton(QStringLiteral("/"), client);
    btnRoot_->setObjectName(QStringLiteral("btnRoot"));
    L.place(btnRoot_, 6960, 4110, 255, 255);

    fileFilter_ = new FileListView(client);
    fileFilter_->setObjectName(QStringLiteral("fileFilter"));
    fileFilter_->follow(*browser_);
    L.place(fileFilter_, 7320, 0, 2175, 3600);

    cmbFiles_ = new QComboBox(client);
    cmbFiles_->setObjectName(QStringLiteral("cmbFiles"));
    L.place(cmbFiles_, 7320, 4080, 2175, 315);
    for (int i = 0; i < 8; ++i)
        cmbFiles_->addItem(QString());
    cmbFiles_->setCurrentIndex(-1);

    lblVersion_ = new QLabel(versionLabel(), client);
    lblVersion_->setObjectName(QStringLiteral("lblVersion"));
    L.place(lblVersion_, 6840, 4560, 315, 195);
    fitTextInBox(lblVersion_);
    // The whole notice is wider than the designed box; the box shows its head, the tip all of it.
    lblCopyright_ = new QLabel(QStringLiteral("© 2026 Orvane Viewer"), client);
    lblCopyright_->setObjectName(QStringLiteral("lblCopyright"));
    lblCopyright_->setToolTip(QStringLiteral("© 2026 Orvane Viewer developers"));
    L.place(lblCopyright_, 4680, 4560, 1965, 195);
    lblURL_ = new QLabel(AppContext::SiteAddress.mid(8), client);
    lblURL_->setObjectName(QStringLiteral("lblURL"));
    lblURL_->setStyleSheet(QStringLiteral("color: rgb(0,0,255);"));
    lblURL_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    lblURL_->setCursor(Qt::PointingHandCursor);
    L.place(lblURL_, 7440, 4560, 2055, 375);
    imgBanner_ = new QLabel(client);
    imgBanner_->setObjectName(QStringLiteral("imgBanner"));
    imgBanner_->setPixmap(QPixmap::fromImage(artImage("banner-vertical")));
    imgBanner_->setScaledContents(true);
    L.place(imgBanner_, 9600, 0, 465, 4845);

    StatusBar_ = new StatusPanels(this);
    StatusBar_->setObjectName(QStringLiteral("StatusBar"));
    StatusBar_->setFont(small);
    // The bottom 315 twips of the client area, as designed.
    StatusBar_->setFixedHeight(L.y(315));
    setStatusBar(StatusBar_);
    StatusBar_->setPanelText(1, ProgramName);

    for (QWidget* w : {static_cast<QWidget*>(btnPrev_), static_cast<QWidget*>(btnRoot_),
                       static_cast<QWidget*>(btnFull_), static_cast<QWidget*>(lblURL_)}) {
        w->setMouseTracking(true);
        w->installEventFilter(this);
    }

    // The lists start at the folder the program was launched in, as created.
    if (!browser_->enter(proc.currentFolder()))
        browser_->enter(QStringLiteral("/"));

    connect(cmbFiles_, &QComboBox::currentIndexChanged, this, [this](int) { cmbFiles_Click(); });
    connect(browser_, &FolderBrowser::folderChanged, this, &MainM::dirDrive_Change);
    connect(dirDrive_, &FolderListView::enterPressed, this, [this] { dirDrive_KeyPress(13); });
    connect(dirDrive_, &FolderListView::rightButtonPressed, this, [this](QPoint p) { EasyBrowse_->popup(p); });
    connect(fileFilter_, &FileListView::rightButtonPressed, this, [this](QPoint p) { popupF_->popup(p); });
    connect(fileFilter_, &FileListView::fileClicked, this, &MainM::fileFilter_Click);
    connect(drvChoose_, &DriveListBox::driveChanged, this, &MainM::drvChoose_Change);
    connect(btnPrev_, &QPushButton::clicked, this, &MainM::btnPrev_Click);
    connect(btnRoot_, &QPushButton::clicked, this, &MainM::btnRoot_Click);
    connect(btnFull_, &QPushButton::clicked, this, &MainM::btnFull_Click);
    connect(hscrPic_, &QScrollBar::valueChanged, this, &MainM::scrollPicture);
    connect(vscrPic_, &QScrollBar::valueChanged, this, &MainM::scrollPicture);
    connect(Open_, &PictureBox::pictureFailed, this, &MainM::pictureTurnedUnreadable);
    connect(Open_, &PictureBox::rightButtonPressed, this, [this](QPoint p) {
        if (Open_->hasPicture() && soundShown_ == 0)
            printMnu_->popup(p);
    });
    connect(GoPrint_, &QAction::triggered, this, &MainM::GoPrint_Click);
    connect(printerSetup_, &QAction::triggered, this, &MainM::printerSetup_Click);

    nameControls();
    setAcceptDrops(true);
    setFixedSize(sizeHint());
}

void MainM::nameControls()
{
    // For screen readers and UI automation; controls with a caption are named by it, and the
    // small buttons by their language texts (applyTexts).
    Open_->setAccessibleName(QStringLiteral("Picture"));
    vscrPic_->setAccessibleName(QStringLiteral("Scroll picture up and down"));
    hscrPic_->setAccessibleName(QStringLiteral("Scroll picture across"));
    drvChoose_->setAccessibleName(QStringLiteral("Drive"));
    dirDrive_->setAccessibleName(QStringLiteral("Folders"));
    fileFilter_->setAccessibleName(QStringLiteral("Files"));
    cmbFiles_->setAccessibleName(QStringLiteral("File type"));
    imgBanner_->setAccessibleName(ProgramName);
    imgAvi_->setAccessibleName(QStringLiteral("Video"));
    imgWave_->setAccessibleName(QStringLiteral("Sound"));
}

void MainM::Form_Load()
{
    AppShell& shell = ctx_.shell();
    shell.showSplash();

    adjustSize();
    centreOnScreen(this, *ctx_.services().screen);

    ctx_.services().tray->add(this, ProgramName, windowIcon(), [this](TrayMessage m) { trayIcon_Message(m); });

    selectFileType(0);

    const QString start = browser_->makeStartFolderCurrent(
        ctx_.store().read(AppContext::AppName, QStringLiteral("Settings"), QStringLiteral("DefaultDir")));

    const QString cmd = browser_->commandLinePath();
    if (!cmd.isEmpty()) {
        const QString parent = ParentFolder(cmd);
        if (parent != kNoParent) {
            // The file first: its folder is listed behind it rather than competing with it.
            fileFilter_->deferNextFill();
            dirDrive_->deferNextFill();
            browser_->enterOrFallback(parent);
            dispatchFile(cmd);
            listFolderBehindPicture();
        }
    } else {
        browser_->enterOrFallback(start);
    }
}

void MainM::openHandedOver(const QString& path)
{
    if (isFolder(path)) {
        browser_->enterOrFallback(path);
        return;
    }
    const QString parent = ParentFolder(path);
    if (parent == kNoParent)
        return;
    browser_->enterOrFallback(parent);
    dispatchFile(path);
}

namespace {

// The first local file or folder a drag carries, by its bytes; other addresses are not taken.
QString droppedPath(const QMimeData* data)
{
    if (!data || !data->hasUrls())
        return {};
    for (const QUrl& url : data->urls()) {
        const QString path = localFilePath(url);
        if (!path.isEmpty())
            return QDir::cleanPath(path);
    }
    return {};
}

} // namespace

void MainM::dragEnterEvent(QDragEnterEvent* e)
{
    if (!droppedPath(e->mimeData()).isEmpty())
        e->acceptProposedAction();
}

void MainM::dropEvent(QDropEvent* e)
{
    const QString path = droppedPath(e->mimeData());
    if (path.isEmpty())
        return;
    e->acceptProposedAction();
    openHandedOver(path);
}

void MainM::dispatchFile(const QString& path)
{
    currentFile_ = path;
    openedFromCommandLine_ = 1;
    fileFilter_Click();
}

void MainM::selectFileType(int entry)
{
    if (cmbFiles_->currentIndex() == entry)
        cmbFiles_Click();
    else
        cmbFiles_->setCurrentIndex(entry);  // raises cmbFiles_Click
}

void MainM::cmbFiles_Click()
{
    cmbFiles_->setToolTip(cmbFiles_->currentText());
    const int i = cmbFiles_->currentIndex();
    if (i < 0 || i >= int(FilterPatterns.size()))
        return;
    browser_->setPattern(FilterPatterns[size_t(i)]);
}

namespace {

// Raised by a dispatcher action; the click handler reports it in its one message.
struct DispatchFailure {
    QString why;
};

// The hourglass over the window while file work runs.
class BusyCursor {
public:
    BusyCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~BusyCursor() { QApplication::restoreOverrideCursor(); }
    BusyCursor(const BusyCursor&) = delete;
    BusyCursor& operator=(const BusyCursor&) = delete;
};

} // namespace

void MainM::fileFilter_Click()
{
    try {
        soundShown_ = 0;
        previousFile_ = currentFile_;
        imgWave_->hide();
        imgAvi_->hide();

        if (!openedFromCommandLine_) {
            const QString name = fileFilter_->selectedName();
            if (name.isEmpty())
                return;
            currentFile_ = pathInFolder(name);
        }

        StatusBar_->setPanelText(1, displayFolder(currentFile_));

        const DispatchPlan plan =
            planDispatch(openedFromCommandLine_ ? asOwnKind(currentFile_) : currentFile_, cmbFiles_->currentIndex());
        if (plan.playModuleFirst)
            playModule();
        if (plan.handHtmlFirst) {
            if (!ctx_.services().desktop->openDocument(currentFile_))
                throw DispatchFailure{QStringLiteral("cannot hand over")};
            currentFile_ = previousFile_;
        }
        switch (plan.byTail) {
        case FileAction::None:
            break;
        case FileAction::ShowPicture:
            showPicture();
            break;
        case FileAction::OpenInEditor:
            ctx_.shell().openInEditor(currentFile_);
            break;
        case FileAction::RunProgram:
            runProgram();
            break;
        case FileAction::OpenHelp:
            if (!ctx_.services().desktop->openHelp(currentFile_))
                throw DispatchFailure{QStringLiteral("cannot open help")};
            currentFile_ = previousFile_;
            break;
        case FileAction::HandToSystem:
            if (!ctx_.services().desktop->openDocument(currentFile_))
                throw DispatchFailure{QStringLiteral("cannot hand over")};
            currentFile_ = previousFile_;
            break;
        case FileAction::PlaySound:
            playSound();
            break;
        case FileAction::PlayVideo:
            playVideo();
            break;
        case FileAction::PlayModule:
            playModule();
            break;
        }
        if (openedFromCommandLine_)
            openedFromCommandLine_ = 0;
    } catch (const DispatchFailure&) {
        showReadError();
        if (openedFromCommandLine_)
            openedFromCommandLine_ = 0;
    }
}

void MainM::listFolderBehindPicture()
{
    if (pendingPicture_) {
        // Shown or dropped, the list may fill; a large JPEG's rows may still be on their way.
        connect(pendingPicture_.get(), &QObject::destroyed, this, &MainM::listFolderBehindPicture,
                Qt::QueuedConnection);
        return;
    }
    const auto release = [this] {
        fileFilter_->releaseFill();
        dirDrive_->releaseFill();
    };
    const std::shared_ptr<PictureCompletion> pending = Open_->completion();
    if (!pending || pending->isDone()) {
        release();
        return;
    }
    // Done, or dropped before it was (another file shown): either way the lists may fill.
    PictureCompletion* c = pending.get();
    connect(c, &PictureCompletion::progressed, fileFilter_, [c, release] {
        if (c->isDone())
            release();
    });
    connect(c, &QObject::destroyed, fileFilter_, release);
}

QString MainM::pathInFolder(const QString& name) const
{
    const QString dir = browser_->folder();
    const QChar sep = nativeSeparator();
    const QString path = dir.endsWith(sep) ? dir + name : dir + sep + name;
    return namesIgnoreCase() ? path.toUpper() : path;
}

void MainM::lookAhead(bool keepCurrent)
{
    // A picture that could not be read is not read again for nothing.
    QStringList paths;
    if (keepCurrent)
        paths.append(currentFile_);
    for (const int step : {1, -1}) {
        const QString name = fileFilter_->neighbourName(step);
        if (name.isEmpty())
            continue;
        const QString path = pathInFolder(name);
        if (path == leftUnfinished_)
            continue;
        const DispatchPlan plan = planDispatch(path, cmbFiles_->currentIndex());
        if (plan.byTail == FileAction::ShowPicture && !plan.playModuleFirst && !plan.handHtmlFirst)
            paths.append(path);
    }
    preloader_->want(paths);
}

void MainM::showReadError()
{
    ctx_.prompts().message(ctx_.text(54) + QLatin1Char('\r') + ctx_.text(55), ctx_.text(56), PromptIcon::Critical,
                           PromptButtons::Ok);
}

void MainM::pictureTurnedUnreadable()
{
    // A metafile whose records fail after it began to show: gone, as if it had failed to load.
    clearPictureArea();
    disablePictureControls();
    showReadError();
}

void MainM::clearPictureArea()
{
    // A picture still being sized is dropped with the one shown: its walk stops.
    pendingPicture_.reset();
    Open_->unsetCursor();
    Open_->clearPicture();
}

void MainM::disablePictureControls()
{
    for (QScrollBar* bar : {hscrPic_, vscrPic_}) {
        const QSignalBlocker block(bar);
        bar->setEnabled(false);
    }
    btnFull_->setEnabled(false);
}

void MainM::showPicture()
{
    const BusyCursor busy;
    // A picture left before it was whole is not finished on the side: stepping on quickly, its
    // decoding would only compete with the one the user waits for.
    const Picture& leaving = Open_->picture();
    leftUnfinished_ = leaving.completion && !leaving.completion->isDone() ? shownFile_ : QString();
    shownFile_.clear();
    clearPictureArea();
    if (!preloader_) {
        // The shown picture and one on each side.
        preloader_ = new PicturePreloader(*ctx_.services().pictures, 3, this);
        connect(browser_, &FolderBrowser::folderChanged, preloader_, &PicturePreloader::clear);
    }
    std::optional<PictureResult> ahead = preloader_->take(currentFile_);
    const bool decodedAhead = ahead.has_value();
    const PictureResult r = decodedAhead ? std::move(*ahead) : ctx_.services().pictures->load(currentFile_);
    if (r.isPending()) {
        showWhenSized(r.pending);
        return;
    }
    showLoaded(r, decodedAhead);
}

void MainM::showLoaded(const PictureResult& r, bool decodedAhead)
{
    if (!decodedAhead)
        preloader_->add(currentFile_, r.picture);
    lookAhead(r.ok());
    if (!r.ok())
        throw DispatchFailure{r.error};
    Open_->setPicture(r.picture);
    shownFile_ = currentFile_;
    btnFull_->setEnabled(true);
    setUpScrollBars();
}

void MainM::showWhenSized(std::shared_ptr<PendingPicture> pending)
{
    // Until its size is known the area stays empty, the window answers, and the pointer over
    // the area says work goes on, as a large JPEG's rows come in behind the window.
    disablePictureControls();
    Open_->setCursor(Qt::BusyCursor);
    pendingPicture_ = std::move(pending);
    PendingPicture* p = pendingPicture_.get();
    connect(p, &PendingPicture::finished, this, [this, p] {
        if (pendingPicture_.get() != p)
            return;
        const std::shared_ptr<PendingPicture> done = std::exchange(pendingPicture_, nullptr);
        Open_->unsetCursor();
        try {
            showLoaded(done->result(), false);
        } catch (const DispatchFailure&) {
            pictureTurnedUnreadable();
        }
        // It is the object emitting: it goes from the event loop, not from within its signal.
        QTimer::singleShot(0, QCoreApplication::instance(), [done] {});
    });
}

void MainM::setUpScrollBars()
{
    const ScreenMetrics& screen = *ctx_.services().screen;
    const QSize h = Open_->himetric();
    const ScrollAxis across = scrollAxis(h.width(), kPictureBoxWidthTwips, screen.twipsPerPixelX());
    const ScrollAxis down = scrollAxis(h.height(), kPictureBoxHeightTwips, screen.twipsPerPixelY());
    const auto apply = [](QScrollBar* bar, const ScrollAxis& a) {
        const QSignalBlocker block(bar);
        bar->setValue(0);
        bar->setRange(0, a.maximum);
        bar->setPageStep(std::max(a.largeStep, 1));
        bar->setSingleStep(std::max(a.smallStep, 1));
        bar->setEnabled(a.enabled);
    };
    apply(hscrPic_, across);
    apply(vscrPic_, down);
    scrollPicture();
}

void MainM::scrollByWheel(const QWheelEvent& e)
{
    const WheelSteps::Steps s = wheel_.turn(e.angleDelta().x(), e.angleDelta().y(),
                                            e.modifiers().testFlag(Qt::ShiftModifier), QApplication::wheelScrollLines());
    // Through the scroll bars, so their Change handler does the rest; a disabled bar (the
    // picture fits) does not move.
    for (auto [bar, steps] : {std::pair{hscrPic_, s.across}, std::pair{vscrPic_, s.down}})
        if (steps != 0 && bar->isEnabled())
            bar->setValue(bar->value() + steps * bar->singleStep());
}

void MainM::scrollPicture()
{
    const ScreenMetrics& screen = *ctx_.services().screen;
    Open_->setOffset(QPoint(int(std::lround(hscrPic_->value() / screen.twipsPerPixelX())),
                           int(std::lround(vscrPic_->value() / screen.twipsPerPixelY()))));
}

void MainM::runProgram()
{
    // The name as the list shows it; a command-line program has no list entry, so its file name.
    QString shown = fileFilter_->selectedName();
    if (openedFromCommandLine_ || shown.isEmpty())
        shown = currentFile_.mid(currentFile_.lastIndexOf(u'/') + 1);
    const QString question = ctx_.text(57) + QLatin1Char('\r') + printableFileName(shown);
    const PromptAnswer answer = ctx_.prompts().message(question, ctx_.text(58), PromptIcon::Question,
                                                       PromptButtons::YesNo);
    if (answer == PromptAnswer::Yes) {
        const QString parameters = ctx_.prompts().input(ctx_.text(59), ctx_.text(60), QString()).value_or(QString());
        if (!ctx_.services().desktop->runProgram(currentFile_, parameters))
            throw DispatchFailure{QStringLiteral("cannot start program")};
    }
    currentFile_ = previousFile_;
}

void MainM::playSound()
{
    const BusyCursor busy;
    clearPictureArea();
    imgWave_->show();
    soundShown_ = 1;
    disablePictureControls();
    ctx_.services().sound->play(currentFile_);
}

void MainM::playVideo()
{
    disablePictureControls();
    clearPictureArea();
    imgAvi_->show();
    const PromptAnswer answer = ctx_.prompts().message(ctx_.text(107), ctx_.text(108), PromptIcon::Information,
                                                       PromptButtons::YesNo);
    ctx_.services().media->passKeysTo(this);
    if (!ctx_.services().media->play(currentFile_, answer == PromptAnswer::Yes))
        throw DispatchFailure{QStringLiteral("cannot play video")};
}

void MainM::playModule()
{
    if (!ctx_.shell().playModule(currentFile_))
        throw DispatchFailure{QStringLiteral("no module plug-in")};
}

void MainM::btnFull_Click()
{
    if (!Open_->hasPicture() || soundShown_ != 0)
        return;
    ctx_.setSinglePictureMode(true);
    FullScreenView& view = ctx_.shell().fullScreenView();
    view.setCaption(currentFile_ + QStringLiteral(" [Full Screen]"));
    view.showView();
    const ScreenMetrics& screen = *ctx_.services().screen;
    const QSize px = view.viewSizePixels();
    const QSize h = Open_->himetric();
    fullScreenX_ = fullScreenOffset(px.width() * screen.twipsPerPixelX(), h.width(), kFullScreenDivisorX);
    fullScreenY_ = fullScreenOffset(px.height() * screen.twipsPerPixelY(), h.height(), kFullScreenDivisorY);
    // The offsets are kept in twips; the window draws in pixels.
    const QPoint at(int(std::lround(fullScreenX_ / screen.twipsPerPixelX())),
                    int(std::lround(fullScreenY_ / screen.twipsPerPixelY())));
    const Picture& picture = Open_->picture();
    if (!picture.vector) {
        view.drawPicture(Open_->image(), at);
        return;
    }
    // A metafile is drawn for the part the screen shows, off this thread; black until it comes.
    view.drawPicture(QImage(), at);
    const QRect part = QRect(-at, px).intersected(QRect(QPoint(), picture.size()));
    const std::weak_ptr<VectorPicture> shown = picture.vector;
    picture.vector->renderPart(part, this, [this, shown, at, part](const QImage& image) {
        if (!ctx_.singlePictureMode() || Open_->picture().vector != shown.lock())
            return;
        ctx_.shell().fullScreenView().drawPicture(image, at + part.topLeft());
    });
}

void MainM::trayIcon_Message(TrayMessage message)
{
    if (message == TrayMessage::LeftDoubleClick) {
        if (isVisible()) {
            setWindowState(windowState() & ~(Qt::WindowMinimized | Qt::WindowMaximized));
            bringToFront(this, *ctx_.services().screen);
        }
    } else if (message == TrayMessage::RightButtonUp) {
        mnuTray_->popup(QCursor::pos());
    }
}

void MainM::mnuControl_Click()
{
    // Nothing happens on a desktop without a settings application.
    ctx_.services().desktop->openSettings();
}

void MainM::lblURL_Click()
{
    ctx_.services().desktop->openDocument(AppContext::SiteAddress);
}

void MainM::GoPrint_Click()
{
    if (!Open_->hasPicture() || soundShown_ == 1)
        return;
    const ScreenMetrics& screen = *ctx_.services().screen;
    const double dpiX = 1440.0 / screen.twipsPerPixelX();
    const double dpiY = 1440.0 / screen.twipsPerPixelY();
    PrinterService& printer = *ctx_.services().printer;
    const Picture& picture = Open_->picture();
    if (!picture.vector) {
        reportPrint(printer.printPicture(Open_->image(), dpiX, dpiY));
        return;
    }
    // A metafile is drawn for the part the page holds, off this thread, and printed when done,
    // even if another file is opened meanwhile.
    const QSize page = printer.printableSize(dpiX, dpiY);
    if (page.isEmpty()) {
        reportPrint(PrintOutcome::NoPrinter);
        return;
    }
    const QRect part = QRect(QPoint(), page).intersected(QRect(QPoint(), picture.size()));
    if (part.isEmpty())
        return;
    picture.vector->renderPart(part, this, [this, keep = picture.vector, dpiX, dpiY](const QImage& image) {
        if (!image.isNull())
            reportPrint(ctx_.services().printer->printPicture(image, dpiX, dpiY));
    });
}

void MainM::reportPrint(PrintOutcome outcome)
{
    QString why;
    if (outcome == PrintOutcome::NoPrinter)
        why = ctx_.text(110);
    else if (outcome == PrintOutcome::Failed)
        why = ctx_.text(111);
    if (!why.isEmpty())
        ctx_.prompts().message(why, AppContext::AppName, PromptIcon::Exclamation, PromptButtons::Ok);
}

void MainM::printerSetup_Click()
{
    ctx_.services().printer->setup(this);
}

void MainM::dirDrive_Change()
{
    StatusBar_->setPanelText(1, displayFolder(browser_->folder()));
}

void MainM::dirDrive_KeyPress(int keyAscii)
{
    if (keyAscii == 13)
        dirDrive_->openHighlighted();
}

void MainM::btnPrev_Click()
{
    browser_->enterParent();
}

void MainM::btnRoot_Click()
{
    browser_->enterRoot();
}

void MainM::drvChoose_Change()
{
    const QString drive = drvChoose_->drive();
    if (browser_->enterDrive(drive)) {
        StatusBar_->setPanelText(1, namesIgnoreCase() ? browser_->folder().toUpper() : browser_->folder());
        return;
    }
    ctx_.prompts().message(ctx_.text(FolderBrowser::DriveErrorText), AppContext::AppName, PromptIcon::Critical,
                           PromptButtons::Ok);
    const QString fallback = browser_->fallbackDrive(drive);
    if (!fallback.isEmpty()) {
        drvChoose_->setDrive(fallback);  // raises drvChoose_Change for the fallback drive
        return;
    }
    // The fallback is gone as well: settle on "/" without asking again.
    browser_->enter(QStringLiteral("/"));
    StatusBar_->setPanelText(1, browser_->folder());
}

void MainM::closeEvent(QCloseEvent* e)
{
    // The close box and both Quit entries come here: the other windows are asked first, and a
    // No from any of them keeps the program (and this window) as it is.
    if (!unloaded_ && !ctx_.shell().mayEndProgram()) {
        e->ignore();
        return;
    }
    // Form_Unload: the tray icon goes, then the program ends.
    if (!unloaded_) {
        unloaded_ = true;
        ctx_.services().tray->remove(this);
    }
    e->accept();
    // Ends the event loop at once; no other window's close handler runs.
    QCoreApplication::exit(0);
}

bool MainM::eventFilter(QObject* watched, QEvent* e)
{
    if (watched == Open_ && e->type() == QEvent::Wheel) {
        scrollByWheel(*static_cast<QWheelEvent*>(e));
        return true;
    }
    if (watched == lblURL_) {
        if (e->type() == QEvent::MouseButtonPress) {
            lblURL_->setStyleSheet(QStringLiteral("color: rgb(255,0,0);"));
        } else if (e->type() == QEvent::MouseButtonRelease) {
            lblURL_->setStyleSheet(QStringLiteral("color: rgb(0,0,255);"));
            const auto* me = static_cast<QMouseEvent*>(e);
            if (me->button() == Qt::LeftButton && lblURL_->rect().contains(me->position().toPoint()))
                lblURL_Click();
        } else if (e->type() == QEvent::MouseMove) {
            StatusBar_->setPanelText(1, ctx_.text(8));
        }
        return QMainWindow::eventFilter(watched, e);
    }
    if (e->type() == QEvent::MouseMove) {
        if (watched == btnPrev_)
            StatusBar_->setPanelText(1, ctx_.text(9));
        else if (watched == btnRoot_)
            StatusBar_->setPanelText(1, ctx_.text(10));
        else if (watched == btnFull_)
            StatusBar_->setPanelText(1, ctx_.text(7));
        else if (watched == Open_) {
            const QString tail = currentFile_.right(3).toLower();
            const bool describe = Open_->hasPicture() || tail == QLatin1String("mp3") || tail == QLatin1String("mid");
            StatusBar_->setPanelText(1, describe ? currentFile_ : ctx_.text(11));
        }
    }
    return QMainWindow::eventFilter(watched, e);
}

} // namespace orv
