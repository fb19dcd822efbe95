#include "common/core/settingsstore.h"

#include "savesubjects.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLoggingCategory>
#include <QSet>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <fcntl.h>
#include <linux/fs.h>
#include <signal.h>
#include <sys/ioctl.h>
#include <sys/ptrace.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <csignal>
#include <functional>
#include <sys/resource.h>
#include <thread>
#include <unistd.h>

using namespace Qt::StringLiterals;
using orv::SettingsStore;

namespace {

const QString kApp = u"Orvane Viewer"_s;

QByteArray fileBytes(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<unreadable>");
}

void putBytes(const QString& path, const QByteArray& bytes)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    ASSERT_EQ(f.write(bytes), bytes.size());
}

// Same length for every generation, so a reader's cache cannot tell writes apart by size.
QString bigValue(int generation)
{
    const QString tag = QString::number(generation).rightJustified(8, u'0');
    return tag + u':' + QString(u" é\r\n\\=[x] "_s).repeated(12000) + tag;
}

// Makes a folder unwritable even for root (immutable flag); false when that is impossible here.
class ReadOnlyFolder {
public:
    explicit ReadOnlyFolder(const QString& path) : m_path(QFile::encodeName(path))
    {
        if (::geteuid() != 0) {
            m_mode = ::chmod(m_path.constData(), 0500) == 0;
            return;
        }
        const int fd = ::open(m_path.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        int flags = 0;
        if (fd >= 0 && ::ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0) {
            flags |= FS_IMMUTABLE_FL;
            m_immutable = ::ioctl(fd, FS_IOC_SETFLAGS, &flags) == 0;
        }
        if (fd >= 0)
            ::close(fd);
    }
    ~ReadOnlyFolder()
    {
        if (m_mode)
            ::chmod(m_path.constData(), 0700);
        const int fd = m_immutable ? ::open(m_path.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC) : -1;
        int flags = 0;
        if (fd >= 0 && ::ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0) {
            flags &= ~FS_IMMUTABLE_FL;
            ::ioctl(fd, FS_IOC_SETFLAGS, &flags);
        }
        if (fd >= 0)
            ::close(fd);
    }
    bool active() const { return m_mode || m_immutable; }

private:
    QByteArray m_path;
    bool m_mode = false;
    bool m_immutable = false;
};

class SettingsStoreTest : public ::testing::Test {
protected:
    // Set-aside and write-failure warnings are expected here.
    void SetUp() override { QLoggingCategory::setFilterRules(u"orvane.settings.warning=false"_s); }
    void TearDown() override { m_dir.setAutoRemove(!HasFailure()); }
    QString root() const { return m_dir.path() + u"/config"_s; }

private:
    QTemporaryDir m_dir;
};

using Pairs = QList<QPair<QString, QString>>;

// Awkward values and names come back exactly as written, also through a fresh store.
TEST_F(SettingsStoreTest, KeepsValuesAndNamesExactly)
{
    const QStringList awkward = {
        u"  padded  "_s, u" "_s, u"lone\rcr"_s, u"line1\nline2\n"_s, u"\r\n"_s, u"tab\there"_s,
        u"a=b=c"_s, u"[not a section]"_s, u"#not a comment"_s, u"#end"_s, u"back\\slash\\"_s,
        u"\\n stays literal"_s, u"Crème brûlée, ça coûte 5 €"_s, u"emoji 😀"_s,
        QString(QChar(u'\0')) + u"nul\x01\x7f"_s, QString(QChar(0xD800)) + u"lone surrogate"_s, u""_s,
    };
    {
        SettingsStore store(root());
        for (qsizetype i = 0; i < awkward.size(); ++i) {
            store.write(kApp, u"Values"_s, u"k%1"_s.arg(i), awkward[i]);
            store.write(kApp, awkward[i], awkward[i], awkward[i]);
        }
        store.write(kApp, u"Window"_s, u"left"_s, u"12"_s);
    }
    SettingsStore fresh(root());
    for (qsizetype i = 0; i < awkward.size(); ++i) {
        EXPECT_EQ(fresh.read(kApp, u"Values"_s, u"k%1"_s.arg(i), u"missing"_s), awkward[i]) << i;
        EXPECT_EQ(fresh.read(kApp, awkward[i], awkward[i], u"missing"_s), awkward[i]) << i;
    }
    EXPECT_TRUE(fresh.lastSetAside().isEmpty());
    // Still a file a person can read.
    EXPECT_TRUE(fileBytes(fresh.filePath(kApp)).contains("\n[Window]\nleft=12\n"));
}

// Spaces and tabs that start or end a name or value are escaped in the file itself, so a
// person's editor that trims lines keeps them.
TEST_F(SettingsStoreTest, SurvivesAnEditorThatTrimsLines)
{
    const QStringList edged = {u"trailing "_s, u" leading"_s, u"  both  "_s, u" "_s, u"tab\t"_s, u"\ttab"_s};
    SettingsStore store(root());
    for (qsizetype i = 0; i < edged.size(); ++i) {
        store.write(kApp, u"Values"_s, u"k%1"_s.arg(i), edged[i]);
        store.write(kApp, edged[i], edged[i], u"v"_s);
    }
    const QString path = store.filePath(kApp);
    QByteArray trimmed;
    for (const QByteArray& line : fileBytes(path).split('\n')) {
        EXPECT_FALSE(line.startsWith(' ') || line.endsWith(' ') || line.startsWith('\t') || line.endsWith('\t'))
            << "written line \"" << line.toStdString() << "\"";
        if (!trimmed.isEmpty())
            trimmed += '\n';
        trimmed += line.trimmed();
    }
    putBytes(path, trimmed);

    SettingsStore fresh(root());
    for (qsizetype i = 0; i < edged.size(); ++i) {
        EXPECT_EQ(fresh.read(kApp, u"Values"_s, u"k%1"_s.arg(i), u"missing"_s), edged[i]) << i;
        EXPECT_EQ(fresh.read(kApp, edged[i], edged[i], u"missing"_s), u"v"_s) << i;
    }
    EXPECT_TRUE(fresh.lastSetAside().isEmpty());
}

// An empty value is a present key; only a missing key, section or application gives the default.
TEST_F(SettingsStoreTest, EmptyValueIsNotMissing)
{
    SettingsStore store(root());
    store.write(kApp, u"S"_s, u"empty"_s, QString());
    EXPECT_EQ(store.read(kApp, u"S"_s, u"empty"_s, u"dflt"_s), u""_s);
    EXPECT_FALSE(store.read(kApp, u"S"_s, u"empty"_s, u"dflt"_s).isNull());
    EXPECT_EQ(store.read(kApp, u"S"_s, u"other"_s, u"dflt"_s), u"dflt"_s);
    EXPECT_EQ(store.read(kApp, u"T"_s, u"empty"_s, u"dflt"_s), u"dflt"_s);
    EXPECT_EQ(store.read(u"Other"_s, u"S"_s, u"empty"_s, u"dflt"_s), u"dflt"_s);
    EXPECT_EQ(store.listSection(kApp, u"S"_s), (Pairs{{u"empty"_s, u""_s}}));
}

// Keys list in first-written order: a rewrite keeps its place, a removed and re-added key goes last.
TEST_F(SettingsStoreTest, ListsKeysInFirstWrittenOrder)
{
    SettingsStore store(root());
    for (const auto& k : {u"b"_s, u"a"_s, u"c"_s, u"d"_s})
        store.write(kApp, u"S"_s, k, k + u"1"_s);
    store.write(kApp, u"S"_s, u"b"_s, u"b2"_s);
    store.removeKey(kApp, u"S"_s, u"a"_s);
    store.write(kApp, u"S"_s, u"a"_s, u"a2"_s);
    const Pairs expected{{u"b"_s, u"b2"_s}, {u"c"_s, u"c1"_s}, {u"d"_s, u"d1"_s}, {u"a"_s, u"a2"_s}};
    EXPECT_EQ(store.listSection(kApp, u"S"_s), expected);
    EXPECT_EQ(SettingsStore(root()).listSection(kApp, u"S"_s), expected);
    EXPECT_TRUE(store.listSection(kApp, u"None"_s).isEmpty());
}

// removeKey and deleteApplication remove exactly what they name; names are case-sensitive.
TEST_F(SettingsStoreTest, RemovesExactlyWhatIsNamed)
{
    SettingsStore store(root());
    store.write(kApp, u"S"_s, u"Key"_s, u"upper"_s);
    store.write(kApp, u"S"_s, u"key"_s, u"lower"_s);
    store.write(kApp, u"s"_s, u"key"_s, u"other section"_s);
    store.write(u"Other"_s, u"S"_s, u"key"_s, u"other app"_s);
    EXPECT_EQ(store.read(kApp, u"S"_s, u"Key"_s), u"upper"_s);

    store.removeKey(kApp, u"S"_s, u"Key"_s);
    store.removeKey(kApp, u"S"_s, u"absent"_s);
    EXPECT_EQ(store.listSection(kApp, u"S"_s), (Pairs{{u"key"_s, u"lower"_s}}));
    EXPECT_EQ(store.read(kApp, u"s"_s, u"key"_s), u"other section"_s);

    store.deleteApplication(kApp);
    SettingsStore fresh(root());
    EXPECT_TRUE(fresh.listSection(kApp, u"S"_s).isEmpty());
    EXPECT_TRUE(fresh.listSection(kApp, u"s"_s).isEmpty());
    EXPECT_EQ(fresh.read(u"Other"_s, u"S"_s, u"key"_s), u"other app"_s);
    fresh.write(kApp, u"S"_s, u"new"_s, u"1"_s);
    EXPECT_EQ(store.listSection(kApp, u"S"_s), (Pairs{{u"new"_s, u"1"_s}}));
}

// Another instance sees the latest write at its next read, even after rapid same-size rewrites
// (replaced files often reuse the inode of the file before).
TEST_F(SettingsStoreTest, SecondInstanceSeesLatestWrite)
{
    SettingsStore a(root());
    SettingsStore b(root());
    for (int i = 0; i < 100; ++i) {
        SettingsStore& writer = i % 3 == 0 ? b : a;
        SettingsStore& reader = i % 3 == 0 ? a : b;
        for (int w = 0; w <= i % 2; ++w)
            writer.write(kApp, u"S"_s, u"k"_s, u"v%1-%2"_s.arg(i % 10).arg(w));
        ASSERT_EQ(reader.read(kApp, u"S"_s, u"k"_s), u"v%1-%2"_s.arg(i % 10).arg(i % 2)) << i;
    }
}

// Instances writing different keys, in turn or from two threads, lose none of each other's keys.
TEST_F(SettingsStoreTest, InstancesLoseNoWrites)
{
    SettingsStore a(root());
    SettingsStore b(root());
    a.write(kApp, u"S"_s, u"a0"_s, u"1"_s);
    b.write(kApp, u"S"_s, u"b0"_s, u"1"_s);
    a.write(kApp, u"S"_s, u"a1"_s, u"1"_s);
    EXPECT_EQ(b.listSection(kApp, u"S"_s).size(), 3);

    auto writeMany = [this](const QString& prefix) {
        SettingsStore store(root());
        for (int i = 0; i < 40; ++i)
            store.write(kApp, u"T"_s, prefix + QString::number(i), prefix);
    };
    std::thread first(writeMany, u"x"_s);
    std::thread second(writeMany, u"y"_s);
    first.join();
    second.join();
    EXPECT_EQ(a.listSection(kApp, u"T"_s).size(), 80);
}

// Two processes writing different keys at the same time lose nothing.
TEST_F(SettingsStoreTest, ProcessesLoseNoWrites)
{
    SettingsStore(root()).write(kApp, u"S"_s, u"start"_s, u"1"_s);
    pid_t children[2];
    for (int c = 0; c < 2; ++c) {
        children[c] = ::fork();
        ASSERT_GE(children[c], 0);
        if (children[c] == 0) {
            SettingsStore store(root());
            for (int i = 0; i < 40; ++i)
                store.write(kApp, u"S"_s, u"p%1-%2"_s.arg(c).arg(i), QString::number(i));
            ::_exit(0);
        }
    }
    for (pid_t child : children) {
        int status = 0;
        ASSERT_EQ(::waitpid(child, &status, 0), child);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    }
    SettingsStore fresh(root());
    EXPECT_EQ(fresh.listSection(kApp, u"S"_s).size(), 81);
    EXPECT_EQ(fresh.read(kApp, u"S"_s, u"p1-39"_s), u"39"_s);
}

// A writer killed at any point leaves the old or the new complete value, never a torn file.
// The writer runs under ptrace and is killed at its first system call, then at its second, and
// so on until it finishes, so every step of a write is hit however loaded the machine is.
TEST_F(SettingsStoreTest, KilledWriterLeavesOldOrNewValue)
{
    SettingsStore(root()).write(kApp, u"Other"_s, u"kept"_s, u"yes"_s);
    SettingsStore(root()).write(kApp, u"Big"_s, u"value"_s, bigValue(0));
    int generation = 0;
    bool finished = false;
    int stopAt = 0;
    for (; !finished; ++stopAt) {
        ASSERT_LT(stopAt, 100000) << "the writer never finished";
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            if (::ptrace(PTRACE_TRACEME, 0, nullptr, nullptr) != 0)
                ::_exit(3);
            SettingsStore store(root());
            const int current = store.read(kApp, u"Big"_s, u"value"_s).left(8).toInt();
            ::raise(SIGSTOP);
            store.write(kApp, u"Big"_s, u"value"_s, bigValue(current + 1));
            ::_exit(0);
        }
        int status = 0;
        ASSERT_EQ(::waitpid(child, &status, 0), child);
        if (WIFEXITED(status) && WEXITSTATUS(status) == 3)
            GTEST_SKIP() << "ptrace is not allowed here";
        ASSERT_TRUE(WIFSTOPPED(status) && WSTOPSIG(status) == SIGSTOP);
        ASSERT_EQ(::ptrace(PTRACE_SETOPTIONS, child, nullptr, PTRACE_O_TRACESYSGOOD | PTRACE_O_EXITKILL), 0);

        // Each system call gives two stops: before it runs and after it returned.
        int signal = 0;
        for (int stops = 0; stops < stopAt;) {
            ASSERT_EQ(::ptrace(PTRACE_SYSCALL, child, nullptr, reinterpret_cast<void*>(intptr_t(signal))), 0);
            signal = 0;
            ASSERT_EQ(::waitpid(child, &status, 0), child);
            if (WIFEXITED(status) || WIFSIGNALED(status)) {
                ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "stop " << stopAt;
                finished = true;
                break;
            }
            if (WSTOPSIG(status) == (SIGTRAP | 0x80))
                ++stops;
            else
                signal = WSTOPSIG(status);
        }
        if (!finished) {
            ::kill(child, SIGKILL);
            ASSERT_EQ(::waitpid(child, &status, 0), child);
        }

        SettingsStore fresh(root());
        const QString value = fresh.read(kApp, u"Big"_s, u"value"_s);
        const int now = value.left(8).toInt();
        ASSERT_EQ(value, bigValue(now)) << "stop " << stopAt;
        ASSERT_TRUE(now == generation || (now == generation + 1 && stopAt > 0)) << "stop " << stopAt;
        if (finished) {
            ASSERT_EQ(now, generation + 1) << "a finished write is there";
        }
        generation = now;
        ASSERT_EQ(fresh.read(kApp, u"Other"_s, u"kept"_s), u"yes"_s) << "stop " << stopAt;
        ASSERT_TRUE(fresh.lastSetAside().isEmpty()) << qPrintable(fresh.lastSetAside());
    }
    // The write really went through many steps (open, lock, write, sync, rename, ...).
    EXPECT_GE(stopAt, 20);
}

