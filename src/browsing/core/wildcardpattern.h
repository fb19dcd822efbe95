#pragma once

#include <QString>
#include <QStringView>

#include <string>
#include <vector>

namespace orv {

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

    const QString& pattern() const { return pattern_; }
    bool isEmpty() const;
    bool matches(QStringView name) const;

private:
    bool matchesExtension(QStringView name) const;

    QString pattern_;
    bool matchAll_ = false;
    std::vector<std::u16string> extensions_; // case-folded, without the dot
    std::size_t longestExtension_ = 0;
    std::vector<std::u32string> masks_;      // case-folded code points
};

} // namespace orv
