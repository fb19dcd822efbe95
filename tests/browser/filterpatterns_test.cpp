// Rule: entry 0 of the file-type box lists every type the others list, and each entry lists
// exactly its own types, whatever the letter case of the names.
#include "browser/core/filterpatterns.h"
#include "browsing/core/wildcardpattern.h"

#include <QStringList>

#include <gtest/gtest.h>

#include <initializer_list>

using orv::WildcardPattern;

namespace {

void expectMatches(const WildcardPattern& pattern, std::initializer_list<const char16_t*> names, bool expected)
{
    for (const char16_t* name : names)
        EXPECT_EQ(pattern.matches(QStringView(name)), expected) << pattern.pattern().toStdString() << " vs "
                                                               << QString::fromUtf16(name).toStdString();
}

} // namespace

TEST(FilterPatterns, AllSupportedCoversEveryOtherTypeAndEachTypeIsExact)
{
    ASSERT_EQ(orv::FilterPatterns.size(), 8u);
    const WildcardPattern all(orv::FilterPatterns[0]);
    for (std::size_t i = 1; i < orv::FilterPatterns.size(); ++i) {
        for (const QString& mask : orv::FilterPatterns[i].split(u';')) {
            const QString name = QStringLiteral("file") + mask.mid(1).toUpper();
            EXPECT_TRUE(all.matches(name)) << name.toStdString();
            EXPECT_TRUE(WildcardPattern(orv::FilterPatterns[i]).matches(name)) << name.toStdString();
        }
    }
    expectMatches(WildcardPattern(orv::FilterPatterns[5]), {u"a.htm", u"a.html"}, true);
    expectMatches(WildcardPattern(orv::FilterPatterns[5]), {u"a.txt", u"a.hlp"}, false);
    expectMatches(WildcardPattern(orv::FilterPatterns[3]), {u"setup.EXE", u"run.bat"}, true);
    expectMatches(all, {u"a.png", u"a.mp3", u"a.zip"}, false);
}
