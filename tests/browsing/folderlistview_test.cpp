// Rule: the folder list filled while hidden shows the current folder's line in the middle of
// the list once it appears, with the folder icons on its lines; every fill shares those icons.
#include "browsing/core/folderbrowser.h"
#include "browsing/folderlistview.h"
#include "fakeplatform.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

using namespace orv;
using namespace orv::test;

namespace {

// A browser whose process starts, was launched and lives in one folder.
struct Browsing {
    explicit Browsing(const QString& folder) : process(in(folder)) {}
    static FakeProcessEnvironment in(const QString& folder)
    {
        FakeProcessEnvironment p;
        p.current = folder;
        p.launch = folder;
        p.exeFolder = folder;
        return p;
    }
    FakeVolumeList volumes;
    FakeProcessEnvironment process;
    FolderBrowser browser {volumes, process};
};

} // namespace

TEST(FolderListView, FilledWhileHiddenCentresTheCurrentFolderWhenShown)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    // Enough lines above and below the current folder that it cannot sit at either end.
    QString deep = dir.path();
    for (int level = 0; level < 12; ++level)
        deep += QStringLiteral("/level%1").arg(level);
    ASSERT_TRUE(QDir().mkpath(deep));
    for (int i = 0; i < 40; ++i)
        ASSERT_TRUE(QDir(deep).mkdir(QStringLiteral("sub%1").arg(i, 2, 10, QLatin1Char('0'))));

    Browsing at(dir.path());
    FolderBrowser& browser = at.browser;
    FolderListView view(browser);
    view.resize(200, 160);
    ASSERT_TRUE(browser.enter(deep));
    ASSERT_EQ(view.highlightedPath(), QDir::cleanPath(deep));
    ASSERT_GT(view.count(), 50);

    view.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&view));
    const QRect line = view.visualItemRect(view.currentItem());
    const QRect shown = view.viewport()->rect();
    ASSERT_TRUE(shown.contains(line)) << "line at y " << line.y() << ", list " << shown.height() << " high";
    EXPECT_LE(std::abs(line.center().y() - shown.center().y()), line.height());
    EXPECT_FALSE(view.currentItem()->icon().isNull());
    EXPECT_FALSE(view.item(view.count() - 1)->icon().isNull());

    // Filled again while shown, it centres at once. Its lines keep the same two icons: icons
    // made anew at every fill would each leave their scaled copies in Qt's pixmap cache.
    const qint64 openIcon = view.currentItem()->icon().cacheKey();
    const qint64 closedIcon = view.item(view.count() - 1)->icon().cacheKey();
    ASSERT_TRUE(browser.enter(deep + QStringLiteral("/sub20")));
    ASSERT_TRUE(browser.enter(deep));
    EXPECT_TRUE(view.viewport()->rect().contains(view.visualItemRect(view.currentItem())));
    EXPECT_EQ(view.currentItem()->icon().cacheKey(), openIcon);
    EXPECT_EQ(view.item(view.count() - 1)->icon().cacheKey(), closedIcon);
}

// A deferred fill lists the open folders only; their sub-folders come with the release, or with
// the next folder entered, and a release with nothing waiting reads nothing again.
TEST(FolderListView, DeferredFillListsSubfoldersOnRelease)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString top = dir.path() + QStringLiteral("/top");
    for (const char* sub : {"a", "b", "c"})
        ASSERT_TRUE(QDir().mkpath(top + QLatin1Char('/') + QLatin1String(sub)));

    Browsing at(dir.path());
    FolderBrowser& browser = at.browser;
    FolderListView view(browser);
    const auto lines = [&] {
        QStringList out;
        for (int i = 0; i < view.count(); ++i)
            out.append(view.item(i)->text().trimmed());
        return out;
    };

    view.deferNextFill();
    ASSERT_TRUE(browser.enter(top));
    EXPECT_EQ(lines().last(), QStringLiteral("top"));
    EXPECT_EQ(view.highlightedPath(), QDir::cleanPath(top));
    const int open = view.count();
    view.releaseFill();
    EXPECT_EQ(lines().mid(open), (QStringList{QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c")}));
    EXPECT_EQ(view.highlightedPath(), QDir::cleanPath(top));

    ASSERT_TRUE(QDir().mkpath(top + QStringLiteral("/d")));
    view.releaseFill();
    EXPECT_EQ(view.count(), open + 3);

    view.deferNextFill();
    ASSERT_TRUE(browser.enter(top + QStringLiteral("/a")));
    ASSERT_TRUE(browser.enter(top));
    EXPECT_EQ(view.count(), open + 4);
}