// A corrupt file is set aside beside the store, which then reads as clean and takes writes.
TEST_F(SettingsStoreTest, SetsCorruptFilesAside)
{
    const QByteArray head = "#orvane-settings 1\n";
    const QList<QPair<const char*, QByteArray>> cases = {
        {"no header", "[A]\nk=v\n#end\n"},
        {"other version", "#orvane-settings 2\n[A]\nk=v\n#end\n"},
        {"key before any section", head + "k=v\n#end\n"},
        {"line without separator", head + "[A]\nkv\n#end\n"},
        {"unknown escape", head + "[A]\nk=a\\qb\n#end\n"},
        {"short hex escape", head + "[A]\nk=\\x4\n#end\n"},
        {"raw control character", head + "[A]\nk=a\x01" "b\n#end\n"},
        {"invalid UTF-8", head + "[A]\nk=\xC3\x28\n#end\n"},
        {"no end marker", head + "[A]\nk=v\n"},
        {"text after end marker", head + "[A]\nk=v\n#end\nj=w\n"},
        {"empty", ""},
        {"binary", QByteArray("\0\0\xff\xfe", 4)},
    };
    int n = 0;
    for (const auto& [what, bytes] : cases) {
        const QString app = u"app%1"_s.arg(++n);
        SettingsStore store(root());
        putBytes(store.filePath(app), bytes);
        // Half the cases meet the bad file on a read, half on a write.
        if (n % 2) {
            EXPECT_EQ(store.read(app, u"A"_s, u"k"_s, u"dflt"_s), u"dflt"_s) << what;
        }
        store.write(app, u"A"_s, u"new"_s, u"1"_s);
        const QString aside = store.lastSetAside();
        EXPECT_TRUE(aside.startsWith(store.filePath(app) + u".corrupt-"_s)) << what;
        EXPECT_EQ(fileBytes(aside), bytes) << what;

        SettingsStore fresh(root());
        EXPECT_EQ(fresh.listSection(app, u"A"_s), (Pairs{{u"new"_s, u"1"_s}})) << what;
        EXPECT_TRUE(fresh.lastSetAside().isEmpty()) << what;
    }
}

