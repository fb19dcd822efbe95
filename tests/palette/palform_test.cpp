// The palette viewer window: opening palettes, refusals, the strip, the chosen colour, the
// image buttons and the web link, on the whole program with scripted dialogs.
#include "apphost.h"
#include "controls.h"
#include "support/samplesdir.h"
#include "eventually.h"

#include "browser/mainm.h"
#include "palette/palform.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMouseEvent>
#include <QTest>
#include <QtEndian>
#include <gtest/gtest.h>

using namespace orv;
using namespace orv::test;

namespace {

// A bitmap file with the given bit count and a table of (i, 255 - i, i / 2), entry 0 black,
// entry 255 white, and entry 1 orange.
QByteArray bitmap(int bitsPerPixel)
{
    QByteArray b(54, '\0');
    b[0] = 'B';
    b[1] = 'M';
    qToLittleEndian<quint16>(static_cast<quint16>(bitsPerPixel), b.data() + 28);
    for (int i = 0; i < 256; ++i) {
        int r = i, g = 255 - i, bl = i / 2;
        if (i == 0)
            r = g = bl = 0;
        else if (i == 1)
            r = 255, g = 128, bl = 0;
        else if (i == 255)
            r = g = bl = 255;
        b.append(static_cast<char>(bl)).append(static_cast<char>(g)).append(static_cast<char>(r)).append('\0');
    }
    return b + QByteArray(64, '\x11');
}

// The program started, the viewer opened from the Modules menu, files written to a folder.
struct Viewer {
    AppHost h;
    PalForm* p = nullptr;

    Viewer()
    {
        h.app->Main();
        control<QAction>(*h.app->findMainM(), "mnuPalView").trigger();
        p = h.app->findPalForm();
        h.prompts.clear();
    }

    QString write(const QString& name, const QByteArray& bytes)
    {
        const QString path = h.dir.filePath(name);
        QFile f(path);
        f.open(QIODevice::WriteOnly);
        f.write(bytes);
        return path;
    }

    // Chooses a file in the open dialog by clicking the open button; empty cancels. `refused`
    // answers the message that follows.
    void open(const QString& path, bool refused = false)
    {
        h.prompts.expectInput(path.isEmpty() ? std::nullopt : std::optional<QString>(path));
        if (refused)
            h.prompts.expectMessage(PromptAnswer::Ok);
        click(&label("imgOpen"));
    }

    static void send(QWidget* w, QEvent::Type type, QPoint at, Qt::MouseButton button, Qt::MouseButtons held)
    {
        QMouseEvent e(type, QPointF(at), w->mapToGlobal(QPointF(at)), button, held, Qt::NoModifier);
        QCoreApplication::sendEvent(w, &e);
    }
    static void click(QWidget* w, QPoint at = QPoint(5, 5))
    {
        send(w, QEvent::MouseButtonPress, at, Qt::LeftButton, Qt::LeftButton);
        send(w, QEvent::MouseButtonRelease, at, Qt::LeftButton, Qt::NoButton);
    }

    QListWidget& colorsList() const { return control<QListWidget>(*p, "colorsList"); }
    QLabel& label(const char* name) const { return control<QLabel>(*p, name); }
    QLineEdit& valueBox(const char* name) const { return control<QLineEdit>(*p, name); }

    QColor swatch(const QLabel* box) const { return box->palette().color(QPalette::Window); }
    QColor stripPixel(int row) const { return label("displayColors").pixmap().toImage().pixelColor(3, row); }
    QStringList values() const
    {
        return {valueBox("rValue").text(), valueBox("gValue").text(), valueBox("bValue").text()};
    }
    bool controlsEnabled() const
    {
        const QList<QWidget*> all{&colorsList(),         &label("displayColors"), &label("displayChoosenColor"),
                                  &label("displayPreview"), &label("lblPreview"),  &label("lblRed"),
                                  &label("lblGreen"),       &label("lblBlue"),     &valueBox("rValue"),
                                  &valueBox("gValue"),      &valueBox("bValue")};
        for (QWidget* w : all)
            EXPECT_EQ(w->isEnabled(), all.first()->isEnabled()) << w->objectName().toStdString();
        return all.first()->isEnabled();
    }
};

const QColor kGrey(192, 192, 192);

} // namespace

