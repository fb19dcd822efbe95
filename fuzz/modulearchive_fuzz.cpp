// libFuzzer target for the unpacking of zip-packed modules.
#include "modplug/modulearchive.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    // Small enough that a member passing it is quickly inflated, large enough for real modules.
    constexpr std::size_t limit = 256 * 1024;
    std::vector<std::byte> bytes(size);
    if (size)
        std::memcpy(bytes.data(), data, size);
    const std::vector<std::byte> module = orv::ModuleArchive::firstModule(bytes, limit);
    // Nothing past the bound, and nothing at all from what is no zip.
    if (module.size() > limit || (!module.empty() && !orv::ModuleArchive::isZip(bytes)))
        std::abort();
    return 0;
}