// A file cut at any length is taken as truncated and set aside, each cut under its own name.
TEST_F(SettingsStoreTest, SetsTruncatedFilesAside)
{
    SettingsStore writer(root());
    writer.write(kApp, u"A"_s, u"k"_s, u"é value"_s);
    writer.write(kApp, u"B"_s, u"k2"_s, u"v2"_s);
    const QString path = writer.filePath(kApp);
    const QByteArray whole = fileBytes(path);
    QSet<QString> asides;
    for (qsizetype cut = 0; cut < whole.size(); ++cut) {
        putBytes(path, whole.first(cut));
        SettingsStore store(root());
        ASSERT_EQ(store.read(kApp, u"B"_s, u"k2"_s, u"dflt"_s), u"dflt"_s) << "cut at " << cut;
        ASSERT_EQ(fileBytes(store.lastSetAside()), whole.first(cut)) << "cut at " << cut;
        asides.insert(store.lastSetAside());
        ASSERT_FALSE(QFileInfo::exists(path));
    }
    EXPECT_EQ(asides.size(), whole.size());
    writer.write(kApp, u"A"_s, u"k"_s, u"again"_s);
    EXPECT_EQ(SettingsStore(root()).read(kApp, u"A"_s, u"k"_s), u"again"_s);
}

// A file that cannot be read (here a folder in its place) is set aside like a corrupt one.
TEST_F(SettingsStoreTest, SetsUnreadableFileAside)
{
    SettingsStore store(root());
    ASSERT_TRUE(QDir().mkpath(store.filePath(kApp)));
    EXPECT_EQ(store.read(kApp, u"A"_s, u"k"_s, u"dflt"_s), u"dflt"_s);
    EXPECT_TRUE(QFileInfo(store.lastSetAside()).isDir());
    store.write(kApp, u"A"_s, u"k"_s, u"v"_s);
    EXPECT_EQ(SettingsStore(root()).read(kApp, u"A"_s, u"k"_s), u"v"_s);
}

