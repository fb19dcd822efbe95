// The show file: what the writer puts down byte for byte, what the reader makes of good,
// damaged and foreign files, and that a failed save never costs the file that was there.
#include "slideshow/core/showfile.h"

#include "savesubjects.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <csignal>
#include <limits>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace orv;

namespace {

const QByteArray kFixedLines = "[Orv Slide Show Data File]\r\n[Settings]\r\nTrue\r\nFalse\r\n 5000 \r\nTrue\r\nTrue\r\nTrue\r\n"
                               "[Files]\r\n";

ShowFileRead read(const QByteArray& bytes, const ShowSettings& current = {})
{
    QBuffer in;
    in.setData(bytes);
    in.open(QIODevice::ReadOnly);
    return readShowFile(in, current);
}

QByteArray fileBytes(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<unreadable>");
}

void writeBytes(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    ASSERT_EQ(f.write(bytes), bytes.size());
}

// A show whose settings differ from every default, so each line is seen to come from its own.
ShowSettings unusualSettings()
{
    ShowSettings s;
    s.advanceOnKey = false;
    s.advanceOnTimer = true;
    s.interval = SlideInterval::fromMilliseconds(2500);
    s.loop = false;
    s.showPointer = false;
    s.showFileName = false;
    return s;
}

} // namespace

TEST(ShowFileWriter, TwoPicturesWithDefaultSettingsByteForByte)
{
    const QStringList entries{QStringLiteral("/home/ann/Pictures/Beach.jpg"), QStringLiteral("/home/ann/Pictures/Dune.bmp")};
    EXPECT_EQ(showFileBytes(ShowSettings(), entries),
              kFixedLines + "/home/ann/Pictures/Beach.jpg\r\n/home/ann/Pictures/Dune.bmp\r\n");
    // An empty show is the nine lines alone.
    EXPECT_EQ(showFileBytes(ShowSettings(), {}), kFixedLines);
}

TEST(ShowFileWriter, SettingsLinesFollowTheirSettings)
{
    EXPECT_EQ(showFileBytes(unusualSettings(), {}),
              "[Orv Slide Show Data File]\r\n[Settings]\r\nFalse\r\nTrue\r\n 2500 \r\nFalse\r\nFalse\r\nFalse\r\n[Files]\r\n");
    ShowSettings s;
    s.interval = SlideInterval::fromMilliseconds(1234.5);
    EXPECT_TRUE(showFileBytes(s, {}).contains("\r\n 1234.5 \r\n"));
}

TEST(ShowFileWriter, EntriesKeepTheirLetterCaseAndAreUtf8)
{
    const QString entry = QStringLiteral("/home/ann/photos/été/beach.JPG");
    EXPECT_TRUE(showFileBytes({}, {entry}).endsWith(QByteArray("/home/ann/photos/\xC3\xA9t\xC3\xA9/beach.JPG\r\n")));
}

TEST(ShowFileWriter, EntriesThatWouldSplitAreQuoted)
{
    EXPECT_EQ(showFileItem(QStringLiteral("/pics/say \"hi\", then.jpg")),
              QStringLiteral("\"/pics/say \"\"hi\"\", then.jpg\""));
    // A quote inside an item needs nothing: only one in front starts a quoted item.
    EXPECT_EQ(showFileItem(QStringLiteral("/pics/5\" disk.jpg")), QStringLiteral("/pics/5\" disk.jpg"));
}

TEST(ShowFileReader, ReadsWhatTheWriterWrote)
{
    const QStringList entries{QStringLiteral("/a/one.jpg"),     QStringLiteral("/a/one.jpg"), QString(),
                              QStringLiteral("/a/b,c.bmp"),     QStringLiteral(" /a/x.gif"),  QStringLiteral("\"q\".ico"),
                              QStringLiteral("/a/new\r\nline"), QStringLiteral("/a/trail  "), QStringLiteral("/a/WAVE.WAV")};
    const ShowFileRead r = read(showFileBytes(unusualSettings(), entries));
    ASSERT_TRUE(r.valid);
    EXPECT_EQ(r.entries, entries);
    ShowSettings expected = unusualSettings();
    expected.interval = SlideInterval::fromText(QStringLiteral("2500"));
    EXPECT_EQ(r.settings, expected);
}

