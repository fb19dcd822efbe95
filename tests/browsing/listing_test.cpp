// Rule: a listing holds a folder's matching regular files sorted by name ignoring case, keeps
// raw names, reports unreadable folders, and a newer load request supersedes older ones.
#include "browsing/core/filelistloader.h"
#include "common/core/filenames.h"

#include <QDir>
#include <QSet>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QThread>

#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>
#include <vector>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

using orv::FileListLoader;
using orv::Listing;
using orv::WildcardPattern;

namespace {

void touch(const QString& folder, const QByteArray& rawName)
{
    const QByteArray path = QFile::encodeName(folder) + '/' + rawName;
    const int fd = ::open(path.constData(), O_CREAT | O_WRONLY | O_CLOEXEC, 0644);
    ASSERT_GE(fd, 0) << path.constData();
    ::close(fd);
}

QStringList displayNames(const Listing& listing)
{
    QStringList names;
    for (const orv::FileEntry& entry : listing.files)
        names.append(entry.display);
    return names;
}

} // namespace

TEST(ListFiles, KeepsMatchingRegularFilesSortedIgnoringCase)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString path = dir.path();
    for (const char* name : {"b.JPG", "a.jpg", "A.jpg", "c.txt", "_under.jpg", ".hidden.jpg", "Zeta.gif"})
        touch(path, name);
    ASSERT_TRUE(QDir(path).mkdir(QStringLiteral("folder.jpg")));
    ASSERT_EQ(::symlink("a.jpg", QFile::encodeName(path + QStringLiteral("/link.jpg")).constData()), 0);
    ASSERT_EQ(::symlink("folder.jpg", QFile::encodeName(path + QStringLiteral("/dirlink.jpg")).constData()), 0);
    ASSERT_EQ(::symlink("missing", QFile::encodeName(path + QStringLiteral("/broken.jpg")).constData()), 0);

    const Listing listing = orv::listFiles(path, WildcardPattern(QStringLiteral("*.jpg;*.GIF")));
    EXPECT_TRUE(listing.ok);
    EXPECT_EQ(listing.folder, path);
    // Case-insensitive ties ("A.jpg"/"a.jpg") fall back to the raw bytes.
    EXPECT_EQ(displayNames(listing), (QStringList{QStringLiteral(".hidden.jpg"), QStringLiteral("_under.jpg"),
                                                  QStringLiteral("A.jpg"), QStringLiteral("a.jpg"),
                                                  QStringLiteral("b.JPG"), QStringLiteral("link.jpg"),
                                                  QStringLiteral("Zeta.gif")}));

    const Listing empty = orv::listFiles(path, WildcardPattern(QStringLiteral("*.wav")));
    EXPECT_TRUE(empty.ok);
    EXPECT_TRUE(empty.files.isEmpty());
}

// Enough names that the sort splits across threads and merges; the order must be exactly the
// plain one: case-folded names, ties by the raw bytes.
TEST(ListFiles, HugeFolderKeepsThePlainCaseInsensitiveOrder)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    static const char* const stems[] = {"img", "IMG", "Img", "caf\xc3\xa9", "CAF\xc3\x89", "stra\xc3\x9f" "e",
                                        "\xce\xa3\xce\xbf", "\xcf\x83\xce\xbf", "x\xff", "X\xfe", "_a", "~z", "Z",
                                        // past the first sixteen units; a surrogate pair and the
                                        // private-use units above it
                                        "holiday_in_the_mountains_", "HOLIDAY_IN_THE_MOUNTAINS", "holiday_in_the_mount",
                                        "\xf0\x9f\x98\x80", "\xee\x80\x80", "a\xf0\x9f\x98\x80" "b", "a\xef\xbf\xbd"};
    quint32 seed = 7;
    QSet<QByteArray> made;
    while (made.size() < 21000) {
        seed = seed * 1664525u + 1013904223u;
        const QByteArray name = QByteArray(stems[(seed >> 8) % std::size(stems)]) + QByteArray::number((seed >> 12) % 9000) +
                                ((seed >> 4) % 3 == 0 ? ".JPG" : ".jpg");
        if (!made.contains(name)) {
            made.insert(name);
            touch(dir.path(), name);
        }
    }
    // Pairs that differ only in case, so ties between equal folded names are decided by bytes.
    touch(dir.path(), "Tie.jpg");
    touch(dir.path(), "tIE.jpg");
    made.insert("Tie.jpg");
    made.insert("tIE.jpg");

    std::vector<QByteArray> expected(made.begin(), made.end());
    std::sort(expected.begin(), expected.end(), [](const QByteArray& a, const QByteArray& b) {
        const int byKey = orv::decodeFileName(a).toCaseFolded().compare(orv::decodeFileName(b).toCaseFolded());
        return byKey != 0 ? byKey < 0 : a < b;
    });

    const Listing listing = orv::listFiles(dir.path(), WildcardPattern(QStringLiteral("*")));
    ASSERT_TRUE(listing.ok);
    ASSERT_EQ(std::size_t(listing.files.size()), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) {
        ASSERT_EQ(listing.files.at(qsizetype(i)).raw, expected[i]) << "at row " << i;
        ASSERT_EQ(listing.files.at(qsizetype(i)).display, orv::decodeFileName(expected[i]));
    }
    for (const QByteArray& name : made)
        ::unlink((QFile::encodeName(dir.path()) + '/' + name).constData());
}

