// File names that are not valid UTF-8 survive the trip through the program's strings byte for
// byte, and such a file opens by the name the program carries.
#include "common/core/filenames.h"
#include "support/rawname.h"

#include <QFile>
#include <QTemporaryDir>
#include <QUrl>

#include <gtest/gtest.h>

#include <sys/stat.h>

using namespace orv;

TEST(FileNames, ValidUtf8DecodesAsUtf8)
{
    for (const char* name : {"", "plain.txt", "caf\xc3\xa9 \xe2\x82\xac.gif", "\xf0\x9f\x8e\xb5 song.wav"}) {
        EXPECT_EQ(decodeFileName(name), QString::fromUtf8(name)) << name;
        EXPECT_EQ(encodeFileName(decodeFileName(name)), QByteArray(name)) << name;
    }
}

TEST(FileNames, EveryByteSequenceRoundTrips)
{
    // Latin-1, stray continuation bytes, overlong forms, encoded surrogates, values past
    // Unicode, a sequence cut short at the end and in the middle.
    for (const QByteArray& name :
         {QByteArray("caf\xe9.gif"), QByteArray("\x80\xbf\xff\xfe"), QByteArray("\xc0\xaf/..\xc1\xbf"),
          QByteArray("\xed\xa0\x80\xed\xb0\x80"), QByteArray("\xf4\x90\x80\x80"), QByteArray("end\xe2\x82"),
          QByteArray("\xe2\x82x\xc3\xa9")}) {
        const QString decoded = decodeFileName(name);
        EXPECT_EQ(encodeFileName(decoded), name) << name.toHex().toStdString();
        EXPECT_FALSE(decoded.contains(QChar::ReplacementCharacter)) << name.toHex().toStdString();
    }
    // The valid parts stay readable, and what is shown of the rest is what Qt would show.
    EXPECT_EQ(decodeFileName("\xe2\x82x\xc3\xa9").mid(2), QStringLiteral("x\u00e9"));
    EXPECT_EQ(printableFileName(decodeFileName("caf\xff.jpg \xf0\x9f\x8e\xb5")), QFile::decodeName("caf\xff.jpg \xf0\x9f\x8e\xb5"));

    // All two-byte names: 65,536 sequences, each back to itself.
    for (int a = 0; a < 256; ++a) {
        for (int b = 0; b < 256; ++b) {
            const QByteArray name{char(a), char(b)};
            ASSERT_EQ(encodeFileName(decodeFileName(name)), name) << a << " " << b;
        }
    }
}

TEST(FileNames, AFileNamedWithBytesThatAreNotUtf8Opens)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString path = test::writeRawNamed(dir.path(), test::notUtf8Name("txt"), "contents");
    ASSERT_FALSE(path.isEmpty());
    // Qt's own decoding loses the name.
    EXPECT_FALSE(QFile::exists(path));

    EXPECT_TRUE(isRegularFile(path));
    QFile f;
    ASSERT_EQ(openForReading(f, path), QString());
    EXPECT_EQ(f.readAll(), QByteArray("contents"));

    // Folders, FIFOs and missing files are refused at once.
    QFile other;
    EXPECT_NE(openForReading(other, dir.path()), QString());
    EXPECT_NE(openForReading(other, dir.filePath(QStringLiteral("missing"))), QString());
    const QString fifo = dir.filePath(QStringLiteral("pipe"));
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    EXPECT_NE(openForReading(other, fifo), QString());
    EXPECT_FALSE(other.isOpen());
    EXPECT_FALSE(isRegularFile(fifo));
    EXPECT_FALSE(isRegularFile(QString()));
}

// A file URL carries the name's bytes percent-encoded, and reading it back gives the same
// path: desktops hand such URLs over, and xdg-open is handed ours.
TEST(FileNames, FileUrlsKeepTheBytes)
{
    QTemporaryDir dir;
    const QString folder = test::makeRawNamedFolder(dir.path(), "f\xeate 100%");
    ASSERT_FALSE(folder.isEmpty());
    const QString path = test::writeRawNamed(folder, test::notUtf8Name("bmp"), "BM");
    ASSERT_FALSE(path.isEmpty());
    EXPECT_TRUE(isFolder(folder));
    EXPECT_FALSE(isFolder(path));
    EXPECT_TRUE(pathExists(folder));
    EXPECT_TRUE(pathExists(path));
    EXPECT_FALSE(pathExists(folder + QStringLiteral("/missing")));

    const QUrl url = localFileUrl(path);
    ASSERT_TRUE(url.isValid());
    const QByteArray encoded = url.toEncoded();
    EXPECT_TRUE(encoded.startsWith("file:///")) << encoded.toStdString();
    EXPECT_TRUE(encoded.endsWith("/f%EAte%20100%25/caf%E9%20%80%FF.bmp")) << encoded.toStdString();
    EXPECT_EQ(localFilePath(url), path);
    EXPECT_EQ(localFilePath(QUrl::fromEncoded(encoded)), path);
    // Plain names read as Qt reads them; other schemes name no file.
    EXPECT_EQ(localFilePath(QUrl(QStringLiteral("file:///tmp/a%20b/%C3%A9.txt"))), QStringLiteral("/tmp/a b/\u00e9.txt"));
    EXPECT_EQ(localFileUrl(QStringLiteral("/tmp/a b/\u00e9.txt")), QUrl::fromLocalFile(QStringLiteral("/tmp/a b/\u00e9.txt")));
    EXPECT_EQ(localFilePath(QUrl(QStringLiteral("https://example.org/a.bmp"))), QString());
}
