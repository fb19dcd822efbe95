// The real program on its real services inside a Wayland compositor: it starts, the splash goes
// on a key, the main window shows a sample picture, the other windows open, Quit ends it, and
// the platform has nothing to complain about on the way (no centring or activation it refuses).
// Input goes through Qt's own event delivery, as a headless compositor has no seat to type on.
// Usage: orvane_wayland_session <samples dir>   (with QT_QPA_PLATFORM=wayland)
#include "app/intro.h"
#include "app/realprogram.h"
#include "browser/mainm.h"
#include "browser/picturebox.h"
#include "browsing/core/folderbrowser.h"
#include "browsing/filelistview.h"
#include "common/art.h"
#include "common/core/version.h"
#include "palette/palform.h"
#include "slideshow/showpic.h"
#include "slideshow/slideshow.h"

#include <QAction>
#include <QApplication>
#include <QEventLoop>
#include <QTest>
#include <QTimer>

#include <cstdio>

namespace {

QStringList complaints;

void record(QtMsgType type, const QMessageLogContext& context, const QString& text)
{
    if (type != QtDebugMsg && type != QtInfoMsg)
        complaints.append(QStringLiteral("%1: %2").arg(QLatin1String(context.category ? context.category : "default"), text));
}

int failures = 0;

void check(bool ok, const char* what)
{
    std::printf("%s: %s\n", ok ? "ok" : "FAILED", what);
    if (!ok)
        ++failures;
}

template <class T>
T* named(QObject& window, const char* name)
{
    return window.findChild<T*>(QLatin1String(name));
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <samples dir>\n", argv[0]);
        return 2;
    }
    const QString samples = QString::fromLocal8Bit(argv[1]);
    qInstallMessageHandler(record);
    QApplication qapp(argc, argv);
    // As the program's main() sets it up.
    QApplication::setApplicationName(orv::ProgramName);
    QGuiApplication::setDesktopFileName(orv::DesktopFileName);
    QApplication::setQuitOnLastWindowClosed(false);
    QApplication::setWindowIcon(orv::programIcon());
    if (!QGuiApplication::platformName().startsWith(QLatin1String("wayland"))) {
        std::fprintf(stderr, "not on Wayland but on %s\n", qPrintable(QGuiApplication::platformName()));
        return 2;
    }

    orv::RealProcessEnvironment process;
    process.setArguments({samples + QStringLiteral("/Photos with spaces/beach day.jpg")});
    orv::RealProgram program(process);
    program.app.Main();

    orv::Intro* splash = program.app.findIntro();
    check(splash && QTest::qWaitForWindowExposed(splash), "the splash is shown");
    orv::MainM& m = program.app.mainM();
    check(!m.isVisible(), "the main window waits behind the splash");
    if (splash)
        QTest::keyClick(splash, Qt::Key_Space);
    check(QTest::qWaitForWindowExposed(&m), "a key on the splash shows the main window");
    check(!splash || !splash->isVisible(), "the splash is gone");
    auto* picture = named<orv::PictureBox>(m, "Open");
    check(picture && picture->hasPicture(), "the picture named on the command line is shown");

    // A sample picture chosen in the file list.
    m.browser().enter(samples);
    auto* files = named<orv::FileListView>(m, "fileFilter");
    check(files && QTest::qWaitFor([files] { return !files->isLoading() && files->count() > 0; }), "the samples are listed");
    bool clicked = false;
    for (int row = 0; files && row < files->count(); ++row) {
        const QModelIndex i = files->model()->index(row, 0);
        if (i.data().toString() == QLatin1String("sunset.bmp")) {
            files->setCurrentIndex(i);
            m.fileFilter_Click();
            clicked = true;
        }
    }
    check(clicked && picture && picture->image().size() == QSize(800, 600), "sunset.bmp opens from the file list");

    // The other windows come up where the compositor puts them.
    program.app.showPaletteViewer();
    check(QTest::qWaitForWindowExposed(&program.app.palForm()), "the palette viewer opens");
    program.app.showSlideShowEditor();
    check(QTest::qWaitForWindowExposed(&program.app.slideshow()), "the slide-show editor opens");
    m.btnFull_Click();
    check(program.app.findShowpic() && QTest::qWaitForWindowExposed(program.app.findShowpic()),
          "the full-screen view opens");
    if (program.app.findShowpic())
        QTest::keyClick(program.app.findShowpic(), Qt::Key_Space);
    check(QTest::qWaitFor([&] { return !program.app.findShowpic() || !program.app.findShowpic()->isVisible(); }),
          "a key closes the full-screen view");

    // Quit from the menu bar ends the event loop with success.
    QEventLoop loop;
    QTimer::singleShot(0, &loop, [&m] {
        if (auto* quit = named<QAction>(m, "mnuQuit"))
            quit->trigger();
    });
    QTimer::singleShot(10000, &loop, [&loop] { loop.exit(7); });
    check(loop.exec() == 0, "Quit ends the program");

    for (const QString& c : complaints)
        std::printf("complaint: %s\n", qPrintable(c));
    check(complaints.isEmpty(), "no warnings from Qt or its Wayland platform");
    return failures == 0 ? 0 : 1;
}
