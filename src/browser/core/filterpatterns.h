#pragma once

#include <QString>

#include <array>

namespace orv {

// The file-type box's patterns, by index. 0 is "All Supported Files".
inline const std::array<QString, 8> FilterPatterns = {
    QStringLiteral("*.mod;*.mdz;*.s3m;*.xm;*.itz;*.it;*.avi;*.bat;*.wav;*.exe;*.hlp;*.txt;*.bmp;"
                   "*.jpg;*.gif;*.wmf;*.emf;*.ico;*.dib;*.cur;*.htm;*.html"),
    QStringLiteral("*.wav;*.mod;*.mdz;*.s3m;*.xm;*.itz;*.it"),
    QStringLiteral("*.avi"),
    QStringLiteral("*.exe;*.bat"),
    QStringLiteral("*.hlp"),
    QStringLiteral("*.htm;*.html"),
    QStringLiteral("*.bmp;*.jpg;*.gif;*.wmf;*.emf;*.ico;*.dib;*.cur"),
    QStringLiteral("*.txt"),
};

} // namespace orv
