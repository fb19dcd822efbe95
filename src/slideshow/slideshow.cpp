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

    menuBar_ = new QMenuBar(this);
    File_ = menuBar_->addMenu(QString());
    File_->setObjectName(QStringLiteral("File"));
    Open_ = entry(File_, "Open");
    Open_->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_O));
    Save_ = entry(File_, "Save");
    Save_->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_S));
    File_->addSeparator()->setObjectName(QStringLiteral("mnublank"));
    Quit_ = entry(File_, "Quit");
    Quit_->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_X));
    connect(Quit_, &QAction::triggered, this, &QWidget::close);

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

    const int barHeight = menuBar_->sizeHint().height();
    menuBar_->setGeometry(0, 0, L.x(6600), barHeight);
    auto* client = new QWidget(this);
    client->setGeometry(0, barHeight, L.x(6600), L.y(5700));
    setFixedSize(L.x(6600), L.y(5700) + barHeight);

    browser_ = new FolderBrowser(*ctx_.services().volumes, *ctx_.services().process, this);
    browser_->setPattern(QStringLiteral("*.wav;*.bmp;*.jpg;*.gif;*.wmf;*.emf;*.ico;*.dib;*.cur"));
    drvChoose_ = new DriveListBox(*browser_, client);
    drvChoose_->setObjectName(QStringLiteral("drvChoose"));
    L.place(drvChoose_, 120, 120, 3135, 315);
    dirDrive_ = new FolderListView(*browser_, client);
    dirDrive_->setObjectName(QStringLiteral("dirDrive"));
    L.place(dirDrive_, 120, 600, 3150, 2730);
    lstFiles_ = new FileListView(client);
    lstFiles_->setObjectName(QStringLiteral("lstFiles"));
    lstFiles_->follow(*browser_);
    lstFiles_->setSelectionMode(QAbstractItemView::ExtendedSelection);
    L.place(lstFiles_, 3345, 120, 3120, 3015);
    lstChosen_ = new QListWidget(client);
    lstChosen_->setObjectName(QStringLiteral("lstChosen"));
    lstChosen_->setSelectionMode(QAbstractItemView::ExtendedSelection);
    L.place(lstChosen_, 120, 3435, 6375, 2205);
    dirDrive_->setAccessibleName(QStringLiteral("Folders"));
    lstFiles_->setAccessibleName(QStringLiteral("Files"));
    lstChosen_->setAccessibleName(QStringLiteral("Slides"));

    if (!browser_->enter(ctx_.services().process->currentFolder()))
        browser_->enter(QStringLiteral("/"));

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
}

void Slideshow::Form_Load()
{
    centreOnScreen(this, *ctx_.services().screen);
    ctx_.shell().ApplyLanguage(QStringLiteral("FrmSlide"));
}

} // namespace orv
