#include "browser/mainm.h"

#include "browser/core/dispatchtable.h"
#include "browser/core/filepatterns.h"
#include "browser/core/scrollsetup.h"
#include "browser/core/folderentries.h"
#include "browser/drivelistbox.h"
#include "browser/filelistview.h"
#include "browser/folderlistview.h"
#include "browser/picturebox.h"
#include "browser/statusbar.h"
#include "common/appcontext.h"
#include "common/art.h"
#include "common/core/paths.h"
#include "common/core/prompts.h"
#include "common/core/settingsstore.h"
#include "common/twipslayout.h"
#include "common/fullscreenview.h"
#include "platform/mediacontrol.h"
#include "pictures/pictureloader.h"
#include "platform/printerservice.h"
#include "platform/processenvironment.h"
#include "platform/shell.h"
#include "platform/soundplayer.h"
#include "platform/screenmetrics.h"
#include "platform/trayicons.h"
#include "platform/volumelist.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QCursor>
#include <QDir>
#include <QEvent>
#include <QFileInfo>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPushButton>
#include <QScrollBar>
#include <QSignalBlocker>
#include <cmath>

namespace orv {

namespace {

const QString kTrayTip = QStringLiteral("Orvane Viewer");

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
    setWindowTitle(QStringLiteral("Orvane Viewer"));
    buildMenus();
    buildControls();
}

MainM::~MainM() = default;

void MainM::buildMenus()
{
    QMenuBar* bar = menuBar();
    mnuQuit = bar->addAction(QStringLiteral("&Quit"));
    mnuQuit->setObjectName(QStringLiteral("mnuQuit"));
    mnuModules = bar->addMenu(QStringLiteral("&Modules"));
    mnuModules->setObjectName(QStringLiteral("mnuModules"));
    mnuSlide = addEntry(mnuModules, QStringLiteral("mnuSlide"), QStringLiteral("&Slide Show"));
    mnuSlide->setShortcut(Qt::Key_F1);
    mnuText = addEntry(mnuModules, QStringLiteral("mnuText"), QStringLiteral("&Text Editor"));
    mnuText->setShortcut(Qt::Key_F2);
    mnuPalView = addEntry(mnuModules, QStringLiteral("mnuPalView"), QStringLiteral("&Palette Viewer"));
    mnuPalView->setShortcut(Qt::Key_F3);
    mnuModules->addSeparator()->setObjectName(QStringLiteral("mnuBlank"));
    mnuControl = addEntry(mnuModules, QStringLiteral("mnuControl"), QStringLiteral("&Control Panel"));
    mnuControl->setShortcut(Qt::Key_F4);
    mnuOptions = bar->addAction(QStringLiteral("&Options"));
    mnuOptions->setObjectName(QStringLiteral("mnuOptions"));
    mnuAbout = bar->addAction(QStringLiteral("&About..."));
    mnuAbout->setObjectName(QStringLiteral("mnuAbout"));

    mnuTray = new QMenu(QStringLiteral("Tray"), this);
    mnuTray->setObjectName(QStringLiteral("mnuTray"));
    mnuTraySlide = addEntry(mnuTray, QStringLiteral("mnuTraySlide"), QStringLiteral("&Slide Show"));
    mnuTrayEditor = addEntry(mnuTray, QStringLiteral("mnuTrayEditor"), QStringLiteral("&Text Editor"));
    mnuTrayPal = addEntry(mnuTray, QStringLiteral("mnuTrayPal"), QStringLiteral("&Palette Viewer"));
    mnuTray->addSeparator()->setObjectName(QStringLiteral("void"));
    mnuTrayMaxi = addEntry(mnuTray, QStringLiteral("mnuTrayMaxi"), QStringLiteral("&Maximize"));
    mnuTrayQuit = addEntry(mnuTray, QStringLiteral("mnuTrayQuit"), QStringLiteral("&Quit"));

    popupF = new QMenu(QStringLiteral("popupF"), this);
    popupF->setObjectName(QStringLiteral("popupF"));
    const QString ppNames[] = {QStringLiteral("ppall"), QStringLiteral("ppaudio"), QStringLiteral("ppavi"),
                               QStringLiteral("ppexe"), QStringLiteral("pphlp"), QStringLiteral("pphtml"),
                               QStringLiteral("pppic"), QStringLiteral("pptxt")};
    const QString ppCaptions[] = {QStringLiteral("&All"), QStringLiteral("A&udio"), QStringLiteral("A&vi"),
                                  QStringLiteral("&Executable"), QStringLiteral("&Help"),
                                  QStringLiteral("HT&ML"), QStringLiteral("&Pictures"), QStringLiteral("&Text")};
    QAction** ppActions[] = {&ppall, &ppaudio, &ppavi, &ppexe, &pphlp, &pphtml, &pppic, &pptxt};
    for (int i = 0; i < 8; ++i) {
        *ppActions[i] = addEntry(popupF, ppNames[i], ppCaptions[i]);
        connect(*ppActions[i], &QAction::triggered, this, [this, i] { selectFileType(i); });
    }

    EasyBrowse = new QMenu(QStringLiteral("EasyBrowse"), this);
    EasyBrowse->setObjectName(QStringLiteral("EasyBrowse"));
    Root = addEntry(EasyBrowse, QStringLiteral("Root"), QStringLiteral("&Root"));
    Previous = addEntry(EasyBrowse, QStringLiteral("Previous"), QStringLiteral("&Previous"));
    connect(Root, &QAction::triggered, this, &MainM::btnRoot_Click);
    connect(Previous, &QAction::triggered, this, &MainM::btnPrev_Click);

    printMnu = new QMenu(QStringLiteral("printMnu"), this);
    printMnu->setObjectName(QStringLiteral("printMnu"));
    printerSetup = addEntry(printMnu, QStringLiteral("printerSetup"), QStringLiteral("&Setup..."));
    GoPrint = addEntry(printMnu, QStringLiteral("GoPrint"), QStringLiteral("&Print"));

    connect(mnuQuit, &QAction::triggered, this, &QWidget::close);
    connect(mnuTrayQuit, &QAction::triggered, this, &QWidget::close);
    connect(mnuSlide, &QAction::triggered, this, [this] { ctx_.shell().showSlideShowEditor(); });
    connect(mnuTraySlide, &QAction::triggered, this, [this] { ctx_.shell().showSlideShowEditor(); });
    connect(mnuPalView, &QAction::triggered, this, [this] { ctx_.shell().showPaletteViewer(); });
    connect(mnuTrayPal, &QAction::triggered, this, [this] { ctx_.shell().showPaletteViewer(); });
    connect(mnuOptions, &QAction::triggered, this, [this] { ctx_.shell().showOptions(); });
    connect(mnuAbout, &QAction::triggered, this, [this] { ctx_.shell().showAbout(); });
    connect(mnuControl, &QAction::triggered, this, &MainM::mnuControl_Click);
    connect(mnuTrayMaxi, &QAction::triggered, this, [this] {
        setWindowState(windowState() & ~(Qt::WindowMinimized | Qt::WindowMaximized));
        if (isVisible())
            activateWindow();
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

    Open = new PictureBox(client);
    Open->setObjectName(QStringLiteral("Open"));
    Open->setMouseTracking(true);
    Open->installEventFilter(this);
    L.place(Open, 0, 0, 4335, 4575);

    imgAvi = new QLabel(Open);
    imgAvi->setObjectName(QStringLiteral("imgAvi"));
    imgAvi->setPixmap(QPixmap::fromImage(artImage("video")));
    L.place(imgAvi, 1920, 1800, 720, 720);
    imgAvi->hide();
    imgWave = new QLabel(Open);
    imgWave->setObjectName(QStringLiteral("imgWave"));
    imgWave->setPixmap(QPixmap::fromImage(artImage("wave")));
    L.place(imgWave, 1920, 1800, 720, 720);
    imgWave->hide();

    vscrPic = new QScrollBar(Qt::Vertical, client);
    vscrPic->setObjectName(QStringLiteral("vscrPic"));
    L.place(vscrPic, 4320, 0, 255, 4575);
    hscrPic = new QScrollBar(Qt::Horizontal, client);
    hscrPic->setObjectName(QStringLiteral("hscrPic"));
    L.place(hscrPic, 0, 4560, 4335, 255);
    // No picture yet: nothing to scroll.
    for (QScrollBar* bar : {vscrPic, hscrPic}) {
        bar->setRange(0, 0);
        bar->setEnabled(false);
    }

    btnFull = new QPushButton(QStringLiteral("F"), client);
    btnFull->setObjectName(QStringLiteral("btnFull"));
    L.place(btnFull, 4320, 4560, 255, 255);
    btnFull->setEnabled(false);

    ProcessEnvironment& proc = *ctx_.services().process;
    dirDrive = new FolderListView(client);
    dirDrive->setObjectName(QStringLiteral("dirDrive"));
    L.place(dirDrive, 4680, 0, 2535, 3855);

    drvChoose = new DriveListBox(*ctx_.services().volumes, client);
    drvChoose->setObjectName(QStringLiteral("drvChoose"));
    L.place(drvChoose, 4680, 4080, 1815, 315);

    btnPrev = new QPushButton(QStringLiteral(".."), client);
    btnPrev->setObjectName(QStringLiteral("btnPrev"));
    L.place(btnPrev, 6600, 4110, 255, 255);
    btnRoot = new QPushButton(QStringLiteral("/"), client);
    btnRoot->setObjectName(QStringLiteral("btnRoot"));
    L.place(btnRoot, 6960, 4110, 255, 255);

    fileFilter = new FileListView(client);
    fileFilter->setObjectName(QStringLiteral("fileFilter"));
    L.place(fileFilter, 7320, 0, 2175, 3600);

    cmbFiles = new QComboBox(client);
    cmbFiles->setObjectName(QStringLiteral("cmbFiles"));
    L.place(cmbFiles, 7320, 4080, 2175, 315);
    for (int i = 0; i < 8; ++i)
        cmbFiles->addItem(QString());
    cmbFiles->setCurrentIndex(-1);

    lblVersion = new QLabel(QStringLiteral("v1.7"), client);
    lblVersion->setObjectName(QStringLiteral("lblVersion"));
    L.place(lblVersion, 6840, 4560, 585, 195);  // wide enough for the text in any font
    lblCopyright = new QLabel(QStringLiteral("© 2026 Orvane Viewer developers"), client);
    lblCopyright->setObjectName(QStringLiteral("lblCopyright"));
    L.place(lblCopyright, 4680, 4560, 1965, 195);
    lblURL = new QLabel(AppContext::SiteAddress.mid(8), client);
    lblURL->setObjectName(QStringLiteral("lblURL"));
    lblURL->setStyleSheet(QStringLiteral("color: rgb(0,0,255);"));
    lblURL->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    lblURL->setCursor(Qt::PointingHandCursor);
    L.place(lblURL, 7440, 4560, 2055, 375);
    imgBanner = new QLabel(client);
    imgBanner->setObjectName(QStringLiteral("imgBanner"));
    imgBanner->setPixmap(QPixmap::fromImage(artImage("banner-vertical")));
    imgBanner->setScaledContents(true);
    L.place(imgBanner, 9600, 0, 465, 4845);

    StatusBar = new StatusPanels(this);
    StatusBar->setObjectName(QStringLiteral("StatusBar"));
    StatusBar->setFont(small);
    setStatusBar(StatusBar);
    StatusBar->setPanelText(1, QStringLiteral("Orvane Viewer"));

    for (QWidget* w : {static_cast<QWidget*>(btnPrev), static_cast<QWidget*>(btnRoot),
                       static_cast<QWidget*>(btnFull), static_cast<QWidget*>(lblURL)}) {
        w->setMouseTracking(true);
        w->installEventFilter(this);
    }

    // The lists start at the folder the program was launched in, as created.
    const QString launch = proc.currentFolder();
    if (!dirDrive->setPath(launch))
        dirDrive->setPath(QStringLiteral("/"));
    fileFilter->setFolder(dirDrive->path());
    drvChoose->showDrive(volumeRootOf(dirDrive->path(), drvChoose->volumes()));

    connect(cmbFiles, &QComboBox::currentIndexChanged, this, [this](int) { cmbFiles_Click(); });
    connect(dirDrive, &FolderListView::folderChanged, this, &MainM::dirDrive_Change);
    connect(dirDrive, &FolderListView::enterPressed, this, [this] { dirDrive_KeyPress(13); });
    connect(dirDrive, &FolderListView::rightButtonPressed, this, [this](QPoint p) { EasyBrowse->popup(p); });
    connect(fileFilter, &FileListView::rightButtonPressed, this, [this](QPoint p) { popupF->popup(p); });
    connect(fileFilter, &FileListView::fileClicked, this, &MainM::fileFilter_Click);
    connect(drvChoose, &DriveListBox::driveChanged, this, &MainM::drvChoose_Change);
    connect(btnPrev, &QPushButton::clicked, this, &MainM::btnPrev_Click);
    connect(btnRoot, &QPushButton::clicked, this, &MainM::btnRoot_Click);
    connect(btnFull, &QPushButton::clicked, this, &MainM::btnFull_Click);
    connect(hscrPic, &QScrollBar::valueChanged, this, &MainM::scrollPicture);
    connect(vscrPic, &QScrollBar::valueChanged, this, &MainM::scrollPicture);
    connect(Open, &PictureBox::rightButtonPressed, this, [this](QPoint p) {
        if (Open->hasPicture() && soundShown == 0)
            printMnu->popup(p);
    });
    connect(GoPrint, &QAction::triggered, this, &MainM::GoPrint_Click);
    connect(printerSetup, &QAction::triggered, this, &MainM::printerSetup_Click);

    setFixedSize(sizeHint());
}

QString MainM::programVolumeRoot() const
{
    return volumeRootOf(ctx_.services().process->executableFolder(), ctx_.services().volumes->volumes());
}

QString MainM::startupCommandLine() const
{
    QString cmd = ctx_.services().process->arguments().join(QLatin1Char(' '));
    if (cmd.isEmpty())
        return cmd;
    // A path wrapped in double quotes (as some launchers pass it) names the path inside.
    if (cmd.size() >= 2 && cmd.startsWith(QLatin1Char('"')) && cmd.endsWith(QLatin1Char('"'))
        && !QFileInfo::exists(cmd))
        cmd = cmd.mid(1, cmd.size() - 2);
    if (QDir::isRelativePath(cmd))
        cmd = QDir(ctx_.services().process->launchFolder()).absoluteFilePath(cmd);
    return cmd;
}

void MainM::Form_Load()
{
    AppShell& shell = ctx_.shell();
    shell.showSplash();

    const QSize screen = ctx_.services().screen->screenPixels();
    adjustSize();
    move((screen.width() - width()) / 2, (screen.height() - height()) / 2);

    const double tppX = ctx_.services().screen->twipsPerPixelX();
    ctx_.services().tray->add(this, kTrayTip, windowIcon(),
                              [this, tppX](int message) { Form_MouseMove(0, 0, message * tppX, 0); });

    selectFileType(0);

    QString start = ctx_.store().read(AppContext::AppName, QStringLiteral("Settings"), QStringLiteral("DefaultDir"));
    if (start.isEmpty())
        start = programVolumeRoot();
    ProcessEnvironment& proc = *ctx_.services().process;
    if (!proc.setCurrentFolder(start)) {
        // A start folder that has gone (a removed disc, a deleted folder) is not fatal.
        start = programVolumeRoot();
        if (!proc.setCurrentFolder(start)) {
            start = QStringLiteral("/");
            proc.setCurrentFolder(start);
        }
    }

    const QString cmd = startupCommandLine();
    if (!cmd.isEmpty()) {
        const QString parent = ParentFolder(cmd);
        if (parent != kNoParent) {
            currentFile = cmd;
            openedFromCommandLine = 1;
            enterFolderOrFallback(parent);
            fileFilter_Click();
        }
    } else {
        enterFolderOrFallback(start);
    }
}

void MainM::enterFolderOrFallback(const QString& path)
{
    if (dirDrive->setPath(path))
        return;
    const QString current = ctx_.services().process->currentFolder();
    if (dirDrive->setPath(current))
        return;
    if (dirDrive->setPath(programVolumeRoot()))
        return;
    dirDrive->setPath(QStringLiteral("/"));
}

void MainM::selectFileType(int entry)
{
    if (cmbFiles->currentIndex() == entry)
        cmbFiles_Click();
    else
        cmbFiles->setCurrentIndex(entry);  // raises cmbFiles_Click
}

void MainM::cmbFiles_Click()
{
    const int i = cmbFiles->currentIndex();
    if (i < 0 || i >= int(FilterPatterns.size()))
        return;
    fileFilter->setPattern(FilterPatterns[size_t(i)]);
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
        soundShown = 0;
        previousFile = currentFile;
        imgWave->hide();
        imgAvi->hide();

        if (!openedFromCommandLine) {
            const QString name = fileFilter->selectedName();
            if (name.isEmpty())
                return;
            const QString dir = dirDrive->path();
            const QChar sep = nativeSeparator();
            currentFile = dir.endsWith(sep) ? dir + name : dir + sep + name;
            if (namesIgnoreCase())
                currentFile = currentFile.toUpper();
        }

        StatusBar->setPanelText(1, displayFolder(currentFile));

        const DispatchPlan plan = planDispatch(currentFile, cmbFiles->currentIndex());
        if (plan.playModuleFirst)
            playModule();
        if (plan.handHtmlFirst) {
            if (!ctx_.services().desktop->openDocument(currentFile))
                throw DispatchFailure{QStringLiteral("cannot hand over")};
            currentFile = previousFile;
        }
        switch (plan.byTail) {
        case FileAction::None:
            break;
        case FileAction::ShowPicture:
            showPicture();
            break;
        case FileAction::OpenInEditor:
            ctx_.pendingEditorFile = currentFile;
            ctx_.shell().showTextEditor();
            ctx_.pendingEditorFile.clear();
            break;
        case FileAction::RunProgram:
            runProgram();
            break;
        case FileAction::OpenHelp:
            if (!ctx_.services().desktop->openHelp(currentFile))
                throw DispatchFailure{QStringLiteral("cannot open help")};
            currentFile = previousFile;
            break;
        case FileAction::HandToSystem:
            if (!ctx_.services().desktop->openDocument(currentFile))
                throw DispatchFailure{QStringLiteral("cannot hand over")};
            currentFile = previousFile;
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
        if (openedFromCommandLine)
            openedFromCommandLine = 0;
    } catch (const DispatchFailure&) {
        ctx_.prompts().message(ctx_.text(54) + QLatin1Char('\r') + ctx_.text(55), ctx_.text(56),
                               PromptIcon::Critical, PromptButtons::Ok);
        if (openedFromCommandLine)
            openedFromCommandLine = 0;
    }
}

void MainM::clearPictureArea()
{
    Open->clearPicture();
}

void MainM::disablePictureControls()
{
    for (QScrollBar* bar : {hscrPic, vscrPic}) {
        const QSignalBlocker block(bar);
        bar->setEnabled(false);
    }
    btnFull->setEnabled(false);
}

void MainM::showPicture()
{
    const BusyCursor busy;
    clearPictureArea();
    const PictureResult r = ctx_.services().pictures->load(currentFile);
    if (!r.ok())
        throw DispatchFailure{r.error};
    Open->setPicture(r.picture);
    btnFull->setEnabled(true);
    setUpScrollBars();
}

void MainM::setUpScrollBars()
{
    const ScreenMetrics& screen = *ctx_.services().screen;
    const QSize h = Open->himetric();
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
    apply(hscrPic, across);
    apply(vscrPic, down);
    scrollPicture();
}

void MainM::scrollPicture()
{
    const ScreenMetrics& screen = *ctx_.services().screen;
    Open->setOffset(QPoint(int(std::lround(hscrPic->value() / screen.twipsPerPixelX())),
                           int(std::lround(vscrPic->value() / screen.twipsPerPixelY()))));
}

void MainM::runProgram()
{
    // The name as the list shows it; a command-line program has no list entry, so its file name.
    QString shown = fileFilter->selectedName();
    if (openedFromCommandLine || shown.isEmpty())
        shown = QFileInfo(currentFile).fileName();
    const PromptAnswer answer = ctx_.prompts().message(ctx_.text(57) + QLatin1Char('\r') + shown, ctx_.text(58),
                                                       PromptIcon::Question, PromptButtons::YesNo);
    if (answer == PromptAnswer::Yes) {
        const QString parameters = ctx_.prompts().input(ctx_.text(59), ctx_.text(60), QString()).value_or(QString());
        if (!ctx_.services().desktop->runProgram(currentFile, parameters))
            throw DispatchFailure{QStringLiteral("cannot start program")};
    }
    currentFile = previousFile;
}

void MainM::playSound()
{
    const BusyCursor busy;
    clearPictureArea();
    imgWave->show();
    soundShown = 1;
    disablePictureControls();
    ctx_.services().sound->play(currentFile);
}

void MainM::playVideo()
{
    disablePictureControls();
    clearPictureArea();
    imgAvi->show();
    const PromptAnswer answer = ctx_.prompts().message(ctx_.text(107), ctx_.text(108), PromptIcon::Information,
                                                       PromptButtons::YesNo);
    if (!ctx_.services().media->sendString(QStringLiteral("play ") + currentFile
                                           + (answer == PromptAnswer::Yes ? QStringLiteral(" fullscreen") : QString())))
        throw DispatchFailure{QStringLiteral("cannot play video")};
}

void MainM::playModule()
{
    if (!ctx_.shell().playModule(currentFile))
        throw DispatchFailure{QStringLiteral("no module plug-in")};
}

void MainM::btnFull_Click()
{
    if (!Open->hasPicture() || soundShown != 0)
        return;
    ctx_.singlePictureMode = 1;
    FullScreenView& view = ctx_.shell().fullScreenView();
    view.setCaption(currentFile + QStringLiteral(" [Full Screen]"));
    view.showView();
    const ScreenMetrics& screen = *ctx_.services().screen;
    const QSize px = view.viewSizePixels();
    const QSize h = Open->himetric();
    fullScreenX = fullScreenOffset(px.width() * screen.twipsPerPixelX(), h.width(), kFullScreenDivisorX);
    fullScreenY = fullScreenOffset(px.height() * screen.twipsPerPixelY(), h.height(), kFullScreenDivisorY);
    // The offsets are kept in twips; the window draws in pixels.
    view.drawPicture(Open->image(), QPoint(int(std::lround(fullScreenX / screen.twipsPerPixelX())),
                                           int(std::lround(fullScreenY / screen.twipsPerPixelY()))));
}

void MainM::Form_MouseMove(int, int, double x, double)
{
    // Pixels from twips, halves to even: the message number.
    const long long message = static_cast<long long>(std::nearbyint(x / ctx_.services().screen->twipsPerPixelX()));
    if (message == TrayLeftDoubleClick) {
        if (isVisible()) {
            setWindowState(windowState() & ~(Qt::WindowMinimized | Qt::WindowMaximized));
            activateWindow();
        }
    } else if (message == TrayRightButtonUp) {
        mnuTray->popup(QCursor::pos());
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
    if (!Open->hasPicture() || soundShown == 1)
        return;
    const ScreenMetrics& screen = *ctx_.services().screen;
    ctx_.services().printer->printPicture(Open->image(), 1440.0 / screen.twipsPerPixelX(),
                                          1440.0 / screen.twipsPerPixelY());
}

void MainM::printerSetup_Click()
{
    ctx_.services().printer->setup(this);
}

void MainM::dirDrive_Change()
{
    fileFilter->setFolder(dirDrive->path());
    drvChoose->showDrive(volumeRootOf(dirDrive->path(), drvChoose->volumes()));
    StatusBar->setPanelText(1, displayFolder(fileFilter->folder()));
}

void MainM::dirDrive_KeyPress(int keyAscii)
{
    if (keyAscii == 13)
        dirDrive->openHighlighted();
}

void MainM::btnPrev_Click()
{
    const QString p = dirDrive->path();
    // The root of a volume has no parent here.
    if (p == volumeRootOf(p, drvChoose->volumes()))
        return;
    dirDrive->setPath(p + QStringLiteral("/.."));
}

void MainM::btnRoot_Click()
{
    dirDrive->setPath(volumeRootOf(dirDrive->path(), drvChoose->volumes()));
}

void MainM::drvChoose_Change()
{
    const QString fallback = volumeRootOf(ctx_.services().process->currentFolder(), drvChoose->volumes());
    const QString drive = drvChoose->drive();
    // The drive's "current folder": the process's own when it is on that drive, else its root.
    const QString cwd = ctx_.services().process->currentFolder();
    const QString target = volumeRootOf(cwd, drvChoose->volumes()) == drive ? cwd : drive;
    const bool ok = ctx_.services().volumes->isReady(drive) && dirDrive->setPath(target);
    if (ok) {
        StatusBar->setPanelText(1, namesIgnoreCase() ? dirDrive->path().toUpper() : dirDrive->path());
        return;
    }
    ctx_.prompts().message(ctx_.text(78), AppContext::AppName, PromptIcon::Critical, PromptButtons::Ok);
    if (fallback != drive && ctx_.services().volumes->isReady(fallback)) {
        drvChoose->setDrive(fallback);  // raises drvChoose_Change for the fallback drive
        return;
    }
    // The fallback is gone as well: settle on "/" without asking again.
    drvChoose->showDrive(QStringLiteral("/"));
    dirDrive->setPath(QStringLiteral("/"));
    StatusBar->setPanelText(1, dirDrive->path());
}

void MainM::closeEvent(QCloseEvent* e)
{
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
    if (watched == lblURL) {
        if (e->type() == QEvent::MouseButtonPress) {
            lblURL->setStyleSheet(QStringLiteral("color: rgb(255,0,0);"));
        } else if (e->type() == QEvent::MouseButtonRelease) {
            lblURL->setStyleSheet(QStringLiteral("color: rgb(0,0,255);"));
            const auto* me = static_cast<QMouseEvent*>(e);
            if (me->button() == Qt::LeftButton && lblURL->rect().contains(me->position().toPoint()))
                lblURL_Click();
        } else if (e->type() == QEvent::MouseMove) {
            StatusBar->setPanelText(1, ctx_.text(8));
        }
        return QMainWindow::eventFilter(watched, e);
    }
    if (e->type() == QEvent::MouseMove) {
        if (watched == btnPrev)
            StatusBar->setPanelText(1, ctx_.text(9));
        else if (watched == btnRoot)
            StatusBar->setPanelText(1, ctx_.text(10));
        else if (watched == btnFull)
            StatusBar->setPanelText(1, ctx_.text(7));
        else if (watched == Open) {
            const QString tail = currentFile.right(3).toLower();
            const bool describe = Open->hasPicture() || tail == QLatin1String("mp3") || tail == QLatin1String("mid");
            StatusBar->setPanelText(1, describe ? currentFile : ctx_.text(11));
        }
    }
    return QMainWindow::eventFilter(watched, e);
}

} // namespace orv
