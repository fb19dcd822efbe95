#pragma once

#include "common/closequery.h"
#include "common/texttable.h"
#include "slideshow/core/showeditor.h"
#include "slideshow/slideshowsource.h"

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

// The slide-show editor: browses for pictures and waves, holds the show (ShowEditorState),
// opens and saves it, and starts the player, which reads the show from here while it runs.
// The settings live in the state; each menu item and its pop-up twin only show them.
class Slideshow : public QWidget, public CloseQuery, public SlideShowSource {
    Q_OBJECT
public:
    explicit Slideshow(AppContext& ctx, QWidget* parent = nullptr);

    // Goes to the root of the current drive, centres the window, starts a new show and
    // applies the texts.
    void Form_Load();
    void applyTexts();

    const ShowEditorState& show() const { return show_; }
    FolderBrowser& browser() const { return *browser_; }

    // CloseQuery: the close question (text 79) for an unsaved, non-empty show.
    bool mayClose() override;

    // SlideShowSource
    ShowView showView() const override;
    ShowSettings showSettings() const override { return show_.settings(); }
    quint32 captionColour() const override { return captionColour_; }

    void Open_Click();
    void Save_Click();
    void Play_Click();
    void Info_Click();
    void add_Click();
    void Addall_Click();
    void Remove_Click();
    void Removeall_Click();
    void key_Click();
    void timer_Click();
    void looppic_Click();
    void mnuCursor_Click();
    void mnuFilename_Click();
    void mnuColor_Click();
    void Root_Click();
    void Previous_Click();
    void drvChoose_Change();

protected:
    void closeEvent(QCloseEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* e) override;

private:
    // Asks for a file name and writes the show; false when no file was written (the dialog
    // was cancelled, or the write failed and was reported).
    bool saveShow();
    void message(const EditorMessage& m);
    // Puts the settings on screen: the checked state of every item pair.
    void showState();
    void showEntries();

    AppContext& ctx_;
    FolderBrowser* browser_ = nullptr;
    TextTable texts_;
    ShowEditorState show_;
    quint32 captionColour_ = 0;

    QMenuBar* menuBar_ = nullptr;
    QWidget* client_ = nullptr;
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
