#include "moduledecoder.h"

#include "modulearchive.h"

#include <libopenmpt/libopenmpt.hpp>

#include <ostream>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace orv {

namespace {

// The whole file, or empty when it is no regular file, cannot be read or is larger than the
// limit. Opening does not wait (a named pipe never blocks the caller), and reading stops at the
// limit whatever size the file claims.
std::vector<std::byte> readBounded(const std::string& path, std::size_t limit)
{
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return {};
    std::vector<std::byte> out;
    struct stat st {};
    bool ok = ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && std::size_t(st.st_size) <= limit;
    std::byte chunk[64 * 1024];
    while (ok) {
        const ssize_t got = ::read(fd, chunk, sizeof chunk);
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0) {
            ok = got == 0;
            break;
        }
        if (out.size() + std::size_t(got) > limit) {
            ok = false;
            break;
        }
        out.insert(out.end(), chunk, chunk + got);
    }
    ::close(fd);
    return ok ? out : std::vector<std::byte>();
}

} // namespace

ModuleDecoder::ModuleDecoder() = default;
ModuleDecoder::~ModuleDecoder() = default;

bool ModuleDecoder::loadFile(const std::string& path)
{
    return loadBytes(readBounded(path, MaxBytes));
}

bool ModuleDecoder::loadBytes(std::vector<std::byte> bytes)
{
    module_.reset();
    title_.clear();
    format_.clear();
    channels_ = 0;
    duration_ = 0.0;
    if (ModuleArchive::isZip(bytes))
        bytes = ModuleArchive::firstModule(bytes, MaxBytes);
    if (bytes.empty())
        return false;
    // libopenmpt's own messages go nowhere: a bad module is silent.
    std::ostream quiet(nullptr);
    try {
        module_ = std::make_unique<openmpt::module>(bytes, quiet);
        title_ = module_->get_metadata("title");
        format_ = module_->get_metadata("type_long");
        channels_ = module_->get_num_channels();
        duration_ = module_->get_duration_seconds();
    } catch (...) {
        module_.reset();
        return false;
    }
    return true;
}

void ModuleDecoder::setLooping(bool loop)
{
    if (module_)
        module_->set_repeat_count(loop ? -1 : 0);
}

int ModuleDecoder::render(int rate, float* interleavedStereo, int frames)
{
    if (!module_ || frames <= 0)
        return 0;
    try {
        return int(module_->read_interleaved_stereo(rate, std::size_t(frames), interleavedStereo));
    } catch (...) {
        return 0;
    }
}

} // namespace orv
