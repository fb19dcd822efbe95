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

    bool looping() const { return m_loop; }

    // What the display shows: the loaded module...
    const std::string& title() const { return m_title; }
    const std::string& format() const { return m_format; }
    int channels() const { return m_channels; }

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
    bool m_loop = false;
    AudioOutput* m_output = nullptr;
    QPointer<ModPlugView> m_view;
    std::string m_path;
    std::unique_ptr<ModuleDecoder> m_ready;  // loaded, not yet handed to a stream
    std::string m_title;
    std::string m_format;
    int m_channels = 0;
    std::shared_ptr<ModuleStream> m_stream;
};

} // namespace orv
