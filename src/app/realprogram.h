#pragma once

#include "app/application.h"
#include "common/appcontext.h"
#include "common/core/settingsstore.h"
#include "common/qtprompts.h"
#include "platform/librarymoduleplugin.h"
#include "pictures/pictureloader.h"
#include "platform/printerservice.h"
#include "platform/core/processenvironment.h"
#include "platform/mediaservices.h"
#include "platform/desktoplauncher.h"
#include "platform/screenmetrics.h"
#include "platform/libraryfolder.h"
#include "platform/trayicons.h"
#include "platform/core/volumelist.h"

#include <QCoreApplication>

namespace orv {

// The program on its real services: the settings store under the user's config folder, Qt
// dialogs, the screen, the mounted volumes, the tray, this process, the picture readers, the
// shared audio output, the module plug-in, video, the desktop hand-over and the printer.
// Construct it after the QApplication; `process` must have been made before anything changed
// the current folder.
struct RealProgram {
    explicit RealProgram(ProcessEnvironment& process)
        : store(SettingsStore::defaultRoot()),
          // The picture area is about 300 pixels tall: a large JPEG shows its top at once.
          pictures(1440.0 / screen.twipsPerPixelX(), 1440.0 / screen.twipsPerPixelY(), 256LL * 1024 * 1024, 384),
          mediaLibrary(privateLibraryFolder()),
          modules(mediaLibrary.audio(), privateLibraryFolder()),
          ctx(store, prompts, services(process)),
          app(ctx)
    {
    }

    PlatformServices services(ProcessEnvironment& process)
    {
        PlatformServices s{&screen, &volumes, &tray, &process};
        s.pictures = &pictures;
        s.sound = &mediaLibrary.sound();
        s.media = &mediaLibrary.media();
        s.desktop = &desktop;
        s.printer = &printer;
        s.modules = &modules;
        return s;
    }

    SettingsStore store;
    QtPrompts prompts;
    QtScreenMetrics screen;
    StorageVolumeList volumes;
    QtTrayIcons tray;
    QtPictureLoader pictures;
    LazyMediaServices mediaLibrary;  // sound, video and the shared audio output, loaded at first use
    LibraryModulePlugin modules;     // after the audio output, before the windows
    XdgDesktopLauncher desktop;
    QtPrinterService printer;
    AppContext ctx;
    Application app;
};

} // namespace orv
