#pragma once

#include <QMainWindow>

class QAction;
class QComboBox;
class QLabel;
class QMenu;
class QPushButton;
class QScrollBar;

namespace orv {

class AppContext;
class DriveListBox;
class FileListView;
class FolderListView;
class PictureBox;
class StatusPanels;

// The main window: the file browser that lives for the whole run. Controls and handlers carry
// the names the rest of the program knows them by; the language captions are set from outside
// (ApplyLanguage), everything else is here.
class MainM : public QMainWindow {
    Q_OBJECT
public:
    explicit MainM(AppContext& ctx, QWidget* parent = nullptr);
    ~MainM() override;

    // Load handler: splash, centring, tray icon, file type, start folder, command line.
    void Form_Load();

    // Menu bar and its twins in the tray menu.
    QAction* mnuQuit = nullptr;
    QMenu* mnuModules = nullptr;
    QAction* mnuSlide = nullptr;
    QAction* mnuText = nullptr;
    QAction* mnuPalView = nullptr;
    QAction* mnuControl = nullptr;
    QAction* mnuOptions = nullptr;
    QAction* mnuAbout = nullptr;
    QMenu* mnuTray = nullptr;
    QAction* mnuTraySlide = nullptr;
    QAction* mnuTrayEditor = nullptr;
    QAction* mnuTrayPal = nullptr;
    QAction* mnuTrayMaxi = nullptr;
    QAction* mnuTrayQuit = nullptr;

    // Pop-up menus.
    QMenu* popupF = nullptr;
    QAction* ppall = nullptr;
    QAction* ppaudio = nullptr;
    QAction* ppavi = nullptr;
    QAction* ppexe = nullptr;
    QAction* pphlp = nullptr;
    QAction* pphtml = nullptr;
    QAction* pppic = nullptr;
    QAction* pptxt = nullptr;
    QMenu* EasyBrowse = nullptr;
    QAction* Root = nullptr;
    QAction* Previous = nullptr;
    QMenu* printMnu = nullptr;
    QAction* printerSetup = nullptr;
    QAction* GoPrint = nullptr;

    // Controls.
    PictureBox* Open = nullptr;
    QLabel* imgAvi = nullptr;
    QLabel* imgWave = nullptr;
    QScrollBar* vscrPic = nullptr;
    QScrollBar* hscrPic = nullptr;
    QPushButton* btnFull = nullptr;
    FolderListView* dirDrive = nullptr;
    DriveListBox* drvChoose = nullptr;
    QPushButton* btnPrev = nullptr;
    QPushButton* btnRoot = nullptr;
    FileListView* fileFilter = nullptr;
    QComboBox* cmbFiles = nullptr;
    StatusPanels* StatusBar = nullptr;
    QLabel* lblVersion = nullptr;
    QLabel* lblCopyright = nullptr;
    QLabel* lblURL = nullptr;
    QLabel* imgBanner = nullptr;

    // Form-level fields.
    QString currentFile;
    QString previousFile;
    qint16 openedFromCommandLine = 0;
    qint16 soundShown = 0;
    // Not 16-bit: a picture far larger than the screen has offsets beyond that range.
    int fullScreenX = 0;
    int fullScreenY = 0;

    // Handlers.
    void cmbFiles_Click();
    void fileFilter_Click();
    void drvChoose_Change();
    void dirDrive_Change();
    void dirDrive_KeyPress(int keyAscii);
    void btnPrev_Click();
    void btnRoot_Click();
    void selectFileType(int entry);
    void btnFull_Click();
    // Tray notifications arrive here with the message number in place of x (in twips).
    void Form_MouseMove(int button, int shift, double x, double y);
    void mnuControl_Click();
    void lblURL_Click();
    void GoPrint_Click();
    void printerSetup_Click();
    // Repaints the picture at the scroll bars' values (their Change and Scroll events).
    void scrollPicture();


protected:
    void closeEvent(QCloseEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* e) override;

private:
    void buildMenus();
    void buildControls();
    // Moves the folder list to path, or to the nearest fallback that can be entered.
    void enterFolderOrFallback(const QString& path);
    QString programVolumeRoot() const;
    QString startupCommandLine() const;
    // The dispatcher's actions; each throws DispatchFailure for the one error path.
    void showPicture();
    void runProgram();
    void playSound();
    void playVideo();
    void playModule();
    void clearPictureArea();
    void showReadError();
    void pictureTurnedUnreadable();
    void setUpScrollBars();
    void disablePictureControls();

    AppContext& ctx_;
    bool unloaded_ = false;
};

} // namespace orv
