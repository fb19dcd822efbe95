#pragma once

#include <QString>
#include <QStringView>

#include <array>
#include <string>
#include <vector>

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

// A list of wildcard masks separated by ';' ("*.jpg;a?c*"), matched against file names
// ignoring letter case: '*' stands for any run of characters, '?' for exactly one.
// Masks of the form "*.ext" -- nearly all of them in practice -- go into an extension table,
// so a pattern of twenty such masks costs one short look-up per name; other masks run a
// linear-time matcher. Spaces around a mask are ignored; a pattern without masks matches
// nothing. Immutable once built, so one instance may be read from several threads.
class WildcardPattern
{
public:
    WildcardPattern() = default;
    explicit WildcardPattern(const QString& pattern);

    const QString& pattern() const { return m_pattern; }
    bool isEmpty() const;
    bool matches(QStringView name) const;

private:
    bool matchesExtension(QStringView name) const;

    QString m_pattern;
    bool m_matchAll = false;
    std::vector<std::u16string> m_extensions; // case-folded, without the dot
    std::size_t m_longestExtension = 0;
    std::vector<std::u32string> m_masks;      // case-folded code points
};

} // namespace orv
