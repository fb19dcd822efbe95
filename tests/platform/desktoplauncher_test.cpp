// Documents, help, settings and programs reach the desktop as they are, never through a shell.
#include "platform/desktoplauncher.h"
#include "support/rawname.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QThread>
#include <QUrl>
#include <gtest/gtest.h>

#include <sys/stat.h>

using namespace orv;

namespace {

struct Launch {
    QString program;
    QStringList args;
    QString folder;
};

class RecordingLauncher final : public ProcessLauncher {
public:
    QList<Launch> launches;
    bool result = true;
    bool startDetached(const QString& program, const QStringList& args, const QString& folder) override
    {
        launches.append({program, args, folder});
        return result;
    }
};

class UrlCatcher final : public QObject {
    Q_OBJECT
public:
    QList<QUrl> urls;
public Q_SLOTS:
    void open(const QUrl& url) { urls.append(url); }
};

// Every character a shell would act on, and a newline.
const QString nastyName = QStringLiteral("a b'c\"d;e $(touch PWNED) `id`\nf");

class DesktopLauncherTest : public ::testing::Test {
protected:
    QTemporaryDir dir;
    QString bin = dir.filePath(QStringLiteral("bin"));
    RecordingLauncher launcher;

    void SetUp() override { ASSERT_TRUE(QDir().mkpath(bin)); }
    XdgDesktopLauncher desktopLauncher(const QString& desktop = {}) { return XdgDesktopLauncher(launcher, {{bin}, desktop}); }

