// libFuzzer target for the slide-show file reader, and the writer on what it read.
#include "slideshow/core/showfile.h"

#include <QBuffer>

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    QByteArray bytes = QByteArray::fromRawData(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    QBuffer in(&bytes);
    in.open(QIODevice::ReadOnly);
    orv::ShowSettings current;
    current.advanceOnKey = false;
    current.interval = orv::SlideInterval::fromMilliseconds(1500);
    const orv::ShowFileRead r = orv::readShowFile(in, current);
    // A refused file changes nothing and delivers nothing.
    if (!r.valid) {
        if (!r.entries.isEmpty() || !(r.settings == current))
            std::abort();
        return 0;
    }
    // What was read, written again, reads back the same: no entry splits or merges.
    const orv::ShowFileRead again = orv::readShowFileBytes(orv::showFileBytes(r.settings, r.entries), {});
    orv::ShowSettings expected = r.settings;
    // A number comes back as the text of its digits.
    if (!expected.interval.isText())
        expected.interval = orv::SlideInterval::fromText(expected.interval.fileText().trimmed());
    if (!again.valid || again.entries != r.entries || !(again.settings == expected))
        std::abort();
    // The player's view of the interval is always usable or absent.
    if (const std::optional<int> ms = r.settings.interval.timerMilliseconds(); ms && *ms < 1)
        std::abort();
    return 0;
}