TEST(ShowFileReader, HeaderInAnotherLetterCaseIsRefused)
{
    ShowSettings current = unusualSettings();
    QByteArray bytes = kFixedLines + "/a/b.jpg\r\n";
    bytes.replace("Slide Show", "slide show");
    const ShowFileRead r = read(bytes, current);
    EXPECT_FALSE(r.valid);
    EXPECT_TRUE(r.entries.isEmpty());
    EXPECT_EQ(r.settings, current);
    // A trailing space or a missing bracket is no header either; an empty file neither.
    EXPECT_FALSE(read("[Orv Slide Show Data File] \r\n").valid);
    EXPECT_FALSE(read("Orv Slide Show Data File\r\n").valid);
    EXPECT_FALSE(read("").valid);
}

TEST(ShowFileReader, FilesOnLineTwoGivesNoEntries)
{
    // Line 2 is not "[Settings]", so line 3 is the one compared with "[Files]".
    const ShowFileRead r = read("[Orv Slide Show Data File]\r\n[Files]\r\n/a/b.jpg\r\n/a/c.jpg\r\n", unusualSettings());
    EXPECT_TRUE(r.valid);
    EXPECT_TRUE(r.entries.isEmpty());
    EXPECT_EQ(r.settings, unusualSettings());
    // Without a settings block, a "[Files]" right after the header's next item still counts.
    EXPECT_EQ(read("[Orv Slide Show Data File]\r\nanything\r\n[Files]\r\n/a/b.jpg\r\n").entries,
              QStringList{QStringLiteral("/a/b.jpg")});
}

TEST(ShowFileReader, UnquotedCommaSplitsQuotedCommaDoesNot)
{
    EXPECT_EQ(read(kFixedLines + "/pics/a,b.jpg\r\n").entries,
              (QStringList{QStringLiteral("/pics/a"), QStringLiteral("b.jpg")}));
    EXPECT_EQ(read(kFixedLines + "\"/pics/a,b.jpg\"\r\n/pics/c.jpg\r\n").entries,
              (QStringList{QStringLiteral("/pics/a,b.jpg"), QStringLiteral("/pics/c.jpg")}));
    // What follows a closing quote on its line is dropped; an unclosed quote runs to the end.
    EXPECT_EQ(read(kFixedLines + "\"/p/x.jpg\"junk\r\n\"/p/open").entries,
              (QStringList{QStringLiteral("/p/x.jpg"), QStringLiteral("/p/open")}));
}

TEST(ShowFileReader, EmptyLinesAreEmptyEntriesAndDuplicatesStay)
{
    EXPECT_EQ(read(kFixedLines + "/a.jpg\r\n\r\n/a.jpg\r\n\r\n").entries,
              (QStringList{QStringLiteral("/a.jpg"), QString(), QStringLiteral("/a.jpg"), QString()}));
    // Spaces in front of an item are skipped, behind it kept.
    EXPECT_EQ(read(kFixedLines + "   /a b.jpg  \r\n   \r\n").entries,
              (QStringList{QStringLiteral("/a b.jpg  "), QString()}));
}

TEST(ShowFileReader, EndsAnywhereWithoutComplaint)
{
    const ShowFileRead atFiles = read(kFixedLines);
    EXPECT_TRUE(atFiles.valid);
    EXPECT_TRUE(atFiles.entries.isEmpty());
    EXPECT_TRUE(read(kFixedLines.chopped(2)).entries.isEmpty());
    EXPECT_EQ(read(kFixedLines + "/a.jpg").entries, QStringList{QStringLiteral("/a.jpg")});
    // A settings block cut short applies what it has and reads no entries.
    const ShowFileRead cut = read("[Orv Slide Show Data File]\r\n[Settings]\r\nFalse\r\n");
    EXPECT_TRUE(cut.valid);
    EXPECT_FALSE(cut.settings.advanceOnKey);
    EXPECT_TRUE(cut.entries.isEmpty());
    EXPECT_TRUE(read("[Orv Slide Show Data File]").valid);
}

TEST(ShowFileReader, LfAndLoneCrLineEndsReadLikeCrLf)
{
    QByteArray crlf = kFixedLines + "/a.jpg\r\n\r\n/b.jpg\r\n";
    QByteArray lf = crlf;
    lf.replace("\r\n", "\n");
    QByteArray cr = crlf;
    cr.replace("\r\n", "\r");
    const ShowFileRead a = read(crlf);
    for (const QByteArray& other : {lf, cr}) {
        const ShowFileRead b = read(other);
        EXPECT_TRUE(b.valid);
        EXPECT_EQ(b.entries, a.entries);
        EXPECT_EQ(b.settings, a.settings);
    }
    EXPECT_EQ(read("\xEF\xBB\xBF" + crlf).entries, a.entries);
}

