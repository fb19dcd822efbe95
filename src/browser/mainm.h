#pragma once

#include "browser/core/scrollsetup.h"
#include "common/texttable.h"
#include "platform/printerservice.h"
#include "platform/trayicons.h"

#include <QMainWindow>

#include <memory>

class QAction;
class QComboBox;
class QLabel;
class QMenu;
class QPushButton;
class QScrollBar;
class QWheelEvent;

namespace orv {

class AppContext;
class DriveListBox;
class FileListView;
class FolderBrowser;
class FolderListView;
class PictureBox;
class PendingPicture;
struct PictureResult;
class PicturePreloader;
class StatusPanels;

// The main window: the file browser that lives for the whole run. Its controls carry the
// names the rest of the program knows them by, as object names; they are its own, and so are
// its language texts (applyTexts).
class MainM : public QMainWindow {
    Q_OBJECT
public:
    explicit MainM(AppContext& ctx, QWidget* parent = nullptr);
    ~MainM() override;

    // Load handler: splash, centring, tray icon, file type, start folder, command line.
    void Form_Load();
    // Sets the captions, tool tips and file-type entries from the active language.
    void applyTexts();

    // Where the browser is: folder, drive and file pattern.
    FolderBrowser& browser() const { return *browser_; }

    // Form-level fields.
    QString currentFile() const { return currentFile_; }
    QString previousFile() const { return previousFile_; }
    bool openedFromCommandLine() const { return openedFromCommandLine_ != 0; }
    bool soundShown() const { return soundShown_ != 0; }
    int fullScreenX() const { return fullScreenX_; }
    int fullScreenY() const { return fullScreenY_; }

    // Opens a file by its path, as a file named on the command line is opened.
    void dispatchFile(const QString& path);
    // A file or folder handed over from outside (the command line, a drop): a file's folder is
    // shown and the file dispatched; a folder is shown.
    void openHandedOver(const QString& path);

    // Handlers.
    void cmbFiles_Click();
    void fileFilter_Click();
    void drvChoose_Change();
    void dirDrive_Change();
    void dirDrive_KeyPress(int keyAscii);
    void btnPrev_Click();
    void btnRoot_Click();
    // Selects a file-type entry and runs its click, as the file-type pop-up entries do.
    void selectFileType(int entry);
    void btnFull_Click();
    // The tray icon's mouse events: a double-click restores a visible window, the right
    // button pops up the tray menu.
    void trayIcon_Message(TrayMessage message);
    void mnuControl_Click();
    void lblURL_Click();
    void GoPrint_Click();
    void printerSetup_Click();
    // Repaints the picture at the scroll bars' values (their Change and Scroll events).
    void scrollPicture();

protected:
    void closeEvent(QCloseEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* e) override;
    void dragEnterEvent(QDragEnterEvent* e) override;
    void dropEvent(QDropEvent* e) override;

private:
    void buildMenus();
    void buildControls();
    // The dispatcher's actions; each throws DispatchFailure for the one error path.
    void showPicture();
    // The rest of showing a picture once it is read: throws DispatchFailure when it could not be.
    void showLoaded(const PictureResult& r, bool decodedAhead);
    // A picture still being sized off this thread: shown when that ends, unless dropped first.
    void showWhenSized(std::shared_ptr<PendingPicture> pending);
    void runProgram();
    void playSound();
    void playVideo();
    void playModule();
    void clearPictureArea();
    // The path of a name in the file list, as a click makes it.
    QString pathInFolder(const QString& name) const;
    // Lets the file list fill once the shown picture is wholly decoded.
    void listFolderBehindPicture();
    // Keeps the pictures beside the current one decoded, for a step either way, and the
    // current one too when it could be read.
    void lookAhead(bool keepCurrent);
    void showReadError();
    // Says why a print did not happen, if it did not.
    void reportPrint(PrintOutcome outcome);
    void pictureTurnedUnreadable();
    void setUpScrollBars();
    void disablePictureControls();
    void nameControls();
    void scrollByWheel(const QWheelEvent& e);

    AppContext& ctx_;
    FolderBrowser* browser_ = nullptr;
    TextTable texts_;
    PicturePreloader* preloader_ = nullptr;  // made at the first picture shown
    std::shared_ptr<PendingPicture> pendingPicture_;  // the file chosen, still being sized

    // Menu bar and its twins in the tray menu.
    QAction* mnuQuit_ = nullptr;
    QMenu* mnuModules_ = nullptr;
    QAction* mnuSlide_ = nullptr;
    QAction* mnuText_ = nullptr;
    QAction* mnuPalView_ = nullptr;
    QAction* mnuControl_ = nullptr;
    QAction* mnuOptions_ = nullptr;
    QAction* mnuAbout_ = nullptr;
    QMenu* mnuTray_ = nullptr;
    QAction* mnuTraySlide_ = nullptr;
    QAction* mnuTrayEditor_ = nullptr;
    QAction* mnuTrayPal_ = nullptr;
    QAction* mnuTrayMaxi_ = nullptr;
    QAction* mnuTrayQuit_ = nullptr;

    // Pop-up menus.
    QMenu* popupF_ = nullptr;
    QAction* ppall_ = nullptr;
    QAction* ppaudio_ = nullptr;
    QAction* ppavi_ = nullptr;
    QAction* ppexe_ = nullptr;
    QAction* pphlp_ = nullptr;
    QAction* pphtml_ = nullptr;
    QAction* pppic_ = nullptr;
    QAction* pptxt_ = nullptr;
    QMenu* EasyBrowse_ = nullptr;
    QAction* Root_ = nullptr;
    QAction* Previous_ = nullptr;
    QMenu* printMnu_ = nullptr;
    QAction* printerSetup_ = nullptr;
    QAction* GoPrint_ = nullptr;

    // Controls.
    PictureBox* Open_ = nullptr;
    QLabel* imgAvi_ = nullptr;
    QLabel* imgWave_ = nullptr;
    QScrollBar* vscrPic_ = nullptr;
    QScrollBar* hscrPic_ = nullptr;
    QPushButton* btnFull_ = nullptr;
    FolderListView* dirDrive_ = nullptr;
    DriveListBox* drvChoose_ = nullptr;
    QPushButton* btnPrev_ = nullptr;
    QPushButton* btnRoot_ = nullptr;
    FileListView* fileFilter_ = nullptr;
    QComboBox* cmbFiles_ = nullptr;
    StatusPanels* StatusBar_ = nullptr;
    QLabel* lblVersion_ = nullptr;
    QLabel* lblCopyright_ = nullptr;
    QLabel* lblURL_ = nullptr;
    QLabel* imgBanner_ = nullptr;

    // Form-level fields.
    QString currentFile_;
    // The picture in the area, and the one just left before all its rows were in.
    QString shownFile_;
    QString leftUnfinished_;
    QString previousFile_;
    qint16 openedFromCommandLine_ = 0;
    qint16 soundShown_ = 0;
    // Not 16-bit: a picture far larger than the screen has offsets beyond that range.
    int fullScreenX_ = 0;
    int fullScreenY_ = 0;

    WheelSteps wheel_;
    bool unloaded_ = false;
};

} // namespace orv
