#include "app/core/commandline.h"
#include "common/art.h"
#include "app/realprogram.h"
#include "common/core/filenames.h"
#include "common/core/settingsnotice.h"
#include "common/deferredicons.h"
#include "common/core/version.h"

#include <QApplication>
#include <QSysInfo>

#include <cstdio>
#include <malloc.h>
#include <optional>

namespace {

orv::CommandLineRequest read(const QStringList& arguments)
{
    return orv::readCommandLine(arguments, QSysInfo::machineHostName(),
                                [](const QString& path) { return orv::pathExists(path); });
}

// The exit status when the request ends the program here, or nothing when it starts.
std::optional<int> answer(const orv::CommandLineRequest& request)
{
    switch (request.kind) {
    case orv::CommandLineRequest::Kind::Help:
        std::fputs(qPrintable(orv::helpText(QStringLiteral("orvane-viewer"))), stdout);
        return 0;
    case orv::CommandLineRequest::Kind::Version:
        std::printf("%s %s\n", qPrintable(orv::ProgramName), qPrintable(orv::versionText()));
        return 0;
    case orv::CommandLineRequest::Kind::Refused:
        std::fprintf(stderr, "orvane-viewer: %s\n", qPrintable(request.message));
        return 2;
    case orv::CommandLineRequest::Kind::Run:
        break;
    }
    return std::nullopt;
}

} // namespace

int main(int argc, char** argv)
{
    // Help, version and a refused address are answered before any window system is needed.
    // The arguments come from argv itself: QCoreApplication::arguments() has lost the bytes of
    // a name that is not UTF-8.
    if (const std::optional<int> status = answer(read(orv::argumentsAfterProgram(argc, argv))))
        return *status;

#ifdef M_ARENA_MAX
    // Videos, sounds and modules play on threads of their own, and malloc gives new threads pools
    // of their own (up to eight a core), each keeping what was freed in it: over a long run
    // through a folder those pools held about half of what the program grew by.
    mallopt(M_ARENA_MAX, 2);
#endif
#ifdef M_MMAP_THRESHOLD
    // A freed picture of a few megabytes would otherwise raise the size malloc serves from its
    // pools to match, and later pictures would fill those pools with holes it never hands back.
    // Fixed, every block from a megabyte up is mapped on its own and returned when freed.
    mallopt(M_MMAP_THRESHOLD, 1 << 20);
#endif
    orv::RealProcessEnvironment process;  // before anything can change the current folder
    QApplication qapp(argc, argv);
    QApplication::setApplicationName(orv::ProgramName);
    QApplication::setApplicationVersion(orv::versionText());
    QGuiApplication::setDesktopFileName(orv::DesktopFileName);
    // The program ends with its main window, never because the splash was the last window.
    QApplication::setQuitOnLastWindowClosed(false);
    QApplication::setWindowIcon(orv::programIcon());
    orv::deferStandardIcons();

    // Read again without the toolkit's own options (-platform and the like), which Qt has taken
    // out of argv.
    const orv::CommandLineRequest request = read(orv::argumentsAfterProgram(argc, argv));
    if (const std::optional<int> status = answer(request))
        return *status;
    process.setArguments(request.arguments);

    orv::RealProgram program(process);
    orv::tellWhenSettingsAreNotKept(program.store, program.prompts, orv::AppContext::AppName);
    program.app.Main();
    return QApplication::exec();
}
