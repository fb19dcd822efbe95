#include "modulearchive.h"

#include <libopenmpt/libopenmpt.hpp>
#include <zip.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <string_view>

namespace orv {

namespace {

struct ZipCloser {
    void operator()(zip_t* z) const { zip_discard(z); }
};
struct ZipFileCloser {
    void operator()(zip_file_t* f) const { zip_fclose(f); }
};

bool hasModuleSuffix(std::string_view name)
{
    const auto dot = name.rfind('.');
    if (dot == std::string_view::npos)
        return false;
    std::string ext(name.substr(dot + 1));
    std::transform(ext.begin(), ext.end(), ext.begin(), [](unsigned char c) { return char(std::tolower(c)); });
    return ext == "mod" || ext == "s3m" || ext == "xm" || ext == "it";
}

// The member's bytes, or empty when it cannot be read or passes the limit.
std::vector<std::byte> readMember(zip_t* zip, zip_uint64_t index, std::size_t limit)
{
    zip_stat_t st;
    zip_stat_init(&st);
    if (zip_stat_index(zip, index, 0, &st) != 0)
        return {};
    if ((st.valid & ZIP_STAT_SIZE) && st.size > limit)
        return {};
    std::unique_ptr<zip_file_t, ZipFileCloser> file(zip_fopen_index(zip, index, 0));
    if (!file)
        return {};
    std::vector<std::byte> out;
    std::byte chunk[64 * 1024];
    for (;;) {
        const zip_int64_t got = zip_fread(file.get(), chunk, sizeof chunk);
        if (got < 0)
            return {};
        if (got == 0)
            break;
        // The declared size may lie: the count of inflated bytes is what holds the bound.
        if (out.size() + std::size_t(got) > limit)
            return {};
        out.insert(out.end(), chunk, chunk + got);
    }
    return out;
}

bool looksLikeModule(const std::vector<std::byte>& bytes)
{
    return !bytes.empty()
        && openmpt::probe_file_header(openmpt::probe_file_header_flags_modules2, bytes.data(), bytes.size(),
                                      bytes.size())
        == openmpt::probe_file_header_result_success;
}

} // namespace

bool ModuleArchive::isZip(const std::vector<std::byte>& bytes)
{
    return bytes.size() >= 4 && std::memcmp(bytes.data(), "PK\x03\x04", 4) == 0;
}

std::vector<std::byte> ModuleArchive::firstModule(const std::vector<std::byte>& zip, std::size_t limit)
{
    if (!isZip(zip))
        return {};
    zip_error_t error;
    zip_error_init(&error);
    zip_source_t* source = zip_source_buffer_create(zip.data(), zip.size(), 0, &error);
    if (!source) {
        zip_error_fini(&error);
        return {};
    }
    std::unique_ptr<zip_t, ZipCloser> archive(zip_open_from_source(source, ZIP_RDONLY, &error));
    zip_error_fini(&error);
    if (!archive) {
        zip_source_free(source);
        return {};
    }
    const zip_int64_t count = zip_get_num_entries(archive.get(), 0);
    // Members named like modules first, then the rest in archive order.
    for (const bool byName : {true, false}) {
        for (zip_int64_t i = 0; i < count; ++i) {
            const char* raw = zip_get_name(archive.get(), zip_uint64_t(i), 0);
            const std::string_view name = raw ? raw : "";
            if (name.empty() || name.back() == '/' || hasModuleSuffix(name) != byName)
                continue;
            std::vector<std::byte> bytes = readMember(archive.get(), zip_uint64_t(i), limit);
            if (looksLikeModule(bytes))
                return bytes;
        }
    }
    return {};
}

} // namespace orv
