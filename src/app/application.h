#pragma once

#include "common/appcontext.h"
#include "common/windowregistry.h"
#include "common/windowslot.h"
#include "editor/texteditor.h"

#include <QObject>

class QWidget;

namespace orv {

class frmLang;
class frmPlay;
class Intro;
class MainM;
class PalForm;
class Showpic;
class Slideshow;

// The program as a whole: start-up (`Main`), the language, and the window registry. Every
// window is reached through an accessor that creates it hidden on first use and runs its load
// handler; a closed secondary window is forgotten and re-created at its next use. Before the
// program ends, the registry asks every open window whether it may close.
class Application : public QObject, public AppShell {
    Q_OBJECT
public:
    explicit Application(AppContext& ctx);
    ~Application() override;

    // The start-up sequence: store repair or reset, language, windows. Returns once the main
    // window exists (hidden behind the splash).
    void Main();

    MainM& mainM();
    frmLang& options();
    PalForm& palForm();
    Slideshow& slideshow();
    Intro& intro();
    Showpic& showpic();
    frmPlay& player();
    TextEditor& textEditor() { return editor_; }

    // The registry the windows' slots belong to, in the order the close query asks them.
    WindowRegistry& windows() { return windows_; }

    // The window if it exists, else null; nothing is created.
    MainM* findMainM() const;
    frmLang* findOptions() const;
    PalForm* findPalForm() const;
    Slideshow* findSlideshow() const;
    Intro* findIntro() const;
    Showpic* findShowpic() const;
    frmPlay* findPlayer() const;

    // AppShell
    void ApplyLanguage(const QString& which) override;
    void SetLanguage(bool force) override;
    void showSplash() override;
    void showMainWindow() override;
    void hideMainWindow() override;
    void showSlideShowEditor() override;
    void playSlideShow() override;
    void showPaletteViewer() override;
    void showOptions() override;
    void showTextEditor() override;
    void showAbout() override;
    QString browsedFolder() const override;
    bool mayEndProgram() override;
    void openInEditor(const QString& path) override;
    bool playModule(const QString& path) override;
    FullScreenView& fullScreenView() override;

private:
    void writeLanguage(int language);
    void addMissingTexts();
    void showModeless(QWidget& w);

    AppContext& ctx_;
    WindowRegistry windows_;
    // In the order the close query asks them.
    WindowSlot<MainM> main_;
    WindowSlot<Slideshow> slide_;
    WindowSlot<PalForm> pal_;
    WindowSlot<frmLang> options_;
    WindowSlot<Intro> intro_;
    WindowSlot<Showpic> showpic_;
    WindowSlot<frmPlay> player_;
    TextEditor editor_{ctx_};
};

} // namespace orv
