// Parameters split into words as a shell splits them, with nothing expanded and nothing run.
#include "platform/commandsplit.h"

#include <QProcess>
#include <gtest/gtest.h>

using namespace orv;

namespace {
QStringList split(const QString& text)
{
    const std::optional<QStringList> words = splitArguments(text);
    EXPECT_TRUE(words.has_value()) << text.toStdString();
    return words.value_or(QStringList{QStringLiteral("<nullopt>")});
}
QStringList L(std::initializer_list<const char*> words)
{
    QStringList list;
    for (const char* w : words)
        list.append(QString::fromUtf8(w));
    return list;
}
} // namespace

TEST(SplitArguments, BlanksQuotesAndEscapes)
{
    EXPECT_EQ(split({}), QStringList());
    EXPECT_EQ(split(QStringLiteral(" \t\n ")), QStringList());
    EXPECT_EQ(split(QStringLiteral("  a  b\tc\nd ")), L({"a", "b", "c", "d"}));
    EXPECT_EQ(split(QStringLiteral("'a b' \"c d\" e'f g'h")), L({"a b", "c d", "ef gh"}));
    EXPECT_EQ(split(QStringLiteral("'' \"\" x''")), L({"", "", "x"}));
    EXPECT_EQ(split(QStringLiteral("'say \"hi\"' \"it's\"")), L({"say \"hi\"", "it's"}));
    EXPECT_EQ(split(QStringLiteral("a\\ b \\'c \\\\")), L({"a b", "'c", "\\"}));
    EXPECT_EQ(split(QStringLiteral("\"a\\\"b\\\\c\\nd\" 'e\\f'")), L({"a\"b\\c\\nd", "e\\f"}));
    EXPECT_EQ(split(QStringLiteral("ab\\\ncd \"x\\\ny\" end\\")), L({"abcd", "xy", "end\\"}));
}

TEST(SplitArguments, OpenQuotesAndNulAreRefused)
{
    for (const QString& text : {QStringLiteral("'abc"), QStringLiteral("a \"bc"), QStringLiteral("\"a\\\""),
                                QStringLiteral("a") + QChar(u'\0') + QStringLiteral("b")})
        EXPECT_FALSE(splitArguments(text).has_value()) << text.toStdString();
}

TEST(SplitArguments, ShellSyntaxStaysLiteral)
{
    EXPECT_EQ(split(QStringLiteral("; rm -rf ~")), L({";", "rm", "-rf", "~"}));
    EXPECT_EQ(split(QStringLiteral("$(touch X) `id` $HOME *.txt")), L({"$(touch", "X)", "`id`", "$HOME", "*.txt"}));
    EXPECT_EQ(split(QStringLiteral("a|b && c;d > e 2>&1 #x")), L({"a|b", "&&", "c;d", ">", "e", "2>&1", "#x"}));
    EXPECT_EQ(split(QStringLiteral("\"$(touch X)\" '`id`' \"\\$HOME\" \"a\nb\"")),
              L({"$(touch X)", "`id`", "$HOME", "a\nb"}));
}

// Where a shell would expand nothing, its own splitting is the reference.
TEST(SplitArguments, AgreesWithShellOnQuotingAlone)
{
    const QStringList inputs{QStringLiteral("a 'b c' \"d e\""), QStringLiteral("x\\ y 'q\"q' \"s'\"s"),
                             QStringLiteral("\"back\\\\slash\\q\" \\\\n 'x\\y'"),
                             QStringLiteral("'' \"\" e''f g\\\nh")};
    for (const QString& input : inputs) {
        QProcess sh;
        sh.start(QStringLiteral("/bin/sh"),
                 {QStringLiteral("-c"), QStringLiteral("for a in ") + input
                                            + QStringLiteral("; do printf '%s\\n' \"$a\"; done")});
        ASSERT_TRUE(sh.waitForFinished(10000));
        QStringList expected = QString::fromUtf8(sh.readAllStandardOutput()).split(u'\n');
        expected.removeLast();
        EXPECT_EQ(split(input), expected) << input.toStdString();
    }
}
