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

    // What the display shows: the loaded module...
    const std::string& title() const { return title_; }
    const std::string& format() const { return format_; }
    int channels() const { return channels_; }

    // ...and how far its stream has got.
    struct Progress {
        bool playing = false;  // started and not stopped
        bool ended = false;    // the last frame has been played
        double elapsedSeconds = 0.0;
        std::array<float, 2> peaks {0.0f, 0.0f};  // since the previous call
    };
    // `scope` receives the last played frames mixed to mono, or is emptied while nothing plays.
    Progress progress(std::vector<float>& scope) const;

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
