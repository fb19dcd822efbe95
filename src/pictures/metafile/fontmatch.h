#pragma once

#include <QString>

namespace orv {

// The family fontconfig gives a face by its own rules: the face itself when installed, or a
// substitute its configuration names (metric-compatible ones such as Liberation or URW for
// Times New Roman and Arial). Empty when it would only fall back to its default family.
QString installedFamily(const QString& face);

} // namespace orv
