// The plug-in's C interface: six calls taking and returning 32-bit values. A handle names one
// player instance; 0 is never a handle, and a handle that is not (or no longer) alive makes a
// call do nothing and return 0. ModPlug_SetWindow takes a pointer to an orv::ModPlugHost (the
// window to draw in and the audio output to play into) in place of a bare window. Every call is
// made on the UI thread; no exception leaves the library.
#include "modplayerinstance.h"
#include "platform/modplughost.h"

#include <cstdint>
#include <map>
#include <memory>
#include <string>

#define ORV_MODPLUG_EXPORT extern "C" __attribute__((visibility("default")))

namespace {

using orv::ModPlayerInstance;

struct Instances {
    std::map<std::uint32_t, std::unique_ptr<ModPlayerInstance>> live;
    std::uint32_t next = 1;
};

Instances& instances()
{
    static Instances all;
    return all;
}

ModPlayerInstance* find(std::uint32_t handle)
{
    auto& live = instances().live;
    const auto it = live.find(handle);
    return it == live.end() ? nullptr : it->second.get();
}

template <class Call>
std::uint32_t guarded(std::uint32_t handle, Call call)
{
    try {
        ModPlayerInstance* instance = find(handle);
        return instance && call(*instance) ? 1u : 0u;
    } catch (...) {
        return 0;
    }
}

} // namespace

ORV_MODPLUG_EXPORT std::uint32_t ModPlug_CreateEx(const char* params)
{
    try {
        Instances& all = instances();
        std::uint32_t handle = all.next++;
        if (handle == 0)
            handle = all.next++;
        all.live.emplace(handle, std::make_unique<ModPlayerInstance>(params ? params : ""));
        return handle;
    } catch (...) {
        return 0;
    }
}

ORV_MODPLUG_EXPORT std::uint32_t ModPlug_SetWindow(std::uint32_t handle, void* window)
{
    return guarded(handle, [window](ModPlayerInstance& i) {
        i.attach(static_cast<const orv::ModPlugHost*>(window));
        return true;
    });
}

ORV_MODPLUG_EXPORT std::uint32_t ModPlug_Load(std::uint32_t handle, const char* path)
{
    return guarded(handle, [path](ModPlayerInstance& i) { return path && i.load(path); });
}

ORV_MODPLUG_EXPORT std::uint32_t ModPlug_Play(std::uint32_t handle)
{
    return guarded(handle, [](ModPlayerInstance& i) { return i.play(); });
}

ORV_MODPLUG_EXPORT std::uint32_t ModPlug_Stop(std::uint32_t handle)
{
    return guarded(handle, [](ModPlayerInstance& i) {
        i.stop();
        return true;
    });
}

ORV_MODPLUG_EXPORT std::uint32_t ModPlug_Destroy(std::uint32_t handle)
{
    try {
        // Taken out of the table first, so nothing can reach it while it goes.
        auto& live = instances().live;
        const auto it = live.find(handle);
        if (it == live.end())
            return 0;
        std::unique_ptr<ModPlayerInstance> gone = std::move(it->second);
        live.erase(it);
        gone.reset();
        return 1;
    } catch (...) {
        return 0;
    }
}
