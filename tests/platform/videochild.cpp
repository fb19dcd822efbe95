// Sends "play <path>" to the real media control in a process of its own and prints whether the
// command was taken, so a test can run it under a GStreamer set-up of its choosing.
#include "platform/qtmediacontrol.h"

#include <QApplication>

#include <cstdio>

// What Qt Multimedia, GStreamer and GLib keep until the end (as in the media control tests).
extern "C" const char* __asan_default_options()
{
    return "fast_unwind_on_malloc=0";
}

extern "C" const char* __lsan_default_suppressions()
{
    return "leak:QVideoWindow::event\nleak:QPlatformMediaIntegration::instance\nleak:_dl_init\n";
}

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    if (argc != 2)
        return 2;
    orv::QtMediaControl media;
    const bool taken = media.play(QString::fromLocal8Bit(argv[1]), false);
    std::puts(taken ? "taken" : "refused");
    return 0;
}
