#pragma once

#include "platform/moduleplugin.h"

#include <QLibrary>

#include <cstdint>
#include <set>

namespace orv {

class AudioOutput;

// The module plug-in library (liborvane-modplug.so in the given folder, the program's own),
// loaded at the first call and kept loaded. setWindow hands it the window together with the
// shared audio output. Instances the program never destroyed are destroyed with this object,
// which must therefore go before the audio output and after the windows.
class LibraryModulePlugin final : public ModulePlugin {
public:
    static const QString FileName;  // "liborvane-modplug.so"

    LibraryModulePlugin(AudioOutput& output, const QString& folder);
    ~LibraryModulePlugin() override;
    LibraryModulePlugin(const LibraryModulePlugin&) = delete;
    LibraryModulePlugin& operator=(const LibraryModulePlugin&) = delete;

    bool createEx(const QString& params, quint32& handle) override;
    bool setWindow(quint32 handle, QWidget* window) override;
    bool load(quint32 handle, const QString& path) override;
    bool play(quint32 handle) override;
    bool stop(quint32 handle) override;
    bool destroy(quint32 handle) override;

private:
    bool resolve();

    using CreateFn = std::uint32_t (*)(const char*);
    using WindowFn = std::uint32_t (*)(std::uint32_t, void*);
    using PathFn = std::uint32_t (*)(std::uint32_t, const char*);
    using HandleFn = std::uint32_t (*)(std::uint32_t);

    AudioOutput& output_;
    QLibrary library_;
    bool tried_ = false;
    CreateFn create_ = nullptr;
    WindowFn setWindow_ = nullptr;
    PathFn load_ = nullptr;
    HandleFn play_ = nullptr;
    HandleFn stop_ = nullptr;
    HandleFn destroy_ = nullptr;
    std::set<quint32> live_;
};

} // namespace orv
