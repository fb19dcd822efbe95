// Start-up, language switching and the window registry, on fakes.
#include "startedprogram.h"
#include "eventually.h"

#include "app/core/languagetable.h"
#include "app/frmlang.h"
#include "app/intro.h"
#include "palette/palform.h"
#include "slideshow/slideshow.h"

#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTest>
#include <gtest/gtest.h>

using namespace orv;
using namespace orv::test;

namespace {

const QString kLang = QStringLiteral("Lang");

int storedTextCount(const AppHost& h)
{
    int n = 0;
    for (const auto& kv : h.store->listSection(AppContext::AppName, kLang))
        if (kv.first != kLang)
            ++n;
    return n;
}

} // namespace

// A first start writes the stamp, English and all its texts, shows the options dialog beside
// the splash, and keeps the main window hidden until the splash is dismissed.
TEST(Startup, FirstStartOnCleanStore)
{
    AppHost h;
    h.app->Main();
    EXPECT_EQ(h.read(QStringLiteral("Infos"), QStringLiteral("Version")), QStringLiteral("172"));
    EXPECT_EQ(h.read(QStringLiteral("Infos"), QStringLiteral("Copyright")), copyrightNotice());
    EXPECT_EQ(h.read(kLang, kLang), QStringLiteral("English"));
    EXPECT_EQ(storedTextCount(h), 97);
    for (const LanguageText& t : languageTable())
        EXPECT_EQ(h.read(kLang, QString::number(t.number)), languageText(Language::English, t.number)) << t.number;

    ASSERT_TRUE(h.app->findOptions());
    EXPECT_TRUE(h.app->findOptions()->isVisible());
    ASSERT_TRUE(h.app->findIntro());
    EXPECT_TRUE(h.app->findIntro()->isVisible());
    ASSERT_TRUE(h.app->findMainM());
    EXPECT_FALSE(h.app->findMainM()->isVisible());
    ASSERT_TRUE(h.app->findPalForm());
    EXPECT_FALSE(h.app->findPalForm()->isVisible());
    ASSERT_TRUE(h.app->findSlideshow());
    EXPECT_FALSE(h.app->findSlideshow()->isVisible());
    EXPECT_TRUE(h.tray.has(h.app->findMainM()));
    EXPECT_EQ(h.tray.icons.value(h.app->findMainM()), QStringLiteral("Orvane Viewer"));

    // A key on the splash brings up the main window and hides the splash.
    QTest::keyClick(h.app->findIntro(), Qt::Key_A);
    EXPECT_TRUE(h.app->findMainM()->isVisible());
    EXPECT_FALSE(h.app->findIntro()->isVisible());
}

// A later start of the same version keeps every setting and does not show the options.
TEST(Startup, SecondStartKeepsSettings)
{
    AppHost h;
    h.app->Main();
    h.write(QStringLiteral("Settings"), QStringLiteral("DefaultDir"), h.dir.path());
    h.write(QStringLiteral("Recent Files"), QStringLiteral("RecentFile1"), QStringLiteral("/x.txt"));
    h.restart();
    h.app->Main();
    EXPECT_FALSE(h.app->findOptions()->isVisible());
    EXPECT_EQ(h.read(QStringLiteral("Recent Files"), QStringLiteral("RecentFile1")), QStringLiteral("/x.txt"));
    EXPECT_EQ(folderList(*h.app->findMainM()).path(), h.dir.path());
    EXPECT_EQ(h.process.current, h.dir.path());
}

// Any other stamp wipes everything before the new stamp is written.
TEST(Startup, OtherVersionResetsEverything)
{
    AppHost h;
    h.write(QStringLiteral("Infos"), QStringLiteral("Version"), QStringLiteral("171"));
    h.write(kLang, kLang, QStringLiteral("French"));
    h.write(QStringLiteral("Settings"), QStringLiteral("DefaultDir"), QStringLiteral("/somewhere"));
    h.write(QStringLiteral("Recent Files"), QStringLiteral("RecentFile1"), QStringLiteral("/x.txt"));
    h.app->Main();
    EXPECT_EQ(h.read(QStringLiteral("Infos"), QStringLiteral("Version")), QStringLiteral("172"));
    EXPECT_EQ(h.read(kLang, kLang), QStringLiteral("English"));
    EXPECT_TRUE(h.read(QStringLiteral("Settings"), QStringLiteral("DefaultDir")).isEmpty());
    EXPECT_TRUE(h.read(QStringLiteral("Recent Files"), QStringLiteral("RecentFile1")).isEmpty());
    EXPECT_TRUE(h.app->findOptions()->isVisible());
    EXPECT_EQ(h.read(kLang, QStringLiteral("1")), QStringLiteral("&Quit"));
}

