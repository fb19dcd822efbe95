#include "app/intro.h"
#include "app/realprogram.h"
#include "common/core/settingsnotice.h"
#include "common/core/version.h"

#include <QApplication>

#include <cstdio>
#include <cstring>

int main(int argc, char** argv)
{
    // Answered before any window system is needed. A file of that name opens as ./--version.
    if (argc == 2 && std::strcmp(argv[1], "--version") == 0) {
        std::printf("%s %s\n", qPrintable(orv::ProgramName), qPrintable(orv::versionText()));
        return 0;
    }
    orv::RealProcessEnvironment process;  // before anything can change the current folder
    QApplication qapp(argc, argv);
    QApplication::setApplicationName(orv::ProgramName);
    QApplication::setApplicationVersion(orv::versionText());
    // The program ends with its main window, never because the splash was the last window.
    QApplication::setQuitOnLastWindowClosed(false);
    QApplication::setWindowIcon(orv::programIcon());

    orv::RealProgram program(process);
    orv::tellWhenSettingsAreNotKept(program.store, program.prompts, orv::AppContext::AppName);
    program.app.Main();
    return QApplication::exec();
}
