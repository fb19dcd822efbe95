#include "app/core/commandline.h"
#include "common/core/filenames.h"

#include <gtest/gtest.h>

namespace {

using orv::CommandLineRequest;
using Kind = CommandLineRequest::Kind;

CommandLineRequest readWith(const QStringList& args, const QStringList& existing = {})
{
    return orv::readCommandLine(args, QStringLiteral("desk7"),
                                [&](const QString& p) { return existing.contains(p); });
}

} // namespace

TEST(CommandLineReading, HelpAndVersionOnlyWhenAlone)
{
    EXPECT_EQ(readWith({QStringLiteral("--help")}).kind, Kind::Help);
    EXPECT_EQ(readWith({QStringLiteral("--version")}).kind, Kind::Version);
    // Part of a path split by the shell: a file to open.
    const CommandLineRequest split = readWith({QStringLiteral("notes"), QStringLiteral("--help")});
    EXPECT_EQ(split.kind, Kind::Run);
    EXPECT_EQ(split.arguments, QStringList({QStringLiteral("notes"), QStringLiteral("--help")}));
    EXPECT_EQ(readWith({}).kind, Kind::Run);
}

TEST(CommandLineReading, PlainPathsPassUnchanged)
{
    for (const QStringList& args : {QStringList{QStringLiteral("photo.jpg")},
                                    QStringList{QStringLiteral("/tmp/My"), QStringLiteral("Pictures/a.bmp")},
                                    QStringList{QStringLiteral("notes:2024.txt")},
                                    QStringList{QStringLiteral("/tmp/a%20b.jpg")}}) {
        const CommandLineRequest r = readWith(args);
        EXPECT_EQ(r.kind, Kind::Run) << args.join(QLatin1Char(' ')).toStdString();
        EXPECT_EQ(r.arguments, args);
    }
}

TEST(CommandLineReading, FileAddressesBecomeTheirDecodedLocalPath)
{
    const struct {
        const char* given;
        const char* path;
    } cases[] = {
        {"file:///home/ann/Photos%20with%20spaces/beach%20day.jpg", "/home/ann/Photos with spaces/beach day.jpg"},
        {"file://localhost/tmp/a.bmp", "/tmp/a.bmp"},
        {"FILE:///tmp/a.bmp", "/tmp/a.bmp"},
        {"file://desk7/tmp/a.bmp", "/tmp/a.bmp"},                      // this machine by name
        {"file:/tmp/a.bmp", "/tmp/a.bmp"},                             // the short form
        {"file:///tmp/%C3%A9t%C3%A9%3B%24%60.wav", "/tmp/\u00e9t\u00e9;$`.wav"},  // UTF-8, shell characters
        {"file:///tmp/100%25.txt", "/tmp/100%.txt"},
    };
    for (const auto& c : cases) {
        const CommandLineRequest r = readWith({QString::fromUtf8(c.given)});
        EXPECT_EQ(r.kind, Kind::Run) << c.given << ": " << r.message.toStdString();
        EXPECT_EQ(r.arguments, QStringList{QString::fromUtf8(c.path)}) << c.given;
    }
}

TEST(CommandLineReading, AddressesThatAreNotLocalFilesAreRefusedWithTheReason)
{
    const struct {
        const char* given;
        const char* reason;
    } cases[] = {
        {"https://example.org/a.jpg", "only local files"},
        {"smb://server/share/a.jpg", "only local files"},
        {"file://server/share/a.jpg", "another machine (server)"},
        {"file:///tmp/a%00b.jpg", "not a valid file address"},
        {"file:///tmp/a%zz.jpg", "not a valid file address"},
        {"file:///tmp/a.jpg?x=1", "not a valid file address"},
        {"file://", "not a valid file address"},
    };
    for (const auto& c : cases) {
        const CommandLineRequest r = readWith({QString::fromUtf8(c.given)});
        EXPECT_EQ(r.kind, Kind::Refused) << c.given;
        EXPECT_TRUE(r.message.contains(QString::fromUtf8(c.given))) << r.message.toStdString();
        EXPECT_TRUE(r.message.contains(QString::fromUtf8(c.reason))) << r.message.toStdString();
    }
}

// A name that is not UTF-8 keeps its bytes, whether given as bytes (as a shell passes it) or
// percent-encoded in a file address: the program carries it as the file list does.
TEST(CommandLineReading, NamesThatAreNotUtf8KeepTheirBytes)
{
    const char* argv[] = {"orvane-viewer", "/tmp/caf\xe9 \x80\xff.bmp", "--help", "\xc3\xa9t\xc3\xa9"};
    const QStringList args = orv::argumentsAfterProgram(4, argv);
    ASSERT_EQ(args.size(), 3);
    EXPECT_EQ(orv::encodeFileName(args[0]), QByteArray("/tmp/caf\xe9 \x80\xff.bmp"));
    EXPECT_EQ(args[1], QStringLiteral("--help"));
    EXPECT_EQ(args[2], QStringLiteral("\u00e9t\u00e9"));
    EXPECT_TRUE(orv::argumentsAfterProgram(1, argv).isEmpty());

    const CommandLineRequest r = readWith({QStringLiteral("file:///tmp/caf%E9%20%80%FF.bmp")});
    EXPECT_EQ(r.kind, Kind::Run);
    ASSERT_EQ(r.arguments.size(), 1);
    EXPECT_EQ(r.arguments[0], args[0]);
}

// A file whose name only looks like an address is opened, not refused or rewritten.
TEST(CommandLineReading, AnExistingFileWinsOverTheAddressReading)
{
    const QString odd = QStringLiteral("http://x");
    const CommandLineRequest r = readWith({odd}, {odd});
    EXPECT_EQ(r.kind, Kind::Run);
    EXPECT_EQ(r.arguments, QStringList{odd});
}

TEST(CommandLineReading, HelpNamesBothOptionsAndTheSettingsFile)
{
    const QString help = orv::helpText(QStringLiteral("orvane-viewer"));
    EXPECT_TRUE(help.startsWith(QStringLiteral("Usage: orvane-viewer [FILE]\n")));
    for (const char* s : {"--help", "--version", "file://", "Orvane Viewer/settings.ini"})
        EXPECT_TRUE(help.contains(QString::fromUtf8(s))) << s;
}
