#pragma once

#include "app/application.h"
#include "common/appcontext.h"
#include "common/core/settingsstore.h"
#include "fakemedia.h"
#include "fakeplatform.h"
#include "pictures/pictureloader.h"
#include "recordingdesktoplauncher.h"
#include "recordingmoduleplugin.h"
#include "scriptedprompts.h"

#include <QTemporaryDir>
#include <memory>

namespace orv::test {

// A whole program on fakes: a store in a private folder, scripted dialogs, a fake screen,
// volumes, tray, process and module plug-in. restart() ends the program and starts it again on
// the same store.
struct AppHost {
    QTemporaryDir dir;
    std::unique_ptr<SettingsStore> store;
    ScriptedPrompts prompts;
    FakeScreenMetrics screen;
    FakeVolumeList volumes;
    RecordingTrayIcons tray;
    FakeProcessEnvironment process;
    QtPictureLoader pictures{96, 96};
    RecordingPrinter printer;
    RecordingSoundPlayer sound;
    RecordingMediaControl media;
    RecordingDesktopLauncher desktop;
    RecordingModulePlugin modules;
    std::unique_ptr<AppContext> ctx;
    std::unique_ptr<Application> app;

    AppHost()
    {
        store = std::make_unique<SettingsStore>(dir.filePath(QStringLiteral("config")));
        process.launch = dir.path();
        process.current = dir.path();
        process.exeFolder = dir.path();
        ctx = std::make_unique<AppContext>(*store, prompts,
                                           services());
        app = std::make_unique<Application>(*ctx);
    }

    PlatformServices services()
    {
        PlatformServices s{&screen, &volumes, &tray, &process};
        s.pictures = &pictures;
        s.printer = &printer;
        s.sound = &sound;
        s.media = &media;
        s.desktop = &desktop;
        s.modules = &modules;
        return s;
    }

    QString read(const QString& section, const QString& key) const
    {
        return store->read(AppContext::AppName, section, key);
    }
    void write(const QString& section, const QString& key, const QString& value)
    {
        store->write(AppContext::AppName, section, key, value);
    }

    void restart()
    {
        app.reset();
        ctx = std::make_unique<AppContext>(*store, prompts,
                                           services());
        app = std::make_unique<Application>(*ctx);
    }
};

} // namespace orv::test