// The Modules menu shows the viewer; the open dialog has its title and starts in the
// Palettes folder below the current folder; the bundled bitmap and JASC palette read in full.
TEST(PalForm, OpensTheBundledPalettes)
{
    Viewer v;
    ASSERT_TRUE(v.p->isVisible());
    EXPECT_EQ(v.p->windowTitle(), QStringLiteral("256 Colors Palette Viewer"));

    v.open(orv::test::samplesDir() + QStringLiteral("/palette8.bmp"));
    ASSERT_EQ(v.h.prompts.asked().size(), 1);
    EXPECT_EQ(v.h.prompts.asked()[0].kind, QStringLiteral("open"));
    EXPECT_EQ(v.h.prompts.asked()[0].title, QStringLiteral("Open a palette file"));
    EXPECT_EQ(v.h.prompts.asked()[0].text, QDir(v.h.process.current).filePath(QStringLiteral("Palettes")));
    const QImage image(orv::test::samplesDir() + QStringLiteral("/palette8.bmp"));
    ASSERT_EQ(v.colorsList().count(), 256);
    for (int i : {0, 100, 255}) {
        const QRgb c = image.colorTable().value(i);
        EXPECT_EQ(v.colorsList().item(i)->text(), QStringLiteral("%1,%2,%3").arg(qRed(c)).arg(qGreen(c)).arg(qBlue(c)));
    }
    EXPECT_EQ(v.stripPixel(0), QColor(image.colorTable().value(0)));

    v.open(orv::test::samplesDir() + QStringLiteral("/sky.pal"));
    ASSERT_EQ(v.colorsList().count(), 256);
    QFile pal(orv::test::samplesDir() + QStringLiteral("/sky.pal"));
    ASSERT_TRUE(pal.open(QIODevice::ReadOnly));
    const QList<QByteArray> lines = pal.readAll().split('\n');
    EXPECT_EQ(v.colorsList().item(0)->text().toLatin1(), lines[3].trimmed().replace(' ', ','));
}

// Black at 0 and white at 255 give the list texts 0,0,0 first and 255,255,255 last, a black
// stripe at the top and the grey background below the last stripe.
TEST(PalForm, BlackFirstWhiteLast)
{
    Viewer v;
    v.open(v.write(QStringLiteral("Sky.Dib"), bitmap(8)));
    ASSERT_EQ(v.colorsList().count(), 256);
    EXPECT_EQ(v.colorsList().item(0)->text(), QStringLiteral("0,0,0"));
    EXPECT_EQ(v.colorsList().item(255)->text(), QStringLiteral("255,255,255"));
    const int lastRow = v.label("displayColors").height() - 1;
    EXPECT_EQ(v.stripPixel(0), QColor(0, 0, 0));
    EXPECT_EQ(v.stripPixel(lastRow), kGrey);
    EXPECT_TRUE(v.controlsEnabled());
}

// A 24-bit bitmap: text 87 with the error icon and no title, the palette cleared and its
// controls disabled; a refused JASC file leaves them disabled; a good file enables them again.
TEST(PalForm, RefusalsAndTheControls)
{
    Viewer v;
    v.open(v.write(QStringLiteral("good.bmp"), bitmap(8)));
    v.colorsList().setCurrentRow(1);
    v.h.prompts.clear();

    v.open(v.write(QStringLiteral("deep.bmp"), bitmap(24)), true);
    ASSERT_EQ(v.h.prompts.asked().size(), 2);
    EXPECT_EQ(v.h.prompts.asked()[1].text, QStringLiteral("Not a 8 bits bitmap (256 colors)."));
    EXPECT_TRUE(v.h.prompts.asked()[1].title.isEmpty());
    EXPECT_EQ(v.h.prompts.asked()[1].icon, PromptIcon::Critical);
    EXPECT_TRUE(v.p->paletteRejected());
    EXPECT_EQ(v.colorsList().count(), 0);
    EXPECT_EQ(v.stripPixel(0), kGrey);
    EXPECT_TRUE(v.values().join(QString()).isEmpty());
    EXPECT_NE(v.swatch(&v.label("displayChoosenColor")), QColor(255, 128, 0));
    EXPECT_FALSE(v.controlsEnabled());

    v.open(v.write(QStringLiteral("lower.pal"), "jasc-pal\r\n0100\r\n256\r\n1 2 3\r\n"), true);
    EXPECT_EQ(v.h.prompts.asked().last().text, QStringLiteral("Not a valid JASC palette !"));
    EXPECT_FALSE(v.p->paletteRejected());
    EXPECT_FALSE(v.controlsEnabled());

    v.open(v.write(QStringLiteral("sixteen.pal"), "JASC-PAL\r\n0100\r\n16\r\n1 2 3\r\n"), true);
    EXPECT_EQ(v.h.prompts.asked().last().text, QStringLiteral("Not a 256 colors JASC palette !"));

    v.open(v.write(QStringLiteral("good.bmp"), bitmap(8)));
    EXPECT_EQ(v.colorsList().count(), 256);
    EXPECT_TRUE(v.controlsEnabled());
}

