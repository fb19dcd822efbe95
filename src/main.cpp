#include "app/intro.h"
#include "app/realprogram.h"
#include "common/core/settingsnotice.h"

#include <QApplication>

int main(int argc, char** argv)
{
    orv::RealProcessEnvironment process;  // before anything can change the current folder
    QApplication qapp(argc, argv);
    QApplication::setApplicationName(orv::AppContext::AppName);
    QApplication::setApplicationVersion(QStringLiteral("1.7.2"));
    // The program ends with its main window, never because the splash was the last window.
    QApplication::setQuitOnLastWindowClosed(false);
    QApplication::setWindowIcon(orv::programIcon());

    orv::RealProgram program(process);
    orv::tellWhenSettingsAreNotKept(program.store, program.prompts, orv::AppContext::AppName);
    program.app.Main();
    return QApplication::exec();
}
