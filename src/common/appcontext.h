#pragma once

#include <QString>

namespace orv {

class SettingsStore;
class Prompts;
class ScreenMetrics;
class VolumeList;
class TrayIcons;
class ProcessEnvironment;
class PictureLoader;
class SoundPlayer;
class MediaControl;
class DesktopLauncher;
class PrinterService;
class ModulePlugin;
class FullScreenView;

// What a window may ask of the program as a whole. The application implements it; windows of
// one subsystem reach windows of another only through here.
class AppShell {
public:
    virtual ~AppShell() = default;
    virtual void ApplyLanguage(const QString& which) = 0;
    virtual void SetLanguage(bool force) = 0;
    // Splash at start-up: created once, centred, shown.
    virtual void showSplash() = 0;
    virtual void showMainWindow() = 0;
    virtual void hideMainWindow() = 0;
    virtual void showSlideShowEditor() = 0;
    virtual void showPaletteViewer() = 0;
    virtual void showOptions() = 0;
    // The editor frame: loaded when closed, else brought to the front.
    virtual void showTextEditor() = 0;
    virtual void showAbout() = 0;
    // The folder the main window's browser shows; empty before it exists.
    virtual QString browsedFolder() const = 0;
    // The close query: asks every open window whether it may close, in a fixed order; false
    // as soon as one says no (its user chose Cancel), and the program must keep running.
    virtual bool mayEndProgram() = 0;
    // Hands a text file to the editor, which opens it in a document window of its own.
    virtual void openInEditor(const QString& path) = 0;
    // Starts a module in the module-player window; false when the plug-in could not be used.
    virtual bool playModule(const QString& path) = 0;
    // The full-screen window, created (hidden) on first use.
    virtual FullScreenView& fullScreenView() = 0;
};

// The OS services the windows use, each behind its interface.
struct PlatformServices {
    ScreenMetrics* screen = nullptr;
    VolumeList* volumes = nullptr;
    TrayIcons* tray = nullptr;
    ProcessEnvironment* process = nullptr;
    PictureLoader* pictures = nullptr;
    SoundPlayer* sound = nullptr;
    MediaControl* media = nullptr;
    DesktopLauncher* desktop = nullptr;
    PrinterService* printer = nullptr;
    ModulePlugin* modules = nullptr;
};

// Owns nothing but ties together what every window needs: the settings store, the dialogs,
// the platform services, the shell, and the program-wide values.
class AppContext {
public:
    AppContext(SettingsStore& store, Prompts& prompts, PlatformServices services);

    static const QString AppName;      // the program's name, "Orvane Viewer"
    static const QString LangSection;  // "Lang"
    static const QString SiteAddress;  // the makers' web site, opened by the web labels

    SettingsStore& store() const { return store_; }
    Prompts& prompts() const { return prompts_; }
    const PlatformServices& services() const { return services_; }
    AppShell& shell() const { return *shell_; }
    void setShell(AppShell* shell) { shell_ = shell; }

    // Text n of the active language, read from the store each time (empty when missing).
    QString text(int n) const;

    // The About flag: set once the About box has been opened, never cleared.
    bool aboutShown() const { return aboutShown_; }
    void setAboutShown() { aboutShown_ = true; }
    // While the full-screen window shows one picture for the main window.
    bool singlePictureMode() const { return singlePictureMode_; }
    void setSinglePictureMode(bool on) { singlePictureMode_ = on; }
    // The module plug-in instance created last, and the module path last handed to it.
    quint32 modPlayerHandle() const { return modPlayerHandle_; }
    void setModPlayerHandle(quint32 handle) { modPlayerHandle_ = handle; }
    QString modFilePath() const { return modFilePath_; }
    void setModFilePath(const QString& path) { modFilePath_ = path; }

private:
    SettingsStore& store_;
    Prompts& prompts_;
    PlatformServices services_;
    AppShell* shell_ = nullptr;
    bool aboutShown_ = false;
    bool singlePictureMode_ = false;
    quint32 modPlayerHandle_ = 0;
    QString modFilePath_;
};

} // namespace orv