// A newer stamp, or one that is not a version at all, resets the store just as an older one.
TEST(Startup, NewerOrJunkVersionResetsEverything)
{
    for (const char* stamp : {"173", "2000", "1720", "17", "0172", "172 ", "v172", "junk"}) {
        AppHost h;
        h.write(QStringLiteral("Infos"), QStringLiteral("Version"), QString::fromLatin1(stamp));
        h.write(kLang, kLang, QStringLiteral("French"));
        h.write(QStringLiteral("Recent Files"), QStringLiteral("RecentFile1"), QStringLiteral("/x.txt"));
        h.app->Main();
        EXPECT_EQ(h.read(QStringLiteral("Infos"), QStringLiteral("Version")), QStringLiteral("172")) << stamp;
        EXPECT_EQ(h.read(kLang, kLang), QStringLiteral("English")) << stamp;
        EXPECT_TRUE(h.read(QStringLiteral("Recent Files"), QStringLiteral("RecentFile1")).isEmpty()) << stamp;
        EXPECT_TRUE(h.app->findOptions()->isVisible()) << stamp;
    }
}

// A valid stamp with the language key removed: English is rewritten, other settings survive;
// an unknown language value is left alone.
TEST(Startup, MissingLanguageIsRepaired)
{
    AppHost h;
    h.app->Main();
    h.write(QStringLiteral("Settings"), QStringLiteral("DefaultDir"), h.dir.path());
    h.store->removeKey(AppContext::AppName, kLang, kLang);
    h.store->removeKey(AppContext::AppName, kLang, QStringLiteral("7"));
    h.restart();
    h.app->Main();
    EXPECT_EQ(h.read(kLang, kLang), QStringLiteral("English"));
    EXPECT_EQ(h.read(kLang, QStringLiteral("7")), QStringLiteral("Activate full screen mode"));
    EXPECT_EQ(h.read(QStringLiteral("Settings"), QStringLiteral("DefaultDir")), h.dir.path());
    EXPECT_TRUE(h.app->findOptions()->isVisible());

    h.write(kLang, kLang, QStringLiteral("Klingon"));
    h.restart();
    h.app->Main();
    EXPECT_EQ(h.read(kLang, kLang), QStringLiteral("Klingon"));
    EXPECT_FALSE(h.app->findOptions()->isVisible());
}

// A store of this version written before some texts existed gets them, in its language; the
// texts it holds, changed or not, stay as they are.
TEST(Startup, TextsAddedSinceTheStoreWasWrittenAreFilledIn)
{
    AppHost h;
    h.app->Main();
    h.app->findOptions()->findChild<QAbstractButton*>(QStringLiteral("optFrench"))->click();
    h.app->SetLanguage(false);
    h.store->removeKey(AppContext::AppName, kLang, QStringLiteral("110"));
    h.store->removeKey(AppContext::AppName, kLang, QStringLiteral("111"));
    h.write(kLang, QStringLiteral("1"), QStringLiteral("&Sortir"));
    h.restart();
    h.app->Main();
    EXPECT_EQ(h.read(kLang, QStringLiteral("110")), languageText(Language::French, 110));
    EXPECT_EQ(h.read(kLang, QStringLiteral("111")), languageText(Language::French, 111));
    EXPECT_EQ(h.read(kLang, QStringLiteral("1")), QStringLiteral("&Sortir"));
    EXPECT_EQ(storedTextCount(h), 97);
    EXPECT_FALSE(h.app->findOptions()->isVisible());
}