// A write that cannot reach the file leaves the previous file as it was; the value lives on
// in memory for the rest of the run and check() says the settings are not kept.
TEST_F(SettingsStoreTest, FailedWriteKeepsPreviousFileAndTheValueForTheRun)
{
    SettingsStore(root()).write(kApp, u"A"_s, u"k"_s, u"old"_s);
    const QString path = SettingsStore(root()).filePath(kApp);
    const QByteArray before = fileBytes(path);

    {
        // The temporary file's place is taken by a folder that cannot be removed.
        SettingsStore store(root());
        ASSERT_TRUE(QDir().mkpath(path + u".tmp/busy"_s));
        store.write(kApp, u"A"_s, u"k"_s, u"new"_s);
        store.write(kApp, u"A"_s, u"k2"_s, u"more"_s);
        EXPECT_EQ(fileBytes(path), before);
        EXPECT_EQ(store.read(kApp, u"A"_s, u"k"_s), u"new"_s);
        EXPECT_EQ(store.listSection(kApp, u"A"_s), (Pairs{{u"k"_s, u"new"_s}, {u"k2"_s, u"more"_s}}));
        const SettingsStore::Status status = store.check(kApp);
        EXPECT_FALSE(status.kept);
        EXPECT_FALSE(status.reason.isEmpty());
        EXPECT_EQ(SettingsStore(root()).read(kApp, u"A"_s, u"k"_s), u"old"_s);
        ASSERT_TRUE(QDir(path + u".tmp"_s).removeRecursively());
    }

    // A root that is a plain file cannot hold folders.
    const QString plainFile = root() + u"/plain"_s;
    putBytes(plainFile, "x");
    SettingsStore blocked(plainFile);
    blocked.write(kApp, u"A"_s, u"k"_s, u"v"_s);
    EXPECT_EQ(blocked.read(kApp, u"A"_s, u"k"_s, u"dflt"_s), u"v"_s);
    EXPECT_FALSE(blocked.check(kApp).kept);
    EXPECT_EQ(fileBytes(plainFile), "x");

    SettingsStore store(root());
    EXPECT_TRUE(store.check(kApp).kept);
    store.write(kApp, u"A"_s, u"k"_s, u"newer"_s);
    EXPECT_EQ(SettingsStore(root()).read(kApp, u"A"_s, u"k"_s), u"newer"_s);
}