// A path naming no file is refused with 87 and not created; a name ending in none of the three
// suffixes reads nothing, says nothing and enables the controls; cancelling keeps the palette.
TEST(PalForm, MissingOtherAndCancelled)
{
    Viewer v;
    const QString missing = v.h.dir.filePath(QStringLiteral("gone.bmp"));
    v.open(missing, true);
    EXPECT_EQ(v.h.prompts.asked().last().text, QStringLiteral("Not a 8 bits bitmap (256 colors)."));
    EXPECT_FALSE(QFile::exists(missing));
    EXPECT_FALSE(v.controlsEnabled());

    v.open(v.write(QStringLiteral("sky.bmp.bak"), bitmap(8)));
    EXPECT_EQ(v.colorsList().count(), 0);
    EXPECT_TRUE(v.controlsEnabled());

    v.open(v.write(QStringLiteral("good.bmp"), bitmap(8)));
    v.colorsList().setCurrentRow(1);
    v.open(QString());
    EXPECT_EQ(v.colorsList().count(), 256);
    EXPECT_EQ(v.values(), (QStringList{QStringLiteral("255"), QStringLiteral("128"), QStringLiteral("0")}));
}

// Moving down the strip previews each stripe's colour in turn (grey below the last); a click
// selects the matching entry and fills the chosen swatch and the values; a click where the
// strip holds no entry is ignored.
TEST(PalForm, PointerOverTheStrip)
{
    Viewer v;
    const double tpp = v.h.screen.twipsPerPixelY();
    QByteArray body;
    for (int i = 0; i < 10; ++i)
        body += QByteArray::number(i * 20) + ' ' + QByteArray::number(255 - i) + ' ' + QByteArray::number(i) + "\r\n";
    v.open(v.write(QStringLiteral("ten.pal"), "JASC-PAL\r\n0100\r\n256\r\n" + body));
    ASSERT_EQ(v.colorsList().count(), 10);

    int seen = -1;
    for (int row = 0; row < v.label("displayColors").height(); ++row) {
        Viewer::send(&v.label("displayColors"), QEvent::MouseMove, QPoint(10, row), Qt::NoButton, Qt::NoButton);
        const int index = static_cast<int>((row + 0.5) * tpp / 20);
        ASSERT_EQ(v.p->hoverIndex(), index) << row;
        const QColor expected = index < 10 ? QColor(index * 20, 255 - index, index) : kGrey;
        ASSERT_EQ(v.swatch(&v.label("displayPreview")), expected) << row;
        if (index < 10 && index > seen) {
            Viewer::click(&v.label("displayColors"), QPoint(10, row));
            ASSERT_EQ(v.colorsList().currentRow(), index);
            ASSERT_EQ(v.swatch(&v.label("displayChoosenColor")), expected);
            ASSERT_EQ(v.valueBox("gValue").text(), QString::number(255 - index));
            seen = index;
        }
    }
    EXPECT_EQ(seen, 9);

    Viewer::click(&v.label("displayColors"), QPoint(10, v.label("displayColors").height() - 1));
    EXPECT_EQ(v.colorsList().currentRow(), 9);
    EXPECT_EQ(v.valueBox("gValue").text(), QStringLiteral("246"));
}