// Switching English -> French through the options dialog updates every open window at once,
// and a restart keeps French.
TEST(Language, SwitchToFrenchAndRestart)
{
    AppHost h;
    h.app->Main();
    MainM& m = *h.app->findMainM();
    control<QRadioButton>(*h.app->findOptions(), "optFrench").setChecked(true);
    h.app->SetLanguage(false);
    EXPECT_EQ(h.read(kLang, kLang), QStringLiteral("French"));
    EXPECT_EQ(control<QAction>(m, "mnuQuit").text(), QStringLiteral("&Quitter"));
    EXPECT_EQ(control<QComboBox>(m, "cmbFiles").count(), 8);
    EXPECT_EQ(control<QComboBox>(m, "cmbFiles").itemText(0), QStringLiteral("Fichiers Support\u00e9s"));
    EXPECT_EQ(control<QAction>(m, "printerSetup").text(), QStringLiteral("&Configuration..."));
    EXPECT_EQ(control<QPushButton>(*h.app->findOptions(), "btnSet").text(), QStringLiteral("&Valider"));
    EXPECT_EQ(h.app->findPalForm()->windowTitle(), QStringLiteral("Visualiseur de Palettes 256 couleurs"));
    EXPECT_EQ(h.app->findSlideshow()->windowTitle(), QStringLiteral("Module de Diaporama"));
    for (const LanguageText& t : languageTable())
        EXPECT_EQ(h.read(kLang, QString::number(t.number)), languageText(Language::French, t.number)) << t.number;

    h.restart();
    h.app->Main();
    EXPECT_EQ(control<QAction>(*h.app->findMainM(), "mnuQuit").text(), QStringLiteral("&Quitter"));
    EXPECT_EQ(statusPanels(*h.app->findMainM()).panel(1)->toolTip(), QStringLiteral("Chemin de l'image"));
}

// The two tests of SetLanguage judge the language read before either block ran, and nothing
// is written when neither holds.
TEST(Language, SetLanguageTests)
{
    AppHost h;
    h.app->Main();
    const QString file = h.store->filePath(AppContext::AppName);
    auto stamp = [&] { QFile f(file); f.open(QIODevice::ReadOnly); return f.readAll(); };

    // Already English, English selected: nothing rewritten.
    const QByteArray before = stamp();
    h.app->SetLanguage(false);
    EXPECT_EQ(stamp(), before);

    // Old language missing, force false: nothing whatever the buttons say.
    h.store->removeKey(AppContext::AppName, kLang, kLang);
    control<QRadioButton>(*h.app->findOptions(), "optFrench").setChecked(true);
    const QByteArray missing = stamp();
    h.app->SetLanguage(false);
    EXPECT_EQ(stamp(), missing);

    // force with French selected and English stored: both blocks run, French wins.
    h.write(kLang, kLang, QStringLiteral("English"));
    control<QRadioButton>(*h.app->findOptions(), "optFrench").setChecked(true);
    h.app->SetLanguage(true);
    EXPECT_EQ(h.read(kLang, kLang), QStringLiteral("French"));
    EXPECT_EQ(h.read(kLang, QStringLiteral("1")), QStringLiteral("&Quitter"));

    // French stored, French selected: nothing.
    const QByteArray french = stamp();
    h.app->SetLanguage(false);
    EXPECT_EQ(stamp(), french);

    // French stored, English selected: back to English.
    control<QRadioButton>(*h.app->findOptions(), "optEnglish").setChecked(true);
    h.app->SetLanguage(false);
    EXPECT_EQ(h.read(kLang, QStringLiteral("1")), QStringLiteral("&Quit"));
    EXPECT_EQ(control<QAction>(*h.app->findMainM(), "mnuQuit").text(), QStringLiteral("&Quit"));
}

