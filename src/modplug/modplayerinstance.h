#pragma once

#include <QPointer>

#include <array>
#include <memory>
#include <string>
#include <vector>

class QWidget;

namespace orv {

class AudioOutput;
class ModPlugView;
class ModuleDecoder;
class ModuleStream;
struct ModPlugHost;

// One player of the module plug-in: the parameters it was made with, the window and audio
// output it is attached to, the loaded module and, while it plays, the stream in the output's
// module slot. Lives on the UI thread; only its stream runs elsewhere.
class ModPlayerInstance {
public:
    // `params` is "name|value" pairs joined by "|"; "loop|true" repeats the module until Stop.
    explicit ModPlayerInstance(const std::string& params);
    ~ModPlayerInstance();
    ModPlayerInstance(const ModPlayerInstance&) = delete;
    ModPlayerInstance& operator=(const ModPlayerInstance&) = delete;

    void attach(const ModPlugHost* host);
    bool load(const std::string& path);
    bool play();
    void stop();

    bool looping() const { return loop_; }

    // What the display shows.
    struct Snapshot {
        std::string title;
        std::string format;
        int channels = 0;
        bool playing = false;
        double elapsedSeconds = 0.0;
        std::array<float, 2> peaks {0.0f, 0.0f};
        std::vector<float> scope;
    };
    Snapshot snapshot() const;

private:
    bool loop_ = false;
    AudioOutput* output_ = nullptr;
    QPointer<ModPlugView> view_;
    std::string path_;
    std::unique_ptr<ModuleDecoder> ready_;  // loaded, not yet handed to a stream
    std::string title_;
    std::string format_;
    int channels_ = 0;
    std::shared_ptr<ModuleStream> stream_;
};

} // namespace orv
