#pragma once

#include <cstddef>
#include <vector>

namespace orv {

// Zip-packed modules (.mdz, .itz): the first member that looks like a module, unpacked in
// memory. Members are read in chunks and given up as soon as they pass `limit` bytes, whatever
// size the archive claims, so a zip bomb costs at most `limit` bytes and never more time than
// inflating that much.
class ModuleArchive {
public:
    static bool isZip(const std::vector<std::byte>& bytes);
    // Empty when the bytes are no zip, or no member within the limit is a module.
    static std::vector<std::byte> firstModule(const std::vector<std::byte>& zip, std::size_t limit);
};

} // namespace orv