// ApplyLanguage enters the block sequence by exact name and creates what it needs.
TEST(Language, ApplyLanguageEntryPoints)
{
    AppHost h;
    h.app->Main();
    MainM& m = *h.app->findMainM();
    h.write(kLang, QStringLiteral("1"), QStringLiteral("Q1"));
    h.write(kLang, QStringLiteral("73"), QStringLiteral("S73"));
    h.write(kLang, QStringLiteral("35"), QStringLiteral("L35"));

    h.app->ApplyLanguage(QStringLiteral("FrmSlide"));
    EXPECT_EQ(h.app->findSlideshow()->windowTitle(), QStringLiteral("S73"));
    EXPECT_EQ(control<QAction>(m, "mnuQuit").text(), QStringLiteral("&Quit"));
    EXPECT_EQ(control<QGroupBox>(*h.app->findOptions(), "fraLang").title(), QStringLiteral("Language"));

    h.app->ApplyLanguage(QStringLiteral("FrmLang"));
    EXPECT_EQ(control<QGroupBox>(*h.app->findOptions(), "fraLang").title(), QStringLiteral("L35"));
    EXPECT_EQ(control<QAction>(m, "mnuQuit").text(), QStringLiteral("&Quit"));

    h.app->ApplyLanguage(QStringLiteral("frmlang"));
    EXPECT_EQ(control<QAction>(m, "mnuQuit").text(), QStringLiteral("Q1"));

    // A missing text gives an empty caption, nothing else.
    h.store->removeKey(AppContext::AppName, kLang, QStringLiteral("4"));
    h.app->ApplyLanguage(QString());
    EXPECT_TRUE(control<QAction>(m, "mnuPalView").text().isEmpty());

    // A closed window is forgotten; the next use re-creates it with the texts of that moment.
    h.app->findSlideshow()->close();
    ASSERT_EVENTUALLY(!h.app->findSlideshow());
    h.write(kLang, QStringLiteral("73"), QStringLiteral("again"));
    EXPECT_EQ(h.app->slideshow().windowTitle(), QStringLiteral("again"));
}

namespace {

// What a control shows as its language text: a caption or a title.
QString shownText(const QObject& control)
{
    if (const auto* a = qobject_cast<const QAction*>(&control))
        return a->text();
    if (const auto* m = qobject_cast<const QMenu*>(&control))
        return m->title();
    if (const auto* g = qobject_cast<const QGroupBox*>(&control))
        return g->title();
    if (const auto* b = qobject_cast<const QAbstractButton*>(&control))
        return b->text();
    if (const auto* l = qobject_cast<const QLabel*>(&control))
        return l->text();
    return QStringLiteral("(not a captioned control)");
}

} // namespace

// Every bound control of the four windows shows its own text: with each stored text replaced
// by its number, each control shows the number it is bound to.
TEST(Language, EveryControlShowsItsText)
{
    AppHost h;
    h.app->Main();
    for (const LanguageText& t : languageTable())
        h.write(kLang, QString::number(t.number), QStringLiteral("#%1").arg(t.number));
    h.app->ApplyLanguage(QString());

    const struct {
        const QWidget* window;
        QList<QPair<const char*, int>> rows;
    } windows[] = {
        {h.app->findMainM(),
         {{"mnuQuit", 1}, {"mnuSlide", 2}, {"mnuText", 3}, {"mnuTrayEditor", 3}, {"mnuTraySlide", 2},
          {"mnuTrayPal", 4}, {"mnuTrayQuit", 1}, {"mnuTrayMaxi", 109}, {"mnuPalView", 4}, {"mnuOptions", 5},
          {"mnuAbout", 6}, {"ppall", 15}, {"ppaudio", 16}, {"ppexe", 17}, {"pphlp", 18}, {"pphtml", 19},
          {"pppic", 20}, {"pptxt", 21}, {"printerSetup", 22}, {"GoPrint", 23}, {"Root", 24}, {"Previous", 25},
          {"mnuControl", 61}}},
        {h.app->findOptions(),
         {{"fraLang", 35}, {"optEnglish", 36}, {"optFrench", 37}, {"fraDirectory", 38}, {"lblQuest", 39},
          {"optYes", 40}, {"optNo", 41}, {"btnSet", 42}, {"btnExit", 43}}},
        {h.app->findPalForm(),
         {{"lblPreview", 46}, {"frmABout", 47}, {"lblEmail", 48}, {"lblRed", 49}, {"lblGreen", 50}, {"lblBlue", 51}}},
        {h.app->findSlideshow(),
         {{"File", 63}, {"Open", 64}, {"Save", 65}, {"Quit", 66}, {"SlideControl", 67}, {"Play", 68},
          {"Playr", 68}, {"key", 69}, {"keypress", 69}, {"timer", 70}, {"timerwait", 70}, {"looppic", 71},
          {"looppicture", 71}, {"Info", 72}, {"Root", 24}, {"Previous", 25}, {"add", 74}, {"Addall", 75},
          {"Remove", 76}, {"Removeall", 77}, {"mnuFilename", 91}, {"mnuShowf", 91}, {"mnuColor", 92},
          {"mnuCursor", 93}, {"mnuCursorPop", 93}}},
    };
    for (const auto& w : windows) {
        ASSERT_TRUE(w.window);
        for (const auto& [name, number] : w.rows)
            EXPECT_EQ(shownText(control<QObject>(*w.window, name)), QStringLiteral("#%1").arg(number))
                << w.window->objectName().toStdString() << "." << name;
    }
    const MainM& m = *h.app->findMainM();
    for (int i = 0; i < 8; ++i)
        EXPECT_EQ(control<QComboBox>(m, "cmbFiles").itemText(i), QStringLiteral("#%1").arg(200 + i)) << i;
    for (int panel = 1; panel <= 3; ++panel)
        EXPECT_EQ(statusPanels(m).panel(panel)->toolTip(), QStringLiteral("#%1").arg(11 + panel)) << panel;
    EXPECT_EQ(h.app->findPalForm()->windowTitle(), QStringLiteral("#53"));
    EXPECT_EQ(h.app->findSlideshow()->windowTitle(), QStringLiteral("#73"));
    // The palette viewer's open dialog carries text 52.
    h.prompts.expectInput(std::nullopt);
    h.app->findPalForm()->imgOpen_Click();
    ASSERT_EQ(h.prompts.asked().size(), 1);
    EXPECT_EQ(h.prompts.asked().front().title, QStringLiteral("#52"));
}

