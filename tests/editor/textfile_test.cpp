#include "editor/core/textcodec.h"
#include "editor/core/textfile.h"
#include "editor/core/textformat.h"
#include "editortestfiles.h"
#include "savesubjects.h"
#include "support/rawname.h"

#include <QDir>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

using namespace Qt::StringLiterals;
using namespace orv;
using orv::test::fileBytes;
using orv::test::putBytes;

namespace {

struct Sample {
    const char* name;
    QByteArray bytes;
};

const QList<Sample>& samples()
{
    static const QList<Sample> all = {
        {"empty", ""},
        {"lone LF", "\n"},
        {"UTF-8, LF, final", "caf\xC3\xA9 cr\xC3\xA8me\nsecond line\n"},
        {"UTF-8, LF, no final", "caf\xC3\xA9\nlast line"},
        {"UTF-8, CR LF, final", "one\r\ntwo\r\n\r\nfour\r\n"},
        {"UTF-8, CR LF, no final", "one\r\ntwo"},
        {"UTF-8 with byte-order mark", "\xEF\xBB\xBFhead\r\nbody\r\n"},
        {"UTF-8, four-byte character", "smile \xF0\x9F\x98\x80\n"},
        {"old Mac CR", "one\rtwo\r"},
        {"mixed line ends", "a\r\nb\nc\rd\r\ne"},
        {"CR before CR LF", "a\r\r\nb\n\n\r"},
        {"Windows-1252, CR LF, final", "Cr\xE8me br\xFBl\xE9" "e \x80 5\r\n\x93quoted\x94\r\n"},
        {"Windows-1252, LF, no final", "na\xEFve\nfa\xE7" "ade"},
        {"Windows-1252 undefined bytes", "\x81\x8D\x8F\x90\x9D\n"},
        {"NUL bytes", QByteArray("a\0b\n", 4)},
    };
    return all;
}

QByteArray everyByte()
{
    QByteArray all;
    for (int b = 0; b < 256; ++b)
        all.append(char(b));
    return all;
}

class TextFileTest : public ::testing::Test {
protected:
    void TearDown() override { dir_.setAutoRemove(!HasFailure()); }
    QString path(const QString& name) const { return dir_.path() + u'/' + name; }

private:
    QTemporaryDir dir_;
};

} // namespace

// An unchanged text goes back to disk byte for byte, whatever encoding and line ends it had.
TEST_F(TextFileTest, UnchangedTextsRoundTripByteForByte)
{
    QList<Sample> all = samples();
    all.append({"every byte value", everyByte()});
    for (const Sample& s : all) {
        SCOPED_TRACE(s.name);
        const DecodedText decoded = decodeText(s.bytes);
        EXPECT_FALSE(decoded.text.contains(u'\r'));
        EXPECT_EQ(encodeText(decoded.text, decoded.format).bytes, s.bytes);

        const QString file = path(QString::fromLatin1(s.name));
        ASSERT_TRUE(putBytes(file, s.bytes));
        const TextFileRead read = readTextFile(file);
        ASSERT_TRUE(read.ok()) << qPrintable(read.systemError);
        EXPECT_EQ(read.text, decoded.text);
        const TextFileWrite written = writeTextFile(file, read.text, read.format);
        ASSERT_TRUE(written.ok) << qPrintable(written.systemError);
        EXPECT_FALSE(written.switchedToUtf8);
        EXPECT_EQ(fileBytes(file), s.bytes);
        EXPECT_EQ(written.format, read.format);
    }
}

