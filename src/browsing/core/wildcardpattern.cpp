#include "browsing/core/wildcardpattern.h"

#include <QChar>
#include <QList>

#include <algorithm>
#include <string_view>

namespace orv {

namespace {

// Extensions longer than this go to the general matcher so the look-up can fold on the stack.
constexpr std::size_t kMaxTableExtension = 32;

char16_t foldUnit(char16_t u)
{
    if (u < 0x80)
        return (u >= u'A' && u <= u'Z') ? char16_t(u + (u'a' - u'A')) : u;
    if (QChar::isSurrogate(u))
        return u;
    return char16_t(QChar::toCaseFolded(char32_t(u)));
}

// The code point starting at `i` (a lone surrogate stands for itself); advances `i` past it.
char32_t nextCodePoint(QStringView s, qsizetype& i)
{
    const char16_t u = s[i].unicode();
    if (QChar::isHighSurrogate(u) && i + 1 < s.size() && QChar::isLowSurrogate(s[i + 1].unicode())) {
        const char32_t cp = QChar::surrogateToUcs4(u, s[i + 1].unicode());
        i += 2;
        return cp;
    }
    ++i;
    return u;
}

std::u32string foldedCodePoints(QStringView s)
{
    std::u32string out;
    out.reserve(std::size_t(s.size()));
    for (qsizetype i = 0; i < s.size();)
        out.push_back(QChar::toCaseFolded(nextCodePoint(s, i)));
    return out;
}

bool isTableExtension(QStringView ext)
{
    if (std::size_t(ext.size()) > kMaxTableExtension)
        return false;
    return std::none_of(ext.begin(), ext.end(), [](QChar c) {
        return c == u'*' || c == u'?' || c == u'.' || c.isSurrogate();
    });
}

// Greedy match with one back-track point: O(name * mask) at worst, no recursion.
bool globMatch(const std::u32string& mask, QStringView name)
{
    std::size_t m = 0;
    qsizetype n = 0;
    std::size_t starMask = std::u32string::npos;
    qsizetype starName = 0;
    while (n < name.size()) {
        if (m < mask.size() && mask[m] == U'*') {
            starMask = m++;
            starName = n;
            continue;
        }
        qsizetype after = n;
        const char32_t c = QChar::toCaseFolded(nextCodePoint(name, after));
        if (m < mask.size() && (mask[m] == U'?' || mask[m] == c)) {
            ++m;
            n = after;
            continue;
        }
        if (starMask == std::u32string::npos)
            return false;
        m = starMask + 1;
        nextCodePoint(name, starName);
        n = starName;
    }
    while (m < mask.size() && mask[m] == U'*')
        ++m;
    return m == mask.size();
}

} // namespace

WildcardPattern::WildcardPattern(const QString& pattern)
    : pattern_(pattern)
{
    const QList<QStringView> parts = QStringView(pattern).split(u';');
    for (QStringView part : parts) {
        const QStringView mask = part.trimmed();
        if (mask.isEmpty())
            continue;
        if (mask == u"*") {
            matchAll_ = true;
        } else if (mask.startsWith(u"*.") && isTableExtension(mask.mid(2))) {
            std::u16string ext;
            for (QChar c : mask.mid(2))
                ext.push_back(foldUnit(c.unicode()));
            longestExtension_ = std::max(longestExtension_, ext.size());
            extensions_.push_back(std::move(ext));
        } else {
            masks_.push_back(foldedCodePoints(mask));
        }
    }
    std::sort(extensions_.begin(), extensions_.end());
    extensions_.erase(std::unique(extensions_.begin(), extensions_.end()), extensions_.end());
}

bool WildcardPattern::isEmpty() const
{
    return !matchAll_ && extensions_.empty() && masks_.empty();
}

bool WildcardPattern::matchesExtension(QStringView name) const
{
    if (extensions_.empty())
        return false;
    const qsizetype size = name.size();
    const qsizetype stop = std::max<qsizetype>(0, size - 1 - qsizetype(longestExtension_));
    qsizetype dot = size - 1;
    while (dot >= stop && name[dot] != u'.')
        --dot;
    if (dot < stop)
        return false;

    char16_t folded[kMaxTableExtension];
    const std::size_t length = std::size_t(size - dot - 1);
    for (std::size_t i = 0; i < length; ++i)
        folded[i] = foldUnit(name[dot + 1 + qsizetype(i)].unicode());
    const std::u16string_view tail(folded, length);
    return std::any_of(extensions_.begin(), extensions_.end(),
                       [tail](const std::u16string& ext) { return ext == tail; });
}

bool WildcardPattern::matches(QStringView name) const
{
    if (matchAll_)
        return true;
    if (matchesExtension(name))
        return true;
    return std::any_of(masks_.begin(), masks_.end(),
                       [name](const std::u32string& mask) { return globMatch(mask, name); });
}

} // namespace orv
