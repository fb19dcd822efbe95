#include "app/application.h"

#include "app/core/languagetable.h"
#include "app/frmlang.h"
#include "app/intro.h"
#include "browser/frmplay.h"
#include "browser/mainm.h"
#include "browsing/core/folderbrowser.h"
#include "common/core/prompts.h"
#include "common/core/settingsstore.h"
#include "common/core/version.h"
#include "common/twipslayout.h"
#include "editor/frmmdi.h"
#include "palette/palform.h"
#include "platform/moduleplugin.h"
#include "platform/screenmetrics.h"
#include "platform/windowfocus.h"
#include "platform/windowplacement.h"
#include "slideshow/showpic.h"
#include "slideshow/slideshow.h"

#include <QSet>

namespace orv {

namespace {
const QString kInfos = QStringLiteral("Infos");
const QString kLangKey = QStringLiteral("Lang");
const QString kContact = QStringLiteral("hello@orvane-viewer.org");
}

Application::Application(AppContext& ctx)
    : ctx_(ctx),
      main_(windows_),
      slide_(windows_),
      pal_(windows_),
      options_(windows_),
      intro_(windows_),
      showpic_(windows_),
      player_(windows_)
{
    // The editor's frame is asked last, after the windows above.
    windows_.add(&editor_, [this]() -> QWidget* { return editor_.frame(); });
    ctx_.setShell(this);
}

Application::~Application()
{
    // The program is ending: windows go without their close handlers, so a playing module is
    // not stopped by a call; it ends with the program.
    player_.destroy();
    showpic_.destroy();
    slide_.destroy();
    pal_.destroy();
    options_.destroy();
    intro_.destroy();
    main_.destroy();
    windows_.remove(&editor_);
    ctx_.setShell(nullptr);
}

void Application::Main()
{
    SettingsStore& store = ctx_.store();
    const QString& app = AppContext::AppName;
    store.write(app, kInfos, QStringLiteral("Copyright"), copyrightNotice());

    const QString stamp = store.read(app, kInfos, QStringLiteral("Version"));
    if (stamp.isEmpty() || stamp != versionStamp()) {
        store.deleteApplication(app);
        store.write(app, kInfos, QStringLiteral("Copyright"), copyrightNotice());
        store.write(app, AppContext::LangSection, kLangKey, languageName(Language::English));
        SetLanguage(true);
        showOptions();
    }
    store.write(app, kInfos, QStringLiteral("Version"), versionStamp());

    if (store.read(app, AppContext::LangSection, kLangKey).isEmpty()) {
        store.write(app, AppContext::LangSection, kLangKey, languageName(Language::English));
        SetLanguage(true);
        showOptions();
    }

    addMissingTexts();
    ApplyLanguage(QString());
    mainM();
}

void Application::addMissingTexts()
{
    // A store written by an earlier build of this version lacks the texts added since; the
    // texts it holds stay as they are.
    SettingsStore& store = ctx_.store();
    const QList<QPair<QString, QString>> stored = store.listSection(AppContext::AppName, AppContext::LangSection);
    QSet<QString> held;
    QString active;
    for (const auto& [key, value] : stored) {
        if (key == kLangKey)
            active = value;
        else
            held.insert(key);
    }
    const Language lang = active == languageName(Language::French) ? Language::French : Language::English;
    QList<QPair<QString, QString>> missing;
    for (const LanguageText& t : languageTable()) {
        const QString key = QString::number(t.number);
        if (!held.contains(key))
            missing.append({key, languageText(lang, t.number)});
    }
    if (!missing.isEmpty())
        store.writeSection(AppContext::AppName, AppContext::LangSection, missing);
}

MainM* Application::findMainM() const { return main_.find(); }
frmLang* Application::findOptions() const { return options_.find(); }
PalForm* Application::findPalForm() const { return pal_.find(); }
Slideshow* Application::findSlideshow() const { return slide_.find(); }
Intro* Application::findIntro() const { return intro_.find(); }
Showpic* Application::findShowpic() const { return showpic_.find(); }
frmPlay* Application::findPlayer() const { return player_.find(); }

MainM& Application::mainM()
{
    return main_.get([this] { return new MainM(ctx_); });
}

frmLang& Application::options()
{
    return options_.get([this] { return new frmLang(ctx_); });
}

PalForm& Application::palForm()
{
    return pal_.get([this] { return new PalForm(ctx_); });
}

Slideshow& Application::slideshow()
{
    return slide_.get([this] { return new Slideshow(ctx_); });
}

Showpic& Application::showpic()
{
    return showpic_.get([this] { return new Showpic(ctx_); });
}

FullScreenView& Application::fullScreenView()
{
    Showpic& view = showpic();
    if (const Slideshow* editor = findSlideshow())
        view.applyLook(*editor);
    return view;
}

frmPlay& Application::player()
{
    return player_.get([this] { return new frmPlay(ctx_); });
}

Intro& Application::intro()
{
    return intro_.get([this] { return new Intro(ctx_); });
}

void Application::writeLanguage(int language)
{
    const Language lang = static_cast<Language>(language);
    QList<QPair<QString, QString>> texts;
    texts.reserve(int(languageTable().size()));
    for (const LanguageText& t : languageTable())
        texts.append({QString::number(t.number), languageText(lang, t.number)});
    SettingsStore& store = ctx_.store();
    store.write(AppContext::AppName, AppContext::LangSection, kLangKey, languageName(lang));
    store.writeSection(AppContext::AppName, AppContext::LangSection, texts);
}

void Application::SetLanguage(bool force)
{
    const QString old = ctx_.store().read(AppContext::AppName, AppContext::LangSection, kLangKey);
    frmLang& dlg = options();
    const bool english = dlg.englishSelected();
    const bool french = dlg.frenchSelected();

    if (force || (old == QLatin1String("French") && english)) {
        writeLanguage(int(Language::English));
        ApplyLanguage(QString());
    }
    // Judged against the language read before the English block, as both blocks are.
    if (old == QLatin1String("English") && french) {
        writeLanguage(int(Language::French));
        ApplyLanguage(QString());
    }
}

void Application::ApplyLanguage(const QString& which)
{
    int first = 0;
    if (which == QLatin1String("FrmLang"))
        first = 1;
    else if (which == QLatin1String("FrmPal"))
        first = 2;
    else if (which == QLatin1String("FrmSlide"))
        first = 3;

    // Each window applies its own table; the order and the creation of the windows (whose load
    // handlers re-enter here with their own names) are what this keeps.
    if (first <= 0)
        mainM().applyTexts();
    if (first <= 1)
        options().applyTexts();
    if (first <= 2)
        palForm().applyTexts();
    if (first <= 3)
        slideshow().applyTexts();
}

void Application::showModeless(QWidget& w)
{
    w.show();
    bringToFront(&w, *ctx_.services().screen);
}

void Application::showSplash()
{
    Intro& splash = intro();
    centreOnScreen(&splash, *ctx_.services().screen);
    showModeless(splash);
}

void Application::showMainWindow()
{
    showModeless(mainM());
    // A module started from the command line plays in a window that must not end up hidden
    // behind the main window when the splash hands over.
    if (frmPlay* player = findPlayer(); player && player->isVisible())
        player->raise();
}

void Application::hideMainWindow()
{
    if (MainM* m = findMainM())
        m->hide();
}

void Application::showSlideShowEditor() { showModeless(slideshow()); }

void Application::playSlideShow()
{
    Slideshow* editor = findSlideshow();
    if (!editor)
        return;
    showpic().playShow(*editor);
}

void Application::showPaletteViewer() { showModeless(palForm()); }

void Application::showOptions() { showModeless(options()); }

void Application::showTextEditor() { editor_.show(); }

void Application::openInEditor(const QString& path) { editor_.openInEditor(path); }

bool Application::playModule(const QString& path)
{
    frmPlay& window = player();
    ModulePlugin* plugin = ctx_.services().modules;
    if (!plugin)
        return false;
    // The instance playing in the window goes first, so two modules never play at once.
    if (window.hasInstance()) {
        plugin->stop(ctx_.modPlayerHandle());
        plugin->destroy(ctx_.modPlayerHandle());
        window.setInstanceAttached(false);
    }
    quint32 handle = 0;
    if (!plugin->createEx(QStringLiteral("loop|true"), handle))
        return false;
    ctx_.setModPlayerHandle(handle);
    plugin->setWindow(handle, &window);
    window.setInstanceAttached(true);
    ctx_.setModFilePath(path);
    plugin->load(handle, path);
    plugin->play(handle);
    window.passKeysTo(findMainM());
    showWithoutTakingKeys(&window, ctx_.services().screen->mayPlaceWindows());
    return true;
}

QString Application::browsedFolder() const
{
    const MainM* m = findMainM();
    return m ? m->browser().folder() : QString();
}

bool Application::mayEndProgram()
{
    return windows_.mayCloseAll();
}

void Application::showAbout()
{
    ctx_.setAboutShown();
    showSplash();
    const QString cr = QStringLiteral("\r");
    const QString text = ctx_.text(33) + cr + cr + ctx_.text(34) + cr
        + QStringLiteral("        .bmp, .gif, .jpg, .dib, .wmf, .htm, .wav") + cr
        + QStringLiteral("        .ico, .cur, .txt, .exe, .hlp, .avi") + cr
        + QStringLiteral("        .mod, .mdz, .s3m, .xm, .itz, .it") + cr + cr
        + QStringLiteral("    ") + copyrightNotice() + cr
        + QStringLiteral("    ") + kContact + cr
        + QStringLiteral("    ") + AppContext::SiteAddress;
    ctx_.prompts().message(text, AppContext::AppName, PromptIcon::Information, PromptButtons::Ok);
    if (Intro* splash = findIntro())
        splash->hide();
}

} // namespace orv