// Choosing 255,128,0 in the list shows an orange swatch and 255, 128 and 0; values beyond
// 0..255 read from a JASC file show as read and paint clamped.
TEST(PalForm, ChosenColour)
{
    Viewer v;
    v.open(v.write(QStringLiteral("good.bmp"), bitmap(8)));
    v.colorsList().setCurrentRow(1);
    EXPECT_EQ(v.swatch(&v.label("displayChoosenColor")), QColor(255, 128, 0));
    EXPECT_EQ(v.values(), (QStringList{QStringLiteral("255"), QStringLiteral("128"), QStringLiteral("0")}));

    v.open(v.write(QStringLiteral("wild.pal"), "JASC-PAL\n0100\n256\n-5 300 7\n"));
    ASSERT_EQ(v.colorsList().count(), 1);
    EXPECT_EQ(v.colorsList().item(0)->text(), QStringLiteral("-5,300,7"));
    EXPECT_EQ(v.stripPixel(0), QColor(0, 255, 7));
    v.colorsList().setCurrentRow(0);
    EXPECT_EQ(v.values(), (QStringList{QStringLiteral("-5"), QStringLiteral("300"), QStringLiteral("7")}));
    EXPECT_EQ(v.swatch(&v.label("displayChoosenColor")), QColor(0, 255, 7));
}

// An image button shows its pressed picture while held over it and its released one off it;
// releasing off the quit button keeps the window, releasing on it closes the window.
TEST(PalForm, ImageButtons)
{
    Viewer v;
    const auto shows = [](const QLabel* l, const QPixmap& pm) { return l->pixmap().toImage() == pm.toImage(); };
    ASSERT_FALSE(shows(&v.label("imgQuit"), v.p->imgQuitDown()));
    EXPECT_TRUE(shows(&v.label("imgOpen"), v.p->imgOpenUp()));

    QLabel* quit = &v.label("imgQuit");
    Viewer::send(quit, QEvent::MouseButtonPress, QPoint(5, 5), Qt::LeftButton, Qt::LeftButton);
    EXPECT_TRUE(shows(quit, v.p->imgQuitDown()));
    Viewer::send(quit, QEvent::MouseMove, QPoint(quit->width() + 4, 5), Qt::NoButton, Qt::LeftButton);
    EXPECT_TRUE(shows(quit, v.p->imgQuitUp()));
    Viewer::send(quit, QEvent::MouseMove, QPoint(3, 3), Qt::NoButton, Qt::LeftButton);
    EXPECT_TRUE(shows(quit, v.p->imgQuitDown()));
    Viewer::send(quit, QEvent::MouseMove, QPoint(5, -3), Qt::NoButton, Qt::LeftButton);
    Viewer::send(quit, QEvent::MouseButtonRelease, QPoint(5, -3), Qt::LeftButton, Qt::NoButton);
    EXPECT_TRUE(shows(quit, v.p->imgQuitUp()));
    EXPECT_TRUE(v.p->isVisible());

    Viewer::send(&v.label("imgOpen"), QEvent::MouseButtonPress, QPoint(5, 5), Qt::LeftButton, Qt::LeftButton);
    EXPECT_TRUE(shows(&v.label("imgOpen"), v.p->imgOpenDown()));
    Viewer::send(&v.label("imgOpen"), QEvent::MouseButtonRelease, QPoint(50, 5), Qt::LeftButton, Qt::NoButton);
    EXPECT_TRUE(shows(&v.label("imgOpen"), v.p->imgOpenUp()));
    EXPECT_TRUE(v.h.prompts.asked().isEmpty());

    Viewer::click(quit);
    ASSERT_EVENTUALLY(!v.h.app->findPalForm());
}

// The link turns red while held and blue after; a click hands the web address to the desktop.
TEST(PalForm, WebLink)
{
    Viewer v;
    QLabel* link = &v.label("lblEmail");
    EXPECT_EQ(link->text(), QStringLiteral("Visit the Vorla Team !"));
    Viewer::send(link, QEvent::MouseButtonPress, QPoint(3, 3), Qt::LeftButton, Qt::LeftButton);
    EXPECT_EQ(link->palette().color(QPalette::WindowText), QColor(255, 0, 0));
    EXPECT_TRUE(v.h.desktop.calls.isEmpty());
    Viewer::send(link, QEvent::MouseButtonRelease, QPoint(3, 3), Qt::LeftButton, Qt::NoButton);
    EXPECT_EQ(link->palette().color(QPalette::WindowText), QColor(0, 0, 255));
    ASSERT_EQ(v.h.desktop.calls.size(), 1);
    EXPECT_EQ(v.h.desktop.calls[0].kind, RecordingDesktopLauncher::Kind::Document);
    EXPECT_EQ(v.h.desktop.calls[0].target, AppContext::SiteAddress);
}