// A read-only folder or a full file system: the file stays as it was, the program keeps what it
// writes until it ends, and check() tells, whether or not a write has failed yet.
TEST_F(SettingsStoreTest, UnwritableFolderOrFullDiskIsReportedAndLosesNothing)
{
    SettingsStore(root()).write(kApp, u"A"_s, u"k"_s, u"old"_s);
    const QString path = SettingsStore(root()).filePath(kApp);
    const QByteArray before = fileBytes(path);
    {
        const ReadOnlyFolder readOnly(QFileInfo(path).path());
        if (!readOnly.active())
            GTEST_SKIP() << "cannot make a folder read-only here";
        SettingsStore probed(root());
        EXPECT_EQ(probed.read(kApp, u"A"_s, u"k"_s), u"old"_s);
        const SettingsStore::Status status = probed.check(kApp);
        EXPECT_FALSE(status.kept);
        EXPECT_FALSE(status.reason.isEmpty());
        EXPECT_TRUE(status.setAside.isEmpty());
        EXPECT_EQ(probed.read(kApp, u"A"_s, u"k"_s), u"old"_s);
        probed.write(kApp, u"A"_s, u"k"_s, u"new"_s);
        EXPECT_EQ(probed.read(kApp, u"A"_s, u"k"_s), u"new"_s);

        SettingsStore writer(root());
        writer.write(kApp, u"B"_s, u"k"_s, u"v"_s);
        EXPECT_EQ(writer.read(kApp, u"B"_s, u"k"_s), u"v"_s);
        EXPECT_EQ(writer.read(kApp, u"A"_s, u"k"_s), u"old"_s);
        EXPECT_FALSE(writer.check(kApp).kept);
        EXPECT_EQ(fileBytes(path), before);
    }

    // A file-size limit makes a write fail as a full disk would.
    rlimit saved{};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &saved), 0);
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit tight = saved;
    tight.rlim_cur = rlim_t(before.size()) + 16;
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &tight), 0);
    SettingsStore full(root());
    full.write(kApp, u"A"_s, u"k"_s, QString(u'x').repeated(4096));
    const SettingsStore::Status status = full.check(kApp);
    ::setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, oldHandler);
    EXPECT_FALSE(status.kept);
    EXPECT_FALSE(status.reason.isEmpty());
    EXPECT_EQ(full.read(kApp, u"A"_s, u"k"_s), QString(u'x').repeated(4096));
    EXPECT_EQ(fileBytes(path), before);
    EXPECT_EQ(QDir(QFileInfo(path).path()).entryList(QDir::Files), (QStringList{u"settings.ini"_s, u"settings.lock"_s}));
}

