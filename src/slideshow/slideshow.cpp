#include "slideshow/slideshow.h"

#include "browsing/core/folderbrowser.h"
#include "browsing/drivelistbox.h"
#include "browsing/filelistview.h"
#include "browsing/folderlistview.h"
#include "common/appcontext.h"
#include "common/twipslayout.h"
#include "platform/core/processenvironment.h"
#include "platform/screenmetrics.h"

#include <QAction>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>

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

} // namespace

Slideshow::Slideshow(AppContext& ctx, QWidget* parent) : QWidget(parent, Qt::Window), ctx_(ctx)
{
    setObjectName(QStringLiteral("Slideshow"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowFlags(Qt::Window | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowCloseButtonHint
                   | Qt::WindowMinimizeButtonHint | Qt::WindowTitleHint);
    const ScreenMetrics& screen = *ctx_.services().screen;
    const TwipsLayout L(screen.twipsPerPixelX(), screen.twipsPerPixelY());

    menuBar = new QMenuBar(this);
    File = menuBar->addMenu(QString());
    File->setObjectName(QStringLiteral("File"));
    Open = entry(File, "Open");
    Open->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_O));
    Save = entry(File, "Save");
    Save->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_S));
    File->addSeparator()->setObjectName(QStringLiteral("mnublank"));
    Quit = entry(File, "Quit");
    Quit->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_X));
    connect(Quit, &QAction::triggered, this, &QWidget::close);

    SlideControl = menuBar->addMenu(QString());
    SlideControl->setObjectName(QStringLiteral("SlideControl"));
    Play = entry(SlideControl, "Play");
    Play->setShortcut(Qt::Key_F5);
    SlideControl->addSeparator()->setObjectName(QStringLiteral("blank1"));
    key = entry(SlideControl, "key", true, true);
    timer = entry(SlideControl, "timer", true, false);
    looppic = entry(SlideControl, "looppic", true, true);
    SlideControl->addSeparator()->setObjectName(QStringLiteral("blnk5"));
    mnuCursor = entry(SlideControl, "mnuCursor", true, true);
    mnuFilename = entry(SlideControl, "mnuFilename", true, true);
    SlideControl->addSeparator()->setObjectName(QStringLiteral("blnk4"));
    mnuColor = entry(SlideControl, "mnuColor");
    Info = menuBar->addAction(QString());
    Info->setObjectName(QStringLiteral("Info"));

    MainAdd = new QMenu(QStringLiteral("Add"), this);
    MainAdd->setObjectName(QStringLiteral("MainAdd"));
    add = entry(MainAdd, "add");
    Addall = entry(MainAdd, "Addall");

    SlideRemoveControl = new QMenu(QStringLiteral("Remove"), this);
    SlideRemoveControl->setObjectName(QStringLiteral("SlideRemoveControl"));
    Playr = entry(SlideRemoveControl, "Playr");
    SlideRemoveControl->addSeparator()->setObjectName(QStringLiteral("blnk3"));
    keypress = entry(SlideRemoveControl, "keypress", true, true);
    timerwait = entry(SlideRemoveControl, "timerwait", true, false);
    looppicture = entry(SlideRemoveControl, "looppicture", true, true);
    SlideRemoveControl->addSeparator()->setObjectName(QStringLiteral("blnk2"));
    mnuCursorPop = entry(SlideRemoveControl, "mnuCursorPop", true, true);
    mnuShowf = entry(SlideRemoveControl, "mnuShowf", true, true);
    SlideRemoveControl->addSeparator()->setObjectName(QStringLiteral("blnk6"));
    Remove = entry(SlideRemoveControl, "Remove");
    Removeall = entry(SlideRemoveControl, "Removeall");

    Diskmnu = new QMenu(QStringLiteral("Disk"), this);
    Diskmnu->setObjectName(QStringLiteral("Diskmnu"));
    Root = entry(Diskmnu, "Root");
    Previous = entry(Diskmnu, "Previous");

    const int barHeight = menuBar->sizeHint().height();
    menuBar->setGeometry(0, 0, L.x(6600), barHeight);
    auto* client = new QWidget(this);
    client->setGeometry(0, barHeight, L.x(6600), L.y(5700));
    setFixedSize(L.x(6600), L.y(5700) + barHeight);

    browser_ = new FolderBrowser(*ctx_.services().volumes, *ctx_.services().process, this);
    browser_->setPattern(QStringLiteral("*.wav;*.bmp;*.jpg;*.gif;*.wmf;*.emf;*.ico;*.dib;*.cur"));
    drvChoose = new DriveListBox(*browser_, client);
    drvChoose->setObjectName(QStringLiteral("drvChoose"));
    L.place(drvChoose, 120, 120, 3135, 315);
    dirDrive = new FolderListView(*browser_, client);
    dirDrive->setObjectName(QStringLiteral("dirDrive"));
    L.place(dirDrive, 120, 600, 3150, 2730);
    lstFiles = new FileListView(client);
    lstFiles->setObjectName(QStringLiteral("lstFiles"));
    lstFiles->follow(*browser_);
    lstFiles->setSelectionMode(QAbstractItemView::ExtendedSelection);
    L.place(lstFiles, 3345, 120, 3120, 3015);
    lstChosen = new QListWidget(client);
    lstChosen->setObjectName(QStringLiteral("lstChosen"));
    lstChosen->setSelectionMode(QAbstractItemView::ExtendedSelection);
    L.place(lstChosen, 120, 3435, 6375, 2205);

    if (!browser_->enter(ctx_.services().process->currentFolder()))
        browser_->enter(QStringLiteral("/"));
}

void Slideshow::Form_Load()
{
    centreOnScreen(this, ctx_.services().screen->screenPixels());
    ctx_.shell().ApplyLanguage(QStringLiteral("FrmSlide"));
}

} // namespace orv
