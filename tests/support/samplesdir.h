#pragma once

#include <QString>

namespace orv::test {

// The samples the build makes: $ORVANE_SAMPLES under ctest, else this build's own folder, so a
// test binary also runs on its own.
inline QString samplesDir()
{
    const QString dir = qEnvironmentVariable("ORVANE_SAMPLES");
    return dir.isEmpty() ? QStringLiteral(ORVANE_BUILD_SAMPLES) : dir;
}

} // namespace orv::test
