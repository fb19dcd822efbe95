#pragma once

#include "common/texttable.h"

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
    void applyTexts();

private:
    AppContext& ctx_;
    FolderBrowser* browser_ = nullptr;
    TextTable texts_;

    QMenuBar* menuBar_ = nullptr;
    QMenu* File_ = nullptr;
    QAction* Open_ = nullptr;
    QAction* Save_ = nullptr;
    QAction* Quit_ = nullptr;
    QMenu* SlideControl_ = nullptr;
    QAction* Play_ = nullptr;
    QAction* key_ = nullptr;
    QAction* timer_ = nullptr;
    QAction* looppic_ = nullptr;
    QAction* mnuCursor_ = nullptr;
    QAction* mnuFilename_ = nullptr;
    QAction* mnuColor_ = nullptr;
    QAction* Info_ = nullptr;
    QMenu* MainAdd_ = nullptr;
    QAction* add_ = nullptr;
    QAction* Addall_ = nullptr;
    QMenu* SlideRemoveControl_ = nullptr;
    QAction* Playr_ = nullptr;
    QAction* keypress_ = nullptr;
    QAction* timerwait_ = nullptr;
    QAction* looppicture_ = nullptr;
    QAction* mnuCursorPop_ = nullptr;
    QAction* mnuShowf_ = nullptr;
    QAction* Remove_ = nullptr;
    QAction* Removeall_ = nullptr;
    QMenu* Diskmnu_ = nullptr;
    QAction* Root_ = nullptr;
    QAction* Previous_ = nullptr;

    DriveListBox* drvChoose_ = nullptr;
    FolderListView* dirDrive_ = nullptr;
    FileListView* lstFiles_ = nullptr;
    QListWidget* lstChosen_ = nullptr;
};

} // namespace orv