TEST_F(TextFileTest, DetectsEncodingAndLineEnds)
{
    struct Expect {
        QByteArray bytes;
        TextEncoding encoding;
        bool bom;
        LineEnd lineEnd;
        bool mixed;
        bool finalLineEnd;
        QString text;
    };
    const QList<Expect> cases = {
        {"a\r\nb\r\n", TextEncoding::Utf8, false, LineEnd::CrLf, false, true, u"a\nb\n"_s},
        {"a\nb", TextEncoding::Utf8, false, LineEnd::Lf, false, false, u"a\nb"_s},
        {"a\rb\r", TextEncoding::Utf8, false, LineEnd::Cr, false, true, u"a\nb\n"_s},
        {"\xEF\xBB\xBFx", TextEncoding::Utf8, true, LineEnd::Lf, false, false, u"x"_s},
        {"\x80\r\n", TextEncoding::Windows1252, false, LineEnd::CrLf, false, true, u"€\n"_s},
        // CR LF twice, LF once: CR LF for lines beyond the list.
        {"a\r\nb\nc\r\n", TextEncoding::Utf8, false, LineEnd::CrLf, true, true, u"a\nb\nc\n"_s},
        // Not UTF-8, each for its own reason: overlong, surrogate, beyond U+10FFFF, cut short,
        // stray continuation byte.
        {"\xC0\xAF", TextEncoding::Windows1252, false, LineEnd::Lf, false, false, u"À¯"_s},
        {"\xED\xA0\x80", TextEncoding::Windows1252, false, LineEnd::Lf, false, false, u"í\u00a0€"_s},
        {"\xF4\x90\x80\x80", TextEncoding::Windows1252, false, LineEnd::Lf, false, false, u"ô\u0090€€"_s},
        {"ok \xE2\x82", TextEncoding::Windows1252, false, LineEnd::Lf, false, false, u"ok â‚"_s},
        {"\x80", TextEncoding::Windows1252, false, LineEnd::Lf, false, false, u"€"_s},
        // A byte-order mark on a file that is not UTF-8 is just three Windows-1252 characters.
        {"\xEF\xBB\xBF\xFF", TextEncoding::Windows1252, false, LineEnd::Lf, false, false, u"ï»¿ÿ"_s},
    };
    for (const Expect& e : cases) {
        SCOPED_TRACE(e.bytes.toHex(' ').toStdString());
        const DecodedText d = decodeText(e.bytes);
        EXPECT_EQ(d.text, e.text);
        EXPECT_EQ(d.format.encoding, e.encoding);
        EXPECT_EQ(d.format.byteOrderMark, e.bom);
        EXPECT_EQ(d.format.lineEnd, e.lineEnd);
        EXPECT_EQ(d.format.mixed(), e.mixed);
        EXPECT_EQ(d.format.finalLineEnd, e.finalLineEnd);
    }
}

TEST_F(TextFileTest, FinalLineEndOnlyWhenMissingAndWanted)
{
    const TextFormat fresh;  // a new document: UTF-8, LF
    EXPECT_EQ(encodeText(u"abc"_s, fresh).bytes, "abc\n");
    EXPECT_EQ(encodeText(u"abc\n"_s, fresh).bytes, "abc\n");
    EXPECT_EQ(encodeText(u"abc\n\n"_s, fresh).bytes, "abc\n\n");
    EXPECT_EQ(encodeText(u""_s, fresh).bytes, "");

    // A CR LF file that had a final line end gets it back when the user removed it.
    const TextFormat crlf = decodeText("one\r\ntwo\r\n").format;
    EXPECT_EQ(encodeText(u"one\ntwo"_s, crlf).bytes, "one\r\ntwo\r\n");
    // One that had none keeps having none, also with lines added.
    const TextFormat open = decodeText("one\r\ntwo").format;
    EXPECT_EQ(encodeText(u"one\ntwo\nthree"_s, open).bytes, "one\r\ntwo\r\nthree");
    // Line breaks that reach the writer as CR LF or CR are still one line end each.
    EXPECT_EQ(encodeText(u"a\r\nb\rc"_s, crlf).bytes, "a\r\nb\r\nc\r\n");
}

// A mixed file keeps each line's own end; lines added at the end take the most common one.
TEST_F(TextFileTest, MixedLineEndsFollowTheLines)
{
    const DecodedText d = decodeText("a\r\nb\nc\r\n");
    const EncodedText longer = encodeText(d.text + u"d\n"_s, d.format);
    EXPECT_EQ(longer.bytes, "a\r\nb\nc\r\nd\r\n");
    EXPECT_EQ(encodeText(d.text + u"d\n"_s, longer.format).bytes, longer.bytes);
    // Once the odd line is gone the file is uniform again.
    const EncodedText uniform = encodeText(u"a\n"_s, d.format);
    EXPECT_EQ(uniform.bytes, "a\r\n");
    EXPECT_FALSE(uniform.format.mixed());
}