// A folder, a FIFO or garbage in the file's place is moved aside and check() says where; one it
// cannot move (read-only folder) leaves the defaults, kept in memory.
TEST_F(SettingsStoreTest, CheckMovesABadFileAsideOrReportsIt)
{
    const QList<QPair<const char*, std::function<void(const QString&)>>> cases = {
        {"folder", [](const QString& p) { QDir().mkpath(p); }},
        {"fifo", [](const QString& p) { ::mkfifo(QFile::encodeName(p).constData(), 0600); }},
        {"garbage", [](const QString& p) { putBytes(p, QByteArray("\0\xff garbage", 10)); }},
    };
    int n = 0;
    for (const auto& [what, make] : cases) {
        const QString app = u"app%1"_s.arg(++n);
        SettingsStore store(root());
        QDir().mkpath(QFileInfo(store.filePath(app)).path());
        make(store.filePath(app));
        const SettingsStore::Status status = store.check(app);
        EXPECT_TRUE(status.kept) << what;
        EXPECT_TRUE(status.setAside.startsWith(store.filePath(app) + u".corrupt-"_s)) << what;
        store.write(app, u"A"_s, u"k"_s, u"v"_s);
        EXPECT_EQ(SettingsStore(root()).read(app, u"A"_s, u"k"_s), u"v"_s) << what;

        const QString stuck = u"stuck%1"_s.arg(n);
        const QString folder = QFileInfo(store.filePath(stuck)).path();
        QDir().mkpath(folder);
        make(store.filePath(stuck));
        putBytes(folder + u"/settings.lock"_s, {});
        const ReadOnlyFolder readOnly(folder);
        if (!readOnly.active())
            continue;
        // Written first, while the lock can be taken but the file not moved: no wait on itself.
        const orv::test::ChildEnd end = orv::test::runInChild(
            [&] {
                SettingsStore writer(root());
                writer.write(stuck, u"A"_s, u"k"_s, u"v"_s);
                return writer.read(stuck, u"A"_s, u"k"_s) == u"v"_s && !writer.check(stuck).kept ? 0 : 1;
            },
            std::chrono::seconds(20));
        EXPECT_TRUE(end.finished && end.exited && end.code == 0) << what;
        SettingsStore locked(root());
        EXPECT_EQ(locked.read(stuck, u"A"_s, u"k"_s, u"dflt"_s), u"dflt"_s) << what;
        const SettingsStore::Status lockedStatus = locked.check(stuck);
        EXPECT_FALSE(lockedStatus.kept) << what;
        EXPECT_TRUE(lockedStatus.setAside.isEmpty()) << what;
        locked.write(stuck, u"A"_s, u"k"_s, u"v"_s);
        EXPECT_EQ(locked.read(stuck, u"A"_s, u"k"_s), u"v"_s) << what;
    }
}

