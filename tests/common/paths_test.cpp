// The shared path routines: exact results with the backslash separator they were designed
// for, and the '/' rules of this platform.
#include "common/core/paths.h"

#include <gtest/gtest.h>

using namespace orv;

namespace {
const QChar bs = QLatin1Char('\\');
}

TEST(CapitalizePath, UpperCasesFirstAndAfterEachSeparatorInPlace)
{
    QString p = QStringLiteral("c:\\program files\\my pics");
    EXPECT_EQ(CapitalizePath(p, bs), QStringLiteral("C:\\Program files\\My pics"));
    EXPECT_EQ(p, QStringLiteral("C:\\Program files\\My pics"));  // the caller's text too

    QString empty;
    EXPECT_EQ(CapitalizePath(empty, bs), QString());
    QString doubled = QStringLiteral("a\\\\b");
    EXPECT_EQ(CapitalizePath(doubled, bs), QStringLiteral("A\\\\B"));
    QString accents = QStringLiteral("\u00e9t\u00e9\\\u00e0 voir\\stra\u00dfe");
    EXPECT_EQ(CapitalizePath(accents, bs), QStringLiteral("\u00c9t\u00e9\\\u00c0 voir\\Stra\u00dfe"));
    // A part starting with a letter whose upper case is two letters (ß) keeps it, and the
    // parts after it are still found where they were.
    QString eszett = QStringLiteral("\u00dfe\\\u00dfa\\b\u00df\\c");
    EXPECT_EQ(CapitalizePath(eszett, bs), QStringLiteral("\u00dfe\\\u00dfa\\B\u00df\\C"));
    QString slash = QStringLiteral("/home/ann/photos");
    EXPECT_EQ(CapitalizePath(slash, QLatin1Char('/')), QStringLiteral("/Home/Ann/Photos"));
}

TEST(ParentFolder, TextBeforeLastSeparator)
{
    EXPECT_EQ(ParentFolder(QStringLiteral("C:\\Pictures\\Beach.jpg"), bs), QStringLiteral("C:\\Pictures"));
    EXPECT_EQ(ParentFolder(QStringLiteral("C:\\Beach.jpg"), bs), QStringLiteral("C:"));
    EXPECT_EQ(ParentFolder(QStringLiteral("readme.txt"), bs), QStringLiteral("[@error]"));
    EXPECT_EQ(ParentFolder(QStringLiteral("\\readme.txt"), bs), QString());
    EXPECT_EQ(ParentFolder(QString(), bs), QStringLiteral("[@error]"));

    EXPECT_EQ(ParentFolder(QStringLiteral("/home/ann/beach.jpg")), QStringLiteral("/home/ann"));
    EXPECT_EQ(ParentFolder(QStringLiteral("/beach.jpg")), QStringLiteral("/"));
    EXPECT_EQ(ParentFolder(QStringLiteral("beach.jpg")), QStringLiteral("[@error]"));
    EXPECT_EQ(ParentFolder(QStringLiteral("/a b/c\\d.jpg")), QStringLiteral("/a b"));
}

// Names keep their case on this platform wherever they are shown.
TEST(DisplayFolder, KeepsCaseHere)
{
    EXPECT_FALSE(namesIgnoreCase());
    EXPECT_EQ(displayFolder(QStringLiteral("/Home/ANN/Photos")), QStringLiteral("/Home/ANN/Photos"));
}