TEST_F(TextFileTest, CharactersBeyondWindows1252SwitchTheDocumentToUtf8)
{
    const DecodedText d = decodeText("caf\xE9\r\n");
    ASSERT_EQ(d.format.encoding, TextEncoding::Windows1252);
    const EncodedText kept = encodeText(u"café €\n"_s, d.format);
    EXPECT_FALSE(kept.switchedToUtf8);
    EXPECT_EQ(kept.bytes, "caf\xE9 \x80\r\n");

    const EncodedText switched = encodeText(u"café Ω\n"_s, d.format);
    EXPECT_TRUE(switched.switchedToUtf8);
    EXPECT_EQ(switched.format.encoding, TextEncoding::Utf8);
    EXPECT_EQ(switched.format.lineEnd, LineEnd::CrLf);
    EXPECT_EQ(switched.bytes, "caf\xC3\xA9 \xCE\xA9\r\n");
    // Read back, it is UTF-8 and writes back unchanged.
    const DecodedText again = decodeText(switched.bytes);
    EXPECT_EQ(again.format, switched.format);
    EXPECT_EQ(encodeText(again.text, again.format).bytes, switched.bytes);
}

TEST_F(TextFileTest, QTextDocumentParagraphsBecomeLineBreaks)
{
    EXPECT_EQ(editorTextFromDocument(u"a\u2029b\u00a0c\u2028d"_s), u"a\nb\u00a0c\u2028d"_s);
}

TEST_F(TextFileTest, RefusesWhatIsNotARegularFileWithoutBlocking)
{
    EXPECT_EQ(readTextFile(path(u"missing.txt"_s)).status, TextFileRead::Status::CannotOpen);
    EXPECT_EQ(readTextFile(QString()).status, TextFileRead::Status::CannotOpen);
    ASSERT_TRUE(QDir().mkpath(path(u"folder.txt"_s)));
    EXPECT_EQ(readTextFile(path(u"folder.txt"_s)).status, TextFileRead::Status::CannotOpen);
    // A pipe with no writer would block a plain open for ever.
    ASSERT_EQ(::mkfifo(QFile::encodeName(path(u"pipe.txt"_s)).constData(), 0600), 0);
    EXPECT_EQ(readTextFile(path(u"pipe.txt"_s)).status, TextFileRead::Status::CannotOpen);
    EXPECT_EQ(readTextFile(u"/dev/zero"_s).status, TextFileRead::Status::CannotOpen);
}

// A read that fails once the file is open is a failure, never a shorter text.
TEST_F(TextFileTest, ReadFailingAfterOpenIsReported)
{
    // Reading the process's own memory from address 0 opens fine and then fails.
    const TextFileRead mem = readTextFile(u"/proc/self/mem"_s);
    EXPECT_EQ(mem.status, TextFileRead::Status::ReadFailed);
    EXPECT_FALSE(mem.systemError.isEmpty());
    EXPECT_TRUE(mem.text.isEmpty());

    const QString file = path(u"text.txt"_s);
    ASSERT_TRUE(putBytes(file, "some text\n"));
    const int fd = ::open(QFile::encodeName(file).constData(), O_WRONLY | O_CLOEXEC);
    ASSERT_GE(fd, 0);
    EXPECT_EQ(readTextFileFrom(fd).status, TextFileRead::Status::ReadFailed);
    ::close(fd);

    // Files that report no size still read whole.
    const TextFileRead status = readTextFile(u"/proc/self/status"_s);
    ASSERT_TRUE(status.ok());
    EXPECT_TRUE(status.text.startsWith(u"Name:"_s));
}

TEST_F(TextFileTest, SizeLimitCountsBytes)
{
    const QString file = path(u"big.txt"_s);
    ASSERT_TRUE(putBytes(file, QByteArray(65000, 'x')));
    EXPECT_EQ(fileSizeOnDisk(file), 65000);
    EXPECT_TRUE(readTextFile(file, 65000).ok());
    ASSERT_TRUE(putBytes(file, QByteArray(65001, 'x')));
    EXPECT_EQ(readTextFile(file, 65000).status, TextFileRead::Status::TooLarge);
    // 32,500 two-byte characters are 65,000 bytes: bytes on disk count, not characters.
    ASSERT_TRUE(putBytes(file, QByteArray("\xC3\xA9").repeated(32500) + "x"));
    EXPECT_EQ(fileSizeOnDisk(file), 65001);
    EXPECT_FALSE(fileSizeOnDisk(path(u"missing"_s)).has_value());
}