// A FIFO put in the place of the file, its lock or its temporary file never hangs the store.
TEST_F(SettingsStoreTest, NothingInTheFolderBlocksTheStore)
{
    for (const char* name : {"settings.ini", "settings.lock", "settings.ini.tmp"}) {
        const QString app = u"fifo %1"_s.arg(QString::fromLatin1(name));
        const QString folder = root() + u'/' + app;
        ASSERT_TRUE(QDir().mkpath(folder));
        ASSERT_EQ(::mkfifo(QFile::encodeName(folder + u'/' + QString::fromLatin1(name)).constData(), 0600), 0);
        const orv::test::ChildEnd end = orv::test::runInChild(
            [&] {
                SettingsStore store(root());
                store.read(app, u"A"_s, u"k"_s);
                store.write(app, u"A"_s, u"k"_s, u"v"_s);
                store.check(app);
                return store.read(app, u"A"_s, u"k"_s) == u"v"_s ? 0 : 1;
            },
            std::chrono::seconds(20));
        EXPECT_TRUE(end.finished) << name << ": the store hung";
        EXPECT_TRUE(end.exited && end.code == 0) << name;
    }
}

// Random SIGKILLs of a writer leave the old or the new file, byte for byte.
TEST_F(SettingsStoreTest, RandomlyKilledWritersLeaveAWholeFile)
{
    const orv::test::KillTrialSubject subject = orv::test::settingsSubject(root(), kApp);
    const orv::test::KillTrialTally tally = orv::test::runKillTrials(subject, 50, 99);
    EXPECT_TRUE(tally.allWhole()) << tally.firstProblem.toStdString();
    EXPECT_EQ(tally.trials, 50);
    EXPECT_GT(tally.advanced, 0);
}