// Closing the options dialog destroys it; reopening restores Yes and reads the language anew.
TEST(Options, ReopenAfterSet)
{
    AppHost h;
    h.app->Main();
    frmLang* dlg = h.app->findOptions();
    control<QRadioButton>(*dlg, "optNo").setChecked(true);
    dlg->btnSet_Click();
    ASSERT_EVENTUALLY(!h.app->findOptions());
    EXPECT_EQ(h.read(QStringLiteral("Settings"), QStringLiteral("DefaultDir")), QStringLiteral("/"));
    h.app->showOptions();
    ASSERT_TRUE(h.app->findOptions());
    EXPECT_TRUE(control<QRadioButton>(*h.app->findOptions(), "optYes").isChecked());
    h.app->findOptions()->Form_Activate();
    EXPECT_EQ(control<QLineEdit>(*h.app->findOptions(), "lblDir").text(), folderList(*h.app->findMainM()).path());
}

// The About box: ten lines joined by nine lone CRs, splash behind it and hidden after.
TEST(About, TextAndSplash)
{
    AppHost h;
    h.app->Main();
    QTest::mouseClick(h.app->findIntro(), Qt::LeftButton);
    h.prompts.expectMessage(PromptAnswer::Ok);
    h.app->showAbout();
    ASSERT_EQ(h.prompts.asked().size(), 1);
    const QString text = h.prompts.asked().front().text;
    EXPECT_EQ(text.count(QLatin1Char('\r')), 9);
    EXPECT_FALSE(text.contains(QLatin1Char('\n')));
    const QStringList lines = text.split(QLatin1Char('\r'));
    EXPECT_EQ(lines[0], QStringLiteral("    Orvane Viewer is a fast and efficient viewer"));
    EXPECT_TRUE(lines[1].isEmpty());
    EXPECT_EQ(lines[3], QStringLiteral("        .bmp, .gif, .jpg, .dib, .wmf, .htm, .wav"));
    EXPECT_EQ(h.prompts.asked().front().title, AppContext::AppName);
    EXPECT_FALSE(h.app->findIntro()->isVisible());
    EXPECT_TRUE(h.app->findMainM()->isVisible());
}

// A settings file that cannot be read is kept aside and the program starts as on a clean store.
TEST(Startup, CorruptStoreIsSetAsideAndStartIsClean)
{
    AppHost h;
    const QString file = h.store->filePath(AppContext::AppName);
    QDir().mkpath(QFileInfo(file).path());
    {
        QFile f(file);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("#orvane-settings 1\n[Infos]\nVersion=172\n[Lang]\nLang=Fre");  // cut short
    }
    h.app->Main();
    EXPECT_FALSE(h.store->lastSetAside().isEmpty());
    EXPECT_TRUE(QFileInfo::exists(h.store->lastSetAside()));
    EXPECT_EQ(h.read(kLang, kLang), QStringLiteral("English"));
    EXPECT_EQ(h.read(QStringLiteral("Infos"), QStringLiteral("Version")), QStringLiteral("172"));
    EXPECT_TRUE(h.app->findOptions()->isVisible());
}