TEST(ShowFileReader, SettingsItemsApplyOnlyWhenTheyMeanSomething)
{
    const ShowSettings current = unusualSettings();
    // Empty items and words other than True/False leave their settings.
    const ShowFileRead kept = read("[Orv Slide Show Data File]\r\n[Settings]\r\n\r\nyes\r\n\r\n \r\nmaybe\r\n\r\n[Files]\r\n", current);
    EXPECT_EQ(kept.settings, current);
    // A quoted item of spaces is empty too; other white space is part of the value.
    const ShowFileRead spaces = read("[Orv Slide Show Data File]\r\n[Settings]\r\n\" True \"\r\n\r\n\"   \"\r\n", current);
    EXPECT_TRUE(spaces.settings.advanceOnKey);
    EXPECT_EQ(spaces.settings.interval, current.interval);
    EXPECT_EQ(read("[Orv Slide Show Data File]\r\n[Settings]\r\n\r\n\r\n\t\r\n").settings.interval.text(), QStringLiteral("\t"));
    // Any letter case; numbers are false for 0, true otherwise.
    const ShowFileRead set = read("[Orv Slide Show Data File]\r\n[Settings]\r\nTRUE\r\nfalse\r\n  7000  \r\n-1\r\n0\r\n2.5\r\n[Files]\r\n", current);
    EXPECT_TRUE(set.settings.advanceOnKey);
    EXPECT_FALSE(set.settings.advanceOnTimer);
    EXPECT_EQ(set.settings.interval, SlideInterval::fromText(QStringLiteral("7000")));
    EXPECT_TRUE(set.settings.loop);
    EXPECT_FALSE(set.settings.showPointer);
    EXPECT_TRUE(set.settings.showFileName);
    // Items may share a line, split at commas.
    const ShowFileRead commas = read("[Orv Slide Show Data File],[Settings],False,True,abc,False,True,False,[Files],/x.jpg");
    EXPECT_FALSE(commas.settings.advanceOnKey);
    EXPECT_TRUE(commas.settings.advanceOnTimer);
    EXPECT_EQ(commas.settings.interval, SlideInterval::fromText(QStringLiteral("abc")));
    EXPECT_EQ(commas.entries, QStringList{QStringLiteral("/x.jpg")});
}

TEST(ShowFileReader, IntervalTextIsWrittenBackAsRead)
{
    const ShowFileRead r = read("[Orv Slide Show Data File]\r\n[Settings]\r\nTrue\r\nTrue\r\n 3000 \r\nTrue\r\nTrue\r\nTrue\r\n[Files]\r\n");
    EXPECT_TRUE(r.settings.advanceOnKey && r.settings.advanceOnTimer);
    EXPECT_TRUE(showFileBytes(r.settings, {}).contains("\r\nTrue\r\n3000\r\nTrue\r\n"));
    // A text that holds a comma would split on the next read, so it goes in quotes.
    const ShowFileRead odd = read("[Orv Slide Show Data File]\r\n[Settings]\r\nTrue\r\nTrue\r\n\"1,5\"\r\n");
    EXPECT_EQ(odd.settings.interval.text(), QStringLiteral("1,5"));
    EXPECT_EQ(read(showFileBytes(odd.settings, {})).settings, odd.settings);
}

TEST(ShowFileReader, PathsThatAreNoFileAreRefused)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const ShowSettings current = unusualSettings();
    EXPECT_FALSE(readShowFile(dir.filePath(QStringLiteral("missing.sli")), current).valid);
    EXPECT_FALSE(readShowFile(dir.path(), current).valid);
    // A FIFO would block a plain open until something writes to it.
    const QString fifo = dir.filePath(QStringLiteral("pipe.sli"));
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    const ShowFileRead r = readShowFile(fifo, current);
    EXPECT_FALSE(r.valid);
    EXPECT_EQ(r.settings, current);
    EXPECT_FALSE(readShowFile(QStringLiteral("/dev/zero"), current).valid);
}

TEST(ShowFileReader, OversizedFileIsRefusedWithoutReadingItAll)
{
    QByteArray big = kFixedLines;
    big.append(QByteArray(kMaxShowFileBytes, 'x'));
    EXPECT_FALSE(read(big).valid);
    EXPECT_TRUE(read(big.left(kMaxShowFileBytes)).valid);
}

