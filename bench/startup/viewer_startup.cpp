// The viewer's real start-up (the same services and sequence as the program), quitting as
// soon as the splash has painted with the main window created behind it.
#include "app/intro.h"
#include "app/realprogram.h"

#include <QApplication>
#include <QEvent>
#include <QTimer>

namespace {

class PaintWatch : public QObject {
public:
    explicit PaintWatch(orv::Application& app) : app_(app) {}

protected:
    bool eventFilter(QObject* watched, QEvent* e) override
    {
        if (!done_ && e->type() == QEvent::Paint && watched == app_.findIntro() && app_.findMainM()) {
            done_ = true;
            QTimer::singleShot(0, qApp, [] { QCoreApplication::exit(0); });
        }
        return false;
    }

private:
    orv::Application& app_;
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
    orv::RealProgram program(process);
    PaintWatch watch(program.app);
    // A first start shows the options dialog and asks nothing; normal starts are measured.
    program.app.Main();
    // Main() returns before anything has painted; the splash paints once the loop runs.
    if (orv::Intro* splash = program.app.findIntro())
        splash->installEventFilter(&watch);
    return QApplication::exec();
}
