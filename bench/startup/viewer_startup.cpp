// The viewer's real start-up (the same services and sequence as the program), quitting as
// soon as the splash has painted with the main window created behind it.
// With a file argument (the program's own command line), the splash is dismissed as soon as it
// has painted, and it quits once the main window's picture area has painted the picture.
#include "app/core/commandline.h"
#include "app/intro.h"
#include "app/realprogram.h"
#include "browser/mainm.h"
#include "browser/picturebox.h"
#include "common/art.h"
#include "common/deferredicons.h"

#include <QApplication>
#include <QEvent>
#include <QTimer>

namespace {

class PaintWatch : public QObject {
public:
    PaintWatch(orv::Application& app, bool picture) : app_(app), picture_(picture) {}

protected:
    bool eventFilter(QObject* watched, QEvent* e) override
    {
        if (done_ || e->type() != QEvent::Paint)
            return false;
        if (watched == app_.findIntro() && app_.findMainM()) {
            if (!picture_) {
                done_ = true;
                QTimer::singleShot(0, qApp, [] { QCoreApplication::exit(0); });
                return false;
            }
            // A key on the splash, at once: it hands over to the main window.
            area_ = app_.findMainM()->findChild<orv::PictureBox*>(QStringLiteral("Open"));
            area_->installEventFilter(this);
            QTimer::singleShot(0, qApp, [this] {
                app_.findIntro()->hide();
                app_.showMainWindow();
            });
        } else if (watched == area_ && area_->hasPicture()) {
            done_ = true;
            QTimer::singleShot(0, qApp, [] { QCoreApplication::exit(0); });
        }
        return false;
    }

private:
    orv::Application& app_;
    bool picture_;
    orv::PictureBox* area_ = nullptr;
    bool done_ = false;
};

} // namespace

int main(int argc, char** argv)
{
    orv::RealProcessEnvironment process;
    QApplication qapp(argc, argv);
    QApplication::setApplicationName(orv::AppContext::AppName);
    QApplication::setQuitOnLastWindowClosed(false);
    QApplication::setWindowIcon(orv::programIcon());
    orv::deferStandardIcons();
    process.setArguments(orv::argumentsAfterProgram(argc, argv));
    orv::RealProgram program(process);
    PaintWatch watch(program.app, argc > 1);
    // A first start shows the options dialog and asks nothing; normal starts are measured.
    program.app.Main();
    // Main() returns before anything has painted; the splash paints once the loop runs.
    if (orv::Intro* splash = program.app.findIntro())
        splash->installEventFilter(&watch);
    return QApplication::exec();
}