TEST(ListFiles, KeepsRawBytesOfNamesThatAreNotUtf8AndOddCharacters)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QByteArray invalid("caf\xff.txt");
    const QByteArray odd[] = {QByteArray("new\nline.txt"), QByteArray("with space.txt"), QByteArray("q\"uo'te;$x.txt")};
    touch(dir.path(), invalid);
    for (const QByteArray& name : odd)
        touch(dir.path(), name);

    const Listing listing = orv::listFiles(dir.path(), WildcardPattern(QStringLiteral("*.txt")));
    ASSERT_TRUE(listing.ok);
    ASSERT_EQ(listing.files.size(), 4);
    bool sawInvalid = false;
    for (const orv::FileEntry& entry : listing.files) {
        // The shown name, appended to the folder, opens the very file again.
        EXPECT_EQ(orv::encodeFileName(entry.display), entry.raw);
        const QByteArray full = orv::encodeFileName(dir.path() + u'/' + entry.display);
        const int fd = ::open(full.constData(), O_RDONLY | O_CLOEXEC);
        EXPECT_GE(fd, 0) << full.constData();
        if (fd >= 0)
            ::close(fd);
        sawInvalid = sawInvalid || entry.raw == invalid;
    }
    EXPECT_TRUE(sawInvalid);
    for (const QByteArray& name : odd)
        EXPECT_TRUE(displayNames(listing).contains(QString::fromUtf8(name))) << name.constData();
    // QTemporaryDir cannot name this file to remove it.
    ::unlink((QFile::encodeName(dir.path()) + '/' + invalid).constData());
}

TEST(ListFiles, ReportsFoldersThatCannotBeRead)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    touch(dir.path(), "plain.txt");
    const WildcardPattern pattern(QStringLiteral("*"));

    const Listing fromFile = orv::listFiles(dir.path() + QStringLiteral("/plain.txt"), pattern);
    EXPECT_FALSE(fromFile.ok);
    EXPECT_TRUE(fromFile.files.isEmpty());

    const QString vanished = dir.path() + QStringLiteral("/gone");
    ASSERT_TRUE(QDir().mkdir(vanished));
    ASSERT_TRUE(QDir().rmdir(vanished));
    const Listing fromVanished = orv::listFiles(vanished, pattern);
    EXPECT_FALSE(fromVanished.ok);
    EXPECT_TRUE(fromVanished.files.isEmpty());

    EXPECT_FALSE(orv::listFiles(QString(), pattern).ok);
}

TEST(ListFiles, ReportsFolderWithoutReadPermission)
{
    if (::geteuid() == 0)
        GTEST_SKIP() << "root reads folders whatever their mode; the missing-folder cases cover the error path";
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    touch(dir.path(), "a.txt");
    ASSERT_EQ(::chmod(QFile::encodeName(dir.path()).constData(), 0), 0);
    const Listing listing = orv::listFiles(dir.path(), WildcardPattern(QStringLiteral("*")));
    ::chmod(QFile::encodeName(dir.path()).constData(), 0700);
    EXPECT_FALSE(listing.ok);
    EXPECT_TRUE(listing.files.isEmpty());
}

TEST(FileListLoader, NewerRequestSupersedesOlderOne)
{
    QTemporaryDir first;
    QTemporaryDir second;
    ASSERT_TRUE(first.isValid() && second.isValid());
    for (int i = 0; i < 2000; ++i)
        touch(first.path(), QByteArray("old") + QByteArray::number(i) + ".txt");
    touch(second.path(), "new.txt");

    FileListLoader loader;
    QSignalSpy spy(&loader, &FileListLoader::finished);
    const QThread* deliveredOn = nullptr;
    QObject::connect(&loader, &FileListLoader::finished, &loader, [&] { deliveredOn = QThread::currentThread(); });

    const WildcardPattern pattern(QStringLiteral("*.txt"));
    const quint64 older = loader.request(first.path(), pattern);
    const quint64 newer = loader.request(second.path(), pattern);
    EXPECT_GT(newer, older);
    EXPECT_EQ(loader.latest(), newer);

    ASSERT_TRUE(spy.wait(10000));
    // Results arrive in request order, so a late older result would already be in the spy.
    ASSERT_EQ(spy.count(), 1);
    EXPECT_EQ(spy.at(0).at(0).value<quint64>(), newer);
    const Listing listing = spy.at(0).at(1).value<Listing>();
    EXPECT_EQ(listing.folder, second.path());
    EXPECT_EQ(displayNames(listing), QStringList{QStringLiteral("new.txt")});
    EXPECT_EQ(deliveredOn, loader.thread());
}

TEST(FileListLoader, DestroyedWhileListingIsSafe)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    for (int i = 0; i < 2000; ++i)
        touch(dir.path(), QByteArray::number(i) + ".txt");
    auto loader = std::make_unique<FileListLoader>();
    loader->request(dir.path(), WildcardPattern(QStringLiteral("*")));
    loader->request(dir.path(), WildcardPattern(QStringLiteral("*.txt")));
    loader.reset();
    QCoreApplication::processEvents();
}