// The store's folders are private (0700), its file 0600; names that are not one folder are refused.
TEST_F(SettingsStoreTest, KeepsFilesPrivateAndInsideRoot)
{
    SettingsStore store(root());
    store.write(kApp, u"A"_s, u"k"_s, u"v"_s);
    struct stat st;
    ASSERT_EQ(::stat(QFile::encodeName(root()).constData(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0700u);
    ASSERT_EQ(::stat(QFile::encodeName(root() + u'/' + kApp).constData(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0700u);
    ASSERT_EQ(::stat(QFile::encodeName(store.filePath(kApp)).constData(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0600u);

    for (const auto& bad : {u""_s, u"."_s, u".."_s, u"../escape"_s, u"a/b"_s}) {
        store.write(bad, u"A"_s, u"k"_s, u"v"_s);
        EXPECT_EQ(store.read(bad, u"A"_s, u"k"_s, u"dflt"_s), u"dflt"_s);
        EXPECT_TRUE(store.filePath(bad).isEmpty());
    }
    EXPECT_FALSE(QFileInfo::exists(root() + u"/../escape"_s));
    EXPECT_EQ(QDir(root()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), QStringList{kApp});
}

// The default root is $XDG_CONFIG_HOME when it is an absolute path, else ~/.config.
TEST_F(SettingsStoreTest, DefaultRootFollowsXdgConfigHome)
{
    const QByteArray saved = qgetenv("XDG_CONFIG_HOME");
    qputenv("XDG_CONFIG_HOME", "/somewhere/config");
    EXPECT_EQ(SettingsStore::defaultRoot(), u"/somewhere/config"_s);
    qputenv("XDG_CONFIG_HOME", "");
    EXPECT_EQ(SettingsStore::defaultRoot(), QDir::homePath() + u"/.config"_s);
    qputenv("XDG_CONFIG_HOME", "relative");
    EXPECT_EQ(SettingsStore::defaultRoot(), QDir::homePath() + u"/.config"_s);
    qputenv("XDG_CONFIG_HOME", saved);
}

} // namespace

// A batch write is the same as writing each pair in order: new keys appended in batch order,
// existing keys keep their place, and an unchanged batch does not touch the file.
TEST(SettingsStoreBatch, WriteSectionKeepsOrderAndSkipsNoOps)
{
    QTemporaryDir dir;
    orv::SettingsStore store(dir.path());
    const QString app = QStringLiteral("App");
    store.write(app, QStringLiteral("S"), QStringLiteral("b"), QStringLiteral("old"));
    const QList<QPair<QString, QString>> batch = {{QStringLiteral("a"), QStringLiteral(" 1 ")},
                                                  {QStringLiteral("b"), QStringLiteral("x\ry")},
                                                  {QStringLiteral("c"), QString()}};
    store.writeSection(app, QStringLiteral("S"), batch);
    const auto listed = store.listSection(app, QStringLiteral("S"));
    ASSERT_EQ(listed.size(), 3);
    EXPECT_EQ(listed[0].first, QStringLiteral("b"));
    EXPECT_EQ(listed[0].second, QStringLiteral("x\ry"));
    EXPECT_EQ(listed[1].second, QStringLiteral(" 1 "));
    EXPECT_EQ(listed[2].first, QStringLiteral("c"));
    EXPECT_FALSE(store.read(app, QStringLiteral("S"), QStringLiteral("c"), QStringLiteral("dflt")).isNull());

    const QFileInfo before(store.filePath(app));
    const auto mtime = before.lastModified();
    store.writeSection(app, QStringLiteral("S"), batch);
    EXPECT_EQ(QFileInfo(store.filePath(app)).lastModified(), mtime);
}
