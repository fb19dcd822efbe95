#include "app/application.h"

#include "app/core/languagetable.h"
#include "app/frmlang.h"
#include "app/intro.h"
#include "browser/mainm.h"
#include "browser/statuspanels.h"
#include "common/core/prompts.h"
#include "common/core/settingsstore.h"
#include "palette/palform.h"
#include "platform/moduleplugin.h"
#include "platform/screenmetrics.h"
#include "slideshow/slideshow.h"

#include <QAction>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>

namespace orv {

const QString Application::VersionStamp = QStringLiteral("172");

namespace {
const QString kInfos = QStringLiteral("Infos");
const QString kLangKey = QStringLiteral("Lang");
const QString kContact = QStringLiteral("hello@orvane-viewer.org");
}

Application::Application(AppContext& ctx) : ctx_(ctx)
{
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
    ctx_.setShell(nullptr);
}

void Application::Main()
{
    SettingsStore& store = ctx_.store();
    const QString& app = AppContext::AppName;
    store.write(app, kInfos, QStringLiteral("Copyright"), copyrightNotice());

    const QString stamp = store.read(app, kInfos, QStringLiteral("Version"));
    if (stamp.isEmpty() || stamp != VersionStamp) {
        store.deleteApplication(app);
        store.write(app, kInfos, QStringLiteral("Copyright"), copyrightNotice());
        store.write(app, AppContext::LangSection, kLangKey, languageName(Language::English));
        SetLanguage(true);
        showOptions();
    }
    store.write(app, kInfos, QStringLiteral("Version"), VersionStamp);

    if (store.read(app, AppContext::LangSection, kLangKey).isEmpty()) {
        store.write(app, AppContext::LangSection, kLangKey, languageName(Language::English));
        SetLanguage(true);
        showOptions();
    }

    ApplyLanguage(QString());
    mainM();
}

MainM& Application::mainM()
{
    return main_.get([this] { return new MainM(ctx_); });
}

frmLang& Application::options()
{
    return options_.get([this] { return new frmLang(ctx_, *this); });
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
    return showpic();
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
    const bool english = dlg.optEnglish->isChecked();
    const bool french = dlg.optFrench->isChecked();

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

    auto t = [this](int n) { return ctx_.text(n); };

    if (first <= 0) {
        MainM& m = mainM();
        m.mnuQuit->setText(t(1));
        m.mnuSlide->setText(t(2));
        m.mnuText->setText(t(3));
        m.mnuTrayEditor->setText(t(3));
        m.mnuTraySlide->setText(t(2));
        m.mnuTrayPal->setText(t(4));
        m.mnuTrayQuit->setText(t(1));
        m.mnuTrayMaxi->setText(t(109));
        m.mnuPalView->setText(t(4));
        m.mnuOptions->setText(t(5));
        m.mnuAbout->setText(t(6));
        m.StatusBar->setPanelToolTip(1, t(12));
        m.StatusBar->setPanelToolTip(2, t(13));
        m.StatusBar->setPanelToolTip(3, t(14));
        m.ppall->setText(t(15));
        m.ppaudio->setText(t(16));
        m.ppexe->setText(t(17));
        m.pphlp->setText(t(18));
        m.pphtml->setText(t(19));
        m.pppic->setText(t(20));
        m.pptxt->setText(t(21));
        m.printerSetup->setText(t(22));
        m.GoPrint->setText(t(23));
        m.Root->setText(t(24));
        m.Previous->setText(t(25));
        for (int i = 0; i < 8; ++i)
            m.cmbFiles->setItemText(i, t(200 + i));
        m.mnuControl->setText(t(61));
    }
    if (first <= 1) {
        frmLang& f = options();
        f.fraLang->setTitle(t(35));
        f.optEnglish->setText(t(36));
        f.optFrench->setText(t(37));
        f.fraDirectory->setTitle(t(38));
        f.lblQuest->setText(t(39));
        f.optYes->setText(t(40));
        f.optNo->setText(t(41));
        f.btnSet->setText(t(42));
        f.btnExit->setText(t(43));
    }
    if (first <= 2) {
        PalForm& p = palForm();
        p.lblPreview->setText(t(46));
        p.frmABout->setTitle(t(47));
        p.lblEmail->setText(t(48));
        p.lblRed->setText(t(49));
        p.lblGreen->setText(t(50));
        p.lblBlue->setText(t(51));
        p.dialogTitle = t(52);
        p.setWindowTitle(t(53));
    }
    if (first <= 3) {
        Slideshow& s = slideshow();
        s.File->setTitle(t(63));
        s.Open->setText(t(64));
        s.Save->setText(t(65));
        s.Quit->setText(t(66));
        s.SlideControl->setTitle(t(67));
        s.Play->setText(t(68));
        s.Playr->setText(t(68));
        s.key->setText(t(69));
        s.keypress->setText(t(69));
        s.timer->setText(t(70));
        s.timerwait->setText(t(70));
        s.looppic->setText(t(71));
        s.looppicture->setText(t(71));
        s.Info->setText(t(72));
        s.Root->setText(t(24));
        s.Previous->setText(t(25));
        s.setWindowTitle(t(73));
        s.add->setText(t(74));
        s.Addall->setText(t(75));
        s.Remove->setText(t(76));
        s.Removeall->setText(t(77));
        s.mnuFilename->setText(t(91));
        s.mnuShowf->setText(t(91));
        s.mnuColor->setText(t(92));
        s.mnuCursor->setText(t(93));
        s.mnuCursorPop->setText(t(93));
    }
}

void Application::showModeless(QWidget& w)
{
    w.show();
    w.raise();
    w.activateWindow();
}

void Application::showSplash()
{
    Intro& splash = intro();
    const QSize screen = ctx_.services().screen->screenPixels();
    splash.move((screen.width() - splash.width()) / 2, (screen.height() - splash.height()) / 2);
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

void Application::showPaletteViewer() { showModeless(palForm()); }

void Application::showOptions() { showModeless(options()); }

void Application::showTextEditor()
{
    // The editor frame arrives with the editor; until then a text file opens nowhere.
}

bool Application::playModule(const QString& path)
{
    frmPlay& window = player();
    ModulePlugin* plugin = ctx_.services().modules;
    if (!plugin)
        return false;
    // The instance playing in the window goes first, so two modules never play at once.
    if (window.hasInstance()) {
        plugin->stop(ctx_.ModPlayerHandle);
        plugin->destroy(ctx_.ModPlayerHandle);
        window.setInstanceAttached(false);
    }
    quint32 handle = 0;
    if (!plugin->createEx(QStringLiteral("loop|true"), handle))
        return false;
    ctx_.ModPlayerHandle = handle;
    plugin->setWindow(ctx_.ModPlayerHandle, &window);
    window.setInstanceAttached(true);
    ctx_.ModFilePath = path;
    plugin->load(ctx_.ModPlayerHandle, ctx_.ModFilePath);
    plugin->play(ctx_.ModPlayerHandle);
    showModeless(window);
    return true;
}

void Application::showAbout()
{
    ctx_.aboutShown = true;
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
