// Rule: a pattern is ';'-separated wildcard masks, matched against whole names ignoring case.
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

TEST(WildcardPattern, ExtensionMasksIgnoreCaseAndMatchWholeExtension)
{
    const WildcardPattern pattern(QStringLiteral("*.jpg;*.htm;*.it"));
    expectMatches(pattern, {u"BEACH.JPG", u"beach.jpg", u"Beach.JpG", u".jpg", u"a.b.jpg", u"x.HTM", u"song.it"}, true);
    expectMatches(pattern, {u"beach.jpeg", u"beach.jpg.bak", u"jpg", u"page.html", u"song.itz", u"beachjpg", u""}, false);
}

TEST(WildcardPattern, QuestionMarkIsExactlyOneCharacter)
{
    const WildcardPattern pattern(QStringLiteral("a?c.txt"));
    expectMatches(pattern, {u"abc.txt", u"AXC.TXT", u"a.c.txt", u"a\U0001F600c.txt"}, true);
    expectMatches(pattern, {u"ac.txt", u"abbc.txt", u"abc.txt2"}, false);
}

TEST(WildcardPattern, GeneralMasksBacktrack)
{
    const WildcardPattern pattern(QStringLiteral("img*_??.png;*a*b*c;readme;*.tar.gz"));
    expectMatches(pattern, {u"img_01.png", u"IMG_2024_x_AB.PNG", u"img__12.png", u"xaxbxc", u"abc", u"aabbcc",
                            u"README", u"x.TAR.GZ"},
                  true);
    expectMatches(pattern, {u"img_1.png", u"img_012.png", u"acb", u"abcx", u"readme.txt", u"x.gz"}, false);
}

TEST(WildcardPattern, FoldsNonAsciiLetters)
{
    const WildcardPattern pattern(QStringLiteral("ä*.txt;*.ÉTÉ"));
    expectMatches(pattern, {u"Äpfel.TXT", u"äpfel.txt", u"hiver.été", u"HIVER.ÉTÉ"}, true);
    expectMatches(pattern, {u"apfel.txt", u"hiver.ete"}, false);
}

TEST(WildcardPattern, IgnoresBlankMasksAndSurroundingSpaces)
{
    const WildcardPattern pattern(QStringLiteral(" *.jpg ; ;*.gif;"));
    expectMatches(pattern, {u"a.jpg", u"a.gif"}, true);
    expectMatches(pattern, {u"a.png", u" a.jpg "}, false);
    EXPECT_TRUE(WildcardPattern(QStringLiteral(" ; ")).isEmpty());
    EXPECT_FALSE(WildcardPattern().matches(u"a.jpg"));
    EXPECT_TRUE(WildcardPattern(QStringLiteral("*")).matches(u"anything"));
}
