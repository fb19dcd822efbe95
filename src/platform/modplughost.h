#pragma once

#include <cstdint>

class QWidget;

namespace orv {

class AudioOutput;

// What the program hands to the module plug-in through ModPlug_SetWindow: the window the
// plug-in draws in and the shared audio output it plays into (module slot). The plug-in copies
// the fields during the call; `size` lets a later plug-in tell an older host apart. Both
// objects must outlive every instance attached to them, or be detached (Stop, Destroy) first.
struct ModPlugHost {
    std::uint32_t size = sizeof(ModPlugHost);
    AudioOutput* output = nullptr;
    QWidget* window = nullptr;
};

} // namespace orv
