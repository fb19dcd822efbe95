// Window-free code stays window-free: nothing under a core/ folder includes a Qt header that
// is not QtCore's, directly or through a project header. The link guard in CMake only sees
// libraries, and a stray include still compiles while a target links QtCore. The tree is
// walked when the test runs, so new core folders are covered without touching this file.
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QRegularExpression>
#include <QSet>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

class CoreIncludeScan {
public:
    CoreIncludeScan(const QString& sourceRoot, const QString& qtCoreHeaders)
        : m_src(QDir::cleanPath(sourceRoot)), m_qtCore(QDir::cleanPath(qtCoreHeaders))
    {
        const QDir qtRoot = QFileInfo(m_qtCore).dir();
        for (const QString& module : qtRoot.entryList({QStringLiteral("Qt*")}, QDir::Dirs | QDir::NoDotAndDotDot))
            if (module != QLatin1String("QtCore"))
                m_otherModules.append(qtRoot.filePath(module));
    }

    // One line per offending include: "file:line: <name> (QtGui)" plus the chain of project headers.
    QStringList violations()
    {
        QStringList found;
        QDirIterator it(m_src, QDir::Files | QDir::NoSymLinks, QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QString file = QDir::cleanPath(it.next());
            if (!underCoreFolder(file))
                continue;
            ++m_scanned;
            found += problemsOf(file);
        }
        found.sort();
        return found;
    }

    int scanned() const { return m_scanned; }

private:
    bool underCoreFolder(const QString& file) const
    {
        const QStringList parts = QDir(m_src).relativeFilePath(file).split(QLatin1Char('/'));
        return parts.mid(0, parts.size() - 1).contains(QLatin1String("core"));
    }

    // Why a header name is not allowed, or empty when it is fine or not Qt's.
    QString qtModuleProblem(const QString& name) const
    {
        if (QFileInfo::exists(m_qtCore + QLatin1Char('/') + name))
            return {};
        const QString prefixed = QFileInfo(m_qtCore).path() + QLatin1Char('/') + name;
        if (name.startsWith(QLatin1String("Qt")) && name.contains(QLatin1Char('/'))) {
            if (name.startsWith(QLatin1String("QtCore/")) && QFileInfo::exists(prefixed))
                return {};
            return name.section(QLatin1Char('/'), 0, 0);
        }
        for (const QString& module : m_otherModules)
            if (QFileInfo::exists(module + QLatin1Char('/') + name))
                return QFileInfo(module).fileName();
        static const QRegularExpression qtClass(QStringLiteral("^Qt?[A-Z]\\w*$"));
        if (qtClass.match(name).hasMatch())
            return QStringLiteral("not a QtCore header");
        return {};
    }

    QString projectFile(const QString& name, bool quoted, const QString& from) const
    {
        if (quoted) {
            const QString beside = QDir::cleanPath(QFileInfo(from).path() + QLatin1Char('/') + name);
            if (QFileInfo(beside).isFile())
                return beside;
        }
        const QString rooted = QDir::cleanPath(m_src + QLatin1Char('/') + name);
        return QFileInfo(rooted).isFile() ? rooted : QString();
    }

    QStringList problemsOf(const QString& file)
    {
        if (const auto it = m_memo.constFind(file); it != m_memo.cend())
            return *it;
        m_memo.insert(file, {});  // include cycles end here
        static const QRegularExpression include(QStringLiteral(R"(^\s*#\s*include\s*([<"])([^>"]+)[>"])"));
        QFile f(file);
        QStringList problems;
        if (!f.open(QIODevice::ReadOnly)) {
            problems << QStringLiteral("%1: unreadable").arg(relative(file));
            m_memo.insert(file, problems);
            return problems;
        }
        int lineNo = 0;
        while (!f.atEnd()) {
            const QString line = QString::fromUtf8(f.readLine());
            ++lineNo;
            const QRegularExpressionMatch m = include.match(line);
            if (!m.hasMatch())
                continue;
            const QString name = m.captured(2).trimmed();
            const QString where = QStringLiteral("%1:%2: ").arg(relative(file)).arg(lineNo);
            const QString header = projectFile(name, m.captured(1) == QLatin1String("\""), file);
            if (!header.isEmpty()) {
                for (const QString& deeper : problemsOf(header))
                    problems << where + QStringLiteral("\"%1\" -> ").arg(name) + deeper;
                continue;
            }
            const QString module = qtModuleProblem(name);
            if (!module.isEmpty())
                problems << where + QStringLiteral("<%1> (%2)").arg(name, module);
        }
        m_memo.insert(file, problems);
        return problems;
    }

