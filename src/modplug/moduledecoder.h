#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <vector>

namespace openmpt {
class module;
}

namespace orv {

// One tracker module (mod, s3m, xm, it, and zip-packed mdz/itz) decoded by libopenmpt into float
// stereo. Loading reads the whole file, at most MaxBytes of it or of an unpacked member; a file
// that is not a playable module leaves the decoder empty and says nothing. Not thread-safe: one
// thread renders at a time.
class ModuleDecoder {
public:
    static constexpr std::size_t MaxBytes = 64u * 1024u * 1024u;

    ModuleDecoder();
    ~ModuleDecoder();
    ModuleDecoder(const ModuleDecoder&) = delete;
    ModuleDecoder& operator=(const ModuleDecoder&) = delete;

    bool loadFile(const std::string& path);
    bool loadBytes(std::vector<std::byte> bytes);
    bool isLoaded() const { return module_ != nullptr; }

    // Repeats the song for ever instead of ending after its last order.
    void setLooping(bool loop);
    // Writes up to `frames` interleaved stereo frames at `rate`; fewer means the song ended.
    int render(int rate, float* interleavedStereo, int frames);

    const std::string& title() const { return title_; }
    const std::string& format() const { return format_; }
    int channels() const { return channels_; }
    double durationSeconds() const { return duration_; }

private:
    std::unique_ptr<openmpt::module> module_;
    std::string title_;
    std::string format_;
    int channels_ = 0;
    double duration_ = 0.0;
};

} // namespace orv
