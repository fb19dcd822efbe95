#include "browsing/core/listing.h"

#include "common/core/filenames.h"

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <memory>
#include <system_error>
#include <thread>
#include <utility>
#include <vector>

#include <dirent.h>
#include <limits.h>
#include <sys/stat.h>

namespace orv {

namespace {

// Below this many names one thread sorts faster than two can start.
constexpr std::size_t kParallelSortMin = 20000;

constexpr std::size_t kPrefixUnits = 16;

// A name's case-folded form lives in one shared buffer: a million names cost no allocation
// for their sort keys. Its first 16 UTF-16 units are also packed into the key itself, most
// significant first and padded with zeros (no name holds a NUL), so most comparisons are
// decided without reaching into the buffer, whose order is the folder's, not the sort's.
struct SortKey
{
    std::uint64_t prefix[kPrefixUnits / 4];
    std::size_t offset;
    std::uint32_t length;
    std::uint32_t index : 31;   // into the entries
    std::uint32_t packable : 1; // no surrogate in the prefix: units compare as the whole does
};

SortKey makeKey(const char16_t* text, std::size_t offset, std::size_t length, std::size_t index)
{
    SortKey key{};
    key.offset = offset;
    key.length = std::uint32_t(length);
    key.index = std::uint32_t(index);
    key.packable = 1;
    const char16_t* name = text + offset;
    for (std::size_t i = 0; i < kPrefixUnits && i < length; ++i) {
        if (QChar::isSurrogate(name[i]))
            key.packable = 0;
        key.prefix[i / 4] |= std::uint64_t(name[i]) << (16 * (3 - i % 4));
    }
    return key;
}

bool isDotOrDotDot(const char* name)
{
    return name[0] == '.' && (name[1] == '\0' || (name[1] == '.' && name[2] == '\0'));
}

bool isAscii(const char* name, std::size_t length)
{
    for (std::size_t i = 0; i < length; ++i) {
        if (static_cast<unsigned char>(name[i]) >= 0x80)
            return false;
    }
    return true;
}

// Merges the sorted runs [0, mid) and [mid, n) of `in` into `out`. Names are unique, so the
// order is total: the front half of the output is merged forwards on a helper thread while
// this one merges the back half backwards.
template <typename Less>
void mergeRuns(const std::vector<SortKey>& in, std::size_t mid, std::vector<SortKey>& out, const Less& less,
               bool twoThreads)
{
    const std::size_t n = in.size();
    const std::size_t half = n / 2;
    auto front = [&] {
        std::size_t i = 0;
        std::size_t j = mid;
        for (std::size_t k = 0; k < half; ++k) {
            if (j == n || (i < mid && !less(in[j], in[i])))
                out[k] = in[i++];
            else
                out[k] = in[j++];
        }
    };
    auto back = [&] {
        std::size_t i = mid; // one past the next from the left run
        std::size_t j = n;   // one past the next from the right run
        for (std::size_t k = n; k > half; --k) {
            if (i == 0 || (j > mid && !less(in[j - 1], in[i - 1])))
                out[k - 1] = in[--j];
            else
                out[k - 1] = in[--i];
        }
    };
    if (twoThreads) {
        std::thread helper(front);
        back();
        helper.join();
    } else {
        front();
        back();
    }
}

// Sorts on two threads when there are enough names to pay for the second one.
template <typename Less>
void sortKeys(std::vector<SortKey>& keys, const Less& less)
{
    if (keys.size() < kParallelSortMin) {
        std::sort(keys.begin(), keys.end(), less);
        return;
    }
    const std::size_t mid = keys.size() / 2;
    try {
        std::thread helper([&] { std::sort(keys.begin(), keys.begin() + std::ptrdiff_t(mid), less); });
        std::sort(keys.begin() + std::ptrdiff_t(mid), keys.end(), less);
        helper.join();
    } catch (const std::system_error&) {
        // No thread to be had: one does it all.
        std::sort(keys.begin(), keys.end(), less);
        return;
    }
    std::vector<SortKey> merged(keys.size());
    try {
        mergeRuns(keys, mid, merged, less, true);
    } catch (const std::system_error&) {
        mergeRuns(keys, mid, merged, less, false);
    }
    keys.swap(merged);
}

} // namespace

Listing listFiles(const QString& folder, const WildcardPattern& pattern, std::stop_token stop, OpenFolder* keepOpen)
{
    Listing result;
    result.folder = folder;
    if (folder.isEmpty())
        return result;

    OpenFolder dir(::opendir(encodeFileName(folder).constData()));
    if (!dir)
        return result;
    const int dirFd = ::dirfd(dir.get());

    std::vector<FileEntry> entries;
    std::vector<std::pair<std::size_t, std::uint32_t>> spans; // offset, length in `folded`
    std::vector<char16_t> folded;
    char16_t wide[NAME_MAX + 1];
    for (unsigned count = 1;; ++count) {
        if ((count & 255u) == 0 && stop.stop_requested())
            return result;
        errno = 0;
        const dirent* entry = ::readdir(dir.get());
        if (!entry) {
            if (errno != 0)
                return result;
            break;
        }
        const char* name = entry->d_name;
        const unsigned char type = entry->d_type;
        if ((type != DT_REG && type != DT_LNK && type != DT_UNKNOWN) || isDotOrDotDot(name))
            continue;

        // Most names are ASCII: widen them on the stack so a name that does not match costs
        // no allocation, and fold them as they are copied. Others decode exactly as they will
        // be shown, bytes that are not UTF-8 kept so the name still opens the file.
        const std::size_t length = std::strlen(name);
        const bool ascii = length <= NAME_MAX && isAscii(name, length);
        QString display;
        if (ascii) {
            std::copy(name, name + length, wide);
            const QStringView view(wide, qsizetype(length));
            if (!pattern.matches(view))
                continue;
            display = view.toString();
        } else {
            display = decodeFileName(QByteArrayView(name, qsizetype(length)));
            if (!pattern.matches(display))
                continue;
        }

        if (type != DT_REG) {
            struct stat info;
            if (::fstatat(dirFd, name, &info, 0) != 0 || !S_ISREG(info.st_mode))
                continue;
        }
        const std::size_t offset = folded.size();
        if (ascii) {
            folded.resize(offset + length);
            char16_t* out = folded.data() + offset;
            for (std::size_t i = 0; i < length; ++i) {
                const char16_t c = wide[i];
                out[i] = c >= u'A' && c <= u'Z' ? char16_t(c + (u'a' - u'A')) : c;
            }
        } else {
            const QString key = display.toCaseFolded();
            folded.insert(folded.end(), key.utf16(), key.utf16() + key.size());
        }
        spans.emplace_back(offset, std::uint32_t(folded.size() - offset));
        entries.push_back(FileEntry{QByteArray(name, qsizetype(length)), std::move(display)});
    }

    if (stop.stop_requested() || entries.size() > 0x7fffffff)
        return result;
    if (keepOpen)
        *keepOpen = std::move(dir);
    const char16_t* const text = folded.data();
    std::vector<SortKey> keys;
    keys.reserve(spans.size());
    for (std::size_t i = 0; i < spans.size(); ++i)
        keys.push_back(makeKey(text, spans[i].first, spans[i].second, i));
    std::vector<std::pair<std::size_t, std::uint32_t>>().swap(spans);

    // Ignoring case, ties broken by the raw bytes.
    sortKeys(keys, [text, &entries](const SortKey& a, const SortKey& b) {
        qsizetype skip = 0;
        if (a.packable && b.packable) {
            for (std::size_t w = 0; w < kPrefixUnits / 4; ++w) {
                if (a.prefix[w] != b.prefix[w])
                    return a.prefix[w] < b.prefix[w];
            }
            skip = qsizetype(std::min<std::size_t>({kPrefixUnits, a.length, b.length}));
        }
        const int byKey = QStringView(text + a.offset + skip, qsizetype(a.length) - skip)
                              .compare(QStringView(text + b.offset + skip, qsizetype(b.length) - skip));
        return byKey != 0 ? byKey < 0 : entries[a.index].raw < entries[b.index].raw;
    });
    if (stop.stop_requested())
        return result;

    result.files.reserve(qsizetype(keys.size()));
    for (const SortKey& key : keys)
        result.files.push_back(std::move(entries[key.index]));
    result.ok = true;
    return result;
}

} // namespace orv
