#pragma once

#include <QWidget>

class QAction;
class QListWidget;
class QMenu;
class QMenuBar;

namespace orv {

class AppContext;
class DriveListBox;
class FileListView;
class FolderBrowser;
class FolderListView;

// The slide-show editor window: its lists and menus.
class Slideshow : public QWidget {
    Q_OBJECT
public:
    explicit Slideshow(AppContext& ctx, QWidget* parent = nullptr);

    // Centres the window, then applies its texts.
    void Form_Load();

    QMenuBar* menuBar = nullptr;
    QMenu* File = nullptr;
    QAction* Open = nullptr;
    QAction* Save = nullptr;
    QAction* Quit = nullptr;
    QMenu* SlideControl = nullptr;
    QAction* Play = nullptr;
    QAction* key = nullptr;
    QAction* timer = nullptr;
    QAction* looppic = nullptr;
    QAction* mnuCursor = nullptr;
    QAction* mnuFilename = nullptr;
    QAction* mnuColor = nullptr;
    QAction* Info = nullptr;
    QMenu* MainAdd = nullptr;
    QAction* add = nullptr;
    QAction* Addall = nullptr;
    QMenu* SlideRemoveControl = nullptr;
    QAction* Playr = nullptr;
    QAction* keypress = nullptr;
    QAction* timerwait = nullptr;
    QAction* looppicture = nullptr;
    QAction* mnuCursorPop = nullptr;
    QAction* mnuShowf = nullptr;
    QAction* Remove = nullptr;
    QAction* Removeall = nullptr;
    QMenu* Diskmnu = nullptr;
    QAction* Root = nullptr;
    QAction* Previous = nullptr;

    DriveListBox* drvChoose = nullptr;
    FolderListView* dirDrive = nullptr;
    FileListView* lstFiles = nullptr;
    QListWidget* lstChosen = nullptr;

private:
    AppContext& ctx_;
    FolderBrowser* browser_ = nullptr;
};

} // namespace orv