TEST_F(TextFileTest, SaveKeepsPermissionsAndLinks)
{
    const QString file = path(u"script.txt"_s);
    ASSERT_TRUE(putBytes(file, "old\n"));
    ASSERT_EQ(::chmod(QFile::encodeName(file).constData(), 0640), 0);
    const QString link = path(u"link.txt"_s);
    ASSERT_EQ(::symlink("script.txt", QFile::encodeName(link).constData()), 0);

    ASSERT_TRUE(replaceFileContents(link, "new\n").ok);
    EXPECT_TRUE(QFileInfo(link).isSymLink());
    EXPECT_EQ(fileBytes(file), "new\n");
    struct stat st;
    ASSERT_EQ(::stat(QFile::encodeName(file).constData(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0640u);
    // Nothing left beside it.
    EXPECT_EQ(QDir(path(QString())).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot).size(), 2);

    ASSERT_TRUE(QDir().mkpath(path(u"folder"_s)));
    const FileWrite onFolder = replaceFileContents(path(u"folder"_s), "x");
    EXPECT_FALSE(onFolder.ok);
    EXPECT_FALSE(onFolder.systemError.isEmpty());
    EXPECT_TRUE(QFileInfo(path(u"folder"_s)).isDir());
}

TEST_F(TextFileTest, UnwritableFolderIsReportedAndLosesNothing)
{
    const QString folder = path(u"locked"_s);
    const QString file = folder + u"/notes.txt"_s;
    ASSERT_TRUE(putBytes(file, "precious\r\n"));
    orv::test::ReadOnlyFolder locked(folder);
    if (!locked.active())
        GTEST_SKIP() << "cannot make a folder read-only here";
    const TextFileWrite w = writeTextFile(file, u"changed\n"_s, decodeText("precious\r\n").format);
    EXPECT_FALSE(w.ok);
    EXPECT_FALSE(w.systemError.isEmpty());
    EXPECT_EQ(fileBytes(file), "precious\r\n");
    EXPECT_EQ(QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
              QStringList{u"notes.txt"_s});
}

// A save killed at any moment leaves the previous file or the new one, whole.
TEST_F(TextFileTest, KilledSaveLeavesAWholeFile)
{
    const orv::test::KillTrialSubject subject = orv::test::editorSubject(path(u"document.txt"_s));
    const orv::test::KillTrialTally tally = orv::test::runKillTrials(subject, 50, 20240611);
    EXPECT_TRUE(tally.allWhole()) << tally.firstProblem.toStdString();
    EXPECT_EQ(tally.trials, 50);
    EXPECT_GT(tally.advanced, 0);
}

// A document whose name is not valid UTF-8 opens and saves back under that very name.
TEST_F(TextFileTest, NameThatIsNotUtf8OpensAndSaves)
{
    const QString folder = path(QString()).chopped(1);
    const QString file = orv::test::writeRawNamed(folder, orv::test::notUtf8Name("txt"), "old\n");
    ASSERT_FALSE(file.isEmpty());
    const TextFileRead read = readTextFile(file, 65000);
    ASSERT_EQ(read.status, TextFileRead::Status::Ok);
    EXPECT_EQ(read.text, u"old\n"_s);
    ASSERT_TRUE(writeTextFile(file, u"new\n"_s, read.format).ok);
    const QByteArray native = QFile::encodeName(folder) + '/' + orv::test::notUtf8Name("txt");
    char bytes[16] = {};
    const int fd = ::open(native.constData(), O_RDONLY | O_CLOEXEC);
    ASSERT_GE(fd, 0);
    EXPECT_EQ(::read(fd, bytes, sizeof bytes), 4);
    ::close(fd);
    EXPECT_EQ(QByteArray(bytes), "new\n");
    // Nothing else was made beside it.
    EXPECT_EQ(orv::test::entryCount(folder), 1);
    ::unlink(native.constData());
}