    QString relative(const QString& file) const { return QDir(m_src).relativeFilePath(file); }

    QString m_src;
    QString m_qtCore;
    QStringList m_otherModules;
    QHash<QString, QStringList> m_memo;
    int m_scanned = 0;
};

void put(const QString& path, const QByteArray& text)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(text);
}

} // namespace

// The scan itself on a planted tree: every way of reaching another module is found, and only that.
TEST(CoreIncludes, ScanFindsPlantedIncludes)
{
    QTemporaryDir dir;
    const QString src = dir.filePath(QStringLiteral("src"));
    put(src + QStringLiteral("/a/core/image.h"), "#pragma once\n#include <QString>\n#include <QImage>\n");
    put(src + QStringLiteral("/a/core/deep/widget.cpp"), "  #  include <QtWidgets/QWidget>\n");
    put(src + QStringLiteral("/a/core/module.cpp"), "#include <QtGui>\n");
    put(src + QStringLiteral("/a/core/lower.cpp"), "#include <qpainter.h>\n");
    put(src + QStringLiteral("/a/core/unknown.cpp"), "#include <QNoSuchClass>\n");
    put(src + QStringLiteral("/a/core/indirect.cpp"), "#include \"a/view.h\"\n");
    put(src + QStringLiteral("/a/core/beside.cpp"), "#include \"image.h\"\n");
    put(src + QStringLiteral("/a/view.h"), "#include \"a/core/fine.h\"\n#include <QMediaPlayer>\n");
    put(src + QStringLiteral("/a/core/fine.h"),
        "#include <QString>\n#include <QtCore/QFile>\n#include <QtGlobal>\n#include <qstring.h>\n"
        "#include <vector>\n#include <sys/stat.h>\n#include \"a/core/fine.h\"\n// #include <QWidget>\n");
    put(src + QStringLiteral("/a/window.cpp"), "#include <QWidget>\n");
    put(src + QStringLiteral("/b/core/notes.txt"), "#include <QPrinter>\n");

    CoreIncludeScan scan(src, QStringLiteral(ORVANE_QTCORE_HEADERS));
    const QStringList found = scan.violations();
    const QStringList expected = {
        QStringLiteral("a/core/beside.cpp:1: \"image.h\" -> a/core/image.h:3: <QImage> (QtGui)"),
        QStringLiteral("a/core/deep/widget.cpp:1: <QtWidgets/QWidget> (QtWidgets)"),
        QStringLiteral("a/core/image.h:3: <QImage> (QtGui)"),
        QStringLiteral("a/core/indirect.cpp:1: \"a/view.h\" -> a/view.h:2: <QMediaPlayer> (QtMultimedia)"),
        QStringLiteral("a/core/lower.cpp:1: <qpainter.h> (QtGui)"),
        QStringLiteral("a/core/module.cpp:1: <QtGui> (QtGui)"),
        QStringLiteral("a/core/unknown.cpp:1: <QNoSuchClass> (not a QtCore header)"),
        QStringLiteral("b/core/notes.txt:1: <QPrinter> (QtPrintSupport)"),
    };
    EXPECT_EQ(found, expected) << found.join(QLatin1Char('\n')).toStdString();
    EXPECT_EQ(scan.scanned(), 9);
}

TEST(CoreIncludes, CoreFoldersIncludeQtCoreOnly)
{
    CoreIncludeScan scan(QStringLiteral(ORVANE_SOURCE_DIR "/src"), QStringLiteral(ORVANE_QTCORE_HEADERS));
    const QStringList found = scan.violations();
    EXPECT_TRUE(found.isEmpty()) << "core/ files reaching other Qt modules:\n"
                                 << found.join(QLatin1Char('\n')).toStdString();
    // The walk really saw the core folders (a wrong root would pass vacuously).
    EXPECT_GE(scan.scanned(), 10);
    EXPECT_TRUE(QFileInfo::exists(QStringLiteral(ORVANE_SOURCE_DIR "/src/common/core/settingsstore.h")));
}