TEST(ShowFileSave, WritesTheFileAndReplacesAnOldOne)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("show.sli"));
    writeBytes(path, "old contents");
    const QStringList entries{QStringLiteral("/p/a,b.jpg")};
    const ShowSave s = saveShowFile(path, ShowSettings(), entries);
    ASSERT_TRUE(s.saved) << s.reason.toStdString();
    EXPECT_EQ(fileBytes(path), kFixedLines + "\"/p/a,b.jpg\"\r\n");
    EXPECT_EQ(readShowFile(path, {}).entries, entries);
    // No temporary file is left beside it.
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{QStringLiteral("show.sli")});
}

TEST(ShowFileSave, UnwritableFolderKeepsTheOldFile)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("show.sli"));
    const QByteArray old = kFixedLines + "/old.jpg\r\n";
    writeBytes(path, old);
    // The file itself stays writable: only the folder refuses the temporary file.
    ASSERT_TRUE(QFile::setPermissions(path, QFile::ReadUser | QFile::WriteUser | QFile::ReadOther | QFile::WriteOther));
    ASSERT_TRUE(QFile::setPermissions(dir.path(), QFile::ReadUser | QFile::ExeUser | QFile::ReadOther | QFile::ExeOther));
    ShowSave s;
    {
        // Permissions do not bind root; the save runs as nobody then.
        const bool root = ::geteuid() == 0;
        ASSERT_TRUE(!root || ::seteuid(65534) == 0);
        s = saveShowFile(path, ShowSettings(), {QStringLiteral("/new.jpg")});
        ASSERT_TRUE(!root || ::seteuid(0) == 0);
    }
    QFile::setPermissions(dir.path(), QFile::ReadUser | QFile::WriteUser | QFile::ExeUser);
    EXPECT_FALSE(s.saved);
    EXPECT_FALSE(s.reason.isEmpty());
    EXPECT_TRUE(s.message(path).contains(path));
    EXPECT_EQ(fileBytes(path), old);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{QStringLiteral("show.sli")});
    // A folder that does not exist fails the same way.
    EXPECT_FALSE(saveShowFile(dir.filePath(QStringLiteral("no/such/show.sli")), ShowSettings(), {}).saved);
}

TEST(ShowFileSave, FullDiskKeepsTheOldFile)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("show.sli"));
    const QByteArray old = kFixedLines + "/old.jpg\r\n";
    writeBytes(path, old);
    QStringList many;
    for (int i = 0; i < 200; ++i)
        many.append(QStringLiteral("/pictures/holiday/%1.jpg").arg(i));

    // A file-size limit makes every write past it fail as a full disk would.
    rlimit saved{};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &saved), 0);
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit tight = saved;
    tight.rlim_cur = 512;
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &tight), 0);
    const ShowSave s = saveShowFile(path, ShowSettings(), many);
    ::setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, oldHandler);

    EXPECT_FALSE(s.saved);
    EXPECT_FALSE(s.reason.isEmpty());
    EXPECT_EQ(fileBytes(path), old);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{QStringLiteral("show.sli")});
}

// A save killed at any moment leaves the previous show or the new one, whole.
TEST(ShowFileSave, KilledSaveLeavesAWholeFile)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const orv::test::KillTrialSubject subject = orv::test::showSubject(dir.filePath(QStringLiteral("show.sli")));
    const orv::test::KillTrialTally tally = orv::test::runKillTrials(subject, 50, 7);
    EXPECT_TRUE(tally.allWhole()) << tally.firstProblem.toStdString();
    EXPECT_EQ(tally.trials, 50);
    EXPECT_GT(tally.advanced, 0);
}

TEST(SlideIntervalValue, TimerGetsWholePositiveMilliseconds)
{
    EXPECT_EQ(SlideInterval().timerMilliseconds(), 5000);
    EXPECT_EQ(SlideInterval::fromMilliseconds(2500).timerMilliseconds(), 2500);
    // Halves go to the even neighbour.
    EXPECT_EQ(SlideInterval::fromText(QStringLiteral("2500.5")).timerMilliseconds(), 2500);
    EXPECT_EQ(SlideInterval::fromText(QStringLiteral("2501.5")).timerMilliseconds(), 2502);
    EXPECT_EQ(SlideInterval::fromMilliseconds(0.3).timerMilliseconds(), 1);
    EXPECT_EQ(SlideInterval::fromMilliseconds(1e12).timerMilliseconds(), std::numeric_limits<int>::max());
    for (const char* bad : {"0", "-2000", "abc", "nan", "inf", ""})
        EXPECT_EQ(SlideInterval::fromText(QString::fromLatin1(bad)).timerMilliseconds(), std::nullopt) << bad;
    EXPECT_EQ(SlideInterval::fromMilliseconds(0).timerMilliseconds(), std::nullopt);
}