    QString file(const QString& name, const QByteArray& content, bool executable)
    {
        const QString path = dir.filePath(name);
        QFile f(path);
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(content);
        f.close();
        if (executable)
            f.setPermissions(f.permissions() | QFile::ExeOwner);
        return path;
    }
    void tool(const QString& name) { file(QStringLiteral("bin/") + name, "#!/bin/sh\n", true); }
};

TEST_F(DesktopLauncherTest, NativeProgramGetsPathAndWordsVerbatim)
{
    const QString elf = dir.filePath(nastyName);
    ASSERT_TRUE(QFile::copy(QStringLiteral("/bin/true"), elf));
    const QString script = file(nastyName + QStringLiteral(".sh"), "#!/bin/sh\n", true);
    for (const QString& program : {elf, script}) {
        launcher.launches.clear();
        EXPECT_TRUE(desktopLauncher().runProgram(program, QStringLiteral("\"; touch PWNED2\" '$(touch PWNED3)' `x` a\\ b")));
        ASSERT_EQ(launcher.launches.size(), 1);
        EXPECT_EQ(launcher.launches[0].program, program);
        EXPECT_EQ(launcher.launches[0].args, QStringList({QStringLiteral("; touch PWNED2"),
                  QStringLiteral("$(touch PWNED3)"), QStringLiteral("`x`"), QStringLiteral("a b")}));
        EXPECT_EQ(launcher.launches[0].folder, dir.path());
    }
    launcher.result = false;
    EXPECT_FALSE(desktopLauncher().runProgram(elf, {}));
}

TEST_F(DesktopLauncherTest, WhatCannotRunIsRefusedUnstarted)
{
    const QString script = file(QStringLiteral("s.sh"), "#!/bin/sh\n", true);
    EXPECT_FALSE(desktopLauncher().runProgram(dir.filePath(QStringLiteral("missing")), {}));
    EXPECT_FALSE(desktopLauncher().runProgram(dir.path(), {}));
    EXPECT_FALSE(desktopLauncher().runProgram(file(QStringLiteral("noexec.sh"), "#!/bin/sh\n", false), {}));
    EXPECT_FALSE(desktopLauncher().runProgram(file(QStringLiteral("plain"), "touch PWNED\n", true), {}));
    EXPECT_FALSE(desktopLauncher().runProgram(script, QStringLiteral("'open quote")));
    EXPECT_FALSE(desktopLauncher().runProgram({}, {}));
    EXPECT_TRUE(launcher.launches.isEmpty());
}

TEST_F(DesktopLauncherTest, WindowsProgramsRunThroughWineWhenInstalled)
{
    // Windows files on a FAT volume carry the execute bit too; they still go to Wine.
    const QString exe = file(QStringLiteral("Set Up.EXE"), "MZ\x90", true);
    const QString bat = file(QStringLiteral("go (1).bat"), "@echo off\r\n", false);
    EXPECT_FALSE(desktopLauncher().runProgram(exe, {}));
    EXPECT_FALSE(desktopLauncher().runProgram(bat, {}));
    EXPECT_TRUE(launcher.launches.isEmpty());

    tool(QStringLiteral("wine"));
    const QString wine = QDir(bin).filePath(QStringLiteral("wine"));
    EXPECT_TRUE(desktopLauncher().runProgram(exe, QStringLiteral("/q 'C:\\a b'")));
    EXPECT_TRUE(desktopLauncher().runProgram(bat, QStringLiteral("x \"y z\"")));
    ASSERT_EQ(launcher.launches.size(), 2);
    EXPECT_EQ(launcher.launches[0].program, wine);
    EXPECT_EQ(launcher.launches[0].args, QStringList({exe, QStringLiteral("/q"), QStringLiteral("C:\\a b")}));
    EXPECT_EQ(launcher.launches[1].args, QStringList({QStringLiteral("cmd"), QStringLiteral("/c"), QStringLiteral("call"),
                                                      QStringLiteral("go (1).bat"), QStringLiteral("x"), QStringLiteral("y z")}));
    EXPECT_EQ(launcher.launches[1].folder, dir.path());

    // cmd would read these as commands, redirections, variables, escapes or blocks, or split
    // them into several parameters (, ; = separate words as blanks do).
    for (const char* params : {"a&calc", "a|b", "%PATH%", "'%PATH% x'", "a>b", "a<b", "'x\"y'", "'a\nb'",
                               "a^b", "'a ^b'", "!x!", "a,b", "a;b", "k=v", "f(x)", "x)", "'tab\there'"})
        EXPECT_FALSE(desktopLauncher().runProgram(bat, QString::fromUtf8(params))) << params;
    for (const char* name : {"x&y.bat", "a;b.bat", "a,b.bat", "a=b.bat", "run(2).bat", "100%.bat"})
        EXPECT_FALSE(desktopLauncher().runProgram(file(QString::fromUtf8(name), "", false), {})) << name;
    EXPECT_EQ(launcher.launches.size(), 2);

    // Wine quotes a word with a blank, and inside quotes these are plain text.
    EXPECT_TRUE(desktopLauncher().runProgram(bat, QStringLiteral("'a, b;c=d' 'f (x) & y|z<w>v' '' é/x.txt")));
    ASSERT_EQ(launcher.launches.size(), 3);
    EXPECT_EQ(launcher.launches[2].args.mid(4), QStringList({QStringLiteral("a, b;c=d"), QStringLiteral("f (x) & y|z<w>v"),
                                                             QString(), QStringLiteral("é/x.txt")}));
}

// Names from the file list that are not UTF-8 reach the launcher as the program carries them
// (the real launcher turns them back into their bytes), and the desktop as a URL of their bytes.
TEST_F(DesktopLauncherTest, NamesThatAreNotUtf8KeepTheirBytes)
{
    const QString folder = orv::test::makeRawNamedFolder(dir.path(), "d\xe9");
    ASSERT_FALSE(folder.isEmpty());
    const QString script = orv::test::writeRawNamed(folder, orv::test::notUtf8Name("sh"), "#!/bin/sh\n");
    ASSERT_EQ(::chmod(orv::encodeFileName(script).constData(), 0755), 0);
    const QString exe = orv::test::writeRawNamed(folder, orv::test::notUtf8Name("exe"), "MZ");
    const QString bat = orv::test::writeRawNamed(folder, orv::test::notUtf8Name("bat"), "@echo off\r\n");
    tool(QStringLiteral("wine"));

    EXPECT_TRUE(desktopLauncher().runProgram(script, QStringLiteral("x")));
    EXPECT_TRUE(desktopLauncher().runProgram(exe, {}));
    // cmd reads the name as text, which these bytes are not.
    EXPECT_FALSE(desktopLauncher().runProgram(bat, {}));
    ASSERT_EQ(launcher.launches.size(), 2);
    EXPECT_EQ(launcher.launches[0].program, script);
    EXPECT_EQ(launcher.launches[0].args, QStringList{QStringLiteral("x")});
    EXPECT_EQ(launcher.launches[0].folder, folder);
    EXPECT_EQ(launcher.launches[1].args, QStringList{exe});
    EXPECT_EQ(launcher.launches[1].folder, folder);

    UrlCatcher catcher;
    QDesktopServices::setUrlHandler(QStringLiteral("file"), &catcher, "open");
    XdgDesktopLauncher s = desktopLauncher();
    EXPECT_TRUE(s.openDocument(script));
    EXPECT_TRUE(s.openHelp(exe));
    EXPECT_TRUE(s.openDocument(QString::fromLatin1(orv::localFileUrl(bat).toEncoded())));
    QDesktopServices::unsetUrlHandler(QStringLiteral("file"));
    ASSERT_EQ(catcher.urls.size(), 3);
    EXPECT_TRUE(catcher.urls[0].toEncoded().endsWith("/d%E9/caf%E9%20%80%FF.sh")) << catcher.urls[0].toEncoded().toStdString();
    EXPECT_EQ(orv::localFilePath(catcher.urls[0]), script);
    EXPECT_EQ(orv::localFilePath(catcher.urls[1]), exe);
    EXPECT_EQ(orv::localFilePath(catcher.urls[2]), bat);
}

TEST_F(DesktopLauncherTest, SettingsApplicationOfTheRunningDesktopFirst)
{
    EXPECT_FALSE(desktopLauncher().openSettings());
    EXPECT_TRUE(launcher.launches.isEmpty());

    tool(QStringLiteral("gnome-control-center"));
    tool(QStringLiteral("xfce4-settings-manager"));
    EXPECT_TRUE(desktopLauncher(QStringLiteral("XFCE")).openSettings());
    EXPECT_TRUE(desktopLauncher(QStringLiteral("ubuntu:GNOME")).openSettings());
    EXPECT_TRUE(desktopLauncher().openSettings());
    ASSERT_EQ(launcher.launches.size(), 3);
    EXPECT_EQ(launcher.launches[0].program, QDir(bin).filePath(QStringLiteral("xfce4-settings-manager")));
    EXPECT_EQ(launcher.launches[1].program, QDir(bin).filePath(QStringLiteral("gnome-control-center")));
    EXPECT_EQ(launcher.launches[2].program, QDir(bin).filePath(QStringLiteral("gnome-control-center")));
    EXPECT_TRUE(launcher.launches[0].args.isEmpty());
}

TEST_F(DesktopLauncherTest, DocumentsAndHelpGoToTheDesktopAsUrls)
{
    UrlCatcher catcher;
    for (const char* scheme : {"file", "http", "https", "mailto"})
        QDesktopServices::setUrlHandler(QString::fromLatin1(scheme), &catcher, "open");

    const QString doc = file(nastyName + QStringLiteral(".html"), "<p>", false);
    const QString help = file(QStringLiteral("guide.hlp"), "?_", false);
    XdgDesktopLauncher s = desktopLauncher();
    EXPECT_TRUE(s.openDocument(doc));
    EXPECT_TRUE(s.openHelp(help));
    EXPECT_TRUE(s.openDocument(QStringLiteral("https://example.org/a b?q=1")));
    EXPECT_TRUE(s.openDocument(QStringLiteral("www.example.org")));
    EXPECT_TRUE(s.openDocument(QStringLiteral("mailto:ann@example.org")));
    for (const QString& bad : {dir.filePath(QStringLiteral("missing.html")), QStringLiteral("relative.html"),
                               QStringLiteral("javascript:alert(1)"), QStringLiteral("http://"), QString()})
        EXPECT_FALSE(s.openDocument(bad)) << bad.toStdString();
    EXPECT_FALSE(s.openHelp(dir.filePath(QStringLiteral("missing.hlp"))));
    EXPECT_FALSE(s.openHelp(QStringLiteral("https://example.org/guide.hlp")));

    ASSERT_EQ(catcher.urls.size(), 5);
    EXPECT_EQ(catcher.urls[0].toLocalFile(), doc);
    EXPECT_EQ(catcher.urls[1].toLocalFile(), help);
    EXPECT_EQ(catcher.urls[2].host(), QStringLiteral("example.org"));
    EXPECT_EQ(catcher.urls[3], QUrl(QStringLiteral("http://www.example.org")));
    EXPECT_EQ(catcher.urls[4].scheme(), QStringLiteral("mailto"));
    EXPECT_TRUE(launcher.launches.isEmpty());
    for (const char* scheme : {"file", "http", "https", "mailto"})
        QDesktopServices::unsetUrlHandler(QString::fromLatin1(scheme));
}

// The real launcher: the program sees its arguments as given, and no shell acts on its name.
TEST(DetachedProcessLauncher, NoShellRunsOnNameOrParameters)
{
    QTemporaryDir dir;
    const QString script = dir.filePath(QStringLiteral("a;b $(touch PWNED) `x`.sh"));
    QFile f(script);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("#!/bin/sh\nprintf '%s\\n' \"$0\" \"$@\" > argv.tmp && mv argv.tmp argv\n");
    f.close();
    f.setPermissions(f.permissions() | QFile::ExeOwner);

    XdgDesktopLauncher real;
    ASSERT_TRUE(real.runProgram(script, QStringLiteral("\"; touch PWNED2\" '$(touch PWNED3)'")));
    const QString out = dir.filePath(QStringLiteral("argv"));
    const QDeadlineTimer deadline(20000);
    while (!QFile::exists(out) && !deadline.hasExpired())
        QThread::msleep(20);
    const QStringList pwned{QStringLiteral("PWNED*")};
    EXPECT_TRUE(QDir(dir.path()).entryList(pwned).isEmpty());
    EXPECT_TRUE(QDir::current().entryList(pwned).isEmpty());
    QFile argv(out);
    ASSERT_TRUE(argv.open(QIODevice::ReadOnly)) << "the script did not write its arguments in its folder";
    EXPECT_EQ(QString::fromUtf8(argv.readAll()),
              script + QStringLiteral("\n; touch PWNED2\n$(touch PWNED3)\n"));

    // A file the kernel cannot run is not handed to /bin/sh instead.
    const QString text = dir.filePath(QStringLiteral("payload"));
    QFile p(text);
    ASSERT_TRUE(p.open(QIODevice::WriteOnly));
    p.write("touch PWNED4\n");
    p.close();
    p.setPermissions(p.permissions() | QFile::ExeOwner);
    EXPECT_FALSE(DetachedProcessLauncher().startDetached(text, {}, dir.path()));
    EXPECT_FALSE(DetachedProcessLauncher().startDetached(QStringLiteral("true"), {}, {}));
}

// The real launcher hands the program, its arguments and its folder over as their bytes, where
// QProcess would have sent UTF-8 in their place.
TEST(DetachedProcessLauncher, NamesThatAreNotUtf8ReachTheProgramAsTheirBytes)
{
    QTemporaryDir dir;
    const QString folder = orv::test::makeRawNamedFolder(dir.path(), "d\xe9 \xff");
    ASSERT_FALSE(folder.isEmpty());
    const QString script = orv::test::writeRawNamed(
        folder, orv::test::notUtf8Name("sh"),
        "#!/bin/sh\nprintf '%s\\n' \"$0\" \"$@\" \"$(pwd -P)\" > argv.tmp && mv argv.tmp argv\n");
    ASSERT_EQ(::chmod(orv::encodeFileName(script).constData(), 0755), 0);
    const QString picture = folder + QLatin1Char('/') + orv::decodeFileName(orv::test::notUtf8Name("bmp"));

    ASSERT_TRUE(DetachedProcessLauncher().startDetached(script, {picture, QStringLiteral("\u00e9t\u00e9")}, folder));
    const QString out = folder + QStringLiteral("/argv");
    const QDeadlineTimer deadline(20000);
    while (!orv::isRegularFile(out) && !deadline.hasExpired())
        QThread::msleep(20);
    QFile argv;
    ASSERT_EQ(orv::openForReading(argv, out), QString()) << "the script did not write its arguments in its folder";
    const QByteArray expected = orv::encodeFileName(script) + '\n' + orv::encodeFileName(picture) + '\n'
                                + QByteArray("\xc3\xa9t\xc3\xa9\n") + orv::encodeFileName(folder) + '\n';
    EXPECT_EQ(argv.readAll().toHex(' ').toStdString(), expected.toHex(' ').toStdString());

    // A folder that cannot be entered is a start that failed, not a program run elsewhere.
    EXPECT_FALSE(DetachedProcessLauncher().startDetached(script, {}, folder + QStringLiteral("/missing")));
}

} // namespace

#include "desktoplauncher_test.moc"
