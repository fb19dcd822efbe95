#pragma once

#include "app/application.h"
#include "common/appcontext.h"
#include "common/core/settingsstore.h"
#include "common/qtprompts.h"
#include "platform/processenvironment.h"
#include "platform/screenmetrics.h"
#include "platform/trayicons.h"
#include "platform/volumelist.h"

namespace orv {

// The program on its real services: the settings store under the user's config folder, Qt
// dialogs, the screen, the mounted volumes, the tray and this process. Construct it after the
// QApplication; `process` must have been made before anything changed the current folder.
struct RealProgram {
    explicit RealProgram(ProcessEnvironment& process)
        : store(SettingsStore::defaultRoot()),
          ctx(store, prompts, PlatformServices{&screen, &volumes, &tray, &process}),
          app(ctx)
    {
    }

    SettingsStore store;
    QtPrompts prompts;
    QtScreenMetrics screen;
    StorageVolumeList volumes;
    QtTrayIcons tray;
    AppContext ctx;
    Application app;
};

} // namespace orv
